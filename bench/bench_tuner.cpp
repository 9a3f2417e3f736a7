// The tuner: one analysis of a frame (bit-reversed load, FFT, peaks, gaps,
// chain, note), the transform alone, and the whole framing of a block as
// the tick runs it. Counters: the readings of the synthetic corpus.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "guitar/notes.h"
#include "tuner/corpus.h"
#include "tuner/tuner.h"

namespace {

// A plucked A string (110 Hz), its first frame.
std::vector<int16_t> PluckedFrame() {
  for (const CorpusItem& it : CorpusItems(StringSound::kPlucked))
    if (it.stringNumber == 5 && it.fret == 0 && it.cents == 0) {
      std::vector<int16_t> s = SynthesizeString(it);
      s.resize(2048);
      return s;
    }
  return {};
}

void BM_TunerAnalysis(benchmark::State& state) {
  const NoteTable notes = InitialTablaNotas();
  auto s = std::make_unique<TunerState>();
  const std::vector<int16_t> frame = PluckedFrame();
  TunerReading r;
  for (auto _ : state) {
    LoadFrame(*s, frame.data());
    ComputeFFT(*s);
    benchmark::DoNotOptimize(AnalyzeSpectrum(*s, notes, &r));
  }
  if (r.note != 12) state.SkipWithError("the A string was not read as A2");
}
BENCHMARK(BM_TunerAnalysis)->Unit(benchmark::kMicrosecond);

void BM_TunerFft(benchmark::State& state) {
  auto s = std::make_unique<TunerState>();
  const std::vector<int16_t> frame = PluckedFrame();
  for (auto _ : state) {
    LoadFrame(*s, frame.data());
    ComputeFFT(*s);
    benchmark::DoNotOptimize(s->FftReal[7]);
  }
}
BENCHMARK(BM_TunerFft)->Unit(benchmark::kMicrosecond);

// The bytes of a whole block framed: swing gate, load, FFT, analysis.
void BM_TunerFrameBlock(benchmark::State& state) {
  const NoteTable notes = InitialTablaNotas();
  auto s = std::make_unique<TunerState>();
  const std::vector<int16_t> frame = PluckedFrame();
  std::vector<uint8_t> bytes(frame.size() * 2);
  for (size_t i = 0; i < frame.size(); ++i) {
    bytes[2 * i] = uint8_t(uint16_t(frame[i]) & 0xFF);
    bytes[2 * i + 1] = uint8_t(uint16_t(frame[i]) >> 8);
  }
  FrameOutcome o = FrameOutcome::kIncomplete;
  for (auto _ : state) {
    FeedFrameBytes(*s, s->MicFrame, notes, bytes.data(), bytes.size(), &o);
    benchmark::DoNotOptimize(o);
  }
  if (o != FrameOutcome::kReading) state.SkipWithError("the block gave no reading");
}
BENCHMARK(BM_TunerFrameBlock)->Unit(benchmark::kMicrosecond);

// One pass over a class of the corpus: frames read, share of readings on
// the right note, median cents of those.
void BM_TunerCorpus(benchmark::State& state) {
  const StringSound sound = static_cast<StringSound>(state.range(0));
  const NoteTable notes = InitialTablaNotas();
  std::vector<std::pair<CorpusItem, std::vector<int16_t>>> corpus;
  for (const CorpusItem& it : CorpusItems(sound)) corpus.emplace_back(it, SynthesizeString(it));
  int frames = 0, readings = 0, right = 0;
  std::vector<double> cents;
  for (auto _ : state) {
    frames = readings = right = 0;
    cents.clear();
    for (const auto& [it, samples] : corpus) {
      const TunerRun run = RunTuner(notes, samples);
      frames += run.frames;
      readings += int(run.notes.size());
      for (size_t i = 0; i < run.notes.size(); ++i)
        if (run.notes[i] == it.note) {
          ++right;
          cents.push_back(std::abs(CentsOff(run.frequencies[i], it.frequency)));
        }
    }
  }
  state.SetLabel(StringSoundName(sound));
  state.counters["read"] = frames ? double(readings) / frames : 0.0;
  state.counters["right"] = readings ? double(right) / readings : 0.0;
  state.counters["cents"] = Median(cents);
}
BENCHMARK(BM_TunerCorpus)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
