// The sequencer and the player, without a window: a theme goes in, the
// compases it plays come out, beat by beat through the test output device.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "engine/player.h"
#include "engine/sequencer.h"
#include "platform/audio/wave_out_test.h"

namespace {

struct Entry {
  int formula;  // 0 = A (2 beats), 1 = B (3 beats), 2 = C (4 beats)
  int times;
  int tempo = 0;
  int accel = 0;
};

struct ThemeCase {
  const char* name;
  std::vector<Entry> entries;
  int intro = 0;
  int ending = 0;
  int parts = 0;
  int startRow = 1;
  int compases = 10;             // how many compases to watch at most
  std::vector<std::string> want;  // "A1": formula A counted compás 1; "I0" intro, "E1" ending; "stop"
};

class SequencerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rt = RhythmTables::Create();
    rt->FormulaCount = 3;
    rt->Formulas[0].SetHeader(2, 0);
    rt->Formulas[1].SetHeader(3, 0);
    rt->Formulas[2].SetHeader(4, 0);
  }
  ThemePlan Theme(const std::vector<Entry>& entries, int intro, int ending, int parts, bool inOrder = true) {
    Tema& th = rt->Temas[0];
    th = Tema{};
    th.entryCount = static_cast<uint8_t>(entries.size());
    for (size_t e = 0; e < entries.size(); ++e) {
      th.formulas[e] = static_cast<uint16_t>(entries[e].formula);
      th.times[e] = static_cast<uint8_t>(entries[e].times);
      th.tempos[e] = static_cast<uint16_t>(entries[e].tempo);
      th.accel[e] = static_cast<int8_t>(entries[e].accel);
    }
    th.partsOrder = static_cast<uint8_t>((inOrder ? 0x80 : 0) | parts);
    th.introEnding = static_cast<uint8_t>(intro * 16 + ending);
    return MakeThemePlan(*rt, 0, rt->FormulaCount);
  }
  // Plays through the test device; one line per compás mixed, the tempo of
  // its first beat beside it.
  struct Compas {
    std::string what;
    float bpm;
  };
  std::vector<Compas> Play(const ThemePlan& plan, int startRow, int compases, uint32_t seed = 1) {
    audio::TestWaveOut out;
    Player player(E, *rt, bank);
    EXPECT_EQ(player.Open(&out, nullptr), audio::WaveResult::kOk);
    player.Plan = plan;
    player.Rules = rules;
    player.Random.seed(seed);
    std::vector<Compas> seen;
    auto watch = [&] {
      if (E.CurrentBeat != 0) return;
      std::string w = E.IntroCounter ? "I" : E.EndingCounter ? "E" : std::string(1, char('A' + rt->CurrentFormula));
      seen.push_back({w + std::to_string(E.CurrentCompas), E.CurrentBpm});
    };
    E.CurrentBpm = 99;
    player.StartTheme(startRow, 120.0f, nullptr);
    // The first beat is mixed with beat 0 of the start compás.
    seen.push_back({std::string(E.IntroCounter ? "I" : std::string(1, char('A' + rt->CurrentFormula))) +
                        std::to_string(E.CurrentCompas),
                    E.CurrentBpm});
    for (int guard = 0; guard < 400 && static_cast<int>(seen.size()) < compases; ++guard) {
      out.CompleteNext();
      if (!player.BeatDue()) continue;
      const BeatCue cue = player.Pump();
      if (cue.stopped) {
        seen.push_back({"stop", 0});
        player.Stop();
        break;
      }
      watch();
    }
    player.Close();
    return seen;
  }
  static std::vector<std::string> Names(const std::vector<Compas>& c) {
    std::vector<std::string> n;
    for (const auto& x : c) n.push_back(x.what);
    return n;
  }

  EngineState E;
  EditionRules rules = kProRules;
  std::unique_ptr<RhythmTables> rt;
  BancoSonidos bank;
};

// The basic edition's sequencer, on its own mix and rules.
class BasicSequencerTest : public SequencerTest {
 protected:
  void SetUp() override {
    SequencerTest::SetUp();
    E = EngineState(kBasicFormat);
    rules = kBasicRules;
  }
};

}  // namespace

