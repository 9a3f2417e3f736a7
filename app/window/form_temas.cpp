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
#include "platform/ui/string_grid.h"
#include "engine/mixer.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "rhythm/dataset.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/editor_handlers.h"
#include "rhythm/window/editor_widgets.h"
#include "engine/transport.h"

namespace {
QString U8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

int TMainForm::TemaCount() const { return std::clamp(Rhythm->TemaCount, 0, kMaxTemas); }

int TMainForm::EditedTema() const {
  const int t = FormulaEd.ShownTema;
  return (t >= 0 && t < TemaCount()) ? t : -1;
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
  int num = 1, den = 1;
  GuitarVolume(VolG->value(), &num, &den, &hint);
  Deck->SetGuitarGain(num, den);
  VolG->setToolTip(QString::fromStdString(hint));
}

void TMainForm::SGTemasSelectCell(int col, int row) {
  (void)col;
  const int t = row - 1;
  if (t < 0 || t >= TemaCount()) return;
  const bool reopenGuitar = CloseGuitarForThemeChange();
  editor_steps::ShowThemeRow(*this, Guards, row);
  const Tema& th = Rhythm->Temas[static_cast<size_t>(t)];

  // Pan and volume of the 16 tracks, as the sliders hold them.
  Guards.TrackbarsLoading = true;
  for (int i = 0; i < kTracks; ++i) {
    TBVol[static_cast<size_t>(i)]->setValue(th.volume[i]);
    Deck->SetTrackVolume(i, TBVol[static_cast<size_t>(i)]->value());
    TBPan[static_cast<size_t>(i)]->setValue(th.pan[i]);
    Deck->SetPan(i, TBPan[static_cast<size_t>(i)]->value());
  }
  LoadGuitarSliders();
  Guards.TrackbarsLoading = false;

  if (reopenGuitar) ReopenGuitarAfterThemeChange(row);
  // Its gain (and the others') found in the background before play is pressed.
  Work->WarmGains(TemaCount(), t);
}

// The sequence grid: bar, formula name, tempo in force (blank where it
// carries on), formula number, repetitions, acceleration.
void TMainForm::FillSequenceGrid(int t) {
  editor_steps::FillSequenceRows(*this, FormulaEd, Guards, t, /*nameCol=*/1, /*tempoCol=*/2);
}

void TMainForm::SGSacoSelectCell(int col, int row) {
  (void)col;
  if (!editor_steps::SelectSequenceRow(*this, FormulaEd, Guards, row)) return;
  const bool playing = Deck->IsPlaying();
  // An entry's own tempo is in force from now: the tempo label shows it
  // (while playing, the beats write it).
  if (!playing) Label8->setText(QString::fromStdString(TempoText(Engine->CurrentBpm)));
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
    for (int i = 1; i <= FormulaCount() && i < SGFormulas->RowCount(); ++i) {
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
    const SequenceFill fill = ComputeSequence(th, Rhythm->Formulas.data(), FormulaCount(), EditRules);
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
  if (!EntryValuesFit(v, e, FormulaCount(), EditRules)) return;  // the typed text stays until the next refill
  if (e == 0 && v.tempo != th.tempos[0]) {
    Guards.TempoSliderByCode = true;
    TB1->setValue(SliderPosition(v.tempo));
    Guards.TempoSliderByCode = false;
  }
  StoreEntryValues(th, e, v, EditRules);
  Guards.KeepEditedCells = true;
  FillSequenceGrid(t);
  Deck->SetCompas(CellNumber(SGSaco, 0, SGSaco->Row()));
  ShowCompasCounter();
}

void TMainForm::BotonPoneAntesClick() { editor_steps::InsertBeforeEntry(*this, FormulaEd); }

void TMainForm::BotonPoneDespuesClick() {
  // The row holds another formula when its number cell, as it reads, names one.
  editor_steps::InsertAfterEntry(*this, FormulaEd, Guards, [this](const Tema&, int row, int f) {
    return CellNumber(SGSaco, 3, row) != f + 1 && row < SGSaco->RowCount() - 1;
  });
}

void TMainForm::BotonQuitaClick() { editor_steps::RemoveSelectedEntry(*this); }

void TMainForm::SGTemasSetEditText(int col, int row, const QString& value) {
  Cambios();
  const int t = row - 1;
  if (col != 1 || t < 0 || t >= TemaCount()) return;
  editor_steps::RenameTheme(*this, Rhythm->Temas[static_cast<size_t>(t)], row, value);
}

void TMainForm::PartesChange() { editor_steps::TakeParts(*this, Guards); }

void TMainForm::IntroChange() { editor_steps::TakeIntro(*this, Guards); }

void TMainForm::FinChange() { editor_steps::TakeEnding(*this, Guards); }

void TMainForm::RadioButton1Click() { editor_steps::TakeOrder(*this, Guards); }

void TMainForm::SGTemasDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  if (col != 0 || row < 1 || row - 1 >= TemaCount()) return;
  const Tema& th = Rhythm->Temas[static_cast<size_t>(row - 1)];
  if (th.Unused()) return;
  const std::string name = th.Name();
  if (!IsSafeFileComponent(name) || !FileExists(SetFolder(DataSet.DataSetName) + "/" + name + ".gtr")) return;
  p->drawPixmap(rect.left() + 18, rect.top(), Image7->pixmap());
}
