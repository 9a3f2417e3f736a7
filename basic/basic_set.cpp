#include "basic/basic_set.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "basic/v1_bridge.h"
#include "engine/engine_state.h"
#include "engine/sound_file.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "rhythm/dataset.h"

namespace fs = std::filesystem;

namespace {
void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}
std::vector<std::string> WavFilesOf(const std::string& folder) {
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string n = it->path().filename().string();
    if (n.size() > 4 && Lower(n.substr(n.size() - 4)) == ".wav") out.push_back(n);
  }
  std::sort(out.begin(), out.end());
  return out;
}
}  // namespace

std::array<uint8_t, kWavHeaderBytes> DefaultWavHeaderTemplate() {
  std::array<uint8_t, kWavHeaderBytes> h{};
  std::memcpy(h.data(), "RIFF", 4);
  std::memcpy(h.data() + 8, "WAVEfmt ", 8);
  PutU32(h.data() + 16, 16);
  h[20] = 1;  // PCM
  h[22] = 1;  // mono
  PutU32(h.data() + 24, 7200);
  PutU32(h.data() + 28, 7200);
  h[32] = 1;  // block align
  h[34] = 8;  // bits
  std::memcpy(h.data() + 36, "data", 4);
  return h;
}

float SoundsV1::SoundMemoryUsage() const {
  return static_cast<float>(static_cast<double>(SoundDataTotal) * 100.0 / static_cast<double>(kDeviceSoundMemory));
}

std::string SetFolderOf(const std::string& name) { return SetFolder(name); }
std::string OlePathOf(const std::string& name) { return SetFolder(name) + ".ole"; }
std::string SetSoundPath(const std::string& folder, const std::string& sound) {
  return folder + "/" + FsName(sound) + ".wav";
}

std::vector<std::string> BasicLibraryNames(const std::string& set) {
  std::vector<std::string> out;
  for (auto& n : WavFilesOf(SetFolderOf(set))) out.push_back(NameOfFs(n.substr(0, n.size() - 4)));
  return out;
}

BasicSoundLoad LoadBasicSounds(BancoSonidos& bank, SoundsV1& mem, const std::vector<std::string>& names,
                               const std::string& folder) {
  BasicSoundLoad r;
  mem.SoundDataTotal = 0;
  const int count = std::min<int>(static_cast<int>(names.size()), kBasicSounds);
  std::array<bool, kBasicSounds> loaded{};
  bank.Clear(count);
  for (int j = 0; j < count; ++j) {
    const std::string path = SetSoundPath(folder, names[j]);
    // Every sound as the device stores it: mono 16-bit at the basic rate,
    // whatever the file holds. Only the start of a sound far beyond the
    // memory is taken; what is taken counts for the meter.
    const DecodedSound d = DecodeSoundFile(path, kBasicFormat.SampleRate, kMaxBasicSoundSamples);
    if (!d.ok()) {
      // No samples of its own in this load: sonidos.van counts none for it,
      // so the sounds after it stay where their counts put them.
      r.failedPaths.push_back(path);
      r.failureTexts.push_back(SoundReadMessage(path, d, false));
      r.failureTextsEnglish.push_back(SoundReadMessage(path, d, true));
      mem.SoundOffsetsV1[j] = static_cast<uint32_t>(mem.SoundDataTotal);
      mem.SoundCountsV1[j] = 0;
      bank.Append(j, nullptr, 0);
      continue;
    }
    if (d.samples.empty()) r.emptyPaths.push_back(path);
    const size_t size = d.samples.size() * 2;
    mem.WavHeaderTemplate = WavHeader(static_cast<uint32_t>(size), 1, kBasicFormat.SampleRate);
    const size_t at = static_cast<size_t>(mem.SoundDataTotal);
    const size_t room = at < kSoundDataV1Bytes ? kSoundDataV1Bytes - at : 0;
    const size_t stored = std::min(size, room);
    if (stored > 0) std::memcpy(mem.SoundDataV1.data() + at, d.samples.data(), stored);
    mem.SoundOffsetsV1[j] = static_cast<uint32_t>(at);
    mem.SoundCountsV1[j] = static_cast<uint32_t>(d.samples.size());
    loaded[j] = true;
    mem.SoundDataTotal = static_cast<int>(std::min<size_t>(at + size, 0x7FFFFFFF));
    // The mixer plays sound j + 1 from the bank: what the buffer holds of it.
    bank.Append(j, stored ? mem.SoundDataV1.data() + at : nullptr, stored & ~size_t{1});
  }
  for (int j = count; j < kBasicSounds; ++j) mem.SoundCountsV1[j] = 0;
  return r;
}

std::string SoundMemoryText(float usage, bool english) {
  char buf[64];
  std::snprintf(buf, sizeof buf, english ? "Used (%3.2f%%)" : "Usado (%3.2f%%)", static_cast<double>(usage));
  return buf;
}

