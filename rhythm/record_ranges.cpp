#include "rhythm/record_ranges.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {
template <class T, class V>
void Clamp(T& value, V lo, V hi, bool* changed) {
  const auto v = static_cast<V>(value);
  const V c = std::clamp(v, lo, hi);
  if (c != v) {
    value = static_cast<T>(c);
    *changed = true;
  }
}
}  // namespace

bool MendFormula(Formula& f, const RecordLimits& limits) {
  bool changed = false;
  // Beats above 12 are repaired by the open; 0 beats by the formula editor
  // when the formula is selected. The first beat is one of the 12.
  if (f.StartBeat() > kMaxBeats - 1) {
    f.SetHeader(f.Beats(), kMaxBeats - 1);
    changed = true;
  }
  for (auto& row : f.cells)
    for (int32_t& cell : row)
      if (cell & ~0x00FFFFFF) {  // eight strokes of 3 bits; bits 24..31 are 0
        cell &= 0x00FFFFFF;
        changed = true;
      }
  for (int b = 0; b < kMaxBeats; ++b)
    for (int t = 0; t < kTracks; ++t)
      if (f.StrokeCount(b, t) > kMaxStrokes) {
        f.SetStrokeCount(b, t, kMaxStrokes);
        changed = true;
      }
  for (uint8_t& s : f.sounds)
    if (s > limits.soundCount) {
      s = 0;
      changed = true;
    }
  if (f.accents & 0x7000) {  // bits 12..14 are 0
    f.accents &= static_cast<uint16_t>(~0x7000);
    changed = true;
  }
  return changed;
}

bool MendTema(Tema& t, const RecordLimits& limits) {
  bool changed = false;
  Clamp(t.entryCount, 0, std::clamp(limits.maxEntries, 0, kEntrySlots), &changed);
  for (int e = 0; e < t.entryCount; ++e) {
    Clamp(t.times[e], 1, 255, &changed);
    if (t.formulas[e] >= std::max(limits.formulaCount, 1)) {
      t.formulas[e] = 0;
      changed = true;
    }
    if (e > 0 && t.tempos[e] != 0) Clamp(t.tempos[e], 20, 400, &changed);
  }
  Clamp(t.tempos[0], 20, 400, &changed);
  // A gain below 1.0 is raised when the theme is selected; what no gain can
  // be (not a number, negative, far beyond what the normalisation finds) is
  // mended here.
  if (!std::isfinite(t.gain) || t.gain < 0.0f) {
    t.gain = 1.0f;
    changed = true;
  } else if (t.gain > 10.0f) {
    t.gain = 10.0f;
    changed = true;
  }
  // Intro and ending of more than 12 beats read as none.
  if (t.Intro() > kMaxBeats) {
    t.introEnding &= 0x0F;
    changed = true;
  }
  if (t.Ending() > kMaxBeats) {
    t.introEnding &= 0xF0;
    changed = true;
  }
  // Volume 0 is what the converter of older sets leaves on the tracks those
  // sets did not have; it is kept.
  for (int k = 0; k < kTracks; ++k) {
    Clamp(t.pan[k], 0, 32, &changed);
    Clamp(t.volume[k], 0, 16, &changed);
  }
  return changed;
}

int MendFormulas(RhythmTables& rt, const RecordLimits& limits, const std::vector<int>& repaired) {
  int mended = 0;
  const int fc = std::clamp(rt.FormulaCount, 0, kMaxFormulas);
  for (int i = 0; i < fc; ++i) {
    const bool changed = MendFormula(rt.Formulas[static_cast<size_t>(i)], limits);
    if (changed || std::find(repaired.begin(), repaired.end(), i) != repaired.end()) ++mended;
  }
  return mended;
}

int MendTemas(RhythmTables& rt, const RecordLimits& limits) {
  int mended = 0;
  const int tc = std::clamp(rt.TemaCount, 0, kMaxTemas);
  for (int i = 0; i < tc; ++i) mended += MendTema(rt.Temas[static_cast<size_t>(i)], limits) ? 1 : 0;
  return mended;
}

std::string MendedRecordsText(const std::string& path, int mended, bool english) {
  if (mended <= 0) return {};
  const std::string n = std::to_string(mended);
  if (english) return path + ": " + n + (mended == 1 ? " record was" : " records were") + " out of range and mended";
  return path + ": " + n + (mended == 1 ? " registro estaba fuera de rango y se ha corregido"
                                        : " registros estaban fuera de rango y se han corregido");
}

std::string RecordFileSizeText(const std::string& path, size_t recordBytes, size_t maxRecords, bool english) {
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || recordBytes == 0) return {};
  const std::string rb = std::to_string(recordBytes);
  if (size > recordBytes * maxRecords) {
    const std::string max = std::to_string(maxRecords);
    return english ? path + " holds more than " + max + " records: only the first " + max + " are read"
                   : path + " tiene m\xC3\xA1s de " + max + " registros: solo se leen los " + max + " primeros";
  }
  const uintmax_t left = size % recordBytes;
  if (left == 0) return {};
  const std::string l = std::to_string(left);
  return english ? path + " is not whole records of " + rb + " bytes: the last " + l + " bytes are not read"
                 : path + " no tiene registros completos de " + rb + " bytes: no se leen los " + l +
                       " bytes del final";
}
