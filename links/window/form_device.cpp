// The hardware metronome in the main window: its start-up steps, the
// identification run one step at a time by a timer of no interval (the
// event loop keeps running between steps: nothing waits inside a handler),
// the wait counter (Timer2), the lamp-off countdown (Timer5) and the lamp
// commands of the transport.
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include "app/window/mainform.h"
#include "app/window/settings.h"
#include "links/device.h"

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
  // Both run from the start.
  Timer2->start();
  Timer5->start();

  // The transport lights the lamp at each beat whose label lights, and the
  // stop buttons switch it off; the commands go out whether or not a device
  // was found.
  BeatLampHook = [this](uint8_t level) { SendLampCommand(*Device, level); };
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
  // The first step at once: with no device the identification closes here,
  // before start-up goes on.
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
  // The set counts as unmodified: start-up marked it so when the
  // identification began. A change the user makes while it runs (the window
  // is up by then) stays marked, or closing would not offer to save it.
  if ((o.hideBotonrec || o.showTapaRec) && !Modified()) ClearModified();
  if (o.disableBotonrec) botonrec->setEnabled(false);
  if (o.flattenWaves) ClearWaveViews();
  if (o.refreshChords && ChordListRefresh) ChordListRefresh();
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

void TMainForm::LogPlain(const QString& line) {
  QTextDocument* doc = Visor->document();
  QTextCursor c(doc);
  c.movePosition(QTextCursor::End);
  if (!doc->isEmpty()) c.insertBlock(QTextBlockFormat(), QTextCharFormat());
  c.insertText(line, QTextCharFormat());
  Visor->verticalScrollBar()->setValue(Visor->verticalScrollBar()->maximum());
}
