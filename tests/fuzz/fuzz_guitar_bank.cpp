// Guitar banks: an afinacion.txt and string files of any content are loaded,
// then a beat record of any content is rendered with the bank: during
// playback, as an audition and as single notes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_file.h"
#include "guitar/bank.h"
#include "guitar/render.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  // Byte 0: how much of the rest is afinacion.txt; byte 1: capo; byte 2: the
  // beat's length in frames / 16; the rest after the tuning is every string
  // file and, from its start, the beat record.
  const size_t tuningBytes = std::min<size_t>(data[0], size - 3);
  const int capo = static_cast<int8_t>(data[1]);
  const int frames = 16 * data[2];
  const uint8_t* rest = data + 3 + tuningBytes;
  const size_t restBytes = size - 3 - tuningBytes;

  static const bool made = [] {
    std::filesystem::create_directories(FuzzFolder() + "/F");
    return true;
  }();
  (void)made;
  FuzzFile("F/afinacion.txt", data + 3, tuningBytes);
  for (int n = 1; n <= 6; ++n) {
    // String 4 is missing from every bank.
    const std::string name = "F/c" + std::to_string(n) + ".wav";
    if (n == 4)
      std::filesystem::remove(FuzzFolder() + "/" + name);
    else
      FuzzFile(name, rest, restBytes >> (n % 3));
  }
  BancoGuitarra bank;
  GuitarTuning tuning;
  const GuitarBankLoad load = LoadGuitarBank(bank, tuning, "F", FuzzFolder() + "/");
  (void)GuitarBankMessages(load, true);

  TiempoG beat{};
  std::memcpy(&beat, rest, std::min<size_t>(restBytes, sizeof beat));
  // Voices as a garbled state would leave them: from the beat's spare bytes.
  GuitarVoiceState voices{};
  for (int i = 0; i < kGuitarStrings; ++i) {
    const DivisionG& d = beat.division[i];
    int32_t w[4];
    std::memcpy(w, d.spare, sizeof w);
    voices[static_cast<size_t>(i)] = GuitarVoice{w[0], w[1], w[2], w[3]};
  }
  std::vector<int16_t> out(static_cast<size_t>(frames));
  RenderGuitarBeat(beat, frames, capo, tuning, bank, voices, out.data(), out.size());
  RenderGuitarBeat(beat, frames, capo, tuning, bank, voices, out.data(), out.size());  // ringing on
  std::vector<int16_t> audition(8192);
  (void)RenderBeatAudition(beat, frames, capo, tuning, bank, audition.data(), audition.size());
  for (int n = 0; n <= 7; ++n) (void)RenderGuitarNote(n, beat.division[0].fret[0] + capo, tuning, bank, audition.data(), audition.size());
  return 0;
}
