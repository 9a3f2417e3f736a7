// The device link over any bytes from the device: HID input reports with any
// count byte and serial reads of any length, fed through the polls of an
// identification driven by ticks taken from the input, then a transfer's
// length and data states. The ring position stays in the ring, a report
// never yields more than it holds, and an identified device's text begins
// with a known prefix and shows as plain text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "links/device.h"
#include "platform/hid/hid_device_test.h"
#include "platform/serial/serial_port_test.h"

namespace {

void Check(const DeviceLink& L) {
  if (L.DeviceRxCount < 0 || L.DeviceRxCount >= static_cast<int>(kDeviceRingBytes)) __builtin_trap();
  if (L.DeviceReadCount > kDeviceRingBytes) __builtin_trap();
  if (L.DeviceState == kDeviceIdentified) {
    const char* t = L.DeviceIdentityText.data();
    if (std::memcmp(t, "PELNV", 5) != 0 && std::memcmp(t, "DRAVV", 5) != 0) __builtin_trap();
    if (L.DeviceIdentityText[kIdentityBytes] != '\0') __builtin_trap();
    for (char c : DeviceIdentityLine(L))
      if (static_cast<unsigned char>(c) < 0x20) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  const bool useHid = (mode & 1) != 0;
  DeviceLink L((mode & 2) != 0 ? DeviceEdition::kBasic : DeviceEdition::kPro);

  // The bounded reader alone, over every prefix length of the input.
  for (size_t n = 0; n <= size && n <= kDeviceReportBytes; ++n)
    if (HidReportData(data, static_cast<int>(n)) > (n == 0 ? 0 : n - 1)) __builtin_trap();

  auto script = std::make_shared<hid::TestHidScript>();
  script->vendor = kDeviceVendorId;
  script->product = kDeviceProductId;
  script->manufacturer = kDeviceManufacturer;
  script->product_string = kDeviceProduct;
  hid::TestHidBus bus(script);
  if (useHid && !ProbeHidDevice(L, bus)) __builtin_trap();
  auto port = std::make_unique<serial::TestSerialPort>();
  serial::TestSerialPort& p = *port;
  L.Serial = std::move(port);
  L.SerialPortName = "/dev/ttyACM0";
  OpenDeviceSerialPort(L);
  L.SerialRearmCounter = mode >> 4;  // re-arm soon, so that later chunks are read too
  StartIdentification(L, (mode & 4) != 0);

  // The rest: records of [op][len][bytes...]; op bit 0: a tick first, bit 1:
  // a transfer's length state, the length byte: the bytes of the chunk.
  size_t at = 1;
  bool transfer = false;
  while (at + 2 <= size) {
    const uint8_t op = data[at];
    const size_t len = std::min<size_t>(data[at + 1], size - at - 2);
    const uint8_t* chunk = data + at + 2;
    at += 2 + len;
    if (op & 1) DeviceTimer2Tick(L);
    if ((op & 2) && !transfer && !IdentificationRunning(L)) {
      transfer = true;
      L.DeviceRxCount = 0;
      L.DeviceState = kDeviceExpectLength;
    }
    if (useHid) {
      script->input.emplace_back(chunk, chunk + len);  // a report as read, count byte first
    } else {
      p.Arrive(std::vector<uint8_t>(chunk, chunk + len));
    }
    if (IdentificationRunning(L)) {
      IdentificationStep(L);
    } else {
      PollDevice(L);
    }
    Check(L);
    if (op & 4) SendLampCommand(L, op & 8 ? kLampAccented : kLampOff);
  }
  for (const auto& w : script->writes)
    if (w.size() != kDeviceReportBytes || w[0] != 0 || w[1] == 0 || w[1] > kReportPayloadMax) __builtin_trap();
  return 0;
}
