// WAV export of a long theme: ten minutes of music on 16 tracks, written to
// a file. Reported as a multiple of real time, measured by the wall clock:
// time spent waiting for the file counts as much as time spent mixing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/wav_export.h"

namespace {
void BM_ExportTenMinutes(benchmark::State& state) {
  EngineState eng;
  auto rt = RhythmTables::Create();
  BancoSonidos bank;
  // 16 sounds of half a second each.
  std::vector<int16_t> sound(22050);
  for (size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<int16_t>((i * 37) % 2000 - 1000);
  bank.Clear(16);
  for (int j = 0; j < 16; ++j) bank.Append(j, reinterpret_cast<const uint8_t*>(sound.data()), sound.size() * 2);
  rt->FormulaCount = 1;
  Formula& f = rt->Formulas[0];
  f.SetHeader(12, 0);
  for (int t = 0; t < 16; ++t) {
    f.sounds[t] = static_cast<uint8_t>(t + 1);
    for (int b = 0; b < 12; ++b) {
      CellFromStrokeText("75757575", &f.cells[b][t]);
      f.SetStrokeCount(b, t, 8);
    }
  }
  eng.MasterGain = 0.5f;
  // 120 bpm: 1200 beats are ten minutes, 100 compases of 12.
  Tema& th = rt->Temas[0];
  th.entryCount = 1;
  th.formulas[0] = 0;
  th.times[0] = 100;
  th.tempos[0] = 120;
  const ThemePlan plan = MakeThemePlan(*rt, 0, rt->FormulaCount);
  const std::string path = "/tmp/velarto-bench-" + std::to_string(::getpid()) + ".wav";
  double seconds = 0;
  for (auto _ : state) {
    WavStreamWriter out(path, 2, 44100);
    out.Open();
    ExportTheme(eng, *rt, bank, plan, [&](const int16_t* d, size_t n) { return out.Append(d, n); });
    out.Finish();
    seconds += static_cast<double>(out.DataBytes()) / 176400.0;
  }
  std::remove(path.c_str());
  state.counters["music_s"] = benchmark::Counter(seconds / static_cast<double>(state.iterations()));
  state.counters["x_realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExportTenMinutes)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
}  // namespace
