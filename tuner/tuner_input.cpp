#include "tuner/tuner_input.h"

TunerMicInput::TunerMicInput() {
  for (size_t i = 0; i < TunerHeaders.size(); ++i) TunerHeaders[i].user = i;
}

void TunerMicInput::OnBufferDone(const audio::WaveHeader& h) {
  if (h.user >= TunerHeaders.size() || &h != &TunerHeaders[h.user]) return;
  if (h.bytesRecorded < h.bytes) return;  // handed back by a reset or a stop
  WaveInReady[h.user].store(true, std::memory_order_release);
}

void TunerMicInput::Start(audio::WaveIn* in, const FftSetup& fft) {
  in_ = in;
  if (in_) in_->Reset();  // the callbacks of the halves it hands back run before it returns
  for (auto& r : WaveInReady) r.store(false, std::memory_order_relaxed);
  halfBytes_ = 2 * fft.FftSize;
  TunerHeaderIndex_ = 0;
  for (size_t i = 0; i < TunerHeaders.size(); ++i) {
    audio::WaveHeader& h = TunerHeaders[i];
    h.data = TunerInput.data() + i * static_cast<size_t>(halfBytes_);
    h.bytes = static_cast<uint32_t>(halfBytes_);
  }
  if (!in_) return;
  for (audio::WaveHeader& h : TunerHeaders) {
    in_->Prepare(h);
    in_->AddBuffer(h);
  }
  in_->Start();
}

void TunerMicInput::Stop(bool resetInput) {
  if (in_ && resetInput) in_->Reset();
  in_ = nullptr;
}

bool TunerMicInput::BlockReady() const {
  return WaveInReady[0].load(std::memory_order_acquire) || WaveInReady[1].load(std::memory_order_acquire);
}

FrameOutcome TunerMicInput::Poll(TunerState& s, const NoteTable& notes) {
  if (!in_ || s.TunerFrameHold != 0) return FrameOutcome::kIncomplete;
  // The halves fill in the order they were queued: the expected one first.
  int half = -1;
  for (int i : {TunerHeaderIndex_, 1 - TunerHeaderIndex_})
    if (WaveInReady[static_cast<size_t>(i)].load(std::memory_order_acquire)) {
      half = i;
      break;
    }
  if (half < 0) return FrameOutcome::kIncomplete;
  WaveInReady[static_cast<size_t>(half)].store(false, std::memory_order_relaxed);

  FrameOutcome outcome = FrameOutcome::kIncomplete;
  s.MicFrame.DiscardPartialFrame();
  const size_t frameBytes = std::min<size_t>(static_cast<size_t>(halfBytes_), 2 * static_cast<size_t>(s.fft.FftSize));
  FeedFrameBytes(s, s.MicFrame, notes, Half(half), frameBytes, &outcome);
  s.MicFrame.DiscardPartialFrame();  // a state set for a longer frame than the halves hold

  TunerHeaderIndex_ = 1 - half;
  in_->AddBuffer(TunerHeaders[static_cast<size_t>(half)]);
  return outcome;
}
