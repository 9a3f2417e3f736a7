#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "content/factory_set.h"
#include "content/guitar_bank.h"
#include "engine/engine_state.h"
#include "engine/wav.h"
#include "guitar/bank.h"
#include "guitar/notes.h"
#include "guitar/render.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::vector<int16_t> Constant(int n, int16_t v) { return std::vector<int16_t>(static_cast<size_t>(n), v); }
// 1, 2, 3, ...: a value tells which source sample it came from.
std::vector<int16_t> Ramp(int n, int start = 1) {
  std::vector<int16_t> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = static_cast<int16_t>(start + i);
  return v;
}

// 6, 12, 18, ...: at strength 7 (a sixth) source sample i gives the value i + 1.
std::vector<int16_t> Sixes(int n) {
  std::vector<int16_t> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = static_cast<int16_t>(6 * (i + 1));
  return v;
}

// A bank in memory: recordings[i] is string index i (0 = 6th string).
BancoGuitarra MakeBank(const std::vector<std::vector<int16_t>>& recordings) {
  BancoGuitarra b;
  for (size_t i = 0; i < recordings.size() && i < kGuitarStrings; ++i) {
    b.GuitarSampleOffsets[i] = static_cast<int32_t>(b.GuitarBankStream.size());
    b.GuitarSampleLengths[i] = static_cast<int32_t>(recordings[i].size());
    b.GuitarBankStream.insert(b.GuitarBankStream.end(), recordings[i].begin(), recordings[i].end());
  }
  return b;
}
// The same recording on every string.
BancoGuitarra SameOnEveryString(const std::vector<int16_t>& rec) {
  return MakeBank(std::vector<std::vector<int16_t>>(kGuitarStrings, rec));
}

// One note in division d of a beat.
void SetNote(TiempoG& t, int d, int stringIndex, int fret, int strength, int mode = kModeNormal, int delay = 0) {
  DivisionG& div = t.division[d];
  div.fret[stringIndex] = static_cast<uint8_t>(fret);
  div.strength[stringIndex] = static_cast<uint8_t>(strength);
  div.mode[stringIndex] = mode;
  div.delay[stringIndex] = static_cast<uint8_t>(delay);
}

TiempoG Beat(int divisions) {
  TiempoG t = EmptyTiempoG();
  t.divisions = static_cast<uint8_t>(divisions);
  return t;
}

int CountNonZero(const std::vector<int16_t>& v) {
  int n = 0;
  for (int16_t x : v) n += x != 0;
  return n;
}

std::string Label(const GuitarTuning& t, int index) { return LabelText(t.TablaNotas[static_cast<size_t>(index)]); }

}  // namespace

// --- note table --------------------------------------------------------------

TEST(GuitarNotes, FrequenciesAreEqualTemperedToFiveDigits) {
  struct Case {
    int index;
    float frequency;
  };
  const Case cases[] = {
      {0, 55.0f},      // A1
      {1, 58.27f},     // 58.2705 -> 5 digits
      {2, 61.735f},    // B1
      {3, 65.406f},    // C2
      {7, 82.407f},    // E2, the 6th string
      {12, 110.0f},    // A2
      {19, 164.81f},   // E3: the 5th string's 7th fret
      {36, 440.0f},    // A4
      {60, 1760.0f},   // A6
      {61, 1864.7f},   // A#6, the last
  };
  for (const Case& c : cases) EXPECT_EQ(NoteFrequency(c.index), c.frequency) << c.index;
  const NoteTable t = InitialTablaNotas();
  for (int i = 0; i < kNoteCount; ++i) {
    const double exact = 440.0 * std::pow(2.0, (i + 33 - 69) / 12.0);
    EXPECT_NEAR(t[static_cast<size_t>(i)].frequency, exact, exact * 5e-5) << i;
    if (i > 0) {
      EXPECT_GT(t[static_cast<size_t>(i)].frequency, t[static_cast<size_t>(i - 1)].frequency);
    }
  }
  EXPECT_EQ(NoteFrequency(-1), 0.0f);
  EXPECT_EQ(NoteFrequency(62), 0.0f);
}

TEST(GuitarNotes, InitialLabels) {
  const GuitarTuning t;
  struct Case {
    int index;
    const char* label;
  };
  const Case cases[] = {
      {0, "A     "},   {4, "C#    "},                    // below D2: no string
      {5, "D 6-2 "},   {6, "D#6-1 "},                    // below the open 6th string
      {7, "E 6   "},   {8, "F 6+1 "},   {11, "G#6+4 "},  // 6th string up to the 5th's open note
      {12, "A 5   "},  {16, "C#5+4 "},  {17, "D 4   "},
      {21, "F#4+4 "},  {22, "G 3   "},  {25, "A#3+3 "},  // the 3rd string stops at fret 3
      {26, "B 2   "},  {30, "D#2+4 "},  {31, "E 1   "},
      {50, "B 1+19"},                                   // the last labelled note
      {51, "C     "},  {52, "C#    "},  {61, "A#    "},
  };
  for (const Case& c : cases) EXPECT_EQ(Label(t, c.index), c.label) << c.index;
  EXPECT_EQ(t.StringTuning, (std::array<int, 6>{7, 12, 17, 22, 26, 31}));
}

TEST(GuitarNotes, TuningFileLines) {
  struct Case {
    const char* text;
    std::array<int, 6> offsets;
  };
  const Case cases[] = {
      {"-2\r\n0\r\n0\r\n0\r\n0\r\n0\r\n", {-2, 0, 0, 0, 0, 0}},
      {"  +3\n\t-1 semitono\nabc\n\n7\n-0", {3, -1, 0, 0, 7, 0}},  // blanks, signs, words after the digits
      {"1\n2", {1, 2, 0, 0, 0, 0}},                               // missing lines count 0
      {"", {0, 0, 0, 0, 0, 0}},
      {"99999999999999999999\n-99999999999999999999\n", {kMaxTuningOffset, -kMaxTuningOffset, 0, 0, 0, 0}},
      {"1\n2\n3\n4\n5\n6\n7\n", {1, 2, 3, 4, 5, 6}},              // a seventh line is not read
  };
  for (const Case& c : cases) EXPECT_EQ(ParseTuningOffsets(c.text), c.offsets) << c.text;
}

TEST(GuitarNotes, StandardTuningLabelsTheFirstStringToFret21) {
  GuitarTuning t;
  EXPECT_EQ(ApplyTuning(t, {}), "E 6   A 5   D 4   G 3   B 2   E 1   ");
  EXPECT_EQ(Label(t, 8), "F 6+1");    // the loader does not pad
  EXPECT_EQ(Label(t, 50), "B 1+19");
  EXPECT_EQ(Label(t, 51), "C 1+20");
  EXPECT_EQ(Label(t, 52), "C#1+21");
  EXPECT_EQ(Label(t, 53), "D     ");  // beyond fret 21
  EXPECT_EQ(Label(t, 5), "D 6-2 ");   // D2 and D#2 keep their labels
  EXPECT_EQ(Label(t, 6), "D#6-1 ");
}

