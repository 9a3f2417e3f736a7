#include "engine/sound_messages.h"

namespace {

// What the user can do about a missing device: the README's two ways.
const char* DeviceHint(bool english) {
  return english ? "Start a JACK server and open the program with VELARTO_AUDIO_HOST=jack, or name the "
                   "sound system in VELARTO_AUDIO_HOST (jack, alsa or oss)."
                 : "Arranque un servidor JACK y abra el programa con VELARTO_AUDIO_HOST=jack, o nombre el "
                   "sistema de sonido en VELARTO_AUDIO_HOST (jack, alsa u oss).";
}

std::string WithSystemText(bool english, std::string text, const std::string& systemText) {
  if (systemText.empty()) return text;
  return text + (english ? " The sound system says: " : " El sistema de sonido dice: ") + systemText;
}

}  // namespace

std::string SoundOutputMissingMessage(bool english, const std::string& systemText) {
  std::string text = english ? "No sound output: the program goes on without sound. "
                             : "No hay salida de sonido: el programa sigue sin sonido. ";
  return WithSystemText(english, text + DeviceHint(english), systemText);
}

std::string SoundInputMissingMessage(bool english, const std::string& systemText) {
  std::string text = english ? "No sound input: the tuner cannot listen. Connect a microphone, or "
                             : "No hay entrada de sonido: el afinador no puede escuchar. Conecte un micrófono, o ";
  std::string hint = DeviceHint(english);
  hint[0] = static_cast<char>(hint[0] - 'A' + 'a');  // the hint goes on the sentence
  return WithSystemText(english, text + hint, systemText);
}

std::string SoundPreviewFailedMessage(bool english, const std::string& systemText) {
  std::string text = english ? "The sound cannot be played: there is no sound output. "
                             : "No se puede escuchar el sonido: no hay salida de sonido. ";
  return WithSystemText(english, text + DeviceHint(english), systemText);
}
