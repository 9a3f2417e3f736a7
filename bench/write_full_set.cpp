// Writes the benchmarks' full data set into a working folder, as the set
// "Completo" (with "--levels", the set of every stroke level), so that the
// programs can be started on it: write_full_set FOLDER [--levels], then
// DRAV_PROF FOLDER/datos/Completo.vl2.
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/full_set.h"
#include "rhythm/dataset.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: write_full_set FOLDER [--levels]\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(argv[1]) / "datos", ec);
  std::filesystem::current_path(argv[1], ec);
  if (ec) {
    std::fprintf(stderr, "%s: %s\n", argv[1], ec.message().c_str());
    return 1;
  }
  std::vector<std::string> names;
  auto w = FullSet(&names, argc > 2 && std::string(argv[2]) == "--levels");
  std::string error;
  if (!SaveDataSetFiles(*w->Rhythm, "Completo", kMaxFormulas, kMaxTemas, names, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return 0;
}
