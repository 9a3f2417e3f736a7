// The basic window's theme editor: the theme grid with its tempo column, the
// sequence grid (bar, tempo in force, formula name, number, repetitions,
// acceleration), the entry edits and the insert and remove buttons, parts,
// intro, ending and order.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>

#include "app/window/string_grid.h"
#include "basic/window/basic_form.h"
#include "engine/mixer.h"
#include "platform/files/text.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/editor_widgets.h"

namespace bornace {

namespace {

// A fixed cell drawn again on white, its text in black.
void DrawWhiteCell(QPainter* p, const QRect& rect, const QString& text) {
  p->fillRect(rect, Qt::white);
  p->setPen(Qt::black);
  p->drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}
}  // namespace

int TMainForm::GridTemaCount() const { return std::clamp(SGTemas->RowCount() - 1, 0, kMaxTemas); }

int TMainForm::EditedTema() const {
  const int t = Pages.ShownTema;
  return (t >= 0 && t < GridTemaCount()) ? t : -1;
}

void TMainForm::FillTemaRow(int m) {
  const Tema& t = Rhythm->Temas[static_cast<size_t>(m)];
  if (t.Unused()) {
    for (int c = 0; c < 3; ++c) SGTemas->SetCells(c, m + 1, QString());
    return;
  }
  SGTemas->SetCells(0, m + 1, QString::number(m + 1));
  SGTemas->SetCells(1, m + 1, L1(t.Name().substr(0, kBasicTemaName)));
  SGTemas->SetCells(2, m + 1, QString::number(t.tempos[0]));
}

void TMainForm::SGTemasSelectCell(int col, int row) {
  (void)col;
  const int t = row - 1;
  if (t < 0 || t >= GridTemaCount()) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];

  const ThemeFields fields = MendThemeOnSelect(th);
  Engine->ThemeParts = fields.parts;
  Engine->ThemeInOrder = fields.inOrder;
  Engine->ThemeIntroBeats = fields.intro;
  Engine->ThemeEndBeats = fields.ending;
  Pages.ThemeFieldsByCode = true;
  Partes->setText(fields.parts ? QString::number(fields.parts) : QString());
  Intro->setText(QString::number(fields.intro));
  Fin->setText(QString::number(fields.ending));
  if (fields.inOrder)
    RadioButton1->setChecked(true);
  else
    RadioButton2->setChecked(true);
  Pages.ThemeFieldsByCode = false;

  if (th.tempos[0] >= 20 && th.tempos[0] <= 400) {
    Pages.TempoSliderByCode = true;
    TB1->setValue(420 - th.tempos[0]);
    Pages.TempoSliderByCode = false;
  }

  Engine->MasterGain = th.gain;
  FillSequenceGrid(t);
  SGSaco->Select(1, 1);
  SGSacoSelectCell(1, 1);

  Label2->setText(Tr("Tema ", "Song ") + SGTemas->Cells(0, row) + ": " + SGTemas->Cells(1, row));
  SetGridEditing(SGTemas, row > 0);
}

// The header row and the number column on white; no guitar mark.
void TMainForm::SGTemasDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  if (row != 0 && col != 0) return;
  DrawWhiteCell(p, rect, SGTemas->Cells(col, row));
}

// The header row and the three fixed columns (bar, tempo, name) on white.
void TMainForm::SGSacoDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  if (row != 0 && col > 2) return;
  DrawWhiteCell(p, rect, SGSaco->Cells(col, row));
}

void TMainForm::FillSequenceGrid(int t) {
  if (t < 0 || t >= kMaxTemas) return;
  Pages.ShownTema = t;
  const Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  const int entries = EntriesOf(th);
  const int formulaCount = GridFormulaCount();
  SGSaco->SetRowCount(entries + 2);
  const bool keep = Pages.KeepEditedCells;
  // Every row shows the tempo in force: the theme tempo, then what each
  // entry's accelerations have added by its end.
  int bpm = th.tempos[0];
  int compas = 1;
  for (int e = 0; e <= entries; ++e) {
    const int row = e + 1;
    const int n = e < entries ? th.times[e] : 0;
    SGSaco->SetCells(0, row, QString::number(compas));
    SGSaco->SetCells(1, row, QString::number(bpm));
    if (n != 0) {
      const int f = th.formulas[e];
      SGSaco->SetCells(2, row, f < formulaCount ? L1(Rhythm->Formulas[static_cast<size_t>(f)].Name().substr(
                                                      0, kBasicFormulaName))
                                                : QString());
      if (!keep) {
        SGSaco->SetCells(3, row, QString::number(f + 1));
        SGSaco->SetCells(4, row, QString::number(n));
        SGSaco->SetCells(5, row, QString::number(th.accel[e]));
      }
      compas += n;
      bpm += n * th.accel[e];
    } else {
      for (int c : {2, 3, 4, 5}) SGSaco->SetCells(c, row, QString());
    }
  }
  Engine->CurrentCompas = compas;
  Engine->CompasCount = compas;
  Pages.KeepEditedCells = false;
  if (!Timer1->isActive() || t == Playback->Plan.tema) RebuildPlayPlan(t);
}