TEST(GuitarNotes, DroppedDAndBackToStandard) {
  GuitarTuning t;
  const std::string caption = ApplyTuning(t, {-2, 0, 0, 0, 0, 0});
  EXPECT_EQ(t.StringTuning, (std::array<int, 6>{5, 12, 17, 22, 26, 31}));
  EXPECT_EQ(t.TuningOffsets, (std::array<int, 6>{-2, 0, 0, 0, 0, 0}));
  EXPECT_EQ(caption, "D 6   A 5   D 4   G 3   B 2   E 1   ");
  // The 6th string now labels indexes 5..11: open D up to fret 6.
  EXPECT_EQ(Label(t, 5), "D 6   ");
  EXPECT_EQ(Label(t, 6), "D#6+1");
  EXPECT_EQ(Label(t, 7), "E 6+2");
  EXPECT_EQ(Label(t, 11), "G#6+6");
  EXPECT_EQ(Label(t, 12), "A 5   ");

  // A standard bank loaded afterwards starts again from the initial labels.
  EXPECT_EQ(ApplyTuning(t, {}), "E 6   A 5   D 4   G 3   B 2   E 1   ");
  EXPECT_EQ(Label(t, 5), "D 6-2 ");
  EXPECT_EQ(Label(t, 6), "D#6-1 ");
  EXPECT_EQ(Label(t, 7), "E 6   ");
  EXPECT_EQ(Label(t, 11), "G#6+4");
}

TEST(GuitarNotes, TuningsOutsideTheTableWriteOnlyInside) {
  GuitarTuning t;
  // The 6th string 10 below the table's start, the 1st string 40 above its end.
  const std::string caption = ApplyTuning(t, {-10, 0, 0, 0, 0, 40});
  EXPECT_EQ(t.StringTuning[0], -3);
  EXPECT_EQ(t.StringTuning[5], 71);
  EXPECT_EQ(caption.size(), 36u);
  EXPECT_EQ(caption.substr(0, 6), "      ");
  EXPECT_EQ(caption.substr(30, 6), "      ");
  EXPECT_EQ(Label(t, 0), "A 6+3");  // fret 3 of the 6th string is A1
  EXPECT_EQ(Label(t, 61), "A#    ");
}

// --- bank loading ------------------------------------------------------------

class GuitarBankFolder : public ::testing::Test {
 protected:
  ScratchFolder dir;
  BancoGuitarra bank;
  GuitarTuning tuning;

  static std::string Folder() { return "BancoDeSonidos/"; }
  static void WriteString(const std::string& set, int n, const std::vector<int16_t>& samples) {
    ScratchFolder::Write(Folder() + set + "/c" + std::to_string(n) + ".wav", WavFileImage(samples, 1, 44100));
  }
  // String n holds n x 100 + 1, n x 100 + 2, ... (n + 1) x 10 samples.
  static void WriteSet(const std::string& set) {
    for (int n = 1; n <= 6; ++n) WriteString(set, n, Ramp((n + 1) * 10, n * 100 + 1));
  }
  std::vector<int16_t> Samples(int k) const {
    const SoundView v = bank.String(k);
    return std::vector<int16_t>(v.data, v.data + v.length);
  }
};

TEST_F(GuitarBankFolder, LoadsTheSixStringsInOrderAndTheTuning) {
  WriteSet("Nylon");
  const std::string afinacion = "-2\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";
  ScratchFolder::Write("BancoDeSonidos/Nylon/afinacion.txt", std::vector<uint8_t>(afinacion.begin(), afinacion.end()));
  const GuitarBankLoad r = LoadGuitarBank(bank, tuning, "Nylon");
  EXPECT_TRUE(r.FailedPaths.empty());
  EXPECT_EQ(r.TuningCaption, "D 6   A 5   D 4   G 3   B 2   E 1   ");
  EXPECT_EQ(tuning.StringTuning[0], 5);
  EXPECT_EQ(bank.GuitarBankName, "Nylon");
  // Index 0 is c6.wav (70 samples), index 5 c1.wav (20 samples).
  EXPECT_EQ(bank.GuitarSampleLengths, (std::array<int32_t, 6>{70, 60, 50, 40, 30, 20}));
  EXPECT_EQ(bank.GuitarSampleOffsets, (std::array<int32_t, 6>{0, 70, 130, 180, 220, 250}));
  EXPECT_EQ(bank.GuitarBankStream.size(), 270u);
  EXPECT_EQ(Samples(0), Ramp(70, 601));
  EXPECT_EQ(Samples(5), Ramp(20, 101));
}

TEST_F(GuitarBankFolder, AMissingStringIsEmptyAndReported) {
  WriteSet("Acero");
  ASSERT_TRUE(LoadGuitarBank(bank, tuning, "Acero").FailedPaths.empty());  // a full bank first
  WriteSet("Rota");
  fs::remove("BancoDeSonidos/Rota/c3.wav");  // string index 3
  const GuitarBankLoad r = LoadGuitarBank(bank, tuning, "Rota");
  ASSERT_EQ(r.FailedPaths, std::vector<std::string>{"BancoDeSonidos/Rota/c3.wav"});
  EXPECT_EQ(GuitarBankMessages(r, false),
            std::vector<std::string>{"No se puede abrir el archivo:\r\nBancoDeSonidos/Rota/c3.wav"});
  EXPECT_EQ(GuitarBankMessages(r, true),
            std::vector<std::string>{"I cannot open the file:\r\nBancoDeSonidos/Rota/c3.wav"});
  // Nothing of the bank loaded before is left on the failed string.
  EXPECT_EQ(bank.GuitarSampleLengths, (std::array<int32_t, 6>{70, 60, 50, 0, 30, 20}));
  EXPECT_EQ(bank.GuitarSampleOffsets, (std::array<int32_t, 6>{0, 70, 130, 180, 180, 210}));
  EXPECT_EQ(bank.String(3).length, 0);
  EXPECT_EQ(Samples(4), Ramp(30, 201));  // the following strings count only what loaded
  // No afinacion.txt: standard tuning.
  EXPECT_EQ(tuning.StringTuning, kStandardTuning);
}

