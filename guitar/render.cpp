#include "guitar/render.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

#include "engine/engine_state.h"

namespace {

constexpr int kStrengthDivisor = 42;  // strength 7 gives a sixth of the recording

int16_t AddWrapped(int16_t a, int value) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint16_t>(a) + static_cast<uint16_t>(value)));
}

int ScaledSample(int s, int strength) { return s * strength / kStrengthDivisor; }

// The two frequencies of a note's pitch shift; ok is false when either note
// lies outside the table.
struct Shift {
  double from = 0;
  double to = 0;
  // The same in units of 2^-20: every frequency of the table is a float of
  // at least 55, so a multiple of 2^-18, and the accumulator's sums are
  // exact in double too; integer steps make the very same decisions, with a
  // shorter chain from one sample to the next.
  int64_t fromFixed = 0;
  int64_t toFixed = 0;
  // 2^48 / fromFixed: turns what is left of a source sample's share into a
  // weight of 2^-16 units without a division per value.
  int64_t weightScale = 0;
  bool ok = false;
};

constexpr double kFixedScale = 1048576.0;  // 2^20

Shift ShiftOf(const GuitarTuning& tuning, int stringIndex, int step) {
  const int o = tuning.StringTuning[static_cast<size_t>(stringIndex)];
  Shift s;
  if (step < 0 || step >= kNoteCount || !NoteInTable(o) || !NoteInTable(o + step)) return s;
  s.from = tuning.TablaNotas[static_cast<size_t>(o)].frequency;
  s.to = tuning.TablaNotas[static_cast<size_t>(o + step)].frequency;
  s.fromFixed = static_cast<int64_t>(s.from * kFixedScale);
  s.toFixed = static_cast<int64_t>(s.to * kFixedScale);
  // Exactly representable, as the table's floats are.
  s.ok = s.fromFixed > 0 && static_cast<double>(s.fromFixed) == s.from * kFixedScale &&
         static_cast<double>(s.toFixed) == s.to * kFixedScale;
  if (s.ok) s.weightScale = (int64_t{1} << 48) / s.fromFixed;
  return s;
}

// The value made at source sample p, the accumulator A having just crossed
// 0 there (-fromFixed <= A <= 0). The exact place lies (fromFixed + A) /
// fromFixed of a sample after p: the value is taken that far towards the
// next sample (an open string, with A at -fromFixed, keeps p's own sample;
// past the recording the last sample holds). Within kFadeSamples of an end
// that cuts the recording short it fades linearly down to nothing (the
// recording's own end is its own fade).
int PitchValue(const Shift& shift, const SoundView& rec, int p, int64_t A, int end) {
  const int s = rec.data[p];
  const int next = p + 1 < rec.length ? rec.data[p + 1] : s;
  const int64_t weight = ((shift.fromFixed + A) * shift.weightScale) >> 32;  // 0 .. 65536
  int value = s + static_cast<int>((static_cast<int64_t>(next - s) * weight) >> 16);
  const int left = end - p;
  if (left < kFadeSamples && end < rec.length) value = value * left / kFadeSamples;
  return value;
}

