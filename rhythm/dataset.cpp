#include "rhythm/dataset.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/files/atomic_file.h"
#include "platform/files/text.h"

namespace fs = std::filesystem;

const char* const kFactoryListPath = "datos/Original.vl2";

std::string SetFolder(const std::string& name) { return "datos/" + FsName(name); }
std::string ListPathOf(const std::string& name) { return SetFolder(name) + ".vl2"; }
std::string FormulasPathOf(const std::string& name) { return SetFolder(name) + "/formulas.svs"; }
std::string TemasPathOf(const std::string& name) { return SetFolder(name) + "/temas.svs"; }

bool LoadFormulas(RhythmTables& t, const std::string& path, std::vector<int>* repaired) {
  std::memset(t.Formulas.data(), 0, sizeof(Formula) * t.Formulas.size());
  t.FormulaCount = 1;
  if (repaired) repaired->clear();
  if (!FileExists(path)) return true;
  std::vector<uint8_t> bytes;
  const bool read = ReadFileBytes(path, kFormulasFileMax, &bytes);
  const size_t n = std::min<size_t>(bytes.size() / sizeof(Formula), kMaxFormulas);
  if (n > 0) std::memcpy(t.Formulas.data(), bytes.data(), n * sizeof(Formula));
  t.FormulaCount = static_cast<int>(n);
  for (size_t i = 0; i < n; ++i) {
    if (FormulaIsInvalid(t.Formulas[i])) {
      RepairFormula(t.Formulas[i]);
      if (repaired) repaired->push_back(static_cast<int>(i));
    }
  }
  return read;
}

bool LoadTemas(RhythmTables& t, const std::string& path) {
  std::memset(t.Temas.data(), 0, sizeof(Tema) * t.Temas.size());
  t.TemaCount = 1;
  if (!FileExists(path)) {
    t.Temas[0].entryCount = 0;
    return true;
  }
  std::vector<uint8_t> bytes;
  const bool read = ReadFileBytes(path, kTemasFileMax, &bytes);
  const size_t n = std::min<size_t>(bytes.size() / sizeof(Tema), kMaxTemas);
  if (n > 0) std::memcpy(t.Temas.data(), bytes.data(), n * sizeof(Tema));
  t.TemaCount = static_cast<int>(n);
  return read;
}

bool IsReservedName(const std::string& name) { return name == "Original" || name == "Nuevo"; }

std::string FirstFreeSaveName(const std::string& name) {
  for (int n = 1;; ++n) {
    const std::string candidate = name + "-" + std::to_string(n);
    if (!FileExists(ListPathOf(candidate))) return candidate;
  }
}

bool IsRefusedSaveAsPath(const std::string& path) {
  return EndsWithNoCase(path, "original.vl2") || EndsWithNoCase(path, "nuevo.vl2");
}

std::string WithListExtension(const std::string& path) {
  return EndsWithNoCase(path, ".vl2") ? path : path + ".vl2";
}

std::optional<std::string> NameFromListPath(const std::string& path) {
  if (path.size() < 4) return std::nullopt;
  const std::string stem = path.substr(0, path.size() - 4);
  std::string probe = stem;
  size_t at = probe.find("/datos/");
  size_t skip = 7;
  if (at == std::string::npos && probe.rfind("datos/", 0) == 0) {  // relative path
    at = 0;
    skip = 6;
  }
  if (at == std::string::npos) return std::nullopt;
  std::string name = stem.substr(at + skip);
  if (name.empty()) return std::nullopt;
  return NameOfFs(name);
}

const ListFileRules kListFileRules = {WithListExtension, NameFromListPath, IsRefusedSaveAsPath};

std::optional<ChosenSet> SetOfChosenPath(const ListFileRules& rules, const std::string& chosen) {
  ChosenSet set;
  set.listPath = rules.withExtension(chosen);
  std::optional<std::string> name = rules.nameOf(set.listPath);
  if (!name) return std::nullopt;
  set.name = *name;
  return set;
}

