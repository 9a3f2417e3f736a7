// Mixing speed of the worst beat: 20 bpm (the longest beat), all 16 tracks
// playing 8 strokes whose sounds ring through the whole stroke, the click on
// with 6 strokes, levels and volumes that need divisions, and the guitar
// rendering a beat of 24 divisions with all six strings struck in each.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>
#include <vector>

#include "engine/engine_state.h"
#include "engine/mix_steps.h"
#include "engine/mixer.h"
#include "engine/sound_bank.h"
#include "guitar/render.h"
#include "rhythm/records.h"

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
}  // namespace

// Counts the allocations made while a beat is being mixed.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

// The guitar's worst beat: six 8-second recordings, one bar of 12 beats, each
// beat 24 divisions with a note on every string, so all six voices ring and
// are struck again through the whole beat.
struct WorstGuitar {
  BancoGuitarra bank;
  const GuitarTuning tuning;
  std::vector<TiempoG> track = std::vector<TiempoG>(12, EmptyTiempoG());
  std::vector<uint32_t> bars;
  GuitarVoiceState voices{};
  TiempoG current = EmptyTiempoG();

  explicit WorstGuitar(std::mt19937& rng) {
    std::uniform_int_distribution<int> dist(-9000, 9000);
    const int kStringSamples = 8 * 44100;
    for (int i = 0; i < kGuitarStrings; ++i) {
      bank.GuitarSampleOffsets[static_cast<size_t>(i)] = i * kStringSamples;
      bank.GuitarSampleLengths[static_cast<size_t>(i)] = kStringSamples;
      for (int k = 0; k < kStringSamples; ++k) bank.GuitarBankStream.push_back(static_cast<int16_t>(dist(rng)));
    }
    for (int b = 0; b < 12; ++b) {
      TiempoG& t = track[static_cast<size_t>(b)];
      t.divisions = kMaxDivisions;
      for (int d = 0; d < kMaxDivisions; ++d)
        for (int j = 0; j < kGuitarStrings; ++j) {
          t.division[d].fret[j] = static_cast<uint8_t>((d + 3 * j) % 13);
          t.division[d].strength[j] = 7;
          t.division[d].mode[j] = 0;
          t.division[d].delay[j] = static_cast<uint8_t>((d * 7) % 50);
        }
    }
    bars = {0, static_cast<uint32_t>(track.size() * sizeof(TiempoG))};
  }

  void Encola(EngineState& e) {
    EncolaGuitar(e, GuitarTrackView{track.data(), track.size(), bars.data(), 1}, tuning, bank, 0, voices, &current);
  }
};

// The worst beat's whole set-up: the sound bank, the formula, the mixer
// controls and the guitar.
struct WorstBeat {
  std::unique_ptr<RhythmTables> rt = RhythmTables::Create();
  BancoSonidos bank;
  EngineState eng;
  std::unique_ptr<WorstGuitar> guitar;
  MixerHooks hooks;

  WorstBeat() {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> dist(-9000, 9000);
    const int kSounds = 17;
    bank.Clear(kSounds);
    for (int j = 0; j < kSounds; ++j) {
      std::vector<int16_t> s(44100);  // one second: longer than a stroke at 20 bpm
      for (auto& v : s) v = static_cast<int16_t>(dist(rng));
      bank.Append(j, reinterpret_cast<const uint8_t*>(s.data()), s.size() * 2);
    }

    Formula& f = rt->Formulas[0];
    f.SetHeader(12, 0);
    f.accents = 0x0AA4;
    for (int b = 0; b < 12; ++b)
      for (int t = 0; t < kTracks; ++t) {
        int32_t cell = 0;
        for (int s = 0; s < 8; ++s) cell |= (1 + (s + t + b) % 7) << (3 * s);  // levels 1..7
        f.cells[b][t] = cell;
        f.SetStrokeCount(b, t, 8);
      }
    for (int t = 0; t < kTracks; ++t) f.sounds[t] = static_cast<uint8_t>(t + 1);
    rt->FormulaCount = 1;
    rt->CurrentFormula = 0;

    for (int t = 0; t < kTracks; ++t) {
      eng.Controls.Pan[t] = (t * 5) % 33;
      TrackGainFor(t % 2 ? 6 : 12, &eng.Controls.TrackGainNum[t], &eng.Controls.TrackGainDen[t]);
    }
    SetClickPreset(eng.Controls, '6');
    eng.Controls.ClickSound = kSounds;
    eng.Controls.Nivel = 8;
    eng.Controls.GuitarOn = true;
    eng.CurrentBpm = 20.0f;
    eng.MasterGain = 0.2f;

    guitar = std::make_unique<WorstGuitar>(rng);
    eng.CurrentCompas = 1;

    hooks.EncolaG = [this](EngineState& e) { guitar->Encola(e); };
    hooks.QueueBeat = [](int, const int16_t* data, size_t) { benchmark::DoNotOptimize(data); };
  }
  WorstBeat(const WorstBeat&) = delete;
  WorstBeat& operator=(const WorstBeat&) = delete;
};