std::string SoundsTooLongText(float usage, bool english) {
  return std::string(english ? "The length of the sounds exceeds the maximum available:\r\n"
                             : "La longitud de los sonidos excede el m\xC3\xA1ximo disponible:\r\n") +
         SoundMemoryText(usage, english);
}

std::vector<uint8_t> BancoSonidosV1Bytes(const SoundsV1& mem, const std::vector<std::string>& list) {
  const size_t total = std::min<size_t>(static_cast<size_t>(std::max(mem.SoundDataTotal, 0)), kSoundDataV1Bytes);
  std::vector<uint8_t> out(kBancoHeaderBytes + total, ' ');
  for (int j = 0; j < kBasicSounds; ++j) {
    if (j < static_cast<int>(list.size())) {
      const std::string& n = list[j];
      std::memcpy(out.data() + 8 * j, n.data(), std::min<size_t>(n.size(), 8));
    }
    PutU32(out.data() + 128 + 4 * j, j < static_cast<int>(list.size()) ? mem.SoundCountsV1[j] : 0);
  }
  if (total) std::memcpy(out.data() + kBancoHeaderBytes, mem.SoundDataV1.data(), total);
  return out;
}

std::vector<std::string> ReadSoundListV1(const std::string& olePath, std::vector<std::string>* beyond) {
  std::vector<std::string> out;
  std::vector<uint8_t> bytes;
  if (beyond) beyond->clear();
  if (!ReadFileBytes(olePath, kSoundListFileMax, &bytes)) return out;
  std::string line;
  auto flush = [&] {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty() && out.size() < static_cast<size_t>(kBasicSounds))
      out.push_back(line);
    else if (!line.empty() && beyond)
      beyond->push_back(line);
    line.clear();
  };
  for (uint8_t b : bytes) {
    if (b == '\n') flush();
    else line.push_back(static_cast<char>(b));
  }
  flush();
  return out;
}

namespace {
// One record file of the set: false when it is there but cannot be read.
bool ReadRecordFile(const std::string& path, size_t cap, std::vector<uint8_t>* bytes, bool* present) {
  bytes->clear();
  *present = FileExists(path);
  if (!*present) return true;
  return ReadFileBytes(path, cap, bytes);
}
}  // namespace

bool LoadBasicRecords(RhythmTables& rt, const std::string& name, std::vector<int>* repaired,
                      std::vector<std::string>* unreadable) {
  for (auto& f : rt.Formulas) std::memset(&f, 0, sizeof f);
  for (auto& t : rt.Temas) std::memset(&t, 0, sizeof t);
  if (repaired) repaired->clear();
  rt.FormulaCount = 1;
  rt.TemaCount = 1;
  std::vector<uint8_t> bytes;
  bool present = false;
  const std::string formulasPath = FormulasV1PathOf(name);
  if (!ReadRecordFile(formulasPath, kFormulasV1FileMax, &bytes, &present) && unreadable)
    unreadable->push_back(formulasPath);
  if (present) {
    const std::vector<FormulaV1> fv = RecordsFromBytes<FormulaV1>(bytes, kMaxFormulas);
    rt.FormulaCount = static_cast<int>(fv.size());
    for (int i = 0; i < rt.FormulaCount; ++i) rt.Formulas[i] = FormulaFromV1(fv[i]);
  }
  // Every record read keeps its place, a repaired one too: the grid shows
  // them all and the next save writes them all back.
  for (int i = 0; i < rt.FormulaCount; ++i) {
    if (FormulaIsInvalid(rt.Formulas[i])) {
      RepairFormula(rt.Formulas[i]);
      if (repaired) repaired->push_back(i);
    }
  }
  const std::string temasPath = TemasV1PathOf(name);
  if (!ReadRecordFile(temasPath, kTemasV1FileMax, &bytes, &present) && unreadable) unreadable->push_back(temasPath);
  if (present) {
    const std::vector<TemaV1> tv = RecordsFromBytes<TemaV1>(bytes, kMaxTemas);
    rt.TemaCount = static_cast<int>(tv.size());
    for (int i = 0; i < rt.TemaCount; ++i) rt.Temas[i] = TemaFromV1(tv[i]);
  }
  rt.CurrentFormula = 0;
  rt.CurrentTema = 0;
  return rt.FormulaCount < 2;
}

void CopySetSounds(const std::string& fromFolder, const std::string& toFolder, std::vector<std::string>* copied,
                   std::vector<std::string>* failures) {
  std::string err;
  if (!MakeDirs(toFolder, &err)) {
    if (failures) failures->push_back(toFolder);
    return;
  }
  std::error_code ec;
  if (fs::equivalent(fs::path(fromFolder), fs::path(toFolder), ec)) return;
  for (const auto& n : WavFilesOf(fromFolder)) {
    const std::string src = fromFolder + "/" + n;
    if (CopyFileReplacing(src, toFolder + "/" + n, &err)) {
      if (copied) copied->push_back(src);
    } else if (failures) {
      failures->push_back(src);
    }
  }
}

