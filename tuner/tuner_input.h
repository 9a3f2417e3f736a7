// The microphone as the tuner's source: two input buffers of one frame each
// on the wave input, taken in the order they were filled.
//
// The wave input's done callback (audio thread) calls OnBufferDone, which
// only marks the half as full; the GUI thread's tick calls Poll, which frames
// the oldest full half exactly once and queues it again. A half that comes
// back only partly filled (a reset or a stop) is not a frame and is dropped.
// The input holds the halves while they are queued: reset or close it
// before this object goes.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "platform/audio/wave_in.h"
#include "tuner/tuner.h"

class TunerMicInput {
 public:
  TunerMicInput();
  TunerMicInput(const TunerMicInput&) = delete;
  TunerMicInput& operator=(const TunerMicInput&) = delete;

  // From the wave input's done callback, on the audio thread.
  void OnBufferDone(const audio::WaveHeader& h);

  // Resets the input (its queued halves come back and are dropped), sets
  // both halves up for frames of fft.FftSize samples, queues half 0 then
  // half 1 and starts recording. A null or closed input records nothing;
  // its failures are ignored.
  void Start(audio::WaveIn* in, const FftSetup& fft);
  // Stops taking blocks; with resetInput the input is reset as well (its
  // queued halves come back and are dropped), otherwise they keep filling
  // until the next Start resets them.
  void Stop(bool resetInput);

  bool BlockReady() const;
  // The tuner's poll: unless s.TunerFrameHold is running, the oldest full
  // half not yet taken is framed as one whole frame of s.MicFrame (gate,
  // analysis) and queued again. kIncomplete when no block was taken.
  FrameOutcome Poll(TunerState& s, const NoteTable& notes);

  // The half that is expected to fill next (0 or 1).
  int TunerHeaderIndex() const { return TunerHeaderIndex_; }
  const uint8_t* Half(int i) const { return TunerInput.data() + i * halfBytes_; }
  const audio::WaveHeader& Header(int i) const { return TunerHeaders[static_cast<size_t>(i)]; }

 private:
  int halfBytes_ = 2 * 2048;
  std::array<uint8_t, 4 * kMaxFftSize> TunerInput{};
  std::array<audio::WaveHeader, 2> TunerHeaders;
  std::array<std::atomic<bool>, 2> WaveInReady{};
  int TunerHeaderIndex_ = 0;
  audio::WaveIn* in_ = nullptr;
};
