// Older-generation records: layout, conversion of every field, bounded reads
// and the conversion of a whole set on disk.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/files/atomic_file.h"
#include "rhythm/dataset.h"
#include "rhythm/formats_v1.h"
#include "temp_dir.h"

namespace {
template <class T>
void Put(std::vector<uint8_t>& buf, size_t offset, T value) {
  std::memcpy(buf.data() + offset, &value, sizeof value);
}
template <class T>
T Get(const void* record, size_t offset) {
  T v;
  std::memcpy(&v, static_cast<const uint8_t*>(record) + offset, sizeof v);
  return v;
}
FormulaV1 FormulaV1From(const std::vector<uint8_t>& raw) {
  FormulaV1 f;
  std::memcpy(&f, raw.data(), sizeof f);
  return f;
}
}  // namespace

TEST(FormatsV1, CellLevelsBecomeTheLoudCodes) {
  struct Case {
    uint16_t oldCell;
    int32_t newCell;
  };
  const Case cases[] = {
      {0, 0},
      // strokes 0..3 at levels 3, 0, 1, 2 -> codes 7, 0, 5, 6
      {3 | (0 << 2) | (1 << 4) | (2 << 6), 7 | (0 << 3) | (5 << 6) | (6 << 9)},
      {0xFFFF, 0x00FFFFFF},          // all eight strokes at 3 -> all at 7
      {1 << 14, 5 << 21},            // stroke 7 at level 1
      {2 << 2, 6 << 3},              // stroke 1 at level 2
  };
  for (const Case& c : cases) {
    FormulaV1 old{};
    old.cells[5][7] = c.oldCell;
    old.header = 12;
    const Formula f = FormulaFromV1(old);
    EXPECT_EQ(f.cells[5][7], c.newCell) << "old cell " << c.oldCell;
    for (int b = 0; b < kMaxBeats; ++b)
      for (int t = 0; t < kTracks; ++t)
        if (b != 5 || t != 7) {
          EXPECT_EQ(f.cells[b][t], 0) << b << "," << t;
        }
  }
}

TEST(FormatsV1, FormulaFieldsByTheirOffsets) {
  // Built byte by byte from the older layout, so a wrong field order in the
  // struct shows up as well as a wrong conversion.
  std::vector<uint8_t> raw(256, 0);
  Put<uint16_t>(raw, 2 * (8 * 3 + 5), 3);       // beat 3, track 5, stroke 0 level 3
  raw[192 + (8 * 2 + 3) / 2] = 0x50;            // beat 2, track 3: count 5 (high nibble)
  raw[192 + (8 * 2 + 2) / 2] |= 0x08;           // beat 2, track 2: count 8 (low nibble)
  raw[192 + (8 * 11 + 6) / 2] = 0xF4;           // beat 11: track 6 count 4, track 7 count 15
  raw[240] = 0x3A;                              // 10 beats, first beat 4
  for (int t = 0; t < 8; ++t) raw[241 + t] = static_cast<uint8_t>(t + 1);
  std::memcpy(raw.data() + 249, "ABCDE", 5);
  Put<uint16_t>(raw, 254, 0x8123);

  const Formula f = FormulaFromV1(FormulaV1From(raw));
  const auto* out = reinterpret_cast<const uint8_t*>(&f);
  EXPECT_EQ(Get<int32_t>(out, 4 * (16 * 3 + 5)), 7);
  EXPECT_EQ(f.StrokeCount(2, 3), 5);
  EXPECT_EQ(f.StrokeCount(2, 2), 8);
  EXPECT_EQ(f.StrokeCount(11, 6), 4);
  EXPECT_EQ(f.StrokeCount(11, 7), 8) << "a count above 8 is bounded by the strokes of a beat";
  EXPECT_EQ(out[768 + 8 * 2 + 1], 0x58);  // same nibbles, beat-major with 8 bytes per beat
  for (int b = 0; b < kMaxBeats; ++b)
    for (int k = 4; k < 8; ++k) EXPECT_EQ(out[768 + 8 * b + k], 0) << "tracks 8..15 of beat " << b;
  EXPECT_EQ(out[864], 0x3A);
  for (int t = 0; t < 8; ++t) EXPECT_EQ(out[865 + t], t + 1);
  for (int t = 8; t < 16; ++t) EXPECT_EQ(out[865 + t], 0);
  EXPECT_EQ(std::memcmp(out + 881, "ABCDE\0\0\0\0\0\0\0\0\0\0\0", 16), 0);
  EXPECT_EQ(out[897], 0);
  EXPECT_EQ(Get<uint16_t>(out, 898), 0x8123);
}

