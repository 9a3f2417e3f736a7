#include "guitar/bank.h"

#include <algorithm>

#include "engine/wav.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"

namespace {

// afinacion.txt is six short lines; more than this is not a tuning file.
constexpr size_t kMaxTuningFileBytes = 4096;

std::string BankFolder(const std::string& folder, const std::string& bank) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path.push_back('/');
  return path + FsName(bank) + "/";
}

}  // namespace

SoundView BancoGuitarra::String(int i) const {
  if (i < 0 || i >= kGuitarStrings) return {};
  const int32_t offset = GuitarSampleOffsets[static_cast<size_t>(i)];
  const int32_t length = GuitarSampleLengths[static_cast<size_t>(i)];
  if (offset < 0 || length <= 0) return {};
  if (static_cast<size_t>(offset) + static_cast<size_t>(length) > GuitarBankStream.size()) return {};
  return SoundView{GuitarBankStream.data() + offset, length};
}

std::string GuitarStringPath(const std::string& folder, const std::string& bank, int stringNumber) {
  return BankFolder(folder, bank) + "c" + std::to_string(stringNumber) + ".wav";
}

GuitarBankLoad LoadGuitarBank(BancoGuitarra& bank, GuitarTuning& tuning, const std::string& name,
                              const std::string& folder) {
  GuitarBankLoad result;
  bank.GuitarBankStream.clear();
  bank.GuitarSampleOffsets.fill(0);
  bank.GuitarSampleLengths.fill(0);
  bank.GuitarBankName = name;

  std::array<int, kGuitarStrings> offsets{};
  std::vector<uint8_t> file;
  if (ReadFileBytes(BankFolder(folder, name) + kTuningFileName, kMaxTuningFileBytes, &file))
    offsets = ParseTuningOffsets(std::string(file.begin(), file.end()));
  result.TuningCaption = ApplyTuning(tuning, offsets);

  for (int k = 0; k < kGuitarStrings; ++k) {
    const std::string path = GuitarStringPath(folder, name, kGuitarStrings - k);
    // Every string's entry points at the end of what is loaded so far, so a
    // string that fails is empty there rather than a leftover of the bank
    // loaded before.
    bank.GuitarSampleOffsets[static_cast<size_t>(k)] = static_cast<int32_t>(bank.GuitarBankStream.size());
    if (!ReadFileBytes(path, kWavHeaderBytes + kMaxSoundBytes, &file)) {
      result.FailedPaths.push_back(path);
      continue;
    }
    const size_t samples = SoundDataBytes(file) / 2;
    const uint8_t* data = file.data() + kWavHeaderBytes;
    // Room for the strings still to come too, as long as this one: the
    // stream is moved once rather than once a string.
    if (bank.GuitarBankStream.capacity() < bank.GuitarBankStream.size() + samples)
      bank.GuitarBankStream.reserve(bank.GuitarBankStream.size() + samples * static_cast<size_t>(kGuitarStrings - k));
    for (size_t s = 0; s < samples; ++s)
      bank.GuitarBankStream.push_back(static_cast<int16_t>(static_cast<uint16_t>(data[2 * s] | (data[2 * s + 1] << 8))));
    bank.GuitarSampleLengths[static_cast<size_t>(k)] = static_cast<int32_t>(samples);
  }
  return result;
}

std::vector<std::string> GuitarBankMessages(const GuitarBankLoad& load, bool english) {
  std::vector<std::string> messages;
  for (const std::string& path : load.FailedPaths) messages.push_back(CannotOpenMessage(path, english));
  return messages;
}
