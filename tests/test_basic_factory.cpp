// The basic edition's factory folder: sounds within the device's memory,
// readable record files, a list naming every sound.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "basic/basic_set.h"
#include "content/basic_factory.h"
#include "rhythm/formats_v1.h"

TEST(BasicFactory, SoundsFitTheDeviceMemory) {
  const auto sounds = BuildBasicFactorySounds();
  ASSERT_FALSE(sounds.empty());
  EXPECT_LE(sounds.size(), 16u);
  size_t bytes = 0;
  for (const auto& s : sounds) {
    EXPECT_FALSE(s.samples.empty()) << s.name;
    EXPECT_LE(s.name.size(), 8u);  // the device's name slot
    bytes += s.samples.size() * 2;
  }
  EXPECT_LE(bytes, kBasicFactorySampleBytes);
}

TEST(BasicFactory, FolderReadsBack) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / "basic_factory_test";
  fs::remove_all(root);
  std::string error;
  ASSERT_TRUE(WriteBasicWorkingFolder(root.string(), &error)) << error;
  const auto names = ReadSoundListV1((root / "datos/Original.ole").string());
  const auto sounds = BuildBasicFactorySounds();
  ASSERT_EQ(names.size(), sounds.size());
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(names[i], sounds[i].name);
    std::ifstream wav(root / "datos/Original" / (names[i] + ".wav"), std::ios::binary);
    char h[44] = {};
    ASSERT_TRUE(wav.read(h, 44));
    const auto u32 = [&](int o) {
      return uint32_t(uint8_t(h[o])) | uint32_t(uint8_t(h[o + 1])) << 8 | uint32_t(uint8_t(h[o + 2])) << 16 |
             uint32_t(uint8_t(h[o + 3])) << 24;
    };
    EXPECT_EQ(u32(24), 22050u);           // rate
    EXPECT_EQ(uint8_t(h[22]), 1);          // mono
    EXPECT_EQ(uint8_t(h[34]), 16);         // bits
  }
  std::vector<FormulaV1> f;
  std::vector<TemaV1> t;
  ASSERT_TRUE(ReadFormulasV1((root / "datos/Original/formulas.van").string(), &f));
  ASSERT_TRUE(ReadTemasV1((root / "datos/Original/temas.van").string(), &t));
  EXPECT_FALSE(f.empty());
  EXPECT_EQ(f.size(), t.size());
  EXPECT_LE(fs::file_size(root / "datos/Original/sonidos.van"), kBancoHeaderBytes + kBasicFactorySampleBytes);
  // The packed names are the list's, whole.
  std::ifstream van(root / "datos/Original/sonidos.van", std::ios::binary);
  char slots[16 * 8] = {};
  ASSERT_TRUE(van.read(slots, sizeof slots));
  for (size_t i = 0; i < names.size(); ++i) {
    std::string slot(slots + 8 * i, 8);
    slot.erase(slot.find_last_not_of(' ') + 1);
    EXPECT_EQ(slot, names[i]);
  }
  fs::remove_all(root);
}