// One stretch of a voice: the plain loop, one source sample at a time. Each
// source sample moves the position; a made value is added to out[l] and
// moves l. Stops at the end, at `stop` or, when `settle` is set, as soon as a
// value has been made whose accumulator lies above -fromFixed (or the note
// keeps every sample): from such a value on, the next ones follow the rule
// the vector loop counts with.
void PlainSteps(const Shift& shift, const SoundView& rec, int end, int strength, int& position, int64_t& A,
                int64_t& l, int64_t stop, int16_t* out, bool settle) {
  const bool everySample = shift.toFixed == shift.fromFixed;
  while (position < end && l < stop) {
    const int p = position++;
    A -= shift.fromFixed;
    if (A <= 0) {
      const int value = PitchValue(shift, rec, p, A, end);
      const bool settled = A > -shift.fromFixed || everySample;
      A += shift.toFixed;
      out[l] = AddWrapped(out[l], ScaledSample(value, strength));
      ++l;
      if (settle && settled) return;
    }
  }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VELARTO_GUITAR_AVX2 1

// The same stretch eight values at a time. After the plain loop has made a
// settled value, every next value follows from the one before: with a the
// accumulator at a made value (-fromFixed < a <= 0) and to = q fromFixed + r,
// the next value comes q source samples later, or q + 1 when a + r > 0, with
// the accumulator a + r, less fromFixed in the second case. Eight lanes hold
// eight consecutive values and step eight values at a time the same way; each
// lane then makes its value exactly as PitchValue and ScaledSample do:
//   weight = ((fromFixed + a) x weightScale) >> 32, in 64-bit products;
//   s + ((next - s) x weight) >> 16 as (s << 16 + (next - s) x weight) >> 16,
//     whose sum always fits in 32 bits (it lies between s << 16 and next << 16);
//   the fade's value x left / kFadeSamples in single precision, correctly
//     rounded and exact after truncation (the quotient is below 2^15, and a
//     fraction of it is at least 1 / kFadeSamples);
//   trunc(value x strength / 42) as trunc(|value| x fl(strength / 42) + 0.01)
//     with value's sign: the product is within 7e-4 of the quotient, whose
//     fraction is 0 or lies in 1/42 .. 41/42.
// Each lane reads its sample and the next one as one 32-bit pair. When eight
// values span at most 16 source samples (a note up to an octave above its
// string), the pairs come from two loads of 16 samples, one a sample later
// than the other, by a permutation; above that by a gather. The lanes stop
// before the reads would pass the recording's end; the plain loop finishes
// the stretch.
struct LaneSetup {
  __m256i from;       // fromFixed
  __m256i rest;       // 8 to mod fromFixed
  __m256i skip;       // 8 to div fromFixed
  __m256i weightScale;
  __m256i end;
  __m256i fade;       // kFadeSamples
  __m256 fadeDivisor;
  __m256 scale;       // strength / 42
  __m256 nudge;
  const int16_t* data;
};

// `groups` times eight values into out[l ..).
template <bool Gather, bool Fade>
__attribute__((target("avx2"), always_inline)) inline int64_t RunLanes(const LaneSetup& c, __m256i& vp, __m256i& va,
                                                                       int64_t l, int64_t groups,
                                                                       int16_t* __restrict out, __m256i& lastP,
                                                                       __m256i& lastA) {
  const __m256i zero = _mm256_setzero_si256();
  for (int64_t g = 0; g < groups; ++g) {
    // weight, 0 .. 65536
    const __m256i u = _mm256_add_epi32(va, c.from);
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(u, c.weightScale), 32);
    const __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(u, 32), c.weightScale);
    const __m256i weight = _mm256_blend_epi32(even, odd, 0xAA);
    // each lane's sample and the next one
    __m256i pair;
    if constexpr (Gather) {
      pair = _mm256_i32gather_epi32(reinterpret_cast<const int*>(c.data), vp, 2);
    } else {
      const int p0 = _mm256_cvtsi256_si32(vp);
      const __m256i at = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(c.data + p0));
      const __m256i after = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(c.data + p0 + 1));
      const __m256i offset = _mm256_sub_epi32(vp, _mm256_set1_epi32(p0));
      const __m256i half = _mm256_srli_epi32(offset, 1);
      pair = _mm256_castps_si256(_mm256_blendv_ps(_mm256_castsi256_ps(_mm256_permutevar8x32_epi32(at, half)),
                                                  _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(after, half)),
                                                  _mm256_castsi256_ps(_mm256_slli_epi32(offset, 31))));
    }
    const __m256i s = _mm256_srai_epi32(_mm256_slli_epi32(pair, 16), 16);
    const __m256i next = _mm256_srai_epi32(pair, 16);
    __m256i value = _mm256_srai_epi32(
        _mm256_add_epi32(_mm256_slli_epi32(s, 16), _mm256_mullo_epi32(_mm256_sub_epi32(next, s), weight)), 16);
    if constexpr (Fade) {
      const __m256i left = _mm256_sub_epi32(c.end, vp);
      const __m256i fading = _mm256_cmpgt_epi32(c.fade, left);
      const __m256 x = _mm256_cvtepi32_ps(_mm256_mullo_epi32(value, left));
      const __m256i faded = _mm256_cvttps_epi32(_mm256_div_ps(x, c.fadeDivisor));
      value = _mm256_blendv_epi8(value, faded, fading);
    }
    const __m256 magnitude = _mm256_cvtepi32_ps(_mm256_abs_epi32(value));
    const __m256i scaled =
        _mm256_sign_epi32(_mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(magnitude, c.scale), c.nudge)), value);
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(scaled, zero), 0x08);
    int16_t* const o = out + l;
    const __m128i sum =
        _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(o)), _mm256_castsi256_si128(packed));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), sum);
    l += 8;
    lastP = vp;
    lastA = va;
    // the next eight values
    const __m256i a = _mm256_add_epi32(va, c.rest);
    const __m256i over = _mm256_cmpgt_epi32(a, zero);
    va = _mm256_sub_epi32(a, _mm256_and_si256(over, c.from));
    vp = _mm256_sub_epi32(_mm256_add_epi32(vp, c.skip), over);
  }
  return l;
}

