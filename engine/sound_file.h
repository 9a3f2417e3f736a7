// Sound files of any common format (WAV of 8/16/24/32-bit integer or float
// samples, WAVE_FORMAT_EXTENSIBLE, AIFF, FLAC, ...), read with libsndfile and
// converted to an edition's own samples: mono, 16-bit, at its rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace audio {
class SoundPlayer;
}

// Why a sound file gave no samples.
enum class SoundReadFailure {
  None,
  CannotOpen,  // missing, not a regular file, or unreadable
  NotASound,   // libsndfile does not take it (the detail is its reason)
  BadRate,     // a sample rate the conversion does not take (detail: the rate)
};

struct DecodedSound {
  std::vector<int16_t> samples;  // mono, 16-bit, at the rate asked for
  int fileRate = 0;
  int fileChannels = 0;
  bool converted = false;  // another rate or more channels than one
  SoundReadFailure failure = SoundReadFailure::None;
  std::string detail;
  bool ok() const { return failure == SoundReadFailure::None; }
};

// Largest sound file read: a longer one is read up to here (its start).
constexpr size_t kMaxSoundFileBytes = size_t{64} << 20;

// A file image in memory, converted to mono 16-bit at rate; at most
// maxSamples are kept (the start of a longer sound). A file already in that
// format (mono, integer samples at that rate) gives its samples unchanged.
DecodedSound DecodeSoundImage(const uint8_t* data, size_t size, int rate, size_t maxSamples);
DecodedSound DecodeSoundFile(const std::string& path, int rate, size_t maxSamples);

// "<path> no es un archivo de sonido: <reason>" / "<path> is not a sound
// file: <reason>"; for CannotOpen the bank's "No se puede abrir el archivo".
std::string SoundReadMessage(const std::string& path, const DecodedSound& d, bool english);

// The preview: plays a sound file as the bank holds it (decoded and
// converted as above, at rate), so that the preview and the mix play the
// same samples. False with *message (in the language asked) when the file
// gives no samples or the player cannot play them.
bool PreviewSoundFile(audio::SoundPlayer& player, const std::string& path, int rate, bool english,
                      std::string* message);
