#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/mixer.h"
#include "engine/sound_bank.h"
#include "rhythm/records.h"

namespace {

std::vector<int16_t> Constant(int n, int16_t v) { return std::vector<int16_t>(static_cast<size_t>(n), v); }
// 1, 2, 3, ...: a sample's value tells how far into the sound a frame is.
std::vector<int16_t> Ramp(int n) {
  std::vector<int16_t> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = static_cast<int16_t>(i + 1);
  return v;
}

struct Queued {
  int half;
  size_t bytes;
};

class MixerTest : public ::testing::Test {
 protected:
  explicit MixerTest(EngineFormat format = kProFormat) : eng(format) {}

  void SetUp() override {
    rt = RhythmTables::Create();
    rt->FormulaCount = 1;
    rt->CurrentFormula = 0;
    F().SetHeader(4, 0);
    eng.CurrentBpm = 120.0f;
    hooks.QueueBeat = [this](int half, const int16_t* data, size_t bytes) {
      queued.push_back({half, bytes});
      EXPECT_EQ(data, eng.OutputHalfData(half));
    };
  }

  Formula& F() { return rt->Formulas[0]; }

  // The bank holds these sounds as numbers 1, 2, ...
  void SetSounds(const std::vector<std::vector<int16_t>>& sounds) {
    bank.Clear(static_cast<int>(sounds.size()));
    for (size_t j = 0; j < sounds.size(); ++j)
      bank.Append(static_cast<int>(j), reinterpret_cast<const uint8_t*>(sounds[j].data()), sounds[j].size() * 2);
  }

  // Track t plays `sound` on beat b with these stroke codes (one per stroke).
  void SetCell(int b, int t, const std::vector<int>& strokes, int sound) {
    int32_t cell = 0;
    for (size_t s = 0; s < strokes.size(); ++s) cell |= strokes[s] << (3 * s);
    F().cells[b][t] = cell;
    F().SetStrokeCount(b, t, static_cast<int>(strokes.size()));
    F().sounds[t] = static_cast<uint8_t>(sound);
  }

  void SetVolume(int t, int v) { TrackGainFor(v, &eng.Controls.TrackGainNum[t], &eng.Controls.TrackGainDen[t]); }

  // Mixes beat b and returns the half it went into.
  int Mix(int b = 0) {
    eng.CurrentBeat = b;
    const int half = eng.OutputHalf;
    MixNextBeat(eng, *rt, bank, hooks);
    return half;
  }
  int16_t L(int half, int f) { return eng.OutputHalfData(half)[2 * f]; }
  int16_t R(int half, int f) { return eng.OutputHalfData(half)[2 * f + 1]; }
  bool HalfSilent(int half) {
    for (int i = 0; i < 2 * eng.SamplesPerBeat; ++i)
      if (eng.OutputHalfData(half)[i] != 0) return false;
    return true;
  }

