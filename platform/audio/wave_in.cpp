// Wave input: the shared queue behaviour, the PortAudio device and the test device.
#include "platform/audio/wave_in.h"

#include "platform/audio/portaudio_stream.h"

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

// --- ConvertingFeed ------------------------------------------------------------

bool ConvertingFeed::Init(const WaveFormat& device, const WaveFormat& wanted, std::string* error) {
  Close();
  deviceChannels_ = device.channels;
  channels_ = wanted.channels;
  if (device.sampleRate == wanted.sampleRate && device.channels == wanted.channels) return true;
  if (device.sampleRate != wanted.sampleRate &&
      !converter_.Init(wanted.channels, device.sampleRate, wanted.sampleRate, error, RateConverter::Quality::kFast))
    return false;
  mixed_.assign(RateConverter::kBlockFrames * size_t(channels_), 0);
  out_.assign(RateConverter::kBlockFrames * size_t(channels_), 0);
  active_ = true;
  return true;
}

void ConvertingFeed::Close() {
  converter_.Close();
  active_ = false;
}

size_t ConvertingFeed::Feed(CaptureFifo& fifo, const int16_t* in, size_t frames) {
  const size_t dch = size_t(deviceChannels_);
  const size_t ch = size_t(channels_);
  size_t stored = 0;
  while (frames > 0 && fifo.Started()) {
    const size_t n = std::min(frames, RateConverter::kBlockFrames);
    // Channels first: mono is the mean of the device's channels; a mono
    // device feeds every channel asked for.
    for (size_t f = 0; f < n; ++f) {
      const int16_t* frame = in + f * dch;
      if (ch == dch) {
        std::memcpy(&mixed_[f * ch], frame, ch * sizeof(int16_t));
      } else if (ch == 1) {
        int32_t sum = 0;
        for (size_t c = 0; c < dch; ++c) sum += frame[c];
        mixed_[f] = int16_t(sum / int32_t(dch));
      } else {
        for (size_t c = 0; c < ch; ++c) mixed_[f * ch + c] = frame[c < dch ? c : 0];
      }
    }
    if (!converter_.Active()) {
      stored += fifo.Feed(mixed_.data(), n);
    } else {
      size_t pos = 0;
      while (pos < n) {
        size_t used = 0, made = 0;
        converter_.Process(mixed_.data() + pos * ch, n - pos, out_.data(), RateConverter::kBlockFrames, &used,
                           &made);
        if (used == 0 && made == 0) break;
        pos += used;
        stored += fifo.Feed(out_.data(), made);
      }
    }
    in += n * dch;
    frames -= n;
  }
  return stored;
}

// --- QueuedWaveIn ------------------------------------------------------------

QueuedWaveIn::~QueuedWaveIn() { notifier_.Stop(); }

WaveResult QueuedWaveIn::Fail(WaveResult r) { return Fail(r, ""); }

WaveResult QueuedWaveIn::Fail(WaveResult r, const std::string& text) { return error_.Set(r, text); }

std::string QueuedWaveIn::ErrorText() const { return error_.Get(); }

void QueuedWaveIn::AdoptIncomingLocked() { AdoptIncoming(incoming_, fifo_); }

bool QueuedWaveIn::HandOverLocked() { return HandOver(fifo_, notifier_); }

WaveResult QueuedWaveIn::Open(const WaveFormat& format, WaveDoneCallback done) {
  if (open_) return Fail(WaveResult::kAlreadyOpen);
  if (!WaveFormatSupported(format)) return Fail(WaveResult::kBadFormat);
  {
    std::lock_guard lock(device_);
    fifo_.SetChannels(format.channels);
    fifo_.SetStarted(false);
    convert_.Close();
  }
  format_ = device_format_ = format;
  notifier_.Start(mode_, std::move(done));
  std::string error;
  if (!OpenDevice(format, &error)) {
    notifier_.Stop();
    return Fail(WaveResult::kNoDevice, error.empty() ? "the wave input device cannot be opened" : error);
  }
  open_ = true;
  error_.Clear();
  return WaveResult::kOk;
}

bool QueuedWaveIn::UseDeviceFormat(const WaveFormat& device, std::string* error) {
  std::lock_guard lock(device_);
  device_format_ = device;
  if (device.bitsPerSample != 16 || device.channels < 1 || device.sampleRate == 0) {
    if (error) *error = "the input device records in a format this program cannot read";
    return false;
  }
  return convert_.Init(device, format_, error);
}