TEST_F(GuitarBankFolder, EveryLengthIsBoundedByTheFile) {
  WriteSet("Rara");
  auto raw = [](uint32_t stated, size_t present) {
    const auto h = WavHeader(stated, 1, 44100);
    std::vector<uint8_t> bytes(h.begin(), h.end());
    for (size_t i = 0; i < present; ++i) bytes.push_back(static_cast<uint8_t>(i + 1));
    return bytes;
  };
  ScratchFolder::Write("BancoDeSonidos/Rara/c6.wav", raw(0xFFFFFFF0u, 10));  // claims 4 GB, holds 10 bytes
  ScratchFolder::Write("BancoDeSonidos/Rara/c5.wav", raw(7, 20));            // an odd byte count
  ScratchFolder::Write("BancoDeSonidos/Rara/c4.wav", {'R', 'I', 'F', 'F'});  // shorter than a header
  ScratchFolder::Write("BancoDeSonidos/Rara/c3.wav", raw(4000000, 1100000)); // beyond 12 s
  const GuitarBankLoad r = LoadGuitarBank(bank, tuning, "Rara");
  EXPECT_TRUE(r.FailedPaths.empty());
  EXPECT_EQ(bank.GuitarSampleLengths[0], 5);
  EXPECT_EQ(bank.GuitarSampleLengths[1], 3);
  EXPECT_EQ(bank.GuitarSampleLengths[2], 0);
  EXPECT_EQ(bank.GuitarSampleLengths[3], 529200);
  EXPECT_EQ(Samples(0), (std::vector<int16_t>{0x0201, 0x0403, 0x0605, 0x0807, 0x0A09}));
  EXPECT_EQ(Samples(4), Ramp(30, 201));
}

TEST(GuitarBankView, EntriesOutsideTheStreamAreEmpty) {
  BancoGuitarra b = MakeBank({Ramp(10), Ramp(10)});
  EXPECT_EQ(b.String(1).length, 10);
  b.GuitarSampleLengths[1] = 11;  // one past the stream
  EXPECT_EQ(b.String(1).length, 0);
  b.GuitarSampleOffsets[0] = -1;
  EXPECT_EQ(b.String(0).length, 0);
  EXPECT_EQ(b.String(-1).length, 0);
  EXPECT_EQ(b.String(6).length, 0);
}

// --- the track renderer ------------------------------------------------------

class GuitarRender : public ::testing::Test {
 protected:
  GuitarTuning tuning;
  GuitarVoiceState voices{};
  std::vector<int16_t> out;

  // Renders a beat of spb frames into a fresh buffer of exactly spb values.
  void Render(const TiempoG& beat, const BancoGuitarra& bank, int spb, int capo = 0) {
    out.assign(static_cast<size_t>(spb), 0);
    RenderGuitarBeat(beat, spb, capo, tuning, bank, voices, out.data(), out.size());
  }
};

TEST_F(GuitarRender, OpenStringKeepsEverySample) {
  const BancoGuitarra bank = SameOnEveryString(Ramp(84, 42));  // 42, 43, ... 125
  TiempoG t = Beat(1);
  SetNote(t, 0, 0, 0, 7);
  Render(t, bank, 100);
  for (int f = 0; f < 84; ++f) EXPECT_EQ(out[static_cast<size_t>(f)], (42 + f) * 7 / 42) << f;
  for (int f = 84; f < 100; ++f) EXPECT_EQ(out[static_cast<size_t>(f)], 0) << f;
  EXPECT_EQ(voices[0].position, 84);
}

TEST_F(GuitarRender, Fret7OnTheFifthStringKeepsTwoSamplesInThree) {
  // F[12] = 110 (A2), F[19] = 164.81 (E3): 3000 source samples make about
  // 3000 x 110 / 164.81 = 2002.3 values.
  const BancoGuitarra bank = SameOnEveryString(Constant(3000, 4200));
  TiempoG t = Beat(1);
  SetNote(t, 0, 1, 7, 7);
  Render(t, bank, 44100);
  const int made = CountNonZero(out);
  EXPECT_NEAR(made, 3000 * 110.0 / 164.81, 1.0);
  for (int f = 0; f < made; ++f) ASSERT_EQ(out[static_cast<size_t>(f)], 700) << f;
  // The capo counts like a fret: fret 5 with capo 2 is the same note.
  const std::vector<int16_t> fret7 = out;
  voices = {};
  TiempoG c = Beat(1);
  SetNote(c, 0, 1, 5, 7);
  Render(c, bank, 44100, 2);
  EXPECT_EQ(out, fret7);
}

// Every note of every string keeps exactly the samples the accumulator of
// the note frequencies (in double, A -= F[o]; A <= 0: A += F[o + d]) keeps.
TEST_F(GuitarRender, EveryNoteKeepsTheSamplesOfTheFrequencyAccumulator) {
  const int kLength = 5400;  // 6 x 5400 still fits 16 bits
  const BancoGuitarra bank = SameOnEveryString(Sixes(kLength));  // sample i at strength 7 gives i + 1
  for (int j = 0; j < kGuitarStrings; ++j)
    for (int fret = 0; fret <= 24; ++fret) {
      const int o = tuning.StringTuning[static_cast<size_t>(j)];
      if (o + fret >= kNoteCount) continue;
      std::vector<int16_t> want;
      double A = 0;
      for (int i = 0; i < kLength && want.size() < 3000; ++i) {
        A -= tuning.TablaNotas[static_cast<size_t>(o)].frequency;
        if (A <= 0) {
          A += tuning.TablaNotas[static_cast<size_t>(o + fret)].frequency;
          want.push_back(static_cast<int16_t>(i + 1));
        }
      }
      voices = {};
      TiempoG t = Beat(1);
      SetNote(t, 0, j, fret, 7);
      Render(t, bank, 3000);
      out.resize(want.size());
      size_t first = 0;
      while (first < want.size() && out[first] == want[first]) ++first;
      ASSERT_EQ(first, want.size()) << "string index " << j << " fret " << fret << ": value " << first << " is "
                                    << (first < out.size() ? out[first] : -1) << ", not " << want[first];
    }
}

TEST_F(GuitarRender, StrengthScalesWithTruncationAndWraps) {
  struct Case {
    int16_t sample;
    int strength;
    int16_t before;
    int16_t after;
  };
  const Case cases[] = {
      {4200, 7, 0, 700},          // 4200 x 7 / 42
      {4200, 1, 0, 100},          // 4200 / 42
      {-41, 1, 0, 0},             // -0.98 truncates toward zero
      {-4200, 7, 0, -700},
      {-43, 1, 0, -1},            // -1.02
      {4200, 7, 32700, -32136},   // 33400 wraps around 16 bits
      {4200, 200, 0, 700},        // a strength above 7 counts as 7
  };
  for (const Case& c : cases) {
    const BancoGuitarra bank = SameOnEveryString({c.sample});
    TiempoG t = Beat(1);
    SetNote(t, 0, 2, 0, c.strength);
    voices = {};
    out.assign(4, c.before);
    RenderGuitarBeat(t, 4, 0, tuning, bank, voices, out.data(), out.size());
    EXPECT_EQ(out[0], c.after) << c.sample << " x " << c.strength;
    EXPECT_EQ(out[1], c.before);
  }
}

