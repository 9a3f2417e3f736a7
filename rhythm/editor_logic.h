// What the formula, track and theme editors compute, apart from the window:
// cell texts and labels, the rows of the sequence grid, the entry list edits
// and the checks of typed values.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rhythm/records.h"

// --- typed text ---------------------------------------------------------------
// The text read as a decimal integer: blanks around it and a sign allowed;
// text that is no number (or does not fit an int) reads 0.
int ReadDecimal(const std::string& text);

// --- formulas -----------------------------------------------------------------
// Digits of a beat cell: '0' + the code of each stroke below the stroke count
// (at most 8); empty for a count of 0.
std::string StrokeText(const Formula& f, int beat, int track);
// Stores a typed stroke string into (beat, track): digit 1..7 sets the stroke,
// any other character leaves a rest; the count is the length, at most 8.
// Returns the count.
int StoreStrokeText(Formula& f, int beat, int track, const std::string& text);

// --- edition rules ------------------------------------------------------------
// What the editors of the two editions do differently with the same records.
// The defaults are the current records' full limits; the basic edition keeps
// the older records' (fewer tracks, shorter names, fewer sounds, 2-bit
// strokes).
struct EditorRules {
  int tracks = kTracks;   // track rows of the pattern grid
  int formulaName = 16;   // characters a formula name keeps
  int temaName = 32;      // characters a theme name keeps
  // A sound number above it reads as silence and is stored so; 0: none does.
  int soundCapacity = 0;
  // A beat cell's digits, and a typed stroke string stored (as above).
  std::string (*strokeText)(const Formula& f, int beat, int track) = StrokeText;
  int (*storeStrokeText)(Formula& f, int beat, int track, const std::string& text) = StoreStrokeText;
  // Entries carry tempos of their own: the sequence grid's tempo column shows
  // them (blank where the tempo carries on), an entry edit takes one, and
  // selecting an entry plays at its tempo. Without, the column shows the
  // tempo in force on every row and is not typed into, and a selection
  // leaves the tempo as it is.
  bool entryTempos = true;
  int maxTimes = 255;  // repetitions an entry edit takes
};

// A blank name as a bad beat count or a new formula leaves it: its first
// `length` bytes blanks, the others NUL.
void BlankFormulaName(Formula& f, int length);

// What selecting a formula shows of its record, after mending it: a beat
// count of 0 or above 12 becomes 12 beats from the first with a blank name
// (the pattern is kept), and a sound above the rules' capacity becomes
// silence in the record.
struct FormulaView {
  int beats = 12;
  int startBeat = 0;        // 0-based
  std::vector<int> labels;  // header label of beats 1..beats, counting by accents or by beats
  std::vector<std::vector<std::string>> cells;  // [beat][track]: the digits of each beat cell
};
FormulaView ViewFormula(Formula& f, bool byAccents, const EditorRules& rules);

// Label of beat k (1-based) counting by beats from first beat startBeat0 + 1,
// wrapping after 12: first beat 12 gives 12, 1, 2, ...
int BeatLabel(int startBeat0, int k);
// Labels of beats 1..beats counting by accents: 1 until the first accented
// beat, then one more at every accented beat (beat k accented = bit k - 1).
std::vector<int> AccentLabels(uint16_t accents, int beats);
// The new accent word from the accent boxes: bit 15 kept, bit k - 1 for each
// checked box k among the first `beats`; every other bit cleared.
uint16_t AccentsFromBoxes(uint16_t old, const std::array<bool, 12>& checked, int beats);

// Length of one compás in tenths of a second, as the length label shows it:
// trunc(beats x 600 / bpm) mod 600.
int LengthTenths(int beats, float bpm);
// The same from a whole tempo, the product taken first: trunc(beats x 600 /
// bpm) mod 600 (the basic formula tempo slider's label). 11 beats at 55 bpm
// are 120 tenths here and 119 above.
int WholeBpmLengthTenths(int beats, int bpm);
// "Length  6.0 sec" / "Duración  6.0 seg" (UTF-8).
std::string LengthLabel(int beats, float bpm, bool english);

// The first theme (0..temaCount - 1) with an entry (among its first 120) that
// plays formula f; -1 when none does.
int ThemeUsingFormula(const RhythmTables& t, int temaCount, int f);

