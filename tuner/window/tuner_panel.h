// The tuner's part of either main window: the reading's labels and the
// finger marker, the 10 ms tick with the device poll's tuner hook, the start
// and the stop of the listening and the end of every tick. What each
// edition does differently (the needle, the fretboard, the source choice,
// how a tick polls) stays in its window's handlers; where the labels stand
// is the edition's TunerReadingLayout.
#pragma once

#include <QColor>
#include <QLabel>
#include <QObject>
#include <QRect>
#include <QString>
#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/sound_messages.h"
#include "links/device.h"
#include "platform/audio/wave_in.h"
#include "platform/ui/window_concepts.h"
#include "tuner/tuner.h"
#include "tuner/tuner_input.h"

class QTimer;

constexpr int kTunerTickMs = 10;

// A colour of the 0x00BBGGRR form as the window's colour.
QColor TunerColour(uint32_t bbggrr);

// Where an edition puts the reading: each label's place and its text's size,
// and the places of the captions "Nota", "Cuerda" and "Traste".
struct TunerReadingLayout {
  struct Place {
    QRect geometry;
    int pointSize = 0;
    Qt::Alignment align = Qt::AlignLeft;
  };
  Place frec, frecBase;
  QRect noteCaption, stringCaption, fretCaption;
  Place note, solfege, string, sign, fret;
};

// What the tuner says of its input where it shows it, on the input trace
// `trace`: `text` across the trace, or nothing when `text` is empty.
void ShowTunerInputProblem(QWidget* trace, const QString& text);

// What looking for the input uses of a window: the input WaveIn, the
// handler OpenWaveInput (true when it opened), the input trace Oscilata3,
// the log and the language in force.
template <class Form>
concept TunerInputWindow = WordedWindow<Form> && LoggingWindow<Form> && requires(Form& f) {
  { f.WaveIn.get() } -> std::convertible_to<audio::WaveIn*>;
  { f.OpenWaveInput() } -> std::convertible_to<bool>;
  { f.Oscilata3 } -> std::convertible_to<QWidget*>;
};

// The input is looked for when the tuner opens, not at start-up: the
// window's OpenWaveInput opens the default input; a failure it says in the
// log and on the input trace Oscilata3, in the user's language with the
// sound system's own text, and the next opening of the tuner tries again.
template <TunerInputWindow Form>
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

class TunerPanel : public QObject {
 public:
  // What the panel asks of the window it serves: the stop of playback, the
  // window's own tick (Timer3Timer) and its take of a microphone block.
  struct WindowSide {
    std::function<void()> stopPlayback;
    std::function<void()> tick;
    std::function<void()> takeBlock;
  };

  TunerPanel(TunerState& tuner, DeviceLink& link, WindowSide side);

  // The reading's labels on `area`, where the layout puts them.
  void BuildReading(QWidget* area, const TunerReadingLayout& layout);
  // The finger marker Dedo on `area`: bold, white on black.
  QLabel* BuildMarker(QWidget* area, QRect geometry);
  // Timer3, the 10 ms tick (not started), and the device poll's hook that
  // takes a microphone block while the device is the tuner's.
  void BuildTick();

  // The start of the listening: playback stops, the reading empties, frames
  // in progress are dropped, the device's state is saved (a stop still
  // pending keeps the state it saved) and becomes the tuner's, the
  // microphone's two buffers are queued on the input `lookForInput` gives
  // (asked once playback has stopped; none when it finds no input), the
  // tick starts (a pending stop is cancelled) and runs once at once.
  void Start(const std::function<audio::WaveIn*()>& lookForInput);
  // The stop: the tick ends, the microphone stops taking blocks (and is
  // reset with `resetInput`: its queued buffers come back), the device's
  // frame in progress is dropped and the device gets its saved state back.
  void Stop(bool resetInput);
  // The end of every tick: the reading's hold runs down, and once it has run
  // out the needle's target is `park`; a stop asked for ends the listening
  // (see Stop), otherwise the device is the tuner's again.
  template <class Target>
  void EndTick(Target& needleTarget, Target park, bool resetInput) {
    if (tuner_.TunerHold > 0)
      --tuner_.TunerHold;
    else
      needleTarget = park;
    if (TunerStopRequest)
      Stop(resetInput);
    else
      link_.DeviceState = kDeviceTuner;
  }
  // A reading's texts in its colour: the frequency and deviation, the
  // note's exact frequency, the note in letters and in solfège, the string,
  // the sign and the fret; the finger marker shows the note at its place,
  // kept inside `markerArea` (the widget it stands on).
  void ShowReading(const TunerReading& r, const QWidget* markerArea);

  QLabel *STFrec = nullptr, *STFrecBase = nullptr, *STNota = nullptr, *STNotaEsp = nullptr, *STCuerda = nullptr,
         *STMasmenos = nullptr, *STTraste = nullptr;
  QLabel *Lnota = nullptr, *Lcuerda = nullptr, *Ltraste = nullptr;
  QLabel* Dedo = nullptr;  // the finger marker
  QTimer* Timer3 = nullptr;
  std::unique_ptr<TunerMicInput> TunerMic = std::make_unique<TunerMicInput>();
  bool TunerListening = false;    // Timer3 runs, DeviceState is the tuner's
  bool TunerStopRequest = false;  // the next tick stops the listening
  int SavedDeviceState = 0;       // DeviceState when the tuner started, back at its stop

 private:
  TunerState& tuner_;
  DeviceLink& link_;
  WindowSide side_;
};
