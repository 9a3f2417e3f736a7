// Wave audio input: the caller adds empty buffers, starts recording, and each
// buffer comes back through the done callback once it is full. Backends:
// PortAudio's default input device and a test device fed by the tests.
// Headers, formats and results are those of the wave output.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/wave_out.h"

namespace audio {

// The tuner's format: 8000 Hz, 16-bit mono.
constexpr WaveFormat kTunerInputFormat{8000, 1, 16};

class WaveIn {
 public:
  virtual ~WaveIn() = default;

  // Opens the default input device, stopped. On failure ErrorText() says why.
  virtual WaveResult Open(const WaveFormat& format, WaveDoneCallback done) = 0;
  // Hands every added buffer back (as Reset) and closes the device.
  virtual WaveResult Close() = 0;
  virtual bool IsOpen() const = 0;

  virtual WaveResult Prepare(WaveHeader& h) = 0;
  // Refused with kStillPlaying while the header is queued.
  virtual WaveResult Unprepare(WaveHeader& h) = 0;
  // Queues an empty buffer behind the others (bytesRecorded := 0); refused
  // when not prepared or already queued.
  virtual WaveResult AddBuffer(WaveHeader& h) = 0;
  // Recording fills the queued buffers one after the other; while stopped,
  // or with no buffer queued, input is dropped.
  virtual WaveResult Start() = 0;
  // Stops recording; a buffer partly filled comes back with what it holds,
  // empty ones stay queued.
  virtual WaveResult Stop() = 0;
  // Stops recording and hands every queued buffer back (callbacks run before
  // Reset returns).
  virtual WaveResult Reset() = 0;

  virtual std::string ErrorText() const = 0;
};

std::unique_ptr<WaveIn> CreatePortAudioWaveIn();

// The input queue apart from any device: recorded frames fill the queued
// buffers back to back; full ones move, in order, to the finished list.
// Not locked: its owner guards it.
class CaptureFifo {
 public:
  explicit CaptureFifo(int channels = 1) : channels_(channels) {}
  void SetChannels(int channels) { channels_ = channels; }

  void Push(WaveHeader* h) { queued_.PushBack(h); }
  void SetStarted(bool started) { started_ = started; }
  bool Started() const { return started_; }
  // Stores frames while started; returns the frames stored (the rest found
  // no buffer and is dropped).
  size_t Feed(const int16_t* in, size_t frames);
  // Not started any more; the front buffer is finished when it holds data.
  void Stop();
  void FinishAll();
  HeaderList TakeFinished();

  bool HasFinished() const { return !finished_.Empty(); }
  size_t QueuedCount() const { return queued_.Size(); }

 private:
  size_t FramesOf(const WaveHeader* h) const { return h->bytes / (2 * size_t(channels_)); }

  int channels_;
  bool started_ = false;
  HeaderList queued_;
  HeaderList finished_;
};

// Device frames at the device's rate and channels, mixed down (or widened)
// to the program's channels and converted to its rate, into a CaptureFifo.
// Allocates only in Init.
class ConvertingFeed {
 public:
  bool Init(const WaveFormat& device, const WaveFormat& wanted, std::string* error);
  void Close();
  bool Active() const { return active_; }
  // Returns the program's frames stored.
  size_t Feed(CaptureFifo& fifo, const int16_t* in, size_t frames);
  void Reset() { converter_.Reset(); }

 private:
  bool active_ = false;
  int deviceChannels_ = 1;
  int channels_ = 1;
  RateConverter converter_;      // inactive when only the channels differ
  std::vector<int16_t> mixed_;   // device frames in the program's channels
  std::vector<int16_t> out_;     // converted frames
};

// The whole behaviour of a wave input over a CaptureFifo; a backend adds a
// device that calls Feed from its stream callback.
class QueuedWaveIn : public WaveIn {
 public:
  WaveResult Open(const WaveFormat& format, WaveDoneCallback done) override;
  WaveResult Close() override;
  bool IsOpen() const override { return open_; }
  WaveResult Prepare(WaveHeader& h) override;
  WaveResult Unprepare(WaveHeader& h) override;
  WaveResult AddBuffer(WaveHeader& h) override;
  WaveResult Start() override;
  WaveResult Stop() override;
  WaveResult Reset() override;
  std::string ErrorText() const override;

