// What the sequence and formula grids show of the player: the rows, worked
// out from a step's cue and the plan in play. The windows only paint them;
// following the player selects nothing and writes nothing of the engine.
#pragma once

#include <optional>

#include "engine/sequencer.h"

// Grid rows (1-based, below the header): the entry row of the sequence grid
// and the row of that entry's formula in the formula grid (0: the formula
// grid stays where it is, as on the end row or an entry naming no formula).
struct RowsToShow {
  int entryRow = 0;
  int formulaRow = 0;
  bool operator==(const RowsToShow&) const = default;
};

// What the sequence grid shows now: the theme (-1: none), the entry row
// selected, and whether a theme (not a formula loop) plays.
struct SequenceView {
  int shownTema = -1;
  int selectedRow = 0;
  bool themePlays = false;
};

// Entry row `row` of `plan`, when the grid shows the plan's theme and has
// that row (the end row included).
std::optional<RowsToShow> EntryRowsToShow(const ThemePlan& plan, const SequenceView& view, int row);

// After a step: at the end of a compás of a theme the grid moves to the entry
// in play, unless it already shows it. Nothing for a formula loop, inside a
// compás, or when the grid shows another theme.
std::optional<RowsToShow> RowToShow(const BeatCue& cue, const ThemePlan& plan, const SequenceView& view);
