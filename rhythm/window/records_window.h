// What every step of the rhythm editors and library commands asks of a
// main window, under the same names in both editions: the rhythm tables
// with their counts, the formula and theme grids that show them, the
// edition's limits of the records (EditRules), the modified mark set by an
// edit (Cambios) and the texts in the language in force.
#pragma once

#include <concepts>

#include "platform/ui/string_grid.h"
#include "platform/ui/window_concepts.h"
#include "rhythm/editor_logic.h"
#include "rhythm/records.h"

template <class Form>
concept RecordsWindow = WordedWindow<Form> && requires(Form& f) {
  { Form::EditRules } -> std::convertible_to<const EditorRules&>;
  { f.Rhythm } -> std::convertible_to<RhythmTables*>;
  { f.FormulaCount() } -> std::convertible_to<int>;
  { f.TemaCount() } -> std::convertible_to<int>;
  { f.SGFormulas } -> std::convertible_to<StringGrid*>;
  { f.SGTemas } -> std::convertible_to<StringGrid*>;
  f.Cambios();
};