TEST_F(GuitarRender, LigadoContinuesFromTheSoundingNote) {
  // Recording of 1000 samples whose value is its index + 1.
  const BancoGuitarra bank = SameOnEveryString(Ramp(1000));
  struct Case {
    int rung;       // where the previous note stands
    int continues;  // where the legato note goes on
  };
  const Case cases[] = {
      {700, 350},  // past the middle: halved
      {300, 300},  // before it: stays
      {500, 500},  // the middle itself is not past it
  };
  for (const Case& c : cases) {
    voices = {};
    voices[4] = GuitarVoice{1000, c.rung, 7, 0};
    TiempoG t = Beat(1);
    SetNote(t, 0, 4, 0, 7, kModeLigado);
    Render(t, bank, 10);
    EXPECT_EQ(out[0], (c.continues + 1) * 7 / 42) << c.rung;
    EXPECT_EQ(voices[4].position, c.continues + 10) << c.rung;
  }
}

TEST_F(GuitarRender, TapadoIsA2000SampleStroke) {
  const BancoGuitarra bank = SameOnEveryString(Constant(5000, 4200));
  TiempoG t = Beat(1);
  SetNote(t, 0, 5, 0, 7, kModeTapado);
  Render(t, bank, 44100);
  EXPECT_EQ(CountNonZero(out), 2000);
  EXPECT_EQ(voices[5].position, 2000);
  // Fretted an octave up (A2 110 Hz -> A3 220 Hz) the same 2000 source
  // samples make half as many values, and one more: A reaches exactly 0 at
  // every odd sample, which makes a value, as the first sample does.
  voices = {};
  TiempoG f = Beat(1);
  SetNote(f, 0, 1, 12, 7, kModeTapado);
  Render(f, bank, 44100);
  EXPECT_EQ(CountNonZero(out), 1001);
  // A recording shorter than the stroke ends with the recording.
  const BancoGuitarra shortBank = SameOnEveryString(Constant(300, 4200));
  voices = {};
  Render(t, shortBank, 44100);
  EXPECT_EQ(CountNonZero(out), 300);
}

TEST_F(GuitarRender, NotesRingAcrossBeatsUntilCutOrSilenced) {
  const BancoGuitarra bank = SameOnEveryString(Sixes(1000));
  TiempoG first = Beat(1);
  SetNote(first, 0, 0, 0, 7);
  Render(first, bank, 100);
  EXPECT_EQ(out[99], 100);

  // An empty beat: the note goes on from source sample 100.
  Render(Beat(3), bank, 100);
  for (int f = 0; f < 100; ++f) ASSERT_EQ(out[static_cast<size_t>(f)], 101 + f) << f;

  // Two divisions of 50 frames; a new note in division 1 at 50% delay starts
  // at frame 50 + 25 and cuts the old one there: the old one fades out under
  // it over kFadeSamples source samples (the open string: as many frames).
  TiempoG cut = Beat(2);
  SetNote(cut, 1, 0, 0, 7, kModeNormal, 50);
  Render(cut, bank, 100);
  EXPECT_EQ(out[0], 201);
  EXPECT_EQ(out[74], 275);  // the old note up to the onset
  EXPECT_EQ(out[75], 1 + 276);  // the new one from its first sample, the old one still whole
  for (int f = 76; f < 100; ++f) {
    const int p = 200 + f;  // the cut note's source sample
    const int old = 6 * (p + 1) * (275 + kFadeSamples - p) / kFadeSamples * 7 / 42;
    ASSERT_EQ(out[static_cast<size_t>(f)], f - 74 + old) << f;
  }

  // "Silencio" stops the string at its onset, fading as a cut does.
  const BancoGuitarra flat = SameOnEveryString(Constant(1000, 4200));
  voices = {};
  TiempoG quiet = Beat(2);
  SetNote(quiet, 0, 0, 0, 7);
  SetNote(quiet, 1, 0, 0, 7, kModeSilencio);
  Render(quiet, flat, 400);
  EXPECT_EQ(out[199], 700);
  EXPECT_EQ(out[200], 700);
  for (int f = 201; f < 200 + kFadeSamples; ++f) ASSERT_LT(out[static_cast<size_t>(f)], out[static_cast<size_t>(f - 1)]) << f;
  for (int f = 200 + kFadeSamples; f < 400; ++f) ASSERT_EQ(out[static_cast<size_t>(f)], 0) << f;
}

TEST_F(GuitarRender, DivisionsAndDelaysPlaceTheOnsets) {
  const BancoGuitarra bank = SameOnEveryString(Constant(20000, 4200));
  // 22049 frames in 3 divisions: h = 7349.6665f. Division 1 starts at frame
  // trunc(h) = 7349 and its note at 30% at trunc(h + 0.3 h) = 9554.
  TiempoG t = Beat(3);
  SetNote(t, 1, 3, 0, 7, kModeNormal, 30);
  Render(t, bank, 22049);
  EXPECT_EQ(out[9553], 0);
  EXPECT_EQ(out[9554], 700);
  // 3 h = 22048.9995: the last division still reaches the beat's last frame.
  EXPECT_EQ(out[22048], 700);
  EXPECT_EQ(voices[3].position, 22049 - 9554);
}

TEST_F(GuitarRender, NotesOutsideTheTableAreNotRendered) {
  const BancoGuitarra bank = SameOnEveryString(Constant(1000, 4200));
  // The 1st string (E4, index 31) at fret 31 would be index 62.
  TiempoG t = Beat(1);
  SetNote(t, 0, 5, 31, 7);
  SetNote(t, 0, 4, 35, 7);  // B3 (26) + 35 = 61, the last note: it plays
  voices[5] = GuitarVoice{1000, 0, 7, 0};  // an open E sounding before: the bad note silences it
  Render(t, bank, 200);
  EXPECT_EQ(voices[5].strength, 0);
  // The 2nd string's note, 1000 x 246.94 / 1864.7 = 132 values of 700, over
  // the open E fading out in kFadeSamples values.
  EXPECT_EQ(CountNonZero(out), kFadeSamples);
  for (int f = 0; f < 132; ++f) {
    const int e = 4200 * std::min(kFadeSamples, kFadeSamples - f) / kFadeSamples * 7 / 42;
    ASSERT_EQ(out[static_cast<size_t>(f)], 700 + e) << f;
  }
  // A tuning that puts a string outside the table silences it whatever the fret.
  ApplyTuning(tuning, {0, 0, 0, 0, 0, 40});
  voices = {};
  TiempoG open = Beat(1);
  SetNote(open, 0, 5, 0, 7);
  Render(open, bank, 100);
  EXPECT_EQ(CountNonZero(out), 0);
}

