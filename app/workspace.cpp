#include "app/workspace.h"

#include "links/device.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

Workspace::Workspace(EditionFormat edition)
    : Edition(edition),
      Rhythm(RhythmTables::Create()),
      Engine(std::make_unique<EngineState>(edition.engine)),
      Bank(std::make_unique<BancoSonidos>(edition.soundCapacity)),
      Playback(std::make_unique<Player>(*Engine, *Rhythm, *Bank)),
      Deck(std::make_unique<Transport>(*Engine, *Rhythm, *Bank, *Playback)),
      Guitar(std::make_unique<GuitarState>()),
      GuitarAudio(std::make_unique<GuitarSound>()),
      Device(std::make_unique<DeviceLink>(edition.basic ? DeviceEdition::kBasic : DeviceEdition::kPro)) {
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

namespace {

// A 64-bit hash of bytes, eight at a time.
class Hasher {
 public:
  void Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    while (n >= 8) {
      uint64_t w;
      std::memcpy(&w, b, 8);
      Mix(w);
      b += 8;
      n -= 8;
    }
    uint64_t tail = 0;
    if (n != 0) std::memcpy(&tail, b, n);  // an empty buffer may have no address
    Mix(tail ^ (uint64_t{n} << 56));
  }
  template <typename T>
  void Value(const T& v) {
    static_assert(std::has_unique_object_representations_v<T> || std::is_floating_point_v<T>);
    Bytes(&v, sizeof v);
  }
  template <typename T, size_t N>
  void Array(const std::array<T, N>& a) {
    for (const T& v : a) Value(v);
  }
  uint64_t Result() const { return h_; }

 private:
  void Mix(uint64_t w) {
    h_ ^= w + 0x9E3779B97F4A7C15ull + (h_ << 6) + (h_ >> 2);
    h_ *= 0xFF51AFD7ED558CCDull;
    h_ ^= h_ >> 33;
  }
  uint64_t h_ = 0xCBF29CE484222325ull;
};

}  // namespace

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

void Workspace::NormaliseTheme(int t) {
  if (t < 0 || t >= kMaxTemas) return;
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

void Workspace::NormaliseThemes(int count, const std::function<void(int)>& done, const std::function<void()>& idle) {
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
}

void Workspace::WaitForWarming() {
  if (warming_.joinable()) warming_.join();
}

bool Workspace::Remembers(int t) const {
  if (t < 0 || t >= kMaxTemas) return false;
  GainResult r;
  return Recall(t, NormalisationKey(*Rhythm, *Engine, SoundsKey(*Bank), t), &r);
}

void Workspace::WarmGains(int count, int first) {
  StopWarming();
  count = std::clamp(count, 0, kMaxTemas);
  first = first >= 0 && first < count ? first : 0;
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
