// The hardware metronome in the basic window: its start-up steps, the
// identification run one step at a time by a timer of no interval, the wait
// counter (Timer2), the lamp-off countdown (Timer5) and the lamp commands of
// the transport, under the basic edition's rules.
#include <QAction>
#include <QPushButton>

#include "basic/window/basic_form.h"
#include "links/device.h"

namespace bornace {

void TMainForm::BuildDeviceLink(Options& opts) {
  DevicePane.Build(std::move(opts.hidBus), std::move(opts.serialPort));

  // The lamp of each beat whose label lights, and the stop button's
  // lamp-off: to the HID device, and over the serial port only to a device
  // that takes them there.
  BeatLampHook = [this](const BeatCue& cue) { BeatLamp(*Device, cue); };
  LampOffHook = [this] { StopButtonLampOff(*Device); };
}

void TMainForm::NSerieMetronomo() { DevicePane.StartIdentification(); }

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

void TMainForm::Timer2Timer() { DevicePane.WaitStep(); }

}  // namespace bornace
