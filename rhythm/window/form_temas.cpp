// The theme editor: the theme grid, the sequence grid of the selected theme,
// its entry edits and insert/remove buttons, parts, intro, ending and order.
// The theme selection is the one place that loads a theme into the engine
// and the mixer controls.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>

#include "app/window/mainform.h"
#include "guitar/render.h"
#include "app/window/string_grid.h"
#include "engine/mixer.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "rhythm/dataset.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/editor_widgets.h"

namespace {
QString U8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

int TMainForm::GridTemaCount() const { return std::clamp(SGTemas->RowCount() - 1, 0, kMaxTemas); }

int TMainForm::EditedTema() const {
  const int t = FormulaEd.ShownTema;
  return (t >= 0 && t < GridTemaCount()) ? t : -1;
}

// An open guitar panel follows the theme selection: it is closed on the
// track it holds (which offers to save it) and opened on the new theme.
bool TMainForm::CloseGuitarForThemeChange() {
  if (!Guitarra1->isChecked()) return false;
  if (Engine->PlayState == 1) Stop1Click();
  Guitarra1Click();
  return true;
}

void TMainForm::ReopenGuitarAfterThemeChange(int row) {
  SGTemas->Select(SGTemas->Col(), row);
  if (!Guitarra1->isChecked()) Guitarra1Click();
}

// The guitar's gain from VolG as it stands (the theme keeps no guitar volume).
void TMainForm::LoadGuitarSliders() {
  std::string hint;
  GuitarVolume(VolG->value(), &Engine->Controls.GuitarGainNum, &Engine->Controls.GuitarGainDen, &hint);
  VolG->setToolTip(QString::fromStdString(hint));
}

void TMainForm::SGTemasSelectCell(int col, int row) {
  (void)col;
  const int t = row - 1;
  if (t < 0 || t >= GridTemaCount()) return;
  const bool reopenGuitar = CloseGuitarForThemeChange();
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];

  // Parts, order, intro and ending (mended in the record), the gain, the end mark.
  const ThemeFields fields = MendThemeOnSelect(th);
  Engine->ThemeParts = fields.parts;
  Engine->ThemeInOrder = fields.inOrder;
  Engine->ThemeIntroBeats = fields.intro;
  Engine->ThemeEndBeats = fields.ending;
  Guards.ThemeFieldsByCode = true;
  Partes->setText(fields.parts ? QString::number(fields.parts) : QString());
  Intro->setText(QString::number(fields.intro));
  Fin->setText(QString::number(fields.ending));
  if (fields.inOrder)
    RadioButton1->setChecked(true);
  else
    RadioButton2->setChecked(true);
  Guards.ThemeFieldsByCode = false;

  // The theme tempo slider, moved by code: its handler stores nothing. A
  // record without a valid theme tempo (a slot never written) moves nothing.
  if (th.tempos[0] >= 20 && th.tempos[0] <= 400) {
    Guards.TempoSliderByCode = true;
    TB1->setValue(420 - th.tempos[0]);
    Guards.TempoSliderByCode = false;
  }

  SGSaco->SetRowCount(EntriesOf(th) + 2);
  Engine->MasterGain = th.gain;
  FillSequenceGrid(t);
  SGSaco->Select(1, 1);
  SGSacoSelectCell(1, 1);

  Label2->setText(Tr("Tema ", "Song ") + SGTemas->Cells(0, row) + ": " + SGTemas->Cells(1, row));
  SetGridEditing(SGTemas, row > 0);

  // Pan and volume of the 16 tracks, as the sliders hold them.
  Guards.TrackbarsLoading = true;
  MixerControls& c = Engine->Controls;
  for (int i = 0; i < kTracks; ++i) {
    TBVol[static_cast<size_t>(i)]->setValue(th.volume[i]);
    TrackGainFor(TBVol[static_cast<size_t>(i)]->value(), &c.TrackGainNum[static_cast<size_t>(i)],
                 &c.TrackGainDen[static_cast<size_t>(i)]);
    TBPan[static_cast<size_t>(i)]->setValue(th.pan[i]);
    c.Pan[static_cast<size_t>(i)] = TBPan[static_cast<size_t>(i)]->value();
  }
  LoadGuitarSliders();
  Guards.TrackbarsLoading = false;

  if (reopenGuitar) ReopenGuitarAfterThemeChange(row);
  // Its gain (and the others') found in the background before play is pressed.
  Work->WarmGains(GridTemaCount(), t);
}

