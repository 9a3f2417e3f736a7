#include "guitar/notes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kNoteNames[12] = {"A ", "A#", "B ", "C ", "C#", "D ", "D#", "E ", "F ", "F#", "G ", "G#"};
constexpr int kFieldBytes = kNoteLabelBytes - 2;  // bytes 2..6: four characters and the NUL
constexpr int kFirstStandardLabel = 7;            // E2, the standard 6th string
constexpr int kLastStandardLabel = 50;            // B4, the 1st string's fret 19

// The string-and-fret text of string `digit` at `fret` (negative: below the
// open string), as the loader writes it.
void FormatField(char* field, int digit, int fret) {
  if (fret == 0)
    std::snprintf(field, kFieldBytes, "%c   ", static_cast<char>('0' + digit));
  else
    std::snprintf(field, kFieldBytes, fret > 0 ? "%c+%d" : "%c%d", static_cast<char>('0' + digit), fret);
}

// Pads a field shorter than four characters with blanks.
void PadField(char* field) {
  for (int i = static_cast<int>(std::strlen(field)); i < kFieldBytes - 1; ++i) field[i] = ' ';
  field[kFieldBytes - 1] = '\0';
}

// Calls write(index, digit, fret) along each string's run of labels, in the
// order of the strings 6..1; after string k's run, done(k).
template <typename Write, typename Done>
void ForEachLabelRun(const std::array<int, kGuitarStrings>& tuning, Write write, Done done) {
  for (int k = 0; k < kGuitarStrings; ++k) {
    const int digit = kGuitarStrings - k;
    for (int f = 0; f <= kLastFret; ++f) {
      const int index = tuning[k] + f;
      if (NoteInTable(index)) write(index, digit, f);
      if (k < kGuitarStrings - 1 && index + 1 == tuning[k + 1]) break;
    }
    done(k);
  }
}

}  // namespace

bool NoteInTable(int index) { return index >= 0 && index < kNoteCount; }

float NoteFrequency(int index) {
  if (!NoteInTable(index)) return 0.0f;
  const double f = 440.0 * std::pow(2.0, (index + 33 - 69) / 12.0);
  const int digits = 4 - static_cast<int>(std::floor(std::log10(f)));
  const double scale = std::pow(10.0, digits);
  return static_cast<float>(std::round(f * scale) / scale);
}

NoteTable InitialTablaNotas() {
  NoteTable t{};
  for (int i = 0; i < kNoteCount; ++i) {
    NoteEntry& e = t[static_cast<size_t>(i)];
    std::memset(e.label, 0, sizeof e.label);
    std::memcpy(e.label, kNoteNames[i % 12], 2);
    PadField(e.label + 2);
    e.frequency = NoteFrequency(i);
  }
  ForEachLabelRun(
      kStandardTuning,
      [&](int index, int digit, int fret) {
        if (index < kFirstStandardLabel || index > kLastStandardLabel) return;
        char* field = t[static_cast<size_t>(index)].label + 2;
        FormatField(field, digit, fret);
        PadField(field);
      },
      [](int) {});
  // D2 and D#2: the standard 6th string tuned down.
  for (int below = 1; below <= 2; ++below) {
    char* field = t[static_cast<size_t>(kFirstStandardLabel - below)].label + 2;
    FormatField(field, 6, -below);
    PadField(field);
  }
  return t;
}

std::string LabelText(const NoteEntry& e) {
  const char* end = std::find(e.label, e.label + kNoteLabelBytes, '\0');
  return std::string(e.label, end);
}

std::array<int, kGuitarStrings> ParseTuningOffsets(const std::string& text) {
  std::array<int, kGuitarStrings> offsets{};
  size_t p = 0;
  for (int line = 0; line < kGuitarStrings && p < text.size(); ++line) {
    size_t end = text.find('\n', p);
    if (end == std::string::npos) end = text.size();
    size_t q = p;
    while (q < end && (text[q] == ' ' || text[q] == '\t')) ++q;
    bool negative = false;
    if (q < end && (text[q] == '+' || text[q] == '-')) negative = text[q++] == '-';
    long value = 0;
    while (q < end && text[q] >= '0' && text[q] <= '9') {
      value = value * 10 + (text[q++] - '0');
      if (value > kMaxTuningOffset) value = kMaxTuningOffset;
    }
    offsets[static_cast<size_t>(line)] = static_cast<int>(negative ? -value : value);
    p = end + 1;
  }
  return offsets;
}

std::string ApplyTuning(GuitarTuning& tuning, const std::array<int, kGuitarStrings>& offsets) {
  const NoteTable initial = InitialTablaNotas();
  for (int i = 0; i < kNoteCount; ++i)
    std::memcpy(tuning.TablaNotas[static_cast<size_t>(i)].label, initial[static_cast<size_t>(i)].label, kNoteLabelBytes);
  for (int k = 0; k < kGuitarStrings; ++k) {
    const int offset = std::max(-kMaxTuningOffset, std::min(kMaxTuningOffset, offsets[static_cast<size_t>(k)]));
    tuning.TuningOffsets[static_cast<size_t>(k)] = offset;
    tuning.StringTuning[static_cast<size_t>(k)] = kStandardTuning[static_cast<size_t>(k)] + offset;
  }
  std::string caption;
  ForEachLabelRun(
      tuning.StringTuning,
      [&](int index, int digit, int fret) {
        FormatField(tuning.TablaNotas[static_cast<size_t>(index)].label + 2, digit, fret);
      },
      [&](int k) {
        const int open = tuning.StringTuning[static_cast<size_t>(k)];
        std::string label = NoteInTable(open) ? LabelText(tuning.TablaNotas[static_cast<size_t>(open)]) : std::string();
        label.resize(6, ' ');
        caption += label;
      });
  return caption;
}

namespace {
constexpr int kFirstFretPosition = -2;
constexpr std::array<int, 24> kFretPositions{610, 588, 566, 529, 487, 448, 411, 376, 344, 313, 285, 258,
                                             233, 209, 186, 164, 144, 126, 108, 90,  73,  58,  44,  31};
}  // namespace

int FretPosition(int fret) {
  const int i = std::clamp(fret - kFirstFretPosition, 0, static_cast<int>(kFretPositions.size()) - 1);
  return kFretPositions[static_cast<size_t>(i)];
}
