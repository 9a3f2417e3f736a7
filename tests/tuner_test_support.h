// What the tuner's window tests of both editions share: the strings of the
// corpus and the text colour a label shows.
#pragma once

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <vector>

#include "tuner/corpus.h"

// A string of the corpus: string 1..6 at a fret, of one sound (and kind of
// noise), detuned by `cents` (0, ±10 or ±25); its note index in *note. Empty
// when the corpus has no such string.
inline std::vector<int16_t> CorpusString(StringSound sound, CorpusNoise noise, int stringNumber, int fret, int cents,
                                         int* note = nullptr) {
  for (const CorpusItem& it : CorpusItems(sound))
    if (it.noise == noise && it.stringNumber == stringNumber && it.fret == fret && it.cents == cents) {
      if (note) *note = it.note;
      return SynthesizeString(it);
    }
  return {};
}

// A plucked string of the corpus in tune.
inline std::vector<int16_t> PluckedString(int stringNumber, int fret, int* note = nullptr) {
  return CorpusString(StringSound::kPlucked, CorpusNoise::kNone, stringNumber, fret, 0, note);
}

// The strings each edition's tuner must show steadily, frame after frame:
// the open A string plucked, under pink noise 10 dB below it, and soft
// (peaking at -30 dBFS), in tune and detuned by 10 cents; what the reading
// ends with ("OK" within 3 cents, "<-" sharp, "->" flat).
struct SteadyString {
  const char* what;
  StringSound sound;
  CorpusNoise noise;
  int cents;
  const char* ending;
};
inline constexpr SteadyString kSteadyStrings[] = {
    {"plucked, in tune", StringSound::kPlucked, CorpusNoise::kNone, 0, "OK"},
    {"plucked, 10 cents flat", StringSound::kPlucked, CorpusNoise::kNone, -10, "->"},
    {"noisy, in tune", StringSound::kNoisy, CorpusNoise::kPink10, 0, "OK"},
    {"noisy, 10 cents sharp", StringSound::kNoisy, CorpusNoise::kPink10, 10, "<-"},
    {"soft, in tune", StringSound::kQuiet, CorpusNoise::kNone, 0, "OK"},
    {"soft, 10 cents flat", StringSound::kQuiet, CorpusNoise::kNone, -10, "->"},
};

inline QColor TextColour(QLabel* l) {
  l->ensurePolished();
  return l->palette().color(QPalette::WindowText);
}
