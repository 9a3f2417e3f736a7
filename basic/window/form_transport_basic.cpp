// The basic window's transport: one beat per finished buffer on Timer1, the
// theme play (F10), the formula loop, pause and stop, the elapsed time, the
// progress bar and the picture `oscilata`; the tempo sliders, the click
// presets, the normalisation of the themes and the WAV export.
#include <QCoreApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>

#include "platform/ui/string_grid.h"
#include "basic/window/basic_form.h"
#include "engine/mixer.h"
#include "engine/transport.h"
#include "engine/window/export_steps.h"
#include "engine/window/transport_steps.h"
#include "rhythm/window/editor_handlers.h"
#include "engine/wav_export.h"
#include "platform/audio/tick.h"
#include "platform/files/text.h"
#include "rhythm/editor_logic.h"

namespace bornace {

void TMainForm::ShowCompasCounter() {
  if (!Label3) return;
  const EngineState& E = *Engine;
  Label3->setText(QString::fromStdString(
      CompasCounterText(E.CurrentCompas, E.CompasCount, E.ThemeParts, E.PartsCounter, true, English)));
}

void TMainForm::ShowEntryRow(int row) {
  if (const auto rows = EntryRowsToShow(Deck->Plan(), ShownSequence(), row)) PaintRows(*rows);
}

SequenceView TMainForm::ShownSequence() const { return {Pages.ShownTema, SGSaco->Row(), Deck->ThemePlays()}; }

void TMainForm::PaintRows(const RowsToShow& rows) { editor_steps::PaintRowsShown(*this, rows); }

// The tempo in force at the start of an entry row of theme t: the theme
// tempo and what the accelerations of the entries above have added.
int TMainForm::TempoInForce(int t, int row) const {
  if (t < 0 || t >= kMaxTemas) return 120;
  const Tema& th = Rhythm->Temas[static_cast<size_t>(t)];
  int bpm = th.tempos[0];
  const int entries = EntriesOf(th);
  for (int e = 0; e < row - 1 && e < entries; ++e) bpm += th.times[e] * th.accel[e];
  return bpm;
}

// The beat labels: the one of the beat just started lights (red on an
// accented beat, lime on the others); every other label goes grey. The
// device's lamp is a listener of its own.
void TMainForm::ShowBeat(const BeatCue& cue) {
  LightBeatLabel(BeatLabels, cue);
}

// The beat step starts: Timer1 ticks every millisecond (the basic window
// makes its beats on that tick alone).
void TMainForm::StartBeatStep() { Timer1->start(); }

// The beat step, on Timer1's tick: at most one beat for each buffer the
// device has played. The picture shows the half that has just started
// before the next beat goes into the half just freed.
void TMainForm::Timer1Timer() {
  if (!Deck->BeatDue()) return;
  DrawOscilata();
  if (Label8) Label8->setText(QString::fromLatin1(Engine->BpmText));
  Deck->Pump();
}

void TMainForm::OnPlayerBeat(const BeatCue& cue) {
  // The beat's place in its compás, counted before a compás end starts the next one.
  const int beats = std::max(1, cue.compasBeats);
  ProgressBar1->setValue(std::clamp(cue.beat * 100 / beats, 0, 100));
  SGDatosFormula->viewport()->update();
  ShowBeat(cue);
  // The end of the last part stops: the last beat plays out, the lamp stays as it is.
  if (!FollowPlayerBeat(*this, cue)) return;
  if (OnBeatMixed) OnBeatMixed();
}

void TMainForm::BotonPlayCompClick() {
  const EngineState& E = *Engine;
  if (Deck->IsPaused()) {
    botonpausaClick();
    return;
  }
  if (TransferRunning) return;
  if (PageControl1->currentWidget() == TabSheet1) Visor->setFocus();
  Deck->SelectTheme(SGTemas->Row() - 1);
  const int theme = Rhythm->CurrentTema;
  if (theme < 0 || theme >= TemaCount()) return;
  const Tema& th = Rhythm->Temas[static_cast<size_t>(theme)];
  if (th.entryCount == 0 || editor_steps::ShownEntryCount(*this) == 0 || Deck->IsPlaying()) return;
  // The tempo of the selected row's tempo column (the theme tempo and the
  // accelerations above it), in random order the first row's; the intro
  // plays wherever the theme starts.
  const float bpm = static_cast<float>(TempoInForce(theme, E.ThemeInOrder ? SGSaco->Row() : 1));
  PlayTheme(*this, theme, bpm, "yellow", [this] { CBSonidos->setVisible(false); });
}

void TMainForm::botonplayClick() {
  if (PageControl1->currentWidget() == TabSheet1) Visor->setFocus();
  const float bpm = static_cast<float>(SliderBpm(TB2->value()));
  if (Deck->IsPaused()) {
    // A pause goes on at the formula tempo.
    Deck->SetBpm(bpm);
    botonpausaClick();
    return;
  }
  // A sequence that plays goes on as it is: both its halves are on the device.
  if (Deck->IsPlaying() || TransferRunning) return;
  const int f = SGFormulas->Row() - 1;
  if (f < 0 || f >= FormulaCount()) return;
  PlayFormulaLoop(*this, f, bpm, "lime");
}

void TMainForm::botonpausaClick() { PauseOrResume(*this); }

// The stop of the menu (F12), of the end of a theme and of the commands
// that stop playback first. It sends nothing to the device's lamp.
void TMainForm::Stop1Click() {
  // A pause or a stop by the user silences the device; the end of the last
  // part lets the last beat play out.
  const bool wasTheme = Deck->ThemePlays();
  Deck->Stop(true);
  ShowStopped(wasTheme);
}

void TMainForm::ShowStopped(bool wasTheme) {
  if (PageControl1->currentWidget() == TabSheet1) Visor->setFocus();
  Log("Stop");
  Timer1->stop();
  SetLampColour(TTiempo, "silver");
  // The sequence grid goes back to the first entry as a click there does.
  if (wasTheme && SGSaco->Row() != 1 && EditedTema() >= 0) {
    SGSaco->Select(SGSaco->Col(), 1);
    SGSacoSelectCell(SGSaco->Col(), 1);
  }
  SGDatosFormula->viewport()->update();
  // With nothing left on the device no buffer will come back to stop the
  // elapsed time: it stops here.
  const auto& halves = Deck->Output().Halves();
  if (Timer4->isActive() && (!Deck->OutputOpen() || (!halves[0].Queued() && !halves[1].Queued()))) {
    Timer4Timer();
    Timer4->stop();
  }
}

// The stop buttons: the stop, then the lamp goes off.
void TMainForm::botonstopClick() {
  Stop1Click();
  if (LampOffHook) LampOffHook();
}

void TMainForm::Timer4Timer() {
  if (Engine->PlayState == 2) return;  // a pause adds nothing
  TTiempo->setText(QString::fromStdString(ElapsedTimeText(Deck->Elapsed())));
}

// The beat that has just started, drawn into `oscilata`: the left channel
// around a quarter of the height (lime, red when the gain had to fall), the
// right one around three quarters (blue), one point per pixel column.
void TMainForm::DrawOscilata() {
  if (!oscilata) return;
  const EngineState& E = *Engine;
  const int w = std::max(1, oscilata->width());
  const int ht = std::max(4, oscilata->height());
  // The other half than the one the next beat goes into.
  const int16_t* half = E.OutputHalfData(E.OutputHalf ^ 1);
  // The picture takes the clips since the last one (the count starts again).
  int clips = E.ClipCount;
  const WavePicture wave =
      OscilataPolylines(half, std::clamp(E.SamplesPerBeat, 0, E.Format.MaxBeatFrames()), w, ht, clips);
  Deck->ClearClip();
  QPixmap pic(w, ht);
  pic.fill(Qt::black);
  QPainter p(&pic);
  QPolygon left, right;
  for (const WavePoint& q : wave.left) left << QPoint(q.x, q.y);
  for (const WavePoint& q : wave.right) right << QPoint(q.x, q.y);
  p.setPen(wave.leftColour == WaveColour::Red ? QColor(Qt::red) : QColor(0, 255, 0));
  p.drawPolyline(left);
  p.setPen(QColor(Qt::blue));
  p.drawPolyline(right);
  p.end();
  oscilata->setPixmap(pic);
  oscilata->setProperty("waveColour", wave.leftColour == WaveColour::Red ? "red" : "lime");
}

// --- tempo sliders and click --------------------------------------------------

void TMainForm::TB2Change() {
  const int beats = FormulaTempoMoved(*this);
  // The slider shows the compás in tenths of a second from its whole tempo.
  const int t = WholeBpmLengthTenths(beats, SliderBpm(TB2->value()));
  Label22->setText(QString::asprintf("%d.%d'", t / 10, t % 10));
}

void TMainForm::TB1Change() {
  const int bpm = ThemeTempoMoved(*this);
  const int r = SGTemas->Row() - 1;
  if (Pages.TempoSliderByCode) {
    Pages.TempoSliderByCode = false;
    if (r >= 0 && r < TemaCount()) FillSequenceGrid(r);
    return;
  }
  if (r < 0 || r >= TemaCount()) return;
  Rhythm->Temas[static_cast<size_t>(r)].tempos[0] = static_cast<uint16_t>(bpm);
  SGTemas->SetCells(2, r + 1, QString::number(bpm));
  Deck->TakeMsPerBeat();
  Cambios();
  FillSequenceGrid(r);
}

void TMainForm::Edit1Change() {
  bool ok = false;
  QString digits;
  for (QChar c : Edit1->text().trimmed()) {
    if (!c.isDigit()) break;
    digits += c;
  }
  const int v = digits.toInt(&ok);
  if (ok && v >= 20 && v <= 400) TB2->setValue(SliderPosition(v));
}

void TMainForm::ClickPresetClick(char code) {
  Deck->SetClickPreset(code, true);
  if (code != '0' && CBMetro->currentIndex() < 2 && CBMetro->count() > 1) CBMetro->setCurrentIndex(1);
  // The click sound is the one CBMetro shows.
  Deck->SetClickSound(CBMetro->currentIndex());
}

void TMainForm::CBMetroChange(int index) { Deck->SetClickSound(index); }

void TMainForm::NivelChange() { Deck->SetNivel(Nivel->value()); }

// --- normalisation ------------------------------------------------------------

void TMainForm::NormalizarTema(int t) {
  Work->NormaliseTheme(t);
  Deck->TakeSelectedEntryFormula(SGTemas->Row() - 1, SGSaco->Row() - 1, kMaxEntries);
}

void TMainForm::Normalizar1Click() {
  Stop1Click();
  // The basic edition writes nothing to the log and lets no other handler
  // run between themes.
  const int count = TemaCount();
  Work->NormaliseThemes(count, [](int) {}, [] {});
  Deck->TakeSelectedTheme(SGTemas->Row() - 1, SGSaco->Row() - 1, count, kMaxEntries);
}

// --- WAV export -----------------------------------------------------------------

void TMainForm::SpeedButton6Click() {
  const int t = BeginWavExport(*this);
  if (t < 0 || t >= TemaCount()) return;
  Deck->RebuildPlan(t);
  Deck->SelectEntry(1, true);
  if (Deck->Plan().entries.empty() || Deck->Plan().entries[0].times == 0) return;

  // The theme's tempo is the one the theme grid shows.
  const QString folder = QDir::currentPath() + "/datos/wavs";
  const QString chosen = dialogs->SaveFileName(WavExportRequest(*this, folder, SGTemas->Cells(2, SGTemas->Row())));
  if (chosen.isEmpty()) return;
  // The name is taken as typed.
  const std::string path = FsPath(chosen);
  const WavExportResult r = Deck->ExportPlan(path);
  Deck->SelectEntry(1, true);
  ShowEntryRow(1);
  TellWavExport(*this, path, r, false);
}

}  // namespace bornace
