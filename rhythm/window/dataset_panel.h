// The data set's part of either main window: the open's dialog, the save's
// question, "Guardar como" from its dialog to the set saved under the new
// name (or the old name kept), what a written save leaves behind, the
// reports of a record file that could not be read or was mended and of a
// save that could not be written, and "Deshacer cambios". What the open and
// the save read and write is the edition's (its window's OpenDataSet and
// SaveDataSet); its list file (the extension, how a path names a set, which
// save-as paths are refused) and its dialogs' texts are its DataSetRules.
#pragma once

#include <QString>
#include <array>
#include <concepts>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/atomic_file.h"
#include "platform/ui/dialogs.h"
#include "rhythm/dataset.h"

class SettingsIni;
class StringGrid;

struct DataSetRules {
  ListFileRules files;
  // The open's dialog: its title in Spanish and in English, its filter.
  const char* openTitle = "Abrir";
  const char* openTitleEnglish = "Open";
  QString openFilter;
  QString saveAsFilter;
  // The buttons of the save's question.
  AskButtons saveQuestion = AskButtons::YesNoCancel;
};

class DataSetPanel {
 public:
  // What the panel asks of the window it serves.
  struct WindowSide {
    std::function<bool()> english;
    std::function<void(const QString&)> log;
    std::function<Dialogs&()> dialogs;
    std::function<SettingsIni&()> settings;
    std::function<void()> stop;  // playback stops (Stop1Click)
    std::function<void()> clearModified;
    std::function<bool()> open;  // the open of DataSetName (OpenDataSet)
    std::function<bool()> save;  // the save (SaveDataSet); false: nothing written
    // The set's name changed: what the window shows of it.
    std::function<void()> nameShown;
    // The grids of the themes, the sequence, the formulas and the tracks,
    // and the selection handler of each, by that order.
    std::function<std::array<StringGrid*, 4>()> grids;
    std::function<void(int grid, int col, int row)> selectCell;
    // Save as: before the save under the new name (the set's folder made),
    // and after a save that was written; from the old set's folder to the
    // new one's. Either may be empty.
    std::function<void(const std::string& from, const std::string& to)> beforeSaveAs, afterSaveAs;
  };

  DataSetPanel(DataSetState& dataSet, RhythmTables& rhythm, DataSetRules rules, WindowSide side);

  // The open's dialog (starting in "datos"), unless the open is silent: a
  // chosen list file that names a set becomes DataSetListPath and
  // DataSetName; a cancelled dialog or a file outside a "datos" folder
  // leaves both, so that the open reads the open set again. The next open
  // asks again.
  void ChooseSetToOpen();
  // The save's question unless the save goes without asking; true: the
  // answer was Yes, or there was no question.
  bool AskToSave();
  // "Guardar como": the dialog until it names a set; the set takes that name
  // and is saved without a question. When nothing was written the set keeps
  // its own name again, and a folder made for the new name alone goes with
  // what was put in it.
  void SaveAs();
  // A folder change while the save-as dialog is up: its next showing starts
  // in "datos".
  void SaveDialogFolderChange() { SaveAsInitialDir = "datos"; }

  // The files a command copied, by their source paths, and those it could
  // not copy, each a line of the log.
  void LogCopiedFiles(const std::vector<std::string>& copied, const std::vector<std::string>& failures);
  // A record file that is there but could not be read: the set then shows
  // only what was read, and saving it would write only that.
  void ReportUnreadableRecords(const std::string& path);
  // A record file just read: one message naming it, with how many of its
  // records had values out of range (mended in the tables, not on disk) and
  // what its size says when it is not whole records or more than the table
  // holds; nothing when all is well.
  void TellMendedRecords(const std::string& path, int mended, size_t recordBytes, size_t maxRecords);
  // A save of the set cut short (a kill, a power cut) was put right before
  // the open read its files: the log says how.
  void TellSaveRecovery(GroupRecovery r);
  // A save whose files could not be written (nothing counts as saved).
  void ReportSaveFailure(const std::string& error);
  // A save that was written: the tables count the records written, the
  // list file is the set's own, the modified mark goes, the log says so, the
  // set is no longer fresh and its name is the one the next start opens.
  void RecordSavedSet(int formulaCount, int temaCount, const std::string& listPath);
  // "Deshacer cambios": playback stops, the open set is read again from
  // disk without a question, and the theme, its entry, the formula and the
  // track selected before are selected again, each as a selection of its
  // own so that the editors show them. A row the reloaded set no longer has
  // falls back to the grid's last row.
  void ReadAgainKeepingSelection();

  QString SaveAsInitialDir;
  // The formulas whose repair the log names one by one; beyond them the
  // message of TellMendedRecords counts them.
  static constexpr size_t kRepairsLogged = 5;

 private:
  QString Tr(const char* spanish, const char* english) const;
  std::optional<ChosenSet> AskSaveAsSet();

  DataSetState& dataSet_;
  RhythmTables& rhythm_;
  const DataSetRules rules_;
  WindowSide side_;
};

// A window the data-set panel can serve as it is: its language, log,
// dialogs and settings, its open and save, the playback's stop, the
// modified mark's clearing, the set's name shown, and the four grids with
// their selection handlers.
template <class W>
concept DataSetWindow = requires(W& w, const QString& line, int c, int r) {
  { w.English } -> std::convertible_to<bool>;
  w.Log(line);
  { *w.dialogs } -> std::same_as<Dialogs&>;
  { *w.SettingsIniFile } -> std::same_as<SettingsIni&>;
  w.Stop1Click();
  w.ClearModified();
  { w.OpenDataSet() } -> std::convertible_to<bool>;
  { w.SaveDataSet() } -> std::convertible_to<bool>;
  w.ShowDataSetName();
  { w.SGTemas } -> std::convertible_to<StringGrid*>;
  { w.SGSaco } -> std::convertible_to<StringGrid*>;
  { w.SGFormulas } -> std::convertible_to<StringGrid*>;
  { w.SGDatosFormula } -> std::convertible_to<StringGrid*>;
  w.SGTemasSelectCell(c, r);
  w.SGSacoSelectCell(c, r);
  w.SGFormulasSelectCell(c, r);
  w.SGDatosFormulaSelectCell(c, r);
};

// The panel's side in such a window (nothing before or after a save as).
template <DataSetWindow W>
DataSetPanel::WindowSide DataSetSideOf(W& w) {
  DataSetPanel::WindowSide side;
  side.english = [&w] { return static_cast<bool>(w.English); };
  side.log = [&w](const QString& line) { w.Log(line); };
  side.dialogs = [&w]() -> Dialogs& { return *w.dialogs; };
  side.settings = [&w]() -> SettingsIni& { return *w.SettingsIniFile; };
  side.stop = [&w] { w.Stop1Click(); };
  side.clearModified = [&w] { w.ClearModified(); };
  side.open = [&w] { return static_cast<bool>(w.OpenDataSet()); };
  side.save = [&w] { return static_cast<bool>(w.SaveDataSet()); };
  side.nameShown = [&w] { w.ShowDataSetName(); };
  side.grids = [&w] { return std::array<StringGrid*, 4>{w.SGTemas, w.SGSaco, w.SGFormulas, w.SGDatosFormula}; };
  side.selectCell = [&w](int grid, int c, int r) {
    switch (grid) {
      case 0:
        return w.SGTemasSelectCell(c, r);
      case 1:
        return w.SGSacoSelectCell(c, r);
      case 2:
        return w.SGFormulasSelectCell(c, r);
      default:
        return w.SGDatosFormulaSelectCell(c, r);
    }
  };
  return side;
}
