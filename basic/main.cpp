// BORNACE_DRAV: the basic edition.
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <exception>

#include "app/startup.h"
#include "app/working_folder.h"
#include "app/window/check_mode.h"
#include "app/window/startup_steps.h"
#include "platform/ui/quiet_start.h"
#include "basic/window/basic_form.h"
#include "basic/window/form_import_basic.h"

namespace {
void ShowException(std::exception_ptr e) {
  QMessageBox::critical(nullptr, QApplication::applicationName(),
                        QString::fromLocal8Bit(EscapedExceptionText(e).c_str()));
}

// An exception that escapes a handler is shown in a box; the loop goes on.
class App : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* ev) override {
    try {
      return QApplication::notify(receiver, ev);
    } catch (...) {
      ShowException(std::current_exception());
    }
    return false;
  }
};
}  // namespace

int main(int argc, char** argv) {
  QuietStart();
  App app(argc, argv);
  app.setApplicationName("Velarto");
  bornace::TMainForm::Options opts;
  // An .ole on the command line names the set; the parent of its folder
  // becomes the working folder, where the settings and the sets are.
  const StartFolder start = EnterStartFolder(std::vector<std::string>(argv + 1, argv + argc), ".ole", "BORNACE_DRAV",
                                             QCoreApplication::applicationDirPath().toStdString());
  if (!start.error.empty())
    QMessageBox::warning(nullptr, QApplication::applicationName(),
                         QString::fromUtf8("No se puede preparar la carpeta de trabajo / The working folder cannot be made:\n") +
                             QString::fromLocal8Bit(start.error.c_str()));
  opts.commandLineSet = QString::fromLocal8Bit(start.listFile.c_str());
  CheckMode check;
  if (check.on()) opts.dialogs = check.MakeDialogs(".ole");
  // The three windows in their order: the main window with its start-up,
  // the theme import dialog, and once the window has been painted the about
  // box.
  bornace::TMainForm form(std::move(opts));
  // The gains are found in the background once the window has been painted.
  form.Work->HoldWarming(true);
  try {
    form.FormCreate();
  } catch (...) {
    // The window opens as far as its start-up got.
    ShowException(std::current_exception());
  }
  if (!form.FormImportar) form.FormImportar = new bornace::TFormImportar(form);
  // Maximised; restored, it still opens within the screen's free area.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect free = screen->availableGeometry();
    form.setGeometry(QRect(free.topLeft(), form.size().boundedTo(free.size())));
  }
  AfterWindowPainted(form);
  form.showMaximized();
  if (check.on()) check.Run(form, ".ole");
  try {
    app.exec();
  } catch (...) {
    ShowException(std::current_exception());
  }
  return 0;
}
