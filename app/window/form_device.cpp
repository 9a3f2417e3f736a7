// The hardware metronome in the main window: its start-up steps, the
// identification run one step at a time by a timer of no interval (the
// event loop keeps running between steps: nothing waits inside a handler),
// the wait counter (Timer2), the lamp-off countdown (Timer5) and the lamp
// commands of the transport.
#include <QPushButton>

#include "app/window/mainform.h"
#include "platform/ui/widgets.h"
#include "links/device.h"

void TMainForm::BuildDeviceLink(Options& opts) {
  DevicePane.Build(std::move(opts.hidBus), std::move(opts.serialPort));

  // The transport lights the lamp at each beat whose label lights, and the
  // stop buttons switch it off; the commands go out whether or not a device
  // was found.
  BeatLampHook = [this](uint8_t level) { SendLampCommand(*Device, level); };
}

void TMainForm::NSerieMetronomo() { DevicePane.StartIdentification(); }

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

void TMainForm::Timer5Timer() { DevicePane.LampStep(); }

void TMainForm::LogPlain(const QString& line) { AppendPlainLine(Visor, line); }
