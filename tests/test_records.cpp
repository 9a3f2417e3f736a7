#include <gtest/gtest.h>

#include <cstring>

#include "rhythm/records.h"

namespace {
const uint8_t* Bytes(const void* p) { return static_cast<const uint8_t*>(p); }
}  // namespace

TEST(FormulaRecord, BytesLandAtTheirOffsets) {
  Formula f{};
  f.cells[2][3] = 455;
  f.SetStrokeCount(2, 3, 4);  // n = 35: high nibble of byte 785
  f.SetStrokeCount(2, 2, 7);  // n = 34: low nibble of byte 785
  f.SetHeader(12, 11);        // 12 beats, first beat 12
  f.sounds[0] = 5;
  f.sounds[15] = 64;
  f.SetName("Bulerias");
  f.accents = 0x8AA4;
  const uint8_t* b = Bytes(&f);
  const int cell = 4 * (16 * 2 + 3);
  EXPECT_EQ(b[cell], 455 & 0xFF);
  EXPECT_EQ(b[cell + 1], 455 >> 8);
  EXPECT_EQ(b[785], 0x47);
  EXPECT_EQ(f.StrokeCount(2, 3), 4);
  EXPECT_EQ(f.StrokeCount(2, 2), 7);
  EXPECT_EQ(b[864], 0xBC);
  EXPECT_EQ(b[865], 5);
  EXPECT_EQ(b[880], 64);
  EXPECT_EQ(std::memcmp(b + 881, "Bulerias\0\0\0\0\0\0\0\0", 16), 0);
  EXPECT_EQ(b[898], 0xA4);
  EXPECT_EQ(b[899], 0x8A);
  EXPECT_TRUE(f.CountByAccents());
}

TEST(FormulaRecord, NamesArePaddedCutAndReadWithoutTerminator) {
  Formula f{};
  f.SetName("Exactly16CharsXY-and-more");
  EXPECT_EQ(std::memcmp(f.name, "Exactly16CharsXY", 16), 0);
  EXPECT_EQ(f.spare, 0);  // the cut never spills into the next field
  EXPECT_EQ(f.Name(), "Exactly16CharsXY");
  Tema t{};
  t.SetName(std::string(40, 'a'));
  EXPECT_EQ(t.Name(), std::string(32, 'a'));
  EXPECT_EQ(t.entryCount, 0);
}

TEST(FormulaRecord, TypedStrokeStrings) {
  struct Case {
    const char* text;
    int32_t cell;
    int count;
  } cases[] = {
      {"7070", 7 | (7 << 6), 4},            // 455
      {"123456789", 0, 8},
      {"", 0, 0},
      {"x1", 1 << 3, 2},
      {"00000000", 0, 8},
  };
  // "123456789": strokes 0..6 take 1..7, the 8 is a rest, the 9 is beyond the eighth stroke.
  cases[1].cell = 1 | (2 << 3) | (3 << 6) | (4 << 9) | (5 << 12) | (6 << 15) | (7 << 18);
  for (const Case& c : cases) {
    int32_t cell = -1;
    EXPECT_EQ(CellFromStrokeText(c.text, &cell), c.count) << c.text;
    EXPECT_EQ(cell, c.cell) << c.text;
  }
  int32_t cell;
  CellFromStrokeText("7070", &cell);
  EXPECT_EQ(cell, 455);
}

TEST(FormulaRecord, RepairKeepsSoundsAndSpare) {
  Formula f{};
  f.header = 0x0D;  // 13 beats
  f.sounds[3] = 9;
  f.spare = 0x5A;
  f.cells[0][0] = 7;
  f.SetStrokeCount(0, 0, 1);
  ASSERT_TRUE(FormulaIsInvalid(f));
  RepairFormula(f);
  EXPECT_FALSE(FormulaIsInvalid(f));
  EXPECT_EQ(std::memcmp(f.name, "Nueva\0\0\0\0\0\0\0\0\0\0\0", 16), 0);
  EXPECT_EQ(f.header, 12);
  EXPECT_EQ(f.accents, 0x0AA4);
  EXPECT_EQ(f.cells[0][0], 0);
  EXPECT_EQ(f.StrokeCount(0, 0), 0);
  EXPECT_EQ(f.sounds[3], 9);
  EXPECT_EQ(f.spare, 0x5A);
  for (int beats : {1, 12}) {
    Formula g{};
    g.header = static_cast<uint8_t>(beats);
    EXPECT_FALSE(FormulaIsInvalid(g));
  }
}

TEST(TemaRecord, BytesLandAtTheirOffsets) {
  Tema t{};
  t.entryCount = 3;
  t.times[2] = 255;
  t.formulas[1] = 0x1234;
  t.accel[0] = -5;
  t.gain = 1.5f;
  t.tempos[0] = 400;
  t.partsOrder = 0x80 | 3;
  t.introEnding = 0x4C;
  t.pan[16] = 16;
  t.volume[16] = 8;
  const uint8_t* b = Bytes(&t);
  EXPECT_EQ(b[32], 3);
  EXPECT_EQ(b[34 + 2], 255);
  EXPECT_EQ(b[290 + 2], 0x34);
  EXPECT_EQ(b[290 + 3], 0x12);
  EXPECT_EQ(b[802], 0xFB);
  float g;
  std::memcpy(&g, b + 1060, 4);
  EXPECT_EQ(g, 1.5f);
  EXPECT_EQ(b[1064] | (b[1065] << 8), 400);
  EXPECT_EQ(b[1576], 0x83);
  EXPECT_EQ(t.Parts(), 3);
  EXPECT_TRUE(t.InOrder());
  EXPECT_EQ(t.Intro(), 4);
  EXPECT_EQ(t.Ending(), 12);
  EXPECT_EQ(b[1578 + 16], 16);
  EXPECT_EQ(b[1595 + 16], 8);
}

TEST(TemaRecord, NewThemeDefaults) {
  Tema t{};
  t.entryCount = 7;
  InitNewTema(t, 120);
  EXPECT_EQ(t.entryCount, 0);
  EXPECT_EQ(t.tempos[0], 120);
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(t.pan[i], 16);
    EXPECT_EQ(t.volume[i], 8);
  }
}

TEST(TemaRecord, VolumeLevels) {
  struct {
    int v;
    float gain;
  } cases[] = {{8, 1.0f}, {7, 0.5f}, {1, 0.125f}, {9, 2.0f}, {16, 9.0f}};
  for (auto c : cases) EXPECT_FLOAT_EQ(VolumeGain(c.v), c.gain) << c.v;
}
