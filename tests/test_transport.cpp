// The elapsed playing time that both editions' clock labels show.
#include <gtest/gtest.h>

#include "engine/transport.h"

TEST(ElapsedTime, TimePlayedAddsToTheTimeBeforeTheLastResume) {
  struct Case {
    int64_t before;
    uint32_t start, now;
    int64_t ms;
  };
  const Case cases[] = {
      {0, 1000, 1000, 0},
      {0, 1000, 84400, 83400},
      {83400, 200000, 201000, 84400},      // a resume goes on from the time before the pause
      {0, 0xFFFFF000u, 0x000135C8u, 83400},  // the tick count wrapped since the start
  };
  for (const Case& c : cases) {
    EngineState E;
    E.ElapsedBefore = c.before;
    E.ElapsedStart = c.start;
    EXPECT_EQ(UpdateElapsed(E, c.now), c.ms) << c.start << " " << c.now;
    EXPECT_EQ(E.ElapsedMs, c.ms);
  }
}

TEST(ElapsedTime, TextShowsMinutesSecondsAndTruncatedTenths) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "00:00.0"},     {99, "00:00.0"},     {83400, "01:23.4"}, {59999, "00:59.9"},
      {600000, "10:00.0"}, {5999999, "99:59.9"}, {6000000, "100:00.0"},
  };
  for (const auto& [ms, text] : cases) EXPECT_EQ(ElapsedTimeText(ms), text) << ms;
}
