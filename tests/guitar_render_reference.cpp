// The reference renderer: the beat renderer's loop exactly as it was before
// it was rebuilt for speed (see guitar_render_reference.h). Do not change it.
#include "guitar_render_reference.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// Plays a voice (end, position, strength, step) into out[l .. stop): each
// source sample moves the position; a made value is added to out[l] and
// moves l. A continues across calls.
void RunVoice(int vEnd, int& vPosition, int vStrength, const Shift& shift, const SoundView& rec, int64_t& A,
              int64_t& l, int64_t stop, int16_t* out) {
  if (!shift.ok || rec.length <= 0 || vPosition < 0) return;
  const int end = std::min(vEnd, rec.length);
  const int strength = std::clamp(vStrength, 0, kMaxStrength);
  int position = vPosition;
  while (position < end && l < stop) {
    const int p = position++;
    A -= shift.fromFixed;
    if (A <= 0) {
      const int value = PitchValue(shift, rec, p, A, end);
      A += shift.toFixed;
      out[l] = AddWrapped(out[l], ScaledSample(value, strength));
      ++l;
    }
  }
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

void ReferenceRenderGuitarBeat(const TiempoG& beat, int samplesPerBeat, int capo, const GuitarTuning& tuning,
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
