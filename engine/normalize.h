// Gain normalisation: the master gain at which a theme's mix just fits 16 bits.
#pragma once

#include "engine/engine_state.h"
#include "engine/mixer.h"
#include "engine/sound_bank.h"
#include "rhythm/records.h"

// Mixes theme t silently, one compás per entry at the tempo the entry starts
// with in playback (its own, or the one carried on by the accelerations
// before it) and with its acceleration, starting from a gain of 10. Every clipping step lowers the
// gain and the theme keeps the lowest gain reached; a theme that never clips
// keeps its stored gain. What the engine plays next is left as it was:
// tempo, formula, beat, track voices and click are restored; ThemePlayback
// and SilentMix end cleared and MasterGain holds the gain reached.
void NormalizeTheme(EngineState& eng, RhythmTables& rt, const BancoSonidos& bank, int t);