void TMainForm::FillSequenceGrid(int t) {
  if (t < 0 || t >= kMaxTemas) return;
  FormulaEd.ShownTema = t;
  const SequenceFill fill = ComputeSequence(Rhythm->Temas[static_cast<size_t>(t)], Rhythm->Formulas.data(),
                                            GridFormulaCount());
  SGSaco->SetRowCount(static_cast<int>(fill.rows.size()) + 1);
  const bool keep = Guards.KeepEditedCells;
  for (size_t r = 0; r < fill.rows.size(); ++r) {
    const SequenceRow& sr = fill.rows[r];
    const int row = static_cast<int>(r) + 1;
    SGSaco->SetCells(0, row, QString::number(sr.compas));
    if (sr.entry) {
      // The tempo cell being typed into keeps its text.
      const bool keepTempo = keep && SGSaco->Col() == 2 && SGSaco->Row() == row;
      if (!keepTempo) SGSaco->SetCells(2, row, U8(sr.tempo));
      SGSaco->SetCells(1, row, L1(sr.name));
      if (!keep) {
        SGSaco->SetCells(3, row, QString::number(sr.formula));
        SGSaco->SetCells(4, row, QString::number(sr.times));
        SGSaco->SetCells(5, row, QString::number(sr.accel));
      }
    } else {
      SGSaco->SetCells(2, row, U8(sr.tempo));
      for (int c : {1, 3, 4, 5}) SGSaco->SetCells(c, row, QString());
    }
  }
  Engine->CurrentCompas = fill.compasCount;
  Engine->CompasCount = fill.compasCount;
  Guards.KeepEditedCells = false;
  // The sequence in play follows edits of its theme.
  if (!Timer1->isActive() || t == Playback->Plan.tema) RebuildPlayPlan(t);
}

void TMainForm::SGSacoSelectCell(int col, int row) {
  (void)col;
  Guards.SkipFormulaClick = true;
  SetGridEditing(SGSaco, SGTemas->Editable);
  if (row < 1 || row >= SGSaco->RowCount()) return;
  // The user's choice of entry moves the sequence of the theme shown (while
  // another theme plays, only the selection moves); when the player moved
  // the row, the view only follows.
  const bool playing = Timer1->isActive();
  if (!playing) RebuildPlayPlan(FormulaEd.ShownTema);
  if (!Guards.RowsByPlayer && FormulaEd.ShownTema == Playback->Plan.tema) {
    if (Guards.SkipEntrySelect)
      SelectPlanRowTempo(Playback->Plan, *Engine, row, playing);
    else
      SelectPlanRow(Playback->Plan, *Engine, *Rhythm, row, true, playing);
  }
  ShowCompasCounter();
  if (Guards.SkipEntrySelect) {
    Guards.SkipEntrySelect = false;
    return;
  }
  const QString counter = U8(CompasCounterText(Engine->CurrentCompas, Engine->CompasCount, Engine->ThemeParts,
                                               Engine->PartsCounter, false, English));
  if (row == SGSaco->RowCount() - 1) {
    if (!playing) Label3->setText(counter);
    return;
  }
  Label3->setText(counter);
  // The formula row of the entry, shown. The formula number compared as a
  // number: an edited cell keeps the text as typed ("03", " 3").
  const int number = CellNumber(SGSaco, 3, row);
  if (number >= 1) {
    for (int i = 1; i < SGFormulas->RowCount(); ++i) {
      if (CellNumber(SGFormulas, 0, i) != number) continue;
      SGFormulas->Select(SGFormulas->Col(), i);
      SGFormulasSelectCell(SGFormulas->Col(), i);
    }
  }
}

void TMainForm::SGSacoSetEditText(int col, int row, const QString& value) {
  const int t = EditedTema();
  if (t < 0 || row < 1 || row >= SGSaco->RowCount()) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  if (row == SGSaco->RowCount() - 1) {
    // The end row holds no entry: what it showed comes back.
    const SequenceFill fill = ComputeSequence(th, Rhythm->Formulas.data(), GridFormulaCount());
    SGSaco->SetCells(col, row, col == 2 ? U8(fill.rows.back().tempo) : QString());
    return;
  }
  Cambios();
  const int e = row - 1;
  if (e >= EntriesOf(th)) return;
  // The tempo column shows the tempo in force, carried over from the rows
  // above; only a tempo typed into it becomes the entry's own.
  EntryValues v;
  v.tempo = col == 2 ? ReadDecimal(ToL1(value)) : th.tempos[e];
  v.formula = CellNumber(SGSaco, 3, row);
  v.times = CellNumber(SGSaco, 4, row);
  v.accel = CellNumber(SGSaco, 5, row);
  if (!EntryValuesFit(v, e, GridFormulaCount())) return;  // the typed text stays until the next refill
  if (e == 0 && v.tempo != th.tempos[0]) {
    Guards.TempoSliderByCode = true;
    TB1->setValue(420 - v.tempo);
    Guards.TempoSliderByCode = false;
  }
  StoreEntryValues(th, e, v);
  Guards.KeepEditedCells = true;
  FillSequenceGrid(t);
  Engine->CurrentCompas = CellNumber(SGSaco, 0, SGSaco->Row());
  ShowCompasCounter();
}

