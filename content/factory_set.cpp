#include "content/factory_set.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "content/guitar_bank.h"
#include "content/guitar_chords.h"
#include "content/synth.h"
#include "engine/wav.h"
#include "platform/files/atomic_file.h"

namespace {

// A track of a factory pattern: a sound of the list and one token per beat.
// A token is the stroke text of the beat as the pattern editor takes it
// ("7", "05", "705": one digit per stroke, 0 a rest); "-" is a beat with no
// strokes, in which the previous stroke rings on.
struct TrackDef {
  const char* sound;
  const char* beats;
};

struct PaloDef {
  const char* formulaName;  // Latin-1, at most 16 bytes
  const char* temaName;     // Latin-1, at most 32 bytes
  int beats;
  int firstBeat;
  std::vector<int> accents;  // counted beats
  std::vector<TrackDef> tracks;
  int tempo;          // bpm of the first entry
  int times;          // repetitions of the first entry
  int secondTempo;    // a second entry when secondTimes > 0 (0 = keep tempo)
  int secondTimes;
  int parts;          // 0 = repeat until stopped
};

// Palmas claras mark the accents at full level, the other beats take palmas
// sordas or pitos, the cajón bass the first accent of the compás.
const std::vector<PaloDef>& Palos() {
  static const std::vector<PaloDef> palos = {
      {"Sole\xE1", "Sole\xE1", 12, 1, {3, 6, 8, 10, 12},
       {{"PalmasClaras", "- - 7 - - 7 - 7 - 7 - 7"},
        {"PalmasSordas", "5 5 - 5 5 - 5 - 5 - 5 -"},
        {"CajonBajo",    "- - 7 - - - - - - 6 - -"},
        {"Golpe",        "- - - - - - - - - - - 6"}},
       140, 4, 0, 0, 0},
      {"Sole\xE1 buler\xED" "as", "Sole\xE1 por buler\xED" "as", 12, 1, {3, 6, 8, 10, 12},
       {{"PalmasClaras", "- - 7 - - 7 - 7 - 7 - 7"},
        {"PalmasSordas", "05 05 - 05 05 - 05 - 05 - 05 -"},
        {"CajonBajo",    "- - 7 - - - - - - 6 - -"},
        {"CajonSlap",    "- - - - - 6 - 6 - - - 6"}},
       180, 4, 0, 0, 0},
      {"Alegr\xED" "as", "Alegr\xED" "as", 12, 1, {3, 6, 8, 10, 12},
       {{"PalmasClaras", "- - 7 - - 7 - 7 - 7 - 7"},
        {"Pitos",        "5 5 - 5 5 - 5 - 5 - 5 -"},
        {"PalmasSordas", "04 04 04 04 04 04 04 04 04 04 04 04"},
        {"CajonBajo",    "- - 7 - - - - - - 6 - -"},
        {"CajonSlap",    "- - - - - 6 - 6 - - - 6"}},
       190, 4, 210, 4, 1},
      // Counted from 12: pattern beat 0 is "12", beat 3 is "3".
      {"Buler\xED" "as", "Buler\xED" "as", 12, 12, {12, 3, 6, 8, 10},
       {{"PalmasClaras", "7 - - 7 - - 7 - 7 - 7 -"},
        {"PalmasSordas", "- 5 5 - 5 5 - 5 - 5 - 5"},
        {"CajonBajo",    "7 - - - - - 6 - - - - -"},
        {"CajonSlap",    "- - - 6 - - - - 6 - 6 -"},
        {"Pitos",        "- 04 04 - 04 04 - 04 - 04 - 04"}},
       240, 4, 0, 0, 0},
      // Counted from 8: 8 10 12 3 6 gives the 2+2+3+3+2 pulse.
      {"Seguiriya", "Seguiriya", 12, 8, {8, 10, 12, 3, 6},
       {{"PalmasClaras", "7 - 7 - 7 - - 7 - - 7 -"},
        {"PalmasSordas", "- 4 - 4 - 4 4 - 4 4 - 4"},
        {"CajonBajo",    "7 - - - - - - - - - - -"},
        {"Golpe",        "- - - - - - - 6 - - - -"}},
       170, 4, 0, 0, 0},
      // The palmas answer beat 1 with a silence.
      {"Tangos", "Tangos", 4, 1, {2, 3, 4},
       {{"PalmasClaras", "- 7 7 7"},
        {"PalmasSordas", "- 05 05 05"},
        {"CajonBajo",    "7 - 5 -"},
        {"CajonSlap",    "- 6 - 7"}},
       120, 8, 135, 8, 1},
      // Tangos slowed down, with a dragging, swung second beat.
      {"Tientos", "Tientos", 4, 1, {2, 3, 4},
       {{"PalmasClaras", "- 705 7 7"},
        {"PalmasSordas", "004 - 004 -"},
        {"CajonBajo",    "7 - - -"},
        {"Golpe",        "- - 5 -"}},
       85, 8, 0, 0, 0},
      {"Fandangos Huelva", "Fandangos de Huelva", 12, 1, {3, 6, 9, 12},
       {{"PalmasClaras", "- - 7 - - 7 - - 7 - - 7"},
        {"PalmasSordas", "5 5 - 5 5 - 5 5 - 5 5 -"},
        {"CajonBajo",    "- - 7 - - - - - 6 - - -"},
        {"CajonSlap",    "- - - - - 6 - - - - - 6"}},
       180, 4, 0, 0, 0},
      {"Sevillanas", "Sevillanas", 12, 1, {1, 4, 7, 10},
       {{"PalmasClaras", "7 - - 7 - - 7 - - 7 - -"},
        {"PalmasSordas", "- 5 5 - 5 5 - 5 5 - 5 5"},
        {"CajonBajo",    "7 - - - - - 6 - - - - -"},
        {"Pitos",        "- - 5 - - 5 - - 5 - - 5"}},
       195, 4, 0, 0, 0},
      // The stroke accent falls on the upbeat of 2.
      {"Rumba", "Rumba", 4, 1, {1, 4},
       {{"PalmasClaras", "7 - - 7"},
        {"PalmasSordas", "05 05 05 05"},
        {"CajonBajo",    "7 - 6 -"},
        {"CajonSlap",    "- 07 - -"},
        {"Shaker",       "34 34 34 34"}},
       115, 8, 125, 8, 1},
      {"Farruca", "Farruca", 4, 1, {1, 3},
       {{"PalmasClaras", "7 - 7 -"},
        {"PalmasSordas", "- 5 - 5"},
        {"CajonBajo",    "7 - - -"},
        {"Tacon",        "05 05 05 05"}},
       105, 8, 0, 0, 0},
      {"Guajira", "Guajira", 12, 12, {12, 3, 6, 8, 10},
       {{"PalmasClaras", "7 - - 7 - - 7 - 7 - 7 -"},
        {"PalmasSordas", "- 4 4 - 4 4 - 4 - 4 - 4"},
        {"CajonBajo",    "7 - - - - - 6 - - - - -"},
        {"Nudillos",     "- - - - - - - 5 - 5 - 5"}},
       120, 4, 0, 0, 0},
      {"Petenera", "Petenera", 12, 12, {12, 3, 6, 8, 10},
       {{"PalmasClaras", "7 - - 7 - - 7 - 7 - 7 -"},
        {"PalmasSordas", "- 4 4 - 4 4 - 4 - 4 - 4"},
        {"CajonBajo",    "7 - - - - - - - - - - -"},
        {"Golpe",        "- - - 5 - - 5 - - - - -"}},
       110, 4, 0, 0, 0},
      // 3+3 in the palmas against 2+2+2 in the pitos.
      {"Tanguillos", "Tanguillos", 6, 1, {1, 4},
       {{"PalmasClaras", "7 - - 7 - -"},
        {"PalmasSordas", "- 5 5 - 5 5"},
        {"Pitos",        "5 - 5 - 5 -"},
        {"CajonBajo",    "7 - - - - -"}},
       160, 8, 175, 8, 1},
      {"Garrot\xEDn", "Garrot\xEDn", 4, 1, {1, 3},
       {{"PalmasClaras", "7 - 7 -"},
        {"PalmasSordas", "- 5 - 5"},
        {"Pitos",        "05 05 05 05"},
        {"CajonBajo",    "7 - - -"},
        {"CajonSlap",    "- - 6 -"}},
       110, 8, 0, 0, 0},
      {"Zambra", "Zambra", 4, 1, {1, 3},
       {{"PalmasClaras", "7 - 7 -"},
        {"PalmasSordas", "- 4 - 4"},
        {"Nudillos",     "- 05 - 05"},
        {"CajonBajo",    "7 - - -"},
        {"Tacon",        "- - - 5"}},
       95, 8, 0, 0, 0},
  };
  return palos;
}

// The tables above are constants of this file: a mistake in them is a bug
// that the content tests must catch at once, not a condition to recover from.
[[noreturn]] void BadTable(const std::string& what) {
  std::fprintf(stderr, "factory set: %s\n", what.c_str());
  std::abort();
}

int SoundNumber(const std::vector<std::string>& list, const std::string& name) {
  const auto it = std::find(list.begin(), list.end(), name);
  if (it == list.end()) BadTable("no sound " + name);
  return static_cast<int>(it - list.begin()) + 1;
}

Formula MakeFormula(const PaloDef& p, const std::vector<std::string>& sounds) {
  Formula f{};
  f.SetName(p.formulaName);
  f.SetHeader(p.beats, p.firstBeat - 1);
  f.accents = AccentWord(p.beats, p.firstBeat, p.accents);
  if (p.tracks.size() > static_cast<size_t>(kTracks)) BadTable(std::string(p.formulaName) + ": too many tracks");
  for (size_t t = 0; t < p.tracks.size(); ++t) {
    const int track = static_cast<int>(t);
    f.sounds[track] = static_cast<uint8_t>(SoundNumber(sounds, p.tracks[t].sound));
    std::istringstream in(p.tracks[t].beats);
    std::string token;
    int beat = 0;
    while (in >> token) {
      if (beat >= p.beats) BadTable(std::string(p.formulaName) + ": too many beats in a track");
      if (token != "-") {
        if (token.size() > static_cast<size_t>(kMaxStrokes) ||
            token.find_first_not_of("01234567") != std::string::npos)
          BadTable(std::string(p.formulaName) + ": bad stroke text " + token);
        int32_t cell = 0;
        const int count = CellFromStrokeText(token, &cell);
        f.cells[beat][track] = cell;
        f.SetStrokeCount(beat, track, count);
      }
      ++beat;
    }
    if (beat != p.beats) BadTable(std::string(p.formulaName) + ": too few beats in a track");
  }
  return f;
}

Tema MakeTema(const PaloDef& p, int formulaIndex) {
  Tema t{};
  InitNewTema(t, p.tempo);
  t.SetName(p.temaName);
  t.gain = 1.0f;
  t.partsOrder = static_cast<uint8_t>(0x80 | p.parts);
  t.introEnding = 0;
  int e = 0;
  t.times[e] = static_cast<uint8_t>(p.times);
  t.formulas[e] = static_cast<uint16_t>(formulaIndex);
  ++e;
  if (p.secondTimes > 0) {
    t.times[e] = static_cast<uint8_t>(p.secondTimes);
    t.formulas[e] = static_cast<uint16_t>(formulaIndex);
    t.tempos[e] = static_cast<uint16_t>(p.secondTempo);
    ++e;
  }
  t.entryCount = static_cast<uint16_t>(e);
  return t;
}

std::string Join(const std::string& a, const std::string& b) {
  return (std::filesystem::path(a) / b).string();
}

}  // namespace

