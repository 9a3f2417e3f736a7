#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <complex>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "guitar/notes.h"
#include "platform/audio/wave_in.h"
#include "tuner/corpus.h"
#include "tuner/tuner.h"
#include "tuner/tuner_input.h"

namespace {

const NoteTable& Notes() {
  static const NoteTable t = InitialTablaNotas();
  return t;
}

std::unique_ptr<TunerState> NewState(int size = 2048) {
  auto s = std::make_unique<TunerState>();
  s->fft = MakeFftSetup(size);
  return s;
}

constexpr double kBin = 8000.0 / 2048;  // Hz a bin

// The samples in the transform's bit-reversed order as they are, without
// the window.
void LoadRaw(TunerState& s, const std::vector<int16_t>& x) {
  for (size_t k = 0; k < x.size(); ++k) {
    const size_t r = size_t(ReverseBits(unsigned(k), s.fft.FftBits));
    s.FftReal[r] = float(x[k]);
    s.FftImag[r] = 0.0f;
  }
}

// One frame analysed as the framing does it, without the gate.
TunerVerdict AnalyzeFrame(TunerState& s, const std::vector<int16_t>& frame, TunerReading* r) {
  LoadFrame(s, frame.data());
  ComputeFFT(s);
  return AnalyzeSpectrum(s, Notes(), r);
}

// Partials of (frequency in Hz, amplitude), summed and rounded.
std::vector<int16_t> Partials(const std::vector<std::pair<double, double>>& partials, size_t n, size_t offset = 0) {
  std::vector<int16_t> v(n);
  for (size_t i = 0; i < n; ++i) {
    double x = 0;
    for (auto [f, a] : partials) x += a * std::sin(2 * M_PI * f * double(i + offset) / 8000.0);
    v[i] = static_cast<int16_t>(std::lround(x));
  }
  return v;
}

// Four harmonics of 110 Hz, read as A2.
std::vector<int16_t> A110(size_t n, size_t offset = 0) {
  return Partials({{110, 1000}, {220, 600}, {330, 450}, {440, 350}}, n, offset);
}

std::vector<uint8_t> Bytes(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> b(samples.size() * 2);
  std::memcpy(b.data(), samples.data(), b.size());
  return b;
}

}  // namespace

// --- set-up and bit reversal -------------------------------------------------

TEST(TunerFft, SetupAcceptsThreeSizes) {
  struct Case {
    int asked, size, bits;
    float width;  // 8000 div size, in whole Hz
  } cases[] = {{1024, 1024, 10, 7.0f}, {2048, 2048, 11, 3.0f}, {4096, 4096, 12, 1.0f},
               {512, 2048, 11, 3.0f},  {0, 2048, 11, 3.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked);
    const FftSetup f = MakeFftSetup(c.asked);
    EXPECT_EQ(f.FftSize, c.size);
    EXPECT_EQ(f.FftBits, c.bits);
    EXPECT_EQ(f.FftBinWidth, c.width);
  }
}

TEST(TunerFft, ReverseBits) {
  struct Case {
    unsigned index;
    int bits;
    int reversed;
  } cases[] = {
      {1, 11, 1024}, {2047, 11, 2047}, {0, 11, 0},       {2, 11, 512},   {1024, 11, 1},
      {0b10110, 11, 0b01101000000},    {1, 10, 512},     {1, 12, 2048},
      {2048 + 1, 11, 1024},  // bits above the width are ignored
  };
  for (const Case& c : cases) EXPECT_EQ(ReverseBits(c.index, c.bits), c.reversed) << c.index << "/" << c.bits;
}

// The transform of the frame loaded in bit-reversed order against a direct
// DFT in double precision of the same samples: a mix of partials, one off
// the bins, and noise.
TEST(TunerFft, MagnitudesMatchDirectDft) {
  for (int size : {1024, 2048, 4096}) {
    SCOPED_TRACE(size);
    auto s = NewState(size);
    const size_t n = size_t(size);
    std::vector<int16_t> x = Partials({{110, 6000}, {523.7, 3000}, {1999.0, 1500}}, n);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> noise(-800, 800);
    for (int16_t& v : x) v = static_cast<int16_t>(v + noise(rng));
    LoadRaw(*s, x);
    ComputeFFT(*s);

    double worst = 0, largest = 0;
    for (size_t k = 0; k < n / 2; ++k) {
      std::complex<double> sum = 0;
      for (size_t t = 0; t < n; ++t) sum += double(x[t]) * std::polar(1.0, -2 * M_PI * double(k * t % n) / double(n));
      const double fft = std::hypot(double(s->FftReal[k]), double(s->FftImag[k]));
      worst = std::max(worst, std::abs(fft - std::abs(sum)));
      largest = std::max(largest, std::abs(sum));
    }
    // Single-precision butterflies, the twiddles' recurrence in double: the
    // errors stay far within 0.01 % of the largest magnitude at every size.
    EXPECT_LT(worst, 1e-4 * largest);
  }
}

// --- the analysis of a spectrum ----------------------------------------------

// The windowed load: one complex transform gives the Hann-windowed spectrum
// and, from the derivative window, the true place of each peak, a decaying
// partial's too, far within a thousandth of a bin.
TEST(TunerAnalysis, PeaksAtTheirTruePlaces) {
  auto s = NewState();
  const double places[] = {21.097, 28.5, 41.03, 84.385, 300.77};
  std::vector<int16_t> x(2048);
  for (size_t i = 0; i < x.size(); ++i) {
    double v = 0;
    for (double p : places) v += 2000 * std::exp(-4.0 * double(i) / 8000) * std::sin(2 * M_PI * p * kBin * double(i) / 8000 + p);
    x[i] = int16_t(std::lround(v));
  }
  AnalyzeFrame(*s, x, nullptr);
  ASSERT_EQ(s->PeakCount, 5) << s->Label12;
  for (int j = 0; j < 5; ++j) EXPECT_NEAR(s->PeakPlace[size_t(j)], places[j], 6e-3) << j;
}

