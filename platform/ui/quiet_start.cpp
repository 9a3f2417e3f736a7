#include "platform/ui/quiet_start.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QtMessageHandler previous = nullptr;

void Filter(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support"))) return;
  if (previous) previous(type, context, text);
}

// Outside a desktop session (a root shell, a service, ssh) nothing sets
// XDG_RUNTIME_DIR; Qt then falls back to /tmp/runtime-<user> and warns. The
// same folder, made private to us and named in the environment, is quiet.
void EnsureRuntimeDir() {
  const char* set = std::getenv("XDG_RUNTIME_DIR");
  if (set && *set) return;
  const std::string dir = "/tmp/runtime-" + std::to_string(getuid());
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return;
  struct stat st;
  if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return;  // not ours: Qt says so
  if ((st.st_mode & 0777) != 0700 && chmod(dir.c_str(), 0700) != 0) return;
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

}  // namespace

void QuietStart() {
  EnsureRuntimeDir();
  previous = qInstallMessageHandler(&Filter);
}
