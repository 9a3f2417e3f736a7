// The guitar's note table and the tuning of its six strings.
//
// TablaNotas lists 62 equal-tempered notes, A1 (index 0, MIDI 33) up to A#6
// (index 61). Each entry has a frequency, which the pitch shift of the
// renderers and the tuner use, and a 7-byte label: the note name in bytes
// 0-1 and, from byte 2, a NUL-terminated field naming the highest string that
// plays the note and its fret ("6   " open, "6+1", "6-2" below the open
// string, blanks when no string plays it). A bank load rewrites the labels for
// the bank's tuning.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "guitar/guitar_records.h"

constexpr int kNoteCount = 62;
constexpr int kNoteLabelBytes = 7;
constexpr int kLastFret = 21;  // the highest fret a label run reaches

struct NoteEntry {
  char label[kNoteLabelBytes];
  float frequency;
};
using NoteTable = std::array<NoteEntry, kNoteCount>;

// Open strings of the standard tuning, index 0 = 6th string: E2 A2 D3 G3 B3 E4.
constexpr std::array<int, kGuitarStrings> kStandardTuning{7, 12, 17, 22, 26, 31};

// 440 x 2^((m - 69) / 12) for MIDI note m = index + 33, rounded to 5
// significant digits; 0 for an index outside the table.
float NoteFrequency(int index);
bool NoteInTable(int index);

// The table before any bank is loaded: blank fields below D2 and above B4,
// D2 and D#2 on the 6th string below its open note (-2, -1), and the
// standard tuning's fields in between, padded to four characters.
NoteTable InitialTablaNotas();

// The label up to its NUL (at most 7 characters).
std::string LabelText(const NoteEntry& e);

struct GuitarTuning {
  NoteTable TablaNotas = InitialTablaNotas();
  // Note index of each open string, index 0 = 6th string.
  std::array<int, kGuitarStrings> StringTuning = kStandardTuning;
  // The loaded bank's offsets in semitones (from afinacion.txt), strings 6..1.
  std::array<int, kGuitarStrings> TuningOffsets{};
};

// Largest offset taken from afinacion.txt; a larger number is limited to it
// (it lies far outside the table either way).
constexpr int kMaxTuningOffset = 999;

// The six offsets of an afinacion.txt text: line n gives string 7 - n. Each
// line is read as leading blanks, an optional sign and digits; a line without
// them, and a missing line, count 0.
std::array<int, kGuitarStrings> ParseTuningOffsets(const std::string& text);

// Applies a bank's offsets: the labels go back to their initial values,
// StringTuning := standard + offsets, and every string writes its run of
// labels (fret 0 up to the fret below the next string's open note, the 1st
// string up to fret 21; entries outside the table are left alone). Returns
// the caption of the six open-string labels, 6 characters each.
std::string ApplyTuning(GuitarTuning& tuning, const std::array<int, kGuitarStrings>& offsets);

// --- the fretboard picture ------------------------------------------------------
// The x of fret f on the fretboard picture (the nut on the right), for frets
// -2..21: the picture ends at fret 19, frets 20 and 21 continue its narrowing
// spacing. Frets outside are held at the ends.
int FretPosition(int fret);
