// A guitar bank: the recordings of the six open strings, loaded from
// BancoDeSonidos/<bank>/c6.wav .. c1.wav, with the bank's tuning from its
// optional afinacion.txt.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/sound_bank.h"
#include "guitar/guitar_records.h"
#include "guitar/notes.h"

inline const std::string kDefaultGuitarBank = "Guitarra";
inline const std::string kTuningFileName = "afinacion.txt";
// The settings key (section METRONOMO) that keeps the chosen bank.
inline const std::string kGuitarBankSettingsKey = "Guitarra";

struct BancoGuitarra {
  // The six recordings one after another, 6th string first.
  std::vector<int16_t> GuitarBankStream;
  // Where string index i (0 = 6th string) starts in the stream and how many
  // samples it has; a string that failed to load has length 0.
  std::array<int32_t, kGuitarStrings> GuitarSampleOffsets{};
  std::array<int32_t, kGuitarStrings> GuitarSampleLengths{};
  std::string GuitarBankName = kDefaultGuitarBank;  // Latin-1

  // The samples of string index i; empty for an index outside 0..5 or an
  // entry that does not lie within the stream.
  SoundView String(int i) const;
};

// The file of string number 1..6 of a bank: folder + bank + "/c<n>.wav".
std::string GuitarStringPath(const std::string& folder, const std::string& bank, int stringNumber);

struct GuitarBankLoad {
  std::vector<std::string> FailedPaths;  // string files that could not be opened, 6th string first
  std::string TuningCaption;             // what Label5 shows: the six open-string labels
};

// LoadGuitarBank: empties the stream, reads the bank's afinacion.txt (none:
// standard tuning), applies the tuning to `tuning` (labels and StringTuning)
// and appends the data of c6.wav .. c1.wav: the byte count at offset 40 of
// each file, cut to the bytes after the 44-byte header and to 12 s of sound.
// A file that cannot be opened leaves its string empty (length 0) and is
// listed in FailedPaths. `name` is the bank's Latin-1 name.
GuitarBankLoad LoadGuitarBank(BancoGuitarra& bank, GuitarTuning& tuning, const std::string& name,
                              const std::string& folder = kSoundFolder);

// "No se puede abrir el archivo:\r\n" + path (or the English wording) for
// every file the load could not open.
std::vector<std::string> GuitarBankMessages(const GuitarBankLoad& load, bool english);
