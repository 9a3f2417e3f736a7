// Records read from a file are checked against their ranges: each value
// outside is set to the nearest inside, a sound or formula number that names
// nothing becomes 0, and the count of records mended is what the open says.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

#include "rhythm/record_ranges.h"
#include "temp_dir.h"

namespace {
const RecordLimits kLimits{5, 3, kMaxEntries};  // 5 sounds listed, 3 formulas

Formula GoodFormula() {
  Formula f{};
  f.SetHeader(4, 2);
  f.cells[0][0] = 0x00FFFFFF;
  f.SetStrokeCount(0, 0, 8);
  f.sounds[0] = 5;
  f.accents = 0x8005;
  return f;
}

Tema GoodTema() {
  Tema t{};
  InitNewTema(t, 120);
  t.entryCount = 2;
  t.times[0] = 1;
  t.times[1] = 255;
  t.formulas[1] = 2;
  t.tempos[1] = 400;
  t.gain = 2.5f;
  t.introEnding = 0xCC;
  return t;
}
}  // namespace

TEST(RecordRanges, FormulaValuesOutsideTheirRangeTakeTheNearest) {
  struct Case {
    const char* what;
    std::function<void(Formula&)> damage;
    std::function<bool(const Formula&)> mended;
  } cases[] = {
      {"in range", [](Formula&) {}, [](const Formula& f) { const Formula g = GoodFormula(); return std::memcmp(&f, &g, sizeof f) == 0; }},
      {"first beat 16", [](Formula& f) { f.header = 0xF4; }, [](const Formula& f) { return f.StartBeat() == 11 && f.Beats() == 4; }},
      {"bits above the eight strokes", [](Formula& f) { f.cells[3][7] = static_cast<int32_t>(0xFF000007); },
       [](const Formula& f) { return f.cells[3][7] == 7; }},
      {"15 strokes", [](Formula& f) { f.SetStrokeCount(2, 3, 15); }, [](const Formula& f) { return f.StrokeCount(2, 3) == 8; }},
      {"sound 6 of 5", [](Formula& f) { f.sounds[9] = 6; }, [](const Formula& f) { return f.sounds[9] == 0; }},
      {"sound 255", [](Formula& f) { f.sounds[15] = 255; }, [](const Formula& f) { return f.sounds[15] == 0; }},
      {"accent bits 12..14", [](Formula& f) { f.accents = 0xF005; }, [](const Formula& f) { return f.accents == 0x8005; }},
  };
  for (const Case& c : cases) {
    Formula f = GoodFormula();
    c.damage(f);
    const bool changed = MendFormula(f, kLimits);
    EXPECT_EQ(changed, std::string(c.what) != "in range") << c.what;
    EXPECT_TRUE(c.mended(f)) << c.what;
    // What was in range stays.
    EXPECT_EQ(f.sounds[0], 5) << c.what;
    EXPECT_EQ(f.StrokeCount(0, 0), 8) << c.what;
    EXPECT_FALSE(MendFormula(f, kLimits)) << c.what << ": once mended, in range";
  }
}

TEST(RecordRanges, ThemeValuesOutsideTheirRangeTakeTheNearest) {
  struct Case {
    const char* what;
    std::function<void(Tema&)> damage;
    std::function<bool(const Tema&)> mended;
  } cases[] = {
      {"in range", [](Tema&) {}, [](const Tema& t) { return t.tempos[0] == 120 && t.gain == 2.5f; }},
      {"29769 bpm", [](Tema& t) { t.tempos[0] = 29769; }, [](const Tema& t) { return t.tempos[0] == 400; }},
      {"5 bpm", [](Tema& t) { t.tempos[0] = 5; }, [](const Tema& t) { return t.tempos[0] == 20; }},
      {"entry tempo 7", [](Tema& t) { t.tempos[1] = 7; }, [](const Tema& t) { return t.tempos[1] == 20; }},
      {"entry tempo 0 keeps the tempo", [](Tema& t) { t.tempos[1] = 0; }, [](const Tema& t) { return t.tempos[1] == 0; }},
      {"14787 entries", [](Tema& t) { t.entryCount = 14787; }, [](const Tema& t) { return t.entryCount == kMaxEntries; }},
      {"0 repetitions", [](Tema& t) { t.times[1] = 0; }, [](const Tema& t) { return t.times[1] == 1; }},
      {"formula 3 of 3", [](Tema& t) { t.formulas[0] = 3; }, [](const Tema& t) { return t.formulas[0] == 0; }},
      {"intro 15", [](Tema& t) { t.introEnding = 0xF5; }, [](const Tema& t) { return t.introEnding == 0x05; }},
      {"ending 13", [](Tema& t) { t.introEnding = 0x3D; }, [](const Tema& t) { return t.introEnding == 0x30; }},
      {"pan 200", [](Tema& t) { t.pan[4] = 200; }, [](const Tema& t) { return t.pan[4] == 32; }},
      {"volume 17", [](Tema& t) { t.volume[15] = 17; }, [](const Tema& t) { return t.volume[15] == 16; }},
      {"gain not a number", [](Tema& t) { t.gain = std::nanf(""); }, [](const Tema& t) { return t.gain == 1.0f; }},
      {"gain 1e30", [](Tema& t) { t.gain = 1e30f; }, [](const Tema& t) { return t.gain == 10.0f; }},
  };
  for (const Case& c : cases) {
    Tema t = GoodTema();
    c.damage(t);
    const bool expectChange = std::string(c.what) != "in range" && std::string(c.what) != "entry tempo 0 keeps the tempo";
    EXPECT_EQ(MendTema(t, kLimits), expectChange) << c.what;
    EXPECT_TRUE(c.mended(t)) << c.what;
    EXPECT_EQ(t.formulas[1], 2) << c.what;
    EXPECT_EQ(t.times[0], 1) << c.what;
    EXPECT_FALSE(MendTema(t, kLimits)) << c.what;
  }
}