TEST(FormatsV1, ThemeFieldsByTheirOffsets) {
  std::vector<uint8_t> raw(512, 0);
  std::memcpy(raw.data(), "Soleares largo", 14);  // 14 characters, no terminator
  Put<uint16_t>(raw, 14, 3);
  raw[16] = 4;
  raw[17] = 2;
  raw[16 + 119] = 9;
  Put<uint16_t>(raw, 136, 7);
  Put<uint16_t>(raw, 136 + 2, 1);
  Put<uint16_t>(raw, 136 + 2 * 119, 300);
  raw[376] = static_cast<uint8_t>(-5);
  raw[376 + 119] = 12;
  Put<float>(raw, 496, 2.5f);
  Put<uint16_t>(raw, 500, 180);
  raw[502] = 0x83;
  raw[503] = 0x42;
  for (int k = 504; k < 512; ++k) raw[k] = 0xEE;
  TemaV1 old;
  std::memcpy(&old, raw.data(), sizeof old);

  const Tema t = TemaFromV1(old);
  const auto* out = reinterpret_cast<const uint8_t*>(&t);
  EXPECT_EQ(std::memcmp(out, "Soleares largo", 14), 0);
  EXPECT_EQ(out[14], 0) << "the 14-character name is terminated";
  EXPECT_EQ(t.Name(), "Soleares largo");
  EXPECT_EQ(Get<uint16_t>(out, 32), 3);
  EXPECT_EQ(out[34], 4);
  EXPECT_EQ(out[35], 2);
  EXPECT_EQ(out[34 + 119], 9);
  EXPECT_EQ(out[34 + 120], 0);
  EXPECT_EQ(Get<uint16_t>(out, 290), 7);
  EXPECT_EQ(Get<uint16_t>(out, 292), 1);
  EXPECT_EQ(Get<uint16_t>(out, 290 + 2 * 119), 300);
  EXPECT_EQ(static_cast<int8_t>(out[802]), -5);
  EXPECT_EQ(out[802 + 119], 12);
  EXPECT_EQ(out[1058], 0);
  EXPECT_EQ(out[1059], 0);
  EXPECT_EQ(Get<float>(out, 1060), 2.5f);
  EXPECT_EQ(Get<uint16_t>(out, 1064), 180);
  for (int e = 1; e < 256; ++e) EXPECT_EQ(t.tempos[e], 0) << "tempo entry " << e;
  EXPECT_EQ(out[1576], 0x83);
  EXPECT_EQ(out[1577], 0x42);
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(out[1578 + k], 4 * k) << "pan of track " << k;
    EXPECT_EQ(out[1595 + k], 8) << "volume of track " << k;
  }
  for (int k = 8; k <= 16; ++k) {
    EXPECT_EQ(out[1578 + k], 0) << "pan of track " << k;
    EXPECT_EQ(out[1595 + k], 0) << "volume of track " << k;
  }
}

TEST(FormatsV1, EntryCountIsBoundedByTheEntryTable) {
  for (uint16_t n : {uint16_t{0}, uint16_t{120}, uint16_t{121}, uint16_t{65535}}) {
    TemaV1 old{};
    old.entryCount = n;
    EXPECT_EQ(TemaFromV1(old).entryCount, std::min<int>(n, 120)) << n;
  }
}

TEST(FormatsV1, NamesOfTheOlderRecords) {
  FormulaV1 f{};
  f.SetName("Bulerias");
  EXPECT_EQ(f.Name(), "Buler");
  f.SetName("AB");
  EXPECT_EQ(std::string(f.name, 5), std::string("AB\0\0\0", 5));
  TemaV1 t{};
  t.SetName("Una seguiriya muy larga");
  EXPECT_EQ(t.Name(), "Una seguiriya ");
}

TEST(FormatsV1, RecordCountsAreBoundedByFileLengthAndTable) {
  ScratchFolder dir;
  struct Case {
    size_t bytes;
    size_t formulas;  // when read as formulas.van
    size_t temas;     // when read as temas.van
  };
  const Case cases[] = {{0, 0, 0}, {255, 0, 0}, {300, 1, 0}, {1000, 3, 1}, {140000, 512, 128}, {65536, 256, 128}};
  for (const Case& c : cases) {
    ScratchFolder::Write("f.van", std::vector<uint8_t>(c.bytes, 1));
    std::vector<FormulaV1> fs;
    std::vector<TemaV1> ts;
    EXPECT_TRUE(ReadFormulasV1("f.van", &fs));
    EXPECT_TRUE(ReadTemasV1("f.van", &ts));
    EXPECT_EQ(fs.size(), c.formulas) << c.bytes << " bytes";
    EXPECT_EQ(ts.size(), c.temas) << c.bytes << " bytes";
  }
  std::vector<FormulaV1> fs(3);
  EXPECT_FALSE(ReadFormulasV1("missing.van", &fs));
  EXPECT_TRUE(fs.empty());
}

