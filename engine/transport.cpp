#include "engine/transport.h"

#include <cstdio>

#include "engine/mixer.h"
#include "engine/normalize.h"
#include "platform/audio/tick.h"

int64_t UpdateElapsed(EngineState& E, uint32_t now) {
  const uint32_t since = now - static_cast<uint32_t>(E.ElapsedStart);
  E.ElapsedMs = E.ElapsedBefore + since;
  return E.ElapsedMs;
}

std::string ElapsedTimeText(int64_t ms) {
  const int64_t d = ms / 100;  // tenths of a second
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d.%d", static_cast<int>(d / 600), static_cast<int>((d % 600) / 10),
                static_cast<int>((d % 600) % 10));
  return buf;
}

// --- the transport -----------------------------------------------------------------

Transport::Transport(EngineState& engine, RhythmTables& tables, const BancoSonidos& bank, Player& player)
    : E(engine), rt_(tables), bank_(bank), player_(player) {
  // The first listener: the end of the last part stops the transport before
  // any other listener hears of the step, so that they paint it stopped.
  player_.AddListener([this](const BeatCue& cue) {
    if (cue.stopped) Stop(false);
  });
}

audio::WaveResult Transport::OpenOutput(audio::WaveOut* out, std::function<void()> wake) {
  return player_.Open(out, std::move(wake));
}

void Transport::AuditionGuitar(const std::function<size_t(int16_t*, size_t)>& render) {
  const size_t values = render(E.GuitarBuffer.data(), E.GuitarBuffer.size());
  player_.PlayAudition(E.GuitarBuffer.data(), values);
}

BeatCue Transport::Pump() { return player_.Pump(); }

void Transport::PlayTheme(int theme, int row, float bpm, const std::function<void()>& atStart) {
  E.ElapsedBefore = 0;
  E.ElapsedStart = TickCount();
  rt_.CurrentTema = theme;
  RebuildPlan(theme);
  player_.StartTheme(row, bpm, atStart);
}

void Transport::PlayFormula(int f, float bpm) {
  E.ElapsedBefore = 0;
  E.ElapsedStart = TickCount();
  player_.StartFormula(f, bpm);
}

void Transport::Pause() {
  if (E.PlayState != 1) return;
  UpdateElapsed(E, TickCount());
  player_.Pause();
  E.ElapsedBefore = E.ElapsedMs;
}

void Transport::Resume() {
  if (E.PlayState != 2) return;
  E.ElapsedStart = TickCount();
  player_.Resume();
}

void Transport::Stop(bool byUser) {
  if (byUser) E.StopFromSequencer = false;
  player_.Stop();
  if (E.ThemePlayback && player_.Rules.stopRewindsPlan) SelectPlanRow(player_.Plan, E, rt_, 1, false, false);
  E.ThemePlayback = false;
  E.PlayState = 0;
}

bool Transport::CountLampDown() { return ::CountLampDown(E); }

int64_t Transport::Elapsed() { return UpdateElapsed(E, TickCount()); }

void Transport::RebuildPlan(int t) { player_.Plan = MakeThemePlan(rt_, t, rt_.FormulaCount); }

void Transport::SelectTheme(int t) { rt_.CurrentTema = t; }

bool Transport::SelectEntry(int row, bool evenIfSelected) {
  return SelectPlanRow(player_.Plan, E, rt_, row, evenIfSelected, IsPlaying());
}

void Transport::PointAtEntry(int row) { SelectPlanRowTempo(player_.Plan, E, row, IsPlaying()); }

void Transport::SelectFormula(int f, int beats, int startBeat) {
  rt_.CurrentFormula = f;
  E.FormulaBeats = beats;
  E.FormulaStartBeat = startBeat;
}

void Transport::SelectFormula(int f) { rt_.CurrentFormula = f; }

void Transport::SetFormulaBeats(int beats, int startBeat) {
  E.FormulaBeats = beats;
  E.FormulaStartBeat = startBeat;
}

void Transport::TakeSelectedEntryFormula(int t, int e, int entryLimit) {
  ::TakeSelectedEntryFormula(rt_, t, e, entryLimit);
}

void Transport::TakeSelectedTheme(int t, int e, int temaCount, int entryLimit) {
  ::TakeSelectedTheme(E, rt_, t, e, temaCount, entryLimit);
}

void Transport::SetThemeFields(int parts, bool inOrder, int introBeats, int endBeats) {
  E.ThemeParts = parts;
  E.ThemeInOrder = inOrder;
  E.ThemeIntroBeats = introBeats;
  E.ThemeEndBeats = endBeats;
}

void Transport::SetCompasCount(int compasCount) {
  E.CurrentCompas = compasCount;
  E.CompasCount = compasCount;
}

void Transport::SetTempo(int bpm) { SetSliderTempo(E, bpm); }

void Transport::SetBeatLength(int bpm) {
  E.MsPerBeat = 60000 / bpm;
  TakeMsPerBeat();
}

void Transport::TakeMsPerBeat() { E.SamplesPerBeat = SamplesForMs(E.Format, E.MsPerBeat); }

void Transport::SetClickPreset(char code, bool basicLevels) {
  ::SetClickPreset(E.Controls, code, basicLevels);
  if (code == '0') E.ClickSpacing = 0;
}

void Transport::SetTrackVolume(int track, int volume) {
  const size_t t = static_cast<size_t>(track);
  TrackGainFor(volume, &E.Controls.TrackGainNum[t], &E.Controls.TrackGainDen[t]);
}

void Transport::SetTrackControlsFromTema(const uint8_t* pan17, const uint8_t* volume17) {
  ::SetTrackControlsFromTema(E.Controls, pan17, volume17);
}

void Transport::SetSolos(const std::array<bool, kMixTracks + 1>& down) {
  E.Controls.SoloButtons = down;
  SoloButtonsChanged(E.Controls);
}

void Transport::SetMutes(const std::array<bool, kMixTracks + 1>& down) {
  E.Controls.MuteButtons = down;
  MuteButtonsChanged(E.Controls);
}

void Transport::SetGuitarGain(int num, int den) {
  E.Controls.GuitarGainNum = num;
  E.Controls.GuitarGainDen = den;
}

void Transport::RewindOutput() {
  E.OutputHalf = 0;
  E.OutputOffset = 0;
}

WavExportResult Transport::ExportPlan(const std::string& path) {
  return ExportThemeToFile(path, E, rt_, bank_, player_.Plan, player_.Hooks, player_.Rules);
}
