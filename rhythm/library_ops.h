// Whole-record operations of the formula and theme library: the track and
// beat clipboards, deletion and sorting with the themes' entries remapped,
// the search by name prefix and the import of a theme from another set.
// The counts in use are passed in (the grids' row counts are authoritative)
// or read from RhythmTables where the operation says so.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "rhythm/records.h"

// Entries stored in a theme record, bounded by its slots.
int StoredEntries(const Tema& t);

// --- tracks and beats of a formula ---
// Track `track` of formula `formula` (whose beat count is `beats`) takes, for
// every beat below both beat counts, the cell and stroke count of track
// `fromTrack` of formula `fromFormula` (of `fromBeats` beats); its other
// beats are cleared. Its sound is kept. Invalid positions change nothing.
void PasteTrack(RhythmTables& t, int fromFormula, int fromTrack, int fromBeats, int formula, int beats,
                int track);
void ClearTrack(Formula& f, int track);
// Beat `beat` of formula `formula` takes the 16 cells and 8 stroke-count
// bytes of beat `fromBeat` of formula `fromFormula`. A beat outside 0..11
// changes nothing.
void PasteBeat(RhythmTables& t, int fromFormula, int fromBeat, int formula, int beat);
void ClearBeat(Formula& f, int beat);
// Exchanges two tracks: sounds, cells and stroke counts of every beat.
void SwapTracks(Formula& f, int a, int b);

// --- deletion ---
// True when an entry of a theme below temaCount names the formula.
bool FormulaUsedByAnyTheme(const RhythmTables& t, int formula, int temaCount);
// Formulas after i move down one place; in the themes below temaCount every
// entry naming a formula above i is decremented. The vacated last slot keeps
// its bytes.
void DeleteFormula(RhythmTables& t, int i, int formulaCount, int temaCount);
// Themes after i move down one place; the last slot keeps its bytes.
void DeleteTema(RhythmTables& t, int i, int temaCount);
// True when a theme below temaCount other than i has the same record name
// (its guitar track then lives in the same file).
bool TemaNameSharedByAnother(const RhythmTables& t, int i, int temaCount);

// --- sorting ---
// The order of a stable sort of names cut at `width` characters, compared
// without regard to case in the user's locale: element l is the old index
// of the name that goes to position l.
std::vector<int> StableOrderByName(const std::vector<std::string>& latin1Names, int width);
// Formulas take the order (old index per new position) through the scratch
// copy ImportFormulas; every entry of the themes below temaCount is remapped
// so that it still names the same pattern.
void ApplyFormulaOrder(RhythmTables& t, const std::vector<int>& order, int temaCount);
// Themes take the order through the scratch copy ImportTemas.
void ApplyTemaOrder(RhythmTables& t, const std::vector<int>& order);
// The new position of old index `old` in an order; -1 when absent.
int NewPositionOf(const std::vector<int>& order, int old);

// --- search ---
// The first index, from `selected` to the end and then from 0 to
// selected - 1, whose name's first characters equal `prefix` ignoring case;
// -1 when none does. An empty prefix matches `selected`.
int FindByPrefix(const std::vector<QString>& names, int selected, const QString& prefix);

// --- theme import from another set ---
// A formula of the other set equals one of the open set when their first
// 882 bytes (pattern, stroke counts, header, sounds, first name letter) and
// their accent words are equal.
bool FormulasEqualForImport(const Formula& a, const Formula& b);
// How an import tells a formula it may reuse (the basic edition compares
// the older records' bytes).
using FormulaEquality = bool (*)(const Formula& a, const Formula& b);

struct OtherSetLoad {
  int temaCount = 1;
  bool formulasFound = false;
  bool temasFound = false;
};
// Fills ImportFormulas and ImportTemas with zeros and reads the other set's
// formulas.svs and temas.svs from `folder` (at most 512 and 128 records).
OtherSetLoad LoadOtherSet(RhythmTables& t, const std::string& folder);

struct ImportOutcome {
  enum Status { kDone, kNoSuchTheme, kNoThemeRoom, kNoFormulaRoom, kTooManyEntries };
  Status status = kNoSuchTheme;
  int tema = -1;                    // index of the new theme
  std::vector<int> addedFormulas;   // indexes appended, in order
};
// Appends theme a of ImportTemas after the TemaCount themes, reusing every
// formula the open set already holds in equal form (among its FormulaCount
// formulas, those appended by this import included) and appending the
// others. Refuses, changing nothing, when a table would overflow or the
// theme has more entries than a theme holds. Updates TemaCount and
// FormulaCount.
ImportOutcome ImportThemeFromOtherSet(RhythmTables& t, int a, FormulaEquality equal = FormulasEqualForImport);

// datos/<set>/<theme>.gtr; false when the theme name cannot be a file name
// inside the set's folder.
bool GuitarTrackPathOf(const std::string& setName, const std::string& themeName, std::string* path);
