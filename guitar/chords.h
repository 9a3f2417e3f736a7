// The chord panel without its window: the chord grid SGAcordes as rows of
// cell texts, the chord it stands for (ChordBuffer), the finger marks on the
// fretboard, the fretboard's click and hint, the whole-chord controls (strum
// delay, strength, mirror), the .aco chord files and the filling of marked
// beats with the chord. The window copies the cells to and from its grid and
// moves its widgets where these functions say.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "guitar/guitar_records.h"
#include "guitar/notes.h"
#include "guitar/track.h"

// --- mode captions -----------------------------------------------------------
constexpr int kModeCount = 4;
// The items of CBModo in the interface's language.
const std::array<std::string, kModeCount>& ModeCaptions(bool english);
// Item `mode` of CBModo; empty for a mode outside 0..3.
std::string ModeCaption(int mode, bool english);
// Position of a text among the items of CBModo; -1 when it is none of them.
int ModeOfCaption(const std::string& text, bool english);

// A number typed in a cell: leading blanks, an optional sign and the leading
// digits; text without digits counts 0. Kept within +-1000000.
int CellNumber(const std::string& text);

// --- the grid -----------------------------------------------------------------
enum ChordColumn { kColNote = 0, kColString = 1, kColFret = 2, kColStrength = 3, kColMode = 4, kColDelay = 5 };
constexpr int kChordColumns = 6;
constexpr int kChordRows = 6;      // rows 1..6 of the grid (row 0 is the header)
constexpr int kMaxChordFret = 20;  // frets the grid takes, counted from the capo
constexpr int kMaxDelay = 99;      // delays are percent of a division: 0..99

using ChordRow = std::array<std::string, kChordColumns>;

// A finger mark NotaC6..NotaC1: where it sits on the panel and what it shows.
struct FingerMark {
  int top = 0;
  int left = 0;
  std::string text;
};

struct ChordState {
  std::array<ChordRow, kChordRows> rows;  // rows[r - 1] is grid row r
  DivisionG ChordBuffer{};                // index 0 = 6th string
  std::array<FingerMark, kGuitarStrings> StringNoteLabels;  // element 0 = string 6
  bool tab = true;     // CBTab: row r holds string r; unchecked string 7 - r
  bool english = false;
  int TBRetardo = 5;   // strum delay step, 0..16
  int TBFuerza = 5;    // strength of the whole chord, 1..7
};

ChordRow& GridRow(ChordState& c, int row);  // row 1..6
// The string a grid row holds, and the row holding a string (1..6 both ways).
int StringOfRow(bool tab, int row);
int RowOfString(bool tab, int stringNumber);

// Takes grid row 1..6 into ChordBuffer (TMainForm::SGAcordesCambiaCell):
// the fret (an empty fret cell keeps the chord's fret), strength 0..7,
// mode (-1 for an unknown caption) and delay 0..99 of the row's string, then
// writes the note name and string cells and moves the string's finger mark.
// A row whose fret is outside 0..20 only has its note cell emptied and
// returns false; so does a row outside 1..6.
bool TakeChordRow(ChordState& c, int row, const GuitarTuning& tuning, int capo);
// Every row in turn (after the capo or the language changed).
void TakeAllChordRows(ChordState& c, const GuitarTuning& tuning, int capo);
// The language switch: c.english := english, and every mode cell holding a
// caption of the other language shows the same mode in the new one (so the
// chord keeps its modes).
void SetChordLanguage(ChordState& c, bool english, const GuitarTuning& tuning, int capo);
// Reverses the rows when CBTab changes.
void SetChordTab(ChordState& c, bool tab);

// The mode chooser CBModo over a cell: shown with this top over a cell of the
// mode column of rows 1..6, hidden (none) over any other cell.
std::optional<int> ModeChooserTop(int column, int row);
// CBModoChange: item `item` (the first when it is none) becomes the row's
// mode text and the row is taken into the chord.
void ChooseChordMode(ChordState& c, int row, int item, const GuitarTuning& tuning, int capo);

// The finger mark of a note played on string index i (0 = 6th string) at
// fret `fret` while the track plays: on its string at fret + capo, showing
// a blank and the note's name.
FingerMark PlayedNoteMark(int stringIndex, int fret, int capo, const GuitarTuning& tuning);

// --- the fretboard --------------------------------------------------------------
constexpr int kFretboardLeft = 180;   // FretPositions count from this x
constexpr int kBeyondFrets = 21;      // the fret value of the area left of fret 19
constexpr int kLastFretMark = 19;
constexpr int kStringSpacing = 12;
constexpr int kFretboardStrings = 72; // the strings' band, y 0..71
// FretPosition (guitar/notes.h) gives the x of a fret from x = 180; the
// fretboard here reaches fret 19.
// The fret under x: the smallest f in 0..19 at or right of its position, 21
// left of fret 19.
int FretAtX(int x);
// The string 1..6 under y, 0 outside the strings' band.
int StringAtY(int y);