  std::unique_ptr<RhythmTables> rt;
  BancoSonidos bank;
  EngineState eng;
  MixerHooks hooks;
  std::vector<Queued> queued;
};

// --- tempo -------------------------------------------------------------------

TEST_F(MixerTest, TempoGivesTruncatedBeatLengths) {
  struct Case {
    float bpm;
    int ms, frames;
  };
  for (const Case& c : {Case{120, 500, 22049}, Case{20, 3000, 132299}, Case{400, 150, 6614}, Case{90, 666, 29370},
                        Case{7, 3000, 132299}, Case{1000, 150, 6614}, Case{0, 3000, 132299}, Case{-50, 3000, 132299},
                        Case{std::numeric_limits<float>::quiet_NaN(), 3000, 132299}}) {
    eng.CurrentBpm = c.bpm;
    const int half = Mix();
    EXPECT_EQ(eng.MsPerBeat, c.ms) << c.bpm;
    EXPECT_EQ(eng.SamplesPerBeat, c.frames) << c.bpm;
    ASSERT_FALSE(queued.empty());
    EXPECT_EQ(queued.back().half, half);
    EXPECT_EQ(queued.back().bytes, static_cast<size_t>(c.frames) * 4);
  }
}

// A tempo slider's whole bpm, in each edition's frames.
TEST(SliderTempo, WholeBpmGivesTheBeatLengthOfTheEdition) {
  struct Case {
    int bpm, ms, proFrames, basicFrames;
  };
  for (const Case& c : {Case{120, 500, 22049, 11024}, Case{20, 3000, 132299, 66149}, Case{400, 150, 6614, 3307},
                        Case{90, 666, 29370, 14685}}) {
    EngineState pro(kProFormat), basic(kBasicFormat);
    SetSliderTempo(pro, c.bpm);
    SetSliderTempo(basic, c.bpm);
    EXPECT_EQ(pro.MsPerBeat, c.ms) << c.bpm;
    EXPECT_EQ(basic.MsPerBeat, c.ms) << c.bpm;
    EXPECT_EQ(pro.SamplesPerBeat, c.proFrames) << c.bpm;
    EXPECT_EQ(basic.SamplesPerBeat, c.basicFrames) << c.bpm;
    EXPECT_EQ(pro.CurrentBpm, static_cast<float>(c.bpm));
  }
}

TEST_F(MixerTest, ThemeAcceleratesByAccelOverBeats) {
  eng.ThemePlayback = true;
  eng.FormulaBeats = 4;
  eng.EntryAccel = 10;
  Mix();
  EXPECT_FLOAT_EQ(eng.CurrentBpm, 122.5f);
  EXPECT_EQ(eng.MsPerBeat, 489);
  EXPECT_EQ(eng.SamplesPerBeat, 21564);
  EXPECT_STREQ(eng.BpmText, "122.50 bpm");

  // A formula loop never accelerates.
  eng.ThemePlayback = false;
  Mix();
  EXPECT_FLOAT_EQ(eng.CurrentBpm, 122.5f);

  // Nor does a compás of no beats.
  eng.ThemePlayback = true;
  eng.FormulaBeats = 0;
  Mix();
  EXPECT_FLOAT_EQ(eng.CurrentBpm, 122.5f);
}

TEST_F(MixerTest, AccelerationNeverTakesTheTempoOutOf20To400) {
  SetSounds({Constant(200000 / 2, 30000)});
  SetCell(0, 0, {7}, 1);
  eng.ThemePlayback = true;
  eng.FormulaBeats = 1;
  // Fill the other half with a marker: a beat must never reach it.
  std::fill(eng.OutputBuffer.begin(), eng.OutputBuffer.end(), int16_t{0x5A5A});
  eng.OutputHalf = 0;
  eng.CurrentBpm = 21.0f;
  eng.EntryAccel = -128;
  for (int i = 0; i < 5; ++i) {
    eng.SilentMix = true;  // stays in half 0
    Mix();
    EXPECT_FLOAT_EQ(eng.CurrentBpm, 20.0f);
    EXPECT_EQ(eng.SamplesPerBeat, 132299);
  }
  for (int i = eng.Format.HalfSamples(); i < 2 * eng.Format.HalfSamples(); ++i)
    ASSERT_EQ(eng.OutputBuffer[static_cast<size_t>(i)], 0x5A5A) << i;

  eng.CurrentBpm = 399.0f;
  eng.EntryAccel = 127;
  Mix();
  EXPECT_FLOAT_EQ(eng.CurrentBpm, 400.0f);
  EXPECT_EQ(eng.SamplesPerBeat, 6614);
}

TEST_F(MixerTest, BasicEditionRateAndTrackCount) {
  EngineState basic(kBasicFormat);
  EXPECT_EQ(basic.Format.HalfSamples(), 132300);
  EXPECT_EQ(basic.OutputBuffer.size(), 2u * 132300u);
  SetSounds({Constant(30000, 1000)});
  SetCell(0, 7, {7}, 1);
  SetCell(0, 8, {7}, 1);  // a ninth track: not played by the basic edition
  eng.Controls.Pan.fill(32);
  basic.Controls = eng.Controls;
  basic.CurrentBpm = 120.0f;
  basic.SilentMix = true;
  MixNextBeat(basic, *rt, bank, hooks);
  EXPECT_EQ(basic.SamplesPerBeat, 11024);  // trunc(500 x 22.05 in single precision)
  EXPECT_EQ(basic.OutputHalfData(0)[1], 1000);
  basic.CurrentBpm = 20.0f;
  MixNextBeat(basic, *rt, bank, hooks);
  EXPECT_EQ(basic.SamplesPerBeat, 66149);
}

// --- arithmetic of one track -------------------------------------------------

struct ArithmeticCase {
  int16_t sample;
  int level, pan, volume;
  int left, right;
};

class MixerArithmetic : public MixerTest, public ::testing::WithParamInterface<ArithmeticCase> {};

TEST_P(MixerArithmetic, OneStroke) {
  const ArithmeticCase& c = GetParam();
  SetSounds({Constant(40000, c.sample)});
  SetCell(0, 3, {c.level}, 1);
  eng.Controls.Pan[3] = c.pan;
  SetVolume(3, c.volume);
  const int half = Mix();
  for (int f : {0, 1, 22048}) {
    EXPECT_EQ(L(half, f), c.left) << f;
    EXPECT_EQ(R(half, f), c.right) << f;
  }
  EXPECT_EQ(eng.ClipCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixerArithmetic,
    ::testing::Values(ArithmeticCase{1000, 4, 16, 8, 125, 125},    // ((16 x 250) >> 5) x 1 / 1
                      ArithmeticCase{-1000, 4, 16, 8, -125, -125},  // ((16 x -250) >> 5)
                      ArithmeticCase{-1001, 4, 16, 8, -125, -125},  // -1001 / 4 = -250, truncated
                      ArithmeticCase{-3, 7, 1, 8, -3, -1},          // arithmetic shift rounds down
                      ArithmeticCase{1000, 7, 32, 16, 0, 9000},     // right only, nine times
                      ArithmeticCase{1000, 1, 0, 1, 17, 0},         // 1000 / 7 = 142, then / 8
                      ArithmeticCase{-1000, 1, 24, 7, -18, -53},    // shift down, then divide toward zero
                      ArithmeticCase{-32768, 7, 16, 8, -16384, -16384}, ArithmeticCase{7, 2, 16, 8, 0, 0}));

// Every 16-bit sample value, smallest magnitudes first (0, 1, -1, 2, -2, ...,
// -32768), so that a share too loud for gain 1 can only come at the end.
std::vector<int16_t> EveryValueByMagnitude() {
  std::vector<int16_t> v{0};
  for (int m = 1; m <= 32767; ++m) {
    v.push_back(static_cast<int16_t>(m));
    v.push_back(static_cast<int16_t>(-m));
  }
  v.push_back(-32768);
  return v;
}

// Compares the half with the expected sums up to the first frame whose sum
// would clip at gain 1 and returns that frame (or the sound's length).
int CompareUpToFirstClip(const int16_t* half, const std::vector<int>& left, const std::vector<int>& right,
                         const std::string& what) {
  for (size_t f = 0; f < left.size(); ++f) {
    if (std::abs(left[f]) > 32767 || std::abs(right[f]) > 32767) return static_cast<int>(f);
    if (half[2 * f] != left[f] || half[2 * f + 1] != right[f]) {
      ADD_FAILURE() << what << ": frame " << f << " gives " << half[2 * f] << ", " << half[2 * f + 1] << " instead of "
                    << left[f] << ", " << right[f];
      return -1;
    }
  }
  return static_cast<int>(left.size());
}

// One track plays every sample value at gain 1 and is compared frame by frame
// with ((pan x (sample / (8 - level))) >> 5) x num / den (32 - pan on the left),
// for every level and pan and every kind of gain.
TEST_F(MixerTest, EverySampleValueFollowsTheTrackFormula) {
  const std::vector<int16_t> sound = EveryValueByMagnitude();
  SetSounds({sound});
  struct Case {
    int level, pan, num, den;
  };
  std::vector<Case> cases;
  for (int pan = 0; pan <= 32; ++pan)
    for (int level : {7, 1}) cases.push_back({level, pan, 1, 1});
  for (int level = 1; level <= 7; ++level)
    for (int pan : {0, 5, 15, 16, 17, 27, 32}) cases.push_back({level, pan, 1, 1});
  for (int volume = 1; volume <= 16; ++volume)
    for (int pan : {3, 16, 29})
      for (int level : {7, 4}) {
        int num, den;
        TrackGainFor(volume, &num, &den);
        cases.push_back({level, pan, num, den});
      }
  // Gains no slider gives.
  for (auto [num, den] : {std::pair{3, 2}, {5, 7}, {1, 9}, {1, 100}, {0, 1}, {16, 1}, {2, 4}, {9, 3}})
    for (int level : {7, 6}) cases.push_back({level, 20, num, den});

  for (const Case& c : cases) {
    const std::string what = "level " + std::to_string(c.level) + ", pan " + std::to_string(c.pan) + ", gain " +
                             std::to_string(c.num) + "/" + std::to_string(c.den);
    SetCell(0, 0, {c.level}, 1);
    eng.Controls.Pan[0] = c.pan;
    eng.Controls.TrackGainNum[0] = c.num;
    eng.Controls.TrackGainDen[0] = c.den;
    eng.CurrentBpm = 40.0f;  // 66149 frames: the whole sound in one beat
    eng.MasterGain = 1.0f;
    eng.ClipCount = 0;
    const int half = Mix(0);
    ASSERT_GE(eng.SamplesPerBeat, static_cast<int>(sound.size()));
    std::vector<int> left, right;
    for (int16_t s : sound) {
      const int x = s / (8 - c.level);
      right.push_back(((c.pan * x) >> 5) * c.num / c.den);
      left.push_back((((32 - c.pan) * x) >> 5) * c.num / c.den);
    }
    const int checked = CompareUpToFirstClip(eng.OutputHalfData(half), left, right, what);
    if (checked < 0) return;  // one failure is enough
    // At most the last value can clip at gain 1 and 1/1; a gain of 2 reaches
    // it halfway through the values.
    if (c.num <= c.den) {
      EXPECT_GE(checked, static_cast<int>(sound.size()) - 1) << what;
    }
    if (c.num <= 2 * c.den) {
      EXPECT_GE(checked, 32767) << what;
    }
  }
}

// The click plays every sample value: (sample >> (10 - level)) x Nivel on both sides.
TEST_F(MixerTest, EverySampleValueFollowsTheClickFormula) {
  const std::vector<int16_t> sound = EveryValueByMagnitude();
  SetSounds({sound});
  for (int level = 1; level <= 7; ++level)
    for (int nivel : {1, 7, 16}) {
      const std::string what = "level " + std::to_string(level) + ", Nivel " + std::to_string(nivel);
      eng.Controls.ClickSound = 1;
      eng.Controls.ClickStrokes = 1;
      eng.Controls.ClickAccentPattern = level;
      eng.Controls.ClickPlainPattern = level;
      eng.Controls.Nivel = nivel;
      eng.CurrentBpm = 40.0f;
      eng.MasterGain = 1.0f;
      const int half = Mix(0);
      std::vector<int> both;
      for (int16_t s : sound) both.push_back((s >> (10 - level)) * nivel);
      const int checked = CompareUpToFirstClip(eng.OutputHalfData(half), both, both, what);
      if (checked < 0) return;
      EXPECT_GT(checked, 32000) << what;  // at least the values up to about 16000 in magnitude
    }
}

TEST_F(MixerTest, TracksAddUpAndPanPlacesThem) {
  SetSounds({Constant(30000, 5), Constant(30000, 2)});
  SetCell(0, 0, {7}, 1);
  SetCell(0, 1, {7}, 2);
  eng.Controls.Pan[0] = 0;
  eng.Controls.Pan[1] = 32;
  eng.Controls.Pan[2] = 16;
  SetCell(0, 2, {7}, 1);
  const int half = Mix();
  EXPECT_EQ(L(half, 10), 5 + 2);  // (16 x 5) >> 5 = 2 from the centred track
  EXPECT_EQ(R(half, 10), 2 + 2);
}

// --- strokes -----------------------------------------------------------------

TEST_F(MixerTest, ThreeStrokesStartAtMultiplesOfSpacingPlusOne) {
  SetSounds({Ramp(30000)});
  SetCell(0, 0, {7, 7, 7}, 1);
  eng.Controls.Pan[0] = 32;  // right = the sample
  const int half = Mix();
  EXPECT_EQ(eng.Voices.TrackSpacing[0], 7349);
  struct Probe {
    int frame, value;
  };
  for (const Probe& p : {Probe{0, 1}, Probe{7349, 7350}, Probe{7350, 1}, Probe{14699, 7350}, Probe{14700, 1},
                         Probe{22048, 7349}})
    EXPECT_EQ(R(half, p.frame), p.value) << p.frame;
  EXPECT_EQ(L(half, 7350), 0);
}

TEST_F(MixerTest, RestStrokeLetsTheSoundRingOn) {
  SetSounds({Ramp(30000)});
  SetCell(0, 0, {7, 0, 7}, 1);
  eng.Controls.Pan[0] = 32;
  const int half = Mix();
  EXPECT_EQ(R(half, 7350), 7351);
  EXPECT_EQ(R(half, 14699), 14700);
  EXPECT_EQ(R(half, 14700), 1);
}

TEST_F(MixerTest, LevelsFollowEachStroke) {
  SetSounds({Constant(30000, 7000)});
  SetCell(0, 0, {7, 1, 4, 0}, 1);
  eng.Controls.Pan[0] = 32;
  const int half = Mix();
  EXPECT_EQ(eng.Voices.TrackSpacing[0], 5512);
  EXPECT_EQ(R(half, 5512), 7000);
  EXPECT_EQ(R(half, 5513), 1000);   // level 1: one seventh
  EXPECT_EQ(R(half, 11026), 1750);  // level 4: one quarter
  EXPECT_EQ(R(half, 16539), 1750);  // the rest rings on
}

TEST_F(MixerTest, BeatWithoutStrokesKeepsThePreviousSoundRinging) {
  SetSounds({Ramp(22049 + 100)});
  SetCell(0, 0, {7}, 1);
  F().sounds[0] = 1;
  eng.Controls.Pan[0] = 32;
  int half = Mix(0);
  EXPECT_EQ(R(half, 22048), 22049);
  half = Mix(1);  // stroke count 0 on beat 1
  EXPECT_EQ(R(half, 0), 22050);
  EXPECT_EQ(R(half, 99), 22149);
  EXPECT_EQ(R(half, 100), 0);  // the sound has ended
  EXPECT_EQ(eng.Voices.TrackSpacing[0], eng.SamplesPerBeat);

  // A rest at stroke 0 of a beat does not restart the sound either.
  SetCell(2, 0, {0, 7}, 1);
  eng.Voices.TrackPos[0] = 50;
  half = Mix(2);
  EXPECT_EQ(R(half, 0), 51);
  EXPECT_EQ(R(half, 11025), 1);
}

TEST_F(MixerTest, CorruptStrokeCountAndCellStayInBounds) {
  // A file can hold a stroke count up to 15 and bits past the eighth stroke.
  SetSounds({Ramp(30000)});
  F().cells[0][0] = -1;
  F().SetStrokeCount(0, 0, 15);
  F().sounds[0] = 1;
  eng.Controls.Pan[0] = 32;
  const int half = Mix(0);
  EXPECT_EQ(eng.Voices.TrackSpacing[0], 1469);
  EXPECT_EQ(R(half, 14699), 1470);       // stroke 9, level 7
  EXPECT_EQ(R(half, 14710), 11 / 5);     // stroke 10 reads the two top bits: level 3
  EXPECT_EQ(R(half, 16170), 1471 / 5);   // strokes past the word are rests
  EXPECT_EQ(eng.Voices.TrackStroke[0], 14);
}

TEST_F(MixerTest, MutedTrackStandsStillAndResumesWhereItWas) {
  SetSounds({Ramp(30000)});
  SetCell(0, 0, {7}, 1);
  eng.Controls.Pan[0] = 32;
  eng.Controls.MuteButtons[0] = true;
  int half = Mix(0);
  EXPECT_TRUE(HalfSilent(half));
  eng.Controls.MuteButtons[0] = false;
  half = Mix(1);  // no stroke on beat 1: the sound carries on from where the mute held it
  EXPECT_EQ(R(half, 0), 1);
  EXPECT_EQ(R(half, 100), 101);
}

TEST_F(MixerTest, SoundNumbersWithoutASoundAreSilent) {
  SetSounds({Constant(30000, 1000), Constant(30000, 1000)});
  for (int t = 0; t < 4; ++t) SetCell(0, t, {7, 7}, 1);
  F().sounds[0] = 3;    // beyond the list
  F().sounds[1] = 64;   // beyond the list
  F().sounds[2] = 200;  // a negative signed byte
  F().sounds[3] = 255;
  // A stale entry that would point past the stream.
  bank.SoundOffsets[1] = 1 << 30;
  bank.SoundLengths[1] = 1 << 20;
  SetCell(0, 4, {7}, 2);
  eng.Voices.TrackPos.fill(0);
  const int half = Mix();
  EXPECT_TRUE(HalfSilent(half));
  // The tracks still count their strokes.
  EXPECT_EQ(eng.Voices.TrackStroke[0], 1);
}

TEST_F(MixerTest, FormulaOrBeatOutOfRangeIsSilent) {
  SetSounds({Constant(30000, 1000)});
  SetCell(0, 0, {7}, 1);
  rt->CurrentFormula = kMaxFormulas;
  EXPECT_TRUE(HalfSilent(Mix(0)));
  rt->CurrentFormula = -1;
  EXPECT_TRUE(HalfSilent(Mix(0)));
  rt->CurrentFormula = 0;
  eng.Voices.TrackAttenuation.fill(7);
  EXPECT_TRUE(HalfSilent(Mix(12)));
  EXPECT_FALSE(HalfSilent(Mix(0)));
}

// --- click -------------------------------------------------------------------

TEST_F(MixerTest, ClickStrokesAndLevels) {
  SetSounds({Constant(100, 1000)});
  SetClickPreset(eng.Controls, '3');
  EXPECT_EQ(eng.Controls.ClickSound, 1);
  eng.Controls.Nivel = 8;
  F().accents = 0x0001;  // beat 0 accented
  int half = Mix(0);
  EXPECT_EQ(eng.ClickSpacing, 7349);  // trunc(22049.9992 / 3)
  struct Probe {
    int frame, value;
  };
  // Accented: level 7 ((1000 >> 3) x 8), then 5 ((1000 >> 5) x 8).
  for (const Probe& p : {Probe{0, 1000}, Probe{99, 1000}, Probe{100, 0}, Probe{7350, 248}, Probe{7449, 248},
                         Probe{7450, 0}, Probe{14700, 248}}) {
    EXPECT_EQ(L(half, p.frame), p.value) << p.frame;
    EXPECT_EQ(R(half, p.frame), p.value) << p.frame;
  }
  half = Mix(1);  // plain beat: level 5 from the first stroke
  EXPECT_EQ(L(half, 0), 248);
  EXPECT_EQ(L(half, 7350), 248);
}

TEST_F(MixerTest, PieClicksOnAccentedBeatsOnly) {
  SetSounds({Constant(100, 1000)});
  SetClickPreset(eng.Controls, 'P');
  F().accents = 0x0002;
  EXPECT_TRUE(HalfSilent(Mix(0)));
  const int half = Mix(1);
  EXPECT_EQ(L(half, 0), 1000);
}

TEST_F(MixerTest, ClickRestStrokeSilencesTheClick) {
  SetSounds({Constant(30000, 800)});
  eng.Controls.ClickStrokes = 2;
  eng.Controls.ClickAccentPattern = 7;  // 7 then a rest
  eng.Controls.ClickPlainPattern = 7;
  eng.Controls.ClickSound = 1;
  const int half = Mix(0);
  EXPECT_EQ(L(half, 11024), 800);
  EXPECT_EQ(L(half, 11025), 0);
}

TEST_F(MixerTest, NivelAt16PlaysOnlyTheClickWhileAPatternIsChosen) {
  SetSounds({Constant(30000, 1000), Constant(30000, 64)});
  SetCell(0, 0, {7}, 2);
  eng.Controls.Pan[0] = 32;
  eng.Controls.Nivel = 16;
  SetClickPreset(eng.Controls, '1');
  F().accents = 1;
  int half = Mix(0);
  EXPECT_EQ(L(half, 0), 2000);  // (1000 >> 3) x 16, the track is not heard
  EXPECT_EQ(R(half, 0), 2000);

  SetClickPreset(eng.Controls, '0');  // click off: the tracks play at Nivel 16
  half = Mix(0);
  EXPECT_EQ(L(half, 0), 0);
  EXPECT_EQ(R(half, 0), 64);
}

TEST_F(MixerTest, NoClickSoundSelectedGivesNoClick) {
  SetSounds({Constant(100, 1000)});
  SetClickPreset(eng.Controls, '1');
  for (int metro : {0, -1, 5}) {
    eng.Controls.ClickSound = metro;
    EXPECT_TRUE(HalfSilent(Mix(0))) << metro;
  }
}

// --- intro and ending --------------------------------------------------------

TEST_F(MixerTest, IntroClicksOncePerBeatWithSoundOneAndTracksSilent) {
  SetSounds({Constant(100, 1000), Constant(30000, 3000)});
  SetCell(0, 0, {7}, 2);
  for (int metro : {0, -1}) {
    eng.Controls.ClickSound = metro;  // "Silencio" or nothing selected
    eng.IntroCounter = 4;
    eng.ThemeIntroBeats = 4;
    eng.FormulaStartBeat = 3;
    const int half = Mix(0);
    EXPECT_EQ(eng.FormulaBeats, 4);
    EXPECT_EQ(eng.FormulaStartBeat, 0);
    EXPECT_EQ(eng.ClickLevel, 16);
    EXPECT_EQ(L(half, 0), 2000);  // level 7 at ClickLevel 16
    EXPECT_EQ(L(half, 99), 2000);
    EXPECT_EQ(L(half, 100), 0);   // one stroke only, and no track
    EXPECT_EQ(L(half, 11025), 0);
  }
}

TEST_F(MixerTest, EndingIsSilentButForTheGuitar) {
  SetSounds({Constant(30000, 1000)});
  SetCell(0, 0, {7}, 1);
  SetClickPreset(eng.Controls, '4');
  eng.EndingCounter = 4;
  eng.ThemeEndBeats = 4;
  EXPECT_TRUE(HalfSilent(Mix(0)));
  EXPECT_EQ(eng.FormulaBeats, 4);

  eng.Controls.GuitarOn = true;
  hooks.EncolaG = [](EngineState& e) {
    for (int f = 0; f < e.SamplesPerBeat; ++f) e.GuitarBuffer[static_cast<size_t>(f)] = 1000;
  };
  const int half = Mix(0);
  EXPECT_EQ(L(half, 0), 500);
  EXPECT_EQ(R(half, 0), 500);
}

TEST_F(MixerTest, GuitarShareHasItsOwnPanAndGainAndObeysMuteG) {
  int calls = 0;
  hooks.EncolaG = [&](EngineState& e) {
    ++calls;
    for (int f = 0; f < e.SamplesPerBeat; ++f) EXPECT_EQ(e.GuitarBuffer[static_cast<size_t>(f)], 0);
    e.GuitarBuffer[0] = 1000;
    e.GuitarBuffer[1] = -1000;
  };
  std::fill(eng.GuitarBuffer.begin(), eng.GuitarBuffer.end(), int16_t{777});
  int half = Mix(0);  // guitar off: the buffer is cleared, nothing is heard
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(HalfSilent(half));
  EXPECT_EQ(eng.GuitarBuffer[5], 0);

  eng.Controls.GuitarOn = true;
  eng.Controls.GuitarPan = 8;
  eng.Controls.GuitarGainNum = 1;
  eng.Controls.GuitarGainDen = 2;
  half = Mix(0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(R(half, 0), 125);   // ((1000 x 8) >> 5) / 2
  EXPECT_EQ(L(half, 0), 375);   // ((1000 x 24) >> 5) / 2
  EXPECT_EQ(R(half, 1), -125);
  EXPECT_EQ(L(half, 1), -375);

  eng.Controls.MuteButtons[kGuitarSlot] = true;
  EXPECT_TRUE(HalfSilent(Mix(0)));
  EXPECT_EQ(calls, 1);
}

// --- gain --------------------------------------------------------------------

TEST_F(MixerTest, ClippingLowersTheGainInThousandthsAndTheThemeKeepsIt) {
  SetSounds({Constant(30000, 4444)});
  SetCell(0, 0, {7}, 1);
  eng.Controls.Pan[0] = 0;
  SetVolume(0, 16);  // left = 9 x 4444 = 39996
  eng.ThemePlayback = true;
  eng.FormulaBeats = 4;
  rt->CurrentTema = 5;
  rt->Temas[5].gain = 1.0f;
  const int half = Mix(0);
  EXPECT_EQ(eng.ClipCount, 181);
  EXPECT_NEAR(eng.MasterGain, 0.819f, 2e-5);
  EXPECT_EQ(L(half, 0), static_cast<int16_t>(39996.0 * static_cast<double>(eng.MasterGain)));
  EXPECT_LE(L(half, 0), 32767);
  EXPECT_GT(L(half, 0), 32700);
  EXPECT_EQ(L(half, 20000), L(half, 0));  // later frames keep the lowered gain
  EXPECT_FLOAT_EQ(rt->Temas[5].gain, eng.MasterGain);

  // A formula loop leaves the theme's gain alone.
  eng.ThemePlayback = false;
  rt->Temas[5].gain = 3.0f;
  eng.MasterGain = 1.0f;
  Mix(0);
  EXPECT_FLOAT_EQ(rt->Temas[5].gain, 3.0f);
}

// A frame clips when its sum times the gain truncates beyond +-32767, wherever
// it falls in the beat and on either side: the gain falls from that frame on,
// and a later, louder frame lowers it once more.
TEST_F(MixerTest, ClippingLaterInTheBeatLowersTheGainFromThatFrameOn) {
  enum Side { kRight, kLeft, kMono };
  struct Case {
    Side side;
    int peak, second;  // frames of the two loud samples
  };
  std::vector<Case> cases;
  for (Side side : {kRight, kLeft, kMono})
    for (auto [peak, second] : {std::pair{77, 5000}, {2047, 2112}, {130000, 132298}}) cases.push_back({side, peak, second});
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "side " << c.side << ", frames " << c.peak << " and " << c.second);
    std::vector<int16_t> x(132299, 1000);
    x[static_cast<size_t>(c.peak) - 1] = 16383;
    x[static_cast<size_t>(c.peak)] = 16384;
    x[static_cast<size_t>(c.peak) + 1] = 16383;
    x[static_cast<size_t>(c.peak) - 70] = 16383;
    x[static_cast<size_t>(c.second)] = 16400;
    std::vector<int16_t> y = Constant(132299, 1);
    y[static_cast<size_t>(c.peak)] = 0;
    SetSounds({x, y});
    // The sum is 2x + y on one side: twice one sound on one track and the
    // other on another. Mono: 2x + y on both sides, whose half sum is 2x + y again.
    for (int t = 0; t < 4; ++t) {
      SetCell(0, t, {7}, t % 2 == 0 ? 1 : 2);
      eng.Controls.TrackGainNum[t] = t % 2 == 0 ? 2 : 1;
      eng.Controls.TrackGainDen[t] = 1;
      eng.Controls.Pan[t] = (c.side == kLeft || (c.side == kMono && t < 2)) ? 0 : 32;
      if (c.side != kMono && t >= 2) F().sounds[t] = 0;
    }
    eng.Controls.Mono = c.side == kMono;
    eng.CurrentBpm = 20.0f;
    eng.MasterGain = 1.0f;
    eng.ClipCount = 0;
    const int half = Mix(0);
    EXPECT_EQ(eng.ClipCount, 2);
    EXPECT_FLOAT_EQ(eng.MasterGain, 0.998f);
    auto loud = [&](int f) { return c.side == kRight ? R(half, f) : L(half, f); };
    auto other = [&](int f) { return c.side == kRight ? L(half, f) : R(half, f); };
    const std::pair<int, int> expected[] = {
        {0, 2001},
        {c.peak - 70, 32767},  // the loudest frame that does not clip at gain 1
        {c.peak - 2, 2001},
        {c.peak - 1, 32767},
        {c.peak, 32735},       // 32768 clips: trunc(32768 x 0.999)
        {c.peak + 1, 32734},   // trunc(32767 x 0.999)
        {c.second - 1, 1998},  // trunc(2001 x 0.999)
        {c.second, 32735},     // trunc(32801 x 0.999) = 32768 clips: trunc(32801 x 0.998)
    };
    for (auto [f, v] : expected) {
      EXPECT_EQ(loud(f), v) << f;
      EXPECT_EQ(other(f), c.side == kMono ? v : 0) << f;
    }
    if (c.second < 132298) {
      EXPECT_EQ(loud(132298), 1996);  // trunc(2001 x 0.998)
    }
  }
}

TEST_F(MixerTest, MinusFullScaleCountsAsClipping) {
  SetSounds({Constant(30000, -32768)});
  SetCell(0, 0, {7}, 1);
  eng.Controls.Pan[0] = 0;
  const int half = Mix(0);
  EXPECT_EQ(eng.ClipCount, 1);
  EXPECT_EQ(L(half, 0), -32735);  // trunc(-32768 x 0.999)
}

TEST_F(MixerTest, AtTheGainFloorTheOutputSaturates) {
  SetSounds({Constant(30000, 32767), Constant(30000, -32768)});
  for (int t = 0; t < 16; ++t) {
    SetCell(0, t, {7, 7}, 1);
    SetCell(1, t, {7}, 1);
    eng.Controls.Pan[t] = 0;
    SetVolume(t, 16);
  }
  eng.MasterGain = 0.0105f;
  int half = Mix(0);
  EXPECT_EQ(eng.ClipCount, 1);  // one step, then the floor
  EXPECT_LE(eng.MasterGain, 0.01f);
  EXPECT_EQ(L(half, 0), 32767);  // 4718448 x 0.0095 would wrap to a negative value
  EXPECT_EQ(L(half, 11025), 32767);
  EXPECT_EQ(R(half, 0), 0);
  for (int t = 0; t < 16; ++t) F().sounds[t] = 2;
  half = Mix(1);
  EXPECT_EQ(eng.ClipCount, 1);
  EXPECT_EQ(L(half, 0), -32768);
}

TEST_F(MixerTest, GainThatIsNotANumberOrHugeStaysBounded) {
  SetSounds({Constant(30000, 1000)});
  SetCell(0, 0, {7}, 1);
  eng.Controls.Pan[0] = 32;
  eng.MasterGain = std::numeric_limits<float>::quiet_NaN();
  int half = Mix(0);
  EXPECT_EQ(R(half, 0), 1000);
  eng.MasterGain = 1e30f;
  half = Mix(0);
  EXPECT_LE(eng.MasterGain, 32.768f);
  EXPECT_GT(eng.MasterGain, 32.7f);
  EXPECT_LE(R(half, 0), 32767);
}

struct MonoCase {
  int left, right;  // sums of the frame
  float gain;
  int outL, outR;
};

class MixerMono : public MixerTest, public ::testing::WithParamInterface<MonoCase> {};

// Mono: the mean of the two sums on both channels, never one inverted (a
// mono speaker or a summed output would cancel them).
TEST_P(MixerMono, BothChannelsCarryTheSameSample) {
  const MonoCase& c = GetParam();
  SetSounds({Constant(30000, static_cast<int16_t>(c.left)), Constant(30000, static_cast<int16_t>(c.right))});
  SetCell(0, 0, {7}, 1);
  SetCell(0, 1, {7}, 2);
  eng.Controls.Pan[0] = 0;
  eng.Controls.Pan[1] = 32;
  eng.Controls.Mono = true;
  eng.MasterGain = c.gain;
  const int half = Mix(0);
  EXPECT_EQ(L(half, 0), c.outL);
  EXPECT_EQ(R(half, 0), c.outR);
}

INSTANTIATE_TEST_SUITE_P(Cases, MixerMono,
                         ::testing::Values(MonoCase{5, 2, 1.0f, 3, 3}, MonoCase{5, 2, 2.5f, 7, 7},
                                           MonoCase{-5, 2, 1.0f, -1, -1}, MonoCase{-7, -2, 1.0f, -4, -4}));

// --- halves, queueing and the tempo text ------------------------------------

TEST_F(MixerTest, BeatsAlternateHalvesUnlessSilent) {
  SetSounds({Constant(30000, 1000)});
  SetCell(0, 0, {7}, 1);
  SetCell(1, 0, {7}, 1);
  eng.Controls.Pan[0] = 32;
  EXPECT_EQ(Mix(0), 0);
  EXPECT_EQ(eng.OutputHalf, 1);
  EXPECT_EQ(eng.OutputOffset, 264600);
  EXPECT_STREQ(eng.BpmText, "120.00 bpm");
  EXPECT_EQ(Mix(1), 1);
  EXPECT_EQ(eng.OutputHalf, 0);
  EXPECT_EQ(eng.OutputOffset, 0);
  ASSERT_EQ(queued.size(), 2u);
  EXPECT_EQ(queued[0].half, 0);
  EXPECT_EQ(queued[1].half, 1);
  EXPECT_EQ(R(1, 0), 1000);

  eng.SilentMix = true;
  eng.CurrentBpm = 90.0f;
  EXPECT_EQ(Mix(0), 0);
  EXPECT_EQ(eng.OutputHalf, 0);
  EXPECT_EQ(queued.size(), 2u);
  EXPECT_STREQ(eng.BpmText, "120.00 bpm");  // kept while mixing silently
  EXPECT_EQ(R(0, 0), 1000);                 // but the half is written

  // A stray half number is taken as 0 or 1.
  eng.SilentMix = false;
  eng.OutputHalf = 7;
  Mix(0);
  EXPECT_EQ(queued.back().half, 1);
  EXPECT_EQ(eng.OutputHalf, 0);
}

TEST_F(MixerTest, BpmTextHasTwoDecimals) {
  struct Case {
    float bpm;
    const char* text;
  };
  for (const Case& c : {Case{20, "20.00 bpm"}, Case{400, "400.00 bpm"}, Case{97.125f, "97.12 bpm"}}) {
    eng.CurrentBpm = c.bpm;
    Mix(0);
    EXPECT_STREQ(eng.BpmText, c.text);
  }
}

// --- controls ----------------------------------------------------------------

TEST(MixerControls, VolumeGainAndPresets) {
  struct Gain {
    int v, num, den;
  };
  for (const Gain& g : {Gain{8, 1, 1}, Gain{7, 1, 2}, Gain{1, 1, 8}, Gain{9, 2, 1}, Gain{16, 9, 1}, Gain{0, 1, 8},
                        Gain{40, 9, 1}}) {
    int num = 0, den = 0;
    TrackGainFor(g.v, &num, &den);
    EXPECT_EQ(num, g.num) << g.v;
    EXPECT_EQ(den, g.den) << g.v;
  }

  struct Preset {
    char code;
    int32_t accent, plain;
    int strokes;
  };
  for (const Preset& p : {Preset{'0', 0, 0, 0}, Preset{'1', 7, 5, 1}, Preset{'2', 47, 29, 2},
                          Preset{'3', 367, 365, 3}, Preset{'4', 2927, 2925, 4}, Preset{'5', 23407, 23405, 5},
                          Preset{'6', 187247, 187245, 6}, Preset{'P', 7, 0, 1}}) {
    MixerControls c;
    c.ClickSound = 0;
    ASSERT_TRUE(SetClickPreset(c, p.code));
    EXPECT_EQ(c.ClickAccentPattern, p.accent) << p.code;
    EXPECT_EQ(c.ClickPlainPattern, p.plain) << p.code;
    EXPECT_EQ(c.ClickStrokes, p.strokes) << p.code;
    EXPECT_EQ(c.ClickPatternCode, p.code);
    EXPECT_EQ(c.ClickSound, p.code == '0' ? 0 : 1) << p.code;
  }
  MixerControls c;
  c.ClickSound = 3;
  SetClickPreset(c, '3');
  EXPECT_EQ(c.ClickSound, 3);
  c.ClickSound = -1;
  SetClickPreset(c, '2');
  EXPECT_EQ(c.ClickSound, 1);
  EXPECT_FALSE(SetClickPreset(c, 'x'));
}

TEST(MixerControls, SoloAndMute) {
  MixerControls c;
  c.SoloButtons[2] = true;
  SoloButtonsChanged(c);
  for (int i = 0; i <= kGuitarSlot; ++i) EXPECT_EQ(c.MuteButtons[i], i != 2) << i;
  c.SoloButtons[kGuitarSlot] = true;
  SoloButtonsChanged(c);
  EXPECT_FALSE(c.MuteButtons[kGuitarSlot]);
  EXPECT_FALSE(c.MuteButtons[2]);
  EXPECT_TRUE(c.MuteButtons[3]);
  c.SoloButtons.fill(false);
  SoloButtonsChanged(c);
  for (bool m : c.MuteButtons) EXPECT_FALSE(m);

  c.SoloButtons[4] = true;
  SoloButtonsChanged(c);
  c.MuteButtons[4] = true;
  MuteButtonsChanged(c);
  for (bool s : c.SoloButtons) EXPECT_FALSE(s);
  EXPECT_TRUE(c.MuteButtons[4]);
  EXPECT_TRUE(c.MuteButtons[0]);  // mutes stay as they are
}

TEST(MixerControls, TrackControlsFromTheme) {
  Tema t{};
  InitNewTema(t, 120);
  t.pan[3] = 0;
  t.pan[4] = 200;
  t.volume[5] = 1;
  t.volume[6] = 16;
  MixerControls c;
  SetTrackControlsFromTema(c, t.pan, t.volume);
  EXPECT_EQ(c.Pan[0], 16);
  EXPECT_EQ(c.Pan[3], 0);
  EXPECT_EQ(c.Pan[4], 32);
  EXPECT_EQ(c.TrackGainDen[5], 8);
  EXPECT_EQ(c.TrackGainNum[6], 9);
  EXPECT_EQ(c.TrackGainNum[0], 1);
  EXPECT_EQ(c.TrackGainDen[0], 1);
}

}  // namespace

