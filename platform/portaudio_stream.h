// Streams on PortAudio's default devices, shared by the wave output, the
// wave input and the previews.
#pragma once

#include <portaudio.h>

#include <string>

namespace audio {

// Opens and starts a 16-bit stream on the default input (or output) device,
// holding one PortAudio use for it. Null, with *error saying why, when there
// is no such device or it refuses the stream. Output asks for a roomy device
// buffer (the program keeps a whole beat queued ahead), input for a short one.
PaStream* OpenDefaultStream(bool input, int channels, double sampleRate, PaStreamCallback* callback, void* user,
                            std::string* error);

// Stops and closes a stream of OpenDefaultStream and gives its use back.
void CloseDefaultStream(PaStream* stream);

}  // namespace audio
