// The basic edition's readers of files from outside: the sound list (.ole),
// a set's sound file and a received sonidos.van split into WAV files. The
// list holds at most 16 clean names, the sound memory is never read or
// written past its buffer, and every WAV file made has sizes that agree
// with its bytes, a name of its own and only samples the input held.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "basic/basic_set.h"
#include "basic/transfer.h"
#include "engine/sound_bank.h"
#include "fuzz_file.h"

namespace {
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);

  // The list file.
  const std::vector<std::string> names = ReadSoundListV1(FuzzFile("lista.ole", data, size));
  if (names.size() > static_cast<size_t>(kBasicSounds)) __builtin_trap();
  for (const std::string& n : names)
    if (n.empty() || n.find('\n') != std::string::npos || n.back() == '\r' || n.back() == ' ') __builtin_trap();

  // The same bytes as a sound file, listed twice.
  FuzzFile("a.wav", data, size);
  static SoundsV1 mem;
  static BancoSonidos bank(kBasicSoundCapacity);
  LoadBasicSounds(bank, mem, {"a", "a"}, FuzzFolder());
  if (mem.SoundDataTotal < 0) __builtin_trap();
  for (int n = 1; n <= 2; ++n) {
    const SoundView v = bank.Sound(n);
    if (v.length < 0 || static_cast<size_t>(v.length) * 2 > kSoundDataV1Bytes) __builtin_trap();
    for (int32_t k = 0; k < v.length; k += 997) (void)v.data[k];
  }
  const std::vector<uint8_t> van = BancoSonidosV1Bytes(mem, {"a", "a"});
  if (van.size() < kBancoHeaderBytes || van.size() > kBancoHeaderBytes + kSoundDataV1Bytes) __builtin_trap();

  // The bytes as a received sonidos.van.
  const auto wavs = SplitBancoSonidos(bytes);
  if (wavs.size() > static_cast<size_t>(kBasicSounds)) __builtin_trap();
  std::set<std::string> seen;
  size_t samples = 0;
  for (const auto& [name, wav] : wavs) {
    if (name.empty() || name[0] == '.' || !seen.insert(name).second) __builtin_trap();
    for (char c : name)
      if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) __builtin_trap();
    if (wav.size() < 44 || std::memcmp(wav.data(), "RIFF", 4) != 0) __builtin_trap();
    if (U32(wav.data() + 40) != wav.size() - 44 || U32(wav.data() + 4) != wav.size() - 8) __builtin_trap();
    if (U32(wav.data() + 24) != 22050 || wav[34] != 16 || wav[22] != 1) __builtin_trap();
    samples += wav.size() - 44;
  }
  if (!wavs.empty() && samples > size - kBancoHeaderBytes) __builtin_trap();
  return 0;
}
