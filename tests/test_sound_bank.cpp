#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "engine/sound_bank.h"
#include "engine/wav.h"
#include "rhythm/dataset.h"
#include "rhythm/records.h"

namespace fs = std::filesystem;

namespace {

class SoundFolder {
 public:
  SoundFolder() {
    std::random_device rd;
    path_ = fs::temp_directory_path() / ("velarto-bank-" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(path_);
  }
  ~SoundFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string Dir() const { return path_.string() + "/"; }
  std::string PathOf(const std::string& name) const { return Dir() + name + ".wav"; }

  void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(PathOf(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // A proper file of these samples.
  void WriteSound(const std::string& name, const std::vector<int16_t>& samples) const {
    WriteBytes(name, WavFileImage(samples, 1, 44100));
  }
  // A header whose data size says `stated`, followed by `present` data bytes.
  void WriteRaw(const std::string& name, uint32_t stated, size_t present, uint8_t fill = 0x11) const {
    const auto h = WavHeader(stated, 1, 44100);
    std::vector<uint8_t> bytes(h.begin(), h.end());
    bytes.resize(bytes.size() + present, fill);
    WriteBytes(name, bytes);
  }

 private:
  fs::path path_;
};

std::vector<int16_t> Ramp(int n, int start) {
  std::vector<int16_t> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = static_cast<int16_t>(start + i);
  return v;
}

std::vector<int16_t> Samples(const SoundView& v) { return std::vector<int16_t>(v.data, v.data + v.length); }

TEST(SoundBank, LoadsListInOrderAndSkipsAFileThatCannotBeOpened) {
  SoundFolder dir;
  dir.WriteSound("palma", Ramp(100, 1));
  dir.WriteSound("cajon", Ramp(30, -500));
  BancoSonidos bank;
  const SoundLoadResult r = LoadSoundBank(bank, {"palma", "falta", "cajon"}, dir.Dir());

  ASSERT_EQ(r.FailedPaths.size(), 1u);
  EXPECT_EQ(r.FailedPaths[0], dir.PathOf("falta"));
  EXPECT_EQ(CannotOpenMessage(r.FailedPaths[0], false), "No se puede abrir el archivo:\r\n" + dir.PathOf("falta"));
  EXPECT_EQ(CannotOpenMessage("x.wav", true), "I cannot open the file:\r\nx.wav");

  EXPECT_EQ(bank.SoundOffsets[0], 0);
  EXPECT_EQ(bank.SoundLengths[0], 100);
  // The failed sound leaves no bytes: sound 3 follows sound 1 directly.
  EXPECT_EQ(bank.SoundOffsets[2], 200);
  EXPECT_EQ(bank.SoundLengths[2], 30);
  EXPECT_EQ(bank.StreamBytes, 260u);
  EXPECT_EQ(Samples(bank.Sound(1)), Ramp(100, 1));
  EXPECT_EQ(Samples(bank.Sound(3)), Ramp(30, -500));
  EXPECT_EQ(bank.Sound(2).length, 0);
  EXPECT_EQ(bank.Sound(2).data, nullptr);
}

// A FIFO or a folder named like a sound is no sound: the open goes on at
// once instead of waiting for a writer that never comes.
TEST(SoundBank, OnlyRegularFilesAreRead) {
  SoundFolder dir;
  dir.WriteSound("palma", Ramp(10, 1));
  ASSERT_EQ(::mkfifo(dir.PathOf("tubo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.PathOf("carpeta"));
  BancoSonidos bank;
  const SoundLoadResult r = LoadSoundBank(bank, {"tubo", "carpeta", "palma"}, dir.Dir());
  EXPECT_EQ(r.FailedPaths, (std::vector<std::string>{dir.PathOf("tubo"), dir.PathOf("carpeta")}));
  EXPECT_EQ(Samples(bank.Sound(3)), Ramp(10, 1));
}

// A sound of an odd data size gives its whole samples (the odd byte is no
// sample); the next sound follows and plays its own samples, not bytes out
// of step.
TEST(SoundBank, OddDataSizeKeepsEveryWholeSampleAndTheNextSoundFollows) {
  SoundFolder dir;
  dir.WriteRaw("impar", 44101, 44101, 0x22);
  dir.WriteSound("siguiente", Ramp(10, 7));
  BancoSonidos bank;
  LoadSoundBank(bank, {"impar", "siguiente"}, dir.Dir());
  EXPECT_EQ(bank.SoundLengths[0], 22050);
  EXPECT_EQ(bank.SoundOffsets[1], 44100);
  EXPECT_EQ(bank.StreamBytes, 44100u + 20u);
  const SoundView v = bank.Sound(2);
  ASSERT_EQ(v.length, 10);
  EXPECT_EQ(v.data, bank.SoundBankStream.data() + 22050);
  const std::vector<int16_t> ramp = Ramp(10, 7);
  EXPECT_EQ(Samples(v), ramp);
  EXPECT_EQ(SoundPlotSamples(bank, 1), std::vector<int16_t>(ramp.begin(), ramp.begin() + 5));
}

struct HeaderCase {
  const char* what;
  uint32_t stated;
  size_t present;
  int32_t length;  // samples the bank takes
};

class SoundHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(SoundHeader, DataSizeIsBoundedByTheFileAndTheLimit) {
  const HeaderCase& c = GetParam();
  SoundFolder dir;
  dir.WriteRaw("s", c.stated, c.present);
  dir.WriteSound("despues", Ramp(4, 100));
  BancoSonidos bank;
  const SoundLoadResult r = LoadSoundBank(bank, {"s", "despues"}, dir.Dir());
  EXPECT_TRUE(r.FailedPaths.empty());
  EXPECT_EQ(bank.SoundLengths[0], c.length);
  EXPECT_EQ(bank.StreamBytes, std::min({size_t{c.stated}, c.present, kMaxSoundBytes}) + 8u);
  // Whatever the header said, the following sound is intact and in the stream.
  EXPECT_EQ(Samples(bank.Sound(2)), Ramp(4, 100));
  const SoundView v = bank.Sound(1);
  EXPECT_LE(static_cast<size_t>(v.length), bank.SoundBankStream.size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SoundHeader,
    ::testing::Values(HeaderCase{"exact", 200, 200, 100}, HeaderCase{"size past the end", 100000, 60, 30},
                      HeaderCase{"negative size", 0xFFFFFFF0u, 10, 5}, HeaderCase{"zero size", 0, 50, 0},
                      HeaderCase{"data beyond the size is ignored", 10, 500, 5},
                      HeaderCase{"above the limit", 0x7FFFFFFFu, kMaxSoundBytes + 100,
                                 static_cast<int32_t>(kMaxSoundBytes / 2)}),
    [](const auto& info) {
      std::string n = info.param.what;
      for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

// A file shorter than any header is no sound: refused with its reason, and
// its number is silent.
TEST(SoundBank, FileShorterThanTheHeaderIsRefusedWithItsReason) {
  SoundFolder dir;
  dir.WriteBytes("corto", std::vector<uint8_t>(20, 0xFF));
  BancoSonidos bank;
  const SoundLoadResult r = LoadSoundBank(bank, {"corto"}, dir.Dir());
  ASSERT_EQ(r.FailedPaths, std::vector<std::string>{dir.PathOf("corto")});
  EXPECT_EQ(r.FailureTexts[0].rfind(dir.PathOf("corto") + " no es un archivo de sonido: ", 0), 0u) << r.FailureTexts[0];
  EXPECT_EQ(r.FailureTextsEnglish[0].rfind(dir.PathOf("corto") + " is not a sound file: ", 0), 0u);
  EXPECT_EQ(bank.Sound(1).length, 0);
  EXPECT_EQ(bank.StreamBytes, 0u);
}

TEST(SoundBank, ReloadLeavesNoStaleEntryForAFailedOrRemovedSound) {
  SoundFolder dir;
  dir.WriteSound("a", Ramp(50, 1));
  dir.WriteSound("b", Ramp(5000, 1));
  BancoSonidos bank;
  LoadSoundBank(bank, {"a", "b"}, dir.Dir());
  ASSERT_EQ(bank.Sound(2).length, 5000);

  fs::remove(dir.PathOf("b"));
  LoadSoundBank(bank, {"a", "b"}, dir.Dir());
  EXPECT_EQ(bank.Sound(2).length, 0);  // the earlier entry would point past the stream

  dir.WriteSound("b", Ramp(5000, 1));
  LoadSoundBank(bank, {"a", "b"}, dir.Dir());
  LoadSoundBank(bank, {"a"}, dir.Dir());  // b removed from the list
  EXPECT_EQ(bank.Sound(2).length, 0);
  EXPECT_EQ(bank.Sound(1).length, 50);
}

TEST(SoundBank, SoundNumbersWithoutAPlayableSoundAreEmpty) {
  BancoSonidos bank(4);
  bank.Clear(2);
  const std::vector<int16_t> s = Ramp(10, 1);
  bank.Append(0, reinterpret_cast<const uint8_t*>(s.data()), 20);
  bank.Append(1, reinterpret_cast<const uint8_t*>(s.data()), 20);
  for (int n : {0, -1, -128, 3, 4, 5, 64, 255}) EXPECT_EQ(bank.Sound(n).length, 0) << n;
  EXPECT_EQ(bank.Sound(2).length, 10);

  // Entries that do not lie inside the stream are refused.
  bank.SoundOffsets[1] = 1 << 30;
  EXPECT_EQ(bank.Sound(2).length, 0);
  bank.SoundOffsets[1] = 20;
  bank.SoundLengths[1] = 11;
  EXPECT_EQ(bank.Sound(2).length, 0);
  bank.SoundOffsets[1] = -2;
  bank.SoundLengths[1] = 10;
  EXPECT_EQ(bank.Sound(2).length, 0);
}

TEST(SoundBank, CapacityLimitsTheSoundsLoaded) {
  SoundFolder dir;
  for (const char* n : {"a", "b", "c"}) dir.WriteSound(n, Ramp(8, 1));
  BancoSonidos bank(kBasicSoundCapacity);
  EXPECT_EQ(bank.Capacity(), 16);
  BancoSonidos small(2);
  const SoundLoadResult r = LoadSoundBank(small, {"a", "b", "c"}, dir.Dir());
  EXPECT_EQ(r.NamesBeyondCapacity, 1);
  EXPECT_EQ(small.Sound(2).length, 8);
  EXPECT_EQ(small.Sound(3).length, 0);
  EXPECT_EQ(small.StreamBytes, 32u);
}

TEST(SoundBank, PlotShowsTheFirstHalfAndLengthText) {
  BancoSonidos bank;
  bank.Clear(1);
  const std::vector<int16_t> s = Ramp(88200 + 3, -20000);
  bank.Append(0, reinterpret_cast<const uint8_t*>(s.data()), s.size() * 2);
  const std::vector<int16_t> plot = SoundPlotSamples(bank, 0);
  ASSERT_EQ(plot.size(), (88200u + 3u) / 2u);
  EXPECT_EQ(plot.front(), -20000);
  EXPECT_EQ(plot.back(), s[plot.size() - 1]);
  EXPECT_EQ(SoundLengthText(bank, 0), "1.00'");
  EXPECT_TRUE(SoundPlotSamples(bank, 5).empty());
  EXPECT_EQ(SoundCountText(3, false), "3 sonidos");
  EXPECT_EQ(SoundCountText(64, true), "64 sounds");
}

TEST(SoundList, FileRoundTrip) {
  SoundFolder dir;
  const std::string path = dir.Dir() + "set.vl2";
  const std::vector<std::string> names{"Palma Sorda", "Caj\xF3n", "Nudillo"};
  std::string error;
  ASSERT_TRUE(WriteSoundList(path, names, &error)) << error;
  std::vector<std::string> back;
  ASSERT_TRUE(ReadSoundList(path, &back));
  EXPECT_EQ(back, names);
  EXPECT_FALSE(ReadSoundList(dir.Dir() + "none.vl2", &back));
}

// --- list commands -----------------------------------------------------------

class SoundListCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    rt = RhythmTables::Create();
    rt->FormulaCount = 3;
    // Formula 0 uses 2 and 3; formula 2 uses 3, 1, 2; formula 3 lies beyond the count.
    const uint8_t f0[] = {2, 3, 0, 2, 5};
    const uint8_t f2[] = {3, 1, 2};
    std::memcpy(rt->Formulas[0].sounds, f0, sizeof f0);
    std::memcpy(rt->Formulas[2].sounds, f2, sizeof f2);
    rt->Formulas[3].sounds[0] = 3;
    rt->Formulas[3].sounds[15] = 2;
  }
  std::vector<uint8_t> Sounds(int f) const {
    const auto& s = rt->Formulas[static_cast<size_t>(f)].sounds;
    return std::vector<uint8_t>(s, s + 16);
  }
  static std::vector<uint8_t> Row(std::initializer_list<uint8_t> head) {
    std::vector<uint8_t> v(16, 0);
    std::copy(head.begin(), head.end(), v.begin());
    return v;
  }
  std::unique_ptr<RhythmTables> rt;
  std::vector<std::string> list{"uno", "dos", "tres"};
};

TEST_F(SoundListCommands, MoveUpSwapsTheTwoNumbersInEveryFormula) {
  ASSERT_TRUE(SoundListMoveUp(list, 2, *rt));
  EXPECT_EQ(list, (std::vector<std::string>{"uno", "tres", "dos"}));
  EXPECT_EQ(Sounds(0), Row({3, 2, 0, 3, 5}));
  EXPECT_EQ(Sounds(2), Row({2, 1, 3}));
  EXPECT_EQ(Sounds(1), Row({}));
  // Beyond FormulaCount nothing changes.
  EXPECT_EQ(rt->Formulas[3].sounds[0], 3);
  EXPECT_EQ(rt->Formulas[3].sounds[15], 2);
}

TEST_F(SoundListCommands, MoveDownSwapsTheTwoNumbersAndUndoesMoveUp) {
  ASSERT_TRUE(SoundListMoveDown(list, 0, *rt));
  EXPECT_EQ(list, (std::vector<std::string>{"dos", "uno", "tres"}));
  EXPECT_EQ(Sounds(0), Row({1, 3, 0, 1, 5}));
  EXPECT_EQ(Sounds(2), Row({3, 2, 1}));
  ASSERT_TRUE(SoundListMoveUp(list, 1, *rt));
  EXPECT_EQ(list, (std::vector<std::string>{"uno", "dos", "tres"}));
  EXPECT_EQ(Sounds(0), Row({2, 3, 0, 2, 5}));
  EXPECT_EQ(Sounds(2), Row({3, 1, 2}));
}

TEST_F(SoundListCommands, MovesOutsideTheListChangeNothing) {
  const auto before0 = Sounds(0);
  EXPECT_FALSE(SoundListMoveUp(list, 0, *rt));
  EXPECT_FALSE(SoundListMoveUp(list, 3, *rt));
  EXPECT_FALSE(SoundListMoveUp(list, -1, *rt));
  EXPECT_FALSE(SoundListMoveDown(list, 2, *rt));
  EXPECT_FALSE(SoundListMoveDown(list, -1, *rt));
  EXPECT_EQ(list, (std::vector<std::string>{"uno", "dos", "tres"}));
  EXPECT_EQ(Sounds(0), before0);
  // A count beyond the table is bounded by it.
  rt->FormulaCount = 100000;
  EXPECT_TRUE(SoundListMoveDown(list, 1, *rt));
}

TEST_F(SoundListCommands, RemoveLeavesTheFormulaNumbers) {
  ASSERT_TRUE(SoundListRemove(list, 1));
  EXPECT_EQ(list, (std::vector<std::string>{"uno", "tres"}));
  EXPECT_EQ(Sounds(0), Row({2, 3, 0, 2, 5}));
  EXPECT_EQ(Sounds(2), Row({3, 1, 2}));
  EXPECT_FALSE(SoundListRemove(list, 2));
  EXPECT_FALSE(SoundListRemove(list, -1));
}

TEST_F(SoundListCommands, AddAndChange) {
  EXPECT_EQ(SoundListAdd(list, "cuatro", 64), 3);
  EXPECT_EQ(SoundListAdd(list, "dos", 64), -1);  // already listed
  EXPECT_EQ(SoundListAdd(list, "cinco", 4), -1);  // full
  EXPECT_EQ(list.size(), 4u);

  EXPECT_FALSE(SoundListChange(list, 0, "tres"));  // already listed: nothing happens
  EXPECT_EQ(list[0], "uno");
  EXPECT_TRUE(SoundListChange(list, 0, "seis"));
  EXPECT_EQ(list[0], "seis");
  EXPECT_FALSE(SoundListChange(list, 9, "siete"));
}

TEST(SoundListMenus, EnablingAndLibraryColours) {
  struct Case {
    int count, selected;
    bool up, down;
  };
  for (const Case& c : {Case{3, 0, false, true}, Case{3, 1, true, true}, Case{3, 2, true, false},
                        Case{1, 0, false, false}, Case{3, -1, false, false}, Case{0, -1, false, false}}) {
    const SoundListMenu m = SoundListMenuState(c.count, c.selected);
    EXPECT_EQ(m.moveUp, c.up) << c.count << " " << c.selected;
    EXPECT_EQ(m.moveDown, c.down) << c.count << " " << c.selected;
    EXPECT_TRUE(m.remove);
    EXPECT_TRUE(m.change);
  }

  std::vector<std::string> list;
  for (int i = 0; i < 63; ++i) list.push_back("s" + std::to_string(i));
  EXPECT_EQ(LibraryItemColour(list, "s5", 64), LibraryColour::Red);
  EXPECT_EQ(LibraryItemColour(list, "nuevo", 64), LibraryColour::Lime);
  EXPECT_TRUE(LibraryAddEnabled(list, "nuevo", 64));
  EXPECT_FALSE(LibraryAddEnabled(list, "s5", 64));
  list.push_back("s63");
  EXPECT_EQ(LibraryItemColour(list, "nuevo", 64), LibraryColour::Silver);
  EXPECT_EQ(LibraryItemColour(list, "s63", 64), LibraryColour::Red);
  EXPECT_FALSE(LibraryAddEnabled(list, "nuevo", 64));
  // The basic edition's list is full at 16.
  list.resize(15);
  EXPECT_EQ(LibraryItemColour(list, "nuevo", kBasicSoundCapacity), LibraryColour::Lime);
  list.push_back("x");
  EXPECT_EQ(LibraryItemColour(list, "nuevo", kBasicSoundCapacity), LibraryColour::Silver);
}

}  // namespace
