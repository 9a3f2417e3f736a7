// Data-set commands of the "Archivo" menu: open, save, save as, new, factory
// set and undo all.
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "app/window/mainform.h"
#include "platform/ui/settings.h"
#include "platform/ui/string_grid.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "engine/transport.h"
#include "rhythm/record_ranges.h"
#include "rhythm/window/editor_handlers.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> LibrarySoundNames() {
  std::vector<std::string> names;
  std::error_code ec;
  // An entry whose kind cannot be told (a symlink loop) is no sound.
  for (fs::directory_iterator it("BancoDeSonidos", ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code kind;
    if (!it->is_regular_file(kind)) continue;
    const std::string f = it->path().filename().string();
    if (f.size() > 4 && f.compare(f.size() - 4, 4, ".wav") == 0) names.push_back(NameOfFs(f.substr(0, f.size() - 4)));
  }
  std::sort(names.begin(), names.end());
  return names;
}
}  // namespace

// The panel's rules here: the .vl2 list files, the save's question with
// Cancel; after a save as, the guitar tracks follow the set.
DataSetPanel::WindowSide TMainForm::DataSetSide() {
  DataSetPanel::WindowSide side = DataSetSideOf(*this);
  side.afterSaveAs = [this](const std::string& from, const std::string& to) {
    // Once the set itself is safely written, so that a failed save replaces
    // no track of a set that already had the name.
    std::vector<std::string> failures;
    const std::vector<std::string> copied = CopyGuitarTracks(from, to, &failures);
    DataSetPane.LogCopiedFiles(copied, failures);
  };
  return side;
}

DataSetRules TMainForm::EditionDataSetRules() {
  return {kListFileRules, "Abrir", "Open", "Archivos DRAVv2|*.vl2", "Archivos WIXEv2|*.vl2", AskButtons::YesNoCancel};
}

void TMainForm::Abrir2Click() { OpenDataSet(); }

void TMainForm::ShowDataSetName() {
  const QString name = L1(DataSet.DataSetName);
  setWindowTitle("Velarto Quendrel - " + name);
  // The set's name stands beside the panel's caption, not in it twice.
  PanelSonidos->setTitle(Tr("   Sonidos ", "   Sounds "));
  Label21->setText(name);
  PlaceSetNameLabel();
}

bool TMainForm::OpenDataSet() {
  // A modified set is offered for saving first; Cancel, or a save that could
  // not be written, leaves everything as it is.
  if (Modified()) {
    DataSet.SaveWithoutAsking = false;
    if (!SaveDataSet() && DataSet.SaveAnswer != kAnswerNo) return false;
  }

  SGTemas->EmptyColumns(0, 1);
  editor_steps::EmptySequenceGrid(*this, FormulaEd, 4);
  SGFormulas->EmptyColumns(0, 3);

  DataSetPane.ChooseSetToOpen();
  DataSetPane.TellSaveRecovery(RecoverSetSave(DataSet.DataSetName));

  LBwavs->clear();
  for (const auto& n : LibrarySoundNames()) LBwavs->addItem(L1(n));

  ShowDataSetName();

  LBIns->clear();
  if (!FileExists(DataSet.DataSetListPath) || DataSet.DataSetName == "Nuevo") {
    std::string err;
    if (!CopyFileReplacing(kFactoryListPath, DataSet.DataSetListPath, &err))
      Log(Tr("No se puede copiar la lista de sonidos: ", "I cannot copy the sound list: ") + FromFs(err));
    MakeDirs(SetFolder(DataSet.DataSetName));
  }

  for (int r = 1; r <= 16; ++r) SGDatosFormula->SetCells(0, r, QString::number(r));
  AbreSonidos();
  CBMetro->setCurrentIndex(0);

  std::vector<int> repaired;
  const std::string formulasPath = FormulasPathOf(DataSet.DataSetName);
  const bool formulasThere = FileExists(formulasPath);
  if (!LoadFormulas(*Rhythm, formulasPath, &repaired)) DataSetPane.ReportUnreadableRecords(formulasPath);
  // What the file holds is checked against the ranges; what lies outside is
  // mended in the table (the file changes when the set is saved).
  RecordLimits limits;
  limits.soundCount = static_cast<int>(SoundList.size());
  limits.formulaCount = Rhythm->FormulaCount;
  const int formulasMended = formulasThere ? MendFormulas(*Rhythm, limits, repaired) : 0;
  DataSet.FreshSet = Rhythm->FormulaCount < 2;
  SGFormulas->SetRowCount(Rhythm->FormulaCount + 1);
  DataSet.GridsFilling |= kGridsFillingBit;
  // Every record read keeps its row, a repaired one too, so that the grid and
  // the table count the same formulas.
  for (int i = 0; i < Rhythm->FormulaCount; ++i) {
    const Formula& f = Rhythm->Formulas[static_cast<size_t>(i)];
    Deck->SetFormulaBeats(f.Beats(), f.StartBeat());
    FillFormulaRow(i);
  }

  SGTemas->SetCells(0, 0, Tr("Tema Nº", "Song No."));
  SGTemas->SetCells(1, 0, Tr("Nombre", "Name"));
  const std::string temasPath = TemasPathOf(DataSet.DataSetName);
  const bool temasThere = FileExists(temasPath);
  if (!LoadTemas(*Rhythm, temasPath)) DataSetPane.ReportUnreadableRecords(temasPath);
  const int temasMended = temasThere ? MendTemas(*Rhythm, limits) : 0;
  SGTemas->SetRowCount(Rhythm->TemaCount + 1);
  for (int m = 1; m <= Rhythm->TemaCount; ++m) {
    const Tema& t = Rhythm->Temas[m - 1];
    if (t.Unused()) continue;
    SGTemas->SetCells(0, m, QString::number(m));
    SGTemas->SetCells(1, m, L1(t.Name()));
  }
  // A repaired formula is selected and shown, as clearing it does; the themes
  // are in by then, so the editor tells truly where it is used.
  for (size_t k = 0; k < repaired.size(); ++k) {
    const int i = repaired[k];
    SGFormulas->Select(SGFormulas->Col(), i + 1);
    SGFormulasSelectCell(SGFormulas->Col(), i + 1);
    if (k < DataSetPanel::kRepairsLogged) Log(Tr("Fórmula reparada: ", "Formula repaired: ") + QString::number(i + 1));
  }
  DataSetPane.TellMendedRecords(formulasPath, formulasMended, sizeof(Formula), kMaxFormulas);
  DataSetPane.TellMendedRecords(temasPath, temasMended, sizeof(Tema), kMaxTemas);
  if (Rhythm->TemaCount > 0) {
    SGTemasSelectCell(1, 1);
    SGTemas->Select(1, 1);
  }
  DataSet.GridsFilling &= static_cast<uint16_t>(~kGridsFillingBit);

  SettingsIniFile->WriteString("METRONOMO", "archivo", L1(DataSet.DataSetName));
  LoadGuitarBankNamed(GuitarBankName);
  ClearModified();
  // Selecting the first theme above has started finding the themes' gains in
  // the background, so that a theme starts at once.
  NotifyPhoneDataSetOpened();
  return true;
}

