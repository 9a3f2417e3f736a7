// The hardware metronome's window steps that both editions' main windows
// take alike: the transports and the three timers of the link, the search
// for the device's serial port with its one prompt, the identification run
// one step at a time by a timer of no interval (the event loop keeps running
// between steps: nothing waits inside a handler), and the close of the link.
// The decisions are the link's (links/device.h); these only run them.
//
// The templates take either edition's main window. What they use of it has
// the same name in both: Device, DeviceHidBus, SettingsIniFile, dialogs,
// English, the timers Timer2 (500 ms, the wait counter), Timer5 (10 ms, the
// lamp-off countdown) and IdentifyTimer, and the handlers Timer2Timer,
// Timer5Timer, IdentifyTimerTimer and ApplyIdentifyOutcome.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>
#include <utility>

#include "platform/ui/settings.h"
#include "links/device.h"
#include "platform/hid/hid_device.h"
#include "platform/serial/serial_port.h"

// The HID bus and the serial port the options name (the system's when they
// name none), and Timer2, Timer5 and IdentifyTimer made and bound; Timer2
// and Timer5 run from here on.
template <class Form, class Options>
void BuildDeviceTransports(Form& f, Options& opts) {
  f.DeviceHidBus = opts.hidBus ? std::move(opts.hidBus) : hid::CreateHidapiBus();
  f.Device->Serial = opts.serialPort ? std::move(opts.serialPort) : serial::CreateQtSerialPort();

  f.Timer2 = new QTimer(&f);
  f.Timer2->setObjectName("Timer2");
  f.Timer2->setInterval(500);
  QObject::connect(f.Timer2, &QTimer::timeout, &f, [&f] { f.Timer2Timer(); });
  f.Timer5 = new QTimer(&f);
  f.Timer5->setObjectName("Timer5");
  f.Timer5->setTimerType(Qt::PreciseTimer);  // half a beat is counted in its ticks
  f.Timer5->setInterval(10);
  QObject::connect(f.Timer5, &QTimer::timeout, &f, [&f] { f.Timer5Timer(); });
  f.IdentifyTimer = new QTimer(&f);
  f.IdentifyTimer->setObjectName("IdentifyTimer");
  f.IdentifyTimer->setInterval(0);
  QObject::connect(f.IdentifyTimer, &QTimer::timeout, &f, [&f] { f.IdentifyTimerTimer(); });
  f.Timer2->start();
  f.Timer5->start();
  // What the link says of the device (lost, the port missing) goes to the
  // log in the window's language.
  f.Device->Hooks.Log = [&f](const std::string& spanish, const std::string& english) {
    f.LogPlain(QString::fromUtf8(f.English ? english : spanish));
  };
}

// Start-up: the device's serial port, on the one the user named (the
// settings' key, or the environment) when there is one. When no device was
// there a driver was installed: the user is asked to plug the device in and
// the ports are looked at once more.
template <class Form>
void FindDevicePortWithPrompt(Form& f) {
  SerialSearch search;
  const QString setting = f.SettingsIniFile->ReadString("METRONOMO", kDevicePortSettingKey, QString());
  search.overridePath = DevicePortOverride(setting.toLocal8Bit().toStdString());
  f.Device->PortGivenBy = DevicePortOverrideFrom(setting.toLocal8Bit().toStdString());
  if (FindDeviceSerialPort(*f.Device, search)) {
    f.dialogs->ShowMessage(QString::fromUtf8("Conecte ahora el Velarto"));
    FindDeviceSerialPort(*f.Device, search);
  }
}

// Start-up: the device's serial port opens; a port the user named that
// does not exist is said once in the log.
template <class Form>
void OpenDevicePortAtStart(Form& f) {
  OpenDeviceSerialPort(*f.Device);
  if (const auto m = MissingPortMessage(*f.Device)) f.LogPlain(QString::fromUtf8(f.English ? m->second : m->first));
}

// Timer2 (500 ms): the wait counter, and the watch of the serial link; a
// device found again after a loss is identified as at start-up.
template <class Form>
void DeviceTimer2Step(Form& f) {
  DeviceTimer2Tick(*f.Device);
  const bool again = WatchDeviceLink(*f.Device, !f.English) || WatchHidDevice(*f.Device, *f.DeviceHidBus, !f.English);
  if (again && IdentificationRunning(*f.Device)) f.IdentifyTimer->start();
}

// Start-up: the identification, in the language of the window. Its first
// step runs at once (with no device it closes there, before start-up goes
// on); IdentifyTimer runs the others. Nothing when one is running already.
template <class Form>
void StartDeviceIdentification(Form& f) {
  if (!StartIdentification(*f.Device, !f.English)) return;
  f.IdentifyTimerTimer();
  if (IdentificationRunning(*f.Device)) f.IdentifyTimer->start();
}

// One step of the identification (IdentifyTimer's tick); the outcome, once
// there is one, goes to the window's ApplyIdentifyOutcome and the timer stops.
template <class Form>
void StepDeviceIdentification(Form& f) {
  if (!IdentificationRunning(*f.Device)) {
    f.IdentifyTimer->stop();
    return;
  }
  if (std::optional<IdentifyOutcome> o = IdentificationStep(*f.Device)) {
    f.IdentifyTimer->stop();
    f.ApplyIdentifyOutcome(*o);
  }
}

// The window goes: the timers stop, a running identification ends and both
// transports close.
template <class Form>
void CloseDeviceLink(Form& f) {
  if (f.Timer2) f.Timer2->stop();
  if (f.Timer5) f.Timer5->stop();
  if (f.IdentifyTimer) f.IdentifyTimer->stop();
  if (IdentificationRunning(*f.Device)) f.Device->Identify = IdentifyPhase::kDone;
  f.Device->HidDevice.reset();
  if (f.Device->Serial) f.Device->Serial->Close();
  f.Device->SerialPortOpen = false;
}
