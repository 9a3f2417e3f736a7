// The basic window's library commands: new, copy, paste and clear of
// formulas and themes, the track and beat clipboards, the track moves, the
// searches, sorting and deletion.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>
#include <cstring>

#include "app/window/string_grid.h"
#include "basic/window/basic_form.h"
#include "platform/files/text.h"
#include "rhythm/editor_logic.h"
#include "rhythm/library_ops.h"
#include "rhythm/window/editor_widgets.h"

namespace bornace {

void TMainForm::RefillTemaRows() {
  DataSet.GridsFilling |= kGridsFillingBit;
  for (int m = 0; m < GridTemaCount(); ++m) FillTemaRow(m);
  DataSet.GridsFilling &= static_cast<uint16_t>(~kGridsFillingBit);
}

// --- formulas -------------------------------------------------------------------

void TMainForm::Nuevafrmula1Click() {
  if (GridFormulaCount() >= kMaxFormulas) {
    dialogs->ShowMessage(Tr("No caben más fórmulas (512)", "There is no room for more formulas (512)"));
    return;
  }
  SGFormulas->SetRowCount(SGFormulas->RowCount() + 1);
  Rhythm->FormulaCount = SGFormulas->RowCount() - 1;
  const int n = Rhythm->FormulaCount - 1;
  Copiarfrmula1Click();
  const int cur = std::clamp(Rhythm->CurrentFormula, 0, kMaxFormulas - 1);
  Formula& added = Rhythm->Formulas[static_cast<size_t>(n)];
  added = Rhythm->Formulas[static_cast<size_t>(cur)];
  SGFormulas->Select(SGFormulas->Col(), n + 1);
  std::memset(added.name, 0, sizeof added.name);
  std::memset(added.name, ' ', kBasicFormulaName);
  // The paste takes the name of the new row's cell, which is empty.
  Pegarfrmula1Click();
  Cambios();  // a new formula is an edit of the set
}

void TMainForm::Copiarfrmula1Click() { Pages.FormulaClipboard = SGFormulas->Row() - 1; }

void TMainForm::Pegarfrmula1Click() {
  const int src = Pages.FormulaClipboard;
  const int i = SGFormulas->Row() - 1;
  // A position beyond the table (after a deletion) holds no formula.
  if (src < 0 || src >= GridFormulaCount() || i < 0 || i >= GridFormulaCount()) return;
  Formula& f = Rhythm->Formulas[static_cast<size_t>(i)];
  f = Rhythm->Formulas[static_cast<size_t>(src)];
  // The target keeps the name its row shows (at most 5 characters).
  f.SetName(ToL1(SGFormulas->Cells(2, i + 1)).substr(0, kBasicFormulaName));
  SGFormulas->SetCells(0, i + 1, QString::number(i + 1));
  SGFormulas->SetCells(1, i + 1, QString::number(f.Beats()));
  SGFormulas->SetCells(3, i + 1, QString::number(f.StartBeat() + 1));
  SGFormulasSelectCell(SGFormulas->Col(), i + 1);
  Cambios();
}

void TMainForm::Limpiarfrmula1Click() {
  const int i = SGFormulas->Row() - 1;
  if (i < 0 || i >= GridFormulaCount()) return;
  ClearPattern(Rhythm->Formulas[static_cast<size_t>(i)]);
  SGFormulasSelectCell(SGFormulas->Col(), i + 1);
  Cambios();
}

int TMainForm::CommandFormula() const {
  const int shown = EditedFormula();
  if (shown >= 0) return shown;
  const int row = SGFormulas->Row() - 1;
  return row >= 0 && row < GridFormulaCount() ? row : -1;
}

void TMainForm::Copiarpista1Click() {
  const int t = SGDatosFormula->Row() - 1;
  const int f = CommandFormula();
  if (t < 0 || t >= kTracksV1 || f < 0) return;
  Pages.TrackClipboard = {t, f, Rhythm->Formulas[static_cast<size_t>(f)].Beats()};
}

void TMainForm::Pegarpista1Click() {
  const int f = CommandFormula();
  const int t = SGDatosFormula->Row() - 1;
  if (Pages.TrackClipboard.formula < 0 || Pages.TrackClipboard.formula >= GridFormulaCount() || f < 0 || t < 0 ||
      t >= kTracksV1)
    return;
  PasteTrack(*Rhythm, Pages.TrackClipboard.formula, Pages.TrackClipboard.track, Pages.TrackClipboard.beats, f,
             Rhythm->Formulas[static_cast<size_t>(f)].Beats(), t);
  Cambios();
  SGFormulasSelectCell(SGFormulas->Col(), f + 1);
}

void TMainForm::Limpiarpista1Click() {
  const int f = CommandFormula();
  const int t = SGDatosFormula->Row() - 1;
  if (f < 0 || t < 0 || t >= kTracksV1) return;
  ClearTrack(Rhythm->Formulas[static_cast<size_t>(f)], t);
  Cambios();
  SGFormulasSelectCell(SGFormulas->Col(), f + 1);
}

void TMainForm::Copiartiempo1Click() {
  const int b = SGDatosFormula->Col() - 2;
  const int f = CommandFormula();
  if (b < 0 || b >= kMaxBeats || f < 0) return;
  Pages.BeatClipboard = {b, f};
}

void TMainForm::Pegartiempo1Click() {
  const int f = CommandFormula();
  const int b = SGDatosFormula->Col() - 2;
  if (Pages.BeatClipboard.formula < 0 || Pages.BeatClipboard.formula >= GridFormulaCount() || f < 0 || b < 0 ||
      b >= kMaxBeats)
    return;
  PasteBeat(*Rhythm, Pages.BeatClipboard.formula, Pages.BeatClipboard.beat, f, b);
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
  const int f = CommandFormula();
  if (y < 2 || y > kTracksV1 || f < 0) return;
  SwapPatternRows(SGDatosFormula, y, y - 1);
  SGDatosFormula->Select(SGDatosFormula->Col(), y - 1);
  SwapTracks(Rhythm->Formulas[static_cast<size_t>(f)], y - 2, y - 1);
  Cambios();
  FollowTrackInChart(y - 1);
}

void TMainForm::Moveraladerecha1Click() {
  const int y = SGDatosFormula->Row();
  const int f = CommandFormula();
  if (y < 1 || y >= kTracksV1 || f < 0) return;  // the last track stays
  SwapPatternRows(SGDatosFormula, y, y + 1);
  SGDatosFormula->Select(SGDatosFormula->Col(), y + 1);
  SwapTracks(Rhythm->Formulas[static_cast<size_t>(f)], y - 1, y);
  Cambios();
  FollowTrackInChart(y + 1);
}

void TMainForm::Edit3Change() {
  const int k = FindByPrefix(ColumnTexts(SGFormulas, 2), SGFormulas->Row() - 1, Edit3->text());
  if (k < 0) return;
  SGFormulas->Select(SGFormulas->Col(), k + 1);
  SGFormulasSelectCell(SGFormulas->Col(), k + 1);
}

void TMainForm::OrdenarClick() {
  const int fc = GridFormulaCount();
  const int tc = GridTemaCount();
  Rhythm->FormulaCount = fc;
  Rhythm->TemaCount = tc;
  std::vector<std::string> names;
  for (int k = 0; k < fc; ++k) names.push_back(ToL1(SGFormulas->Cells(2, k + 1)).substr(0, kBasicFormulaName));
  const std::vector<int> order = StableOrderByName(names, kBasicFormulaName);
  ApplyFormulaOrder(*Rhythm, order, tc);
  const int current = NewPositionOf(order, Rhythm->CurrentFormula);
  if (current >= 0) Rhythm->CurrentFormula = current;
  const int selected = NewPositionOf(order, SGFormulas->Row() - 1);
  RefillFormulaRows();
  RefillTemaRows();
  // The selected formula stays selected where it went, the grid and the
  // pattern grid showing the same record.
  if (selected >= 0) {
    SGFormulas->Select(SGFormulas->Col(), selected + 1);
    SGFormulasSelectCell(SGFormulas->Col(), selected + 1);
  }
  if (tc > 0) SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
  Cambios();  // the entries' formula numbers changed in the records
}

void TMainForm::Borrarfrmula1Click() {
  const int fc = GridFormulaCount();
  const int tc = GridTemaCount();
  const int i = SGFormulas->Row() - 1;
  if (i < 0 || i >= fc) return;
  if (FormulaUsedByAnyTheme(*Rhythm, i, tc)) {
    dialogs->ShowMessage(Tr(" No se puede borrar una fórmula que está siendo usada.",
                            " A formula cannot be erased when is being used."));
    return;
  }
  if (fc <= 1) return;  // the editor always keeps one formula to show
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
  RefillFormulaRows();
  // The row of the deleted formula (or the last) is selected and shown.
  const int row = std::min(i + 1, Rhythm->FormulaCount);
  SGFormulas->Select(SGFormulas->Col(), row);
  SGFormulasSelectCell(SGFormulas->Col(), row);
  if (tc > 0) SGTemasSelectCell(1, SGTemas->Row());
}

// --- themes ---------------------------------------------------------------------

void TMainForm::Nuevotema1Click() {
  const int r = SGTemas->RowCount() - 1;
  if (r >= kMaxTemas) {
    dialogs->ShowMessage(Tr("No caben más temas (128)", "There is no room for more songs (128)"));
    return;
  }
  SGTemas->SetRowCount(r + 2);
  // A slot left by a deletion still holds a copy of the last theme: the new
  // one starts clean.
  // The older record has no pan or volume: the theme gets no entries and
  // the formula slider's tempo.
  Tema& added = Rhythm->Temas[static_cast<size_t>(r)];
  added = Tema{};
  added.entryCount = 0;
  added.tempos[0] = static_cast<uint16_t>(420 - TB2->value());
  SGTemas->Select(1, r + 1);
  SGTemasSelectCell(1, r + 1);
  SGTemas->SetCells(0, r + 1, QString::number(r + 1));
  SGTemas->SetCells(1, r + 1, QString());
  SGTemas->SetCells(2, r + 1, QString::number(420 - TB2->value()));
  if (!RadioButton1->isChecked()) {
    RadioButton1->setChecked(true);
    RadioButton1Click();
  }
}

void TMainForm::Copiartema1Click() {
  const int t = SGTemas->Row() - 1;
  if (t >= 0 && t < kMaxTemas) Pages.ThemeClipboard = t;
}

void TMainForm::Pegartema1Click() {
  const int src = Pages.ThemeClipboard;
  const int dst = SGTemas->Row() - 1;
  // A position beyond the table (after a deletion) holds no theme.
  if (src < 0 || src >= GridTemaCount() || dst < 0 || dst >= GridTemaCount()) return;
  Rhythm->Temas[static_cast<size_t>(dst)] = Rhythm->Temas[static_cast<size_t>(src)];
  SGTemas->SetCells(1, dst + 1, QString());
  SGTemas->SetCells(2, dst + 1, SGTemas->Cells(2, src + 1));
  SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
  Cambios();
}

void TMainForm::Limpiartema1Click() {
  const int t = SGTemas->Row() - 1;
  if (t < 0 || t >= GridTemaCount()) return;
  Rhythm->Temas[static_cast<size_t>(t)].entryCount = 0;
  SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
  Cambios();
}

void TMainForm::Borrartema1Click() {
  const int tc = GridTemaCount();
  Rhythm->TemaCount = tc;
  if (tc <= 1) return;
  const int y = SGTemas->Row();
  const int i = y - 1;
  if (i < 0 || i >= tc) return;
  const QString question = QString::fromUtf8("¿ Quiere eliminar el tema ") + SGTemas->Cells(1, y) + " ?";
  if (dialogs->Ask(question, "Borrar tema", AskButtons::YesNo) == kAnswerYes) {
    DeleteTema(*Rhythm, i, tc);
    for (int r = y; r < tc; ++r) {
      SGTemas->SetCells(1, r, SGTemas->Cells(1, r + 1));
      SGTemas->SetCells(2, r, SGTemas->Cells(2, r + 1));
    }
    SGTemas->SetRowCount(tc);
    Rhythm->TemaCount = tc - 1;
    Cambios();
  }
  const int last = SGTemas->RowCount() - 1;
  SGTemas->Select(SGTemas->Col(), std::min(SGTemas->Row(), last));
  SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
}

void TMainForm::Ordenarpornombre1Click() {
  const int tc = GridTemaCount();
  Rhythm->FormulaCount = GridFormulaCount();
  Rhythm->TemaCount = tc;
  std::vector<std::string> names;
  for (int k = 0; k < tc; ++k) names.push_back(ToL1(SGTemas->Cells(1, k + 1)).substr(0, kBasicTemaName));
  const std::vector<int> order = StableOrderByName(names, kBasicTemaName);
  ApplyTemaOrder(*Rhythm, order);
  RefillTemaRows();
  if (tc > 0) SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
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

}  // namespace bornace
