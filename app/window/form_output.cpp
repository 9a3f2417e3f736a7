// The wave output: opened on the default device at start-up; the mixer
// queues each beat into the free half of the double buffer.
#include <QLineEdit>
#include <QMetaObject>
#include <QSlider>
#include <QTimer>

#include "app/window/mainform.h"
#include "app/window/startup_steps.h"
#include "platform/files/text.h"

void TMainForm::OpenWaveOutput() {
  const bool open = OpenOutputWithItsVolume(*this);
  EdVol->setEnabled(open);
}

void TMainForm::CloseWaveOutput() { Deck->CloseOutput(); }

void TMainForm::SetOutputVolume(uint32_t volume) {
  if (WaveOut && WaveOut->IsOpen()) WaveOut->SetVolume(volume);
}

void TMainForm::MixBeat() {
  Deck->MixAndQueue();
  if (OnBeatMixed && !Engine->SilentMix) OnBeatMixed();
}

// A finished buffer: while playing, the beat step makes the next beat at
// once; once stopped, the elapsed time stops with the last buffer.
void TMainForm::OnBufferDone() {
  if (Playback->Running())
    Timer1Timer();
  else
    Timer4->stop();
}