void BM_MixWorstBeat(benchmark::State& state) {
  WorstBeat w;
  EngineState& eng = w.eng;
  RhythmTables* const rt = w.rt.get();
  const BancoSonidos& bank = w.bank;
  const MixerHooks& hooks = w.hooks;

  long frames = 0;
  long beats = 0;
  for (auto _ : state) {
    gCounting.store(true, std::memory_order_relaxed);
    MixNextBeat(eng, *rt, bank, hooks);
    gCounting.store(false, std::memory_order_relaxed);
    eng.CurrentBeat = (eng.CurrentBeat + 1) % 12;
    frames += eng.SamplesPerBeat;
    ++beats;
    benchmark::ClobberMemory();
  }
  state.counters["frames_per_second"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  state.counters["times_real_time"] =
      benchmark::Counter(static_cast<double>(frames) / 44100.0, benchmark::Counter::kIsRate);
  state.counters["guitar_peak"] = [&] {
    int peak = 0;
    for (int i = 0; i < eng.SamplesPerBeat; ++i) peak = std::max(peak, std::abs(int{eng.GuitarBuffer[static_cast<size_t>(i)]}));
    return static_cast<double>(peak);
  }();
  state.counters["allocations_per_beat"] =
      static_cast<double>(gAllocations.load()) / static_cast<double>(beats ? beats : 1);
}
BENCHMARK(BM_MixWorstBeat)->Unit(benchmark::kMillisecond)->UseRealTime();

// The guitar's part of the worst beat alone, as the mixer asks for it: the
// beat's share of GuitarBuffer cleared, then the beat rendered.
void BM_GuitarWorstBeat(benchmark::State& state) {
  std::mt19937 rng(7);
  WorstGuitar guitar(rng);
  EngineState eng;
  eng.Controls.GuitarOn = true;
  eng.CurrentCompas = 1;
  SetTempo(eng, 20.0f);
  MixerHooks hooks;
  hooks.EncolaG = [&](EngineState& e) { guitar.Encola(e); };
  long frames = 0;
  long beats = 0;
  for (auto _ : state) {
    gCounting.store(true, std::memory_order_relaxed);
    MixGuitarPart(eng, hooks, eng.SamplesPerBeat);
    gCounting.store(false, std::memory_order_relaxed);
    eng.CurrentBeat = (eng.CurrentBeat + 1) % 12;
    frames += eng.SamplesPerBeat;
    ++beats;
    benchmark::ClobberMemory();
  }
  state.counters["times_real_time"] =
      benchmark::Counter(static_cast<double>(frames) / 44100.0, benchmark::Counter::kIsRate);
  state.counters["allocations_per_beat"] =
      static_cast<double>(gAllocations.load()) / static_cast<double>(beats ? beats : 1);
}
BENCHMARK(BM_GuitarWorstBeat)->Unit(benchmark::kMillisecond)->UseRealTime();

// The steps of the worst beat's mix one by one (see engine/mix_steps.h), on
// beat 0 of the worst beat set up as MixNextBeat sets it up, its guitar part
// rendered once. Each block step runs over the whole beat block by block,
// from the beat's starting voices every time.
struct WorstBeatSteps {
  WorstBeat w;
  int frames = 0;
  bool guitar = false;
  int clickSound = 0;
  mix_steps::BeatMix start;

  WorstBeatSteps() {
    frames = MixBeatTempo(w.eng);
    guitar = MixGuitarPart(w.eng, w.hooks, frames);
    Prepare();
  }
  void Prepare() {
    clickSound = mix_steps::SetUpBeat(w.eng, mix_steps::BeatFormula(*w.rt), frames);
    start = mix_steps::PrepareBeatMix(w.eng, *w.rt, w.bank, clickSound, guitar, frames);
  }
};

// Times `beat(mix)` once per iteration on a fresh copy of the beat's start.
template <typename Beat>
void TimeStep(benchmark::State& state, WorstBeatSteps& steps, Beat&& beat) {
  const long allocationsBefore = gAllocations.load();
  long beats = 0;
  for (auto _ : state) {
    mix_steps::BeatMix mix = steps.start;
    gCounting.store(true, std::memory_order_relaxed);
    beat(mix);
    gCounting.store(false, std::memory_order_relaxed);
    benchmark::DoNotOptimize(mix);
    ++beats;
    benchmark::ClobberMemory();
  }
  state.counters["times_real_time"] = benchmark::Counter(static_cast<double>(beats) * steps.frames / 44100.0,
                                                         benchmark::Counter::kIsRate);
  state.counters["allocations_per_beat"] =
      static_cast<double>(gAllocations.load() - allocationsBefore) / static_cast<double>(beats ? beats : 1);
}

// A block step over the whole beat, each block's sums cleared first as the
// mixer clears them.
template <typename Step>
void EveryBlock(mix_steps::BeatMix& mix, Step&& step) {
  for (int b0 = 0; b0 < mix.frames; b0 += mix.blockFrames) {
    const int b1 = std::min(mix.frames, b0 + mix.blockFrames);
    std::fill_n(mix.left, b1 - b0, 0);
    std::fill_n(mix.right, b1 - b0, 0);
    step(mix, b0, b1);
  }
}

// The beat's set-up: the click's and the tracks' strokes, the sources and
// the gain.
void BM_MixStepSetup(benchmark::State& state) {
  WorstBeatSteps steps;
  TimeStep(state, steps, [&](mix_steps::BeatMix&) { steps.Prepare(); });
}
BENCHMARK(BM_MixStepSetup)->Name("BM_MixStep/setup")->Unit(benchmark::kMicrosecond)->UseRealTime();

// The sums cleared, block by block, and nothing else: what the block steps
// below include.
void BM_MixStepClear(benchmark::State& state) {
  WorstBeatSteps steps;
  TimeStep(state, steps, [](mix_steps::BeatMix& mix) { EveryBlock(mix, [](mix_steps::BeatMix&, int, int) {}); });
}
BENCHMARK(BM_MixStepClear)->Name("BM_MixStep/clear")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MixStepGuitar(benchmark::State& state) {
  WorstBeatSteps steps;
  TimeStep(state, steps, [](mix_steps::BeatMix& mix) {
    EveryBlock(mix, [](mix_steps::BeatMix& m, int b0, int b1) { mix_steps::AddGuitarBlock(m, b0, b1, m.left, m.right); });
  });
}
BENCHMARK(BM_MixStepGuitar)->Name("BM_MixStep/guitar")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MixStepClick(benchmark::State& state) {
  WorstBeatSteps steps;
  TimeStep(state, steps, [](mix_steps::BeatMix& mix) {
    EveryBlock(mix, [](mix_steps::BeatMix& m, int b0, int b1) { mix_steps::AddClickBlock(m, b0, b1, m.left, m.right); });
  });
}
BENCHMARK(BM_MixStepClick)->Name("BM_MixStep/click")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MixStepTracks(benchmark::State& state) {
  WorstBeatSteps steps;
  TimeStep(state, steps, [](mix_steps::BeatMix& mix) {
    EveryBlock(mix, [](mix_steps::BeatMix& m, int b0, int b1) { mix_steps::AddTrackBlocks(m, b0, b1, m.left, m.right); });
  });
}
BENCHMARK(BM_MixStepTracks)->Name("BM_MixStep/tracks")->Unit(benchmark::kMillisecond)->UseRealTime();

// The gain pass over the beat's own sums (guitar, click and tracks summed
// once beforehand for the whole beat), block by block as the mixer runs it.
void BM_MixStepGain(benchmark::State& state) {
  WorstBeatSteps steps;
  std::vector<int32_t> left(static_cast<size_t>(steps.frames));
  std::vector<int32_t> right(left.size());
  {
    mix_steps::BeatMix sums = steps.start;
    mix_steps::AddGuitarBlock(sums, 0, sums.frames, left.data(), right.data());
    mix_steps::AddClickBlock(sums, 0, sums.frames, left.data(), right.data());
    mix_steps::AddTrackBlocks(sums, 0, sums.frames, left.data(), right.data());
  }
  int clips = 0;
  TimeStep(state, steps, [&](mix_steps::BeatMix& mix) {
    for (int b0 = 0; b0 < mix.frames; b0 += mix.blockFrames) {
      const int n = std::min(mix.frames - b0, mix.blockFrames);
      mix_steps::ScaleBlock(mix, left.data() + b0, right.data() + b0, n, mix.out + 2 * b0);
    }
    clips = mix.gain.clips;
  });
  state.counters["clips_per_beat"] = clips;
}
BENCHMARK(BM_MixStepGain)->Name("BM_MixStep/gain")->Unit(benchmark::kMillisecond)->UseRealTime();

// The voices and the gain back into the engine, the theme's gain kept and
// the half queued.
void BM_MixStepFinish(benchmark::State& state) {
  WorstBeatSteps steps;
  TimeStep(state, steps, [&](mix_steps::BeatMix& mix) {
    mix_steps::FinishBeatMix(mix, steps.w.eng);
    KeepThemeGain(steps.w.eng, *steps.w.rt);
    QueueMixedHalf(steps.w.eng, steps.w.hooks, mix.frames);
  });
}
BENCHMARK(BM_MixStepFinish)->Name("BM_MixStep/finish")->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
