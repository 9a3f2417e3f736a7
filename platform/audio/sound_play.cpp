// WAV previews: the file reader, the PortAudio player and the test player.
#include "platform/audio/sound_play.h"

#include "platform/audio/portaudio_stream.h"
#include "platform/audio/resampler.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>

#include "platform/audio/wave_out.h"

namespace audio {

namespace {

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// Previews are short sounds; anything bigger is not one of ours.
constexpr size_t kMaxWavFileBytes = size_t(256) << 20;

}  // namespace

bool ParseWavPcm(const uint8_t* bytes, size_t size, WavPcm* out, std::string* error) {
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return false;
  };
  if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
    return fail("not a RIFF WAVE file");
  bool have_format = false;
  uint16_t channels = 0, bits = 0;
  uint32_t rate = 0;
  size_t pos = 12;
  while (pos + 8 <= size) {
    const uint8_t* chunk = bytes + pos;
    const size_t length = Le32(chunk + 4);
    const size_t body = pos + 8;
    const size_t available = std::min(length, size - body);
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (available < 16) return fail("WAV format chunk too short");
      const uint16_t tag = Le16(chunk + 8);
      channels = Le16(chunk + 10);
      rate = Le32(chunk + 12);
      bits = Le16(chunk + 22);
      if (tag != kFormatPcm && tag != kFormatExtensible) return fail("WAV file is not PCM");
      if (channels < 1 || channels > 2) return fail("WAV file is neither mono nor stereo");
      if (bits != 8 && bits != 16) return fail("WAV file is neither 8- nor 16-bit");
      if (rate < 1000 || rate > 384000) return fail("WAV sample rate out of range");
      have_format = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!have_format) return fail("WAV data before its format");
      const size_t sample_bytes = bits / 8;
      const size_t frame_bytes = sample_bytes * channels;
      const size_t frames = available / frame_bytes;
      out->sampleRate = int(rate);
      out->channels = channels;
      out->samples.resize(frames * channels);
      const uint8_t* src = bytes + body;
      for (size_t i = 0; i < out->samples.size(); ++i) {
        out->samples[i] = bits == 16 ? int16_t(Le16(src + 2 * i)) : int16_t((int(src[i]) - 128) * 256);
      }
      return true;
    }
    if (length > size - body) break;
    pos = body + length + (length & 1);  // chunks are padded to even length
  }
  return fail(have_format ? "WAV file has no data" : "WAV file has no format");
}

bool LoadWavPcm(const std::string& path, WavPcm* out, std::string* error) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    if (error) *error = "cannot open " + path;
    return false;
  }
  const std::streamoff size = in.tellg();
  if (size < 0 || size_t(size) > kMaxWavFileBytes) {
    if (error) *error = "cannot read " + path;
    return false;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
    if (error) *error = "cannot read " + path;
    return false;
  }
  if (!ParseWavPcm(bytes.data(), bytes.size(), out, error)) {
    if (error) *error = path + ": " + *error;
    return false;
  }
  return true;
}

// --- PortAudio ---------------------------------------------------------------

namespace {

class PortAudioSoundPlayer final : public SoundPlayer {
 public:
  ~PortAudioSoundPlayer() override { Stop(); }

  bool PlayFile(const std::string& path) override {
    WavPcm pcm;
    std::string error;
    if (!LoadWavPcm(path, &pcm, &error)) {
      Stop();
      return SetError(error);
    }
    return PlayDecoded(path, std::move(pcm));
  }

  bool PlayDecoded(const std::string&, WavPcm pcm) override {
    Stop();
    if (pcm.channels < 1 || pcm.sampleRate <= 0) return SetError("no sound");
    auto sound = std::make_unique<Sound>();
    sound->pcm = std::move(pcm);
    std::string error;
    // A device at another rate gets the whole sound converted before it starts.
    Sound* s = sound.get();
    PaStream* stream = OpenDefaultStream(
        false, s->pcm.channels, s->pcm.sampleRate, &PortAudioSoundPlayer::StreamCallback, s,
        [s](const StreamFormat& opened, std::string* why) {
          if (int(opened.sampleRate) == s->pcm.sampleRate) return true;
          std::vector<int16_t> converted;
          if (!ResampleInterleaved(s->pcm.samples, s->pcm.channels, s->pcm.sampleRate, opened.sampleRate,
                                   &converted, why))
            return false;
          s->pcm.samples = std::move(converted);
          s->pcm.sampleRate = int(opened.sampleRate);
          return true;
        },
        &error);
    if (!stream) return SetError(error);
    std::lock_guard lock(mutex_);
    stream_ = stream;
    sound_ = std::move(sound);
    error_.clear();
    return true;
  }

