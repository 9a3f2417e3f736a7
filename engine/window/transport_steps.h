// The transport's window steps that both editions' main windows take alike:
// the beat labels, the sequence grid following the player, the start of a
// theme or of a formula loop, pause and resume, the two tempo sliders. The decisions are the
// player's and the sequencer's (engine/player.h); these only start them and
// paint what they did.
//
// The templates take either edition's main window; what they use of it is
// stated by the concepts TransportWindow and PlayerFollower below.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QString>
#include <QTimer>
#include <functional>
#include <array>
#include <concepts>
#include <optional>

#include "platform/ui/string_grid.h"
#include "engine/follow.h"
#include "engine/mixer.h"
#include "engine/player.h"
#include "engine/transport.h"
#include "platform/audio/tick.h"
#include "rhythm/records.h"

// A label's text colour as a lamp: the style is rebuilt only when the colour
// changes (eleven beat labels go grey at every beat). The colour stays in
// the label's "lampColour" property. A null label is left alone.
void SetLampColour(QLabel* label, const char* colour);

// The beat labels of a step: every label but the one the beat lights goes
// grey; that one turns red on an accented beat, lime on the others. False
// when the step lit no label.
bool LightBeatLabel(const std::array<QLabel*, 12>& labels, const BeatCue& cue);

// What the transport's steps use of a window, under the same names in both
// editions: the state (Engine read only, Deck the transport, Rhythm), the
// grids SGSaco and SGFormulas, the labels Label2 (the theme), Label8 (the
// tempo) and TTiempo (the clock), the tempo sliders TB1 and TB2 with the
// typed tempo Edit1, Timer4 (elapsed time), the test hook OnBeatMixed, the
// log, and the handlers ShowEntryRow, ShowCompasCounter, NormalizarTema and
// StartBeatStep (the edition's beat step starts).
template <class Form>
concept TransportWindow = PlayStateWindow<Form> && requires(Form& f, int row, const QString& line) {
  { f.Rhythm } -> std::convertible_to<const RhythmTables*>;
  { f.SGSaco } -> std::convertible_to<StringGrid*>;
  { f.SGFormulas } -> std::convertible_to<StringGrid*>;
  { f.Label2 } -> std::convertible_to<QLabel*>;
  { f.Label8 } -> std::convertible_to<QLabel*>;
  { f.TTiempo } -> std::convertible_to<QLabel*>;
  { f.TB1 } -> std::convertible_to<QSlider*>;
  { f.TB2 } -> std::convertible_to<QSlider*>;
  { f.Edit1 } -> std::convertible_to<QLineEdit*>;
  { f.Timer4 } -> std::convertible_to<QTimer*>;
  { f.OnBeatMixed } -> std::convertible_to<std::function<void()>>;
  f.Log(line);
  f.ShowEntryRow(row);
  f.ShowCompasCounter();
  f.NormalizarTema(row);
  f.StartBeatStep();
};

// What following the player needs of a window: the transport, the sequence
// it shows, its paint of the rows to show and of the compás counter, and
// its stopped state.
template <class Form>
concept PlayerFollower = requires(Form& f, const RowsToShow& rows) {
  { f.Deck->Plan() } -> std::convertible_to<const ThemePlan&>;
  { f.Deck->ThemePlays() } -> std::convertible_to<bool>;
  { f.ShownSequence() } -> std::convertible_to<SequenceView>;
  f.PaintRows(rows);
  f.ShowCompasCounter();
  f.ShowStopped(true);
};

// After the beat labels of a step: at the end of a compás of a theme the
// grids show the entry in play (RowToShow) and the compás counter is shown;
// the end of the last part has stopped the transport (no lamp command: the
// last beat plays out), and the window shows it stopped. False when
// playback stopped.
template <PlayerFollower Form>
bool FollowPlayerBeat(Form& f, const BeatCue& cue) {
  if (const std::optional<RowsToShow> rows = RowToShow(cue, f.Deck->Plan(), f.ShownSequence())) f.PaintRows(*rows);
  if (cue.compasEnded && !cue.stopped && f.Deck->ThemePlays()) f.ShowCompasCounter();
  if (cue.stopped) {
    f.ShowStopped(true);
    return false;
  }
  return true;
}

