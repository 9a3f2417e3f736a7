// Synthesised percussion hits of the factory sound bank.
//
// Every sound is 16-bit mono PCM at 44100 Hz, starts at its attack (no
// leading silence), peaks a few dB below full scale and fades to zero at its
// end. The synthesis uses only IEEE arithmetic and our own sine, exponential
// and noise generator, so the same build of this code writes the same bytes
// on every machine and library version.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kFactorySampleRate = 44100;

// Names of the synthesised sounds (ASCII, also the .wav base names), in the
// order of the factory sound list: sound number n is the n-th name.
const std::vector<std::string>& FactorySoundNames();

// Sine and cosine from + - * / and floor only, which IEEE fixes exactly (a
// libm may round differently from version to version).
double SynthSin(double x);
double SynthCos(double x);

// The samples of one factory sound; empty for a name not in the list.
std::vector<int16_t> SynthesizeSound(const std::string& name);
