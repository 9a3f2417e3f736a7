#include "tuner/tuner.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double kFifthPeakPower = 1.0e7;  // a fifth and later peak needs this much
constexpr int kFirstPeakBin = 18;
constexpr int kPeakSpacing = 16;           // bins kept free round a peak found
constexpr int kShortestGap = 18;           // gaps up to this long do not vote
constexpr int kMinVotes = 5;
constexpr int kConfidentVotes = 10;

constexpr int kDedoStringStep = 12;
constexpr double kNeedlePixelsPerUnit = 3.0;

// Power of bin b and its two neighbours.
double NeighbourPower(const TunerState& s, int b) {
  double sum = 0.0;
  for (int i = b - 1; i <= b + 1; ++i) {
    const double re = s.FftReal[static_cast<size_t>(i)];
    const double im = s.FftImag[static_cast<size_t>(i)];
    sum += re * re + im * im;
  }
  return sum;
}

const char* Solfege(char letter) {
  switch (letter) {
    case 'A': return "La";
    case 'B': return "Si";
    case 'C': return "Do";
    case 'D': return "Re";
    case 'E': return "Mi";
    case 'F': return "Fa";
    case 'G': return "Sol";
    default: return "";
  }
}

// The signed number at the start of label characters 3..5 ("+12", "-2 ",
// "   "): blanks, an optional sign, digits; 0 when there is none.
int LabelFret(const char* label) {
  int i = 3;
  while (i < 6 && label[i] == ' ') ++i;
  int sign = 1;
  if (i < 6 && (label[i] == '+' || label[i] == '-')) {
    if (label[i] == '-') sign = -1;
    ++i;
  }
  int value = 0;
  while (i < 6 && label[i] >= '0' && label[i] <= '9') value = value * 10 + (label[i++] - '0');
  return sign * value;
}

// Fills the texts, colour and marker of a reading of note r.
void DescribeReading(const NoteTable& notes, const FftSetup& fft, const TunerRules& rules, int r, float frequency, int h,
                     TunerReading& out) {
  const NoteEntry& e = notes[static_cast<size_t>(r)];
  out.note = r;
  out.frequency = frequency;
  out.noteFrequency = e.frequency;
  out.harmonics = h;
  const float gapBelow = e.frequency - notes[static_cast<size_t>(r - 1)].frequency;
  const float gapAbove = notes[static_cast<size_t>(r + 1)].frequency - e.frequency;
  const double dev = static_cast<double>(frequency) - static_cast<double>(e.frequency);
  out.deviationHz = dev;

  // In tune: the whole Hz of the deviation within half a bin of the last
  // harmonic, divided down to the fundamental.
  const double limit = 0.5 * static_cast<double>(fft.FftBinWidth) / h + 0.1;
  const double freq = frequency;
  if (std::abs(std::trunc(dev)) < limit) {
    out.pitch = TunerPitch::kInTune;
    out.deviation = dev;
    std::snprintf(out.STFrec, sizeof out.STFrec, "%5.2fHz OK", freq);
    // White while the needle picture would stand exactly at its centre.
    out.colour = NeedleImageLeft(dev) == kNeedleCentreLeft ? kTunerWhite : kTunerLime;
  } else if (dev > 0) {
    out.pitch = TunerPitch::kSharp;
    out.deviation = 100.0 * dev / static_cast<double>(gapAbove);
    std::snprintf(out.STFrec, sizeof out.STFrec, "%5.2fHz +%2.2f%% <-", freq, out.deviation);
    out.colour = kTunerRed;
  } else {
    out.pitch = TunerPitch::kFlat;
    out.deviation = 100.0 * dev / static_cast<double>(gapBelow);
    std::snprintf(out.STFrec, sizeof out.STFrec, "%5.2fHz -%2.2f%% ->", freq, -out.deviation);
    out.colour = kTunerBlue;
  }
  out.penColour = static_cast<int>(out.colour) - 100;

  std::snprintf(out.STFrecBase, sizeof out.STFrecBase, "%6.2fHz", static_cast<double>(e.frequency));
  out.STNota[0] = e.label[0];
  out.STNota[1] = e.label[1];
  out.STNota[2] = '\0';
  std::memcpy(out.position, e.label + 2, 4);
  out.position[4] = '\0';
  // Label bytes after a NUL count as blanks.
  for (int i = 0; i < 4; ++i)
    if (out.position[i] == '\0') out.position[i] = ' ';
  std::snprintf(out.STCuerda, sizeof out.STCuerda, "%c\xC2\xAA", out.position[0]);
  out.STMasmenos[0] = out.position[1];
  out.STMasmenos[1] = '\0';
  out.STTraste[0] = out.position[2];
  out.STTraste[1] = out.position[3];
  out.STTraste[2] = '\0';
  std::snprintf(out.STNotaEsp, sizeof out.STNotaEsp, "%s%c", Solfege(e.label[0]), e.label[1] ? e.label[1] : ' ');

  const char sc = out.position[0];
  out.stringNumber = (sc >= '0' && sc <= '9') ? sc - '0' : 0;
  char field[7] = {' ', ' ', ' ', ' ', ' ', ' ', '\0'};
  std::memcpy(field + 2, out.position, 4);
  out.fret = LabelFret(field);
  out.DedoTop = rules.dedoTop - kDedoStringStep * out.stringNumber;
  out.DedoLeft = FretPosition(out.fret) + rules.dedoLeft;
}

