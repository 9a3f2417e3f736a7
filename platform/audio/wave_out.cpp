// Wave output behaviour shared by the backends: header flags, the buffer
// queue pulled by the stream, software volume and the done notifier.
#include "platform/audio/wave_out.h"

#include <algorithm>
#include <cstring>

namespace audio {

const char* WaveResultText(WaveResult r) {
  switch (r) {
    case WaveResult::kOk: return "";
    case WaveResult::kNotOpen: return "the wave device is not open";
    case WaveResult::kAlreadyOpen: return "the wave device is already open";
    case WaveResult::kBadFormat: return "unsupported wave format";
    case WaveResult::kNoDevice: return "no wave device";
    case WaveResult::kInvalidHeader: return "the wave header has no data";
    case WaveResult::kNotPrepared: return "the wave header is not prepared";
    case WaveResult::kStillPlaying: return "the wave header is still queued on the device";
    case WaveResult::kInCallback: return "not allowed inside the done callback";
  }
  return "unknown wave error";
}

void ApplyVolume(int16_t* samples, size_t frames, int channels, uint32_t volume) {
  if (volume == kWaveVolumeFull || channels < 1) return;
  const uint16_t left = WaveVolumeLeft(volume);
  const uint16_t right = WaveVolumeRight(volume);
  for (size_t f = 0; f < frames; ++f) {
    int16_t* frame = samples + f * size_t(channels);
    frame[0] = ScaleSample(frame[0], left);
    for (int c = 1; c < channels; ++c) frame[c] = ScaleSample(frame[c], right);
  }
}

// --- HeaderList --------------------------------------------------------------

void HeaderList::PushBack(WaveHeader* h) {
  h->next = nullptr;
  if (tail) tail->next = h; else head = h;
  tail = h;
}

WaveHeader* HeaderList::PopFront() {
  WaveHeader* h = head;
  if (!h) return nullptr;
  head = h->next;
  if (!head) tail = nullptr;
  h->next = nullptr;
  return h;
}

void HeaderList::Append(HeaderList other) {
  if (other.Empty()) return;
  if (tail) tail->next = other.head; else head = other.head;
  tail = other.tail;
}

size_t HeaderList::Size() const {
  size_t n = 0;
  for (const WaveHeader* h = head; h; h = h->next) ++n;
  return n;
}

// --- HeaderStack, DeviceSideLock ----------------------------------------------

void HeaderStack::Push(WaveHeader* h) {
  WaveHeader* old = head_.load(std::memory_order_relaxed);
  do {
    h->next = old;
  } while (!head_.compare_exchange_weak(old, h, std::memory_order_release, std::memory_order_relaxed));
}

HeaderList HeaderStack::TakeAll() {
  // Newest first on the stack: reversed into the order of the pushes.
  WaveHeader* h = head_.exchange(nullptr, std::memory_order_acquire);
  HeaderList list;
  list.tail = h;
  while (h) {
    WaveHeader* next = h->next;
    h->next = list.head;
    list.head = h;
    h = next;
  }
  return list;
}

void DeviceSideLock::lock() {
  while (!try_lock()) std::this_thread::yield();
}

// --- BufferFifo --------------------------------------------------------------

size_t BufferFifo::Pull(int16_t* out, size_t frames) {
  const size_t ch = size_t(channels_);
  size_t filled = 0;
  while (filled < frames && !paused_ && queued_.head) {
    WaveHeader* h = queued_.head;
    const size_t total = FramesOf(h);
    const size_t n = std::min(total - offset_, frames - filled);
    if (n > 0) {
      // The caller's data need not be aligned for int16_t.
      std::memcpy(out + filled * ch, static_cast<const uint8_t*>(h->data) + offset_ * ch * 2, n * ch * 2);
      ApplyVolume(out + filled * ch, n, channels_, volume_);
      offset_ += n;
      filled += n;
    }
    if (offset_ >= total) {
      finished_.PushBack(queued_.PopFront());
      offset_ = 0;
    }
  }
  if (filled < frames) std::memset(out + filled * ch, 0, (frames - filled) * ch * 2);
  return filled;
}

bool BufferFifo::FinishFront() {
  WaveHeader* h = queued_.PopFront();
  if (!h) return false;
  finished_.PushBack(h);
  offset_ = 0;
  return true;
}

void BufferFifo::FinishAll() {
  while (FinishFront()) {}
}

HeaderList BufferFifo::TakeFinished() {
  HeaderList taken = finished_;
  finished_ = HeaderList{};
  return taken;
}

// --- ConvertingPull ------------------------------------------------------------

bool ConvertingPull::Init(int channels, uint32_t fromRate, uint32_t toRate, std::string* error) {
  if (!converter_.Init(channels, fromRate, toRate, error)) return false;
  stage_.assign(RateConverter::kBlockFrames * size_t(channels), 0);
  stagePos_ = stageLen_ = 0;
  return true;
}

void ConvertingPull::Reset() {
  converter_.Reset();
  stagePos_ = stageLen_ = 0;
}

size_t ConvertingPull::Pull(BufferFifo& fifo, int16_t* out, size_t frames) {
  const size_t ch = size_t(converter_.Channels());
  if (fifo.Paused()) {
    // The converter stands still with the device: nothing is taken.
    std::memset(out, 0, frames * ch * sizeof(int16_t));
    return 0;
  }
  size_t played = 0;
  size_t done = 0;
  while (done < frames) {
    if (stagePos_ == stageLen_) {
      // Only about what this period needs, so that a buffer written a little
      // later still follows on without a gap.
      const double want = double(frames - done) / converter_.Ratio();
      const size_t n = std::min(RateConverter::kBlockFrames, size_t(want) + 2);
      played += fifo.Pull(stage_.data(), n);
      stagePos_ = 0;
      stageLen_ = n;
    }
    size_t used = 0, made = 0;
    converter_.Process(stage_.data() + stagePos_ * ch, stageLen_ - stagePos_, out + done * ch, frames - done, &used,
                       &made);
    if (used == 0 && made == 0) {
      std::memset(out + done * ch, 0, (frames - done) * ch * sizeof(int16_t));
      break;
    }
    stagePos_ += used;
    done += made;
  }
  return played;
}

// --- DoneNotifier ------------------------------------------------------------

namespace {
// The notifier whose callback this thread is running, if any.
thread_local const DoneNotifier* t_delivering = nullptr;
}  // namespace

DoneNotifier::DoneNotifier() { sem_init(&wake_, 0, 0); }

DoneNotifier::~DoneNotifier() {
  Stop();
  sem_destroy(&wake_);
}

void DoneNotifier::Start(Mode mode, WaveDoneCallback done) {
  Stop();
  {
    std::lock_guard lock(mutex_);
    mode_ = mode;
    done_cb_ = std::move(done);
    running_ = true;
  }
  stopping_.store(false);
  if (mode == Mode::kThread) thread_ = std::thread([this] { ThreadMain(); });
}

void DoneNotifier::Stop() {
  {
    std::lock_guard lock(mutex_);
    if (!running_) return;
  }
  if (mode_ == Mode::kThread) {
    stopping_.store(true);
    sem_post(&wake_);
    if (thread_.joinable()) thread_.join();
  } else {
    Flush();
  }
  std::lock_guard lock(mutex_);
  running_ = false;
  done_cb_ = nullptr;
  delivered_cv_.notify_all();
}

void DoneNotifier::Finish(WaveHeader* h) {
  done_.Push(h);
  finished_.fetch_add(1, std::memory_order_release);
}

void DoneNotifier::Flush() {
  if (mode_ == Mode::kThread) {
    sem_post(&wake_);
    return;
  }
  std::unique_lock lock(mutex_);
  // A callback that queues more work on this thread leaves it to the loop
  // already running below it; another thread leaves it to the one delivering.
  if (delivering_) return;
  const DoneNotifier* outer = t_delivering;
  t_delivering = this;
  DeliverLocked(lock);
  t_delivering = outer;
}

void DoneNotifier::DeliverLocked(std::unique_lock<std::mutex>& lock) {
  delivering_ = true;
  for (;;) {
    pending_.Append(done_.TakeAll());
    WaveHeader* h = pending_.PopFront();
    if (!h) break;
    h->flags.store((h->flags.load() & ~kWaveHeaderQueued) | kWaveHeaderDone);
    WaveDoneCallback& done = done_cb_;
    lock.unlock();
    if (done) done(*h);
    lock.lock();
    ++delivered_;
    delivered_cv_.notify_all();
  }
  delivering_ = false;
}

void DoneNotifier::ThreadMain() {
  t_delivering = this;
  for (;;) {
    while (sem_wait(&wake_) != 0) {}  // only EINTR
    std::unique_lock lock(mutex_);
    DeliverLocked(lock);
    if (stopping_.load() && done_.Empty()) break;
  }
}

void DoneNotifier::WaitDelivered() {
  if (InCallback()) return;
  if (mode_ == Mode::kInline) Flush();
  std::unique_lock lock(mutex_);
  // Headers finished while waiting (a callback may reset) are waited for
  // too: a callback's Finish comes before its own delivery is counted.
  delivered_cv_.wait(lock, [&] { return delivered_ >= finished_.load(std::memory_order_acquire) || !running_; });
}

bool DoneNotifier::InCallback() const { return t_delivering == this; }

// --- ErrorSlot -----------------------------------------------------------------

WaveResult ErrorSlot::Set(WaveResult r, const std::string& text) {
  std::lock_guard lock(mutex_);
  text_ = text.empty() ? WaveResultText(r) : text;
  return r;
}

void ErrorSlot::Clear() {
  std::lock_guard lock(mutex_);
  text_.clear();
}

std::string ErrorSlot::Get() const {
  std::lock_guard lock(mutex_);
  return text_;
}

// --- header flags ------------------------------------------------------------

WaveResult PrepareWaveHeader(WaveHeader& h) {
  if (!h.data && h.bytes > 0) return WaveResult::kInvalidHeader;
  h.flags.fetch_or(kWaveHeaderPrepared);
  return WaveResult::kOk;
}

WaveResult UnprepareWaveHeader(WaveHeader& h) {
  if (h.Queued()) return WaveResult::kStillPlaying;
  h.flags.fetch_and(~kWaveHeaderPrepared);
  return WaveResult::kOk;
}

bool WaveFormatSupported(const WaveFormat& f) {
  return f.bitsPerSample == 16 && (f.channels == 1 || f.channels == 2) && f.sampleRate >= 1000 &&
         f.sampleRate <= 384000;
}

// --- QueuedWaveOut -----------------------------------------------------------

QueuedWaveOut::~QueuedWaveOut() {
  // The backend's destructor has closed the device; only the notifier may
  // still be running when that destructor forgot to.
  notifier_.Stop();
}

WaveResult QueuedWaveOut::Fail(WaveResult r, const std::string& text) { return error_.Set(r, text); }

std::string QueuedWaveOut::ErrorText() const { return error_.Get(); }

WaveResult QueuedWaveOut::Open(const WaveFormat& format, WaveDoneCallback done) {
  if (open_) return Fail(WaveResult::kAlreadyOpen, "");
  if (!WaveFormatSupported(format)) return Fail(WaveResult::kBadFormat, "");
  {
    std::lock_guard lock(device_);
    fifo_.SetChannels(format.channels);
    fifo_.SetPaused(false);
    convert_.Close();
  }
  paused_ = false;
  format_ = device_format_ = format;
  notifier_.Start(mode_, std::move(done));
  std::string error;
  if (!OpenDevice(format, &error)) {
    notifier_.Stop();
    return Fail(WaveResult::kNoDevice, error.empty() ? "the wave output device cannot be opened" : error);
  }
  open_ = true;
  error_.Clear();
  return WaveResult::kOk;
}

bool QueuedWaveOut::UseDeviceFormat(const WaveFormat& device, std::string* error) {
  std::lock_guard lock(device_);
  device_format_ = device;
  if (device.channels != format_.channels || !WaveFormatSupported(device)) {
    if (error) *error = "the output device does not play " + std::to_string(format_.channels) + " channels";
    return false;
  }
  if (device.sampleRate == format_.sampleRate) {
    convert_.Close();
    return true;
  }
  return convert_.Init(format_.channels, format_.sampleRate, device.sampleRate, error);
}

WaveResult QueuedWaveOut::Close() {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  if (notifier_.InCallback()) return Fail(WaveResult::kInCallback, "");
  {
    // From here a callback's Write is refused, so nothing is left queued.
    std::lock_guard lock(command_mutex_);
    open_ = false;
  }
  CloseDevice();
  {
    std::lock_guard lock(device_);
    DrainLocked();
    convert_.Close();
  }
  notifier_.Flush();
  notifier_.WaitDelivered();
  notifier_.Stop();
  return WaveResult::kOk;
}

void QueuedWaveOut::AdoptIncomingLocked() { AdoptIncoming(incoming_, fifo_); }

bool QueuedWaveOut::HandOverLocked() { return HandOver(fifo_, notifier_); }

void QueuedWaveOut::DrainLocked() {
  AdoptIncomingLocked();
  fifo_.FinishAll();
  fifo_.SetPaused(false);
  paused_ = false;
  convert_.Reset();
  HandOverLocked();
}

WaveResult QueuedWaveOut::Prepare(WaveHeader& h) {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  const WaveResult r = PrepareWaveHeader(h);
  return r == WaveResult::kOk ? r : Fail(r, "");
}

WaveResult QueuedWaveOut::Unprepare(WaveHeader& h) {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  const WaveResult r = UnprepareWaveHeader(h);
  return r == WaveResult::kOk ? r : Fail(r, "");
}

WaveResult QueuedWaveOut::Write(WaveHeader& h) {
  std::lock_guard lock(command_mutex_);
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  const uint32_t flags = h.flags.load();
  if (!(flags & kWaveHeaderPrepared)) return Fail(WaveResult::kNotPrepared, "");
  if (flags & kWaveHeaderQueued) return Fail(WaveResult::kStillPlaying, "");
  h.flags.store((flags & ~kWaveHeaderDone) | kWaveHeaderQueued);
  incoming_.Push(&h);
  return WaveResult::kOk;
}

WaveResult QueuedWaveOut::Pause() {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  paused_ = true;
  return WaveResult::kOk;
}

WaveResult QueuedWaveOut::Restart() {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  paused_ = false;
  return WaveResult::kOk;
}

WaveResult QueuedWaveOut::Reset() {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  {
    std::lock_guard lock(device_);
    DrainLocked();
  }
  notifier_.Flush();
  notifier_.WaitDelivered();
  return WaveResult::kOk;
}

uint32_t QueuedWaveOut::GetVolume() const { return volume_.load(); }

WaveResult QueuedWaveOut::SetVolume(uint32_t volume) {
  volume_ = volume;
  return WaveResult::kOk;
}

size_t QueuedWaveOut::Pull(int16_t* out, size_t frames) {
  std::unique_lock lock(device_, std::try_to_lock);
  if (!lock.owns_lock()) {
    std::memset(out, 0, frames * device_format_.channels * sizeof(int16_t));
    missed_.fetch_add(1, std::memory_order_relaxed);
    return 0;
  }
  AdoptIncomingLocked();
  fifo_.SetPaused(paused_.load(std::memory_order_acquire));
  fifo_.SetVolume(volume_.load(std::memory_order_relaxed));
  const size_t played = convert_.Active() ? convert_.Pull(fifo_, out, frames) : fifo_.Pull(out, frames);
  const bool finished = HandOverLocked();
  lock.unlock();
  if (finished) notifier_.Flush();
  return played;
}

bool QueuedWaveOut::FinishFront() {
  {
    std::lock_guard lock(device_);
    AdoptIncomingLocked();
    if (paused_.load() || !fifo_.FinishFront()) return false;
    HandOverLocked();
  }
  notifier_.Flush();
  return true;
}

size_t QueuedWaveOut::QueuedCount() const {
  auto* self = const_cast<QueuedWaveOut*>(this);
  std::lock_guard lock(device_);
  self->AdoptIncomingLocked();
  return fifo_.QueuedCount();
}

}  // namespace audio