TEST_F(SequencerTest, ThemeLogicTable) {
  const std::vector<Entry> ab = {{0, 2, 120}, {1, 1}};
  const ThemeCase cases[] = {
      {"in order, parts 0: the list again and again", ab, 0, 0, 0, 1, 7, {"A1", "A2", "B3", "A1", "A2", "B3", "A1"}},
      {"ending between parts, none after the last", ab, 0, 4, 2, 1, 12, {"A1", "A2", "B3", "E1", "A1", "A2", "B3", "stop"}},
      {"one part: once", ab, 0, 4, 1, 1, 12, {"A1", "A2", "B3", "stop"}},
      {"parts 0 with an ending: the ending between endless passes", ab, 0, 4, 0, 1, 6, {"A1", "A2", "B3", "E1", "A1", "A2"}},
      {"intro before the first compás, counted 0", ab, 4, 0, 1, 1, 12, {"I0", "A1", "A2", "B3", "stop"}},
      {"from row 2: no intro, B once, then the list from A", ab, 4, 0, 0, 2, 5, {"B3", "A1", "A2", "B3", "A1"}},
      {"the end row selected starts at row 1", ab, 0, 0, 1, 3, 12, {"A1", "A2", "B3", "stop"}},
      {"one entry: its repetitions again in every pass", {{2, 2, 120}}, 0, 0, 2, 1, 12, {"C1", "C2", "C1", "C2", "stop"}},
  };
  for (const ThemeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ThemePlan plan = Theme(c.entries, c.intro, c.ending, c.parts);
    EXPECT_EQ(Names(Play(plan, c.startRow, c.compases)), c.want);
  }
}

// The tempo that playback takes is the one the entry grid shows: the theme
// tempo, an entry's own, or the one carried by the accelerations before it.
TEST_F(SequencerTest, EachEntryStartsAtTheTempoItsRowShows) {
  // Theme 120; A twice accelerating 6 bpm per compás (3 per beat), then B
  // without its own tempo, then C at its own 100.
  const ThemePlan plan = Theme({{0, 2, 120, 6}, {1, 1, 0, 0}, {2, 1, 100, 0}}, 0, 0, 1);
  ASSERT_EQ(plan.entries.size(), 3u);
  EXPECT_EQ(plan.entries[0].tempo, 120);
  EXPECT_EQ(plan.entries[1].tempo, 132);  // 120 + 2 x 6, shown because it changed
  EXPECT_EQ(plan.entries[2].tempo, 100);
  EXPECT_EQ(plan.endTempo, 100);
  const auto seen = Play(plan, 1, 12);
  ASSERT_EQ(Names(seen), (std::vector<std::string>{"A1", "A2", "B3", "C4", "stop"}));
  // The tempo of each compás's first beat, after the mixer added its share.
  EXPECT_FLOAT_EQ(seen[0].bpm, 123.0f);
  EXPECT_FLOAT_EQ(seen[1].bpm, 129.0f);
  EXPECT_FLOAT_EQ(seen[2].bpm, 132.0f);
  EXPECT_FLOAT_EQ(seen[3].bpm, 100.0f);
}

TEST_F(SequencerTest, RandomOrderPlaysEachEntryItsTimesPerPass) {
  const std::vector<Entry> three = {{0, 1, 120}, {1, 1}, {2, 1}};
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    const ThemePlan plan = Theme(three, 0, 0, 3, /*inOrder=*/false);
    const auto names = Names(Play(plan, 1, 20, seed));
    ASSERT_EQ(names.size(), 10u);
    EXPECT_EQ(names.back(), "stop");
    // Never the last entry first.
    EXPECT_NE(names[0][0], 'C');
    for (int pass = 0; pass < 3; ++pass) {
      std::set<char> formulas;
      for (int i = 0; i < 3; ++i) formulas.insert(names[static_cast<size_t>(pass * 3 + i)][0]);
      EXPECT_EQ(formulas, (std::set<char>{'A', 'B', 'C'})) << "pass " << pass;
    }
  }
}

TEST_F(SequencerTest, PlayFromTheGuitarsBarStartsInsideItsEntry) {
  const ThemePlan plan = Theme({{0, 2, 120}, {1, 1}}, 0, 0, 1);
  E.PlayFromBar = true;
  E.CurrentCompas = 2;  // the guitar's bar, inside A
  EXPECT_EQ(Names(Play(plan, 2, 12)), (std::vector<std::string>{"A2", "B3", "stop"}));
  EXPECT_FALSE(E.PlayFromBar);
}