// --- the basic edition's mix ---------------------------------------------------
// Fixed places in the field, a shift per level below 3 and one divisor per
// beat: the number of tracks with a sound (plus the click's share).

class BasicMixer : public MixerTest {
 protected:
  BasicMixer() : MixerTest(kBasicFormat) {}
};

struct BasicTrackCase {
  int track, code;     // level L is code 4 + L
  int16_t sample;
  int left, right;     // l = sample >> (7 - code); L = (l x (8 - t)) >> 3, R = (l x (t + 1)) >> 3
};

TEST_F(BasicMixer, EachTrackSitsAtItsPlaceAndEachLevelHalves) {
  const BasicTrackCase cases[] = {
      {0, 7, 800, 800, 100},   // far left
      {7, 7, 800, 100, 800},   // far right
      {3, 7, 800, 500, 400},   // 800 x 5 / 8, 800 x 4 / 8
      {3, 6, 800, 250, 200},   // level 2: half
      {3, 5, 800, 125, 100},   // level 1: a quarter
      {5, 7, -801, -301, -601},  // (-801 x 3) >> 3 = -301 (arithmetic shift), (-801 x 6) >> 3 = -601
      {2, 4, 800, 0, 0},       // code 4 is no level: a rest
  };
  for (const BasicTrackCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "track " << c.track << " code " << c.code);
    rt->Formulas[0] = Formula{};
    F().SetHeader(4, 0);
    SetSounds({Constant(30000, c.sample)});
    SetCell(0, c.track, {c.code}, 1);
    eng.MasterGain = 1.0f;
    eng.SilentMix = true;
    Mix();
    EXPECT_EQ(L(0, 0), c.left);
    EXPECT_EQ(R(0, 0), c.right);
    EXPECT_EQ(L(0, 11000), c.left);
  }
}

