#include "app/workspace.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

Workspace::Workspace(EditionFormat edition)
    : Edition(edition),
      Rhythm(RhythmTables::Create()),
      Engine(std::make_unique<EngineState>(edition.engine)),
      Bank(std::make_unique<BancoSonidos>(edition.soundCapacity)),
      Playback(std::make_unique<Player>(*Engine, *Rhythm, *Bank)) {}

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
    std::memcpy(&tail, b, n);
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

uint64_t Workspace::NormalisationKey(int t) const {
  Hasher h;
  Tema th = Rhythm->Temas[static_cast<size_t>(t)];
  th.gain = 0;  // the result, not an input
  h.Bytes(&th, sizeof th);
  h.Value(Rhythm->FormulaCount);
  const int entries = std::min<int>(th.entryCount, kMaxEntries);
  for (int e = 0; e < entries; ++e) {
    const int f = th.formulas[e];
    if (f < Rhythm->FormulaCount && f < kMaxFormulas) h.Bytes(&Rhythm->Formulas[static_cast<size_t>(f)], sizeof(Formula));
  }
  const BancoSonidos& b = *Bank;
  h.Bytes(b.SoundBankStream.data(), b.SoundBankStream.size() * sizeof(int16_t));
  h.Bytes(b.SoundOffsets.data(), b.SoundOffsets.size() * sizeof(int32_t));
  h.Bytes(b.SoundLengths.data(), b.SoundLengths.size() * sizeof(int32_t));
  h.Value(b.ListCount);
  const EngineState& E = *Engine;
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

void Workspace::NormaliseTheme(int t) {
  if (t < 0 || t >= kMaxTemas) return;
  const uint64_t key = NormalisationKey(t);
  auto it = gains_.find(t);
  GainResult r;
  if (it != gains_.end() && it->second.key == key) {
    r = it->second.result;
    if (r.clipped) Rhythm->Temas[static_cast<size_t>(t)].gain = r.masterGain;
  } else {
    r = NormalizeThemeFrom(*Engine, *Rhythm, *Bank, t);
    gains_[t] = Remembered{key, r};
  }
  EngineState& E = *Engine;
  E.MasterGain = r.masterGain;
  E.ThemePlayback = false;
  E.SilentMix = false;
  E.CurrentBeat = 0;
}

void Workspace::NormaliseThemes(int count, const std::function<void(int)>& done, const std::function<void()>& idle) {
  std::vector<uint64_t> keys;
  for (int t = 0; t < std::clamp(count, 0, kMaxTemas); ++t) keys.push_back(NormalisationKey(t));
  NormalizeThemes(
      *Engine, *Rhythm, *Bank, count,
      [&](int t, const GainResult& r) {
        gains_[t] = Remembered{keys[static_cast<size_t>(t)], r};
        Engine->MasterGain = r.masterGain;
        if (done) done(t);
      },
      idle,
      [&](int t) -> const GainResult* {
        auto it = gains_.find(t);
        return it != gains_.end() && it->second.key == keys[static_cast<size_t>(t)] ? &it->second.result : nullptr;
      });
  Engine->ThemePlayback = false;
  Engine->SilentMix = false;
  Engine->CurrentBeat = 0;
}