TEST_F(SequencerTest, BeatLabelsFollowTheFirstBeatOrTheAccents) {
  rt->Formulas[2].SetHeader(12, 11);  // 12 beats from beat 12
  rt->Formulas[2].accents = 1 << 1;   // the second beat accented
  const ThemePlan plan = Theme({{2, 1, 120}}, 0, 0, 0);
  audio::TestWaveOut out;
  Player player(E, *rt, bank);
  ASSERT_EQ(player.Open(&out, nullptr), audio::WaveResult::kOk);
  player.Plan = plan;
  player.StartTheme(1, 120.0f, nullptr);
  std::vector<BeatCue> cues;
  for (int i = 0; i < 3; ++i) {
    out.CompleteNext();
    cues.push_back(player.Pump());
  }
  EXPECT_EQ(cues[0].label, 11);  // "12"
  EXPECT_FALSE(cues[0].accent);
  EXPECT_EQ(cues[1].label, 0);   // "1"
  EXPECT_TRUE(cues[1].accent);
  EXPECT_EQ(E.LampCountdown, 25);  // half a beat at 120 bpm, in 10 ms ticks
  player.Stop();
  rt->Formulas[2].accents |= 0x8000;  // counting by accents: beat n lights label n
  player.StartTheme(1, 120.0f, nullptr);
  out.CompleteNext();
  EXPECT_EQ(player.Pump().label, 0);
  player.Close();
}

// The player's own work: one beat per buffer played, the halves in turn, a
// stop that releases them, and nothing after the sequencer's own stop.
TEST_F(SequencerTest, PlayerQueuesOneBeatPerBufferPlayed) {
  const ThemePlan plan = Theme({{0, 1, 120}}, 0, 0, 1);
  audio::TestWaveOut out;
  Player player(E, *rt, bank);
  ASSERT_EQ(player.Open(&out, nullptr), audio::WaveResult::kOk);
  player.Plan = plan;
  std::vector<BeatCue> heard;  // the listeners hear every step, the last one too
  player.AddListener([&](const BeatCue& c) { heard.push_back(c); });
  player.StartTheme(1, 120.0f, nullptr);
  EXPECT_TRUE(player.Running());
  EXPECT_EQ(player.FinishedBuffers(), 1);  // the first step follows at once
  EXPECT_EQ(out.QueuedCount(), 1u);
  const BeatCue first = player.Pump();
  EXPECT_FALSE(first.stopped);
  EXPECT_EQ(out.QueuedCount(), 2u);  // both halves queued
  EXPECT_FALSE(player.BeatDue());
  ASSERT_TRUE(out.CompleteNext());
  EXPECT_EQ(player.FinishedBuffers(), 1);
  const BeatCue end = player.Pump();  // the only compás is over: the last part ends
  EXPECT_TRUE(end.stopped);
  EXPECT_TRUE(E.StopFromSequencer);
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_FALSE(heard[0].stopped);
  EXPECT_EQ(heard[0].compas, 1);
  EXPECT_FLOAT_EQ(heard[0].bpm, 120.0f);
  EXPECT_TRUE(heard[1].stopped);
  EXPECT_EQ(out.QueuedCount(), 1u);  // nothing more was queued
  player.Stop();
  // The sequencer's own stop leaves the last beat playing.
  EXPECT_EQ(out.QueuedCount(), 1u);
  EXPECT_FALSE(player.Running());
  out.CompleteNext();
  EXPECT_EQ(player.FinishedBuffers(), 0);  // not counted once stopped

  // A stop by the user silences the device and releases both halves.
  player.StartTheme(1, 120.0f, nullptr);
  player.Pump();
  player.Stop();
  EXPECT_EQ(out.QueuedCount(), 0u);
  EXPECT_FALSE(player.Halves()[0].Prepared());
  EXPECT_FALSE(player.Halves()[1].Prepared());
  player.Close();
}

