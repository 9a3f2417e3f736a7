// The tuner's pitch analysis: input bytes (16-bit mono at 8000 Hz) are cut
// into frames of FftSize samples; a frame whose summed signal swing passes a
// level gate is transformed (Hann window, radix-2 FFT) and its spectrum
// analysed: up to 16 peaks that stand out of the frame's own noise floor,
// each placed to a fraction of a bin, the most common spacing of neighbouring
// peaks as the fundamental, the chain of its harmonics from the lowest of
// them, the fundamental fitted through the chain (allowing for the stretch of
// a stiff string), and the nearest note of TablaNotas with the string and
// fret that play it, in tune within 3 cents.
//
// Nothing here allocates while the tuner runs: TunerState holds every buffer.
// Everything runs on the GUI thread except TunerMicInput::OnBufferDone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "guitar/notes.h"

// --- sizes and constants -----------------------------------------------------

constexpr int kMaxFftSize = 4096;
constexpr int kSampleRate = 8000;
constexpr int kTunerPeakCount = 16;
constexpr int kFrameHoldTicks = 2;      // ticks without a new wave block after an analysis
constexpr int kReadingHoldTicks = 100;  // ticks the needle keeps a reading
constexpr int kInitialTunerHold = 15;

constexpr double kInTuneCents = 3.0;    // "OK" within this many cents of the note

// What differs between the editions' tuners: the level gate, the hold a
// reading gives the needle, and where the finger marker goes
// (FretPosition(fret) + dedoLeft, dedoTop - 12 x string).
//
// The level gate follows the input: a frame is analysed when its level
// (RMS, dB below full scale) stands gateOpenDb above the tracked noise floor
// and above gateMinimumDb; once open it stays open while the level stays
// gateCloseDb above the floor. The floor falls at once with a quieter frame,
// learns a steady level quickly while the gate is closed and rises only
// slowly while a string rings.
struct TunerRules {
  double gateOpenDb = 10.0;
  double gateCloseDb = 4.0;
  double gateMinimumDb = -70.0;
  int readingHold = kReadingHoldTicks;
  int dedoLeft = 234;
  int dedoTop = 129;
};
// The basic edition: a gate 3.5 dB more sensitive, a short hold, the marker
// on the tuner page's own fretboard.
constexpr TunerRules kBasicTunerRules{6.5, 3.0, -73.5, 15, 241, 171};

// The needle drawn as a picture moved in whole pixels: its Left for a
// deviation, 3 pixels a unit (Hz in tune, percent otherwise) about the centre.
constexpr int kNeedleCentreLeft = 206;
int NeedleImageLeft(double deviation);

// Colours in the 0x00BBGGRR form of the window's palette.
constexpr uint32_t kTunerWhite = 0xFFFFFF;
constexpr uint32_t kTunerLime = 0x00FF00;
constexpr uint32_t kTunerRed = 0x0000FF;   // sharp
constexpr uint32_t kTunerBlue = 0xFF0000;  // flat

// The transform size: 1024 (10 bits), 4096 (12 bits), anything else 2048
// (11 bits). The bin width is 8000 div size in whole Hz (3.0 for 2048).
struct FftSetup {
  int FftSize = 2048;
  int FftBits = 11;
  float FftBinWidth = 3.0f;
};
FftSetup MakeFftSetup(int requestedSize);

// The low `bits` bits of index in reverse order; higher bits are ignored.
int ReverseBits(unsigned index, int bits);

// --- the level gate ---------------------------------------------------------

// Follows the turning points of the signal. previous, low and high carry
// over from frame to frame; the counts restart with every frame.
struct SwingTracker {
  int previous = 0;
  int rises = 0;
  int falls = 0;
  int low = 0;
  int high = 0;
};

// One sample: after two rises in a row the low is the sample before them,
// after two falls the last high minus that low is added to inputSwing.
void TrackSwing(SwingTracker& t, int& inputSwing, int sample);

// The level gate's state: the noise floor it follows and whether it is open.
constexpr double kGateFloorStartDb = -80.0;
constexpr double kSilenceDb = -120.0;  // the level of digital silence
struct LevelGate {
  double floorDb = kGateFloorStartDb;
  bool open = false;
};
// One frame's level against the gate; updates the floor. True when the
// frame is to be analysed.
bool PassLevelGate(LevelGate& g, const TunerRules& rules, double levelDb);
// The RMS level of n samples in dB below full scale (kSilenceDb for silence).
double FrameLevelDb(const int16_t* samples, int n);

