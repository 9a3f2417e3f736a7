// DRAV_PROF: the professional edition.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <exception>

#include "app/mainform.h"
#include "app/startup.h"

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
  app.setApplicationName("Velarto");
  TMainForm::Options opts;
  // A list file on the command line names the set; its folder's parent is the working folder.
  std::vector<std::string> args(argv + 1, argv + argc);
  if (auto set = FindCommandLineSet(args)) {
    opts.commandLineList = QString::fromLocal8Bit((set->name + ".vl2").c_str());
    QDir::setCurrent(QString::fromLocal8Bit(set->workingFolder.c_str()));
  }
  TMainForm form(std::move(opts));
  form.FormCreate();
  form.CreateAboutBox();
  form.showMaximized();
  return app.exec();
}