// The bytes of a completed frame are in a.samples: gate, analysis, restart.
FrameOutcome FinishFrame(TunerState& s, FrameAssembler& a, const NoteTable& notes) {
  FrameOutcome outcome = FrameOutcome::kQuiet;
  a.LastSwing = a.InputSwing;
  if (a.InputSwing > s.rules.swingGate) {
    LoadFrame(s, a.samples.data());
    outcome = AnalyzeTunerSpectrum(s, notes) == TunerVerdict::kReading ? FrameOutcome::kReading
                                                                         : FrameOutcome::kRejected;
    s.TunerFrameHold = kFrameHoldTicks;
  }
  a.InputSwing = 0;
  a.swing.rises = 0;
  a.swing.falls = 0;
  a.TunerSampleCount = 0;
  return outcome;
}

// One complete sample of the frame in progress.
void TakeSample(FrameAssembler& a, int sample) {
  const int k = a.TunerSampleCount / 2 - 1;
  a.samples[static_cast<size_t>(k)] = static_cast<int16_t>(sample);
  TrackSwing(a.swing, a.InputSwing, sample);
}

}  // namespace

FftSetup MakeFftSetup(int requestedSize) {
  FftSetup f;
  switch (requestedSize) {
    case 1024: f.FftSize = 1024; f.FftBits = 10; break;
    case 4096: f.FftSize = 4096; f.FftBits = 12; break;
    default: f.FftSize = 2048; f.FftBits = 11; break;
  }
  f.FftBinWidth = static_cast<float>(kSampleRate / f.FftSize);
  return f;
}

int NeedleImageLeft(double deviation) {
  return static_cast<int>(std::trunc(kNeedlePixelsPerUnit * deviation + kNeedleCentreLeft));
}

int ReverseBits(unsigned index, int bits) {
  unsigned r = 0;
  for (int i = 0; i < bits; ++i) {
    r = (r << 1) | (index & 1u);
    index >>= 1;
  }
  return static_cast<int>(r);
}

void TrackSwing(SwingTracker& t, int& inputSwing, int sample) {
  if (sample > t.previous) {
    if (++t.rises == 2) {
      t.low = t.previous;
      t.falls = 0;
    }
  }
  if (sample < t.previous) {
    if (++t.falls == 2) {
      t.rises = 0;
      inputSwing += t.high - t.low;
      t.high = t.previous;
    }
  }
  t.previous = sample;
}

void FrameAssembler::DiscardPartialFrame() {
  TunerSampleCount = 0;
  InputSwing = 0;
  swing.rises = 0;
  swing.falls = 0;
}

void LoadFrame(TunerState& s, const int16_t* samples) {
  const int n = s.fft.FftSize;
  for (int k = 0; k < n; ++k) {
    const size_t r = static_cast<size_t>(ReverseBits(static_cast<unsigned>(k), s.fft.FftBits));
    s.FftReal[r] = static_cast<float>(samples[k]);
    s.FftImag[r] = 0.0f;
  }
}

void ComputeFFT(TunerState& s) {
  const int n = s.fft.FftSize;
  float* re = s.FftReal.data();
  float* im = s.FftImag.data();
  for (int half = 1, span = 2; span <= n; half = span, span *= 2) {
    const float theta = 6.2831855f / static_cast<float>(span);
    const float sin1 = std::sin(-theta);
    const float cos1 = std::cos(-theta);
    const float sin2 = std::sin(-2.0f * theta);
    const float cos2 = std::cos(-2.0f * theta);
    const float w = 2.0f * cos1;
    for (int i = 0; i < n; i += span) {
      // The twiddles of this block: each the recurrence of the two before it,
      // starting from the angles -2 theta and -theta, so the first is angle 0.
      float cBefore = cos2, cLast = cos1;
      float sBefore = sin2, sLast = sin1;
      for (int m = 0; m < half; ++m) {
        const float c = w * cLast - cBefore;
        cBefore = cLast;
        cLast = c;
        const float d = w * sLast - sBefore;
        sBefore = sLast;
        sLast = d;
        const int j = i + m;
        const int k = j + half;
        const float tRe = c * re[k] - d * im[k];
        const float tIm = c * im[k] + d * re[k];
        re[k] = re[j] - tRe;
        im[k] = im[j] - tIm;
        re[j] += tRe;
        im[j] += tIm;
      }
    }
  }
}

