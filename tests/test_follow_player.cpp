// The rows the grids show of the player: a table of steps, each with the
// plan in play and what the sequence grid shows when the step comes.
#include <gtest/gtest.h>

#include "engine/follow.h"

namespace {

// Theme 2: entry 1 plays formula 0, entry 2 names no formula (a slot with
// no repetitions), entry 3 formula 4, entry 4 formula 7 (past the 6
// formulas there are); row 5 is the end row.
ThemePlan Plan() {
  ThemePlan p;
  p.tema = 2;
  p.formulaCount = 6;
  for (int f : {0, -1, 4, 7}) {
    PlanEntry e;
    e.formula = f;
    e.times = f < 0 ? 0 : 1;
    p.entries.push_back(e);
  }
  return p;
}

BeatCue CompasEnd(int row) {
  BeatCue c;
  c.compasEnded = true;
  c.row = row;
  return c;
}

TEST(FollowPlayer, RowToShowAfterEachStep) {
  const ThemePlan plan = Plan();
  BeatCue insideCompas = CompasEnd(3);
  insideCompas.compasEnded = false;
  BeatCue lastBeat = CompasEnd(1);
  lastBeat.stopped = true;
  const struct {
    const char* what;
    BeatCue cue;
    SequenceView view;
    std::optional<RowsToShow> rows;
  } cases[] = {
      {"the next entry, with its formula's row", CompasEnd(3), {2, 1, true}, RowsToShow{3, 5}},
      {"back to the first entry", CompasEnd(1), {2, 4, true}, RowsToShow{1, 1}},
      {"the entry already shown: the grid stays", CompasEnd(3), {2, 3, true}, std::nullopt},
      {"inside a compás nothing moves", insideCompas, {2, 1, true}, std::nullopt},
      {"a formula loop moves no entry row", CompasEnd(3), {2, 1, false}, std::nullopt},
      {"the grid shows another theme", CompasEnd(3), {1, 1, true}, std::nullopt},
      {"the grid shows no theme", CompasEnd(3), {-1, 1, true}, std::nullopt},
      {"a slot naming no formula leaves the formula grid", CompasEnd(2), {2, 1, true}, RowsToShow{2, 0}},
      {"a formula past the table leaves the formula grid", CompasEnd(4), {2, 1, true}, RowsToShow{4, 0}},
      {"the end row has no formula", CompasEnd(5), {2, 1, true}, RowsToShow{5, 0}},
      {"a row past the end row is not shown", CompasEnd(6), {2, 1, true}, std::nullopt},
      {"row 0 is the header", CompasEnd(0), {2, 1, true}, std::nullopt},
      {"the step that stops still shows where it ended", lastBeat, {2, 4, true}, RowsToShow{1, 1}},
  };
  for (const auto& c : cases) EXPECT_EQ(RowToShow(c.cue, plan, c.view), c.rows) << c.what;
}

// The start, the stop and a command's selection show an entry row without
// a step: any row of the theme shown, the one selected too.
TEST(FollowPlayer, EntryRowsToShowWithoutAStep) {
  const ThemePlan plan = Plan();
  const struct {
    int row;
    SequenceView view;
    std::optional<RowsToShow> rows;
  } cases[] = {
      {1, {2, 1, false}, RowsToShow{1, 1}},  // selected already: shown again
      {3, {2, 1, true}, RowsToShow{3, 5}},
      {5, {2, 1, false}, RowsToShow{5, 0}},
      {3, {0, 1, false}, std::nullopt},
      {6, {2, 1, false}, std::nullopt},
      {-1, {2, 1, false}, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(EntryRowsToShow(plan, c.view, c.row), c.rows) << "row " << c.row;
  // An empty plan (no theme made yet) shows nothing.
  EXPECT_EQ(EntryRowsToShow(ThemePlan{}, SequenceView{-1, 1, false}, 1), std::nullopt);
}

}  // namespace