// --- framing ----------------------------------------------------------------

// Gathers the bytes of one source into frames of FftSize samples, each
// sample the signed 16-bit little-endian value of two bytes. Each source
// (the microphone, the metronome device) has its own, so bytes of one never
// complete a frame of the other.
struct FrameAssembler {
  int TunerSampleCount = 0;  // bytes taken into the current frame
  int InputSwing = 0;
  int LastSwing = 0;  // the summed swing of the last frame completed, gated or not (the level bar)
  double LastLevelDb = kSilenceDb;  // the level of the last frame completed
  SwingTracker swing;
  LevelGate gate;
  uint8_t lowByte = 0;                         // the first byte of a sample in progress
  std::array<int16_t, kMaxFftSize> samples{};  // the current frame, in time order

  int SamplesTaken() const { return TunerSampleCount / 2; }
  // Drops a frame in progress (its bytes, its swing and its counts).
  void DiscardPartialFrame();
};

// The waveform chart's y value of a sample: the sample itself for the
// microphone, 3 x sample - 1024 for the device.
inline int PlotValue(int sample, bool microphone) { return microphone ? sample : 3 * sample - 1024; }

// --- analysis ---------------------------------------------------------------

enum class TunerPitch { kInTune, kSharp, kFlat };

// One accepted analysis, everything the panel shows.
struct TunerReading {
  int note = -1;             // index into TablaNotas
  float frequency = 0;       // TunerFrequency, Hz
  float noteFrequency = 0;   // the note's exact frequency
  double deviationHz = 0;    // frequency - noteFrequency
  double cents = 0;          // the same in cents
  double deviation = 0;      // NoteDeviation: Hz when in tune, signed percent of the gap otherwise
  int harmonics = 0;         // h: the harmonics of the chain (1 for a frequency given alone)
  TunerPitch pitch = TunerPitch::kInTune;
  uint32_t colour = kTunerWhite;
  int penColour = 0;         // the fretboard's pen: colour - 100
  char STFrec[48] = {};      // "%5.2fHz OK", "%5.2fHz +%2.2f%% <-", "%5.2fHz -%2.2f%% ->"
  char STFrecBase[16] = {};  // "%6.2fHz" of the note's frequency
  char STNota[3] = {};       // note name: letter and '#' or a blank (also the finger marker)
  char STNotaEsp[6] = {};    // solfège name and '#' or a blank
  char STCuerda[8] = {};     // string character and "ª" (UTF-8)
  char STMasmenos[2] = {};   // '+', '-' or a blank
  char STTraste[3] = {};     // one or two fret digits or blanks
  char position[5] = {};     // label characters 2..5
  int stringNumber = 0;      // 1..6, 0 when no string plays the note
  int fret = 0;              // signed, 0 when blank
  int DedoTop = 0;           // the finger marker on the fretboard picture
  int DedoLeft = 0;
};

// Why a frame gave no reading.
enum class TunerVerdict {
  kReading,
  kFewVotes,          // no gap between peaks (longer than 18 bins) to vote for
  kNoHarmonicNear,    // no peak near the first four multiples of the gap
  kNoChain,           // fewer than two harmonics in the chain
  kUnsure,            // the harmonics disagree, or the string is not yet sure to within a cent
  kOutsideNotes,      // beyond the notes 1..60 of the table
};

// What feeding a source produced.
enum class FrameOutcome {
  kIncomplete,  // the bytes ended inside a frame
  kQuiet,       // a frame the level gate kept shut: not analysed
  kRejected,    // analysed, no reading
  kReading,     // analysed, a new reading
};

struct TunerState {
  FftSetup fft;
  TunerRules rules;
  std::array<float, kMaxFftSize> FftReal{};
  std::array<float, kMaxFftSize> FftImag{};

