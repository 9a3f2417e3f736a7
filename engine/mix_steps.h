// The steps of one beat's mix, in MixNextBeat's order, for the mixer and for
// the benchmark that times them one by one:
//   MixBeatTempo, MixGuitarPart (engine/mixer.h), SetUpBeat, PrepareBeatMix,
//   then block by block AddGuitarBlock, AddClickBlock, AddTrackBlocks and
//   ScaleBlock (MixBeatBlocks), FinishBeatMix, KeepThemeGain, QueueMixedHalf.
// Nothing here allocates: a BeatMix lives on the caller's stack.
#pragma once

#include <array>
#include <cstdint>

#include "engine/engine_state.h"
#include "engine/sound_bank.h"

struct Formula;
struct RhythmTables;

namespace mix_steps {

// The loops of this processor (vector builds, chosen at the first beat).
struct Kernels;

// A pan position as the factor of a 16-bit high-half multiplication (see
// MakePanFactor in the mixer).
struct PanFactor {
  int16_t mul;
  int16_t add;  // 0 or all ones: selects v
};

struct SpanArgs {
  PanFactor right;  // pan
  PanFactor left;   // 32 - pan
  int pan;
  int num;
  int den;
};

// One source's pan and gain, ready for its stretches.
struct SpanSetup {
  SpanArgs args{};
  int slot = 0;        // how the gain is applied (the mixer's GainSlot)
  bool silent = true;  // num 0: every share is 0
};

// A stroke voice walking through one beat: it sounds sample pos while it
// is below the sound's length and the attenuation is below 7, and after
// `countdown` more frames the next stroke of the beat starts.
struct Voice {
  int pos;
  int attenuation;
  int countdown;
  int stroke;
};

// The click of the beat: on when it has a spacing and a sound.
struct ClickSource {
  bool on = false;
  SoundView sound;
  int level = 0;
  int32_t pattern = 0;
  int spacing = 0;
  Voice voice{};
};

// A track that sounds in this beat, with its voice taken from TrackVoices.
struct TrackSource {
  int track = 0;
  SoundView sound;
  SpanSetup setup;
  int32_t word = 0;
  int spacing = 0;
  Voice voice{};
};

// The gain pass's state through the beat: the gain falls where frames clip.
struct GainState {
  float gain = 1.0f;
  float thresholdGain = 1.0f;
  int32_t threshold = 0;  // smallest sum that clips at thresholdGain
  int clips = 0;
  int basicDivisor = 0;   // the basic edition's divisor of the beat
  bool mono = false;
};

// Everything one beat's block loop reads and advances.
struct BeatMix {
  const Kernels* kernels = nullptr;
  bool basic = false;  // the basic edition's mix (EngineFormat::BasicMix)
  int frames = 0;
  int blockFrames = 0;
  bool guitar = false;
  const int16_t* guitarData = nullptr;
  SpanSetup guitarSetup;
  ClickSource click;
  std::array<TrackSource, kMixTracks> tracks{};
  int trackCount = 0;
  GainState gain;
  int32_t* left = nullptr;   // the sums of one block (EngineState::MixLeft)
  int32_t* right = nullptr;  // (EngineState::MixRight)
  int16_t* out = nullptr;    // the beat's half of the output buffer
};

// The formula in play, or an empty one when the index is out of range.
const Formula& BeatFormula(const RhythmTables& rt);

// Beat set-up: the click's level, spacing and pattern and FormulaBeats for
// an intro, an ending or a normal beat (which also starts each track's
// strokes and, in the full edition, writes BpmText); the click restarts.
// Returns the click sound to play (0: none).
int SetUpBeat(EngineState& eng, const Formula& F, int frames);

// The sources and the gain state of the beat, the output half chosen. In
// the basic edition it also settles MasterGain and takes the beat's divisor.
BeatMix PrepareBeatMix(EngineState& eng, const RhythmTables& rt, const BancoSonidos& bank, int clickSound,
                       bool guitar, int frames);

// The block steps over frames [b0, b1) of the beat; left and right are the
// sums of frame b0, added into.
void AddGuitarBlock(const BeatMix& m, int b0, int b1, int32_t* left, int32_t* right);
void AddClickBlock(BeatMix& m, int b0, int b1, int32_t* left, int32_t* right);
void AddTrackBlocks(BeatMix& m, int b0, int b1, int32_t* left, int32_t* right);
// The gain pass over n frames of sums into n stereo frames of out.
void ScaleBlock(BeatMix& m, const int32_t* left, const int32_t* right, int n, int16_t* out);

// The beat block by block: sums cleared, guitar, click, tracks, gain.
void MixBeatBlocks(BeatMix& m);

// The voices, the gain and the clip count back into the engine.
void FinishBeatMix(const BeatMix& m, EngineState& eng);

}  // namespace mix_steps
