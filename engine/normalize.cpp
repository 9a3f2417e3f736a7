#include "engine/normalize.h"

#include "engine/hasher.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

ThemePlan NormalisationPlan(const RhythmTables& rt, int t) {
  ThemePlan p;
  p.formulaCount = std::clamp(rt.FormulaCount, 0, kMaxFormulas);
  if (t < 0 || t >= kMaxTemas) return p;
  p.tema = t;
  const Tema& th = rt.Temas[static_cast<size_t>(t)];
  const int entries = std::min<int>(th.entryCount, kMaxEntries);
  float entryBpm = th.tempos[0] >= 20 && th.tempos[0] <= 400 ? th.tempos[0] : 120.0f;
  for (int e = 0; e < entries; ++e) {
    const int f = th.formulas[e];
    if (e > 0 && th.tempos[e] != 0) entryBpm = th.tempos[e];
    const float startBpm = ClampBpm(entryBpm);
    entryBpm = startBpm + static_cast<float>(th.times[e]) * static_cast<float>(th.accel[e]);
    if (f >= p.formulaCount) continue;
    PlanEntry pe;
    pe.formula = f;
    pe.times = 1;
    pe.tempo = static_cast<int>(startBpm);  // whole numbers within 20..400
    pe.accel = th.accel[e];
    pe.firstCompas = static_cast<int>(p.entries.size()) + 1;
    p.entries.push_back(pe);
  }
  p.compasCount = static_cast<int>(p.entries.size()) + 1;
  p.parts = 1;
  p.inOrder = true;
  return p;
}

std::vector<EntryRun> NormalisationEntries(const RhythmTables& rt, int t) {
  std::vector<EntryRun> runs;
  for (const PlanEntry& pe : NormalisationPlan(rt, t).entries) runs.push_back({pe.formula, pe.tempo, pe.accel});
  return runs;
}

GainResult MixEntryAlone(EngineState& E, RhythmTables& scratch, const BancoSonidos& bank, const Formula& f, int tempo,
                         int accel, const std::atomic<bool>* stop) {
  scratch.Formulas[0] = f;
  scratch.FormulaCount = 1;
  scratch.CurrentFormula = 0;
  scratch.CurrentTema = -1;  // the gain goes nowhere but into the result
  ThemePlan plan;
  plan.formulaCount = 1;
  PlanEntry pe;
  pe.formula = 0;
  pe.times = 1;
  pe.tempo = tempo;
  pe.accel = accel;
  plan.entries.push_back(pe);
  plan.compasCount = 2;
  plan.parts = 1;
  E.MasterGain = 10.0f;
  E.ClipCount = 0;
  E.Voices = TrackVoices{};
  GainResult result;
  result.complete = RunThemeSilently(plan, E, scratch, bank, MixerHooks{},
                                     [&] { return !(stop && stop->load(std::memory_order_relaxed)); });
  result.masterGain = E.MasterGain;
  result.clipped = E.ClipCount != 0;
  return result;
}

void AddEntryGain(GainResult& theme, const GainResult& entry) {
  theme.masterGain = std::min(theme.masterGain, entry.masterGain);
  theme.clipped = theme.clipped || entry.clipped;
  theme.complete = theme.complete && entry.complete;
}

uint64_t EntryMixKey(const EngineState& E, const Formula& f, int tempo, int accel,
                     const std::function<uint64_t(int)>& soundHash) {
  Hasher h;
  h.Bytes(&f, sizeof f);
  h.Value(tempo);
  h.Value(accel);
  h.Value(E.Format.SampleRate);
  h.Value(E.Format.SamplesPerMs);
  h.Value(E.Format.Tracks);
  h.Value(E.Format.BasicMix);
  const MixerControls& c = E.Controls;
  for (int v : {c.ClickSound, c.Nivel, c.ClickStrokes}) h.Value(v);
  h.Value(c.ClickAccentPattern);
  h.Value(c.ClickPlainPattern);
  h.Value(c.ClickSound > 0 ? soundHash(c.ClickSound) : 0);
  h.Value(c.Mono);
  const int tracks = std::clamp(E.Format.Tracks, 0, kMixTracks);
  for (int t = 0; t < tracks; ++t) {
    const size_t i = static_cast<size_t>(t);
    const int snd = c.MuteButtons[i] ? 0 : static_cast<int8_t>(f.sounds[t]);
    h.Value(snd);
    if (snd == 0) continue;  // a silent or muted track: its controls do not count
    h.Value(soundHash(snd));
    h.Value(c.Pan[i]);
    h.Value(c.TrackGainNum[i]);
    h.Value(c.TrackGainDen[i]);
  }
  // The tempo and the click are set afresh at every beat, the tracks start
  // silent and the guitar has no part in a normalisation: nothing else of
  // the engine counts.
  return h.Result();
}

