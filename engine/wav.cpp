#include "engine/wav.h"

#include <cstring>

namespace {
void Put32(uint8_t* p, uint32_t v) {
  p[0] = v & 0xFF; p[1] = (v >> 8) & 0xFF; p[2] = (v >> 16) & 0xFF; p[3] = (v >> 24) & 0xFF;
}
void Put16(uint8_t* p, uint16_t v) { p[0] = v & 0xFF; p[1] = (v >> 8) & 0xFF; }
}  // namespace

std::array<uint8_t, kWavHeaderBytes> WavHeader(uint32_t dataBytes, int channels, int sampleRate) {
  std::array<uint8_t, kWavHeaderBytes> h{};
  const uint16_t blockAlign = static_cast<uint16_t>(channels * 2);
  std::memcpy(&h[0], "RIFF", 4);
  Put32(&h[4], 36u + dataBytes);
  std::memcpy(&h[8], "WAVE", 4);
  std::memcpy(&h[12], "fmt ", 4);
  Put32(&h[16], 16);
  Put16(&h[20], 1);  // PCM
  Put16(&h[22], static_cast<uint16_t>(channels));
  Put32(&h[24], static_cast<uint32_t>(sampleRate));
  Put32(&h[28], static_cast<uint32_t>(sampleRate) * blockAlign);
  Put16(&h[32], blockAlign);
  Put16(&h[34], 16);
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], dataBytes);
  return h;
}

std::vector<uint8_t> WavFileImage(const std::vector<int16_t>& samples, int channels, int sampleRate) {
  const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out(kWavHeaderBytes + bytes);
  const auto h = WavHeader(bytes, channels, sampleRate);
  std::memcpy(out.data(), h.data(), h.size());
  for (size_t i = 0; i < samples.size(); ++i)
    Put16(&out[kWavHeaderBytes + 2 * i], static_cast<uint16_t>(samples[i]));
  return out;
}
