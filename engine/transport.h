// The transport: the one writer of the play state. The windows send it
// commands (play a theme or a formula loop, pause, resume, stop, select a
// formula or an entry, set the tempo and the mixer controls) and paint what
// it and the player's beat cues say; they write no engine state of their
// own. It drives the player (engine/player.h), which owns the device and the
// beat; the clock of the elapsed time is its own.
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/engine_state.h"
#include "engine/player.h"
#include "engine/sequencer.h"
#include "engine/wav_export.h"

struct BancoSonidos;
struct RhythmTables;

// The time played up to `now` (the tick count in ms): ElapsedBefore plus
// what has passed since ElapsedStart, the difference taken in 32 bits as the
// tick count wraps after 2^32 ms. Stored in ElapsedMs and returned.
int64_t UpdateElapsed(EngineState& E, uint32_t now);

// "%02d:%02d.%d" of a time in ms: minutes, seconds and tenths (the tenths
// truncated).
std::string ElapsedTimeText(int64_t ms);

// The tempo of a tempo slider's position: the sliders run 20..400 upside
// down, so the top is the fastest.
constexpr int SliderBpm(int position) { return 420 - position; }
constexpr int SliderPosition(int bpm) { return 420 - bpm; }

class Transport {
 public:
  Transport(EngineState& engine, RhythmTables& tables, const BancoSonidos& bank, Player& player);
  Transport(const Transport&) = delete;
  Transport& operator=(const Transport&) = delete;

  // --- what plays -------------------------------------------------------------
  const EngineState& State() const { return E; }
  const ThemePlan& Plan() const { return player_.Plan; }
  const Player& Output() const { return player_; }
  // A sequence runs, playing or paused: the beat step takes finished buffers.
  bool IsPlaying() const { return player_.Running(); }
  bool IsPaused() const { return E.PlayState == 2; }
  // A theme (not a formula loop) is in play.
  bool ThemePlays() const { return E.ThemePlayback; }
  bool BeatDue() const { return player_.BeatDue(); }
  bool OutputOpen() const { return player_.OutputOpen(); }

  // --- the device and the beat --------------------------------------------------
  audio::WaveResult OpenOutput(audio::WaveOut* out, std::function<void()> wake);
  void CloseOutput() { player_.Close(); }
  void PlayAudition(const int16_t* stereo, size_t values) { player_.PlayAudition(stereo, values); }
  // The guitar's audition: `render` writes it into the guitar's buffer
  // (given with its size) and returns the interleaved values it wrote.
  void AuditionGuitar(const std::function<size_t(int16_t*, size_t)>& render);
  bool MixAndQueue() { return player_.MixAndQueue(); }
  // One beat for one finished buffer; when it ends the last part of a theme
  // the transport stops (not by the user: the last beat plays out). The
  // listeners hear of the step after that.
  BeatCue Pump();
  void AddListener(Player::BeatListener listener) { player_.AddListener(std::move(listener)); }
  void SeedRandom(unsigned seed) { player_.Random.seed(seed); }
  void SetRules(const EditionRules& rules) { player_.Rules = rules; }

  // --- commands -----------------------------------------------------------------
  // Theme `theme` from entry `row` of its sequence (made again from the
  // tables), `bpm` where its rows show no tempo; the clock starts from 0.
  // `atStart` runs once the start entry is known (EntryRow), before the
  // counters are set: the gain is normalised there.
  void PlayTheme(int theme, int row, float bpm, const std::function<void()>& atStart);
  // Formula f as a loop at `bpm`; the clock starts from 0.
  void PlayFormula(int f, float bpm);
  // Playing: the device pauses and the time played so far is kept. Paused:
  // the device goes on and the clock runs again from now.
  void Pause();
  void Resume();
  // Stops the sequence. A stop by the user silences the device at once and
  // releases the halves; the sequencer's own stop lets the last beat play
  // out. A theme goes back to its first entry row.
  void Stop(bool byUser);
  // The time played (ElapsedMs) as of now.
  int64_t Elapsed();

