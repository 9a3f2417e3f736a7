// Streams on PortAudio's default devices, shared by the wave output, the
// wave input and the previews, and the one PortAudio initialisation they use.
#pragma once

#include <portaudio.h>

#include <functional>
#include <string>

namespace audio {

// PortAudio is initialised once for all users: each Acquire that returned
// true is matched by one Release. While PortAudio looks for devices, ALSA's
// and JACK's own complaints (dozens of lines without a card or a JACK
// server) are held back; one line on stderr sums them up.
bool AcquirePortAudio(std::string* error);
void ReleasePortAudio();

// The host API whose default devices the streams open: PortAudio's own
// default, or the one named by the environment variable VELARTO_AUDIO_HOST
// ("jack", "alsa", "oss"), so that a JACK server is used even where ALSA has
// devices too.
constexpr const char* kAudioHostVariable = "VELARTO_AUDIO_HOST";

// What a stream was opened with: the device's rate and channels may differ
// from those asked for when the device refused them.
struct StreamFormat {
  double sampleRate = 0;
  int channels = 0;
};

// Opens and starts a 16-bit stream on the default input (or output) device,
// holding one PortAudio use for it. When the device refuses the rate asked
// for (a JACK server runs at its own), the stream is opened at the device's
// own rate instead, and for input with no more channels than the device has.
// `ready` learns what was opened before the stream starts, so the caller can
// set up its conversion; when it returns false (with *error) the stream is
// closed again. Null, with *error saying why,
// when there is no such device or it refuses the stream. Output asks for a
// roomy device buffer (the program keeps a whole beat queued ahead), input
// for a short one.
PaStream* OpenDefaultStream(bool input, int channels, double sampleRate, PaStreamCallback* callback, void* user,
                            const std::function<bool(const StreamFormat&, std::string*)>& ready,
                            std::string* error);

// Stops and closes a stream of OpenDefaultStream and gives its use back.
void CloseDefaultStream(PaStream* stream);

}  // namespace audio
