// A serial port for tests: no device. It records every open, close and
// write, and hands out the bytes the test has made arrive.
#pragma once

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "platform/serial/serial_port.h"

namespace serial {

class TestSerialPort final : public SerialPort {
 public:
  ~TestSerialPort() override { Close(); }

  // Bytes arriving from the device, read in order.
  void Arrive(const std::vector<uint8_t>& bytes) { input_.insert(input_.end(), bytes.begin(), bytes.end()); }
  size_t Waiting() const { return input_.size(); }
  // Opens of these names fail.
  void RefuseName(const std::string& name) { refused_.insert(name); }
  // The device goes (writes are refused, the line hangs up) or comes back.
  void Unplug(bool gone = true) { gone_ = gone; }

  std::vector<std::string> Opens;            // every name opened successfully
  int Closes = 0;
  std::vector<std::vector<uint8_t>> Writes;  // every write, while open
  int ErrorClears = 0;

 protected:
  bool OpenDevice(const std::string& name, std::string* error) override {
    if (gone_ || refused_.count(name) != 0) {
      *error = "refused";
      return false;
    }
    Opens.push_back(name);
    return true;
  }
  void CloseDevice() override { ++Closes; }
  long WriteDevice(const uint8_t* data, size_t n) override {
    if (gone_) return -1;
    Writes.emplace_back(data, data + n);
    return static_cast<long>(n);
  }
  long ReadDevice(uint8_t* out, size_t capacity) override {
    size_t n = 0;
    for (; n < capacity && !input_.empty(); ++n) {
      out[n] = input_.front();
      input_.pop_front();
    }
    return static_cast<long>(n);
  }
  bool InputWaiting() override { return !input_.empty(); }
  void ClearDeviceErrors() override { ++ErrorClears; }
  bool DeviceLost() override { return gone_; }

 private:
  std::deque<uint8_t> input_;
  std::set<std::string> refused_;
  bool gone_ = false;
};

}  // namespace serial