std::string WorkingFolderOfListFile(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(path), ec);
  if (ec) p = fs::path(path);
  return p.parent_path().parent_path().string();
}

bool IsSafeFileComponent(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

std::string SaveJournalPathOf(const std::string& name) { return SetFolder(name) + ".journal"; }

namespace {
std::vector<std::string> SetFilePaths(const std::string& name) {
  return {ListPathOf(name), FormulasPathOf(name), TemasPathOf(name)};
}
}  // namespace

GroupRecovery RecoverSetSave(const std::string& name) {
  return RecoverFileGroup(SaveJournalPathOf(name), SetFilePaths(name));
}

bool SaveDataSetFiles(const RhythmTables& t, const std::string& name, int formulaCount, int temaCount,
                      const std::vector<std::string>& soundList, std::string* error) {
  formulaCount = std::clamp(formulaCount, 0, kMaxFormulas);
  temaCount = std::clamp(temaCount, 0, kMaxTemas);
  const bool folderWasThere = DirExists(SetFolder(name));
  if (!MakeDirs(SetFolder(name), error)) return false;
  const auto* fb = reinterpret_cast<const uint8_t*>(t.Formulas.data());
  const auto* tb = reinterpret_cast<const uint8_t*>(t.Temas.data());
  const std::vector<std::string> paths = SetFilePaths(name);
  std::vector<FileToWrite> files;
  files.push_back({paths[0], JoinLines(soundList)});
  files.push_back({paths[1], std::vector<uint8_t>(fb, fb + formulaCount * sizeof(Formula))});
  files.push_back({paths[2], std::vector<uint8_t>(tb, tb + temaCount * sizeof(Tema))});
  // The three as one: a save cut short anywhere leaves the old set or the
  // new one, never new formulas with old themes.
  if (WriteFileGroupAtomically(SaveJournalPathOf(name), files, error)) return true;
  // A folder made for this save alone goes again (it is removed only empty).
  if (!folderWasThere) {
    std::error_code ec;
    fs::remove(SetFolder(name), ec);
  }
  return false;
}

bool ReadSoundList(const std::string& path, std::vector<std::string>* names, bool* cut) {
  std::vector<uint8_t> bytes;
  if (cut) *cut = false;
  // One byte past the bound tells a list too long to read whole.
  if (!ReadFileBytes(path, kSoundListFileMax + 1, &bytes)) {
    names->clear();
    return false;
  }
  if (bytes.size() > kSoundListFileMax) {
    if (cut) *cut = true;
    // Whole lines only: no name is taken cut in half.
    const auto lastBreak = std::find(bytes.rbegin() + 1, bytes.rend(), '\n');
    bytes.resize(static_cast<size_t>(bytes.rend() - lastBreak));
  }
  *names = SplitLines(bytes);
  return true;
}

std::vector<std::string> CopyGuitarTracks(const std::string& fromFolder, const std::string& toFolder,
                                          std::vector<std::string>* failures) {
  std::vector<std::string> copied;
  if (failures) failures->clear();
  std::error_code ec;
  if (!fs::is_directory(fromFolder, ec)) return copied;
  std::vector<std::string> files;
  // A track whose kind cannot be told (a symlink loop, a dangling link) is
  // not copied and is said so; the listing itself going wrong ends the list.
  for (fs::directory_iterator it(fromFolder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() != ".gtr") continue;
    std::error_code kind;
    const bool regular = it->is_regular_file(kind);
    if (kind) {
      if (failures) failures->push_back(it->path().string() + ": " + kind.message());
      continue;
    }
    if (regular) files.push_back(it->path().filename().string());
  }
  if (ec && failures) failures->push_back(fromFolder + ": " + ec.message());
  std::sort(files.begin(), files.end());
  for (const auto& f : files) {
    const std::string src = fromFolder + "/" + f;
    std::string error;
    if (CopyFileReplacing(src, toFolder + "/" + f, &error))
      copied.push_back(src);
    else if (failures)
      failures->push_back(error);
  }
  return copied;
}