// An audition: stopped, the output is reset and the sound plays alone; while
// a theme plays, the queued beats stay as they are and the sound joins the
// beats mixed after it, to its end.
TEST_F(SequencerTest, AuditionsResetOnlyAStoppedOutput) {
  const ThemePlan plan = Theme({{2, 8, 120}}, 0, 0, 1);
  audio::TestWaveOut out;
  Player player(E, *rt, bank);
  ASSERT_EQ(player.Open(&out, nullptr), audio::WaveResult::kOk);
  player.Plan = plan;
  int starts = 0;
  bool themeStart = false;
  player.OnStart = [&](bool theme) { ++starts, themeStart = theme; };

  const std::vector<int16_t> sound(1000, 3000);  // 500 stereo frames
  player.PlayAudition(sound.data(), sound.size());
  EXPECT_EQ(out.QueuedCount(), 1u);
  std::vector<int16_t> heard(600 * 2, -1);
  EXPECT_EQ(out.Play(heard.data(), 600), 500u);
  EXPECT_EQ(heard[0], 3000);
  EXPECT_EQ(heard[999], 3000);
  player.PlayAudition(sound.data(), sound.size());
  player.PlayAudition(sound.data(), sound.size());  // a second one cuts the first
  EXPECT_EQ(out.QueuedCount(), 1u);
  out.CompleteAll();

  player.StartTheme(1, 120.0f, nullptr);
  EXPECT_EQ(starts, 1);
  EXPECT_TRUE(themeStart);
  player.Pump();
  ASSERT_EQ(out.QueuedCount(), 2u);
  const auto before = out.CallNames();
  const int16_t* nextHalf = E.OutputBuffer.data() + (E.OutputHalf & 1) * E.Format.HalfSamples();
  const std::vector<int16_t> loud(static_cast<size_t>(E.SamplesPerBeat) * 2 + 100, 1000);  // a beat and a bit
  player.PlayAudition(loud.data(), loud.size());
  EXPECT_EQ(out.CallNames(), before);  // no reset, nothing queued over the beats
  std::vector<int16_t> silentBeat(static_cast<size_t>(E.SamplesPerBeat) * 2);
  for (int beat = 0; beat < 2; ++beat) {
    ASSERT_TRUE(out.CompleteNext());
    player.Pump();
  }
  // The formula's tracks are silent: the half mixed after the audition holds it whole.
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(nextHalf[i], 1000) << i;
  EXPECT_EQ(nextHalf[static_cast<size_t>(E.SamplesPerBeat) * 2 - 1], 1000);
  player.Stop();
  player.Close();
}

// The basic edition: the intro wherever the theme starts, the compás counter
// never going back to 1 within a pass (the ending is counted one past the
// last compás), and a new pass from compás 1.
TEST_F(BasicSequencerTest, ThemeLogicTable) {
  const std::vector<Entry> ab = {{0, 2, 120}, {1, 1}};
  const ThemeCase cases[] = {
      {"in order, parts 0: the list again from compás 1", ab, 0, 0, 0, 1, 7, {"A1", "A2", "B3", "A1", "A2", "B3", "A1"}},
      {"the ending counted after the last compás", ab, 0, 4, 2, 1, 12, {"A1", "A2", "B3", "E4", "A1", "A2", "B3", "stop"}},
      {"parts 0 with an ending", ab, 0, 4, 0, 1, 6, {"A1", "A2", "B3", "E4", "A1", "A2"}},
      {"one part: once", ab, 0, 4, 1, 1, 12, {"A1", "A2", "B3", "stop"}},
      {"intro from row 1", ab, 4, 0, 1, 1, 12, {"I0", "A1", "A2", "B3", "stop"}},
      {"intro from row 2 too, then B once", ab, 4, 0, 0, 2, 5, {"I2", "B3", "A1", "A2", "B3"}},
      {"from row 1 without intro: both repetitions", ab, 0, 0, 1, 1, 12, {"A1", "A2", "B3", "stop"}},
      {"one entry: its repetitions in every pass", {{2, 2, 120}}, 0, 0, 2, 1, 12, {"C1", "C2", "C1", "C2", "stop"}},
  };
  for (const ThemeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ThemePlan plan = Theme(c.entries, c.intro, c.ending, c.parts);
    EXPECT_EQ(Names(Play(plan, c.startRow, c.compases)), c.want);
  }
}

