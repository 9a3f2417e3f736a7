// The beat renderer against the reference renderer (the plain loop it was
// rebuilt from): the same values in the output and the same voices after
// every beat, on every note of every string, at both editions' rates, with
// odd onsets and lengths, cuts, fades and notes that ring to the end of their
// recordings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/mixer.h"
#include "guitar/bank.h"
#include "guitar/notes.h"
#include "guitar/render.h"
#include "guitar_render_reference.h"

namespace {

// Full-range noise with the extremes and the largest steps mixed in, so the
// interpolation and the strength scaling meet every kind of value.
std::vector<int16_t> Noise(int n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> dist(-32768, 32767);
  std::vector<int16_t> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    int x = dist(rng);
    if (i % 97 == 3) x = -32768;
    if (i % 89 == 5) x = 32767;
    if (i % 61 == 7) x = (i / 61) % 2 ? 32767 : -32768;
    v[static_cast<size_t>(i)] = static_cast<int16_t>(x);
  }
  return v;
}

BancoGuitarra BankOf(const std::vector<std::vector<int16_t>>& recordings) {
  BancoGuitarra b;
  for (size_t i = 0; i < recordings.size() && i < kGuitarStrings; ++i) {
    b.GuitarSampleOffsets[i] = static_cast<int32_t>(b.GuitarBankStream.size());
    b.GuitarSampleLengths[i] = static_cast<int32_t>(recordings[i].size());
    b.GuitarBankStream.insert(b.GuitarBankStream.end(), recordings[i].begin(), recordings[i].end());
  }
  return b;
}

BancoGuitarra NoiseBank(const std::vector<int>& lengths, uint32_t seed) {
  std::vector<std::vector<int16_t>> r;
  for (size_t i = 0; i < lengths.size(); ++i) r.push_back(Noise(lengths[i], seed + static_cast<uint32_t>(i)));
  return BankOf(r);
}

// Odd lengths: two that ring through a slow beat and end inside it, shorter
// ones that end in a division, one about a stroke long and one shorter than a
// fade.
const std::vector<int> kOddLengths = {88203, 61001, 9999, 4411, 2001, 173};

int BeatFrames(const EngineFormat& format, double bpm) { return SamplesForMs(format, static_cast<int>(60000.0 / bpm)); }

void SetNote(TiempoG& t, int d, int j, int fret, int strength, int mode, int delay) {
  DivisionG& div = t.division[d];
  div.fret[j] = static_cast<uint8_t>(fret);
  div.strength[j] = static_cast<uint8_t>(strength);
  div.mode[j] = mode;
  div.delay[j] = static_cast<uint8_t>(delay);
}

std::string VoiceText(const GuitarVoice& v) {
  return "{" + std::to_string(v.end) + " " + std::to_string(v.position) + " " + std::to_string(v.strength) + " " +
         std::to_string(v.step) + " | " + std::to_string(v.tailEnd) + " " + std::to_string(v.tailPosition) + " " +
         std::to_string(v.tailStrength) + " " + std::to_string(v.tailStep) + "}";
}

bool SameVoice(const GuitarVoice& a, const GuitarVoice& b) {
  return a.end == b.end && a.position == b.position && a.strength == b.strength && a.step == b.step &&
         a.tailEnd == b.tailEnd && a.tailPosition == b.tailPosition && a.tailStrength == b.tailStrength &&
         a.tailStep == b.tailStep;
}

// Both renderers from the same voices over the same beats, each into its own
// copy of a buffer that already holds values (the renderer adds with
// wrap-around) and is longer than the values it may write.
struct Duel {
  const BancoGuitarra& bank;
  const GuitarTuning& tuning;
  GuitarVoiceState ours{};
  GuitarVoiceState reference{};
  std::mt19937 rng{12345};

