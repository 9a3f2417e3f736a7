// The program's state without a window: the rhythm tables, the sound bank,
// the mix state and the player that owns the beat. Built for an edition
// (output rate, track count, sound capacity); the window reads it, calls it
// and shows it.
#pragma once

#include <memory>

#include "engine/engine_state.h"
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
};
