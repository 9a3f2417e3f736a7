// The current records back into the older ones, for the basic edition's save.
#pragma once

#include <string>

#include "rhythm/formats_v1.h"
#include "rhythm/records.h"

// Stroke codes 5..7 become levels 1..3, any other code a rest; tracks 0..7
// only; the name cut to 5 bytes.
FormulaV1 FormulaToV1(const Formula& f);
// Name cut to 14, at most 120 entries, tempo := tempos[0].
TemaV1 TemaToV1(const Tema& t);

// The basic pattern grid's view of a current record: each stroke below the
// count as '0' + its 2-bit level (codes 5..7 are levels 1..3, any other a
// rest); empty for a count of 0.
std::string StrokeTextV1(const Formula& f, int beat, int track);
// A typed cell: digit 1..3 sets the stroke at that level, any other
// character leaves a rest; the count is the length, at most 8.
int StoreStrokeTextV1(Formula& f, int beat, int track, const std::string& text);

// The basic import's test for a formula it may reuse: as older records,
// bytes 240..255 (header, sounds, name, accents), the cells of the first n
// beats (16 x n bytes) and the stroke-count bytes of those beats (4 x n),
// n being the beat count (at most 12).
bool BasicFormulasEqualForImport(const Formula& a, const Formula& b);
