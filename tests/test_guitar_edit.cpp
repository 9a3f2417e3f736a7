// Editing the guitar track: the chord grid and the fretboard, chord files,
// filling marked beats with a chord, the division clipboard with its undo
// ring, the tablature editor's keys and clicks, and re-quantising a beat.
#include <gtest/gtest.h>

#include <QtCore/qnamespace.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "content/guitar_chords.h"
#include "guitar/chords.h"
#include "guitar/division_clipboard.h"
#include "guitar/edit.h"
#include "guitar/edit_keys.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "temp_dir.h"

namespace {

constexpr uint32_t B = kBeatBytes;

// Two bars of two beats each, the cursor on beat 1 of bar 1.
GuitarState TwoBars(int divisions = 4) {
  GuitarState g;
  TiempoG beat = EmptyTiempoG();
  beat.divisions = static_cast<uint8_t>(divisions);
  g.GuitarTrack.assign(4, beat);
  g.GuitarBars = {0, 2 * B, 4 * B};
  g.GuitarBarCount = 2;
  g.GuitarBar = 1;
  g.GuitarBeat = 1;
  g.GuitarBeatsInBar = 2;
  ReadCursorBeat(g);
  return g;
}

void SetNote(DivisionG& d, int s, int fret, int strength, int mode = kModeNormal, int delay = 0) {
  d.fret[s] = static_cast<uint8_t>(fret);
  d.strength[s] = static_cast<uint8_t>(strength);
  d.mode[s] = mode;
  d.delay[s] = static_cast<uint8_t>(delay);
}

bool SameDivision(const DivisionG& a, const DivisionG& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The editor over a track, with the box open on a note.
struct Editor {
  GuitarState g = TwoBars();
  TabEditor ed;
  ChordState chords;
  GuitarTuning tuning;
  int capo = 0;
  bool playing = false;

  EditContext Ctx() { return EditContext{g, ed, chords, tuning, capo, playing}; }
  EditEffect Key(int key, bool ctrl = false, bool alt = false) {
    EditContext c = Ctx();
    return EditKeyDown(c, key, ctrl, alt);
  }
  void Type(const std::string& keys) {
    for (char ch : keys) Key(ch);  // digits and capital letters are their own key codes
  }
  void Open(int division, int string) {
    ed.EditDivision = division;
    ed.EditString = string;
    ed.boxVisible = true;
    ed.FretDigitPending = 0;
  }
  DivisionG& Div(int d) { return g.CurrentTiempoG.division[d]; }
  const TiempoG& Slot(int s) const { return g.GuitarTrack[static_cast<size_t>(s)]; }
};

// --- the chord grid -----------------------------------------------------------------

TEST(ChordGrid, CapoClickOnTheFifthStringWritesTheRowFromTheCapoAndSoundsTheFrettedNote) {
  ChordState c;  // CBTab checked
  c.TBRetardo = 5;
  GuitarTuning t;
  const int y = 12 + 5;                                // 5th string band, y 12..23
  const int x = kFretboardLeft + FretPosition(5) + 3;  // just right of fret 5's position: fret 5
  const FretboardClick click = ClickFretboard(c, x, y, true, 2, false, t);

  EXPECT_TRUE(click.play);
  EXPECT_EQ(click.stringNumber, 5);
  EXPECT_EQ(click.semitones, 5);  // A + 5 = D sounds
  EXPECT_EQ(click.row, 5);
  const ChordRow& r = GridRow(c, 5);
  EXPECT_EQ(r[kColString], "5");
  EXPECT_EQ(r[kColFret], "3");
  EXPECT_EQ(r[kColStrength], "4");
  EXPECT_EQ(r[kColMode], "Normal");
  EXPECT_EQ(r[kColDelay], "20");   // (row 5 - 1) x 5
  EXPECT_EQ(r[kColNote], "C  ");   // A + 3: the name does not count the capo
  EXPECT_EQ(c.ChordBuffer.fret[1], 3);
  EXPECT_EQ(c.ChordBuffer.strength[1], 4);
  EXPECT_EQ(c.ChordBuffer.delay[1], 20);
  EXPECT_EQ(c.StringNoteLabels[1].left, FretPosition(5) + 234);  // the mark sits at fret 5
  EXPECT_EQ(c.StringNoteLabels[1].top, 12 * 1 + 60);
  EXPECT_EQ(c.StringNoteLabels[1].text, "C  ");
}

TEST(ChordGrid, FretboardGeometry) {
  struct Case {
    int x;
    int fret;
  } frets[] = {
      {kFretboardLeft + 566, 0}, {kFretboardLeft + 700, 0},  // right of fret 0's position: fret 0
      {kFretboardLeft + 565, 1}, {kFretboardLeft + 529, 1}, {kFretboardLeft + 528, 2},
      {kFretboardLeft + 58, 19}, {kFretboardLeft + 57, 21}, {0, 21},  // beyond the frets
  };
  for (const Case& k : frets) EXPECT_EQ(FretAtX(k.x), k.fret) << k.x;
  struct Row {
    int y;
    int string;
  } strings[] = {{0, 6}, {11, 6}, {12, 5}, {59, 2}, {60, 1}, {71, 1}, {72, 0}, {73, 0}, {-1, 0}};
  for (const Row& k : strings) EXPECT_EQ(StringAtY(k.y), k.string) << k.y;
  EXPECT_EQ(FretboardHint(kFretboardLeft + 448, 30, 0), "C4 T3");
  EXPECT_EQ(FretboardHint(kFretboardLeft + 566, 30, 2), "C4 T-2");  // left of the capo: negative
  EXPECT_EQ(FretboardHint(kFretboardLeft + 448, 72, 0), "");
}

TEST(ChordGrid, ClickBelowTheStringsOrWhilePlayingChangesNothing) {
  ChordState c;
  GuitarTuning t;
  const ChordState before = c;
  for (int y : {72, 73}) EXPECT_FALSE(ClickFretboard(c, kFretboardLeft + 300, y, true, 0, false, t).changed);
  EXPECT_FALSE(ClickFretboard(c, kFretboardLeft + 300, 20, true, 0, true, t).changed);
  EXPECT_EQ(c.rows, before.rows);
  EXPECT_TRUE(SameDivision(c.ChordBuffer, before.ChordBuffer));
}

TEST(ChordGrid, BeyondTheFretsReplaysTheChordsNoteOrDoesNothing) {
  ChordState c;
  GuitarTuning t;
  const int beyond = kFretboardLeft + 20;
  // The 2nd string does not sound: nothing.
  EXPECT_FALSE(ClickFretboard(c, beyond, 55, true, 0, false, t).changed);
  EXPECT_EQ(GridRow(c, 2)[kColFret], "");
  // Once it sounds at fret 3, the click replays fret 3.
  ClickFretboard(c, kFretboardLeft + 448, 55, true, 0, false, t);
  const FretboardClick again = ClickFretboard(c, beyond, 55, true, 0, false, t);
  EXPECT_TRUE(again.play);
  EXPECT_EQ(again.semitones, 3);
  EXPECT_EQ(GridRow(c, 2)[kColFret], "3");
  // With a capo the area beyond the frets is fret 21 - capo.
  EXPECT_EQ(ClickFretboard(c, beyond, 55, true, 2, false, t).semitones, 21);
}

TEST(ChordGrid, RightClickRemovesTheStringKeepingModeAndDelay) {
  ChordState c;
  GuitarTuning t;
  ClickFretboard(c, kFretboardLeft + 448, 40, true, 0, false, t);  // 3rd string (row 3), fret 3
  GridRow(c, 3)[kColMode] = "Ligado";
  GridRow(c, 3)[kColDelay] = "12";
  TakeChordRow(c, 3, t, 0);
  ASSERT_EQ(c.ChordBuffer.strength[3], 4);
  ClickFretboard(c, kFretboardLeft + 448, 40, false, 0, false, t);
  const ChordRow& r = GridRow(c, 3);
  EXPECT_EQ(r[kColNote], "");
  EXPECT_EQ(r[kColString], " ");
  EXPECT_EQ(r[kColFret], "");
  EXPECT_EQ(r[kColStrength], "");
  EXPECT_EQ(r[kColMode], "Ligado");
  EXPECT_EQ(r[kColDelay], "12");
  EXPECT_EQ(c.ChordBuffer.strength[3], 0);
}

TEST(ChordGrid, RowValuesAreBoundedAsTheyComeIn) {
  ChordState c;
  GuitarTuning t;
  ChordRow& r = GridRow(c, 1);  // the 1st string, index 5
  r = {"", "", "5", "9", "Nada", "300"};
  ASSERT_TRUE(TakeChordRow(c, 1, t, 0));
  EXPECT_EQ(c.ChordBuffer.delay[5], 99);    // not 300 mod 256
  EXPECT_EQ(c.ChordBuffer.strength[5], 7);
  EXPECT_EQ(c.ChordBuffer.mode[5], -1);     // not a caption of CBModo
  r[kColDelay] = " -5x";
  TakeChordRow(c, 1, t, 0);
  EXPECT_EQ(c.ChordBuffer.delay[5], 0);
  // A fret outside 0..20 leaves the chord alone and empties the note cell only.
  const DivisionG before = c.ChordBuffer;
  r[kColFret] = "21";
  EXPECT_FALSE(TakeChordRow(c, 1, t, 0));
  EXPECT_TRUE(SameDivision(c.ChordBuffer, before));
  EXPECT_EQ(r[kColNote], "");
  EXPECT_EQ(r[kColFret], "21");
  // Fret 20 with the largest capo: the finger mark stays on the fretboard.
  r[kColFret] = "20";
  ASSERT_TRUE(TakeChordRow(c, 1, t, 12));
  EXPECT_EQ(c.StringNoteLabels[5].left, FretPosition(19) + 234);
  // An empty fret cell keeps the chord's fret and shows it.
  r[kColFret] = "";
  TakeChordRow(c, 1, t, 0);
  EXPECT_EQ(r[kColFret], "20");
}

TEST(ChordGrid, StrumDelayAndMirror) {
  ChordState c;  // rows 4, 3, 2 sound (strings 4, 3, 2 in TAB order)
  GuitarTuning t;
  for (int row : {2, 3, 4}) GridRow(c, row) = {"", "", "2", "5", "Normal", "0"};
  SetStrumDelay(c, 5, t, 0);
  EXPECT_EQ(GridRow(c, 2)[kColDelay], "0");
  EXPECT_EQ(GridRow(c, 3)[kColDelay], "5");
  EXPECT_EQ(GridRow(c, 4)[kColDelay], "10");
  EXPECT_EQ(c.ChordBuffer.delay[2], 10);  // string 4
  MirrorStrum(c, t, 0);
  EXPECT_EQ(GridRow(c, 2)[kColDelay], "10");
  EXPECT_EQ(GridRow(c, 3)[kColDelay], "5");
  EXPECT_EQ(GridRow(c, 4)[kColDelay], "0");
  // Now the strum runs upwards: a new step keeps its direction.
  SetStrumDelay(c, 7, t, 0);
  EXPECT_EQ(GridRow(c, 2)[kColDelay], "14");
  EXPECT_EQ(GridRow(c, 4)[kColDelay], "0");
  // Silent rows between sounding ones take part in the strum and the mirror.
  GridRow(c, 3) = {"", "", "", "", "", "33"};
  SetStrumDelay(c, 5, t, 0);
  EXPECT_EQ(GridRow(c, 3)[kColDelay], "5");
}

TEST(ChordGrid, StrumAndStrengthWithNoSoundingRowChangeNothing) {
  ChordState c;
  GuitarTuning t;
  GridRow(c, 2)[kColDelay] = "7";
  const auto before = c.rows;
  SetStrumDelay(c, 9, t, 0);
  SetChordStrength(c, 3, t, 0);
  MirrorStrum(c, t, 0);
  EXPECT_EQ(c.rows, before);
  GridRow(c, 5) = {"", "", "0", "2", "Normal", "0"};
  SetChordStrength(c, 6, t, 0);
  EXPECT_EQ(GridRow(c, 5)[kColStrength], "6");
  EXPECT_EQ(c.ChordBuffer.strength[1], 6);
}

TEST(ChordGrid, TabSwitchReversesTheRowsAndModeChooser) {
  ChordState c;
  GuitarTuning t;
  GridRow(c, 1) = {"", "", "3", "5", "Normal", "0"};  // the 1st string with CBTab checked
  TakeChordRow(c, 1, t, 0);
  SetChordTab(c, false);
  EXPECT_EQ(GridRow(c, 6)[kColFret], "3");
  EXPECT_EQ(StringOfRow(false, 6), 1);
  EXPECT_EQ(ModeChooserTop(kColMode, 2), 2 * 17 + 206);
  EXPECT_FALSE(ModeChooserTop(kColDelay, 2).has_value());
  ChooseChordMode(c, 6, -1, t, 0);  // nothing chosen: the first item
  EXPECT_EQ(GridRow(c, 6)[kColMode], "Normal");
  c.english = true;
  ChooseChordMode(c, 6, 2, t, 0);
  EXPECT_EQ(GridRow(c, 6)[kColMode], "Thud");
  EXPECT_EQ(c.ChordBuffer.mode[5], kModeTapado);
  // Back to Spanish: the caption follows, the mode stays.
  SetChordLanguage(c, false, t, 0);
  EXPECT_EQ(GridRow(c, 6)[kColMode], "Tapado");
  EXPECT_EQ(c.ChordBuffer.mode[5], kModeTapado);
}

// --- chord files ----------------------------------------------------------------------

TEST(ChordFiles, FretsAreStoredForAStandardGuitarAndModesAsNumbers) {
  ScratchFolder dir;
  ChordState c;
  GuitarTuning dropped;
  ApplyTuning(dropped, {-2, 0, 0, 0, 0, 0});
  GridRow(c, 6) = {"", "", "2", "5", "Ligado", "10"};  // the 6th string
  GridRow(c, 1) = {"", "", "0", "3", "Tapado", "0"};
  ASSERT_TRUE(MakeDirs("Acordes"));
  std::string written, error;
  ASSERT_TRUE(SaveChordFile(c, dropped, "Acordes/Drop", &written, &error)) << error;
  EXPECT_EQ(written, "Acordes/Drop.aco");
  const std::vector<std::string> lines = SplitLines(ScratchFolder::Read(written));
  ASSERT_EQ(lines.size(), 24u);
  EXPECT_EQ(lines[0], "0");   // fret 2 on a string tuned 2 down
  EXPECT_EQ(lines[1], "5");
  EXPECT_EQ(lines[2], "1");   // the number the reader reads
  EXPECT_EQ(lines[3], "10");
  EXPECT_EQ(lines[22], "2");

  // Loaded with standard tuning and an English interface.
  ChordState d;
  d.english = true;
  GuitarTuning standard;
  EXPECT_EQ(ListChords("."), std::vector<std::string>{"Drop"});
  ASSERT_TRUE(LoadChordFile(d, ".", "Drop", standard, 0));
  EXPECT_EQ(GridRow(d, 6)[kColFret], "0");
  EXPECT_EQ(GridRow(d, 6)[kColMode], "Legato");
  EXPECT_EQ(d.ChordBuffer.mode[0], kModeLigado);
  EXPECT_EQ(d.ChordBuffer.delay[0], 10);
  EXPECT_EQ(d.ChordBuffer.mode[5], kModeTapado);
  EXPECT_EQ(d.ChordBuffer.strength[5], 3);
  EXPECT_FALSE(LoadChordFile(d, ".", "Missing", standard, 0));
  EXPECT_FALSE(LoadChordFile(d, ".", "", standard, 0));
}

TEST(ChordFiles, ModeLinesAsCaptionsNumbersOrNeither) {
  ChordState c;
  GuitarTuning t;
  std::vector<std::string> lines(24, "0");
  lines[1] = "4";
  lines[2] = "Tapado";   // a caption written by an older save
  lines[4 + 1] = "4";
  lines[4 + 2] = "Thud";
  lines[8 + 1] = "4";
  lines[8 + 2] = "3";
  lines[12 + 1] = "4";
  lines[12 + 2] = "9";  // no mode
  LoadChordLines(c, lines, t, 0);
  EXPECT_EQ(c.ChordBuffer.mode[0], kModeTapado);
  EXPECT_EQ(c.ChordBuffer.mode[1], kModeTapado);
  EXPECT_EQ(c.ChordBuffer.mode[2], kModeSilencio);
  EXPECT_EQ(c.ChordBuffer.mode[3], -1);
  // A short file fills what it has.
  ChordState d;
  LoadChordLines(d, {"3", "5"}, t, 0);
  EXPECT_EQ(d.ChordBuffer.fret[0], 3);
  EXPECT_EQ(d.ChordBuffer.strength[0], 5);
}

TEST(ChordFiles, NamesEndInAcoAndTheListHoldsFilesOnly) {
  ScratchFolder dir;
  ChordState c;
  GuitarTuning t;
  std::string written;
  ASSERT_TRUE(MakeDirs("Acordes"));
  ASSERT_TRUE(SaveChordFile(c, t, "Acordes/Mi.ACO", &written, nullptr));
  EXPECT_EQ(written, "Acordes/Mi.ACO");
  ASSERT_TRUE(SaveChordFile(c, t, "Acordes/la", &written, nullptr));
  ASSERT_TRUE(SaveChordFile(c, t, "Acordes/Do", &written, nullptr));
  std::filesystem::create_directories("Acordes/Sol.aco");  // a folder, not a chord
  ScratchFolder::Write("Acordes/notes.txt", {'x'});
  EXPECT_EQ(ListChords("."), (std::vector<std::string>{"Do", "la", "Mi"}));
  EXPECT_TRUE(ListChords("nowhere").empty());
}

TEST(ChordFiles, AFailedWriteLeavesTheOldChord) {
  ScratchFolder dir;
  ChordState c;
  GuitarTuning t;
  MakeDirs("Acordes");
  ASSERT_TRUE(SaveChordFile(c, t, "Acordes/E", nullptr, nullptr));
  const auto before = ScratchFolder::Read("Acordes/E.aco");
  GridRow(c, 1) = {"", "", "7", "5", "Normal", "0"};
  SetWriteFailureForTests(1);
  std::string error;
  EXPECT_FALSE(SaveChordFile(c, t, "Acordes/E", nullptr, &error));
  SetWriteFailureForTests(0);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ScratchFolder::Read("Acordes/E.aco"), before);
}

TEST(ChordFiles, TheFactoryChordsLoadAsTheirFingering) {
  ScratchFolder dir;
  std::vector<FileToWrite> files;
  std::string error;
  ASSERT_TRUE(AddFactoryChords("Acordes", &files, &error)) << error;
  ASSERT_TRUE(WriteFilesAtomically(files, &error)) << error;
  const std::vector<std::string> names = ListChords(".");
  EXPECT_EQ(names.size(), FactoryChords().size());
  for (const FactoryChord& chord : FactoryChords()) {
    SCOPED_TRACE(chord.name);
    ChordState c;
    GuitarTuning t;
    ASSERT_TRUE(LoadChordFile(c, ".", chord.name, t, 0));
    int delay = 0;
    for (int i = 0; i < kGuitarStrings; ++i) {
      if (chord.frets[i] < 0) {
        EXPECT_EQ(c.ChordBuffer.strength[i], 0) << i;
        continue;
      }
      EXPECT_EQ(c.ChordBuffer.fret[i], chord.frets[i]) << i;
      EXPECT_EQ(c.ChordBuffer.strength[i], 5) << i;
      EXPECT_EQ(c.ChordBuffer.mode[i], kModeNormal) << i;
      EXPECT_EQ(c.ChordBuffer.delay[i], delay) << i;  // a downward strum
      delay += 5;
    }
  }
  // E major names its notes E B E G# B E.
  ChordState e;
  GuitarTuning t;
  LoadChordFile(e, ".", "E", t, 0);
  std::string notes;
  for (int row = 6; row >= 1; --row) notes += GridRow(e, row)[kColNote];
  EXPECT_EQ(notes, "E  B  E  G# B  E  ");
}

// --- filling marked beats --------------------------------------------------------------

TEST(FillWithChord, NotesOfChordStringsTakeItsFretOthersFallSilent) {
  GuitarState g = TwoBars(2);
  for (int s : {0, 1}) {
    SetNote(g.GuitarTrack[static_cast<size_t>(s)].division[0], 1, 7, 5, kModeLigado, 30);  // string 5
    SetNote(g.GuitarTrack[static_cast<size_t>(s)].division[1], 5, 3, 6, kModeNormal, 40);  // string 1
  }
  SetNote(g.GuitarTrack[2].division[0], 5, 3, 6);  // not marked
  g.MarkedBeats = 2;
  DivisionG chord{};
  for (int i = 1; i <= 4; ++i) SetNote(chord, i, 2 + i, 5);  // strings 5..2
  ASSERT_TRUE(FillWithChord(g, chord));
  for (int s : {0, 1}) {
    const TiempoG& b = g.GuitarTrack[static_cast<size_t>(s)];
    EXPECT_EQ(b.division[0].fret[1], 3);
    EXPECT_EQ(b.division[0].strength[1], 5);
    EXPECT_EQ(b.division[0].mode[1], kModeLigado);
    EXPECT_EQ(b.division[0].delay[1], 30);
    EXPECT_EQ(b.division[0].strength[2], 0);  // the chord's other strings add no notes
    EXPECT_EQ(b.division[1].strength[5], 0);
    EXPECT_EQ(b.division[1].delay[5], 40);
  }
  EXPECT_EQ(g.GuitarTrack[2].division[0].strength[5], 6);
  EXPECT_EQ(g.CurrentTiempoG.division[0].fret[1], 3);
  EXPECT_TRUE(g.Modified);
  // Marks reaching past the track's end stop at it.
  g.GuitarBar = 2;
  g.GuitarBeat = 2;
  g.MarkedBeats = 50;
  EXPECT_TRUE(FillWithChord(g, chord));
  EXPECT_EQ(g.GuitarTrack.size(), 4u);
  g.MarkedBeats = 0;
  EXPECT_FALSE(FillWithChord(g, chord));
}

// --- the division clipboard and the undo ring -----------------------------------------

struct Ring {
  GuitarState g = TwoBars(4);
  UndoRingG undo;
  DivisionG Marker(int m) {
    DivisionG d{};
    SetNote(d, 0, m, 5);
    return d;
  }
};

TEST(DivisionClipboard, UndoBeforeAnySaveDoesNothing) {
  Ring r;
  const TiempoG before = r.g.CurrentTiempoG;
  EXPECT_FALSE(UndoDivision(r.g, r.undo, 0));
  EXPECT_EQ(std::memcmp(&before, &r.g.CurrentTiempoG, sizeof before), 0);
}

TEST(DivisionClipboard, PasteThenUndoRestoresTheDivisionInTheTrack) {
  Ring r;
  SetNote(r.g.CurrentTiempoG.division[1], 2, 9, 3);
  StoreCurrentBeat(r.g);
  const DivisionG old = r.g.CurrentTiempoG.division[1];
  ASSERT_TRUE(PasteChordToDivision(r.g, r.undo, 1, r.Marker(5)));
  EXPECT_TRUE(r.g.Modified);
  EXPECT_EQ(r.g.GuitarTrack[0].division[1].fret[0], 5);
  ASSERT_TRUE(UndoDivision(r.g, r.undo, 1));
  EXPECT_TRUE(SameDivision(r.g.GuitarTrack[0].division[1], old));
}

TEST(DivisionClipboard, TwoPastesThenTwoUndosIntoOneDivision) {
  Ring r;
  r.g.CurrentTiempoG.division[1] = r.Marker(1);
  r.g.CurrentTiempoG.division[2] = r.Marker(2);
  PasteChordToDivision(r.g, r.undo, 1, r.Marker(7));
  PasteChordToDivision(r.g, r.undo, 2, r.Marker(8));
  UndoDivision(r.g, r.undo, 1);
  EXPECT_EQ(r.g.CurrentTiempoG.division[1].fret[0], 2);  // the old division 2
  UndoDivision(r.g, r.undo, 1);
  EXPECT_EQ(r.g.CurrentTiempoG.division[1].fret[0], 1);
}

TEST(DivisionClipboard, TheEleventhSaveOverwritesTheFirstSlot) {
  Ring r;
  for (int k = 1; k <= 11; ++k) {
    r.g.CurrentTiempoG.division[0] = r.Marker(k);
    PasteChordToDivision(r.g, r.undo, 0, r.Marker(50));
  }
  EXPECT_EQ(r.undo.UndoLast, 0);
  EXPECT_EQ(r.undo.UndoWrite, 1);
  EXPECT_EQ(r.undo.UndoRing[0].fret[0], 11);
  EXPECT_EQ(r.undo.UndoRing[1].fret[0], 2);
  // Undo walks back 11, 10, ..., 2 and then round the ring to 11 again.
  std::vector<int> restored;
  for (int k = 0; k < 11; ++k) {
    UndoDivision(r.g, r.undo, 0);
    restored.push_back(r.g.CurrentTiempoG.division[0].fret[0]);
  }
  EXPECT_EQ(restored, (std::vector<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 11}));
}

