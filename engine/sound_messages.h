// What the window says when the sound system refuses something: in the
// user's language, what is missing and what to do, with the sound system's
// own text after it. UTF-8.
#pragma once

#include <string>

// No output device: the program goes on without sound.
std::string SoundOutputMissingMessage(bool english, const std::string& systemText);
// No input device for the tuner (said when the tuner opens).
std::string SoundInputMissingMessage(bool english, const std::string& systemText);
// A sound the preview cannot play on the output.
std::string SoundPreviewFailedMessage(bool english, const std::string& systemText);
