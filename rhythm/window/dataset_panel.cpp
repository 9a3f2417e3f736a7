#include "rhythm/window/dataset_panel.h"

#include <QDir>
#include <algorithm>
#include <filesystem>
#include <utility>

#include "platform/files/text.h"
#include "platform/ui/settings.h"
#include "platform/ui/string_grid.h"
#include "rhythm/record_ranges.h"

DataSetPanel::DataSetPanel(DataSetState& dataSet, RhythmTables& rhythm, DataSetRules rules, WindowSide side)
    : dataSet_(dataSet), rhythm_(rhythm), rules_(std::move(rules)), side_(std::move(side)) {}

QString DataSetPanel::Tr(const char* spanish, const char* english) const {
  return QString::fromUtf8(side_.english() ? english : spanish);
}

void DataSetPanel::ChooseSetToOpen() {
  if (!dataSet_.SilentOpen) {
    FileDialogRequest req;
    req.title = Tr(rules_.openTitle, rules_.openTitleEnglish);
    req.initialDir = QDir::currentPath() + "/datos";
    req.filter = rules_.openFilter;
    const QString chosen = side_.dialogs().OpenFileName(req);
    if (!chosen.isEmpty()) {
      if (std::optional<ChosenSet> set = SetOfChosenPath(rules_.files, FsPath(chosen))) {
        dataSet_.DataSetListPath = set->listPath;
        dataSet_.DataSetName = set->name;
      }
    }
  }
  dataSet_.SilentOpen = false;
}

bool DataSetPanel::AskToSave() {
  if (dataSet_.SaveWithoutAsking) return true;
  dataSet_.SaveAnswer =
      side_.dialogs().Ask(Tr("¿ Quiere guardar los cambios realizados ?", "Save the changes ?"), QString(),
                          rules_.saveQuestion);
  return dataSet_.SaveAnswer == kAnswerYes;
}

// The save-as dialog, shown again until it names a set: it starts in
// "datos" (a folder change while it is up points the next showing at
// "datos"); a refused reserved name is said first, a path outside a "datos"
// folder is not. Nothing when cancelled.
std::optional<ChosenSet> DataSetPanel::AskSaveAsSet() {
  SaveAsInitialDir = QDir::currentPath() + "/datos";
  for (;;) {
    FileDialogRequest req;
    req.title = Tr("Guardar como", "Save as");
    req.initialDir = SaveAsInitialDir;
    req.filter = rules_.saveAsFilter;
    req.onFolderChange = [this](const QString&) { SaveDialogFolderChange(); };
    const QString chosen = side_.dialogs().SaveFileName(req);
    if (chosen.isEmpty()) return std::nullopt;
    const std::string path = rules_.files.withExtension(FsPath(chosen));
    if (rules_.files.refusedForSaveAs(path)) {
      side_.dialogs().ShowMessage(
          Tr("Seleccione un nombre distinto a Original o Nuevo", "Select a different name to Original or Nuevo"));
      continue;
    }
    if (std::optional<std::string> name = rules_.files.nameOf(path)) return ChosenSet{path, *name};
  }
}

void DataSetPanel::SaveAs() {
  const std::string oldName = dataSet_.DataSetName;
  const std::string oldListPath = dataSet_.DataSetListPath;
  const std::string oldFolder = SetFolder(oldName);
  const std::optional<ChosenSet> chosen = AskSaveAsSet();
  if (!chosen) return;
  const std::string folder = SetFolder(chosen->name);
  const bool folderWasThere = DirExists(folder);
  MakeDirs(folder);
  if (side_.beforeSaveAs) side_.beforeSaveAs(oldFolder, folder);
  dataSet_.DataSetName = chosen->name;
  dataSet_.DataSetListPath = chosen->listPath;
  side_.nameShown();
  dataSet_.SaveWithoutAsking = true;
  dataSet_.SaveAnswer = kAnswerYes;
  if (!side_.save()) {
    // Nothing was written under the new name: the open set keeps its own.
    dataSet_.SaveWithoutAsking = false;
    if (!folderWasThere) {
      std::error_code ec;
      std::filesystem::remove_all(folder, ec);
    }
    dataSet_.DataSetName = oldName;
    dataSet_.DataSetListPath = oldListPath;
    side_.nameShown();
    return;
  }
  if (side_.afterSaveAs) side_.afterSaveAs(oldFolder, folder);
}

void DataSetPanel::LogCopiedFiles(const std::vector<std::string>& copied, const std::vector<std::string>& failures) {
  for (const auto& src : copied) side_.log(FromFs(src));
  for (const auto& failed : failures) side_.log(Tr("No se ha podido copiar ", "I could not copy ") + FromFs(failed));
}

void DataSetPanel::ReportUnreadableRecords(const std::string& path) {
  side_.dialogs().ShowMessage(Tr("No se han podido leer los datos de ", "The data could not be read from ") +
                              FromFs(path));
}

void DataSetPanel::TellMendedRecords(const std::string& path, int mended, size_t recordBytes, size_t maxRecords) {
  const bool english = side_.english();
  std::string text = RecordFileSizeText(path, recordBytes, maxRecords, english);
  const std::string m = MendedRecordsText(path, mended, english);
  if (!m.empty()) text += (text.empty() ? "" : "\r\n") + m;
  if (!text.empty()) side_.dialogs().ShowMessage(FromFs(text));
}

void DataSetPanel::TellSaveRecovery(GroupRecovery r) {
  if (r == GroupRecovery::kCompleted)
    side_.log(Tr("Se ha completado el guardado interrumpido de ", "The interrupted save was completed: ") +
              L1(dataSet_.DataSetName));
  else if (r == GroupRecovery::kRolledBack)
    side_.log(Tr("Se ha descartado el guardado interrumpido de ", "The interrupted save was discarded: ") +
              L1(dataSet_.DataSetName));
}

void DataSetPanel::ReportSaveFailure(const std::string& error) {
  side_.dialogs().ShowMessage(Tr("No se han podido guardar los datos:\r\n", "The data could not be saved:\r\n") +
                              FromFs(error));
}

void DataSetPanel::RecordSavedSet(int formulaCount, int temaCount, const std::string& listPath) {
  rhythm_.FormulaCount = formulaCount;
  rhythm_.TemaCount = temaCount;
  dataSet_.DataSetListPath = listPath;
  side_.clearModified();
  side_.log(Tr("Datos guardados", "Data saved"));
  dataSet_.FreshSet = false;
  side_.settings().WriteString("METRONOMO", "archivo", L1(dataSet_.DataSetName));
}

void DataSetPanel::ReadAgainKeepingSelection() {
  side_.stop();
  const std::array<StringGrid*, 4> grids = side_.grids();
  int rows[4], cols[4];
  for (int i = 0; i < 4; ++i) {
    rows[i] = grids[i]->Row();
    cols[i] = grids[i]->Col();
  }
  dataSet_.SilentOpen = true;
  side_.clearModified();
  side_.open();
  for (int i = 0; i < 4; ++i) {
    const int r = std::min(rows[i], grids[i]->RowCount() - 1);
    const int c = std::min(cols[i], grids[i]->ColCount() - 1);
    if (r < 1 || c < 0) continue;
    grids[i]->Select(c, r);
    side_.selectCell(i, c, r);
  }
}