TEST_F(BasicMixer, TheBeatIsDividedByItsSoundingTracks) {
  SetSounds({Constant(30000, 800), Constant(30000, 1600)});
  SetCell(0, 0, {7}, 1);
  SetCell(0, 7, {7}, 2);
  SetCell(0, 3, {0}, 1);     // a track with a sound counts even when it rests
  F().sounds[5] = 17;        // a sound number above 16 is none: not counted, not heard
  F().cells[0][5] = 7;
  F().SetStrokeCount(0, 5, 1);
  eng.MasterGain = 1.0f;
  eng.SilentMix = true;
  EXPECT_EQ(BasicBeatDivisor(eng, *rt), 3);
  Mix();
  // L = 800 + (1600 x 1) >> 3 = 1000, R = (800 x 1) >> 3 + 1600 = 1700; / 3
  EXPECT_EQ(L(0, 0), 333);
  EXPECT_EQ(R(0, 0), 566);

  eng.IntroCounter = 2;  // intro: trunc(16 x gain x 0.5)
  EXPECT_EQ(BasicBeatDivisor(eng, *rt), 8);
  eng.IntroCounter = 0;
  eng.EndingCounter = 1;
  EXPECT_EQ(BasicBeatDivisor(eng, *rt), 1);
}

TEST_F(BasicMixer, ABeatWithNothingToDivideBySilent) {
  SetSounds({Constant(30000, 800)});
  F().cells[0][2] = 7;
  F().SetStrokeCount(0, 2, 1);  // a stroke, but no sound on any track
  eng.Controls.ClickStrokes = 0;
  eng.SilentMix = true;
  eng.OutputBuffer.assign(eng.OutputBuffer.size(), 0x5A5A);
  EXPECT_EQ(BasicBeatDivisor(eng, *rt), 0);
  Mix();
  EXPECT_TRUE(HalfSilent(0));
}

