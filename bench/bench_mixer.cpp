// Mixing speed of the worst beat: 20 bpm (the longest beat), all 16 tracks
// playing 8 strokes whose sounds ring through the whole stroke, the click on
// with 6 strokes, the guitar on, levels and volumes that need divisions.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "engine/engine_state.h"
#include "engine/mixer.h"
#include "engine/sound_bank.h"
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

void BM_MixWorstBeat(benchmark::State& state) {
  auto rt = RhythmTables::Create();
  BancoSonidos bank;
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

  EngineState eng;
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

  MixerHooks hooks;
  hooks.EncolaG = [](EngineState&) {};
  hooks.QueueBeat = [](int, const int16_t* data, size_t) { benchmark::DoNotOptimize(data); };

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
  state.counters["allocations_per_beat"] =
      static_cast<double>(gAllocations.load()) / static_cast<double>(beats ? beats : 1);
}
BENCHMARK(BM_MixWorstBeat)->Unit(benchmark::kMillisecond);

}  // namespace
