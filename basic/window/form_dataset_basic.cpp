// The basic window's data-set commands: open, the sounds with the meter of
// the device's sound memory, save with its question, save as, new, factory
// set and undo all.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextEdit>
#include <QTimer>
#include <QGroupBox>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "platform/ui/desk_theme.h"
#include "platform/ui/settings.h"
#include "platform/ui/string_grid.h"
#include "basic/basic_set.h"
#include "basic/window/basic_form.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "engine/transport.h"
#include "rhythm/record_ranges.h"
#include "rhythm/window/editor_handlers.h"

namespace bornace {

void TMainForm::Cambios() {
  if (Deck->IsPlaying() && Engine->ThemePlayback) return;
  botonrec->setEnabled(true);
}

void TMainForm::ClearModified() { botonrec->setEnabled(false); }

bool TMainForm::Modified() const { return botonrec->isEnabled(); }

void TMainForm::ShowDataSetName() {
  const QString name = L1(DataSet.DataSetName);
  setWindowTitle("Velarto Quendrel - " + name);
  if (GB1) GB1->setTitle(name);
  if (Label21) Label21->setText(name);
}

void TMainForm::FillLibrary() {
  LBwavs->clear();
  for (const auto& n : BasicLibraryNames(DataSet.DataSetName)) LBwavs->addItem(L1(n));
  SoundsPane.PaintLibrary();
}

// The panel's rules here: the .ole list files, the save's question without
// Cancel. The set's folder holds its sounds: a save as copies them to the
// new set's folder first, and the library shows the folder's sounds.
DataSetPanel::WindowSide TMainForm::DataSetSide() {
  DataSetPanel::WindowSide side = DataSetSideOf(*this);
  side.nameShown = [this] {
    FillLibrary();
    ShowDataSetName();
  };
  side.beforeSaveAs = [this](const std::string& from, const std::string& to) {
    std::vector<std::string> copied, failures;
    CopySetSounds(from, to, &copied, &failures);
    DataSetPane.LogCopiedFiles(copied, failures);
  };
  return side;
}

DataSetRules TMainForm::EditionDataSetRules() {
  const char* title = "Seleecione un archivo de datos PELN";
  return {kOleFileRules, title, title, "Archivos con arte|*.ole", "Archivos con arte|*.ole", AskButtons::YesNo};
}

void TMainForm::Abrir2Click() { OpenDataSet(); }

bool TMainForm::OpenDataSet() {
  if (Modified()) {
    botonrecClick();
    // A set whose files could not be written stays open, changes and all.
    // Otherwise the open goes on (an answer No, or sounds above the
    // device's memory, drop the changes).
    if (SaveWriteFailed) return false;
  }
  SGTemas->EmptyColumns(0, 2);
  editor_steps::EmptySequenceGrid(*this, Pages, 5);
  SGFormulas->EmptyColumns(0, 3);

  DataSetPane.ChooseSetToOpen();
  DataSetPane.TellSaveRecovery(RecoverBasicSetSave(DataSet.DataSetName));

  FillLibrary();
  ShowDataSetName();

  LBIns->clear();
  SoundList.clear();
  if (!FileExists(DataSet.DataSetListPath) || DataSet.DataSetName == "Nuevo") {
    std::vector<std::string> copied, failures;
    SeedFromOriginal(DataSet.DataSetName, DataSet.DataSetListPath, &copied, &failures);
    DataSetPane.LogCopiedFiles(copied, failures);
    for (const auto& src : copied) {
      std::string n = src.substr(src.find_last_of('/') + 1);
      if (n.size() > 4) n.resize(n.size() - 4);
      if (LBwavs->findItems(L1(NameOfFs(n)), Qt::MatchExactly).isEmpty()) LBwavs->addItem(L1(NameOfFs(n)));
    }
  }
  SoundList = ReadSoundListV1(DataSet.DataSetListPath, &DataSet.SoundListBeyond);
  if (SoundList.size() > static_cast<size_t>(kBasicSoundCapacity)) SoundList.resize(kBasicSoundCapacity);
  // The names beyond stay in the file, and a save writes them back.
  if (!DataSet.SoundListBeyond.empty())
    dialogs->ShowMessage(Tr("La lista de sonidos tiene %1 nombres: se usan los %2 primeros.",
                            "The sound list has %1 names: the first %2 are used.")
                             .arg(SoundList.size() + DataSet.SoundListBeyond.size())
                             .arg(SoundList.size()));
  for (const auto& n : SoundList) LBIns->addItem(L1(n));
  if (LBIns->count() > 0) LBIns->setCurrentRow(0);
  for (int r = 1; r <= kTracksV1; ++r) SGDatosFormula->SetCells(0, r, QString::number(r));

  AbreSonidos();
  SoundsPane.PaintLibrary();  // the listed sounds red, now that the list is known
  CBMetro->setCurrentIndex(0);

  std::vector<int> repaired;
  std::vector<std::string> unreadable;
  LoadBasicRecords(*Rhythm, DataSet.DataSetName, &repaired, &unreadable);
  for (const auto& path : unreadable) DataSetPane.ReportUnreadableRecords(path);
  // What the files hold is checked against the ranges; what lies outside is
  // mended in the tables (the files change when the set is saved).
  RecordLimits limits;
  limits.soundCount = static_cast<int>(SoundList.size());
  limits.formulaCount = Rhythm->FormulaCount;
  limits.maxEntries = kEntriesV1;
  const std::string formulasPath = FormulasV1PathOf(DataSet.DataSetName);
  const std::string temasPath = TemasV1PathOf(DataSet.DataSetName);
  const int formulasMended = FileExists(formulasPath) ? MendFormulas(*Rhythm, limits, repaired) : 0;
  const int temasMended = FileExists(temasPath) ? MendTemas(*Rhythm, limits) : 0;
  DataSet.FreshSet = Rhythm->FormulaCount < 2;
  SGFormulas->SetRowCount(Rhythm->FormulaCount + 1);
  RefillFormulaRows();

  SGTemas->SetCells(0, 0, Tr("Tema Nº", "Song No."));
  SGTemas->SetCells(1, 0, Tr("Nombre", "Name"));
  SGTemas->SetCells(2, 0, "BPM");
  SGTemas->SetRowCount(Rhythm->TemaCount + 1);
  RefillTemaRows();

  if (Rhythm->FormulaCount > 0) {
    SGFormulas->Select(SGFormulas->Col() < 1 ? 1 : SGFormulas->Col(), 1);
    SGFormulasSelectCell(SGFormulas->Col(), 1);
  }
  // A repaired formula is selected and shown, as clearing it does.
  for (size_t k = 0; k < repaired.size(); ++k) {
    const int i = repaired[k];
    SGFormulas->Select(SGFormulas->Col() < 1 ? 1 : SGFormulas->Col(), i + 1);
    SGFormulasSelectCell(SGFormulas->Col(), i + 1);
    if (k < DataSetPanel::kRepairsLogged) Log(Tr("Fórmula reparada: ", "Formula repaired: ") + QString::number(i + 1));
  }
  DataSetPane.TellMendedRecords(formulasPath, formulasMended, sizeof(FormulaV1), kMaxFormulas);
  DataSetPane.TellMendedRecords(temasPath, temasMended, sizeof(TemaV1), kMaxTemas);
  if (Rhythm->TemaCount > 0) {
    SGTemas->Select(1, 1);
    SGTemasSelectCell(1, 1);
  }
  SettingsIniFile->WriteString("METRONOMO", "archivo", L1(DataSet.DataSetName));
  ClearModified();
  return true;
}

void TMainForm::AbreSonidos() {
  FillSoundChoosers();
  const BasicSoundLoad r = LoadBasicSounds(*Bank, SoundMemory, SoundList, SetFolder(DataSet.DataSetName));
  SoundLoadResult told;
  told.FailureTexts = r.failureTexts;
  told.FailureTextsEnglish = r.failureTextsEnglish;
  told.EmptyPaths = r.emptyPaths;
  SoundsPane.ReportLoad(told);
  ShowSoundMeter(true);
}

// Label15 and EnUso show the share of the device's sound memory in use:
// the theme's lime up to 100 %, its red above (then the set cannot be saved).
void TMainForm::ShowSoundMeter(bool warn) {
  const float usage = SoundMemory.Usage();
  Label15->setText(L1(SoundMemoryText(usage, English)));
  EnUso->setValue(std::clamp(static_cast<int>(usage), 0, 100));
  const bool over = usage > 100.0f;
  const QColor& ink = over ? DeskTheme().red : DeskTheme().lime;
  Label15->setStyleSheet(QStringLiteral("QLabel { color: %1; }").arg(ink.name()));
  if (over && warn) dialogs->ShowMessage(SoundsTooLongMessage());
}

QString TMainForm::SoundsTooLongMessage() const {
  return Tr("La longitud de los sonidos excede el máximo disponible:\r\n",
            "The length of the sounds exceeds the maximum available:\r\n") +
         Label15->text();
}

void TMainForm::botonrecClick() { SaveDataSet(); }

bool TMainForm::SaveDataSet() {
  SaveWriteFailed = false;
  Stop1Click();
  if (DataSet.DataSetName == "Original" || DataSet.DataSetName == "Nuevo") {
    Guardarcomo1Click();
    return !Modified();
  }
  if (SoundMemory.Usage() > 100.0f) {
    dialogs->ShowMessage(SoundsTooLongMessage());
    return false;
  }
  if (!DataSetPane.AskToSave()) return false;
  DataSet.SaveWithoutAsking = false;
  Normalizar1Click();
  const int formulaCount = FormulaCount();
  const int temaCount = TemaCount();
  std::string error;
  if (!SaveBasicSet(*Rhythm, DataSet.DataSetName, formulaCount, temaCount, SoundList, SoundMemory, &error,
                    DataSet.SoundListBeyond)) {
    SaveWriteFailed = true;
    DataSetPane.ReportSaveFailure(error);
    return false;
  }
  DataSetPane.RecordSavedSet(formulaCount, temaCount, OlePathOf(DataSet.DataSetName));
  return true;
}

void TMainForm::Guardar1Click() { botonrecClick(); }

void TMainForm::Guardarcomo1Click() { DataSetPane.SaveAs(); }

// New and Original leave the open set: its changes are offered for saving
// under its own name first (the open that follows would otherwise save
// them under the name it is about to open). False: they could not be
// written, and the set stays open.
bool TMainForm::SaveBeforeLeaving() {
  if (!Modified()) return true;
  botonrecClick();
  if (SaveWriteFailed) return false;
  ClearModified();  // not saved by choice: the changes are dropped, not asked for again
  return true;
}

void TMainForm::Nuevo1Click() {
  if (!SaveBeforeLeaving()) return;
  // The set to go back to at the next start when the new one is never saved.
  if (DataSet.DataSetName != "Nuevo") DataSet.PreviousDataSetName = DataSet.DataSetName;
  DataSet.DataSetName = "Nuevo";
  DataSet.DataSetListPath = "Nuevo.ole";
  DataSet.SilentOpen = true;
  OpenDataSet();
  // The sliders are set by code: a new set is not a changed one.
  Pages.TempoSliderByCode = true;
  TB1->setValue(300);
  Pages.TempoSliderByCode = false;
  TB2->setValue(300);
  Rhythm->Temas[0].entryCount = 0;
  Rhythm->Temas[0].tempos[0] = static_cast<uint16_t>(SliderBpm(TB2->value()));
  SGTemas->Select(1, 1);
  SGTemas->SetCells(0, 1, "1");
  SGTemas->SetCells(1, 1, QString());
  SGTemas->SetCells(2, 1, QString::number(SliderBpm(TB2->value())));
  if (!RadioButton1->isChecked()) {
    RadioButton1->setChecked(true);
    RadioButton1Click();
  }
  SGTemasSelectCell(1, 1);
}

void TMainForm::Original1Click() {
  if (!SaveBeforeLeaving()) return;
  DataSet.DataSetName = "Original";
  DataSet.DataSetListPath = OlePathOf("Original");
  DataSet.SilentOpen = true;
  OpenDataSet();
}

void TMainForm::Deshacertodo1Click() { DataSetPane.ReadAgainKeepingSelection(); }

}  // namespace bornace
