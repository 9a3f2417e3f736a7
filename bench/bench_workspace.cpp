// The full data set of full_set.h. Measured in wall-clock time: the save's
// normalisation of every theme (on every core) and its files, and the time
// from play to the first beat queued.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/workspace.h"
#include "bench/full_set.h"
#include "platform/audio/wave_out_test.h"
#include "rhythm/dataset.h"

namespace {

// Normalising every theme as the save does, then its three files. Arg 0:
// the first save after the set was opened (nothing remembered); arg 1: a
// save after one theme was edited; arg 2: a save once the background has
// found every gain.
void BM_SaveFullSet(benchmark::State& state) {
  std::vector<std::string> names;
  const std::string folder = "/tmp/velarto-bench-save-" + std::to_string(::getpid());
  std::filesystem::create_directories(folder + "/datos");
  const std::string cwd = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  for (auto _ : state) {
    state.PauseTiming();
    auto w = FullSet(&names);
    if (state.range(0) == 1) {
      w->NormaliseThemes(kMaxTemas, nullptr, nullptr);
      w->Rhythm->Temas[5].accel[3] = 4;
    } else if (state.range(0) == 2) {
      w->WarmGains(kMaxTemas);
      w->WaitForWarming();
    }
    state.ResumeTiming();
    w->NormaliseThemes(kMaxTemas, nullptr, nullptr);
    std::string error;
    if (!SaveDataSetFiles(*w->Rhythm, "bench", kMaxFormulas, kMaxTemas, names, &error)) state.SkipWithError(error.c_str());
  }
  std::filesystem::current_path(cwd);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveFullSet)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The first save right after a set with every stroke level used was opened:
// the background has just started finding the gains (as the open and the
// selection of the first theme start it), and the save takes what it has
// found and mixes the rest with it. Arg 1: the same on the set of levels 7
// and 5.
void BM_SaveFullSetJustOpened(benchmark::State& state) {
  std::vector<std::string> names;
  const std::string folder = "/tmp/velarto-bench-opened-" + std::to_string(::getpid());
  std::filesystem::create_directories(folder + "/datos");
  const std::string cwd = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  for (auto _ : state) {
    state.PauseTiming();
    auto w = FullSet(&names, state.range(0) == 0);
    const Tema& th = w->Rhythm->Temas[0];
    SetTrackControlsFromTema(w->Engine->Controls, th.pan, th.volume);
    state.ResumeTiming();
    w->WarmGains(kMaxTemas, 0);
    w->NormaliseThemes(kMaxTemas, nullptr, nullptr);
    std::string error;
    if (!SaveDataSetFiles(*w->Rhythm, "bench", kMaxFormulas, kMaxTemas, names, &error)) state.SkipWithError(error.c_str());
    state.PauseTiming();
    w.reset();
    state.ResumeTiming();
  }
  std::filesystem::current_path(cwd);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveFullSetJustOpened)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// One entry of each set mixed alone at 120 bpm as a normalisation mixes it:
// formulas 0..15 in turn. Arg 0: every stroke level; arg 1: levels 7 and 5.
void BM_NormaliseEntry(benchmark::State& state) {
  std::vector<std::string> names;
  auto w = FullSet(&names, state.range(0) == 0);
  auto scratch = RhythmTables::Create();
  EngineState E = *w->Engine;
  int f = 0;
  double music = 0;
  for (auto _ : state) {
    const GainResult r = MixEntryAlone(E, *scratch, *w->Bank, w->Rhythm->Formulas[static_cast<size_t>(f)], 120, 0);
    benchmark::DoNotOptimize(r.masterGain);
    f = (f + 1) % 16;
    music += 6.0;  // 12 beats at 120 bpm
  }
  state.counters["x_realtime"] = benchmark::Counter(music, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NormaliseEntry)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Play to the first beat queued, for the 20 bpm theme (arg 0) and a 120 bpm
// one (arg 1), once the set has been opened (its gains found in the
// background) and the theme selected; each start follows a stop. Arg 2: the
// 20 bpm theme started before its gain was found (the theme start mixes it).
void BM_FirstBeatAfterPlay(benchmark::State& state) {
  std::vector<std::string> names;
  auto w = FullSet(&names);
  const bool warm = state.range(0) != 2;
  const int t = warm ? static_cast<int>(state.range(0)) : 0;
  if (warm) {
    w->WarmGains(kMaxTemas);
    w->WaitForWarming();
  }
  const Tema& th = w->Rhythm->Temas[static_cast<size_t>(t)];
  SetTrackControlsFromTema(w->Engine->Controls, th.pan, th.volume);
  audio::TestWaveOut out;
  Player& p = *w->Playback;
  p.Open(&out, nullptr);
  for (auto _ : state) {
    p.Plan = MakeThemePlan(*w->Rhythm, t, w->Rhythm->FormulaCount);
    p.StartTheme(1, 120.0f, [&] { w->NormaliseTheme(t); });
    benchmark::DoNotOptimize(out.QueuedCount());
    state.PauseTiming();
    for (int beat = 0; beat < 5; ++beat) {
      out.CompleteNext();
      p.Pump();
    }
    p.Stop();
    w->Engine->PlayState = 0;
    w->Engine->ThemePlayback = false;
    if (!warm) w->Rhythm->Temas[0].accel[0] ^= 1;  // an edit: nothing remembered holds
    state.ResumeTiming();
  }
  p.Close();
}
BENCHMARK(BM_FirstBeatAfterPlay)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// F10 right after one pan step on the full set's 20 bpm theme of 120
// entries (its gains found since the set was opened): the step changes the
// theme's pan and starts the background on the edit, as the pan slider does;
// then play, to the first beat queued. Each step is a new pan position, so
// nothing of it is remembered. Arg 1: the same without the edit.
void BM_FirstBeatAfterEdit(benchmark::State& state) {
  std::vector<std::string> names;
  auto w = FullSet(&names);
  Tema& th = w->Rhythm->Temas[0];
  SetTrackControlsFromTema(w->Engine->Controls, th.pan, th.volume);
  w->WarmGains(kMaxTemas);
  w->WaitForWarming();
  audio::TestWaveOut out;
  Player& p = *w->Playback;
  p.Open(&out, nullptr);
  const bool edit = state.range(0) == 0;
  double normalising = 0, whole = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (edit) {
      th.pan[0] = static_cast<uint8_t>(th.pan[0] == 0 ? 32 : th.pan[0] - 1);
      w->Engine->Controls.Pan[0] = th.pan[0];
      w->WarmGains(kMaxTemas, 0);
    }
    state.ResumeTiming();
    p.Plan = MakeThemePlan(*w->Rhythm, 0, w->Rhythm->FormulaCount);
    const auto t0 = std::chrono::steady_clock::now();
    p.StartTheme(1, 120.0f, [&] {
      const auto a = std::chrono::steady_clock::now();
      w->NormaliseTheme(0);
      normalising += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count();
    });
    benchmark::DoNotOptimize(out.QueuedCount());
    whole += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    state.PauseTiming();
    for (int beat = 0; beat < 5; ++beat) {
      out.CompleteNext();
      p.Pump();
    }
    p.Stop();
    w->Engine->PlayState = 0;
    w->Engine->ThemePlayback = false;
    w->WaitForWarming();
    state.ResumeTiming();
  }
  p.Close();
  state.counters["normalise_ms"] = normalising / static_cast<double>(state.iterations());
  state.counters["start_ms"] = whole / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FirstBeatAfterEdit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

}  // namespace
