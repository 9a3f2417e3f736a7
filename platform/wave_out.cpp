// Wave output behaviour shared by the backends: header flags, the buffer
// queue pulled by the stream, software volume and the done notifier.
#include "platform/wave_out.h"

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

size_t HeaderList::Size() const {
  size_t n = 0;
  for (const WaveHeader* h = head; h; h = h->next) ++n;
  return n;
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

// --- DoneNotifier ------------------------------------------------------------

namespace {
// The notifier whose callback this thread is running, if any.
thread_local const DoneNotifier* t_delivering = nullptr;
}  // namespace

DoneNotifier::~DoneNotifier() { Stop(); }

void DoneNotifier::Start(Mode mode, WaveDoneCallback done) {
  Stop();
  {
    std::lock_guard lock(mutex_);
    mode_ = mode;
    done_ = std::move(done);
    stopping_ = false;
    running_ = true;
  }
  if (mode == Mode::kThread) thread_ = std::thread([this] { ThreadMain(); });
}

void DoneNotifier::Stop() {
  if (!running_) return;
  if (mode_ == Mode::kThread) {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  } else {
    Flush();
  }
  std::lock_guard lock(mutex_);
  running_ = false;
  done_ = nullptr;
}

void DoneNotifier::FinishLocked(WaveHeader* h) {
  pending_.PushBack(h);
  ++finished_;
}

void DoneNotifier::Flush() {
  if (mode_ == Mode::kThread) {
    wake_.notify_one();
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
  while (WaveHeader* h = pending_.PopFront()) {
    h->flags.store((h->flags.load() & ~kWaveHeaderQueued) | kWaveHeaderDone);
    WaveDoneCallback& done = done_;
    lock.unlock();
    if (done) done(*h);
    lock.lock();
    ++delivered_;
  }
  delivering_ = false;
  delivered_cv_.notify_all();
}

void DoneNotifier::ThreadMain() {
  t_delivering = this;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return !pending_.Empty() || stopping_; });
    if (pending_.Empty()) break;
    DeliverLocked(lock);
  }
}

void DoneNotifier::WaitDelivered() {
  if (InCallback()) return;
  if (mode_ == Mode::kInline) Flush();
  std::unique_lock lock(mutex_);
  // Headers finished while waiting (a callback may reset) are waited for too.
  delivered_cv_.wait(lock, [&] { return delivered_ >= finished_ || !running_; });
}

bool DoneNotifier::InCallback() const { return t_delivering == this; }

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

WaveResult QueuedWaveOut::Fail(WaveResult r, const std::string& text) {
  std::lock_guard lock(error_mutex_);
  error_ = text.empty() ? WaveResultText(r) : text;
  return r;
}

std::string QueuedWaveOut::ErrorText() const {
  std::lock_guard lock(error_mutex_);
  return error_;
}

WaveResult QueuedWaveOut::Open(const WaveFormat& format, WaveDoneCallback done) {
  if (open_) return Fail(WaveResult::kAlreadyOpen, "");
  if (!WaveFormatSupported(format)) return Fail(WaveResult::kBadFormat, "");
  {
    std::lock_guard lock(notifier_.Mutex());
    fifo_.SetChannels(format.channels);
    fifo_.SetPaused(false);
  }
  format_ = format;
  notifier_.Start(mode_, std::move(done));
  std::string error;
  if (!OpenDevice(format, &error)) {
    notifier_.Stop();
    return Fail(WaveResult::kNoDevice, error.empty() ? "the wave output device cannot be opened" : error);
  }
  open_ = true;
  {
    std::lock_guard lock(error_mutex_);
    error_.clear();
  }
  return WaveResult::kOk;
}

WaveResult QueuedWaveOut::Close() {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  if (notifier_.InCallback()) return Fail(WaveResult::kInCallback, "");
  {
    // From here a callback's Write is refused, so nothing is left queued.
    std::lock_guard lock(notifier_.Mutex());
    open_ = false;
  }
  CloseDevice();
  {
    std::lock_guard lock(notifier_.Mutex());
    fifo_.FinishAll();
    fifo_.SetPaused(false);
    HandOverLocked();
  }
  notifier_.Flush();
  notifier_.WaitDelivered();
  notifier_.Stop();
  return WaveResult::kOk;
}

void QueuedWaveOut::HandOverLocked() {
  HeaderList done = fifo_.TakeFinished();
  while (WaveHeader* h = done.PopFront()) notifier_.FinishLocked(h);
}

WaveResult QueuedWaveOut::Prepare(WaveHeader& h) {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  std::lock_guard lock(notifier_.Mutex());
  const WaveResult r = PrepareWaveHeader(h);
  return r == WaveResult::kOk ? r : Fail(r, "");
}

WaveResult QueuedWaveOut::Unprepare(WaveHeader& h) {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  std::lock_guard lock(notifier_.Mutex());
  const WaveResult r = UnprepareWaveHeader(h);
  return r == WaveResult::kOk ? r : Fail(r, "");
}

WaveResult QueuedWaveOut::Write(WaveHeader& h) {
  std::lock_guard lock(notifier_.Mutex());
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  const uint32_t flags = h.flags.load();
  if (!(flags & kWaveHeaderPrepared)) return Fail(WaveResult::kNotPrepared, "");
  if (flags & kWaveHeaderQueued) return Fail(WaveResult::kStillPlaying, "");
  h.flags.store((flags & ~kWaveHeaderDone) | kWaveHeaderQueued);
  fifo_.Push(&h);
  return WaveResult::kOk;
}

WaveResult QueuedWaveOut::Pause() {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  std::lock_guard lock(notifier_.Mutex());
  fifo_.SetPaused(true);
  return WaveResult::kOk;
}

WaveResult QueuedWaveOut::Restart() {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  std::lock_guard lock(notifier_.Mutex());
  fifo_.SetPaused(false);
  return WaveResult::kOk;
}

WaveResult QueuedWaveOut::Reset() {
  if (!open_) return Fail(WaveResult::kNotOpen, "");
  {
    std::lock_guard lock(notifier_.Mutex());
    fifo_.FinishAll();
    fifo_.SetPaused(false);
    HandOverLocked();
  }
  notifier_.Flush();
  notifier_.WaitDelivered();
  return WaveResult::kOk;
}

uint32_t QueuedWaveOut::GetVolume() const {
  std::lock_guard lock(notifier_.Mutex());
  return fifo_.Volume();
}

WaveResult QueuedWaveOut::SetVolume(uint32_t volume) {
  std::lock_guard lock(notifier_.Mutex());
  fifo_.SetVolume(volume);
  return WaveResult::kOk;
}

size_t QueuedWaveOut::Pull(int16_t* out, size_t frames) {
  size_t played;
  bool finished;
  {
    std::lock_guard lock(notifier_.Mutex());
    played = fifo_.Pull(out, frames);
    finished = fifo_.HasFinished();
    HandOverLocked();
  }
  if (finished) notifier_.Flush();
  return played;
}

bool QueuedWaveOut::FinishFront() {
  {
    std::lock_guard lock(notifier_.Mutex());
    if (fifo_.Paused() || !fifo_.FinishFront()) return false;
    HandOverLocked();
  }
  notifier_.Flush();
  return true;
}

size_t QueuedWaveOut::QueuedCount() const {
  std::lock_guard lock(notifier_.Mutex());
  return fifo_.QueuedCount();
}

bool QueuedWaveOut::Paused() const {
  std::lock_guard lock(notifier_.Mutex());
  return fifo_.Paused();
}

}  // namespace audio
