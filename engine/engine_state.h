// The sound engine's shared state: play state, tempo, the playback context the
// sequencer and the editors set, the mixer controls, the per-track voices and
// the double output buffer. Owned by the application object and handed to the
// mixer and the sequencer; tests build it directly.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

// Output rate and track count of an edition.
struct EngineFormat {
  int SampleRate;      // frames per second
  float SamplesPerMs;  // single-precision frames per millisecond (44.1 or 22.05)
  int Tracks;          // formula tracks the mixer plays
  // The basic edition's mix: fixed pan by track, attenuation 7 - code, one
  // per-beat divisor, no guitar, mute or per-track pan and volume.
  bool BasicMix = false;

  // One half of the output buffer: 3 s of stereo frames, a beat at 20 bpm.
  int HalfSamples() const { return SampleRate * 6; }
  int MaxBeatFrames() const { return SampleRate * 3; }
};

constexpr EngineFormat kProFormat{44100, 44.1f, 16, false};
constexpr EngineFormat kBasicFormat{22050, 22.05f, 8, true};

constexpr int kMixTracks = 16;     // per-track tables hold this many
constexpr int kGuitarSlot = 16;    // index of the guitar in the mute and solo rows
constexpr float kMinBpm = 20.0f;
constexpr float kMaxBpm = 400.0f;
constexpr int kPlayedEntrySlots = 120;
constexpr int kMixBlockFrames = 2048;

// A per-track table with every track at one value.
template <typename T>
constexpr std::array<T, kMixTracks> FilledTracks(T value) {
  std::array<T, kMixTracks> a{};
  a.fill(value);
  return a;
}

// What the window's mixer controls hold; the mixer reads it, the handlers of
// the transport, pattern and track panels write it.
struct MixerControls {
  // Click: CBMetro's selected index (-1 nothing selected, 0 "Silencio",
  // n = sound n), the Nivel slider (0..16) and the chosen preset.
  int ClickSound = 0;
  int Nivel = 8;
  int ClickStrokes = 0;
  int32_t ClickAccentPattern = 0;
  int32_t ClickPlainPattern = 0;
  char ClickPatternCode = '0';

  // Tracks: pan slider 0..32 (16 centre), gain num / den from the volume slider.
  std::array<int, kMixTracks> Pan = FilledTracks<int>(16);
  std::array<int, kMixTracks> TrackGainNum = FilledTracks<int>(1);
  std::array<int, kMixTracks> TrackGainDen = FilledTracks<int>(1);

  // Guitar: PanG and its gain.
  int GuitarPan = 16;
  int GuitarGainNum = 1;
  int GuitarGainDen = 1;
  bool GuitarOn = false;  // the menu item Guitarra1 is ticked

  // Mute1..Mute16, MuteG and Solo1..Solo16, SoloG (down = true).
  std::array<bool, kMixTracks + 1> MuteButtons{};
  std::array<bool, kMixTracks + 1> SoloButtons{};

  bool Mono = false;          // the Mono radio button
  int MasterVolume = 65535;   // tbvolumen, 0..65535 on both channels
};

// Voice of one track, carried from beat to beat (a sound rings across beats).
struct TrackVoices {
  std::array<int32_t, kMixTracks> TrackWord{};
  std::array<int, kMixTracks> TrackStroke{};
  std::array<int, kMixTracks> TrackSpacing{};
  std::array<int, kMixTracks> TrackCountdown{};
  std::array<int, kMixTracks> TrackPos{};
  // 7 - level of the sounding stroke; 7 = nothing sounding.
  std::array<int8_t, kMixTracks> TrackAttenuation = FilledTracks<int8_t>(7);
};

struct EngineState {
  explicit EngineState(EngineFormat format = kProFormat)
      : Format(format),
        OutputBuffer(static_cast<size_t>(2 * format.HalfSamples())),
        GuitarBuffer(static_cast<size_t>(format.HalfSamples())),
        MixLeft(static_cast<size_t>(kMixBlockFrames)),
        MixRight(static_cast<size_t>(kMixBlockFrames)) {}
  EngineState(const EngineState&) = default;

  EngineFormat Format;

  // Transport (the count of buffers played is the player's).
  int PlayState = 0;  // 0 stopped, 1 playing, 2 paused
  bool ThemePlayback = false;

  // Tempo of the beat.
  float CurrentBpm = 120.0f;
  int MsPerBeat = 500;
  int SamplesPerBeat = 22049;
  char BpmText[32] = "120.00 bpm";

  // Playback context (the formula and theme indices live in RhythmTables:
  // CurrentFormula, CurrentTema).
  int CurrentBeat = 0;
  int SoundingBeat = 0;
  int FormulaBeats = 12;
  int FormulaStartBeat = 0;
  int8_t EntryAccel = 0;
  int IntroCounter = 0;
  int EndingCounter = 0;
  int ThemeIntroBeats = 0;
  int ThemeEndBeats = 0;
  int ThemeParts = 0;
  bool ThemeInOrder = true;
  bool SilentMix = false;

  // Sequencer counters. EntryRow is the row of the theme's sequence in play
  // (1-based as the entry grid shows it; one past the entries is the end row).
  int EntryRow = 1;
  int CurrentCompas = 0;
  int CompasCount = 0;
  int RepeatsLeft = 0;
  int PartsCounter = 0;
  std::array<uint8_t, kPlayedEntrySlots> PlayedEntries{};
  int WalkStep = 1;
  bool PlayFromBar = false;
  bool StopFromSequencer = false;
  int LampCountdown = 0;

  // Elapsed playing time, in ms of the tick count.
  int64_t ElapsedStart = 0;
  int64_t ElapsedBefore = 0;
  int64_t ElapsedMs = 0;

  // Gain.
  float MasterGain = 1.0f;
  int ClipCount = 0;

  MixerControls Controls;
  TrackVoices Voices;

  // Click of the current beat (the click restarts at every beat). ClickLevel
  // is Nivel in a normal beat and 16 in the intro and the ending.
  int ClickLevel = 8;
  int ClickSpacing = 0;
  int32_t ClickCurrentPattern = 0;
  int ClickCountdown = 0;

  // Double output buffer: two halves of HalfSamples() interleaved stereo
  // samples; OutputHalf is the half the next beat goes into.
  std::vector<int16_t> OutputBuffer;
  int OutputHalf = 0;
  int OutputOffset = 0;
  // One guitar sample per frame of the beat, rendered by the guitar.
  std::vector<int16_t> GuitarBuffer;

  // The mixer's per-frame sums of the block of the beat being mixed (left,
  // right): a beat is mixed in blocks of kMixBlockFrames frames.
  std::vector<int32_t> MixLeft;
  std::vector<int32_t> MixRight;

  int16_t* OutputHalfData(int half) { return OutputBuffer.data() + static_cast<size_t>(half & 1) * static_cast<size_t>(Format.HalfSamples()); }
  const int16_t* OutputHalfData(int half) const {
    return OutputBuffer.data() + static_cast<size_t>(half & 1) * static_cast<size_t>(Format.HalfSamples());
  }
};

// One tick of the device lamp's countdown (10 ms): true when it reaches 0
// while playing, the moment the lamp goes off. Stopped or paused it stands.
inline bool CountLampDown(EngineState& E) {
  if (E.PlayState != 1 || E.LampCountdown <= 0) return false;
  return --E.LampCountdown == 0;
}
