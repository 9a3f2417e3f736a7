// A full data set: 512 formulas of 12 beats, 16 tracks with 8 strokes per
// beat on the factory sounds; 128 themes of 120 entries, the first at 20 bpm,
// the others at 120. Measured in wall-clock time: the save's normalisation of
// every theme (on every core) and its files, and the time from play to the
// first beat queued.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/workspace.h"
#include "content/synth.h"
#include "platform/audio/wave_out_test.h"
#include "rhythm/dataset.h"

namespace {

std::unique_ptr<Workspace> FullSet(std::vector<std::string>* names) {
  auto w = std::make_unique<Workspace>();
  *names = FactorySoundNames();
  const int sounds = std::min<int>(static_cast<int>(names->size()), kProSoundCapacity);
  w->Bank->Clear(sounds);
  for (int j = 0; j < sounds; ++j) {
    const std::vector<int16_t> s = SynthesizeSound((*names)[static_cast<size_t>(j)]);
    w->Bank->Append(j, reinterpret_cast<const uint8_t*>(s.data()), s.size() * 2);
  }
  RhythmTables& rt = *w->Rhythm;
  rt.FormulaCount = kMaxFormulas;
  for (int f = 0; f < kMaxFormulas; ++f) {
    Formula& F = rt.Formulas[static_cast<size_t>(f)];
    F.SetHeader(12, 0);
    F.accents = 0x0924;
    for (int t = 0; t < 16; ++t) {
      F.sounds[t] = static_cast<uint8_t>(1 + (f + t) % sounds);
      for (int b = 0; b < 12; ++b) {
        CellFromStrokeText((f + b + t) % 3 ? "75757575" : "57575757", &F.cells[b][t]);
        F.SetStrokeCount(b, t, 8);
      }
    }
  }
  rt.TemaCount = kMaxTemas;
  for (int t = 0; t < kMaxTemas; ++t) {
    Tema& th = rt.Temas[static_cast<size_t>(t)];
    InitNewTema(th, t == 0 ? 20 : 120);
    th.entryCount = kMaxEntries;
    for (int e = 0; e < kMaxEntries; ++e) {
      th.formulas[e] = static_cast<uint16_t>((t * 7 + e) % kMaxFormulas);
      th.times[e] = 1;
    }
    if (kMaxEntries < kEntrySlots) th.times[kMaxEntries] = 0;
  }
  return w;
}

// Normalising every theme as the save does, then its three files. Arg 0:
// the first save after the set was opened (nothing remembered); arg 1: a
// save after one theme was edited.
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
    }
    state.ResumeTiming();
    w->NormaliseThemes(kMaxTemas, nullptr, nullptr);
    std::string error;
    if (!SaveDataSetFiles(*w->Rhythm, "bench", kMaxFormulas, kMaxTemas, names, &error)) state.SkipWithError(error.c_str());
  }
  std::filesystem::current_path(cwd);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveFullSet)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

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

}  // namespace
