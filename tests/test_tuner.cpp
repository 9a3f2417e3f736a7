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

// A spectrum as the transform would leave it: each peak a bin of the given
// amplitude with a tenth of it on either side (so its own bin, not a
// neighbour, holds the most power of the three).
struct Peak {
  int bin;
  float amplitude;
};
void InjectSpectrum(TunerState& s, const std::vector<Peak>& peaks) {
  s.FftReal.fill(0.0f);
  s.FftImag.fill(0.0f);
  for (const Peak& p : peaks) {
    s.FftReal[static_cast<size_t>(p.bin)] = p.amplitude;
    s.FftReal[static_cast<size_t>(p.bin - 1)] += p.amplitude / 10;
    s.FftReal[static_cast<size_t>(p.bin + 1)] += p.amplitude / 10;
  }
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

// Four harmonics of 110 Hz, read as A2 (110.25 Hz).
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
    LoadFrame(*s, x.data());
    ComputeFFT(*s);

    double worst = 0, largest = 0;
    for (size_t k = 0; k < n / 2; ++k) {
      std::complex<double> sum = 0;
      for (size_t t = 0; t < n; ++t) sum += double(x[t]) * std::polar(1.0, -2 * M_PI * double(k * t % n) / double(n));
      const double fft = std::hypot(double(s->FftReal[k]), double(s->FftImag[k]));
      worst = std::max(worst, std::abs(fft - std::abs(sum)));
      largest = std::max(largest, std::abs(sum));
    }
    // Single precision with recurrent twiddles: at 1024 and 2048 points the
    // errors stay within 0.1 % of the largest magnitude (4e-4 measured at
    // 2048); at 4096 the recurrence over 2048 twiddles drifts to about 1 %.
    EXPECT_LT(worst, (size == 4096 ? 2e-2 : 1e-3) * largest);
  }
}

// --- the analysis of a spectrum ----------------------------------------------