TEST(DivisionClipboard, TwoUndosAfterOneSaveRestoreTheUnwrittenSlotNine) {
  Ring r;
  r.g.CurrentTiempoG.division[0] = r.Marker(4);
  EmptyDivision(r.g, r.undo, 0);
  EXPECT_EQ(r.g.CurrentTiempoG.division[0].strength[0], 0);
  UndoDivision(r.g, r.undo, 0);
  EXPECT_EQ(r.g.CurrentTiempoG.division[0].fret[0], 4);
  EXPECT_EQ(r.undo.UndoLast, 9);
  r.g.Modified = false;
  ASSERT_TRUE(UndoDivision(r.g, r.undo, 0));
  EXPECT_TRUE(SameDivision(r.g.CurrentTiempoG.division[0], DivisionG{}));
  EXPECT_TRUE(r.g.Modified);  // the track changed: closing must offer to save
  EXPECT_EQ(r.undo.UndoWrite, 1);
}

TEST(DivisionClipboard, ReverseDelays) {
  struct Case {
    const char* name;
    int strength[6];
    int delay[6];
    int expected[6];
  } cases[] = {
      {"three strings", {5, 5, 5, 0, 0, 0}, {0, 10, 20, 0, 0, 0}, {20, 10, 0, 0, 0, 0}},
      {"a silent string between", {5, 0, 5, 0, 0, 0}, {0, 7, 20, 0, 0, 0}, {20, 7, 0, 0, 0, 0}},
      {"upward strum", {0, 0, 0, 5, 5, 5}, {0, 0, 0, 30, 15, 0}, {0, 0, 0, 0, 15, 30}},
      {"one sounding string", {0, 5, 0, 0, 0, 0}, {3, 9, 4, 0, 0, 0}, {3, 9, 4, 0, 0, 0}},
      {"all equal", {5, 5, 5, 5, 5, 5}, {8, 8, 8, 8, 8, 8}, {8, 8, 8, 8, 8, 8}},
  };
  for (const Case& k : cases) {
    Ring r;
    DivisionG& d = r.g.CurrentTiempoG.division[2];
    for (int i = 0; i < 6; ++i) SetNote(d, i, i, k.strength[i], kModeNormal, k.delay[i]);
    ASSERT_TRUE(InvertDivisionDelays(r.g, r.undo, 2));
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(r.g.GuitarTrack[0].division[2].delay[i], k.expected[i]) << k.name << " string index " << i;
      EXPECT_EQ(d.fret[i], i);
    }
    EXPECT_EQ(r.undo.UndoLast, 0) << k.name;  // a slot of the ring is taken either way
  }
}

