// Wave input: the shared queue behaviour, the PortAudio device and the test device.
#include "platform/wave_in.h"

#include "platform/portaudio_stream.h"

#include <algorithm>
#include <cstring>

namespace audio {

// --- CaptureFifo -------------------------------------------------------------

size_t CaptureFifo::Feed(const int16_t* in, size_t frames) {
  const size_t ch = size_t(channels_);
  size_t stored = 0;
  while (started_ && stored < frames && queued_.head) {
    WaveHeader* h = queued_.head;
    const size_t total = FramesOf(h);
    const size_t at = h->bytesRecorded / (2 * ch);
    const size_t n = std::min(total - at, frames - stored);
    if (n > 0) {
      std::memcpy(static_cast<uint8_t*>(h->data) + at * ch * 2, in + stored * ch, n * ch * 2);
      h->bytesRecorded = uint32_t((at + n) * ch * 2);
      stored += n;
    }
    if (at + n >= total) finished_.PushBack(queued_.PopFront());
  }
  return stored;
}

void CaptureFifo::Stop() {
  started_ = false;
  if (queued_.head && queued_.head->bytesRecorded > 0) finished_.PushBack(queued_.PopFront());
}

void CaptureFifo::FinishAll() {
  started_ = false;
  while (WaveHeader* h = queued_.PopFront()) finished_.PushBack(h);
}

HeaderList CaptureFifo::TakeFinished() {
  HeaderList taken = finished_;
  finished_ = HeaderList{};
  return taken;
}

// --- QueuedWaveIn ------------------------------------------------------------

QueuedWaveIn::~QueuedWaveIn() { notifier_.Stop(); }

WaveResult QueuedWaveIn::Fail(WaveResult r) { return Fail(r, ""); }

WaveResult QueuedWaveIn::Fail(WaveResult r, const std::string& text) {
  std::lock_guard lock(error_mutex_);
  error_ = text.empty() ? WaveResultText(r) : text;
  return r;
}

std::string QueuedWaveIn::ErrorText() const {
  std::lock_guard lock(error_mutex_);
  return error_;
}

void QueuedWaveIn::HandOverLocked() {
  HeaderList done = fifo_.TakeFinished();
  while (WaveHeader* h = done.PopFront()) notifier_.FinishLocked(h);
}

WaveResult QueuedWaveIn::Open(const WaveFormat& format, WaveDoneCallback done) {
  if (open_) return Fail(WaveResult::kAlreadyOpen);
  if (!WaveFormatSupported(format)) return Fail(WaveResult::kBadFormat);
  {
    std::lock_guard lock(notifier_.Mutex());
    fifo_.SetChannels(format.channels);
    fifo_.SetStarted(false);
  }
  notifier_.Start(mode_, std::move(done));
  std::string error;
  if (!OpenDevice(format, &error)) {
    notifier_.Stop();
    return Fail(WaveResult::kNoDevice, error.empty() ? "the wave input device cannot be opened" : error);
  }
  open_ = true;
  std::lock_guard lock(error_mutex_);
  error_.clear();
  return WaveResult::kOk;
}

WaveResult QueuedWaveIn::Close() {
  if (!open_) return Fail(WaveResult::kNotOpen);
  if (notifier_.InCallback()) return Fail(WaveResult::kInCallback);
  {
    // From here a callback's AddBuffer is refused, so nothing is left queued.
    std::lock_guard lock(notifier_.Mutex());
    open_ = false;
  }
  CloseDevice();
  {
    std::lock_guard lock(notifier_.Mutex());
    fifo_.FinishAll();
    HandOverLocked();
  }
  notifier_.Flush();
  notifier_.WaitDelivered();
  notifier_.Stop();
  return WaveResult::kOk;
}

WaveResult QueuedWaveIn::Prepare(WaveHeader& h) {
  if (!open_) return Fail(WaveResult::kNotOpen);
  std::lock_guard lock(notifier_.Mutex());
  const WaveResult r = PrepareWaveHeader(h);
  return r == WaveResult::kOk ? r : Fail(r);
}

WaveResult QueuedWaveIn::Unprepare(WaveHeader& h) {
  if (!open_) return Fail(WaveResult::kNotOpen);
  std::lock_guard lock(notifier_.Mutex());
  const WaveResult r = UnprepareWaveHeader(h);
  return r == WaveResult::kOk ? r : Fail(r);
}

WaveResult QueuedWaveIn::AddBuffer(WaveHeader& h) {
  std::lock_guard lock(notifier_.Mutex());
  if (!open_) return Fail(WaveResult::kNotOpen);
  const uint32_t flags = h.flags.load();
  if (!(flags & kWaveHeaderPrepared)) return Fail(WaveResult::kNotPrepared);
  if (flags & kWaveHeaderQueued) return Fail(WaveResult::kStillPlaying);
  h.bytesRecorded = 0;
  h.flags.store((flags & ~kWaveHeaderDone) | kWaveHeaderQueued);
  fifo_.Push(&h);
  return WaveResult::kOk;
}

WaveResult QueuedWaveIn::Start() {
  if (!open_) return Fail(WaveResult::kNotOpen);
  std::lock_guard lock(notifier_.Mutex());
  fifo_.SetStarted(true);
  return WaveResult::kOk;
}

WaveResult QueuedWaveIn::Stop() {
  if (!open_) return Fail(WaveResult::kNotOpen);
  {
    std::lock_guard lock(notifier_.Mutex());
    fifo_.Stop();
    HandOverLocked();
  }
  notifier_.Flush();
  return WaveResult::kOk;
}

WaveResult QueuedWaveIn::Reset() {
  if (!open_) return Fail(WaveResult::kNotOpen);
  {
    std::lock_guard lock(notifier_.Mutex());
    fifo_.FinishAll();
    HandOverLocked();
  }
  notifier_.Flush();
  notifier_.WaitDelivered();
  return WaveResult::kOk;
}

size_t QueuedWaveIn::Feed(const int16_t* in, size_t frames) {
  size_t stored;
  bool finished;
  {
    std::lock_guard lock(notifier_.Mutex());
    stored = fifo_.Feed(in, frames);
    finished = fifo_.HasFinished();
    HandOverLocked();
  }
  if (finished) notifier_.Flush();
  return stored;
}

size_t QueuedWaveIn::QueuedCount() const {
  std::lock_guard lock(notifier_.Mutex());
  return fifo_.QueuedCount();
}

bool QueuedWaveIn::Started() const {
  std::lock_guard lock(notifier_.Mutex());
  return fifo_.Started();
}

// --- PortAudio ---------------------------------------------------------------

namespace {

class PortAudioWaveIn final : public QueuedWaveIn {
 public:
  PortAudioWaveIn() : QueuedWaveIn(DoneNotifier::Mode::kThread) {}
  ~PortAudioWaveIn() override { Close(); }

