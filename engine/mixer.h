// The beat mixer: one beat of the current formula (or an intro or ending
// beat), its click and the guitar's share into the free half of the output
// buffer, scaled by the master gain.
#pragma once

#include <string>

#include <cstddef>
#include <cstdint>
#include <functional>

#include "engine/engine_state.h"

struct BancoSonidos;
struct RhythmTables;

// What the mixer calls out to. Either may be empty.
struct MixerHooks {
  // TMainForm::EncolaG: the guitar renders its part of the beat into the
  // first SamplesPerBeat samples of GuitarBuffer (already cleared).
  std::function<void(EngineState&)> EncolaG;
  // Queues a mixed half on the wave output: bytes = SamplesPerBeat x 4.
  std::function<void(int half, const int16_t* data, size_t bytes)> QueueBeat;
};

// Mixes beat CurrentBeat of formula rt.CurrentFormula (or an intro or
// ending beat) into half OutputHalf; unless SilentMix is set, writes BpmText,
// hands the half to hooks.QueueBeat and switches halves. The tempo is kept
// within 20..400 bpm, so a beat always fits its half. Runs on the GUI thread.
void MixNextBeat(EngineState& eng, RhythmTables& rt, const BancoSonidos& bank, const MixerHooks& hooks);

// The named steps of MixNextBeat, in its order (the benchmark times them;
// the steps between these are in engine/mix_steps.h).
// The beat's tempo: a theme accelerates by its entry's acceleration spread
// over the beats of the compás (the basic edition only in a normal beat,
// after the tempo text; its intro and ending beats keep the tempo of the
// beat before). Returns the beat's frames.
int MixBeatTempo(EngineState& eng);
// The guitar's share: GuitarBuffer cleared for `frames`, then rendered by
// hooks.EncolaG when the guitar sounds. True when it sounds.
bool MixGuitarPart(EngineState& eng, const MixerHooks& hooks, int frames);
// Once a frame has clipped, the theme in play keeps the lowered gain.
void KeepThemeGain(const EngineState& eng, RhythmTables& rt);
// Unless SilentMix: the half OutputHalf handed to hooks.QueueBeat, and the
// halves switched.
void QueueMixedHalf(EngineState& eng, const MixerHooks& hooks, int frames);

// --- tempo -----------------------------------------------------------------
// The tempo limited to 20..400 bpm (a value that is not a number gives 20).
float ClampBpm(float bpm);
// trunc(ms x the edition's single-precision frames per millisecond), the
// product formed in double precision: 500 ms give 22049 frames at 44.1.
int SamplesForMs(const EngineFormat& format, int ms);

// The basic edition's mix (EngineFormat::BasicMix): the divisor of the beat
// about to be mixed (intro trunc(8 x gain), ending 1, else the sounding
// tracks plus trunc(ClickLevel x gain / 4) when the click has strokes), and
// a stored sound number as the basic mixer reads it (above 16: none).
int BasicBeatDivisor(const EngineState& eng, const RhythmTables& rt);
int BasicSoundNumber(int stored);
// CurrentBpm := the limited tempo; MsPerBeat := trunc(60000 / CurrentBpm);
// SamplesPerBeat from it.
void SetTempo(EngineState& eng, float bpm);
// The whole tempo of a tempo slider (20..400 bpm): MsPerBeat := 60000 div
// bpm, SamplesPerBeat from it, CurrentBpm := bpm.
void SetSliderTempo(EngineState& eng, int bpm);
// BpmText := "%3.2f bpm" of CurrentBpm (always with a decimal point).
void FormatBpmText(EngineState& eng);
// The same text of any tempo: the one form the tempo label shows, whether
// a beat or a slider writes it ("120.00 bpm").
std::string TempoText(double bpm);

// --- mixer controls ---------------------------------------------------------
// Gain of a volume slider position 1..16: v - 7 for 8 and above, 1 / (9 - v)
// below (out-of-range positions are limited to 1..16).
void TrackGainFor(int volume, int* num, int* den);
// Loads the 16 pan and volume values of a theme (pan 0..32, volume 1..16).
void SetTrackControlsFromTema(MixerControls& c, const uint8_t* pan17, const uint8_t* volume17);
// Click presets by their code '0' (off), '1'..'6' strokes, 'P' (Pie). Every
// preset but '0' selects the first sound when ClickSound is below 2. Returns
// false for an unknown code.
bool SetClickPreset(MixerControls& c, char code, bool basicLevels = false);
// After a solo button changed: with any solo down, the others' tracks are
// muted and the soloed ones unmuted; with none down every mute is released.
void SoloButtonsChanged(MixerControls& c);
// After a mute button changed: every solo is released.
void MuteButtonsChanged(MixerControls& c);
