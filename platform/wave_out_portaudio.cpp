// The wave output on PortAudio's default output device, and the shared
// PortAudio initialisation.
#include <portaudio.h>

#include <mutex>

#include "platform/portaudio_stream.h"
#include "platform/wave_out.h"

namespace audio {

namespace {
std::mutex g_pa_mutex;
int g_pa_users = 0;
}  // namespace

bool AcquirePortAudio(std::string* error) {
  std::lock_guard lock(g_pa_mutex);
  if (g_pa_users == 0) {
    const PaError err = Pa_Initialize();
    if (err != paNoError) {
      if (error) *error = std::string("PortAudio: ") + Pa_GetErrorText(err);
      return false;
    }
  }
  ++g_pa_users;
  return true;
}

void ReleasePortAudio() {
  std::lock_guard lock(g_pa_mutex);
  if (g_pa_users > 0 && --g_pa_users == 0) Pa_Terminate();
}

PaStream* OpenDefaultStream(bool input, int channels, double sampleRate, PaStreamCallback* callback, void* user,
                            std::string* error) {
  if (!AcquirePortAudio(error)) return nullptr;
  PaStreamParameters p{};
  p.device = input ? Pa_GetDefaultInputDevice() : Pa_GetDefaultOutputDevice();
  const PaDeviceInfo* info = p.device == paNoDevice ? nullptr : Pa_GetDeviceInfo(p.device);
  if (!info) {
    if (error) *error = input ? "no default input device" : "no default output device";
    ReleasePortAudio();
    return nullptr;
  }
  p.channelCount = channels;
  p.sampleFormat = paInt16;
  p.suggestedLatency = input ? info->defaultLowInputLatency : info->defaultHighOutputLatency;
  PaStream* stream = nullptr;
  PaError err = Pa_OpenStream(&stream, input ? &p : nullptr, input ? nullptr : &p, sampleRate,
                              paFramesPerBufferUnspecified, paNoFlag, callback, user);
  if (err == paNoError) {
    err = Pa_StartStream(stream);
    if (err != paNoError) Pa_CloseStream(stream);
  }
  if (err != paNoError) {
    if (error)
      *error = std::string(info->name ? info->name : (input ? "input device" : "output device")) + ": " +
               Pa_GetErrorText(err);
    ReleasePortAudio();
    return nullptr;
  }
  return stream;
}

void CloseDefaultStream(PaStream* stream) {
  if (!stream) return;
  Pa_AbortStream(stream);
  Pa_CloseStream(stream);
  ReleasePortAudio();
}

namespace {

class PortAudioWaveOut final : public QueuedWaveOut {
 public:
  PortAudioWaveOut() : QueuedWaveOut(DoneNotifier::Mode::kThread) {}
  ~PortAudioWaveOut() override { Close(); }

 protected:
  bool OpenDevice(const WaveFormat& format, std::string* error) override {
    stream_ = OpenDefaultStream(false, format.channels, format.sampleRate, &PortAudioWaveOut::StreamCallback, this,
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
