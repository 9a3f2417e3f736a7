#include "content/guitar_chords.h"

#include <array>
#include <filesystem>

#include "guitar/chords.h"
#include "guitar/gtr_file.h"

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

namespace {
const FactoryChord& ChordNamed(const char* name) {
  for (const FactoryChord& c : FactoryChords())
    if (std::string(c.name) == name) return c;
  return FactoryChords().front();
}

// A strum of a chord in division d: string 6 first when down, 1 first when up.
void Strum(TiempoG& t, int d, const FactoryChord& chord, int strength, int mode, bool down) {
  int delay = 0;
  for (int k = 0; k < kGuitarStrings; ++k) {
    const int i = down ? k : kGuitarStrings - 1 - k;  // string index, 0 = 6th string
    if (chord.frets[i] < 0) continue;
    DivisionG& div = t.division[d];
    div.fret[i] = static_cast<uint8_t>(chord.frets[i]);
    div.strength[i] = static_cast<uint8_t>(strength);
    div.mode[i] = mode;
    div.delay[i] = static_cast<uint8_t>(delay);
    delay += kFactoryStrum;
  }
}

void Note(TiempoG& t, int d, int stringIndex, int fret, int strength) {
  DivisionG& div = t.division[d];
  div.fret[stringIndex] = static_cast<uint8_t>(fret);
  div.strength[stringIndex] = static_cast<uint8_t>(strength);
  div.mode[stringIndex] = kModeNormal;
  div.delay[stringIndex] = 0;
}
}  // namespace

const std::vector<FactoryTemplate>& FactoryTemplates() {
  static const std::vector<FactoryTemplate> templates = [] {
    std::vector<FactoryTemplate> out;
    // Four beats of E: a strong strum down on the beat, a light one up between.
    FactoryTemplate rasgueo{"Rasgueo Mi", {}};
    for (int b = 0; b < 4; ++b) {
      TiempoG t = EmptyTiempoG();
      t.divisions = 2;
      Strum(t, 0, ChordNamed("E"), b == 0 ? 7 : 5, kModeNormal, true);
      Strum(t, 1, ChordNamed("E"), 3, kModeNormal, false);
      rasgueo.beats.push_back(t);
    }
    out.push_back(rasgueo);
    // Two beats of A minor picked in sixths: the bass, then up and down the chord.
    FactoryTemplate arpegio{"Arpegio La menor", {}};
    const FactoryChord& am = ChordNamed("Am");
    const int order[2][6] = {{1, 3, 4, 5, 4, 3}, {1, 2, 3, 4, 5, 4}};
    for (const auto& strings : order) {
      TiempoG t = EmptyTiempoG();
      t.divisions = 6;
      for (int d = 0; d < 6; ++d) Note(t, d, strings[d], am.frets[strings[d]], d == 0 ? 6 : 4);
      arpegio.beats.push_back(t);
    }
    out.push_back(arpegio);
    // One beat: a muted stroke of E that closes a compás.
    FactoryTemplate cierre{"Cierre tapado", {}};
    TiempoG t = EmptyTiempoG();
    t.divisions = 1;
    Strum(t, 0, ChordNamed("E"), 7, kModeTapado, true);
    cierre.beats.push_back(t);
    out.push_back(cierre);
    return out;
  }();
  return templates;
}

bool AddFactoryTemplates(const std::string& templateFolder, std::vector<FileToWrite>* files, std::string* error) {
  if (!MakeDirs(templateFolder, error)) return false;
  for (const FactoryTemplate& t : FactoryTemplates())
    files->push_back({WithTemplateExtension((std::filesystem::path(templateFolder) / t.name).string()),
                      BeatFileBytes(t.beats.data(), t.beats.size())});
  return true;
}