TEST(BasicClickPresets, TwoBitLevelsWithTheAccentLoudest) {
  struct Case { char code; int32_t accent, plain; };
  for (const Case& c : {Case{'1', 3, 1}, Case{'3', 23, 21}, Case{'6', 1367, 1365}, Case{'P', 3, 0}}) {
    MixerControls m;
    ASSERT_TRUE(SetClickPreset(m, c.code, true)) << c.code;
    EXPECT_EQ(m.ClickAccentPattern, c.accent) << c.code;
    EXPECT_EQ(m.ClickPlainPattern, c.plain) << c.code;
  }
}

// The divisor of a beat: intro trunc(16 x gain x 0.5), ending 1, otherwise
// the tracks with a sound plus, with a click pattern chosen, trunc of
// ClickLevel x gain x 0.25 added to them.
TEST_F(BasicMixer, TheDivisorOfEachKindOfBeat) {
  struct Case {
    const char* what;
    int tracks, strokes, level;
    float gain;
    int intro, ending;
    int d;
  };
  const Case cases[] = {
      {"tracks only", 3, 0, 8, 1.0f, 0, 0, 3},
      {"with the click", 3, 2, 8, 1.0f, 0, 0, 5},
      {"the click's share grows with the gain", 3, 2, 8, 1.5f, 0, 0, 6},
      {"the click's share truncated", 3, 1, 3, 1.0f, 0, 0, 3},  // 3 + 0.75
      {"the click off counts nothing", 3, 0, 16, 4.0f, 0, 0, 3},
      {"intro", 3, 2, 8, 2.5f, 4, 0, 20},
      {"intro truncated", 0, 0, 8, 1.3f, 4, 0, 10},  // 10.4
      {"ending", 5, 2, 8, 5.0f, 0, 4, 1},
      {"nothing sounding", 0, 0, 8, 1.0f, 0, 0, 0},
      {"a click too soft to count", 0, 1, 1, 1.0f, 0, 0, 0},  // 0.25
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rt->Formulas[0] = Formula{};
    F().SetHeader(4, 0);
    for (int t = 0; t < c.tracks; ++t) F().sounds[t] = 1;
    eng.Controls.ClickStrokes = c.strokes;
    eng.ClickLevel = c.level;
    eng.MasterGain = c.gain;
    eng.IntroCounter = c.intro;
    eng.EndingCounter = c.ending;
    EXPECT_EQ(BasicBeatDivisor(eng, *rt), c.d);
  }
}

