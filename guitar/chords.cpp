#include "guitar/chords.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/files/atomic_file.h"
#include "platform/files/text.h"

namespace {

const std::array<std::string, kModeCount> kSpanishModes{"Normal", "Ligado", "Tapado", "Silencio"};
const std::array<std::string, kModeCount> kEnglishModes{"Normal", "Legato", "Thud", "Silence"};

constexpr int kMaxCellNumber = 1000000;
constexpr int kMaxStrumStep = 16;
constexpr int kMaxChordStrength = 7;
constexpr int kMarkTop = 60;
constexpr int kMarkLeft = 234;
constexpr int kModeChooserRowHeight = 17;
constexpr int kModeChooserTop = 206;

bool BlankText(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char ch) { return ch == ' ' || ch == '\t'; });
}

int Strength(const ChordRow& r) { return std::clamp(CellNumber(r[kColStrength]), 0, kMaxChordStrength); }
int Delay(const ChordRow& r) { return std::clamp(CellNumber(r[kColDelay]), 0, kMaxDelay); }

// The note name of string index i at a fret: the first two characters of its
// TablaNotas label and a blank; empty for a note outside the table.
std::string NoteName(const GuitarTuning& tuning, int i, int fret) {
  const int index = tuning.StringTuning[static_cast<size_t>(i)] + fret;
  if (!NoteInTable(index)) return {};
  const char* label = tuning.TablaNotas[static_cast<size_t>(index)].label;
  return std::string{label[0], label[1], ' '};
}

std::string Trimmed(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// A mode as a chord file or a mode cell gives it: a caption in either
// language, else a number 0..3; -1 for anything else.
int ModeOfText(const std::string& text, bool numbers) {
  const std::string t = Trimmed(text);
  for (bool english : {false, true})
    if (const int m = ModeOfCaption(t, english); m >= 0) return m;
  if (!numbers) return -1;
  const int n = CellNumber(t);
  return n >= 0 && n < kModeCount ? n : -1;
}

std::string OneLine(const std::string& s) {
  std::string out;
  for (char ch : s)
    if (ch != '\r' && ch != '\n') out.push_back(ch);
  return out;
}

char Lower(char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); }

}  // namespace

const std::array<std::string, kModeCount>& ModeCaptions(bool english) { return english ? kEnglishModes : kSpanishModes; }

std::string ModeCaption(int mode, bool english) {
  if (mode < 0 || mode >= kModeCount) return {};
  return ModeCaptions(english)[static_cast<size_t>(mode)];
}

int ModeOfCaption(const std::string& text, bool english) {
  const auto& items = ModeCaptions(english);
  for (int m = 0; m < kModeCount; ++m)
    if (items[static_cast<size_t>(m)] == text) return m;
  return -1;
}

int CellNumber(const std::string& text) {
  size_t p = 0;
  while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  int value = 0;
  while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
    value = std::min(value * 10 + (text[p++] - '0'), kMaxCellNumber);
  }
  return negative ? -value : value;
}

ChordRow& GridRow(ChordState& c, int row) { return c.rows[static_cast<size_t>(std::clamp(row, 1, kChordRows) - 1)]; }

int StringOfRow(bool tab, int row) { return tab ? row : kGuitarStrings + 1 - row; }
int RowOfString(bool tab, int stringNumber) { return tab ? stringNumber : kGuitarStrings + 1 - stringNumber; }

