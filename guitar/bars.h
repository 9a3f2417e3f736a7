// TablaDeCompases: where each bar of a theme starts in its guitar track.
#pragma once

#include <cstdint>
#include <vector>

#include "rhythm/records.h"

// The bar table of a theme: one byte offset per compás, in play order
// (entries in order, each repeated `times` times), each bar as many beats
// long as its formula, and one entry more, the end of the last bar. A theme
// without compases gives {0}. The table is as long as the theme needs: it
// covers the entries the sequence grid shows (at most 120). A formula number
// outside the table gives bars of no beats.
std::vector<uint32_t> BuildBarTable(const Tema& t, const Formula* formulas);