// The click: (sample >> (3 - level + 3)) x ClickLevel on both channels, the
// accented beat at level 3, the plain one at level 1; the beat divided by
// the click's share. The intro clicks at level 3 with ClickLevel 16, with
// sound 1 when no click sound is chosen, and the ending is silent.
TEST_F(BasicMixer, ClickLevelsAndTheIntroAndEndingBeats) {
  SetSounds({Constant(30000, 800)});
  F().accents = 1;  // beat 0 accented, beat 1 plain
  ASSERT_TRUE(SetClickPreset(eng.Controls, '1', true));
  eng.Controls.ClickSound = 1;
  eng.Controls.Nivel = 8;
  eng.MasterGain = 1.0f;
  eng.SilentMix = true;
  Mix(0);  // (800 >> 3) x 8 = 800, divided by trunc(8 x 0.25) = 2
  EXPECT_EQ(L(0, 0), 400);
  EXPECT_EQ(R(0, 0), 400);
  Mix(1);  // level 1: (800 >> 5) x 8 = 200, / 2
  EXPECT_EQ(L(0, 0), 100);
  EXPECT_EQ(R(0, 100), 100);

  SetCell(0, 0, {7}, 1);  // a track that the intro must not play
  eng.Controls.ClickSound = 0;  // "Silencio"
  eng.ThemePlayback = true;
  eng.IntroCounter = 3;
  eng.ThemeIntroBeats = 3;
  Mix(0);  // (800 >> 3) x 16 = 1600, divided by trunc(16 x 1.0 x 0.5) = 8
  EXPECT_EQ(L(0, 0), 200);
  EXPECT_EQ(R(0, 0), 200);
  EXPECT_EQ(eng.FormulaBeats, 3);

  eng.IntroCounter = 0;
  eng.EndingCounter = 4;
  eng.ThemeEndBeats = 4;
  eng.OutputBuffer.assign(eng.OutputBuffer.size(), 0x5A5A);
  Mix(0);
  EXPECT_TRUE(HalfSilent(0));
  EXPECT_EQ(eng.FormulaBeats, 4);
}

