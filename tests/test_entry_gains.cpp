// The normalisation's memory of entries: the gains the workspace finds from
// remembered entries, mixed on every core, are the gains of one run through
// each theme on one thread; and an edit mixes again exactly the entries it
// touches.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "engine/entry_gains.h"
#include "rhythm/records.h"

namespace {

// Three sounds of different lengths and shapes; four formulas on them with
// strokes of every level, sounds ringing past the end of the compás.
void EntrySet(Workspace& w) {
  std::vector<std::vector<int16_t>> sounds(3);
  for (int i = 0; i < 40000; ++i) sounds[0].push_back(static_cast<int16_t>(14000 - (i % 7000)));
  for (int i = 0; i < 9000; ++i) sounds[1].push_back(static_cast<int16_t>(i % 2 ? -12000 : 11000));
  for (int i = 0; i < 25000; ++i) sounds[2].push_back(static_cast<int16_t>((i * 37) % 30000 - 15000));
  w.Bank->Clear(3);
  for (int j = 0; j < 3; ++j)
    w.Bank->Append(j, reinterpret_cast<const uint8_t*>(sounds[static_cast<size_t>(j)].data()),
                   sounds[static_cast<size_t>(j)].size() * 2);
  RhythmTables& rt = *w.Rhythm;
  rt.FormulaCount = 4;
  struct Track {
    int formula, track, sound;
    const char* strokes;
  };
  const Track tracks[] = {
      {0, 0, 1, "7654"}, {0, 1, 2, "1357"},  // sounds 1, 2
      {1, 0, 1, "77"},   {1, 2, 3, "642"},   // sounds 1, 3
      {2, 5, 3, "7"},                        // sound 3 alone, on track 5
      {3, 1, 2, "5"},    {3, 3, 2, "3"},     // sound 2 twice
  };
  for (int f = 0; f < 4; ++f) rt.Formulas[static_cast<size_t>(f)].SetHeader(f == 3 ? 3 : 4, 0);
  for (const Track& t : tracks) {
    Formula& F = rt.Formulas[static_cast<size_t>(t.formula)];
    F.sounds[t.track] = static_cast<uint8_t>(t.sound);
    for (int b = 0; b < F.Beats(); ++b) F.SetStrokeCount(b, t.track, CellFromStrokeText(t.strokes, &F.cells[b][t.track]));
  }
  // Theme 0 repeats formula 0 at one tempo; theme 1 accelerates; theme 2
  // holds entries theme 0 has already; theme 3 has no entries.
  struct Entry {
    int formula, times, accel;
  };
  const std::vector<std::vector<Entry>> themes = {
      {{0, 1, 0}, {1, 2, 0}, {0, 1, 0}, {2, 1, 0}, {0, 3, 0}},
      {{3, 1, 3}, {3, 1, 3}, {2, 2, -2}},
      {{2, 1, 0}, {0, 1, 0}},
      {},
  };
  const int tempos[] = {120, 90, 120, 60};
  rt.TemaCount = static_cast<int>(themes.size());
  for (size_t t = 0; t < themes.size(); ++t) {
    Tema& th = rt.Temas[t];
    InitNewTema(th, tempos[t]);
    th.entryCount = static_cast<uint8_t>(themes[t].size());
    for (size_t e = 0; e < themes[t].size(); ++e) {
      th.formulas[e] = static_cast<uint16_t>(themes[t][e].formula);
      th.times[e] = static_cast<uint8_t>(themes[t][e].times);
      th.accel[e] = static_cast<int8_t>(themes[t][e].accel);
    }
    th.gain = 1.0f;
  }
}

// Every theme's gain as one run on one thread finds it, on copies.
struct Reference {
  std::vector<GainResult> results;
  std::vector<float> gains;
};
Reference OneThreadPass(Workspace& w) {
  Reference r;
  RhythmTables fresh = *w.Rhythm;
  for (int t = 0; t < fresh.TemaCount; ++t) {
    r.results.push_back(NormalizeThemeFrom(*w.Engine, fresh, *w.Bank, t));
    r.gains.push_back(fresh.Temas[static_cast<size_t>(t)].gain);
  }
  return r;
}

void ExpectSameAsOneThread(Workspace& w) {
  const Reference want = OneThreadPass(w);
  std::vector<float> reached;
  w.NormaliseThemes(w.Rhythm->TemaCount, [&](int) { reached.push_back(w.Engine->MasterGain); }, nullptr);
  for (int t = 0; t < w.Rhythm->TemaCount; ++t) {
    SCOPED_TRACE(t);
    EXPECT_EQ(w.Rhythm->Temas[static_cast<size_t>(t)].gain, want.gains[static_cast<size_t>(t)]);
    EXPECT_EQ(reached[static_cast<size_t>(t)], want.results[static_cast<size_t>(t)].masterGain);
    // A theme start takes the same.
    w.NormaliseTheme(t);
    EXPECT_EQ(w.Engine->MasterGain, want.results[static_cast<size_t>(t)].masterGain);
  }
}

}  // namespace

