// The wave output on PortAudio's default output device, and the shared
// PortAudio initialisation.
#include <portaudio.h>

#include <mutex>

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

namespace {

class PortAudioWaveOut final : public QueuedWaveOut {
 public:
  PortAudioWaveOut() : QueuedWaveOut(DoneNotifier::Mode::kThread) {}
  ~PortAudioWaveOut() override { Close(); }

 protected:
  bool OpenDevice(const WaveFormat& format, std::string* error) override {
    if (!AcquirePortAudio(error)) return false;
    PaStreamParameters out{};
    out.device = Pa_GetDefaultOutputDevice();
    const PaDeviceInfo* info = out.device == paNoDevice ? nullptr : Pa_GetDeviceInfo(out.device);
    if (!info) {
      *error = "no default output device";
      ReleasePortAudio();
      return false;
    }
    out.channelCount = format.channels;
    out.sampleFormat = paInt16;
    // The program keeps a whole beat queued ahead, so a roomy device buffer
    // costs nothing and spares underruns.
    out.suggestedLatency = info->defaultHighOutputLatency;
    PaError err = Pa_OpenStream(&stream_, nullptr, &out, format.sampleRate, paFramesPerBufferUnspecified, paNoFlag,
                                &PortAudioWaveOut::StreamCallback, this);
    if (err == paNoError) {
      err = Pa_StartStream(stream_);
      if (err != paNoError) {
        Pa_CloseStream(stream_);
        stream_ = nullptr;
      }
    }
    if (err != paNoError) {
      stream_ = nullptr;
      *error = std::string(info->name ? info->name : "output device") + ": " + Pa_GetErrorText(err);
      ReleasePortAudio();
      return false;
    }
    return true;
  }

  void CloseDevice() override {
    if (!stream_) return;
    Pa_AbortStream(stream_);
    Pa_CloseStream(stream_);
    stream_ = nullptr;
    ReleasePortAudio();
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
