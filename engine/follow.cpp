#include "engine/follow.h"

std::optional<RowsToShow> EntryRowsToShow(const ThemePlan& plan, const SequenceView& view, int row) {
  if (view.shownTema < 0 || view.shownTema != plan.tema || row < 1 || row > plan.EndRow()) return std::nullopt;
  RowsToShow rows;
  rows.entryRow = row;
  if (const PlanEntry* e = plan.Row(row); e && e->formula >= 0 && e->formula < plan.formulaCount)
    rows.formulaRow = e->formula + 1;
  return rows;
}

std::optional<RowsToShow> RowToShow(const BeatCue& cue, const ThemePlan& plan, const SequenceView& view) {
  if (!cue.compasEnded || !view.themePlays || cue.row == view.selectedRow) return std::nullopt;
  return EntryRowsToShow(plan, view, cue.row);
}
