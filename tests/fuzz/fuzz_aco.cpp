// Chord files: a file of any content is loaded into the chord grid under a
// tuning and capo taken from the input, then the fretboard, the whole-chord
// controls and the division operations work on what it gave, and the grid is
// saved and loaded again. Whatever the file holds, the chord keeps frets
// 0..20, strengths 0..7, delays 0..99 and modes -1..3, the finger marks stay
// on the fretboard, and a saved chord is 24 lines.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_file.h"
#include "guitar/chords.h"
#include "guitar/division_clipboard.h"
#include "guitar/edit.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"

namespace {

void CheckChord(const ChordState& c) {
  for (int i = 0; i < kGuitarStrings; ++i) {
    if (c.ChordBuffer.delay[i] > kMaxDelay || c.ChordBuffer.strength[i] > 7) __builtin_trap();
    if (c.ChordBuffer.mode[i] < -1 || c.ChordBuffer.mode[i] > 3) __builtin_trap();
    const FingerMark& m = c.StringNoteLabels[static_cast<size_t>(i)];
    if (m.left != 0 && (m.left < FretPosition(19) + 234 || m.left > FretPosition(-2) + 234)) __builtin_trap();
  }
}

// The chord came from the grid: its frets are those the grid accepts, unless
// the string was never taken (fret 0 then).
void CheckFrets(const ChordState& c) {
  for (int i = 0; i < kGuitarStrings; ++i)
    if (c.ChordBuffer.fret[i] > kMaxChordFret) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  static const bool made = [] {
    std::filesystem::create_directories(FuzzFolder() + "/Acordes");
    return true;
  }();
  (void)made;
  // Byte 0: the 6th string's tuning offset; byte 1: capo 0..12 and CBTab;
  // byte 2: fretboard click and strum; byte 3: the language. The rest is the file.
  GuitarTuning tuning;
  ApplyTuning(tuning, {static_cast<int8_t>(data[0]) % 8, 0, 0, 0, 0, 0});
  const int capo = (data[1] & 0x7f) % 13;
  ChordState c;
  c.tab = (data[1] & 0x80) == 0;
  c.english = data[3] & 1;
  FuzzFile("Acordes/In.aco", data + 4, size - 4);

  if (!LoadChordFile(c, FuzzFolder(), "In", tuning, capo)) __builtin_trap();
  CheckChord(c);
  CheckFrets(c);

  const int x = data[2] * 4;
  const int y = (data[2] >> 1) % 80;
  ClickFretboard(c, x, y, data[2] & 1, capo, false, tuning);
  FretboardHint(x, y, capo);
  SetStrumDelay(c, data[2] % 20, tuning, capo);
  MirrorStrum(c, tuning, capo);
  SetChordStrength(c, data[3] % 9, tuning, capo);
  CheckChord(c);
  CheckFrets(c);

  // The chord into a division and back, and re-quantised.
  GuitarState g;
  g.GuitarTrack.assign(2, EmptyTiempoG());
  g.GuitarBars = {0, 2 * kBeatBytes};
  g.GuitarBarCount = 1;
  g.GuitarBeatsInBar = 2;
  g.CurrentTiempoG.divisions = static_cast<uint8_t>(1 + data[3] % kMaxDivisions);
  StoreCurrentBeat(g);
  UndoRingG undo;
  const int d = data[2] % kMaxDivisions;
  PasteChordToDivision(g, undo, d, c.ChordBuffer);
  InvertDivisionDelays(g, undo, d);
  CopyDivisionToChord(g.CurrentTiempoG, d, c, tuning, capo);
  CheckChord(c);
  RequantiseBeat(g.CurrentTiempoG, 1 + data[0] % kMaxDivisions);

  // Saved and read back: 24 lines whatever the cells held.
  const std::string out = FuzzFolder() + "/Acordes/Out";
  std::string written, error;
  if (!SaveChordFile(c, tuning, out, &written, &error)) __builtin_trap();
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(written, kMaxChordFileBytes * 4, &bytes) || SplitLines(bytes).size() != kChordFileLines)
    __builtin_trap();
  ChordState again;
  again.tab = c.tab;
  if (!LoadChordFile(again, FuzzFolder(), "Out", tuning, capo)) __builtin_trap();
  CheckChord(again);
  CheckFrets(again);
  ListChords(FuzzFolder());
  return 0;
}
