// Writes the benchmarks' full data set into a working folder, as the set
// "Completo" (with "--levels", the set of every stroke level), so that the
// programs can be started on it: write_full_set FOLDER [--levels], then
// DRAV_PROF FOLDER/datos/Completo.vl2. With "--song SECONDS" the set is
// "Cancion", the same but for its first theme, a dense song of that length
// for the export's benchmark (bench/export_compare.sh): 120 bpm, one entry of
// 12 beats (6 s) after the other, 16 tracks of 8 strokes a beat.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/full_set.h"
#include "rhythm/dataset.h"

int main(int argc, char** argv) {
  bool levels = false;
  int songSeconds = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--levels") {
      levels = true;
    } else if (a == "--song" && i + 1 < argc) {
      songSeconds = std::atoi(argv[++i]);
    } else {
      songSeconds = -1;
    }
  }
  if (argc < 2 || songSeconds < 0 || songSeconds > 6 * kMaxEntries) {
    std::fprintf(stderr, "usage: write_full_set FOLDER [--levels] [--song SECONDS (up to %d)]\n", 6 * kMaxEntries);
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
  auto w = FullSet(&names, levels);
  if (songSeconds > 0) {
    Tema& song = w->Rhythm->Temas[0];
    InitNewTema(song, 120);
    song.entryCount = songSeconds / 6;
    for (int e = 0; e < kEntrySlots; ++e) song.times[e] = e < song.entryCount ? 1 : 0;
  }
  std::string error;
  if (!SaveDataSetFiles(*w->Rhythm, songSeconds > 0 ? "Cancion" : "Completo", kMaxFormulas, kMaxTemas, names,
                        &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return 0;
}
