// DRAV_PROF: the professional edition.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <exception>

#include "app/mainform.h"
#include "rhythm/dataset.h"

namespace {
// Exceptions that escape a handler are shown in a box; the loop goes on.
class App : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* ev) override {
    try {
      return QApplication::notify(receiver, ev);
    } catch (const std::exception& e) {
      QMessageBox::critical(nullptr, applicationName(), QString::fromLocal8Bit(e.what()));
    } catch (...) {
      QMessageBox::critical(nullptr, applicationName(), "Error");
    }
    return false;
  }
};
}  // namespace

int main(int argc, char** argv) {
  App app(argc, argv);
  app.setApplicationName("DRAV_PROF");
  TMainForm::Options opts;
  // A list file on the command line names the set; its folder's parent is the working folder.
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.size() > 4 && a.compare(a.size() - 4, 4, ".vl2") == 0) {
      opts.commandLineList = QString::fromLocal8Bit(argv[i]);
      QDir::setCurrent(QString::fromStdString(WorkingFolderOfListFile(a)));
      break;
    }
  }
  TMainForm form(std::move(opts));
  form.FormCreate();
  form.showMaximized();
  return app.exec();
}