template <bool Gather>
__attribute__((target("avx2"))) int64_t RunAllLanes(const LaneSetup& c, __m256i& vp, __m256i& va, int64_t l,
                                                    int64_t plainGroups, int64_t fadingGroups, int16_t* out,
                                                    __m256i& lastP, __m256i& lastA) {
  l = RunLanes<Gather, false>(c, vp, va, l, plainGroups, out, lastP, lastA);
  return RunLanes<Gather, true>(c, vp, va, l, fadingGroups, out, lastP, lastA);
}

// How many values after the one made at source sample pe, with the
// accumulator ae there (a settled value), are made from samples before
// `limit`: the k-th comes ceil((ae + k to) / fromFixed) samples later (k
// samples when the note keeps every sample).
int64_t ValuesBefore(int64_t limit, int pe, int ae, int64_t f, int64_t t) {
  const int64_t n = limit - 1 - pe;  // samples after pe and before limit
  if (n < 1) return 0;
  return t == f ? n : (n * f - ae) / t;
}

__attribute__((target("avx2"))) void VectorSteps(const Shift& shift, const SoundView& rec, int end, int strength,
                                                 int& position, int64_t& A, int64_t& l, int64_t stop,
                                                 int16_t* out) {
  PlainSteps(shift, rec, end, strength, position, A, l, stop, out, true);
  const int64_t f = shift.fromFixed;
  const int64_t t = shift.toFixed;
  // Eight values span at most ceil(7 to / fromFixed) + 1 samples.
  const bool gather = 7 * t / f + 2 > 16;
  const int readLimit = gather ? std::min(end, rec.length - 1) : std::min(end, rec.length - 16);
  if (l + 8 > stop || position >= readLimit) {
    PlainSteps(shift, rec, end, strength, position, A, l, stop, out, false);
    return;
  }
  const int q1 = static_cast<int>(t / f);
  const int r1 = static_cast<int>(t % f);
  // The value made last, then the next eight.
  int pe = position - 1;
  int ae = static_cast<int>(A - t);
  alignas(32) int lp[8];
  alignas(32) int la[8];
  for (int j = 0; j < 8; ++j) {
    ae += r1;
    pe += q1;
    if (ae > 0) {
      ae -= static_cast<int>(f);
      ++pe;
    }
    lp[j] = pe;
    la[j] = ae;
  }
  __m256i vp = _mm256_load_si256(reinterpret_cast<const __m256i*>(lp));
  __m256i va = _mm256_load_si256(reinterpret_cast<const __m256i*>(la));
  LaneSetup c;
  c.from = _mm256_set1_epi32(static_cast<int>(f));
  c.rest = _mm256_set1_epi32(static_cast<int>(8 * t % f));
  c.skip = _mm256_set1_epi32(static_cast<int>(8 * t / f));
  c.weightScale = _mm256_set1_epi64x(shift.weightScale);
  c.end = _mm256_set1_epi32(end);
  c.fade = _mm256_set1_epi32(kFadeSamples);
  c.fadeDivisor = _mm256_set1_ps(static_cast<float>(kFadeSamples));
  c.scale = _mm256_set1_ps(static_cast<float>(strength) / static_cast<float>(kStrengthDivisor));
  c.nudge = _mm256_set1_ps(0.01f);
  c.data = rec.data;
  // Lanes up to end - kFadeSamples need no fade; the recording's own end is
  // its own fade.
  const int fadeLimit = end < rec.length ? end - kFadeSamples + 1 : readLimit;
  const int64_t room = stop - l;
  const int64_t allGroups = std::min(ValuesBefore(readLimit, position - 1, static_cast<int>(A - t), f, t), room) / 8;
  const int64_t plainGroups =
      std::min(std::min(ValuesBefore(fadeLimit, position - 1, static_cast<int>(A - t), f, t), room) / 8, allGroups);
  __m256i lastP = vp;
  __m256i lastA = va;
  const int64_t l0 = l;
  l = gather ? RunAllLanes<true>(c, vp, va, l, plainGroups, allGroups - plainGroups, out, lastP, lastA)
             : RunAllLanes<false>(c, vp, va, l, plainGroups, allGroups - plainGroups, out, lastP, lastA);
  if (l != l0) {
    position = _mm256_extract_epi32(lastP, 7) + 1;
    A = static_cast<int64_t>(_mm256_extract_epi32(lastA, 7)) + t;
  }
  PlainSteps(shift, rec, end, strength, position, A, l, stop, out, false);
}

