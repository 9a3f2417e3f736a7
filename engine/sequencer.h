// The sequencer: what plays next, beat by beat, made from the records. The
// player runs it once per finished buffer, the WAV export and the gain
// normalisation run it into a file or into nothing; the window only shows
// what it did.
#pragma once

#include <functional>
#include <random>
#include <vector>

#include "engine/engine_state.h"
#include "engine/mixer.h"
#include "rhythm/records.h"

// One entry of a theme's sequence, as the entry grid shows it.
struct PlanEntry {
  int formula = 0;      // record index of the formula
  int times = 0;        // repetitions
  int tempo = 0;        // the tempo in force from this entry on where it changes, else 0
  int accel = 0;        // bpm added per compás, spread over its beats
  int firstCompas = 1;  // compás at which the entry starts
};

// A theme's sequence, intro, ending, parts and order, made from its record
// as selecting the theme reads it (nothing is mended here).
struct ThemePlan {
  int tema = -1;
  std::vector<PlanEntry> entries;  // at most 120
  int compasCount = 1;             // compás of the row after the last entry (total + 1)
  int endTempo = 0;                // the tempo reached, shown on that row
  int introBeats = 0;
  int endBeats = 0;
  int parts = 0;                   // 0: repeat until stopped
  bool inOrder = true;
  int formulaCount = 0;            // an entry naming a formula past these keeps the formula in play

  int EndRow() const { return static_cast<int>(entries.size()) + 1; }
  const PlanEntry* Row(int row) const {
    return row >= 1 && row <= static_cast<int>(entries.size()) ? &entries[static_cast<size_t>(row - 1)] : nullptr;
  }
  // The tempo column of a row (the end row's too); 0 when blank.
  int TempoOf(int row) const { return row == EndRow() ? endTempo : Row(row) ? Row(row)->tempo : 0; }
};

ThemePlan MakeThemePlan(const RhythmTables& rt, int t, int formulaCount);

// Where the editions' sequencers differ.
struct EditionRules {
  bool wrapCompas = true;  // the compás counter goes back to 1 after the last compás
  // The basic edition's play: a theme always starts with its intro, its
  // RepeatsLeft starts at repetitions - 1, the rows the sequencer moves to
  // leave the tempo alone (the acceleration of the mixer runs on; only a new
  // pass goes back to the first row's tempo), a play start resets the
  // output only when a half is still queued on it, and a formula loop is
  // counted compás 1.
  bool basicPlay = false;
  // A stop puts a theme's sequence back on its first entry row (the basic
  // window selects that row as a user's click does).
  bool stopRewindsPlan = true;
};
constexpr EditionRules kProRules{};
constexpr EditionRules kBasicRules{false, true, false};

using SequencerRandom = std::mt19937;
// Uniform in 0..n - 1; 0 when n < 1.
int RandomBelow(SequencerRandom& rng, int n);

// What one step did, for the window and the other listeners.
struct BeatCue {
  bool stopped = false;     // the last part has ended: nothing is mixed
  bool compasEnded = false;
  int beat = 0;             // CurrentBeat: 1-based beat just started
  int compasBeats = 0;      // FormulaBeats of the compás that beat belongs to
  int beatCompas = 0;       // the compás that beat belongs to (before a compás end moves the counter)
  bool beatIntro = false;   // that beat is an intro beat
  int label = -1;           // beat label lit, 0..11 (-1: none)
  bool accent = false;      // the beat is accented in its formula
  bool countByAccents = false;
  int row = 1;              // entry row in play after the step
  int formula = 0;          // formula in play after the step
  float bpm = 0;            // tempo in force after the step (the mixer adds the acceleration)
  int accel = 0;            // acceleration of the entry in play
  int compas = 0;           // compás counter
  int repeatsLeft = 0;
  int partsLeft = 0;
  bool intro = false;       // the next beat is an intro or an ending beat
  bool ending = false;
};

// Loads formula f as the formula in play: its beats and first beat (a
// formula of 0 or more than 12 beats plays 12 beats from beat 1).
void LoadPlayFormula(EngineState& E, RhythmTables& rt, int f);

// Moves to entry row `row` (not when it is already there, unless
// evenIfSelected): its acceleration, its tempo where the row shows one, its
// formula, its repetitions after this one, and beat 0. While stopped the
// compás counter goes to the row's first compás. The end row only takes its
// tempo. Returns false when the row does not exist.
bool SelectPlanRow(const ThemePlan& plan, EngineState& E, RhythmTables& rt, int row, bool evenIfSelected,
                   bool playing);

// Only the row, its acceleration and tempo, and while stopped its first
// compás: an entry about to be edited is pointed at without playing it.
void SelectPlanRowTempo(const ThemePlan& plan, EngineState& E, int row, bool playing);

// The start of a theme's playback from the entry row in E.EntryRow (or the
// guitar's bar with PlayFromBar, or a random entry in random order): the
// compás counter, intro, parts, repetitions, acceleration and tempo. The
// caller normalises the gain in between (between `Pick` and `Counters`).
void StartThemeEntry(const ThemePlan& plan, EngineState& E, RhythmTables& rt, SequencerRandom& rng);
void StartThemeCounters(const ThemePlan& plan, EngineState& E, RhythmTables& rt,
                        const EditionRules& rules = kProRules);

// One beat step: the next beat, and at the end of a compás the theme logic
// (intro, repetitions, next entry in order or at random, ending, parts,
// stop). A formula loop (ThemePlayback off) only wraps its beats.
BeatCue StepBeat(const ThemePlan& plan, EngineState& E, RhythmTables& rt, const EditionRules& rules,
                 SequencerRandom& rng);

// A theme's sequence played once through into nothing but `afterBeat`: in
// list order from the first entry, with the plan's intro and ending and at
// least one part, silently (nothing is queued; of the hooks only the
// guitar's renderer runs). `afterBeat` sees each beat mixed in the first
// half and returns false to stop. Returns false when it was stopped so. The
// engine is left stopped, silent mix off. The run starts at the first row's
// tempo and follows the edition's `rules` as playback does.
bool RunThemeSilently(const ThemePlan& plan, EngineState& E, RhythmTables& rt, const BancoSonidos& bank,
                      const MixerHooks& hooks, const std::function<bool()>& afterBeat,
                      const EditionRules& rules = kProRules);
