// What either main window is built on in place of the machine's own dialogs
// and devices (the tests, the check mode): each one null means the real one.
#pragma once

#include <memory>

#include "platform/audio/wave_in.h"
#include "platform/audio/wave_out.h"
#include "platform/hid/hid_device.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/dialogs.h"

struct WindowDevices {
  std::unique_ptr<Dialogs> dialogs;                // null: real dialogs
  std::unique_ptr<audio::WaveOut> waveOut;         // null: the default sound device
  std::unique_ptr<audio::WaveIn> waveIn;           // null: the default input device
  std::unique_ptr<hid::HidBus> hidBus;             // null: the system's HID devices
  std::unique_ptr<serial::SerialPort> serialPort;  // null: the real serial port
};
