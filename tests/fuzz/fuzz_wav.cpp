// WAV file images: the preview's parser and the sound bank's data size.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/sound_bank.h"
#include "platform/audio/sound_play.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  audio::WavPcm pcm;
  std::string error;
  if (audio::ParseWavPcm(data, size, &pcm, &error)) {
    if (pcm.channels < 1 || pcm.channels > 2 || pcm.samples.size() % static_cast<size_t>(pcm.channels) != 0)
      __builtin_trap();
  }
  const std::vector<uint8_t> file(data, data + size);
  const size_t bytes = SoundDataBytes(file);
  if (bytes > kMaxSoundBytes || (bytes > 0 && bytes > size - 44)) __builtin_trap();
  return 0;
}
