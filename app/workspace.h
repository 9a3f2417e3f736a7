// The program's state without a window: the open data set, the rhythm
// tables, the sound bank, the mix state, the player that owns the beat and
// the guitar track. Built for an edition
// (output rate, track count, sound capacity); the window reads it, calls it
// and shows it.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <thread>

#include "engine/engine_state.h"
#include "engine/entry_gains.h"
#include "engine/normalize.h"
#include "engine/player.h"
#include "engine/sound_bank.h"
#include "engine/transport.h"
#include "guitar/render.h"
#include "guitar/track.h"
#include "rhythm/dataset.h"
#include "rhythm/records.h"
#include "tuner/tuner.h"

struct DeviceLink;

struct EditionFormat {
  EngineFormat engine = kProFormat;
  int soundCapacity = kProSoundCapacity;
  bool basic = false;  // the basic edition: its device link rules
};

class Workspace {
 public:
  explicit Workspace(EditionFormat edition = EditionFormat{});
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  const EditionFormat Edition;
  const std::unique_ptr<RhythmTables> Rhythm;
  const std::unique_ptr<EngineState> Engine;
  const std::unique_ptr<BancoSonidos> Bank;
  const std::unique_ptr<Player> Playback;
  // The one writer of the play state: the windows' commands go through it.
  const std::unique_ptr<Transport> Deck;
  // The guitar track of the theme open in the guitar panel.
  const std::unique_ptr<GuitarState> Guitar;
  // The guitar's bank, tuning and voices.
  const std::unique_ptr<GuitarSound> GuitarAudio;
  // The open set: its name, list file and flags.
  DataSetState DataSet;
  // The hardware metronome link: its transports and reply state.
  const std::unique_ptr<DeviceLink> Device;

  // The tuner's buffers, counters and last reading (kept for the whole run).
  const std::unique_ptr<TunerState> Tuner = std::make_unique<TunerState>();

  // Empties the sound bank (a new list is about to be loaded).
  void ClearBank() { *Bank = BancoSonidos(Edition.soundCapacity); }

  // Normalises theme t as a theme start does, from what the engine holds
  // now; MasterGain ends at the gain reached. The professional mix
  // remembers each entry's result under everything it depends on
  // (EntryMixKey: each entry starts from silent tracks), so only entries not
  // seen before are mixed, on every core. When those are more than
  // kStartWork track-frames, the start waits for them in the order they play
  // for kStartWait at most and then takes the gain found so far: the lowest
  // of the entries found, or the theme's stored gain when none is; the
  // others are mixed on in the background for the next start, and the mixer
  // lowers the gain at the first frame that clips, as it always does. The
  // basic mix remembers whole themes (its divisor depends on the gain).
  void NormaliseTheme(int t);
  // Frames times sounding sources below which a theme start waits for every
  // entry (a few ms on every core of an 8-core machine), and the longest a
  // start waits for more.
  static constexpr int64_t kStartWork = 100'000'000;
  static constexpr std::chrono::milliseconds kStartWait{10};
  // Themes 0 .. count - 1 on every core (see NormalizeThemes); each result
  // is remembered as NormaliseTheme's would be.
  void NormaliseThemes(int count, const std::function<void(int)>& done, const std::function<void()>& idle);
  // Normalises themes 0 .. count - 1 (theme `first` before the others) in
  // the background on every core, each
  // with the track controls its selection loads, from copies of the tables,
  // the sounds and the engine state: a theme started later finds its gain
  // remembered. Changes nothing the window sees; a new call or the end of
  // the workspace stops the one running.
  void WarmGains(int count, int first = 0);
  void StopWarming();
  void WaitForWarming();
  // While held, WarmGains stops what runs and keeps only its last request;
  // the release starts that one. The program's start holds it until its
  // window has been painted: the mixing threads would slow the first paint.
  void HoldWarming(bool hold);
  // A result of theme t for the state as it is now is remembered.
  bool Remembers(int t) const;
  // Entries of the professional mix mixed since the workspace was made.
  long EntriesMixed() const { return entries_->Mixed(); }

 private:
  struct Remembered {
    uint64_t key;
    GainResult result;
  };
  bool Recall(int t, uint64_t key, GainResult* result) const;
  void Remember(int t, uint64_t key, const GainResult& result);

  // The professional mix's memory of entries.
  struct EntryPlan {
    std::vector<uint64_t> keys;
    std::vector<EntryGains::Job> jobs;  // the entries not covered yet
    std::vector<int64_t> work;          // frames x sources of each entry
    std::vector<GainResult> results;    // what was known of each when planned
    std::vector<EntryGains::State> states;
  };
  struct BankCopy {
    std::shared_ptr<const BancoSonidos> bank;
    std::vector<uint64_t> soundHashes;  // by sound number
  };
  const BankCopy& CurrentBank();
  static EntryPlan PlanEntries(const RhythmTables& rt, const EngineState& E, const BankCopy& bank,
                               const EntryGains& known, int t, bool urgent, int firstEntry = 0);
  // The theme's result from the entries found by `deadline` (counted in
  // `found`).
  GainResult ThemeFromEntries(const EntryPlan& plan, std::chrono::steady_clock::time_point deadline,
                              const std::function<void()>& idle, int* found = nullptr);
  void NormaliseThemesByEntry(int count, const std::function<void(int)>& done, const std::function<void()>& idle);
  void WarmEntries(int count, int first);
  bool ByEntry() const { return !Edition.engine.BasicMix; }

  const std::unique_ptr<EntryGains> entries_;
  BankCopy bankCopy_;
  uint64_t bankCopyKey_ = 0;

  mutable std::mutex gainsMutex_;  // the background normalisation writes too
  std::map<int, Remembered> gains_;
  std::atomic<bool> stopWarming_{false};
  bool holdWarming_ = false;
  std::optional<std::pair<int, int>> heldWarming_;  // count, first
  std::thread warming_;
};

// What a main window keeps of its workspace: the workspace, and short names
// for its parts that the window's handlers use. The engine state and the
// player are read only there: the play state is written through the
// transport (Deck).
struct WorkspaceParts {
  explicit WorkspaceParts(EditionFormat edition)
      : Work(std::make_unique<Workspace>(edition)),
        Rhythm(Work->Rhythm.get()),
        Engine(Work->Engine.get()),
        Bank(Work->Bank.get()),
        Playback(Work->Playback.get()),
        Deck(Work->Deck.get()),
        DataSet(Work->DataSet),
        Device(Work->Device.get()),
        Guitar(Work->Guitar.get()),
        GuitarAudio(Work->GuitarAudio.get()) {}

  const std::unique_ptr<Workspace> Work;
  RhythmTables* const Rhythm;
  const EngineState* const Engine;
  BancoSonidos* const Bank;
  const Player* const Playback;
  Transport* const Deck;
  DataSetState& DataSet;
  DeviceLink* const Device;
  GuitarState* const Guitar;
  GuitarSound* const GuitarAudio;
};

// Everything a theme's normalisation depends on, but the gain it writes;
// `sounds` is SoundsKey of the bank.
uint64_t NormalisationKey(const RhythmTables& rt, const EngineState& E, uint64_t sounds, int t);
uint64_t SoundsKey(const BancoSonidos& bank);