// The 110 Hz string of four harmonics (amplitudes 1000, 600, 450, 350): its
// peaks lie in bins 28 (strongest), 56, 84 and 113; the gaps of 28.16 bins
// vote 9 for 28; the chain runs over the four harmonics; the fit gives the
// string's own 110.00 Hz: A2 (110 Hz), in tune.
TEST(TunerAnalysis, WorkedExample) {
  auto s = NewState();
  TunerReading r;
  ASSERT_EQ(AnalyzeFrame(*s, A110(2048), &r), TunerVerdict::kReading);
  EXPECT_EQ(s->PeakCount, 4);
  EXPECT_EQ(s->StrongestPeak, 28);
  EXPECT_EQ(s->FundamentalGap, 28);
  EXPECT_EQ(s->GapVoteCount, 9);
  EXPECT_EQ(s->PeakWeights[28], 16);
  EXPECT_EQ(s->PeakWeights[113], 13);
  EXPECT_STREQ(s->Label20, "28");
  EXPECT_STREQ(s->Label12, "28 56 84 113 -Dif=28 ");
  EXPECT_EQ(r.harmonics, 4);
  EXPECT_NEAR(r.frequency, 110.0, 0.002);  // 109.9986 Hz: -0.023 cents
  EXPECT_NEAR(r.cents, 0.0, 0.03);
  EXPECT_EQ(r.note, 12);
  EXPECT_EQ(r.pitch, TunerPitch::kInTune);
  EXPECT_STREQ(r.STFrec, "110.00Hz OK");
  EXPECT_STREQ(r.STFrecBase, "110.00Hz");
  EXPECT_STREQ(r.STNota, "A ");
  EXPECT_STREQ(r.STNotaEsp, "La ");
  EXPECT_STREQ(r.STCuerda, "5\u00AA");
  EXPECT_STREQ(r.STMasmenos, " ");
  EXPECT_STREQ(r.STTraste, "  ");
  EXPECT_EQ(r.DedoTop, 129 - 12 * 5);
  EXPECT_EQ(r.DedoLeft, 566 + 234);
  // AnalyzeSpectrum shows nothing by itself.
  EXPECT_FALSE(s->HasReading);
  EXPECT_EQ(s->TunerHold, kInitialTunerHold);
}

