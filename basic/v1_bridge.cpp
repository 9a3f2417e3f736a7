#include "basic/v1_bridge.h"

#include <algorithm>
#include <cstring>

#include "rhythm/editor_logic.h"

FormulaV1 FormulaToV1(const Formula& f) {
  FormulaV1 o;
  std::memset(&o, 0, sizeof o);
  for (int b = 0; b < kMaxBeats; ++b) {
    for (int t = 0; t < kTracksV1; ++t) {
      const int count = std::min(f.StrokeCount(b, t), kMaxStrokes);
      o.SetStrokeCount(b, t, count);
      uint16_t cell = 0;
      for (int s = 0; s < kMaxStrokes; ++s) {
        const int code = f.Stroke(b, t, s);
        const int level = (code >= 5 && code <= 7) ? code - 4 : 0;
        cell = static_cast<uint16_t>(cell | (level << (2 * s)));
      }
      o.cells[b][t] = cell;
    }
  }
  o.header = f.header;
  for (int t = 0; t < kTracksV1; ++t) o.sounds[t] = f.sounds[t];
  WriteFixedName(o.name, sizeof o.name, ReadFixedName(f.name, sizeof f.name));
  o.accents = f.accents;
  return o;
}

TemaV1 TemaToV1(const Tema& t) {
  TemaV1 o;
  std::memset(&o, 0, sizeof o);
  if (t.Unused()) {
    o.name[0] = static_cast<char>(0xFF);
  } else {
    WriteFixedName(o.name, sizeof o.name, ReadFixedName(t.name, sizeof t.name));
  }
  const int n = std::min<int>(t.entryCount, kEntriesV1);
  o.entryCount = static_cast<uint16_t>(n);
  for (int i = 0; i < kEntriesV1; ++i) {
    o.times[i] = t.times[i];
    o.formulas[i] = t.formulas[i];
    o.accel[i] = t.accel[i];
  }
  o.gain = t.gain;
  o.tempo = t.tempos[0];
  o.partsOrder = t.partsOrder;
  o.introEnding = t.introEnding;
  return o;
}

std::string StrokeTextV1(const Formula& f, int beat, int track) {
  std::string s;
  if (beat < 0 || beat >= kMaxBeats || track < 0 || track >= kTracksV1) return s;
  const int count = std::min(f.StrokeCount(beat, track), kMaxStrokes);
  for (int k = 0; k < count; ++k) {
    const int code = f.Stroke(beat, track, k);
    s += static_cast<char>('0' + ((code >= 5 && code <= 7) ? code - 4 : 0));
  }
  return s;
}

int StoreStrokeTextV1(Formula& f, int beat, int track, const std::string& text) {
  if (beat < 0 || beat >= kMaxBeats || track < 0 || track >= kTracksV1) return 0;
  std::string codes;
  for (char c : text) codes += (c >= '1' && c <= '3') ? static_cast<char>(c + 4) : '0';
  return StoreStrokeText(f, beat, track, codes);
}

bool BasicFormulasEqualForImport(const Formula& a, const Formula& b) {
  const FormulaV1 x = FormulaToV1(a);
  const FormulaV1 y = FormulaToV1(b);
  const auto* px = reinterpret_cast<const uint8_t*>(&x);
  const auto* py = reinterpret_cast<const uint8_t*>(&y);
  if (std::memcmp(px + 240, py + 240, 16) != 0) return false;
  const size_t n = static_cast<size_t>(std::min(x.Beats(), kMaxBeats));
  return std::memcmp(px, py, 16 * n) == 0 &&
         std::memcmp(px + offsetof(FormulaV1, strokeCounts), py + offsetof(FormulaV1, strokeCounts), 4 * n) == 0;
}
