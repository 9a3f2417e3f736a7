#include "engine/entry_gains.h"

#include <algorithm>
#include <chrono>

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {
// Results kept before the memory starts again (an entry takes a few dozen
// bytes; a full set holds some hundreds of distinct entries).
constexpr size_t kMaxKnown = size_t{1} << 18;
// How much the mixing threads step back for the others of the program.
constexpr int kNice = 5;
}  // namespace

EntryGains::EntryGains(EngineFormat format, int threads)
    : format_(format),
      threadCount_(threads > 0 ? threads : std::max(1, static_cast<int>(std::thread::hardware_concurrency()))) {}

EntryGains::~EntryGains() {
  {
    std::lock_guard lock(m_);
    stopping_ = true;
    queued_.clear();
    urgent_.clear();
    background_.clear();
  }
  abort_ = true;
  work_.notify_all();
  for (auto& t : threads_) t.join();
}

void EntryGains::Look(const std::vector<uint64_t>& keys, std::vector<GainResult>* results,
                      std::vector<State>* states) const {
  std::lock_guard lock(m_);
  LookLocked(keys, results, states);
}

bool EntryGains::LookLocked(const std::vector<uint64_t>& keys, std::vector<GainResult>* results,
                            std::vector<State>* states) const {
  results->assign(keys.size(), GainResult{});
  states->assign(keys.size(), kUnknown);
  bool pending = false;
  for (size_t i = 0; i < keys.size(); ++i) {
    auto it = known_.find(keys[i]);
    if (it != known_.end()) {
      (*results)[i] = it->second;
      (*states)[i] = kKnown;
    } else if (pending_.count(keys[i]) != 0) {
      (*states)[i] = kPending;
      pending = true;
    }
  }
  return pending;
}

void EntryGains::Queue(std::vector<Job> jobs, bool urgent) {
  {
    std::lock_guard lock(m_);
    std::vector<uint64_t> first;
    for (Job& j : jobs) {
      const uint64_t key = j.key;
      if (known_.count(key) != 0) continue;
      if (pending_.count(key) != 0) {
        // Queued behind other work, perhaps: it moves up.
        auto it = queued_.find(key);
        if (urgent && it != queued_.end() && !it->second.urgent) {
          it->second.urgent = true;
          first.push_back(key);
        }
        continue;
      }
      pending_.insert(key);
      queued_.emplace(key, Queued{std::move(j), urgent});
      if (urgent)
        first.push_back(key);
      else
        background_.push_back(key);
    }
    urgent_.insert(urgent_.begin(), first.begin(), first.end());
    if (threads_.empty() && !queued_.empty())
      for (int i = 0; i < threadCount_; ++i) threads_.emplace_back([this] { Work(); });
  }
  work_.notify_all();
}

void EntryGains::DropBackground() {
  std::lock_guard lock(m_);
  for (uint64_t key : background_) {
    auto it = queued_.find(key);
    if (it == queued_.end() || it->second.urgent) continue;
    queued_.erase(it);
    pending_.erase(key);
  }
  background_.clear();
  done_.notify_all();
}

void EntryGains::WaitFor(const std::vector<uint64_t>& keys, std::chrono::steady_clock::time_point deadline,
                         const std::function<void()>& idle, std::vector<GainResult>* results,
                         std::vector<State>* states) {
  std::unique_lock lock(m_);
  while (LookLocked(keys, results, states)) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return;
    // No deadline: a look every second all the same (a far time point may not
    // convert to the system's clock).
    const auto step = idle ? std::chrono::milliseconds(20) : std::chrono::milliseconds(1000);
    const auto tick = deadline - now > step ? now + step : deadline;
    if (done_.wait_until(lock, tick) == std::cv_status::timeout && idle && tick < deadline) {
      lock.unlock();
      idle();
      lock.lock();
    }
  }
}

void EntryGains::WaitAll() {
  std::unique_lock lock(m_);
  done_.wait(lock, [&] { return queued_.empty() && running_ == 0; });
}

long EntryGains::Mixed() const {
  std::lock_guard lock(m_);
  return mixed_;
}

bool EntryGains::Take(Job* job) {
  std::unique_lock lock(m_);
  for (;;) {
    work_.wait(lock, [&] { return stopping_ || !queued_.empty(); });
    if (stopping_) return false;
    std::deque<uint64_t>& q = urgent_.empty() ? background_ : urgent_;
    if (q.empty()) {  // never while a job is queued; should it be, its key comes back
      for (const auto& [key, queued] : queued_) (queued.urgent ? urgent_ : background_).push_back(key);
      continue;
    }
    const uint64_t key = q.front();
    q.pop_front();
    auto it = queued_.find(key);
    if (it == queued_.end()) continue;  // taken already, from the other queue
    *job = std::move(it->second.job);
    queued_.erase(it);
    ++running_;
    return true;
  }
}

void EntryGains::Work() {
#if defined(__linux__)
  // Below the window's thread, which waits for these results and then has a
  // beat to mix at once.
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kNice);
#endif
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
