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
#include "app/window/widgets.h"
#include "app/window/string_grid.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "rhythm/window/form_import.h"
#include "rhythm/formats_v1.h"
#include "rhythm/library_ops.h"
#include "rhythm/window/editor_widgets.h"

namespace {
// Number and name cells of every theme row whose record is in use, from the
// records (a pasted theme thus shows the name its record carries).
void RefillThemeRowsOf(StringGrid* g, const RhythmTables& t, int temaCount) {
  const int n = std::min({temaCount, g->RowCount() - 1, kMaxTemas});
  for (int j = 0; j < n; ++j) {
    const Tema& th = t.Temas[static_cast<size_t>(j)];
    if (th.Unused()) continue;
    g->SetCells(0, j + 1, QString::number(j + 1));
    g->SetCells(1, j + 1, L1(th.Name()));
  }
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

void TMainForm::RefillFormulaRows() {
  const int n = std::min(SGFormulas->RowCount() - 1, kMaxFormulas);
  for (int i = 0; i < n; ++i) FillFormulaRow(i);
}

// --- tracks and beats of the edited formula ---------------------------------

// They act on the formula the pattern grid shows (not on the formula a save
// or a playback left in play), or with none shown yet on the formula row
// selected; an edit marks the set modified.

int TMainForm::CommandFormula() const {
  const int shown = EditedFormula();
  if (shown >= 0) return shown;
  const int row = SGFormulas->Row() - 1;
  return row >= 0 && row < GridFormulaCount() ? row : -1;
}

void TMainForm::Copiarpista1Click() {
  const int t = SGDatosFormula->Row() - 1;
  const int f = CommandFormula();
  if (t < 0 || t >= kTracks || f < 0) return;
  TrackClipboard = {t, f, Rhythm->Formulas[static_cast<size_t>(f)].Beats()};
}

void TMainForm::Pegarpista1Click() {
  const int f = CommandFormula();
  if (TrackClipboard.formula < 0 || f < 0) return;
  const int t = SGDatosFormula->Row() - 1;
  PasteTrack(*Rhythm, TrackClipboard.formula, TrackClipboard.track, TrackClipboard.beats, f,
             Rhythm->Formulas[static_cast<size_t>(f)].Beats(), t);
  Cambios();
  SGFormulasSelectCell(SGFormulas->Col(), f + 1);
}

void TMainForm::Limpiarpista1Click() {
  const int f = CommandFormula();
  const int t = SGDatosFormula->Row() - 1;
  if (f < 0 || t < 0 || t >= kTracks) return;
  ClearTrack(Rhythm->Formulas[static_cast<size_t>(f)], t);
  Cambios();
  SGFormulasSelectCell(SGFormulas->Col(), f + 1);
}

// The sound and number columns hold no beat: the beat commands leave the
// records alone there.
void TMainForm::Copiartiempo1Click() {
  const int b = SGDatosFormula->Col() - 2;
  const int f = CommandFormula();
  if (b < 0 || b >= kMaxBeats || f < 0) return;
  BeatClipboard = {b, f};
}

void TMainForm::Pegartiempo1Click() {
  const int f = CommandFormula();
  if (BeatClipboard.formula < 0 || f < 0) return;
  const int b = SGDatosFormula->Col() - 2;
  if (b < 0 || b >= kMaxBeats) return;
  PasteBeat(*Rhythm, BeatClipboard.formula, BeatClipboard.beat, f, b);
  Cambios();
  SGFormulasSelectCell(SGFormulas->Col(), f + 1);
}

void TMainForm::Limpiartiempo1Click() {
  const int b = SGDatosFormula->Col() - 2;
  const int f = CommandFormula();
  if (b < 0 || b >= kMaxBeats || f < 0) return;
  ClearBeat(Rhythm->Formulas[static_cast<size_t>(f)], b);
  Cambios();
  SGFormulasSelectCell(SGFormulas->Col(), f + 1);
}

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
    if (MuteButtons[t]) Engine->Controls.MuteButtons[t] = MuteButtons[t]->isChecked();
    if (SoloButtons[t]) Engine->Controls.SoloButtons[t] = SoloButtons[t]->isChecked();
  }
  SwapTracks(Rhythm->Formulas[f], a, b);
  Cambios();
  SGDatosFormula->viewport()->update();
}

