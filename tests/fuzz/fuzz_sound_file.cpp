// Sound files of any format through libsndfile and the rate conversion, as
// the sound bank, the basic edition's sound memory and the preview read them.
#include <cstddef>
#include <cstdint>

#include "engine/sound_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const int rate : {44100, 22050}) {
    const size_t limit = 1u << 16;
    const DecodedSound d = DecodeSoundImage(data, size, rate, limit);
    if (d.samples.size() > limit) __builtin_trap();
    if (!d.ok() && !d.samples.empty()) __builtin_trap();
    if (d.ok() && !d.converted && (d.fileRate != rate || d.fileChannels != 1)) __builtin_trap();
    (void)SoundReadMessage("x.wav", d, rate == 44100);
  }
  return 0;
}
