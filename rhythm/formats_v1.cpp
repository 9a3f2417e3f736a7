#include "rhythm/formats_v1.h"

#include <cerrno>
#include <cstdint>

#include "platform/files/atomic_file.h"
#include "rhythm/dataset.h"

namespace {
uint8_t BoundedCountPair(uint8_t b) {
  const int lo = std::min(b & 0x0F, kMaxStrokes);
  const int hi = std::min(b >> 4, kMaxStrokes);
  return static_cast<uint8_t>(lo | (hi << 4));
}
}  // namespace

std::string FormulaV1::Name() const { return ReadFixedName(name, sizeof name); }
void FormulaV1::SetName(const std::string& s) { WriteFixedName(name, sizeof name, s); }
std::string TemaV1::Name() const { return ReadFixedName(name, sizeof name); }
void TemaV1::SetName(const std::string& s) { WriteFixedName(name, sizeof name, s); }

std::string FormulasV1PathOf(const std::string& name) { return SetFolder(name) + "/formulas.van"; }
std::string TemasV1PathOf(const std::string& name) { return SetFolder(name) + "/temas.van"; }

bool ReadFormulasV1(const std::string& path, std::vector<FormulaV1>* out) {
  out->clear();
  if (!FileExists(path)) return false;
  std::vector<uint8_t> bytes;
  ReadFileBytes(path, kFormulasV1FileMax, &bytes);
  *out = RecordsFromBytes<FormulaV1>(bytes, kMaxFormulas);
  return true;
}

bool ReadTemasV1(const std::string& path, std::vector<TemaV1>* out) {
  out->clear();
  if (!FileExists(path)) return false;
  std::vector<uint8_t> bytes;
  ReadFileBytes(path, kTemasV1FileMax, &bytes);
  *out = RecordsFromBytes<TemaV1>(bytes, kMaxTemas);
  return true;
}

Formula FormulaFromV1(const FormulaV1& old) {
  Formula f;
  std::memset(&f, 0, sizeof f);
  for (int b = 0; b < kMaxBeats; ++b) {
    for (int t = 0; t < kTracksV1; ++t) {
      int32_t cell = 0;
      for (int s = 0; s < kMaxStrokes; ++s) {
        const int v = old.Level(b, t, s);
        if (v != 0) cell |= (4 + v) << (3 * s);
      }
      f.cells[b][t] = cell;
    }
    // Tracks 0..7 keep their nibbles in the first 4 of the beat's 8 bytes.
    for (int k = 0; k < 4; ++k) f.strokeCounts[8 * b + k] = BoundedCountPair(old.strokeCounts[4 * b + k]);
  }
  for (int t = 0; t < kTracksV1; ++t) f.sounds[t] = old.sounds[t];
  f.header = old.header;
  std::memcpy(f.name, old.name, sizeof old.name);
  f.accents = old.accents;
  return f;
}

Tema TemaFromV1(const TemaV1& old) {
  Tema t;
  std::memset(&t, 0, sizeof t);
  std::memcpy(t.name, old.name, sizeof old.name);  // byte 14 stays NUL
  t.entryCount = std::min<uint16_t>(old.entryCount, kEntriesV1);
  std::memcpy(t.times, old.times, sizeof old.times);
  std::memcpy(t.formulas, old.formulas, sizeof old.formulas);
  std::memcpy(t.accel, old.accel, sizeof old.accel);
  t.gain = old.gain;
  t.tempos[0] = old.tempo;
  t.partsOrder = old.partsOrder;
  t.introEnding = old.introEnding;
  for (int k = 0; k < kTracksV1; ++k) {
    t.pan[k] = static_cast<uint8_t>(4 * k);
    t.volume[k] = 8;
  }
  return t;
}

bool ConvertDataSetV1(RhythmTables& t, const std::string& olePath, const std::string& listPath,
                      const std::string& name, V1Conversion* result, std::string* error) {
  V1Conversion r;
  std::vector<uint8_t> list;
  // One byte past the bound tells a list that is too long without reading it.
  if (!ReadFileBytes(olePath, kSoundListV1FileMax + 1, &list)) {
    if (error) *error = olePath + ": " + std::strerror(errno);
    return false;
  }
  if (list.size() > kSoundListV1FileMax) {
    if (error) *error = olePath + ": longer than an older sound list can be";
    return false;
  }
  std::vector<FileToWrite> files;
  files.push_back({listPath, std::move(list)});

  std::vector<FormulaV1> oldFormulas;
  std::vector<Formula> formulas;
  r.hadFormulas = ReadFormulasV1(FormulasV1PathOf(name), &oldFormulas);
  for (const FormulaV1& f : oldFormulas) formulas.push_back(FormulaFromV1(f));
  // A set without older formulas gets its one empty record on disk too, so
  // that the open that follows never shows a stale file of the same name.
  const std::vector<Formula> emptyFormula(1, Formula{});
  const std::vector<Formula>& formulasOut = r.hadFormulas ? formulas : emptyFormula;
  files.push_back({FormulasPathOf(name), BytesOfRecords(formulasOut.data(), formulasOut.size())});

  std::vector<TemaV1> oldTemas;
  std::vector<Tema> temas;
  r.hadTemas = ReadTemasV1(TemasV1PathOf(name), &oldTemas);
  for (const TemaV1& th : oldTemas) temas.push_back(TemaFromV1(th));
  const std::vector<Tema> emptyTema(1, Tema{});
  const std::vector<Tema>& temasOut = r.hadTemas ? temas : emptyTema;
  files.push_back({TemasPathOf(name), BytesOfRecords(temasOut.data(), temasOut.size())});

  if (!MakeDirs(SetFolder(name), error)) return false;
  if (!WriteFilesAtomically(files, error)) return false;

  std::memset(t.Formulas.data(), 0, sizeof(Formula) * t.Formulas.size());
  t.FormulaCount = 1;
  if (r.hadFormulas) {
    std::copy(formulas.begin(), formulas.end(), t.Formulas.begin());
    t.FormulaCount = static_cast<int>(formulas.size());
    for (int i = 0; i < t.FormulaCount; ++i) {
      if (FormulaIsInvalid(t.Formulas[i])) {
        RepairFormula(t.Formulas[i]);
        r.repaired.push_back(i);
      }
    }
  }
  std::memset(t.Temas.data(), 0, sizeof(Tema) * t.Temas.size());
  t.TemaCount = 1;
  if (r.hadTemas) {
    std::copy(temas.begin(), temas.end(), t.Temas.begin());
    t.TemaCount = static_cast<int>(temas.size());
  }
  if (result) *result = std::move(r);
  return true;
}
