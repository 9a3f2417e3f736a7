// The transport's window steps that both editions' main windows take alike:
// the beat labels, the sequence grid following the player, the start of a
// theme or of a formula loop, pause and resume, the two tempo sliders. The decisions are the
// player's and the sequencer's (engine/player.h); these only start them and
// paint what they did.
//
// The templates take either edition's main window. What they use of it has
// the same name in both: Engine, Deck, Rhythm, the grids SGSaco, SGTemas
// and SGFormulas, the labels Label2, Label3 and Label8, the tempo sliders
// TB1 and TB2 with the typed tempo Edit1, the clock label TTiempo, the timers
// StartBeatStep (the edition's beat step starts) and Timer4 (elapsed time), the test hook OnBeatMixed,
// Log, and the handlers ShowEntryRow, ShowCompasCounter, NormalizarTema,
// SGSacoSelectCell, ShowStopped, Stop1Click and Timer4Timer.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QString>
#include <QTimer>
#include <array>

#include "platform/ui/string_grid.h"
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

// The sequence grid shows entry row `row` of the sequence in play, with its
// formula (the grid's selection runs with `rowsByPlayer` up, so that it only
// shows and decides nothing). Nothing when the grid shows another theme
// (`shownTema`) or has no such row.
template <class Form>
void FollowEntryRow(Form& f, int row, int shownTema, bool& rowsByPlayer) {
  StringGrid* grid = f.SGSaco;
  if (shownTema != f.Deck->Plan().tema || row < 1 || row >= grid->RowCount()) return;
  rowsByPlayer = true;
  grid->Select(grid->Col() < 2 ? 2 : grid->Col(), row);
  f.SGSacoSelectCell(grid->Col(), row);
  rowsByPlayer = false;
}

// After the beat labels of a step: at the end of a compás of a theme the
// grid follows the entry in play and the compás counter is shown; the end of
// the last part has stopped the transport (no lamp command: the last beat
// plays out), and the window shows it stopped. False when playback stopped.
template <class Form>
bool FollowPlayerBeat(Form& f, const BeatCue& cue) {
  if (cue.compasEnded && f.Engine->ThemePlayback) {
    if (cue.row != f.SGSaco->Row()) f.ShowEntryRow(cue.row);
    if (!cue.stopped) f.ShowCompasCounter();
  }
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
template <class Form, class ShowPlaying>
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
template <class Form>
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
template <class Form>
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
template <class Form>
int FormulaTempoMoved(Form& f) {
  const int bpm = SliderBpm(f.TB2->value());
  if (f.Edit1->text() != QString::number(bpm)) f.Edit1->setText(QString::number(bpm));
  f.Deck->SetTempo(bpm);
  // The tempo label shows the tempo in force at once, as the theme slider
  // writes it; while playing, the beats write it from the engine.
  if (f.Label8 && !f.Deck->IsPlaying()) f.Label8->setText(QString::number(bpm) + " bpm");
  const int row = f.SGFormulas->Row() - 1;
  return row >= 0 && row < kMaxFormulas ? f.Rhythm->Formulas[static_cast<size_t>(row)].Beats() : 0;
}

// The theme tempo slider moved (TB1): the formula slider takes the same
// position (its handler sets the tempo), Label8 shows the tempo and the
// beat's milliseconds follow. Returns the tempo.
template <class Form>
int ThemeTempoMoved(Form& f) {
  const int pos = f.TB1->value();
  const int bpm = SliderBpm(pos);
  if (f.TB2->value() != pos) f.TB2->setValue(pos);
  if (f.Label8) f.Label8->setText(QString::number(bpm) + " bpm");
  f.Deck->SetMsPerBeat(bpm);
  return bpm;
}