TEST(EntryGains, EveryCoreFromMemoryGivesTheGainsOfOneThread) {
  Workspace w;
  EntrySet(w);
  const Reference want = OneThreadPass(w);
  // The set is loud enough to lower the gain, and not the same for every theme.
  ASSERT_TRUE(want.results[0].clipped);
  ASSERT_TRUE(want.results[1].clipped);
  ASSERT_NE(want.results[0].masterGain, want.results[1].masterGain);
  EXPECT_FALSE(want.results[3].clipped);
  ExpectSameAsOneThread(w);
  // Distinct entries: theme 0 formulas 0, 1, 2 at 120; theme 1 formula 3 at
  // 90 and 93, formula 2 at 96 (all accelerating); theme 2 none of its own.
  EXPECT_EQ(w.EntriesMixed(), 6);
  // Saving again mixes nothing.
  ExpectSameAsOneThread(w);
  EXPECT_EQ(w.EntriesMixed(), 6);
}

TEST(EntryGains, AnEditMixesAgainTheEntriesItTouches) {
  struct Case {
    const char* edit;
    std::function<void(Workspace&)> apply;
    long mixed;  // entries mixed again
  };
  const std::vector<Case> cases = {
      {"a theme's stored gain and name", [](Workspace& w) {
         w.Rhythm->Temas[0].gain = 3.0f;
         WriteFixedName(w.Rhythm->Temas[0].name, sizeof w.Rhythm->Temas[0].name, "otro");
       }, 0},
      {"a stroke of formula 0 (theme 0 and 2, one tempo)", [](Workspace& w) { w.Rhythm->Formulas[0].cells[2][1] = 6; }, 1},
      {"a pan step on track 5 (formula 2 only, at two tempos)", [](Workspace& w) { w.Engine->Controls.Pan[5] -= 1; }, 2},
      {"a pan step on track 7 (no formula)", [](Workspace& w) { w.Engine->Controls.Pan[7] += 1; }, 0},
      {"a volume step on track 0 (formulas 0 and 1)", [](Workspace& w) {
         TrackGainFor(9, &w.Engine->Controls.TrackGainNum[0], &w.Engine->Controls.TrackGainDen[0]);
       }, 2},
      {"sound 3's samples (formulas 1 and 2)", [](Workspace& w) { w.Bank->SoundBankStream[50000] ^= 0x1234; }, 3},
      {"sound 2's samples (formulas 0 and 3)", [](Workspace& w) { w.Bank->SoundBankStream[41000] ^= 0x0101; }, 3},
      {"track 5 muted (formula 2)", [](Workspace& w) { w.Engine->Controls.MuteButtons[5] = true; }, 2},
      {"the click on (every entry)", [](Workspace& w) { SetClickPreset(w.Engine->Controls, '3'); }, 6},
      {"mono (every entry)", [](Workspace& w) { w.Engine->Controls.Mono = true; }, 6},
      {"theme 1's first acceleration (every entry of it from then on)", [](Workspace& w) { w.Rhythm->Temas[1].accel[0] = 5; }, 3},
  };
  Workspace w;
  EntrySet(w);
  w.NormaliseThemes(w.Rhythm->TemaCount, nullptr, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edit);
    const long before = w.EntriesMixed();
    c.apply(w);
    ExpectSameAsOneThread(w);
    EXPECT_EQ(w.EntriesMixed() - before, c.mixed);
  }
}

