#include "rhythm/library_ops.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "rhythm/dataset.h"

namespace {
constexpr size_t kImportCompareBytes = 882;  // up to and including the first name letter

bool ValidFormula(int i) { return i >= 0 && i < kMaxFormulas; }
bool ValidTrack(int t) { return t >= 0 && t < kTracks; }
bool ValidBeat(int b) { return b >= 0 && b < kMaxBeats; }

// A formula of the other set; an index beyond the table names an empty one,
// as every slot beyond its file does.
const Formula& OtherSetFormula(const RhythmTables& t, int f) {
  static const Formula kEmpty{};
  return ValidFormula(f) ? t.ImportFormulas[f] : kEmpty;
}

int FindEqual(const RhythmTables& t, const Formula& f, int count, FormulaEquality equal) {
  for (int k = 0; k < count; ++k)
    if (equal(t.Formulas[k], f)) return k;
  return -1;
}
}  // namespace

int StoredEntries(const Tema& t) { return std::min<int>(t.entryCount, kEntrySlots); }

// --- tracks and beats ---------------------------------------------------------

void PasteTrack(RhythmTables& t, int fromFormula, int fromTrack, int fromBeats, int formula, int beats,
                int track) {
  if (!ValidFormula(fromFormula) || !ValidTrack(fromTrack) || !ValidFormula(formula) || !ValidTrack(track)) return;
  const Formula src = t.Formulas[fromFormula];  // the target may be the same record
  Formula& dst = t.Formulas[formula];
  for (int b = 0; b < kMaxBeats; ++b) {
    if (b < fromBeats && b < beats) {
      dst.cells[b][track] = src.cells[b][fromTrack];
      dst.SetStrokeCount(b, track, src.StrokeCount(b, fromTrack));
    } else {
      dst.cells[b][track] = 0;
      dst.SetStrokeCount(b, track, 0);
    }
  }
}

void ClearTrack(Formula& f, int track) {
  if (!ValidTrack(track)) return;
  for (int b = 0; b < kMaxBeats; ++b) {
    f.cells[b][track] = 0;
    f.SetStrokeCount(b, track, 0);
  }
}

void PasteBeat(RhythmTables& t, int fromFormula, int fromBeat, int formula, int beat) {
  if (!ValidFormula(fromFormula) || !ValidBeat(fromBeat) || !ValidFormula(formula) || !ValidBeat(beat)) return;
  const Formula src = t.Formulas[fromFormula];
  Formula& dst = t.Formulas[formula];
  for (int k = 0; k < kTracks; ++k) dst.cells[beat][k] = src.cells[fromBeat][k];
  std::memcpy(dst.strokeCounts + 8 * beat, src.strokeCounts + 8 * fromBeat, 8);
}

void ClearBeat(Formula& f, int beat) {
  if (!ValidBeat(beat)) return;
  for (int k = 0; k < kTracks; ++k) f.cells[beat][k] = 0;
  std::memset(f.strokeCounts + 8 * beat, 0, 8);
}

void SwapTracks(Formula& f, int a, int b) {
  if (!ValidTrack(a) || !ValidTrack(b) || a == b) return;
  std::swap(f.sounds[a], f.sounds[b]);
  for (int beat = 0; beat < kMaxBeats; ++beat) {
    std::swap(f.cells[beat][a], f.cells[beat][b]);
    const int ca = f.StrokeCount(beat, a), cb = f.StrokeCount(beat, b);
    f.SetStrokeCount(beat, a, cb);
    f.SetStrokeCount(beat, b, ca);
  }
}

// --- deletion -----------------------------------------------------------------

bool FormulaUsedByAnyTheme(const RhythmTables& t, int formula, int temaCount) {
  temaCount = std::clamp(temaCount, 0, kMaxTemas);
  for (int n = 0; n < temaCount; ++n) {
    const Tema& th = t.Temas[n];
    for (int e = 0; e < StoredEntries(th); ++e)
      if (th.formulas[e] == formula) return true;
  }
  return false;
}

