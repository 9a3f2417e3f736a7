// Importing themes from another set: its files read as the import dialog
// reads them, and every one of its themes imported into a set that holds the
// same records.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_file.h"
#include "rhythm/dataset.h"
#include "rhythm/library_ops.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<RhythmTables> t = RhythmTables::Create();
  static const bool made = [] {
    std::filesystem::create_directories(FuzzFolder() + "/otro");
    return true;
  }();
  (void)made;
  if (size < 1) return 0;
  const size_t split = std::min<size_t>(size - 1, size_t{data[0]} * sizeof(Formula) / 4);
  const std::string formulas = FuzzFile("otro/formulas.svs", data + 1, split);
  const std::string temas = FuzzFile("otro/temas.svs", data + 1 + split, size - 1 - split);
  std::vector<int> repaired;
  LoadFormulas(*t, formulas, &repaired);
  LoadTemas(*t, temas);
  const OtherSetLoad other = LoadOtherSet(*t, FuzzFolder() + "/otro");
  for (int a = 0; a < other.temaCount; ++a) {
    const ImportOutcome out = ImportThemeFromOtherSet(*t, a);
    if (t->FormulaCount > kMaxFormulas || t->TemaCount > kMaxTemas) __builtin_trap();
    if (out.status == ImportOutcome::kDone && (out.tema < 0 || out.tema >= t->TemaCount)) __builtin_trap();
    std::string path;
    (void)GuitarTrackPathOf("Otro", t->ImportTemas[static_cast<size_t>(a)].Name(), &path);
  }
  return 0;
}