void TMainForm::botonrecClick() { SaveDataSet(); }
void TMainForm::Guardar1Click() { SaveDataSet(); }

bool TMainForm::SaveDataSet() {
  Stop1Click();
  if (!DataSetPane.AskToSave()) return false;
  if (DataSet.SoundListCut) {
    // Written back, the names beyond what was read would be lost.
    DataSetPane.ReportSaveFailure(Tr("la lista de sonidos es demasiado larga para leerla entera: ",
                                "the sound list is too long to be read whole: ")
                                     .toStdString() +
                                 DataSet.DataSetListPath);
    return false;
  }
  const std::string oldName = DataSet.DataSetName;
  const std::string oldListPath = DataSet.DataSetListPath;
  if (IsReservedName(DataSet.DataSetName)) {
    DataSet.DataSetName = FirstFreeSaveName(DataSet.DataSetName);
    ShowDataSetName();
  }
  DataSet.SaveWithoutAsking = false;
  Normalizar1->trigger();

  const int formulaCount = FormulaCount();
  const int temaCount = TemaCount();
  std::string error;
  if (!SaveDataSetFiles(*Rhythm, DataSet.DataSetName, formulaCount, temaCount, SoundsPane.WholeSoundList(), &error)) {
    DataSet.DataSetName = oldName;
    DataSet.DataSetListPath = oldListPath;
    ShowDataSetName();
    DataSetPane.ReportSaveFailure(error);
    return false;
  }
  DataSetPane.RecordSavedSet(formulaCount, temaCount, ListPathOf(DataSet.DataSetName));
  return true;
}

void TMainForm::Guardarcomo1Click() { DataSetPane.SaveAs(); }

void TMainForm::Nuevo1Click() {
  if (Modified()) {
    DataSet.SaveWithoutAsking = false;
    if (!SaveDataSet()) {
      if (DataSet.SaveAnswer != kAnswerNo) return;
      ClearModified();  // answered No: the changes are dropped, not asked for again
    }
  }
  DataSet.PreviousDataSetName = DataSet.DataSetName;
  DataSet.DataSetName = "Nuevo";
  DataSet.DataSetListPath = "Nuevo.vl2";
  DataSet.SilentOpen = true;
  if (!OpenDataSet()) return;
  TB1->setValue(300);
  TB2->setValue(300);
  Rhythm->Temas[0].entryCount = 0;
  Rhythm->Temas[0].tempos[0] = static_cast<uint16_t>(SliderBpm(TB2->value()));
  SGTemas->Select(1, 1);
  SGTemas->SetCells(0, 1, "1");
  SGTemas->SetCells(1, 1, QString());
  // Switching "Normal" on runs its click when it was off: the theme plays in order.
  if (!RadioButton1->isChecked()) {
    RadioButton1->setChecked(true);
    RadioButton1Click();
  }
}

void TMainForm::Original1Click() {
  if (Modified()) {
    DataSet.SaveWithoutAsking = false;
    if (!SaveDataSet() && DataSet.SaveAnswer != kAnswerNo) return;
  }
  ClearModified();
  DataSet.DataSetName = "Original";
  DataSet.DataSetListPath = kFactoryListPath;
  DataSet.SilentOpen = true;
  OpenDataSet();
}

void TMainForm::Deshacertodo1Click() { DataSetPane.ReadAgainKeepingSelection(); }
