// The tuner's window steps that both editions' main windows take alike: the
// reading's labels, the 10 ms tick with the device poll's tuner hook, the
// start and the stop of the listening and the end of every tick. What each
// window does differently (the needle, the fretboard, the source choice, how
// a tick polls) stays in its own handlers.
//
// The templates take either edition's main window. What they use of it has
// the same name in both: Work (the tuner's state), Device, TunerMic, WaveIn,
// Oscilata3, Timer3, the flags TunerListening and TunerStopRequest, SavedDeviceState,
// the reading's labels STFrec, STFrecBase, STNota, STNotaEsp, STCuerda,
// STMasmenos, STTraste and the finger marker Dedo, and the handlers
// Stop1Click, Timer3Timer and TakeTunerBlock.
#pragma once

#include <QColor>
#include <QLabel>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <cstdint>

#include "engine/sound_messages.h"
#include "links/device.h"
#include "tuner/tuner.h"

constexpr int kTunerTickMs = 10;

// A colour of the 0x00BBGGRR form as the window's colour.
QColor TunerColour(uint32_t bbggrr);
// A label's text colour over `background`.
void SetTextColour(QLabel* label, const QColor& colour, const char* background = "transparent");
// An empty label of the reading: bold white text of `pointSize` points.
QLabel* ReadingLabel(QWidget* parent, const char* name, QRect geometry, int pointSize, Qt::Alignment align);

// Timer3, the tuner's 10 ms tick (not started), and the device poll's hook
// that takes a microphone block while the device is the tuner's.
template <class Form>
void MakeTunerTick(Form& f) {
  f.Timer3 = new QTimer(&f);
  f.Timer3->setObjectName("Timer3");
  f.Timer3->setInterval(kTunerTickMs);
  QObject::connect(f.Timer3, &QTimer::timeout, &f, [&f] { f.Timer3Timer(); });
  f.Device->Hooks.TunerBlock = [&f] {
    f.TakeTunerBlock();
    return false;
  };
}

// What the tuner says of its input where it shows it, on the input trace
// `trace`: `text` across the trace, or nothing when `text` is empty.
void ShowTunerInputProblem(QWidget* trace, const QString& text);

// The input is looked for when the tuner opens, not at start-up: the
// window's OpenWaveInput opens the default input; a failure it says in the
// log and on the input trace Oscilata3, in the user's language with the
// sound system's own text, and the next opening of the tuner tries again.
template <class Form>
bool LookForTunerInput(Form& f) {
  if (!f.WaveIn) return false;
  if (f.WaveIn->IsOpen()) return true;
  if (f.OpenWaveInput()) {
    ShowTunerInputProblem(f.Oscilata3, QString());
    return true;
  }
  const QString text = QString::fromUtf8(SoundInputMissingMessage(f.English, f.WaveIn->ErrorText()).c_str());
  f.Log(text);
  ShowTunerInputProblem(f.Oscilata3, text);
  return false;
}

// The start of the listening: playback stops, the reading empties, frames in
// progress are dropped, the device's state is saved (a stop still pending
// keeps the state it saved) and becomes the tuner's, the microphone's two
// buffers are queued, the tick starts (a pending stop is cancelled) and runs
// once at once.
template <class Form>
void StartListening(Form& f) {
  f.Stop1Click();
  for (QLabel* l : {f.STCuerda, f.STTraste, f.STNota, f.Dedo, f.STNotaEsp, f.STFrec}) l->clear();
  TunerState& T = *f.Work->Tuner;
  T.MicFrame.DiscardPartialFrame();
  T.DeviceFrame.DiscardPartialFrame();
  f.Device->DeviceRxCount = 0;
  if (!f.TunerListening) f.SavedDeviceState = f.Device->DeviceState;
  f.Device->DeviceState = kDeviceTuner;
  f.TunerListening = true;
  f.TunerMic->Start(LookForTunerInput(f) ? f.WaveIn.get() : nullptr, T.fft);
  f.Timer3->start();
  f.TunerStopRequest = false;
  f.Timer3Timer();
}

// The stop: the tick ends, the microphone stops taking blocks (and is reset
// with `resetInput`: its queued buffers come back), the device's frame in
// progress is dropped and the device gets its saved state back.
template <class Form>
void StopListening(Form& f, bool resetInput) {
  f.Timer3->stop();
  f.TunerStopRequest = false;
  f.TunerMic->Stop(resetInput);
  f.TunerListening = false;
  f.Work->Tuner->DeviceFrame.DiscardPartialFrame();
  f.Device->DeviceState = f.SavedDeviceState;
}

// The end of every tick: the reading's hold runs down, and once it has run
// out the needle's target is `park`; a stop asked for ends the listening
// (see StopListening), otherwise the device is the tuner's again.
template <class Form, class Target>
void EndTunerTick(Form& f, Target& needleTarget, Target park, bool resetInput) {
  TunerState& T = *f.Work->Tuner;
  if (T.TunerHold > 0)
    --T.TunerHold;
  else
    needleTarget = park;
  if (f.TunerStopRequest)
    StopListening(f, resetInput);
  else
    f.Device->DeviceState = kDeviceTuner;
}

// A reading's texts in its colour: the frequency and deviation, the note's
// exact frequency, the note in letters and in solfège, the string, the sign
// and the fret; the finger marker shows the note at its place, kept inside
// `markerArea` (the widget it stands on).
template <class Form>
void ShowReadingTexts(Form& f, const TunerReading& r, const QWidget* markerArea) {
  const QColor c = TunerColour(r.colour);
  for (QLabel* l : {f.STNota, f.STFrec, f.STNotaEsp}) SetTextColour(l, c);
  SetTextColour(f.Dedo, c, "black");
  f.STFrec->setText(QString::fromLatin1(r.STFrec));
  f.STFrecBase->setText(QString::fromLatin1(r.STFrecBase));
  f.STCuerda->setText(QString::fromUtf8(r.STCuerda));
  f.STMasmenos->setText(QString::fromLatin1(r.STMasmenos));
  f.STTraste->setText(QString::fromLatin1(r.STTraste));
  f.STNota->setText(QString::fromLatin1(r.STNota));
  f.STNotaEsp->setText(QString::fromLatin1(r.STNotaEsp));
  f.Dedo->setText(QString::fromLatin1(r.STNota).trimmed());
  f.Dedo->move(std::clamp(r.DedoLeft, 0, markerArea->width() - f.Dedo->width()), r.DedoTop);
}