TEST(TunerAnalysis, RejectedFrames) {
  auto bins = [](std::vector<double> places, double amplitude = 3000) {
    std::vector<std::pair<double, double>> p;
    for (double b : places) p.push_back({b * kBin, amplitude});
    return p;
  };
  struct Case {
    const char* what;
    int size;
    std::vector<std::pair<double, double>> partials;  // Hz, amplitude
    TunerVerdict verdict;
  } cases[] = {
      // No gap, no vote.
      {"a single partial", 2048, {{300, 9000}}, TunerVerdict::kFewVotes},
      // 17 bins apart: no vote.
      {"gaps of 17 bins", 2048, bins({40.3, 57.3, 74.3, 91.3}), TunerVerdict::kFewVotes},
      // Mains hum, 50 Hz and its harmonics: gaps of 12.8 bins.
      {"mains hum", 2048, {{50, 6000}, {100, 3000}, {150, 3000}, {200, 1000}, {250, 800}}, TunerVerdict::kFewVotes},
      // Four gaps of 20 bins far above 20, 40, 60 and 80.
      {"no peak near the first multiples", 2048, bins({200.2, 220.2, 240.2, 260.2, 280.2}),
       TunerVerdict::kNoHarmonicNear},
      // 4096 points: 39 Hz and its harmonics lie below the table.
      {"below the notes", 4096, {{39.1, 6000}, {78.2, 4000}, {117.3, 3000}}, TunerVerdict::kOutsideNotes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = NewState(c.size);
    TunerReading r;
    EXPECT_EQ(AnalyzeFrame(*s, Partials(c.partials, size_t(c.size)), &r), c.verdict) << s->Label12;
    EXPECT_EQ(r.note, -1);
  }
}

// A string read on one frame is followed on the next ones: a lone partial
// on one of its harmonics carries the reading on (its upper partials have
// died away), anything else starts afresh, and a string retuned between
// frames reads its new pitch at once.
TEST(TunerAnalysis, FollowsARingingString) {
  const double sharp = 110.0 * std::pow(2.0, 20.0 / 1200);  // A2, 20 cents sharp
  struct Case {
    const char* what;
    bool readBefore;  // the A2 of four harmonics on the frame before
    std::vector<std::pair<double, double>> partials;
    TunerVerdict verdict;
    double hz;  // the reading's frequency
  } cases[] = {
      {"the fundamental alone after the string", true, {{110, 1500}}, TunerVerdict::kReading, 110},
      {"the second harmonic alone after the string", true, {{220, 1500}}, TunerVerdict::kReading, 110},
      {"a lone partial with nothing read before", false, {{110, 1500}}, TunerVerdict::kFewVotes, 0},
      {"a lone partial a semitone off the string", true, {{116.54, 1500}}, TunerVerdict::kFewVotes, 0},
      {"a lone partial 30 cents off the string", true, {{111.92, 1500}}, TunerVerdict::kFewVotes, 0},
      {"the string retuned 20 cents sharp", true,
       {{sharp, 1000}, {2 * sharp, 600}, {3 * sharp, 450}, {4 * sharp, 350}}, TunerVerdict::kReading, sharp},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = NewState();
    TunerReading r;
    if (c.readBefore) {
      ASSERT_EQ(AnalyzeFrame(*s, A110(2048), &r), TunerVerdict::kReading);
    }
    r = TunerReading{};
    EXPECT_EQ(AnalyzeFrame(*s, Partials(c.partials, 2048, 2048), &r), c.verdict) << s->Label12;
    if (c.verdict == TunerVerdict::kReading) {
      EXPECT_EQ(r.note, 12);
      EXPECT_LT(std::abs(CentsOff(r.frequency, c.hz)), 0.5) << r.frequency;
    } else {
      EXPECT_EQ(r.note, -1);
      EXPECT_EQ(s->TrackedFundamental, 0.0);  // and nothing is followed on the next frame
    }
  }
  // A frame the level gate keeps shut ends the string: a lone partial after
  // it reads nothing.
  auto s = NewState();
  std::vector<int16_t> x = A110(2048);
  const std::vector<int16_t> silence(2048, 0);
  const std::vector<int16_t> lone = Partials({{110, 1500}}, 2048, 4096);
  x.insert(x.end(), silence.begin(), silence.end());
  x.insert(x.end(), lone.begin(), lone.end());
  EXPECT_EQ(FeedSamples(*s, s->MicFrame, Notes(), x.data(), 2048), FrameOutcome::kReading);
  EXPECT_EQ(FeedSamples(*s, s->MicFrame, Notes(), x.data() + 2048, 2048), FrameOutcome::kQuiet);
  EXPECT_EQ(FeedSamples(*s, s->MicFrame, Notes(), x.data() + 4096, 2048), FrameOutcome::kRejected);
}

TEST(TunerAnalysis, GapVotesChainAndOctaveGuard) {
  // 19 bins apart: votes at 18, 19 and 20.
  auto s = NewState();
  AnalyzeFrame(*s, Partials({{40.2 * kBin, 6000}, {59.2 * kBin, 4000}}, 2048), nullptr);
  EXPECT_EQ(s->GapVotes[17], 0);
  EXPECT_EQ(s->GapVotes[18], 1);
  EXPECT_EQ(s->GapVotes[19], 3);
  EXPECT_EQ(s->GapVotes[20], 1);
  EXPECT_EQ(s->FundamentalGap, 19);

  // Gaps 45, 45, 40, 40: 6 votes each; the longer gap wins.
  AnalyzeFrame(*s, Partials({{45.1 * kBin, 6000}, {90.1 * kBin, 5000}, {135.1 * kBin, 4000}, {175.1 * kBin, 3000},
                             {215.1 * kBin, 2000}}, 2048), nullptr);
  EXPECT_EQ(s->GapVotes[40], 6);
  EXPECT_EQ(s->GapVotes[45], 6);
  EXPECT_EQ(s->FundamentalGap, 45);

  // A weak fundamental: the chain starts at the second harmonic and still
  // gives the string's frequency.
  TunerReading r;
  ASSERT_EQ(AnalyzeFrame(*s, Partials({{110, 150}, {220, 3000}, {330, 4000}, {440, 3000}, {550, 2000}}, 2048), &r),
            TunerVerdict::kReading);
  EXPECT_EQ(r.note, 12);
  EXPECT_NEAR(r.cents, 0.0, 0.1);
  ASSERT_EQ(AnalyzeFrame(*s, Partials({{220, 3000}, {330, 4000}, {440, 3000}, {550, 2000}}, 2048), &r),
            TunerVerdict::kReading);
  EXPECT_EQ(r.note, 12);  // no fundamental at all
  EXPECT_NEAR(r.cents, 0.0, 0.1);
  // A missing harmonic (a node of the pluck) is stepped over.
  ASSERT_EQ(AnalyzeFrame(*s, Partials({{110, 3000}, {220, 3000}, {440, 2000}, {550, 2000}}, 2048), &r),
            TunerVerdict::kReading);
  EXPECT_EQ(r.harmonics, 4);

  // Weak peaks halfway between an A2's harmonics make the gap vote elect
  // 55 Hz; the odd harmonics of that carry next to nothing, so the guard
  // reads A2, not A1.
  ASSERT_EQ(AnalyzeFrame(*s, Partials({{110, 6000}, {165, 300}, {220, 5000}, {275, 300}, {330, 4000}, {440, 3000}}, 2048),
                         &r),
            TunerVerdict::kReading);
  EXPECT_EQ(r.note, 12);
  EXPECT_NEAR(r.cents, 0.0, 0.1);

  // A stiff string: partial k at k f sqrt(1 + B k^2) with B = 1e-4 (the
  // tenth 8.7 cents sharp); the fit gives the fundamental itself.
  std::vector<std::pair<double, double>> stiff;
  for (int k = 1; k <= 12; ++k) stiff.push_back({k * 82.41 * std::sqrt(1 + 1e-4 * k * k), 3000.0 / k});
  ASSERT_EQ(AnalyzeFrame(*s, Partials(stiff, 2048), &r), TunerVerdict::kReading);
  EXPECT_EQ(r.note, 7);  // E2
  EXPECT_NEAR(1200 * std::log2(r.frequency / (82.41 * std::sqrt(1 + 1e-4))), 0.0, 0.3);
}

// Noise alone gives no peak: each must stand 12 dB out of the frame's own
// noise floor; a string under the same noise keeps only its partials.
TEST(TunerAnalysis, PeaksStandOutOfTheNoise) {
  std::mt19937 rng(5);
  std::normal_distribution<double> noise(0.0, 1000.0);
  auto s = NewState();
  std::vector<int16_t> x(2048);
  for (int16_t& v : x) v = int16_t(std::lround(noise(rng)));
  EXPECT_EQ(AnalyzeFrame(*s, x, nullptr), TunerVerdict::kFewVotes);
  EXPECT_EQ(s->PeakCount, 0) << s->Label12;
  const std::vector<int16_t> a = A110(2048);
  for (size_t i = 0; i < x.size(); ++i) x[i] = int16_t(std::lround(a[i] * 4 + noise(rng)));
  TunerReading r;
  ASSERT_EQ(AnalyzeFrame(*s, x, &r), TunerVerdict::kReading);
  EXPECT_EQ(s->PeakCount, 4) << s->Label12;
  EXPECT_NEAR(r.cents, 0.0, 0.5);
}

// --- readings: deviation, texts and colours -------------------------------------

TEST(TunerReadingText, InTuneSharpFlat) {
  struct Case {
    float frequency;
    int note;
    TunerPitch pitch;
    uint32_t colour;
    const char* text;
    double needle;  // Hz in tune, percent of the gap otherwise
  } cases[] = {
      // In tune within 3 cents: white from 0 up to 1/3 Hz above, lime
      // otherwise, the needle in Hz.
      {110.0f, 12, TunerPitch::kInTune, kTunerWhite, "110.00Hz OK", 0.0},
      {110.19f, 12, TunerPitch::kInTune, kTunerWhite, "110.19Hz OK", 110.19f - 110.0},  // +2.99 cents
      {109.85f, 12, TunerPitch::kInTune, kTunerLime, "109.85Hz OK", 109.85f - 110.0},   // -2.36 cents
      {329.9f, 31, TunerPitch::kInTune, kTunerWhite, "329.90Hz OK", 329.9f - 329.63f},   // E4 +1.4 cents
      // Beyond 3 cents: a percentage of the gap to the next note (116.54 -
      // 110 above, 110 - 103.83 below).
      {110.25f, 12, TunerPitch::kSharp, kTunerRed, "110.25Hz +3.82% <-", 100 * 0.25 / (116.54f - 110.0f)},
      {109.6f, 12, TunerPitch::kFlat, kTunerBlue, "109.60Hz -6.48% ->", -100 * (110.0f - 109.6f) / (110.0f - 103.83f)},
      // E2 10 cents sharp, E4 10 cents flat: no longer "OK" as whole Hz made them.
      {82.88f, 7, TunerPitch::kSharp, kTunerRed, "82.88Hz +9.65% <-", 100 * (82.88f - 82.407f) / (87.307f - 82.407f)},
      {327.73f, 31, TunerPitch::kFlat, kTunerBlue, "327.73Hz -10.27% ->", -100 * (329.63f - 327.73f) / (329.63f - 311.13f)},
  };
  const FftSetup fft = MakeFftSetup(2048);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const TunerReading r = ReadNote(Notes(), fft, c.frequency, 1);
    EXPECT_EQ(r.note, c.note);
    EXPECT_EQ(r.pitch, c.pitch);
    EXPECT_EQ(r.colour, c.colour);
    EXPECT_EQ(r.penColour, int(c.colour) - 100);
    EXPECT_STREQ(r.STFrec, c.text);
    EXPECT_NEAR(r.deviation, c.needle, 2e-3);
  }
}