void DeleteFormula(RhythmTables& t, int i, int formulaCount, int temaCount) {
  formulaCount = std::clamp(formulaCount, 0, kMaxFormulas);
  temaCount = std::clamp(temaCount, 0, kMaxTemas);
  if (i < 0 || i >= formulaCount) return;
  std::memmove(&t.Formulas[i], &t.Formulas[i + 1], sizeof(Formula) * static_cast<size_t>(formulaCount - i - 1));
  for (int n = 0; n < temaCount; ++n) {
    Tema& th = t.Temas[n];
    for (int e = 0; e < StoredEntries(th); ++e)
      if (th.formulas[e] > i) --th.formulas[e];
  }
}

void DeleteTema(RhythmTables& t, int i, int temaCount) {
  temaCount = std::clamp(temaCount, 0, kMaxTemas);
  if (i < 0 || i >= temaCount) return;
  std::memmove(&t.Temas[i], &t.Temas[i + 1], sizeof(Tema) * static_cast<size_t>(temaCount - i - 1));
}

bool TemaNameSharedByAnother(const RhythmTables& t, int i, int temaCount) {
  temaCount = std::clamp(temaCount, 0, kMaxTemas);
  if (i < 0 || i >= temaCount) return false;
  const std::string name = t.Temas[i].Name();
  for (int n = 0; n < temaCount; ++n)
    if (n != i && !t.Temas[n].Unused() && t.Temas[n].Name() == name) return true;
  return false;
}

// --- sorting ------------------------------------------------------------------

std::vector<int> StableOrderByName(const std::vector<std::string>& latin1Names, int width) {
  std::vector<QString> keys;
  keys.reserve(latin1Names.size());
  for (const auto& n : latin1Names)
    keys.push_back(L1(n.substr(0, static_cast<size_t>(width))).leftJustified(width, ' ').toLower());
  std::vector<int> order(latin1Names.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return QString::localeAwareCompare(keys[a], keys[b]) < 0; });
  return order;
}

int NewPositionOf(const std::vector<int>& order, int old) {
  for (size_t l = 0; l < order.size(); ++l)
    if (order[l] == old) return static_cast<int>(l);
  return -1;
}

void ApplyFormulaOrder(RhythmTables& t, const std::vector<int>& order, int temaCount) {
  const int n = std::min<int>(static_cast<int>(order.size()), kMaxFormulas);
  temaCount = std::clamp(temaCount, 0, kMaxTemas);
  std::copy(t.Formulas.begin(), t.Formulas.begin() + n, t.ImportFormulas.begin());
  std::copy(t.Temas.begin(), t.Temas.begin() + temaCount, t.ImportTemas.begin());
  std::vector<int> newPos(static_cast<size_t>(n), -1);
  for (int l = 0; l < n; ++l) {
    const int h = order[l];
    if (h < 0 || h >= n) continue;
    t.Formulas[l] = t.ImportFormulas[h];
    newPos[h] = l;
  }
  // The old indexes are read from the scratch copy, so none is remapped twice.
  for (int k = 0; k < temaCount; ++k) {
    const Tema& before = t.ImportTemas[k];
    for (int e = 0; e < StoredEntries(before); ++e) {
      const int h = before.formulas[e];
      if (h < n && newPos[h] >= 0) t.Temas[k].formulas[e] = static_cast<uint16_t>(newPos[h]);
    }
  }
}

void ApplyTemaOrder(RhythmTables& t, const std::vector<int>& order) {
  const int n = std::min<int>(static_cast<int>(order.size()), kMaxTemas);
  std::copy(t.Temas.begin(), t.Temas.begin() + n, t.ImportTemas.begin());
  for (int j = 0; j < n; ++j) {
    const int h = order[j];
    if (h >= 0 && h < n) t.Temas[j] = t.ImportTemas[h];
  }
}

// --- search -------------------------------------------------------------------

int FindByPrefix(const std::vector<QString>& names, int selected, const QString& prefix) {
  const int n = static_cast<int>(names.size());
  if (n == 0) return -1;
  if (selected < 0 || selected >= n) selected = 0;
  auto matches = [&](int k) { return names[k].startsWith(prefix, Qt::CaseInsensitive); };
  for (int k = selected; k < n; ++k)
    if (matches(k)) return k;
  for (int k = 0; k < selected; ++k)
    if (matches(k)) return k;
  return -1;
}

