// HID devices for tests: a bus that holds at most one scripted device. The
// script outlives the device, so a test reads what was written after the
// program has closed it.
#pragma once

#include <deque>
#include <memory>
#include <vector>

#include "platform/hid/hid_device.h"

namespace hid {

struct TestHidScript {
  uint16_t vendor = 0;
  uint16_t product = 0;
  std::optional<std::wstring> manufacturer;
  std::optional<std::wstring> product_string;
  std::deque<std::vector<uint8_t>> input;    // reports to read, in order (a read takes one)
  bool readFails = false;                    // every read answers -1
  bool pulled = false;                       // out of the bus: reads and writes fail, Open finds nothing
  // Recorded.
  std::vector<std::vector<uint8_t>> writes;  // every report written
  bool nonBlocking = false;
  int opens = 0;
  bool open = false;                         // the device object exists
};

class TestHidDevice final : public HidDevice {
 public:
  explicit TestHidDevice(std::shared_ptr<TestHidScript> s) : s_(std::move(s)) { s_->open = true; }
  ~TestHidDevice() override { s_->open = false; }
  std::optional<std::wstring> ManufacturerString() override { return s_->manufacturer; }
  std::optional<std::wstring> ProductString() override { return s_->product_string; }
  bool SetNonBlocking(bool on) override {
    s_->nonBlocking = on;
    return true;
  }
  int Write(const uint8_t* report, size_t n) override {
    if (s_->pulled) return -1;
    s_->writes.emplace_back(report, report + n);
    return static_cast<int>(n);
  }
  int Read(uint8_t* out, size_t capacity) override {
    if (s_->readFails || s_->pulled) return -1;
    if (s_->input.empty()) return 0;
    const std::vector<uint8_t> r = std::move(s_->input.front());
    s_->input.pop_front();
    const size_t n = r.size() < capacity ? r.size() : capacity;
    for (size_t i = 0; i < n; ++i) out[i] = r[i];
    return static_cast<int>(n);
  }

 private:
  std::shared_ptr<TestHidScript> s_;
};

class TestHidBus final : public HidBus {
 public:
  // No script: no device on the bus.
  explicit TestHidBus(std::shared_ptr<TestHidScript> s = nullptr) : s_(std::move(s)) {}
  std::unique_ptr<HidDevice> Open(uint16_t vendor, uint16_t product) override {
    if (!s_ || s_->pulled || s_->vendor != vendor || s_->product != product) return nullptr;
    ++s_->opens;
    return std::make_unique<TestHidDevice>(s_);
  }

 private:
  std::shared_ptr<TestHidScript> s_;
};

}  // namespace hid
