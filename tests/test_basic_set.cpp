// The basic edition's data set: sounds and the meter of the device's sound
// memory, sonidos.van, the older record files, save, save-as names, seeding
// from Original and the import's loading of another set.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "basic/basic_set.h"
#include "basic/v1_bridge.h"
#include "platform/files/atomic_file.h"
#include "temp_dir.h"

namespace {
using Bytes = std::vector<uint8_t>;

Bytes Wav(size_t dataBytes, int seed) {
  Bytes w(44 + dataBytes, 0);
  std::memcpy(w.data(), "RIFF", 4);
  std::memcpy(w.data() + 8, "WAVEfmt ", 8);
  w[16] = 16;
  w[20] = 1;
  w[22] = 1;
  const uint32_t rate = 22050, byteRate = 44100;  // the basic edition's own format
  std::memcpy(w.data() + 24, &rate, 4);
  std::memcpy(w.data() + 28, &byteRate, 4);
  w[32] = 2;
  w[34] = 16;
  std::memcpy(w.data() + 36, "data", 4);
  const uint32_t n = static_cast<uint32_t>(dataBytes);
  std::memcpy(w.data() + 40, &n, 4);
  for (size_t i = 0; i < dataBytes; ++i) w[44 + i] = static_cast<uint8_t>(i * 13 + seed);
  return w;
}

Bytes Ole(const std::vector<std::string>& names) {
  std::string s;
  for (auto& n : names) s += n + "\r\n";
  return Bytes(s.begin(), s.end());
}
}  // namespace

TEST(BasicSounds, MeterAtTheDevicesCapacity) {
  ScratchFolder dir;
  const struct Case {
    size_t bytes;
    bool over;
    const char* es;
    const char* en;
  } cases[] = {{131008, false, "Usado (100.00%)", "Used (100.00%)"},
               {131010, true, "Usado (100.00%)", "Used (100.00%)"},
               {65504, false, "Usado (50.00%)", "Used (50.00%)"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    // Two sounds of whole samples sharing the bytes.
    ScratchFolder::Write("datos/S/a.wav", Wav(c.bytes / 4 * 2, 1));
    ScratchFolder::Write("datos/S/b.wav", Wav(c.bytes - c.bytes / 4 * 2, 2));
    SoundsV1 mem;
    BancoSonidos bank(kBasicSoundCapacity);
    const BasicSoundLoad r = LoadBasicSounds(bank, mem, {"a", "b"}, "datos/S");
    EXPECT_TRUE(r.failedPaths.empty());
    EXPECT_EQ(mem.SoundDataTotal, static_cast<int>(c.bytes));
    EXPECT_EQ(mem.OverCapacity(), c.over);
    EXPECT_EQ(SoundMemoryText(mem.SoundMemoryUsage(), false), c.es);
    EXPECT_EQ(SoundMemoryText(mem.SoundMemoryUsage(), true), c.en);
    std::string err;
    RhythmTables* rt = new RhythmTables;
    EXPECT_EQ(SaveBasicSet(*rt, "S", 1, 1, {"a", "b"}, mem, &err), !c.over);
    if (c.over) {
      EXPECT_NE(err.find("La longitud de los sonidos excede"), std::string::npos);
    }
    delete rt;
  }
}

TEST(BasicSounds, LoadFillsTheBankAndSkipsWhatCannotBeRead) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/S/a.wav", Wav(100, 1));
  ScratchFolder::Write("datos/S/c.wav", Wav(40, 3));
  SoundsV1 mem;
  mem.SoundCountsV1.fill(77);  // counts of an earlier set
  BancoSonidos bank(kBasicSoundCapacity);
  const BasicSoundLoad r = LoadBasicSounds(bank, mem, {"a", "missing", "c"}, "datos/S");
  EXPECT_EQ(r.failedPaths, std::vector<std::string>{"datos/S/missing.wav"});
  EXPECT_EQ(mem.SoundDataTotal, 140);
  EXPECT_EQ(mem.SoundOffsetsV1[2], 100u);
  EXPECT_EQ(mem.SoundCountsV1[0], 50u);
  EXPECT_EQ(mem.SoundCountsV1[1], 0u);  // no samples of its own: sonidos.van counts none
  EXPECT_EQ(mem.SoundCountsV1[2], 20u);
  ASSERT_EQ(bank.Sound(1).length, 50);
  EXPECT_EQ(bank.Sound(2).length, 0);
  ASSERT_EQ(bank.Sound(3).length, 20);
  const Bytes c = Wav(40, 3);
  EXPECT_EQ(std::memcmp(bank.Sound(3).data, c.data() + 44, 40), 0);
  // The counts of sonidos.van add up to its samples.
  const Bytes van = BancoSonidosV1Bytes(mem, {"a", "missing", "c"});
  uint32_t counted = 0;
  for (int j = 0; j < 16; ++j) {
    uint32_t n;
    std::memcpy(&n, van.data() + 128 + 4 * j, 4);
    counted += 2 * n;
  }
  EXPECT_EQ(counted, van.size() - 192);
  // An odd data size: the last byte is no sample and is left out.
  ScratchFolder::Write("datos/S/a.wav", Wav(101, 1));
  LoadBasicSounds(bank, mem, {"a", "c"}, "datos/S");
  EXPECT_EQ(mem.SoundDataTotal, 140);
  EXPECT_EQ(mem.SoundOffsetsV1[1], 100u);
  EXPECT_EQ(std::memcmp(bank.Sound(2).data, c.data() + 44, 40), 0);
  // The last header read stays as the template.
  EXPECT_EQ(mem.WavHeaderTemplate[34], 16);
  EXPECT_EQ(DefaultWavHeaderTemplate()[34], 8);
  uint32_t rate;
  std::memcpy(&rate, DefaultWavHeaderTemplate().data() + 24, 4);
  EXPECT_EQ(rate, 7200u);
}

