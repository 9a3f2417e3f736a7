// The wave output: opened on the default device at start-up; the mixer
// queues each beat into the free half of the double buffer.
#include <QMetaObject>
#include <QSlider>
#include <QTimer>

#include "app/window/mainform.h"
#include "platform/files/text.h"

void TMainForm::OpenWaveOutput() {
  // The done callback runs on the device's thread: the player counts the
  // buffer there, and the GUI thread is woken for the beat step.
  const audio::WaveResult r =
      Playback->Open(WaveOut.get(), [this] { QMetaObject::invokeMethod(this, [this] { OnBufferDone(); }, Qt::QueuedConnection); });
  if (r != audio::WaveResult::kOk) {
    if (!waveOutReported_) dialogs->ShowMessage(QString::fromLocal8Bit(WaveOut->ErrorText().c_str()));
    waveOutReported_ = true;
    return;
  }
  tbvolumen->setValue(static_cast<int>(audio::WaveVolumeRight(WaveOut->GetVolume())));
}

void TMainForm::CloseWaveOutput() { Playback->Close(); }

void TMainForm::SetOutputVolume(uint32_t volume) {
  if (WaveOut && WaveOut->IsOpen()) WaveOut->SetVolume(volume);
}

void TMainForm::MixBeat() {
  Playback->MixAndQueue();
  Timer1->setInterval(1);
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
