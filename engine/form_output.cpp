// The wave output: opened on the default device at start-up; the mixer
// queues each beat into the free half of the double buffer.
#include <QMetaObject>
#include <QSlider>
#include <QTimer>

#include "app/mainform.h"
#include "platform/text.h"

void TMainForm::OpenWaveOutput() {
  Hooks.QueueBeat = [this](int half, const int16_t* data, size_t bytes) { QueueBeat(half, data, bytes); };
  // The done callback runs on the audio thread: it only counts the buffer
  // under the lock and wakes the GUI thread.
  const audio::WaveResult r = WaveOut->Open(audio::WaveFormat{44100, 2, 16}, [this](audio::WaveHeader&) {
    if (Engine->CountingBuffers) {
      std::lock_guard<std::mutex> lock(Engine->FinishedBuffersLock);
      ++Engine->FinishedBuffers;
    }
    QMetaObject::invokeMethod(this, [this] { OnBufferDone(); }, Qt::QueuedConnection);
  });
  if (r != audio::WaveResult::kOk) {
    if (!waveOutReported_) dialogs->ShowMessage(QString::fromLocal8Bit(WaveOut->ErrorText().c_str()));
    waveOutReported_ = true;
    return;
  }
  tbvolumen->setValue(static_cast<int>(audio::WaveVolumeRight(WaveOut->GetVolume())));
}

void TMainForm::CloseWaveOutput() {
  if (!WaveOut || !WaveOut->IsOpen()) return;
  WaveOut->Reset();
  for (auto& h : OutHeaders)
    if (h.Prepared()) WaveOut->Unprepare(h);
  WaveOut->Close();
}

void TMainForm::SetOutputVolume(uint32_t volume) {
  if (WaveOut && WaveOut->IsOpen()) WaveOut->SetVolume(volume);
}

void TMainForm::QueueBeat(int half, const int16_t* data, size_t bytes) {
  if (!WaveOut || !WaveOut->IsOpen()) return;
  audio::WaveHeader& h = OutHeaders[static_cast<size_t>(half & 1)];
  if (h.Queued()) return;  // the half still plays: never write over it
  if (h.Prepared()) WaveOut->Unprepare(h);
  h.data = const_cast<int16_t*>(data);
  h.bytes = static_cast<uint32_t>(bytes);
  h.user = static_cast<uintptr_t>(half & 1);
  if (WaveOut->Prepare(h) == audio::WaveResult::kOk) WaveOut->Write(h);
}

void TMainForm::MixBeat() {
  MixNextBeat(*Engine, *Rhythm, *Bank, Hooks);
  Timer1->setInterval(1);
  if (OnBeatMixed && !Engine->SilentMix) OnBeatMixed();
}

// A finished buffer: while playing, the beat step makes the next beat at
// once; once stopped, the elapsed time stops with the last buffer.
void TMainForm::OnBufferDone() {
  if (Engine->CountingBuffers)
    Timer1Timer();
  else
    Timer4->stop();
}
