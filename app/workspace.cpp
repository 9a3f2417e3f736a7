#include "app/workspace.h"

#include "engine/hasher.h"
#include "links/device.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

Workspace::Workspace(EditionFormat edition)
    : Edition(edition),
      Rhythm(RhythmTables::Create()),
      Engine(std::make_unique<EngineState>(edition.engine)),
      Bank(std::make_unique<BancoSonidos>(edition.soundCapacity)),
      Playback(std::make_unique<Player>(*Engine, *Rhythm, *Bank)),
      Deck(std::make_unique<Transport>(*Engine, *Rhythm, *Bank, *Playback)),
      Guitar(std::make_unique<GuitarState>()),
      GuitarAudio(std::make_unique<GuitarSound>()),
      Device(std::make_unique<DeviceLink>(edition.basic ? DeviceEdition::kBasic : DeviceEdition::kPro)),
      entries_(std::make_unique<EntryGains>(edition.engine)) {
  if (edition.basic) Deck->SetRules(kBasicRules);
  // The mixer reaches the guitar's renderer here: the beat's guitar part is
  // rendered from the track open in the guitar panel, with the bank, tuning
  // and voices of the guitar's sound (a silent mix rings voices of its own).
  Playback->Hooks.EncolaG = [this](EngineState& e) {
    GuitarState& g = *Guitar;
    GuitarVoiceState& voices = e.SilentMix ? GuitarAudio->SilentVoices : GuitarAudio->Voices;
    const GuitarTrackView track{g.GuitarTrack.data(), g.GuitarTrack.size(), g.GuitarBars.data(), BarsInTable(g)};
    EncolaGuitar(e, track, GuitarAudio->Tuning, GuitarAudio->Bank, g.Capo, voices, &g.CurrentTiempoG);
  };
  // A sequence starts with the guitar's voices silent.
  Playback->OnStart = [this](bool themeStart) { ResetGuitarVoices(GuitarAudio->Voices, themeStart); };
}


uint64_t SoundsKey(const BancoSonidos& b) {
  Hasher h;
  h.Bytes(b.SoundBankStream.data(), b.SoundBankStream.size() * sizeof(int16_t));
  h.Bytes(b.SoundOffsets.data(), b.SoundOffsets.size() * sizeof(int32_t));
  h.Bytes(b.SoundLengths.data(), b.SoundLengths.size() * sizeof(int32_t));
  h.Value(b.ListCount);
  return h.Result();
}

uint64_t NormalisationKey(const RhythmTables& rt, const EngineState& E, uint64_t sounds, int t) {
  Hasher h;
  Tema th = rt.Temas[static_cast<size_t>(t)];
  th.gain = 0;  // the result, not an input
  h.Bytes(&th, sizeof th);
  h.Value(rt.FormulaCount);
  const int entries = std::min<int>(th.entryCount, kMaxEntries);
  for (int e = 0; e < entries; ++e) {
    const int f = th.formulas[e];
    if (f < rt.FormulaCount && f < kMaxFormulas) h.Bytes(&rt.Formulas[static_cast<size_t>(f)], sizeof(Formula));
  }
  h.Value(sounds);
  h.Value(E.Format.SampleRate);
  h.Value(E.Format.Tracks);
  const MixerControls& c = E.Controls;
  for (int v : {c.ClickSound, c.Nivel, c.ClickStrokes, c.GuitarPan, c.GuitarGainNum, c.GuitarGainDen, c.MasterVolume})
    h.Value(v);
  h.Value(c.ClickAccentPattern);
  h.Value(c.ClickPlainPattern);
  h.Value(c.ClickPatternCode);
  h.Array(c.Pan);
  h.Array(c.TrackGainNum);
  h.Array(c.TrackGainDen);
  h.Array(c.MuteButtons);
  h.Array(c.SoloButtons);
  h.Value(c.GuitarOn);
  h.Value(c.Mono);
  // The click state and the tempo are set afresh at every beat and entry,
  // and the tracks start silent: nothing else of the engine counts.
  return h.Result();
}

Workspace::~Workspace() { StopWarming(); }

bool Workspace::Recall(int t, uint64_t key, GainResult* result) const {
  std::lock_guard lock(gainsMutex_);
  auto it = gains_.find(t);
  if (it == gains_.end() || it->second.key != key) return false;
  *result = it->second.result;
  return true;
}