void TMainForm::SGSacoSelectCell(int col, int row) {
  (void)col;
  Pages.SkipFormulaClick = true;
  SetGridEditing(SGSaco, SGTemas->Editable);
  if (row < 1 || row >= SGSaco->RowCount()) return;
  const bool playing = Timer1->isActive();
  if (!playing) RebuildPlayPlan(Pages.ShownTema);
  if (!Pages.RowsByPlayer && Pages.ShownTema == Playback->Plan.tema) {
    // The tempo of the row is not taken from the grid in this edition.
    const float bpm = Engine->CurrentBpm;
    if (Pages.SkipEntrySelect)
      SelectPlanRowTempo(Playback->Plan, *Engine, row, playing);
    else
      SelectPlanRow(Playback->Plan, *Engine, *Rhythm, row, true, playing);
    Engine->CurrentBpm = bpm;
  }
  ShowCompasCounter();
  if (Pages.SkipEntrySelect) {
    Pages.SkipEntrySelect = false;
    return;
  }
  if (row == SGSaco->RowCount() - 1) return;
  const int t = Pages.ShownTema;
  if (t >= 0 && row - 1 < EntriesOf(Rhythm->Temas[static_cast<size_t>(t)])) {
    const int f = Rhythm->Temas[static_cast<size_t>(t)].formulas[row - 1];
    if (f < GridFormulaCount()) {
      SGFormulas->Select(SGFormulas->Col(), f + 1);
      SGFormulasSelectCell(SGFormulas->Col(), f + 1);
    }
  }
  if (cb3d && cb3d->isChecked()) cb3dClick();
}

void TMainForm::SGSacoSetEditText(int col, int row, const QString& value) {
  (void)value;
  const int t = EditedTema();
  if (t < 0 || row < 1 || row >= SGSaco->RowCount()) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  if (row == SGSaco->RowCount() - 1) {
    FillSequenceGrid(t);
    return;
  }
  if (col < 3) return;  // bar, tempo and name are shown, not typed
  Cambios();
  const int e = row - 1;
  if (e >= EntriesOf(th)) return;
  const int f = CellNumber(SGSaco, 3, row);
  const int n = CellNumber(SGSaco, 4, row);
  const int a = CellNumber(SGSaco, 5, row);
  if (f < 1 || f > GridFormulaCount() || n < 1 || n > 99 || a < -128 || a > 127) return;
  th.formulas[e] = static_cast<uint16_t>(f - 1);
  th.times[e] = static_cast<uint8_t>(n);
  th.accel[e] = static_cast<int8_t>(a);
  Pages.KeepEditedCells = true;
  FillSequenceGrid(t);
  // The edited cell is selected again, as a click on it: the formula grid
  // and the pattern grid follow the entry's formula.
  SGSaco->Select(col, row);
  SGSacoSelectCell(col, row);
  Engine->CurrentCompas = CellNumber(SGSaco, 0, SGSaco->Row());
  ShowCompasCounter();
}

void TMainForm::BotonPoneAntesClick() {
  const int t = EditedTema();
  const int f = Pages.FormulaToAdd;
  if (t < 0 || f < 0 || f >= GridFormulaCount()) return;
  const int e = SGSaco->Row() - 1;
  switch (InsertEntryBefore(Rhythm->Temas[static_cast<size_t>(t)], e, f)) {
    case InsertOutcome::Full:
      dialogs->ShowMessage(Tr("Un tema no admite más de 120 fórmulas", "A song holds at most 120 formulas"));
      return;
    case InsertOutcome::BadPosition:
      return;
    default:
      break;
  }
  FillSequenceGrid(t);
  SGSaco->Select(SGSaco->Col(), e + 1);
  Engine->CurrentCompas = CellNumber(SGSaco, 0, SGSaco->Row());
  ShowCompasCounter();
  Cambios();
}

