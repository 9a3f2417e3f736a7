// What a window's formula, track and theme editors keep between handlers:
// the records shown, the formula to add, the clipboards of the library
// commands (table positions, not copies) and the guards of the controls.
#pragma once

#include <array>
#include <string>

// Formula editor state shared with the theme editor. The beats and first beat
// of the formula in play (FormulaBeats, FormulaStartBeat) live in EngineState.
struct FormulaEditorState {
  int SelectedTrack = 0;
  int FormulaToAdd = 0;
  bool FormulaInUse = false;
  int FormulaClipboard = -1;
  // The label of each beat when counting by accents ("1", "2", ...).
  std::array<std::string, 12> AccentCountLabels{};
  // Record shown by the pattern grid and by the sequence grid (-1: none);
  // an emptied sequence grid shows none.
  int ShownFormula = -1;
  int ShownTema = -1;
};

// Guards: a control's change handler stores nothing while the code that sets
// the control has its guard up.
struct GuardFlags {
  bool AccentChangeByCode = false;
  bool CountModeByCode = false;
  bool ThemeFieldsByCode = false;
  bool TrackbarsLoading = false;
  bool TempoSliderByCode = false;
  bool SkipFormulaClick = false;
  bool SkipEntrySelect = false;
  bool KeepEditedCells = false;
};

// The track and beat clipboards: the copied track or beat and its formula.
struct TrackClipboardState {
  int track = -1;
  int formula = -1;  // -1: nothing copied
  int beats = 1;
};
struct BeatClipboardState {
  int beat = -1;
  int formula = -1;  // -1: nothing copied
};