TEST_F(GuitarRender, NeverReadsOrWritesPastItsBuffers) {
  const BancoGuitarra bank = SameOnEveryString(Ramp(100));
  // A voice whose end belongs to a longer recording of another bank.
  voices[0] = GuitarVoice{100000, 50, 7, 0};
  // Delays up to 255% and a division count outside 1..24.
  TiempoG t = Beat(200);
  SetNote(t, 23, 1, 0, 7, kModeNormal, 255);
  std::vector<int16_t> buf(1000, 0);
  RenderGuitarBeat(t, 1000, 0, tuning, bank, voices, buf.data(), 600);  // a buffer shorter than the beat
  EXPECT_EQ(voices[0].position, 100);
  for (size_t f = 600; f < buf.size(); ++f) ASSERT_EQ(buf[f], 0) << f;
  TiempoG none = Beat(0);
  RenderGuitarBeat(none, 1000, 0, tuning, bank, voices, buf.data(), buf.size());

  // A garbled voice and a capo far beyond the table play nothing.
  voices[2] = GuitarVoice{100, 0, 1000, std::numeric_limits<int>::max()};
  TiempoG capoBeat = Beat(1);
  SetNote(capoBeat, 0, 1, 255, 7);
  std::fill(buf.begin(), buf.end(), int16_t{0});
  RenderGuitarBeat(capoBeat, 1000, std::numeric_limits<int>::max(), tuning, bank, voices, buf.data(), buf.size());
  EXPECT_EQ(CountNonZero(buf), 0);
  EXPECT_EQ(RenderBeatAudition(capoBeat, 1000, std::numeric_limits<int>::max(), tuning, bank, buf.data(), buf.size()),
            0u);
}

// --- the mixer's hook --------------------------------------------------------

TEST(GuitarHook, RendersThePlayingBeatOfTheTrack) {
  // Two bars of 2 and 1 beats; each beat's 6th string plays a different fret.
  std::vector<TiempoG> track(4, Beat(1));
  for (int s = 0; s < 4; ++s) SetNote(track[static_cast<size_t>(s)], 0, 0, 12 * (s % 2), 7);
  const std::vector<uint32_t> bars = {0, 2 * kBeatBytes, 3 * kBeatBytes};
  GuitarTrackView view{track.data(), track.size(), bars.data(), 2};
  const GuitarTuning tuning;
  const BancoGuitarra bank = SameOnEveryString(Constant(50000, 4200));

  EngineState eng;
  eng.SamplesPerBeat = 1000;
  GuitarVoiceState voices{};
  TiempoG current = Beat(5);
  struct Case {
    int compas, beat;
    bool renders;
  };
  const Case cases[] = {
      {1, 0, true}, {1, 1, true}, {2, 0, true},
      {2, 1, false},  // bar 2 has one beat (slot 3 lies beyond the bar table)
      {3, 0, false},  // no third bar
      {0, 0, false},
      {1, -1, false},
  };
  for (const Case& c : cases) {
    eng.CurrentCompas = c.compas;
    eng.CurrentBeat = c.beat;
    std::fill(eng.GuitarBuffer.begin(), eng.GuitarBuffer.end(), int16_t{0});
    voices = {};
    current = Beat(5);
    EXPECT_EQ(EncolaGuitar(eng, view, tuning, bank, 0, voices, &current), c.renders) << c.compas << "/" << c.beat;
    const int made = CountNonZero(std::vector<int16_t>(eng.GuitarBuffer.begin(), eng.GuitarBuffer.begin() + 1000));
    if (c.renders) {
      const int slot = (c.compas == 1 ? 0 : 2) + c.beat;
      EXPECT_EQ(std::memcmp(&current, &track[static_cast<size_t>(slot)], kBeatBytes), 0);
      EXPECT_EQ(made, 1000);
      EXPECT_EQ(voices[0].step, 12 * (slot % 2));
    } else {
      EXPECT_EQ(current.divisions, 5);
      EXPECT_EQ(made, 0);
    }
  }

  // A bar table reaching past the end of the track.
  const std::vector<uint32_t> longBars = {0, 6 * kBeatBytes};
  const GuitarTrackView cut{track.data(), track.size(), longBars.data(), 1};
  eng.CurrentCompas = 1;
  eng.CurrentBeat = 4;
  EXPECT_FALSE(EncolaGuitar(eng, cut, tuning, bank, 0, voices, &current));
  eng.CurrentBeat = 3;
  EXPECT_TRUE(EncolaGuitar(eng, cut, tuning, bank, 0, voices, &current));
  // A bar that does not start on a slot boundary.
  const std::vector<uint32_t> skewed = {100, 100 + 2 * kBeatBytes};
  const GuitarTrackView odd{track.data(), track.size(), skewed.data(), 1};
  eng.CurrentBeat = 0;
  EXPECT_FALSE(EncolaGuitar(eng, odd, tuning, bank, 0, voices, &current));
}

TEST(GuitarHook, SilentMixesAndTheIntroLeaveTheBeatViewAlone) {
  std::vector<TiempoG> track(1, Beat(1));
  SetNote(track[0], 0, 2, 0, 7);
  const std::vector<uint32_t> bars = {0, kBeatBytes};
  const GuitarTrackView view{track.data(), track.size(), bars.data(), 1};
  const GuitarTuning tuning;
  const BancoGuitarra bank = SameOnEveryString(Constant(50000, 4200));
  EngineState eng;
  eng.SamplesPerBeat = 500;
  eng.CurrentCompas = 1;
  eng.CurrentBeat = 0;
  GuitarVoiceState voices{};
  TiempoG current = Beat(9);

  eng.SilentMix = true;
  EXPECT_TRUE(EncolaGuitar(eng, view, tuning, bank, 0, voices, &current));
  EXPECT_EQ(current.divisions, 9);
  EXPECT_EQ(eng.GuitarBuffer[499], 700);  // it still sounds in the export

  eng.SilentMix = false;
  eng.IntroCounter = 4;
  std::fill(eng.GuitarBuffer.begin(), eng.GuitarBuffer.end(), int16_t{0});
  EXPECT_FALSE(EncolaGuitar(eng, view, tuning, bank, 0, voices, &current));
  EXPECT_EQ(current.divisions, 9);
  EXPECT_EQ(eng.GuitarBuffer[0], 0);

  eng.IntroCounter = 0;
  EXPECT_TRUE(EncolaGuitar(eng, view, tuning, bank, 0, voices, &current));
  EXPECT_EQ(current.divisions, 1);
}

TEST(GuitarVoices, StartingPlaybackResetsThem) {
  GuitarVoiceState v;
  v.fill(GuitarVoice{900, 400, 5, 3});
  ResetGuitarVoices(v, false);
  EXPECT_EQ(v[2].end, 900);
  EXPECT_EQ(v[2].position, 0);
  EXPECT_EQ(v[2].strength, 0);
  EXPECT_EQ(v[2].step, 3);
  ResetGuitarVoices(v, true);
  EXPECT_EQ(v[5].end, 0);
}

// --- auditions -----------------------------------------------------------------

