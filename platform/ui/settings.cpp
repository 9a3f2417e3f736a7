#include "platform/ui/settings.h"

#include <QFile>

namespace {
// Short lines of text: no NUL or other control byte but tab and line ends.
bool LooksLikeSettings(const QString& path) {
  QFile f(path);
  if (!f.exists()) return true;
  if (f.size() > kMaxSettingsFileBytes) return false;
  if (!f.open(QIODevice::ReadOnly)) return true;  // not ours to move; QSettings reads nothing
  const QByteArray bytes = f.readAll();
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 && b != '\t' && b != '\r' && b != '\n') return false;
  }
  return true;
}

QString MoveAside(const QString& path) {
  const QString copy = path + ".damaged";
  QFile::remove(copy);
  if (!QFile::rename(path, copy)) QFile::remove(path);
  return copy;
}
}  // namespace

SettingsIni::SettingsIni(const QString& path) {
  if (!LooksLikeSettings(path)) discarded_ = MoveAside(path);
  s_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
  if (discarded_.isEmpty() && s_->status() == QSettings::FormatError) {
    s_.reset();
    discarded_ = MoveAside(path);
    s_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
  }
}

QString SettingsIni::ReadString(const QString& section, const QString& key, const QString& def) const {
  return s_->value(section + "/" + key, def).toString();
}

bool SettingsIni::WriteString(const QString& section, const QString& key, const QString& value) {
  // A value the file holds already is not written again: a start writes back
  // much of what it read, and each write waits for the disk.
  const QString path = section + "/" + key;
  if (s_->status() == QSettings::NoError && s_->contains(path) && s_->value(path).toString() == value) return true;
  s_->setValue(path, value);
  s_->sync();  // QSettings writes through a temporary file and renames it
  return s_->status() == QSettings::NoError;
}
