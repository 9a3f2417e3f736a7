// DRAV_PROF: the professional edition.
#include <QApplication>
#include <QScreen>
#include <QMessageBox>
#include <exception>

#include "app/window/mainform.h"
#include "links/phone_server.h"
#include "app/startup.h"
#include "app/working_folder.h"
#include "app/window/check_mode.h"
#include "app/window/start_times.h"
#include "app/window/startup_steps.h"
#include "platform/ui/quiet_start.h"

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
  StartTimes times;
  times.Step("main");
  QuietStart();
  App app(argc, argv);
  times.Step("application");
  app.setApplicationName("Velarto");
  TMainForm::Options opts;
  opts.announcer = MakeAvahiAnnouncer();  // the phone link, announced through avahi-daemon
  opts.phoneServer = phone::MakePhoneServer();
  // A list file on the command line names the set. The program's folder is
  // the parent of the list file's folder: everything (settings, pictures,
  // data sets) is read from there, so it becomes the working folder first.
  const StartFolder start = EnterStartFolder(std::vector<std::string>(argv + 1, argv + argc), ".vl2", "DRAV_PROF",
                                             QCoreApplication::applicationDirPath().toStdString());
  if (!start.error.empty())
    QMessageBox::warning(nullptr, QApplication::applicationName(),
                         QString::fromUtf8("No se puede preparar la carpeta de trabajo / The working folder cannot be made:\n") +
                             QString::fromLocal8Bit(start.error.c_str()));
  opts.commandLineList = QString::fromLocal8Bit(start.listFile.c_str());
  CheckMode check;
  if (check.on()) opts.dialogs = check.MakeDialogs(".vl2");
  // The three windows in their order: the main window with its start-up,
  // the theme import dialog, and once the window has been painted the about
  // box.
  TMainForm form(std::move(opts));
  // The gains are found in the background once the window has been painted.
  form.Work->HoldWarming(true);
  times.Step("window");
  try {
    form.FormCreate();
  } catch (...) {
    // The window opens as far as its start-up got.
    ShowException(std::current_exception());
  }
  times.Step("startup");
  form.CreateImportDialog();
  times.Step("dialogs");
  // Maximised; restored, it still opens within the screen's free area.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect free = screen->availableGeometry();
    form.setGeometry(QRect(free.topLeft(), form.sizeHint().expandedTo(QSize(1024, 700)).boundedTo(free.size())));
  }
  AfterWindowPainted(form);
  times.WatchFirstPaint(&form);  // watched last, told first: before the steps above
  form.showMaximized();
  times.Step("shown");
  if (check.on()) check.Run(form, ".vl2");
  try {
    app.exec();
  } catch (...) {
    ShowException(std::current_exception());
  }
  return 0;
}
