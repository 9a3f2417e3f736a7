// Tick count on the steady clock, with the tests' fake.
#include "platform/audio/tick.h"

#include <atomic>
#include <chrono>

namespace {
std::atomic<bool> g_fake_set{false};
std::atomic<uint32_t> g_fake_ms{0};
}  // namespace

uint32_t TickCount() {
  if (g_fake_set.load(std::memory_order_acquire)) return g_fake_ms.load(std::memory_order_relaxed);
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  // Truncating to 32 bits is the wrap-around of the count.
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SetFakeTickCount(uint32_t ms) {
  g_fake_ms.store(ms, std::memory_order_relaxed);
  g_fake_set.store(true, std::memory_order_release);
}

void AdvanceFakeTickCount(uint32_t ms) { g_fake_ms.fetch_add(ms, std::memory_order_relaxed); }

void ClearFakeTickCount() { g_fake_set.store(false, std::memory_order_release); }

bool FakeTickCountSet() { return g_fake_set.load(std::memory_order_acquire); }
