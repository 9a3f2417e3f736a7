// The gains of normalisation entries, remembered under their EntryMixKey,
// and the threads that mix them: one per core, each with an engine state and
// scratch tables of its own. An entry that several themes (or one theme
// several times) hold at the same tempo is mixed once.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/normalize.h"

class EntryGains {
 public:
  // One entry to mix, with everything it is mixed from (copies: the caller
  // goes on changing its own).
  struct Job {
    uint64_t key = 0;
    Formula formula{};
    int tempo = 120;
    int accel = 0;
    MixerControls controls;
    std::shared_ptr<const BancoSonidos> bank;
  };

  // threads 0: one per core.
  explicit EntryGains(EngineFormat format, int threads = 0);
  ~EntryGains();
  EntryGains(const EntryGains&) = delete;
  EntryGains& operator=(const EntryGains&) = delete;

  // What is known of each key: kKnown with its result, kPending (queued or
  // being mixed) or kUnknown. One look for all of them.
  enum State : char { kUnknown = 0, kPending = 1, kKnown = 2 };
  void Look(const std::vector<uint64_t>& keys, std::vector<GainResult>* results, std::vector<State>* states) const;
  // Queues the jobs whose key is not covered yet. Urgent jobs go before every
  // job queued so far, in their own order (a queued background job among
  // them moves up); the others go last.
  void Queue(std::vector<Job> jobs, bool urgent);
  // Forgets the queued background jobs that have not started.
  void DropBackground();
  // Waits until no key is pending any more, or until `deadline`; then as
  // Look. `idle` runs on the calling thread every 20 ms meanwhile.
  void WaitFor(const std::vector<uint64_t>& keys, std::chrono::steady_clock::time_point deadline,
               const std::function<void()>& idle, std::vector<GainResult>* results, std::vector<State>* states);
  // Waits until nothing is queued or being mixed.
  void WaitAll();
  // Entries mixed since the start.
  long Mixed() const;

 private:
  void Work();
  // Look under the lock; true when some key is pending.
  bool LookLocked(const std::vector<uint64_t>& keys, std::vector<GainResult>* results,
                  std::vector<State>* states) const;
  bool Take(Job* job);

  const EngineFormat format_;
  const int threadCount_;
  mutable std::mutex m_;
  std::condition_variable work_;  // a job was queued, or the end
  std::condition_variable done_;  // a result came, or the queue ran dry
  // The queued jobs by key, and their keys in the order they are taken (a
  // key whose job has been taken already is passed over).
  struct Queued {
    Job job;
    bool urgent = false;
  };
  std::unordered_map<uint64_t, Queued> queued_;
  std::deque<uint64_t> urgent_;
  std::deque<uint64_t> background_;
  std::unordered_set<uint64_t> pending_;  // queued or being mixed
  std::unordered_map<uint64_t, GainResult> known_;
  int running_ = 0;
  long mixed_ = 0;
  bool stopping_ = false;
  std::atomic<bool> abort_{false};
  std::vector<std::thread> threads_;
};
