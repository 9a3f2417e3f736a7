// A device on a pseudo-terminal: the test holds the device end, the program
// opens the other end as its serial port.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

class PtyDevice {
 public:
  using Bytes = std::vector<uint8_t>;

  PtyDevice() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    name_ = ::ptsname(master_);
    // Held open so that the program's closing and reopening of the port
    // never hangs the terminal up; raw, as the program leaves it.
    slave_ = ::open(name_.c_str(), O_RDWR | O_NOCTTY);
    termios t{};
    if (slave_ >= 0 && ::tcgetattr(slave_, &t) == 0) {
      ::cfmakeraw(&t);
      ::tcsetattr(slave_, TCSANOW, &t);
    }
  }
  ~PtyDevice() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
  }
  PtyDevice(const PtyDevice&) = delete;
  PtyDevice& operator=(const PtyDevice&) = delete;

  bool Ok() const { return master_ >= 0 && slave_ >= 0; }
  const std::string& Name() const { return name_; }

  void Send(const Bytes& b) { ASSERT_EQ(::write(master_, b.data(), b.size()), static_cast<ssize_t>(b.size())); }
  // What the program has written so far (taken).
  Bytes Take() {
    Bytes out;
    uint8_t buf[256];
    for (;;) {
      const ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) break;
      out.insert(out.end(), buf, buf + n);
    }
    return out;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string name_;
};