 protected:
  bool OpenDevice(const WaveFormat& format, std::string* error) override {
    stream_ = OpenDefaultStream(true, format.channels, format.sampleRate, &PortAudioWaveIn::StreamCallback, this,
                                error);
    return stream_ != nullptr;
  }

  void CloseDevice() override {
    CloseDefaultStream(stream_);
    stream_ = nullptr;
  }

 private:
  static int StreamCallback(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                            PaStreamCallbackFlags, void* self) {
    if (input) static_cast<PortAudioWaveIn*>(self)->Feed(static_cast<const int16_t*>(input), frames);
    return paContinue;
  }

  PaStream* stream_ = nullptr;
};

}  // namespace

std::unique_ptr<WaveIn> CreatePortAudioWaveIn() { return std::make_unique<PortAudioWaveIn>(); }

// --- test device -------------------------------------------------------------

TestWaveIn::TestWaveIn() : QueuedWaveIn(DoneNotifier::Mode::kInline) {}

TestWaveIn::~TestWaveIn() {
  if (IsOpen()) QueuedWaveIn::Close();
}

void TestWaveIn::SetThreadedCompletion(bool on) {
  if (IsOpen()) return;
  SetDeliveryMode(on ? DoneNotifier::Mode::kThread : DoneNotifier::Mode::kInline);
}

bool TestWaveIn::OpenDevice(const WaveFormat&, std::string* error) {
  if (open_failure_.empty()) return true;
  *error = open_failure_;
  return false;
}

WaveResult TestWaveIn::Log(const char* name, WaveResult r, const WaveHeader* h, uint64_t value) {
  std::lock_guard lock(log_mutex_);
  calls_.push_back(WaveInCall{name, h, value, r});
  return r;
}

WaveResult TestWaveIn::Open(const WaveFormat& format, WaveDoneCallback done) {
  return Log("Open", QueuedWaveIn::Open(format, std::move(done)), nullptr, format.sampleRate);
}
WaveResult TestWaveIn::Close() { return Log("Close", QueuedWaveIn::Close()); }
WaveResult TestWaveIn::Prepare(WaveHeader& h) { return Log("Prepare", QueuedWaveIn::Prepare(h), &h); }
WaveResult TestWaveIn::Unprepare(WaveHeader& h) { return Log("Unprepare", QueuedWaveIn::Unprepare(h), &h); }
WaveResult TestWaveIn::AddBuffer(WaveHeader& h) { return Log("AddBuffer", QueuedWaveIn::AddBuffer(h), &h); }
WaveResult TestWaveIn::Start() { return Log("Start", QueuedWaveIn::Start()); }
WaveResult TestWaveIn::Stop() { return Log("Stop", QueuedWaveIn::Stop()); }
WaveResult TestWaveIn::Reset() { return Log("Reset", QueuedWaveIn::Reset()); }

std::vector<WaveInCall> TestWaveIn::Calls() const {
  std::lock_guard lock(log_mutex_);
  return calls_;
}

std::vector<std::string> TestWaveIn::CallNames() const {
  std::lock_guard lock(log_mutex_);
  std::vector<std::string> names;
  for (const WaveInCall& c : calls_) names.push_back(c.name);
  return names;
}

void TestWaveIn::ClearCalls() {
  std::lock_guard lock(log_mutex_);
  calls_.clear();
}

std::unique_ptr<TestWaveIn> CreateTestWaveIn() { return std::make_unique<TestWaveIn>(); }

}  // namespace audio
