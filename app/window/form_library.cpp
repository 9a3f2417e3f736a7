// Library commands in the window: the formula, track, beat and theme
// clipboards, the track moves, search, sorting and deletion of formulas and
// themes, stepping through the themes and the converter of older sets.
#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <filesystem>

#include "app/window/mainform.h"
#include "platform/ui/widgets.h"
#include "platform/ui/string_grid.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "app/window/form_import.h"
#include "rhythm/formats_v1.h"
#include "rhythm/library_ops.h"
#include "rhythm/window/editor_widgets.h"
#include "rhythm/window/library_handlers.h"

namespace {
// Number and name cells of every theme row whose record is in use, from the
// records (a pasted theme thus shows the name its record carries).
void RefillThemeRowsOf(TMainForm& w, int temaCount) {
  const int n = std::min({temaCount, w.TemaCount(), kMaxTemas});
  for (int j = 0; j < n; ++j)
    if (!w.Rhythm->Temas[static_cast<size_t>(j)].Unused()) w.FillTemaRow(j);
}
}  // namespace

void TMainForm::BuildLibraryControls() {
  if (Edit3) return;  // built once

  // The formula search box under the formula grid.
  SGFormulas->setGeometry(8, 44, 232, 156);
  Edit3Label = MakeLabel(PanelFormulas, "Edit3Label", QString::fromUtf8("Buscar fórmula"), {8, 203, 84, 20});
  Edit3 = new QLineEdit(PanelFormulas);
  Edit3->setObjectName("Edit3");
  Edit3->setGeometry(92, 203, 148, 20);
  Edit3Label->setBuddy(Edit3);

  // Stepping buttons and the theme search box under the theme grid.
  SGTemas->setGeometry(8, 22, 170, 176);
  menostema = MakeButton(PanelTemas, "menostema", "<", {8, 202, 24, 22}, "Tema anterior");
  mastema = MakeButton(PanelTemas, "mastema", ">", {34, 202, 24, 22}, "Tema siguiente");
  LabeledEdit1Label = MakeLabel(PanelTemas, "LabeledEdit1Label", "Buscar tema ", {62, 202, 62, 22});
  LabeledEdit1 = new QLineEdit(PanelTemas);
  LabeledEdit1->setObjectName("LabeledEdit1");
  LabeledEdit1->setGeometry(124, 202, 54, 22);
  LabeledEdit1Label->setBuddy(LabeledEdit1);

  connect(ImportarTEMA1, &QAction::triggered, this, [this] { ImportarTEMA1Click(); });
  connect(ImportarPELNv1, &QAction::triggered, this, [this] { ImportarPELNv1Click(); });
  connect(Borrarfrmula1, &QAction::triggered, this, [this] { Borrarfrmula1Click(); });
  connect(Ordenarpornombre2, &QAction::triggered, this, [this] { OrdenarClick(); });
  connect(Copiarpista1, &QAction::triggered, this, [this] { Copiarpista1Click(); });
  connect(Pegarpista1, &QAction::triggered, this, [this] { Pegarpista1Click(); });
  connect(Limpiarpista1, &QAction::triggered, this, [this] { Limpiarpista1Click(); });
  connect(Copiartiempo1, &QAction::triggered, this, [this] { Copiartiempo1Click(); });
  connect(Pegartiempo1, &QAction::triggered, this, [this] { Pegartiempo1Click(); });
  connect(Limpiartiempo1, &QAction::triggered, this, [this] { Limpiartiempo1Click(); });
  connect(Copiartema1, &QAction::triggered, this, [this] { Copiartema1Click(); });
  connect(Pegartema1, &QAction::triggered, this, [this] { Pegartema1Click(); });
  connect(Limpiartema1, &QAction::triggered, this, [this] { Limpiartema1Click(); });
  connect(Borrartema1, &QAction::triggered, this, [this] { Borrartema1Click(); });
  connect(Ordenarpornombre1, &QAction::triggered, this, [this] { Ordenarpornombre1Click(); });
  connect(Edit3, &QLineEdit::textChanged, this, [this] { Edit3Change(); });
  connect(LabeledEdit1, &QLineEdit::textChanged, this, [this] { LabeledEdit1Change(); });
  connect(menostema, &QPushButton::clicked, this, [this] { menostemaClick(); });
  connect(mastema, &QPushButton::clicked, this, [this] { mastemaClick(); });
}

