#include "engine/mixer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <span>
#include <utility>

#include "engine/mix_steps.h"
#include "engine/sound_bank.h"
#include "rhythm/records.h"

// The frame loop of a beat is computed source by source: each track, the
// click and the guitar add their share of every frame into the beat's left
// and right sums, and a last pass applies the master gain frame by frame (in
// one go over a run of frames none of which clips at the current gain).
// A source's share of a frame depends only on its own state, so this gives
// the same sums as visiting every source in every frame, and it lets each
// stretch of a sound between two strokes run as one tight loop.
//
// The beat is mixed in blocks of kBlockFrames frames: every source adds its
// share of one block into sums that stay in the first-level cache, then the
// gain pass turns the block into output, and the next block follows. A voice
// carries its state from block to block exactly as from frame to frame.
//
// The stretch loops are written so that the compiler turns them into vector
// code on 16-bit lanes (a sample and every step of its arithmetic up to the
// gain fit in 16 bits): the divisions by a constant become multiplications,
// and the pan product with its shift becomes one high-half multiplication
// (see PanFactor). On x86-64 each loop is compiled twice, for AVX2 and for the
// SSE2 every x86-64 has, and the processor picks one at the first beat; both
// are the same C++ arithmetic, so they give the same sums.

namespace {

using mix_steps::PanFactor;
using mix_steps::SpanArgs;
using mix_steps::SpanSetup;
using mix_steps::Voice;

constexpr int kPanFull = 32;
constexpr int kClickLevelMax = 16;
constexpr int kGainNumMax = 16;   // the volume sliders give at most 9
constexpr int kSilent = 7;        // attenuation of a voice that sounds nothing
constexpr float kMaxMasterGain = 1000.0f;
constexpr double kGainFloor = 0.01;
constexpr double kGainStep = 0.001;
constexpr int kBlockFrames = kMixBlockFrames;  // sums of a block: 16 KiB
constexpr int kGainChunk = 64;      // frames the gain pass checks at once

const Formula kEmptyFormula{};

// Stroke s of a 3-bit stroke word (logical shift); strokes past the word are rests.
int StrokeCode(int32_t word, int stroke) {
  if (stroke < 0 || 3 * stroke >= 32) return 0;
  return static_cast<int>((static_cast<uint32_t>(word) >> (3 * stroke)) & 7u);
}

// The basic edition's click words hold 2-bit levels (3 loudest); as a 3-bit
// code, level L is 4 + L, so the attenuation 7 - code is 3 - L.
int ClickStrokeCode(int32_t word, int stroke, bool basic) {
  if (!basic) return StrokeCode(word, stroke);
  if (stroke < 0 || 2 * stroke >= 32) return 0;
  const int level = static_cast<int>((static_cast<uint32_t>(word) >> (2 * stroke)) & 3u);
  return level != 0 ? 4 + level : 0;
}

// A track's stroke code. The basic edition's formulas carry levels 1..3 as
// codes 5..7; the codes 1..4 stand for no level there and are rests.
int TrackStrokeCode(int32_t word, int stroke, bool basic) {
  const int c = StrokeCode(word, stroke);
  return basic && c <= 4 ? 0 : c;
}

// --- one stretch of a sound --------------------------------------------------

// A track's share of a sample v (already divided by attenuation + 1) is
// ((pan x v) >> 5) x num / den on the right and the same with 32 - pan on the
// left. v is a 16-bit value and pan is 0..32, so
//   (pan x v) >> 5 = floor(v x pan x 2048 / 65536),
// the high half of the product of v and M = pan x 2048. M fits a signed
// 16-bit factor up to pan 15; from 16 on, M - 65536 does, and the high half
// of v x (M - 65536) is exactly floor(v x M / 65536) - v, so v is added back
// (at pan 32 the factor is 0 and the result v itself). The result fits 16
// bits for every v and pan.
constexpr PanFactor MakePanFactor(int pan) {
  return {static_cast<int16_t>(pan >= 16 ? pan * 2048 - 65536 : pan * 2048), static_cast<int16_t>(pan >= 16 ? -1 : 0)};
}

[[gnu::always_inline]] constexpr int16_t Panned(int16_t x, PanFactor f) {
  return static_cast<int16_t>(((static_cast<int32_t>(x) * f.mul) >> 16) + (x & f.add));
}

// Spot checks of the identity; the mixer tests run it over every sample value.
constexpr bool PanMatches(int x, int pan) {
  return Panned(static_cast<int16_t>(x), MakePanFactor(pan)) == ((pan * x) >> 5);
}
static_assert(PanMatches(-32768, 32) && PanMatches(32767, 32) && PanMatches(-32768, 16) && PanMatches(32767, 16) &&
              PanMatches(-32768, 15) && PanMatches(-1, 1) && PanMatches(-1, 31) && PanMatches(-31, 17) &&
              PanMatches(12345, 0) && PanMatches(-12345, 31));

// How the panned value becomes a share: x num / den, in the cheapest form the
// gain allows. The volume sliders give either num 1..9 over 1 or 1 over 2..8.
enum GainSlot : int {
  kGainAny = 0,    // panned value x num / den in 32 bits
  kGainOne = 1,    // 1 / 1
  kGainTimes = 2,  // num / 1
  kGainOver = 3,   // 1 / den, den 2..8: slots 3..9 for den 2..8
};
constexpr int kGainSlots = kGainOver + 7;

int GainSlotFor(int num, int den) {
  if (den == 1) return num == 1 ? kGainOne : kGainTimes;
  if (num == 1 && den >= 2 && den <= 8) return kGainOver + den - 2;
  return kGainAny;
}

// n consecutive samples of a track at one level (divisor D = attenuation + 1),
// one pan and one gain, added into the sums.
template <int D, int Slot>
[[gnu::always_inline]] inline void TrackSpanBody(const int16_t* __restrict s, int n, int32_t* __restrict left,
                                                 int32_t* __restrict right, SpanArgs a) {
  if constexpr (Slot == kGainAny) {
    const int32_t p = a.pan;
    const int32_t q = kPanFull - a.pan;
    const int32_t num = a.num;
    const int32_t den = a.den;
    for (int k = 0; k < n; ++k) {
      const int32_t x = static_cast<int32_t>(s[k]) / D;
      right[k] += ((p * x) >> 5) * num / den;
      left[k] += ((q * x) >> 5) * num / den;
    }
  } else {
    const PanFactor fr = a.right;
    const PanFactor fl = a.left;
    const int32_t num = a.num;
    for (int k = 0; k < n; ++k) {
      const int16_t x = static_cast<int16_t>(s[k] / D);
      const int16_t yr = Panned(x, fr);
      const int16_t yl = Panned(x, fl);
      if constexpr (Slot == kGainOne) {
        right[k] += yr;
        left[k] += yl;
      } else if constexpr (Slot == kGainTimes) {
        right[k] += static_cast<int32_t>(yr) * num;
        left[k] += static_cast<int32_t>(yl) * num;
      } else {
        constexpr int G = Slot - kGainOver + 2;
        right[k] += static_cast<int16_t>(yr / G);
        left[k] += static_cast<int16_t>(yl / G);
      }
    }
  }
}

// n samples of the click: (sample >> shift) x level on both sides.
[[gnu::always_inline]] inline void ClickSpanBody(const int16_t* __restrict s, int n, int32_t* __restrict left,
                                                 int32_t* __restrict right, int shift, int level) {
  for (int k = 0; k < n; ++k) {
    const int32_t v = static_cast<int32_t>(static_cast<int16_t>(s[k] >> shift)) * level;
    left[k] += v;
    right[k] += v;
  }
}

// The gain pass over n frames at one gain, for the common case that no frame
// clips: returns false, having written nothing, when a frame may clip, and the
// caller then takes these frames one by one. `threshold` is the smallest sum
// magnitude that clips at this gain (see ClipThreshold); below it the product
// truncates to at most 32767 and is the frame's output as it is.
template <bool Mono>
[[gnu::always_inline]] inline bool ScaleUnclippedBody(const int32_t* __restrict left, const int32_t* __restrict right,
                                                      int n, double g, int32_t threshold, int16_t* __restrict out) {
  const int32_t t = threshold;
  int over = 0;
  for (int k = 0; k < n; ++k) {
    if constexpr (Mono) {
      const int32_t m = (left[k] + right[k]) / 2;
      over |= (m >= t) | (m <= -t);
    } else {
      over |= (left[k] >= t) | (left[k] <= -t) | (right[k] >= t) | (right[k] <= -t);
    }
  }
  if (over != 0) return false;
  for (int k = 0; k < n; ++k) {
    if constexpr (Mono) {
      const int32_t outL = static_cast<int32_t>(static_cast<double>((left[k] + right[k]) / 2) * g);
      // Both channels carry the same sample: a mono speaker or a summed
      // output hears it, where an inverted copy would cancel it.
      out[2 * k] = static_cast<int16_t>(outL);
      out[2 * k + 1] = static_cast<int16_t>(outL);
    } else {
      out[2 * k] = static_cast<int16_t>(static_cast<int32_t>(static_cast<double>(left[k]) * g));
      out[2 * k + 1] = static_cast<int16_t>(static_cast<int32_t>(static_cast<double>(right[k]) * g));
    }
  }
  return true;
}

// n samples of a basic-edition track t (0..7) at attenuation a (0..2): the
// sample shifted right by a, placed at the track's fixed position.
void BasicTrackSpan(const int16_t* __restrict s, int n, int32_t* __restrict left, int32_t* __restrict right, int a,
                    int t) {
  const int32_t wl = 8 - t;
  const int32_t wr = t + 1;
  for (int k = 0; k < n; ++k) {
    const int32_t l = static_cast<int32_t>(s[k]) >> a;
    left[k] += (l * wl) >> 3;
    right[k] += (l * wr) >> 3;
  }
}

// --- the two builds of the loops -------------------------------------------

using SpanFn = void (*)(const int16_t*, int, int32_t*, int32_t*, SpanArgs);
using ClickFn = void (*)(const int16_t*, int, int32_t*, int32_t*, int, int);
using ScaleFn = bool (*)(const int32_t*, const int32_t*, int, double, int32_t, int16_t*);

}  // namespace

