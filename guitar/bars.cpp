#include "guitar/bars.h"

#include <algorithm>

#include "guitar/guitar_records.h"

std::vector<uint32_t> BuildBarTable(const Tema& t, const Formula* formulas) {
  std::vector<uint32_t> bars;
  const int entries = std::min<int>(t.entryCount, kMaxEntries);
  size_t count = 0;
  for (int e = 0; e < entries; ++e) count += t.times[e];
  bars.reserve(count + 1);
  uint32_t off = 0;
  for (int e = 0; e < entries; ++e) {
    const int f = t.formulas[e];
    const uint32_t beats = f < kMaxFormulas ? static_cast<uint32_t>(formulas[f].Beats()) : 0;
    for (int k = 0; k < t.times[e]; ++k) {
      bars.push_back(off);
      off += kBeatBytes * beats;
    }
  }
  bars.push_back(off);
  return bars;
}
