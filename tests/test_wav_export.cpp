#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>

#include "engine/wav.h"
#include "engine/wav_export.h"
#include "temp_dir.h"

TEST(WavExport, HeaderBytes) {
  const auto h = WavHeader(88196 * 3, 2, 44100);
  // data 264588 = 0x0004098C, RIFF size 264624 = 0x000409B0
  const uint8_t want[44] = {'R', 'I', 'F', 'F', 0xB0, 0x09, 0x04, 0x00, 'W', 'A', 'V', 'E', 'f',  'm',  't',  ' ',
                            16,  0,   0,   0,   1,    0,    2,    0,    0x44, 0xAC, 0,   0,   0x10, 0xB1, 0x02, 0,
                            4,   0,   16,  0,   'd',  'a',  't',  'a',  0x8C, 0x09, 0x04, 0x00};
  EXPECT_EQ(std::memcmp(h.data(), want, 44), 0);
}

namespace {
struct ExportFixture : ::testing::Test {
  void SetUp() override {
    rt = RhythmTables::Create();
    rt->FormulaCount = 2;
    rt->Formulas[0].SetHeader(2, 0);  // A
    rt->Formulas[1].SetHeader(3, 0);  // B
    eng.CurrentBpm = 120.0f;
  }
  struct Beat {
    size_t bytes;
    int kind;  // formula, -1 intro, -2 ending
  };
  // Theme 0 of the tables with these entries: {formula, times, tempo, accel}.
  ThemePlan Plan(std::vector<std::array<int, 4>> entries, int intro = 0, int ending = 0, int parts = 0) {
    Tema& th = rt->Temas[0];
    th = Tema{};
    th.entryCount = static_cast<uint8_t>(entries.size());
    for (size_t e = 0; e < entries.size(); ++e) {
      th.formulas[e] = static_cast<uint16_t>(entries[e][0]);
      th.times[e] = static_cast<uint8_t>(entries[e][1]);
      th.tempos[e] = static_cast<uint16_t>(entries[e][2]);
      th.accel[e] = static_cast<int8_t>(entries[e][3]);
    }
    th.partsOrder = static_cast<uint8_t>(0x80 | parts);
    th.introEnding = static_cast<uint8_t>(intro * 16 + ending);
    return MakeThemePlan(*rt, 0, rt->FormulaCount);
  }
  std::vector<Beat> Run(const ThemePlan& plan) {
    std::vector<Beat> beats;
    const bool ok = ExportTheme(eng, *rt, bank, plan, [&](const int16_t*, size_t bytes) {
      beats.push_back({bytes, eng.IntroCounter ? -1 : eng.EndingCounter ? -2 : rt->CurrentFormula});
      return true;
    });
    EXPECT_TRUE(ok);
    return beats;
  }
  static std::vector<int> Kinds(const std::vector<Beat>& beats) {
    std::vector<int> k;
    for (const auto& b : beats) k.push_back(b.kind);
    return k;
  }
  EngineState eng;
  std::unique_ptr<RhythmTables> rt;
  BancoSonidos bank;
};
}  // namespace

TEST_F(ExportFixture, IntroEntriesAndEndingBetweenParts) {
  ThemePlan plan = Plan({{0, 2, 120, 0}, {1, 1, 0, 0}}, 3, 4, 2);
  const auto beats = Run(plan);
  const std::vector<int> pass = {0, 0, 0, 0, 1, 1, 1};  // A A (2 beats each), B (3 beats)
  std::vector<int> want = {-1, -1, -1};
  want.insert(want.end(), pass.begin(), pass.end());
  want.insert(want.end(), {-2, -2, -2, -2});
  want.insert(want.end(), pass.begin(), pass.end());
  EXPECT_EQ(Kinds(beats), want);
  for (const auto& b : beats) EXPECT_EQ(b.bytes, 88196u);
  EXPECT_FALSE(eng.ThemePlayback);
  EXPECT_FALSE(eng.SilentMix);

  for (int parts : {0, 1}) {
    plan = Plan({{0, 2, 120, 0}, {1, 1, 0, 0}}, 3, 4, parts);
    std::vector<int> once = {-1, -1, -1};
    once.insert(once.end(), pass.begin(), pass.end());
    EXPECT_EQ(Kinds(Run(plan)), once) << parts;
  }
}

TEST_F(ExportFixture, IntroRunsWithoutTheEntrysAcceleration) {
  const auto beats = Run(Plan({{0, 1, 120, 60}}, 2));
  ASSERT_EQ(beats.size(), 4u);
  EXPECT_EQ(beats[0].bytes, 88196u);
  EXPECT_EQ(beats[1].bytes, 88196u);  // still 120 bpm
  EXPECT_LT(beats[2].bytes, 88196u);  // 150 bpm after the first beat of A
  EXPECT_LT(beats[3].bytes, beats[2].bytes);
}

