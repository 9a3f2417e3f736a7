#include "links/window/device_panel.h"

#include <QTimer>
#include <optional>
#include <utility>

#include "engine/transport.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/settings.h"

DevicePanel::DevicePanel(DeviceLink& link, Transport& transport, WindowSide side)
    : link_(link), transport_(transport), side_(std::move(side)) {}

void DevicePanel::Build(std::unique_ptr<hid::HidBus> bus, std::unique_ptr<serial::SerialPort> port) {
  HidBus = bus ? std::move(bus) : hid::CreateHidapiBus();
  link_.Serial = port ? std::move(port) : serial::CreateQtSerialPort();

  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setInterval(500);
  connect(Timer2, &QTimer::timeout, this, [this] { WaitStep(); });
  Timer5 = new QTimer(this);
  Timer5->setObjectName("Timer5");
  Timer5->setTimerType(Qt::PreciseTimer);  // half a beat is counted in its ticks
  Timer5->setInterval(10);
  connect(Timer5, &QTimer::timeout, this, [this] { LampStep(); });
  IdentifyTimer = new QTimer(this);
  IdentifyTimer->setObjectName("IdentifyTimer");
  IdentifyTimer->setInterval(0);
  connect(IdentifyTimer, &QTimer::timeout, this, [this] { IdentifyStep(); });
  Timer2->start();
  Timer5->start();
  // What the link says of the device (lost, the port missing) goes to the
  // log in the window's language.
  link_.Hooks.Log = [this](const std::string& spanish, const std::string& english) {
    side_.log(QString::fromUtf8(side_.english() ? english : spanish));
  };
}

void DevicePanel::Probe() { ProbeHidDevice(link_, *HidBus); }

void DevicePanel::FindPort(SettingsIni& settings, Dialogs& dialogs) {
  SerialSearch search;
  const QString setting = settings.ReadString("METRONOMO", kDevicePortSettingKey, QString());
  search.overridePath = DevicePortOverride(setting.toLocal8Bit().toStdString());
  link_.PortGivenBy = DevicePortOverrideFrom(setting.toLocal8Bit().toStdString());
  if (FindDeviceSerialPort(link_, search)) {
    dialogs.ShowMessage(QString::fromUtf8("Conecte ahora el Velarto"));
    FindDeviceSerialPort(link_, search);
  }
}

void DevicePanel::OpenPort() {
  OpenDeviceSerialPort(link_);
  if (const auto m = MissingPortMessage(link_)) side_.log(QString::fromUtf8(side_.english() ? m->second : m->first));
}

void DevicePanel::StartIdentification() {
  if (!::StartIdentification(link_, !side_.english())) return;
  IdentifyStep();
  if (IdentificationRunning(link_)) IdentifyTimer->start();
}

void DevicePanel::IdentifyStep() {
  if (!IdentificationRunning(link_)) {
    IdentifyTimer->stop();
    return;
  }
  if (std::optional<IdentifyOutcome> o = IdentificationStep(link_)) {
    IdentifyTimer->stop();
    side_.applyOutcome(*o);
  }
}

void DevicePanel::WaitStep() {
  DeviceTimer2Tick(link_);
  const bool again = WatchDeviceLink(link_, !side_.english()) || WatchHidDevice(link_, *HidBus, !side_.english());
  if (again && IdentificationRunning(link_)) IdentifyTimer->start();
}

void DevicePanel::LampStep() { LampTick(link_, !transport_.IsPlaying(), transport_.CountLampDown()); }

void DevicePanel::Close() {
  if (Timer2) Timer2->stop();
  if (Timer5) Timer5->stop();
  if (IdentifyTimer) IdentifyTimer->stop();
  if (IdentificationRunning(link_)) link_.Identify = IdentifyPhase::kDone;
  link_.HidDevice.reset();
  if (link_.Serial) link_.Serial->Close();
  link_.SerialPortOpen = false;
}
