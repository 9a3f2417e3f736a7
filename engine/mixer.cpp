#include "engine/mixer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

#include "engine/sound_bank.h"
#include "rhythm/records.h"

// The frame loop of a beat is computed source by source: each track, the
// click and the guitar add their share of every frame into the beat's left
// and right sums, and a last pass applies the master gain frame by frame.
// A source's share of a frame depends only on its own state, so this gives
// the same sums as visiting every source in every frame, and it lets each
// stretch of a sound between two strokes run as one tight loop.

namespace {

constexpr int kPanFull = 32;
constexpr int kClickLevelMax = 16;
constexpr int kGainNumMax = 16;   // the volume sliders give at most 9
constexpr int kSilent = 7;        // attenuation of a voice that sounds nothing
constexpr float kMaxMasterGain = 1000.0f;
constexpr double kGainFloor = 0.01;
constexpr double kGainStep = 0.001;

const Formula kEmptyFormula{};

// Stroke s of a 3-bit stroke word (logical shift); strokes past the word are rests.
int StrokeCode(int32_t word, int stroke) {
  if (stroke < 0 || 3 * stroke >= 32) return 0;
  return static_cast<int>((static_cast<uint32_t>(word) >> (3 * stroke)) & 7u);
}

// n consecutive samples of a track at one level (divisor D = attenuation + 1),
// one pan and one gain num / G, added into the sums.
template <int D, int G>
void AddTrackSpan(const int16_t* __restrict s, int n, int32_t* __restrict left, int32_t* __restrict right,
                  int pan, int num, int /*den*/) {
  const int32_t p = pan;
  const int32_t q = kPanFull - pan;
  for (int k = 0; k < n; ++k) {
    const int32_t x = static_cast<int32_t>(s[k]) / D;
    right[k] += ((p * x) >> 5) * num / G;
    left[k] += ((q * x) >> 5) * num / G;
  }
}

// The same for a gain denominator outside 1..8.
template <int D>
void AddTrackSpanAnyDen(const int16_t* __restrict s, int n, int32_t* __restrict left, int32_t* __restrict right,
                        int pan, int num, int den) {
  const int32_t p = pan;
  const int32_t q = kPanFull - pan;
  for (int k = 0; k < n; ++k) {
    const int32_t x = static_cast<int32_t>(s[k]) / D;
    right[k] += ((p * x) >> 5) * num / den;
    left[k] += ((q * x) >> 5) * num / den;
  }
}

using SpanFn = void (*)(const int16_t*, int, int32_t*, int32_t*, int, int, int);
constexpr int kDenTemplates = 8;

template <int D, int... G>
constexpr std::array<SpanFn, kDenTemplates + 1> SpanRow(std::integer_sequence<int, G...>) {
  return {&AddTrackSpanAnyDen<D>, &AddTrackSpan<D, G + 1>...};
}
template <int... A>
constexpr std::array<std::array<SpanFn, kDenTemplates + 1>, kSilent> SpanTable(std::integer_sequence<int, A...>) {
  return {SpanRow<A + 1>(std::make_integer_sequence<int, kDenTemplates>{})...};
}
// kSpans[attenuation][den] (den 0 = any other denominator).
constexpr auto kSpans = SpanTable(std::make_integer_sequence<int, kSilent>{});

void AddSpan(const int16_t* s, int n, int32_t* left, int32_t* right, int attenuation, int pan, int num, int den) {
  const int slot = (den >= 1 && den <= kDenTemplates) ? den : 0;
  kSpans[static_cast<size_t>(attenuation)][static_cast<size_t>(slot)](s, n, left, right, pan, num, den);
}

void AddClickSpan(const int16_t* __restrict s, int n, int32_t* __restrict left, int32_t* __restrict right,
                  int shift, int level) {
  for (int k = 0; k < n; ++k) {
    const int32_t v = (static_cast<int32_t>(s[k]) >> shift) * level;
    left[k] += v;
    right[k] += v;
  }
}

int ClampPan(int p) { return std::clamp(p, 0, kPanFull); }
int ClampNum(int n) { return std::clamp(n, 0, kGainNumMax); }
int SafeDen(int d) { return d >= 1 ? d : 1; }

// A stroke voice walking through one beat: it sounds sample pos while it
// is below the sound's length and the attenuation is below 7, and after
// `countdown` more frames the next stroke of the beat starts.
struct Voice {
  int pos;
  int attenuation;
  int countdown;
  int stroke;
};

// Frames [0, frames) of one voice. Before the first frame the voice is in
// its state; `onStroke` runs in the frame whose countdown is found at 0,
// after that frame's sample, and returns the voice's new state.
template <typename Sound, typename OnStroke>
void RunVoice(Voice& v, int spacing, int frames, const SoundView& snd, Sound&& sound, OnStroke&& onStroke) {
  int f = 0;
  while (f < frames) {
    // The countdown reaches 0 in frame f + countdown; a negative countdown
    // never does.
    const bool strokeDue = v.countdown >= 0 && v.countdown < frames - f;
    const int span = strokeDue ? v.countdown + 1 : frames - f;
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

}  // namespace

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

void FormatBpmText(EngineState& eng) {
  char* const end = eng.BpmText + sizeof eng.BpmText - 5;  // room for " bpm" and NUL
  const auto r = std::to_chars(eng.BpmText, end, static_cast<double>(eng.CurrentBpm), std::chars_format::fixed, 2);
  char* p = r.ec == std::errc() ? r.ptr : eng.BpmText;
  std::memcpy(p, " bpm", 5);
}

void MixNextBeat(EngineState& eng, RhythmTables& rt, const BancoSonidos& bank, const MixerHooks& hooks) {
  const MixerControls& ctl = eng.Controls;

  // 1. The click sound, as CBMetro shows it.
  int metro = ctl.ClickSound;

  // 2-3. Tempo of the beat: a theme accelerates by its entry's acceleration
  // spread over the beats of the compás.
  if (eng.ThemePlayback && eng.FormulaBeats > 0)
    eng.CurrentBpm = static_cast<float>(static_cast<double>(eng.CurrentBpm) +
                                        static_cast<double>(eng.EntryAccel) / eng.FormulaBeats);
  SetTempo(eng, eng.CurrentBpm);
  const int frames = eng.SamplesPerBeat;

  // 4. The guitar's share of the beat.
  std::fill_n(eng.GuitarBuffer.begin(), frames, int16_t{0});
  const bool guitar = ctl.GuitarOn && !ctl.MuteButtons[kGuitarSlot] && hooks.EncolaG;
  if (guitar) hooks.EncolaG(eng);

  // 5. Beat set-up.
  const bool formulaOk = rt.CurrentFormula >= 0 && rt.CurrentFormula < kMaxFormulas;
  const Formula& F = formulaOk ? rt.Formulas[static_cast<size_t>(rt.CurrentFormula)] : kEmptyFormula;
  const int tracks = std::clamp(eng.Format.Tracks, 0, kMixTracks);
  TrackVoices& tv = eng.Voices;
  if (eng.IntroCounter != 0) {
    eng.ClickLevel = kClickLevelMax;
    eng.FormulaBeats = eng.ThemeIntroBeats;
    eng.FormulaStartBeat = 0;
    eng.ClickSpacing = SamplesForMs(eng.Format, eng.MsPerBeat);
    eng.ClickCurrentPattern = 7;
    if (metro < 1) metro = 1;  // the intro always clicks
  } else if (eng.EndingCounter != 0) {
    eng.ClickLevel = kClickLevelMax;
    eng.FormulaBeats = eng.ThemeEndBeats;
    eng.FormulaStartBeat = 0;
    eng.ClickSpacing = SamplesForMs(eng.Format, eng.MsPerBeat);
    eng.ClickCurrentPattern = 0;  // silent but for the guitar
  } else {
    eng.ClickLevel = std::clamp(ctl.Nivel, 0, kClickLevelMax);
    if (!eng.SilentMix) FormatBpmText(eng);
    const int b = eng.CurrentBeat;
    const bool beatOk = b >= 0 && b < kMaxBeats;
    for (int t = 0; t < tracks; ++t) {
      const int n = beatOk ? F.StrokeCount(b, t) : 0;
      if (n > 0) {
        tv.TrackSpacing[t] = frames / n;
        tv.TrackWord[t] = F.cells[b][t];
        const int c = tv.TrackWord[t] & 7;
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
  // Nothing selected in CBMetro (after the list was reloaded): no click.
  if (metro < 0) metro = 0;

  // 6. The click restarts at every beat.
  eng.ClickCountdown = eng.ClickSpacing;

  // 7. Frame sums.
  int32_t* const left = eng.MixLeft.data();
  int32_t* const right = eng.MixRight.data();
  std::fill_n(left, frames, 0);
  std::fill_n(right, frames, 0);

  if (guitar) {
    const int pan = ClampPan(ctl.GuitarPan);
    const int num = ClampNum(ctl.GuitarGainNum);
    const int den = SafeDen(ctl.GuitarGainDen);
    AddSpan(eng.GuitarBuffer.data(), frames, left, right, 0, pan, num, den);
  }

  if (eng.ClickSpacing != 0 && metro != 0) {
    const SoundView snd = bank.Sound(metro);
    const int level = eng.ClickLevel;
    const int32_t pattern = eng.ClickCurrentPattern;
    Voice v{0, kSilent - StrokeCode(pattern, 0), eng.ClickCountdown, 0};
    RunVoice(
        v, eng.ClickSpacing, frames, snd,
        [&](const int16_t* s, int n, int f, int a) { AddClickSpan(s, n, left + f, right + f, a + 3, level); },
        [&](Voice& cv) {
          // A rest stroke silences the click.
          cv.attenuation = kSilent - StrokeCode(pattern, cv.stroke);
          cv.pos = 0;
        });
    eng.ClickCountdown = v.countdown;
  }

  const bool tracksOn = eng.ClickLevel < kClickLevelMax ||
                        (ctl.ClickAccentPattern == 0 && eng.IntroCounter == 0 && eng.EndingCounter == 0);
  if (tracksOn) {
    for (int t = 0; t < tracks; ++t) {
      const int snd = ctl.MuteButtons[static_cast<size_t>(t)] ? 0 : static_cast<int8_t>(F.sounds[t]);
      if (snd == 0) continue;  // a silent or muted track stands still
      const SoundView view = bank.Sound(snd);
      const int pan = ClampPan(ctl.Pan[static_cast<size_t>(t)]);
      const int num = ClampNum(ctl.TrackGainNum[static_cast<size_t>(t)]);
      const int den = SafeDen(ctl.TrackGainDen[static_cast<size_t>(t)]);
      const int32_t word = tv.TrackWord[t];
      Voice v{tv.TrackPos[t], tv.TrackAttenuation[t], tv.TrackCountdown[t], tv.TrackStroke[t]};
      RunVoice(
          v, tv.TrackSpacing[t], frames, view,
          [&](const int16_t* s, int n, int f, int a) { AddSpan(s, n, left + f, right + f, a, pan, num, den); },
          [&](Voice& w) {
            const int c = StrokeCode(word, w.stroke);
            if (c != 0) {  // a rest lets the sounding stroke ring on
              w.pos = 0;
              w.attenuation = kSilent - c;
            }
          });
      tv.TrackPos[t] = v.pos;
      tv.TrackAttenuation[t] = static_cast<int8_t>(v.attenuation);
      tv.TrackCountdown[t] = v.countdown;
      tv.TrackStroke[t] = v.stroke;
    }
  }

  // Gain and clipping: the gain falls by 0.001 for as long as a frame would
  // clip, down to 0.01; below that the frame saturates.
  float gain = eng.MasterGain;
  if (!std::isfinite(gain)) gain = 1.0f;
  gain = std::clamp(gain, -kMaxMasterGain, kMaxMasterGain);
  eng.OutputHalf &= 1;
  eng.OutputOffset = eng.OutputHalf * eng.Format.HalfSamples();
  int16_t* const out = eng.OutputBuffer.data() + eng.OutputOffset;
  const bool mono = ctl.Mono;
  int clips = 0;
  for (int f = 0; f < frames; ++f) {
    const int32_t l = left[f];
    const int32_t r = right[f];
    int64_t outL;
    int64_t outR;
    for (;;) {
      const double g = gain;
      if (mono) {
        const int32_t m = (l + r) / 2;
        outL = static_cast<int64_t>(static_cast<double>(m) * g);
        outR = -outL;  // the right channel carries the left one inverted
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
  eng.MasterGain = gain;
  eng.ClipCount += clips;

  // 8. Once a frame has clipped, the theme keeps the lowered gain.
  if (eng.ClipCount != 0 && eng.ThemePlayback && rt.CurrentTema >= 0 && rt.CurrentTema < kMaxTemas)
    rt.Temas[static_cast<size_t>(rt.CurrentTema)].gain = eng.MasterGain;

  // 9. Queue the half and switch halves.
  if (!eng.SilentMix) {
    if (hooks.QueueBeat) hooks.QueueBeat(eng.OutputHalf, out, static_cast<size_t>(frames) * 4);
    eng.OutputHalf ^= 1;
    eng.OutputOffset = eng.OutputHalf * eng.Format.HalfSamples();
  }
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

bool SetClickPreset(MixerControls& c, char code) {
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
  for (const Preset& p : kPresets) {
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
