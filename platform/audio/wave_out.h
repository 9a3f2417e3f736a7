// Wave audio output: a queue of PCM buffers played back to back on the
// default sound device, each handed back through a done callback once it has
// been played. One abstract interface with interchangeable backends: PortAudio
// (CreatePortAudioWaveOut, below) and a test device driven by the tests
// (platform/audio/wave_out_test.h). The wave input (platform/audio/wave_in.h) shares the
// header, format and result types.
#pragma once

#include <semaphore.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/resampler.h"

namespace audio {

// PCM format: interleaved frames of `channels` samples of `bitsPerSample` bits.
struct WaveFormat {
  uint32_t sampleRate = 44100;
  uint16_t channels = 2;
  uint16_t bitsPerSample = 16;

  uint32_t BlockAlign() const { return uint32_t(channels) * bitsPerSample / 8; }
  uint32_t BytesPerSecond() const { return sampleRate * BlockAlign(); }
};

enum class WaveResult {
  kOk = 0,
  kNotOpen,         // the device is not open
  kAlreadyOpen,     // Open on an open device
  kBadFormat,       // a format this layer does not play (only 16-bit, 1 or 2 channels)
  kNoDevice,        // no sound device, or it refused the stream; ErrorText() tells why
  kInvalidHeader,   // a header without data
  kNotPrepared,     // Write or AddBuffer of a header that is not prepared
  kStillPlaying,    // the header is queued on the device
  kInCallback,      // Close from inside the done callback
};

// A short English text for a result ("" for kOk).
const char* WaveResultText(WaveResult r);

// Header flag bits.
constexpr uint32_t kWaveHeaderPrepared = 1;  // Prepare succeeded, Unprepare not yet called
constexpr uint32_t kWaveHeaderQueued = 2;    // owned by the device: written and not yet handed back
constexpr uint32_t kWaveHeaderDone = 4;      // handed back by the device (set just before the done callback)

// One buffer of frames. The caller owns the header and its data; while the
// header is queued the device reads (output) or fills (input) the data and
// the caller must neither move nor free either of them.
struct WaveHeader {
  void* data = nullptr;
  uint32_t bytes = 0;          // length of data; a trailing partial frame is ignored
  uint32_t bytesRecorded = 0;  // input only: bytes filled when the buffer came back
  uintptr_t user = 0;          // free for the caller
  std::atomic<uint32_t> flags{0};
  WaveHeader* next = nullptr;  // the device's link while queued

  WaveHeader() = default;
  WaveHeader(void* d, uint32_t n, uintptr_t u = 0) : data(d), bytes(n), user(u) {}
  WaveHeader(const WaveHeader&) = delete;
  WaveHeader& operator=(const WaveHeader&) = delete;

  bool Prepared() const { return (flags.load() & kWaveHeaderPrepared) != 0; }
  bool Queued() const { return (flags.load() & kWaveHeaderQueued) != 0; }
  bool Done() const { return (flags.load() & kWaveHeaderDone) != 0; }
};

// Runs on an audio thread (never inside the realtime stream callback) once
// per buffer handed back, in the order the buffers were queued. It may call
// Prepare, Unprepare, Write and Reset (whose buffers then come back after
// this callback returns); Close from here is refused.
using WaveDoneCallback = std::function<void(WaveHeader& header)>;

// Volume word: the low 16 bits are the left level, the high 16 bits the
// right level; each scales samples by level / 65535.
constexpr uint32_t kWaveVolumeFull = 0xFFFFFFFFu;
constexpr uint32_t WaveVolume(uint16_t left, uint16_t right) { return uint32_t(left) | (uint32_t(right) << 16); }
constexpr uint16_t WaveVolumeLeft(uint32_t v) { return uint16_t(v & 0xFFFF); }
constexpr uint16_t WaveVolumeRight(uint32_t v) { return uint16_t(v >> 16); }

// One sample times level / 65535, truncated toward zero.
inline int16_t ScaleSample(int16_t s, uint16_t level) {
  // |s| <= 32768 and level <= 65535: the product fits in 32 bits.
  return int16_t(int32_t(s) * int32_t(level) / 65535);
}

// Software gain on interleaved 16-bit frames: the left level on channel 0,
// the right level on channel 1. Mono frames take the left level.
void ApplyVolume(int16_t* samples, size_t frames, int channels, uint32_t volume);

class WaveOut {
 public:
  virtual ~WaveOut() = default;