TEST(BasicSounds, NeverPastTheBuffer) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/S/a.wav", Wav(100000, 1));
  ScratchFolder::Write("datos/S/b.wav", Wav(100000, 2));
  // A header that claims more than the file holds.
  Bytes lying = Wav(10, 3);
  const uint32_t big = 0x7FFFFFF0;
  std::memcpy(lying.data() + 40, &big, 4);
  ScratchFolder::Write("datos/S/c.wav", lying);
  SoundsV1 mem;
  BancoSonidos bank(kBasicSoundCapacity);
  LoadBasicSounds(bank, mem, {"a", "b", "c"}, "datos/S");
  EXPECT_EQ(mem.SoundDataTotal, 200010);
  EXPECT_TRUE(mem.OverCapacity());
  EXPECT_EQ(bank.Sound(1).length, 50000);
  EXPECT_EQ(bank.Sound(2).length, (131072 - 100000) / 2);  // what the buffer holds of it
  EXPECT_EQ(bank.Sound(3).length, 0);
  EXPECT_EQ(BancoSonidosV1Bytes(mem, {"a", "b", "c"}).size(), 192u + 131072u);
}

TEST(BasicSounds, BancoSonidosOfFiveSounds) {
  SoundsV1 mem;
  mem.SoundCountsV1.fill(999);  // left from an earlier set
  for (int j = 0; j < 5; ++j) mem.SoundCountsV1[j] = static_cast<uint32_t>(j + 1);
  mem.SoundDataTotal = 30;
  for (int i = 0; i < 30; ++i) mem.SoundDataV1[i] = static_cast<uint8_t>(i + 1);
  const Bytes b = BancoSonidosV1Bytes(mem, {"uno", "Palmas123456", "tres", "cuatro", "cinco678"});
  ASSERT_EQ(b.size(), 192u + 30);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 40), "uno     Palmas12tres    cuatro  cinco678");
  EXPECT_EQ(std::string(b.begin() + 40, b.begin() + 128), std::string(88, ' '));
  for (int j = 0; j < 16; ++j) {
    uint32_t n;
    std::memcpy(&n, b.data() + 128 + 4 * j, 4);
    EXPECT_EQ(n, j < 5 ? static_cast<uint32_t>(j + 1) : 0u) << j;
  }
  EXPECT_EQ(b[192], 1);
  EXPECT_EQ(b.back(), 30);
}

