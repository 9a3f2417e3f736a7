// The sound bank: the samples of every sound named by the data set's sound
// list in one stream, with an offset and a length per sound number; and the
// commands that edit the sound list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct RhythmTables;

constexpr int kProSoundCapacity = 64;
constexpr int kBasicSoundCapacity = 16;
// Largest data block taken from one sound file: the size of the whole output
// buffer, 12 s of a mono sound at 44100 Hz. A longer sound is cut there.
constexpr size_t kMaxSoundBytes = 1058400;
// The sound library folder, relative to the working folder.
inline const std::string kSoundFolder = "BancoDeSonidos/";

// Samples of one sound: length 0 (and no data) when the sound number has no
// playable sound behind it.
struct SoundView {
  const int16_t* data = nullptr;
  int32_t length = 0;
};

struct BancoSonidos {
  explicit BancoSonidos(int capacity = kProSoundCapacity);

  int Capacity() const { return static_cast<int>(SoundOffsets.size()); }

  // The 16-bit samples of all sounds, appended in list order, each starting
  // on a whole sample (after a sound of an odd number of bytes one byte is
  // left over). StreamBytes counts the bytes in use.
  std::vector<int16_t> SoundBankStream;
  size_t StreamBytes = 0;
  // Entry j belongs to sound number j + 1: byte offset into the stream and
  // length in samples. A sound that failed to load has length 0.
  std::vector<int32_t> SoundOffsets;
  std::vector<int32_t> SoundLengths;
  // Sound numbers 1..ListCount have a name in the list behind them.
  int ListCount = 0;

  // Empties the stream and every entry, for a list of listCount names (cut
  // to the capacity).
  void Clear(int listCount);
  // Appends the data of list position j at the end of the stream.
  void Append(int j, const uint8_t* data, size_t bytes);
  // Sound number n (1-based); empty for 0, a negative number, a number
  // beyond the list or the capacity, or an entry outside the stream.
  SoundView Sound(int n) const;
};

// Bytes of sample data a sound file image yields: the data size of its
// header (offset 40), cut to the bytes that follow the 44-byte header and to
// kMaxSoundBytes. A file shorter than the header yields none.
size_t SoundDataBytes(const std::vector<uint8_t>& file);

std::string SoundPath(const std::string& folder, const std::string& name);

struct SoundLoadResult {
  std::vector<std::string> FailedPaths;  // files that gave no samples, in list order
  // Beside each failed path: what went wrong (CannotOpenMessage or the
  // reason the file is no sound), in Spanish and in English.
  std::vector<std::string> FailureTexts;
  std::vector<std::string> FailureTextsEnglish;
  std::vector<std::string> EmptyPaths;   // sound files that hold no samples
  int NamesBeyondCapacity = 0;           // names of the list the bank has no room for
};

// Rebuilds the bank from the sound files folder + name + ".wav" of the list,
// each converted to mono 16-bit samples at sampleRate (the edition's output
// rate) and cut to kMaxSoundBytes.
SoundLoadResult LoadSoundBank(BancoSonidos& bank, const std::vector<std::string>& names,
                              const std::string& folder = kSoundFolder, int sampleRate = 44100);

// "No se puede abrir el archivo:\r\n" + path, or the English wording.
std::string CannotOpenMessage(const std::string& path, bool english);
// The one message for every sound of a load that gave no samples: the
// failure itself when there is one, else the count and the first few;
// empty when every sound loaded.
std::string SoundFailuresMessage(const std::vector<std::string>& texts, bool english);
// "El sonido <path> está vacío" / "The sound <path> is empty".
std::string EmptySoundText(const std::string& path, bool english);
// "%d sonidos" / "%d sounds".
std::string SoundCountText(int count, bool english);
// "%4.2f'" of the length of list position j over 88200.
std::string SoundLengthText(const BancoSonidos& bank, int j);
// Samples the plot of list position j shows: the first half of the sound.
std::vector<int16_t> SoundPlotSamples(const BancoSonidos& bank, int j);

// Writes the sound list file, one name per line (ReadSoundList and
// ListPathOf of rhythm/dataset.h read it and name it).
bool WriteSoundList(const std::string& path, const std::vector<std::string>& names, std::string* error);

// --- list commands --------------------------------------------------------
// Each acts on the selected position; an invalid selection changes nothing
// and returns false (or -1).

int FindSoundName(const std::vector<std::string>& list, const std::string& name);
// Appends a library sound; refused when it is listed already or the list is
// full. Returns the new position or -1.
int SoundListAdd(std::vector<std::string>& list, const std::string& libraryName, int capacity);
// Deletes position i. The formulas keep their sound numbers.
bool SoundListRemove(std::vector<std::string>& list, int i);
// Deletes position i and renumbers the sounds of formulas 0..FormulaCount - 1
// to the list as it now stands: the tracks of the removed sound fall silent
// (sound 0), the sounds after it move down one number. Returns how many
// strokes of those formulas now play silence (codes 1..4 are rests in the
// basic edition's formulas, `basicCodes`), or -1 for an invalid position.
int SoundListRemoveRenumbering(std::vector<std::string>& list, int i, RhythmTables& rt, bool basicCodes);
// Moves position i up (down) by one and swaps the two sound numbers in the
// sounds of formulas 0..FormulaCount - 1, so every track keeps its sound.
bool SoundListMoveUp(std::vector<std::string>& list, int i, RhythmTables& rt);
bool SoundListMoveDown(std::vector<std::string>& list, int i, RhythmTables& rt);
// Replaces position i by a library sound not yet listed.
bool SoundListChange(std::vector<std::string>& list, int i, const std::string& libraryName);
// Swaps sound numbers a and b in every track of formulas 0..FormulaCount - 1.
void SwapSoundNumbers(RhythmTables& rt, int a, int b);

// Enabled items of the list's context menu for a selection.
struct SoundListMenu {
  bool remove = true;
  bool change = true;
  bool moveUp = false;
  bool moveDown = false;
};
SoundListMenu SoundListMenuState(int count, int selected);
bool LibraryAddEnabled(const std::vector<std::string>& list, const std::string& name, int capacity);

enum class LibraryColour { Red, Lime, Silver };
// Red when listed, lime while the list has room, silver when it is full.
LibraryColour LibraryItemColour(const std::vector<std::string>& list, const std::string& name, int capacity);