  void Stop() override {
    PaStream* stream;
    {
      std::lock_guard lock(mutex_);
      stream = stream_;
      stream_ = nullptr;
    }
    if (!stream) return;
    CloseDefaultStream(stream);
    std::lock_guard lock(mutex_);
    sound_.reset();
  }

  bool Playing() const override {
    std::lock_guard lock(mutex_);
    return stream_ && Pa_IsStreamActive(stream_) == 1;
  }

  std::string ErrorText() const override {
    std::lock_guard lock(mutex_);
    return error_;
  }

 private:
  struct Sound {
    WavPcm pcm;
    size_t frame = 0;  // next frame to play; only the stream callback touches it
  };

  static int StreamCallback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                            PaStreamCallbackFlags, void* user) {
    Sound* s = static_cast<Sound*>(user);
    const size_t ch = size_t(s->pcm.channels);
    const size_t total = s->pcm.samples.size() / ch;
    const size_t n = std::min<size_t>(frames, total - s->frame);
    int16_t* out = static_cast<int16_t*>(output);
    // An empty sound (a data chunk without one whole sample) plays silence.
    if (n > 0) std::memcpy(out, s->pcm.samples.data() + s->frame * ch, n * ch * sizeof(int16_t));
    std::memset(out + n * ch, 0, (frames - n) * ch * sizeof(int16_t));
    s->frame += n;
    return s->frame >= total ? paComplete : paContinue;
  }

  bool SetError(const std::string& text) {
    std::lock_guard lock(mutex_);
    error_ = text;
    return false;
  }

  mutable std::mutex mutex_;
  PaStream* stream_ = nullptr;
  std::unique_ptr<Sound> sound_;
  std::string error_;
};

}  // namespace

std::unique_ptr<SoundPlayer> CreatePortAudioSoundPlayer() { return std::make_unique<PortAudioSoundPlayer>(); }

// --- test player -------------------------------------------------------------

bool TestSoundPlayer::PlayFile(const std::string& path) {
  WavPcm pcm;
  std::string error;
  const bool ok = LoadWavPcm(path, &pcm, &error);
  return Record(path, ok, std::move(pcm), error);
}

bool TestSoundPlayer::PlayDecoded(const std::string& path, WavPcm pcm) {
  const bool ok = pcm.channels >= 1 && pcm.sampleRate > 0;
  return Record(path, ok, std::move(pcm), ok ? std::string() : "no sound");
}

bool TestSoundPlayer::Record(const std::string& path, bool ok, WavPcm pcm, std::string error) {
  std::lock_guard lock(mutex_);
  playing_ = false;
  if (ok && !device_failure_.empty()) {
    ok = false;
    error = device_failure_;
  }
  calls_.push_back(SoundCall{"PlayFile", path, ok});
  if (!ok) {
    error_ = error;
    return false;
  }
  error_.clear();
  last_ = std::move(pcm);
  playing_ = true;
  return true;
}

void TestSoundPlayer::Stop() {
  std::lock_guard lock(mutex_);
  calls_.push_back(SoundCall{"Stop", "", true});
  playing_ = false;
}

bool TestSoundPlayer::Playing() const {
  std::lock_guard lock(mutex_);
  return playing_;
}

std::string TestSoundPlayer::ErrorText() const {
  std::lock_guard lock(mutex_);
  return error_;
}

void TestSoundPlayer::FinishPlaying() {
  std::lock_guard lock(mutex_);
  playing_ = false;
}

void TestSoundPlayer::SetDeviceFailure(const std::string& text) {
  std::lock_guard lock(mutex_);
  device_failure_ = text;
}

std::vector<SoundCall> TestSoundPlayer::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

WavPcm TestSoundPlayer::LastSound() const {
  std::lock_guard lock(mutex_);
  return last_;
}

std::unique_ptr<TestSoundPlayer> CreateTestSoundPlayer() { return std::make_unique<TestSoundPlayer>(); }

}  // namespace audio