bool TakeChordRow(ChordState& c, int row, const GuitarTuning& tuning, int capo) {
  if (row < 1 || row > kChordRows) return false;
  ChordRow& r = GridRow(c, row);
  const int s = StringOfRow(c.tab, row);
  const int i = kGuitarStrings - s;
  const bool fretEmpty = BlankText(r[kColFret]);
  const int fret = fretEmpty ? c.ChordBuffer.fret[i] : CellNumber(r[kColFret]);
  const int strength = Strength(r);
  const int mode = ModeOfCaption(r[kColMode], c.english);
  const int delay = Delay(r);
  if (fret < 0 || fret > kMaxChordFret) {
    r[kColNote].clear();
    return false;
  }
  c.ChordBuffer.fret[i] = static_cast<uint8_t>(fret);
  c.ChordBuffer.strength[i] = static_cast<uint8_t>(strength);
  c.ChordBuffer.mode[i] = mode;
  c.ChordBuffer.delay[i] = static_cast<uint8_t>(delay);

  std::string name;
  if (strength != 0) {
    name = NoteName(tuning, i, fret);
    r[kColString] = std::string(1, static_cast<char>('0' + s));
    if (fretEmpty) r[kColFret] = std::to_string(fret);
  } else {
    r[kColString] = " ";
    r[kColFret].clear();
    r[kColStrength].clear();
  }
  r[kColNote] = name;
  FingerMark& mark = c.StringNoteLabels[static_cast<size_t>(i)];
  mark.top = kStringSpacing * (kGuitarStrings - s) + kMarkTop;
  mark.left = FretPosition(std::min(fret + capo, kLastFretMark)) + kMarkLeft;
  mark.text = name;
  return true;
}

void TakeAllChordRows(ChordState& c, const GuitarTuning& tuning, int capo) {
  for (int row = 1; row <= kChordRows; ++row) TakeChordRow(c, row, tuning, capo);
}

void SetChordLanguage(ChordState& c, bool english, const GuitarTuning& tuning, int capo) {
  if (english == c.english) return;
  for (int row = 1; row <= kChordRows; ++row) {
    ChordRow& r = GridRow(c, row);
    if (const int m = ModeOfCaption(r[kColMode], c.english); m >= 0) r[kColMode] = ModeCaption(m, english);
  }
  c.english = english;
  TakeAllChordRows(c, tuning, capo);
}

void SetChordTab(ChordState& c, bool tab) {
  if (tab == c.tab) return;
  std::reverse(c.rows.begin(), c.rows.end());
  c.tab = tab;
}

std::optional<int> ModeChooserTop(int column, int row) {
  if (column != kColMode || row < 1 || row > kChordRows) return std::nullopt;
  return row * kModeChooserRowHeight + kModeChooserTop;
}

void ChooseChordMode(ChordState& c, int row, int item, const GuitarTuning& tuning, int capo) {
  if (row < 1 || row > kChordRows) return;
  if (item < 0 || item >= kModeCount) item = 0;
  GridRow(c, row)[kColMode] = ModeCaption(item, c.english);
  TakeChordRow(c, row, tuning, capo);
}

// --- the fretboard ---------------------------------------------------------------

int FretAtX(int x) {
  for (int f = 0; f <= kLastFretMark; ++f)
    if (FretPosition(f) <= x - kFretboardLeft) return f;
  return kBeyondFrets;
}

int StringAtY(int y) {
  if (y < 0 || y >= kFretboardStrings) return 0;
  return kGuitarStrings - y / kStringSpacing;
}

FingerMark PlayedNoteMark(int stringIndex, int fret, int capo, const GuitarTuning& tuning) {
  FingerMark m;
  const int s = kGuitarStrings - std::clamp(stringIndex, 0, kGuitarStrings - 1);
  m.top = kStringSpacing * (kGuitarStrings - s) + kMarkTop;
  m.left = FretPosition(std::clamp(fret + capo, 0, kLastFretMark)) + kMarkLeft;
  const int note = tuning.StringTuning[static_cast<size_t>(kGuitarStrings - s)] + fret;
  if (NoteInTable(note)) m.text = " " + LabelText(tuning.TablaNotas[static_cast<size_t>(note)]).substr(0, 2);
  return m;
}