TEST(DivisionClipboard, CopyFillsTheGridByCBTab) {
  for (bool tab : {true, false}) {
    Ring r;
    ChordState c;
    c.tab = tab;
    GuitarTuning t;
    DivisionG& d = r.g.CurrentTiempoG.division[1];
    SetNote(d, 0, 3, 6, kModeTapado, 12);
    d.spare[0] = 9;
    ASSERT_TRUE(CopyDivisionToChord(r.g.CurrentTiempoG, 1, c, t, 0));
    const ChordRow& row = GridRow(c, tab ? 6 : 1);
    EXPECT_EQ(row[kColFret], "3");
    EXPECT_EQ(row[kColStrength], "6");
    EXPECT_EQ(row[kColMode], "Tapado");
    EXPECT_EQ(row[kColDelay], "12");
    EXPECT_EQ(row[kColNote], "G  ");  // E + 3
    EXPECT_EQ(c.ChordBuffer.spare[0], 9);  // all 60 bytes
    EXPECT_EQ(GridRow(c, tab ? 1 : 6)[kColFret], "");  // a silent string shows no fret
    // A fret the grid refuses keeps the division's values, its delay bounded.
    SetNote(d, 1, 40, 3, kModeNormal, 200);
    CopyDivisionToChord(r.g.CurrentTiempoG, 1, c, t, 0);
    EXPECT_EQ(c.ChordBuffer.delay[1], 99);
    EXPECT_EQ(r.undo.UndoLast, -1);
  }
}

