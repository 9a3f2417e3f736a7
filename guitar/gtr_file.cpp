#include "guitar/gtr_file.h"

#include <algorithm>
#include <cstring>

#include "platform/files/atomic_file.h"
#include "platform/files/text.h"

BeatRecords ParseBeatRecords(const uint8_t* data, size_t size, bool olderLayout, size_t maxBeats) {
  BeatRecords out;
  size_t p = 0;
  int last = 0;  // division count of the last record read, 0 = none yet
  bool endedOnSkip = false;
  while (p < size && out.beats.size() < maxBeats) {
    const int n = data[p];
    if (n >= 1 && n <= kMaxDivisions) {
      TiempoG beat = EmptyTiempoG();
      const size_t want = BeatRecordBytes(n);
      const size_t have = std::min(want, size - p);
      std::memcpy(&beat, data + p, have);
      if (have < want) out.truncatedRecord = true;
      out.beats.push_back(beat);
      p += have;
      last = n;
      endedOnSkip = false;
      continue;
    }
    // The zero tail of an older 724-byte record, when a record before it
    // says how long the tail is.
    endedOnSkip = true;
    if (!olderLayout || last == 0 || last >= kOldLayoutDivisions) {
      out.stoppedOnBadByte = true;
      break;
    }
    const size_t skip = static_cast<size_t>(kOldLayoutDivisions - last) * kDivisionBytes;
    p += std::min(skip, size - p);
  }
  out.padBeat = (out.beats.empty() || endedOnSkip) ? EmptyTiempoG() : out.beats.back();
  return out;
}

std::vector<uint8_t> BeatFileBytes(const TiempoG* beats, size_t count) {
  std::vector<uint8_t> bytes;
  size_t total = 0;
  for (size_t i = 0; i < count; ++i)
    total += BeatRecordBytes(std::clamp<int>(beats[i].divisions, 1, kMaxDivisions));
  bytes.reserve(total);
  for (size_t i = 0; i < count; ++i) {
    const int n = std::clamp<int>(beats[i].divisions, 1, kMaxDivisions);
    const auto* b = reinterpret_cast<const uint8_t*>(&beats[i]);
    const size_t at = bytes.size();
    bytes.insert(bytes.end(), b, b + BeatRecordBytes(n));
    bytes[at] = static_cast<uint8_t>(n);
  }
  return bytes;
}

bool ReadBeatFile(const std::string& path, bool olderLayout, BeatRecords* out) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, kMaxBeatFileBytes, &bytes)) return false;
  *out = ParseBeatRecords(bytes.data(), bytes.size(), olderLayout);
  return true;
}

bool WriteBeatFile(const std::string& path, const TiempoG* beats, size_t count, std::string* error) {
  return WriteFileAtomically(path, BeatFileBytes(beats, count), error);
}

std::string WithTemplateExtension(const std::string& path) {
  return EndsWithNoCase(path, ".pgt") ? path : path + ".pgt";
}