FretboardClick ClickFretboard(ChordState& c, int x, int y, bool leftButton, int capo, bool playing,
                              const GuitarTuning& tuning) {
  FretboardClick out;
  const int sn = StringAtY(y);
  if (playing || sn == 0) return out;
  const int row = RowOfString(c.tab, sn);
  ChordRow& r = GridRow(c, row);
  int f = std::max(FretAtX(x) - capo, 0);
  if (f > kMaxChordFret) {
    if (Strength(r) == 0) return out;
    f = BlankText(r[kColFret]) ? c.ChordBuffer.fret[kGuitarStrings - sn] : CellNumber(r[kColFret]);
    if (f < 0 || f > kMaxChordFret) return out;
  }
  if (leftButton) {
    r[kColString] = std::to_string(sn);
    r[kColFret] = std::to_string(f);
    r[kColStrength] = "4";
    r[kColMode] = ModeCaption(kModeNormal, c.english);
    r[kColDelay] = std::to_string((row - 1) * std::clamp(c.TBRetardo, 0, kMaxStrumStep));
    out.play = true;
    out.stringNumber = sn;
    out.semitones = f + capo;
  } else {
    for (int col : {kColNote, kColString, kColFret, kColStrength}) r[static_cast<size_t>(col)].clear();
  }
  out.changed = true;
  out.row = row;
  TakeChordRow(c, row, tuning, capo);
  return out;
}

std::string FretboardHint(int x, int y, int capo) {
  const int sn = StringAtY(y);
  if (sn == 0) return {};
  return "C" + std::to_string(sn) + " T" + std::to_string(FretAtX(x) - capo);
}

// --- whole-chord controls --------------------------------------------------------

void SetStrumDelay(ChordState& c, int position, const GuitarTuning& tuning, int capo) {
  c.TBRetardo = std::clamp(position, 0, kMaxStrumStep);
  int first = 0, last = 0;
  for (int row = 1; row <= kChordRows; ++row) {
    if (Strength(GridRow(c, row)) == 0) continue;
    if (first == 0) first = row;
    last = row;
  }
  if (first == 0) return;
  const bool upwards = Delay(GridRow(c, last)) < Delay(GridRow(c, first));
  for (int row = first; row <= last; ++row) {
    const int steps = upwards ? last - row : row - first;
    GridRow(c, row)[kColDelay] = std::to_string(std::min(steps * c.TBRetardo, kMaxDelay));
    TakeChordRow(c, row, tuning, capo);
  }
}

void SetChordStrength(ChordState& c, int position, const GuitarTuning& tuning, int capo) {
  c.TBFuerza = std::clamp(position, 1, kMaxChordStrength);
  for (int row = 1; row <= kChordRows; ++row) {
    if (Strength(GridRow(c, row)) == 0) continue;
    GridRow(c, row)[kColStrength] = std::to_string(c.TBFuerza);
    TakeChordRow(c, row, tuning, capo);
  }
}

void MirrorStrum(ChordState& c, const GuitarTuning& tuning, int capo) {
  int lo = 0, hi = 0, smallest = 200, largest = -1;
  for (int row = 1; row <= kChordRows; ++row) {
    const ChordRow& r = GridRow(c, row);
    if (Strength(r) == 0) continue;
    const int d = Delay(r);
    if (d < smallest) smallest = d, lo = row;
    if (d > largest) largest = d, hi = row;
  }
  if (lo == hi) return;  // also when no row sounds
  const int step = hi > lo ? 1 : -1;
  while (lo != hi) {
    std::swap(GridRow(c, lo)[kColDelay], GridRow(c, hi)[kColDelay]);
    TakeChordRow(c, lo, tuning, capo);
    TakeChordRow(c, hi, tuning, capo);
    lo += step;
    if (lo != hi) hi -= step;
  }
}

// --- chord files ----------------------------------------------------------------------

std::vector<std::string> ChordFileLines(const std::array<ChordFileString, kGuitarStrings>& strings) {
  std::vector<std::string> lines;
  lines.reserve(kChordFileLines);
  for (const ChordFileString& s : strings) {
    lines.push_back(std::to_string(s.fret));
    lines.push_back(OneLine(s.strength));
    lines.push_back(std::to_string(std::clamp(s.mode, 0, kModeCount - 1)));
    lines.push_back(OneLine(s.delay));
  }
  return lines;
}