TEST(GuitarAudition, EveryNoteRingsOnItsOwnFromAnEvenIndex) {
  const GuitarTuning tuning;
  const BancoGuitarra bank = SameOnEveryString(Constant(100, 4200));
  // e = 1010: a delay of 5% puts the note at frame 50.5 -> frame 50, value 100.
  TiempoG t = Beat(1);
  SetNote(t, 0, 0, 0, 7, kModeNormal, 5);
  SetNote(t, 0, 1, 0, 1, kModeNormal, 0);
  std::vector<int16_t> buf(1000, 123);
  const size_t used = RenderBeatAudition(t, 1010, 0, tuning, bank, buf.data(), buf.size());
  EXPECT_EQ(used, 2u * 150);  // the delayed note ends at frame 150
  EXPECT_EQ(buf[98], 100);    // frame 49: string index 1 alone
  EXPECT_EQ(buf[99], 100);
  EXPECT_EQ(buf[100], 800);   // frame 50: both, left = right
  EXPECT_EQ(buf[101], 800);
  EXPECT_EQ(buf[200], 700);   // frame 100: the first note has ended
  EXPECT_EQ(buf[299], 700);
  EXPECT_EQ(buf[300], 0);     // the rest was cleared
}

TEST(GuitarAudition, ModesAndTheBufferEnd) {
  const GuitarTuning tuning;
  const BancoGuitarra bank = SameOnEveryString(Sixes(4000));
  struct Case {
    int mode;
    size_t used;
    int16_t first;
  };
  const Case cases[] = {
      {kModeNormal, 8000, 1},
      {kModeLigado, 6000, 1001},  // from a quarter of the recording
      {kModeTapado, 4000, 1},
      {kModeSilencio, 0, 0},
      {7, 0, 0},                  // a mode we do not know plays nothing
  };
  for (const Case& c : cases) {
    TiempoG t = Beat(1);
    SetNote(t, 0, 3, 0, 7, c.mode);
    std::vector<int16_t> buf(10000, 0);
    const size_t used = RenderBeatAudition(t, 1000, 0, tuning, bank, buf.data(), buf.size());
    EXPECT_EQ(used, c.used) << c.mode;
    EXPECT_EQ(buf[0], c.first) << c.mode;
    EXPECT_EQ(buf[1], c.first) << c.mode;
  }
  // A note longer than the buffer stops at its end.
  TiempoG t = Beat(1);
  SetNote(t, 0, 3, 0, 7);
  std::vector<int16_t> buf(300, 77);
  EXPECT_EQ(RenderBeatAudition(t, 1000, 0, tuning, bank, buf.data(), 250), 250u);
  EXPECT_EQ(buf[249], 125);
  EXPECT_EQ(buf[250], 77);
  // Odd buffer sizes never get half a frame.
  EXPECT_EQ(RenderBeatAudition(t, 1000, 0, tuning, bank, buf.data(), 251), 250u);
  EXPECT_EQ(buf[250], 0);
}

TEST(GuitarNote, PlaysTheWholeRecordingAveragingSkippedSamples) {
  const GuitarTuning tuning;
  // The 5th string (A2, F = 110): an octave up (220) every second sample is skipped.
  const std::vector<int16_t> rec = {5, 1, -4, 7, 8, -9, -10, 3};
  const BancoGuitarra bank = SameOnEveryString(rec);
  std::vector<int16_t> buf(100, 55);
  ASSERT_EQ(RenderGuitarNote(5, 0, tuning, bank, buf.data(), buf.size()), 8u);  // open: every sample
  for (size_t i = 0; i < rec.size(); ++i) {
    EXPECT_EQ(buf[2 * i], rec[i]);
    EXPECT_EQ(buf[2 * i + 1], rec[i]);
  }
  ASSERT_EQ(RenderGuitarNote(5, 12, tuning, bank, buf.data(), buf.size()), 4u);
  // 5; (1 - 4) / 2 = -1; (7 + 8) / 2 = 7; (-9 - 10) / 2 = -9; the last 3 makes no value.
  EXPECT_EQ(std::vector<int16_t>(buf.begin(), buf.begin() + 8), (std::vector<int16_t>{5, 5, -1, -1, 7, 7, -9, -9}));
  EXPECT_EQ(RenderGuitarNote(0, 0, tuning, bank, buf.data(), buf.size()), 0u);
  EXPECT_EQ(RenderGuitarNote(7, 0, tuning, bank, buf.data(), buf.size()), 0u);
  EXPECT_EQ(RenderGuitarNote(1, 31, tuning, bank, buf.data(), buf.size()), 0u);  // beyond the table
  EXPECT_EQ(RenderGuitarNote(5, 0, tuning, bank, buf.data(), 5), 2u);            // two whole frames fit
}

// --- controls ------------------------------------------------------------------

TEST(GuitarControls, VolumeAndPan) {
  struct Case {
    int position, num, den;
    const char* hint;
  };
  const Case cases[] = {
      {1, 4, 8, "1/8"}, {7, 4, 2, "1/2"}, {8, 4, 1, "x1"}, {9, 8, 1, "x2"}, {16, 36, 1, "x9"},
      {0, 4, 8, "1/8"}, {40, 36, 1, "x9"},  // out of range: limited
  };
  for (const Case& c : cases) {
    int num = 0, den = 0;
    std::string hint;
    GuitarVolume(c.position, &num, &den, &hint);
    EXPECT_EQ(num, c.num) << c.position;
    EXPECT_EQ(den, c.den) << c.position;
    EXPECT_EQ(hint, c.hint) << c.position;
  }
  EXPECT_EQ(GuitarPanHint(0), "-16");
  EXPECT_EQ(GuitarPanHint(16), "0");
  EXPECT_EQ(GuitarPanHint(32), "16");
}

// --- the factory bank ----------------------------------------------------------

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

constexpr double kPi = 3.14159265358979323846;

// The first n samples under a Hann window.
std::vector<double> Windowed(const std::vector<int16_t>& x, size_t n) {
  std::vector<double> w(n);
  for (size_t i = 0; i < n; ++i)
    w[i] = x[i] * (0.5 - 0.5 * std::cos(2 * kPi * static_cast<double>(i) / static_cast<double>(n)));
  return w;
}

// Magnitude of the DFT of a windowed block at freq Hz (evaluated at any
// frequency, not only at the bins).
double Magnitude(const std::vector<double>& w, double freq) {
  const double step = 2 * kPi * freq / 44100;
  const double c = std::cos(step), s = std::sin(step);
  double re = 0, im = 0, pr = 1, pi = 0;
  for (double v : w) {
    re += v * pr;
    im -= v * pi;
    const double r = pr * c - pi * s;
    pi = pr * s + pi * c;
    pr = r;
  }
  return std::hypot(re, im);
}

// The frequency of the strongest spectral peak within pitch +- 5 Hz, found
// in steps of 0.1 Hz and refined in steps of 0.005 Hz.
double PeakNear(const std::vector<double>& w, double pitch) {
  double best = pitch, bestMag = -1;
  for (double f = pitch - 5; f <= pitch + 5; f += 0.1) {
    const double m = Magnitude(w, f);
    if (m > bestMag) bestMag = m, best = f;
  }
  const double coarse = best;
  for (double f = coarse - 0.1; f <= coarse + 0.1; f += 0.005) {
    const double m = Magnitude(w, f);
    if (m > bestMag) bestMag = m, best = f;
  }
  return best;
}

}  // namespace

