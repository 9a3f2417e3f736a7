// The theme that the transport's window tests of both editions play:
// formulas A (2 beats), B (3) and C (4), and theme 0 made of {formula, times}
// entries, the first at 120 bpm, none accelerating; what they look at.
#pragma once

#include <QString>
#include <gtest/gtest.h>
#include <algorithm>
#include <concepts>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine_state.h"
#include "platform/audio/wave_out_test.h"
#include "rhythm/records.h"

using TestEntries = std::vector<std::pair<int, int>>;  // {formula, times}

inline void SetTestFormulas(RhythmTables& rt) {
  rt.Formulas[0].SetHeader(2, 0);
  rt.Formulas[1].SetHeader(3, 0);
  rt.Formulas[2].SetHeader(4, 0);
}

inline void SetTestTheme(Tema& th, const TestEntries& entries, int parts, bool inOrder, int intro, int ending) {
  th.entryCount = static_cast<uint16_t>(entries.size());
  for (size_t e = 0; e < entries.size(); ++e) {
    th.formulas[e] = static_cast<uint16_t>(entries[e].first);
    th.times[e] = static_cast<uint8_t>(entries[e].second);
    th.accel[e] = 0;
    th.tempos[e] = e == 0 ? 120 : 0;
  }
  th.partsOrder = static_cast<uint8_t>((inOrder ? 0x80 : 0) | parts);
  th.introEnding = static_cast<uint8_t>(intro * 16 + ending);
}

// A compás as its first beat was mixed.
struct Compas {
  int formula;      // the formula of that beat; -1 intro, -2 ending
  QString counter;  // the compás counter as it stood
};

// What the beat just mixed belongs to: the formula in play, -1 in the
// intro, -2 in the ending.
inline int CompasKind(const EngineState& E, const RhythmTables& rt) {
  if (E.EndingCounter != 0) return -2;
  if (E.IntroCounter != 0) return -1;
  return rt.CurrentFormula;
}

// The test output was called so since its calls were last cleared.
inline bool Called(const audio::TestWaveOut& out, const std::string& call) {
  const std::vector<std::string> names = out.CallNames();
  return std::find(names.begin(), names.end(), call) != names.end();
}

// What the check below uses of a window: the engine's state, the player's
// halves and the pause and stop buttons' handlers.
template <class Form>
concept PauseStopWindow = requires(Form& f) {
  { f.Engine } -> std::convertible_to<const EngineState*>;
  { f.Playback->Halves()[0].Prepared() } -> std::convertible_to<bool>;
  f.botonpausaClick();
  f.botonstopClick();
};

// Paused (the pause button pressed while playing), the stop button resets
// the device and releases both halves.
template <PauseStopWindow Form>
void ExpectAStopWhilePausedResets(Form& form, audio::TestWaveOut& wave) {
  ASSERT_EQ(form.Engine->PlayState, 1);
  form.botonpausaClick();
  ASSERT_EQ(form.Engine->PlayState, 2);
  wave.ClearCalls();
  form.botonstopClick();
  EXPECT_TRUE(Called(wave, "Reset"));
  EXPECT_TRUE(Called(wave, "Unprepare"));
  EXPECT_EQ(form.Engine->PlayState, 0);
  EXPECT_EQ(wave.QueuedCount(), 0u);
  EXPECT_FALSE(form.Playback->Halves()[0].Prepared());
  EXPECT_FALSE(form.Playback->Halves()[1].Prepared());
}
