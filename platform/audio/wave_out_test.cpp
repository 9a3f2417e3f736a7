// The test wave output: the shared queue behaviour with a device the test drives.
#include "platform/audio/wave_out_test.h"

#include <algorithm>

namespace audio {

TestWaveOut::TestWaveOut() : QueuedWaveOut(DoneNotifier::Mode::kInline) {}

TestWaveOut::~TestWaveOut() {
  if (IsOpen()) QueuedWaveOut::Close();
}

void TestWaveOut::SetThreadedCompletion(bool on) {
  if (IsOpen()) return;
  SetDeliveryMode(on ? DoneNotifier::Mode::kThread : DoneNotifier::Mode::kInline);
}

void TestWaveOut::SetOpenFailure(const std::string& text) { open_failure_ = text; }

bool TestWaveOut::OpenDevice(const WaveFormat& format, std::string* error) {
  if (!open_failure_.empty()) {
    *error = open_failure_;
    return false;
  }
  WaveFormat device = format;
  if (!device_rates_.empty() &&
      std::find(device_rates_.begin(), device_rates_.end(), format.sampleRate) == device_rates_.end())
    device.sampleRate = device_rates_.front();
  return UseDeviceFormat(device, error);
}

WaveResult TestWaveOut::Log(const char* name, WaveResult r, const WaveHeader* h, uint64_t value) const {
  std::lock_guard lock(log_mutex_);
  calls_.push_back(WaveOutCall{name, h, value, r});
  return r;
}

WaveResult TestWaveOut::Open(const WaveFormat& format, WaveDoneCallback done) {
  return Log("Open", QueuedWaveOut::Open(format, std::move(done)), nullptr, format.sampleRate);
}
WaveResult TestWaveOut::Close() { return Log("Close", QueuedWaveOut::Close()); }
WaveResult TestWaveOut::Prepare(WaveHeader& h) { return Log("Prepare", QueuedWaveOut::Prepare(h), &h); }
WaveResult TestWaveOut::Unprepare(WaveHeader& h) { return Log("Unprepare", QueuedWaveOut::Unprepare(h), &h); }
WaveResult TestWaveOut::Write(WaveHeader& h) { return Log("Write", QueuedWaveOut::Write(h), &h, h.bytes); }
WaveResult TestWaveOut::Pause() { return Log("Pause", QueuedWaveOut::Pause()); }
WaveResult TestWaveOut::Restart() { return Log("Restart", QueuedWaveOut::Restart()); }
WaveResult TestWaveOut::Reset() { return Log("Reset", QueuedWaveOut::Reset()); }

uint32_t TestWaveOut::GetVolume() const {
  const uint32_t v = QueuedWaveOut::GetVolume();
  Log("GetVolume", WaveResult::kOk, nullptr, v);
  return v;
}

WaveResult TestWaveOut::SetVolume(uint32_t volume) {
  return Log("SetVolume", QueuedWaveOut::SetVolume(volume), nullptr, volume);
}

bool TestWaveOut::CompleteNext() { return FinishFront(); }

int TestWaveOut::CompleteAll() {
  // Only what is queued now: a callback that writes again must not keep it going.
  const size_t queued = QueuedCount();
  int n = 0;
  while (size_t(n) < queued && FinishFront()) ++n;
  return n;
}

std::vector<WaveOutCall> TestWaveOut::Calls() const {
  std::lock_guard lock(log_mutex_);
  return calls_;
}

std::vector<std::string> TestWaveOut::CallNames() const {
  std::lock_guard lock(log_mutex_);
  std::vector<std::string> names;
  names.reserve(calls_.size());
  for (const WaveOutCall& c : calls_) names.push_back(c.name);
  return names;
}

void TestWaveOut::ClearCalls() {
  std::lock_guard lock(log_mutex_);
  calls_.clear();
}

std::unique_ptr<TestWaveOut> CreateTestWaveOut() { return std::make_unique<TestWaveOut>(); }

}  // namespace audio
