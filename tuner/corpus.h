// Synthetic guitar-string recordings at 8000 Hz for measuring the tuner,
// and the measurement itself. Classes of sound:
//   plucked        - partials of a plucked string: slightly stretched
//                    (stiffness), the pluck point shaping their levels, the
//                    higher ones dying faster;
//   harmonic-rich  - a bright pick near the bridge: a weak fundamental under
//                    strong upper partials that ring long;
//   noisy          - the plucked sound under white or pink noise 20 or 10 dB
//                    below it, or under mains hum (50 Hz and its third
//                    harmonic) 20 dB below it;
//   quiet          - the plucked sound peaking at -30 dBFS.
// The others peak at 8000 (-12 dBFS); every recording lasts 2 s. Each class
// (each kind of noise) holds the six open strings of the standard tuning
// (E2..E4) at frets 0, 5 and 12, each in tune and 10 and 25 cents flat and
// sharp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "guitar/notes.h"
#include "tuner/tuner.h"

enum class StringSound { kPlucked, kHarmonicRich, kNoisy, kQuiet };
const char* StringSoundName(StringSound c);
enum class CorpusNoise { kNone, kWhite20, kWhite10, kPink20, kPink10, kHum };
const char* CorpusNoiseName(CorpusNoise n);

struct CorpusItem {
  StringSound sound = StringSound::kPlucked;
  CorpusNoise noise = CorpusNoise::kNone;
  int stringNumber = 6;  // 6 (low E) .. 1 (high E)
  int fret = 0;
  int cents = 0;         // detuning from the note
  int note = 0;          // index into TablaNotas
  double frequency = 0;  // the true fundamental, Hz
  std::string name;      // e.g. "plucked-s6-f0-m10" (m: flat, p: sharp)
};

constexpr int kCorpusRate = 8000;
constexpr double kCorpusSeconds = 2.0;

// Every recording of one class (90 each, the noisy class 90 for each kind
// of noise), in a fixed order.
std::vector<CorpusItem> CorpusItems(StringSound sound);
// Mains hum alone (50 Hz and its third harmonic) at the given RMS level in
// dBFS, n samples.
std::vector<int16_t> SynthesizeHum(double levelDb, size_t n, uint32_t seed = 1);
// The recording, 16-bit mono at 8000 Hz; the same item always gives the
// same samples.
std::vector<int16_t> SynthesizeString(const CorpusItem& item);

// The tuner on one recording: consecutive frames of 2048 samples, each
// framed, gated and analysed as the tuner does, every frame taken (no hold).
struct TunerRun {
  int frames = 0;                 // complete frames
  int quiet = 0;                  // below the level gate
  int rejected[6] = {};           // by TunerVerdict (kReading's slot stays 0)
  std::vector<int> notes;         // of each reading
  std::vector<double> frequencies;
  std::vector<int> pitches;       // TunerPitch of each reading
};
TunerRun RunTuner(const NoteTable& notes, const std::vector<int16_t>& samples, const TunerRules& rules = TunerRules{});

// Cents from the true frequency to a measured one.
double CentsOff(double measured, double truth);
double Median(std::vector<double> v);