GainResult NormalizeThemeFrom(const EngineState& from, RhythmTables& rt, const BancoSonidos& bank, int t,
                              const std::atomic<bool>* stop) {
  GainResult result;
  if (t < 0 || t >= kMaxTemas) return GainResult{from.MasterGain, false};
  const ThemePlan plan = NormalisationPlan(rt, t);
  if (plan.entries.empty()) return result;
  const int formula = rt.CurrentFormula, tema = rt.CurrentTema;
  EngineState E = from;
  rt.CurrentTema = t;
  E.MasterGain = 10.0f;
  E.ClipCount = 0;  // clips of an earlier mix must not store 10.0 into this theme
  // From silent tracks: a theme's gain is its own, whatever still rang when
  // the last playback stopped.
  E.Voices = TrackVoices{};
  // Every entry from silent tracks as well: an entry's mix, and so its
  // share of the gain, depends on nothing but its own formula, tempo and
  // acceleration, the sounds and the mixer controls. Each entry is one
  // compás, so a compás end is an entry's end.
  const bool whole = RunThemeSilently(plan, E, rt, bank, MixerHooks{}, [&] {
    if (E.CurrentBeat + 1 >= E.FormulaBeats) E.Voices = TrackVoices{};
    return !(stop && stop->load(std::memory_order_relaxed));
  });
  result.complete = whole;
  result.masterGain = E.MasterGain;
  result.clipped = E.ClipCount != 0;
  rt.CurrentFormula = formula;
  rt.CurrentTema = tema;
  return result;
}

void NormalizeTheme(EngineState& eng, RhythmTables& rt, const BancoSonidos& bank, int t) {
  if (t < 0 || t >= kMaxTemas) return;
  eng.MasterGain = NormalizeThemeFrom(eng, rt, bank, t).masterGain;
  eng.ThemePlayback = false;
  eng.SilentMix = false;
  eng.CurrentBeat = 0;
}

void TakeSelectedEntryFormula(RhythmTables& rt, int t, int e, int entryLimit) {
  if (t < 0 || t >= kMaxTemas) return;
  const Tema& th = rt.Temas[static_cast<size_t>(t)];
  if (e < 0 || e >= std::min({static_cast<int>(th.entryCount), entryLimit, kEntrySlots})) return;
  rt.CurrentFormula = std::min<int>(th.formulas[static_cast<size_t>(e)], kMaxFormulas - 1);
}

void TakeSelectedTheme(EngineState& eng, RhythmTables& rt, int t, int e, int temaCount, int entryLimit) {
  eng.CurrentBeat = 0;
  if (t < 0 || t >= std::min(temaCount, kMaxTemas)) return;
  rt.CurrentTema = t;
  TakeSelectedEntryFormula(rt, t, e, entryLimit);
  eng.MasterGain = rt.Temas[static_cast<size_t>(t)].gain;
}

void NormalizeThemes(const EngineState& from, RhythmTables& rt, const BancoSonidos& bank, int count,
                     const std::function<void(int, const GainResult&)>& done, const std::function<void()>& idle,
                     const std::function<const GainResult*(int)>& known) {
  count = std::clamp(count, 0, kMaxTemas);
  if (count == 0) return;
  std::vector<GainResult> results(static_cast<size_t>(count));
  std::vector<float> gains(static_cast<size_t>(count));
  std::vector<char> ready(static_cast<size_t>(count), 0);
  // The themes to mix; the others are known already.
  std::vector<int> todo;
  for (int t = 0; t < count; ++t) {
    const GainResult* k = known ? known(t) : nullptr;
    if (!k) {
      todo.push_back(t);
      continue;
    }
    results[static_cast<size_t>(t)] = *k;
    gains[static_cast<size_t>(t)] = k->clipped ? k->masterGain : rt.Temas[static_cast<size_t>(t)].gain;
    ready[static_cast<size_t>(t)] = 1;
  }
  const int jobs = static_cast<int>(todo.size());
  const int workers = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, std::max(jobs, 1));
  std::atomic<int> next{0};
  std::mutex m;
  std::condition_variable cv;
  // Each worker mixes on its own copy of the tables, taken before any runs:
  // the formula and theme indices and the gain the mixer writes are its own.
  std::vector<std::unique_ptr<RhythmTables>> copies;
  for (int w = 0; w < workers && jobs > 0; ++w) copies.push_back(std::make_unique<RhythmTables>(rt));
  std::vector<std::thread> threads;
  threads.reserve(static_cast<size_t>(workers));
  for (size_t w = 0; w < copies.size(); ++w) {
    threads.emplace_back([&, tables = copies[w].get()] {
      for (int j = next++; j < jobs; j = next++) {
        const int t = todo[static_cast<size_t>(j)];
        const GainResult r = NormalizeThemeFrom(from, *tables, bank, t);
        std::lock_guard lock(m);
        results[static_cast<size_t>(t)] = r;
        gains[static_cast<size_t>(t)] = tables->Temas[static_cast<size_t>(t)].gain;
        ready[static_cast<size_t>(t)] = 1;
        cv.notify_all();
      }
    });
  }
  for (int t = 0; t < count; ++t) {
    for (;;) {
      std::unique_lock lock(m);
      if (cv.wait_for(lock, std::chrono::milliseconds(20), [&] { return ready[static_cast<size_t>(t)] != 0; })) break;
      lock.unlock();
      if (idle) idle();
    }
    rt.Temas[static_cast<size_t>(t)].gain = gains[static_cast<size_t>(t)];
    if (done) done(t, results[static_cast<size_t>(t)]);
  }
  for (auto& th : threads) th.join();
}
