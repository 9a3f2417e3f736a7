// The beat's way: device -> count -> sequencer -> mixer -> device.
#include "engine/player.h"

#include <algorithm>

Player::Player(EngineState& engine, RhythmTables& tables, const BancoSonidos& bank)
    : E(engine), rt_(tables), bank_(bank) {}

Player::~Player() { Close(); }

audio::WaveResult Player::Open(audio::WaveOut* out, std::function<void()> wake) {
  out_ = out;
  if (!out_) return audio::WaveResult::kNotOpen;
  return out_->Open(audio::WaveFormat{static_cast<uint32_t>(E.Format.SampleRate), 2, 16},
                    [this, wake = std::move(wake)](audio::WaveHeader&) {
                      if (counting_) AddFinished(1);
                      if (wake) wake();
                    });
}

void Player::Close() {
  counting_ = false;
  if (OutputOpen()) {
    out_->Reset();
    for (auto& h : halves_)
      if (h.Prepared()) out_->Unprepare(h);
    if (auditionHeader_.Prepared()) out_->Unprepare(auditionHeader_);
    out_->Close();
  }
  out_ = nullptr;  // the device is the caller's: nothing reaches it after this
}

void Player::AddFinished(int n) {
  std::lock_guard<std::mutex> lock(finishedLock_);
  finished_ = n == 0 ? 0 : finished_ + n;
}

int Player::FinishedBuffers() const {
  std::lock_guard<std::mutex> lock(finishedLock_);
  return finished_;
}

bool Player::BeatDue() const { return FinishedBuffers() != 0; }

void Player::ResetDevice() {
  if (OutputOpen()) out_->Reset();
}

void Player::Queue(int half, const int16_t* data, size_t bytes) {
  if (!OutputOpen()) return;
  audio::WaveHeader& h = halves_[static_cast<size_t>(half & 1)];
  if (h.Queued()) return;  // the half still plays: never write over it
  if (h.Prepared()) out_->Unprepare(h);
  h.data = const_cast<int16_t*>(data);
  h.bytes = static_cast<uint32_t>(bytes);
  h.user = static_cast<uintptr_t>(half & 1);
  if (out_->Prepare(h) == audio::WaveResult::kOk) out_->Write(h);
}

bool Player::MixAndQueue() {
  // A half still queued is still being played: nothing is mixed into it.
  if (halves_[static_cast<size_t>(E.OutputHalf & 1)].Queued()) return false;
  MixerHooks hooks = Hooks;
  hooks.QueueBeat = [this](int half, const int16_t* data, size_t bytes) {
    // The half is the engine's own buffer, written just now by the mixer.
    if (auditionPending_) MixAuditionInto(const_cast<int16_t*>(data), bytes / sizeof(int16_t));
    Queue(half, data, bytes);
  };
  MixNextBeat(E, rt_, bank_, hooks);
  return true;
}

void Player::MixAuditionInto(int16_t* data, size_t values) {
  const size_t n = std::min(values, audition_.size() - std::min(auditionPos_, audition_.size()));
  for (size_t i = 0; i < n; ++i) {
    const int sum = data[i] + audition_[auditionPos_ + i];
    data[i] = static_cast<int16_t>(std::clamp(sum, -32768, 32767));
  }
  auditionPos_ += n;
  if (auditionPos_ >= audition_.size()) auditionPending_ = false;
}

void Player::PlayAudition(const int16_t* stereo, size_t values) {
  values &= ~size_t{1};  // whole frames
  if (counting_) {
    // The beats already queued play on; the sound joins the next ones.
    audition_.assign(stereo, stereo + values);
    auditionPos_ = 0;
    auditionPending_ = values > 0;
    return;
  }
  if (!OutputOpen() || values == 0) return;
  out_->Reset();  // whatever was queued stops
  if (auditionHeader_.Prepared()) out_->Unprepare(auditionHeader_);
  auditionPending_ = false;
  audition_.assign(stereo, stereo + values);
  auditionHeader_.data = audition_.data();
  auditionHeader_.bytes = static_cast<uint32_t>(values * sizeof(int16_t));
  auditionHeader_.user = 2;
  if (out_->Prepare(auditionHeader_) == audio::WaveResult::kOk) out_->Write(auditionHeader_);
}

