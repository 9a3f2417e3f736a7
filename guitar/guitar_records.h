// The guitar track's records: one division of a beat and one beat, the same
// bytes in memory, in GuitarTrack and (cut to the divisions in use) in .gtr
// and .pgt files.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "guitar records are stored little-endian as raw memory");

constexpr int kGuitarStrings = 6;     // string index i stands for string 6 - i
constexpr int kMaxDivisions = 24;     // divisions of a beat
constexpr int kOldLayoutDivisions = 12;  // division slots of a beat in older files

// Play modes of a note (the number is stored, never the caption).
enum GuitarMode : int32_t {
  kModeNormal = 0,
  kModeLigado = 1,
  kModeTapado = 2,
  kModeSilencio = 3,
};

#pragma pack(push, 1)
// One division of a beat: at most one note per string.
struct DivisionG {
  uint8_t fret[kGuitarStrings];      // fret on string index i, 0 = open string
  uint8_t strength[kGuitarStrings];  // 0 = no note; 1..7 = note of that strength
  int32_t mode[kGuitarStrings];      // GuitarMode
  uint8_t delay[kGuitarStrings];     // onset in percent of the division (0..99)
  uint8_t spare[18];                 // not interpreted
};

// One beat: 1..24 equal divisions.
struct TiempoG {
  uint8_t divisions;                 // divisions in use, 1..24
  uint8_t spare[3];                  // not interpreted
  DivisionG division[kMaxDivisions]; // only the first `divisions` are meaningful
};
#pragma pack(pop)

static_assert(sizeof(DivisionG) == 60);
static_assert(offsetof(DivisionG, fret) == 0);
static_assert(offsetof(DivisionG, strength) == 6);
static_assert(offsetof(DivisionG, mode) == 12);
static_assert(offsetof(DivisionG, delay) == 36);
static_assert(offsetof(DivisionG, spare) == 42);

static_assert(sizeof(TiempoG) == 1444);
static_assert(offsetof(TiempoG, divisions) == 0);
static_assert(offsetof(TiempoG, spare) == 1);
static_assert(offsetof(TiempoG, division) == 4);

constexpr uint32_t kBeatBytes = sizeof(TiempoG);          // one slot of GuitarTrack
constexpr uint32_t kDivisionBytes = sizeof(DivisionG);
constexpr uint32_t kBeatHeaderBytes = offsetof(TiempoG, division);
constexpr uint32_t kOldLayoutBeatBytes = kBeatHeaderBytes + kOldLayoutDivisions * kDivisionBytes;  // 724
static_assert(kOldLayoutBeatBytes == 724);

// Bytes of a beat record in a file: the header and the divisions in use.
constexpr uint32_t BeatRecordBytes(int divisions) {
  return kBeatHeaderBytes + static_cast<uint32_t>(divisions) * kDivisionBytes;
}

// What LimpiaTG makes of a beat: one division, no notes; the spare bytes are
// left as they are.
inline void ClearTiempoG(TiempoG& t) {
  t.divisions = 1;
  for (DivisionG& d : t.division) {
    for (int i = 0; i < kGuitarStrings; ++i) {
      d.fret[i] = 0;
      d.strength[i] = 0;
      d.mode[i] = kModeNormal;
      d.delay[i] = 0;
    }
  }
}

// A fresh empty beat, spare bytes zero.
inline TiempoG EmptyTiempoG() {
  TiempoG t{};
  t.divisions = 1;
  return t;
}
