// The start's timing, for bench/start_time.sh: with VELARTO_START_TIMES set,
// each step of the start is written to stderr as "start <step> <µs>", the
// wall clock in microseconds since the epoch (so that a script can count from
// the moment it started the process), the last step "painted" once the main
// window's first paint has gone to the screen, then "cpu <µs>", the processor
// time the main thread took until then (less at the mercy of the machine's
// load than the wall clock). With the value "quit" the program ends right
// after it.
#pragma once

#include <QByteArray>
#include <QWidget>
#include <sys/resource.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/ui/first_paint.h"

class StartTimes {
 public:
  bool on() const { return !what_.isEmpty(); }

  void Step(const char* name) const {
    if (!on()) return;
    const auto us =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch());
    std::fprintf(stderr, "start %s %lld\n", name, static_cast<long long>(us.count()));
  }

  void WatchFirstPaint(QWidget* window) {
    if (!on()) return;
    AfterFirstPaint::Run(
        window,
        [this] {
          Step("painted");
          rusage u{};
          getrusage(RUSAGE_THREAD, &u);
          std::fprintf(stderr, "cpu %lld\n", static_cast<long long>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000000 +
                                                u.ru_utime.tv_usec + u.ru_stime.tv_usec);
          std::fflush(stderr);
          if (what_ == "quit") std::_Exit(0);
        },
        60000);
  }

 private:
  QByteArray what_ = qgetenv("VELARTO_START_TIMES");
};
