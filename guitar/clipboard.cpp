#include "guitar/clipboard.h"

#include <algorithm>
#include <vector>

#include "guitar/gtr_file.h"
#include "platform/files/atomic_file.h"
#include "rhythm/library_ops.h"

bool CopyGuitarBeat(GuitarState& g) {
  const std::optional<uint32_t> a = CursorOffset(g);
  if (!a) return false;
  g.BeatClipboard = {true, g.GuitarBeat, g.GuitarBar, *a};
  return true;
}

bool PasteGuitarBeat(GuitarState& g) {
  const std::optional<uint32_t> a = CursorOffset(g);
  if (!g.BeatClipboard.filled || !a) return false;
  g.CurrentTiempoG = BeatAt(g, g.BeatClipboard.offset);
  if (!StoreCurrentBeat(g)) return false;
  g.Modified = true;
  return true;
}

bool CopyGuitarBar(GuitarState& g) {
  const std::optional<uint32_t> start = BarOffset(g, g.GuitarBar);
  if (!start) return false;
  g.BarClipboard = {true, g.GuitarBar, *start};
  return true;
}

bool PasteGuitarBar(GuitarState& g) {
  const std::optional<uint32_t> start = BarOffset(g, g.GuitarBar);
  if (!g.BarClipboard.filled || !start) return false;
  // Copied first: the source and the target may overlap.
  const int n = BeatsInBar(g, g.GuitarBar);
  std::vector<TiempoG> beats;
  beats.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const uint64_t from = uint64_t{g.BarClipboard.offset} + uint64_t{kBeatBytes} * static_cast<uint64_t>(i);
    beats.push_back(from <= UINT32_MAX ? BeatAt(g, static_cast<uint32_t>(from)) : EmptyTiempoG());
  }
  for (int i = 0; i < n; ++i)
    if (!WriteBeatAt(g, *start + kBeatBytes * static_cast<uint32_t>(i), beats[static_cast<size_t>(i)])) break;
  ReadCursorBeat(g);
  g.Modified = true;
  return true;
}

bool SaveGuitarTemplate(const GuitarState& g, const std::string& path, std::string* error) {
  const std::optional<uint32_t> a = CursorOffset(g);
  if (g.MarkedBeats <= 0 || !a) {
    if (error) *error = "no beats are marked";
    return false;
  }
  const size_t count = std::min<size_t>(static_cast<size_t>(g.MarkedBeats), kMaxTrackBeats);
  std::vector<TiempoG> beats;
  beats.reserve(count);
  const size_t first = *a / kBeatBytes;
  for (size_t i = 0; i < count; ++i) {
    const size_t s = first + i;
    beats.push_back(s < g.GuitarTrack.size() ? g.GuitarTrack[s] : EmptyTiempoG());
  }
  return WriteBeatFile(WithTemplateExtension(path), beats.data(), beats.size(), error);
}

bool PasteGuitarTemplate(GuitarState& g, const std::string& path) {
  const std::optional<uint32_t> a = CursorOffset(g);
  BeatRecords records;
  if (!a || !ReadBeatFile(path, false, &records)) return false;
  const size_t first = *a / kBeatBytes;
  bool pasted = false;
  for (size_t i = 0; i < records.beats.size(); ++i) {
    // Both counts are bounded by the largest track: the offset fits.
    if (!WriteBeatAt(g, static_cast<uint32_t>((first + i) * kBeatBytes), records.beats[i])) break;
    pasted = true;
  }
  // Pasted beats are a change to save, or closing the panel would lose them.
  if (pasted) g.Modified = true;
  ReadCursorBeat(g);
  return true;
}

void CopyGuitarTheme(GuitarState& g, int row) { g.GuitarThemeClipboard = row; }

GuitarThemePaste PasteGuitarTheme(const GuitarState& g, const RhythmTables& tables, int temaCount,
                                  const std::string& dataSetName, int selectedRow, std::string* error) {
  const int remembered = g.GuitarThemeClipboard;
  if (remembered == 0) return GuitarThemePaste::kNothingRemembered;
  if (remembered == selectedRow) return GuitarThemePaste::kSameTheme;
  const int count = std::clamp(temaCount, 0, kMaxTemas);
  if (remembered < 1 || remembered > count || selectedRow < 1 || selectedRow > count)
    return GuitarThemePaste::kNoSuchTheme;
  std::string from, to;
  if (!GuitarTrackPathOf(dataSetName, tables.Temas[static_cast<size_t>(remembered - 1)].Name(), &from) ||
      !GuitarTrackPathOf(dataSetName, tables.Temas[static_cast<size_t>(selectedRow - 1)].Name(), &to))
    return GuitarThemePaste::kNoFile;
  // Two themes of the same name share one file.
  if (from == to) return GuitarThemePaste::kSameTheme;
  if (!FileExists(from)) return GuitarThemePaste::kNoFile;
  std::string why;
  if (!CopyFileReplacing(from, to, &why)) {
    if (error) *error = why;
    return GuitarThemePaste::kFailed;
  }
  return GuitarThemePaste::kCopied;
}
