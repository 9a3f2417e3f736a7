// PortAudio's initialisation, quiet start and default-device streams.
#include "platform/audio/portaudio_stream.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <strings.h>

namespace audio {

namespace {

std::mutex g_pa_mutex;
int g_pa_users = 0;

// Messages ALSA and JACK printed while PortAudio started (only during
// Pa_Initialize, under g_pa_mutex).
struct StartNoise {
  int count = 0;
  char first[160] = {};

  void Add(const char* text) {
    if (count++ == 0) std::snprintf(first, sizeof first, "%s", text);
  }
};
StartNoise* g_noise = nullptr;

void AlsaErrorHandler(const char* file, int line, const char* function, int err, const char* fmt, ...) {
  (void)file, (void)line, (void)function, (void)err;
  if (!g_noise) return;
  char text[160];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(text, sizeof text, fmt, ap);
  va_end(ap);
  g_noise->Add(text);
}

void JackMessage(const char* text) {
  if (g_noise) g_noise->Add(text);
}

void DefaultJackError(const char* text) { std::fprintf(stderr, "%s\n", text); }
void DefaultJackInfo(const char* text) { std::fprintf(stdout, "%s\n", text); }

PaError QuietInitialize() {
  StartNoise noise;
  g_noise = &noise;
  snd_lib_error_set_handler(&AlsaErrorHandler);
  jack_set_error_function(&JackMessage);
  jack_set_info_function(&JackMessage);
  const PaError err = Pa_Initialize();
  snd_lib_error_set_handler(nullptr);
  jack_set_error_function(&DefaultJackError);
  jack_set_info_function(&DefaultJackInfo);
  g_noise = nullptr;
  // The libraries' complaints while probing (a card that is not there, no
  // JACK server) are usual on any machine: they are worth a line only when
  // no output device was found at all.
  bool anyOutput = false;
  if (err == paNoError)
    for (PaDeviceIndex i = 0, n = Pa_GetDeviceCount(); i < n && !anyOutput; ++i) {
      const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
      anyOutput = info && info->maxOutputChannels > 0;
    }
  if (noise.count > 0 && !anyOutput)
    std::fprintf(stderr, "sound: %d message%s from ALSA and JACK while looking for devices (first: %s)\n",
                 noise.count, noise.count == 1 ? "" : "s", noise.first);
  return err;
}

// The default device of the host API asked for in the environment, or
// PortAudio's default device.
PaDeviceIndex DefaultDevice(bool input, std::string* error) {
  const char* wanted = std::getenv(kAudioHostVariable);
  if (wanted && *wanted) {
    struct Name {
      const char* name;
      PaHostApiTypeId type;
    };
    static constexpr Name kHosts[] = {{"jack", paJACK}, {"alsa", paALSA}, {"oss", paOSS}};
    for (const Name& h : kHosts) {
      if (strcasecmp(wanted, h.name) != 0) continue;
      const PaHostApiIndex api = Pa_HostApiTypeIdToHostApiIndex(h.type);
      const PaHostApiInfo* info = api >= 0 ? Pa_GetHostApiInfo(api) : nullptr;
      if (!info) {
        if (error) *error = std::string("sound system ") + wanted + " not available";
        return paNoDevice;
      }
      return input ? info->defaultInputDevice : info->defaultOutputDevice;
    }
    if (error) *error = std::string("unknown sound system in ") + kAudioHostVariable + ": " + wanted;
    return paNoDevice;
  }
  return input ? Pa_GetDefaultInputDevice() : Pa_GetDefaultOutputDevice();
}

}  // namespace

bool AcquirePortAudio(std::string* error) {
  std::lock_guard lock(g_pa_mutex);
  if (g_pa_users == 0) {
    const PaError err = QuietInitialize();
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
                            const std::function<bool(const StreamFormat&, std::string*)>& ready,
                            std::string* error) {
  if (!AcquirePortAudio(error)) return nullptr;
  std::string why;
  PaStreamParameters p{};
  p.device = DefaultDevice(input, &why);
  const PaDeviceInfo* info = p.device == paNoDevice ? nullptr : Pa_GetDeviceInfo(p.device);
  if (!info) {
    if (error) *error = !why.empty() ? why : input ? "no default input device" : "no default output device";
    ReleasePortAudio();
    return nullptr;
  }
  p.channelCount = channels;
  p.sampleFormat = paInt16;
  p.suggestedLatency = input ? info->defaultLowInputLatency : info->defaultHighOutputLatency;
  PaStreamParameters* in = input ? &p : nullptr;
  PaStreamParameters* out = input ? nullptr : &p;
  double rate = sampleRate;
  if (Pa_IsFormatSupported(in, out, rate) != paFormatIsSupported) {
    // The device's own rate, converted by the caller; an input with fewer
    // channels than asked for is widened or mixed down by the caller too.
    const int maxChannels = input ? info->maxInputChannels : info->maxOutputChannels;
    if (input && maxChannels > 0 && p.channelCount > maxChannels) p.channelCount = maxChannels;
    if (info->defaultSampleRate > 0) rate = info->defaultSampleRate;
  }
  PaStream* stream = nullptr;
  PaError err = Pa_OpenStream(&stream, in, out, rate, paFramesPerBufferUnspecified, paNoFlag, callback, user);
  if (err == paNoError) {
    if (ready && !ready(StreamFormat{rate, p.channelCount}, &why)) {
      Pa_CloseStream(stream);
      if (error) *error = why;
      ReleasePortAudio();
      return nullptr;
    }
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

}  // namespace audio
