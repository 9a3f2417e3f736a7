// The beat and bar clipboards of the guitar track, guitar templates (.pgt)
// and the copy of a whole theme's guitar file onto another theme's.
#pragma once

#include <string>

#include "guitar/track.h"
#include "rhythm/records.h"

// --- clipboards --------------------------------------------------------------
// Remembers the cursor's beat; changes nothing else.
bool CopyGuitarBeat(GuitarState& g);
// The remembered beat (as the track holds it now; an empty beat when the
// track no longer reaches it) becomes CurrentTiempoG and is written at the
// cursor. False, changing nothing, before any copy.
bool PasteGuitarBeat(GuitarState& g);
// Remembers the current bar and the offset of its first beat.
bool CopyGuitarBar(GuitarState& g);
// As many beats as the current bar holds, taken from the remembered offset
// (beats the track does not reach read as empty), are written from the
// start of the current bar, extending the track when needed. False before
// any copy.
bool PasteGuitarBar(GuitarState& g);

// --- templates ---------------------------------------------------------------
// Writes the MarkedBeats beats from the cursor on (those past the track's end
// as empty beats) to `path` with ".pgt" appended when it lacks it. The track
// is neither changed nor marked. False with *error when nothing is marked,
// the cursor is outside the table or the file cannot be written.
bool SaveGuitarTemplate(const GuitarState& g, const std::string& path, std::string* error);
// Reads a template and writes its beats one after another from the cursor
// on, extending the track when needed; CurrentTiempoG is read back. The
// modified mark keeps its state. False when the file cannot be read or the
// cursor is outside the table.
bool PasteGuitarTemplate(GuitarState& g, const std::string& path);

// --- a whole theme's track ---------------------------------------------------
// "Copiar Guitarra": remembers the selected theme-grid row (1-based).
void CopyGuitarTheme(GuitarState& g, int row);
enum class GuitarThemePaste { kCopied, kNothingRemembered, kSameTheme, kNoSuchTheme, kNoFile, kFailed };
// "Pegar Guitarra": copies the remembered theme's file (as last saved) onto
// the selected theme's, replacing it. The names are taken as the records
// hold them. Rows are 1-based over the temaCount themes of the tables.
GuitarThemePaste PasteGuitarTheme(const GuitarState& g, const RhythmTables& tables, int temaCount,
                                  const std::string& dataSetName, int selectedRow, std::string* error);