namespace {
struct OldSet {
  std::vector<FormulaV1> formulas;
  std::vector<TemaV1> temas;
};
OldSet WriteOldSet(const std::string& name, bool withFormulas, bool withTemas) {
  OldSet s;
  FormulaV1 a{};
  a.header = 4;
  a.cells[0][0] = 3;
  a.SetStrokeCount(0, 0, 1);
  a.sounds[0] = 2;
  a.SetName("Tango");
  FormulaV1 bad = a;
  bad.header = 13;  // invalid: repaired when read, kept as converted on disk
  bad.SetName("Roto");
  s.formulas = {a, bad};
  TemaV1 t{};
  t.SetName("Tangos");
  t.entryCount = 2;
  t.formulas[0] = 0;
  t.formulas[1] = 1;
  t.times[0] = t.times[1] = 2;
  t.tempo = 130;
  t.gain = 1.5f;
  s.temas = {t};
  ScratchFolder::Write("datos/" + name + ".ole", {'P', 'a', 'l', 'm', 'a', 's', '\r', '\n'});
  if (withFormulas)
    ScratchFolder::Write("datos/" + name + "/formulas.van", BytesOfRecords(s.formulas.data(), s.formulas.size()));
  if (withTemas) ScratchFolder::Write("datos/" + name + "/temas.van", BytesOfRecords(s.temas.data(), s.temas.size()));
  std::filesystem::create_directories("datos/" + name);
  return s;
}
}  // namespace

TEST(FormatsV1, ConvertingASetWritesTheCurrentFilesAndFillsTheTables) {
  ScratchFolder dir;
  const OldSet old = WriteOldSet("Viejo", true, true);
  auto t = RhythmTables::Create();
  V1Conversion r;
  std::string err;
  ASSERT_TRUE(ConvertDataSetV1(*t, "datos/Viejo.ole", "datos/Viejo.vl2", "Viejo", &r, &err)) << err;
  EXPECT_TRUE(r.hadFormulas);
  EXPECT_TRUE(r.hadTemas);
  EXPECT_EQ(ScratchFolder::Read("datos/Viejo.vl2"), ScratchFolder::Read("datos/Viejo.ole"));

  const auto formulas = ScratchFolder::Read("datos/Viejo/formulas.svs");
  ASSERT_EQ(formulas.size(), 2 * sizeof(Formula));
  const Formula onDisk0 = FormulaFromV1(old.formulas[0]);
  const Formula onDisk1 = FormulaFromV1(old.formulas[1]);
  EXPECT_EQ(std::memcmp(formulas.data(), &onDisk0, sizeof(Formula)), 0);
  EXPECT_EQ(std::memcmp(formulas.data() + sizeof(Formula), &onDisk1, sizeof(Formula)), 0)
      << "the file keeps the invalid record as converted";
  EXPECT_EQ(ScratchFolder::Read("datos/Viejo/temas.svs").size(), sizeof(Tema));

  EXPECT_EQ(t->FormulaCount, 2);
  EXPECT_EQ(t->Formulas[0].cells[0][0], 7);
  EXPECT_EQ(t->Formulas[0].Name(), "Tango");
  EXPECT_EQ(r.repaired, std::vector<int>{1});
  EXPECT_EQ(t->Formulas[1].Name(), "Nueva");
  EXPECT_EQ(t->Formulas[1].header, 12);
  EXPECT_EQ(t->TemaCount, 1);
  EXPECT_EQ(t->Temas[0].Name(), "Tangos");
  EXPECT_EQ(t->Temas[0].tempos[0], 130);
}

