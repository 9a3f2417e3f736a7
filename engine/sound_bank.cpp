#include "engine/sound_bank.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "engine/sound_file.h"
#include "engine/wav.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "rhythm/records.h"

BancoSonidos::BancoSonidos(int capacity)
    : SoundOffsets(static_cast<size_t>(std::max(capacity, 0)), 0),
      SoundLengths(static_cast<size_t>(std::max(capacity, 0)), 0) {}

void BancoSonidos::Clear(int listCount) {
  SoundBankStream.clear();
  StreamBytes = 0;
  std::fill(SoundOffsets.begin(), SoundOffsets.end(), 0);
  std::fill(SoundLengths.begin(), SoundLengths.end(), 0);
  ListCount = std::clamp(listCount, 0, Capacity());
}

void BancoSonidos::Append(int j, const uint8_t* data, size_t bytes) {
  if (j < 0 || j >= Capacity()) return;
  // The stream holds at most Capacity() sounds of kMaxSoundBytes each, so
  // every offset fits the 32-bit table.
  bytes = std::min(bytes, kMaxSoundBytes);
  // Every sound starts on a whole sample: after a sound of an odd size the
  // next one would otherwise be read a byte out of step, as noise.
  const size_t offset = (StreamBytes + 1) & ~size_t{1};
  SoundBankStream.resize((offset + bytes + 1) / 2);
  if (bytes > 0) std::memcpy(reinterpret_cast<uint8_t*>(SoundBankStream.data()) + offset, data, bytes);
  StreamBytes = offset + bytes;
  SoundOffsets[static_cast<size_t>(j)] = static_cast<int32_t>(offset);
  SoundLengths[static_cast<size_t>(j)] = static_cast<int32_t>(bytes / 2);
}

SoundView BancoSonidos::Sound(int n) const {
  if (n < 1 || n > ListCount || n > Capacity()) return {};
  const int32_t offset = SoundOffsets[static_cast<size_t>(n - 1)];
  const int32_t length = SoundLengths[static_cast<size_t>(n - 1)];
  if (offset < 0 || length <= 0) return {};
  const size_t first = static_cast<size_t>(offset) / 2;
  if (first + static_cast<size_t>(length) > SoundBankStream.size()) return {};
  return SoundView{SoundBankStream.data() + first, length};
}

size_t SoundDataBytes(const std::vector<uint8_t>& file) {
  if (file.size() < static_cast<size_t>(kWavHeaderBytes)) return 0;
  const uint32_t stated = static_cast<uint32_t>(file[40]) | (static_cast<uint32_t>(file[41]) << 8) |
                          (static_cast<uint32_t>(file[42]) << 16) | (static_cast<uint32_t>(file[43]) << 24);
  const size_t present = file.size() - kWavHeaderBytes;
  return std::min({static_cast<size_t>(stated), present, kMaxSoundBytes});
}

std::string SoundPath(const std::string& folder, const std::string& name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path.push_back('/');
  return path + FsName(name) + ".wav";
}

SoundLoadResult LoadSoundBank(BancoSonidos& bank, const std::vector<std::string>& names,
                              const std::string& folder, int sampleRate) {
  SoundLoadResult result;
  const int listed = static_cast<int>(std::min<size_t>(names.size(), 1u << 20));
  bank.Clear(listed);
  result.NamesBeyondCapacity = std::max(0, listed - bank.Capacity());
  for (int j = 0; j < bank.ListCount; ++j) {
    const std::string path = SoundPath(folder, names[static_cast<size_t>(j)]);
    const DecodedSound d = DecodeSoundFile(path, sampleRate, kMaxSoundBytes / 2);
    if (!d.ok()) {
      // Its entry stays empty: a track on this number is silent.
      result.FailedPaths.push_back(path);
      result.FailureTexts.push_back(SoundReadMessage(path, d, false));
      result.FailureTextsEnglish.push_back(SoundReadMessage(path, d, true));
      continue;
    }
    if (d.samples.empty()) result.EmptyPaths.push_back(path);
    bank.Append(j, reinterpret_cast<const uint8_t*>(d.samples.data()), d.samples.size() * 2);
  }
  return result;
}

std::string CannotOpenMessage(const std::string& path, bool english) {
  return (english ? "I cannot open the file:\r\n" : "No se puede abrir el archivo:\r\n") + path;
}

std::string SoundFailuresMessage(const std::vector<std::string>& texts, bool english) {
  if (texts.empty()) return {};
  if (texts.size() == 1) return texts[0];
  constexpr size_t kShown = 5;
  std::string m = english ? "I cannot load " + std::to_string(texts.size()) + " sound files:"
                          : "No se pueden cargar " + std::to_string(texts.size()) + " archivos de sonido:";
  for (size_t i = 0; i < texts.size() && i < kShown; ++i) {
    std::string line = texts[i];
    std::replace(line.begin(), line.end(), '\r', ' ');
    std::replace(line.begin(), line.end(), '\n', ' ');
    m += "\r\n" + line;
  }
  if (texts.size() > kShown)
    m += english ? "\r\n... and " + std::to_string(texts.size() - kShown) + " more"
                 : "\r\n... y " + std::to_string(texts.size() - kShown) + " m\xC3\xA1s";
  return m;
}

