// Records of the older data-set generation (8 tracks of 2-bit stroke levels,
// 120 entries per theme) and their conversion into the current records.
// Files: datos/<name>.ole (sound list), datos/<name>/formulas.van and
// datos/<name>/temas.van (raw records back to back, no header).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "rhythm/records.h"

constexpr int kTracksV1 = 8;
constexpr int kEntriesV1 = 120;

struct FormulaV1 {
  uint16_t cells[kMaxBeats][kTracksV1];  // 2-bit levels, stroke s in bits 2s..2s+1 (3 loudest)
  uint8_t strokeCounts[48];              // one nibble per (beat, track), 4 bytes per beat
  uint8_t header;                        // low nibble beats, high nibble first beat - 1
  uint8_t sounds[kTracksV1];             // 0 silence, n = n-th sound of the list
  char name[5];                          // no terminator
  uint16_t accents;                      // as in Formula

  int Beats() const { return header & 0x0F; }
  int StartBeat() const { return header >> 4; }
  int StrokeCount(int beat, int track) const {
    const int n = kTracksV1 * beat + track;
    const uint8_t b = strokeCounts[n / 2];
    return (track % 2 == 0) ? (b & 0x0F) : (b >> 4);
  }
  void SetStrokeCount(int beat, int track, int count) {
    const int n = kTracksV1 * beat + track;
    uint8_t& b = strokeCounts[n / 2];
    if (track % 2 == 0)
      b = static_cast<uint8_t>((b & 0xF0) | (count & 0x0F));
    else
      b = static_cast<uint8_t>((b & 0x0F) | ((count & 0x0F) << 4));
  }
  int Level(int beat, int track, int stroke) const { return (cells[beat][track] >> (2 * stroke)) & 3; }
  std::string Name() const;                 // at most 5 bytes, up to the first NUL
  void SetName(const std::string& latin1);  // NUL-padded, cut at 5
};

struct TemaV1 {
  char name[14];  // NUL-padded
  uint16_t entryCount;
  uint8_t times[kEntriesV1];
  uint16_t formulas[kEntriesV1];
  int8_t accel[kEntriesV1];
  float gain;
  uint16_t tempo;       // bpm of the whole theme
  uint8_t partsOrder;   // bits 0..6 parts, bit 7 in order
  uint8_t introEnding;  // high nibble intro beats, low nibble ending beats
  uint8_t spare[8];

  std::string Name() const;  // at most 14 bytes, up to the first NUL
  void SetName(const std::string& latin1);
};

static_assert(sizeof(FormulaV1) == 256);
static_assert(offsetof(FormulaV1, cells) == 0);
static_assert(offsetof(FormulaV1, strokeCounts) == 192);
static_assert(offsetof(FormulaV1, header) == 240);
static_assert(offsetof(FormulaV1, sounds) == 241);
static_assert(offsetof(FormulaV1, name) == 249);
static_assert(offsetof(FormulaV1, accents) == 254);

static_assert(sizeof(TemaV1) == 512);
static_assert(offsetof(TemaV1, name) == 0);
static_assert(offsetof(TemaV1, entryCount) == 14);
static_assert(offsetof(TemaV1, times) == 16);
static_assert(offsetof(TemaV1, formulas) == 136);
static_assert(offsetof(TemaV1, accel) == 376);
static_assert(offsetof(TemaV1, gain) == 496);
static_assert(offsetof(TemaV1, tempo) == 500);
static_assert(offsetof(TemaV1, partsOrder) == 502);
static_assert(offsetof(TemaV1, introEnding) == 503);
static_assert(offsetof(TemaV1, spare) == 504);

// The converter reads at most this much of each older record file.
constexpr size_t kFormulasV1FileMax = 131072;  // 512 records
constexpr size_t kTemasV1FileMax = 65536;      // 128 records
// The most an older sound list can hold: a formula names its sounds by one
// byte (1..255), each a file name of at most 255 bytes and its CR LF. A
// longer .ole is not one of ours and is refused unread.
constexpr size_t kSoundListV1FileMax = 255 * (255 + 2);

std::string FormulasV1PathOf(const std::string& name);  // datos/<name>/formulas.van
std::string TemasV1PathOf(const std::string& name);     // datos/<name>/temas.van

// Raw record arrays: whole records only, at most maxRecords of them.
template <class Record>
std::vector<Record> RecordsFromBytes(const std::vector<uint8_t>& bytes, size_t maxRecords) {
  const size_t n = std::min(bytes.size() / sizeof(Record), maxRecords);
  std::vector<Record> out(n);
  if (n > 0) std::memcpy(out.data(), bytes.data(), n * sizeof(Record));
  return out;
}
template <class Record>
std::vector<uint8_t> BytesOfRecords(const Record* records, size_t count) {
  std::vector<uint8_t> out(count * sizeof(Record));
  if (count > 0) std::memcpy(out.data(), records, out.size());
  return out;
}

// Reads an older record file: at most its cap and the table's size; a
// missing file gives no records and false.
bool ReadFormulasV1(const std::string& path, std::vector<FormulaV1>* out);
bool ReadTemasV1(const std::string& path, std::vector<TemaV1>* out);

// One older record into a current one. Levels 1..3 become codes 5..7, tracks
// 8..15 stay silent and empty; stroke counts above 8 are read as 8.
Formula FormulaFromV1(const FormulaV1& old);
// Names, entries, gain, tempo (into tempos[0]), parts and intro/ending are
// kept; tracks 0..7 get pan 4 x t and volume 8, tracks 8..16 pan 0 and
// volume 0. An entry count above 120 is read as 120.
Tema TemaFromV1(const TemaV1& old);

// What a conversion of an older set did.
struct V1Conversion {
  bool hadFormulas = false;   // formulas.van was there (formulas.svs written)
  bool hadTemas = false;      // temas.van was there (temas.svs written)
  std::vector<int> repaired;  // formulas repaired after the files were written
};

// Converts the older set <name>: writes the list (the bytes of olePath) to
// listPath and, for each older record file present, the current record file
// beside it, all at once; only then are the tables replaced. The current
// files keep every record as converted; invalid formulas are repaired in the
// table afterwards. False (tables and files untouched) when the list cannot
// be read, is longer than kSoundListV1FileMax, or a file cannot be written.
bool ConvertDataSetV1(RhythmTables& t, const std::string& olePath, const std::string& listPath,
                      const std::string& name, V1Conversion* result, std::string* error);
