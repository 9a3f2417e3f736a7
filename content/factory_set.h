// The factory data set "Original": its sound list, one formula and one theme
// per palo, and the working-folder layout that ships with the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rhythm/records.h"

struct FactorySet {
  std::vector<std::string> sounds;  // sound number n (1-based) is sounds[n - 1]
  std::vector<Formula> formulas;
  std::vector<Tema> temas;          // theme i plays formula i
};

FactorySet BuildFactorySet();

// Accent word of a compás of `beats` beats whose count starts at
// `firstBeat` (1..12): bit p is set when pattern beat p is counted as one of
// `countedAccents`. Pattern beat p is counted ((firstBeat - 1 + p) % 12) + 1.
uint16_t AccentWord(int beats, int firstBeat, const std::vector<int>& countedAccents);

// File images: the list file (Latin-1 lines ending in CR LF) and the raw
// record arrays of formulas.svs and temas.svs.
std::vector<uint8_t> SoundListBytes(const std::vector<std::string>& names);
std::vector<uint8_t> FormulaFileBytes(const std::vector<Formula>& formulas);
std::vector<uint8_t> TemaFileBytes(const std::vector<Tema>& temas);

// Writes the factory files below root, creating the folders as needed:
//   BancoDeSonidos/<sound>.wav, datos/Original.vl2,
//   datos/Original/formulas.svs, datos/Original/temas.svs, the guitar bank
//   BancoDeSonidos/Guitarra/c1.wav .. c6.wav and its afinacion.txt, the
//   chords Acordes/<name>.aco
// and the empty folders datos/wavs, Plantillas and MIDI. Files of
// the same names are replaced with identical bytes on every run; nothing
// else in root is touched.
bool WriteWorkingFolder(const std::string& root, std::string* error);