TEST(DivisionClipboard, OperationsNeverActOutsideTheBeat) {
  Ring r;  // 4 divisions
  ChordState c;
  GuitarTuning t;
  for (int d : {-1, 4, 24, 1000}) {
    EXPECT_FALSE(PasteChordToDivision(r.g, r.undo, d, r.Marker(3)));
    EXPECT_FALSE(EmptyDivision(r.g, r.undo, d));
    EXPECT_FALSE(InvertDivisionDelays(r.g, r.undo, d));
    EXPECT_FALSE(CopyDivisionToChord(r.g.CurrentTiempoG, d, c, t, 0));
  }
  EXPECT_EQ(r.undo.UndoLast, -1);
  EXPECT_FALSE(r.g.Modified);
}

// --- the tablature editor --------------------------------------------------------------

TEST(TabEditor, FretEntry) {
  struct Case {
    const char* keys;
    int startStrength;
    int fret;
    int strength;
  } cases[] = {
      {"15", 0, 15, 4},   // two digits on an empty place
      {"3", 6, 3, 6},     // over a note: its strength stays
      {"05", 0, 5, 4},
      {"7", 0, 7, 4},
      {"12", 0, 12, 4},
      {"19", 0, 19, 4},
      {"123", 0, 3, 4},   // a third digit starts a new fret
      {"75", 0, 5, 4},    // 2..9 do not wait for a second digit
  };
  for (const Case& k : cases) {
    Editor e;
    SetNote(e.Div(1), 2, 0, k.startStrength);
    e.Open(1, 2);
    e.Type(k.keys);
    EXPECT_EQ(e.Div(1).fret[2], k.fret) << k.keys;
    EXPECT_EQ(e.Div(1).strength[2], k.strength) << k.keys;
    EXPECT_EQ(e.Slot(0).division[1].fret[2], k.fret) << k.keys;
    EXPECT_TRUE(e.g.Modified);
  }
  Editor e;
  e.Open(0, 0);
  e.Key('1');
  EXPECT_EQ(e.Div(0).fret[0], 1);
  e.Key(editkey::kDelete);  // leaves the pending digit
  e.Key('2');
  EXPECT_EQ(e.Div(0).fret[0], 12);
  EXPECT_EQ(e.Div(0).strength[0], 4);
}

