// The wave output on PortAudio's default output device.
#include "platform/audio/portaudio_stream.h"
#include "platform/audio/wave_out.h"

namespace audio {

namespace {

class PortAudioWaveOut final : public QueuedWaveOut {
 public:
  PortAudioWaveOut() : QueuedWaveOut(DoneNotifier::Mode::kThread) {}
  ~PortAudioWaveOut() override { Close(); }

 protected:
  bool OpenDevice(const WaveFormat& format, std::string* error) override {
    stream_ = OpenDefaultStream(
        false, format.channels, format.sampleRate, &PortAudioWaveOut::StreamCallback, this,
        [&](const StreamFormat& opened, std::string* why) {
          WaveFormat device = format;
          device.sampleRate = uint32_t(opened.sampleRate);
          return UseDeviceFormat(device, why);
        },
        error);
    return stream_ != nullptr;
  }

  void CloseDevice() override {
    CloseDefaultStream(stream_);
    stream_ = nullptr;
  }

 private:
  static int StreamCallback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                            PaStreamCallbackFlags, void* self) {
    static_cast<PortAudioWaveOut*>(self)->Pull(static_cast<int16_t*>(output), frames);
    return paContinue;
  }

  PaStream* stream_ = nullptr;
};

}  // namespace

std::unique_ptr<WaveOut> CreatePortAudioWaveOut() { return std::make_unique<PortAudioWaveOut>(); }

}  // namespace audio