  // One beat; false (with a failure naming `what`) at the first difference.
  bool Beat(const TiempoG& beat, int spb, int capo, size_t outValues, const std::string& what) {
    const size_t guard = 64;
    std::vector<int16_t> base(outValues + guard);
    std::uniform_int_distribution<int> dist(-32768, 32767);
    for (auto& x : base) x = static_cast<int16_t>(dist(rng));
    std::vector<int16_t> a = base;
    std::vector<int16_t> b = base;
    RenderGuitarBeat(beat, spb, capo, tuning, bank, ours, a.data(), outValues);
    ReferenceRenderGuitarBeat(beat, spb, capo, tuning, bank, reference, b.data(), outValues);
    for (size_t f = 0; f < a.size(); ++f) {
      if (a[f] != b[f]) {
        ADD_FAILURE() << what << ": frame " << f << " of " << spb << " (buffer " << outValues << "): " << a[f]
                      << " instead of " << b[f];
        return false;
      }
    }
    for (int j = 0; j < kGuitarStrings; ++j) {
      const size_t s = static_cast<size_t>(j);
      if (!SameVoice(ours[s], reference[s])) {
        ADD_FAILURE() << what << ": voice " << j << " " << VoiceText(ours[s]) << " instead of "
                      << VoiceText(reference[s]);
        return false;
      }
    }
    return true;
  }
};

// Each case runs with both resamplers: the vector loop (where the processor
// has AVX2) and the plain one every processor takes.
class GuitarRenderMatch : public ::testing::TestWithParam<GuitarResampler> {
 protected:
  void SetUp() override {
    before_ = ActiveGuitarResampler();
    SelectGuitarResampler(GetParam());
  }
  void TearDown() override { SelectGuitarResampler(before_); }

 private:
  GuitarResampler before_ = GuitarResampler::Plain;
};

INSTANTIATE_TEST_SUITE_P(Resamplers, GuitarRenderMatch,
                         ::testing::Values(GuitarResampler::Vector, GuitarResampler::Plain),
                         [](const ::testing::TestParamInfo<GuitarResampler>& info) {
                           return info.param == GuitarResampler::Vector ? "Vector" : "Plain";
                         });

const EngineFormat kFormats[] = {kProFormat, kBasicFormat};
const double kTempos[] = {20.0, 63.7, 133.0, 400.0};

// Every note of every string (and the first one past the table), struck,
// left to ring into the next beat, tied, stopped, struck short and silenced,
// at both rates and a tempo that changes from note to note.
TEST_P(GuitarRenderMatch, EveryNoteOfEveryStringAtBothRates) {
  const BancoGuitarra bank = NoiseBank(kOddLengths, 100);
  const GuitarTuning tuning;
  for (int j = 0; j < kGuitarStrings; ++j) {
    const int open = tuning.StringTuning[static_cast<size_t>(j)];
    for (int step = 0; open + step <= kNoteCount; ++step) {
      for (const EngineFormat& format : kFormats) {
        const int spb = BeatFrames(format, kTempos[(step + j) % 4]);
        const int capo = step % 3;
        const int fret = step - capo;
        const int other = (j + 1) % kGuitarStrings;
        Duel duel{bank, tuning};
        const std::string what = "string " + std::to_string(j) + " step " + std::to_string(step) + " at " +
                                 std::to_string(format.SampleRate) + " Hz, " + std::to_string(spb) + " frames";

        TiempoG first = EmptyTiempoG();
        first.divisions = static_cast<uint8_t>(1 + (step * 5 + j) % kMaxDivisions);
        SetNote(first, 0, j, fret, 1 + step % 7, kModeNormal, (step * 7 + j) % 50 + 1);
        SetNote(first, first.divisions - 1, other, fret / 2, 7, kModeNormal, 33);
        ASSERT_TRUE(duel.Beat(first, spb, capo, static_cast<size_t>(spb), what + ", struck"));

        TiempoG second = EmptyTiempoG();
        second.divisions = static_cast<uint8_t>(3 + step % 20);
        SetNote(second, second.divisions / 2, j, fret, 7 - step % 7, kModeLigado, 13);
        SetNote(second, second.divisions - 1, j, (fret + 5) % 20, 4, kModeTapado, 71);
        SetNote(second, 1, other, fret, 3, kModeSilencio, 0);
        ASSERT_TRUE(duel.Beat(second, spb, capo, static_cast<size_t>(spb), what + ", tied and stopped"));

        TiempoG third = EmptyTiempoG();
        third.divisions = 5;
        SetNote(third, 1, j, fret, 5, kModeSilencio, 9);
        SetNote(third, 2, j, fret, 6, kModeNormal, 99);
        SetNote(third, 3, j, fret, 2, 9, 50);  // a mode we do not know
        SetNote(third, 4, j, fret, 7, kModeLigado, 1);
        ASSERT_TRUE(duel.Beat(third, spb, capo, static_cast<size_t>(spb), what + ", struck again"));

        // Left to ring, into a buffer shorter than the beat.
        ASSERT_TRUE(duel.Beat(EmptyTiempoG(), spb, capo, static_cast<size_t>(spb) / 3 + 1, what + ", ringing"));
      }
    }
  }
}