void Workspace::Remember(int t, uint64_t key, const GainResult& result) {
  std::lock_guard lock(gainsMutex_);
  gains_[t] = Remembered{key, result};
}

const Workspace::BankCopy& Workspace::CurrentBank() {
  const uint64_t key = SoundsKey(*Bank);
  if (!bankCopy_.bank || key != bankCopyKey_) {
    // A copy the mixing threads read while the window may load other sounds.
    auto bank = std::make_shared<const BancoSonidos>(*Bank);
    bankCopy_.soundHashes.assign(static_cast<size_t>(bank->Capacity()) + 1, 0);
    for (int n = 1; n <= bank->Capacity(); ++n) {
      const SoundView v = bank->Sound(n);
      Hasher h;
      h.Value(v.length);
      h.Bytes(v.data, static_cast<size_t>(v.length) * sizeof(int16_t));
      bankCopy_.soundHashes[static_cast<size_t>(n)] = h.Result();
    }
    bankCopy_.bank = std::move(bank);
    bankCopyKey_ = key;
  }
  return bankCopy_;
}

Workspace::EntryPlan Workspace::PlanEntries(const RhythmTables& rt, const EngineState& E, const BankCopy& bank,
                                            const EntryGains& known, int t, bool urgent, int firstEntry) {
  EntryPlan p;
  std::vector<EntryRun> runs = NormalisationEntries(rt, t);
  // The entry that plays first, then the ones after it, then the ones before.
  if (firstEntry > 0 && firstEntry < static_cast<int>(runs.size()))
    std::rotate(runs.begin(), runs.begin() + firstEntry, runs.end());
  const auto soundHash = [&](int n) {
    return n >= 1 && static_cast<size_t>(n) < bank.soundHashes.size() ? bank.soundHashes[static_cast<size_t>(n)] : 0;
  };
  for (const EntryRun& run : runs) {
    const Formula& f = rt.Formulas[static_cast<size_t>(run.formula)];
    p.keys.push_back(EntryMixKey(E, f, run.tempo, run.accel, soundHash));
    int sources = 1;
    for (int tr = 0; tr < std::clamp(E.Format.Tracks, 0, kMixTracks); ++tr)
      sources += f.sounds[tr] != 0 && !E.Controls.MuteButtons[static_cast<size_t>(tr)];
    const int beats = f.Beats() >= 1 && f.Beats() <= kMaxBeats ? f.Beats() : 12;
    p.work.push_back(int64_t{beats} * 60 * E.Format.SampleRate / std::max(run.tempo, 20) * sources);
  }
  known.Look(p.keys, &p.results, &p.states);
  std::unordered_set<uint64_t> planned;
  for (size_t i = 0; i < runs.size(); ++i) {
    // Urgent: a queued background job moves up; otherwise one is enough.
    const EntryGains::State s = p.states[i];
    if (s == EntryGains::kKnown || (!urgent && s == EntryGains::kPending)) continue;
    if (!planned.insert(p.keys[i]).second) continue;  // in this theme already
    EntryGains::Job job;
    job.key = p.keys[i];
    job.formula = rt.Formulas[static_cast<size_t>(runs[i].formula)];
    job.tempo = runs[i].tempo;
    job.accel = runs[i].accel;
    job.controls = E.Controls;
    job.bank = bank.bank;
    p.jobs.push_back(std::move(job));
  }
  return p;
}

GainResult Workspace::ThemeFromEntries(const EntryPlan& plan, std::chrono::steady_clock::time_point deadline,
                                       const std::function<void()>& idle, int* found) {
  std::vector<GainResult> results;
  std::vector<EntryGains::State> states;
  entries_->WaitFor(plan.keys, deadline, idle, &results, &states);
  GainResult theme;
  for (size_t i = 0; i < plan.keys.size(); ++i) {
    if (states[i] == EntryGains::kKnown) {
      AddEntryGain(theme, results[i]);
      if (found) ++*found;
    } else
      theme.complete = false;
  }
  return theme;
}