TEST(TabEditor, DeleteAndModesKeepTheOtherFields) {
  Editor e;
  SetNote(e.Div(0), 1, 5, 6, kModeTapado, 20);
  e.Open(0, 1);
  e.Key(editkey::kBackspace);
  EXPECT_EQ(e.Div(0).strength[1], 0);
  EXPECT_EQ(e.Div(0).fret[1], 5);
  EXPECT_EQ(BoxText(e.g.CurrentTiempoG, e.ed), "");
  e.Key('8');
  EXPECT_EQ(e.Div(0).strength[1], 4);
  EXPECT_EQ(e.Div(0).mode[1], kModeTapado);
  EXPECT_EQ(e.Div(0).delay[1], 20);
  const struct {
    char key;
    int mode;
  } modes[] = {{'L', kModeLigado}, {'S', kModeSilencio}, {'N', kModeNormal}, {'T', kModeTapado}};
  for (auto m : modes) {
    const EditEffect fx = e.Key(m.key);
    EXPECT_EQ(e.Slot(0).division[0].mode[1], m.mode) << m.key;
    EXPECT_TRUE(fx.drawBeatView && fx.drawBarView && fx.finish);
  }
  EXPECT_EQ(StatusText(e.g.CurrentTiempoG, e.ed, false), "F4 R20% Tapado");
  EXPECT_EQ(StatusText(e.g.CurrentTiempoG, e.ed, true), "F4 R20% Thud");
  EXPECT_EQ(BoxText(e.g.CurrentTiempoG, e.ed), "8");
}