// An entry's key: the same entry under the same controls is one key, and
// each input of its mix makes another.
TEST(EntryGains, TheKeyHoldsExactlyWhatTheMixReads) {
  EngineState E;
  Formula f{};
  f.SetHeader(4, 0);
  f.sounds[2] = 1;
  CellFromStrokeText("75", &f.cells[0][2]);
  f.SetStrokeCount(0, 2, 2);
  uint64_t sound1 = 11;
  const auto hash = [&](int n) { return n == 1 ? sound1 : static_cast<uint64_t>(n); };
  const uint64_t base = EntryMixKey(E, f, 120, 0, hash);
  EXPECT_EQ(EntryMixKey(E, f, 120, 0, hash), base);
  // What does not reach the mix of this formula.
  E.Controls.Pan[3] = 0;                  // a track it leaves empty
  E.Controls.GuitarOn = true;             // the guitar has no part in a normalisation
  E.Voices.TrackAttenuation[2] = 0;       // every entry starts silent
  E.MasterGain = 0.5f;
  EXPECT_EQ(EntryMixKey(E, f, 120, 0, hash), base);
  // What does.
  Formula g = f;
  g.cells[0][2] ^= 1;
  EXPECT_NE(EntryMixKey(E, g, 120, 0, hash), base);
  EXPECT_NE(EntryMixKey(E, f, 121, 0, hash), base);
  EXPECT_NE(EntryMixKey(E, f, 120, 1, hash), base);
  sound1 = 12;
  EXPECT_NE(EntryMixKey(E, f, 120, 0, hash), base);
  sound1 = 11;
  E.Controls.Pan[2] = 15;
  EXPECT_NE(EntryMixKey(E, f, 120, 0, hash), base);
  E.Controls.Pan[2] = 16;
  E.Controls.MuteButtons[2] = true;
  EXPECT_NE(EntryMixKey(E, f, 120, 0, hash), base);
}

// A theme start that would wait too long takes the gain found so far (of
// the entries that play first, or the stored one); the rest is found
// meanwhile, and the next start takes the gain of the whole theme.
TEST(EntryGains, ALongThemeStartsWithTheGainFoundSoFar) {
  Workspace w;
  EntrySet(w);
  RhythmTables& rt = *w.Rhythm;
  // Two formulas of 12 beats on every track, a quiet one and a loud one.
  rt.FormulaCount = 6;
  for (int f = 4; f < 6; ++f) {
    Formula& F = rt.Formulas[static_cast<size_t>(f)];
    F.SetHeader(12, 0);
    for (int t = 0; t < 16; ++t) {
      F.sounds[t] = static_cast<uint8_t>(1 + t % 3);
      for (int b = 0; b < 12; ++b) F.SetStrokeCount(b, t, CellFromStrokeText(f == 4 ? "1111" : "7777", &F.cells[b][t]));
    }
  }
  // 40 entries of 12 slow beats on every track at 20 distinct tempos, more
  // than a start may wait for; the loudest entry last.
  Tema& th = rt.Temas[0];
  InitNewTema(th, 20);
  th.entryCount = 40;
  for (int e = 0; e < 40; ++e) {
    th.formulas[e] = static_cast<uint16_t>(e + 1 < 40 ? 4 : 5);
    th.times[e] = 1;
    th.tempos[e] = static_cast<uint16_t>(20 + e % 20);
  }
  RhythmTables fresh = rt;
  const GainResult whole = NormalizeThemeFrom(*w.Engine, fresh, *w.Bank, 0);
  w.Engine->EntryRow = 1;
  rt.Temas[0].gain = 9.5f;
  w.NormaliseTheme(0);
  // Never below the whole theme's gain; the loud last entry may not be in yet.
  EXPECT_GE(w.Engine->MasterGain, whole.masterGain);
  w.WaitForWarming();
  w.NormaliseTheme(0);
  EXPECT_EQ(w.Engine->MasterGain, whole.masterGain);
  EXPECT_EQ(rt.Temas[0].gain, fresh.Temas[0].gain);
  EXPECT_TRUE(whole.clipped);
}
