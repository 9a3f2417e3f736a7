// The settings file of the working folder (ini format, section "METRONOMO").
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

class SettingsIni {
 public:
  // A file there that is no settings file (binary bytes, far too long for
  // one, or not readable as one) is moved aside to path + ".damaged" and
  // the settings start empty; Discarded() then names the copy.
  explicit SettingsIni(const QString& path);
  const QString& Discarded() const { return discarded_; }
  QString ReadString(const QString& section, const QString& key, const QString& def) const;
  // Written through at once; false when the file cannot be written.
  bool WriteString(const QString& section, const QString& key, const QString& value);

 private:
  std::unique_ptr<QSettings> s_;
  QString discarded_;
};

// A settings file holds a few short lines; one beyond this is none.
constexpr qint64 kMaxSettingsFileBytes = 64 * 1024;