// What a click on the fretboard asks the window to do besides redrawing the
// row: play string `stringNumber` `semitones` (fret + Capo) above its open
// note.
struct FretboardClick {
  bool changed = false;  // a row was changed
  int row = 0;
  bool play = false;
  int stringNumber = 0;
  int semitones = 0;
};
// MGuitarraMouseDown: nothing while anything plays or outside the strings.
FretboardClick ClickFretboard(ChordState& c, int x, int y, bool leftButton, int capo, bool playing,
                              const GuitarTuning& tuning);
// MGuitarraMouseMove: "C<string> T<fret - capo>"; empty outside the strings.
std::string FretboardHint(int x, int y, int capo);

// --- whole-chord controls ---------------------------------------------------------
// TBRetardoChange: the sounding rows and those between them get delays
// position apart, rising in the direction the strum runs.
void SetStrumDelay(ChordState& c, int position, const GuitarTuning& tuning, int capo);
// TBFuerzaChange: every sounding row gets the strength `position`.
void SetChordStrength(ChordState& c, int position, const GuitarTuning& tuning, int capo);
// BInvertirClick: mirrors the delays between the earliest and the latest
// sounding rows.
void MirrorStrum(ChordState& c, const GuitarTuning& tuning, int capo);

// --- chord files ------------------------------------------------------------------
inline const std::string kChordFolder = "Acordes";
inline const std::string kChordExtension = ".aco";
constexpr int kChordFileLines = 4 * kGuitarStrings;
// Files larger than this are no chord files; only their start is read.
constexpr size_t kMaxChordFileBytes = 64 * 1024;

// One string of a chord file, in the numbers the file stores.
struct ChordFileString {
  int fret = 0;          // for a standard-tuned guitar
  std::string strength;  // the strength cell's text
  int mode = 0;          // 0..3
  std::string delay;     // the delay cell's text
};
// The 24 lines of a chord, strings 6..1 (element 0 = string 6): fret, strength,
// mode number, delay. Line breaks inside a text are dropped.
std::vector<std::string> ChordFileLines(const std::array<ChordFileString, kGuitarStrings>& strings);
// The file's strings as the grid shows them: the fret cell (0 when empty)
// plus the bank's tuning offset, and the mode cell's caption (in either
// language) or number as a mode number, 0 when it is neither.
std::array<ChordFileString, kGuitarStrings> ChordFileStrings(const ChordState& c, const GuitarTuning& tuning);
// The bytes of a chord file (CR LF line ends).
std::vector<uint8_t> ChordFileBytes(const std::array<ChordFileString, kGuitarStrings>& strings);

// BGuardaAcordeClick after the dialog: writes the grid's chord to `path`,
// ".aco" appended when the name does not end with it (any case). The written
// path in *written.
bool SaveChordFile(const ChordState& c, const GuitarTuning& tuning, const std::string& path, std::string* written,
                   std::string* error);
// Puts the lines of a chord file into the grid, row by row through
// TakeChordRow: the fret less the bank's tuning offset, the mode line as a
// number 0..3 or a caption in either language (anything else leaves the mode
// cell empty), strength and delay as text. A file of fewer lines fills the
// cells it has lines for.
void LoadChordLines(ChordState& c, const std::vector<std::string>& lines, const GuitarTuning& tuning, int capo);
// CBAcordesSelect: reads folder/Acordes/<name>.aco into the grid; false
// (nothing changed) when the name is empty or the file cannot be read.
bool LoadChordFile(ChordState& c, const std::string& folder, const std::string& name, const GuitarTuning& tuning,
                   int capo);
// The path of a chord of the list (names are Latin-1, paths in the file
// system's encoding).
std::string ChordFilePath(const std::string& folder, const std::string& name);
// CBAcordesCambia: the names of the files folder/Acordes/*.aco (files only,
// the extension in any case) without their last four characters, sorted
// without regard to case.
std::vector<std::string> ListChords(const std::string& folder);

// --- chord and tablature ---------------------------------------------------------
// RellenaAcordeClick: in the MarkedBeats beats from the cursor on (those the
// track holds), every note of a string the chord plays takes the chord's fret,
// every note of another string falls silent. CurrentTiempoG is read back and
// the track marked modified. False, changing nothing, when nothing is marked
// or the cursor is outside the bar table.
bool FillWithChord(GuitarState& g, const DivisionG& chord);
