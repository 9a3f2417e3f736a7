#include <gtest/gtest.h>

#include <algorithm>
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

  // The loudest frame's sum, mixed once at unity gain: the sound is constant
  // and starts on the first frame, so frame 0 holds it.
  EngineState probe;
  probe.MasterGain = 0.5f;
  rt->CurrentFormula = 0;
  probe.SilentMix = true;
  MixNextBeat(probe, *rt, bank, MixerHooks{});
  const double peak = std::max(std::abs(probe.MixLeft[0]), std::abs(probe.MixRight[0]));
  ASSERT_EQ(peak, 40000.0);
  // The rule: from 10, one step of 0.001 at a time while the frame clips.
  float want = 10.0f, above = 10.0f;
  while (want > 0.01f && static_cast<int64_t>(peak * static_cast<double>(want)) > 32767) {
    above = want;
    want = static_cast<float>(static_cast<double>(want) - 0.001);
  }

  NormalizeTheme(eng, *rt, bank, 0);
  EXPECT_EQ(th.gain, want);  // about 0.819
  EXPECT_NEAR(th.gain, 0.819f, 0.001f);
  EXPECT_EQ(eng.MasterGain, want);
  // One step higher clips.
  EXPECT_GT(static_cast<int64_t>(peak * static_cast<double>(above)), 32767);
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

TEST(NormalizeTheme, EachEntryIsMixedAtTheTempoItStartsWith) {
  // A rising sound: the longer the beat, the louder its last frame, so the
  // gain found tells the tempo the entry was mixed at.
  BancoSonidos bank;
  std::vector<int16_t> ramp(44100);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i / 2);
  bank.Clear(1);
  bank.Append(0, reinterpret_cast<const uint8_t*>(ramp.data()), ramp.size() * 2);
  auto gainAt = [&](int themeTempo, int firstTimes, int firstAccel, int secondTempo) {
    EngineState eng;
    auto rt = RhythmTables::Create();
    rt->FormulaCount = 2;
    rt->Formulas[0] = Formula{};  // entry 1: nothing sounds
    rt->Formulas[0].SetHeader(2, 0);
    Pattern(*rt, 1, 1);
    rt->Formulas[1].SetHeader(1, 0);
    Tema& th = rt->Temas[0];
    InitNewTema(th, static_cast<uint16_t>(themeTempo));
    th.entryCount = 2;
    th.formulas[0] = 0;
    th.times[0] = static_cast<uint8_t>(firstTimes);
    th.accel[0] = static_cast<int8_t>(firstAccel);
    th.formulas[1] = 1;
    th.times[1] = 1;
    th.tempos[1] = static_cast<uint16_t>(secondTempo);
    th.gain = 1.0f;
    rt->TemaCount = 1;
    NormalizeTheme(eng, *rt, bank, 0);
    return th.gain;
  };
  struct Case {
    const char* what;
    int themeTempo, times, accel, ownTempo;
    int expectedTempo;  // the tempo entry 2 plays at
  };
  const Case cases[] = {
      {"carried on by the acceleration", 100, 2, 50, 0, 200},
      {"its own tempo", 100, 2, 50, 150, 150},
      {"the theme tempo", 100, 3, 0, 0, 100},
  };
  for (const Case& c : cases) {
    const float reference = gainAt(c.expectedTempo, 1, 0, 0);
    ASSERT_LT(reference, 10.0f) << c.what;  // it clipped, so the gain tells the tempo
    EXPECT_FLOAT_EQ(gainAt(c.themeTempo, c.times, c.accel, c.ownTempo), reference) << c.what;
  }
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