void Workspace::NormaliseTheme(int t) {
  if (t < 0 || t >= kMaxTemas) return;
  if (ByEntry()) {
    const auto start = std::chrono::steady_clock::now();
    EntryPlan plan = PlanEntries(*Rhythm, *Engine, CurrentBank(), *entries_, t, true, Engine->EntryRow - 1);
    int64_t missing = 0;
    std::unordered_set<uint64_t> counted;
    for (size_t i = 0; i < plan.keys.size(); ++i)
      if (plan.states[i] != EntryGains::kKnown && counted.insert(plan.keys[i]).second) missing += plan.work[i];
    entries_->Queue(std::move(plan.jobs), true);
    GainResult r;
    if (missing <= kStartWork) {
      r = ThemeFromEntries(plan, std::chrono::steady_clock::time_point::max(), nullptr);
      // An entry forgotten meanwhile (the memory starts again when full): one run here.
      if (!r.complete) r = NormalizeThemeFrom(*Engine, *Rhythm, *Bank, t);
    } else {
      // What is found while the start may wait: the entries that play first
      // are mixed first.
      int found = 0;
      r = ThemeFromEntries(plan, start + kStartWait, nullptr, &found);
      // Nothing found yet: the theme's gain as it was found last.
      if (found == 0) r = GainResult{Rhythm->Temas[static_cast<size_t>(t)].gain, false, false};
    }
    if (r.clipped) Rhythm->Temas[static_cast<size_t>(t)].gain = r.masterGain;
    EngineState& E = *Engine;
    E.MasterGain = r.masterGain;
    E.ThemePlayback = false;
    E.SilentMix = false;
    E.CurrentBeat = 0;
    return;
  }
  const uint64_t key = NormalisationKey(*Rhythm, *Engine, SoundsKey(*Bank), t);
  GainResult r;
  if (Recall(t, key, &r)) {
    if (r.clipped) Rhythm->Temas[static_cast<size_t>(t)].gain = r.masterGain;
  } else {
    r = NormalizeThemeFrom(*Engine, *Rhythm, *Bank, t);
    Remember(t, key, r);
  }
  EngineState& E = *Engine;
  E.MasterGain = r.masterGain;
  E.ThemePlayback = false;
  E.SilentMix = false;
  E.CurrentBeat = 0;
}

void Workspace::NormaliseThemesByEntry(int count, const std::function<void(int)>& done,
                                       const std::function<void()>& idle) {
  count = std::clamp(count, 0, kMaxTemas);
  const BankCopy& bank = CurrentBank();
  std::vector<EntryPlan> plans;
  std::vector<EntryGains::Job> jobs;
  std::unordered_set<uint64_t> queued;
  for (int t = 0; t < count; ++t) {
    plans.push_back(PlanEntries(*Rhythm, *Engine, bank, *entries_, t, true));
    for (auto& j : plans.back().jobs)
      if (queued.insert(j.key).second) jobs.push_back(std::move(j));
  }
  // Every entry not known yet, the first theme's first.
  entries_->Queue(std::move(jobs), true);
  for (int t = 0; t < count; ++t) {
    const EntryPlan& plan = plans[static_cast<size_t>(t)];
    GainResult r = ThemeFromEntries(plan, std::chrono::steady_clock::time_point::max(), idle);
    // An entry forgotten meanwhile (the memory starts again when full): one run here.
    if (!r.complete) r = NormalizeThemeFrom(*Engine, *Rhythm, *Bank, t);
    if (r.clipped) Rhythm->Temas[static_cast<size_t>(t)].gain = r.masterGain;
    Engine->MasterGain = r.masterGain;
    if (done) done(t);
  }
}

void Workspace::NormaliseThemes(int count, const std::function<void(int)>& done, const std::function<void()>& idle) {
  if (ByEntry()) {
    NormaliseThemesByEntry(count, done, idle);
    Engine->ThemePlayback = false;
    Engine->SilentMix = false;
    Engine->CurrentBeat = 0;
    return;
  }
  std::vector<uint64_t> keys;
  const uint64_t sounds = SoundsKey(*Bank);
  for (int t = 0; t < std::clamp(count, 0, kMaxTemas); ++t) keys.push_back(NormalisationKey(*Rhythm, *Engine, sounds, t));
  std::vector<GainResult> known(keys.size());
  NormalizeThemes(
      *Engine, *Rhythm, *Bank, count,
      [&](int t, const GainResult& r) {
        Remember(t, keys[static_cast<size_t>(t)], r);
        Engine->MasterGain = r.masterGain;
        if (done) done(t);
      },
      idle,
      [&](int t) -> const GainResult* {
        return Recall(t, keys[static_cast<size_t>(t)], &known[static_cast<size_t>(t)]) ? &known[static_cast<size_t>(t)]
                                                                                     : nullptr;
      });
  Engine->ThemePlayback = false;
  Engine->SilentMix = false;
  Engine->CurrentBeat = 0;
}

