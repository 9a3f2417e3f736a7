// The steps of the formula, track and theme editors that both windows take
// alike, over their controls of the same names. Each is a template over the
// window class; the window passes the editor state it keeps, and its own
// EditRules (the records' limits) shape what the steps store and show. A
// window's handler calls the step and then adds what only it does.
//
// Included only by the windows' handler files.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QRadioButton>
#include <algorithm>
#include <array>
#include <string>

#include "app/window/string_grid.h"
#include "engine/mixer.h"
#include "platform/files/text.h"
#include "rhythm/dataset.h"
#include "rhythm/editor_logic.h"
#include "rhythm/editor_state.h"
#include "rhythm/window/editor_widgets.h"

namespace editor_steps {

inline const QColor kLime(0, 255, 0);
inline const QColor kRed(255, 0, 0);

// --- the formula grid -----------------------------------------------------------

// Loads formula row - 1 into the pattern grid and every control of the
// editor, and (unless the player moved the row) into the engine. False when
// the row holds no formula. The accent boxes' guard is left up.
template <class Form>
bool ShowFormulaRow(Form& w, FormulaEditorState& ed, GuardFlags& g, int row) {
  const EditorRules& rules = Form::EditRules;
  const int i = row - 1;
  if (i < 0 || i >= w.GridFormulaCount()) return false;
  // When the player moves the row, the engine already plays this formula:
  // the view follows and nothing of the engine is written.
  const bool byPlayer = g.RowsByPlayer;
  if (!byPlayer) w.Rhythm->CurrentFormula = i;
  ed.ShownFormula = i;
  Formula& f = w.Rhythm->Formulas[static_cast<size_t>(i)];

  // Length of one compás at the tempo in force.
  w.ShowFormulaLength(f.Beats());

  // Where the formula is used.
  const int m = ThemeUsingFormula(*w.Rhythm, w.GridTemaCount(), i);
  ed.FormulaInUse = m >= 0;
  if (m >= 0) {
    SetLabelColour(w.Label14, kRed);
    w.Label14->setText(w.Tr("Usada en Tema ", "Used in song ") + QString::number(m + 1) + " " +
                       w.SGTemas->Cells(1, m + 1));
  } else {
    SetLabelColour(w.Label14, kLime);
    w.Label14->setText(w.Tr("No está usada", "It is not used "));
  }

  g.CountModeByCode = true;
  w.RBAcento->setChecked(f.CountByAccents());
  w.RBTiempo->setChecked(!f.CountByAccents());
  g.CountModeByCode = false;

  const bool byAccents = w.RBAcento->isChecked();
  const FormulaView view = ViewFormula(f, byAccents, rules);
  if (!byPlayer) {
    w.Engine->FormulaBeats = view.beats;
    w.Engine->FormulaStartBeat = view.startBeat;
  }

  // Header labels of the beat columns.
  const QString prefix = w.English ? "B " : "T ";
  for (int k = 1; k <= view.beats; ++k) {
    const int label = view.labels[static_cast<size_t>(k - 1)];
    if (byAccents) ed.AccentCountLabels[static_cast<size_t>(k - 1)] = std::to_string(label);
    w.SGDatosFormula->SetCells(k + 1, 0, prefix + QString::number(label));
  }

  w.Label1->setText((w.English ? QString("Formula %1") : QString::fromUtf8("Fórmula %1")).arg(row));
  w.Label7->setText(w.SGFormulas->Cells(2, row));

  // Pattern grid: one column per beat.
  w.SGDatosFormula->SetColCount(view.beats + 2);
  w.LayoutPatternGrid(view.beats);

  for (int t = 0; t < rules.tracks; ++t) w.SGDatosFormula->SetCells(1, t + 1, SoundCellText(w.SoundList, f.sounds[t]));
  ed.SelectedTrack = std::clamp(w.SGDatosFormula->Row() - 1, 0, rules.tracks - 1);
  {
    const QSignalBlocker block(w.CBSonidos);
    const int s = f.sounds[ed.SelectedTrack];
    w.CBSonidos->setCurrentIndex(s < w.CBSonidos->count() ? s : -1);
  }

  // Accent boxes: the click handler stores nothing while the guard is up.
  g.AccentChangeByCode = true;
  for (int k = 1; k <= 12; ++k) {
    QCheckBox* box = w.AccentBoxes[static_cast<size_t>(k - 1)];
    const QSignalBlocker block(box);
    box->setVisible(k <= view.beats);
    if (k <= view.beats) box->setChecked(f.Accented(k - 1));
  }

  for (int b = 0; b < view.beats; ++b)
    for (int t = 0; t < rules.tracks; ++t)
      w.SGDatosFormula->SetCells(b + 2, t + 1, L1(view.cells[static_cast<size_t>(b)][static_cast<size_t>(t)]));

  // The formula tempo comes from its slider.
  const int bpm = 420 - w.TB2->value();
  w.Edit1->setText(QString::number(bpm));
  if (!byPlayer) {
    w.Engine->MsPerBeat = 60000 / bpm;
    w.Engine->SamplesPerBeat = SamplesForMs(w.Engine->Format, w.Engine->MsPerBeat);
  }

  w.SGDatosFormula->viewport()->update();
  SetGridEditing(w.SGFormulas, row > 0);
  SetGridEditing(w.SGDatosFormula, w.SGFormulas->Editable);
  return true;
}

// A name, beat count or first beat typed into the formula grid, stored in
// the record of the row typed into.
template <class Form>
void EditFormulaRow(Form& w, const FormulaEditorState& ed, int col, int row, const QString& value) {
  if (w.DataSet.GridsFilling & kGridsFillingBit) return;
  w.Cambios();
  const int i = row - 1;
  if (i < 0 || i >= w.GridFormulaCount()) return;
  Formula& f = w.Rhythm->Formulas[static_cast<size_t>(i)];
  const bool shown = i == ed.ShownFormula;
  const bool playing = i == w.Rhythm->CurrentFormula;
  if (col == 2) {
    f.SetName(ToL1(value).substr(0, static_cast<size_t>(Form::EditRules.formulaName)));
    if (shown) w.Label7->setText(value);
    return;
  }
  if (col != 1 && col != 3) return;
  const int n = ReadDecimal(ToL1(value));
  if (n < 1 || n > 12) return;
  if (col == 3) {
    const int start = n - 1;
    const int beats = f.Beats();
    f.SetHeader(beats, start);
    if (playing) {
      w.Engine->FormulaStartBeat = start;
      w.Engine->FormulaBeats = beats;
    }
    if (shown)
      for (int k = 1; k <= beats && k <= kMaxBeats; ++k)
        w.SGDatosFormula->SetCells(k + 1, 0, "T " + QString::number(BeatLabel(start, k)));
  } else {
    f.SetHeader(n, f.StartBeat());
    if (playing) w.Engine->FormulaBeats = n;
    if (shown) {
      w.SGDatosFormula->SetColCount(n + 2);
      w.LayoutPatternGrid(n);
    }
  }
}

// Leaving the formula grid: the engine and the row show the record's beats
// and first beat again.
template <class Form>
void LeaveFormulaGrid(Form& w) {
  const int row = w.SGFormulas->Row();
  if (row <= 0 || row - 1 >= w.GridFormulaCount()) return;
  const Formula& f = w.Rhythm->Formulas[static_cast<size_t>(row - 1)];
  w.Engine->FormulaBeats = f.Beats();
  w.Engine->FormulaStartBeat = f.StartBeat();
  w.SGFormulas->SetCells(1, row, QString::number(f.Beats()));
  w.SGFormulas->SetCells(3, row, QString::number(f.StartBeat() + 1));
}

// The user's click on the formula grid picks the formula to add, unless an
// entry selection moved the grid's row just before.
template <class Form>
void PickFormulaToAdd(Form& w, FormulaEditorState& ed, GuardFlags& g) {
  if (g.SkipFormulaClick) {
    g.SkipFormulaClick = false;
    return;
  }
  const int row = w.SGFormulas->Row();
  if (row < 1 || row - 1 >= w.GridFormulaCount()) return;
  ed.FormulaToAdd = row - 1;
  if (w.Label25)
    w.Label25->setText(w.Tr("Añadir F ", "Add F ") + QString::number(row) + " " + w.SGFormulas->Cells(2, row));
  w.SGFormulas->viewport()->update();
}

// The number cell of a formula row: red when a theme uses the formula, lime
// otherwise, on `toAddFill` for the formula to add (whose colour Label25
// takes) and on `fill` for the others.
template <class Form>
void DrawFormulaNumberCell(Form& w, const FormulaEditorState& ed, QPainter* p, int col, int row, const QRect& rect,
                           const QColor& toAddFill, const QColor& fill) {
  if (col != 0 || row < 1 || row - 1 >= w.GridFormulaCount()) return;
  const QColor colour = ThemeUsingFormula(*w.Rhythm, w.GridTemaCount(), row - 1) >= 0 ? kRed : kLime;
  const bool toAdd = row - 1 == ed.FormulaToAdd;
  p->fillRect(rect, toAdd ? toAddFill : fill);
  if (toAdd && w.Label25 && w.Label25->palette().color(QPalette::WindowText) != colour)
    SetLabelColour(w.Label25, colour);
  QFont font = p->font();
  font.setBold(true);
  p->setFont(font);
  p->setPen(colour);
  DrawCellText(p, rect, 2, w.SGFormulas->Cells(col, row));
}

// --- the pattern grid -------------------------------------------------------------

// A track row selected: the sound chooser over its sound cell (shown only
// when that cell is), the grid editable as the formula grid is. False for a
// row that is no track.
template <class Form>
bool SelectTrackRow(Form& w, FormulaEditorState& ed, int col, int row) {
  w.CBSonidos->setVisible(col == 1);
  if (row < 1 || row > Form::EditRules.tracks) return false;
  ed.SelectedTrack = row - 1;
  const int f = w.EditedFormula();
  if (f >= 0) {
    const QSignalBlocker block(w.CBSonidos);
    const int s = w.Rhythm->Formulas[static_cast<size_t>(f)].sounds[ed.SelectedTrack];
    w.CBSonidos->setCurrentIndex(s < w.CBSonidos->count() ? s : -1);
  }
  // Over the sound cell of the selected track.
  const QRect cell = w.SGDatosFormula->visualRect(w.SGDatosFormula->model()->index(row, 1));
  const QPoint at = w.SGDatosFormula->viewport()->mapTo(w.CBSonidos->parentWidget(), cell.topLeft());
  w.CBSonidos->setGeometry(at.x(), at.y(), cell.width(), cell.height() + 1);
  w.CBSonidos->raise();
  SetGridEditing(w.SGDatosFormula, w.SGFormulas->Editable);
  w.SGDatosFormula->viewport()->update();
  return true;
}

// A stroke string typed into a beat cell of the formula shown.
template <class Form>
void EditPatternCell(Form& w, int col, int row, const QString& value) {
  const EditorRules& rules = Form::EditRules;
  const int fi = w.EditedFormula();
  if (fi < 0 || row < 1 || row > rules.tracks) return;
  Formula& f = w.Rhythm->Formulas[static_cast<size_t>(fi)];
  const int t = row - 1;
  if (col < 2 || col >= std::min(f.Beats(), kMaxBeats) + 2) {
    // Only beat cells take strokes; the sound column shows the record again.
    if (col == 1) w.SGDatosFormula->SetCells(1, row, SoundCellText(w.SoundList, f.sounds[t]));
    return;
  }
  w.Cambios();
  rules.storeStrokeText(f, col - 2, t, ToL1(value));
  w.SGDatosFormula->SetCells(col, row, L1(rules.strokeText(f, col - 2, t)));
}

// The header cell of a beat column: its label, "  >" after an accented
// beat's; the sounding beat while playing on red (accented) or lime, the
// others on `background`.
template <class Form>
void DrawBeatHeaderCell(Form& w, QPainter* p, int col, int row, const QRect& rect, const QColor& background) {
  const int sel = w.SGFormulas->Row() - 1;
  const bool accented =
      sel >= 0 && sel < kMaxFormulas && w.Rhythm->Formulas[static_cast<size_t>(sel)].Accented(col - 2);
  const QString text = w.SGDatosFormula->Cells(col, row) + (accented ? "  >" : "");
  QFont font = p->font();
  font.setBold(true);
  if (w.Engine->PlayState == 1 && col == w.Engine->SoundingBeat + 1) {
    QFont comic("Comic Sans MS", 10);
    comic.setBold(true);
    p->setFont(comic);
    p->fillRect(rect, accented ? kRed : kLime);
    p->setPen(accented ? Qt::white : Qt::black);
    DrawCellText(p, rect, 4, text);
  } else {
    p->setFont(font);
    p->fillRect(rect, background);
    p->setPen(accented ? kRed : kLime);
    DrawCellText(p, rect, 2, text);
  }
}

// The sound chooser's item taken as the selected track's sound; false when
// it names no sound of the list (or no track is selected).
template <class Form>
bool ChooseTrackSound(Form& w, const FormulaEditorState& ed, int index) {
  const int f = w.EditedFormula();
  const int t = ed.SelectedTrack;
  if (f < 0 || t < 0 || t >= Form::EditRules.tracks || index < 0 ||
      index > static_cast<int>(w.SoundList.size()) || index >= w.CBSonidos->count())
    return false;
  w.Rhythm->Formulas[static_cast<size_t>(f)].sounds[t] = static_cast<uint8_t>(index);
  w.SGDatosFormula->SetCells(1, t + 1, w.CBSonidos->itemText(index));
  return true;
}

// --- accents and the count mode ---------------------------------------------------

// An accent box clicked: the accents of the visible boxes stored, the
// formula shown again.
template <class Form>
void TakeAccentBoxes(Form& w, const GuardFlags& g) {
  if (g.AccentChangeByCode) return;
  const int fi = w.EditedFormula();
  if (fi < 0) return;
  Formula& f = w.Rhythm->Formulas[static_cast<size_t>(fi)];
  std::array<bool, 12> checked{};
  for (int k = 0; k < 12; ++k)
    checked[static_cast<size_t>(k)] =
        !w.AccentBoxes[static_cast<size_t>(k)]->isHidden() && w.AccentBoxes[static_cast<size_t>(k)]->isChecked();
  f.accents = AccentsFromBoxes(f.accents, checked, std::min(f.Beats(), kMaxBeats));
  w.SGFormulasSelectCell(w.SGFormulas->Col(), fi + 1);
  w.Cambios();
}

// A count button clicked: the formula shown counts by accents or by beats;
// the modified mark is shown directly (also while a theme plays) and the
// formula shown again. A click on the button already on changes nothing.
template <class Form>
void TakeCountMode(Form& w, const GuardFlags& g, bool byAccents) {
  if (g.CountModeByCode) return;
  const int fi = w.EditedFormula();
  if (fi < 0) return;
  Formula& f = w.Rhythm->Formulas[static_cast<size_t>(fi)];
  if (f.CountByAccents() == byAccents) return;
  if (byAccents)
    f.accents |= 0x8000;
  else
    f.accents &= 0x7FFF;
  w.ShowModifiedMark();
  w.SGFormulasSelectCell(w.SGFormulas->Col(), fi + 1);
}

}  // namespace editor_steps