void TMainForm::BotonPoneDespuesClick() {
  const int t = EditedTema();
  const int f = Pages.FormulaToAdd;
  if (t < 0 || f < 0 || f >= GridFormulaCount()) return;
  const int row = SGSaco->Row();
  const Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  const bool entryRow = row >= 1 && row - 1 < EntriesOf(th);
  if (entryRow && th.formulas[row - 1] != f) {
    if (EntriesOf(th) >= kMaxEntries && InsertNeedsNewEntry(th, row, f)) {
      dialogs->ShowMessage(Tr("Un tema no admite más de 120 fórmulas", "A song holds at most 120 formulas"));
      return;
    }
    Pages.SkipEntrySelect = true;
    SGSaco->Select(SGSaco->Col(), row + 1);
    SGSacoSelectCell(SGSaco->Col(), row + 1);
  }
  BotonPoneAntesClick();
}

void TMainForm::BotonQuitaClick() {
  const int t = EditedTema();
  const int row = SGSaco->Row();
  if (t < 0 || row < 1 || row >= SGSaco->RowCount() - 1) return;
  if (RemoveEntry(Rhythm->Temas[static_cast<size_t>(t)], row - 1) == RemoveOutcome::Nothing) return;
  FillSequenceGrid(t);
  SGSaco->Select(SGSaco->Col(), std::min(row, SGSaco->RowCount() - 1));
  Cambios();
  Engine->CurrentCompas = CellNumber(SGSaco, 0, SGSaco->Row());
  ShowCompasCounter();
}

void TMainForm::SGTemasSetEditText(int col, int row, const QString& value) {
  const int t = row - 1;
  if (t < 0 || t >= GridTemaCount()) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  Cambios();  // an edit in any column, whether its value is taken or not
  if (col == 1) {
    if (!value.isEmpty() && row == SGTemas->Row()) Label2->setText("Tema : " + value);
    th.SetName(ToL1(value).substr(0, kBasicTemaName));
  } else if (col == 2) {
    // A theme tempo of 20..400 is taken and moves the theme slider; other
    // values are not.
    const int bpm = ReadDecimal(ToL1(value));
    if (bpm < 20 || bpm > 400) return;
    th.tempos[0] = static_cast<uint16_t>(bpm);
    if (row == SGTemas->Row()) {
      Pages.TempoSliderByCode = true;
      TB1->setValue(420 - bpm);
      Pages.TempoSliderByCode = false;
      FillSequenceGrid(t);
    }
  }
}

void TMainForm::PartesChange() {
  if (Pages.ThemeFieldsByCode) return;
  const int t = EditedTema();
  const auto p = PartsFromText(ToL1(Partes->text()));
  if (t < 0 || !p) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  th.partsOrder = static_cast<uint8_t>((th.partsOrder & 0x80) | *p);
  Engine->ThemeParts = *p;
  Cambios();
}

void TMainForm::IntroChange() {
  if (Pages.ThemeFieldsByCode) return;
  const int t = EditedTema();
  const auto v = BeatsFromText(ToL1(Intro->text()));
  if (t < 0 || !v) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  th.introEnding = static_cast<uint8_t>((*v << 4) | (th.introEnding & 0x0F));
  Engine->ThemeIntroBeats = *v;
  Cambios();
}

void TMainForm::FinChange() {
  if (Pages.ThemeFieldsByCode) return;
  const int t = EditedTema();
  const auto v = BeatsFromText(ToL1(Fin->text()));
  if (t < 0 || !v) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  th.introEnding = static_cast<uint8_t>((th.introEnding & 0xF0) | *v);
  Engine->ThemeEndBeats = *v;
  Cambios();
}

void TMainForm::RadioButton1Click() {
  if (Pages.ThemeFieldsByCode) return;
  const int t = EditedTema();
  if (t < 0) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  if (th.InOrder() == RadioButton1->isChecked()) return;
  Engine->ThemeInOrder = RadioButton1->isChecked();
  if (Engine->ThemeInOrder)
    th.partsOrder |= 0x80;
  else
    th.partsOrder &= 0x7F;
  Cambios();
}

}  // namespace bornace
