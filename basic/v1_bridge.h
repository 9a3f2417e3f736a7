// The current records back into the older ones, for the basic edition's save.
#pragma once

#include "rhythm/formats_v1.h"
#include "rhythm/records.h"

// Stroke codes 5..7 become levels 1..3, any other code a rest; tracks 0..7
// only; the name cut to 5 bytes.
FormulaV1 FormulaToV1(const Formula& f);
// Name cut to 14, at most 120 entries, tempo := tempos[0].
TemaV1 TemaToV1(const Tema& t);