std::string EmptySoundText(const std::string& path, bool english) {
  return english ? "The sound " + path + " is empty" : "El sonido " + path + " est\xC3\xA1 vac\xC3\xADo";
}

std::string SoundCountText(int count, bool english) {
  return std::to_string(count) + (english ? " sounds" : " sonidos");
}

std::string SoundLengthText(const BancoSonidos& bank, int j) {
  if (j < 0 || j >= bank.Capacity()) return {};
  char buf[48];
  std::snprintf(buf, sizeof buf, "%4.2f'", bank.SoundLengths[static_cast<size_t>(j)] / 88200.0);
  // Locale-neutral: always a point before the decimals.
  for (char* p = buf; *p; ++p)
    if (*p == ',') *p = '.';
  return buf;
}

std::vector<int16_t> SoundPlotSamples(const BancoSonidos& bank, int j) {
  const SoundView v = bank.Sound(j + 1);
  return std::vector<int16_t>(v.data, v.data + v.length / 2);
}

bool WriteSoundList(const std::string& path, const std::vector<std::string>& names, std::string* error) {
  return WriteFileAtomically(path, JoinLines(names), error);
}

int FindSoundName(const std::vector<std::string>& list, const std::string& name) {
  const auto it = std::find(list.begin(), list.end(), name);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

int SoundListAdd(std::vector<std::string>& list, const std::string& libraryName, int capacity) {
  if (!LibraryAddEnabled(list, libraryName, capacity)) return -1;
  list.push_back(libraryName);
  return static_cast<int>(list.size()) - 1;
}

bool SoundListRemove(std::vector<std::string>& list, int i) {
  if (i < 0 || i >= static_cast<int>(list.size())) return false;
  list.erase(list.begin() + i);
  return true;
}

int SoundListRemoveRenumbering(std::vector<std::string>& list, int i, RhythmTables& rt, bool basicCodes) {
  if (!SoundListRemove(list, i)) return -1;
  const int removed = i + 1;
  const int count = std::clamp(rt.FormulaCount, 0, kMaxFormulas);
  int silenced = 0;
  for (int f = 0; f < count; ++f) {
    Formula& fm = rt.Formulas[static_cast<size_t>(f)];
    const int beats = std::clamp(fm.Beats(), 0, kMaxBeats);
    for (int t = 0; t < kTracks; ++t) {
      uint8_t& s = fm.sounds[t];
      if (s == removed) {
        for (int b = 0; b < beats; ++b) {
          const int strokes = std::clamp(fm.StrokeCount(b, t), 0, kMaxStrokes);
          for (int k = 0; k < strokes; ++k) {
            const int code = fm.Stroke(b, t, k);
            if (code != 0 && (!basicCodes || code > 4)) ++silenced;
          }
        }
        s = 0;
      } else if (s > removed) {
        --s;
      }
    }
  }
  return silenced;
}

void SwapSoundNumbers(RhythmTables& rt, int a, int b) {
  const int count = std::clamp(rt.FormulaCount, 0, kMaxFormulas);
  for (int f = 0; f < count; ++f) {
    for (uint8_t& s : rt.Formulas[static_cast<size_t>(f)].sounds) {
      if (s == a)
        s = static_cast<uint8_t>(b);
      else if (s == b)
        s = static_cast<uint8_t>(a);
    }
  }
}

bool SoundListMoveUp(std::vector<std::string>& list, int i, RhythmTables& rt) {
  if (i < 1 || i >= static_cast<int>(list.size())) return false;
  std::swap(list[static_cast<size_t>(i)], list[static_cast<size_t>(i - 1)]);
  SwapSoundNumbers(rt, i + 1, i);
  return true;
}

bool SoundListMoveDown(std::vector<std::string>& list, int i, RhythmTables& rt) {
  if (i < 0 || i + 1 >= static_cast<int>(list.size())) return false;
  std::swap(list[static_cast<size_t>(i)], list[static_cast<size_t>(i + 1)]);
  SwapSoundNumbers(rt, i + 1, i + 2);
  return true;
}

bool SoundListChange(std::vector<std::string>& list, int i, const std::string& libraryName) {
  if (i < 0 || i >= static_cast<int>(list.size())) return false;
  if (FindSoundName(list, libraryName) >= 0) return false;
  list[static_cast<size_t>(i)] = libraryName;
  return true;
}

SoundListMenu SoundListMenuState(int count, int selected) {
  SoundListMenu m;
  m.moveUp = selected > 0 && selected < count;
  m.moveDown = selected >= 0 && selected < count - 1;
  return m;
}

bool LibraryAddEnabled(const std::vector<std::string>& list, const std::string& name, int capacity) {
  return FindSoundName(list, name) < 0 && static_cast<int>(list.size()) < capacity;
}

LibraryColour LibraryItemColour(const std::vector<std::string>& list, const std::string& name, int capacity) {
  if (FindSoundName(list, name) >= 0) return LibraryColour::Red;
  return static_cast<int>(list.size()) < capacity ? LibraryColour::Lime : LibraryColour::Silver;
}
