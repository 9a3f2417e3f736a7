#include "app/workspace.h"

Workspace::Workspace(EditionFormat edition)
    : Edition(edition),
      Rhythm(RhythmTables::Create()),
      Engine(std::make_unique<EngineState>(edition.engine)),
      Bank(std::make_unique<BancoSonidos>(edition.soundCapacity)),
      Playback(std::make_unique<Player>(*Engine, *Rhythm, *Bank)) {}