  // The device side: frames recorded in the device's format. Wait-free:
  // when a command holds the queue at that instant, the frames are dropped
  // (and counted).
  size_t Feed(const int16_t* in, size_t frames);
  WaveFormat DeviceFormat() const { return device_format_; }
  uint64_t MissedPeriods() const { return missed_.load(std::memory_order_relaxed); }

 protected:
  explicit QueuedWaveIn(DoneNotifier::Mode mode) : mode_(mode) {}
  ~QueuedWaveIn() override;

  // As the output's: the backend tells UseDeviceFormat what the device
  // records before its stream starts.
  virtual bool OpenDevice(const WaveFormat& format, std::string* error) = 0;
  virtual void CloseDevice() = 0;
  bool UseDeviceFormat(const WaveFormat& device, std::string* error);

  void SetDeliveryMode(DoneNotifier::Mode mode) { mode_ = mode; }
  void WaitDelivered() { notifier_.WaitDelivered(); }
  size_t QueuedCount() const;
  bool Started() const;

 private:
  WaveResult Fail(WaveResult r);
  WaveResult Fail(WaveResult r, const std::string& text);
  // With the device side held.
  void AdoptIncomingLocked();
  bool HandOverLocked();

  mutable DoneNotifier notifier_;
  DoneNotifier::Mode mode_;
  std::mutex command_mutex_;  // AddBuffer against Close among the program's threads
  std::atomic<bool> open_{false};
  WaveFormat format_;
  WaveFormat device_format_;
  HeaderStack incoming_;
  std::atomic<uint64_t> missed_{0};

  mutable DeviceSideLock device_;
  CaptureFifo fifo_;         // device side
  ConvertingFeed convert_;   // device side
  ErrorSlot error_;
};

struct WaveInCall {
  std::string name;  // "Open", "Prepare", "AddBuffer", "Start", ...
  const WaveHeader* header = nullptr;
  uint64_t value = 0;  // Open: sample rate
  WaveResult result = WaveResult::kOk;
};

// A wave input for tests: records every call; the test feeds the samples.
class TestWaveIn final : public QueuedWaveIn {
 public:
  TestWaveIn();
  ~TestWaveIn() override;

  // As TestWaveOut::SetThreadedCompletion. Set while closed.
  void SetThreadedCompletion(bool on);
  void SetOpenFailure(const std::string& text) { open_failure_ = text; }
  // Runs when the device opens (before Open returns): tests look at what
  // was already done by then.
  void SetOpenHook(std::function<void()> hook) { open_hook_ = std::move(hook); }
  // A microphone that records only at these rates (the first when asked for
  // another) and with this many channels (0: as asked). Set while closed.
  void SetDeviceFormats(std::vector<uint32_t> rates, int channels = 0) {
    device_rates_ = std::move(rates);
    device_channels_ = channels;
  }

  WaveResult Open(const WaveFormat& format, WaveDoneCallback done) override;
  WaveResult Close() override;
  WaveResult Prepare(WaveHeader& h) override;
  WaveResult Unprepare(WaveHeader& h) override;
  WaveResult AddBuffer(WaveHeader& h) override;
  WaveResult Start() override;
  WaveResult Stop() override;
  WaveResult Reset() override;

  // The microphone: interleaved frames of the device's format.
  size_t Record(const int16_t* in, size_t frames) { return Feed(in, frames); }
  size_t Record(const std::vector<int16_t>& samples, int channels = 1) {
    return Feed(samples.data(), samples.size() / size_t(channels));
  }
  void WaitCallbacks() { WaitDelivered(); }
  size_t QueuedCount() const { return QueuedWaveIn::QueuedCount(); }
  bool Started() const { return QueuedWaveIn::Started(); }

  std::vector<WaveInCall> Calls() const;
  std::vector<std::string> CallNames() const;
  void ClearCalls();

 protected:
  bool OpenDevice(const WaveFormat& format, std::string* error) override;
  void CloseDevice() override {}

 private:
  WaveResult Log(const char* name, WaveResult r, const WaveHeader* h = nullptr, uint64_t value = 0);

  mutable std::mutex log_mutex_;
  std::vector<WaveInCall> calls_;
  std::string open_failure_;
  std::vector<uint32_t> device_rates_;
  int device_channels_ = 0;
  std::function<void()> open_hook_;
};

std::unique_ptr<TestWaveIn> CreateTestWaveIn();

}  // namespace audio