// --- formula search, sort and deletion --------------------------------------

void TMainForm::Edit3Change() {
  const int k = FindByPrefix(ColumnTexts(SGFormulas, 2), SGFormulas->Row() - 1, Edit3->text());
  if (k < 0) return;
  SGFormulas->Select(SGFormulas->Col(), k + 1);
  SGFormulasSelectCell(SGFormulas->Col(), k + 1);
}

void TMainForm::OrdenarClick() {
  const int fc = std::clamp(SGFormulas->RowCount() - 1, 0, kMaxFormulas);
  const int tc = std::clamp(SGTemas->RowCount() - 1, 0, kMaxTemas);
  Rhythm->FormulaCount = fc;
  Rhythm->TemaCount = tc;
  std::vector<std::string> names;
  for (int k = 0; k < fc; ++k) names.push_back(ToL1(SGFormulas->Cells(2, k + 1)).substr(0, 16));
  const std::vector<int> order = StableOrderByName(names, 16);
  ApplyFormulaOrder(*Rhythm, order, tc);

  // The edited formula and the selected row follow their records.
  const int current = NewPositionOf(order, Rhythm->CurrentFormula);
  if (current >= 0) Rhythm->CurrentFormula = current;
  const int selected = NewPositionOf(order, SGFormulas->Row() - 1);

  DataSet.GridsFilling |= kGridsFillingBit;
  RefillFormulaRows();
  RefillThemeRowsOf(SGTemas, *Rhythm, tc);
  DataSet.GridsFilling &= static_cast<uint16_t>(~kGridsFillingBit);
  if (selected >= 0) SGFormulas->Select(SGFormulas->Col(), selected + 1);
  if (fc > 0) SGFormulasSelectCell(SGFormulas->Col(), Rhythm->CurrentFormula + 1);
  if (tc > 0) SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
  Cambios();  // the formulas' numbers changed in the records
}

void TMainForm::Borrarfrmula1Click() {
  const int fc = std::clamp(SGFormulas->RowCount() - 1, 0, kMaxFormulas);
  const int tc = std::clamp(SGTemas->RowCount() - 1, 0, kMaxTemas);
  const int i = SGFormulas->Row() - 1;
  if (i < 0 || i >= fc) return;
  // Every theme as it stands now, not the mark of the last selection.
  if (FormulaUsedByAnyTheme(*Rhythm, i, tc)) {
    dialogs->ShowMessage(Tr(" No se puede borrar una fórmula que está siendo usada.",
                            " A formula cannot be erased when is being used."));
    return;
  }
  if (fc <= 1) {  // the editor always keeps one formula to show
    dialogs->ShowMessage(Tr(" No se puede borrar la única fórmula del conjunto.",
                            " The only formula of the set cannot be erased."));
    return;
  }
  const QString question = QString::fromUtf8("¿ Quiere eliminar la fórmula Nº") + SGFormulas->Cells(0, i + 1) + " " +
                           SGFormulas->Cells(2, i + 1) + " ?";
  if (dialogs->Ask(question, QString::fromUtf8("Borrar fórmula"), AskButtons::YesNo) != kAnswerYes) return;

  DeleteFormula(*Rhythm, i, fc, tc);
  SGFormulas->SetRowCount(fc);
  Rhythm->FormulaCount = fc - 1;
  Cambios();
  int& cur = Rhythm->CurrentFormula;
  if (cur > i) --cur;
  cur = std::clamp(cur, 0, Rhythm->FormulaCount - 1);

  DataSet.GridsFilling |= kGridsFillingBit;
  RefillFormulaRows();
  DataSet.GridsFilling &= static_cast<uint16_t>(~kGridsFillingBit);
  SGFormulas->Select(SGFormulas->Col(), std::min(i + 1, Rhythm->FormulaCount));
  SGFormulasSelectCell(SGFormulas->Col(), cur + 1);
  if (tc > 0) SGTemasSelectCell(1, SGTemas->Row());
}

// --- themes -------------------------------------------------------------------

void TMainForm::Copiartema1Click() {
  const int t = SGTemas->Row() - 1;
  if (t >= 0 && t < kMaxTemas) ThemeClipboard = t;
}