std::array<ChordFileString, kGuitarStrings> ChordFileStrings(const ChordState& c, const GuitarTuning& tuning) {
  std::array<ChordFileString, kGuitarStrings> out;
  for (int i = 0; i < kGuitarStrings; ++i) {
    const ChordRow& r = c.rows[static_cast<size_t>(RowOfString(c.tab, kGuitarStrings - i) - 1)];
    ChordFileString& s = out[static_cast<size_t>(i)];
    s.fret = (BlankText(r[kColFret]) ? 0 : CellNumber(r[kColFret])) + tuning.TuningOffsets[static_cast<size_t>(i)];
    s.strength = r[kColStrength];
    s.mode = std::max(ModeOfText(r[kColMode], true), 0);
    s.delay = r[kColDelay];
  }
  return out;
}

std::vector<uint8_t> ChordFileBytes(const std::array<ChordFileString, kGuitarStrings>& strings) {
  return JoinLines(ChordFileLines(strings));
}

bool SaveChordFile(const ChordState& c, const GuitarTuning& tuning, const std::string& path, std::string* written,
                   std::string* error) {
  std::string target = path;
  if (!EndsWithNoCase(target, kChordExtension)) target += kChordExtension;
  if (written) *written = target;
  return WriteFileAtomically(target, ChordFileBytes(ChordFileStrings(c, tuning)), error);
}

void LoadChordLines(ChordState& c, const std::vector<std::string>& lines, const GuitarTuning& tuning, int capo) {
  for (int i = 0; i < kGuitarStrings; ++i) {
    const int row = RowOfString(c.tab, kGuitarStrings - i);
    ChordRow& r = GridRow(c, row);
    for (int k = 0; k < 4; ++k) {
      const size_t n = static_cast<size_t>(4 * i + k);
      if (n >= lines.size()) return;
      const std::string& text = lines[n];
      switch (k) {
        case 0:
          r[kColFret] = std::to_string(CellNumber(text) - tuning.TuningOffsets[static_cast<size_t>(i)]);
          break;
        case 1:
          r[kColStrength] = text;
          break;
        case 2:
          r[kColMode] = ModeCaption(ModeOfText(text, true), c.english);
          break;
        default:
          r[kColDelay] = text;
          break;
      }
      TakeChordRow(c, row, tuning, capo);
    }
  }
}

std::string ChordFilePath(const std::string& folder, const std::string& name) {
  return (std::filesystem::path(folder) / kChordFolder / (FsName(name) + kChordExtension)).string();
}

bool LoadChordFile(ChordState& c, const std::string& folder, const std::string& name, const GuitarTuning& tuning,
                   int capo) {
  if (name.empty()) return false;
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(ChordFilePath(folder, name), kMaxChordFileBytes, &bytes)) return false;
  LoadChordLines(c, SplitLines(bytes), tuning, capo);
  return true;
}

std::vector<std::string> ListChords(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder) / kChordFolder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc)) continue;
    const std::string file = it->path().filename().string();
    if (file.size() <= kChordExtension.size() || !EndsWithNoCase(file, kChordExtension)) continue;
    names.push_back(NameOfFs(file.substr(0, file.size() - kChordExtension.size())));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                   [](char x, char y) { return Lower(x) < Lower(y); });
    const bool more = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                   [](char x, char y) { return Lower(x) < Lower(y); });
    return less || (!more && a < b);
  });
  return names;
}

// --- chord and tablature ----------------------------------------------------------------

bool FillWithChord(GuitarState& g, const DivisionG& chord) {
  const std::optional<uint32_t> a = CursorOffset(g);
  if (g.MarkedBeats <= 0 || !a) return false;
  const size_t first = *a / kBeatBytes;
  for (size_t s = first; s < first + static_cast<size_t>(g.MarkedBeats) && s < g.GuitarTrack.size(); ++s) {
    TiempoG& beat = g.GuitarTrack[s];
    const int n = std::clamp<int>(beat.divisions, 1, kMaxDivisions);
    for (int d = 0; d < n; ++d) {
      DivisionG& div = beat.division[d];
      for (int j = 0; j < kGuitarStrings; ++j) {
        if (div.strength[j] != 0 && chord.strength[j] != 0)
          div.fret[j] = chord.fret[j];
        else
          div.strength[j] = 0;
      }
    }
  }
  ReadCursorBeat(g);
  g.Modified = true;
  return true;
}
