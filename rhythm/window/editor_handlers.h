// The steps of the formula, track and theme editors that both windows take
// alike, over their controls of the same names. Each is a template over the
// window class, whose part it uses is stated by the concepts below
// (FormulaEditorWindow, ThemeEditorWindow, RhythmEditorsWindow,
// RowsPainter); the window passes the editor state it keeps, and its own
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
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <array>
#include <concepts>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/string_grid.h"
#include "engine/engine_state.h"
#include "engine/follow.h"
#include "engine/mixer.h"
#include "engine/sequencer.h"
#include "platform/files/text.h"
#include "rhythm/dataset.h"
#include "rhythm/editor_logic.h"
#include "rhythm/editor_state.h"
#include "rhythm/window/editor_widgets.h"
#include "rhythm/window/records_window.h"
#include "engine/transport.h"

namespace editor_steps {

inline const QColor kLime(0, 255, 0);
inline const QColor kRed(255, 0, 0);

// What the formula and track editor's steps use of a window besides its
// records: the transport and the engine's state, the open set's marks
// (DataSet) and the sound list, the pattern grid SGDatosFormula, the labels
// Label1 (the number), Label7 (the name), Label14 (where it is used) and
// Label25 (the formula to add), the count buttons RBAcento and RBTiempo, the
// sound chooser CBSonidos, the twelve accent boxes, the formula tempo slider
// TB2 with its typed tempo Edit1, and the handlers EditedFormula,
// ShowFormulaLength, LayoutPatternGrid, SGFormulasSelectCell and
// ShowModifiedMark.
template <class Form>
concept FormulaEditorWindow = RecordsWindow<Form> && PlayStateWindow<Form> && requires(Form& f, int n) {
  { f.DataSet } -> std::convertible_to<const DataSetState&>;
  { f.SoundList } -> std::convertible_to<const std::vector<std::string>&>;
  { f.SGDatosFormula } -> std::convertible_to<StringGrid*>;
  { f.Label1 } -> std::convertible_to<QLabel*>;
  { f.Label7 } -> std::convertible_to<QLabel*>;
  { f.Label14 } -> std::convertible_to<QLabel*>;
  { f.Label25 } -> std::convertible_to<QLabel*>;
  { f.RBAcento } -> std::convertible_to<QRadioButton*>;
  { f.RBTiempo } -> std::convertible_to<QRadioButton*>;
  { f.CBSonidos } -> std::convertible_to<QComboBox*>;
  { f.AccentBoxes[0] } -> std::convertible_to<QCheckBox*>;
  requires std::tuple_size_v<decltype(f.AccentBoxes)> == 12;
  { f.TB2 } -> std::convertible_to<QSlider*>;
  { f.Edit1 } -> std::convertible_to<QLineEdit*>;
  { f.EditedFormula() } -> std::convertible_to<int>;
  f.ShowFormulaLength(n);
  f.LayoutPatternGrid(n);
  f.SGFormulasSelectCell(n, n);
  f.ShowModifiedMark();
};

// What the theme and sequence editor's steps use of a window besides its
// records: the transport and the engine's state, the message boxes, the
// sequence grid SGSaco, the theme label Label2, the fields Partes, Intro and
// Fin, the order buttons RadioButton1 ("Normal") and RadioButton2, the
// theme tempo slider TB1, and the handlers EditedTema, FillSequenceGrid,
// SGSacoSelectCell, ShowCompasCounter and BotonPoneAntesClick.
template <class Form>
concept ThemeEditorWindow =
    RecordsWindow<Form> && PlayStateWindow<Form> && AskingWindow<Form> && requires(Form& f, int n) {
      { f.SGSaco } -> std::convertible_to<StringGrid*>;
      { f.Label2 } -> std::convertible_to<QLabel*>;
      { f.Partes } -> std::convertible_to<QLineEdit*>;
      { f.Intro } -> std::convertible_to<QLineEdit*>;
      { f.Fin } -> std::convertible_to<QLineEdit*>;
      { f.RadioButton1 } -> std::convertible_to<QRadioButton*>;
      { f.RadioButton2 } -> std::convertible_to<QRadioButton*>;
      { f.TB1 } -> std::convertible_to<QSlider*>;
      { f.EditedTema() } -> std::convertible_to<int>;
      f.FillSequenceGrid(n);
      f.SGSacoSelectCell(n, n);
      f.ShowCompasCounter();
      f.BotonPoneAntesClick();
    };

// Both editors, and the click sound chooser CBMetro beside them: what the
// wording of the editors' texts again uses.
template <class Form>
concept RhythmEditorsWindow = FormulaEditorWindow<Form> && ThemeEditorWindow<Form> && requires(Form& f) {
  { f.CBMetro } -> std::convertible_to<QComboBox*>;
};

// --- the formula grid -----------------------------------------------------------

// The formula a row shows, as the engine takes it when the user picks it:
// its beats and first beat, and the formula tempo of the slider.
struct FormulaShown {
  int formula = 0;
  int beats = 0;
  int startBeat = 0;
  int bpm = 0;
};

// The captions that formula row - 1 gives the editor in the language in
// force: where it is used (Label14), its number (Label1), the headings of
// its beat columns and the sound column of the pattern grid. Nothing else of
// the editor changes, so that a language switch can word them again.
template <FormulaEditorWindow Form>
void WordFormulaCaptions(Form& w, FormulaEditorState& ed, int row) {
  const EditorRules& rules = Form::EditRules;
  const int i = row - 1;
  if (i < 0 || i >= w.FormulaCount()) return;
  Formula& f = w.Rhythm->Formulas[static_cast<size_t>(i)];

  const int m = ThemeUsingFormula(*w.Rhythm, w.TemaCount(), i);
  ed.FormulaInUse = m >= 0;
  if (m >= 0) {
    SetLabelColour(w.Label14, kRed);
    w.Label14->setText(w.Tr("Usada en Tema ", "Used in song ") + QString::number(m + 1) + " " +
                       w.SGTemas->Cells(1, m + 1));
  } else {
    SetLabelColour(w.Label14, kLime);
    w.Label14->setText(w.Tr("No está usada", "It is not used "));
  }

  const bool byAccents = f.CountByAccents();
  const FormulaView view = ViewFormula(f, byAccents, rules);
  const QString prefix = w.Tr("T ", "B ");
  for (int k = 1; k <= view.beats; ++k) {
    const int label = view.labels[static_cast<size_t>(k - 1)];
    if (byAccents) ed.AccentCountLabels[static_cast<size_t>(k - 1)] = std::to_string(label);
    w.SGDatosFormula->SetCells(k + 1, 0, prefix + QString::number(label));
  }

  w.Label1->setText(w.Tr("Fórmula ", "Formula ") + QString::number(row));
  for (int t = 0; t < rules.tracks; ++t)
    w.SGDatosFormula->SetCells(1, t + 1, SoundCellText(w.SoundList, f.sounds[t], w.English));
}

// Paints formula row - 1 into the pattern grid and every control of the
// editor; the engine is not touched. Nothing when the row holds no formula.
// The accent boxes' guard is left up.
template <FormulaEditorWindow Form>
std::optional<FormulaShown> PaintFormulaRow(Form& w, FormulaEditorState& ed, GuardFlags& g, int row) {
  const EditorRules& rules = Form::EditRules;
  const int i = row - 1;
  if (i < 0 || i >= w.FormulaCount()) return std::nullopt;
  ed.ShownFormula = i;
  Formula& f = w.Rhythm->Formulas[static_cast<size_t>(i)];

  // Length of one compás at the tempo in force.
  w.ShowFormulaLength(f.Beats());

  g.CountModeByCode = true;
  w.RBAcento->setChecked(f.CountByAccents());
  w.RBTiempo->setChecked(!f.CountByAccents());
  g.CountModeByCode = false;

  const bool byAccents = w.RBAcento->isChecked();
  const FormulaView view = ViewFormula(f, byAccents, rules);

  // Where it is used, its number, the beat columns' headings, the sounds.
  WordFormulaCaptions(w, ed, row);
  w.Label7->setText(w.SGFormulas->Cells(2, row));

  // Pattern grid: one column per beat.
  w.SGDatosFormula->SetColCount(view.beats + 2);
  w.LayoutPatternGrid(view.beats);
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
  const int bpm = SliderBpm(w.TB2->value());
  w.Edit1->setText(QString::number(bpm));

  w.SGDatosFormula->viewport()->update();
  SetGridEditing(w.SGFormulas, row > 0);
  SetGridEditing(w.SGDatosFormula, w.SGFormulas->Editable);
  return FormulaShown{i, view.beats, view.startBeat, bpm};
}

// The user picked formula row - 1: it is painted, and the engine takes it
// as the formula in play with the slider's tempo. False when the row holds
// no formula.
template <FormulaEditorWindow Form>
bool ShowFormulaRow(Form& w, FormulaEditorState& ed, GuardFlags& g, int row) {
  const std::optional<FormulaShown> shown = PaintFormulaRow(w, ed, g, row);
  if (!shown) return false;
  w.Deck->SelectFormula(shown->formula, shown->beats, shown->startBeat);
  w.Deck->SetBeatLength(shown->bpm);
  return true;
}

// A name, beat count or first beat typed into the formula grid, stored in
// the record of the row typed into.
template <FormulaEditorWindow Form>
void EditFormulaRow(Form& w, FormulaEditorState& ed, int col, int row, const QString& value) {
  if (w.DataSet.GridsFilling & kGridsFillingBit) return;
  w.Cambios();
  const int i = row - 1;
  if (i < 0 || i >= w.FormulaCount()) return;
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
    if (playing) w.Deck->SetFormulaBeats(beats, start);
    if (shown)
      for (int k = 1; k <= beats && k <= kMaxBeats; ++k)
        w.SGDatosFormula->SetCells(k + 1, 0, w.Tr("T ", "B ") + QString::number(BeatLabel(start, k)));
  } else {
    f.SetHeader(n, f.StartBeat());
    if (playing) w.Deck->SetFormulaBeats(n, w.Engine->FormulaStartBeat);
    if (shown) {
      w.SGDatosFormula->SetColCount(n + 2);
      w.LayoutPatternGrid(n);
      // The length of one compás and the headings follow the new count.
      w.ShowFormulaLength(n);
      WordFormulaCaptions(w, ed, row);
    }
  }
}

