// The program's state without a window: the rhythm tables, the sound bank,
// the mix state and the player that owns the beat. Built for an edition
// (output rate, track count, sound capacity); the window reads it, calls it
// and shows it.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "engine/engine_state.h"
#include "engine/normalize.h"
#include "engine/player.h"
#include "engine/sound_bank.h"
#include "rhythm/records.h"

struct EditionFormat {
  EngineFormat engine = kProFormat;
  int soundCapacity = kProSoundCapacity;
};

class Workspace {
 public:
  explicit Workspace(EditionFormat edition = EditionFormat{});

  const EditionFormat Edition;
  const std::unique_ptr<RhythmTables> Rhythm;
  const std::unique_ptr<EngineState> Engine;
  const std::unique_ptr<BancoSonidos> Bank;
  const std::unique_ptr<Player> Playback;

  // Empties the sound bank (a new list is about to be loaded).
  void ClearBank() { *Bank = BancoSonidos(Edition.soundCapacity); }

  // Normalises theme t as a theme start does, from what the engine holds
  // now; MasterGain ends at the gain reached. A theme whose record,
  // formulas, sounds and mixer controls are all as at its
  // last normalisation takes that result again without mixing (the run
  // starts from silent tracks, so nothing else matters).
  void NormaliseTheme(int t);
  // Themes 0 .. count - 1 on every core (see NormalizeThemes); each result
  // is remembered as NormaliseTheme's would be.
  void NormaliseThemes(int count, const std::function<void(int)>& done, const std::function<void()>& idle);

 private:
  // Everything a theme's normalisation depends on, but the gain it writes.
  uint64_t NormalisationKey(int t) const;
  struct Remembered {
    uint64_t key;
    GainResult result;
  };
  std::map<int, Remembered> gains_;
};