WaveResult QueuedWaveIn::Close() {
  if (!open_) return Fail(WaveResult::kNotOpen);
  if (notifier_.InCallback()) return Fail(WaveResult::kInCallback);
  {
    // From here a callback's AddBuffer is refused, so nothing is left queued.
    std::lock_guard lock(command_mutex_);
    open_ = false;
  }
  CloseDevice();
  {
    std::lock_guard lock(device_);
    AdoptIncomingLocked();
    fifo_.FinishAll();
    HandOverLocked();
    convert_.Close();
  }
  notifier_.Flush();
  notifier_.WaitDelivered();
  notifier_.Stop();
  return WaveResult::kOk;
}

WaveResult QueuedWaveIn::Prepare(WaveHeader& h) {
  if (!open_) return Fail(WaveResult::kNotOpen);
  const WaveResult r = PrepareWaveHeader(h);
  return r == WaveResult::kOk ? r : Fail(r);
}

WaveResult QueuedWaveIn::Unprepare(WaveHeader& h) {
  if (!open_) return Fail(WaveResult::kNotOpen);
  const WaveResult r = UnprepareWaveHeader(h);
  return r == WaveResult::kOk ? r : Fail(r);
}

WaveResult QueuedWaveIn::AddBuffer(WaveHeader& h) {
  std::lock_guard lock(command_mutex_);
  if (!open_) return Fail(WaveResult::kNotOpen);
  const uint32_t flags = h.flags.load();
  if (!(flags & kWaveHeaderPrepared)) return Fail(WaveResult::kNotPrepared);
  if (flags & kWaveHeaderQueued) return Fail(WaveResult::kStillPlaying);
  h.bytesRecorded = 0;
  h.flags.store((flags & ~kWaveHeaderDone) | kWaveHeaderQueued);
  incoming_.Push(&h);
  return WaveResult::kOk;
}

WaveResult QueuedWaveIn::Start() {
  if (!open_) return Fail(WaveResult::kNotOpen);
  std::lock_guard lock(device_);
  AdoptIncomingLocked();
  if (!fifo_.Started()) convert_.Reset();
  fifo_.SetStarted(true);
  return WaveResult::kOk;
}

WaveResult QueuedWaveIn::Stop() {
  if (!open_) return Fail(WaveResult::kNotOpen);
  {
    std::lock_guard lock(device_);
    AdoptIncomingLocked();
    fifo_.Stop();
    HandOverLocked();
  }
  notifier_.Flush();
  return WaveResult::kOk;
}

WaveResult QueuedWaveIn::Reset() {
  if (!open_) return Fail(WaveResult::kNotOpen);
  {
    std::lock_guard lock(device_);
    AdoptIncomingLocked();
    fifo_.FinishAll();
    HandOverLocked();
  }
  notifier_.Flush();
  notifier_.WaitDelivered();
  return WaveResult::kOk;
}

size_t QueuedWaveIn::Feed(const int16_t* in, size_t frames) {
  std::unique_lock lock(device_, std::try_to_lock);
  if (!lock.owns_lock()) {
    missed_.fetch_add(1, std::memory_order_relaxed);
    return 0;
  }
  AdoptIncomingLocked();
  const size_t stored = convert_.Active() ? convert_.Feed(fifo_, in, frames) : fifo_.Feed(in, frames);
  const bool finished = HandOverLocked();
  lock.unlock();
  if (finished) notifier_.Flush();
  return stored;
}

size_t QueuedWaveIn::QueuedCount() const {
  auto* self = const_cast<QueuedWaveIn*>(this);
  std::lock_guard lock(device_);
  self->AdoptIncomingLocked();
  return fifo_.QueuedCount();
}

bool QueuedWaveIn::Started() const {
  std::lock_guard lock(device_);
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
    stream_ = OpenDefaultStream(
        true, format.channels, format.sampleRate, &PortAudioWaveIn::StreamCallback, this,
        [&](const StreamFormat& opened, std::string* why) {
          return UseDeviceFormat(WaveFormat{uint32_t(opened.sampleRate), uint16_t(opened.channels), 16}, why);
        },
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

bool TestWaveIn::OpenDevice(const WaveFormat& format, std::string* error) {
  if (open_hook_) open_hook_();
  if (!open_failure_.empty()) {
    *error = open_failure_;
    return false;
  }
  WaveFormat device = format;
  if (!device_rates_.empty() &&
      std::find(device_rates_.begin(), device_rates_.end(), format.sampleRate) == device_rates_.end())
    device.sampleRate = device_rates_.front();
  if (device_channels_ > 0) device.channels = uint16_t(device_channels_);
  return UseDeviceFormat(device, error);
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
