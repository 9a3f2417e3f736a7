#include "guitar/track.h"

#include <algorithm>
#include <filesystem>

#include "guitar/bars.h"
#include "guitar/gtr_file.h"
#include "platform/files/atomic_file.h"
#include "rhythm/library_ops.h"

namespace {

// Grows the track with empty beats to at least `count` slots; false when
// that would pass the largest track.
bool GrowTo(GuitarState& g, size_t count) {
  if (count > kMaxTrackBeats) return false;
  if (g.GuitarTrack.size() < count) g.GuitarTrack.resize(count, EmptyTiempoG());
  return true;
}

bool Finish(GuitarState& g) {
  ReadCursorBeat(g);
  g.Modified = true;
  return true;
}

}  // namespace

int BarsInTable(const GuitarState& g) {
  return g.GuitarBars.empty() ? 0 : static_cast<int>(g.GuitarBars.size()) - 1;
}

int BeatsInBar(const GuitarState& g, int bar) {
  if (bar < 1 || bar > BarsInTable(g)) return 0;
  const uint32_t from = g.GuitarBars[static_cast<size_t>(bar - 1)];
  const uint32_t to = g.GuitarBars[static_cast<size_t>(bar)];
  return to > from ? static_cast<int>((to - from) / kBeatBytes) : 0;
}

std::optional<uint32_t> BarOffset(const GuitarState& g, int bar) {
  if (bar < 1 || bar > BarsInTable(g)) return std::nullopt;
  return g.GuitarBars[static_cast<size_t>(bar - 1)];
}

std::optional<uint32_t> BeatOffset(const GuitarState& g, int bar, int beat) {
  if (beat < 1 || beat > BeatsInBar(g, bar)) return std::nullopt;
  return g.GuitarBars[static_cast<size_t>(bar - 1)] + static_cast<uint32_t>(beat - 1) * kBeatBytes;
}

std::optional<uint32_t> CursorOffset(const GuitarState& g) { return BeatOffset(g, g.GuitarBar, g.GuitarBeat); }

const TiempoG* SlotAt(const GuitarState& g, uint32_t offset) {
  if (offset % kBeatBytes != 0) return nullptr;
  const size_t slot = offset / kBeatBytes;
  return slot < g.GuitarTrack.size() ? &g.GuitarTrack[slot] : nullptr;
}

TiempoG BeatAt(const GuitarState& g, uint32_t offset) {
  const TiempoG* s = SlotAt(g, offset);
  return s ? *s : EmptyTiempoG();
}

bool WriteBeatAt(GuitarState& g, uint32_t offset, const TiempoG& beat) {
  if (offset % kBeatBytes != 0) return false;
  const size_t slot = offset / kBeatBytes;
  if (!GrowTo(g, slot + 1)) return false;
  g.GuitarTrack[slot] = beat;
  return true;
}

void ReadCursorBeat(GuitarState& g) {
  const std::optional<uint32_t> a = CursorOffset(g);
  g.CurrentTiempoG = a ? BeatAt(g, *a) : EmptyTiempoG();
}

bool StoreCurrentBeat(GuitarState& g) {
  const std::optional<uint32_t> a = CursorOffset(g);
  return a && WriteBeatAt(g, *a, g.CurrentTiempoG);
}

// --- opening and closing -------------------------------------------------------

void BlankSlashesInName(Tema& t) {
  for (char& c : t.name)
    if (c == '/') c = ' ';
}

void SetGuitarTrackPath(GuitarState& g, Tema& t, const std::string& dataSetName) {
  BlankSlashesInName(t);
  if (!GuitarTrackPathOf(dataSetName, t.Name(), &g.GuitarTrackPath)) g.GuitarTrackPath.clear();
}

bool OpenGuitarTrack(GuitarState& g, RhythmTables& tables, int tema, const std::string& dataSetName) {
  g.Modified = false;
  ClearTiempoG(g.CurrentTiempoG);
  g.GuitarBeat = 1;
  g.GuitarBar = 1;
  g.GuitarTrack.clear();
  if (tema < 0 || tema >= kMaxTemas) {
    g.GuitarTrackPath.clear();
    g.GuitarBars = {0};
  } else {
    Tema& t = tables.Temas[static_cast<size_t>(tema)];
    SetGuitarTrackPath(g, t, dataSetName);
    g.GuitarBars = BuildBarTable(t, tables.Formulas.data());
  }
  g.GuitarBarCount = BarsInTable(g);
  g.GuitarBeatsInBar = BeatsInBar(g, 1);
  const size_t themeBeats = g.GuitarBars.back() / kBeatBytes;

  g.FileFound = !g.GuitarTrackPath.empty() && FileExists(g.GuitarTrackPath);
  BeatRecords records;
  if (g.FileFound && ReadBeatFile(g.GuitarTrackPath, true, &records)) {
    g.GuitarTrack = std::move(records.beats);
    // A track shorter than the theme goes on with its last beat.
    if (g.GuitarTrack.size() < themeBeats) g.GuitarTrack.resize(themeBeats, records.padBeat);
  } else {
    g.GuitarTrack.assign(themeBeats, EmptyTiempoG());
  }
  ReadCursorBeat(g);
  return g.FileFound;
}

