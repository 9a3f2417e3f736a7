// The settings file of the working folder (ini format, section "METRONOMO").
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

class SettingsIni {
 public:
  explicit SettingsIni(const QString& path);
  QString ReadString(const QString& section, const QString& key, const QString& def) const;
  // Written through at once; false when the file cannot be written.
  bool WriteString(const QString& section, const QString& key, const QString& value);

 private:
  std::unique_ptr<QSettings> s_;
};
