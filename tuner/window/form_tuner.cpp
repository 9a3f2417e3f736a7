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
#include "app/window/widgets.h"
#include "links/device.h"
#include "tuner/window/tuner_charts.h"

namespace {

constexpr int kTunerTickMs = 10;
constexpr double kNeedlePark = -50.0;
// Dedo stands over the fretboard MGuitarra in the guitar panel's
// coordinates, as the chord marks do: its middle on the string's line.
constexpr int kDedoWidth = 24;
constexpr int kDedoHeight = 18;

// 0x00BBGGRR as the window's colour.
QColor TunerColour(uint32_t bbggrr) {
  return QColor(static_cast<int>(bbggrr & 0xFF), static_cast<int>((bbggrr >> 8) & 0xFF),
                static_cast<int>((bbggrr >> 16) & 0xFF));
}

void SetTextColour(QLabel* l, const QColor& c, const char* background = "transparent") {
  l->setStyleSheet(QString("QLabel { color: %1; background: %2; }").arg(c.name(), background));
}

QLabel* ReadingLabel(QWidget* parent, const char* name, QRect geom, int pointSize, Qt::Alignment align) {
  QLabel* l = MakeLabel(parent, name, QString(), geom);
  QFont f = l->font();
  f.setPointSize(pointSize);
  f.setBold(true);
  l->setFont(f);
  l->setAlignment(align | Qt::AlignVCenter);
  SetTextColour(l, Qt::white);
  return l;
}

}  // namespace

void TMainForm::BuildTunerControls() {
  QWidget* p = PanelAfinador;
  Chart3 = MakeNeedleChart(p, "Chart3", {8, 22, 405, 120});
  STFrec = ReadingLabel(p, "STFrec", {8, 148, 246, 26}, 13, Qt::AlignLeft);
  STFrecBase = ReadingLabel(p, "STFrecBase", {262, 148, 151, 26}, 11, Qt::AlignRight);
  Lnota = MakeLabel(p, "Lnota", "Nota", {8, 178, 60, 18});
  Lcuerda = MakeLabel(p, "Lcuerda", "Cuerda", {176, 178, 60, 18});
  Ltraste = MakeLabel(p, "Ltraste", "Traste", {276, 178, 60, 18});
  STNota = ReadingLabel(p, "STNota", {8, 196, 60, 42}, 24, Qt::AlignLeft);
  STNotaEsp = ReadingLabel(p, "STNotaEsp", {72, 196, 96, 42}, 18, Qt::AlignLeft);
  STCuerda = ReadingLabel(p, "STCuerda", {176, 196, 60, 42}, 24, Qt::AlignLeft);
  STMasmenos = ReadingLabel(p, "STMasmenos", {246, 196, 26, 42}, 24, Qt::AlignHCenter);
  STTraste = ReadingLabel(p, "STTraste", {276, 196, 60, 42}, 24, Qt::AlignLeft);
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

  Dedo = MakeLabel(PanelGuitarra, "Dedo", QString(), {566 + 234, 129, kDedoWidth, kDedoHeight});
  Dedo->setAlignment(Qt::AlignCenter);
  QFont f = Dedo->font();
  f.setBold(true);
  Dedo->setFont(f);
  SetTextColour(Dedo, Qt::white, "black");
  Dedo->setAttribute(Qt::WA_TransparentForMouseEvents);  // the fretboard under it takes the clicks
  Dedo->setVisible(false);

  Timer3 = new QTimer(this);
  Timer3->setObjectName("Timer3");
  Timer3->setInterval(kTunerTickMs);
  connect(Timer3, &QTimer::timeout, this, [this] { Timer3Timer(); });

  // The device poll joins the tuner while DeviceState is 220: the microphone
  // first, then the device's bytes.
  TunerDeviceAvailable = [this] { return DeviceCanBeTunerInput(*Device); };
  Device->Hooks.TunerBlock = [this] {
    TakeTunerBlock();
    return false;
  };
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
  Stop1Click();
  for (QLabel* l : {STCuerda, STTraste, STNota, Dedo, STNotaEsp, STFrec}) l->clear();
  TunerState& T = *Work->Tuner;
  T.MicFrame.DiscardPartialFrame();
  T.DeviceFrame.DiscardPartialFrame();
  Device->DeviceRxCount = 0;
  // A stop still pending keeps the state it saved.
  if (!TunerListening) SavedDeviceState = Device->DeviceState;
  const bool device = TunerDeviceAvailable && TunerDeviceAvailable();
  if (!device) {
    RBMicro->setChecked(true);
    RBMetro->setEnabled(false);
  }
  Device->DeviceState = kDeviceTuner;
  TunerListening = true;
  TunerMic->Start(WaveIn.get(), T.fft);
  Timer3->start();
  TunerStopRequest = false;
  Timer3Timer();
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

  if (T.TunerHold > 0)
    --T.TunerHold;
  else
    T.NeedleTarget = kNeedlePark;

  if (TunerStopRequest) {
    Timer3->stop();
    TunerStopRequest = false;
    // With the device as source the microphone keeps filling its buffers
    // until the next start resets it.
    TunerMic->Stop(RBMicro->isChecked());
    TunerListening = false;
    T.DeviceFrame.DiscardPartialFrame();
    Device->DeviceState = SavedDeviceState;
  } else {
    Device->DeviceState = kDeviceTuner;
  }
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

void TMainForm::ShowTunerReading(const TunerReading& r) {
  const QColor c = TunerColour(r.colour);
  for (QLabel* l : {STNota, STFrec, STNotaEsp}) SetTextColour(l, c);
  SetTextColour(Dedo, c, "black");
  STFrec->setText(QString::fromLatin1(r.STFrec));
  STFrecBase->setText(QString::fromLatin1(r.STFrecBase));
  STCuerda->setText(QString::fromUtf8(r.STCuerda));
  STMasmenos->setText(QString::fromLatin1(r.STMasmenos));
  STTraste->setText(QString::fromLatin1(r.STTraste));
  STNota->setText(QString::fromLatin1(r.STNota));
  Dedo->setText(QString::fromLatin1(r.STNota).trimmed());
  STNotaEsp->setText(QString::fromLatin1(r.STNotaEsp));
  Dedo->move(std::clamp(r.DedoLeft, 0, PanelGuitarra->width() - kDedoWidth), r.DedoTop);
}

void TMainForm::ShowTunerDiagnostics() {
  const TunerState& T = *Work->Tuner;
  Label20->setText(QString::fromLatin1(T.Label20));
  Label12->setText(QString::fromLatin1(T.Label12));
}

double TMainForm::TunerNeedleX() const { return NeedleAt(Chart3); }