// Theme t from the entry row selected in SGSaco, once the window has found
// it playable: the clock starts in `clockColour`; the player starts the
// theme (`bpm` where its first row shows no tempo), and before the counters
// are set the grid follows the start entry, the theme's gain is normalised
// and `showPlaying` paints the window's play state; then the compás counter,
// the tempo, the "Play" line, the elapsed time and the beat step.
template <TransportWindow Form, class ShowPlaying>
void PlayTheme(Form& f, int t, float bpm, const char* clockColour, ShowPlaying&& showPlaying) {
  const EngineState& E = *f.Engine;
  SetLampColour(f.TTiempo, clockColour);
  const int selected = f.SGSaco->Row();
  f.Deck->PlayTheme(t, selected, bpm, [&] {
    if (E.EntryRow != selected) f.ShowEntryRow(E.EntryRow);
    f.NormalizarTema(t);
    showPlaying();
  });
  f.ShowCompasCounter();
  if (f.Label8) f.Label8->setText(QString::fromLatin1(E.BpmText));
  f.Log("Play " + f.Label2->text());
  f.Timer4->start();
  if (f.OnBeatMixed) f.OnBeatMixed();
  f.StartBeatStep();
}

// Formula `formula` as a loop at `bpm`, once the window has found it
// playable: the clock in `clockColour`, the player's start (a silent compás,
// then the first beat queued), the beat step and the elapsed time.
template <TransportWindow Form>
void PlayFormulaLoop(Form& f, int formula, float bpm, const char* clockColour) {
  SetLampColour(f.TTiempo, clockColour);
  f.Deck->PlayFormula(formula, bpm);
  if (f.OnBeatMixed) f.OnBeatMixed();
  f.StartBeatStep();
  f.Timer4->start();
}

// The pause button: playing, the device pauses and the time played so far
// is kept (shown once more first); paused, the device goes on and the clock
// runs again from now. Returns the play state it found.
template <TransportWindow Form>
int PauseOrResume(Form& f) {
  const int found = f.Engine->PlayState;
  if (found == 1) {
    // The time played so far, as the pause keeps it.
    f.Deck->Pause();
    f.TTiempo->setText(QString::fromStdString(ElapsedTimeText(f.Engine->ElapsedMs)));
  } else if (found == 2) {
    f.Deck->Resume();
  }
  return found;
}

// The formula tempo slider moved (TB2, read as 420 - position bpm): Edit1
// and Label8 show the tempo and the beat's length follows it. Returns the beats of the
// formula selected in SGFormulas (0 for none), whose length the window shows.
template <TransportWindow Form>
int FormulaTempoMoved(Form& f) {
  const int bpm = SliderBpm(f.TB2->value());
  if (f.Edit1->text() != QString::number(bpm)) f.Edit1->setText(QString::number(bpm));
  f.Deck->SetTempo(bpm);
  // The tempo label shows the new tempo at once, in the form the beats
  // write it (while playing, the next beat writes it again from the engine).
  if (f.Label8) f.Label8->setText(QString::fromStdString(TempoText(bpm)));
  const int row = f.SGFormulas->Row() - 1;
  return row >= 0 && row < kMaxFormulas ? f.Rhythm->Formulas[static_cast<size_t>(row)].Beats() : 0;
}

// The theme tempo slider moved (TB1): the formula slider takes the same
// position (its handler sets the tempo), Label8 shows the tempo and the
// beat's milliseconds follow. Returns the tempo.
template <TransportWindow Form>
int ThemeTempoMoved(Form& f) {
  const int pos = f.TB1->value();
  const int bpm = SliderBpm(pos);
  if (f.TB2->value() != pos) f.TB2->setValue(pos);
  if (f.Label8) f.Label8->setText(QString::fromStdString(TempoText(bpm)));
  f.Deck->SetMsPerBeat(bpm);
  return bpm;
}