TEST(TunerReadingText, NearestNoteBounds) {
  // Entries 0 and 61 are never found: the midpoint of 0 and 1 is 56.635,
  // that of 60 and 61 is 1812.35.
  struct Case {
    float frequency;
    int note;
  } cases[] = {{56.63f, -1}, {56.64f, 1}, {58.27f, 1}, {440.0f, 36}, {1812.3f, 60}, {1812.4f, -1}, {0.0f, -1}};
  for (const Case& c : cases) EXPECT_EQ(NearestNote(Notes(), c.frequency), c.note) << c.frequency;
}

// The string, sign and fret of the note's label and the finger marker.
TEST(TunerReadingText, StringFretAndMarker) {
  NoteTable notes = Notes();
  // A label with a fret no fretboard has must not read past the marker table.
  std::memcpy(notes[44].label + 2, "1+99", 5);
  struct Case {
    int note;
    const char* cuerda;
    const char* sign;
    const char* fret;
    const char* solfege;
    int top, left;
  } cases[] = {
      {43, "1\u00AA", "+", "12", "Mi ", 129 - 12, 186 + 234},   // E5: 1st string, fret 12
      {5, "6\u00AA", "-", "2 ", "Re ", 129 - 72, 610 + 234},    // D2: 6th string tuned 2 down
      {8, "6\u00AA", "+", "1 ", "Fa ", 129 - 72, 529 + 234},    // F2
      {25, "3\u00AA", "+", "3 ", "La#", 129 - 36, 448 + 234},   // A#3
      {55, " \u00AA", " ", "  ", "Mi ", 129, 566 + 234},        // E6: no string; fret 0's place
      {44, "1\u00AA", "+", "99", "Fa ", 129 - 12, 31 + 234},    // held at the last fret's place
  };
  const FftSetup fft = MakeFftSetup(2048);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    const TunerReading r = ReadNote(notes, fft, notes[size_t(c.note)].frequency, 1);
    ASSERT_EQ(r.note, c.note);
    EXPECT_STREQ(r.STCuerda, c.cuerda);
    EXPECT_STREQ(r.STMasmenos, c.sign);
    EXPECT_STREQ(r.STTraste, c.fret);
    EXPECT_STREQ(r.STNotaEsp, c.solfege);
    EXPECT_EQ(r.DedoTop, c.top);
    EXPECT_EQ(r.DedoLeft, c.left);
  }
  // Frets 20 and 21 of a first string continue the narrowing of the picture.
  EXPECT_EQ(FretPosition(19), 58);
  EXPECT_LT(FretPosition(21), FretPosition(20));
  EXPECT_LT(FretPosition(20), FretPosition(19));
  EXPECT_EQ(FretPosition(-3), FretPosition(-2));
  EXPECT_EQ(FretPosition(1000), FretPosition(21));
}

// --- framing and the level gate ------------------------------------------------