TEST(TabEditor, CtrlKeysStopAtTheirLimits) {
  Editor e;
  e.Open(2, 3);
  e.Key(editkey::kUp, true);
  EXPECT_EQ(e.Div(2).strength[3], 1);  // a note of strength 1 with the stored fret
  EXPECT_EQ(e.Div(2).fret[3], 0);
  for (int k = 0; k < 10; ++k) e.Key(editkey::kUp, true);
  EXPECT_EQ(e.Div(2).strength[3], 7);
  for (int k = 0; k < 10; ++k) e.Key(editkey::kDown, true);
  EXPECT_EQ(e.Div(2).strength[3], 1);  // Ctrl+Down never deletes
  for (int k = 0; k < 120; ++k) e.Key(editkey::kRight, true);
  EXPECT_EQ(e.Div(2).delay[3], 99);
  EXPECT_EQ(e.ed.boxLeft, 536 * 2 / 4 + (99 * 536 / 4) / 100 + 40);
  e.Key(editkey::kLeft, true);
  EXPECT_EQ(e.Div(2).delay[3], 98);
  for (int k = 0; k < 120; ++k) e.Key(editkey::kLeft, true);
  EXPECT_EQ(e.Div(2).delay[3], 0);
  EXPECT_EQ(e.Slot(0).division[2].delay[3], 0);
  // A delay read from a file above 99 steps down from 99.
  e.Div(2).delay[3] = 200;
  e.Key(editkey::kLeft, true);
  EXPECT_EQ(e.Div(2).delay[3], 98);
  // Ctrl+G and Ctrl+S ask for the save and hide STCtrl; other Ctrl keys do nothing.
  e.Key(editkey::kControl, true);
  EXPECT_TRUE(e.ed.ctrlInfoVisible);
  EXPECT_TRUE(e.Key('G', true).saveTrack);
  EXPECT_FALSE(e.ed.ctrlInfoVisible);
  EXPECT_TRUE(e.Key('S', true).saveTrack);
  const EditEffect other = e.Key('7', true);
  EXPECT_FALSE(other.finish || other.drawBeatView);
  EXPECT_EQ(e.Div(2).fret[3], 0);
  e.Key(editkey::kControl, true);
  EditKeyUp(e.ed, editkey::kControl);
  EXPECT_FALSE(e.ed.ctrlInfoVisible);
}

TEST(TabEditor, ArrowsWalkDivisionsBeatsAndBars) {
  Editor e;  // two bars of two beats of 4 divisions
  e.g.GuitarTrack[1].divisions = 3;
  e.Open(0, 0);
  e.Key(editkey::kLeft);  // the first division of the track
  EXPECT_EQ(e.ed.EditDivision, 0);
  EXPECT_EQ(e.g.GuitarBeat, 1);
  for (int k = 0; k < 4; ++k) e.Key(editkey::kRight);
  EXPECT_EQ(e.g.GuitarBeat, 2);
  EXPECT_EQ(e.ed.EditDivision, 0);
  e.Key(editkey::kRight);
  e.Key(editkey::kRight);
  const EditEffect toBar2 = e.Key(editkey::kRight);
  EXPECT_TRUE(toBar2.barDisplay && toBar2.beatDisplay);
  EXPECT_EQ(e.g.GuitarBar, 2);
  EXPECT_EQ(e.g.GuitarBeat, 1);
  EXPECT_EQ(e.ed.hint, "( Parte 1, Cuerda 6)");
  e.Key(editkey::kLeft);  // back to the last division of the 3-division beat
  EXPECT_EQ(e.g.GuitarBar, 1);
  EXPECT_EQ(e.g.GuitarBeat, 2);
  EXPECT_EQ(e.ed.EditDivision, 2);
  EXPECT_EQ(e.g.CurrentTiempoG.divisions, 3);
  // The last division of the last beat of the last bar goes to division 0 of it.
  e.g.GuitarBar = 2;
  e.g.GuitarBeat = 2;
  ReadCursorBeat(e.g);
  e.ed.EditDivision = 3;
  e.Key(editkey::kRight);
  EXPECT_EQ(e.g.GuitarBar, 2);
  EXPECT_EQ(e.g.GuitarBeat, 2);
  EXPECT_EQ(e.ed.EditDivision, 0);
  EXPECT_TRUE(e.ed.boxVisible);
}

TEST(TabEditor, UpAndDownWrapAroundTheStrings) {
  for (bool tab : {true, false}) {
    Editor e;
    e.chords.tab = tab;
    e.Open(0, 5);
    e.ed.FretDigitPending = 1;
    e.Key(editkey::kUp);
    EXPECT_EQ(e.ed.EditString, tab ? 0 : 4);
    EXPECT_EQ(e.ed.FretDigitPending, 0);
    e.Key(editkey::kDown);
    EXPECT_EQ(e.ed.EditString, 5);
    e.Key(editkey::kDown);
    EXPECT_EQ(e.ed.EditString, tab ? 4 : 0);
    EXPECT_EQ(e.ed.boxTop, tab ? 32 + 17 * 1 : 32);
  }
}

TEST(TabEditor, AltMovesANoteToTheNeighbouringStringAtItsPitch) {
  Editor e;  // CBTab checked: Alt+Up goes to the next higher string
  SetNote(e.Div(0), 0, 7, 6, kModeLigado, 15);
  SetNote(e.Div(0), 1, 1, 3);
  e.Open(0, 0);
  const EditEffect fx = e.Key(editkey::kUp, false, true);
  EXPECT_EQ(e.Div(0).fret[1], 2);      // fret 7 on the 6th string = fret 2 on the 5th
  EXPECT_EQ(e.Div(0).strength[1], 6);
  EXPECT_EQ(e.Div(0).mode[1], kModeLigado);
  EXPECT_EQ(e.Div(0).delay[1], 15);
  EXPECT_EQ(e.Div(0).fret[0], 6);      // the 5th string's note came down
  EXPECT_EQ(e.Div(0).strength[0], 3);
  EXPECT_EQ(e.ed.EditString, 1);
  EXPECT_EQ(e.Slot(0).division[0].fret[1], 2);
  EXPECT_TRUE(fx.chordFromDivision);  // Alt held: the division goes to the chord grid
  EXPECT_EQ(GridRow(e.chords, 5)[kColFret], "2");

  Editor low;
  SetNote(low.Div(0), 0, 3, 6);
  low.Open(0, 0);
  low.Key(editkey::kUp, false, true);
  EXPECT_EQ(low.Div(0).fret[0], 3);  // fret 3 is below the 5th string: refused
  EXPECT_EQ(low.ed.EditString, 0);
  EXPECT_FALSE(low.g.Modified);

  Editor third;  // 3rd string (index 3) to the 2nd: interval 4
  SetNote(third.Div(0), 3, 5, 6);
  third.Open(0, 3);
  third.Key(editkey::kUp, false, true);
  EXPECT_EQ(third.Div(0).fret[4], 1);
  // Past the outer string: nothing; other keys with Alt: nothing.
  third.Open(0, 5);
  third.Key(editkey::kUp, false, true);
  third.Key('5', false, true);
  EXPECT_EQ(third.ed.EditString, 5);
  EXPECT_EQ(third.Div(0).strength[5], 0);
}