TEST_F(ExportFixture, GuitarRendersEveryBeatWithTheBarCountedAsInPlayback) {
  const ThemePlan plan = Plan({{0, 2, 120, 0}, {1, 1, 0, 0}}, 1, 2, 2);
  eng.Controls.GuitarOn = true;
  std::vector<int> bars;
  MixerHooks hooks;
  hooks.EncolaG = [&](EngineState& e) { bars.push_back(e.CurrentCompas); };
  hooks.QueueBeat = [](int, const int16_t*, size_t) { ADD_FAILURE() << "an export queues nothing"; };
  ASSERT_TRUE(ExportTheme(eng, *rt, bank, plan, [](const int16_t*, size_t) { return true; }, hooks));
  // intro (before compás 1) | A A | B | ending (counted 1) | A A | B
  const std::vector<int> want = {0, 1, 1, 2, 2, 3, 3, 3, 1, 1, 1, 1, 2, 2, 3, 3, 3};
  EXPECT_EQ(bars, want);
}

TEST_F(ExportFixture, ATwelveBeatCompasAt120BpmAddsItsBytes) {
  rt->Formulas[0].SetHeader(12, 0);
  const ThemePlan plan = Plan({{0, 1, 120, 0}});
  size_t total = 0;
  ASSERT_TRUE(ExportTheme(eng, *rt, bank, plan, [&](const int16_t*, size_t bytes) { return total += bytes, true; }));
  EXPECT_EQ(total, 1058352u);
}

TEST_F(ExportFixture, NothingWithoutRepetitionsAndASinkCanStopIt) {
  ThemePlan plan = Plan({{0, 0, 120, 0}, {1, 2, 0, 0}});
  int calls = 0;
  EXPECT_FALSE(ExportTheme(eng, *rt, bank, plan, [&](const int16_t*, size_t) { return ++calls, true; }));
  EXPECT_EQ(calls, 0);
  plan = Plan({{0, 5, 120, 0}, {1, 2, 0, 0}});
  EXPECT_FALSE(ExportTheme(eng, *rt, bank, plan, [&](const int16_t*, size_t) { return ++calls < 3; }));
  EXPECT_EQ(calls, 3);
  EXPECT_FALSE(eng.SilentMix);
}

// The basic edition's export: 22050 frames a second, so 11024 frames a beat
// at 120 bpm; the intro at the theme's tempo whatever beat length stood
// before, and the ending between the parts.
TEST_F(ExportFixture, BasicEditionBeatsAndIntroAtTheThemesTempo) {
  eng = EngineState(kBasicFormat);
  eng.CurrentBpm = 120.0f;
  eng.MsPerBeat = 150;  // what a 400 bpm formula left
  eng.SamplesPerBeat = 3307;
  const ThemePlan plan = Plan({{0, 2, 120, 0}, {1, 1, 0, 0}}, 3, 4, 2);
  std::vector<Beat> beats;
  ASSERT_TRUE(ExportTheme(
      eng, *rt, bank, plan,
      [&](const int16_t*, size_t bytes) {
        beats.push_back({bytes, eng.IntroCounter ? -1 : eng.EndingCounter ? -2 : rt->CurrentFormula});
        return true;
      },
      MixerHooks{}, kBasicRules));
  ASSERT_EQ(beats.size(), 3u + 7u + 4u + 7u);
  for (const auto& b : beats) EXPECT_EQ(b.bytes, 11024u * 4u);
  EXPECT_EQ(beats[0].kind, -1);
  EXPECT_EQ(beats[10].kind, -2);
}

TEST(WavStreamWriter, WritesAtomicallyAndLeavesNothingOnFailure) {
  ScratchFolder dir;
  const std::vector<int16_t> beat(1000, 7);
  {
    WavStreamWriter w("out.wav", 2, 44100);
    ASSERT_TRUE(w.Open());
    EXPECT_FALSE(std::filesystem::exists("out.wav"));  // only the temporary so far
    ASSERT_TRUE(w.Append(beat.data(), 2000));
    ASSERT_TRUE(w.Finish());
  }
  const auto bytes = ScratchFolder::Read("out.wav");
  ASSERT_EQ(bytes.size(), 44u + 2000u);
  uint32_t data;
  std::memcpy(&data, &bytes[40], 4);
  EXPECT_EQ(data, 2000u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);

  // Past the size limit: refused before writing, the old file stays.
  {
    WavStreamWriter w("out.wav", 2, 44100, 3000);
    ASSERT_TRUE(w.Open());
    EXPECT_TRUE(w.Append(beat.data(), 2000));
    EXPECT_FALSE(w.Append(beat.data(), 2000));
    EXPECT_TRUE(w.TooLong());
  }
  EXPECT_EQ(ScratchFolder::Read("out.wav"), bytes);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);

  WavStreamWriter missing("no/such/folder/x.wav", 2, 44100);
  EXPECT_FALSE(missing.Open());
  EXPECT_NE(missing.Error().find("no/such/folder/x.wav"), std::string::npos);
}

TEST(WavExport, DefaultNames) {
  EXPECT_EQ(DefaultExportName("Bulerias", "120", 'P'), "Bulerias-120mP.wav");
  EXPECT_EQ(DefaultExportName("Sole\xE1", "140", '0'), "Sole\xE1-140m0.wav");
  EXPECT_EQ(DefaultExportName("a/b", "90", '3'), "a_b-90m3.wav");
}