  // Opens the default output device. On failure (no device is an ordinary
  // outcome) ErrorText() says why and the object stays closed; every other
  // call then answers kNotOpen, so the program goes on without sound.
  virtual WaveResult Open(const WaveFormat& format, WaveDoneCallback done) = 0;
  // Hands every queued buffer back (as Reset) and closes the device.
  virtual WaveResult Close() = 0;
  virtual bool IsOpen() const = 0;

  // Prepare sets the prepared flag (again on a prepared header is fine).
  // Unprepare is refused with kStillPlaying while the header is queued.
  virtual WaveResult Prepare(WaveHeader& h) = 0;
  virtual WaveResult Unprepare(WaveHeader& h) = 0;
  // Queues a prepared header behind the others; refused when it is not
  // prepared or already queued. Clears the done flag.
  virtual WaveResult Write(WaveHeader& h) = 0;

  // While paused the device plays silence and takes nothing from the queue;
  // Restart goes on where it stopped.
  virtual WaveResult Pause() = 0;
  virtual WaveResult Restart() = 0;
  // Stops playback, hands every queued buffer back as done (the callback runs
  // for each, in order, before Reset returns) and clears a pause.
  virtual WaveResult Reset() = 0;

  // The software volume (see WaveVolume); kept across Open and Close.
  virtual uint32_t GetVolume() const = 0;
  virtual WaveResult SetVolume(uint32_t volume) = 0;

  // The text of the last failure ("" after a successful Open).
  virtual std::string ErrorText() const = 0;
};

// The real device on PortAudio's default output.
std::unique_ptr<WaveOut> CreatePortAudioWaveOut();

// --- building blocks shared by the backends --------------------------------
//
// The stream callback of a real device runs on the sound system's real-time
// thread: it never waits for another thread and never allocates. Buffers
// reach it through a lock-free stack, come back through another, and the
// queue it plays from (the device side) belongs to whoever holds a flag the
// callback only ever tries: the callback itself, or for an instant a command
// that must change the queue at once (Reset, Close, the input's Stop).

// A FIFO of headers linked through WaveHeader::next.
struct HeaderList {
  WaveHeader* head = nullptr;
  WaveHeader* tail = nullptr;

  bool Empty() const { return head == nullptr; }
  void PushBack(WaveHeader* h);
  WaveHeader* PopFront();
  void Append(HeaderList other);
  size_t Size() const;
};

// Headers handed between threads without a lock: any thread pushes, one
// taker at a time takes them all at once, oldest first.
class HeaderStack {
 public:
  void Push(WaveHeader* h);
  HeaderList TakeAll();
  bool Empty() const { return head_.load(std::memory_order_acquire) == nullptr; }

 private:
  std::atomic<WaveHeader*> head_{nullptr};
};

// The owner flag of a device side. The stream callback only tries it; the
// program's threads may wait for it (the callback holds it for one period at
// most).
class DeviceSideLock {
 public:
  bool try_lock() { return !flag_.test_and_set(std::memory_order_acquire); }
  void lock();
  void unlock() { flag_.clear(std::memory_order_release); }

 private:
  std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

// The queue of the real output, apart from any device: the stream callback
// pulls frames from it, running from one buffer straight into the next.
// Buffers used up move, in order, to the finished list. Not locked: its
// owner guards it.
class BufferFifo {
 public:
  explicit BufferFifo(int channels = 2) : channels_(channels) {}
  void SetChannels(int channels) { channels_ = channels; }
  int Channels() const { return channels_; }

