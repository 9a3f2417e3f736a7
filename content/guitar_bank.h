// The factory guitar bank "Guitarra": the six open strings of a standard-tuned
// guitar, synthesised as plucked strings.
//
// Every recording is 16-bit mono PCM at 44100 Hz in a plain 44-byte WAV
// header, starts at the pluck, peaks at -1 dBFS, holds no partial above
// 4800 Hz and fades to silence within 2.8 s. Only IEEE + - * / are used, so
// the same build writes the same bytes on every machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/atomic_file.h"

inline const std::string kFactoryGuitarBank = "Guitarra";

// Frequency in Hz of the open string stringNumber (1..6: E4 B3 G3 D3 A2 E2);
// 0 for another number.
double FactoryGuitarPitch(int stringNumber);

// The samples of open string stringNumber (1..6); empty for another number.
std::vector<int16_t> SynthesizeGuitarString(int stringNumber);

// Creates the folder bankFolder/Guitarra and adds its files to `files`:
// c1.wav .. c6.wav and afinacion.txt (six lines "0": standard tuning).
bool AddFactoryGuitarBank(const std::string& bankFolder, std::vector<FileToWrite>* files, std::string* error);