TEST(TabEditor, RepeatCopiesTheDivisionOnward) {
  Editor e;
  SetNote(e.Div(3), 2, 9, 5);
  e.Open(3, 2);
  e.g.Modified = false;
  const EditEffect fx = e.Key('R');  // the last division: on to the next beat
  EXPECT_TRUE(fx.beatDisplay);
  EXPECT_EQ(e.g.GuitarBeat, 2);
  EXPECT_EQ(e.ed.EditDivision, 0);
  EXPECT_EQ(e.Slot(1).division[0].fret[2], 9);
  EXPECT_TRUE(e.g.Modified);
  e.Key('R');
  EXPECT_EQ(e.Slot(1).division[1].fret[2], 9);
  EXPECT_EQ(e.ed.EditDivision, 1);
  // At the very end of the track it copies into division 0 of the same beat.
  Editor end;
  end.g.GuitarBar = 2;
  end.g.GuitarBeat = 2;
  ReadCursorBeat(end.g);
  SetNote(end.Div(3), 4, 11, 2);
  end.Open(3, 4);
  end.Key('R');
  EXPECT_EQ(end.g.GuitarBeat, 2);
  EXPECT_EQ(end.Slot(3).division[0].fret[4], 11);
}

TEST(TabEditor, AHiddenBoxIsOnlyShownByAKey) {
  Editor e;
  e.ed.boxVisible = false;
  e.Key('5');
  EXPECT_TRUE(e.ed.boxVisible);
  EXPECT_EQ(e.Div(0).strength[0], 0);
  e.Key(editkey::kEscape);
  EXPECT_FALSE(e.ed.boxVisible);
}

TEST(TabEditor, KeysWhilePlayingLeaveTheTrackAlone) {
  Editor e;
  e.Open(0, 0);
  e.playing = true;
  for (int key : {int{'5'}, editkey::kDelete, int{'L'}, int{'R'}, editkey::kKeypad0 + 2, editkey::kRight})
    e.Key(key);
  e.Key(editkey::kUp, true);
  e.Key(editkey::kUp, false, true);
  EXPECT_FALSE(e.g.Modified);
  EXPECT_EQ(e.g.CurrentTiempoG.divisions, 4);
  EXPECT_EQ(e.Div(0).strength[0], 0);
  EXPECT_EQ(e.ed.EditDivision, 0);
  EXPECT_TRUE(e.Key('S', true).saveTrack);
  e.Key(editkey::kEnter);
  EXPECT_FALSE(e.ed.boxVisible);
  EditContext c = e.Ctx();
  EXPECT_FALSE(ClickTablature(c, true, 100, 60, 1.5, 3.2).focusBox);
  EXPECT_FALSE(StepDivisionCount(c, 1).divisionCount);
}

TEST(TabEditor, ClickOpensTheBoxOnTheNoteOrSelectsForThePopup) {
  Editor e;  // 4 divisions, CBTab checked
  SetNote(e.Div(2), 3, 12, 5, kModeNormal, 50);
  EditContext c = e.Ctx();
  // Division 2, left axis 3.4 at y + 8: s = 2, string index 3.
  EditEffect fx = ClickTablature(c, true, 320, 70, 2.7, 3.4);
  EXPECT_TRUE(e.ed.boxVisible);
  EXPECT_EQ(e.ed.EditDivision, 2);
  EXPECT_EQ(e.ed.EditString, 3);
  EXPECT_EQ(e.ed.SelectedDivision, 2);
  EXPECT_EQ(e.ed.boxTop, 32 + 17 * 2);
  EXPECT_EQ(e.ed.boxLeft, 536 * 2 / 4 + 40 + (50 * 536 / 4) / 100);
  EXPECT_EQ(e.ed.hint, "( Parte 3, Cuerda 3)");
  EXPECT_EQ(BoxText(e.g.CurrentTiempoG, e.ed), "12");
  EXPECT_TRUE(fx.focusBox);
  // Unchecked: s counts from the top line down, the box top 117 - 17 s.
  e.chords.tab = false;
  ClickTablature(c, true, 320, 70, 0.2, 3.4);
  EXPECT_EQ(e.ed.EditString, 2);
  EXPECT_EQ(e.ed.boxTop, 117 - 17 * 3);
  e.chords.tab = true;
  // Another button: the popup on the division.
  fx = ClickTablature(c, false, 100, 60, 1.2, 3.0);
  EXPECT_TRUE(fx.popup);
  EXPECT_EQ(e.ed.SelectedDivision, 1);
  EXPECT_FALSE(e.ed.boxVisible);
  // Outside the beat's divisions or strings: the box stays closed, no popup,
  // the selection stays.
  for (double d : {-1.5, 4.0, 30.0}) {
    fx = ClickTablature(c, false, 100, 60, d, 3.0);
    EXPECT_FALSE(fx.popup) << d;
  }
  fx = ClickTablature(c, true, 100, 60, 1.0, 7.5);
  EXPECT_FALSE(e.ed.boxVisible);
  EXPECT_EQ(e.ed.SelectedDivision, 1);
  // A left click outside the division area only hides the box.
  ClickTablature(c, true, 20, 60, 1.0, 3.0);
  EXPECT_FALSE(e.ed.boxVisible);
}

// --- re-quantising ---------------------------------------------------------------------

struct Note {
  int division;
  int string;
  int delay;
};

