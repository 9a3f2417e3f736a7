// One division of the beat on display, copied into the chord of the chord
// grid, overwritten by that chord, emptied or with its delays mirrored, and
// the ring of the last ten divisions overwritten, walked backwards by undo.
// Each operation acts on CurrentTiempoG and writes it back to its slot; it
// returns false, changing nothing, when the division is not one of the
// beat's (or the cursor lies outside the bar table).
#pragma once

#include <array>

#include "guitar/chords.h"
#include "guitar/guitar_records.h"
#include "guitar/track.h"

constexpr int kUndoSlots = 10;

struct UndoRingG {
  std::array<DivisionG, kUndoSlots> UndoRing{};
  int UndoWrite = 0;   // the slot the next save writes
  int UndoLast = -1;   // the slot the next undo restores, -1 = nothing saved yet
};

// Whether division d is one of the beat's divisions in use.
bool DivisionInBeat(const TiempoG& beat, int d);

// Copiar1Click: ChordBuffer := the division (all 60 bytes), and every grid
// row shows its string's fret, strength, mode and delay and is taken into the
// chord. Neither the ring nor the track changes.
bool CopyDivisionToChord(const TiempoG& beat, int d, ChordState& chords, const GuitarTuning& tuning, int capo);
// Pegar1Click: the division is saved in the ring and becomes the chord.
bool PasteChordToDivision(GuitarState& g, UndoRingG& undo, int d, const DivisionG& chord);
// Vaciar1Click: saved, then fret, strength, mode and delay of its six strings
// become 0.
bool EmptyDivision(GuitarState& g, UndoRingG& undo, int d);
// Invertirretardo1Click: saved, then the delays between the first string with
// the smallest and the first with the largest delay (sounding strings only)
// are mirrored, every string between taking part.
bool InvertDivisionDelays(GuitarState& g, UndoRingG& undo, int d);
// Deshacer1Click: the division := the slot UndoLast, and UndoLast steps one
// slot back round the ring. Nothing before the first save.
bool UndoDivision(GuitarState& g, UndoRingG& undo, int d);
