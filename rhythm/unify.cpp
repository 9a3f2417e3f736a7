#include "rhythm/unify.h"

#include <algorithm>
#include <array>
#include <vector>

bool UnifyThemeTracks(RhythmTables& rt, int t) {
  if (t < 0 || t >= kMaxTemas) return false;
  Tema& th = rt.Temas[static_cast<size_t>(t)];
  const int entries = std::min<int>(th.entryCount, kMaxEntries);
  if (entries < 2) return false;
  for (int e = 0; e < entries; ++e)
    if (th.formulas[e] >= kMaxFormulas) return false;  // a broken entry names no formula

  // The largest number of tracks each sound takes in any one formula.
  std::array<int, 256> need{};
  for (int e = 0; e < entries; ++e) {
    std::array<int, 256> here{};
    const Formula& f = rt.Formulas[th.formulas[e]];
    for (int k = 0; k < kTracks; ++k)
      if (f.sounds[k] != 0) ++here[f.sounds[k]];
    for (int s = 1; s < 256; ++s) need[s] = std::max(need[s], here[s]);
  }
  std::vector<uint8_t> layout;
  for (int s = 1; s < 256; ++s)
    for (int k = 0; k < need[s]; ++k) layout.push_back(static_cast<uint8_t>(s));
  if (layout.size() > kTracks) return false;

  Formula tmpl{};
  for (size_t n = 0; n < layout.size(); ++n) tmpl.sounds[n] = layout[n];
  std::array<uint8_t, kTracks> newPan{}, newVolume{};
  for (int e = 0; e < entries; ++e) {
    Formula& f = rt.Formulas[th.formulas[e]];
    Formula w = tmpl;
    w.header = f.header;
    std::copy(std::begin(f.name), std::end(f.name), std::begin(w.name));
    w.accents = f.accents;
    const int beats = std::min(w.Beats(), kMaxBeats);
    for (size_t n = 0; n < layout.size(); ++n) {
      for (int o = 0; o < kTracks; ++o) {
        if (f.sounds[o] != layout[n]) continue;
        newVolume[n] = th.volume[o];
        newPan[n] = th.pan[o];
        f.sounds[o] = 0;  // the next track with this sound takes the next old track
        for (int b = 0; b < beats; ++b) {
          w.cells[b][n] = f.cells[b][o];
          w.SetStrokeCount(b, static_cast<int>(n), f.StrokeCount(b, o));
        }
        break;
      }
    }
    f = w;
  }
  std::copy(newPan.begin(), newPan.end(), th.pan);
  std::copy(newVolume.begin(), newVolume.end(), th.volume);
  return true;
}