TEST(TunerFraming, SwingTracker) {
  SwingTracker t;
  int swing = 0;
  // Up 0 -> 10 -> 20: at the second rise the low is the sample before it
  // (10). Down 20 -> 15 -> 5: at the second fall swing += high (0 so far) -
  // low (10), and the high becomes the sample before it (15).
  for (int x : {10, 20, 15, 5}) TrackSwing(t, swing, x);
  EXPECT_EQ(swing, -10);
  EXPECT_EQ(t.high, 15);
  EXPECT_EQ(t.low, 10);
  // Up from 5: low 8; down: swing += 15 - 8.
  for (int x : {8, 30, 25, 0}) TrackSwing(t, swing, x);
  EXPECT_EQ(swing, -3);
  EXPECT_EQ(t.low, 8);
  EXPECT_EQ(t.high, 25);
  EXPECT_EQ(t.previous, 0);
  // A third rise in a row changes nothing; the counts run on.
  for (int x : {1, 2, 3}) TrackSwing(t, swing, x);
  EXPECT_EQ(t.low, 1);
  EXPECT_EQ(t.rises, 3);
}

TEST(TunerFraming, QuietFrameIsNotAnalysed) {
  auto s = NewState();
  // A 110 Hz tone of amplitude 8: -75 dBFS, below the gate's least level.
  const std::vector<uint8_t> quiet = Bytes(Partials({{110, 8}}, 2048));
  s->FftReal.fill(-1.0f);
  FrameOutcome o;
  EXPECT_EQ(FeedFrameBytes(*s, s->MicFrame, Notes(), quiet.data(), quiet.size(), &o), quiet.size());
  EXPECT_EQ(o, FrameOutcome::kQuiet);
  EXPECT_EQ(s->FftReal[5], -1.0f);  // never loaded
  EXPECT_EQ(s->TunerFrameHold, 0);
  EXPECT_EQ(s->MicFrame.InputSwing, 0);
  EXPECT_EQ(s->MicFrame.TunerSampleCount, 0);
  EXPECT_NEAR(s->MicFrame.LastLevelDb, -75.3, 0.2);
  EXPECT_FALSE(s->HasReading);
}

// The level gate follows the noise floor: silence and a steady hum read
// nothing, a soft pluck opens it, a ringing string keeps it open.
TEST(TunerFraming, LevelGateFollowsTheFloor) {
  const TunerRules pro;
  struct Step {
    double level;
    bool pass;
  };
  auto run = [](const TunerRules& rules, LevelGate& g, const std::vector<Step>& steps) {
    for (size_t i = 0; i < steps.size(); ++i)
      EXPECT_EQ(PassLevelGate(g, rules, steps[i].level), steps[i].pass) << "step " << i << " at " << steps[i].level;
  };
  {
    SCOPED_TRACE("silence, then a soft pluck dying away");
    LevelGate g;
    run(pro, g, {{kSilenceDb, false}, {-75, false}, {-36, true}, {-39, true}, {-43, true}, {-47, true}, {-52, true},
                 {-58, true}, {-66, true}, {-71, false}});
  }
  {
    SCOPED_TRACE("a steady hum becomes the floor; a pluck above it reads");
    LevelGate g;
    // A hum that comes on opens the gate as any sound does; the floor
    // climbs 1 dB a frame while it is open, so the analysis (which reads no
    // hum) decides those frames until the gate shuts.
    int open = 0;
    for (int i = 0; i < 40; ++i) open += PassLevelGate(g, pro, -45);
    EXPECT_EQ(open, 32);
    run(pro, g, std::vector<Step>(4, Step{-45, false}));
    EXPECT_NEAR(g.floorDb, -45, 0.5);
    run(pro, g, {{-33, true}, {-38, true}});
  }
  {
    SCOPED_TRACE("the basic edition opens 3.5 dB sooner");
    LevelGate a, b;
    a.floorDb = b.floorDb = -50;
    EXPECT_FALSE(PassLevelGate(a, pro, -42));
    EXPECT_TRUE(PassLevelGate(b, kBasicTunerRules, -42));
  }
  EXPECT_EQ(FrameLevelDb(std::vector<int16_t>(2048, 0).data(), 2048), kSilenceDb);
  const std::vector<int16_t> full(2048, 32767);
  EXPECT_NEAR(FrameLevelDb(full.data(), 2048), 0.0, 1e-3);
}

// A recording of hum alone, of silence or of noise never reads.
TEST(TunerFraming, HumSilenceAndNoiseReadNothing) {
  for (double level : {-20.0, -40.0, -60.0}) {
    SCOPED_TRACE(level);
    const TunerRun hum = RunTuner(Notes(), SynthesizeHum(level, 8 * 2048));
    EXPECT_TRUE(hum.notes.empty());
    std::vector<int16_t> noise(8 * 2048);
    std::mt19937 rng(9);
    std::normal_distribution<double> white(0.0, 32768.0 * std::pow(10.0, level / 20));
    for (int16_t& v : noise) v = int16_t(std::clamp(std::lround(white(rng)), -32768L, 32767L));
    EXPECT_TRUE(RunTuner(Notes(), noise).notes.empty());
  }
  const TunerRun silence = RunTuner(Notes(), std::vector<int16_t>(8 * 2048, 0));
  EXPECT_EQ(silence.quiet, 8);
}

// A note held steady far longer than a string rings (a tone generator, 30 s)
// reads on every frame: the floor does not climb up to it.
TEST(TunerFraming, SteadyNoteKeepsReading) {
  auto s = NewState();
  for (size_t frame = 0; frame < 120; ++frame) {
    const std::vector<int16_t> x = A110(2048, frame * 2048);
    ASSERT_EQ(FeedSamples(*s, s->MicFrame, Notes(), x.data(), x.size()), FrameOutcome::kReading) << frame;
    ASSERT_EQ(s->Reading.note, 12);
  }
}