void TMainForm::BotonPoneAntesClick() {
  const int t = EditedTema();
  const int f = FormulaEd.FormulaToAdd;
  if (t < 0 || f < 0 || f >= GridFormulaCount()) return;
  const int e = SGSaco->Row() - 1;
  switch (InsertEntryBefore(Rhythm->Temas[static_cast<size_t>(t)], e, f)) {
    case InsertOutcome::Full:
      dialogs->ShowMessage(Tr("Un tema no admite más de 120 fórmulas", "A song holds at most 120 formulas"));
      return;
    case InsertOutcome::BadPosition:
      return;
    case InsertOutcome::AddedRepetition:
    case InsertOutcome::InsertedEntry:
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
  const int f = FormulaEd.FormulaToAdd;
  if (t < 0 || f < 0 || f >= GridFormulaCount()) return;
  const int row = SGSaco->Row();
  if (CellNumber(SGSaco, 3, row) != f + 1 && row < SGSaco->RowCount() - 1) {
    const Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
    // A full theme is refused before the selection moves.
    if (EntriesOf(th) >= kMaxEntries && InsertNeedsNewEntry(th, row, f)) {
      dialogs->ShowMessage(Tr("Un tema no admite más de 120 fórmulas", "A song holds at most 120 formulas"));
      return;
    }
    Guards.SkipEntrySelect = true;
    SGSaco->Select(SGSaco->Col(), row + 1);
    SGSacoSelectCell(SGSaco->Col(), row + 1);
  }
  BotonPoneAntesClick();
}

void TMainForm::BotonQuitaClick() {
  const int t = EditedTema();
  const int row = SGSaco->Row();
  if (t < 0 || row < 1 || row >= SGSaco->RowCount() - 1) return;  // nothing on the end row
  if (RemoveEntry(Rhythm->Temas[static_cast<size_t>(t)], row - 1) == RemoveOutcome::Nothing) return;
  FillSequenceGrid(t);
  SGSaco->Select(SGSaco->Col(), row);
  Cambios();
  Engine->CurrentCompas = CellNumber(SGSaco, 0, SGSaco->Row());
  ShowCompasCounter();
}

void TMainForm::SGTemasSetEditText(int col, int row, const QString& value) {
  Cambios();
  const int t = row - 1;
  if (col != 1 || t < 0 || t >= GridTemaCount()) return;
  if (!value.isEmpty() && row == SGTemas->Row()) Label2->setText("Tema : " + value);
  Rhythm->Temas[static_cast<size_t>(t)].SetName(ToL1(value).substr(0, 32));
}

void TMainForm::PartesChange() {
  if (Guards.ThemeFieldsByCode) return;
  const int t = EditedTema();
  const auto p = PartsFromText(ToL1(Partes->text()));
  if (t < 0 || !p) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  th.partsOrder = static_cast<uint8_t>((th.partsOrder & 0x80) | *p);
  Engine->ThemeParts = *p;
  Cambios();
}

void TMainForm::IntroChange() {
  if (Guards.ThemeFieldsByCode) return;
  const int t = EditedTema();
  const auto v = BeatsFromText(ToL1(Intro->text()));
  if (t < 0 || !v) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  th.introEnding = static_cast<uint8_t>((*v << 4) | (th.introEnding & 0x0F));
  Engine->ThemeIntroBeats = *v;
  Cambios();
}

void TMainForm::FinChange() {
  if (Guards.ThemeFieldsByCode) return;
  const int t = EditedTema();
  const auto v = BeatsFromText(ToL1(Fin->text()));
  if (t < 0 || !v) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  th.introEnding = static_cast<uint8_t>((th.introEnding & 0xF0) | *v);
  Engine->ThemeEndBeats = *v;
  Cambios();
}

void TMainForm::RadioButton1Click() {
  if (Guards.ThemeFieldsByCode) return;
  const int t = EditedTema();
  if (t < 0) return;
  Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  if (th.InOrder() == RadioButton1->isChecked()) return;  // the button already on: nothing changes
  Engine->ThemeInOrder = RadioButton1->isChecked();
  if (Engine->ThemeInOrder)
    th.partsOrder |= 0x80;
  else
    th.partsOrder &= 0x7F;
  Cambios();
}

void TMainForm::SGTemasDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  if (col != 0 || row < 1 || row - 1 >= GridTemaCount()) return;
  const Tema& th = Rhythm->Temas[static_cast<size_t>(row - 1)];
  if (th.Unused()) return;
  const std::string name = th.Name();
  if (!IsSafeFileComponent(name) || !FileExists(SetFolder(DataSet.DataSetName) + "/" + name + ".gtr")) return;
  p->drawPixmap(rect.left() + 18, rect.top(), Image7->pixmap());
}
