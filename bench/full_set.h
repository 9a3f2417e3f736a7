// The benchmarks' full data set: 512 formulas of 12 beats, 16 tracks with 8
// strokes per beat on the factory sounds; 128 themes of 120 entries, the
// first at 20 bpm, the others at 120. The strokes use levels 7 and 5 in a
// pattern that repeats every 33 formulas, or (as sets written by other hands
// have them) every level 1..7 with 512 formulas all different. `names`
// receives the sound list.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/workspace.h"

std::unique_ptr<Workspace> FullSet(std::vector<std::string>* names, bool everyLevel = false);
