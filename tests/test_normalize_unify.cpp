#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/normalize.h"
#include "rhythm/unify.h"

namespace {
// A bank of one sound: `frames` samples of value v.
void OneSound(BancoSonidos& bank, int frames, int16_t v) {
  std::vector<int16_t> s(static_cast<size_t>(frames), v);
  bank.Clear(1);
  bank.Append(0, reinterpret_cast<const uint8_t*>(s.data()), s.size() * 2);
}

// Formula f: 4 beats, track 0 plays sound 1 at level 7 on every beat, on
// `tracks` tracks.
void Pattern(RhythmTables& rt, int f, int tracks) {
  Formula& F = rt.Formulas[f];
  F = Formula{};
  F.SetHeader(4, 0);
  for (int t = 0; t < tracks; ++t) {
    F.sounds[t] = 1;
    for (int b = 0; b < 4; ++b) {
      F.cells[b][t] = 7;
      F.SetStrokeCount(b, t, 1);
    }
  }
}

Tema& OneEntryTheme(RhythmTables& rt, int f, float gain) {
  Tema& th = rt.Temas[0];
  InitNewTema(th, 120);
  th.entryCount = 1;
  th.formulas[0] = static_cast<uint16_t>(f);
  th.times[0] = 1;
  th.gain = gain;
  rt.TemaCount = 1;
  return th;
}
}  // namespace

TEST(NormalizeTheme, QuietThemeKeepsItsGainAndEmptyThemeLeavesTen) {
  EngineState eng;
  auto rt = RhythmTables::Create();
  BancoSonidos bank;
  OneSound(bank, 44100, 100);
  rt->FormulaCount = 1;
  Pattern(*rt, 0, 1);  // 100 x 10 never clips
  Tema& th = OneEntryTheme(*rt, 0, 1.0f);
  eng.ClipCount = 5;  // left over from an earlier mix
  NormalizeTheme(eng, *rt, bank, 0);
  EXPECT_FLOAT_EQ(th.gain, 1.0f);
  EXPECT_FLOAT_EQ(eng.MasterGain, 10.0f);

  th.entryCount = 0;
  th.gain = 2.5f;
  NormalizeTheme(eng, *rt, bank, 0);
  EXPECT_FLOAT_EQ(th.gain, 2.5f);
  EXPECT_FLOAT_EQ(eng.MasterGain, 10.0f);
  EXPECT_FALSE(eng.ThemePlayback);
  EXPECT_FALSE(eng.SilentMix);
}

TEST(NormalizeTheme, LoudThemeGetsTheHighestGainThatFits) {
  EngineState eng;
  auto rt = RhythmTables::Create();
  BancoSonidos bank;
  OneSound(bank, 44100, 20000);
  rt->FormulaCount = 1;
  Pattern(*rt, 0, 4);  // four tracks of 20000 at centre pan
  Tema& th = OneEntryTheme(*rt, 0, 1.0f);
  NormalizeTheme(eng, *rt, bank, 0);
  ASSERT_LT(th.gain, 10.0f);
  EXPECT_GE(th.gain, 0.01f);
  // The peak of a frame at the found gain fits, one more step would not be needed.
  EXPECT_FLOAT_EQ(th.gain, eng.MasterGain);
  // Nothing was queued: the mix was silent.
  EXPECT_EQ(eng.OutputHalf, 0);
}

TEST(NormalizeTheme, WhatPlaysNextIsUnchanged) {
  EngineState eng;
  auto rt = RhythmTables::Create();
  BancoSonidos bank;
  OneSound(bank, 44100, 20000);
  rt->FormulaCount = 2;
  Pattern(*rt, 0, 2);
  Pattern(*rt, 1, 3);
  Tema& th = OneEntryTheme(*rt, 1, 1.0f);
  th.accel[0] = 50;
  th.tempos[0] = 300;
  rt->CurrentFormula = 0;
  rt->CurrentTema = 0;
  eng.CurrentBpm = 133.0f;
  eng.MsPerBeat = 451;
  eng.SamplesPerBeat = 19889;
  eng.EntryAccel = -3;
  eng.FormulaBeats = 7;
  eng.CurrentBeat = 2;
  eng.Voices.TrackPos[1] = 777;
  eng.OutputHalf = 1;
  std::strcpy(eng.BpmText, "133.00 bpm");
  NormalizeTheme(eng, *rt, bank, 0);
  EXPECT_FLOAT_EQ(eng.CurrentBpm, 133.0f);
  EXPECT_EQ(eng.MsPerBeat, 451);
  EXPECT_EQ(eng.SamplesPerBeat, 19889);
  EXPECT_EQ(eng.EntryAccel, -3);
  EXPECT_EQ(eng.FormulaBeats, 7);
  EXPECT_EQ(eng.Voices.TrackPos[1], 777);
  EXPECT_EQ(eng.OutputHalf, 1);
  EXPECT_STREQ(eng.BpmText, "133.00 bpm");
  EXPECT_EQ(rt->CurrentFormula, 0);
  EXPECT_EQ(eng.CurrentBeat, 0);
}

