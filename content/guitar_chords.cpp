#include "content/guitar_chords.h"

#include <array>
#include <filesystem>

#include "guitar/chords.h"

namespace {

constexpr int kFactoryStrength = 5;  // TBFuerza's starting position
constexpr int kFactoryStrum = 5;     // TBRetardo's starting position

}  // namespace

const std::vector<FactoryChord>& FactoryChords() {
  static const std::vector<FactoryChord> chords = {
      {"E", {0, 2, 2, 1, 0, 0}},    {"Em", {0, 2, 2, 0, 0, 0}},   {"E7", {0, 2, 0, 1, 0, 0}},
      {"F", {1, 3, 3, 2, 1, 1}},    {"G", {3, 2, 0, 0, 0, 3}},    {"Am", {-1, 0, 2, 2, 1, 0}},
      {"A", {-1, 0, 2, 2, 2, 0}},   {"A7", {-1, 0, 2, 0, 2, 0}},  {"B7", {-1, 2, 1, 2, 0, 2}},
      {"C", {-1, 3, 2, 0, 1, 0}},   {"D", {-1, -1, 0, 2, 3, 2}},  {"Dm", {-1, -1, 0, 2, 3, 1}},
  };
  return chords;
}

std::vector<uint8_t> FactoryChordBytes(const FactoryChord& chord) {
  std::array<ChordFileString, kGuitarStrings> strings;
  int delay = 0;
  for (int i = 0; i < kGuitarStrings; ++i) {
    ChordFileString& s = strings[static_cast<size_t>(i)];
    const int fret = chord.frets[i];
    s.mode = kModeNormal;
    if (fret < 0) continue;  // fret 0, no strength, no delay
    s.fret = fret;
    s.strength = std::to_string(kFactoryStrength);
    s.delay = std::to_string(delay);
    delay += kFactoryStrum;
  }
  return ChordFileBytes(strings);
}

bool AddFactoryChords(const std::string& chordFolder, std::vector<FileToWrite>* files, std::string* error) {
  if (!MakeDirs(chordFolder, error)) return false;
  for (const FactoryChord& c : FactoryChords())
    files->push_back({(std::filesystem::path(chordFolder) / (std::string(c.name) + kChordExtension)).string(),
                      FactoryChordBytes(c)});
  return true;
}
