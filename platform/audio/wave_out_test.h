// A wave output for tests: no sound device; it records every call, keeps the
// queue like the real device, and hands buffers back when the test says so.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/wave_out.h"

namespace audio {

struct WaveOutCall {
  std::string name;                     // "Open", "Prepare", "Write", "Reset", ...
  const WaveHeader* header = nullptr;   // Prepare, Unprepare, Write
  uint64_t value = 0;                   // Open: sample rate; SetVolume: the volume; Write: bytes
  WaveResult result = WaveResult::kOk;
};

class TestWaveOut final : public QueuedWaveOut {
 public:
  TestWaveOut();
  ~TestWaveOut() override;

  // Default off: done callbacks run on the thread that completes the buffer
  // (CompleteNext, CompleteAll, Play, Reset, Close) before it returns. On:
  // they run on the device's own thread, as with the real device, and
  // CompleteNext and CompleteAll return without waiting for them (see
  // WaitCallbacks). Set while closed.
  void SetThreadedCompletion(bool on);
  // Non-empty: every Open fails as if there were no device, with this text.
  void SetOpenFailure(const std::string& text);
  // A device that plays only at these rates (the first when asked for
  // another, and the queue is converted). Empty: any rate. Set while closed.
  void SetDeviceRates(std::vector<uint32_t> rates) { device_rates_ = std::move(rates); }

  WaveResult Open(const WaveFormat& format, WaveDoneCallback done) override;
  WaveResult Close() override;
  WaveResult Prepare(WaveHeader& h) override;
  WaveResult Unprepare(WaveHeader& h) override;
  WaveResult Write(WaveHeader& h) override;
  WaveResult Pause() override;
  WaveResult Restart() override;
  WaveResult Reset() override;
  uint32_t GetVolume() const override;
  WaveResult SetVolume(uint32_t volume) override;

  // Hands back the front buffer as played through; false when nothing is
  // queued or the device is paused. Safe from any thread.
  bool CompleteNext();
  // Hands back the buffers queued at the call (not those a callback writes
  // meanwhile); the number handed back (0 when paused).
  int CompleteAll();
  // Plays `frames` frames of the device's format through the queue as the
  // real stream would, with the volume applied and the rate converted;
  // returns the frames taken from buffers.
  size_t Play(int16_t* out, size_t frames) { return Pull(out, frames); }
  // Until every buffer handed back so far has been through the callback.
  void WaitCallbacks() { WaitDelivered(); }

  size_t QueuedCount() const { return QueuedWaveOut::QueuedCount(); }
  bool Paused() const { return QueuedWaveOut::Paused(); }

  std::vector<WaveOutCall> Calls() const;
  std::vector<std::string> CallNames() const;
  void ClearCalls();

 protected:
  bool OpenDevice(const WaveFormat& format, std::string* error) override;
  void CloseDevice() override {}

 private:
  WaveResult Log(const char* name, WaveResult r, const WaveHeader* h = nullptr, uint64_t value = 0) const;

  mutable std::mutex log_mutex_;
  mutable std::vector<WaveOutCall> calls_;
  std::string open_failure_;
  std::vector<uint32_t> device_rates_;
};

std::unique_ptr<TestWaveOut> CreateTestWaveOut();

}  // namespace audio
