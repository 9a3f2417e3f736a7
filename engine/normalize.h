// Gain normalisation: the master gain at which a theme's mix just fits 16
// bits, found by running the theme's entries through the sequencer into
// nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/engine_state.h"
#include "engine/mixer.h"
#include "engine/sound_bank.h"
#include "engine/sequencer.h"
#include "rhythm/records.h"

// What a normalisation of one theme reached.
struct GainResult {
  float masterGain = 10.0f;  // the gain at the end of the run
  bool clipped = false;      // some sample clipped: the theme's gain is masterGain
  bool complete = true;      // false: stopped before the end, nothing to go by
};

// The sequence a normalisation mixes: every entry once, as one compás, at
// the tempo it starts with in playback (its own, or the one carried on by
// the accelerations before it; the theme tempo 120 when the record has
// none), with its acceleration; entries past the formula count are left out.
ThemePlan NormalisationPlan(const RhythmTables& rt, int t);

// One entry as a normalisation mixes it: a formula once, as one compás, from
// a start tempo with an acceleration.
struct EntryRun {
  int formula = 0;
  int tempo = 120;
  int accel = 0;
};
// The entries of NormalisationPlan, in list order.
std::vector<EntryRun> NormalisationEntries(const RhythmTables& rt, int t);

// Mixes formula f alone as an entry of a normalisation: from silent tracks
// and a gain of 10, with the mixer controls and format E holds (the rest of
// E is scratch, as is `scratch`, whose formula 0 becomes f). The gain
// reached is the highest that fits this entry.
GainResult MixEntryAlone(EngineState& E, RhythmTables& scratch, const BancoSonidos& bank, const Formula& f, int tempo,
                         int accel, const std::atomic<bool>* stop = nullptr);
// A theme's result from its entries' results, added one by one from the
// result of an empty theme: the gain only falls, from the same steps, so the
// lowest gain reached by any entry is the one the whole run reaches.
void AddEntryGain(GainResult& theme, const GainResult& entry);

// Everything an entry's mix depends on, for the pro mix: the formula's
// content, tempo and acceleration, the format, the click, mono, and for each
// track the formula sounds (unless muted) its sound's samples, pan and gain.
// `soundHash(n)` gives a hash of sound n's samples.
uint64_t EntryMixKey(const EngineState& E, const Formula& f, int tempo, int accel,
                     const std::function<uint64_t(int)>& soundHash);

// Mixes theme t silently from a copy of `from` (what plays next is not
// touched) with every track silent at the start of every entry, from a gain
// of 10. Every clipping step lowers the gain
// and the theme keeps the lowest gain reached; a theme that never clips
// keeps its stored gain. Uses rt's formula and theme indices for the run and
// puts them back. A run whose `stop` turns true ends early, incomplete.
GainResult NormalizeThemeFrom(const EngineState& from, RhythmTables& rt, const BancoSonidos& bank, int t,
                              const std::atomic<bool>* stop = nullptr);

// As NormalizeThemeFrom on the engine's own state; then ThemePlayback and
// SilentMix are cleared, CurrentBeat is 0 and MasterGain holds the gain
// reached.
void NormalizeTheme(EngineState& eng, RhythmTables& rt, const BancoSonidos& bank, int t);

// After a normalisation the entry selected in the sequence grid is in play
// again: the formula of entry e of theme t (limited to the formula table)
// becomes the formula in play, when t is a theme and e one of its entries
// among the first `entryLimit` (the record's slots, or the 120 entries the
// basic edition reads). Otherwise nothing changes.
void TakeSelectedEntryFormula(RhythmTables& rt, int t, int e, int entryLimit);
// After normalising every theme: beat 0, and the theme selected in the theme
// grid (t, when below temaCount) in play again with the formula of its
// selected entry e and its stored gain.
void TakeSelectedTheme(EngineState& eng, RhythmTables& rt, int t, int e, int temaCount, int entryLimit);

// Themes 0 .. count - 1 normalised on every core from copies of `from` and
// of the tables (which nobody may change meanwhile), with the same results
// as one after the other. `done(t, result)` runs on the calling thread for
// each theme in order, as soon as it and every theme before it are done;
// `idle` runs on the calling thread while it waits. The gains are written
// into rt as each theme is reported.
// `known(t)`, when given and not null for a theme, is that theme's result
// already: it is taken without mixing.
void NormalizeThemes(const EngineState& from, RhythmTables& rt, const BancoSonidos& bank, int count,
                     const std::function<void(int, const GainResult&)>& done,
                     const std::function<void()>& idle = nullptr,
                     const std::function<const GainResult*(int)>& known = nullptr);
