// The data-set commands' window steps that both editions' main windows take
// alike: the open's dialog, the save-as dialog until it names a set, what a
// written save leaves behind, the reports of a record file that could not be
// read and of a save that could not be written, and "Deshacer cambios". The
// edition's list file (its extension, how a path names a set, which save-as
// paths are refused) comes in as its ListFileRules (rhythm/dataset.h).
//
// The templates take either edition's main window. What they use of it has
// the same name in both: DataSet, Rhythm, dialogs, SettingsIniFile,
// SaveAsInitialDir, Tr, Log, the grids SGTemas, SGSaco, SGFormulas and
// SGDatosFormula with their selection handlers, and the handlers Stop1Click,
// ClearModified and OpenDataSet.
#pragma once

#include <QDir>
#include <QString>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/settings.h"
#include "platform/ui/string_grid.h"
#include "platform/files/text.h"
#include "platform/ui/dialogs.h"
#include "rhythm/dataset.h"
#include "rhythm/record_ranges.h"

// The open's dialog (starting in "datos"), unless the open is silent: a
// chosen list file that names a set becomes DataSetListPath and DataSetName;
// a cancelled dialog or a file outside a "datos" folder leaves both, so that
// the open reads the open set again. The next open asks again.
template <class Form>
void ChooseSetToOpen(Form& f, const QString& title, const QString& filter, const ListFileRules& rules) {
  if (!f.DataSet.SilentOpen) {
    FileDialogRequest req;
    req.title = title;
    req.initialDir = QDir::currentPath() + "/datos";
    req.filter = filter;
    const QString chosen = f.dialogs->OpenFileName(req);
    if (!chosen.isEmpty()) {
      if (std::optional<ChosenSet> set = SetOfChosenPath(rules, FsPath(chosen))) {
        f.DataSet.DataSetListPath = set->listPath;
        f.DataSet.DataSetName = set->name;
      }
    }
  }
  f.DataSet.SilentOpen = false;
}

// The save-as dialog, shown again until it names a set: it starts in
// "datos" (a folder change while it is up makes `onFolderChange` run, which
// points the next showing at "datos"); a refused reserved name is said
// first, a path outside a "datos" folder is not. Nothing when cancelled.
template <class Form, class FolderChange>
std::optional<ChosenSet> AskSaveAsSet(Form& f, const QString& filter, const ListFileRules& rules,
                                      FolderChange&& onFolderChange) {
  f.SaveAsInitialDir = QDir::currentPath() + "/datos";
  for (;;) {
    FileDialogRequest req;
    req.title = f.Tr("Guardar como", "Save as");
    req.initialDir = f.SaveAsInitialDir;
    req.filter = filter;
    req.onFolderChange = [&onFolderChange](const QString&) { onFolderChange(); };
    const QString chosen = f.dialogs->SaveFileName(req);
    if (chosen.isEmpty()) return std::nullopt;
    const std::string path = rules.withExtension(FsPath(chosen));
    if (rules.refusedForSaveAs(path)) {
      f.dialogs->ShowMessage(
          f.Tr("Seleccione un nombre distinto a Original o Nuevo", "Select a different name to Original or Nuevo"));
      continue;
    }
    if (std::optional<std::string> name = rules.nameOf(path))
      return ChosenSet{path, *name};
  }
}

// The files a command copied, by their source paths, and those it could not
// copy, each a line of the log.
template <class Form>
void LogCopiedFiles(Form& f, const std::vector<std::string>& copied, const std::vector<std::string>& failures) {
  for (const auto& src : copied) f.Log(FromFs(src));
  for (const auto& failed : failures) f.Log(f.Tr("No se ha podido copiar ", "I could not copy ") + FromFs(failed));
}

// A record file that is there but could not be read: the set then shows
// only what was read, and saving it would write only that.
template <class Form>
void ReportUnreadableRecords(Form& f, const std::string& path) {
  f.dialogs->ShowMessage(f.Tr("No se han podido leer los datos de ", "The data could not be read from ") + FromFs(path));
}

