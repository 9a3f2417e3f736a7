#include "guitar/division_clipboard.h"

#include <algorithm>
#include <string>

namespace {

bool CanAct(const GuitarState& g, int d) { return DivisionInBeat(g.CurrentTiempoG, d) && CursorOffset(g).has_value(); }

void Save(UndoRingG& undo, const DivisionG& div) {
  undo.UndoRing[static_cast<size_t>(undo.UndoWrite)] = div;
  undo.UndoLast = undo.UndoWrite;
  undo.UndoWrite = (undo.UndoWrite + 1) % kUndoSlots;
}

// The division changed in CurrentTiempoG goes to the track, which now holds
// changes the file does not.
void Tail(GuitarState& g) {
  StoreCurrentBeat(g);
  g.Modified = true;
}

}  // namespace

bool DivisionInBeat(const TiempoG& beat, int d) {
  return d >= 0 && d < std::clamp<int>(beat.divisions, 1, kMaxDivisions);
}

bool CopyDivisionToChord(const TiempoG& beat, int d, ChordState& chords, const GuitarTuning& tuning, int capo) {
  if (!DivisionInBeat(beat, d)) return false;
  const DivisionG& div = beat.division[d];
  chords.ChordBuffer = div;
  // A row the grid refuses keeps the division's values: its delay too is
  // bounded to a division.
  for (uint8_t& delay : chords.ChordBuffer.delay) delay = std::min<uint8_t>(delay, kMaxDelay);
  for (int i = 0; i < kGuitarStrings; ++i) {
    const int row = RowOfString(chords.tab, kGuitarStrings - i);
    ChordRow& r = GridRow(chords, row);
    r[kColFret] = std::to_string(div.fret[i]);
    r[kColStrength] = std::to_string(div.strength[i]);
    r[kColMode] = ModeCaption(div.mode[i], chords.english);
    r[kColDelay] = std::to_string(div.delay[i]);
    TakeChordRow(chords, row, tuning, capo);
  }
  return true;
}

bool PasteChordToDivision(GuitarState& g, UndoRingG& undo, int d, const DivisionG& chord) {
  if (!CanAct(g, d)) return false;
  DivisionG& div = g.CurrentTiempoG.division[d];
  Save(undo, div);
  div = chord;
  Tail(g);
  return true;
}

bool EmptyDivision(GuitarState& g, UndoRingG& undo, int d) {
  if (!CanAct(g, d)) return false;
  DivisionG& div = g.CurrentTiempoG.division[d];
  Save(undo, div);
  for (int i = 0; i < kGuitarStrings; ++i) {
    div.fret[i] = 0;
    div.strength[i] = 0;
    div.mode[i] = kModeNormal;
    div.delay[i] = 0;
  }
  Tail(g);
  return true;
}

bool InvertDivisionDelays(GuitarState& g, UndoRingG& undo, int d) {
  if (!CanAct(g, d)) return false;
  DivisionG& div = g.CurrentTiempoG.division[d];
  Save(undo, div);
  int a = 0, b = 0, smallest = 256, largest = -1;
  for (int i = 0; i < kGuitarStrings; ++i) {
    if (div.strength[i] == 0) continue;
    if (div.delay[i] < smallest) smallest = div.delay[i], a = i;
    if (div.delay[i] > largest) largest = div.delay[i], b = i;
  }
  const int step = b > a ? 1 : -1;
  while (a != b) {
    std::swap(div.delay[a], div.delay[b]);
    a += step;
    if (a != b) b -= step;
  }
  Tail(g);
  return true;
}

bool UndoDivision(GuitarState& g, UndoRingG& undo, int d) {
  if (undo.UndoLast < 0 || !CanAct(g, d)) return false;
  g.CurrentTiempoG.division[d] = undo.UndoRing[static_cast<size_t>(undo.UndoLast)];
  undo.UndoLast = undo.UndoLast == 0 ? kUndoSlots - 1 : undo.UndoLast - 1;
  // Undo changes the track like any edit: left unmarked, closing the panel
  // would not offer to save it.
  Tail(g);
  return true;
}
