// The hardware metronome in the basic window: its start-up steps, the
// identification run one step at a time by a timer of no interval, the wait
// counter (Timer2), the lamp-off countdown (Timer5) and the lamp commands of
// the transport, under the basic edition's rules.
#include <QPushButton>
#include <QTimer>

#include "app/window/settings.h"
#include "basic/window/basic_form.h"
#include "links/device.h"

namespace bornace {

void TMainForm::BuildDeviceLink(Options& opts) {
  DeviceHidBus = opts.hidBus ? std::move(opts.hidBus) : hid::CreateHidapiBus();
  Device->Serial = opts.serialPort ? std::move(opts.serialPort) : serial::CreateQtSerialPort();

  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setInterval(500);
  connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
  Timer5 = new QTimer(this);
  Timer5->setObjectName("Timer5");
  Timer5->setTimerType(Qt::PreciseTimer);  // half a beat is counted in its ticks
  Timer5->setInterval(10);
  connect(Timer5, &QTimer::timeout, this, [this] { Timer5Timer(); });
  IdentifyTimer = new QTimer(this);
  IdentifyTimer->setObjectName("IdentifyTimer");
  IdentifyTimer->setInterval(0);
  connect(IdentifyTimer, &QTimer::timeout, this, [this] { IdentifyTimerTimer(); });
  Timer2->start();
  Timer5->start();

  // The lamp of each beat whose label lights, and the stop button's
  // lamp-off: to the HID device, and over the serial port only to a device
  // that takes them there.
  BeatLampHook = [this](const BeatCue& cue) { BeatLamp(*Device, cue); };
  LampOffHook = [this] { StopButtonLampOff(*Device); };
}

void TMainForm::ProbeDevice() { ProbeHidDevice(*Device, *DeviceHidBus); }

void TMainForm::FindDevicePort() {
  SerialSearch search;
  const QString setting = SettingsIniFile->ReadString("METRONOMO", kDevicePortSettingKey, QString());
  search.overridePath = DevicePortOverride(setting.toLocal8Bit().toStdString());
  if (FindDeviceSerialPort(*Device, search)) {
    // A driver was installed: the user plugs the device in, and the ports
    // are looked at once more.
    dialogs->ShowMessage(QString::fromUtf8("Conecte ahora el Velarto"));
    FindDeviceSerialPort(*Device, search);
  }
}

void TMainForm::OpenDevicePort() { OpenDeviceSerialPort(*Device); }

void TMainForm::NSerieMetronomo() {
  if (!StartIdentification(*Device, !English)) return;  // one is running already
  IdentifyTimerTimer();
  if (IdentificationRunning(*Device)) IdentifyTimer->start();
}

void TMainForm::IdentifyTimerTimer() {
  if (!IdentificationRunning(*Device)) {
    IdentifyTimer->stop();
    return;
  }
  if (std::optional<IdentifyOutcome> o = IdentificationStep(*Device)) {
    IdentifyTimer->stop();
    ApplyIdentifyOutcome(*o);
  }
}

void TMainForm::ApplyIdentifyOutcome(const IdentifyOutcome& o) {
  for (const std::string& line : o.visorLines) LogPlain(QString::fromStdString(line));
  // A device that takes the lamp over its serial port takes no data set:
  // neither the send nor the receive is offered.
  if (o.hideBEnvia) {
    BEnvia->setVisible(false);
    Recibir1->setVisible(false);
  }
  // The set counts as unmodified once the device is known: the open left
  // the save button disabled. A change the user made while the
  // identification ran keeps its mark, or closing would not offer to save it.
  if (o.disableBotonrec && !Modified()) ClearModified();
}

void TMainForm::Timer2Timer() { DeviceTimer2Tick(*Device); }

void TMainForm::Timer5Timer() { LampTimerTick(*Device, *Engine); }

void TMainForm::CloseDevice() {
  if (Timer2) Timer2->stop();
  if (Timer5) Timer5->stop();
  if (IdentifyTimer) IdentifyTimer->stop();
  if (IdentificationRunning(*Device)) Device->Identify = IdentifyPhase::kDone;
  Device->HidDevice.reset();
  if (Device->Serial) Device->Serial->Close();
  Device->SerialPortOpen = false;
}

}  // namespace bornace