bool ProcessorHasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}
#else
bool ProcessorHasAvx2() { return false; }
#endif

std::atomic<bool>& UseVectors() {
  static std::atomic<bool> use{ProcessorHasAvx2()};
  return use;
}

// Plays a voice (end, position, strength, step) into out[l .. stop): each
// source sample moves the position; a made value is added to out[l] and
// moves l. A continues across calls.
void RunVoice(int vEnd, int& vPosition, int vStrength, const Shift& shift, const SoundView& rec, int64_t& A,
              int64_t& l, int64_t stop, int16_t* out) {
  if (!shift.ok || rec.length <= 0 || vPosition < 0) return;
  const int end = std::min(vEnd, rec.length);
  const int strength = std::clamp(vStrength, 0, kMaxStrength);
  int position = vPosition;
#ifdef VELARTO_GUITAR_AVX2
  if (stop - l >= 16 && UseVectors().load(std::memory_order_relaxed)) {
    VectorSteps(shift, rec, end, strength, position, A, l, stop, out);
    vPosition = position;
    return;
  }
#endif
  PlainSteps(shift, rec, end, strength, position, A, l, stop, out, false);
  vPosition = position;
}

// The sounding note of the voice, and the note it cut, fading.
void RunMain(GuitarVoice& v, const Shift& shift, const SoundView& rec, int64_t& A, int64_t& l, int64_t stop,
             int16_t* out) {
  RunVoice(v.end, v.position, v.strength, shift, rec, A, l, stop, out);
}
void RunTail(GuitarVoice& v, const Shift& shift, const SoundView& rec, int64_t& A, int64_t& l, int64_t stop,
             int16_t* out) {
  if (v.tailStrength == 0) return;
  RunVoice(v.tailEnd, v.tailPosition, v.tailStrength, shift, rec, A, l, stop, out);
  if (v.tailPosition >= std::min(v.tailEnd, rec.length)) v.tailStrength = 0;
}

// The sounding note is cut here: it goes on as the voice's tail and fades
// out over kFadeSamples source samples.
void CutVoice(GuitarVoice& v, int recLength) {
  const int end = std::min(v.end, recLength);
  if (v.strength <= 0 || v.position < 0 || v.position >= end) {
    v.tailStrength = 0;
    return;
  }
  v.tailEnd = std::min(end, v.position + kFadeSamples);
  v.tailPosition = v.position;
  v.tailStrength = v.strength;
  v.tailStep = v.step;
}

int NoteStrength(uint8_t strength) { return std::min<int>(strength, kMaxStrength); }

int DivisionCount(const TiempoG& beat) { return std::clamp<int>(beat.divisions, 1, kMaxDivisions); }

// fret + Capo; a capo beyond the table is limited so the sum cannot overflow.
int NoteStep(uint8_t fret, int capo) { return fret + std::clamp(capo, -kNoteCount, kNoteCount); }

}  // namespace

GuitarResampler ActiveGuitarResampler() {
  return UseVectors().load(std::memory_order_relaxed) ? GuitarResampler::Vector : GuitarResampler::Plain;
}

void SelectGuitarResampler(GuitarResampler r) {
  UseVectors().store(r == GuitarResampler::Vector && ProcessorHasAvx2(), std::memory_order_relaxed);
}

void ResetGuitarVoices(GuitarVoiceState& voices, bool themeStart) {
  for (GuitarVoice& v : voices) {
    v.position = 0;
    v.strength = 0;
    v.tailStrength = 0;
    v.tailPosition = 0;
    if (themeStart) v.end = 0;
  }
}

