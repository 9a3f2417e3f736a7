// What the tuner's window tests of both editions share: the plucked strings
// of the corpus and the text colour a label shows.
#pragma once

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <vector>

#include "tuner/corpus.h"

// A plucked string of the corpus in tune: string 1..6 at a fret; its note
// index in *note. Empty when the corpus has no such string.
inline std::vector<int16_t> PluckedString(int stringNumber, int fret, int* note = nullptr) {
  for (const CorpusItem& it : CorpusItems(StringSound::kPlucked))
    if (it.stringNumber == stringNumber && it.fret == fret && it.cents == 0) {
      if (note) *note = it.note;
      return SynthesizeString(it);
    }
  return {};
}

inline QColor TextColour(QLabel* l) {
  l->ensurePolished();
  return l->palette().color(QPalette::WindowText);
}
