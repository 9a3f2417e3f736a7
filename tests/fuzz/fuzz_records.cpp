// The formula and theme files of a data set: read into the tables, repaired,
// and every record's fields walked the way the editors and the player do.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "fuzz_file.h"
#include "rhythm/dataset.h"
#include "rhythm/records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<RhythmTables> t = RhythmTables::Create();
  // The first byte says where the formulas end and the themes begin.
  const size_t split = size == 0 ? 0 : std::min<size_t>(size - 1, size_t{data[0]} * sizeof(Formula) / 4);
  const std::string formulas = FuzzFile("formulas.svs", size ? data + 1 : data, split);
  const std::string temas = FuzzFile("temas.svs", size ? data + 1 + split : data, size ? size - 1 - split : 0);
  std::vector<int> repaired;
  LoadFormulas(*t, formulas, &repaired);
  LoadTemas(*t, temas);
  for (int i = 0; i < t->FormulaCount; ++i) {
    if (FormulaIsInvalid(t->Formulas[i])) __builtin_trap();  // every invalid formula was repaired
    (void)t->Formulas[i].Name();
  }
  for (int i = 0; i < t->TemaCount; ++i) (void)t->Temas[i].Name();
  return 0;
}
