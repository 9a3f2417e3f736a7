// The guitar track of the open theme: its beats, its bar table, the cursor
// and the working copy of the beat at the cursor, with the operations on
// whole beats and bars. Plain state and functions over it; the window
// gathers its widgets, calls these and redraws.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "guitar/guitar_records.h"
#include "rhythm/records.h"

// The beat last copied: its numbers (shown in the menu captions, 0 before
// the first copy) and where it lies in the track. The offset is kept, not
// the beat: pasting takes what the track holds there at that time.
struct BeatClipboardG {
  bool filled = false;
  int beat = 0;
  int bar = 0;
  uint32_t offset = 0;
};
// The bar last copied: its number and the offset of its first beat.
struct BarClipboardG {
  bool filled = false;
  int bar = 0;
  uint32_t offset = 0;
};

struct GuitarState {
  // The open theme's beats, slot s at byte offset 1444 s. It may be longer
  // than the theme: the slots past the bar table's end are kept and saved.
  std::vector<TiempoG> GuitarTrack;
  // TablaDeCompases: entry b is the byte offset of bar b + 1, the last entry
  // the end of the last bar. Empty while the panel is closed.
  std::vector<uint32_t> GuitarBars;
  // The cursor, all 1-based.
  int GuitarBar = 1;
  int GuitarBeat = 1;
  int GuitarBeatsInBar = 0;
  int GuitarBarCount = 0;
  // The working copy of the beat at the cursor.
  TiempoG CurrentTiempoG = EmptyTiempoG();
  // Unsaved changes (the save button shown).
  bool Modified = false;
  // The file of the open theme and whether it existed when the panel opened.
  std::string GuitarTrackPath;  // empty when the theme's name cannot be a file name
  bool FileFound = false;

  BeatClipboardG BeatClipboard;
  BarClipboardG BarClipboard;
  int MarkedBeats = 0;           // beats marked from the cursor on, 0 = none
  int Capo = 0;                  // semitones added to every fret played, 0..12
  int GuitarThemeClipboard = 0;  // theme-grid row remembered by "Copiar Guitarra", 0 = none
};

// --- the track and the bar table --------------------------------------------
inline uint32_t TrackBytes(const GuitarState& g) { return static_cast<uint32_t>(g.GuitarTrack.size()) * kBeatBytes; }
// Bars of the table (0 while it is not built).
int BarsInTable(const GuitarState& g);
// Beats of bar `bar` (1-based); 0 for a bar outside the table.
int BeatsInBar(const GuitarState& g, int bar);
// Byte offset of the first beat of bar `bar` (1-based); none outside the table.
std::optional<uint32_t> BarOffset(const GuitarState& g, int bar);
// Byte offset of beat `beat` of bar `bar`; none when either is outside the
// table or the bar.
std::optional<uint32_t> BeatOffset(const GuitarState& g, int bar, int beat);
// The cursor's offset, GuitarBars[GuitarBar - 1] + (GuitarBeat - 1) x 1444.
std::optional<uint32_t> CursorOffset(const GuitarState& g);
// The slot at a byte offset; null when the offset is not the start of a slot
// of the track.
const TiempoG* SlotAt(const GuitarState& g, uint32_t offset);
// The beat at a byte offset, read as an empty beat when the track holds
// none there.
TiempoG BeatAt(const GuitarState& g, uint32_t offset);
// Writes a beat at a byte offset (a slot start), extending the track with
// empty beats up to it when it lies past the end. False (nothing written)
// for an offset that is no slot start or past the largest track.
bool WriteBeatAt(GuitarState& g, uint32_t offset, const TiempoG& beat);

// CurrentTiempoG := the slot at the cursor (an empty beat when the cursor is
// outside the table or the track).
void ReadCursorBeat(GuitarState& g);
// Writes CurrentTiempoG back into the slot at the cursor; false when the
// cursor is outside the table.
bool StoreCurrentBeat(GuitarState& g);

// --- opening and closing -----------------------------------------------------
// Every '/' among the 32 bytes of the theme's name becomes a blank.
void BlankSlashesInName(Tema& t);
// Blanks the slashes of the theme's name and sets GuitarTrackPath to the
// theme's file in the set's folder (empty when the name cannot be a file
// name there).
void SetGuitarTrackPath(GuitarState& g, Tema& t, const std::string& dataSetName);

// Opens the guitar track of theme `tema` of the tables: the path as above,
// not modified, the bar table built from the theme, the cursor on beat 1 of
// bar 1. When the theme's file exists its beats are read (both layouts)
// and the track is padded up to the end of the bar table with copies of the
// last beat read (see ParseBeatRecords); beats past the end are kept.
// Otherwise the track is one empty beat per beat of the theme.
// CurrentTiempoG holds the cursor's slot. Returns FileFound.
bool OpenGuitarTrack(GuitarState& g, RhythmTables& tables, int tema, const std::string& dataSetName);
// The part of closing the panel that is no window's: the theme's path is
// set again as above (the caller passes the theme the track belongs to);
// returns true when there are unsaved changes to offer to save.
bool PrepareGuitarClose(GuitarState& g, Tema& t, const std::string& dataSetName);
// Frees the bar table; the track keeps its beats.
void ReleaseGuitarBars(GuitarState& g);

// Writes the whole track (slots past the bar table included) to
// GuitarTrackPath and clears the modified mark. On failure nothing is
// cleared and *error tells why.
bool SaveGuitarTrack(GuitarState& g, std::string* error);

// --- beats and bars ----------------------------------------------------------
// Each acts at the cursor and returns false, changing nothing, when the
// cursor is outside the bar table (or the track could not grow). On success
// it ends with CurrentTiempoG read from the cursor's slot and the track
// marked modified. The bar table never changes: content moves across bars.
bool InsertGuitarBeat(GuitarState& g);  // an empty beat at the cursor, the rest one slot later
bool EmptyGuitarBeat(GuitarState& g);   // the cursor's slot becomes empty
bool DeleteGuitarBeat(GuitarState& g);  // the slot removed, an empty beat appended: same length
bool InsertGuitarBar(GuitarState& g);   // empty beats of the current bar's count at its start
bool EmptyGuitarBar(GuitarState& g);    // the current bar's slots become empty
bool DeleteGuitarBar(GuitarState& g);   // its slots removed, as many empty beats appended
