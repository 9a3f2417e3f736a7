// A receive from the device over any bytes: the length, the packets and
// their XOR bytes arrive on a serial port in chunks taken from the input,
// with ticks of the wait counter between them. What comes back is bounded
// by the transfer buffer, and a receive that ends well holds exactly the
// announced length.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "basic/transfer.h"
#include "links/device.h"
#include "platform/serial/serial_port_test.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DeviceLink L(DeviceEdition::kBasic);
  auto port = std::make_unique<serial::TestSerialPort>();
  serial::TestSerialPort& p = *port;
  L.Serial = std::move(port);
  L.SerialPortName = "/dev/ttyACM0";
  OpenDeviceSerialPort(L);
  L.DeviceRxCount = 0;
  L.DeviceDataLength = 0;
  L.DeviceChecksum = 0;
  L.DeviceState = kDeviceExpectLength;

  // Records of [op][len][bytes...]: op bit 0 a tick after the chunk.
  size_t at = 0;
  TransferIo io;
  io.pump = [&] {
    if (at + 2 <= size) {
      const uint8_t op = data[at];
      const size_t len = std::min<size_t>(data[at + 1], size - at - 2);
      p.Arrive(std::vector<uint8_t>(data + at + 2, data + at + 2 + len));
      at += 2 + len;
      if (op & 1) DeviceTimer2Tick(L);
    } else {
      DeviceTimer2Tick(L);  // nothing more comes: the wait runs out
    }
  };
  bool ok = false;
  const std::vector<uint8_t> got = ReceiveBlocksFromDevice(L, false, io, &ok);
  if (got.size() > kTransferCapacity) __builtin_trap();
  if (!ok && !got.empty()) __builtin_trap();
  if (L.DeviceRxCount < 0 || L.DeviceRxCount >= static_cast<int>(kDeviceRingBytes)) __builtin_trap();
  return 0;
}
