// The workspace's normalisation at a theme start: a remembered result is
// taken again only when it is the one a new run would find.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/workspace.h"
#include "rhythm/records.h"

namespace {
void LoudSet(Workspace& w) {
  std::vector<int16_t> s(30000, 15000);
  w.Bank->Clear(2);
  w.Bank->Append(0, reinterpret_cast<const uint8_t*>(s.data()), s.size() * 2);
  w.Bank->Append(1, reinterpret_cast<const uint8_t*>(s.data()), s.size() * 2);
  RhythmTables& rt = *w.Rhythm;
  rt.FormulaCount = 1;
  Formula& F = rt.Formulas[0];
  F.SetHeader(4, 0);
  for (int t = 0; t < 3; ++t) {
    F.sounds[t] = 1;
    for (int b = 0; b < 4; ++b) {
      F.cells[b][t] = 7;
      F.SetStrokeCount(b, t, 1);
    }
  }
  Tema& th = rt.Temas[0];
  th.entryCount = 1;
  th.formulas[0] = 0;
  th.times[0] = 2;
  th.tempos[0] = 120;
  th.gain = 1.0f;
  rt.TemaCount = 1;
}
}  // namespace

TEST(WorkspaceGain, ARememberedGainIsTheOneANewRunFinds) {
  Workspace w;
  LoudSet(w);
  struct Change {
    const char* what;
    std::function<void(Workspace&)> apply;
  };
  const std::vector<Change> changes = {
      {"nothing", [](Workspace&) {}},
      {"the stored gain only", [](Workspace& x) { x.Rhythm->Temas[0].gain = 7.0f; }},
      {"a stroke of the formula", [](Workspace& x) { x.Rhythm->Formulas[0].cells[1][0] = 3; }},
      {"the theme's tempo", [](Workspace& x) { x.Rhythm->Temas[0].tempos[0] = 90; }},
      {"a track's volume control", [](Workspace& x) { x.Engine->Controls.TrackGainNum[0] = 3; }},
      {"mono", [](Workspace& x) { x.Engine->Controls.Mono = true; }},
      {"a sound ringing from before", [](Workspace& x) {
         x.Engine->Voices.TrackAttenuation[5] = 0;
         x.Engine->Voices.TrackPos[5] = 10;
       }},
      {"the sound itself", [](Workspace& x) { x.Bank->SoundBankStream[100] = -32000; }},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(c.what);
    c.apply(w);
    // What a run from scratch finds, on copies.
    RhythmTables fresh = *w.Rhythm;
    const GainResult want = NormalizeThemeFrom(*w.Engine, fresh, *w.Bank, 0);
    w.NormaliseTheme(0);
    EXPECT_EQ(w.Engine->MasterGain, want.masterGain);
    EXPECT_EQ(w.Rhythm->Temas[0].gain, fresh.Temas[0].gain);
    // And once more, from memory.
    w.Rhythm->Temas[0].gain = 1.0f;
    w.NormaliseTheme(0);
    EXPECT_EQ(w.Engine->MasterGain, want.masterGain);
    EXPECT_EQ(w.Rhythm->Temas[0].gain, want.clipped ? want.masterGain : 1.0f);
    EXPECT_FALSE(w.Engine->ThemePlayback);
    EXPECT_FALSE(w.Engine->SilentMix);
  }
}