// The worked example end to end through the framing, the gate and the
// transform.
TEST(TunerFraming, WorkedExampleEndToEnd) {
  auto s = NewState();
  const std::vector<int16_t> frame = A110(2048);
  const std::vector<uint8_t> bytes = Bytes(frame);
  FrameOutcome o;
  // The frame ends at its last byte; the bytes after it are left.
  std::vector<uint8_t> more = bytes;
  more.push_back(1);
  EXPECT_EQ(FeedFrameBytes(*s, s->MicFrame, Notes(), more.data(), more.size(), &o), bytes.size());
  ASSERT_EQ(o, FrameOutcome::kReading) << s->Label12;
  EXPECT_STREQ(s->Label12, "28 56 84 113 -Dif=28 ");
  EXPECT_EQ(s->MicFrame.samples[100], frame[100]);
  const TunerReading& r = s->Reading;
  EXPECT_TRUE(s->HasReading);
  EXPECT_NEAR(r.frequency, 110.0f, 0.002);
  EXPECT_EQ(r.note, 12);
  EXPECT_STREQ(r.STFrec, "110.00Hz OK");
  EXPECT_EQ(s->NeedleTarget, r.deviationHz);
  EXPECT_NEAR(s->NeedleTarget, 0.0, 0.002);
  EXPECT_EQ(s->TunerHold, kReadingHoldTicks);
  EXPECT_EQ(s->TunerFrameHold, kFrameHoldTicks);
}

// A loud frame the analysis rejects changes nothing shown.
TEST(TunerFraming, RejectedFrameKeepsTheDisplay) {
  auto s = NewState();
  std::vector<int16_t> a = A110(2048);
  FeedSamples(*s, s->MicFrame, Notes(), a.data(), a.size());
  ASSERT_TRUE(s->HasReading);
  s->TunerHold = 37;
  s->NeedleTarget = -3;
  const std::string shown = s->Reading.STFrec;
  // One clean partial: one peak, no gap.
  std::vector<int16_t> single = Partials({{300, 9000}}, 2048);
  EXPECT_EQ(FeedSamples(*s, s->MicFrame, Notes(), single.data(), single.size()), FrameOutcome::kRejected);
  EXPECT_EQ(s->verdict, TunerVerdict::kFewVotes);
  EXPECT_EQ(s->Reading.STFrec, shown);
  EXPECT_EQ(s->TunerHold, 37);
  EXPECT_EQ(s->NeedleTarget, -3);
}

// The device's bytes arrive in pieces of any length: its frame waits across
// calls and never mixes with the microphone's.
TEST(TunerFraming, DeviceFrameSpansCalls) {
  auto s = NewState();
  const std::vector<uint8_t> bytes = Bytes(A110(2048));
  // An odd split puts a sample's two bytes in different calls.
  EXPECT_EQ(FeedDeviceBytes(*s, Notes(), bytes.data(), 1001), FrameOutcome::kIncomplete);
  EXPECT_EQ(s->DeviceFrame.TunerSampleCount, 1001);
  // A quiet microphone frame in between completes on its own.
  const std::vector<uint8_t> quiet = Bytes(Partials({{700, 5}}, 2048));
  FrameOutcome o;
  FeedFrameBytes(*s, s->MicFrame, Notes(), quiet.data(), quiet.size(), &o);
  EXPECT_EQ(o, FrameOutcome::kQuiet);
  EXPECT_EQ(FeedDeviceBytes(*s, Notes(), bytes.data() + 1001, 3000), FrameOutcome::kIncomplete);
  EXPECT_EQ(FeedDeviceBytes(*s, Notes(), bytes.data() + 4001, bytes.size() - 4001), FrameOutcome::kReading);
  EXPECT_NEAR(s->Reading.frequency, 110.0f, 0.002);
  // Two frames in one call are both analysed; the half frame after them waits.
  std::vector<uint8_t> two = Bytes(A110(2048 * 2 + 1024));
  auto quietFrame = Bytes(Partials({{700, 5}}, 2048));
  std::memcpy(two.data() + 4096, quietFrame.data(), quietFrame.size());
  EXPECT_EQ(FeedDeviceBytes(*s, Notes(), two.data(), two.size()), FrameOutcome::kQuiet);
  EXPECT_EQ(s->DeviceFrame.TunerSampleCount, 2048);
}

// --- the microphone's buffers -------------------------------------------------------

class TunerMic : public ::testing::Test {
 protected:
  void SetUp() override {
    s = NewState();
    ASSERT_EQ(wave.Open(audio::kTunerInputFormat, [this](audio::WaveHeader& h) { mic.OnBufferDone(h); }),
              audio::WaveResult::kOk);
    mic.Start(&wave, s->fft);
  }
  void TearDown() override { wave.Close(); }
  void Record(const std::vector<int16_t>& v) {
    wave.Record(v);
    wave.WaitCallbacks();
  }
  FrameOutcome Poll() {
    s->TunerFrameHold = 0;
    return mic.Poll(*s, Notes());
  }

  std::unique_ptr<TunerState> s;
  audio::TestWaveIn wave;
  TunerMicInput mic;
};

TEST_F(TunerMic, EachFullBufferIsTakenOnce) {
  EXPECT_EQ(wave.QueuedCount(), 2u);
  EXPECT_EQ(Poll(), FrameOutcome::kIncomplete);  // nothing recorded yet
  const std::vector<int16_t> signal = A110(3 * 2048);
  Record({signal.begin(), signal.begin() + 2048});
  ASSERT_TRUE(mic.BlockReady());
  // Taken during a hold: no.
  s->TunerFrameHold = 1;
  EXPECT_EQ(mic.Poll(*s, Notes()), FrameOutcome::kIncomplete);
  EXPECT_EQ(Poll(), FrameOutcome::kReading);
  EXPECT_EQ(s->MicFrame.samples[2047], signal[2047]);
  // The same buffer is not taken again, and it is queued behind the other.
  EXPECT_FALSE(mic.BlockReady());
  EXPECT_EQ(Poll(), FrameOutcome::kIncomplete);
  EXPECT_EQ(wave.QueuedCount(), 2u);
  EXPECT_EQ(mic.TunerHeaderIndex(), 1);

  // Half a frame in the second buffer: however many ticks pass, no frame
  // is torn from it.
  Record({signal.begin() + 2048, signal.begin() + 3072});
  for (int tick = 0; tick < 5; ++tick) EXPECT_EQ(Poll(), FrameOutcome::kIncomplete);
  Record({signal.begin() + 3072, signal.begin() + 4096});
  EXPECT_EQ(Poll(), FrameOutcome::kReading);
  EXPECT_TRUE(std::equal(signal.begin() + 2048, signal.begin() + 4096, s->MicFrame.samples.begin()));
  EXPECT_EQ(mic.TunerHeaderIndex(), 0);
}

