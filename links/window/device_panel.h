// The hardware metronome's part of either main window: the transports and
// the three timers of the link, the search for the device's serial port with
// its one prompt, the identification run one step at a time by a timer of no
// interval (the event loop keeps running between steps: nothing waits inside
// a handler), the lamp-off countdown and the close of the link. The
// decisions are the link's (links/device.h); the panel only runs them.
#pragma once

#include <QObject>
#include <QString>
#include <concepts>
#include <functional>
#include <memory>

#include "links/device.h"
#include "platform/hid/hid_device.h"
#include "platform/serial/serial_port.h"

class Dialogs;
class QTimer;
class SettingsIni;
class Transport;

class DevicePanel : public QObject {
 public:
  // What the panel asks of the window it serves: its language, its log, and
  // what an identification's outcome changes in that window (the editions
  // differ there).
  struct WindowSide {
    std::function<bool()> english;
    std::function<void(const QString&)> log;
    std::function<void(const IdentifyOutcome&)> applyOutcome;
  };

  DevicePanel(DeviceLink& link, Transport& transport, WindowSide side);

  // The HID bus and the serial port given (the system's when null), and
  // Timer2, Timer5 and IdentifyTimer made; Timer2 and Timer5 run from here on.
  void Build(std::unique_ptr<hid::HidBus> bus, std::unique_ptr<serial::SerialPort> port);

  // Start-up: the HID device on the bus.
  void Probe();
  // Start-up: the device's serial port, on the one the user named (the
  // settings' key, or the environment) when there is one. When no device was
  // there a driver was installed: the user is asked to plug the device in and
  // the ports are looked at once more.
  void FindPort(SettingsIni& settings, Dialogs& dialogs);
  // Start-up: the port opens; a port the user named that does not exist is
  // said once in the log.
  void OpenPort();
  // Start-up: the identification, in the window's language. Its first step
  // runs at once (with no device it closes there, before start-up goes on);
  // IdentifyTimer runs the others. Nothing when one is running already.
  void StartIdentification();
  // One step of the identification (IdentifyTimer's tick); the outcome, once
  // there is one, goes to the window and the timer stops.
  void IdentifyStep();
  // Timer2 (500 ms): the wait counter and the watch of the serial link; a
  // device found again after a loss is identified as at start-up.
  void WaitStep();
  // Timer5 (10 ms): the lamp-off countdown of the beat in play.
  void LampStep();
  // The window goes: the timers stop, a running identification ends and
  // both transports close.
  void Close();

  QTimer* Timer2 = nullptr;         // 500 ms: the device's wait counter
  QTimer* Timer5 = nullptr;         // 10 ms: the lamp-off countdown
  QTimer* IdentifyTimer = nullptr;  // no interval: one identification step each time
  std::unique_ptr<hid::HidBus> HidBus;

 private:
  DeviceLink& link_;
  Transport& transport_;
  WindowSide side_;
};

// A window the device panel can serve as it is: its language, its plain log
// (LogPlain) and its part of an identification's outcome.
template <class W>
concept DeviceWindow = requires(W& w, const QString& line, const IdentifyOutcome& o) {
  { w.English } -> std::convertible_to<bool>;
  w.LogPlain(line);
  w.ApplyIdentifyOutcome(o);
};

template <DeviceWindow W>
DevicePanel::WindowSide DeviceSideOf(W& w) {
  return {[&w] { return static_cast<bool>(w.English); }, [&w](const QString& line) { w.LogPlain(line); },
          [&w](const IdentifyOutcome& o) { w.ApplyIdentifyOutcome(o); }};
}