  // The power of each bin under the Hann window, and the local noise floor.
  std::array<float, kMaxFftSize / 2> Power{};
  std::array<float, kMaxFftSize / 2> NoiseFloor{};
  std::array<int, kTunerPeakCount> TunerPeaks{};     // bins, ascending after the search
  std::array<double, kTunerPeakCount> PeakPlace{};   // their true places, in bins (fractional)
  std::array<double, kTunerPeakCount> PeakPower{};
  int PeakCount = 0;
  int StrongestPeak = 0;
  std::array<uint8_t, kMaxFftSize / 2> PeakWeights{};
  std::array<uint8_t, kMaxFftSize / 2> GapVotes{};
  int FundamentalGap = 0;  // f, in bins
  int GapVoteCount = 0;    // votes of f
  int ChainLength = 0;     // harmonics in the chain
  int ChainTop = 0;        // the highest harmonic number of the chain
  TunerVerdict verdict = TunerVerdict::kReading;  // of the last analysis
  double ExpectedErrorCents = 0;  // of the last reading, from its partials' clarity
  // The string followed: its fundamental in bins joined over the frames, how
  // sure that is (1 / cents squared) and its stretch per harmonic squared;
  // 0 when the frame before measured no string.
  double TrackedFundamental = 0;
  double TrackedWeight = 0;
  double TrackedStretch = 0;

  float TunerFrequency = 0;
  double NoteDeviation = 0;
  float GapBelow = 0;
  float GapAbove = 0;

  double NeedleTarget = 0.0;
  int TunerHold = kInitialTunerHold;
  int TunerFrameHold = 0;

  FrameAssembler MicFrame;     // wave input blocks
  FrameAssembler DeviceFrame;  // bytes from the metronome device, kept across ticks

  // The hidden diagnostic labels: the strongest bin, and the sorted peaks
  // ("%d " each) followed by "-Dif=%d " with the gap.
  char Label20[16] = {};
  char Label12[128] = {};

  TunerReading Reading;  // the last reading shown
  bool HasReading = false;
};

// The frame's samples into the transform at their bit-reversed places: the
// real parts under a Hann window, the imaginary parts under its derivative
// (sin 2 pi k / N), so that one complex transform gives both spectra; the
// second places each peak to a fraction of a bin, a decaying one too.
void LoadFrame(TunerState& s, const int16_t* samples);

// In-place forward FFT of FftSize points over FftReal/FftImag, whose input is
// in bit-reversed order: radix 2, decimation in time, the twiddles of each
// stage derived from two sine/cosine pairs by the two-term recurrence
// (carried in double precision, so that it does not drift).
void ComputeFFT(TunerState& s);

// Steps after the transform: power and noise floor, peaks, gap votes, the
// anchor, the harmonic chain, the fitted fundamental and the nearest note.
// On kReading fills *out (when given). Changes none of the display fields of
// s (Reading, NeedleTarget, TunerHold).
TunerVerdict AnalyzeSpectrum(TunerState& s, const NoteTable& notes, TunerReading* out);

// ComputeFFT, then the analysis; a reading becomes s.Reading, NeedleTarget
// takes its deviation and TunerHold restarts at the rules' hold (100). A
// rejected frame changes nothing shown.
TunerVerdict AnalyzeTunerSpectrum(TunerState& s, const NoteTable& notes);

// Frames bytes of one source until a frame completes or the bytes end;
// returns the bytes taken. A completed frame that passes the source's level
// gate is analysed and TunerFrameHold := 2.
size_t FeedFrameBytes(TunerState& s, FrameAssembler& a, const NoteTable& notes, const uint8_t* bytes,
                      size_t n, FrameOutcome* outcome);

// The metronome device as source: every byte is framed in s.DeviceFrame,
// whose partial frame waits for the next call; several frames in one call
// are each analysed. Returns the last frame's outcome (kIncomplete when
// none completed).
FrameOutcome FeedDeviceBytes(TunerState& s, const NoteTable& notes, const uint8_t* bytes, size_t n);

// Frames 16-bit samples (already decoded) as one source; for tools and
// tests that work on recordings.
FrameOutcome FeedSamples(TunerState& s, FrameAssembler& a, const NoteTable& notes, const int16_t* samples,
                         size_t n);

// The nearest note of entries 1..60 of the table, or -1.
int NearestNote(const NoteTable& notes, float frequency);

// The reading of a frequency measured on a chain of `harmonics` harmonics:
// its nearest note, the deviation, texts, colour and finger marker (note -1
// and nothing else when no note is near).
TunerReading ReadNote(const NoteTable& notes, const FftSetup& fft, float frequency, int harmonics,
                      const TunerRules& rules = TunerRules{});