bool PrepareGuitarClose(GuitarState& g, Tema& t, const std::string& dataSetName) {
  SetGuitarTrackPath(g, t, dataSetName);
  return g.Modified;
}

void ReleaseGuitarBars(GuitarState& g) {
  g.GuitarBars.clear();
  g.GuitarBars.shrink_to_fit();
}

bool SaveGuitarTrack(GuitarState& g, std::string* error) {
  if (g.GuitarTrackPath.empty()) {
    if (error) *error = "the theme's name cannot be used as a file name";
    return false;
  }
  std::string why;
  // The set's folder may not be on disk yet (a set never saved).
  const std::string folder = std::filesystem::path(g.GuitarTrackPath).parent_path().string();
  if ((!folder.empty() && !MakeDirs(folder, &why)) ||
      !WriteBeatFile(g.GuitarTrackPath, g.GuitarTrack.data(), g.GuitarTrack.size(), &why)) {
    if (error) *error = why;
    return false;
  }
  g.Modified = false;
  return true;
}

// --- beats and bars ------------------------------------------------------------

bool InsertGuitarBeat(GuitarState& g) {
  const std::optional<uint32_t> a = CursorOffset(g);
  if (!a) return false;
  const size_t slot = *a / kBeatBytes;
  if (std::max(g.GuitarTrack.size(), slot) + 1 > kMaxTrackBeats) return false;
  GrowTo(g, slot);
  g.GuitarTrack.insert(g.GuitarTrack.begin() + static_cast<std::ptrdiff_t>(slot), EmptyTiempoG());
  return Finish(g);
}

bool EmptyGuitarBeat(GuitarState& g) {
  const std::optional<uint32_t> a = CursorOffset(g);
  if (!a || !WriteBeatAt(g, *a, EmptyTiempoG())) return false;
  return Finish(g);
}

bool DeleteGuitarBeat(GuitarState& g) {
  const std::optional<uint32_t> a = CursorOffset(g);
  if (!a) return false;
  const size_t slot = *a / kBeatBytes;
  if (slot >= g.GuitarTrack.size()) return false;
  g.GuitarTrack.erase(g.GuitarTrack.begin() + static_cast<std::ptrdiff_t>(slot));
  g.GuitarTrack.push_back(EmptyTiempoG());
  return Finish(g);
}

bool InsertGuitarBar(GuitarState& g) {
  const std::optional<uint32_t> start = BarOffset(g, g.GuitarBar);
  const size_t c = static_cast<size_t>(BeatsInBar(g, g.GuitarBar));
  if (!start || c == 0) return false;
  const size_t slot = *start / kBeatBytes;
  if (std::max(g.GuitarTrack.size(), slot) + c > kMaxTrackBeats) return false;
  GrowTo(g, slot);
  g.GuitarTrack.insert(g.GuitarTrack.begin() + static_cast<std::ptrdiff_t>(slot), c, EmptyTiempoG());
  return Finish(g);
}

bool EmptyGuitarBar(GuitarState& g) {
  const std::optional<uint32_t> start = BarOffset(g, g.GuitarBar);
  const size_t c = static_cast<size_t>(BeatsInBar(g, g.GuitarBar));
  if (!start || c == 0) return false;
  const size_t slot = *start / kBeatBytes;
  // Beats the track does not reach are empty already.
  for (size_t s = slot; s < slot + c && s < g.GuitarTrack.size(); ++s) g.GuitarTrack[s] = EmptyTiempoG();
  return Finish(g);
}

bool DeleteGuitarBar(GuitarState& g) {
  const std::optional<uint32_t> start = BarOffset(g, g.GuitarBar);
  const size_t c = static_cast<size_t>(BeatsInBar(g, g.GuitarBar));
  if (!start || c == 0) return false;
  const size_t slot = *start / kBeatBytes;
  if (slot >= g.GuitarTrack.size()) return false;
  const size_t n = std::min(c, g.GuitarTrack.size() - slot);
  const auto first = g.GuitarTrack.begin() + static_cast<std::ptrdiff_t>(slot);
  g.GuitarTrack.erase(first, first + static_cast<std::ptrdiff_t>(n));
  g.GuitarTrack.insert(g.GuitarTrack.end(), n, EmptyTiempoG());
  return Finish(g);
}
