// The installed program's own check (scripts/test's package test): with
// VELARTO_CHECK set, the program starts as always, says on stdout that its
// window is open and in which folder it works, with "save:<name>" saves the
// open set under that name as "Archivo" > "Guardar como" would, with
// "export:<name>" exports the theme selected at the start into
// datos/wavs/<name>.wav as the theme panel's WAV button would (at once, for
// bench/export_compare.sh to time the whole process), and ends.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>
#include <concepts>
#include <cstdio>
#include <memory>

#include "platform/ui/dialogs.h"

// What the check uses of a main window: a widget (is it shown?) with the
// handler of "Guardar como".
template <class Form>
concept CheckedWindow = std::derived_from<Form, QWidget> && requires(Form& f) { f.Guardarcomo1Click(); };

struct CheckMode {
  QByteArray what = qgetenv("VELARTO_CHECK");
  ScriptedDialogs* dialogs = nullptr;
  bool on() const { return !what.isEmpty(); }
  QString saveName() const { return what.startsWith("save:") ? QString::fromUtf8(what.mid(5)) : QString(); }
  QString exportName() const { return what.startsWith("export:") ? QString::fromUtf8(what.mid(7)) : QString(); }
  QString exportPath() const { return QDir::current().absoluteFilePath("datos/wavs/" + exportName() + ".wav"); }

  // The dialogs the check answers: the save name, nothing else.
  std::unique_ptr<Dialogs> MakeDialogs(const char* ext) {
    auto d = std::make_unique<ScriptedDialogs>();
    if (!saveName().isEmpty()) d->saveNames.push_back(QDir::current().absoluteFilePath("datos/" + saveName() + ext));
    if (!exportName().isEmpty()) d->saveNames.push_back(exportPath());
    dialogs = d.get();
    return d;
  }

  template <CheckedWindow Form>
  void Run(Form& form, const char* ext) {
    QTimer::singleShot(exportName().isEmpty() ? 200 : 0, &form, [this, &form, ext] {
      std::printf("window open: %d\nworking folder: %s\n", form.isVisible() ? 1 : 0,
                  QDir::currentPath().toLocal8Bit().constData());
      int status = form.isVisible() ? 0 : 1;
      if (!saveName().isEmpty()) {
        form.Guardarcomo1Click();
        const bool saved = QFileInfo::exists("datos/" + saveName() + ext);
        std::printf("saved %s: %d\n", saveName().toLocal8Bit().constData(), saved ? 1 : 0);
        if (!saved) status = 1;
      }
      if (!exportName().isEmpty()) {
        QFile::remove(exportPath());
        form.SpeedButton6Click();
        const bool exported = QFileInfo::exists(exportPath());
        std::printf("exported %s: %d\n", exportName().toLocal8Bit().constData(), exported ? 1 : 0);
        if (!exported) status = 1;
      }
      for (const QString& m : dialogs->messages) std::printf("message: %s\n", m.toLocal8Bit().constData());
      std::fflush(stdout);
      std::_Exit(status);  // no close questions: the check is done
    });
  }
};
