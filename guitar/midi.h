// Importing a Standard MIDI File into the guitar track of a theme.
//
// Every beat of the file becomes one guitar beat; every note-on between A1
// and A#5 (MIDI 33..82) goes to the string and fret its note label names for
// the current tuning; its position in the beat chooses the beat's division
// count (1..24) and its delay inside its division; its velocity gives its
// strength. When the track is longer than the theme, the theme's repetitions
// are raised until its bars cover it; the file's tempo changes go into the
// tempos of the theme's entries. The reader writes a line-by-line log of the
// file (midireport.txt).
//
// What one guitar beat is in note values (the beat unit) comes from the
// file's time signature, or is forced from the import button's menu: the unit
// is high byte a, low byte b, one beat being a/b quarter notes. A forced
// unit re-imports the last file over the theme as it was before the first
// import of that file.
//
// Everything here works on explicit state; the window asks for the file,
// shows the unit menu and redraws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "guitar/guitar_records.h"
#include "guitar/notes.h"
#include "guitar/track.h"
#include "rhythm/records.h"

// --- beat units ---------------------------------------------------------------
constexpr uint16_t kMidiUnitFromFile = 0;
constexpr uint16_t kMidiUnitHalf = 0x0201;           // "Blanca"
constexpr uint16_t kMidiUnitDottedQuarter = 0x0302;  // "Negra con puntillo"
constexpr uint16_t kMidiUnitQuarter = 0x0101;        // "Negra"
constexpr uint16_t kMidiUnitDottedEighth = 0x0304;   // "Corchea con puntillo"
constexpr uint16_t kMidiUnitEighth = 0x0102;         // "Corchea"

// Ticks of one beat for a unit: ticks per quarter x a / b (integer), at
// least 1. A unit of 0, or one whose b is 0, gives the quarter.
int64_t TicksPerBeatForUnit(int ticksPerQuarter, uint16_t unit);

// --- limits ---------------------------------------------------------------------
constexpr int kMidiFirstNote = 33;          // the lowest note taken (A1)
constexpr int kMidiLastNote = 82;           // the highest note taken (A#5)
constexpr int kMidiHeaderSearch = 100;      // "MThd" is looked for at offsets 0..100
constexpr size_t kMaxPendingNotes = 64;     // notes kept for one beat
constexpr size_t kMaxTempoChanges = 256;    // tempo changes kept per import
constexpr int kMinThemeTempo = 20;          // a theme entry's tempo range
constexpr int kMaxThemeTempo = 400;
constexpr int kMaxGuitarBars = 1024;        // bars the theme may grow to
constexpr size_t kMaxMidiTrackBeats = 16384;       // beats one track may give
constexpr size_t kMaxMidiImportBeats = 4 * 16384;  // beats all tracks of one file may give
constexpr size_t kMaxMidiLogLines = 200000;        // lines of the log
constexpr size_t kMaxMidiFileBytes = 16u << 20;    // the largest file read

// --- results --------------------------------------------------------------------
struct MidiTempoChange {
  uint16_t bpm = 0;   // 60000000 / microseconds per quarter, held in 20..400
  uint32_t beat = 0;  // whole beats before the change
};

// Why nothing was imported.
enum class MidiFailure {
  None,
  NoHeader,        // no "MThd" in the first 101 bytes
  HeaderCut,       // the header chunk runs past the end
  ZeroDivision,    // 0 ticks per quarter note
  SmpteDivision,   // a time division in SMPTE frames
  HeaderLength,    // the header's length does not fit the file
  LengthPastEnd,   // a track's length runs past the end and no track could be taken
  NoTrack,         // no track with notes and a whole bar of beats
  LongSilence,     // more than kMaxMidiSilenceBeats beats without a note before a note
};

// The longest silence before a note the import accepts, in beats.
constexpr int64_t kMaxMidiSilenceBeats = 64;

struct MidiImportResult {
  MidiFailure failure = MidiFailure::None;
  int64_t silenceBeats = 0;  // LongSilence: the silence, and the beat (1-based) of the note after it
  int64_t silenceAt = 0;
  int takenTrack = 0;        // 1-based track taken (taken)
  std::string choiceEs;      // which track was taken and why, in both languages
  std::string choiceEn;
  int64_t trailingCut = 0;   // beats of silence cut after the last note
  bool headerFound = false;  // "MThd" with a usable time division
  bool taken = false;        // a track with notes and at least one bar was taken
  uint16_t beatUnit = 0;     // the unit in force after the import (the one found, or the one forced)
  // When taken: the theme with its repetitions raised and its entry tempos
  // set, its bar table, and the track padded with empty beats to the theme's
  // length (beats the theme cannot cover stay after its end).
  Tema theme{};
  std::vector<uint32_t> bars;
  std::vector<TiempoG> track;
  int repetitionsAdded = 0;
  int paddingBeats = 0;
  std::vector<MidiTempoChange> tempoChanges;  // in the order read
  std::vector<std::string> log;               // Latin-1 lines of midireport.txt
};

