#include "engine/transport.h"

#include <cstdio>

int64_t UpdateElapsed(EngineState& E, uint32_t now) {
  const uint32_t since = now - static_cast<uint32_t>(E.ElapsedStart);
  E.ElapsedMs = E.ElapsedBefore + since;
  return E.ElapsedMs;
}

std::string ElapsedTimeText(int64_t ms) {
  const int64_t d = ms / 100;  // tenths of a second
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d.%d", static_cast<int>(d / 600), static_cast<int>((d % 600) / 10),
                static_cast<int>((d % 600) % 10));
  return buf;
}