TEST_F(TunerMic, OldestBufferFirstAndPartialOnesDropped) {
  // Both buffers fill while the tuner holds; they are taken in the order
  // they filled, one per poll.
  std::vector<int16_t> first = A110(2048);
  std::vector<int16_t> second = Partials({{300, 9000}}, 2048);
  Record(first);
  Record(second);
  EXPECT_EQ(Poll(), FrameOutcome::kReading);
  EXPECT_EQ(Poll(), FrameOutcome::kRejected);
  EXPECT_EQ(s->MicFrame.samples[7], second[7]);
  EXPECT_EQ(Poll(), FrameOutcome::kIncomplete);

  // A stop hands back a buffer partly filled: it is no frame.
  Record({first.begin(), first.begin() + 100});
  wave.Stop();
  wave.WaitCallbacks();
  EXPECT_FALSE(mic.BlockReady());
  // A restart resets the input and begins with the first half again.
  mic.Start(&wave, s->fft);
  EXPECT_EQ(mic.TunerHeaderIndex(), 0);
  EXPECT_EQ(wave.QueuedCount(), 2u);
  Record(first);
  EXPECT_EQ(Poll(), FrameOutcome::kReading);
  mic.Stop(true);
  EXPECT_EQ(wave.QueuedCount(), 0u);
  EXPECT_EQ(Poll(), FrameOutcome::kIncomplete);
}

// The ready flags are written on the input's own delivery thread while the
// tick polls: every full buffer is still framed once, none twice.
TEST(TunerMicThreads, EveryBufferOnceWithThreadedDelivery) {
  auto s = NewState();
  audio::TestWaveIn wave;
  wave.SetThreadedCompletion(true);
  TunerMicInput mic;
  ASSERT_EQ(wave.Open(audio::kTunerInputFormat, [&](audio::WaveHeader& h) { mic.OnBufferDone(h); }),
            audio::WaveResult::kOk);
  mic.Start(&wave, s->fft);
  int frames = 0;
  const std::vector<int16_t> a = A110(2048);
  for (int i = 0; i < 40; ++i) {
    wave.Record(a);
    // Poll until the frame has come through the other thread.
    for (int spin = 0; spin < 200000; ++spin) {
      s->TunerFrameHold = 0;
      const FrameOutcome o = mic.Poll(*s, Notes());
      if (o != FrameOutcome::kIncomplete) {
        EXPECT_EQ(o, FrameOutcome::kReading);
        ++frames;
        break;
      }
      std::this_thread::yield();
    }
  }
  wave.WaitCallbacks();
  s->TunerFrameHold = 0;
  EXPECT_EQ(mic.Poll(*s, Notes()), FrameOutcome::kIncomplete);
  EXPECT_EQ(frames, 40);
  wave.Close();
}

// --- the synthetic corpus of the benchmarks -------------------------------------------

TEST(TunerCorpus, ItemsAndRecordings) {
  const std::vector<CorpusItem> items = CorpusItems(StringSound::kNoisy);
  ASSERT_EQ(items.size(), 5u * 6 * 3 * 5);  // five kinds of noise
  std::set<std::string> names;
  for (const CorpusItem& it : items) {
    names.insert(it.name);
    // The note's frequency in the table (rounded to 5 digits), moved by the detuning.
    EXPECT_NEAR(CentsOff(it.frequency, NoteFrequency(it.note)), it.cents, 0.1) << it.name;
  }
  EXPECT_EQ(names.size(), items.size());
  EXPECT_EQ(items.front().name, "noisy-white20-s6-f0-m25");
  EXPECT_EQ(items.front().note, 7);    // E2
  EXPECT_EQ(items.back().note, 43);    // E5: 1st string, fret 12
  EXPECT_EQ(items.back().noise, CorpusNoise::kHum);
  const std::vector<int16_t> a = SynthesizeString(items[7]);
  EXPECT_EQ(a.size(), size_t(kCorpusSeconds * kCorpusRate));
  EXPECT_EQ(a, SynthesizeString(items[7]));
  // The quiet class peaks at -30 dBFS.
  const std::vector<int16_t> q = SynthesizeString(CorpusItems(StringSound::kQuiet)[7]);
  int peak = 0;
  for (int16_t v : q) peak = std::max(peak, std::abs(int(v)));
  EXPECT_NEAR(peak, 1036, 2);
}