void Player::StartTheme(int row, float fallbackBpm, const std::function<void()>& normalise) {
  // The basic edition leaves the output as it is, unless the last beat of a
  // theme that ended is still queued: the beats about to be mixed, and the
  // silent mix of the normalisation, go into the halves.
  if (!Rules.basicPlay || halves_[0].Queued() || halves_[1].Queued()) ResetDevice();
  AddFinished(0);
  E.EntryRow = row;
  E.ThemeInOrder = Plan.inOrder;
  E.ThemeIntroBeats = Plan.introBeats;
  E.ThemeEndBeats = Plan.endBeats;
  E.ThemeParts = Plan.parts;
  E.CompasCount = Plan.compasCount;
  StartThemeEntry(Plan, E, rt_, Random);
  if (normalise) normalise();
  StartThemeCounters(Plan, E, rt_, Rules);

  int bpm = Plan.TempoOf(1);
  if (E.ThemeInOrder)
    for (int r = 1; r <= E.EntryRow; ++r)
      if (Plan.TempoOf(r) != 0) bpm = Plan.TempoOf(r);
  SetTempo(E, bpm > 0 ? static_cast<float>(bpm) : fallbackBpm);
  FormatBpmText(E);
  std::fill_n(E.GuitarBuffer.begin(), std::min<size_t>(E.GuitarBuffer.size(), static_cast<size_t>(E.SamplesPerBeat)),
              int16_t{0});
  if (OnStart) OnStart(true);
  auditionPending_ = false;
  E.OutputHalf = 0;
  E.OutputOffset = 0;
  E.CurrentBeat = 0;
  AddFinished(1);  // the first step fills the second half at once
  E.PlayState = 1;
  counting_ = true;
  MixAndQueue();
}

void Player::StartFormula(int f, float bpm) {
  std::fill_n(E.GuitarBuffer.begin(), std::min<size_t>(E.GuitarBuffer.size(), static_cast<size_t>(E.SamplesPerBeat)),
              int16_t{0});
  E.CurrentBpm = bpm;
  ResetDevice();
  AddFinished(0);
  E.OutputHalf = 0;
  E.OutputOffset = 0;
  E.ThemePlayback = false;
  E.IntroCounter = 0;
  E.EndingCounter = 0;
  if (Rules.basicPlay) E.CurrentCompas = 1;
  rt_.CurrentFormula = f;
  E.FormulaBeats = rt_.Formulas[static_cast<size_t>(f)].Beats();
  E.FormulaStartBeat = rt_.Formulas[static_cast<size_t>(f)].StartBeat();
  E.Voices.TrackAttenuation.fill(0);

  // Silent pre-roll: one compás settles the master gain on this formula.
  E.SilentMix = true;
  for (E.CurrentBeat = 0; E.CurrentBeat < E.FormulaBeats; ++E.CurrentBeat) MixNextBeat(E, rt_, bank_, Hooks);
  E.CurrentBeat = 0;
  E.SilentMix = false;
  if (OnStart) OnStart(false);
  auditionPending_ = false;

  AddFinished(1);
  E.PlayState = 1;
  counting_ = true;
  MixAndQueue();
}

void Player::Pause() {
  if (OutputOpen()) out_->Pause();
  E.PlayState = 2;
}

void Player::Resume() {
  E.PlayState = 1;
  if (OutputOpen()) out_->Restart();
}

void Player::Stop() {
  counting_ = false;
  if (E.PlayState == 2) {
    E.StopFromSequencer = false;
    ResetDevice();
  }
  if (E.StopFromSequencer) {
    E.StopFromSequencer = false;  // the last queued beat may still be playing
  } else if (OutputOpen()) {
    out_->Reset();
    for (auto& h : halves_)
      if (h.Prepared()) out_->Unprepare(h);
  }
  AddFinished(0);  // no beat may follow a stop
  E.EndingCounter = 0;
  E.IntroCounter = 0;
  E.CurrentBeat = 0;
}

BeatCue Player::Pump() {
  {
    // Only this thread takes counts away, so it is still at least 1 here.
    std::lock_guard<std::mutex> lock(finishedLock_);
    finished_ -= 1;
  }
  const BeatCue cue = StepBeat(Plan, E, rt_, Rules, Random);
  if (!cue.stopped) MixAndQueue();
  for (const BeatListener& l : listeners_) l(cue);
  return cue;
}
