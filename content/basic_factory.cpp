#include "content/basic_factory.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "content/factory_set.h"
#include "content/synth.h"
#include "engine/wav.h"
#include "platform/files/atomic_file.h"

namespace {
constexpr int kBasicFactorySounds = 16;

// The device keeps 8 characters of each name: the basic set's sounds have
// names that fit, so the PC and the device show the same ones.
std::string BasicSoundName(const std::string& name) {
  static const struct {
    const char* full;
    const char* shortName;
  } kShort[] = {{"Metronomo", "Metro"},     {"MetronomoAcento", "MetroAc"}, {"PalmasClaras", "Palmas"},
                {"PalmasSordas", "Sordas"}, {"CajonBajo", "Cajon"},         {"CajonSlap", "CajSlap"}};
  for (const auto& s : kShort)
    if (name == s.full) return s.shortName;
  return name.substr(0, 8);
}

// Halves the rate: each output sample is the mean of two input samples.
std::vector<int16_t> HalfRate(const std::vector<int16_t>& in) {
  std::vector<int16_t> out(in.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<int16_t>((in[2 * i] + in[2 * i + 1]) / 2);
  return out;
}
}  // namespace

std::vector<BasicFactorySound> BuildBasicFactorySounds() {
  static_assert(44100 / kBasicFactoryRate == 2);
  const auto& names = FactorySoundNames();
  const size_t count = std::min<size_t>({names.size(), kBasicFactorySounds, kBasicFactoryMaxSounds});
  const size_t perSound = count ? kBasicFactorySampleBytes / 2 / count : 0;
  std::vector<BasicFactorySound> out;
  for (size_t i = 0; i < count; ++i) {
    std::vector<int16_t> s = HalfRate(SynthesizeSound(names[i]));
    if (s.size() > perSound) {
      s.resize(perSound);
      // A short fade where the sound is cut.
      const size_t fade = std::min<size_t>(256, s.size());
      for (size_t k = 0; k < fade; ++k) {
        const size_t j = s.size() - fade + k;
        s[j] = static_cast<int16_t>(s[j] * static_cast<int>(fade - 1 - k) / static_cast<int>(fade));
      }
    }
    out.push_back({BasicSoundName(names[i]), std::move(s)});
  }
  return out;
}

bool WriteBasicWorkingFolder(const std::string& root, std::string* error) {
  namespace fs = std::filesystem;
  const fs::path datos = fs::path(root) / "datos";
  const fs::path original = datos / "Original";
  std::error_code ec;
  fs::create_directories(original, ec);
  fs::create_directories(datos / "wavs", ec);
  if (ec) {
    if (error) *error = "cannot create the folder " + original.string();
    return false;
  }
  std::vector<FileToWrite> files;
  std::vector<std::string> list;
  const std::vector<BasicFactorySound> sounds = BuildBasicFactorySounds();
  for (const BasicFactorySound& s : sounds) {
    files.push_back({(original / (s.name + ".wav")).string(), WavFileImage(s.samples, 1, kBasicFactoryRate)});
    list.push_back(s.name);
  }
  files.push_back({(datos / "Original.ole").string(), SoundListBytes(list)});
  AddBasicFactoryRecords(sounds, original.string(), &files);
  return WriteFilesAtomically(files, error);
}