TEST(BasicRecords, OpenCountsWholeRecordsAndRepairs) {
  ScratchFolder dir;
  auto rt = RhythmTables::Create();
  // Missing files: one empty formula and one empty theme.
  std::vector<int> repaired;
  EXPECT_TRUE(LoadBasicRecords(*rt, "S", &repaired));
  EXPECT_EQ(rt->FormulaCount, 1);
  EXPECT_EQ(rt->TemaCount, 1);
  // 300 bytes: one formula; a theme whose first byte is 0xFF stays unused.
  Bytes f(300, 0);
  f[240] = 0x04;
  std::memcpy(f.data() + 249, "Bulea", 5);
  ScratchFolder::Write("datos/S/formulas.van", f);
  Bytes t(512 * 2 + 100, 0);
  std::memcpy(t.data(), "Primero", 7);
  t[500] = 120;
  t[512] = 0xFF;
  ScratchFolder::Write("datos/S/temas.van", t);
  EXPECT_TRUE(LoadBasicRecords(*rt, "S", &repaired));
  EXPECT_EQ(rt->FormulaCount, 1);
  EXPECT_EQ(ReadFixedName(rt->Formulas[0].name, 16), "Bulea");
  EXPECT_EQ(rt->TemaCount, 2);
  EXPECT_EQ(rt->Temas[0].tempos[0], 120);
  EXPECT_TRUE(rt->Temas[1].Unused());
  // A formula of 13 beats is repaired and keeps its place: the formulas
  // after it are still there, and a save writes them all back.
  Bytes four(256 * 4, 0);
  for (int i = 0; i < 4; ++i) four[256 * i + 240] = 4;
  four[256 * 1 + 240] = 13;
  std::memcpy(four.data() + 256 * 3 + 249, "Ultim", 5);
  ScratchFolder::Write("datos/S/formulas.van", four);
  EXPECT_FALSE(LoadBasicRecords(*rt, "S", &repaired));
  EXPECT_EQ(repaired, std::vector<int>{1});
  EXPECT_EQ(rt->FormulaCount, 4);
  EXPECT_EQ(rt->Formulas[1].Beats(), 12);
  EXPECT_EQ(rt->Formulas[1].accents, kDefaultAccents);
  EXPECT_EQ(ReadFixedName(rt->Formulas[3].name, 16), "Ultim");
  // Files of no whole record: no formula and no theme (the open's grids get
  // no data row); a longer file is read only as far as the tables go.
  ScratchFolder::Write("datos/S/formulas.van", Bytes(255, 0));
  ScratchFolder::Write("datos/S/temas.van", Bytes(512 * 130, 0));
  EXPECT_TRUE(LoadBasicRecords(*rt, "S", &repaired));
  EXPECT_EQ(rt->FormulaCount, 0);
  EXPECT_EQ(rt->TemaCount, 128);
  EXPECT_TRUE(repaired.empty());
}

TEST(BasicRecords, SaveWritesTheOlderRecordsAndKeepsFilesOnFailure) {
  ScratchFolder dir;
  auto rt = RhythmTables::Create();
  rt->Formulas[0].SetHeader(12, 0);
  WriteFixedName(rt->Formulas[0].name, 16, "Soleares");
  rt->Formulas[0].SetStrokeCount(0, 0, 3);
  rt->Formulas[0].cells[0][0] = 7 | (5 << 3) | (2 << 6);  // loud, soft, a code the older records lack
  rt->Formulas[0].sounds[0] = 1;
  WriteFixedName(rt->Temas[0].name, 32, "Un tema de nombre largo");
  rt->Temas[0].entryCount = 200;
  rt->Temas[0].tempos[0] = 180;
  rt->Temas[1].name[0] = static_cast<char>(0xFF);
  SoundsV1 mem;
  std::string err;
  ASSERT_TRUE(SaveBasicSet(*rt, "Mio", 1, 2, {"a", "b"}, mem, &err)) << err;
  EXPECT_EQ(ScratchFolder::Read("datos/Mio.ole"), Ole({"a", "b"}));
  EXPECT_EQ(ScratchFolder::Read("datos/Mio/formulas.van").size(), 256u);
  EXPECT_EQ(ScratchFolder::Read("datos/Mio/temas.van").size(), 1024u);
  EXPECT_EQ(ScratchFolder::Read("datos/Mio/sonidos.van").size(), 192u);
  auto back = RhythmTables::Create();
  LoadBasicRecords(*back, "Mio", nullptr);
  EXPECT_EQ(ReadFixedName(back->Formulas[0].name, 16), "Solea");
  EXPECT_EQ(back->Formulas[0].Stroke(0, 0, 0), 7);
  EXPECT_EQ(back->Formulas[0].Stroke(0, 0, 1), 5);
  EXPECT_EQ(back->Formulas[0].Stroke(0, 0, 2), 0);
  EXPECT_EQ(back->Temas[0].Name(), "Un tema de nom");
  EXPECT_EQ(back->Temas[0].entryCount, 120);
  EXPECT_EQ(back->Temas[0].tempos[0], 180);
  EXPECT_TRUE(back->Temas[1].Unused());
  // A failed write leaves every file as it was and says so.
  rt->FormulaCount = 1;
  SetWriteFailureForTests(3);
  EXPECT_FALSE(SaveBasicSet(*rt, "Mio", 1, 1, {"c"}, mem, &err));
  SetWriteFailureForTests(0);
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(ScratchFolder::Read("datos/Mio.ole"), Ole({"a", "b"}));
  EXPECT_EQ(ScratchFolder::Read("datos/Mio/temas.van").size(), 1024u);
}