void SeedFromOriginal(const std::string& name, const std::string& listPath, std::vector<std::string>* copied,
                      std::vector<std::string>* failures) {
  std::string err;
  if (!CopyFileReplacing(OlePathOf("Original"), listPath, &err) && failures) failures->push_back(OlePathOf("Original"));
  CopySetSounds(SetFolderOf("Original"), SetFolderOf(name), copied, failures);
}

bool SaveBasicSet(const RhythmTables& rt, const std::string& name, int fc, int tc,
                  const std::vector<std::string>& list, const SoundsV1& mem, std::string* err,
                  const std::vector<std::string>& beyond) {
  if (mem.OverCapacity()) {
    if (err) *err = SoundsTooLongText(mem.SoundMemoryUsage(), false);
    return false;
  }
  fc = std::clamp(fc, 0, kMaxFormulas);
  tc = std::clamp(tc, 0, kMaxTemas);
  const bool folderWasThere = DirExists(SetFolderOf(name));
  if (!MakeDirs(SetFolderOf(name), err)) return false;
  std::vector<FileToWrite> files;
  std::string ole;
  for (size_t j = 0; j < list.size() && j < static_cast<size_t>(kBasicSounds); ++j) ole += list[j] + "\r\n";
  // The names the set cannot use stay in its list, after the used ones.
  for (const auto& n : beyond) ole += n + "\r\n";
  files.push_back({OlePathOf(name), std::vector<uint8_t>(ole.begin(), ole.end())});
  files.push_back({SetFolderOf(name) + "/sonidos.van", BancoSonidosV1Bytes(mem, list)});
  std::vector<FormulaV1> fv;
  for (int i = 0; i < fc; ++i) fv.push_back(FormulaToV1(rt.Formulas[i]));
  std::vector<TemaV1> tv;
  for (int i = 0; i < tc; ++i) tv.push_back(TemaToV1(rt.Temas[i]));
  files.push_back({FormulasV1PathOf(name), BytesOfRecords(fv.data(), fv.size())});
  files.push_back({TemasV1PathOf(name), BytesOfRecords(tv.data(), tv.size())});
  // The four as one: a save cut short anywhere leaves the old set or the
  // new one, never new formulas with old themes.
  if (WriteFileGroupAtomically(SaveJournalPathOf(name), files, err)) return true;
  if (!folderWasThere) {
    std::error_code ec;
    fs::remove(SetFolderOf(name), ec);  // only when empty
  }
  return false;
}

GroupRecovery RecoverBasicSetSave(const std::string& name) {
  return RecoverFileGroup(SaveJournalPathOf(name), {OlePathOf(name), SetFolderOf(name) + "/sonidos.van",
                                                   FormulasV1PathOf(name), TemasV1PathOf(name)});
}

std::string WithOleExtension(const std::string& path) {
  return EndsWith(Lower(path), ".ole") ? path : path + ".ole";
}

bool IsRefusedOleSaveAsPath(const std::string& path) {
  const std::string l = Lower(WithOleExtension(path));
  return EndsWith(l, "original.ole") || EndsWith(l, "nuevo.ole");
}

std::optional<std::string> NameFromOlePath(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  size_t at;
  size_t len;
  if (p.rfind("datos/", 0) == 0) {
    at = 0;
    len = 6;
  } else {
    at = p.rfind("/datos/");
    if (at == std::string::npos) return std::nullopt;
    len = 7;
  }
  std::string rest = p.substr(at + len);
  if (rest.size() <= 4 || rest.find('/') != std::string::npos) return std::nullopt;
  return NameOfFs(rest.substr(0, rest.size() - 4));
}

const ListFileRules kOleFileRules = {WithOleExtension, NameFromOlePath, IsRefusedOleSaveAsPath};

OtherBasicSetLoad LoadOtherBasicSet(RhythmTables& rt, const std::string& folder) {
  OtherBasicSetLoad r;
  for (auto& f : rt.ImportFormulas) std::memset(&f, 0, sizeof f);
  for (auto& t : rt.ImportTemas) std::memset(&t, 0, sizeof t);
  std::vector<FormulaV1> fv;
  std::vector<TemaV1> tv;
  const bool fok = ReadFormulasV1(folder + "/formulas.van", &fv);
  const bool tok = ReadTemasV1(folder + "/temas.van", &tv);
  r.ok = fok && tok;
  if (fok) {
    r.formulaCount = static_cast<int>(std::min<size_t>(fv.size(), kMaxFormulas));
    for (int i = 0; i < r.formulaCount; ++i) rt.ImportFormulas[i] = FormulaFromV1(fv[i]);
  }
  if (tok) {
    r.temaCount = static_cast<int>(std::min<size_t>(tv.size(), kMaxTemas));
    for (int i = 0; i < r.temaCount; ++i) {
      rt.ImportTemas[i] = TemaFromV1(tv[i]);
      r.temaNames.push_back(tv[i].Name());
    }
  }
  return r;
}