// After a normalisation the selected entry's formula is in play again, when
// the theme has that entry among those the edition reads.
TEST(NormalizeTheme, TheSelectedEntrysFormulaIsInPlayAgain) {
  auto rt = RhythmTables::Create();
  Tema& th = rt->Temas[3];
  th.entryCount = 130;
  for (int e = 0; e < 130; ++e) th.formulas[e] = static_cast<uint16_t>(e + 1);
  th.formulas[5] = 900;  // past the table
  th.gain = 2.5f;
  struct Case {
    int t, e, limit, formula;
  };
  const Case cases[] = {
      {3, 0, kEntrySlots, 1}, {3, 125, kEntrySlots, 126}, {3, 125, kMaxEntries, 7},  // the basic edition reads 120
      {3, 5, kEntrySlots, kMaxFormulas - 1}, {3, 130, kEntrySlots, 7}, {3, -1, kEntrySlots, 7},
      {-1, 0, kEntrySlots, 7}, {kMaxTemas, 0, kEntrySlots, 7},
  };
  for (const Case& c : cases) {
    rt->CurrentFormula = 7;
    TakeSelectedEntryFormula(*rt, c.t, c.e, c.limit);
    EXPECT_EQ(rt->CurrentFormula, c.formula) << c.t << " " << c.e << " " << c.limit;
  }

  // After every theme: beat 0, and the selected theme with its stored gain.
  EngineState E;
  E.CurrentBeat = 3;
  E.MasterGain = 9.0f;
  rt->CurrentTema = 0;
  TakeSelectedTheme(E, *rt, 3, 1, 4, kMaxEntries);
  EXPECT_EQ(E.CurrentBeat, 0);
  EXPECT_EQ(rt->CurrentTema, 3);
  EXPECT_EQ(rt->CurrentFormula, 2);
  EXPECT_FLOAT_EQ(E.MasterGain, 2.5f);
  // A theme past the grid's count is left alone.
  E.CurrentBeat = 3;
  TakeSelectedTheme(E, *rt, 3, 0, 3, kMaxEntries);
  EXPECT_EQ(E.CurrentBeat, 0);
  EXPECT_EQ(rt->CurrentFormula, 2);
  EXPECT_FLOAT_EQ(E.MasterGain, 2.5f);
}

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
  struct Case {
    const char* what;
    int entries;
    std::vector<int> first, second;  // sounds of the two formulas
  };
  std::vector<int> nine(9), eight(8);
  for (int k = 0; k < 9; ++k) nine[k] = k + 1;
  for (int k = 0; k < 8; ++k) eight[k] = 20 + k;
  const Case cases[] = {
      {"17 tracks", 2, nine, eight},
      {"one entry", 1, {3, 5}, {7}},
      {"no entries", 0, {3, 5}, {7}},
  };
  for (const Case& c : cases) {
    auto rt = RhythmTables::Create();
    rt->FormulaCount = 2;
    SetTracks(rt->Formulas[0], c.first);
    SetTracks(rt->Formulas[1], c.second);
    Tema& th = rt->Temas[0];
    InitNewTema(th, 120);
    th.entryCount = static_cast<uint16_t>(c.entries);
    th.formulas[0] = 0;
    th.formulas[1] = 1;
    const Formula f0 = rt->Formulas[0], f1 = rt->Formulas[1];
    const Tema before = th;
    EXPECT_FALSE(UnifyThemeTracks(*rt, 0)) << c.what;
    EXPECT_EQ(std::memcmp(&f0, &rt->Formulas[0], sizeof f0), 0) << c.what;
    EXPECT_EQ(std::memcmp(&f1, &rt->Formulas[1], sizeof f1), 0) << c.what;
    EXPECT_EQ(std::memcmp(&before, &th, sizeof th), 0) << c.what;
  }
}

TEST(UnifyTracks, AFormulaNamedTwiceTakesThePreviousPanOfEachTrack) {
  auto rt = RhythmTables::Create();
  rt->FormulaCount = 2;
  SetTracks(rt->Formulas[0], {5, 3});
  SetTracks(rt->Formulas[1], {3, 3});
  Tema& th = rt->Temas[0];
  InitNewTema(th, 120);
  th.entryCount = 3;
  th.formulas[0] = 0;
  th.formulas[1] = 1;
  th.formulas[2] = 0;  // formula 0 again: already on the layout 3, 3, 5
  for (int k = 0; k < 16; ++k) {
    th.pan[k] = static_cast<uint8_t>(10 + k);
    th.volume[k] = static_cast<uint8_t>(k + 1);
  }
  ASSERT_TRUE(UnifyThemeTracks(*rt, 0));
  const Formula& F = rt->Formulas[0];
  EXPECT_EQ(F.sounds[0], 3);
  EXPECT_EQ(F.sounds[1], 3);
  EXPECT_EQ(F.sounds[2], 5);
  EXPECT_EQ(F.cells[0][0], 2);  // its sound 3 came from old track 1
  EXPECT_EQ(F.cells[0][1], 0);  // the second track of sound 3 is empty in it
  EXPECT_EQ(F.cells[0][2], 1);
  // The last visit found the tracks one to one: each kept the slot's values.
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ(th.pan[n], 10 + n) << n;
    EXPECT_EQ(th.volume[n], n + 1) << n;
  }
  EXPECT_EQ(th.pan[3], 0);
  EXPECT_EQ(th.volume[3], 0);
}