// Reads a Standard MIDI File from data[0 .. size) into a guitar track for
// `theme` (formulas: the formula table its entries index) with the tuning's
// note labels. `beatUnit` is the forced unit, 0 to take it from the file.
// Never reads outside the data. `theme` itself is not changed.
MidiImportResult ImportMidi(const uint8_t* data, size_t size, const Tema& theme, const Formula* formulas,
                            const GuitarTuning& tuning, uint16_t beatUnit);

// "No se ha importado nada: ..." / "Nothing was imported: ..." with the
// reason; empty when a track was taken.
std::string MidiFailureText(const MidiImportResult& r, bool english);

// --- pieces of the import, exposed for their own tests ----------------------------
// The string (1..6) and fret of MIDI note `note` by its label in the tuning's
// note table: the string digit at label character 2, the fret digits at 4.
// False when the label names no string, a fret below the open string, or a
// place that does not sound the note in this tuning.
bool MidiNotePlace(const GuitarTuning& tuning, int note, int* string, int* fret);
// The note itself when it has a place, else the first octave above it that
// has one; -1 when none has.
int PlayableMidiNote(const GuitarTuning& tuning, int note);

struct MidiPendingNote {
  int note = 0;       // a note with a place (PlayableMidiNote)
  int velocity = 0;   // 1..127
  int64_t tick = 0;   // ticks after the start of the beat
};
// One beat from its notes in the order they came: the division count starts
// at 1 and is raised (up to 24) whenever a note would fall on a string that
// already sounds in its division too close in fret and not in time; a note
// on a sounding string otherwise pushes the notes there one string lower.
// Within each division, lower strings end up with the lower pitches.
TiempoG BuildMidiBeat(const std::vector<MidiPendingNote>& notes, int64_t ticksPerBeat, const GuitarTuning& tuning);
// Strength 1..7 of a velocity: velocity x 7 / 127, at least 1.
int MidiStrength(int velocity);

// Raises the repetitions of the theme's entries in turn, from the first,
// until the theme has at least `beats` beats (or no entry can grow: at 255
// repetitions, without beats, or at 1024 bars). Returns the repetitions added.
int ExtendThemeToBeats(Tema& theme, const Formula* formulas, size_t beats);
// Writes the tempo changes into the tempos of the entries where each change
// falls, from the start of the first entry at or after its beat; changes past
// the last entry are dropped.
void AssignMidiTempos(Tema& theme, const Formula* formulas, const std::vector<MidiTempoChange>& changes);

// --- the import button's flow --------------------------------------------------------
struct MidiImportSession {
  uint16_t MidiBeatUnit = kMidiUnitFromFile;  // the unit of the next import, 0 = from the file
  Tema ThemeBackup{};                         // the theme before the last fresh import
  int BackupTema = -1;                        // the theme the backup belongs to, -1 = none
  std::string FilePath;                       // the file of the last import
};

// The guitar panel was opened or closed: the next press starts afresh.
void ResetMidiBeatUnit(MidiImportSession& s);

enum class MidiImportStart {
  ChooseFile,  // a fresh import: the theme was backed up; ask for a file
  Reimport,    // the last file again over the backup: offer the unit menu first
};
// The import button was pressed on theme `tema`. With a unit forced, a
// backup of this same theme and a file from before, it is a re-import;
// otherwise the theme is backed up for a fresh one. Nothing else changes.
MidiImportStart BeginMidiImport(MidiImportSession& s, const Tema& theme, int tema);
// True when the file must be asked for: no unit forced (the menu's "Abrir
// nuevo MIDI"), or no file yet.
bool MidiNeedsFileDialog(const MidiImportSession& s);

// Reads a MIDI file whole (at most kMaxMidiFileBytes); false with *error
// when it cannot be read or is larger.
bool LoadMidiFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);

// Imports `bytes` for theme `tema` over the session's backup of it with the
// session's unit. When a track is taken, the theme gets its new repetitions
// and tempos, the guitar state gets the track, the bar table, the cursor on
// beat 1 of bar 1 with CurrentTiempoG read from it, and the modified mark.
// Otherwise nothing changes, not even the session's unit. The session
// keeps the unit found in the file.
MidiImportResult RunMidiImport(MidiImportSession& s, RhythmTables& tables, int tema, GuitarState& g,
                               const GuitarTuning& tuning, const std::vector<uint8_t>& bytes);

// The import's log, "midireport.txt" in the working folder, replacing any
// earlier one (lines ended by CR LF).
std::string MidiReportPath(const std::string& workingFolder);
bool WriteMidiReport(const std::string& workingFolder, const std::vector<std::string>& log, std::string* error);
// The folder the file dialog opens in: "MIDI" in the working folder.
std::string MidiFolder(const std::string& workingFolder);
