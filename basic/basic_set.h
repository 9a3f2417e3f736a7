// The basic edition's data set: the older records (rhythm/formats_v1.h), the
// sound list datos/<N>.ole, the set's own WAV files in datos/<N>/ and their
// packed copy for the hardware metronome's sound memory, sonidos.van.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/sound_bank.h"
#include "engine/wav.h"
#include "rhythm/dataset.h"
#include "rhythm/formats_v1.h"
#include "rhythm/records.h"

constexpr int kBasicFormulaName = 5;
constexpr int kBasicTemaName = 14;
constexpr int kBasicSounds = 16;
constexpr size_t kSoundDataV1Bytes = 131072;
// The device's sound memory; above it a set cannot be saved.
constexpr size_t kDeviceSoundMemory = 131008;
constexpr size_t kBancoHeaderBytes = 192;  // 16 x 8 names, 16 x 4 counts


// The state of the open set.
struct BasicSet {
  std::string DataSetName = "Original";
  std::string DataSetListPath = "datos/Original.ole";
  bool FreshSet = false;
  bool SaveWithoutAsking = false;
  bool SilentOpen = true;
};

// The header every sound file's header is read into; before any sound is
// read: 8-bit mono PCM at 7200 Hz, sizes 0.
std::array<uint8_t, kWavHeaderBytes> DefaultWavHeaderTemplate();

// The samples of the set's sounds back to back, as the device stores them.
struct SoundsV1 {
  std::vector<uint8_t> SoundDataV1 = std::vector<uint8_t>(kSoundDataV1Bytes, 0);
  int SoundDataTotal = 0;  // bytes loaded (what the files hold, even beyond the buffer)
  std::array<uint32_t, kBasicSounds> SoundOffsetsV1{};
  std::array<uint32_t, kBasicSounds> SoundCountsV1{};
  std::array<uint8_t, kWavHeaderBytes> WavHeaderTemplate = DefaultWavHeaderTemplate();

  // SoundDataTotal x 100 / 131008.
  float SoundMemoryUsage() const;
  float Usage() const { return SoundMemoryUsage(); }
  bool OverCapacity() const { return SoundMemoryUsage() > 100.0f; }
};
using BasicSoundMemory = SoundsV1;

struct BasicSoundLoad {
  std::vector<std::string> failedPaths;  // the sound files that gave no samples
  // Beside each: the reason, in Spanish and in English (engine/sound_file.h).
  std::vector<std::string> failureTexts;
  std::vector<std::string> failureTextsEnglish;
  std::vector<std::string> emptyPaths;  // sound files that hold no samples
};
// Samples taken of one sound at most: 24 s, far beyond the device's memory.
constexpr size_t kMaxBasicSoundSamples = 22050 * 24;

// datos/<name>  and  datos/<name>.ole, from the set's Latin-1 name, in the
// file system's encoding.
std::string SetFolderOf(const std::string& name);
std::string OlePathOf(const std::string& name);
// folder/<sound>.wav, the sound's Latin-1 name in the file system's encoding.
std::string SetSoundPath(const std::string& folder, const std::string& sound);
// The names (without ".wav", as Latin-1 names) of the WAV files of
// datos/<set>, sorted.
std::vector<std::string> BasicLibraryNames(const std::string& set);

// Loads each sound of the list from folder/<name>.wav, converted to mono
// 16-bit at 22050 Hz (engine/sound_file.h), into mem (never past its 131072
// bytes; SoundDataTotal counts every sound's converted size so the meter
// shows the excess), and the bank so the mixer plays sound k the same
// samples. One that cannot be read counts none.
BasicSoundLoad LoadBasicSounds(BancoSonidos& bank, SoundsV1& mem, const std::vector<std::string>& names,
                               const std::string& folder);
// "Usado (%3.2f%%)" / "Used (%3.2f%%)"
std::string SoundMemoryText(float usage, bool english);
// The over-capacity message, ending in the meter's text.
std::string SoundsTooLongText(float usage, bool english);

// sonidos.van: 16 names padded/cut to 8, 16 u32 counts (0 beyond the list),
// the samples (at most what the buffer holds).
std::vector<uint8_t> BancoSonidosV1Bytes(const SoundsV1& mem, const std::vector<std::string>& list);

// Reads the .ole list (at most 16 names; blank lines dropped); the names
// after the 16th go to *beyond, so that a save can keep them.
std::vector<std::string> ReadSoundListV1(const std::string& olePath, std::vector<std::string>* beyond = nullptr);

// Reads datos/<name>/formulas.van and temas.van into the current tables:
// whole records, at most 131072 / 65536 bytes read (512 / 128 records); a
// missing file gives count 1 and an empty record, an empty one count 0. A
// formula of more than 12 beats is repaired ("Nueva", 12 beats, accents
// 0x0AA4) and keeps its place; the indexes go to *repaired. A file that is
// there but cannot be read goes to *unreadable (its table then holds what
// was read). Returns FreshSet (fewer than 2 formulas).
bool LoadBasicRecords(RhythmTables& rt, const std::string& name, std::vector<int>* repaired,
                      std::vector<std::string>* unreadable = nullptr);

// A missing set or "Nuevo" starts as a copy of Original: its list to
// listPath and every datos/Original/*.wav into datos/<name>/. The copied
// source paths and the failures are returned for the log.
void SeedFromOriginal(const std::string& name, const std::string& listPath, std::vector<std::string>* copied,
                      std::vector<std::string>* failures);
// Every *.wav of one folder into another (created when missing).
void CopySetSounds(const std::string& fromFolder, const std::string& toFolder, std::vector<std::string>* copied,
                   std::vector<std::string>* failures);

// Writes datos/<name>.ole, sonidos.van, formulas.van (fc records) and
// temas.van (tc records) atomically as one group (a folder the save made
// goes again when it fails). Refused above 100 % of the sound memory;
// false with *err on any failure (then nothing counts as saved).
// `beyond`: names of the list file after the 16 the set uses, written
// after them unchanged.
bool SaveBasicSet(const RhythmTables& rt, const std::string& name, int fc, int tc,
                  const std::vector<std::string>& list, const SoundsV1& mem, std::string* err,
                  const std::vector<std::string>& beyond = {});

// The recovery of a save cut short (run before the set's files are read):
// the journal datos/<name>.journal completes it or rolls it back.
GroupRecovery RecoverBasicSetSave(const std::string& name);

// Save-as and open path rules.
std::string WithOleExtension(const std::string& path);      // ".ole" appended unless present (any case)
bool IsRefusedOleSaveAsPath(const std::string& path);       // ends in original.ole / nuevo.ole, any case
// The text after "/datos/" less ".ole", as a Latin-1 name (the path is in
// the file system's encoding); none for a path outside a datos folder.
std::optional<std::string> NameFromOlePath(const std::string& path);
// The three as the list-file rules of the open and save-as dialogs.
extern const ListFileRules kOleFileRules;

// Another set's records for the theme import.
struct OtherBasicSetLoad {
  bool ok = false;  // both record files were read
  int formulaCount = 1;
  int temaCount = 1;
  std::vector<std::string> temaNames;
};
// folder: the other set's folder (its .ole path less ".ole"). Fills
// rt.ImportFormulas / rt.ImportTemas (converted from the older records).
OtherBasicSetLoad LoadOtherBasicSet(RhythmTables& rt, const std::string& folder);
