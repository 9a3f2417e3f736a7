#include "tuner/window/tuner_panel.h"

#include <QFont>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "platform/ui/widgets.h"

QColor TunerColour(uint32_t bbggrr) {
  return QColor(static_cast<int>(bbggrr & 0xFF), static_cast<int>((bbggrr >> 8) & 0xFF),
                static_cast<int>((bbggrr >> 16) & 0xFF));
}

namespace {

// A label's text colour over `background`.
void SetTextColour(QLabel* label, const QColor& colour, const char* background = "transparent") {
  label->setStyleSheet(QString("QLabel { color: %1; background: %2; }").arg(colour.name(), background));
}

// An empty label of the reading: bold white text of `pointSize` points.
QLabel* ReadingLabel(QWidget* parent, const char* name, QRect geometry, int pointSize, Qt::Alignment align) {
  QLabel* l = MakeLabel(parent, name, QString(), geometry);
  QFont f = l->font();
  f.setPointSize(pointSize);
  f.setBold(true);
  l->setFont(f);
  l->setAlignment(align | Qt::AlignVCenter);
  SetTextColour(l, Qt::white);
  return l;
}

}  // namespace

void ShowTunerInputProblem(QWidget* trace, const QString& text) {
  if (!trace) return;
  auto* label = trace->findChild<QLabel*>("TunerInputProblem", Qt::FindDirectChildrenOnly);
  if (!label) {
    if (text.isEmpty()) return;
    // A child of the trace, so it covers nothing but the empty trace.
    label = new QLabel(trace);
    label->setObjectName("TunerInputProblem");
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet("QLabel { color: #ffd060; background: rgba(0, 0, 0, 200); padding: 6px; }");
    auto* fill = new QVBoxLayout(trace);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(label);
  }
  label->setText(text);
  label->setVisible(!text.isEmpty());
}

TunerPanel::TunerPanel(TunerState& tuner, DeviceLink& link, WindowSide side)
    : tuner_(tuner), link_(link), side_(std::move(side)) {}

void TunerPanel::BuildReading(QWidget* area, const TunerReadingLayout& layout) {
  auto reading = [area](const char* name, const TunerReadingLayout::Place& at) {
    return ReadingLabel(area, name, at.geometry, at.pointSize, at.align);
  };
  STFrec = reading("STFrec", layout.frec);
  STFrecBase = reading("STFrecBase", layout.frecBase);
  Lnota = MakeLabel(area, "Lnota", "Nota", layout.noteCaption);
  Lcuerda = MakeLabel(area, "Lcuerda", "Cuerda", layout.stringCaption);
  Ltraste = MakeLabel(area, "Ltraste", "Traste", layout.fretCaption);
  STNota = reading("STNota", layout.note);
  STNotaEsp = reading("STNotaEsp", layout.solfege);
  STCuerda = reading("STCuerda", layout.string);
  STMasmenos = reading("STMasmenos", layout.sign);
  STTraste = reading("STTraste", layout.fret);
}

QLabel* TunerPanel::BuildMarker(QWidget* area, QRect geometry) {
  Dedo = MakeLabel(area, "Dedo", QString(), geometry);
  Dedo->setAlignment(Qt::AlignCenter);
  QFont f = Dedo->font();
  f.setBold(true);
  Dedo->setFont(f);
  SetTextColour(Dedo, Qt::white, "black");
  return Dedo;
}

void TunerPanel::BuildTick() {
  Timer3 = new QTimer(this);
  Timer3->setObjectName("Timer3");
  Timer3->setInterval(kTunerTickMs);
  connect(Timer3, &QTimer::timeout, this, [this] { side_.tick(); });
  link_.Hooks.TunerBlock = [this] {
    side_.takeBlock();
    return false;
  };
}

void TunerPanel::Start(const std::function<audio::WaveIn*()>& lookForInput) {
  side_.stopPlayback();
  audio::WaveIn* input = lookForInput();
  for (QLabel* l : {STCuerda, STTraste, STNota, Dedo, STNotaEsp, STFrec}) l->clear();
  tuner_.MicFrame.DiscardPartialFrame();
  tuner_.DeviceFrame.DiscardPartialFrame();
  link_.DeviceRxCount = 0;
  if (!TunerListening) SavedDeviceState = link_.DeviceState;
  link_.DeviceState = kDeviceTuner;
  TunerListening = true;
  TunerMic->Start(input, tuner_.fft);
  Timer3->start();
  TunerStopRequest = false;
  side_.tick();
}

void TunerPanel::Stop(bool resetInput) {
  Timer3->stop();
  TunerStopRequest = false;
  TunerMic->Stop(resetInput);
  TunerListening = false;
  tuner_.DeviceFrame.DiscardPartialFrame();
  link_.DeviceState = SavedDeviceState;
}

void TunerPanel::ShowReading(const TunerReading& r, const QWidget* markerArea) {
  const QColor c = TunerColour(r.colour);
  for (QLabel* l : {STNota, STFrec, STNotaEsp}) SetTextColour(l, c);
  SetTextColour(Dedo, c, "black");
  STFrec->setText(QString::fromLatin1(r.STFrec));
  STFrecBase->setText(QString::fromLatin1(r.STFrecBase));
  STCuerda->setText(QString::fromUtf8(r.STCuerda));
  STMasmenos->setText(QString::fromLatin1(r.STMasmenos));
  STTraste->setText(QString::fromLatin1(r.STTraste));
  STNota->setText(QString::fromLatin1(r.STNota));
  STNotaEsp->setText(QString::fromLatin1(r.STNotaEsp));
  Dedo->setText(QString::fromLatin1(r.STNota).trimmed());
  Dedo->move(std::clamp(r.DedoLeft, 0, markerArea->width() - Dedo->width()), r.DedoTop);
}