// The tempo moves only in a normal beat: the text first, then the
// acceleration, then the beat's length. Intro and ending beats keep the
// tempo and the length of the beat before.
TEST_F(BasicMixer, AccelerationOnlyInNormalBeatsAfterTheTempoText) {
  eng.ThemePlayback = true;
  eng.FormulaBeats = 4;
  eng.EntryAccel = 10;
  eng.SilentMix = false;
  Mix();
  EXPECT_STREQ(eng.BpmText, "120.00 bpm");  // written before the acceleration
  EXPECT_FLOAT_EQ(eng.CurrentBpm, 122.5f);
  EXPECT_EQ(eng.MsPerBeat, 489);
  EXPECT_EQ(eng.SamplesPerBeat, 10782);  // trunc(489 x 22.05)
  ASSERT_FALSE(queued.empty());
  EXPECT_EQ(queued.back().bytes, 10782u * 4u);

  for (const bool intro : {true, false}) {
    SCOPED_TRACE(intro ? "intro" : "ending");
    eng.IntroCounter = intro ? 2 : 0;
    eng.EndingCounter = intro ? 0 : 2;
    eng.CurrentBpm = 200.0f;  // a tempo the beat does not take up
    Mix();
    EXPECT_FLOAT_EQ(eng.CurrentBpm, 200.0f);
    EXPECT_EQ(eng.MsPerBeat, 489);
    EXPECT_EQ(eng.SamplesPerBeat, 10782);
    EXPECT_STREQ(eng.BpmText, "120.00 bpm");
    EXPECT_EQ(queued.back().bytes, 10782u * 4u);
    eng.CurrentBpm = 122.5f;
  }
}

