#include "engine/entry_gains.h"

#include <algorithm>
#include <chrono>

namespace {
// Results kept before the memory starts again (an entry takes a few dozen
// bytes; a full set holds some hundreds of distinct entries).
constexpr size_t kMaxKnown = size_t{1} << 18;
}  // namespace

EntryGains::EntryGains(EngineFormat format, int threads)
    : format_(format),
      threadCount_(threads > 0 ? threads : std::max(1, static_cast<int>(std::thread::hardware_concurrency()))) {}

EntryGains::~EntryGains() {
  {
    std::lock_guard lock(m_);
    stopping_ = true;
    urgent_.clear();
    background_.clear();
  }
  abort_ = true;
  work_.notify_all();
  for (auto& t : threads_) t.join();
}

bool EntryGains::Find(uint64_t key, GainResult* result) const {
  std::lock_guard lock(m_);
  auto it = known_.find(key);
  if (it == known_.end()) return false;
  *result = it->second;
  return true;
}

bool EntryGains::Covers(uint64_t key) const {
  std::lock_guard lock(m_);
  return known_.count(key) != 0 || pending_.count(key) != 0;
}

void EntryGains::Queue(std::vector<Job> jobs, bool urgent) {
  {
    std::lock_guard lock(m_);
    std::vector<Job> first;
    for (Job& j : jobs) {
      if (known_.count(j.key) != 0) continue;
      if (pending_.count(j.key) != 0) {
        if (!urgent) continue;
        // Queued behind other work, perhaps: it moves up.
        auto it = std::find_if(background_.begin(), background_.end(), [&](const Job& b) { return b.key == j.key; });
        if (it == background_.end()) continue;  // urgent already, or being mixed
        first.push_back(std::move(*it));
        background_.erase(it);
        continue;
      }
      pending_.insert(j.key);
      if (urgent)
        first.push_back(std::move(j));
      else
        background_.push_back(std::move(j));
    }
    urgent_.insert(urgent_.begin(), std::make_move_iterator(first.begin()), std::make_move_iterator(first.end()));
    if (threads_.empty() && !(urgent_.empty() && background_.empty()))
      for (int i = 0; i < threadCount_; ++i) threads_.emplace_back([this] { Work(); });
  }
  work_.notify_all();
}

void EntryGains::DropBackground() {
  std::lock_guard lock(m_);
  for (const Job& j : background_) pending_.erase(j.key);
  background_.clear();
  done_.notify_all();
}

bool EntryGains::Wait(uint64_t key, GainResult* result, const std::function<void()>& idle) {
  std::unique_lock lock(m_);
  for (;;) {
    auto it = known_.find(key);
    if (it != known_.end()) {
      *result = it->second;
      return true;
    }
    if (pending_.count(key) == 0) return false;
    if (!idle) {
      done_.wait(lock);
      continue;
    }
    if (done_.wait_for(lock, std::chrono::milliseconds(20)) == std::cv_status::timeout) {
      lock.unlock();
      idle();
      lock.lock();
    }
  }
}

void EntryGains::WaitAll() {
  std::unique_lock lock(m_);
  done_.wait(lock, [&] { return urgent_.empty() && background_.empty() && running_ == 0; });
}

long EntryGains::Mixed() const {
  std::lock_guard lock(m_);
  return mixed_;
}

bool EntryGains::Take(Job* job) {
  std::unique_lock lock(m_);
  work_.wait(lock, [&] { return stopping_ || !urgent_.empty() || !background_.empty(); });
  if (stopping_) return false;
  std::deque<Job>& q = urgent_.empty() ? background_ : urgent_;
  *job = std::move(q.front());
  q.pop_front();
  ++running_;
  return true;
}

void EntryGains::Work() {
  EngineState E(format_);
  auto scratch = RhythmTables::Create();
  Job job;
  while (Take(&job)) {
    E.Controls = job.controls;
    const GainResult r = MixEntryAlone(E, *scratch, *job.bank, job.formula, job.tempo, job.accel, &abort_);
    job.bank.reset();
    {
      std::lock_guard lock(m_);
      pending_.erase(job.key);
      if (r.complete) {
        if (known_.size() >= kMaxKnown) known_.clear();
        known_[job.key] = r;
        ++mixed_;
      }
      --running_;
    }
    done_.notify_all();
  }
}
