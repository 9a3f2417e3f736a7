// The data set on disk: datos/<name>.vl2 (sound list), datos/<name>/formulas.svs
// and datos/<name>/temas.svs (raw records), and the guitar tracks beside them.
// All paths are relative to the working folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/atomic_file.h"
#include "rhythm/records.h"

constexpr size_t kFormulasFileMax = static_cast<size_t>(kMaxFormulas) * sizeof(Formula);  // 460800
constexpr size_t kTemasFileMax = static_cast<size_t>(kMaxTemas) * sizeof(Tema);           // 206336

// Identity and flags of the open set.
struct DataSetState {
  std::string DataSetName = "Original";
  std::string DataSetListPath = "datos/Original.vl2";
  std::string PreviousDataSetName;
  bool SilentOpen = true;
  bool SaveWithoutAsking = false;
  int SaveAnswer = 0;  // 6 Yes, 7 No, 2 Cancel
  bool FreshSet = false;
  uint16_t GridsFilling = 0;  // bit 7 set while an open refills the grids
  // The sound list file was too long to read whole: neither a list command
  // nor a save writes it (they would cut it).
  bool SoundListCut = false;
  // The names of the list file beyond the bank's capacity: not loaded, but
  // written back with the list so that nothing of the file is lost.
  std::vector<std::string> SoundListBeyond;
};

constexpr uint16_t kGridsFillingBit = 0x80;

// The paths of a set, from its Latin-1 name, in the file system's encoding.
std::string SetFolder(const std::string& name);        // datos/<name>
std::string ListPathOf(const std::string& name);       // datos/<name>.vl2
std::string FormulasPathOf(const std::string& name);   // datos/<name>/formulas.svs
std::string TemasPathOf(const std::string& name);      // datos/<name>/temas.svs
extern const char* const kFactoryListPath;             // datos/Original.vl2

// Fills the formula table with zeros and reads at most 512 records from the
// file; FormulaCount = whole records read, 1 when the file is missing.
// Every formula with a beat count above 12 is repaired; their indexes are
// returned in *repaired. False when the file exists but could not be read
// whole: the table then holds the whole records that were read.
bool LoadFormulas(RhythmTables& t, const std::string& path, std::vector<int>* repaired);
// The same for the themes (at most 128; missing file: one theme, no entries).
bool LoadTemas(RhythmTables& t, const std::string& path);

// Saving "Original" or "Nuevo" takes the first free name <name>-N.
bool IsReservedName(const std::string& name);
std::string FirstFreeSaveName(const std::string& name);
// A save-as path ending in "original.vl2" or "nuevo.vl2" (any case) is refused.
bool IsRefusedSaveAsPath(const std::string& path);
// Appends ".vl2" unless the path already ends in it (any case).
std::string WithListExtension(const std::string& path);
// The set name (Latin-1) in a chosen list path (file-system encoding): what
// follows the first "/datos/", less the last 4 characters; nothing when the
// path has no such folder.
std::optional<std::string> NameFromListPath(const std::string& path);
// How an edition names a set by its list file: the extension added to a
// path chosen in a dialog, the set's name in such a path (nothing outside a
// "datos" folder), and the save-as paths it refuses (the reserved names).
struct ListFileRules {
  std::string (*withExtension)(const std::string& path);
  std::optional<std::string> (*nameOf)(const std::string& path);
  bool (*refusedForSaveAs)(const std::string& path);
};
// The list files of this program's sets: ".vl2".
extern const ListFileRules kListFileRules;

// The set a path chosen in the open dialog (file-system encoding) names:
// the list path with its extension and the set's Latin-1 name; nothing when
// the path names no set.
struct ChosenSet {
  std::string listPath;
  std::string name;
};
std::optional<ChosenSet> SetOfChosenPath(const ListFileRules& rules, const std::string& chosen);

// The parent folder of the folder that holds a list file (the working folder
// of a set named on the command line).
std::string WorkingFolderOfListFile(const std::string& path);

// True when a name can be used as one file-name component inside a set's
// folder (no separator, not "." or "..", not empty).
bool IsSafeFileComponent(const std::string& name);

// Writes the three files of a set atomically as one group (a journal beside
// the list file, platform/files/atomic_file.h): either all are replaced or
// none is, and *error tells why. A folder the save made is removed again
// when it fails.
bool SaveDataSetFiles(const RhythmTables& t, const std::string& name, int formulaCount, int temaCount,
                      const std::vector<std::string>& soundList, std::string* error);

// The journal of a set's save, and the recovery of a save cut short (run
// before the set's files are read).
std::string SaveJournalPathOf(const std::string& name);  // datos/<name>.journal
GroupRecovery RecoverSetSave(const std::string& name);

// Reads a sound list file (Latin-1, one name per line). A file beyond
// kSoundListFileMax is read up to its last whole line there and *cut is
// set: such a list must not be written back, or the rest would be lost.
constexpr size_t kSoundListFileMax = size_t{16} << 20;
bool ReadSoundList(const std::string& path, std::vector<std::string>* names, bool* cut = nullptr);

// Copies every *.gtr of one set folder to another, replacing files of the
// same name; returns the source paths copied, and in *failures what could
// not be copied and why.
std::vector<std::string> CopyGuitarTracks(const std::string& fromFolder, const std::string& toFolder,
                                          std::vector<std::string>* failures);
