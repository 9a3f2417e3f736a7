// HID devices through hidapi.
#include <hidapi.h>

#include <array>

#include "platform/hid/hid_device.h"

namespace hid {

namespace {

// A string read into a buffer of kStringCapacity wide characters; hidapi
// may leave it unterminated when the string fills it.
std::optional<std::wstring> ReadString(hid_device* d, int (*get)(hid_device*, wchar_t*, size_t)) {
  std::array<wchar_t, kStringCapacity> buf{};
  if (get(d, buf.data(), buf.size()) != 0) return std::nullopt;
  buf.back() = L'\0';
  return std::wstring(buf.data());
}

class HidapiDevice final : public HidDevice {
 public:
  explicit HidapiDevice(hid_device* d) : d_(d) {}
  ~HidapiDevice() override { hid_close(d_); }

  std::optional<std::wstring> ManufacturerString() override { return ReadString(d_, hid_get_manufacturer_string); }
  std::optional<std::wstring> ProductString() override { return ReadString(d_, hid_get_product_string); }
  bool SetNonBlocking(bool on) override { return hid_set_nonblocking(d_, on ? 1 : 0) == 0; }
  int Write(const uint8_t* report, size_t n) override { return hid_write(d_, report, n); }
  int Read(uint8_t* out, size_t capacity) override { return hid_read(d_, out, capacity); }

 private:
  hid_device* d_;
};

class HidapiBus final : public HidBus {
 public:
  HidapiBus() : ready_(hid_init() == 0) {}
  ~HidapiBus() override {
    if (ready_) hid_exit();
  }
  std::unique_ptr<HidDevice> Open(uint16_t vendor, uint16_t product) override {
    if (!ready_) return nullptr;
    hid_device* d = hid_open(vendor, product, nullptr);
    if (d == nullptr) return nullptr;
    return std::make_unique<HidapiDevice>(d);
  }

 private:
  bool ready_;
};

}  // namespace

std::unique_ptr<HidBus> CreateHidapiBus() { return std::make_unique<HidapiBus>(); }

}  // namespace hid
