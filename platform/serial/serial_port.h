// A serial port of the hardware metronome: opened at 115200 baud, 8 data
// bits, no parity, one stop bit, raw bytes, no flow control. Reads return at
// once with what has arrived, writes are queued and never waited for, and
// arriving characters are noticed through a wait that is armed once and
// completes once (ArmWait, WaitCompleted). One abstract interface with
// interchangeable backends: Qt SerialPort (CreateQtSerialPort, below) and a
// scripted port for tests (platform/serial/serial_port_test.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace serial {

constexpr int kBaudRate = 115200;
constexpr size_t kInputBufferBytes = 16384;

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens and configures the port `name` (a path such as /dev/ttyACM0); an
  // open port is closed first. False when it cannot be opened or
  // configured: the port is then closed and ErrorText() says why.
  bool Open(const std::string& name);
  void Close();
  bool IsOpen() const { return open_; }

  // Queues n bytes for the port and returns at once: the count taken, or -1
  // when the port is closed or refuses them.
  long Write(const uint8_t* data, size_t n);
  // Up to `capacity` of the bytes that have arrived, at once: the count
  // (0 when nothing has arrived), -1 when the port is closed.
  long Read(uint8_t* out, size_t capacity);

  // Arms the wait for arriving characters. The wait completes once: the
  // first WaitCompleted() that finds characters waiting answers true and
  // disarms it; a closed port disarms it too.
  void ArmWait() { armed_ = open_; }
  bool WaitArmed() const { return armed_; }
  bool WaitCompleted();

  // Clears the port's error state.
  void ClearErrors();
  std::string ErrorText() const { return error_; }

  // True once the device has gone while the port is open: a write the
  // system refused, or a line that hung up (a USB device pulled out, a
  // pseudo-terminal whose other end closed). Never blocks; a closed port
  // answers false. The port stays open until it is closed.
  bool Lost();

 protected:
  // Each backend adds its device only.
  virtual bool OpenDevice(const std::string& name, std::string* error) = 0;
  virtual void CloseDevice() = 0;
  virtual long WriteDevice(const uint8_t* data, size_t n) = 0;
  virtual long ReadDevice(uint8_t* out, size_t capacity) = 0;
  // Characters are waiting to be read; never blocks.
  virtual bool InputWaiting() = 0;
  virtual void ClearDeviceErrors() {}
  // The device has gone (a refused write, a hang-up); never blocks.
  virtual bool DeviceLost() { return false; }

 private:
  bool open_ = false;
  bool armed_ = false;
  bool lost_ = false;
  std::string error_;
};

// The real port through Qt SerialPort.
std::unique_ptr<SerialPort> CreateQtSerialPort();

// --- finding the port -------------------------------------------------------

// The USB CDC ACM ports (ttyACM*) under a sysfs root (normally "/sys") whose
// USB device has the vendor id `vendor`, as device paths ("/dev/ttyACM0"),
// in the natural order of their numbers.
std::vector<std::string> FindAcmPorts(const std::string& sysRoot, uint16_t vendor);

}  // namespace serial
