// The ranges of every value of the formula and theme records, and the mend
// an open applies to records read from a file: each value outside its range
// is set to the nearest value inside it; a sound or formula number that
// names nothing becomes 0 (silence, the first formula). The tables change,
// the files do not (they change when the set is saved).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "rhythm/records.h"

struct RecordLimits {
  int soundCount = 0;    // names in the set's sound list the bank can hold
  int formulaCount = 0;  // formulas in the table
  int maxEntries = kMaxEntries;
};

// True when something was changed.
bool MendFormula(Formula& f, const RecordLimits& limits);
bool MendTema(Tema& t, const RecordLimits& limits);

// Formulas 0..FormulaCount - 1 (themes 0..TemaCount - 1): the number of
// records mended; a formula the open has repaired already (its index in
// `repaired`) counts as mended.
int MendFormulas(RhythmTables& rt, const RecordLimits& limits, const std::vector<int>& repaired = {});
int MendTemas(RhythmTables& rt, const RecordLimits& limits);

// "<path>: se han corregido N registros fuera de rango" and the English
// wording; empty for none.
std::string MendedRecordsText(const std::string& path, int mended, bool english);

// What the size of a record file says: not whole records (the part left
// over is not read), or more records than the table holds (those beyond it
// are not read); empty when neither.
std::string RecordFileSizeText(const std::string& path, size_t recordBytes, size_t maxRecords, bool english);
