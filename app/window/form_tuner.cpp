// The tuner panel: "Ver" > "Afinador" opens and closes it; while it shows,
// Timer3 takes the microphone's blocks, moves the needle toward the last
// reading and parks it when no reading comes; the finger marker Dedo shows on
// the guitar panel where the note lies.
#include <QAction>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>

#include "app/window/mainform.h"
#include "platform/ui/widgets.h"
#include "links/device.h"
#include "tuner/window/tuner_charts.h"
#include "tuner/window/tuner_panel.h"

namespace {

constexpr double kNeedlePark = -50.0;
// Dedo stands over the fretboard MGuitarra in the guitar panel's
// coordinates, as the chord marks do: its middle on the string's line.
constexpr int kDedoWidth = 24;
constexpr int kDedoHeight = 18;

// The reading under the needle chart of the tuner panel.
const TunerReadingLayout kReadingLayout{
    .frec = {{8, 148, 246, 26}, 13, Qt::AlignLeft},
    .frecBase = {{262, 148, 151, 26}, 11, Qt::AlignRight},
    .noteCaption = {8, 178, 60, 18},
    .stringCaption = {176, 178, 60, 18},
    .fretCaption = {276, 178, 60, 18},
    .note = {{8, 196, 60, 42}, 24, Qt::AlignLeft},
    .solfege = {{72, 196, 96, 42}, 18, Qt::AlignLeft},
    .string = {{176, 196, 60, 42}, 24, Qt::AlignLeft},
    .sign = {{246, 196, 26, 42}, 24, Qt::AlignHCenter},
    .fret = {{276, 196, 60, 42}, 24, Qt::AlignLeft},
};

}  // namespace

TunerPanel::WindowSide TMainForm::TunerSide() {
  return {[this] { Stop1Click(); }, [this] { Timer3Timer(); }, [this] { TakeTunerBlock(); }};
}

void TMainForm::BuildTunerControls() {
  QWidget* p = PanelAfinador;
  Chart3 = MakeNeedleChart(p, "Chart3", {8, 22, 405, 120});
  TunerPane.BuildReading(p, kReadingLayout);
  Oscilata3 = MakeWaveChart(p, "Oscilata3", {8, 244, 405, 130}, Work->Tuner->fft.FftSize);
  // Hidden diagnostics of the last analysis.
  Label20 = MakeLabel(p, "Label20", QString(), {8, 376, 60, 16});
  Label12 = MakeLabel(p, "Label12", QString(), {8, 392, 405, 16});
  Label20->setVisible(false);
  Label12->setVisible(false);
  for (QWidget* chart : {Chart3, Oscilata3}) {
    chart->setProperty("dragPanel", QVariant::fromValue(static_cast<void*>(p)));
    chart->installEventFilter(this);
  }

  TunerPane.BuildMarker(PanelGuitarra, {566 + 234, 129, kDedoWidth, kDedoHeight});
  Dedo->setAttribute(Qt::WA_TransparentForMouseEvents);  // the fretboard under it takes the clicks
  Dedo->setVisible(false);

  // The device poll joins the tuner while DeviceState is 220: the microphone
  // first, then the device's bytes.
  TunerPane.BuildTick();
  TunerDeviceAvailable = [this] { return DeviceCanBeTunerInput(*Device); };
  Device->Hooks.TunerByte = [this](uint8_t b) { FeedTunerDeviceBytes(&b, 1); };
}

// The View item (and the panel's close label): the panel and the finger
// marker follow the check mark; hiding asks the next tick to stop.
void TMainForm::Afinador1Click() {
  TogglePanel(PanelAfinador, Afinador1, true);
  Dedo->setVisible(Afinador1->isChecked());
  Dedo->raise();
  if (!Afinador1->isChecked()) {
    TunerStopRequest = true;
    return;
  }
  StartTunerInput();
}

void TMainForm::StartTunerInput() {
  // Unless the device can be the input, the microphone is forced.
  const bool device = TunerDeviceAvailable && TunerDeviceAvailable();
  if (!device) {
    RBMicro->setChecked(true);
    RBMetro->setEnabled(false);
  }
  TunerPane.Start([this] { return LookForTunerInput(*this) ? WaveIn.get() : nullptr; });
}

void TMainForm::Timer3Timer() {
  if (!TunerListening) return;  // a tick left over from before the stop
  TunerState& T = *Work->Tuner;
  if (T.TunerFrameHold > 0) --T.TunerFrameHold;

  // The needle travels one unit a tick, and settles on the target when within one.
  const double x = NeedleAt(Chart3);
  const float diff = static_cast<float>(T.NeedleTarget - x);
  double next = T.NeedleTarget;
  if (diff > 1) {
    T.TunerHold = kReadingHoldTicks;
    next = x + 1;
  } else if (diff < -1) {
    T.TunerHold = kReadingHoldTicks;
    next = x - 1;
  }
  SetNeedle(Chart3, next);

  PollDevice(*Device);  // in state 220: TakeTunerBlock, then the device's bytes
  Device->DeviceRxCount = 0;

  // With the device as source a stop leaves the microphone filling its
  // buffers until the next start resets it.
  TunerPane.EndTick(T.NeedleTarget, kNeedlePark, RBMicro->isChecked());
}

// One microphone block at most: it is one whole frame.
void TMainForm::TakeTunerBlock() {
  TunerState& T = *Work->Tuner;
  const FrameOutcome o = TunerMic->Poll(T, GuitarAudio->Tuning.TablaNotas);
  if (o == FrameOutcome::kIncomplete) return;
  PlotTunerFrame(T.MicFrame);
  ShowTunerDiagnostics();
  if (o == FrameOutcome::kReading) ShowTunerReading(T.Reading);
}

void TMainForm::FeedTunerDeviceBytes(const uint8_t* bytes, size_t n) {
  if (!TunerListening || !bytes) return;
  TunerState& T = *Work->Tuner;
  size_t at = 0;
  while (at < n) {
    FrameOutcome o;
    at += FeedFrameBytes(T, T.DeviceFrame, GuitarAudio->Tuning.TablaNotas, bytes + at, n - at, &o);
    if (o == FrameOutcome::kIncomplete) break;
    PlotTunerFrame(T.DeviceFrame);
    ShowTunerDiagnostics();
    if (o == FrameOutcome::kReading) ShowTunerReading(T.Reading);
  }
}

void TMainForm::PlotTunerFrame(const FrameAssembler& a) {
  const int n = std::min(Work->Tuner->fft.FftSize, kMaxFftSize);
  PlotWave(Oscilata3, a.samples.data(), n, RBMicro->isChecked());
}

void TMainForm::ShowTunerReading(const TunerReading& r) { TunerPane.ShowReading(r, PanelGuitarra); }

void TMainForm::ShowTunerDiagnostics() {
  const TunerState& T = *Work->Tuner;
  Label20->setText(QString::fromLatin1(T.Label20));
  Label12->setText(QString::fromLatin1(T.Label12));
}

double TMainForm::TunerNeedleX() const { return NeedleAt(Chart3); }
