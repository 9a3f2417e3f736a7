// The tablature editor without its window: the editor box EdFTraste over one
// note of the beat on display, the keys it takes, the click on the tablature
// that places it, the information label STCtrl, and re-quantising a beat to
// another division count. Every edit lands in CurrentTiempoG and is written
// back to its slot of the track. The window passes the key (a virtual key
// code, as listed below) and the modifiers, then moves and fills its widgets
// from TabEditor and redraws as the returned EditEffect says.
#pragma once

#include <optional>
#include <string>

#include "guitar/chords.h"
#include "guitar/division_clipboard.h"
#include "guitar/guitar_records.h"
#include "guitar/notes.h"
#include "guitar/track.h"

// Virtual key codes the editor box tells apart.
namespace editkey {
constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kControl = 17;
constexpr int kEscape = 27;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kDelete = 46;
constexpr int kDigit0 = 48;   // '0'..'9' of the digit row: 48..57
constexpr int kLetterA = 65;  // 'A'..'Z': 65..90
constexpr int kKeypad0 = 96;  // keypad 0..9: 96..105
}  // namespace editkey

constexpr int kNoteStrength = 4;  // a note typed into an empty place
constexpr int kMaxNoteStrength = 7;
// The division area of the tablature chart and its string rows, in pixels.
constexpr int kChartLeft = 40;
constexpr int kChartWidth = 536;
constexpr int kChartTop = 32;
constexpr int kChartBottom = 133;
constexpr int kChartRowHeight = 17;
constexpr int kStatusBelowBox = 16;

struct TabEditor {
  int EditDivision = 0;  // 0-based division under the box
  int EditString = 0;    // string index under the box, 0 = 6th string
  char FretDigits[3] = {'0', '\0', '\0'};
  int FretDigitPending = 0;  // 1 while a first digit 0 or 1 waits for a second
  int SelectedDivision = 0;  // the division the popup menu's operations act on
  // EdFTraste: shown or hidden, and where it sits on the chart.
  bool boxVisible = false;
  int boxLeft = kChartLeft;
  int boxTop = kChartTop;
  bool ctrlInfoVisible = false;  // STCtrl, shown while Ctrl is held
  std::string hint;              // the chart's hint
};

// What the window does after a key or a click, besides showing the box and
// STCtrl from TabEditor.
struct EditEffect {
  bool drawBeatView = false;
  bool drawBarView = false;
  bool barDisplay = false;         // the cursor moved to another bar: its labels
  bool beatDisplay = false;        // ... to another beat: show and audition it
  bool chordFromDivision = false;  // the chord grid took the division under the box
  bool saveTrack = false;          // ask and save the track (BGuardaGClick)
  bool divisionCount = false;      // LGPartes shows the beat's new count
  bool finish = false;             // refresh the box's text and STCtrl
  bool focusBox = false;
  bool popup = false;              // open PopupMenu7 at the click
};

// Everything an edit reads or changes. CBTab and the language are the chord
// panel's (`chords.tab`, `chords.english`).
struct EditContext {
  GuitarState& g;
  TabEditor& ed;
  ChordState& chords;
  const GuitarTuning& tuning;
  int capo = 0;
  bool playing = false;  // PlayState not 0: the track must not be edited
};

// The beat's division count, 1..24 whatever the record says.
int DivisionCount(const TiempoG& beat);

// --- what the box and STCtrl show ------------------------------------------------
// The fret of the note under the box in decimal, empty when it has no strength.
std::string BoxText(const TiempoG& beat, const TabEditor& ed);
// "F<strength> R<delay>% <mode name>" of the note under the box.
std::string StatusText(const TiempoG& beat, const TabEditor& ed, bool english);
// "( Parte <division + 1>, Cuerda <string number>)".
std::string EditHint(const TabEditor& ed);
// EdFTrastePon: the box over EditDivision (shifted by the note's delay) and
// EditString.
void PlaceBox(const TiempoG& beat, TabEditor& ed, bool tab);

// --- the tablature click -----------------------------------------------------------
// Chart1MouseDown: `divisionAxis` and `stringAxis` are the chart's bottom-axis
// value at x and left-axis value at y + 8. Nothing while playing. A click
// outside the beat's divisions or strings only hides the box. A left click
// in the division area opens the box on the note; any other button selects
// the division and asks for the popup.
EditEffect ClickTablature(EditContext& c, bool leftButton, int x, int y, double divisionAxis, double stringAxis);

// --- keys ------------------------------------------------------------------------------
// EdFTrasteKeyDown. While playing only Ctrl (STCtrl), Ctrl+G / Ctrl+S (save),
// Enter and Esc act: the track is not edited then.
EditEffect EditKeyDown(EditContext& c, int key, bool ctrl, bool alt);
// EdFTrasteKeyUp: releasing Ctrl hides STCtrl.
void EditKeyUp(TabEditor& ed, int key);

// --- division counts -------------------------------------------------------------------
// The beat re-quantised to newCount divisions: each note keeps its place in
// the beat to the whole percent (delays taken as 0..99); none when the count
// is outside 1..24 or two notes of one string fall into one new division.
std::optional<TiempoG> RequantiseBeat(const TiempoG& beat, int newCount);
// MiUDDivisionesClick from the beat's count to newCount: hides the box; a
// refused change leaves everything as it was and returns an empty effect;
// otherwise the new beat is CurrentTiempoG (marked modified when the count
// changed) and is written back.
EditEffect ChangeDivisionCount(EditContext& c, int newCount);
// SpeedButton19Click / SpeedButton20Click: one division less or more.
EditEffect StepDivisionCount(EditContext& c, int step);

// The chord panel's transfer buttons: with the box hidden the editor's
// division becomes the first; the operations then act on it.
void PrepareChordTransfer(TabEditor& ed);