uint16_t AccentWord(int beats, int firstBeat, const std::vector<int>& countedAccents) {
  uint16_t word = 0;
  for (int p = 0; p < beats && p < kMaxBeats; ++p) {
    const int counted = (firstBeat - 1 + p) % kMaxBeats + 1;
    if (std::find(countedAccents.begin(), countedAccents.end(), counted) != countedAccents.end())
      word = static_cast<uint16_t>(word | (1u << p));
  }
  return word;
}

FactorySet BuildFactorySet() {
  FactorySet set;
  set.sounds = FactorySoundNames();
  for (const PaloDef& p : Palos()) {
    set.formulas.push_back(MakeFormula(p, set.sounds));
    set.temas.push_back(MakeTema(p, static_cast<int>(set.formulas.size()) - 1));
  }
  return set;
}

std::vector<uint8_t> SoundListBytes(const std::vector<std::string>& names) {
  std::vector<uint8_t> out;
  for (const std::string& n : names) {
    out.insert(out.end(), n.begin(), n.end());
    out.push_back('\r');
    out.push_back('\n');
  }
  return out;
}

std::vector<uint8_t> FormulaFileBytes(const std::vector<Formula>& formulas) {
  std::vector<uint8_t> out(formulas.size() * sizeof(Formula));
  if (!formulas.empty()) std::memcpy(out.data(), formulas.data(), out.size());
  return out;
}

