// Beat files: the guitar track of a theme (.gtr) and guitar templates (.pgt).
// Both are a run of beat records with no header: the divisions byte, the 3
// spare bytes and the divisions in use, 4 + 60 n bytes. Tracks written by
// older versions keep every beat in 724 bytes (12 division slots, the unused
// ones zero); the track reader accepts both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "guitar/guitar_records.h"

// No track holds more beats than this: every entry a theme can hold
// (120) repeated 255 times over formulas of at most 15 beats. Readers stop
// there and the track operations refuse to grow past it, so every byte
// offset into the track fits 32 bits.
constexpr size_t kMaxTrackBeats = 120 * 255 * 15;
// The largest file that can hold that many beats.
constexpr size_t kMaxBeatFileBytes = kMaxTrackBeats * kBeatBytes;

struct BeatRecords {
  std::vector<TiempoG> beats;  // every record widened to a whole beat, the unused divisions empty
  // The beat a track is padded with after these records: a copy of the last
  // record read, or an empty beat when nothing was read or the reading
  // ended on skipped bytes.
  TiempoG padBeat = EmptyTiempoG();
  bool stoppedOnBadByte = false;  // a record header that could be neither read nor skipped
  bool truncatedRecord = false;   // the last record was cut short by the end of the data
};

// Reads beat records from data[0 .. size). A record starts with its division
// count n (1..24); its 4 + 60 n bytes are copied over an empty beat. Any
// other first byte:
//  - with olderLayout, it is taken for the zero tail of a 724-byte record
//    and 60 x (12 - n of the record before) bytes are skipped; when no
//    record was read yet, or the one before had 12 or more divisions (the
//    skip would not move), reading stops there;
//  - without it (templates), reading stops there.
// A record cut short by the end of the data keeps the bytes there are (its
// other divisions stay empty). Never reads outside the data; stops after
// maxBeats beats.
BeatRecords ParseBeatRecords(const uint8_t* data, size_t size, bool olderLayout,
                             size_t maxBeats = kMaxTrackBeats);

// The records of beats in file form, 4 + 60 n bytes each. A division count
// outside 1..24 (which no reader could take back) is written as the nearest
// valid count.
std::vector<uint8_t> BeatFileBytes(const TiempoG* beats, size_t count);

// Reads a beat file whole (at most kMaxBeatFileBytes); false when it cannot
// be opened or read.
bool ReadBeatFile(const std::string& path, bool olderLayout, BeatRecords* out);
// Writes beats as a beat file, atomically; *error tells why it failed.
bool WriteBeatFile(const std::string& path, const TiempoG* beats, size_t count, std::string* error);

// A template file name ends in ".pgt" (letters in any case); ".pgt" is
// appended otherwise.
std::string WithTemplateExtension(const std::string& path);
