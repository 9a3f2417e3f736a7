// HID devices: opened by vendor and product id, their manufacturer and
// product strings, non-blocking reads and writes of reports. One abstract
// interface with interchangeable backends: hidapi (CreateHidapiBus, below)
// and scripted devices for tests (platform/hid/hid_device_test.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace hid {

// Longest device string read, in wide characters (the terminator included).
constexpr size_t kStringCapacity = 255;

class HidDevice {
 public:
  virtual ~HidDevice() = default;
  // The device's strings; none when the device does not answer.
  virtual std::optional<std::wstring> ManufacturerString() = 0;
  virtual std::optional<std::wstring> ProductString() = 0;
  // Reads return at once (true) or wait for a report (false).
  virtual bool SetNonBlocking(bool on) = 0;
  // Writes one output report (byte 0 the report id): the bytes written, -1
  // on failure.
  virtual int Write(const uint8_t* report, size_t n) = 0;
  // Reads one input report, its report id removed when the device numbers
  // none: the bytes read (0 when none is waiting), -1 on failure.
  virtual int Read(uint8_t* out, size_t capacity) = 0;
};

class HidBus {
 public:
  virtual ~HidBus() = default;
  // The first device with these ids, any serial number; null when none.
  virtual std::unique_ptr<HidDevice> Open(uint16_t vendor, uint16_t product) = 0;
};

// The devices of the system through hidapi.
std::unique_ptr<HidBus> CreateHidapiBus();

}  // namespace hid