// Rhythm notation of a beat cell: the glyph string of the notation font for
// the cell's digits (blank, 'l' triplet mark, rests 's' 'w' 'z', notes 'c'
// 'h' 'j', joints 'g' 'n').
std::string NotationGlyphs(const std::string& digits);

// --- themes -------------------------------------------------------------------
// Entries of a theme that the editors and the grid use: at most 120.
int EntriesOf(const Tema& t);

// One row of the sequence grid. Entry rows carry the formula, repetitions
// and acceleration; the end row (and a slot with no repetitions) only the
// bar number and the tempo.
struct SequenceRow {
  bool entry = false;
  int compas = 0;        // column 0: bar at which the row starts
  std::string name;      // column 1: formula name (empty for a formula past the count)
  std::string tempo;     // column 2: tempo in force, empty when equal to the last shown
  int formula = 0;       // column 3: formula number (1-based)
  int times = 0;         // column 4
  int accel = 0;         // column 5
};
struct SequenceFill {
  std::vector<SequenceRow> rows;  // EntriesOf(t) + 1 rows: grid rows 1..
  int compasCount = 1;            // bar number of the end row
};
// The rows of the sequence grid of a theme whose entries name formulas of
// `formulas` (formulaCount of them in use), their names cut at the rules'
// length. Without entry tempos every row shows the tempo in force: the
// theme tempo, then what each entry's accelerations have added by its end.
SequenceFill ComputeSequence(const Tema& t, const Formula* formulas, int formulaCount,
                             const EditorRules& rules = {});

// What selecting a theme reads from its record, after mending it: parts 127
// read 0 and are cleared, intro and ending nibbles above 12 read 0 and are
// rewritten, a gain below 1 becomes 1, an entry count above 120 is cut to 120,
// and the slot after the last entry gets the end mark (times 0).
struct ThemeFields {
  int parts = 0;
  bool inOrder = true;
  int intro = 0;
  int ending = 0;
};
ThemeFields MendThemeOnSelect(Tema& t);

// Entry list edits. Formulas, repetitions and accelerations move together;
// tempos keep their slots.
enum class InsertOutcome { AddedRepetition, InsertedEntry, Full, BadPosition };
// Would inserting formula f before entry e need a new entry (rather than one
// more repetition of entry e)?
bool InsertNeedsNewEntry(const Tema& t, int e, int f);
// Before entry e (e = entry count: after the last): entry e of the same
// formula gets one more repetition (up to 255; a full entry gets a new one
// beside it), otherwise a new entry of 1 repetition and acceleration 0.
// A theme with 120 entries takes no new entry.
InsertOutcome InsertEntryBefore(Tema& t, int e, int f);
enum class RemoveOutcome { Nothing, RepetitionRemoved, EntryRemoved };
// One repetition less of entry e; the last one removes the entry.
RemoveOutcome RemoveEntry(Tema& t, int e);

// Values of an entry row as typed: tempo (0 = keep the tempo in force),
// formula number (1-based), repetitions, acceleration.
struct EntryValues {
  int tempo = 0;
  int formula = 0;
  int times = 0;
  int accel = 0;
};
// True when the values fit their fields: formula 1..formulaCount, 1..255
// repetitions (the rules' most), tempo 0 or 20..400 and not 0 on the first
// entry (without entry tempos the tempo is not looked at), acceleration
// -128..127.
bool EntryValuesFit(const EntryValues& v, int e, int formulaCount, const EditorRules& rules = {});
// Stores them in entry e; the tempo only where entries carry tempos.
void StoreEntryValues(Tema& t, int e, const EntryValues& v, const EditorRules& rules = {});

// Typed parts, intro and ending: nothing for a value below 0; parts of 128 and
// more are 127, intro and ending beats above 12 are 12.
std::optional<int> PartsFromText(const std::string& text);
std::optional<int> BeatsFromText(const std::string& text);

// "Compás   3/ 12" (English "Compass"), with " - 2ª / 3" while parts count.
std::string CompasCounterText(int compas, int compasCount, int themeParts, int partsCounter, bool withParts,
                              bool english);