// Leaving the formula grid: the engine and the row show the record's beats
// and first beat again.
template <FormulaEditorWindow Form>
void LeaveFormulaGrid(Form& w) {
  const int row = w.SGFormulas->Row();
  if (row <= 0 || row - 1 >= w.FormulaCount()) return;
  const Formula& f = w.Rhythm->Formulas[static_cast<size_t>(row - 1)];
  w.Deck->SetFormulaBeats(f.Beats(), f.StartBeat());
  w.SGFormulas->SetCells(1, row, QString::number(f.Beats()));
  w.SGFormulas->SetCells(3, row, QString::number(f.StartBeat() + 1));
}

// The user's click on the formula grid picks the formula to add, unless an
// entry selection moved the grid's row just before.
template <FormulaEditorWindow Form>
void PickFormulaToAdd(Form& w, FormulaEditorState& ed, GuardFlags& g) {
  if (g.SkipFormulaClick) {
    g.SkipFormulaClick = false;
    return;
  }
  const int row = w.SGFormulas->Row();
  if (row < 1 || row - 1 >= w.FormulaCount()) return;
  ed.FormulaToAdd = row - 1;
  if (w.Label25)
    w.Label25->setText(w.Tr("Añadir F ", "Add F ") + QString::number(row) + " " + w.SGFormulas->Cells(2, row));
  w.SGFormulas->viewport()->update();
}

