// What the transport's displays compute apart from the window: the elapsed
// playing time that both editions' clock labels show.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine_state.h"

// The time played up to `now` (the tick count in ms): ElapsedBefore plus
// what has passed since ElapsedStart, the difference taken in 32 bits as the
// tick count wraps after 2^32 ms. Stored in ElapsedMs and returned.
int64_t UpdateElapsed(EngineState& E, uint32_t now);

// "%02d:%02d.%d" of a time in ms: minutes, seconds and tenths (the tenths
// truncated).
std::string ElapsedTimeText(int64_t ms);