int NearestNote(const NoteTable& notes, float frequency) {
  for (int r = 1; r <= kNoteCount - 2; ++r) {
    const float below = notes[static_cast<size_t>(r - 1)].frequency;
    const float at = notes[static_cast<size_t>(r)].frequency;
    const float above = notes[static_cast<size_t>(r + 1)].frequency;
    const float overLow = frequency - (below + at) / 2.0f;
    const float underHigh = (at + above) / 2.0f - frequency;
    if (overLow > 0.0f && underHigh >= 0.0f) return r;
  }
  return -1;
}

TunerReading ReadNote(const NoteTable& notes, const FftSetup& fft, float frequency, int harmonics,
                      const TunerRules& rules) {
  TunerReading reading;
  const int r = NearestNote(notes, frequency);
  if (r >= 0) DescribeReading(notes, fft, rules, r, frequency, std::max(harmonics, 1), reading);
  return reading;
}

TunerVerdict AnalyzeSpectrum(TunerState& s, const NoteTable& notes, TunerReading* out) {
  const int bins = s.fft.FftSize / 2;

  // Peaks, strongest first; each keeps the bins within 16 of it for itself.
  s.PeakCount = 0;
  s.TunerPeaks.fill(0);
  for (int j = 0; j < kTunerPeakCount; ++j) {
    double best = 0.0;
    int bestBin = 0;
    for (int b = kFirstPeakBin; b <= bins - 2; ++b) {
      bool nearPeak = false;
      for (int k = 0; k < j; ++k)
        if (std::abs(s.TunerPeaks[static_cast<size_t>(k)] - b) < kPeakSpacing) {
          nearPeak = true;
          break;
        }
      if (nearPeak) continue;
      const double p = NeighbourPower(s, b);
      if (p > best && (j < 4 || p >= kFifthPeakPower)) {
        best = p;
        bestBin = b;
      }
    }
    if (best == 0.0) break;
    s.TunerPeaks[static_cast<size_t>(j)] = bestBin;
    s.PeakCount = j + 1;
  }
  const int count = s.PeakCount;

  std::fill(s.PeakWeights.begin(), s.PeakWeights.begin() + bins, uint8_t{0});
  for (int j = 0; j < count; ++j)
    s.PeakWeights[static_cast<size_t>(s.TunerPeaks[static_cast<size_t>(j)])] = static_cast<uint8_t>(16 - j);
  s.StrongestPeak = s.TunerPeaks[0];
  std::snprintf(s.Label20, sizeof s.Label20, "%d", s.StrongestPeak);

  int* peaks = s.TunerPeaks.data();
  std::sort(peaks, peaks + count);

  // Every gap between neighbouring peaks votes for its length (3) and the
  // lengths beside it (1 each).
  std::fill(s.GapVotes.begin(), s.GapVotes.begin() + bins, uint8_t{0});
  for (int j = 0; j + 1 < count; ++j) {
    const int g = peaks[j + 1] - peaks[j];
    if (g > kShortestGap) {
      s.GapVotes[static_cast<size_t>(g - 1)] += 1;
      s.GapVotes[static_cast<size_t>(g)] += 3;
      s.GapVotes[static_cast<size_t>(g + 1)] += 1;
    }
  }
  int f = 0;
  int votes = 0;
  for (int g = 0; g <= bins - 2; ++g)
    if (s.GapVotes[static_cast<size_t>(g)] >= votes) {
      votes = s.GapVotes[static_cast<size_t>(g)];
      f = g;
    }
  s.FundamentalGap = f;
  s.GapVoteCount = votes;
  {
    size_t used = 0;
    s.Label12[0] = '\0';
    // At most 16 x "1022 " and "-Dif=1022 ": 90 characters.
    for (int j = 0; j < count; ++j)
      used += static_cast<size_t>(std::snprintf(s.Label12 + used, sizeof s.Label12 - used, "%d ", peaks[j]));
    std::snprintf(s.Label12 + used, sizeof s.Label12 - used, "-Dif=%d ", f);
  }

  auto reject = [&](TunerVerdict v) {
    s.verdict = v;
    return v;
  };
  if (votes < kMinVotes) return reject(TunerVerdict::kFewVotes);
  if (std::abs(s.StrongestPeak - f) > 1 && std::abs(s.StrongestPeak - 2 * f) > 2 && votes < kConfidentVotes)
    return reject(TunerVerdict::kStrongestOffGap);

  // The peak nearest to the gap or one of its first multiples.
  int best = 1000;
  int anchor = 0;
  for (int t = 1; t <= 4 && best > 2; ++t) {
    for (int j = 0; j < count; ++j) {
      const int distance = std::abs(peaks[j] - t * f);
      if (distance < best) {
        best = distance;
        anchor = j;
      }
      if (best < 2) break;
    }
  }
  if (best > 16) return reject(TunerVerdict::kNoHarmonicNear);

  // The chain of harmonics above the anchor, each about f above the last.
  int last = f;
  int h = 1;
  int d = 1;
  for (int j = anchor + 1; j < count && d > 0; ++j) {
    d = last + f - peaks[j];
    if (std::abs(d) < 2) {
      last = peaks[j];
      ++h;
      d = 1;
    }
  }
  if (s.PeakWeights[static_cast<size_t>(f)] < count / 2 && h == 1) return reject(TunerVerdict::kNoChain);

  s.TunerFrequency = static_cast<float>(last * kSampleRate / s.fft.FftSize) / static_cast<float>(h);
  const int r = NearestNote(notes, s.TunerFrequency);
  if (r < 0) return reject(TunerVerdict::kOutsideNotes);

  const float hz = notes[static_cast<size_t>(r)].frequency;
  s.GapBelow = hz - notes[static_cast<size_t>(r - 1)].frequency;
  s.GapAbove = notes[static_cast<size_t>(r + 1)].frequency - hz;
  TunerReading reading;
  DescribeReading(notes, s.fft, s.rules, r, s.TunerFrequency, h, reading);
  s.NoteDeviation = reading.deviation;
  if (out) *out = reading;
  s.verdict = TunerVerdict::kReading;
  return TunerVerdict::kReading;
}

