// Sounds of every common format become the edition's own samples: the right
// length, pitch and level at its rate, in the bank, in the basic edition's
// sound memory and in the preview alike; a file that is no sound is refused
// with its reason; a file already in the edition's format gives its own
// samples bit for bit.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "basic/basic_set.h"
#include "engine/sound_bank.h"
#include "engine/sound_file.h"
#include "engine/wav.h"
#include "platform/audio/sound_play.h"
#include "sound_formats.h"
#include "temp_dir.h"

namespace {
std::vector<int16_t> Samples(const SoundView& v) { return std::vector<int16_t>(v.data, v.data + v.length); }
}  // namespace

class SoundFormats : public ::testing::TestWithParam<SoundFormatCase> {};

TEST_P(SoundFormats, EveryFormatPlaysAtItsPitchAndLengthInBothEditions) {
  const SoundFormatCase& c = GetParam();
  ScratchFolder dir;
  std::filesystem::create_directories("BancoDeSonidos");
  ASSERT_TRUE(WriteSine("BancoDeSonidos/tono.wav", c, 440.0, 0.5, 0.5)) << sf_strerror(nullptr);

  BancoSonidos bank;
  const SoundLoadResult r = LoadSoundBank(bank, {"tono"}, kSoundFolder, 44100);
  ASSERT_TRUE(r.FailedPaths.empty()) << r.FailureTexts[0];
  const std::vector<int16_t> pro = Samples(bank.Sound(1));
  EXPECT_NEAR(static_cast<double>(pro.size()), 22050.0, 20.0);  // half a second
  EXPECT_NEAR(PitchOf(pro, 44100), 440.0, 2.0);                  // not an octave off
  EXPECT_NEAR(PeakOf(pro), 16384, 16384 * 0.03);                 // level kept, whatever the width

  // The preview plays what the bank holds.
  audio::TestSoundPlayer player;
  std::string why;
  ASSERT_TRUE(PreviewSoundFile(player, "BancoDeSonidos/tono.wav", 44100, false, &why)) << why;
  EXPECT_EQ(player.LastSound().samples, pro);
  EXPECT_EQ(player.LastSound().channels, 1);
  EXPECT_EQ(player.LastSound().sampleRate, 44100);

  // The basic edition: 22050 Hz, and the meter counts the converted samples.
  ScratchFolder::Write("datos/S/tono.wav", ScratchFolder::Read("BancoDeSonidos/tono.wav"));
  SoundsV1 mem;
  BancoSonidos basicBank(kBasicSoundCapacity);
  const BasicSoundLoad b = LoadBasicSounds(basicBank, mem, {"tono"}, "datos/S");
  ASSERT_TRUE(b.failedPaths.empty());
  const std::vector<int16_t> basic = Samples(basicBank.Sound(1));
  EXPECT_NEAR(static_cast<double>(basic.size()), 11025.0, 10.0);
  EXPECT_EQ(mem.SoundCountsV1[0], basic.size());
  EXPECT_EQ(mem.SoundDataTotal, static_cast<int>(basic.size() * 2));
  EXPECT_NEAR(PitchOf(basic, 22050), 440.0, 2.0);
  EXPECT_NEAR(PeakOf(basic), 16384, 16384 * 0.03);
  // The device gets the same samples (sonidos.van) as the mixer plays.
  const std::vector<uint8_t> van = BancoSonidosV1Bytes(mem, {"tono"});
  ASSERT_EQ(van.size(), 192u + basic.size() * 2);
  EXPECT_EQ(std::memcmp(van.data() + 192, basic.data(), basic.size() * 2), 0);
  ASSERT_TRUE(PreviewSoundFile(player, "datos/S/tono.wav", 22050, false, &why)) << why;
  EXPECT_EQ(player.LastSound().samples, basic);
}

INSTANTIATE_TEST_SUITE_P(Cases, SoundFormats, ::testing::ValuesIn(SoundFormatCases()),
                         [](const auto& info) { return std::string(info.param.what); });