// A row the sequencer moves to leaves the tempo alone: the acceleration the
// mixer adds runs on, and a new pass takes the first row's tempo again.
TEST_F(BasicSequencerTest, TheRowsLeaveTheTempoToTheAcceleration) {
  // A twice at +6 bpm per compás (3 per beat of its 2); a tempo on B's row
  // is what the professional sequencer would take.
  const ThemePlan plan = Theme({{0, 2, 120, 6}, {1, 1, 100, 0}}, 0, 0, 0);
  const auto seen = Play(plan, 1, 5);
  ASSERT_EQ(Names(seen), (std::vector<std::string>{"A1", "A2", "B3", "A1", "A2"}));
  EXPECT_FLOAT_EQ(seen[0].bpm, 123.0f);
  EXPECT_FLOAT_EQ(seen[1].bpm, 129.0f);
  EXPECT_FLOAT_EQ(seen[2].bpm, 132.0f);  // not 100
  EXPECT_FLOAT_EQ(seen[3].bpm, 123.0f);  // the new pass from 120

  // An intro beat does not accelerate, in the basic mix nor by the entry.
  const ThemePlan intro = Theme({{0, 1, 120, 6}}, 2, 0, 1);
  const auto withIntro = Play(intro, 1, 5);
  ASSERT_EQ(Names(withIntro), (std::vector<std::string>{"I0", "A1", "stop"}));
  EXPECT_FLOAT_EQ(withIntro[0].bpm, 120.0f);
  EXPECT_FLOAT_EQ(withIntro[1].bpm, 123.0f);
}

// The start: the tempo of the selected row as the entry grid shows it (the
// theme's and the accelerations above it), the repetitions after the first.
TEST_F(BasicSequencerTest, AStartFromALaterRowTakesItsTempoAndItsRepetitions) {
  const ThemePlan plan = Theme({{0, 2, 120, 6}, {2, 3}, {1, 1}}, 0, 0, 1);
  audio::TestWaveOut out;
  Player player(E, *rt, bank);
  ASSERT_EQ(player.Open(&out, nullptr), audio::WaveResult::kOk);
  player.Plan = plan;
  player.Rules = rules;
  E.ThemeInOrder = true;
  player.StartTheme(2, 50.0f, nullptr);
  EXPECT_EQ(E.RepeatsLeft, 2);
  EXPECT_EQ(E.CurrentCompas, 3);
  EXPECT_EQ(rt->CurrentFormula, 2);
  EXPECT_FLOAT_EQ(E.CurrentBpm, 132.0f);  // 120 + 2 x 6; C has no acceleration
  player.Close();
}

// A start leaves the output alone when nothing is on it; the last beat of a
// theme that ended by itself is still queued, and that one is cut, since the
// new beats and the gain's silent mix go into the halves.
TEST_F(BasicSequencerTest, APlayStartResetsTheOutputOnlyWhenAHalfIsQueued) {
  const ThemePlan plan = Theme({{0, 1, 120}}, 0, 0, 1);
  audio::TestWaveOut out;
  Player player(E, *rt, bank);
  ASSERT_EQ(player.Open(&out, nullptr), audio::WaveResult::kOk);
  player.Plan = plan;
  player.Rules = rules;
  auto resets = [&] {
    const auto names = out.CallNames();
    return std::count(names.begin(), names.end(), "Reset");
  };
  out.ClearCalls();
  player.StartTheme(1, 120.0f, nullptr);
  EXPECT_EQ(resets(), 0);
  player.Pump();
  ASSERT_TRUE(out.CompleteNext());
  ASSERT_TRUE(player.Pump().stopped);  // the only compás is over
  player.Stop();
  ASSERT_EQ(out.QueuedCount(), 1u);    // its last beat plays on
  out.ClearCalls();
  player.StartTheme(1, 120.0f, nullptr);
  EXPECT_EQ(resets(), 1);
  EXPECT_EQ(out.QueuedCount(), 1u);  // the new first beat alone
  player.Close();
}

// A formula loop is counted compás 1 by the basic rules; the professional
// loop leaves the counter where the theme left it.
TEST_F(SequencerTest, AFormulaLoopCountsItsCompasByTheEditionsRules) {
  for (const bool basic : {false, true}) {
    SCOPED_TRACE(basic ? "basic" : "professional");
    audio::TestWaveOut out;
    Player player(E, *rt, bank);
    ASSERT_EQ(player.Open(&out, nullptr), audio::WaveResult::kOk);
    player.Rules = basic ? kBasicRules : kProRules;
    E.CurrentCompas = 7;
    player.StartFormula(1, 120.0f);
    EXPECT_EQ(E.CurrentCompas, basic ? 1 : 7);
    EXPECT_EQ(E.PlayState, 1);
    player.Stop();
    player.Close();
  }
}