TEST(BasicSetPaths, SaveAsNamesAndOpenPaths) {
  const struct {
    const char* path;
    const char* withOle;
    bool refused;
    const char* name;  // "" none
  } cases[] = {
      {"/home/u/datos/Mio", "/home/u/datos/Mio.ole", false, "Mio"},
      {"/home/u/datos/Mio.OLE", "/home/u/datos/Mio.OLE", false, "Mio"},
      {"/home/u/datos/Original.ole", "/home/u/datos/Original.ole", true, "Original"},
      {"/home/u/datos/MiOriginal", "/home/u/datos/MiOriginal.ole", true, "MiOriginal"},
      {"/home/u/datos/NUEVO.Ole", "/home/u/datos/NUEVO.Ole", true, "NUEVO"},
      {"/home/u/otros/Mio", "/home/u/otros/Mio.ole", false, ""},
      {"datos/Mio.ole", "datos/Mio.ole", false, "Mio"},
      {"/home/u/datos/sub/Mio.ole", "/home/u/datos/sub/Mio.ole", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(WithOleExtension(c.path), c.withOle);
    EXPECT_EQ(IsRefusedOleSaveAsPath(WithOleExtension(c.path)), c.refused);
    const auto n = NameFromOlePath(WithOleExtension(c.path));
    EXPECT_EQ(n.value_or(""), c.name);
  }
  EXPECT_EQ(OlePathOf("Mio"), "datos/Mio.ole");
}

// A path chosen in the open dialog names a set by the edition's rules: its
// extension added, the name after "datos"; the same path may name a set in
// one edition and none in the other.
TEST(BasicSetPaths, ChosenPathsNameSetsByEachEditionsRules) {
  const struct {
    const ListFileRules* rules;
    const char* chosen;
    const char* listPath;  // "" names no set
    const char* name;
  } cases[] = {
      {&kOleFileRules, "/home/u/datos/Mio", "/home/u/datos/Mio.ole", "Mio"},
      {&kOleFileRules, "/home/u/datos/Mio.OLE", "/home/u/datos/Mio.OLE", "Mio"},
      {&kOleFileRules, "/home/u/otros/Mio.ole", "", ""},
      {&kOleFileRules, "/home/u/datos/sub/Mio.ole", "", ""},
      {&kListFileRules, "/w/datos/Mio", "/w/datos/Mio.vl2", "Mio"},
      {&kListFileRules, "/w/datos/x/datos/Mio.vl2", "/w/datos/x/datos/Mio.vl2", "x/datos/Mio"},
      {&kListFileRules, "/w/Datos/Mio.vl2", "", ""},
      {&kListFileRules, "/w/datos/Mio.ole", "/w/datos/Mio.ole.vl2", "Mio.ole"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen);
    const std::optional<ChosenSet> set = SetOfChosenPath(*c.rules, c.chosen);
    ASSERT_EQ(set.has_value(), *c.listPath != '\0');
    if (!set) continue;
    EXPECT_EQ(set->listPath, c.listPath);
    EXPECT_EQ(set->name, c.name);
  }
  // The save-as refusals are the editions' own too.
  EXPECT_TRUE(kOleFileRules.refusedForSaveAs("/home/u/datos/MiNuevo.ole"));
  EXPECT_FALSE(kOleFileRules.refusedForSaveAs("/home/u/datos/MiNuevo.vl2"));
  EXPECT_TRUE(kListFileRules.refusedForSaveAs("/w/datos/MiNuevo.vl2"));
}

TEST(BasicSetFiles, NewSetIsSeededFromOriginal) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/Original.ole", Ole({"a", "b"}));
  ScratchFolder::Write("datos/Original/a.wav", Wav(10, 1));
  ScratchFolder::Write("datos/Original/b.WAV", Wav(12, 2));
  ScratchFolder::Write("datos/Original/formulas.van", Bytes(256, 0));
  std::vector<std::string> copied, failures;
  SeedFromOriginal("Nuevo", "datos/Nuevo.ole", &copied, &failures);
  EXPECT_TRUE(failures.empty());
  EXPECT_EQ(copied, (std::vector<std::string>{"datos/Original/a.wav", "datos/Original/b.WAV"}));
  EXPECT_EQ(ReadSoundListV1("datos/Nuevo.ole"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ScratchFolder::Read("datos/Nuevo/b.WAV"), Wav(12, 2));
  EXPECT_FALSE(std::filesystem::exists("datos/Nuevo/formulas.van"));
  EXPECT_EQ(BasicLibraryNames("Nuevo"), (std::vector<std::string>{"a", "b"}));
}

TEST(BasicSetFiles, ImportLoadsAnotherSet) {
  ScratchFolder dir;
  auto rt = RhythmTables::Create();
  EXPECT_FALSE(LoadOtherBasicSet(*rt, "datos/Otro").ok);
  Bytes t(512 * 3, 0);
  std::memcpy(t.data(), "Alegrias", 8);
  std::memcpy(t.data() + 512, "Tangos", 6);
  ScratchFolder::Write("datos/Otro/temas.van", t);
  ScratchFolder::Write("datos/Otro/formulas.van", Bytes(256 * 600, 0));  // read only as far as 512 records
  const OtherBasicSetLoad r = LoadOtherBasicSet(*rt, "datos/Otro");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.formulaCount, 512);
  EXPECT_EQ(r.temaCount, 3);
  EXPECT_EQ(r.temaNames, (std::vector<std::string>{"Alegrias", "Tangos", ""}));
  EXPECT_EQ(rt->ImportTemas[1].Name(), "Tangos");
}

