#include "rhythm/editor_logic.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

int ReadDecimal(const std::string& text) {
  size_t i = 0, end = text.size();
  while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  bool negative = false;
  if (i < end && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == end) return 0;
  long long v = 0;
  for (; i < end; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return 0;
    v = v * 10 + (c - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return 0;
  }
  if (negative) v = -v;
  if (v > INT_MAX || v < INT_MIN) return 0;
  return static_cast<int>(v);
}

std::string StrokeText(const Formula& f, int beat, int track) {
  std::string s;
  const int n = std::min(f.StrokeCount(beat, track), kMaxStrokes);
  for (int i = 0; i < n; ++i) s += static_cast<char>('0' + f.Stroke(beat, track, i));
  return s;
}

int StoreStrokeText(Formula& f, int beat, int track, const std::string& text) {
  int32_t cell = 0;
  const int n = CellFromStrokeText(text, &cell);
  f.cells[beat][track] = cell;
  f.SetStrokeCount(beat, track, n);
  return n;
}

void BlankFormulaName(Formula& f, int length) {
  std::memset(f.name, 0, sizeof f.name);
  std::memset(f.name, ' ', static_cast<size_t>(std::clamp(length, 0, static_cast<int>(sizeof f.name))));
}

FormulaView ViewFormula(Formula& f, bool byAccents, const EditorRules& rules) {
  FormulaView v;
  v.beats = f.Beats();
  v.startBeat = f.StartBeat();
  if (v.beats == 0 || v.beats > kMaxBeats) {
    BlankFormulaName(f, rules.formulaName);
    f.header = 12;
    v.beats = 12;
    v.startBeat = 0;
  }
  const int tracks = std::clamp(rules.tracks, 0, kTracks);
  if (rules.soundCapacity > 0)
    for (int t = 0; t < tracks; ++t)
      if (f.sounds[t] > rules.soundCapacity) f.sounds[t] = 0;
  if (byAccents) {
    v.labels = AccentLabels(f.accents, v.beats);
  } else {
    for (int k = 1; k <= v.beats; ++k) v.labels.push_back(BeatLabel(v.startBeat, k));
  }
  v.cells.resize(static_cast<size_t>(v.beats));
  for (int b = 0; b < v.beats; ++b)
    for (int t = 0; t < tracks; ++t) v.cells[static_cast<size_t>(b)].push_back(rules.strokeText(f, b, t));
  return v;
}

int BeatLabel(int startBeat0, int k) {
  int label = startBeat0 + k;
  if (label > 12) label -= 12;
  return label;
}

std::vector<int> AccentLabels(uint16_t accents, int beats) {
  std::vector<int> labels;
  int a = 0;
  for (int k = 1; k <= beats; ++k) {
    if ((accents >> (k - 1)) & 1) ++a;
    labels.push_back(a == 0 ? 1 : a);
  }
  return labels;
}

uint16_t AccentsFromBoxes(uint16_t old, const std::array<bool, 12>& checked, int beats) {
  uint16_t w = old & 0x8000;
  for (int k = 1; k <= std::min(beats, 12); ++k)
    if (checked[static_cast<size_t>(k - 1)]) w = static_cast<uint16_t>(w | (1u << (k - 1)));
  return w;
}

int LengthTenths(int beats, float bpm) {
  if (!(bpm > 0.0f)) return 0;
  const double t = static_cast<double>(beats) * (600.0 / static_cast<double>(bpm));
  return static_cast<int>(t) % 600;
}

int WholeBpmLengthTenths(int beats, int bpm) {
  if (bpm <= 0) return 0;
  return beats * 600 / bpm % 600;
}

std::string LengthLabel(int beats, float bpm, bool english) {
  const int t = LengthTenths(beats, bpm);
  char buf[64];
  std::snprintf(buf, sizeof buf, english ? "Length  %d.%d sec" : "Duraci\xC3\xB3n  %d.%d seg", t / 10, t % 10);
  return buf;
}

int EntriesOf(const Tema& t) { return std::min<int>(t.entryCount, kMaxEntries); }

int ThemeUsingFormula(const RhythmTables& t, int temaCount, int f) {
  temaCount = std::clamp(temaCount, 0, kMaxTemas);
  for (int m = 0; m < temaCount; ++m) {
    const Tema& th = t.Temas[static_cast<size_t>(m)];
    const int n = EntriesOf(th);
    for (int e = 0; e < n; ++e)
      if (th.formulas[e] == f) return m;
  }
  return -1;
}

std::string NotationGlyphs(const std::string& digits) {
  if (ReadDecimal(digits) == 0) return "    s";
  struct Glyphs {
    const char* prefix;
    char rest, note, joint;  // joint 0: none
  };
  static const Glyphs kByCount[] = {
      {"    ", 's', 'c', 0},   // 1 stroke
      {"   ", 'w', 'h', 'g'},  // 2
      {" l", 'w', 'h', 'g'},   // 3
      {" ", 'z', 'j', 'n'},    // 4
      {"", 'z', 'j', 'n'},     // 5
      {"", 'z', 'j', 0},       // 6
      {"", 'z', 'j', 0},       // 7
      {"", 'z', 'j', 0},       // 8
  };
  const size_t n = digits.size();
  const Glyphs g = n <= 8 ? kByCount[n - 1] : Glyphs{"", 's', 'c', 0};
  std::string out = g.prefix;
  out += digits[0] == '0' ? g.rest : 'c';
  for (size_t i = 1; i < n; ++i) {
    if (g.joint) out += g.joint;
    out += digits[i] == '0' ? g.rest : g.note;
  }
  return out;
}

SequenceFill ComputeSequence(const Tema& t, const Formula* formulas, int formulaCount, const EditorRules& rules) {
  SequenceFill fill;
  const int entries = EntriesOf(t);
  const size_t nameLength = static_cast<size_t>(std::max(rules.formulaName, 0));
  int compas = 1, shown = 0, bpm = t.tempos[0];
  for (int r = 0; r <= entries; ++r) {
    SequenceRow row;
    // The row after the last entry is the end row whatever its slot holds.
    const int n = r < entries ? t.times[r] : 0;
    const int a = t.accel[r];
    row.compas = compas;
    if (n != 0) {
      row.entry = true;
      compas += n;
      if (!rules.entryTempos) {
        row.tempo = std::to_string(bpm);
        bpm += n * a;
      } else {
        if (bpm == shown) {
          row.tempo.clear();
        } else {
          row.tempo = std::to_string(bpm);
          shown = bpm;
        }
        if (t.tempos[r] != 0 || a != 0) {
          if (t.tempos[r] != 0) {
            bpm = t.tempos[r];
            row.tempo = std::to_string(bpm);
            shown = bpm;
          }
          if (a != 0) bpm += n * a;
        } else {
          shown = bpm;
        }
      }
      const int f = t.formulas[r];
      if (f < formulaCount && f < kMaxFormulas) row.name = formulas[f].Name().substr(0, nameLength);
      row.formula = f + 1;
      row.times = n;
      row.accel = a;
    } else {
      row.tempo = std::to_string(bpm);
    }
    fill.rows.push_back(row);
    fill.compasCount = compas;
  }
  return fill;
}

ThemeFields MendThemeOnSelect(Tema& t) {
  ThemeFields f;
  f.parts = t.Parts();
  if (f.parts == 127) {
    f.parts = 0;
    t.partsOrder &= 0x80;
  }
  f.inOrder = t.InOrder();
  f.intro = t.Intro() > 12 ? 0 : t.Intro();
  f.ending = t.Ending() > 12 ? 0 : t.Ending();
  t.introEnding = static_cast<uint8_t>(f.intro * 16 + f.ending);
  if (!(t.gain >= 1.0f)) t.gain = 1.0f;
  if (t.entryCount > kMaxEntries) t.entryCount = kMaxEntries;
  if (t.entryCount < kMaxEntries) t.times[t.entryCount] = 0;
  return f;
}

bool InsertNeedsNewEntry(const Tema& t, int e, int f) {
  return !(e >= 0 && e < EntriesOf(t) && t.times[e] != 0 && t.times[e] < 255 && t.formulas[e] == f);
}

InsertOutcome InsertEntryBefore(Tema& t, int e, int f) {
  const int count = EntriesOf(t);
  if (e < 0 || e > count || f < 0 || f >= kMaxFormulas) return InsertOutcome::BadPosition;
  if (!InsertNeedsNewEntry(t, e, f)) {
    ++t.times[e];
    return InsertOutcome::AddedRepetition;
  }
  if (count >= kMaxEntries) return InsertOutcome::Full;
  const int n = count + 1;
  for (int i = n; i >= e + 1; --i) {
    t.formulas[i] = t.formulas[i - 1];
    t.times[i] = t.times[i - 1];
    t.accel[i] = t.accel[i - 1];
  }
  t.formulas[e] = static_cast<uint16_t>(f);
  t.times[e] = 1;
  t.accel[e] = 0;
  t.entryCount = static_cast<uint16_t>(n);
  t.times[n] = 0;  // the end mark follows the last entry
  return InsertOutcome::InsertedEntry;
}

RemoveOutcome RemoveEntry(Tema& t, int e) {
  const int count = EntriesOf(t);
  if (e < 0 || e >= count) return RemoveOutcome::Nothing;
  if (t.times[e] > 1) {
    --t.times[e];
    return RemoveOutcome::RepetitionRemoved;
  }
  for (int i = e; i < count; ++i) {
    t.formulas[i] = t.formulas[i + 1];
    t.times[i] = t.times[i + 1];
    t.accel[i] = t.accel[i + 1];
  }
  t.entryCount = static_cast<uint16_t>(count - 1);
  t.times[count - 1] = 0;  // the end mark, also when the slot after a full list held something
  return RemoveOutcome::EntryRemoved;
}

bool EntryValuesFit(const EntryValues& v, int e, int formulaCount, const EditorRules& rules) {
  if (v.formula < 1 || v.formula > std::min(formulaCount, kMaxFormulas)) return false;
  if (v.times < 1 || v.times > std::min(rules.maxTimes, 255)) return false;
  if (rules.entryTempos) {
    if (v.tempo != 0 && (v.tempo < 20 || v.tempo > 400)) return false;
    if (e == 0 && v.tempo == 0) return false;
  }
  return v.accel >= -128 && v.accel <= 127;
}

void StoreEntryValues(Tema& t, int e, const EntryValues& v, const EditorRules& rules) {
  if (rules.entryTempos) t.tempos[e] = static_cast<uint16_t>(v.tempo);
  t.times[e] = static_cast<uint8_t>(v.times);
  t.formulas[e] = static_cast<uint16_t>(v.formula - 1);
  t.accel[e] = static_cast<int8_t>(v.accel);
}

std::optional<int> PartsFromText(const std::string& text) {
  const int p = ReadDecimal(text);
  if (p < 0) return std::nullopt;
  return std::min(p, 127);
}

std::optional<int> BeatsFromText(const std::string& text) {
  const int v = ReadDecimal(text);
  if (v < 0) return std::nullopt;
  return std::min(v, 12);
}

std::string CompasCounterText(int compas, int compasCount, int themeParts, int partsCounter, bool withParts,
                              bool english) {
  char buf[96];
  std::snprintf(buf, sizeof buf, english ? "Compass %3d/%3d" : "Comp\xC3\xA1s %3d/%3d", compas, compasCount - 1);
  std::string s = buf;
  if (withParts && partsCounter != 0) {
    s += " - " + std::to_string(themeParts + 1 - partsCounter) + "\xC2\xAA / " + std::to_string(themeParts);
  }
  return s;
}