void RenderGuitarBeat(const TiempoG& beat, int samplesPerBeat, int capo, const GuitarTuning& tuning,
                      const BancoGuitarra& bank, GuitarVoiceState& voices, int16_t* out, size_t outValues) {
  if (out == nullptr || samplesPerBeat <= 0) return;
  const int n = DivisionCount(beat);
  const int64_t limit = static_cast<int64_t>(std::min(static_cast<size_t>(samplesPerBeat), outValues));
  const float h = static_cast<float>(static_cast<double>(samplesPerBeat) / n);
  for (int i = 0; i < n; ++i) {
    const DivisionG& d = beat.division[i];
    const long double start = static_cast<long double>(i) * h;
    const int64_t first = static_cast<int64_t>(start);
    // The last division ends with the beat: (i + 1) h may fall a hair short
    // of samplesPerBeat, which would leave its last frame silent.
    const int64_t m =
        i == n - 1 ? limit : std::min(static_cast<int64_t>(static_cast<long double>(i + 1) * h), limit);
    for (int j = 0; j < kGuitarStrings; ++j) {
      GuitarVoice& v = voices[static_cast<size_t>(j)];
      const SoundView rec = bank.String(j);
      const int64_t k = static_cast<int64_t>(start + static_cast<long double>(d.delay[j]) * h * 0.01L);
      const int64_t onset = std::min(k, m);
      int64_t l = first;
      int64_t A = 0;  // the accumulator, in units of 2^-20 Hz
      int64_t tl = first;
      int64_t tailA = 0;
      // The sounding note rings on up to the new note's onset, and so does
      // the fading end of a note cut before.
      RunMain(v, ShiftOf(tuning, j, v.step), rec, A, l, onset, out);
      RunTail(v, ShiftOf(tuning, j, v.tailStep), rec, tailA, tl, onset, out);
      l = k;
      if (d.strength[j] != 0) {
        const int len = rec.length;
        const int step = NoteStep(d.fret[j], capo);
        const bool playable = ShiftOf(tuning, j, step).ok;
        // Any new attack, a "Silencio" and a note the table cannot sound cut
        // the sounding note: it fades out from the onset on. "Ligado" goes
        // on from it, as a mode we do not know keeps the position.
        const bool attack = d.mode[j] == kModeNormal || d.mode[j] == kModeTapado || d.mode[j] == kModeSilencio;
        if (attack || !playable) {
          CutVoice(v, len);
          tl = k;
          tailA = A;
        }
        v.end = len;
        switch (d.mode[j]) {
          case kModeNormal: v.position = 0; break;
          case kModeLigado:
            if (v.position > len / 2) v.position /= 2;
            break;
          case kModeTapado: v.position = 0; break;
          case kModeSilencio: v.position = len; break;
          default: break;
        }
        if (d.mode[j] == kModeTapado) v.end = kTapadoSamples;
        v.strength = NoteStrength(d.strength[j]);
        v.step = step;
        // A note the table cannot sound silences its string.
        if (!playable) {
          v.strength = 0;
          v.position = v.end;
        }
      }
      RunMain(v, ShiftOf(tuning, j, v.step), rec, A, l, m, out);
      RunTail(v, ShiftOf(tuning, j, v.tailStep), rec, tailA, tl, m, out);
    }
  }
}

int64_t DivisionStartFrame(int samplesPerBeat, int divisions, int i) {
  const int n = std::clamp(divisions, 1, kMaxDivisions);
  const float h = static_cast<float>(static_cast<double>(std::max(samplesPerBeat, 0)) / n);
  return static_cast<int64_t>(static_cast<long double>(i) * h);
}

bool PlayingTiempoG(const GuitarTrackView& track, int compas, int beat, TiempoG* out) {
  if (track.beats == nullptr || track.bars == nullptr || compas < 1 || compas > track.barCount || beat < 0)
    return false;
  const uint64_t barStart = track.bars[compas - 1];
  const uint64_t barEnd = track.bars[compas];
  const uint64_t offset = barStart + static_cast<uint64_t>(beat) * kBeatBytes;
  if (barStart % kBeatBytes != 0 || offset + kBeatBytes > barEnd) return false;
  const uint64_t slot = offset / kBeatBytes;
  if (slot >= track.slotCount) return false;
  *out = track.beats[slot];
  return true;
}

