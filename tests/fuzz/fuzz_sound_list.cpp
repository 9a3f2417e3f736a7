// Sound list files (.vl2): read, then written back and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/sound_bank.h"
#include "fuzz_file.h"
#include "rhythm/dataset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> names;
  if (!ReadSoundList(FuzzFile("lista.vl2", data, size), &names)) return 0;
  for (const std::string& n : names) (void)FindSoundName(names, n);
  return 0;
}