// A record file just read: one message naming it, with how many of its
// records had values out of range (mended in the tables, not on disk) and
// what its size says when it is not whole records or more than the table
// holds; nothing when all is well.
template <class Form>
void TellMendedRecords(Form& f, const std::string& path, int mended, size_t recordBytes, size_t maxRecords) {
  std::string text = RecordFileSizeText(path, recordBytes, maxRecords, f.English);
  const std::string m = MendedRecordsText(path, mended, f.English);
  if (!m.empty()) text += (text.empty() ? "" : "\r\n") + m;
  if (!text.empty()) f.dialogs->ShowMessage(FromFs(text));
}

// A save of the set cut short (a kill, a power cut) was put right before
// the open read its files: the log says how.
template <class Form>
void TellSaveRecovery(Form& f, GroupRecovery r) {
  if (r == GroupRecovery::kCompleted)
    f.Log(f.Tr("Se ha completado el guardado interrumpido de ", "The interrupted save was completed: ") +
          L1(f.DataSet.DataSetName));
  else if (r == GroupRecovery::kRolledBack)
    f.Log(f.Tr("Se ha descartado el guardado interrumpido de ", "The interrupted save was discarded: ") +
          L1(f.DataSet.DataSetName));
}

// The formulas whose repair the log names one by one; beyond them the
// message of TellMendedRecords counts them.
constexpr size_t kRepairsLogged = 5;

// A save whose files could not be written (nothing counts as saved).
template <class Form>
void ReportSaveFailure(Form& f, const std::string& error) {
  f.dialogs->ShowMessage(f.Tr("No se han podido guardar los datos:\r\n", "The data could not be saved:\r\n") +
                         FromFs(error));
}

// A save that was written: the tables count the records written, the list
// file is the set's own, the modified mark goes, the log says so, the set is
// no longer fresh and its name is the one the next start opens.
template <class Form>
void RecordSavedSet(Form& f, int formulaCount, int temaCount, const std::string& listPath) {
  f.Rhythm->FormulaCount = formulaCount;
  f.Rhythm->TemaCount = temaCount;
  f.DataSet.DataSetListPath = listPath;
  f.ClearModified();
  f.Log(f.Tr("Datos guardados", "Data saved"));
  f.DataSet.FreshSet = false;
  f.SettingsIniFile->WriteString("METRONOMO", "archivo", L1(f.DataSet.DataSetName));
}

// "Deshacer cambios": playback stops, the open set is read again from disk
// without a question, and the theme, its entry, the formula and the track
// selected before are selected again, each as a selection of its own so that
// the editors show them. A row the reloaded set no longer has falls back to
// the grid's last row.
template <class Form>
void ReadSetAgainKeepingSelection(Form& f) {
  f.Stop1Click();
  StringGrid* grids[] = {f.SGTemas, f.SGSaco, f.SGFormulas, f.SGDatosFormula};
  int rows[4], cols[4];
  for (int i = 0; i < 4; ++i) {
    rows[i] = grids[i]->Row();
    cols[i] = grids[i]->Col();
  }
  f.DataSet.SilentOpen = true;
  f.ClearModified();
  f.OpenDataSet();
  const std::function<void(int, int)> select[] = {
      [&f](int c, int r) { f.SGTemasSelectCell(c, r); },
      [&f](int c, int r) { f.SGSacoSelectCell(c, r); },
      [&f](int c, int r) { f.SGFormulasSelectCell(c, r); },
      [&f](int c, int r) { f.SGDatosFormulaSelectCell(c, r); },
  };
  for (int i = 0; i < 4; ++i) {
    const int r = std::min(rows[i], grids[i]->RowCount() - 1);
    const int c = std::min(cols[i], grids[i]->ColCount() - 1);
    if (r < 1 || c < 0) continue;
    grids[i]->Select(c, r);
    select[i](c, r);
  }
}
