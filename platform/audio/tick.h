// The millisecond tick count: a monotonic clock that wraps after 2^32 ms
// (about 49.7 days), so elapsed times are differences taken in uint32_t.
// Tests set a fake count that moves only when they say so.
#pragma once

#include <cstdint>

// Milliseconds since an arbitrary start; the fake count while one is set.
uint32_t TickCount();

// Any thread may read the fake; tests set it from one thread.
void SetFakeTickCount(uint32_t ms);
void AdvanceFakeTickCount(uint32_t ms);
void ClearFakeTickCount();
bool FakeTickCountSet();

// A fake count for the lifetime of the object.
class ScopedFakeTickCount {
 public:
  explicit ScopedFakeTickCount(uint32_t start = 0) { SetFakeTickCount(start); }
  ~ScopedFakeTickCount() { ClearFakeTickCount(); }
  ScopedFakeTickCount(const ScopedFakeTickCount&) = delete;
  ScopedFakeTickCount& operator=(const ScopedFakeTickCount&) = delete;
  void Advance(uint32_t ms) { AdvanceFakeTickCount(ms); }
};