// Every source value at every strength: an open string plays its samples as
// they are, so a recording of all 65536 values checks the scaling of each.
TEST_P(GuitarRenderMatch, EverySampleValueAtEveryStrength) {
  std::vector<int16_t> all(65536);
  for (int i = 0; i < 65536; ++i) all[static_cast<size_t>(i)] = static_cast<int16_t>(i - 32768);
  const BancoGuitarra bank = BankOf(std::vector<std::vector<int16_t>>(kGuitarStrings, all));
  const GuitarTuning tuning;
  for (int strength = 1; strength <= 9; ++strength) {
    for (int step : {0, 1, 12}) {
      Duel duel{bank, tuning};
      TiempoG t = EmptyTiempoG();
      for (int j = 0; j < kGuitarStrings; ++j) SetNote(t, 0, j, step, strength, kModeNormal, 0);
      ASSERT_TRUE(duel.Beat(t, 70000, 0, 70000,
                            "strength " + std::to_string(strength) + " step " + std::to_string(step)));
    }
  }
}

// Random tracks: every string busy, all modes (and unknown ones), delays up
// to 255 %, division counts outside 1..24, frets past the table, capos, odd
// tunings, buffers cut short, recordings from 0 to 2200 samples and long ones,
// and voices left in any state.
TEST_P(GuitarRenderMatch, RandomTracksTuningsAndRecordings) {
  const std::vector<std::vector<int>> banks = {
      kOddLengths,
      {0, 1, 2, 3, 175, 176},
      {177, 178, 1999, 2000, 2001, 2176},
      {529200, 7, 44101, 353, 12347, 100003},
  };
  std::mt19937 rng(2024);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (size_t bi = 0; bi < banks.size(); ++bi) {
    const BancoGuitarra bank = NoiseBank(banks[bi], 700 + static_cast<uint32_t>(bi));
    for (int round = 0; round < 6; ++round) {
      GuitarTuning tuning;
      std::array<int, kGuitarStrings> offsets{};
      for (int& o : offsets) o = round == 5 ? pick(-10, 40) : pick(-3, 3);
      ApplyTuning(tuning, offsets);
      Duel duel{bank, tuning};
      for (int j = 0; j < kGuitarStrings; ++j) {
        // A voice left from earlier play, some of them nonsense.
        GuitarVoice v;
        v.end = pick(-5, 600000);
        v.position = pick(-3, 50000);
        v.strength = pick(0, 9);
        v.step = pick(-2, 40);
        duel.ours[static_cast<size_t>(j)] = v;
        duel.reference[static_cast<size_t>(j)] = v;
      }
      for (int b = 0; b < 40; ++b) {
        const EngineFormat& format = kFormats[pick(0, 1)];
        const int spb = BeatFrames(format, std::uniform_real_distribution<double>(20.0, 400.0)(rng));
        const int capo = pick(0, 20) == 0 ? pick(-3, 70) : pick(0, 12);
        TiempoG t = EmptyTiempoG();
        t.divisions = static_cast<uint8_t>(pick(0, 30) == 0 ? pick(0, 255) : pick(1, kMaxDivisions));
        const int density = pick(0, 3);
        for (int d = 0; d < kMaxDivisions; ++d)
          for (int j = 0; j < kGuitarStrings; ++j) {
            if (pick(0, 3) >= density) continue;
            const int mode = pick(0, 10) == 0 ? pick(4, 1000) : pick(0, 3);
            const int fret = pick(0, 15) == 0 ? pick(20, 255) : pick(0, 19);
            const int delay = pick(0, 10) == 0 ? pick(100, 255) : pick(0, 99);
            SetNote(t, d, j, fret, pick(0, 9), mode, delay);
          }
        const size_t outValues = pick(0, 4) == 0 ? static_cast<size_t>(pick(0, spb)) : static_cast<size_t>(spb);
        ASSERT_TRUE(duel.Beat(t, spb, capo, outValues,
                              "bank " + std::to_string(bi) + " round " + std::to_string(round) + " beat " +
                                  std::to_string(b)));
      }
    }
  }
}

}  // namespace