TEST(FactoryGuitarBank, FilesHaveThePlainLayoutAndLoad) {
  ScratchFolder dir;
  std::string error;
  ASSERT_TRUE(WriteWorkingFolder(".", &error)) << error;
  for (int n = 1; n <= 6; ++n) {
    const std::vector<uint8_t> b = ScratchFolder::Read("BancoDeSonidos/Guitarra/c" + std::to_string(n) + ".wav");
    ASSERT_GT(b.size(), 44u) << n;
    const uint32_t data = static_cast<uint32_t>(b.size() - 44);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(b, 4), 36 + data);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(b, 16), 16u);        // fmt chunk of 16 bytes
    EXPECT_EQ(Le16(b, 20), 1);          // PCM
    EXPECT_EQ(Le16(b, 22), 1);          // mono
    EXPECT_EQ(Le32(b, 24), 44100u);
    EXPECT_EQ(Le32(b, 28), 88200u);
    EXPECT_EQ(Le16(b, 32), 2);
    EXPECT_EQ(Le16(b, 34), 16);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(Le32(b, 40), data);       // the data follows at once: no other chunk
    EXPECT_LT(data / 2, 3u * 44100);
  }
  const std::vector<uint8_t> tuningFile = ScratchFolder::Read("BancoDeSonidos/Guitarra/afinacion.txt");
  EXPECT_EQ(ParseTuningOffsets(std::string(tuningFile.begin(), tuningFile.end())), (std::array<int, 6>{}));

  BancoGuitarra bank;
  GuitarTuning tuning;
  const GuitarBankLoad r = LoadGuitarBank(bank, tuning, kFactoryGuitarBank);
  EXPECT_TRUE(r.FailedPaths.empty());
  EXPECT_EQ(r.TuningCaption, "E 6   A 5   D 4   G 3   B 2   E 1   ");
  for (int k = 0; k < 6; ++k) EXPECT_EQ(bank.String(k).length, static_cast<int>(SynthesizeGuitarString(6 - k).size()));
}

TEST(FactoryGuitarBank, EachStringSoundsAtItsPitch) {
  const GuitarTuning tuning;
  for (int n = 1; n <= 6; ++n) {
    const std::vector<int16_t> x = SynthesizeGuitarString(n);
    ASSERT_FALSE(x.empty());
    ASSERT_LT(x.size(), 3u * 44100);
    const double pitch = NoteFrequency(tuning.StringTuning[static_cast<size_t>(6 - n)]);
    EXPECT_NEAR(FactoryGuitarPitch(n), pitch, 1e-3);

    // Peak about -1 dBFS, reached at the attack; the tail fades to silence.
    int peak = 0;
    size_t peakAt = 0;
    for (size_t i = 0; i < x.size(); ++i)
      if (std::abs(x[i]) > peak) peak = std::abs(x[i]), peakAt = i;
    EXPECT_NEAR(20 * std::log10(peak / 32768.0), -1.0, 0.1) << n;
    EXPECT_LT(peakAt, 441u) << n;  // within 10 ms
    int firstLoud = -1;
    for (size_t i = 0; i < x.size() && firstLoud < 0; ++i)
      if (std::abs(x[i]) > 1000) firstLoud = static_cast<int>(i);
    EXPECT_LT(firstLoud, 20) << n;  // no silence before the pluck
    EXPECT_EQ(x.back(), 0);
    for (size_t i = x.size() - 200; i < x.size(); ++i) ASSERT_LT(std::abs(x[i]), 20) << n;

    // The fundamental sits at the pitch (0.74 s analysed, about 0.2 Hz resolution
    // after refinement); nothing an octave below; nothing above 6 kHz.
    const std::vector<double> w = Windowed(x, 32768);
    EXPECT_NEAR(PeakNear(w, pitch), pitch, 0.5) << n;
    const double fundamental = Magnitude(w, pitch);
    EXPECT_LT(Magnitude(w, pitch / 2), 0.02 * fundamental) << n;
    for (double f = 6000; f < 21000; f += 1500) EXPECT_LT(Magnitude(w, f), 1e-3 * fundamental) << n << " " << f;
  }
  EXPECT_TRUE(SynthesizeGuitarString(0).empty());
  EXPECT_TRUE(SynthesizeGuitarString(7).empty());
}

// --- the sound of every note ------------------------------------------------------

// Each value lies where the accumulator puts it between two source samples:
// on a ramp of 30 per sample (5 per sample at strength 7), value k is
// 5 k F[o + d] / F[o] within the truncations, where dropping samples would
// be up to a whole sample (5) off.
TEST_F(GuitarRender, EveryNoteInterpolatesAtTheAccumulatorsPlace) {
  std::vector<int16_t> ramp(1000);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(30 * i);
  const BancoGuitarra bank = SameOnEveryString(ramp);
  for (int j = 0; j < kGuitarStrings; ++j)
    for (int fret = 0; fret <= 24; ++fret) {
      const int o = tuning.StringTuning[static_cast<size_t>(j)];
      if (o + fret >= kNoteCount) continue;
      const double ratio = static_cast<double>(tuning.TablaNotas[static_cast<size_t>(o + fret)].frequency) /
                           tuning.TablaNotas[static_cast<size_t>(o)].frequency;
      voices = {};
      TiempoG t = Beat(1);
      SetNote(t, 0, j, fret, 7);
      Render(t, bank, 2000);
      const int made = static_cast<int>(std::floor(999 / ratio));
      for (int k = 0; k < made; ++k)
        ASSERT_NEAR(out[static_cast<size_t>(k)], 5 * k * ratio, 1.01) << "string index " << j << " fret " << fret << " value " << k;
    }
}

