// Formula and theme records: the in-memory tables and the on-disk layout of
// formulas.svs and temas.svs are the same bytes.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

static_assert(std::endian::native == std::endian::little,
              "records are stored little-endian as raw memory");

constexpr int kMaxFormulas = 512;
constexpr int kMaxTemas = 128;
constexpr int kMaxEntries = 120;     // a theme holds at most this many entries
constexpr int kEntrySlots = 256;     // slots of the entry arrays in the record
constexpr int kTracks = 16;
constexpr int kMaxBeats = 12;
constexpr int kMaxStrokes = 8;

// One compás of up to 16 tracks over 1..12 beats.
struct Formula {
  int32_t cells[kMaxBeats][kTracks];  // 3-bit stroke codes, stroke s in bits 3s..3s+2
  uint8_t strokeCounts[96];           // one nibble per (beat, track)
  uint8_t header;                     // low nibble beats, high nibble first beat - 1
  uint8_t sounds[kTracks];            // 0 silence, n = n-th sound of the list
  char name[16];                      // NUL-padded, no terminator at 16
  uint8_t spare;
  uint16_t accents;                   // bit b: beat b accented; bit 15: count by accents

  int Beats() const { return header & 0x0F; }
  int StartBeat() const { return header >> 4; }  // 0-based
  void SetHeader(int beats, int startBeat0) {
    header = static_cast<uint8_t>((beats & 0x0F) | ((startBeat0 & 0x0F) << 4));
  }
  int StrokeCount(int beat, int track) const {
    const int n = kTracks * beat + track;
    const uint8_t b = strokeCounts[n / 2];
    return (track % 2 == 0) ? (b & 0x0F) : (b >> 4);
  }
  void SetStrokeCount(int beat, int track, int count) {
    const int n = kTracks * beat + track;
    uint8_t& b = strokeCounts[n / 2];
    if (track % 2 == 0)
      b = static_cast<uint8_t>((b & 0xF0) | (count & 0x0F));
    else
      b = static_cast<uint8_t>((b & 0x0F) | ((count & 0x0F) << 4));
  }
  int Stroke(int beat, int track, int stroke) const {
    return (cells[beat][track] >> (3 * stroke)) & 7;
  }
  bool CountByAccents() const { return (accents & 0x8000) != 0; }
  bool Accented(int beat) const { return (accents >> beat) & 1; }
  std::string Name() const;  // at most 16 bytes, up to the first NUL
  void SetName(const std::string& latin1);  // NUL-padded, cut at 16
};

// A piece: ordered entries of formula, repetitions, acceleration and tempo.
struct Tema {
  char name[32];
  uint16_t entryCount;
  uint8_t times[kEntrySlots];
  uint16_t formulas[kEntrySlots];
  int8_t accel[kEntrySlots];
  uint8_t spare[2];
  float gain;
  uint16_t tempos[kEntrySlots];
  uint8_t partsOrder;   // bits 0..6 parts, bit 7 in order
  uint8_t introEnding;  // high nibble intro beats, low nibble ending beats
  uint8_t pan[17];      // 0 left, 16 centre, 32 right
  uint8_t volume[17];   // 1..16, 8 unity

  bool Unused() const { return static_cast<uint8_t>(name[0]) == 0xFF; }
  int Parts() const { return partsOrder & 0x7F; }
  bool InOrder() const { return (partsOrder & 0x80) != 0; }
  int Intro() const { return introEnding >> 4; }
  int Ending() const { return introEnding & 0x0F; }
  std::string Name() const;  // at most 32 bytes, up to the first NUL
  void SetName(const std::string& latin1);
};

static_assert(sizeof(Formula) == 900);
static_assert(offsetof(Formula, cells) == 0);
static_assert(offsetof(Formula, strokeCounts) == 768);
static_assert(offsetof(Formula, header) == 864);
static_assert(offsetof(Formula, sounds) == 865);
static_assert(offsetof(Formula, name) == 881);
static_assert(offsetof(Formula, spare) == 897);
static_assert(offsetof(Formula, accents) == 898);

static_assert(sizeof(Tema) == 1612);
static_assert(offsetof(Tema, name) == 0);
static_assert(offsetof(Tema, entryCount) == 32);
static_assert(offsetof(Tema, times) == 34);
static_assert(offsetof(Tema, formulas) == 290);
static_assert(offsetof(Tema, accel) == 802);
static_assert(offsetof(Tema, spare) == 1058);
static_assert(offsetof(Tema, gain) == 1060);
static_assert(offsetof(Tema, tempos) == 1064);
static_assert(offsetof(Tema, partsOrder) == 1576);
static_assert(offsetof(Tema, introEnding) == 1577);
static_assert(offsetof(Tema, pan) == 1578);
static_assert(offsetof(Tema, volume) == 1595);

// Accent word of a repaired formula: beats 3, 6, 8, 10 and 12, count by beats.
constexpr uint16_t kDefaultAccents = 0x0AA4;

// The rhythm tables of the open data set, and the second pair used by the
// theme import and as scratch by sorting.
struct RhythmTables {
  std::array<Formula, kMaxFormulas> Formulas{};
  int FormulaCount = 0;
  std::array<Tema, kMaxTemas> Temas{};
  int TemaCount = 0;
  std::array<Formula, kMaxFormulas> ImportFormulas{};
  std::array<Tema, kMaxTemas> ImportTemas{};
  int CurrentFormula = 0;
  int CurrentTema = 0;

  static std::unique_ptr<RhythmTables> Create() { return std::make_unique<RhythmTables>(); }
};

// Fixed-width name fields: read up to the first NUL (at most n bytes);
// written NUL-padded and cut at n.
std::string ReadFixedName(const char* p, size_t n);
void WriteFixedName(char* p, size_t n, const std::string& s);

// Record operations shared by the editors, the open and the converter.
void ClearPattern(Formula& f);              // cells and stroke counts to 0
bool FormulaIsInvalid(const Formula& f);    // beat nibble above 12
void RepairFormula(Formula& f);             // "Nueva", 12 beats, default accents, empty pattern
void InitNewTema(Tema& t, int tempoBpm);    // no entries, centred pan, unity volume
// Cell value for a typed stroke string: digit 1..7 sets that stroke, any
// other character leaves a rest; returns the stroke count (length, max 8).
int CellFromStrokeText(const std::string& text, int32_t* cell);
// Volume gain of a track level 1..16 (8 = unity).
float VolumeGain(int v);