TEST(Requantise, NotesKeepTheirPlaceInTheBeat) {
  struct Case {
    const char* name;
    int from, to;
    std::vector<Note> notes;
    std::vector<Note> expected;
  } cases[] = {
      // 25, 50 and 75 per cent of the beat: 3 x 25 = 75 -> 0 r 75, 150 -> 1 r 50, 225 -> 2 r 25.
      {"4 to 3", 4, 3, {{1, 0, 0}, {2, 1, 0}, {3, 2, 0}}, {{0, 0, 75}, {1, 1, 50}, {2, 2, 25}}},
      {"2 to 6", 2, 6, {{1, 0, 0}}, {{3, 0, 0}}},                 // 50 per cent x 6 = 300
      {"3 to 6", 3, 6, {{1, 0, 0}}, {{1, 0, 98}}},                // 33 per cent x 6 = 198
      {"2 to 1", 2, 1, {{0, 0, 0}, {1, 1, 0}}, {{0, 0, 0}, {0, 1, 50}}},
      {"a late note", 1, 24, {{0, 0, 99}}, {{23, 0, 76}}},        // 99 x 24 = 2376
      {"a stored delay past 99", 1, 24, {{0, 0, 250}}, {{23, 0, 76}}},
      {"1 to 24 and back", 24, 1, {{23, 0, 0}}, {{0, 0, 95}}},    // 2300 / 24 = 95
  };
  for (const Case& k : cases) {
    TiempoG beat = EmptyTiempoG();
    beat.divisions = static_cast<uint8_t>(k.from);
    for (const Note& n : k.notes) SetNote(beat.division[n.division], n.string, 3 + n.string, 5, kModeLigado, n.delay);
    const std::optional<TiempoG> out = RequantiseBeat(beat, k.to);
    ASSERT_TRUE(out.has_value()) << k.name;
    EXPECT_EQ(out->divisions, k.to) << k.name;
    int notes = 0;
    for (int d = 0; d < kMaxDivisions; ++d)
      for (int s = 0; s < 6; ++s) notes += out->division[d].strength[s] != 0;
    EXPECT_EQ(notes, static_cast<int>(k.expected.size())) << k.name;
    for (const Note& n : k.expected) {
      const DivisionG& d = out->division[n.division];
      EXPECT_EQ(d.strength[n.string], 5) << k.name;
      EXPECT_EQ(d.fret[n.string], 3 + n.string) << k.name;
      EXPECT_EQ(d.mode[n.string], kModeLigado) << k.name;
      EXPECT_EQ(d.delay[n.string], n.delay) << k.name;
    }
  }
}

TEST(Requantise, CollisionsAndBadCountsAreRefused) {
  TiempoG beat = EmptyTiempoG();
  beat.divisions = 2;
  SetNote(beat.division[0], 2, 1, 5);
  SetNote(beat.division[1], 2, 2, 5);
  EXPECT_FALSE(RequantiseBeat(beat, 1).has_value());
  EXPECT_FALSE(RequantiseBeat(beat, 0).has_value());
  EXPECT_FALSE(RequantiseBeat(beat, 25).has_value());

  Editor e;
  e.g.CurrentTiempoG = beat;
  StoreCurrentBeat(e.g);
  e.Open(1, 2);
  const EditEffect fx = e.Key(editkey::kKeypad0 + 1);
  EXPECT_FALSE(fx.drawBeatView);
  EXPECT_FALSE(e.ed.boxVisible);
  EXPECT_EQ(e.g.CurrentTiempoG.divisions, 2);
  EXPECT_EQ(e.Div(1).fret[2], 2);
  EXPECT_FALSE(e.g.Modified);
}

TEST(Requantise, KeypadAndButtonsChangeTheCount) {
  Editor e;  // 4 divisions
  e.Open(0, 0);
  e.Key(editkey::kKeypad0 + 4);  // the same count: written back, not marked
  EXPECT_FALSE(e.g.Modified);
  EXPECT_EQ(e.g.CurrentTiempoG.divisions, 4);
  e.ed.boxVisible = true;
  const EditEffect fx = e.Key(editkey::kKeypad0);
  EXPECT_TRUE(fx.divisionCount);
  EXPECT_EQ(e.g.CurrentTiempoG.divisions, 10);
  EXPECT_EQ(e.Slot(0).divisions, 10);
  EXPECT_TRUE(e.g.Modified);
  EditContext c = e.Ctx();
  StepDivisionCount(c, -1);
  EXPECT_EQ(e.Slot(0).divisions, 9);
  e.g.CurrentTiempoG.divisions = 24;
  EXPECT_FALSE(StepDivisionCount(c, 1).divisionCount);
  e.g.CurrentTiempoG.divisions = 1;
  EXPECT_FALSE(StepDivisionCount(c, -1).divisionCount);
}

TEST(Requantise, TheBoxNeverEditsPastTheNewCount) {
  Editor e;
  e.g.CurrentTiempoG.divisions = 6;
  e.Open(5, 0);
  e.Key(editkey::kKeypad0 + 2);
  e.Key('9');  // shows the box again, over a division the beat has
  EXPECT_EQ(e.ed.EditDivision, 1);
  EXPECT_EQ(e.ed.boxLeft, 40 + 536 / 2);
  e.Key('9');
  EXPECT_EQ(e.ed.EditDivision, 1);
  EXPECT_EQ(e.Div(1).fret[0], 9);
  EXPECT_EQ(e.Div(5).strength[0], 0);
}

TEST(TabEditor, WindowKeysMapToVirtualKeys) {
  struct Case {
    int qt;
    bool keypad;
    int vk;
  } cases[] = {
      {Qt::Key_5, false, '5'},          {Qt::Key_5, true, editkey::kKeypad0 + 5},
      {Qt::Key_0, true, editkey::kKeypad0}, {Qt::Key_R, false, 'R'},
      {Qt::Key_Control, false, 17},     {Qt::Key_Left, false, 37},
      {Qt::Key_Down, true, 40},         {Qt::Key_Enter, true, 13},
      {Qt::Key_Return, false, 13},      {Qt::Key_Escape, false, 27},
      {Qt::Key_Backspace, false, 8},    {Qt::Key_Delete, false, 46},
      {Qt::Key_F5, false, 0},           {Qt::Key_Plus, true, 0},
  };
  for (const Case& k : cases) EXPECT_EQ(EditVirtualKey(k.qt, k.keypad), k.vk) << k.qt;
}

TEST(ChordTransfer, AHiddenBoxMeansTheFirstDivision) {
  TabEditor ed;
  ed.EditDivision = 3;
  ed.boxVisible = true;
  PrepareChordTransfer(ed);
  EXPECT_EQ(ed.SelectedDivision, 3);
  ed.boxVisible = false;
  PrepareChordTransfer(ed);
  EXPECT_EQ(ed.SelectedDivision, 0);
  EXPECT_EQ(ed.EditDivision, 0);
}

}  // namespace