// The number cell of a formula row: red when a theme uses the formula, lime
// otherwise, on `toAddFill` for the formula to add (whose colour Label25
// takes) and on `fill` for the others.
template <FormulaEditorWindow Form>
void DrawFormulaNumberCell(Form& w, const FormulaEditorState& ed, QPainter* p, int col, int row, const QRect& rect,
                           const QColor& toAddFill, const QColor& fill) {
  if (col != 0 || row < 1 || row - 1 >= w.FormulaCount()) return;
  const QColor colour = ThemeUsingFormula(*w.Rhythm, w.TemaCount(), row - 1) >= 0 ? kRed : kLime;
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
template <FormulaEditorWindow Form>
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
template <FormulaEditorWindow Form>
void EditPatternCell(Form& w, int col, int row, const QString& value) {
  const EditorRules& rules = Form::EditRules;
  const int fi = w.EditedFormula();
  if (fi < 0 || row < 1 || row > rules.tracks) return;
  Formula& f = w.Rhythm->Formulas[static_cast<size_t>(fi)];
  const int t = row - 1;
  if (col < 2 || col >= std::min(f.Beats(), kMaxBeats) + 2) {
    // Only beat cells take strokes; the sound column shows the record again.
    if (col == 1) w.SGDatosFormula->SetCells(1, row, SoundCellText(w.SoundList, f.sounds[t], w.English));
    return;
  }
  w.Cambios();
  rules.storeStrokeText(f, col - 2, t, ToL1(value));
  w.SGDatosFormula->SetCells(col, row, L1(rules.strokeText(f, col - 2, t)));
}

// The header cell of a beat column: its label, "  >" after an accented
// beat's; the sounding beat while playing on red (accented) or lime, the
// others on `background`.
template <FormulaEditorWindow Form>
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
template <FormulaEditorWindow Form>
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
template <FormulaEditorWindow Form>
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
template <FormulaEditorWindow Form>
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

// --- the theme grid -----------------------------------------------------------------

// The theme label (Label2) for theme row - 1: its number and name.
template <ThemeEditorWindow Form>
void WordThemeCaption(Form& w, int row) {
  w.Label2->setText(w.Tr("Tema ", "Song ") + w.SGTemas->Cells(0, row) + ": " + w.SGTemas->Cells(1, row));
}

// Everything the theme and formula editors wrote in the language in force,
// written again in the language now in force: the theme grid's headings,
// the theme label, the formula shown (its captions and length), the formula
// to add and the sound choosers' "no sound" item. What they show is the
// same; nothing of the records or the engine changes.
template <RhythmEditorsWindow Form>
void WordEditorCaptions(Form& w, FormulaEditorState& ed) {
  w.SGTemas->SetCells(0, 0, w.Tr("Tema Nº", "Song No."));
  w.SGTemas->SetCells(1, 0, w.Tr("Nombre", "Name"));
  const int tema = w.SGTemas->Row();
  if (!w.Label2->text().isEmpty() && tema >= 1 && tema <= w.TemaCount()) WordThemeCaption(w, tema);
  const int shown = w.EditedFormula();
  if (shown >= 0) {
    WordFormulaCaptions(w, ed, shown + 1);
    w.ShowFormulaLength(w.Rhythm->Formulas[static_cast<size_t>(shown)].Beats());
  }
  const int toAdd = ed.FormulaToAdd;
  if (w.Label25 && !w.Label25->text().isEmpty() && toAdd >= 0 && toAdd < w.FormulaCount())
    w.Label25->setText(w.Tr("Añadir F ", "Add F ") + QString::number(toAdd + 1) + " " +
                       w.SGFormulas->Cells(2, toAdd + 1));
  const QString none = SoundCellText(w.SoundList, 0, w.English);
  for (QComboBox* box : {w.CBSonidos, w.CBMetro})
    if (box->count() > 0) box->setItemText(0, none);
}

// Loads theme row - 1 into the engine's theme quantities, the parts, intro,
// ending and order controls, the theme tempo slider and the sequence grid,
// whose first entry it selects. False when the row holds no theme.
template <ThemeEditorWindow Form>
bool ShowThemeRow(Form& w, GuardFlags& g, int row) {
  const int t = row - 1;
  if (t < 0 || t >= w.TemaCount()) return false;
  Tema& th = w.Rhythm->Temas[static_cast<size_t>(t)];

  // Parts, order, intro and ending (mended in the record), the gain, the end mark.
  const ThemeFields fields = MendThemeOnSelect(th);
  w.Deck->SetThemeFields(fields.parts, fields.inOrder, fields.intro, fields.ending);
  g.ThemeFieldsByCode = true;
  w.Partes->setText(fields.parts ? QString::number(fields.parts) : QString());
  w.Intro->setText(QString::number(fields.intro));
  w.Fin->setText(QString::number(fields.ending));
  if (fields.inOrder)
    w.RadioButton1->setChecked(true);
  else
    w.RadioButton2->setChecked(true);
  g.ThemeFieldsByCode = false;

  // The theme tempo slider, moved by code: its handler stores nothing. A
  // record without a valid theme tempo (a slot never written) moves nothing.
  if (th.tempos[0] >= 20 && th.tempos[0] <= 400) {
    g.TempoSliderByCode = true;
    w.TB1->setValue(SliderPosition(th.tempos[0]));
    g.TempoSliderByCode = false;
  }

  w.SGSaco->SetRowCount(EntriesOf(th) + 2);
  w.Deck->SetMasterGain(th.gain);
  w.FillSequenceGrid(t);
  w.SGSaco->Select(1, 1);
  w.SGSacoSelectCell(1, 1);

  WordThemeCaption(w, row);
  SetGridEditing(w.SGTemas, row > 0);
  return true;
}

// A name typed into the theme grid's name column of row - 1, which the theme
// label shows when it is the selected row.
template <ThemeEditorWindow Form>
void RenameTheme(Form& w, Tema& th, int row, const QString& value) {
  if (!value.isEmpty() && row == w.SGTemas->Row()) w.Label2->setText(w.Tr("Tema : ", "Song : ") + value);
  th.SetName(ToL1(value).substr(0, static_cast<size_t>(Form::EditRules.temaName)));
}

// --- the sequence grid ----------------------------------------------------------------

// Fills the sequence grid from theme t: bar, tempo (column tempoCol) and
// formula name (column nameCol), then formula number, repetitions and
// acceleration. After an entry edit the typed cells keep their text (the
// typed tempo cell too, where entries carry tempos). The sequence in play
// follows edits of its theme.
template <ThemeEditorWindow Form>
void FillSequenceRows(Form& w, FormulaEditorState& ed, GuardFlags& g, int t, int nameCol, int tempoCol) {
  if (t < 0 || t >= kMaxTemas) return;
  ed.ShownTema = t;
  const SequenceFill fill = ComputeSequence(w.Rhythm->Temas[static_cast<size_t>(t)], w.Rhythm->Formulas.data(),
                                            w.FormulaCount(), Form::EditRules);
  w.SGSaco->SetRowCount(static_cast<int>(fill.rows.size()) + 1);
  const bool keep = g.KeepEditedCells;
  for (size_t r = 0; r < fill.rows.size(); ++r) {
    const SequenceRow& sr = fill.rows[r];
    const int row = static_cast<int>(r) + 1;
    w.SGSaco->SetCells(0, row, QString::number(sr.compas));
    if (sr.entry) {
      // The tempo cell being typed into keeps its text.
      const bool keepTempo =
          keep && Form::EditRules.entryTempos && w.SGSaco->Col() == tempoCol && w.SGSaco->Row() == row;
      if (!keepTempo) w.SGSaco->SetCells(tempoCol, row, QString::fromStdString(sr.tempo));
      w.SGSaco->SetCells(nameCol, row, L1(sr.name));
      if (!keep) {
        w.SGSaco->SetCells(3, row, QString::number(sr.formula));
        w.SGSaco->SetCells(4, row, QString::number(sr.times));
        w.SGSaco->SetCells(5, row, QString::number(sr.accel));
      }
    } else {
      w.SGSaco->SetCells(tempoCol, row, QString::fromStdString(sr.tempo));
      for (int c : {nameCol, 3, 4, 5}) w.SGSaco->SetCells(c, row, QString());
    }
  }
  w.Deck->SetCompasCount(fill.compasCount);
  g.KeepEditedCells = false;
  if (!w.Deck->IsPlaying() || t == w.Deck->Plan().tema) w.Deck->RebuildPlan(t);
}

// The sequence grid emptied (heading row and end row only), columns 0 to
// lastCol blank: it shows no theme until the next fill.
template <ThemeEditorWindow Form>
void EmptySequenceGrid(Form& w, FormulaEditorState& ed, int lastCol) {
  w.SGSaco->EmptyColumns(0, lastCol);
  w.SGSaco->SetRowCount(2);
  ed.ShownTema = -1;
}

// The entries the sequence grid shows: those of the theme it shows, from
// the table (0 while it shows none).
template <ThemeEditorWindow Form>
int ShownEntryCount(const Form& w) {
  const int t = w.EditedTema();
  return t >= 0 ? EntriesOf(w.Rhythm->Temas[static_cast<size_t>(t)]) : 0;
}

// The engine's part of the user's entry selection: the choice of entry
// moves the sequence of the theme shown (while another theme plays, only the
// selection moves). False when the selection ends there (no entry row, or
// the insert-after button moving the row).
template <ThemeEditorWindow Form>
bool SelectSequenceRow(Form& w, const FormulaEditorState& ed, GuardFlags& g, int row) {
  g.SkipFormulaClick = true;
  SetGridEditing(w.SGSaco, w.SGTemas->Editable);
  if (row < 1 || row >= w.SGSaco->RowCount()) return false;
  if (!w.Deck->IsPlaying()) w.Deck->RebuildPlan(ed.ShownTema);
  if (ed.ShownTema == w.Deck->Plan().tema) {
    const float bpm = w.Engine->CurrentBpm;
    if (g.SkipEntrySelect)
      w.Deck->PointAtEntry(row);
    else
      w.Deck->SelectEntry(row, true);
    // Without entry tempos the row's tempo is not taken.
    if (!Form::EditRules.entryTempos) w.Deck->SetBpm(bpm);
  }
  w.ShowCompasCounter();
  if (g.SkipEntrySelect) {
    g.SkipEntrySelect = false;
    return false;
  }
  return true;
}

// What a window paints of the player's rows with: the sequence, theme and
// formula grids, the compás counter and its own paint of a formula row.
template <class Form>
concept RowsPainter = requires(Form& f, int row) {
  { f.SGSaco } -> std::convertible_to<StringGrid*>;
  { f.SGTemas } -> std::convertible_to<StringGrid*>;
  { f.SGFormulas } -> std::convertible_to<StringGrid*>;
  f.ShowCompasCounter();
  f.PaintFormulaRow(row);
};

// Paints the rows the player shows: the entry row selected in the sequence
// grid with the compás counter, then its formula in the formula grid and the
// editor. Only the view moves: no selection handler runs.
template <RowsPainter Form>
void PaintRowsShown(Form& w, const RowsToShow& rows) {
  StringGrid* grid = w.SGSaco;
  if (rows.entryRow < 1 || rows.entryRow >= grid->RowCount()) return;
  grid->Select(grid->Col() < 2 ? 2 : grid->Col(), rows.entryRow);
  SetGridEditing(grid, w.SGTemas->Editable);
  w.ShowCompasCounter();
  if (rows.formulaRow < 1 || rows.formulaRow >= w.SGFormulas->RowCount()) return;
  w.SGFormulas->Select(w.SGFormulas->Col(), rows.formulaRow);
  w.PaintFormulaRow(rows.formulaRow);
}

// The formula to add inserted before the selected entry: one more
// repetition of an entry of that formula, or a new entry.
template <ThemeEditorWindow Form>
void InsertBeforeEntry(Form& w, const FormulaEditorState& ed) {
  const int t = w.EditedTema();
  const int f = ed.FormulaToAdd;
  if (t < 0 || f < 0 || f >= w.FormulaCount()) return;
  const int e = w.SGSaco->Row() - 1;
  switch (InsertEntryBefore(w.Rhythm->Temas[static_cast<size_t>(t)], e, f)) {
    case InsertOutcome::Full:
      w.dialogs->ShowMessage(w.Tr("Un tema no admite más de 120 fórmulas", "A song holds at most 120 formulas"));
      return;
    case InsertOutcome::BadPosition:
      return;
    case InsertOutcome::AddedRepetition:
    case InsertOutcome::InsertedEntry:
      break;
  }
  w.FillSequenceGrid(t);
  w.SGSaco->Select(w.SGSaco->Col(), e + 1);
  w.Deck->SetCompas(CellNumber(w.SGSaco, 0, w.SGSaco->Row()));
  w.ShowCompasCounter();
  w.Cambios();
}

// The formula to add inserted after the selected entry: when the window
// finds that row to hold an entry of another formula, the selection first
// moves down (the engine's part of the selection only); then it goes in
// before the selected row. A full theme is refused before the selection
// moves.
template <ThemeEditorWindow Form, std::predicate<const Tema&, int, int> OtherFormulaAt>
void InsertAfterEntry(Form& w, const FormulaEditorState& ed, GuardFlags& g, OtherFormulaAt otherFormulaAt) {
  const int t = w.EditedTema();
  const int f = ed.FormulaToAdd;
  if (t < 0 || f < 0 || f >= w.FormulaCount()) return;
  const int row = w.SGSaco->Row();
  const Tema& th = w.Rhythm->Temas[static_cast<size_t>(t)];
  if (otherFormulaAt(th, row, f)) {
    if (EntriesOf(th) >= kMaxEntries && InsertNeedsNewEntry(th, row, f)) {
      w.dialogs->ShowMessage(w.Tr("Un tema no admite más de 120 fórmulas", "A song holds at most 120 formulas"));
      return;
    }
    g.SkipEntrySelect = true;
    w.SGSaco->Select(w.SGSaco->Col(), row + 1);
    w.SGSacoSelectCell(w.SGSaco->Col(), row + 1);
  }
  w.BotonPoneAntesClick();
}

// One repetition less of the selected entry; the last one removes it.
// Nothing on the end row.
template <ThemeEditorWindow Form>
void RemoveSelectedEntry(Form& w) {
  const int t = w.EditedTema();
  const int row = w.SGSaco->Row();
  if (t < 0 || row < 1 || row >= w.SGSaco->RowCount() - 1) return;
  if (RemoveEntry(w.Rhythm->Temas[static_cast<size_t>(t)], row - 1) == RemoveOutcome::Nothing) return;
  w.FillSequenceGrid(t);
  w.SGSaco->Select(w.SGSaco->Col(), row);
  w.Cambios();
  w.Deck->SetCompas(CellNumber(w.SGSaco, 0, w.SGSaco->Row()));
  w.ShowCompasCounter();
}

// --- parts, intro, ending and order ----------------------------------------------------

// A value typed into Partes, Intro or Fin (none: a value below 0) stored
// by `store` into the theme shown and the engine.
template <ThemeEditorWindow Form, std::invocable<Tema&, int> Store>
void TakeThemeField(Form& w, const GuardFlags& g, std::optional<int> value, Store store) {
  if (g.ThemeFieldsByCode) return;
  const int t = w.EditedTema();
  if (t < 0 || !value) return;
  store(w.Rhythm->Temas[static_cast<size_t>(t)], *value);
  w.Cambios();
}

template <ThemeEditorWindow Form>
void TakeParts(Form& w, const GuardFlags& g) {
  TakeThemeField(w, g, PartsFromText(ToL1(w.Partes->text())), [&w](Tema& th, int p) {
    th.partsOrder = static_cast<uint8_t>((th.partsOrder & 0x80) | p);
    w.Deck->SetThemeParts(p);
  });
}

template <ThemeEditorWindow Form>
void TakeIntro(Form& w, const GuardFlags& g) {
  TakeThemeField(w, g, BeatsFromText(ToL1(w.Intro->text())), [&w](Tema& th, int v) {
    th.introEnding = static_cast<uint8_t>((v << 4) | (th.introEnding & 0x0F));
    w.Deck->SetThemeIntro(v);
  });
}

template <ThemeEditorWindow Form>
void TakeEnding(Form& w, const GuardFlags& g) {
  TakeThemeField(w, g, BeatsFromText(ToL1(w.Fin->text())), [&w](Tema& th, int v) {
    th.introEnding = static_cast<uint8_t>((th.introEnding & 0xF0) | v);
    w.Deck->SetThemeEnding(v);
  });
}

// Either order button clicked: in order when RadioButton1 is on.
template <ThemeEditorWindow Form>
void TakeOrder(Form& w, const GuardFlags& g) {
  if (g.ThemeFieldsByCode) return;
  const int t = w.EditedTema();
  if (t < 0) return;
  Tema& th = w.Rhythm->Temas[static_cast<size_t>(t)];
  if (th.InOrder() == w.RadioButton1->isChecked()) return;  // the button already on: nothing changes
  w.Deck->SetThemeOrder(w.RadioButton1->isChecked());
  if (w.Engine->ThemeInOrder)
    th.partsOrder |= 0x80;
  else
    th.partsOrder &= 0x7F;
  w.Cambios();
}

}  // namespace editor_steps