// An entry naming a formula the set does not have plays on with the formula
// in force, as playback does; it never plays another formula of the table.
TEST_F(ExportFixture, AnEntryNamingAMissingFormulaKeepsTheFormulaInForce) {
  const auto beats = Run(Plan({{0, 1, 120, 0}, {7, 1, 0, 0}, {1, 1, 0, 0}}));
  // A (2 beats), still A for the missing one, then B (3 beats).
  EXPECT_EQ(Kinds(beats), (std::vector<int>{0, 0, 0, 0, 1, 1, 1}));
}

// A theme into a file: the header at the edition's rate and the beats; a
// theme too long for the limit, or a folder that does not exist, leaves no
// file and says which.
TEST_F(ExportFixture, ThemeToFileWritesTheEditionsRateOrNothing) {
  ScratchFolder dir;
  for (const bool basic : {false, true}) {
    SCOPED_TRACE(basic ? "basic" : "professional");
    eng = EngineState(basic ? kBasicFormat : kProFormat);
    const ThemePlan plan = Plan({{0, 2, 120, 0}, {1, 1, 0, 0}});
    const WavExportResult r =
        ExportThemeToFile("t.wav", eng, *rt, bank, plan, MixerHooks{}, basic ? kBasicRules : kProRules);
    ASSERT_TRUE(r.ok) << r.error;
    const auto bytes = ScratchFolder::Read("t.wav");
    const uint32_t frames = basic ? 11024 : 22049;  // a beat at 120 bpm
    ASSERT_EQ(bytes.size(), 44u + 7u * frames * 4u);
    uint32_t rate, byteRate, data;
    std::memcpy(&rate, &bytes[24], 4);
    std::memcpy(&byteRate, &bytes[28], 4);
    std::memcpy(&data, &bytes[40], 4);
    EXPECT_EQ(rate, basic ? 22050u : 44100u);
    EXPECT_EQ(byteRate, rate * 4);
    EXPECT_EQ(data, 7u * frames * 4u);
  }

  const ThemePlan plan = Plan({{0, 2, 120, 0}});
  const auto before = ScratchFolder::Read("t.wav");
  WavExportResult r = ExportThemeToFile("t.wav", eng, *rt, bank, plan, MixerHooks{}, kBasicRules, 11024 * 4 * 3);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.tooLong);
  EXPECT_EQ(r.error, "t.wav");
  EXPECT_EQ(ScratchFolder::Read("t.wav"), before);  // the old file stays
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);
  EXPECT_FALSE(eng.SilentMix);

  r = ExportThemeToFile("no/such/folder/t.wav", eng, *rt, bank, plan, MixerHooks{}, kBasicRules);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.tooLong);
  EXPECT_NE(r.error.find("no/such/folder/t.wav"), std::string::npos);
}

// A sound that rings longer than a beat at a fast tempo: whatever an earlier
// export or a playback left sounding is no part of the next export, so the
// same theme always gives the same file.
TEST_F(ExportFixture, ASoundRingingPastTheBeatExportsTheSameEveryTime) {
  std::vector<int16_t> ring(44100);  // one second, a beat at 400 bpm is 6614 frames
  for (size_t i = 0; i < ring.size(); ++i) ring[i] = static_cast<int16_t>((i * 37) % 20000 - 10000);
  bank.Clear(1);
  bank.Append(0, reinterpret_cast<const uint8_t*>(ring.data()), ring.size() * 2);
  Formula& a = rt->Formulas[0];
  a.sounds[0] = 1;
  a.cells[1][0] = 7;  // one stroke at full level on the second (last) beat
  a.SetStrokeCount(1, 0, 1);
  ThemePlan plan = Plan({{0, 2, 400, 0}});
  for (int t = 0; t < 17; ++t) rt->Temas[0].pan[t] = 16, rt->Temas[0].volume[t] = 8;
  rt->Temas[0].gain = 1.0f;
  plan = MakeThemePlan(*rt, 0, rt->FormulaCount);
  auto exportOnce = [&] {
    std::vector<int16_t> all;
    eng.MasterGain = 1.0f;
    EXPECT_TRUE(ExportTheme(eng, *rt, bank, plan, [&](const int16_t* d, size_t bytes) {
      all.insert(all.end(), d, d + bytes / 2);
      return true;
    }));
    return all;
  };
  const auto first = exportOnce();
  ASSERT_EQ(first.size(), 4u * 6614u * 2u);
  EXPECT_EQ(exportOnce(), first);  // the last stroke still rang after the first

  // A playback of the formula, stopped while the stroke rings.
  eng.ThemePlayback = false;
  rt->CurrentFormula = 0;
  for (int beat : {0, 1}) {
    eng.CurrentBeat = beat;
    MixNextBeat(eng, *rt, bank, MixerHooks{});
  }
  EXPECT_EQ(exportOnce(), first);
}