void TMainForm::CreateImportDialog() {
  if (!FormImportar) FormImportar = new TFormImportar(*this);
}

// Every formula row from its record (the open, the sort and the deletion).
void TMainForm::RefillFormulaRows() { library_steps::RefillFormulaRowCells(*this); }

// --- tracks and beats of the edited formula ---------------------------------

// They act on the formula the pattern grid shows (not on the formula a save
// or a playback left in play), or with none shown yet on the formula row
// selected; an edit marks the set modified. A paste takes a copied formula
// at any position of the table.

int TMainForm::CommandFormula() const { return library_steps::CommandFormulaOf(*this); }

void TMainForm::Copiarpista1Click() { library_steps::CopyTrackRow(*this, TrackClipboard); }

void TMainForm::Pegarpista1Click() { library_steps::PasteTrackRow(*this, TrackClipboard, kMaxFormulas); }

void TMainForm::Limpiarpista1Click() { library_steps::ClearTrackRow(*this); }

void TMainForm::Copiartiempo1Click() { library_steps::CopyBeatColumn(*this, BeatClipboard); }

void TMainForm::Pegartiempo1Click() { library_steps::PasteBeatColumn(*this, BeatClipboard, kMaxFormulas); }

void TMainForm::Limpiartiempo1Click() { library_steps::ClearBeatColumn(*this); }

void TMainForm::Moveralaizquierda1Click() {
  const int y = SGDatosFormula->Row();
  if (y < 2 || y > kTracks) return;
  SwapPatternRows(SGDatosFormula, y, y - 1);
  SGDatosFormula->Select(SGDatosFormula->Col(), y - 1);
  SwapFormulaTracks(y - 2, y - 1);
}

void TMainForm::Moveraladerecha1Click() {
  const int y = SGDatosFormula->Row();
  if (y < 1 || y > kTracks - 1) return;
  SwapPatternRows(SGDatosFormula, y, y + 1);
  SGDatosFormula->Select(SGDatosFormula->Col(), y + 1);
  SwapFormulaTracks(y - 1, y);
}

void TMainForm::SwapFormulaTracks(int a, int b) {
  const int f = CommandFormula();
  if (a < 0 || b < 0 || a >= kTracks || b >= kTracks || f < 0 || f >= kMaxFormulas) return;
  for (auto* row : {&MuteButtons, &SoloButtons}) {
    QPushButton* pa = (*row)[a];
    QPushButton* pb = (*row)[b];
    if (!pa || !pb) continue;
    const bool down = pa->isChecked();
    pa->setChecked(pb->isChecked());
    pb->setChecked(down);
  }
  for (int t : {a, b}) {
    if (MuteButtons[t]) Deck->SetMuteButton(t, MuteButtons[t]->isChecked());
    if (SoloButtons[t]) Deck->SetSoloButton(t, SoloButtons[t]->isChecked());
  }
  SwapTracks(Rhythm->Formulas[f], a, b);
  Cambios();
  SGDatosFormula->viewport()->update();
}

// --- formula search, sort and deletion --------------------------------------

void TMainForm::Edit3Change() { library_steps::SearchFormula(*this); }

void TMainForm::OrdenarClick() {
  const int selected = library_steps::SortFormulaRows(*this);
  const int tc = TemaCount();
  {
    const library_steps::GridsFillingScope filling(DataSet);
    RefillFormulaRows();
    RefillThemeRowsOf(*this, tc);
  }
  if (selected >= 0) SGFormulas->Select(SGFormulas->Col(), selected + 1);
  if (FormulaCount() > 0) SGFormulasSelectCell(SGFormulas->Col(), Rhythm->CurrentFormula + 1);
  if (tc > 0) SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
  Cambios();  // the formulas' numbers changed in the records
}

void TMainForm::Borrarfrmula1Click() {
  const int i = library_steps::DeleteSelectedFormula(*this, /*tellOnlyOne=*/true);
  if (i < 0) return;
  SGFormulas->Select(SGFormulas->Col(), std::min(i + 1, Rhythm->FormulaCount));
  SGFormulasSelectCell(SGFormulas->Col(), Rhythm->CurrentFormula + 1);
  if (TemaCount() > 0) SGTemasSelectCell(1, SGTemas->Row());
}

