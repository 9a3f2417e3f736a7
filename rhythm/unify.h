// Track unification: every formula of a theme on one shared track layout.
#pragma once

#include "rhythm/records.h"

// Rewrites the formulas of theme t so that each sound sits on the same track
// in all of them, with the theme's pan and volume following the tracks.
// Nothing changes for a theme of fewer than 2 entries or one that would need
// more than 16 tracks; returns whether it changed anything.
bool UnifyThemeTracks(RhythmTables& rt, int t);