// A save's normalisation of every theme, remembered: after an edit of one
// theme every gain is the one a run from scratch finds.
TEST(WorkspaceGain, EveryThemeAfterAnEditIsAsFromScratch) {
  Workspace w;
  LoudSet(w);
  RhythmTables& rt = *w.Rhythm;
  rt.TemaCount = 6;
  for (int t = 1; t < 6; ++t) {
    rt.Temas[static_cast<size_t>(t)] = rt.Temas[0];
    rt.Temas[static_cast<size_t>(t)].tempos[0] = static_cast<uint16_t>(60 + 30 * t);
  }
  w.NormaliseThemes(6, nullptr, nullptr);
  rt.Formulas[0].sounds[3] = 2;  // every theme uses formula 0
  rt.Temas[2].accel[0] = 9;
  std::vector<int> reported;
  w.NormaliseThemes(6, [&](int t) { reported.push_back(t); }, nullptr);
  EXPECT_EQ(reported, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  RhythmTables fresh = rt;
  for (int t = 0; t < 6; ++t) {
    fresh.Temas[static_cast<size_t>(t)].gain = 1.0f;
    NormalizeThemeFrom(*w.Engine, fresh, *w.Bank, t);
    EXPECT_EQ(rt.Temas[static_cast<size_t>(t)].gain, fresh.Temas[static_cast<size_t>(t)].gain) << t;
  }
}

// After a set is opened the gains are found in the background, each theme
// with the pans and volumes its selection loads: starting a theme then needs
// no mixing, and takes what a run from scratch finds.
TEST(WorkspaceGain, WarmedGainsServeTheThemesAsSelected) {
  Workspace w;
  LoudSet(w);
  RhythmTables& rt = *w.Rhythm;
  rt.TemaCount = 3;
  for (int t = 0; t < 3; ++t) {
    Tema& th = rt.Temas[static_cast<size_t>(t)];
    th = rt.Temas[0];
    for (int k = 0; k < 16; ++k) {
      th.volume[k] = static_cast<uint8_t>(4 + 4 * t);
      th.pan[k] = static_cast<uint8_t>(8 * t);
    }
  }
  w.WarmGains(3);
  w.WaitForWarming();
  for (int t = 0; t < 3; ++t) {
    SCOPED_TRACE(t);
    const Tema& th = rt.Temas[static_cast<size_t>(t)];
    SetTrackControlsFromTema(w.Engine->Controls, th.pan, th.volume);  // as selecting it does
    EXPECT_TRUE(w.Remembers(t));
    RhythmTables fresh = rt;
    const GainResult want = NormalizeThemeFrom(*w.Engine, fresh, *w.Bank, t);
    w.NormaliseTheme(t);
    EXPECT_EQ(w.Engine->MasterGain, want.masterGain);
    EXPECT_EQ(rt.Temas[static_cast<size_t>(t)].gain, fresh.Temas[static_cast<size_t>(t)].gain);
  }
  w.Engine->Controls.Mono = true;  // a control the warming did not know of
  EXPECT_FALSE(w.Remembers(0));
}

// The program's start holds the warming until its window is painted: what
// is asked meanwhile starts nothing, and the release starts the last request
// only, with the state as it is then.
TEST(WorkspaceGain, HeldWarmingStartsTheLastRequestOnRelease) {
  for (const EditionFormat edition : {EditionFormat{}, EditionFormat{kBasicFormat, kBasicSoundCapacity, true}}) {
    SCOPED_TRACE(edition.basic);
    Workspace w(edition);
    LoudSet(w);
    RhythmTables& rt = *w.Rhythm;
    rt.TemaCount = 2;
    rt.Temas[1] = rt.Temas[0];
    rt.Temas[1].tempos[0] = 90;  // a theme of its own
    SetTrackControlsFromTema(w.Engine->Controls, rt.Temas[0].pan, rt.Temas[0].volume);  // as selecting it does
    w.HoldWarming(true);
    w.WarmGains(2);
    w.WarmGains(1);
    w.WaitForWarming();
    EXPECT_FALSE(w.Remembers(0));
    w.Engine->Controls.Mono = true;  // after the requests, before the release
    w.HoldWarming(false);
    w.WaitForWarming();
    EXPECT_TRUE(w.Remembers(0));
    EXPECT_FALSE(w.Remembers(1));
    w.HoldWarming(false);  // nothing held: nothing more starts
    w.WaitForWarming();
    EXPECT_FALSE(w.Remembers(1));
  }
}