void TMainForm::Pegartema1Click() {
  const int src = ThemeClipboard;
  const int dst = SGTemas->Row() - 1;
  if (src < 0 || src >= kMaxTemas || dst < 0 || dst >= kMaxTemas || dst >= SGTemas->RowCount() - 1) return;
  Rhythm->Temas[dst] = Rhythm->Temas[src];  // the name too, until one is typed
  SGTemas->SetCells(1, dst + 1, QString());
  SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
  Cambios();
}

void TMainForm::Limpiartema1Click() {
  const int t = SGTemas->Row() - 1;
  if (t < 0 || t >= kMaxTemas || t >= SGTemas->RowCount() - 1) return;
  Rhythm->Temas[t].entryCount = 0;
  SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
  Cambios();
}

void TMainForm::Borrartema1Click() {
  const int tc = std::clamp(SGTemas->RowCount() - 1, 0, kMaxTemas);
  Rhythm->TemaCount = tc;
  if (tc <= 1) return;  // the only theme stays
  const int y = SGTemas->Row();
  const int i = y - 1;
  if (i < 0 || i >= tc) return;
  const QString question = QString::fromUtf8("¿ Quiere eliminar el tema ") + SGTemas->Cells(1, y) + " ?";
  if (dialogs->Ask(question, "Borrar tema", AskButtons::YesNo) == kAnswerYes) {
    // The guitar track goes with the theme, unless another theme of the
    // same name still plays it.
    std::string gtr;
    if (!TemaNameSharedByAnother(*Rhythm, i, tc) && GuitarTrackPathOf(DataSet.DataSetName, Rhythm->Temas[i].Name(), &gtr)) {
      std::error_code ec;
      std::filesystem::remove(gtr, ec);
    }
    DeleteTema(*Rhythm, i, tc);
    for (int r = y; r < tc; ++r) SGTemas->SetCells(1, r, SGTemas->Cells(1, r + 1));
    SGTemas->SetRowCount(tc);
    Rhythm->TemaCount = tc - 1;
    Cambios();
  }
  const int last = SGTemas->RowCount() - 1;
  SGTemas->Select(SGTemas->Col(), std::min(SGTemas->Row(), last));
  SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
}

void TMainForm::Ordenarpornombre1Click() {
  const int fc = std::clamp(SGFormulas->RowCount() - 1, 0, kMaxFormulas);
  const int tc = std::clamp(SGTemas->RowCount() - 1, 0, kMaxTemas);
  Rhythm->FormulaCount = fc;
  Rhythm->TemaCount = tc;
  std::vector<std::string> names;
  for (int k = 0; k < tc; ++k) names.push_back(ToL1(SGTemas->Cells(1, k + 1)).substr(0, 32));
  const std::vector<int> order = StableOrderByName(names, 32);
  ApplyTemaOrder(*Rhythm, order);

  // Each row shows its record again; an unused slot shows nothing, as after
  // an open, rather than the text of the theme that was there before.
  DataSet.GridsFilling |= kGridsFillingBit;
  for (int j = 0; j < tc; ++j) {
    if (!Rhythm->Temas[j].Unused()) continue;
    SGTemas->SetCells(0, j + 1, QString());
    SGTemas->SetCells(1, j + 1, QString());
  }
  RefillThemeRowsOf(SGTemas, *Rhythm, tc);
  DataSet.GridsFilling &= static_cast<uint16_t>(~kGridsFillingBit);
  if (tc > 0) SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
  Cambios();
}

void TMainForm::LabeledEdit1Change() {
  const int k = FindByPrefix(ColumnTexts(SGTemas, 1), SGTemas->Row() - 1, LabeledEdit1->text());
  if (k < 0) return;
  SGTemas->Select(SGTemas->Col(), k + 1);
  SGTemasSelectCell(SGTemas->Col(), k + 1);
}

void TMainForm::menostemaClick() {
  const int r = SGTemas->Row();
  if (r <= 1) return;
  SGTemas->Select(SGTemas->Col(), r - 1);
  SGTemasSelectCell(SGTemas->Col(), r - 1);
}

void TMainForm::mastemaClick() {
  const int r = SGTemas->Row();
  if (r >= SGTemas->RowCount() - 1) return;
  SGTemas->Select(SGTemas->Col(), r + 1);
  SGTemasSelectCell(SGTemas->Col(), r + 1);
}

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