void Workspace::StopWarming() {
  stopWarming_ = true;
  if (warming_.joinable()) warming_.join();
  stopWarming_ = false;
  if (ByEntry()) entries_->DropBackground();
}

void Workspace::WaitForWarming() {
  if (warming_.joinable()) warming_.join();
  if (ByEntry()) entries_->WaitAll();
}

bool Workspace::Remembers(int t) const {
  if (t < 0 || t >= kMaxTemas) return false;
  if (ByEntry()) {
    const EntryPlan plan = PlanEntries(*Rhythm, *Engine, bankCopy_, *entries_, t, false);
    // With the sounds as the entries were planned with.
    return std::count(plan.states.begin(), plan.states.end(), EntryGains::kKnown) ==
               static_cast<std::ptrdiff_t>(plan.states.size()) &&
           bankCopy_.bank && bankCopyKey_ == SoundsKey(*Bank);
  }
  GainResult r;
  return Recall(t, NormalisationKey(*Rhythm, *Engine, SoundsKey(*Bank), t), &r);
}

void Workspace::WarmEntries(int count, int first) {
  // Copies: the window goes on changing the originals meanwhile.
  auto tables = std::make_shared<const RhythmTables>(*Rhythm);
  auto engine = std::make_shared<const EngineState>(*Engine);
  const BankCopy bank = CurrentBank();
  warming_ = std::thread([this, count, first, tables, engine, bank] {
    auto E = std::make_unique<EngineState>(*engine);
    for (int i = 0; i < count && !stopWarming_; ++i) {
      // The theme asked for first, then the others in order.
      const int t = i == 0 ? first : i <= first ? i - 1 : i;
      // The controls selecting the theme loads: its pans and volumes.
      const Tema& th = tables->Temas[static_cast<size_t>(t)];
      SetTrackControlsFromTema(E->Controls, th.pan, th.volume);
      entries_->Queue(PlanEntries(*tables, *E, bank, *entries_, t, false).jobs, false);
    }
    // And what a save would mix: every theme with the controls as they are.
    for (int t = 0; t < count && !stopWarming_; ++t)
      entries_->Queue(PlanEntries(*tables, *engine, bank, *entries_, t, false).jobs, false);
  });
}

void Workspace::HoldWarming(bool hold) {
  holdWarming_ = hold;
  if (hold || !heldWarming_) return;
  const auto [count, first] = *heldWarming_;
  heldWarming_.reset();
  WarmGains(count, first);
}

void Workspace::WarmGains(int count, int first) {
  StopWarming();
  if (holdWarming_) {
    heldWarming_ = std::pair{count, first};
    return;
  }
  count = std::clamp(count, 0, kMaxTemas);
  first = first >= 0 && first < count ? first : 0;
  if (ByEntry()) {
    WarmEntries(count, first);
    return;
  }
  // Copies: the window goes on changing the originals meanwhile.
  auto tables = std::make_shared<const RhythmTables>(*Rhythm);
  auto bank = std::make_shared<const BancoSonidos>(*Bank);
  auto engine = std::make_shared<const EngineState>(*Engine);
  warming_ = std::thread([this, count, first, tables, bank, engine] {
    const uint64_t sounds = SoundsKey(*bank);
    std::atomic<int> next{0};
    std::vector<std::thread> workers;
    const int n = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, std::max(count, 1));
    for (int w = 0; w < n; ++w) {
      workers.emplace_back([&] {
        auto rt = std::make_unique<RhythmTables>(*tables);
        EngineState E = *engine;
        for (int i = next++; i < count && !stopWarming_; i = next++) {
          // The theme asked for first, then the others in order.
          const int t = i == 0 ? first : i <= first ? i - 1 : i;
          // The controls selecting the theme loads: its pans and volumes.
          const Tema& th = rt->Temas[static_cast<size_t>(t)];
          SetTrackControlsFromTema(E.Controls, th.pan, th.volume);
          const uint64_t key = NormalisationKey(*rt, E, sounds, t);
          GainResult known;
          if (Recall(t, key, &known)) continue;
          const GainResult r = NormalizeThemeFrom(E, *rt, *bank, t, &stopWarming_);
          if (r.complete) Remember(t, key, r);
        }
      });
    }
    for (auto& w : workers) w.join();
  });
}