// --- themes -------------------------------------------------------------------

void TMainForm::Copiartema1Click() { library_steps::CopyTheme(*SGTemas, ThemeClipboard); }

// A theme at any position of the table can be pasted.
void TMainForm::Pegartema1Click() { library_steps::PasteTheme(*this, ThemeClipboard, kMaxTemas); }

void TMainForm::Limpiartema1Click() { library_steps::ClearTheme(*this); }

void TMainForm::Borrartema1Click() {
  // The guitar track goes with the theme, unless another theme of the
  // same name still plays it.
  library_steps::DeleteSelectedTheme(*this, [this](int i) {
    std::string gtr;
    if (!TemaNameSharedByAnother(*Rhythm, i, TemaCount()) &&
        GuitarTrackPathOf(DataSet.DataSetName, Rhythm->Temas[i].Name(), &gtr)) {
      std::error_code ec;
      std::filesystem::remove(gtr, ec);
    }
  });
}

void TMainForm::Ordenarpornombre1Click() {
  library_steps::SortThemeRows(*this);
  const int tc = TemaCount();
  // Each row shows its record again; an unused slot shows nothing, as after
  // an open, rather than the text of the theme that was there before.
  {
    const library_steps::GridsFillingScope filling(DataSet);
    for (int j = 0; j < tc; ++j) {
      if (!Rhythm->Temas[j].Unused()) continue;
      SGTemas->SetCells(0, j + 1, QString());
      SGTemas->SetCells(1, j + 1, QString());
    }
    RefillThemeRowsOf(*this, tc);
  }
  if (tc > 0) SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
  Cambios();
}

void TMainForm::LabeledEdit1Change() { library_steps::SearchTheme(*this); }

void TMainForm::menostemaClick() { library_steps::StepTheme(*this, -1); }

void TMainForm::mastemaClick() { library_steps::StepTheme(*this, +1); }

// --- converter of older data sets -------------------------------------------

void TMainForm::ImportarPELNv1Click() {
  FileDialogRequest req;
  req.title = "Importar archivo DRAVv1";
  req.initialDir = QDir::currentPath() + "/datos";
  req.filter = "Archivos DRAVv1|*.ole";
  const QString chosen = dialogs->OpenFileName(req);
  if (chosen.isEmpty()) return;
  std::string ole = FsPath(chosen);
  if (!EndsWithNoCase(ole, ".ole")) ole += ".ole";
  OlePath = ole;
  const std::string list = ole.substr(0, ole.size() - 4) + ".vl2";
  const auto name = NameFromListPath(list);
  if (!name) {
    dialogs->ShowMessage(Tr("El archivo tiene que estar en una carpeta datos", "The file must be in a datos folder"));
    return;
  }
  if (IsReservedName(*name)) {
    dialogs->ShowMessage(Tr("Seleccione un nombre distinto a Original o Nuevo",
                            "Select a different name to Original or Nuevo"));
    return;
  }
  if (FileExists(list)) {
    const QString q = "El archivo " + FromFs(list) + QString::fromUtf8(" ya existe.¿ Quiere sobreescribirlo ?");
    if (dialogs->Ask(q, "Convertir DRAVv1 a DRAVv2", AskButtons::YesNo) != kAnswerYes) return;
  }
  // The converted set replaces the open one: its changes are offered for
  // saving first, as an open does.
  if (Modified()) {
    DataSet.SaveWithoutAsking = false;
    if (!SaveDataSet() && DataSet.SaveAnswer != kAnswerNo) return;
  }
  Stop1Click();
  V1Conversion conv;
  std::string err;
  if (!ConvertDataSetV1(*Rhythm, ole, list, *name, &conv, &err)) {
    dialogs->ShowMessage(Tr("No se ha podido convertir el archivo:\r\n", "The file could not be converted:\r\n") + FromFs(err));
    return;
  }
  // The converted set is opened from the files just written, so the window,
  // the sound list, the settings and the guitar samples follow it as after
  // any open.
  DataSet.DataSetListPath = list;
  DataSet.DataSetName = *name;
  DataSet.SilentOpen = true;
  ClearModified();
  OpenDataSet();
}