TunerVerdict AnalyzeTunerSpectrum(TunerState& s, const NoteTable& notes) {
  ComputeFFT(s);
  TunerReading reading;
  const TunerVerdict v = AnalyzeSpectrum(s, notes, &reading);
  if (v == TunerVerdict::kReading) {
    s.Reading = reading;
    s.HasReading = true;
    s.NeedleTarget = reading.deviation;
    s.TunerHold = s.rules.readingHold;
  }
  return v;
}

size_t FeedFrameBytes(TunerState& s, FrameAssembler& a, const NoteTable& notes, const uint8_t* bytes, size_t n,
                      FrameOutcome* outcome) {
  const int frameBytes = 2 * s.fft.FftSize;
  *outcome = FrameOutcome::kIncomplete;
  for (size_t i = 0; i < n; ++i) {
    ++a.TunerSampleCount;
    if (a.TunerSampleCount % 2 == 1) {
      a.lowByte = bytes[i];
      continue;
    }
    TakeSample(a, static_cast<int16_t>(static_cast<uint16_t>(a.lowByte | (bytes[i] << 8))));
    if (a.TunerSampleCount >= frameBytes) {
      *outcome = FinishFrame(s, a, notes);
      return i + 1;
    }
  }
  return n;
}

FrameOutcome FeedDeviceBytes(TunerState& s, const NoteTable& notes, const uint8_t* bytes, size_t n) {
  FrameOutcome last = FrameOutcome::kIncomplete;
  size_t at = 0;
  while (at < n) {
    FrameOutcome o;
    at += FeedFrameBytes(s, s.DeviceFrame, notes, bytes + at, n - at, &o);
    if (o != FrameOutcome::kIncomplete) last = o;
  }
  return last;
}

FrameOutcome FeedSamples(TunerState& s, FrameAssembler& a, const NoteTable& notes, const int16_t* samples,
                         size_t n) {
  FrameOutcome last = FrameOutcome::kIncomplete;
  for (size_t i = 0; i < n; ++i) {
    const uint16_t v = static_cast<uint16_t>(samples[i]);
    const uint8_t two[2] = {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)};
    FrameOutcome o;
    FeedFrameBytes(s, a, notes, two, 2, &o);
    if (o != FrameOutcome::kIncomplete) last = o;
  }
  return last;
}
