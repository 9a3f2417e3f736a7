#include "platform/ui/settings.h"

SettingsIni::SettingsIni(const QString& path) : s_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

QString SettingsIni::ReadString(const QString& section, const QString& key, const QString& def) const {
  return s_->value(section + "/" + key, def).toString();
}

bool SettingsIni::WriteString(const QString& section, const QString& key, const QString& value) {
  s_->setValue(section + "/" + key, value);
  s_->sync();  // QSettings writes through a temporary file and renames it
  return s_->status() == QSettings::NoError;
}