TEST(UnifyTracks, RewrittenFormulasKeepTheirHeaderNameAndAccentsOnly) {
  auto rt = RhythmTables::Create();
  rt->FormulaCount = 2;
  Formula& a = rt->Formulas[0];
  SetTracks(a, {0, 4});
  a.cells[0][0] = 7;  // a pattern on a track without a sound: dropped
  a.cells[5][1] = 7;  // past the 2 beats of the formula: cleared
  a.SetStrokeCount(5, 1, 3);
  a.SetName("Bulerias");
  a.accents = 0x8003;
  a.spare = 0x5A;
  SetTracks(rt->Formulas[1], {4});
  Tema& th = rt->Temas[0];
  InitNewTema(th, 120);
  th.entryCount = 2;
  th.formulas[0] = 0;
  th.formulas[1] = 1;
  const uint8_t header = a.header;
  ASSERT_TRUE(UnifyThemeTracks(*rt, 0));
  EXPECT_EQ(a.sounds[0], 4);
  EXPECT_EQ(a.cells[0][0], 2);  // old track 1
  for (int k = 1; k < 16; ++k) {
    EXPECT_EQ(a.sounds[k], 0);
    EXPECT_EQ(a.cells[0][k], 0) << k;
  }
  EXPECT_EQ(a.cells[5][0], 0);
  EXPECT_EQ(a.cells[5][1], 0);
  EXPECT_EQ(a.StrokeCount(5, 1), 0);
  EXPECT_EQ(a.header, header);
  EXPECT_EQ(a.Name(), "Bulerias");
  EXPECT_EQ(a.accents, 0x8003);
  EXPECT_EQ(a.spare, 0);
}

namespace {
// Themes 0..n-1 of one entry each over formulas of 1..4 tracks of a loud
// sound, some sounding quietly (one track never clips).
void ManyThemes(RhythmTables& rt, BancoSonidos& bank, int n) {
  OneSound(bank, 30000, 3000);
  rt.FormulaCount = 4;
  for (int f = 0; f < 4; ++f) Pattern(rt, f, f + 1);
  for (int t = 0; t < n; ++t) {
    Tema& th = rt.Temas[static_cast<size_t>(t)];
    InitNewTema(th, 60 + 17 * t);
    th.entryCount = 2;
    th.formulas[0] = static_cast<uint16_t>(t % 4);
    th.formulas[1] = static_cast<uint16_t>((t * 3) % 4);
    th.times[0] = th.times[1] = 1;
    th.accel[1] = static_cast<int8_t>(t);
    th.gain = 1.5f;
  }
  rt.TemaCount = n;
}
}  // namespace

// The themes on every core give what one after the other gives, from the
// same engine state, reported in order.
TEST(NormalizeThemes, EveryCoreGivesTheGainsOfOneAfterAnother) {
  EngineState eng;
  BancoSonidos bank;
  auto serial = RhythmTables::Create();
  ManyThemes(*serial, bank, 20);
  auto parallel = std::make_unique<RhythmTables>(*serial);
  eng.Voices.TrackAttenuation.fill(2);  // sounds still ringing from before
  eng.Voices.TrackPos.fill(1000);
  std::vector<float> want;
  for (int t = 0; t < 20; ++t) {
    EngineState copy = eng;
    serial->CurrentTema = t;
    NormalizeTheme(copy, *serial, bank, t);
    want.push_back(copy.MasterGain);
  }
  std::vector<int> order;
  std::vector<float> got;
  NormalizeThemes(eng, *parallel, bank, 20, [&](int t, const GainResult& r) {
    order.push_back(t);
    got.push_back(r.masterGain);
  });
  std::vector<int> inOrder(20);
  for (int t = 0; t < 20; ++t) inOrder[static_cast<size_t>(t)] = t;
  EXPECT_EQ(order, inOrder);
  EXPECT_EQ(got, want);
  int clipped = 0;
  for (int t = 0; t < 20; ++t) {
    EXPECT_EQ(parallel->Temas[static_cast<size_t>(t)].gain, serial->Temas[static_cast<size_t>(t)].gain) << t;
    clipped += serial->Temas[static_cast<size_t>(t)].gain != 1.5f;
  }
  EXPECT_GT(clipped, 0);
  EXPECT_LT(clipped, 20);  // the one-track themes never clip and keep their gain
}