// --- theme import -------------------------------------------------------------

bool FormulasEqualForImport(const Formula& a, const Formula& b) {
  return std::memcmp(&a, &b, kImportCompareBytes) == 0 && a.accents == b.accents;
}

OtherSetLoad LoadOtherSet(RhythmTables& t, const std::string& folder) {
  OtherSetLoad r;
  std::memset(t.ImportFormulas.data(), 0, sizeof(Formula) * t.ImportFormulas.size());
  const std::string formulas = folder + "/formulas.svs";
  if (FileExists(formulas)) {
    r.formulasFound = true;
    std::vector<uint8_t> bytes;
    ReadFileBytes(formulas, kFormulasFileMax, &bytes);
    const size_t n = std::min<size_t>(bytes.size() / sizeof(Formula), kMaxFormulas);
    if (n > 0) std::memcpy(t.ImportFormulas.data(), bytes.data(), n * sizeof(Formula));
  }
  std::memset(t.ImportTemas.data(), 0, sizeof(Tema) * t.ImportTemas.size());
  const std::string temas = folder + "/temas.svs";
  if (FileExists(temas)) {
    r.temasFound = true;
    std::vector<uint8_t> bytes;
    ReadFileBytes(temas, kTemasFileMax, &bytes);
    const size_t n = std::min<size_t>(bytes.size() / sizeof(Tema), kMaxTemas);
    if (n > 0) std::memcpy(t.ImportTemas.data(), bytes.data(), n * sizeof(Tema));
    r.temaCount = static_cast<int>(n);
  }
  return r;
}

ImportOutcome ImportThemeFromOtherSet(RhythmTables& t, int a, FormulaEquality equal) {
  ImportOutcome out;
  if (a < 0 || a >= kMaxTemas) return out;  // kNoSuchTheme
  const Tema src = t.ImportTemas[a];
  t.FormulaCount = std::clamp(t.FormulaCount, 0, kMaxFormulas);
  t.TemaCount = std::clamp(t.TemaCount, 0, kMaxTemas);
  if (src.entryCount > kMaxEntries) {
    out.status = ImportOutcome::kTooManyEntries;
    return out;
  }
  if (t.TemaCount >= kMaxTemas) {
    out.status = ImportOutcome::kNoThemeRoom;
    return out;
  }
  // Count the formulas to append before anything changes.
  std::vector<int> pending;
  for (int e = 0; e < src.entryCount; ++e) {
    const Formula& f = OtherSetFormula(t, src.formulas[e]);
    if (FindEqual(t, f, t.FormulaCount, equal) >= 0) continue;
    const bool seen = std::any_of(pending.begin(), pending.end(), [&](int g) {
      return equal(OtherSetFormula(t, g), f);
    });
    if (!seen) pending.push_back(src.formulas[e]);
  }
  if (t.FormulaCount + static_cast<int>(pending.size()) > kMaxFormulas) {
    out.status = ImportOutcome::kNoFormulaRoom;
    return out;
  }

  const int n = t.TemaCount++;
  t.Temas[n] = src;
  for (int e = 0; e < src.entryCount; ++e) {
    const Formula& f = OtherSetFormula(t, src.formulas[e]);
    int k = FindEqual(t, f, t.FormulaCount, equal);
    if (k < 0) {
      k = t.FormulaCount++;
      t.Formulas[k] = f;
      out.addedFormulas.push_back(k);
    }
    t.Temas[n].formulas[e] = static_cast<uint16_t>(k);
  }
  out.status = ImportOutcome::kDone;
  out.tema = n;
  return out;
}

bool GuitarTrackPathOf(const std::string& setName, const std::string& themeName, std::string* path) {
  if (!IsSafeFileComponent(themeName)) return false;
  *path = SetFolder(setName) + "/" + FsName(themeName) + ".gtr";
  return true;
}