TEST(NormalizeTheme, EntriesPastTheFormulaCountAreSkipped) {
  EngineState eng;
  auto rt = RhythmTables::Create();
  BancoSonidos bank;
  OneSound(bank, 44100, 20000);
  rt->FormulaCount = 1;
  Tema& th = OneEntryTheme(*rt, 400, 1.0f);  // names no formula of the set
  Pattern(*rt, 400, 8);
  NormalizeTheme(eng, *rt, bank, 0);
  EXPECT_FLOAT_EQ(th.gain, 1.0f);
  th.formulas[0] = 60000;  // past the table
  NormalizeTheme(eng, *rt, bank, 0);
  EXPECT_FLOAT_EQ(th.gain, 1.0f);
}

namespace {
void SetTracks(Formula& f, const std::vector<int>& sounds) {
  f = Formula{};
  f.SetHeader(2, 0);
  for (size_t k = 0; k < sounds.size(); ++k) {
    f.sounds[k] = static_cast<uint8_t>(sounds[k]);
    f.cells[0][k] = static_cast<int32_t>(k + 1);  // marks which old track a pattern came from
    f.SetStrokeCount(0, static_cast<int>(k), 1);
  }
}
}  // namespace

TEST(UnifyTracks, SharedLayoutKeepsPatternsPanAndVolume) {
  auto rt = RhythmTables::Create();
  rt->FormulaCount = 2;
  SetTracks(rt->Formulas[0], {3, 5, 3});
  SetTracks(rt->Formulas[1], {7, 5});
  rt->Formulas[1].cells[1][0] = 4;  // a second beat
  rt->Formulas[1].SetStrokeCount(1, 0, 2);
  Tema& th = rt->Temas[0];
  InitNewTema(th, 120);
  th.entryCount = 2;
  th.formulas[0] = 0;
  th.formulas[1] = 1;
  for (int k = 0; k < 16; ++k) {
    th.pan[k] = static_cast<uint8_t>(k);
    th.volume[k] = static_cast<uint8_t>(k + 1);
  }
  ASSERT_TRUE(UnifyThemeTracks(*rt, 0));
  for (int f = 0; f < 2; ++f) {
    const Formula& F = rt->Formulas[f];
    EXPECT_EQ(F.sounds[0], 3);
    EXPECT_EQ(F.sounds[1], 3);
    EXPECT_EQ(F.sounds[2], 5);
    EXPECT_EQ(F.sounds[3], 7);
    for (int k = 4; k < 16; ++k) EXPECT_EQ(F.sounds[k], 0);
  }
  // Formula 0: its two tracks of sound 3 in their old order, then sound 5.
  EXPECT_EQ(rt->Formulas[0].cells[0][0], 1);
  EXPECT_EQ(rt->Formulas[0].cells[0][1], 3);
  EXPECT_EQ(rt->Formulas[0].cells[0][2], 2);
  EXPECT_EQ(rt->Formulas[0].cells[0][3], 0);
  // Formula 1: sound 5 from old track 1, sound 7 from old track 0 with its second beat.
  EXPECT_EQ(rt->Formulas[1].cells[0][2], 2);
  EXPECT_EQ(rt->Formulas[1].cells[0][3], 1);
  EXPECT_EQ(rt->Formulas[1].cells[1][3], 4);
  EXPECT_EQ(rt->Formulas[1].StrokeCount(1, 3), 2);
  // Pan and volume follow the last entry that supplied each new track.
  EXPECT_EQ(th.pan[0], 0);
  EXPECT_EQ(th.pan[1], 2);
  EXPECT_EQ(th.pan[2], 1);  // sound 5 came from old track 1 in the last entry
  EXPECT_EQ(th.pan[3], 0);  // sound 7 from old track 0
  EXPECT_EQ(th.volume[3], 1);
  for (int k = 4; k < 16; ++k) {
    EXPECT_EQ(th.pan[k], 0);
    EXPECT_EQ(th.volume[k], 0);
  }
}

TEST(UnifyTracks, ThemesItCannotUnifyStayUntouched) {
  auto rt = RhythmTables::Create();
  rt->FormulaCount = 2;
  std::vector<int> nine(9), eight(8);
  for (int k = 0; k < 9; ++k) nine[k] = k + 1;
  for (int k = 0; k < 8; ++k) eight[k] = 20 + k;
  SetTracks(rt->Formulas[0], nine);
  SetTracks(rt->Formulas[1], eight);  // 17 tracks in all
  Tema& th = rt->Temas[0];
  InitNewTema(th, 120);
  th.entryCount = 2;
  th.formulas[1] = 1;
  const Formula before = rt->Formulas[0];
  EXPECT_FALSE(UnifyThemeTracks(*rt, 0));
  EXPECT_EQ(std::memcmp(&before, &rt->Formulas[0], sizeof before), 0);
  EXPECT_EQ(th.pan[0], 16);
  th.entryCount = 1;
  EXPECT_FALSE(UnifyThemeTracks(*rt, 0));
}