  void Push(WaveHeader* h) { queued_.PushBack(h); }
  // Fills out with `frames` frames: the queued buffers back to back with the
  // volume applied, then silence when the queue runs dry; all silence while
  // paused. Returns the frames taken from buffers.
  size_t Pull(int16_t* out, size_t frames);
  // Moves the front buffer to the finished list, however much of it has
  // been played; false when nothing is queued.
  bool FinishFront();
  // Moves every queued buffer to the finished list.
  void FinishAll();
  // Takes the finished buffers, oldest first.
  HeaderList TakeFinished();

  void SetPaused(bool paused) { paused_ = paused; }
  bool Paused() const { return paused_; }
  void SetVolume(uint32_t volume) { volume_ = volume; }
  uint32_t Volume() const { return volume_; }

  bool HasFinished() const { return !finished_.Empty(); }
  size_t QueuedCount() const { return queued_.Size(); }
  const WaveHeader* Front() const { return queued_.head; }
  // Frames of the front buffer already played.
  size_t FrontOffset() const { return offset_; }

 private:
  size_t FramesOf(const WaveHeader* h) const { return h->bytes / (2 * size_t(channels_)); }

  int channels_;
  HeaderList queued_;
  HeaderList finished_;
  size_t offset_ = 0;
  bool paused_ = false;
  uint32_t volume_ = kWaveVolumeFull;
};

// Frames at the device's rate pulled through a converter from a BufferFifo
// at the program's rate. Allocates only in Init.
class ConvertingPull {
 public:
  bool Init(int channels, uint32_t fromRate, uint32_t toRate, std::string* error);
  void Close() { converter_.Close(); }
  bool Active() const { return converter_.Active(); }
  // As BufferFifo::Pull, in device frames; returns the program's frames
  // taken from buffers.
  size_t Pull(BufferFifo& fifo, int16_t* out, size_t frames);
  void Reset();

 private:
  RateConverter converter_;
  std::vector<int16_t> stage_;  // program frames taken from the FIFO, not yet converted
  size_t stagePos_ = 0;
  size_t stageLen_ = 0;
};

// Hands finished headers to the done callback away from the stream
// callback: on a thread of its own (kThread), or on the thread that flushes
// (kInline, for tests). Finish and, in kThread mode, Flush are wait-free.
class DoneNotifier {
 public:
  enum class Mode { kInline, kThread };

  DoneNotifier();
  ~DoneNotifier();
  DoneNotifier(const DoneNotifier&) = delete;
  DoneNotifier& operator=(const DoneNotifier&) = delete;

  void Start(Mode mode, WaveDoneCallback done);
  // Delivers whatever is left and ends the thread. Not from the callback.
  void Stop();
  // From the device side: the header has come back. Its flags change when
  // it is delivered (queued cleared, done set), just before its callback.
  void Finish(WaveHeader* h);
  // After Finish, with the device side released: wakes the thread, or
  // delivers now in kInline mode.
  void Flush();
  // Until every header finished so far has been through the callback.
  // Returns at once when called from the callback.
  void WaitDelivered();
  // True on the thread running the callback, while it runs it.
  bool InCallback() const;

 private:
  void DeliverLocked(std::unique_lock<std::mutex>& lock);
  void ThreadMain();

  HeaderStack done_;
  std::atomic<uint64_t> finished_{0};
  std::atomic<bool> stopping_{false};
  sem_t wake_;  // posted by Flush in kThread mode (sem_post takes no lock)