TEST(FormatsV1, AnOlderListLongerThanTheFormatHoldsIsRefused) {
  ScratchFolder dir;
  WriteOldSet("Viejo", true, true);
  // The longest list the format holds: 255 names of 255 bytes.
  std::vector<uint8_t> list;
  for (int i = 0; i < 255; ++i) {
    list.insert(list.end(), 255, static_cast<uint8_t>('a' + i % 26));
    list.push_back('\r');
    list.push_back('\n');
  }
  ASSERT_EQ(list.size(), kSoundListV1FileMax);
  ScratchFolder::Write("datos/Viejo.ole", list);
  auto t = RhythmTables::Create();
  std::string err;
  ASSERT_TRUE(ConvertDataSetV1(*t, "datos/Viejo.ole", "datos/Viejo.vl2", "Viejo", nullptr, &err)) << err;
  EXPECT_EQ(ScratchFolder::Read("datos/Viejo.vl2"), list);

  // One byte more, and a list of many megabytes, change nothing.
  std::filesystem::remove("datos/Viejo.vl2");
  std::filesystem::remove("datos/Viejo/formulas.svs");
  std::filesystem::remove("datos/Viejo/temas.svs");
  t->FormulaCount = 7;
  for (const size_t size : {kSoundListV1FileMax + 1, size_t{64} << 20}) {
    list.resize(size, 'z');
    ScratchFolder::Write("datos/Viejo.ole", list);
    err.clear();
    EXPECT_FALSE(ConvertDataSetV1(*t, "datos/Viejo.ole", "datos/Viejo.vl2", "Viejo", nullptr, &err)) << size;
    EXPECT_NE(err.find("Viejo.ole"), std::string::npos) << err;
    EXPECT_FALSE(FileExists("datos/Viejo.vl2"));
    EXPECT_FALSE(FileExists("datos/Viejo/formulas.svs"));
    EXPECT_EQ(t->FormulaCount, 7);
  }
}

// A set without older themes gets one empty theme, on disk too: a stale
// temas.svs of the same name is never what the open shows afterwards.
TEST(FormatsV1, AMissingOlderFileGivesOneEmptyRecordOnDisk) {
  ScratchFolder dir;
  WriteOldSet("SinTemas", true, false);
  Tema stale{};
  stale.entryCount = 3;
  stale.SetName("Viejo");
  std::string err;
  ASSERT_TRUE(MakeDirs("datos/SinTemas"));
  ASSERT_TRUE(WriteFileAtomically("datos/SinTemas/temas.svs",
                                  std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(&stale),
                                                       reinterpret_cast<const uint8_t*>(&stale) + sizeof stale),
                                  &err))
      << err;
  auto t = RhythmTables::Create();
  t->Temas[0].entryCount = 9;
  t->TemaCount = 40;
  V1Conversion r;
  ASSERT_TRUE(ConvertDataSetV1(*t, "datos/SinTemas.ole", "datos/SinTemas.vl2", "SinTemas", &r, nullptr));
  EXPECT_FALSE(r.hadTemas);
  EXPECT_TRUE(FileExists("datos/SinTemas/formulas.svs"));
  EXPECT_EQ(ScratchFolder::Read("datos/SinTemas/temas.svs"), std::vector<uint8_t>(sizeof(Tema), 0));
  EXPECT_EQ(t->TemaCount, 1);
  EXPECT_EQ(t->Temas[0].entryCount, 0);
  // The open that follows the conversion reads what was written.
  auto reopened = RhythmTables::Create();
  ASSERT_TRUE(LoadTemas(*reopened, "datos/SinTemas/temas.svs"));
  EXPECT_EQ(reopened->TemaCount, 1);
  EXPECT_EQ(reopened->Temas[0].entryCount, 0);
}

TEST(FormatsV1, AFailedWriteChangesNeitherFilesNorTables) {
  ScratchFolder dir;
  WriteOldSet("Viejo", true, true);
  auto t = RhythmTables::Create();
  t->FormulaCount = 7;
  t->Formulas[0].SetName("Sigue");
  for (int nth : {1, 2, 3}) {
    SetWriteFailureForTests(nth);
    std::string err;
    EXPECT_FALSE(ConvertDataSetV1(*t, "datos/Viejo.ole", "datos/Viejo.vl2", "Viejo", nullptr, &err)) << nth;
    SetWriteFailureForTests(0);
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(FileExists("datos/Viejo.vl2"));
    EXPECT_FALSE(FileExists("datos/Viejo/formulas.svs"));
    EXPECT_FALSE(FileExists("datos/Viejo/temas.svs"));
    EXPECT_EQ(t->FormulaCount, 7);
    EXPECT_EQ(t->Formulas[0].Name(), "Sigue");
  }
  EXPECT_FALSE(ConvertDataSetV1(*t, "datos/NoEsta.ole", "datos/NoEsta.vl2", "NoEsta", nullptr, nullptr));
  EXPECT_EQ(t->FormulaCount, 7);
}
