// The tablature editor over a small track whose beats are raw bytes of the
// input (any division count, strength, mode or delay), driven by a stream of
// keys, clicks, division operations and count changes taken from the input.
// After every step the box names a division and a string of the beat, the
// beats keep 1..24 divisions, the track keeps its length, and (nothing
// playing) CurrentTiempoG is the slot at the cursor.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "guitar/division_clipboard.h"
#include "guitar/edit.h"

namespace {

constexpr int kKeys[] = {editkey::kBackspace, editkey::kEnter,  editkey::kControl, editkey::kEscape,
                         editkey::kLeft,      editkey::kUp,     editkey::kRight,   editkey::kDown,
                         editkey::kDelete,    '0',              '1',               '5',
                         '9',                 'N',              'L',               'T',
                         'S',                 'R',              'G',               editkey::kKeypad0,
                         editkey::kKeypad0 + 1, editkey::kKeypad0 + 7, editkey::kKeypad0 + 9, 'X'};

void Check(const GuitarState& g, const TabEditor& ed, size_t slots, bool playing) {
  if (g.GuitarTrack.size() != slots) __builtin_trap();
  if (g.CurrentTiempoG.divisions < 1 || g.CurrentTiempoG.divisions > kMaxDivisions) __builtin_trap();
  if (ed.EditString < 0 || ed.EditString >= kGuitarStrings) __builtin_trap();
  if (ed.EditDivision < 0 || ed.EditDivision >= kMaxDivisions) __builtin_trap();
  if (ed.boxVisible && !playing && ed.EditDivision >= g.CurrentTiempoG.divisions) __builtin_trap();
  if (ed.boxLeft < kChartLeft || ed.boxLeft > kChartLeft + kChartWidth) __builtin_trap();
  for (const TiempoG& t : g.GuitarTrack)
    if (t.divisions < 1 || t.divisions > kMaxDivisions) __builtin_trap();
  if (!playing) {
    const std::optional<uint32_t> a = CursorOffset(g);
    if (!a || std::memcmp(SlotAt(g, *a), &g.CurrentTiempoG, sizeof(TiempoG)) != 0) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  // Byte 0: beats per bar (1..4) of three bars; byte 1: CBTab, playing, capo.
  const int beats = 1 + data[0] % 4;
  GuitarState g;
  g.GuitarTrack.assign(static_cast<size_t>(3 * beats), EmptyTiempoG());
  g.GuitarBars = {0, beats * kBeatBytes, 2 * beats * kBeatBytes, 3 * beats * kBeatBytes};
  g.GuitarBarCount = 3;
  g.GuitarBeatsInBar = beats;
  // The beats' bytes from the end of the input, their counts made valid as a
  // reader of the track would.
  size_t tail = size;
  for (TiempoG& t : g.GuitarTrack) {
    const size_t n = std::min<size_t>(sizeof(TiempoG), (tail - 2) / 2);
    std::memcpy(&t, data + tail - n, n);
    tail -= n;
    t.divisions = static_cast<uint8_t>(1 + t.divisions % kMaxDivisions);
  }
  ReadCursorBeat(g);
  TabEditor ed;
  ChordState chords;
  chords.tab = data[1] & 1;
  GuitarTuning tuning;
  UndoRingG undo;
  bool playing = false;
  EditContext c{g, ed, chords, tuning, (data[1] >> 2) % 13, playing};
  for (size_t p = 2; p + 1 < tail; p += 2) {
    const uint8_t op = data[p], arg = data[p + 1];
    c.playing = (data[1] & 2) && (op & 0x80);
    switch (op % 8) {
      case 0:
        ClickTablature(c, arg & 1, 40 + arg * 2, 32 + arg % 110, (arg >> 3) - 2, (arg % 9) - 1 + 0.5);
        break;
      case 1:
        UndoDivision(g, undo, ed.SelectedDivision);
        break;
      case 2:
        PasteChordToDivision(g, undo, ed.SelectedDivision, chords.ChordBuffer);
        break;
      case 3:
        (arg & 1 ? EmptyDivision : InvertDivisionDelays)(g, undo, ed.SelectedDivision);
        break;
      case 4:
        CopyDivisionToChord(g.CurrentTiempoG, ed.SelectedDivision, chords, tuning, c.capo);
        break;
      case 5:
        StepDivisionCount(c, arg & 1 ? 1 : -1);
        break;
      default:
        EditKeyDown(c, kKeys[arg % (sizeof kKeys / sizeof kKeys[0])], op & 0x10, op & 0x20);
        break;
    }
    if (!c.playing) Check(g, ed, 3 * static_cast<size_t>(beats), false);
  }
  return 0;
}