  // --- what plays next ------------------------------------------------------------
  // The sequence of theme t made again from the tables.
  void RebuildPlan(int t);
  // The theme in play (CurrentTema).
  void SelectTheme(int t);
  // Moves the sequence to entry row `row` (see SelectPlanRow); false when it
  // has no such row.
  bool SelectEntry(int row, bool evenIfSelected = false);
  // Only the row, its acceleration and tempo (see SelectPlanRowTempo).
  void PointAtEntry(int row);
  // Formula f in play, with the beats and first beat its view counts.
  void SelectFormula(int f, int beats, int startBeat);
  void SelectFormula(int f);
  // The formula in play was edited: its beats and first beat.
  void SetFormulaBeats(int beats, int startBeat);
  // After a normalisation: the entry selected in the sequence grid in play
  // again (see TakeSelectedEntryFormula, TakeSelectedTheme).
  void TakeSelectedEntryFormula(int t, int e, int entryLimit);
  void TakeSelectedTheme(int t, int e, int temaCount, int entryLimit);
  // The selected theme's parts, order, intro and ending, and its gain.
  void SetThemeFields(int parts, bool inOrder, int introBeats, int endBeats);
  void SetThemeParts(int parts) { E.ThemeParts = parts; }
  void SetThemeIntro(int beats) { E.ThemeIntroBeats = beats; }
  void SetThemeEnding(int beats) { E.ThemeEndBeats = beats; }
  void SetThemeOrder(bool inOrder) { E.ThemeInOrder = inOrder; }
  void SetMasterGain(float gain) { E.MasterGain = gain; }
  // The sequence grid was filled: the compás counter stands on the row after
  // the last entry.
  void SetCompasCount(int compasCount);
  void SetCompas(int compas) { E.CurrentCompas = compas; }
  // The guitar's play-from-bar: the next theme start begins at compás `bar`.
  void SetPlayFromBar(bool on) { E.PlayFromBar = on; }
  void ClearPlayedEntries() { E.PlayedEntries.fill(0); }
  void ClearClip() { E.ClipCount = 0; }
  // Timer5's tick (10 ms) for the device's beat lamp: while playing, the
  // countdown the beat set runs down; true when it has just reached 0 (the
  // lamp goes off).
  bool CountLampDown();

  // --- tempo ------------------------------------------------------------------------
  // A tempo slider's whole tempo: CurrentBpm, MsPerBeat and SamplesPerBeat.
  void SetTempo(int bpm);
  // Only CurrentBpm.
  void SetBpm(float bpm) { E.CurrentBpm = bpm; }
  // The beat's length of a whole tempo, the tempo itself unchanged:
  // MsPerBeat and SamplesPerBeat; SetMsPerBeat only the first.
  void SetBeatLength(int bpm);
  void SetMsPerBeat(int bpm) { E.MsPerBeat = 60000 / bpm; }
  // SamplesPerBeat from MsPerBeat.
  void TakeMsPerBeat();

  // --- mixer controls -------------------------------------------------------------
  void SetClickPreset(char code, bool basicLevels = false);
  void SetClickSound(int index) { E.Controls.ClickSound = index; }
  void SetNivel(int level) { E.Controls.Nivel = level; }
  void SetMasterVolume(int volume) { E.Controls.MasterVolume = volume; }
  void SetPan(int track, int pan) { E.Controls.Pan[static_cast<size_t>(track)] = pan; }
  // A volume slider's position 1..16 as the track's gain.
  void SetTrackVolume(int track, int volume);
  void SetTrackControlsFromTema(const uint8_t* pan17, const uint8_t* volume17);
  // The solo or mute buttons as the user left them; the others follow.
  void SetSolos(const std::array<bool, kMixTracks + 1>& down);
  void SetMutes(const std::array<bool, kMixTracks + 1>& down);
  void SetMuteButton(int i, bool down) { E.Controls.MuteButtons[static_cast<size_t>(i)] = down; }
  void SetSoloButton(int i, bool down) { E.Controls.SoloButtons[static_cast<size_t>(i)] = down; }
  void SetGuitarPan(int pan) { E.Controls.GuitarPan = pan; }
  void SetGuitarGain(int num, int den);
  void SetGuitarOn(bool on) { E.Controls.GuitarOn = on; }
  void SetMono(bool on) { E.Controls.Mono = on; }

  // --- export -----------------------------------------------------------------------
  // The export's start: the beats go to the start of the first half.
  void RewindOutput();
  // Theme `Plan()` written to `path` from its first entry (the player's
  // hooks and rules), the plan back on its first row afterwards.
  WavExportResult ExportPlan(const std::string& path);

 private:
  EngineState& E;
  RhythmTables& rt_;
  const BancoSonidos& bank_;
  Player& player_;
};

// What a window that commands the transport holds of it, under the same
// names in both editions: the transport (Deck) and the engine's state it
// reads (Engine), never writes.
template <class Form>
concept PlayStateWindow = requires(Form& f) {
  { f.Deck } -> std::convertible_to<Transport*>;
  { f.Engine } -> std::convertible_to<const EngineState*>;
};
