// BORNACE_DRAV: the basic edition.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <exception>

#include "app/startup.h"
#include "basic/window/basic_form.h"

namespace {
class App : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* ev) override {
    try {
      return QApplication::notify(receiver, ev);
    } catch (...) {
      QMessageBox::critical(nullptr, applicationName(),
                            QString::fromLocal8Bit(EscapedExceptionText(std::current_exception()).c_str()));
    }
    return false;
  }
};
}  // namespace

int main(int argc, char** argv) {
  App app(argc, argv);
  app.setApplicationName("Velarto");
  bornace::TMainForm::Options opts;
  // An .ole on the command line names the set; its folder's parent becomes
  // the working folder.
  for (int i = 1; i < argc; ++i) {
    const QString a = QString::fromLocal8Bit(argv[i]);
    if (a.endsWith(".ole", Qt::CaseInsensitive)) {
      const QFileInfo fi(a);
      opts.commandLineSet = fi.fileName();
      QDir up = fi.absoluteDir();
      if (up.cdUp()) QDir::setCurrent(up.absolutePath());
      break;
    }
  }
  bornace::TMainForm form(std::move(opts));
  try {
    form.FormCreate();
  } catch (...) {
    QMessageBox::critical(nullptr, app.applicationName(),
                          QString::fromLocal8Bit(EscapedExceptionText(std::current_exception()).c_str()));
  }
  form.show();
  return app.exec();
}
