#include "tuner/tuner.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kFirstPeakBin = 18;
constexpr int kPeakReach = 3;              // a peak is the strongest bin within 3 on either side
constexpr double kProminence = 15.8489319; // 12 dB above the local noise floor
constexpr double kDynamicRange = 1.0e-6;   // and within 60 dB of the strongest peak
constexpr int kFloorBand = 64;             // bins of each band whose median is the noise floor
constexpr int kShortestGap = 18;           // gaps up to this long do not vote
constexpr int kMinVotes = 3;               // one clean gap
constexpr int kLongestSkip = 3;            // harmonics the chain may step over (nodes of the pluck)
constexpr double kOddShare = 0.02;         // odd harmonics weaker than this: the gap was half the spacing
constexpr double kMaxStretch = 2.5e-4;     // the largest stretch per harmonic squared (B / 2)
constexpr double kMaxSpreadCents = 2.0;    // harmonics disagreeing more than this: no reading
constexpr double kFloorRiseDb = 1.0;       // per frame while the gate is open
constexpr double kMedianToMean = 0.6931;   // the median of a bin's noise power over its mean
constexpr double kPlaceError = 1250.0;     // cents x bins: a peak's place error times its fundamental and root clarity
constexpr double kMaxFrameErrorCents = 10.0; // a frame less sure than this measures nothing
constexpr double kMaxErrorCents = 1.0;     // the largest expected error of a reading shown
constexpr double kTrackKeep = 0.5;         // the weight the frames before keep with each new one
constexpr double kAgreeSigmas = 3.0;       // frames this many expected errors apart disagree
constexpr double kStraySigmas = 4.0;       // a partial this many of its errors off the fit strays
constexpr double kModelCents = 0.3;        // the least error of a partial's place (the fit's own)
constexpr int kMaxStrays = 2;              // partials left out of one fit at most
constexpr double kFollowCents = 15.0;      // how near the string read before a lone peak must lie
constexpr double kFullScale = 32768.0;

