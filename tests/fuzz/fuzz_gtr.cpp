// A theme's guitar track: the file read in both layouts and written back, and
// opened for a small theme whose bars come from the first bytes, then edited
// beat by beat and bar by bar at cursors taken from the input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_file.h"
#include "guitar/clipboard.h"
#include "guitar/gtr_file.h"
#include "guitar/track.h"

namespace {

void CheckRoundTrip(const BeatRecords& r, bool olderLayout) {
  for (const TiempoG& b : r.beats)
    if (b.divisions < 1 || b.divisions > kMaxDivisions) __builtin_trap();
  const std::vector<uint8_t> bytes = BeatFileBytes(r.beats.data(), r.beats.size());
  const BeatRecords again = ParseBeatRecords(bytes.data(), bytes.size(), olderLayout);
  if (again.beats.size() != r.beats.size() || again.stoppedOnBadByte || again.truncatedRecord) __builtin_trap();
  for (size_t i = 0; i < r.beats.size(); ++i)
    if (std::memcmp(&again.beats[i], &r.beats[i], sizeof(TiempoG)) != 0) __builtin_trap();
}

void CheckCursor(const GuitarState& g) {
  const std::optional<uint32_t> a = CursorOffset(g);
  const TiempoG here = a ? BeatAt(g, *a) : EmptyTiempoG();
  if (std::memcmp(&here, &g.CurrentTiempoG, sizeof(TiempoG)) != 0) __builtin_trap();
}

void Run(const uint8_t* data, size_t size) {
  static std::unique_ptr<RhythmTables> t = RhythmTables::Create();
  // Bytes 0..3: the theme (formula beats, repetitions) and the cursor walk.
  for (int f = 0; f < 4; ++f) t->Formulas[static_cast<size_t>(f)].SetHeader((data[0] >> (2 * f)) & 3 ? f + 2 : 0, 0);
  Tema& th = t->Temas[0];
  th = Tema{};
  th.SetName("Solea");
  th.entryCount = 3;
  for (int e = 0; e < 3; ++e) {
    th.formulas[e] = static_cast<uint16_t>((data[1] >> (2 * e)) & 3);
    th.times[e] = static_cast<uint8_t>((data[2] >> (3 * e)) & 7);
  }
  const uint8_t walk = data[3];
  const uint8_t* file = data + 4;
  const size_t fileSize = size - 4;

  const std::string path = FuzzFile("datos/Original/Solea.gtr", file, fileSize);
  for (bool older : {true, false}) {
    BeatRecords r;
    if (!ReadBeatFile(path, older, &r)) __builtin_trap();
    CheckRoundTrip(r, older);
  }

  GuitarState g;
  OpenGuitarTrack(g, *t, 0, "Original");
  if (g.GuitarBars.empty() || g.GuitarTrack.size() < g.GuitarBars.back() / kBeatBytes) __builtin_trap();
  CheckCursor(g);

  bool (*const ops[])(GuitarState&) = {InsertGuitarBeat, EmptyGuitarBeat, DeleteGuitarBeat, InsertGuitarBar,
                                      EmptyGuitarBar,   DeleteGuitarBar, CopyGuitarBeat,   PasteGuitarBeat,
                                      CopyGuitarBar,    PasteGuitarBar};
  for (int step = 0; step < 16; ++step) {
    const uint8_t b = static_cast<uint8_t>(walk * (step + 1) + step * 37);
    g.GuitarBar = b % (g.GuitarBarCount + 2);  // now and then outside the table
    g.GuitarBeat = (b >> 3) % 7;
    ReadCursorBeat(g);
    const size_t before = g.GuitarTrack.size();
    const auto op = ops[(b >> 4) % (sizeof ops / sizeof ops[0])];
    const bool done = op(g);
    if (!done && g.GuitarTrack.size() != before) __builtin_trap();
    if ((op == DeleteGuitarBeat || op == DeleteGuitarBar || op == EmptyGuitarBeat) && g.GuitarTrack.size() != before)
      __builtin_trap();
    CheckCursor(g);
  }
  g.MarkedBeats = walk % 5;
  std::string error;
  if (SaveGuitarTemplate(g, "datos/riff", &error)) {
    GuitarState h = g;
    h.GuitarBar = 1;
    h.GuitarBeat = 1;
    ReadCursorBeat(h);
    PasteGuitarTemplate(h, "datos/riff.pgt");
    CheckCursor(h);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool made = [] {
    std::filesystem::create_directories(FuzzFolder() + "/datos/Original");
    return true;
  }();
  (void)made;
  if (size < 4) return 0;
  // The track's path is relative to the working folder: the scratch folder
  // for this input, the fuzzer's own folder again afterwards.
  const std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::current_path(FuzzFolder());
  Run(data, size);
  std::filesystem::current_path(home);
  return 0;
}