// Random records come out with every value in range, and the count of
// records mended is the number that changed.
TEST(RecordRanges, RandomRecordsComeOutInRange) {
  auto rt = RhythmTables::Create();
  std::mt19937 rng(7);
  auto* fb = reinterpret_cast<uint8_t*>(rt->Formulas.data());
  auto* tb = reinterpret_cast<uint8_t*>(rt->Temas.data());
  for (size_t i = 0; i < sizeof(Formula) * 40; ++i) fb[i] = static_cast<uint8_t>(rng());
  for (size_t i = 0; i < sizeof(Tema) * 20; ++i) tb[i] = static_cast<uint8_t>(rng());
  rt->FormulaCount = 40;
  rt->TemaCount = 20;
  const RecordLimits limits{16, 40, kMaxEntries};
  EXPECT_EQ(MendFormulas(*rt, limits), 40);
  EXPECT_EQ(MendTemas(*rt, limits), 20);
  EXPECT_EQ(MendFormulas(*rt, limits), 0);
  EXPECT_EQ(MendTemas(*rt, limits), 0);
  for (int i = 0; i < 20; ++i) {
    const Tema& t = rt->Temas[static_cast<size_t>(i)];
    EXPECT_GE(t.tempos[0], 20);
    EXPECT_LE(t.tempos[0], 400);
    EXPECT_LE(t.entryCount, kMaxEntries);
    for (int e = 0; e < t.entryCount; ++e) EXPECT_LT(t.formulas[e], 40);
    EXPECT_LE(t.Intro(), 12);
    EXPECT_LE(t.Ending(), 12);
  }
  // A repaired formula counts once, mended or not.
  rt->FormulaCount = 3;
  EXPECT_EQ(MendFormulas(*rt, limits, {1, 2}), 2);
}

TEST(RecordRanges, TheMessagesNameTheFileAndTheCount) {
  EXPECT_EQ(MendedRecordsText("datos/S/temas.svs", 0, false), "");
  EXPECT_EQ(MendedRecordsText("datos/S/temas.svs", 1, true), "datos/S/temas.svs: 1 record was out of range and mended");
  EXPECT_EQ(MendedRecordsText("datos/S/temas.svs", 12, false),
            "datos/S/temas.svs: 12 registros estaban fuera de rango y se han corregido");
  ScratchFolder dir;
  ScratchFolder::Write("whole", std::vector<uint8_t>(1800));
  ScratchFolder::Write("part", std::vector<uint8_t>(1000));
  ScratchFolder::Write("big", std::vector<uint8_t>(1 << 20));
  EXPECT_EQ(RecordFileSizeText("whole", 900, 512, false), "");
  EXPECT_EQ(RecordFileSizeText("missing", 900, 512, false), "");
  EXPECT_EQ(RecordFileSizeText("part", 900, 512, true),
            "part is not whole records of 900 bytes: the last 100 bytes are not read");
  EXPECT_EQ(RecordFileSizeText("big", 900, 512, true), "big holds more than 512 records: only the first 512 are read");
  EXPECT_EQ(RecordFileSizeText("big", 900, 512, false),
            "big tiene m\xC3\xA1s de 512 registros: solo se leen los 512 primeros");
}