// The gain falls by 0.001 for each step a frame needs, but only while it is
// above 1.0; each step is counted, and a theme keeps the lowered gain. At
// 1.0 the frame saturates and nothing more is counted.
TEST_F(BasicMixer, TheGainFallsInStepsWhileAboveOne) {
  SetSounds({Constant(30000, 30000), Constant(30000, -32768)});
  SetCell(0, 0, {7}, 1);  // L = 30000 at the far left, d = 1
  rt->CurrentTema = 3;
  rt->Temas[3].gain = 7.0f;
  eng.ThemePlayback = true;
  eng.FormulaBeats = 4;
  eng.SilentMix = true;
  eng.MasterGain = 1.5f;
  Mix();
  EXPECT_GT(eng.MasterGain, 1.09f);
  EXPECT_LE(30000.0 * eng.MasterGain, 32767.0);
  EXPECT_GT(30000.0 * (eng.MasterGain + 0.001), 32767.0);  // no lower than it had to
  EXPECT_GE(eng.ClipCount, 400);
  EXPECT_LE(eng.ClipCount, 410);
  EXPECT_FLOAT_EQ(rt->Temas[3].gain, eng.MasterGain);
  EXPECT_LE(L(0, 0), 32767);
  EXPECT_GE(L(0, 0), 32767 - 30);
  EXPECT_EQ(L(0, 0), L(0, 5000));  // the later frames at the lowered gain

  // A formula loop lowers the gain but stores it in no theme.
  eng.ThemePlayback = false;
  eng.ClipCount = 0;
  eng.MasterGain = 1.5f;
  rt->Temas[3].gain = 7.0f;
  Mix();
  EXPECT_LT(eng.MasterGain, 1.1f);
  EXPECT_FLOAT_EQ(rt->Temas[3].gain, 7.0f);

  // -32768 clips at gain 1.0: the gain stays, nothing is counted, the frame
  // saturates.
  SetCell(0, 0, {7}, 2);
  eng.ThemePlayback = true;
  eng.ClipCount = 0;
  eng.MasterGain = 1.0f;
  Mix();
  EXPECT_FLOAT_EQ(eng.MasterGain, 1.0f);
  EXPECT_EQ(eng.ClipCount, 0);
  EXPECT_FLOAT_EQ(rt->Temas[3].gain, 7.0f);
  EXPECT_EQ(L(0, 0), -32768);
  // From just above it falls to 1.0 and no further.
  eng.MasterGain = 1.02f;
  Mix();
  EXPECT_EQ(eng.ClipCount, 20);
  EXPECT_LE(eng.MasterGain, 1.0f);
  EXPECT_GT(eng.MasterGain, 0.9995f);
  EXPECT_EQ(L(0, 0), -32767);
}