  std::mutex mutex_;  // delivery; never taken by a stream callback
  std::condition_variable delivered_cv_;
  HeaderList pending_;
  uint64_t delivered_ = 0;
  bool delivering_ = false;
  bool running_ = false;
  Mode mode_ = Mode::kInline;
  WaveDoneCallback done_cb_;
  std::thread thread_;
};

// The queue work the output and the input share, with the device side held:
// buffers written since the last look join the FIFO; buffers the FIFO has
// finished go to the notifier (true when there were any).
template <class Fifo>
void AdoptIncoming(HeaderStack& incoming, Fifo& fifo) {
  HeaderList in = incoming.TakeAll();
  while (WaveHeader* h = in.PopFront()) fifo.Push(h);
}
template <class Fifo>
bool HandOver(Fifo& fifo, DoneNotifier& notifier) {
  HeaderList done = fifo.TakeFinished();
  const bool any = !done.Empty();
  while (WaveHeader* h = done.PopFront()) notifier.Finish(h);
  return any;
}

// The text of a device's last failure, read from any thread.
class ErrorSlot {
 public:
  // Keeps `text`, or the result's own text when it is empty; returns r.
  WaveResult Set(WaveResult r, const std::string& text);
  void Clear();
  std::string Get() const;

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

// Prepare and Unprepare as every backend does them (flags only).
WaveResult PrepareWaveHeader(WaveHeader& h);
WaveResult UnprepareWaveHeader(WaveHeader& h);
// True for the formats this layer plays and records.
bool WaveFormatSupported(const WaveFormat& f);

// The whole behaviour of a wave output over a BufferFifo; a backend adds a
// device that calls Pull from its stream callback.
class QueuedWaveOut : public WaveOut {
 public:
  WaveResult Open(const WaveFormat& format, WaveDoneCallback done) override;
  WaveResult Close() override;
  bool IsOpen() const override { return open_; }
  WaveResult Prepare(WaveHeader& h) override;
  WaveResult Unprepare(WaveHeader& h) override;
  WaveResult Write(WaveHeader& h) override;
  WaveResult Pause() override;
  WaveResult Restart() override;
  WaveResult Reset() override;
  uint32_t GetVolume() const override;
  WaveResult SetVolume(uint32_t volume) override;
  std::string ErrorText() const override;

  // The device side: fills out with `frames` frames of the device's format
  // and hands back the buffers used up. Wait-free: when a command holds the
  // queue at that instant, the period is silence (and counted).
  size_t Pull(int16_t* out, size_t frames);
  // The format the device runs at: the open format, or the device's own
  // rate when it refused that one (the queue is then converted).
  WaveFormat DeviceFormat() const { return device_format_; }
  // Periods the stream played as silence because a command held the queue.
  uint64_t MissedPeriods() const { return missed_.load(std::memory_order_relaxed); }

 protected:
  explicit QueuedWaveOut(DoneNotifier::Mode mode) : mode_(mode) {}
  // Each backend's destructor calls Close() while its device still exists.
  ~QueuedWaveOut() override;

  // Starts the device's stream (which may call Pull at once); before it
  // starts, the backend tells UseDeviceFormat what the device runs at. On
  // failure fills *error.
  virtual bool OpenDevice(const WaveFormat& format, std::string* error) = 0;
  // Stops the stream: no Pull runs after it returns.
  virtual void CloseDevice() = 0;
  // From OpenDevice: the device runs at `device` (same channels, maybe
  // another rate); sets up the conversion. False with *error when none can.
  bool UseDeviceFormat(const WaveFormat& device, std::string* error);

  void SetDeliveryMode(DoneNotifier::Mode mode) { mode_ = mode; }
  // Test device: hands back the front buffer as if played through; false
  // when nothing is queued or the device is paused.
  bool FinishFront();
  void WaitDelivered() { notifier_.WaitDelivered(); }
  size_t QueuedCount() const;
  bool Paused() const { return paused_.load(); }

 private:
  WaveResult Fail(WaveResult r, const std::string& text);
  // With the device side held.
  void AdoptIncomingLocked();
  bool HandOverLocked();
  void DrainLocked();

  mutable DoneNotifier notifier_;
  DoneNotifier::Mode mode_;
  std::mutex command_mutex_;  // Write against Close among the program's threads
  std::atomic<bool> open_{false};
  WaveFormat format_;
  WaveFormat device_format_;
  std::atomic<bool> paused_{false};
  std::atomic<uint32_t> volume_{kWaveVolumeFull};
  HeaderStack incoming_;  // written, not yet taken by the device side
  std::atomic<uint64_t> missed_{0};

  mutable DeviceSideLock device_;
  BufferFifo fifo_;          // device side
  ConvertingPull convert_;   // device side

  ErrorSlot error_;
};

}  // namespace audio