// A file in the edition's own format gives its samples unchanged: the
// factory sounds play as they always have.
TEST(SoundFile, TheEditionsOwnFormatIsTakenBitForBit) {
  std::vector<int16_t> samples(5000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>((i * 7919) % 65536 - 32768);
  for (int rate : {44100, 22050}) {
    const std::vector<uint8_t> image = WavFileImage(samples, 1, rate);
    const DecodedSound d = DecodeSoundImage(image.data(), image.size(), rate, 1u << 20);
    ASSERT_TRUE(d.ok()) << d.detail;
    EXPECT_FALSE(d.converted);
    EXPECT_EQ(d.samples, samples);
  }
  // The length limit takes the start.
  const std::vector<uint8_t> image = WavFileImage(samples, 1, 44100);
  const DecodedSound d = DecodeSoundImage(image.data(), image.size(), 44100, 100);
  EXPECT_EQ(d.samples, std::vector<int16_t>(samples.begin(), samples.begin() + 100));
}

// What is no sound is refused with the reason, in each language; the set's
// list is not the place to find out.
TEST(SoundFile, WhatIsNoSoundIsRefusedWithItsReason) {
  ScratchFolder dir;
  const std::vector<uint8_t> text = {'h', 'o', 'l', 'a', ' ', 'm', 'u', 'n', 'd', 'o', '\n'};
  ScratchFolder::Write("texto.wav", text);
  DecodedSound d = DecodeSoundFile("texto.wav", 44100, 100);
  EXPECT_EQ(d.failure, SoundReadFailure::NotASound);
  EXPECT_FALSE(d.detail.empty());
  EXPECT_EQ(SoundReadMessage("texto.wav", d, false), "texto.wav no es un archivo de sonido: " + d.detail);
  EXPECT_EQ(SoundReadMessage("texto.wav", d, true), "texto.wav is not a sound file: " + d.detail);

  d = DecodeSoundFile("falta.wav", 44100, 100);
  EXPECT_EQ(d.failure, SoundReadFailure::CannotOpen);
  EXPECT_EQ(SoundReadMessage("falta.wav", d, false), "No se puede abrir el archivo:\r\nfalta.wav");

  // A rate no conversion takes.
  std::vector<uint8_t> slow = WavFileImage(std::vector<int16_t>(100, 1), 1, 44100);
  const uint32_t rate = 10;
  std::memcpy(slow.data() + 24, &rate, 4);
  d = DecodeSoundImage(slow.data(), slow.size(), 44100, 100);
  EXPECT_EQ(d.failure, SoundReadFailure::BadRate);
  EXPECT_NE(SoundReadMessage("x.wav", d, false).find("no es un archivo de sonido"), std::string::npos);

  audio::TestSoundPlayer player;
  std::string why;
  EXPECT_FALSE(PreviewSoundFile(player, "texto.wav", 44100, true, &why));
  EXPECT_EQ(why.rfind("texto.wav is not a sound file: ", 0), 0u);
  EXPECT_TRUE(player.Calls().empty());
}

// One message for all the sounds of a load that failed, with the count and
// the first of them; one failure is said as it is.
TEST(SoundFile, FailedSoundsMakeOneMessage) {
  EXPECT_EQ(SoundFailuresMessage({}, false), "");
  EXPECT_EQ(SoundFailuresMessage({"No se puede abrir el archivo:\r\na.wav"}, false),
            "No se puede abrir el archivo:\r\na.wav");
  std::vector<std::string> many;
  for (int i = 0; i < 64; ++i) many.push_back("I cannot open the file:\r\ns" + std::to_string(i) + ".wav");
  const std::string en = SoundFailuresMessage(many, true);
  EXPECT_EQ(en.rfind("I cannot load 64 sound files:\r\nI cannot open the file:  s0.wav\r\n", 0), 0u) << en;
  EXPECT_NE(en.find("s4.wav\r\n... and 59 more"), std::string::npos) << en;
  EXPECT_EQ(en.find("s5.wav"), std::string::npos);
  const std::string es = SoundFailuresMessage(many, false);
  EXPECT_EQ(es.rfind("No se pueden cargar 64 archivos de sonido:", 0), 0u);
  EXPECT_NE(es.find("... y 59 m\xC3\xA1s"), std::string::npos);
}

// An empty sound loads as silence and is named once by the load.
TEST(SoundFile, AnEmptySoundIsNamed) {
  ScratchFolder dir;
  ScratchFolder::Write("BancoDeSonidos/nada.wav", WavFileImage({}, 1, 44100));
  BancoSonidos bank;
  const SoundLoadResult r = LoadSoundBank(bank, {"nada"}, kSoundFolder, 44100);
  EXPECT_TRUE(r.FailedPaths.empty());
  EXPECT_EQ(r.EmptyPaths, std::vector<std::string>{"BancoDeSonidos/nada.wav"});
  EXPECT_EQ(bank.Sound(1).length, 0);
  EXPECT_EQ(EmptySoundText("x.wav", false), "El sonido x.wav est\xC3\xA1 vac\xC3\xADo");
  EXPECT_EQ(EmptySoundText("x.wav", true), "The sound x.wav is empty");
}