// Names are Latin-1 bytes, the file system's names UTF-8: a set and a sound
// with an accent are found on disk and listed under their own names.
TEST(BasicSetFiles, AccentedNamesMeetTheirFiles) {
  ScratchFolder dir;
  const std::string set = "Comp\xE1s";     // Compás, Latin-1
  const std::string sound = "Tac\xF3n";    // Tacón
  EXPECT_EQ(SetFolderOf(set), "datos/Comp\xC3\xA1s");
  EXPECT_EQ(OlePathOf(set), "datos/Comp\xC3\xA1s.ole");
  EXPECT_EQ(NameFromOlePath("/home/u/datos/Comp\xC3\xA1s.ole").value_or(""), set);
  ScratchFolder::Write("datos/Comp\xC3\xA1s/Tac\xC3\xB3n.wav", Wav(20, 1));
  EXPECT_EQ(BasicLibraryNames(set), std::vector<std::string>{sound});
  SoundsV1 mem;
  BancoSonidos bank(kBasicSoundCapacity);
  EXPECT_TRUE(LoadBasicSounds(bank, mem, {sound}, SetFolderOf(set)).failedPaths.empty());
  EXPECT_EQ(mem.SoundDataTotal, 20);
  auto rt = RhythmTables::Create();
  std::string err;
  ASSERT_TRUE(SaveBasicSet(*rt, set, 1, 1, {sound}, mem, &err)) << err;
  EXPECT_EQ(ReadSoundListV1("datos/Comp\xC3\xA1s.ole"), std::vector<std::string>{sound});
  EXPECT_TRUE(std::filesystem::exists("datos/Comp\xC3\xA1s/sonidos.van"));
}
