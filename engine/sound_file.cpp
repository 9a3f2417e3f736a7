#include "engine/sound_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <samplerate.h>
#include <sndfile.h>

#include "engine/sound_bank.h"
#include "engine/sound_messages.h"
#include "platform/audio/sound_play.h"
#include "platform/files/atomic_file.h"

namespace {

// libsndfile reads the image through these.
struct MemoryImage {
  const uint8_t* data;
  sf_count_t size;
  sf_count_t pos;
};

sf_count_t ImageLength(void* user) { return static_cast<MemoryImage*>(user)->size; }

sf_count_t ImageSeek(sf_count_t offset, int whence, void* user) {
  auto* m = static_cast<MemoryImage*>(user);
  sf_count_t to = offset;
  if (whence == SEEK_CUR) to = m->pos + offset;
  else if (whence == SEEK_END) to = m->size + offset;
  if (to < 0) return -1;
  m->pos = std::min(to, m->size);
  return m->pos;
}

sf_count_t ImageRead(void* ptr, sf_count_t count, void* user) {
  auto* m = static_cast<MemoryImage*>(user);
  if (count <= 0 || m->pos >= m->size) return 0;
  const sf_count_t n = std::min(count, m->size - m->pos);
  std::memcpy(ptr, m->data + m->pos, static_cast<size_t>(n));
  m->pos += n;
  return n;
}

sf_count_t ImageWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t ImageTell(void* user) { return static_cast<MemoryImage*>(user)->pos; }

bool IntegerSamples(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
      return true;
    default:
      return false;
  }
}

int16_t Quantise(float x) {
  const float v = std::nearbyint(x * 32768.0f);
  if (!(v >= -32768.0f)) return v > 0 ? 32767 : -32768;  // also NaN
  return static_cast<int16_t>(std::min(v, 32767.0f));
}

// Lowest and highest file rates taken: the conversion works within 1:256.
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 768000;
// Frames read at a time.
constexpr size_t kChunkFrames = 16384;

}  // namespace

DecodedSound DecodeSoundImage(const uint8_t* data, size_t size, int rate, size_t maxSamples) {
  DecodedSound d;
  MemoryImage image{data, static_cast<sf_count_t>(size), 0};
  SF_VIRTUAL_IO io{ImageLength, ImageSeek, ImageRead, ImageWrite, ImageTell};
  SF_INFO info{};
  SNDFILE* sf = sf_open_virtual(&io, SFM_READ, &info, &image);
  if (!sf) {
    d.failure = SoundReadFailure::NotASound;
    d.detail = sf_strerror(nullptr);
    return d;
  }
  d.fileRate = info.samplerate;
  d.fileChannels = info.channels;
  if (info.channels < 1 || info.channels > 256) {
    sf_close(sf);
    d.failure = SoundReadFailure::NotASound;
    d.detail = std::to_string(info.channels) + " channels";
    return d;
  }
  const bool sameRate = info.samplerate == rate;
  if (!sameRate && (info.samplerate < kLowestRate || info.samplerate > kHighestRate)) {
    sf_close(sf);
    d.failure = SoundReadFailure::BadRate;
    d.detail = std::to_string(info.samplerate) + " Hz";
    return d;
  }
  const size_t channels = static_cast<size_t>(info.channels);
  if (sameRate && channels == 1 && IntegerSamples(info.format)) {
    // Already the edition's kind of sound: its own samples, bit for bit.
    std::vector<int16_t> chunk(kChunkFrames);
    while (d.samples.size() < maxSamples) {
      const sf_count_t want = static_cast<sf_count_t>(std::min(kChunkFrames, maxSamples - d.samples.size()));
      const sf_count_t got = sf_read_short(sf, chunk.data(), want);
      if (got <= 0) break;
      d.samples.insert(d.samples.end(), chunk.begin(), chunk.begin() + got);
    }
    sf_close(sf);
    return d;
  }
  d.converted = true;
  // The frames to read for maxSamples of output, and a few for the filter.
  const double ratio = static_cast<double>(rate) / info.samplerate;
  const double wantIn = std::ceil(static_cast<double>(maxSamples) / ratio) + 64.0;
  const size_t inLimit = static_cast<size_t>(std::min(wantIn, static_cast<double>(size_t{1} << 31)));
  std::vector<float> mono;
  std::vector<float> chunk(kChunkFrames * channels);
  sf_command(sf, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
  while (mono.size() < inLimit) {
    const sf_count_t want = static_cast<sf_count_t>(std::min(kChunkFrames, inLimit - mono.size()));
    const sf_count_t got = sf_readf_float(sf, chunk.data(), want);
    if (got <= 0) break;
    for (sf_count_t f = 0; f < got; ++f) {
      float sum = 0.0f;
      for (size_t c = 0; c < channels; ++c) sum += chunk[static_cast<size_t>(f) * channels + c];
      mono.push_back(sum / static_cast<float>(channels));
    }
  }
  sf_close(sf);
  std::vector<float> out;
  if (sameRate) {
    out = std::move(mono);
  } else if (!mono.empty()) {
    out.resize(static_cast<size_t>(std::ceil(mono.size() * ratio)) + 16);
    SRC_DATA src{};
    src.data_in = mono.data();
    src.input_frames = static_cast<long>(mono.size());
    src.data_out = out.data();
    src.output_frames = static_cast<long>(out.size());
    src.src_ratio = ratio;
    const int err = src_simple(&src, SRC_SINC_MEDIUM_QUALITY, 1);
    if (err != 0) {
      d.failure = SoundReadFailure::BadRate;
      d.detail = src_strerror(err);
      return d;
    }
    out.resize(static_cast<size_t>(src.output_frames_gen));
  }
  if (out.size() > maxSamples) out.resize(maxSamples);
  d.samples.resize(out.size());
  std::transform(out.begin(), out.end(), d.samples.begin(), Quantise);
  return d;
}

DecodedSound DecodeSoundFile(const std::string& path, int rate, size_t maxSamples) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, kMaxSoundFileBytes, &bytes)) {
    DecodedSound d;
    d.failure = SoundReadFailure::CannotOpen;
    return d;
  }
  return DecodeSoundImage(bytes.data(), bytes.size(), rate, maxSamples);
}

std::string SoundReadMessage(const std::string& path, const DecodedSound& d, bool english) {
  switch (d.failure) {
    case SoundReadFailure::None:
      return {};
    case SoundReadFailure::CannotOpen:
      return (english ? "I cannot open the file:\r\n" : "No se puede abrir el archivo:\r\n") + path;
    case SoundReadFailure::BadRate:
      return path + (english ? " is not a sound file: sample rate not supported, "
                             : " no es un archivo de sonido: frecuencia de muestreo no admitida, ") +
             d.detail;
    case SoundReadFailure::NotASound:
      break;
  }
  return path + (english ? " is not a sound file: " : " no es un archivo de sonido: ") + d.detail;
}

bool PreviewSoundFile(audio::SoundPlayer& player, const std::string& path, int rate, bool english,
                      std::string* message) {
  // The bank's own limit: what a track can play of it.
  DecodedSound d = DecodeSoundFile(path, rate, kMaxSoundBytes / 2);
  if (!d.ok()) {
    if (message) *message = SoundReadMessage(path, d, english);
    return false;
  }
  audio::WavPcm pcm;
  pcm.sampleRate = rate;
  pcm.channels = 1;
  pcm.samples = std::move(d.samples);
  if (!player.PlayDecoded(path, std::move(pcm))) {
    if (message) *message = SoundPreviewFailedMessage(english, player.ErrorText());
    return false;
  }
  return true;
}
