// The player owns the beat: the wave output with the two halves of the
// output buffer, the count of buffers played, and the sequence in play. Each
// finished buffer steps the sequencer, mixes the next beat into the half just
// freed and queues it; the cue of the step tells the listeners (the window's
// labels and counters, later the guitar and the device's lamp) what
// happened. Everything runs on the GUI thread but the output's done
// callback, which only counts the buffer and wakes that thread.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/engine_state.h"
#include "engine/mixer.h"
#include "engine/sequencer.h"
#include "engine/sound_bank.h"
#include "platform/audio/wave_out.h"

class Player {
 public:
  Player(EngineState& engine, RhythmTables& tables, const BancoSonidos& bank);
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // Takes the output device and opens it at the edition's rate, 16-bit
  // stereo. `wake` runs on the device's thread after each buffer played,
  // once it has been counted.
  audio::WaveResult Open(audio::WaveOut* out, std::function<void()> wake);
  // Hands back every queued half, releases both, closes the device and lets
  // go of it. The owner of the device calls it before the device goes.
  void Close();
  bool OutputOpen() const { return out_ && out_->IsOpen(); }

  // The sequence in play; while stopped, the one of the theme shown.
  ThemePlan Plan;
  EditionRules Rules = kProRules;
  SequencerRandom Random{std::random_device{}()};
  // The guitar's renderer (the queueing is the player's own).
  MixerHooks Hooks;
  // Called as a sequence starts, before its first beat is mixed (true for a
  // theme): the guitar's voices start silent.
  std::function<void(bool themeStart)> OnStart;

  // --- auditions ---------------------------------------------------------------
  // Plays interleaved stereo values at once. Stopped, the output is reset and
  // the sound queued alone; while a sequence plays, the queued beats are left
  // as they are and the sound is mixed into the beats still to come.
  void PlayAudition(const int16_t* stereo, size_t values);

  // --- transport ------------------------------------------------------------
  // A theme from entry row `row` of Plan: the start entry (the guitar's bar,
  // a random one in random order), then `normalise` (the gain), the
  // counters and the tempo (`fallbackBpm` when the first row shows none);
  // the first beat is mixed and queued, and the first step follows at once.
  void StartTheme(int row, float fallbackBpm, const std::function<void()>& normalise);
  // Formula f as a loop at `bpm`, after a silent compás that settles the gain
  // (the basic rules count it compás 1).
  void StartFormula(int f, float bpm);
  void Pause();
  void Resume();
  // Stops the sequence. A stop by the user (not by the sequencer at the end
  // of the last part) silences the device at once and releases the halves,
  // so a silent mix that follows never writes into a half still playing.
  void Stop();
  // The beat step runs (the window's Timer1): finished buffers are counted.
  bool Running() const { return counting_; }

  // --- the beat -------------------------------------------------------------
  // A buffer has been played and its beat not made yet.
  bool BeatDue() const;
  // Takes one finished buffer and steps the sequencer; unless the step
  // stopped the sequence, mixes and queues the next beat. Then tells every
  // listener, in the order they were added.
  BeatCue Pump();
  using BeatListener = std::function<void(const BeatCue&)>;
  void AddListener(BeatListener listener) { listeners_.push_back(std::move(listener)); }
  // Mixes the next beat into the free half and queues it; false, and
  // nothing mixed, when that half is still queued on the device.
  bool MixAndQueue();
  int FinishedBuffers() const;
  const std::array<audio::WaveHeader, 2>& Halves() const { return halves_; }

 private:
  void Queue(int half, const int16_t* data, size_t bytes);
  void MixAuditionInto(int16_t* data, size_t values);
  void AddFinished(int n);
  void ResetDevice();

  EngineState& E;
  RhythmTables& rt_;
  const BancoSonidos& bank_;
  audio::WaveOut* out_ = nullptr;
  std::array<audio::WaveHeader, 2> halves_;
  audio::WaveHeader auditionHeader_;
  std::vector<int16_t> audition_;  // what the header plays, or what is still to mix in
  size_t auditionPos_ = 0;         // next value to mix into a beat
  bool auditionPending_ = false;
  MixerHooks queueing_;
  // The one datum the device's thread writes: changed under its lock.
  mutable std::mutex finishedLock_;
  int finished_ = 0;
  std::atomic<bool> counting_{false};
  std::vector<BeatListener> listeners_;
};