std::vector<uint8_t> TemaFileBytes(const std::vector<Tema>& temas) {
  std::vector<uint8_t> out(temas.size() * sizeof(Tema));
  if (!temas.empty()) std::memcpy(out.data(), temas.data(), out.size());
  return out;
}

bool WriteWorkingFolder(const std::string& root, std::string* error) {
  const std::string bank = Join(root, "BancoDeSonidos");
  const std::string datos = Join(root, "datos");
  const std::string original = Join(datos, "Original");
  for (const std::string& dir : {bank, datos, original, Join(datos, "wavs"), Join(root, "Acordes"),
                                 Join(root, "Plantillas"), Join(root, "MIDI")}) {
    if (!MakeDirs(dir)) {
      if (error) *error = "cannot create the folder " + dir;
      return false;
    }
  }

  const FactorySet set = BuildFactorySet();
  std::vector<FileToWrite> files;
  for (const std::string& name : set.sounds) {
    const std::vector<int16_t> samples = SynthesizeSound(name);
    if (samples.empty()) {
      if (error) *error = "no synthesis for the sound " + name;
      return false;
    }
    files.push_back({Join(bank, name + ".wav"), WavFileImage(samples, 1, kFactorySampleRate)});
  }
  files.push_back({Join(datos, "Original.vl2"), SoundListBytes(set.sounds)});
  files.push_back({Join(original, "formulas.svs"), FormulaFileBytes(set.formulas)});
  files.push_back({Join(original, "temas.svs"), TemaFileBytes(set.temas)});
  if (!AddFactoryGuitarBank(bank, &files, error)) return false;
  if (!AddFactoryChords(Join(root, "Acordes"), &files, error)) return false;
  if (!AddFactoryTemplates(Join(root, "Plantillas"), &files, error)) return false;
  return WriteFilesAtomically(files, error);
}