// Every class of the corpus on a small deterministic part of it (the 6th,
// 5th, 3rd and 1st strings, open and at fret 5, 25 cents flat, in tune and
// 10 cents sharp), frame by frame: the share of frames read and of right
// readings, the worst error of the right ones and the detuned strings shown
// the wrong way, each against its class's floor.
TEST(TunerCorpus, EachClassReadsRight) {
  struct Class {
    StringSound sound;
    CorpusNoise noise;
    double read, right, worstCents;
  } classes[] = {
      {StringSound::kPlucked, CorpusNoise::kNone, 0.99, 1.0, 1.0},
      {StringSound::kHarmonicRich, CorpusNoise::kNone, 0.99, 1.0, 1.0},
      {StringSound::kQuiet, CorpusNoise::kNone, 0.99, 1.0, 1.0},
      {StringSound::kNoisy, CorpusNoise::kWhite20, 0.99, 1.0, 1.0},
      {StringSound::kNoisy, CorpusNoise::kPink20, 0.99, 1.0, 1.0},
      {StringSound::kNoisy, CorpusNoise::kHum, 0.99, 1.0, 3.0},
      {StringSound::kNoisy, CorpusNoise::kWhite10, 0.95, 1.0, 1.5},
      {StringSound::kNoisy, CorpusNoise::kPink10, 0.90, 1.0, 1.5},
  };
  for (const Class& c : classes) {
    SCOPED_TRACE(std::string(StringSoundName(c.sound)) + " " + CorpusNoiseName(c.noise));
    int frames = 0, readings = 0, right = 0, wrongWay = 0;
    double worst = 0;
    for (const CorpusItem& it : CorpusItems(c.sound)) {
      if (it.noise != c.noise || it.fret == 12 || it.cents == -10 || it.cents == 25) continue;
      if (it.stringNumber == 4 || it.stringNumber == 2) continue;
      const TunerRun run = RunTuner(Notes(), SynthesizeString(it));
      frames += run.frames;
      for (size_t i = 0; i < run.notes.size(); ++i) {
        ++readings;
        if (run.notes[i] != it.note) continue;
        ++right;
        worst = std::max(worst, std::abs(CentsOff(run.frequencies[i], it.frequency)));
        const TunerPitch p = TunerPitch(run.pitches[i]);
        if ((it.cents > 0 && p != TunerPitch::kSharp) || (it.cents < 0 && p != TunerPitch::kFlat) ||
            (it.cents == 0 && p != TunerPitch::kInTune))
          ++wrongWay;
      }
    }
    ASSERT_EQ(frames, 24 * 7);
    EXPECT_GE(readings, c.read * frames);
    EXPECT_GE(right, c.right * readings);
    EXPECT_LE(worst, c.worstCents);
    EXPECT_EQ(wrongWay, 0);
  }
}

// Clean plucked open strings in tune read their note within a cent, on
// every frame of their two seconds.
TEST(TunerCorpus, PluckedOpenStringsReadRight) {
  for (const CorpusItem& it : CorpusItems(StringSound::kPlucked)) {
    if (it.fret != 0 || it.cents != 0 || (it.stringNumber != 5 && it.stringNumber != 1)) continue;
    SCOPED_TRACE(it.name);
    const TunerRun run = RunTuner(Notes(), SynthesizeString(it));
    EXPECT_EQ(run.frames, 7);
    ASSERT_EQ(run.notes.size(), 7u);
    for (size_t i = 0; i < run.notes.size(); ++i) {
      EXPECT_EQ(run.notes[i], it.note);
      EXPECT_LT(std::abs(CentsOff(run.frequencies[i], it.frequency)), 1.0);
    }
  }
}

// --- the editions' rules ----------------------------------------------------------

// The basic tuner reads a frame its more sensitive gate lets through (the
// professional one keeps it out) and holds the reading 15 ticks, its marker
// on the tuner page's own fretboard.
TEST(TunerRulesTest, BasicGateHoldAndMarker) {
  // The A string 8 dB above the floor the gates have learnt.
  std::vector<int16_t> frame = A110(2048);
  const double level = FrameLevelDb(frame.data(), 2048);
  auto pro = NewState();
  auto basic = NewState();
  basic->rules = kBasicTunerRules;
  pro->MicFrame.gate.floorDb = basic->MicFrame.gate.floorDb = level - 8;
  EXPECT_EQ(FeedSamples(*pro, pro->MicFrame, Notes(), frame.data(), frame.size()), FrameOutcome::kQuiet);
  EXPECT_EQ(pro->MicFrame.LastLevelDb, level);
  EXPECT_GT(pro->MicFrame.LastSwing, 0);  // the level bar's swing, kept after the frame
  EXPECT_EQ(pro->MicFrame.InputSwing, 0);
  EXPECT_EQ(pro->TunerFrameHold, 0);

  ASSERT_EQ(FeedSamples(*basic, basic->MicFrame, Notes(), frame.data(), frame.size()), FrameOutcome::kReading)
      << basic->Label12;
  EXPECT_EQ(basic->Reading.note, 12);
  EXPECT_EQ(basic->TunerHold, 15);
  EXPECT_EQ(basic->TunerFrameHold, kFrameHoldTicks);
  // Fifth string, open: 171 - 5 x 12 and fret 0's place + 241.
  EXPECT_EQ(basic->Reading.DedoTop, 171 - 60);
  EXPECT_EQ(basic->Reading.DedoLeft, 566 + 241);
  const TunerReading e5 = ReadNote(Notes(), basic->fft, Notes()[43].frequency, 1, kBasicTunerRules);
  EXPECT_EQ(e5.DedoTop, 171 - 12);
  EXPECT_EQ(e5.DedoLeft, 186 + 241);
}

// The needle picture's Left: 3 pixels a unit about 206, truncated toward
// zero; the in-tune colour is white exactly while it stands at 206.
TEST(TunerRulesTest, NeedleImageLeft) {
  const struct {
    double deviation;
    int left;
  } cases[] = {{0.0, 206}, {0.25, 206}, {0.34, 207}, {-0.2, 205}, {-1.0, 203},
               {50.0, 356}, {-50.0, 56}, {12.5, 243}, {-12.5, 168}};
  for (const auto& c : cases) EXPECT_EQ(NeedleImageLeft(c.deviation), c.left) << c.deviation;
  const FftSetup fft = MakeFftSetup(2048);
  const float a = Notes()[31].frequency;  // E4: 0.34 Hz is within 3 cents
  EXPECT_EQ(ReadNote(Notes(), fft, a + 0.3f, 1).colour, kTunerWhite);
  EXPECT_EQ(ReadNote(Notes(), fft, a + 0.34f, 1).colour, kTunerLime);
  EXPECT_EQ(ReadNote(Notes(), fft, a - 0.2f, 1).colour, kTunerLime);
}
