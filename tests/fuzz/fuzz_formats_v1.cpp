// The older generation's record files and sound list: read and converted
// into a set of the current generation, as the open dialog does.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "fuzz_file.h"
#include "rhythm/formats_v1.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<RhythmTables> t = RhythmTables::Create();
  static const bool made = [] {
    std::filesystem::create_directories(FuzzFolder() + "/datos/Viejo");
    return true;
  }();
  (void)made;
  // Two bytes say how long the list and the formulas are; the themes follow.
  if (size < 2) return 0;
  const size_t listBytes = std::min<size_t>(size - 2, data[0] * 4u);
  const size_t formulaBytes = std::min<size_t>(size - 2 - listBytes, data[1] * sizeof(FormulaV1) / 8);
  const uint8_t* p = data + 2;
  FuzzFile("datos/Viejo.ole", p, listBytes);
  FuzzFile("datos/Viejo/formulas.van", p + listBytes, formulaBytes);
  FuzzFile("datos/Viejo/temas.van", p + listBytes + formulaBytes, size - 2 - listBytes - formulaBytes);
  // The converter works in the working folder; the fuzzer's own paths are
  // relative to the folder it was started in, so come back after each input.
  const std::filesystem::path started = std::filesystem::current_path();
  std::filesystem::current_path(FuzzFolder());
  V1Conversion r;
  std::string error;
  const bool converted = ConvertDataSetV1(*t, "datos/Viejo.ole", "datos/Viejo.vl2", "Viejo", &r, &error);
  std::filesystem::current_path(started);
  if (converted) {
    for (int i = 0; i < t->FormulaCount; ++i)
      if (FormulaIsInvalid(t->Formulas[i])) __builtin_trap();  // repaired after the conversion
    for (int i = 0; i < t->TemaCount; ++i)
      if (t->Temas[i].entryCount > kEntriesV1) __builtin_trap();
  }
  return 0;
}