namespace {

// In-place radix-2 FFT of a power-of-two length.
void Fft(std::vector<double>& re, std::vector<double>& im) {
  const size_t n = re.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(re[i], re[j]), std::swap(im[i], im[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double a = -2 * kPi / static_cast<double>(len);
    for (size_t i = 0; i < n; i += len)
      for (size_t k = 0; k < len / 2; ++k) {
        const double c = std::cos(a * static_cast<double>(k)), s = std::sin(a * static_cast<double>(k));
        const double xr = re[i + k + len / 2] * c - im[i + k + len / 2] * s;
        const double xi = re[i + k + len / 2] * s + im[i + k + len / 2] * c;
        re[i + k + len / 2] = re[i + k] - xr;
        im[i + k + len / 2] = im[i + k] - xi;
        re[i + k] += xr;
        im[i + k] += xi;
      }
  }
}

// The energy of a note that lies away from its harmonics, against all of
// it, in dB. The harmonics are those of the factory strings, whose upper
// partials are a little stretched (partial k at k f0 sqrt((1 + s k^2) /
// (1 + s)), s = 8e-5); a bin is off them when it lies further than 4 bins
// and 0.5% from every one.
double OffHarmonicDb(const std::vector<int16_t>& x, double f0) {
  const size_t n = 16384;
  const double bin = 44100.0 / n;
  std::vector<double> re = Windowed(x, n), im(n, 0.0);
  Fft(re, im);
  std::vector<double> partials;
  const double s = 8e-5;
  for (int k = 1; k * f0 < 22050; ++k) partials.push_back(k * f0 * std::sqrt((1 + s * k * k) / (1 + s)));
  double all = 0, off = 0;
  for (size_t b = 1; b < n / 2; ++b) {
    const double f = bin * static_cast<double>(b);
    const double e = re[b] * re[b] + im[b] * im[b];
    all += e;
    bool near = false;
    for (double p : partials)
      if (std::abs(f - p) <= 4 * bin + 0.005 * p) near = true;
    if (!near) off += e;
  }
  return 10 * std::log10(off / all);
}

// The factory bank in memory and a note of it rendered alone.
struct FactoryNotes {
  BancoGuitarra bank;
  GuitarTuning tuning;
  FactoryNotes() {
    std::vector<std::vector<int16_t>> recs;
    for (int k = 0; k < kGuitarStrings; ++k) recs.push_back(SynthesizeGuitarString(6 - k));
    bank = MakeBank(recs);
  }
  std::vector<int16_t> Note(int j, int fret, int mode, int frames) {
    GuitarVoiceState v{};
    TiempoG t = Beat(1);
    SetNote(t, 0, j, fret, 7, mode);
    std::vector<int16_t> out(static_cast<size_t>(frames), 0);
    RenderGuitarBeat(t, frames, 0, tuning, bank, v, out.data(), out.size());
    return out;
  }
};

}  // namespace

// Interpolating keeps every fretted note about as clean as the open string
// (-59 to -49 dB, at most 2 dB above the open string), where dropping
// samples left grit between the harmonics (up to -31 dB, 21 dB above the
// open string); and the note sits at the recording's pitch shifted
// by the table's interval, within 1 cent.
TEST(GuitarSoundQuality, EveryNoteIsCleanBetweenItsHarmonicsAndInTune) {
  FactoryNotes f;
  for (int j = 0; j < kGuitarStrings; ++j) {
    const int o = f.tuning.StringTuning[static_cast<size_t>(j)];
    const double recordingPitch = FactoryGuitarPitch(6 - j);
    const double open = OffHarmonicDb(f.Note(j, 0, kModeNormal, 20000), recordingPitch);
    for (int fret = 0; fret <= 19; ++fret) {
      const double ratio = static_cast<double>(f.tuning.TablaNotas[static_cast<size_t>(o + fret)].frequency) /
                           f.tuning.TablaNotas[static_cast<size_t>(o)].frequency;
      const double pitch = recordingPitch * ratio;
      const std::vector<int16_t> x = f.Note(j, fret, kModeNormal, 40000);
      const double db = OffHarmonicDb(x, pitch);
      EXPECT_LT(db, -47.0) << "string index " << j << " fret " << fret;
      EXPECT_LT(db, open + 4.0) << "string index " << j << " fret " << fret << " open " << open;
      const double found = PeakNear(Windowed(x, 32768), pitch);
      EXPECT_LT(std::abs(1200 * std::log2(found / pitch)), 1.0) << "string index " << j << " fret " << fret;
    }
  }
}

// Wherever a note is cut, on every string and at any fret, its sound goes
// down to nothing without a step: the 2000-sample "Tapado", a new note on
// the string (the new note's own sound taken away), a "Silencio". The steps
// of the fade stay within what the note's own waveform does; the last value
// before silence is a tiny part of the peak.
TEST(GuitarSoundQuality, CutsFadeOutWithoutAStep) {
  FactoryNotes f;
  const int spb = 8000;
  for (int j = 0; j < kGuitarStrings; ++j)
    for (int fret : {0, 5, 12, 19}) {
      // What the note does by itself, up to the cut: its peak and its steepest step.
      const std::vector<int16_t> whole = f.Note(j, fret, kModeNormal, spb);
      auto stepsOf = [](const std::vector<int16_t>& x, size_t from, size_t to) {
        int step = 0;
        for (size_t i = std::max<size_t>(from, 1); i < to && i < x.size(); ++i) step = std::max(step, std::abs(x[i] - x[i - 1]));
        return step;
      };
      int peak = 0;
      for (int16_t v : whole) peak = std::max(peak, std::abs(static_cast<int>(v)));
      ASSERT_GT(peak, 0);

      struct Cut {
        const char* what;
        std::vector<int16_t> sound;  // the cut note alone
        size_t at;                   // the frame of the cut
      };
      std::vector<Cut> cuts;
      // Tapado: 2000 source samples.
      {
        const std::vector<int16_t> t = f.Note(j, fret, kModeTapado, spb);
        size_t last = 0;
        for (size_t i = 0; i < t.size(); ++i)
          if (t[i] != 0) last = i;
        cuts.push_back({"Tapado", t, last + 1});
      }
      // A new note, and a Silencio, in the second of two divisions.
      for (int mode : {kModeNormal, kModeSilencio}) {
        GuitarVoiceState v{};
        TiempoG t = Beat(2);
        SetNote(t, 0, j, fret, 7);
        SetNote(t, 1, j, fret, 7, mode);
        std::vector<int16_t> both(static_cast<size_t>(2 * spb), 0);
        RenderGuitarBeat(t, 2 * spb, 0, f.tuning, f.bank, v, both.data(), both.size());
        if (mode == kModeNormal) {
          // Less the new note by itself, starting at the same frame.
          const std::vector<int16_t> alone = f.Note(j, fret, kModeNormal, spb);
          for (size_t i = 0; i < alone.size(); ++i) both[spb + i] = static_cast<int16_t>(both[spb + i] - alone[i]);
        }
        cuts.push_back({mode == kModeNormal ? "new note" : "Silencio", both, static_cast<size_t>(spb)});
      }
      const int ownStep = stepsOf(whole, 1, 1500);
      for (const Cut& c : cuts) {
        const int fadeStep = stepsOf(c.sound, c.at - 2, c.at + kFadeSamples + 4);
        EXPECT_LE(fadeStep, ownStep + peak / 100) << c.what << " string index " << j << " fret " << fret;
        // The cut note is silent once its fade is over, and its last value is small.
        size_t lastSound = 0;
        for (size_t i = c.at; i < c.sound.size(); ++i)
          if (c.sound[i] != 0) lastSound = i;
        EXPECT_LT(lastSound, c.at + kFadeSamples) << c.what << " string index " << j << " fret " << fret;
        if (lastSound > 0) {
          EXPECT_LT(std::abs(c.sound[lastSound]), peak / 50) << c.what << " string index " << j;
        }
      }
    }
}
