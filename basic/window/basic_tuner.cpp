// The tuner page: while the page "Afinador" is shown the tuner listens to
// the microphone (and to the device's bytes). Timer3 polls until a frame is
// taken, stepping the needle picture a pixel a poll toward its target; a
// reading shows the note, its string and fret, the finger marker on the
// fretboard picture and the needle's target; the level bar shows every
// frame's swing. Leaving the page asks the next tick to stop.
#include <QElapsedTimer>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

#include "platform/ui/widgets.h"
#include "basic/window/basic_form.h"
#include "guitar/notes.h"
#include "links/device.h"
#include "tuner/window/tuner_charts.h"
#include "tuner/window/tuner_panel.h"

namespace bornace {

namespace {

// The tick polls until a frame is taken or this many polls in a row brought
// no byte while the needle stood still.
constexpr int kIdlePollBudget = 10000;
// However the device behaves, one tick keeps the window at most this long.
constexpr qint64 kTickLoopLimitMs = 5;
constexpr int kNeedlePark = 26;  // the needle's Left when no reading holds it
constexpr int kNeedleWidth = 8;
constexpr int kNeedleHeight = 70;
constexpr int kNeedleTop = 34;
// The fretboard picture sits 60 pixels right of the marker's origin, so a
// string's line ends at the marker's left edge.
constexpr int kFretboardLeft = 60;
constexpr int kFretboardTop = 100;
constexpr int kFretboardWidth = 830;
constexpr int kFretboardHeight = 76;
constexpr int kDedoWidth = 24;
constexpr int kDedoHeight = 16;

// A black picture of the page's scales, `draw` painting it with a 7-point font.
template <class Draw>
QPixmap ScalePicture(QSize size, Draw&& draw) {
  QPixmap pm(size);
  pm.fill(Qt::black);
  QPainter p(&pm);
  QFont f = p.font();
  f.setPointSize(7);
  p.setFont(f);
  draw(p);
  p.end();
  return pm;
}

// The dial behind the needle: a tick every 10 units (30 pixels) from -50 to
// +50 about the needle's centre, `left` being the dial's Left in the group.
QPixmap DialPicture(QSize size, int left) {
  return ScalePicture(size, [&](QPainter& p) {
    const int centre = kNeedleCentreLeft + kNeedleWidth / 2 - left;
    for (int v = -50; v <= 50; v += 10) {
      const int x = centre + 3 * v;
      p.setPen(v == 0 ? QColor(Qt::white) : QColor(128, 128, 128));
      p.drawLine(x, kNeedleTop - 26 + (v == 0 ? 0 : 4), x, kNeedleTop - 26 + kNeedleHeight + 4);
      p.drawText(QRect(x - 14, size.height() - 14, 28, 12), Qt::AlignCenter, QString::number(v));
    }
  });
}

// Fret numbers over the fretboard picture where the marker stands for them.
QPixmap FretNumbers(QSize size) {
  return ScalePicture(size, [&](QPainter& p) {
    p.setPen(QColor(160, 160, 160));
    for (int fret : {0, 3, 5, 7, 9, 12, 15, 17, 19}) {
      const int x = FretPosition(fret) + kBasicTunerRules.dedoLeft - kFretboardLeft + kDedoWidth / 2;
      p.drawText(QRect(x - 10, 0, 20, size.height()), Qt::AlignCenter, QString::number(fret));
    }
  });
}

// The reading right of the needle's dial.
const TunerReadingLayout kReadingLayout{
    .frec = {{420, 26, 300, 34}, 15, Qt::AlignLeft},
    .frecBase = {{730, 26, 164, 34}, 12, Qt::AlignRight},
    .noteCaption = {420, 66, 70, 18},
    .stringCaption = {640, 66, 80, 18},
    .fretCaption = {770, 66, 80, 18},
    .note = {{420, 84, 64, 40}, 24, Qt::AlignLeft},
    .solfege = {{490, 84, 130, 40}, 18, Qt::AlignLeft},
    .string = {{640, 84, 80, 40}, 24, Qt::AlignLeft},
    .sign = {{730, 84, 30, 40}, 24, Qt::AlignHCenter},
    .fret = {{770, 84, 70, 40}, 24, Qt::AlignLeft},
};

}  // namespace

TunerPanel::WindowSide TMainForm::TunerSide() {
  return {[this] { Stop1Click(); }, [this] { Timer3Timer(); }, [this] { TakeTunerBlock(); }};
}

void TMainForm::BuildTunerPage() {
  Work->Tuner->rules = kBasicTunerRules;
  QWidget* p = TabSheet2;

  Mastil = MakeBlackGroup(p, "Mastil", QString::fromUtf8("Mástil"), {208, 8, 910, 196});
  auto* frets = MakeLabel(Mastil, "FretNumbers", QString(), {kFretboardLeft, 80, kFretboardWidth, 16});
  frets->setPixmap(FretNumbers(frets->size()));
  // The strings' numbers beside their lines.
  for (int s = 1; s <= 6; ++s) {
    QLabel* n = MakeLabel(Mastil, "", QString::number(s),
                          {kFretboardLeft - 20, kFretboardTop + 12 * (7 - s) - 5 - 6, 14, 12});
    QFont f = n->font();
    f.setPointSize(7);
    n->setFont(f);
    n->setAlignment(Qt::AlignCenter);
    n->setStyleSheet("QLabel { color: #a0a0a0; background: transparent; }");
  }
  Image7 = MakeLabel(Mastil, "Image7", QString(), {kFretboardLeft, kFretboardTop, kFretboardWidth, kFretboardHeight});
  // The fretboard starts black, its pen yellow and 2 pixels wide.
  FretboardPen = Qt::yellow;
  FretboardPenWidth = 2;
  ClearFretboard();
  TunerPane.BuildMarker(Mastil, {FretPosition(0) + kBasicTunerRules.dedoLeft, kBasicTunerRules.dedoTop, kDedoWidth,
                              kDedoHeight});
  Dedo->raise();

  Afinador = MakeBlackGroup(p, "Afinador", "Afinador", {208, 212, 910, 414});
  const QRect dial{16, 26, 384, 92};
  auto* scale = MakeLabel(Afinador, "AgujaEscala", QString(), dial);
  scale->setPixmap(DialPicture(dial.size(), dial.left()));
  Aguja = MakeLabel(Afinador, "Aguja", QString(), {kNeedleCentreLeft, kNeedleTop, kNeedleWidth, kNeedleHeight});
  Aguja->setStyleSheet("QLabel { background: red; }");
  Aguja->raise();
  TunerPane.BuildReading(Afinador, kReadingLayout);
  ProgressBar2 = new QProgressBar(Afinador);
  ProgressBar2->setObjectName("ProgressBar2");
  ProgressBar2->setRange(15, 400);
  ProgressBar2->setValue(15);
  ProgressBar2->setTextVisible(false);
  ProgressBar2->setGeometry(16, 128, 878, 14);
  ProgressBar2->setStyleSheet(
      "QProgressBar { background: #202020; border: 1px solid #606060; } QProgressBar::chunk { background: #00c000; }");
  Oscilata3 = MakeWaveChart(Afinador, "Oscilata3", {16, 150, 878, 254}, Work->Tuner->fft.FftSize);

  // The device poll joins the tuner while DeviceState is 220: a microphone
  // block first, then the device's bytes.
  TunerPane.BuildTick();
  Device->Hooks.TunerByte = [this](uint8_t b) { FeedTunerDeviceByte(b); };
}

// The tuner's input, opened by the tuner when it starts (LookForTunerInput,
// which says a failure; the tuner then records nothing and shows nothing).
bool TMainForm::OpenWaveInput() {
  if (!WaveIn) return false;
  // The done callback runs on the input's thread: it only marks the block.
  TunerMicInput* mic = TunerMic.get();
  return WaveIn->Open(audio::kTunerInputFormat, [this, mic](audio::WaveHeader& h) {
    WaveInReady = true;
    mic->OnBufferDone(h);
  }) == audio::WaveResult::kOk;
}

// --- start and stop ----------------------------------------------------------------

void TMainForm::PageControl1Change() {
  if (PageControl1->currentWidget() != TabSheet2) {
    TunerStopRequest = true;  // the next tick stops the tuner
    return;
  }
  StartTunerInput();
}

bool TMainForm::TunerRunning() const { return TunerListening && !TunerStopRequest; }

void TMainForm::StartTunerInput() {
  // The transfer holds the device link and its state until it ends.
  if (TransferRunning) return;
  // Listening already: "Afinar" on the page shown starts nothing again. A
  // stop still pending is cancelled and the input starts afresh.
  if (TunerListening && !TunerStopRequest) return;
  ++TunerStarts;
  TunerPane.Start([this] { return LookForTunerInput(*this) ? WaveIn.get() : nullptr; });
}

// The stop at once: the input is always reset (its queued buffers come back).
void TMainForm::StopTunerInput() {
  if (!TunerListening) {
    TunerStopRequest = false;
    return;
  }
  TunerPane.Stop(true);
}

// --- the tick ------------------------------------------------------------------------

void TMainForm::Timer3Timer() {
  if (!TunerListening) return;  // a tick left over from before the stop
  TunerState& T = *Work->Tuner;
  if (T.TunerFrameHold > 0) --T.TunerFrameHold;

  // Poll until a frame is taken; every poll that framed a byte renews the
  // budget, every poll with the needle standing still spends one of it.
  TunerFrameTaken = false;
  TunerLoopPolls = 0;
  int budget = kIdlePollBudget;
  QElapsedTimer clock;
  clock.start();
  while (!TunerFrameTaken && budget > 0) {
    const long before = TunerBytesFramed;
    PollDevice(*Device);
    ++TunerLoopPolls;
    if (TunerBytesFramed != before) budget = kIdlePollBudget;
    if (!StepNeedle()) --budget;
    if (clock.elapsed() >= kTickLoopLimitMs) break;
  }
  if (!TunerFrameTaken) TunerDeviceRead();
  T.MicFrame.DiscardPartialFrame();
  Device->DeviceRxCount = 0;

  // A stop always resets the input.
  TunerPane.EndTick(NeedleTarget, kNeedlePark, true);
}

// One pixel toward the target; false when the needle stands on it.
bool TMainForm::StepNeedle() {
  const int x = Aguja->x();
  if (x == NeedleTarget) return false;
  Aguja->move(x + (NeedleTarget > x ? 1 : -1), Aguja->y());
  Aguja->repaint();
  return true;
}

// The device's read of a tick that took no frame: one HID report, or what
// the serial port holds, into the link's own read buffer (never into the
// microphone's queued buffers); its bytes go through the link as any poll's.
void TMainForm::TunerDeviceRead() {
  DeviceLink& L = *Device;
  uint8_t* buf = L.DeviceReadBuffer.data();
  size_t n = 0;
  size_t first = 0;
  if (L.HidDevice) {
    std::fill_n(buf, kDeviceReportBytes - 1, uint8_t{0});
    n = HidReportData(buf, L.HidDevice->Read(buf, kDeviceReportBytes));
    first = 1;
  } else if (L.Serial && L.Serial->IsOpen()) {
    const long got = L.Serial->Read(buf, L.DeviceReadBuffer.size());
    n = got > 0 ? std::min(static_cast<size_t>(got), L.DeviceReadBuffer.size()) : 0;
    L.Serial->ArmWait();  // characters arriving from now on are noticed by the poll
  } else {
    return;
  }
  L.DeviceReadCount = static_cast<uint32_t>(n);
  for (size_t i = 0; i < n; ++i) DeviceByte(L, buf[first + i]);
}

// --- frames and readings -------------------------------------------------------------

// One microphone block at most: it is one whole frame.
void TMainForm::TakeTunerBlock() {
  if (!TunerListening) return;
  TunerState& T = *Work->Tuner;
  const FrameOutcome o = TunerMic->Poll(T, Work->GuitarAudio->Tuning.TablaNotas);
  if (o == FrameOutcome::kIncomplete) return;
  TunerBytesFramed += 2 * T.fft.FftSize;
  TunerFrameDone(T.MicFrame, o);
}

void TMainForm::FeedTunerDeviceByte(uint8_t b) {
  if (!TunerListening) return;
  TunerState& T = *Work->Tuner;
  FrameOutcome o;
  FeedFrameBytes(T, T.DeviceFrame, Work->GuitarAudio->Tuning.TablaNotas, &b, 1, &o);
  ++TunerBytesFramed;
  if (o != FrameOutcome::kIncomplete) TunerFrameDone(T.DeviceFrame, o);
}

// After every frame, analysed or not: the waveform, the level bar, the
// reading when there is one; the device's bytes are only stored until the
// tick ends.
void TMainForm::TunerFrameDone(const FrameAssembler& a, FrameOutcome o) {
  const int n = std::min(Work->Tuner->fft.FftSize, kMaxFftSize);
  PlotWave(Oscilata3, a.samples.data(), n, true);
  ProgressBar2->setValue(std::clamp(a.LastSwing / 100, ProgressBar2->minimum(), ProgressBar2->maximum()));
  if (o == FrameOutcome::kReading) ShowTunerReading(Work->Tuner->Reading);
  TunerFrameTaken = true;
  Device->DeviceState = kDeviceTunerFrameDone;
}

void TMainForm::ClearFretboard() {
  QPixmap pm(Image7->size());
  pm.fill(Qt::black);
  Image7->setPixmap(pm);
}

void TMainForm::ShowTunerReading(const TunerReading& r) {
  // The marker stays on the fretboard's group whatever the fret.
  TunerPane.ShowReading(r, Mastil);
  FretboardPen = TunerColour(static_cast<uint32_t>(r.penColour));
  ClearFretboard();
  // The string's line from the picture's left edge to the marker; a note no
  // string plays draws it below the picture.
  const int s = r.position[0] - '0';
  const int y = 12 * (7 - s) - 5;
  {
    QPixmap pm = Image7->pixmap();
    QPainter p(&pm);
    p.setPen(QPen(FretboardPen, FretboardPenWidth));
    p.drawLine(0, y, Dedo->x() - kFretboardLeft, y);
    p.end();
    Image7->setPixmap(pm);
  }
  NeedleTarget = std::clamp(NeedleImageLeft(r.deviation), kNeedlePark, Afinador->width() - kNeedleWidth);
}

}  // namespace bornace