struct mix_steps::Kernels {
  // spans[attenuation][gain slot]
  std::array<std::array<SpanFn, kGainSlots>, kSilent> spans;
  ClickFn click;
  std::array<ScaleFn, 2> scale;  // stereo, mono
};

namespace {

using mix_steps::Kernels;

template <template <int, int> class Pick, int D, int... S>
constexpr std::array<SpanFn, kGainSlots> SpanRow(std::integer_sequence<int, S...>) {
  return {Pick<D, S>::fn...};
}
template <template <int, int> class Pick, int... A>
constexpr std::array<std::array<SpanFn, kGainSlots>, kSilent> SpanTable(std::integer_sequence<int, A...>) {
  return {SpanRow<Pick, A + 1>(std::make_integer_sequence<int, kGainSlots>{})...};
}

// The baseline build: SSE2 on x86-64.
template <int D, int Slot>
void TrackSpanBase(const int16_t* s, int n, int32_t* left, int32_t* right, SpanArgs a) {
  TrackSpanBody<D, Slot>(s, n, left, right, a);
}
void ClickSpanBase(const int16_t* s, int n, int32_t* left, int32_t* right, int shift, int level) {
  ClickSpanBody(s, n, left, right, shift, level);
}
template <bool Mono>
bool ScaleUnclippedBase(const int32_t* left, const int32_t* right, int n, double g, int32_t threshold, int16_t* out) {
  return ScaleUnclippedBody<Mono>(left, right, n, g, threshold, out);
}
template <int D, int S>
struct PickBase {
  static constexpr SpanFn fn = &TrackSpanBase<D, S>;
};
constexpr Kernels kBaseKernels{SpanTable<PickBase>(std::make_integer_sequence<int, kSilent>{}),
                               &ClickSpanBase,
                               {&ScaleUnclippedBase<false>, &ScaleUnclippedBase<true>}};

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The AVX2 build, for the processors that have it: twice the lanes.
template <int D, int Slot>
__attribute__((target("avx2"))) void TrackSpanAvx2(const int16_t* s, int n, int32_t* left, int32_t* right, SpanArgs a) {
  TrackSpanBody<D, Slot>(s, n, left, right, a);
}
__attribute__((target("avx2"))) void ClickSpanAvx2(const int16_t* s, int n, int32_t* left, int32_t* right, int shift,
                                                   int level) {
  ClickSpanBody(s, n, left, right, shift, level);
}
template <bool Mono>
__attribute__((target("avx2"))) bool ScaleUnclippedAvx2(const int32_t* left, const int32_t* right, int n, double g,
                                                        int32_t threshold, int16_t* out) {
  return ScaleUnclippedBody<Mono>(left, right, n, g, threshold, out);
}
template <int D, int S>
struct PickAvx2 {
  static constexpr SpanFn fn = &TrackSpanAvx2<D, S>;
};
constexpr Kernels kAvx2Kernels{SpanTable<PickAvx2>(std::make_integer_sequence<int, kSilent>{}),
                               &ClickSpanAvx2,
                               {&ScaleUnclippedAvx2<false>, &ScaleUnclippedAvx2<true>}};

const Kernels& MixKernels() {
  static const Kernels* const k = __builtin_cpu_supports("avx2") ? &kAvx2Kernels : &kBaseKernels;
  return *k;
}
#else
const Kernels& MixKernels() { return kBaseKernels; }
#endif

int ClampPan(int p) { return std::clamp(p, 0, kPanFull); }
int ClampNum(int n) { return std::clamp(n, 0, kGainNumMax); }
int SafeDen(int d) { return d >= 1 ? d : 1; }

// n samples of a source at one attenuation, added into the sums.
void AddSpan(const Kernels& k, const SpanSetup& setup, const int16_t* s, int n, int32_t* left, int32_t* right,
             int attenuation) {
  if (!setup.silent)
    k.spans[static_cast<size_t>(attenuation)][static_cast<size_t>(setup.slot)](s, n, left, right, setup.args);
}

SpanSetup MakeSpanSetup(int pan, int num, int den) {
  return {{MakePanFactor(pan), MakePanFactor(kPanFull - pan), pan, num, den}, GainSlotFor(num, den), num == 0};
}

// Frames [from, to) of one voice. Before frame `from` the voice is in its
// state; `onStroke` runs in the frame whose countdown is found at 0, after
// that frame's sample, and returns the voice's new state. Running [0, a) and
// then [a, b) is the same as running [0, b).
template <typename Sound, typename OnStroke>
void RunVoice(Voice& v, int spacing, int from, int to, const SoundView& snd, Sound&& sound, OnStroke&& onStroke) {
  int f = from;
  while (f < to) {
    // The countdown reaches 0 in frame f + countdown; a negative countdown
    // never does.
    const bool strokeDue = v.countdown >= 0 && v.countdown < to - f;
    const int span = strokeDue ? v.countdown + 1 : to - f;
    if (v.attenuation >= 0 && v.attenuation < kSilent && v.pos >= 0 && v.pos < snd.length) {
      const int n = std::min(span, snd.length - v.pos);
      sound(snd.data + v.pos, n, f, v.attenuation);
      v.pos += n;
    }
    f += span;
    if (strokeDue) {
      v.countdown = spacing;
      ++v.stroke;
      onStroke(v);
    } else if (v.countdown > 0) {
      v.countdown -= span;
    }
  }
}

int16_t Saturate16(int64_t v) {
  return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

// The smallest sum magnitude s for which trunc(s x g) lies beyond +-32767,
// that is for which s x |g| rounds to 32768 or more (a product rounds the same
// for either sign, and never down past a smaller one). Sums of a beat stay far
// below 2^30; where even that would not clip, 2^30 is returned, which only
// sends such a sum, if one ever came, the frame-by-frame way.
int32_t ClipThreshold(double g) {
  constexpr int32_t kBeyondAnySum = 1 << 30;
  const double a = std::fabs(g);
  if (static_cast<double>(kBeyondAnySum) * a < 32768.0) return kBeyondAnySum;
  // a >= 2^-15 here, so the quotient is at most 2^30.
  int32_t t = std::min(kBeyondAnySum, static_cast<int32_t>(std::ceil(32768.0 / a)));
  while (t > 0 && static_cast<double>(t - 1) * a >= 32768.0) --t;
  while (static_cast<double>(t) * a < 32768.0) ++t;
  return t;
}

// The gain pass frame by frame: the gain falls by 0.001 for as long as a
// frame would clip, down to 0.01; below that the frame saturates.
float ScaleFrames(const int32_t* left, const int32_t* right, int n, float gain, bool mono, int16_t* out, int& clips) {
  for (int f = 0; f < n; ++f) {
    const int32_t l = left[f];
    const int32_t r = right[f];
    int64_t outL;
    int64_t outR;
    for (;;) {
      const double g = gain;
      if (mono) {
        const int32_t m = (l + r) / 2;
        outL = static_cast<int64_t>(static_cast<double>(m) * g);
        outR = outL;  // the same sample on both channels
      } else {
        outL = static_cast<int64_t>(static_cast<double>(l) * g);
        outR = static_cast<int64_t>(static_cast<double>(r) * g);
      }
      const bool clip = outL > 32767 || outL < -32767 || outR > 32767 || outR < -32767;
      if (!(clip && g > kGainFloor)) break;
      ++clips;
      gain = static_cast<float>(g - kGainStep);
    }
    out[2 * f] = Saturate16(outL);
    out[2 * f + 1] = Saturate16(outR);
  }
  return gain;
}

// The basic edition's gain pass: each frame is trunc(sum x gain / d); the
// gain falls by 0.001 while a frame would clip and the gain is above 1.0
// (each step counted as a clip), and a frame that still clips saturates.
// d = 0 gives a silent beat.
float ScaleFramesBasic(const int32_t* left, const int32_t* right, int n, float gain, int d, bool mono, int16_t* out,
                       int& clips) {
  if (d == 0) {
    std::fill_n(out, 2 * static_cast<size_t>(n), int16_t{0});
    return gain;
  }
  const double dd = d;
  for (int f = 0; f < n; ++f) {
    const int32_t l = left[f];
    const int32_t r = right[f];
    int64_t outL;
    int64_t outR;
    for (;;) {
      const double g = gain;
      if (mono) {
        const int32_t m = (l + r) / 2;
        outL = static_cast<int64_t>(static_cast<double>(m) * g / dd);
        outR = outL;  // the same sample on both channels, as in the full mix
      } else {
        outL = static_cast<int64_t>(static_cast<double>(l) * g / dd);
        outR = static_cast<int64_t>(static_cast<double>(r) * g / dd);
      }
      const bool clip = outL > 32767 || outL < -32767 || outR > 32767 || outR < -32767;
      if (!(clip && g > 1.0)) break;
      ++clips;
      gain = static_cast<float>(g - kGainStep);
    }
    out[2 * f] = Saturate16(outL);
    out[2 * f + 1] = Saturate16(outR);
  }
  return gain;
}

}  // namespace

int BasicBeatDivisor(const EngineState& eng, const RhythmTables& rt) {
  const double g = eng.MasterGain;
  if (eng.IntroCounter != 0) return static_cast<int>(16.0 * g * 0.5);
  if (eng.EndingCounter != 0) return 1;
  const Formula& F = mix_steps::BeatFormula(rt);
  const int tracks = std::clamp(eng.Format.Tracks, 0, kMixTracks);
  int d = 0;
  for (int t = 0; t < tracks; ++t)
    if (BasicSoundNumber(F.sounds[t]) != 0) ++d;
  if (eng.Controls.ClickStrokes > 0)
    d = static_cast<int>(static_cast<double>(d) + static_cast<double>(eng.ClickLevel) * g * 0.25);
  return d;
}

int BasicSoundNumber(int stored) { return stored >= 0 && stored <= 16 ? stored : 0; }

float ClampBpm(float bpm) {
  if (!(bpm >= kMinBpm)) return kMinBpm;  // also a value that is not a number
  return bpm > kMaxBpm ? kMaxBpm : bpm;
}

int SamplesForMs(const EngineFormat& format, int ms) {
  return static_cast<int>(static_cast<double>(ms) * static_cast<double>(format.SamplesPerMs));
}

void SetTempo(EngineState& eng, float bpm) {
  eng.CurrentBpm = ClampBpm(bpm);
  eng.MsPerBeat = static_cast<int>(60000.0 / static_cast<double>(eng.CurrentBpm));
  // At 20 bpm a beat has 3000 ms, one frame short of a half; the limit
  // only guards the buffer.
  eng.SamplesPerBeat = std::clamp(SamplesForMs(eng.Format, eng.MsPerBeat), 0, eng.Format.MaxBeatFrames());
}

void SetSliderTempo(EngineState& eng, int bpm) {
  eng.MsPerBeat = 60000 / bpm;
  eng.SamplesPerBeat = SamplesForMs(eng.Format, eng.MsPerBeat);
  eng.CurrentBpm = static_cast<float>(bpm);
}

namespace {
// "%3.2f bpm" of bpm into [out, out + size), NUL-terminated; allocates nothing.
void WriteTempoText(double bpm, char* out, size_t size) {
  char* const end = out + size - 5;  // room for " bpm" and NUL
  const auto r = std::to_chars(out, end, bpm, std::chars_format::fixed, 2);
  char* p = r.ec == std::errc() ? r.ptr : out;
  std::memcpy(p, " bpm", 5);
}
}  // namespace

void FormatBpmText(EngineState& eng) {
  WriteTempoText(static_cast<double>(eng.CurrentBpm), eng.BpmText, sizeof eng.BpmText);
}

std::string TempoText(double bpm) {
  char text[sizeof EngineState::BpmText];
  WriteTempoText(bpm, text, sizeof text);
  return text;
}

int MixBeatTempo(EngineState& eng) {
  const bool basic = eng.Format.BasicMix;
  const bool normalBeat = eng.IntroCounter == 0 && eng.EndingCounter == 0;
  if (!basic) {
    if (eng.ThemePlayback && eng.FormulaBeats > 0)
      eng.CurrentBpm = static_cast<float>(static_cast<double>(eng.CurrentBpm) +
                                          static_cast<double>(eng.EntryAccel) / eng.FormulaBeats);
    SetTempo(eng, eng.CurrentBpm);
  } else if (normalBeat) {
    if (!eng.SilentMix) FormatBpmText(eng);
    if (eng.ThemePlayback && eng.FormulaBeats > 0)
      eng.CurrentBpm = static_cast<float>(static_cast<double>(eng.CurrentBpm) +
                                          static_cast<double>(eng.EntryAccel) / eng.FormulaBeats);
    SetTempo(eng, eng.CurrentBpm);
  }
  return std::clamp(eng.SamplesPerBeat, 0, eng.Format.MaxBeatFrames());
}

bool MixGuitarPart(EngineState& eng, const MixerHooks& hooks, int frames) {
  const MixerControls& ctl = eng.Controls;
  std::fill_n(eng.GuitarBuffer.begin(), frames, int16_t{0});
  const bool guitar = !eng.Format.BasicMix && ctl.GuitarOn && !ctl.MuteButtons[kGuitarSlot] && hooks.EncolaG;
  if (guitar) hooks.EncolaG(eng);
  return guitar;
}

void KeepThemeGain(const EngineState& eng, RhythmTables& rt) {
  if (eng.ClipCount != 0 && eng.ThemePlayback && rt.CurrentTema >= 0 && rt.CurrentTema < kMaxTemas)
    rt.Temas[static_cast<size_t>(rt.CurrentTema)].gain = eng.MasterGain;
}

void QueueMixedHalf(EngineState& eng, const MixerHooks& hooks, int frames) {
  if (eng.SilentMix) return;
  const int16_t* const out = eng.OutputBuffer.data() + eng.OutputOffset;
  if (hooks.QueueBeat) hooks.QueueBeat(eng.OutputHalf, out, static_cast<size_t>(frames) * 4);
  eng.OutputHalf ^= 1;
  eng.OutputOffset = eng.OutputHalf * eng.Format.HalfSamples();
}

namespace mix_steps {

const Formula& BeatFormula(const RhythmTables& rt) {
  const bool formulaOk = rt.CurrentFormula >= 0 && rt.CurrentFormula < kMaxFormulas;
  return formulaOk ? rt.Formulas[static_cast<size_t>(rt.CurrentFormula)] : kEmptyFormula;
}

namespace {

// An intro or an ending beat: where its length in beats is kept, its click
// pattern and the least click sound it plays.
struct FramingBeat {
  int EngineState::*beats;
  int32_t clickPattern;
  int leastClickSound;
};
constexpr FramingBeat kIntroBeat{&EngineState::ThemeIntroBeats, 7, 1};  // the intro always clicks
constexpr FramingBeat kEndingBeat{&EngineState::ThemeEndBeats, 0, 0};   // silent but for the guitar

// A normal beat: every track's strokes of beat CurrentBeat start, and the
// click follows the preset, accented on the formula's accented beats.
void SetUpNormalBeat(EngineState& eng, const Formula& F, int frames) {
  const MixerControls& ctl = eng.Controls;
  const bool basic = eng.Format.BasicMix;
  TrackVoices& tv = eng.Voices;
  eng.ClickLevel = std::clamp(ctl.Nivel, 0, kClickLevelMax);
  if (!basic && !eng.SilentMix) FormatBpmText(eng);
  const int b = eng.CurrentBeat;
  const bool beatOk = b >= 0 && b < kMaxBeats;
  const int tracks = std::clamp(eng.Format.Tracks, 0, kMixTracks);
  for (int t = 0; t < tracks; ++t) {
    const int n = beatOk ? F.StrokeCount(b, t) : 0;
    if (n > 0) {
      tv.TrackSpacing[t] = frames / n;
      tv.TrackWord[t] = F.cells[b][t];
      const int c = TrackStrokeCode(tv.TrackWord[t], 0, basic);
      if (c != 0) {
        tv.TrackPos[t] = 0;
        tv.TrackAttenuation[t] = static_cast<int8_t>(kSilent - c);
      }
    } else {
      tv.TrackSpacing[t] = frames;  // the previous stroke rings on
    }
    tv.TrackCountdown[t] = tv.TrackSpacing[t];
    tv.TrackStroke[t] = 0;
  }
  if (ctl.ClickStrokes > 0) {
    eng.ClickSpacing = static_cast<int>(static_cast<double>(eng.MsPerBeat) *
                                        static_cast<double>(eng.Format.SamplesPerMs) / ctl.ClickStrokes);
    eng.ClickCurrentPattern = (beatOk && F.Accented(b)) ? ctl.ClickAccentPattern : ctl.ClickPlainPattern;
  } else {
    eng.ClickSpacing = 0;
  }
}

ClickSource MakeClickSource(const EngineState& eng, const BancoSonidos& bank, int clickSound) {
  ClickSource c;
  c.on = eng.ClickSpacing != 0 && clickSound != 0;
  c.sound = c.on ? bank.Sound(clickSound) : SoundView{};
  c.level = eng.ClickLevel;
  c.pattern = eng.ClickCurrentPattern;
  c.spacing = eng.ClickSpacing;
  c.voice = Voice{0, kSilent - ClickStrokeCode(c.pattern, 0, eng.Format.BasicMix), eng.ClickCountdown, 0};
  return c;
}

// The tracks that sound in this beat (none in an intro or ending beat whose
// click has an accent); a silent or muted track stands still.
int MakeTrackSources(const EngineState& eng, const Formula& F, const BancoSonidos& bank,
                     std::array<TrackSource, kMixTracks>& sources) {
  const MixerControls& ctl = eng.Controls;
  const TrackVoices& tv = eng.Voices;
  const bool basic = eng.Format.BasicMix;
  const bool tracksOn = eng.ClickLevel < kClickLevelMax ||
                        (ctl.ClickAccentPattern == 0 && eng.IntroCounter == 0 && eng.EndingCounter == 0);
  if (!tracksOn) return 0;
  const int tracks = std::clamp(eng.Format.Tracks, 0, kMixTracks);
  int count = 0;
  for (int t = 0; t < tracks; ++t) {
    const size_t i = static_cast<size_t>(t);
    const int snd = basic ? BasicSoundNumber(F.sounds[t]) : ctl.MuteButtons[i] ? 0 : static_cast<int8_t>(F.sounds[t]);
    if (snd == 0) continue;
    sources[static_cast<size_t>(count++)] = {
        t,
        bank.Sound(snd),
        MakeSpanSetup(ClampPan(ctl.Pan[i]), ClampNum(ctl.TrackGainNum[i]), SafeDen(ctl.TrackGainDen[i])),
        tv.TrackWord[i],
        tv.TrackSpacing[i],
        Voice{tv.TrackPos[i], tv.TrackAttenuation[i], tv.TrackCountdown[i], tv.TrackStroke[i]}};
  }
  return count;
}

// The master gain at the start of the beat, limited; the basic edition
// keeps it and takes the beat's divisor from it.
GainState StartGain(EngineState& eng, const RhythmTables& rt) {
  float gain = eng.MasterGain;
  if (!std::isfinite(gain)) gain = 1.0f;
  gain = std::clamp(gain, -kMaxMasterGain, kMaxMasterGain);
  GainState g;
  g.gain = gain;
  g.thresholdGain = gain;
  g.threshold = ClipThreshold(static_cast<double>(gain));
  g.mono = eng.Controls.Mono;
  if (eng.Format.BasicMix) {
    eng.MasterGain = gain;
    g.basicDivisor = BasicBeatDivisor(eng, rt);
  }
  return g;
}

}  // namespace

int SetUpBeat(EngineState& eng, const Formula& F, int frames) {
  const FramingBeat* const framing = eng.IntroCounter != 0    ? &kIntroBeat
                                     : eng.EndingCounter != 0 ? &kEndingBeat
                                                              : nullptr;
  int leastClickSound = 0;
  if (framing != nullptr) {
    eng.ClickLevel = kClickLevelMax;
    eng.FormulaBeats = eng.*(framing->beats);
    eng.FormulaStartBeat = 0;
    eng.ClickSpacing = SamplesForMs(eng.Format, eng.MsPerBeat);
    eng.ClickCurrentPattern = framing->clickPattern;
    leastClickSound = framing->leastClickSound;
  } else {
    SetUpNormalBeat(eng, F, frames);
  }
  // The click restarts at every beat.
  eng.ClickCountdown = eng.ClickSpacing;
  // The click sound as CBMetro shows it; nothing selected there (after the
  // list was reloaded) is no click.
  return std::max(eng.Controls.ClickSound, leastClickSound);
}

BeatMix PrepareBeatMix(EngineState& eng, const RhythmTables& rt, const BancoSonidos& bank, int clickSound,
                       bool guitar, int frames) {
  const MixerControls& ctl = eng.Controls;
  BeatMix m;
  m.kernels = &MixKernels();
  m.basic = eng.Format.BasicMix;
  m.frames = frames;
  m.blockFrames = std::min<int>(kBlockFrames, static_cast<int>(eng.MixLeft.size()));
  m.guitar = guitar;
  m.guitarData = eng.GuitarBuffer.data();
  m.guitarSetup = MakeSpanSetup(ClampPan(ctl.GuitarPan), ClampNum(ctl.GuitarGainNum), SafeDen(ctl.GuitarGainDen));
  m.click = MakeClickSource(eng, bank, clickSound);
  m.trackCount = MakeTrackSources(eng, BeatFormula(rt), bank, m.tracks);
  m.gain = StartGain(eng, rt);
  eng.OutputHalf &= 1;
  eng.OutputOffset = eng.OutputHalf * eng.Format.HalfSamples();
  m.left = eng.MixLeft.data();
  m.right = eng.MixRight.data();
  m.out = eng.OutputBuffer.data() + eng.OutputOffset;
  return m;
}

void AddGuitarBlock(const BeatMix& m, int b0, int b1, int32_t* left, int32_t* right) {
  if (m.guitar) AddSpan(*m.kernels, m.guitarSetup, m.guitarData + b0, b1 - b0, left, right, 0);
}

void AddClickBlock(BeatMix& m, int b0, int b1, int32_t* left, int32_t* right) {
  ClickSource& c = m.click;
  if (!c.on) return;
  const Kernels& k = *m.kernels;
  const bool basic = m.basic;
  const int level = c.level;
  const int32_t pattern = c.pattern;
  RunVoice(
      c.voice, c.spacing, b0, b1, c.sound,
      [&](const int16_t* s, int n, int f, int a) {
        if (level != 0) k.click(s, n, left + (f - b0), right + (f - b0), a + 3, level);
      },
      [&](Voice& cv) {
        // A rest stroke silences the click.
        cv.attenuation = kSilent - ClickStrokeCode(pattern, cv.stroke, basic);
        cv.pos = 0;
      });
}

void AddTrackBlocks(BeatMix& m, int b0, int b1, int32_t* left, int32_t* right) {
  const Kernels& k = *m.kernels;
  const bool basic = m.basic;
  for (int i = 0; i < m.trackCount; ++i) {
    TrackSource& src = m.tracks[static_cast<size_t>(i)];
    const int track = src.track;
    const int32_t word = src.word;
    const SpanSetup setup = src.setup;
    RunVoice(
        src.voice, src.spacing, b0, b1, src.sound,
        [&](const int16_t* s, int n, int f, int a) {
          if (basic)
            BasicTrackSpan(s, n, left + (f - b0), right + (f - b0), a, track);
          else
            AddSpan(k, setup, s, n, left + (f - b0), right + (f - b0), a);
        },
        [&](Voice& w) {
          const int c = TrackStrokeCode(word, w.stroke, basic);
          if (c != 0) {  // a rest lets the sounding stroke ring on
            w.pos = 0;
            w.attenuation = kSilent - c;
          }
        });
  }
}

void ScaleBlock(BeatMix& m, const int32_t* left, const int32_t* right, int n, int16_t* out) {
  GainState& g = m.gain;
  if (m.basic) {
    g.gain = ScaleFramesBasic(left, right, n, g.gain, g.basicDivisor, g.mono, out, g.clips);
    return;
  }
  // Chunks that do not clip at the current gain in one go, the others frame
  // by frame, where the gain may fall.
  const ScaleFn scaleUnclipped = m.kernels->scale[g.mono ? 1 : 0];
  for (int c0 = 0; c0 < n; c0 += kGainChunk) {
    const int k = std::min(kGainChunk, n - c0);
    int16_t* const o = out + 2 * c0;
    if (g.gain != g.thresholdGain) {
      g.thresholdGain = g.gain;
      g.threshold = ClipThreshold(static_cast<double>(g.gain));
    }
    if (!scaleUnclipped(left + c0, right + c0, k, static_cast<double>(g.gain), g.threshold, o))
      g.gain = ScaleFrames(left + c0, right + c0, k, g.gain, g.mono, o, g.clips);
  }
}

void MixBeatBlocks(BeatMix& m) {
  int32_t* const left = m.left;
  int32_t* const right = m.right;
  for (int b0 = 0; b0 < m.frames; b0 += m.blockFrames) {
    const int b1 = std::min(m.frames, b0 + m.blockFrames);
    const int n = b1 - b0;
    std::fill_n(left, n, 0);
    std::fill_n(right, n, 0);
    AddGuitarBlock(m, b0, b1, left, right);
    AddClickBlock(m, b0, b1, left, right);
    AddTrackBlocks(m, b0, b1, left, right);
    ScaleBlock(m, left, right, n, m.out + 2 * b0);
  }
}

void FinishBeatMix(const BeatMix& m, EngineState& eng) {
  if (m.click.on) eng.ClickCountdown = m.click.voice.countdown;
  TrackVoices& tv = eng.Voices;
  for (int i = 0; i < m.trackCount; ++i) {
    const TrackSource& src = m.tracks[static_cast<size_t>(i)];
    const size_t t = static_cast<size_t>(src.track);
    tv.TrackPos[t] = src.voice.pos;
    tv.TrackAttenuation[t] = static_cast<int8_t>(src.voice.attenuation);
    tv.TrackCountdown[t] = src.voice.countdown;
    tv.TrackStroke[t] = src.voice.stroke;
  }
  eng.MasterGain = m.gain.gain;
  eng.ClipCount += m.gain.clips;
}

}  // namespace mix_steps

void MixNextBeat(EngineState& eng, RhythmTables& rt, const BancoSonidos& bank, const MixerHooks& hooks) {
  const int frames = MixBeatTempo(eng);
  const bool guitar = MixGuitarPart(eng, hooks, frames);
  const int clickSound = mix_steps::SetUpBeat(eng, mix_steps::BeatFormula(rt), frames);
  mix_steps::BeatMix mix = mix_steps::PrepareBeatMix(eng, rt, bank, clickSound, guitar, frames);
  mix_steps::MixBeatBlocks(mix);
  mix_steps::FinishBeatMix(mix, eng);
  KeepThemeGain(eng, rt);  // once a frame has clipped, the theme keeps the lowered gain
  QueueMixedHalf(eng, hooks, frames);
}

// --- mixer controls ---------------------------------------------------------

void TrackGainFor(int volume, int* num, int* den) {
  const int v = std::clamp(volume, 1, 16);
  if (v >= 8) {
    *num = v - 7;
    *den = 1;
  } else {
    *num = 1;
    *den = 9 - v;
  }
}

void SetTrackControlsFromTema(MixerControls& c, const uint8_t* pan17, const uint8_t* volume17) {
  for (int t = 0; t < kMixTracks; ++t) {
    c.Pan[static_cast<size_t>(t)] = std::min<int>(pan17[t], kPanFull);
    TrackGainFor(volume17[t], &c.TrackGainNum[static_cast<size_t>(t)], &c.TrackGainDen[static_cast<size_t>(t)]);
  }
}

bool SetClickPreset(MixerControls& c, char code, bool basicLevels) {
  struct Preset {
    char code;
    int32_t accent;
    int32_t plain;
    int strokes;
  };
  static constexpr Preset kPresets[] = {
      {'0', 0, 0, 0},           {'1', 7, 5, 1},           {'2', 47, 29, 2},
      {'3', 367, 365, 3},       {'4', 2927, 2925, 4},     {'5', 23407, 23405, 5},
      {'6', 187247, 187245, 6}, {'P', 7, 0, 1},
  };
  // The basic edition's click words: 2-bit levels, 3 on the accent.
  static constexpr Preset kBasicPresets[] = {
      {'0', 0, 0, 0},       {'1', 3, 1, 1},       {'2', 7, 5, 2},       {'3', 23, 21, 3},
      {'4', 87, 85, 4},     {'5', 343, 341, 5},   {'6', 1367, 1365, 6}, {'P', 3, 0, 1},
  };
  for (const Preset& p : basicLevels ? std::span<const Preset>(kBasicPresets) : std::span<const Preset>(kPresets)) {
    if (p.code != code) continue;
    c.ClickAccentPattern = p.accent;
    c.ClickPlainPattern = p.plain;
    c.ClickStrokes = p.strokes;
    c.ClickPatternCode = p.code;
    if (code != '0' && c.ClickSound < 2) c.ClickSound = 1;
    return true;
  }
  return false;
}

void SoloButtonsChanged(MixerControls& c) {
  const bool any = std::find(c.SoloButtons.begin(), c.SoloButtons.end(), true) != c.SoloButtons.end();
  for (size_t i = 0; i < c.MuteButtons.size(); ++i) c.MuteButtons[i] = any && !c.SoloButtons[i];
}

void MuteButtonsChanged(MixerControls& c) { c.SoloButtons.fill(false); }