constexpr int kDedoStringStep = 12;
constexpr double kNeedlePixelsPerUnit = 3.0;

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
void DescribeReading(const NoteTable& notes, const TunerRules& rules, int r, float frequency, int h,
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

  out.cents = 1200.0 * std::log2(static_cast<double>(frequency) / static_cast<double>(e.frequency));

  // In tune within 3 cents; the needle then shows the deviation in Hz.
  const double freq = frequency;
  if (std::abs(out.cents) <= kInTuneCents) {
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
  a.LastLevelDb = FrameLevelDb(a.samples.data(), s.fft.FftSize);
  const double floorBefore = a.gate.floorDb;
  if (PassLevelGate(a.gate, s.rules, a.LastLevelDb)) {
    LoadFrame(s, a.samples.data());
    outcome = AnalyzeTunerSpectrum(s, notes) == TunerVerdict::kReading ? FrameOutcome::kReading
                                                                         : FrameOutcome::kRejected;
    s.TunerFrameHold = kFrameHoldTicks;
    // A note being read is no noise: the floor rises only under frames that
    // read nothing (a hum that came on), so a long steady note keeps reading.
    if (outcome == FrameOutcome::kReading) a.gate.floorDb = std::min(a.gate.floorDb, floorBefore);
  } else {
    s.TrackedFundamental = 0.0;  // the string has stopped
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

double FrameLevelDb(const int16_t* samples, int n) {
  double sum = 0.0;
  for (int k = 0; k < n; ++k) sum += double(samples[k]) * double(samples[k]);
  if (n <= 0 || sum <= 0.0) return kSilenceDb;
  return std::max(kSilenceDb, 10.0 * std::log10(sum / n / (kFullScale * kFullScale)));
}

bool PassLevelGate(LevelGate& g, const TunerRules& rules, double levelDb) {
  const double above = g.open ? rules.gateCloseDb : rules.gateOpenDb;
  const bool pass = levelDb >= rules.gateMinimumDb && levelDb >= g.floorDb + above;
  if (levelDb < g.floorDb)
    g.floorDb = levelDb;  // a quieter frame is the floor at once
  else if (!pass)
    g.floorDb += 0.5 * (levelDb - g.floorDb);  // a steady sound (hum, noise) becomes the floor
  else
    g.floorDb += std::min(levelDb - g.floorDb, kFloorRiseDb);  // a ringing string barely moves it
  g.open = pass;
  return pass;
}

void LoadFrame(TunerState& s, const int16_t* samples) {
  const int n = s.fft.FftSize;
  const double step = 6.283185307179586 / n;
  for (int k = 0; k < n; ++k) {
    const size_t r = static_cast<size_t>(ReverseBits(static_cast<unsigned>(k), s.fft.FftBits));
    const double x = samples[k];
    s.FftReal[r] = static_cast<float>(x * (0.5 - 0.5 * std::cos(step * k)));
    s.FftImag[r] = static_cast<float>(x * std::sin(step * k));
  }
}

void ComputeFFT(TunerState& s) {
  const int n = s.fft.FftSize;
  float* re = s.FftReal.data();
  float* im = s.FftImag.data();
  for (int half = 1, span = 2; span <= n; half = span, span *= 2) {
    const double theta = 6.283185307179586 / span;
    const double sin1 = std::sin(-theta);
    const double cos1 = std::cos(-theta);
    const double sin2 = std::sin(-2.0 * theta);
    const double cos2 = std::cos(-2.0 * theta);
    const double w = 2.0 * cos1;
    for (int i = 0; i < n; i += span) {
      // The twiddles of this block: each the recurrence of the two before it,
      // starting from the angles -2 theta and -theta, so the first is angle 0.
      double cBefore = cos2, cLast = cos1;
      double sBefore = sin2, sLast = sin1;
      for (int m = 0; m < half; ++m) {
        const double cd = w * cLast - cBefore;
        cBefore = cLast;
        cLast = cd;
        const double dd = w * sLast - sBefore;
        sBefore = sLast;
        sLast = dd;
        const float c = static_cast<float>(cd);
        const float d = static_cast<float>(dd);
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

TunerReading ReadNote(const NoteTable& notes, const FftSetup& /*fft*/, float frequency, int harmonics,
                      const TunerRules& rules) {
  TunerReading reading;
  const int r = NearestNote(notes, frequency);
  if (r >= 0) DescribeReading(notes, rules, r, frequency, std::max(harmonics, 1), reading);
  return reading;
}

TunerVerdict AnalyzeSpectrum(TunerState& s, const NoteTable& notes, TunerReading* out) {
  const int n = s.fft.FftSize;
  const int bins = n / 2;
  auto reject = [&](TunerVerdict v) {
    s.verdict = v;
    s.TrackedFundamental = 0.0;
    s.TrackedWeight = 0.0;
    return v;
  };

  // The two spectra of the packed transform: bin m of the Hann-windowed
  // frame, Xh = (Z[m] + conj Z[N-m]) / 2, and of the frame under
  // sin(2 pi k / N), Xs = (Z[m] - conj Z[N-m]) / 2i.
  auto spectra = [&](int m, double& hr, double& hi, double& sr, double& si) {
    const double zr = s.FftReal[size_t(m)], zi = s.FftImag[size_t(m)];
    const double cr = s.FftReal[size_t((n - m) % n)], ci = -s.FftImag[size_t((n - m) % n)];
    hr = 0.5 * (zr + cr);
    hi = 0.5 * (zi + ci);
    sr = 0.5 * (zi - ci);
    si = -0.5 * (zr - cr);
  };
  for (int m = 0; m < bins; ++m) {
    double hr, hi, sr, si;
    spectra(m, hr, hi, sr, si);
    s.Power[size_t(m)] = static_cast<float>(hr * hr + hi * hi);
  }

  // The noise floor: the median power of each band of 64 bins, between the
  // bands' middles drawn straight.
  {
    constexpr int kMaxBands = kMaxFftSize / 2 / kFloorBand;
    std::array<float, kMaxBands> median{};
    std::array<float, kFloorBand> scratch{};
    const int bands = bins / kFloorBand;
    for (int b = 0; b < bands; ++b) {
      std::copy_n(s.Power.begin() + b * kFloorBand, kFloorBand, scratch.begin());
      std::nth_element(scratch.begin(), scratch.begin() + kFloorBand / 2, scratch.end());
      median[size_t(b)] = scratch[kFloorBand / 2];
    }
    for (int m = 0; m < bins; ++m) {
      const double at = (m + 0.5) / kFloorBand - 0.5;
      const int b0 = std::clamp(static_cast<int>(std::floor(at)), 0, bands - 1);
      const int b1 = std::min(b0 + 1, bands - 1);
      const double t = std::clamp(at - b0, 0.0, 1.0);
      s.NoiseFloor[size_t(m)] = static_cast<float>((1 - t) * median[size_t(b0)] + t * median[size_t(b1)]);
    }
  }

  // Peaks: bins stronger than every bin within 3 on either side (which
  // leaves out the window's side lobes), standing 15 dB out of the noise
  // floor and within 60 dB of the strongest; the 16 strongest, strongest first.
  double strongest = 0.0;
  for (int m = kFirstPeakBin; m <= bins - 2; ++m) strongest = std::max(strongest, double(s.Power[size_t(m)]));
  s.PeakCount = 0;
  s.TunerPeaks.fill(0);
  for (int m = kFirstPeakBin; m <= bins - 2 && strongest > 0.0; ++m) {
    const double p = s.Power[size_t(m)];
    if (p < strongest * kDynamicRange || p < s.NoiseFloor[size_t(m)] * kProminence) continue;
    bool top = true;
    for (int j = std::max(0, m - kPeakReach); j <= std::min(bins - 1, m + kPeakReach) && top; ++j)
      if (j != m && (j < m ? s.Power[size_t(j)] >= p : s.Power[size_t(j)] > p)) top = false;
    if (!top) continue;
    // In the list by power, strongest first; the weakest falls off the end.
    int at = s.PeakCount;
    while (at > 0 && s.PeakPower[size_t(at - 1)] < p) --at;
    if (at >= kTunerPeakCount) continue;
    for (int k = std::min(s.PeakCount, kTunerPeakCount - 1); k > at; --k) {
      s.TunerPeaks[size_t(k)] = s.TunerPeaks[size_t(k - 1)];
      s.PeakPower[size_t(k)] = s.PeakPower[size_t(k - 1)];
    }
    s.TunerPeaks[size_t(at)] = m;
    s.PeakPower[size_t(at)] = p;
    s.PeakCount = std::min(s.PeakCount + 1, kTunerPeakCount);
  }
  const int count = s.PeakCount;

  std::fill(s.PeakWeights.begin(), s.PeakWeights.begin() + bins, uint8_t{0});
  for (int j = 0; j < count; ++j)
    s.PeakWeights[static_cast<size_t>(s.TunerPeaks[static_cast<size_t>(j)])] = static_cast<uint8_t>(16 - j);
  s.StrongestPeak = s.TunerPeaks[0];
  std::snprintf(s.Label20, sizeof s.Label20, "%d", s.StrongestPeak);

  // Ascending by bin, each peak at its true place: the bin moved by
  // Im(Xs / Xh) / 2, which holds for a decaying partial too.
  {
    std::array<int, kTunerPeakCount> order{};
    for (int j = 0; j < count; ++j) order[size_t(j)] = j;
    std::sort(order.begin(), order.begin() + count,
              [&](int x, int y) { return s.TunerPeaks[size_t(x)] < s.TunerPeaks[size_t(y)]; });
    std::array<int, kTunerPeakCount> bin{};
    std::array<double, kTunerPeakCount> power{};
    for (int j = 0; j < count; ++j) {
      bin[size_t(j)] = s.TunerPeaks[size_t(order[size_t(j)])];
      power[size_t(j)] = s.PeakPower[size_t(order[size_t(j)])];
    }
    for (int j = 0; j < count; ++j) {
      const int m = bin[size_t(j)];
      s.TunerPeaks[size_t(j)] = m;
      s.PeakPower[size_t(j)] = power[size_t(j)];
      double hr, hi, sr, si;
      spectra(m, hr, hi, sr, si);
      const double den = hr * hr + hi * hi;
      const double imRatio = den > 0.0 ? (si * hr - sr * hi) / den : 0.0;
      s.PeakPlace[size_t(j)] = m + std::clamp(0.5 * imRatio, -1.0, 1.0);
    }
  }
  const int* peaks = s.TunerPeaks.data();
  const double* place = s.PeakPlace.data();

  // How sure the place of peak j is: its power over the mean noise power
  // of its bins (the floor is their median).
  auto clarity = [&](int j) {
    const double noise = std::max(double(s.NoiseFloor[size_t(peaks[j])]) / kMedianToMean, 1e-12 * strongest);
    return s.PeakPower[size_t(j)] / noise;
  };

  // A fundamental found (in bins): its note and the reading.
  auto readAt = [&](double fundamental, int h) {
    s.TunerFrequency = static_cast<float>(fundamental * kSampleRate / n);
    const int r = NearestNote(notes, s.TunerFrequency);
    if (r < 0) return reject(TunerVerdict::kOutsideNotes);
    const float hz = notes[static_cast<size_t>(r)].frequency;
    s.GapBelow = hz - notes[static_cast<size_t>(r - 1)].frequency;
    s.GapAbove = notes[static_cast<size_t>(r + 1)].frequency - hz;
    TunerReading reading;
    DescribeReading(notes, s.rules, r, s.TunerFrequency, h, reading);
    s.NoteDeviation = reading.deviation;
    if (out) *out = reading;
    s.verdict = TunerVerdict::kReading;
    return TunerVerdict::kReading;
  };

  // A frame's fundamental (in bins) with its expected error (cents, from
  // its partials' clarity). A string that keeps sounding is measured by every
  // frame: when this frame agrees with the string read before, within their
  // errors, the two are joined, each weighted by how sure it is, the older
  // frames counting less with every new one; a frame that disagrees (a peg
  // turned, a new string) starts afresh. The joined fundamental is shown
  // when it is sure to within a cent.
  auto settle = [&](double fundamental, double error, int h) {
    if (error > kMaxFrameErrorCents) return reject(TunerVerdict::kUnsure);
    double f = fundamental;
    double w = 1.0 / (error * error);
    const double t = s.TrackedFundamental;
    if (t > 0.0) {
      const double wt = s.TrackedWeight * kTrackKeep;
      const double apart = std::abs(1200.0 * std::log2(f / t));
      if (apart <= kAgreeSigmas * std::sqrt(error * error + 1.0 / wt)) {
        f = std::exp((w * std::log(f) + wt * std::log(t)) / (w + wt));
        w += wt;
      }
    }
    s.TrackedFundamental = f;
    s.TrackedWeight = w;
    s.ExpectedErrorCents = 1.0 / std::sqrt(w);
    if (s.ExpectedErrorCents > kMaxErrorCents) {
      s.verdict = TunerVerdict::kUnsure;  // the string is followed on, not shown yet
      return TunerVerdict::kUnsure;
    }
    return readAt(f, h);
  };

  // A string read on the frame before still rings when its upper partials
  // have sunk into the noise: the clearest peak within 15 cents of one of
  // its first four harmonics carries the reading on. Nothing else (a hum, a
  // whistle) is read from a single peak.
  auto follow = [&](TunerVerdict why) {
    const double f0 = s.TrackedFundamental;
    if (f0 <= 0.0) return reject(why);
    int best = -1, bestHarmonic = 0;
    double bestWeight = 0.0;
    for (int j = 0; j < count; ++j)
      for (int k = 1; k <= 4; ++k) {
        const double expected = k * f0 * (1.0 + s.TrackedStretch * k * k);
        const double w = clarity(j) * k * k;
        if (std::abs(1200.0 * std::log2(place[j] / expected)) <= kFollowCents && w > bestWeight) {
          best = j;
          bestHarmonic = k;
          bestWeight = w;
        }
      }
    if (best < 0) return reject(why);
    const double k = bestHarmonic;
    const double fundamental = place[best] / (k * (1.0 + s.TrackedStretch * k * k));
    return settle(fundamental, kPlaceError / (fundamental * std::sqrt(bestWeight)), 1);
  };

  // Every gap between neighbouring peaks votes for its length (3) and the
  // lengths beside it (1 each).
  std::fill(s.GapVotes.begin(), s.GapVotes.begin() + bins, uint8_t{0});
  for (int j = 0; j + 1 < count; ++j) {
    const int g = static_cast<int>(std::lround(place[j + 1] - place[j]));
    if (g > kShortestGap && g + 1 < bins) {
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
  s.ChainLength = 0;
  s.ChainTop = 0;
  {
    size_t used = 0;
    s.Label12[0] = '\0';
    // At most 16 x "1022 " and "-Dif=1022 ": 90 characters.
    for (int j = 0; j < count; ++j)
      used += static_cast<size_t>(std::snprintf(s.Label12 + used, sizeof s.Label12 - used, "%d ", peaks[j]));
    std::snprintf(s.Label12 + used, sizeof s.Label12 - used, "-Dif=%d ", f);
  }
  if (votes < kMinVotes) return follow(TunerVerdict::kFewVotes);

  // The spacing: the mean of the gaps that voted for the winner.
  double spacing = 0.0;
  int gaps = 0;
  for (int j = 0; j + 1 < count; ++j) {
    const double g = place[j + 1] - place[j];
    if (std::abs(g - f) <= 1.5) {
      spacing += g;
      ++gaps;
    }
  }
  spacing = gaps ? spacing / gaps : f;

  // The anchor: the lowest peak on one of the first four multiples of the
  // spacing; the chain starts there.
  int anchor = -1;
  int anchorHarmonic = 0;
  for (int j = 0; j < count && anchor < 0; ++j)
    for (int t = 1; t <= 4; ++t)
      if (std::abs(place[j] - t * spacing) <= 1.5 + 0.03 * t * spacing) {
        anchor = j;
        anchorHarmonic = t;
        break;
      }
  if (anchor < 0) return follow(TunerVerdict::kNoHarmonicNear);

  // The chain: each peak above the anchor on the next harmonics (at most
  // three stepped over), the spacing following the stretch as it climbs.
  std::array<int, kTunerPeakCount> member{};
  std::array<int, kTunerPeakCount> harmonic{};
  int h = 0;
  member[0] = anchor;
  harmonic[0] = anchorHarmonic;
  h = 1;
  double step = place[anchor] / anchorHarmonic;
  for (int j = anchor + 1; j < count; ++j) {
    const int k = static_cast<int>(std::lround(place[j] / step));
    const int last = harmonic[size_t(h - 1)];
    if (k <= last) continue;
    if (k - last > kLongestSkip + 1) break;
    if (std::abs(place[j] - k * step) > 0.5 + 0.03 * step) continue;
    member[size_t(h)] = j;
    harmonic[size_t(h)] = k;
    ++h;
    step = place[j] / k;
  }
  // The octave guard: a string's odd harmonics always carry some of its
  // sound; when they carry next to nothing, the spacing was half the true one.
  {
    double odd = 0.0, even = 0.0;
    for (int i = 0; i < h; ++i) (harmonic[size_t(i)] % 2 ? odd : even) += s.PeakPower[size_t(member[size_t(i)])];
    if (even > 0.0 && odd < kOddShare * even) {
      int kept = 0;
      for (int i = 0; i < h; ++i)
        if (harmonic[size_t(i)] % 2 == 0) {
          member[size_t(kept)] = member[size_t(i)];
          harmonic[size_t(kept)] = harmonic[size_t(i)] / 2;
          ++kept;
        }
      h = kept;
    }
  }
  s.ChainLength = h;
  s.ChainTop = h ? harmonic[size_t(h - 1)] : 0;
  if (h < 2) return follow(TunerVerdict::kNoChain);

  // The fundamental: each harmonic's place divided by its number, fitted
  // against the number squared (a stiff string's partials stretch so), each
  // weighted by how sure its place is (its power over the noise floor, and
  // its number squared); the line's start is the fundamental. With few
  // harmonics the weighted mean. A partial that strays from the fit far
  // beyond its own error (pulled by a hum on top of it) is left out and the
  // rest fitted again.
  double fundamental = 0.0, slope = 0.0, sw = 0.0, spread = 0.0;
  for (int pass = 0;; ++pass) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int top = 0;
    sw = 0.0;
    for (int i = 0; i < h; ++i) {
      const double k = harmonic[size_t(i)];
      const double w = clarity(member[size_t(i)]) * k * k;
      const double x = k * k;
      const double y = place[member[size_t(i)]] / k;
      sw += w;
      sx += w * x;
      sy += w * y;
      sxx += w * x * x;
      sxy += w * x * y;
      top = std::max(top, harmonic[size_t(i)]);
    }
    const double meanX = sx / sw, meanY = sy / sw;
    const double varX = sxx / sw - meanX * meanX;
    fundamental = meanY;
    slope = 0.0;
    if (h >= 3 && top >= 4 && varX > 1e-9) {
      slope = std::clamp((sxy / sw - meanX * meanY) / varX, 0.0, kMaxStretch * meanY);
      fundamental = meanY - slope * meanX;
    }
    spread = 0.0;
    int stray = -1;
    double strayBy = kStraySigmas;
    for (int i = 0; i < h; ++i) {
      const double k = harmonic[size_t(i)];
      const int j = member[size_t(i)];
      const double c = 1200.0 * std::log2(place[j] / k / (fundamental + slope * k * k));
      spread += clarity(j) * k * k * c * c;
      const double own = std::max(kPlaceError / (place[j] * std::sqrt(clarity(j))), kModelCents);
      if (std::abs(c) / own > strayBy) {
        strayBy = std::abs(c) / own;
        stray = i;
      }
    }
    if (stray < 0 || h < 3 || pass >= kMaxStrays) break;
    for (int i = stray; i + 1 < h; ++i) {
      member[size_t(i)] = member[size_t(i + 1)];
      harmonic[size_t(i)] = harmonic[size_t(i + 1)];
    }
    --h;
  }

  // How far the harmonics stray from the fit (weighted RMS, in cents): when
  // they still disagree by more than their errors allow, the frame shows
  // nothing rather than a wandering needle.
  const double error = kPlaceError / (fundamental * std::sqrt(sw));
  if (std::sqrt(spread / sw) > std::max(kMaxSpreadCents, kAgreeSigmas * error)) return follow(TunerVerdict::kUnsure);
  s.TrackedStretch = slope / fundamental;
  return settle(fundamental, error, h);
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