// Four peaks at 28 (strongest), 56, 84 and 113: the gaps 28, 28, 29 vote
// 7 for 28; the chain 28, 56, 84, 113 gives h = 4 and (113 x 8000 div 2048)
// / 4 = 441 / 4 = 110.25 Hz: A2 (110 Hz) 0.25 Hz high, in tune, white.
TEST(TunerAnalysis, WorkedExampleFromInjectedSpectrum) {
  auto s = NewState();
  InjectSpectrum(*s, {{28, 9000}, {56, 5000}, {84, 4000}, {113, 3000}});
  TunerReading r;
  ASSERT_EQ(AnalyzeSpectrum(*s, Notes(), &r), TunerVerdict::kReading);
  EXPECT_EQ(s->PeakCount, 4);
  EXPECT_EQ(s->StrongestPeak, 28);
  EXPECT_EQ(s->FundamentalGap, 28);
  EXPECT_EQ(s->GapVoteCount, 7);
  EXPECT_EQ(s->PeakWeights[28], 16);
  EXPECT_EQ(s->PeakWeights[113], 13);
  EXPECT_STREQ(s->Label20, "28");
  EXPECT_STREQ(s->Label12, "28 56 84 113 -Dif=28 ");
  EXPECT_EQ(r.harmonics, 4);
  EXPECT_FLOAT_EQ(r.frequency, 110.25f);
  EXPECT_EQ(r.note, 12);
  EXPECT_DOUBLE_EQ(r.deviation, 0.25);
  EXPECT_EQ(r.pitch, TunerPitch::kInTune);
  EXPECT_EQ(r.colour, kTunerWhite);
  EXPECT_STREQ(r.STFrec, "110.25Hz OK");
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
  struct Case {
    const char* what;
    int size;
    std::vector<Peak> peaks;
    TunerVerdict verdict;
  } cases[] = {
      // No gap, no vote.
      {"a single peak", 2048, {{40, 9000}}, TunerVerdict::kFewVotes},
      // One gap: 3 votes.
      {"two peaks", 2048, {{40, 9000}, {80, 5000}}, TunerVerdict::kFewVotes},
      // Gaps 30 and 35: 3 votes each, though the strongest peak is clear.
      {"fewer than five votes", 2048, {{30, 9000}, {60, 5000}, {95, 4000}}, TunerVerdict::kFewVotes},
      // 17 and 18 bins apart give no vote.
      {"gaps of 17 and 18", 2048, {{40, 9000}, {57, 5000}, {75, 4000}, {92, 3000}}, TunerVerdict::kFewVotes},
      // Gaps 40, 40: 6 votes, but the strongest peak (150) is neither near
      // 40 nor near 80.
      {"strongest off the gap", 2048, {{150, 9000}, {190, 5000}, {230, 4000}}, TunerVerdict::kStrongestOffGap},
      // Four gaps of 20 (12 votes) far above 20, 40, 60 and 80.
      {"no peak near the first multiples", 2048,
       {{200, 9000}, {220, 8000}, {240, 7000}, {260, 6000}, {280, 5000}},
       TunerVerdict::kNoHarmonicNear},
      // The gap 40 without a peak at 40: the anchor is 80, the chain looks
      // for 80 above it and finds 120: no chain, and nothing weighs at 40.
      {"missing fundamental", 2048, {{80, 9000}, {120, 5000}, {160, 4000}}, TunerVerdict::kNoChain},
      // 4096 points: 20, 40, 60 read as 117 / 3 = 39 Hz, below the table.
      {"below the notes", 4096, {{20, 9000}, {40, 5000}, {60, 4000}}, TunerVerdict::kOutsideNotes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = NewState(c.size);
    InjectSpectrum(*s, c.peaks);
    TunerReading r;
    EXPECT_EQ(AnalyzeSpectrum(*s, Notes(), &r), c.verdict);
    EXPECT_EQ(r.note, -1);
  }
}

TEST(TunerAnalysis, GapVotes) {
  // 19 bins apart: votes at 18, 19 and 20.
  auto s = NewState();
  InjectSpectrum(*s, {{40, 9000}, {59, 5000}});
  AnalyzeSpectrum(*s, Notes(), nullptr);
  EXPECT_EQ(s->GapVotes[17], 0);
  EXPECT_EQ(s->GapVotes[18], 1);
  EXPECT_EQ(s->GapVotes[19], 3);
  EXPECT_EQ(s->GapVotes[20], 1);
  EXPECT_EQ(s->FundamentalGap, 19);

  // Gaps 45, 45, 40, 40: 6 votes each for 45 and 40; the longer gap wins.
  InjectSpectrum(*s, {{45, 9000}, {90, 8000}, {135, 7000}, {175, 6000}, {215, 5000}});
  ASSERT_EQ(AnalyzeSpectrum(*s, Notes(), nullptr), TunerVerdict::kReading);
  EXPECT_EQ(s->GapVotes[40], 6);
  EXPECT_EQ(s->GapVotes[45], 6);
  EXPECT_EQ(s->FundamentalGap, 45);

  // A fifth peak needs a power of 1e7 over its three bins: 3000^2 x 1.02
  // is below, 3200^2 x 1.02 above.
  for (float fifth : {3000.0f, 3200.0f}) {
    InjectSpectrum(*s, {{45, 9000}, {90, 8000}, {135, 7000}, {175, 6000}, {215, fifth}});
    AnalyzeSpectrum(*s, Notes(), nullptr);
    EXPECT_EQ(s->PeakCount, fifth > 3100 ? 5 : 4);
  }

  // Equal powers: the lower bin is found first.
  InjectSpectrum(*s, {{120, 5000}, {60, 5000}});
  AnalyzeSpectrum(*s, Notes(), nullptr);
  EXPECT_EQ(s->StrongestPeak, 60);
  EXPECT_EQ(s->PeakWeights[60], 16);
  EXPECT_EQ(s->PeakWeights[120], 15);
}

// --- readings: deviation, texts and colours -------------------------------------

TEST(TunerReadingText, InTuneSharpFlat) {
  struct Case {
    float frequency;
    int h;
    int note;
    TunerPitch pitch;
    uint32_t colour;
    const char* text;
    double needle;  // Hz in tune, percent of the gap otherwise
  } cases[] = {
      // In tune within 0.5 x 3 / h + 0.1 of whole Hz: white from 0 up to
      // 1/3 Hz above, lime otherwise.
      {110.25f, 4, 12, TunerPitch::kInTune, kTunerWhite, "110.25Hz OK", 0.25},
      {110.0f, 5, 12, TunerPitch::kInTune, kTunerWhite, "110.00Hz OK", 0.0},
      {109.8f, 1, 12, TunerPitch::kInTune, kTunerLime, "109.80Hz OK", 109.8f - 110.0},
      {111.5f, 1, 12, TunerPitch::kInTune, kTunerLime, "111.50Hz OK", 1.5},
      {110.5f, 2, 12, TunerPitch::kInTune, kTunerLime, "110.50Hz OK", 0.5},
      // Whole Hz of 2 (h = 1) or 1 (h = 2): out of tune, as a percentage of
      // the gap to the next note (116.54 - 110 above, 110 - 103.83 below).
      {112.0f, 1, 12, TunerPitch::kSharp, kTunerRed, "112.00Hz +30.58% <-", 100 * 2 / (116.54f - 110.0f)},
      {111.0f, 2, 12, TunerPitch::kSharp, kTunerRed, "111.00Hz +15.29% <-", 100 * 1 / (116.54f - 110.0f)},
      {108.0f, 1, 12, TunerPitch::kFlat, kTunerBlue, "108.00Hz -32.41% ->", -100 * 2 / (110.0f - 103.83f)},
      // E4, 329.63 Hz, 5 Hz flat.
      {324.63f, 3, 31, TunerPitch::kFlat, kTunerBlue, "324.63Hz -27.03% ->", -100 * (329.63f - 324.63f) / (329.63f - 311.13f)},
  };
  const FftSetup fft = MakeFftSetup(2048);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const TunerReading r = ReadNote(Notes(), fft, c.frequency, c.h);
    EXPECT_EQ(r.note, c.note);
    EXPECT_EQ(r.pitch, c.pitch);
    EXPECT_EQ(r.colour, c.colour);
    EXPECT_EQ(r.penColour, int(c.colour) - 100);
    EXPECT_STREQ(r.STFrec, c.text);
    EXPECT_NEAR(r.deviation, c.needle, 1e-4);
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
  // A 110 Hz tone of amplitude 400: about 28 swings of 800, below 30000.
  const std::vector<uint8_t> quiet = Bytes(Partials({{110, 400}}, 2048));
  s->FftReal.fill(-1.0f);
  FrameOutcome o;
  EXPECT_EQ(FeedFrameBytes(*s, s->MicFrame, Notes(), quiet.data(), quiet.size(), &o), quiet.size());
  EXPECT_EQ(o, FrameOutcome::kQuiet);
  EXPECT_EQ(s->FftReal[5], -1.0f);  // never loaded
  EXPECT_EQ(s->TunerFrameHold, 0);
  EXPECT_EQ(s->MicFrame.InputSwing, 0);
  EXPECT_EQ(s->MicFrame.TunerSampleCount, 0);
  EXPECT_FALSE(s->HasReading);
}

// The worked example end to end through the framing, the gate and the
// transform: four partials a fiftieth of a bin above the bins 28, 56, 84
// and 113 (3.90625 Hz each), so that leakage stays below the power a fifth
// peak needs.
TEST(TunerFraming, WorkedExampleEndToEnd) {
  auto s = NewState();
  const double bin = 8000.0 / 2048;
  const std::vector<int16_t> frame =
      Partials({{28.02 * bin, 1000}, {56.02 * bin, 600}, {84.02 * bin, 450}, {113.02 * bin, 350}}, 2048);
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
  EXPECT_FLOAT_EQ(r.frequency, 110.25f);
  EXPECT_EQ(r.note, 12);
  EXPECT_STREQ(r.STFrec, "110.25Hz OK");
  EXPECT_EQ(r.colour, kTunerWhite);
  EXPECT_DOUBLE_EQ(s->NeedleTarget, 0.25);
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
  const std::vector<uint8_t> quiet = Bytes(Partials({{700, 20}}, 2048));
  FrameOutcome o;
  FeedFrameBytes(*s, s->MicFrame, Notes(), quiet.data(), quiet.size(), &o);
  EXPECT_EQ(o, FrameOutcome::kQuiet);
  EXPECT_EQ(FeedDeviceBytes(*s, Notes(), bytes.data() + 1001, 3000), FrameOutcome::kIncomplete);
  EXPECT_EQ(FeedDeviceBytes(*s, Notes(), bytes.data() + 4001, bytes.size() - 4001), FrameOutcome::kReading);
  EXPECT_FLOAT_EQ(s->Reading.frequency, 110.25f);
  // Two frames in one call are both analysed; the half frame after them waits.
  std::vector<uint8_t> two = Bytes(A110(2048 * 2 + 1024));
  auto quietFrame = Bytes(Partials({{700, 20}}, 2048));
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
  ASSERT_EQ(items.size(), 6u * 3 * 5);
  std::set<std::string> names;
  for (const CorpusItem& it : items) {
    names.insert(it.name);
    // The note's frequency in the table (rounded to 5 digits), moved by the detuning.
    EXPECT_NEAR(CentsOff(it.frequency, NoteFrequency(it.note)), it.cents, 0.1) << it.name;
  }
  EXPECT_EQ(names.size(), items.size());
  EXPECT_EQ(items.front().name, "noisy-s6-f0-m25");
  EXPECT_EQ(items.front().note, 7);    // E2
  EXPECT_EQ(items.back().note, 43);    // E5: 1st string, fret 12
  const std::vector<int16_t> a = SynthesizeString(items[7]);
  EXPECT_EQ(a.size(), size_t(kCorpusSeconds * kCorpusRate));
  EXPECT_EQ(a, SynthesizeString(items[7]));
}

// Clean plucked open strings in tune read their note, each reading within
// 1 Hz at 110 Hz (16 cents): the last harmonic is taken in whole Hz.
TEST(TunerCorpus, PluckedOpenStringsReadRight) {
  for (const CorpusItem& it : CorpusItems(StringSound::kPlucked)) {
    if (it.fret != 0 || it.cents != 0 || (it.stringNumber != 5 && it.stringNumber != 1)) continue;
    SCOPED_TRACE(it.name);
    const TunerRun run = RunTuner(Notes(), SynthesizeString(it));
    EXPECT_EQ(run.frames, 7);
    ASSERT_FALSE(run.notes.empty());
    for (size_t i = 0; i < run.notes.size(); ++i) {
      EXPECT_EQ(run.notes[i], it.note);
      EXPECT_LT(std::abs(CentsOff(run.frequencies[i], it.frequency)), 16.0);
    }
  }
}

// --- the editions' rules ----------------------------------------------------------

// The same frame, loud enough for the basic edition's gate (20000) but not
// for the professional one (30000): the basic tuner reads it and holds the
// reading 15 ticks, its marker on the tuner page's own fretboard.
TEST(TunerRulesTest, BasicGateHoldAndMarker) {
  // The A string scaled down until its summed swing lies between the gates.
  std::vector<int16_t> frame;
  int swing = 0;
  for (double scale = 1.0; scale > 0.05; scale -= 0.01) {
    frame = A110(2048);
    for (int16_t& x : frame) x = static_cast<int16_t>(std::lround(x * scale));
    SwingTracker t;
    swing = 0;
    for (int16_t x : frame) TrackSwing(t, swing, x);
    if (swing > 21000 && swing < 29000) break;
  }
  ASSERT_GT(swing, 21000);
  ASSERT_LT(swing, 29000);

  auto pro = NewState();
  EXPECT_EQ(FeedSamples(*pro, pro->MicFrame, Notes(), frame.data(), frame.size()), FrameOutcome::kQuiet);
  EXPECT_EQ(pro->MicFrame.LastSwing, swing);  // kept after the frame, the running sum restarts
  EXPECT_EQ(pro->MicFrame.InputSwing, 0);
  EXPECT_EQ(pro->TunerFrameHold, 0);

  auto basic = NewState();
  basic->rules = kBasicTunerRules;
  ASSERT_EQ(FeedSamples(*basic, basic->MicFrame, Notes(), frame.data(), frame.size()), FrameOutcome::kReading)
      << basic->Label12;
  EXPECT_EQ(basic->MicFrame.LastSwing, swing);
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
  const float a = Notes()[12].frequency;
  EXPECT_EQ(ReadNote(Notes(), fft, a + 0.3f, 1).colour, kTunerWhite);
  EXPECT_EQ(ReadNote(Notes(), fft, a + 0.34f, 1).colour, kTunerLime);
  EXPECT_EQ(ReadNote(Notes(), fft, a - 0.2f, 1).colour, kTunerLime);
}
