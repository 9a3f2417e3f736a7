#include "rhythm/records.h"

#include <algorithm>
#include <cstring>

std::string ReadFixedName(const char* p, size_t n) {
  size_t len = 0;
  while (len < n && p[len] != '\0') ++len;
  return std::string(p, len);
}

void WriteFixedName(char* p, size_t n, const std::string& s) {
  std::memset(p, 0, n);
  std::memcpy(p, s.data(), std::min(n, s.size()));
}

std::string Formula::Name() const { return ReadFixedName(name, sizeof name); }
void Formula::SetName(const std::string& s) { WriteFixedName(name, sizeof name, s); }
std::string Tema::Name() const { return ReadFixedName(name, sizeof name); }
void Tema::SetName(const std::string& s) { WriteFixedName(name, sizeof name, s); }

void ClearPattern(Formula& f) {
  std::memset(f.cells, 0, sizeof f.cells);
  std::memset(f.strokeCounts, 0, sizeof f.strokeCounts);
}

bool FormulaIsInvalid(const Formula& f) { return f.Beats() > kMaxBeats; }

void RepairFormula(Formula& f) {
  f.SetName("Nueva");
  f.header = 12;
  f.accents = kDefaultAccents;
  ClearPattern(f);
}

void InitNewTema(Tema& t, int tempoBpm) {
  t.entryCount = 0;
  t.tempos[0] = static_cast<uint16_t>(tempoBpm);
  for (int i = 0; i < 17; ++i) {
    t.pan[i] = 16;
    t.volume[i] = 8;
  }
}

int CellFromStrokeText(const std::string& text, int32_t* cell) {
  const int n = static_cast<int>(std::min<size_t>(text.size(), kMaxStrokes));
  int32_t v = 0;
  for (int i = 0; i < n; ++i) {
    const char c = text[i];
    if (c >= '1' && c <= '7') v |= (c - '0') << (3 * i);
  }
  *cell = v;
  return n;
}

float VolumeGain(int v) {
  if (v < 8) return 1.0f / static_cast<float>(9 - v);
  return static_cast<float>(v - 7);
}