bool EncolaGuitar(EngineState& eng, const GuitarTrackView& track, const GuitarTuning& tuning,
                  const BancoGuitarra& bank, int capo, GuitarVoiceState& voices, TiempoG* currentTiempoG) {
  if (eng.IntroCounter != 0) return false;
  TiempoG beat;
  if (!PlayingTiempoG(track, eng.CurrentCompas, eng.CurrentBeat, &beat)) return false;
  if (!eng.SilentMix && currentTiempoG != nullptr) *currentTiempoG = beat;
  RenderGuitarBeat(beat, eng.SamplesPerBeat, capo, tuning, bank, voices, eng.GuitarBuffer.data(),
                   eng.GuitarBuffer.size());
  return true;
}

size_t RenderBeatAudition(const TiempoG& beat, int samplesPerBeat, int capo, const GuitarTuning& tuning,
                          const BancoGuitarra& bank, int16_t* buf, size_t bufValues) {
  if (buf == nullptr) return 0;
  std::fill_n(buf, bufValues, int16_t{0});
  const int n = DivisionCount(beat);
  const int e = std::max(samplesPerBeat, 0) / n;
  size_t highest = 0;
  for (int i = 0; i < n; ++i) {
    const DivisionG& d = beat.division[i];
    for (int j = 0; j < kGuitarStrings; ++j) {
      if (d.strength[j] == 0) continue;
      const SoundView rec = bank.String(j);
      int p = 0;
      int end = rec.length;
      switch (d.mode[j]) {
        case kModeNormal: break;
        case kModeLigado: p = rec.length / 4; break;
        case kModeTapado: end = std::min(kTapadoSamples, rec.length); break;
        default: continue;  // "Silencio" plays nothing, nor does a mode we do not know
      }
      const Shift shift = ShiftOf(tuning, j, NoteStep(d.fret[j], capo));
      if (!shift.ok) continue;
      const int strength = NoteStrength(d.strength[j]);
      // Frames start on an even index: left, then right.
      size_t x = 2 * static_cast<size_t>(static_cast<double>(e) * i + static_cast<double>(e) * d.delay[j] * 0.01);
      int64_t A = 0;
      while (p < end && x + 1 < bufValues) {
        const int q = p++;
        A -= shift.fromFixed;
        if (A <= 0) {
          const int value = PitchValue(shift, rec, q, A, end);
          A += shift.toFixed;
          buf[x] = AddWrapped(buf[x], ScaledSample(value, strength));
          buf[x + 1] = buf[x];
          x += 2;
        }
      }
      highest = std::max(highest, std::min(x, bufValues));
    }
  }
  return highest;
}

size_t RenderGuitarNote(int stringNumber, int semitones, const GuitarTuning& tuning, const BancoGuitarra& bank,
                        int16_t* buf, size_t bufValues) {
  if (buf == nullptr || stringNumber < 1 || stringNumber > kGuitarStrings) return 0;
  const int i = kGuitarStrings - stringNumber;
  const Shift shift = ShiftOf(tuning, i, semitones);
  if (!shift.ok) return 0;
  const SoundView rec = bank.String(i);
  const size_t maxFrames = bufValues / 2;
  size_t frames = 0;
  double A = 0;
  int64_t sum = 0;
  int count = 0;
  for (int p = 0; p < rec.length && frames < maxFrames; ++p) {
    sum += rec.data[p];
    ++count;
    A -= shift.from;
    if (A < 0) {
      A += shift.to;
      const int16_t v = static_cast<int16_t>(sum / count);
      buf[2 * frames] = v;
      buf[2 * frames + 1] = v;
      ++frames;
      sum = 0;
      count = 0;
    }
  }
  return frames;
}

void GuitarVolume(int position, int* num, int* den, std::string* hint) {
  const int v = std::clamp(position, 1, 16);
  if (v < 8) {
    *num = 4;
    *den = 9 - v;
    if (hint) *hint = "1/" + std::to_string(9 - v);
  } else {
    *num = 4 * (v - 7);
    *den = 1;
    if (hint) *hint = "x" + std::to_string(v - 7);
  }
}

std::string GuitarPanHint(int position) { return std::to_string(position - 16); }
