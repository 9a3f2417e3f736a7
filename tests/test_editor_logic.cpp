#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "rhythm/editor_logic.h"

namespace {
struct Entry {
  int formula, times, accel, tempo;
};

Tema MakeTema(int tempo, const std::vector<Entry>& entries) {
  Tema t{};
  InitNewTema(t, tempo);
  for (size_t e = 0; e < entries.size(); ++e) {
    t.formulas[e] = static_cast<uint16_t>(entries[e].formula);
    t.times[e] = static_cast<uint8_t>(entries[e].times);
    t.accel[e] = static_cast<int8_t>(entries[e].accel);
    if (e > 0) t.tempos[e] = static_cast<uint16_t>(entries[e].tempo);
  }
  t.entryCount = static_cast<uint16_t>(entries.size());
  return t;
}

// A theme's tempo column and bar numbers as the sequence grid shows them.
struct SequenceCase {
  const char* what;
  int tempo;
  std::vector<Entry> entries;
  std::vector<std::string> tempos;
  std::vector<int> bars;
};
void ExpectSequences(const std::vector<SequenceCase>& cases, const Formula* formulas, int count,
                     const EditorRules& rules = {}) {
  for (const auto& c : cases) {
    const Tema t = MakeTema(c.tempo, c.entries);
    const SequenceFill fill = ComputeSequence(t, formulas, count, rules);
    std::vector<std::string> tempos;
    std::vector<int> bars;
    for (const auto& r : fill.rows) {
      tempos.push_back(r.tempo);
      bars.push_back(r.compas);
    }
    EXPECT_EQ(tempos, c.tempos) << c.what;
    EXPECT_EQ(bars, c.bars) << c.what;
    EXPECT_EQ(fill.compasCount, c.bars.back()) << c.what;
  }
}

std::vector<Formula> NamedFormulas(int n) {
  std::vector<Formula> fs(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) fs[static_cast<size_t>(i)].SetName("F" + std::to_string(i + 1));
  return fs;
}
}  // namespace

TEST(EditorLogic, ReadDecimalReadsWholeNumbersOnly) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"12", 12},  {" 7 ", 7}, {"-3", -3}, {"+4", 4}, {"", 0}, {"  ", 0},
               {"12a", 0},  {"a12", 0}, {"1 2", 0}, {"-", 0},  {"99999999999", 0}, {"2147483647", 2147483647}};
  for (const auto& c : cases) EXPECT_EQ(ReadDecimal(c.text), c.value) << '"' << c.text << '"';
}

TEST(EditorLogic, TypedStrokesAreStoredByPositionAndCountedByLength) {
  const struct {
    const char* typed;
    int32_t cell;
    int count;
    const char* shown;
  } cases[] = {
      {"7070", 7 | (7 << 6), 4, "7070"},
      {"1020", 1 | (2 << 6), 4, "1020"},
      {"12345678", 1 | 2 << 3 | 3 << 6 | 4 << 9 | 5 << 12 | 6 << 15 | 7 << 18, 8, "12345670"},  // 8 is a rest
      {"123456789", 1 | 2 << 3 | 3 << 6 | 4 << 9 | 5 << 12 | 6 << 15 | 7 << 18, 8, "12345670"},
      {"9", 0, 1, "0"},
      {"x5", 5 << 3, 2, "05"},
      {"", 0, 0, ""},
  };
  for (const auto& c : cases) {
    Formula f{};
    EXPECT_EQ(StoreStrokeText(f, 2, 3, c.typed), c.count) << c.typed;
    EXPECT_EQ(f.cells[2][3], c.cell) << c.typed;
    EXPECT_EQ(f.StrokeCount(2, 3), c.count) << c.typed;
    EXPECT_EQ(f.strokeCounts[785 - 768] >> 4, c.count) << c.typed;  // beat 2, track 3: high nibble of byte 785
    EXPECT_EQ(StrokeText(f, 2, 3), c.shown) << c.typed;
    EXPECT_EQ(f.StrokeCount(2, 2), 0);  // the neighbour's nibble is left alone
  }
  // "7070" is the cell value 455.
  Formula f{};
  StoreStrokeText(f, 0, 0, "7070");
  EXPECT_EQ(f.cells[0][0], 455);
}

TEST(EditorLogic, BeatLabelsWrapAfterTwelve) {
  std::vector<int> fromTwelve, fromOne;
  for (int k = 1; k <= 12; ++k) {
    fromTwelve.push_back(BeatLabel(11, k));
    fromOne.push_back(BeatLabel(0, k));
  }
  EXPECT_EQ(fromTwelve, (std::vector<int>{12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(fromOne, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(BeatLabel(7, 5), 12);
  EXPECT_EQ(BeatLabel(7, 6), 1);
}

TEST(EditorLogic, AccentLabelsStepUpAtEachAccent) {
  // Accents on beats 3, 6, 8, 10 and 12.
  EXPECT_EQ(AccentLabels(0x0AA4, 12), (std::vector<int>{1, 1, 1, 1, 1, 2, 2, 3, 3, 4, 4, 5}));
  EXPECT_EQ(AccentLabels(0x8AA4, 12), (std::vector<int>{1, 1, 1, 1, 1, 2, 2, 3, 3, 4, 4, 5}));  // mode bit ignored
  EXPECT_EQ(AccentLabels(0x0001, 4), (std::vector<int>{1, 1, 1, 1}));
  EXPECT_EQ(AccentLabels(0x000F, 4), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(AccentLabels(0, 3), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(AccentLabels(0x0AA4, 4), (std::vector<int>{1, 1, 1, 1}));
}

TEST(EditorLogic, AccentBoxesKeepTheModeBitAndClearBeatsBeyondTheCount) {
  std::array<bool, 12> all{};
  all.fill(true);
  EXPECT_EQ(AccentsFromBoxes(0x8FFF, all, 4), 0x800F);
  EXPECT_EQ(AccentsFromBoxes(0x0FFF, all, 12), 0x0FFF);
  std::array<bool, 12> some{};
  some[2] = some[5] = some[11] = true;
  EXPECT_EQ(AccentsFromBoxes(0x7FFF, some, 12), 0x0824);
  EXPECT_EQ(AccentsFromBoxes(0x8000, some, 3), 0x8004);
}

TEST(EditorLogic, LengthLabelInTenthsTruncated) {
  const struct {
    int beats;
    float bpm;
    int tenths;
    const char* spanish;
    const char* english;
  } cases[] = {
      {12, 120.0f, 60, "Duración  6.0 seg", "Length  6.0 sec"},
      {12, 20.0f, 360, "Duración  36.0 seg", "Length  36.0 sec"},
      {7, 90.0f, 46, "Duración  4.6 seg", "Length  4.6 sec"},
      {1, 400.0f, 1, "Duración  0.1 seg", "Length  0.1 sec"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LengthTenths(c.beats, c.bpm), c.tenths) << c.beats << " at " << c.bpm;
    EXPECT_EQ(LengthLabel(c.beats, c.bpm, false), c.spanish);
    EXPECT_EQ(LengthLabel(c.beats, c.bpm, true), c.english);
  }
  EXPECT_EQ(LengthTenths(12, 10.0f), 120);  // 720 tenths wrap at 600
  EXPECT_EQ(LengthTenths(12, 0.0f), 0);
}

// The whole-tempo length takes the product first: where 600 / bpm is not
// exact in binary, the two ways part by a tenth.
TEST(EditorLogic, WholeBpmLengthTakesTheProductFirst) {
  const struct {
    int beats, bpm, whole, fromQuotient;
  } cases[] = {
      {11, 55, 120, 119}, {11, 110, 60, 59}, {11, 220, 30, 29}, {12, 120, 60, 60}, {7, 90, 46, 46}, {12, 10, 120, 120},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WholeBpmLengthTenths(c.beats, c.bpm), c.whole) << c.beats << " at " << c.bpm;
    EXPECT_EQ(LengthTenths(c.beats, static_cast<float>(c.bpm)), c.fromQuotient) << c.beats << " at " << c.bpm;
  }
  EXPECT_EQ(WholeBpmLengthTenths(12, 0), 0);
}

TEST(EditorLogic, NotationGlyphsPerStrokeCount) {
  const struct {
    const char* digits;
    const char* glyphs;
  } cases[] = {
      {"", "    s"},         {"000", "    s"},     {"0", "    s"},       {"5", "    c"},
      {"11", "   cgh"},      {"01", "   wgh"},    {"10", "   cgw"},     {"707", " lcgwgh"},
      {"1020", " cnznjnz"},  {"0707", " znjnznj"}, {"12345", "cnjnjnjnj"}, {"120000", "cjzzzz"},
      {"0000001", "zzzzzzj"}, {"77777777", "cjjjjjjj"},
  };
  for (const auto& c : cases) EXPECT_EQ(NotationGlyphs(c.digits), c.glyphs) << c.digits;
}

TEST(EditorLogic, SequenceOfTheWorkedExample) {
  // Theme tempo 120; (times 2, accel 5), (times 1), (times 1, own tempo 100).
  const Tema t = MakeTema(120, {{0, 2, 5, 0}, {1, 1, 0, 0}, {2, 1, 0, 100}});
  const auto fs = NamedFormulas(3);
  const SequenceFill fill = ComputeSequence(t, fs.data(), 3);
  ASSERT_EQ(fill.rows.size(), 4u);
  std::vector<int> bars;
  std::vector<std::string> tempos;
  for (const auto& r : fill.rows) {
    bars.push_back(r.compas);
    tempos.push_back(r.tempo);
  }
  EXPECT_EQ(bars, (std::vector<int>{1, 3, 4, 5}));
  EXPECT_EQ(tempos, (std::vector<std::string>{"120", "130", "100", "100"}));
  EXPECT_EQ(fill.compasCount, 5);
  EXPECT_EQ(fill.rows[1].name, "F2");
  EXPECT_EQ(fill.rows[2].formula, 3);
  EXPECT_EQ(fill.rows[0].accel, 5);
  EXPECT_EQ(fill.rows[0].times, 2);
  EXPECT_TRUE(fill.rows[2].entry);
  EXPECT_FALSE(fill.rows[3].entry);
}

TEST(EditorLogic, SequenceTempoColumnCases) {
  const auto fs = NamedFormulas(4);
  ExpectSequences({
      {"acceleration carried to the end row", 120, {{0, 4, 3, 0}}, {"120", "132"}, {1, 5}},
      {"unchanged tempo is blank", 120, {{0, 1, 0, 0}, {1, 2, 0, 0}}, {"120", "", "120"}, {1, 2, 4}},
      {"an own tempo equal to the one in force is shown", 120, {{0, 1, 0, 0}, {1, 1, 0, 120}}, {"120", "120", "120"},
       {1, 2, 3}},
      {"deceleration", 100, {{0, 2, -10, 0}, {1, 1, 0, 0}}, {"100", "80", "80"}, {1, 3, 4}},
      {"own tempo then acceleration", 90, {{0, 1, 0, 0}, {1, 3, 2, 150}}, {"90", "150", "156"}, {1, 2, 5}},
      {"no entries", 110, {}, {"110"}, {1}},
  }, fs.data(), 4);
}

TEST(EditorLogic, SequenceNeverReadsPastTheTables) {
  auto fs = NamedFormulas(kMaxFormulas);
  Tema t = MakeTema(120, {{2, 1, 0, 0}, {7, 1, 0, 0}, {600, 1, 0, 0}});
  // Formula 8 lies past a count of 3; 601 past the table.
  SequenceFill fill = ComputeSequence(t, fs.data(), 3);
  EXPECT_EQ(fill.rows[0].name, "F3");
  EXPECT_EQ(fill.rows[1].name, "");
  EXPECT_EQ(fill.rows[1].formula, 8);
  EXPECT_EQ(fill.rows[2].name, "");

  // An entry count from a file beyond 120: 120 entries and the end row,
  // whatever slot 120 holds.
  for (int e = 0; e < kEntrySlots; ++e) {
    t.times[e] = 1;
    t.formulas[e] = 0;
  }
  t.entryCount = 300;
  fill = ComputeSequence(t, fs.data(), 3);
  ASSERT_EQ(fill.rows.size(), 121u);
  EXPECT_FALSE(fill.rows.back().entry);
  EXPECT_EQ(fill.compasCount, 121);
}

TEST(EditorLogic, ThemeMendedOnSelection) {
  Tema t = MakeTema(120, {{0, 1, 0, 0}});
  t.partsOrder = 0x80 | 127;
  t.introEnding = 0xD3;
  t.gain = 0.5f;
  ThemeFields f = MendThemeOnSelect(t);
  EXPECT_EQ(f.parts, 0);
  EXPECT_EQ(t.partsOrder, 0x80);
  EXPECT_TRUE(f.inOrder);
  EXPECT_EQ(f.intro, 0);
  EXPECT_EQ(f.ending, 3);
  EXPECT_EQ(t.introEnding, 0x03);
  EXPECT_FLOAT_EQ(t.gain, 1.0f);
  EXPECT_EQ(t.times[1], 0);

  t.partsOrder = 5;
  t.introEnding = 0x4F;
  t.gain = std::nanf("");
  t.entryCount = 300;
  t.times[120] = 9;
  f = MendThemeOnSelect(t);
  EXPECT_EQ(f.parts, 5);
  EXPECT_FALSE(f.inOrder);
  EXPECT_EQ(f.intro, 4);
  EXPECT_EQ(f.ending, 0);
  EXPECT_EQ(t.introEnding, 0x40);
  EXPECT_FLOAT_EQ(t.gain, 1.0f);
  EXPECT_EQ(t.entryCount, 120);
  EXPECT_EQ(t.times[120], 9);  // a full list has no end mark slot of its own

  t.gain = 3.5f;
  MendThemeOnSelect(t);
  EXPECT_FLOAT_EQ(t.gain, 3.5f);
}

TEST(EditorLogic, InsertMovesFormulasTimesAndAccelButNotTempos) {
  Tema t = MakeTema(120, {{0, 2, 5, 0}, {1, 1, 0, 0}, {2, 1, 0, 100}});
  t.times[3] = 0;
  EXPECT_EQ(InsertEntryBefore(t, 1, 3), InsertOutcome::InsertedEntry);
  EXPECT_EQ(t.entryCount, 4);
  const int formulas[] = {0, 3, 1, 2}, times[] = {2, 1, 1, 1}, accel[] = {5, 0, 0, 0}, tempos[] = {120, 0, 100, 0};
  for (int e = 0; e < 4; ++e) {
    EXPECT_EQ(t.formulas[e], formulas[e]) << e;
    EXPECT_EQ(t.times[e], times[e]) << e;
    EXPECT_EQ(t.accel[e], accel[e]) << e;
    EXPECT_EQ(t.tempos[e], tempos[e]) << e;  // a tempo stays with its row position
  }
  EXPECT_EQ(t.times[4], 0);

  // The same formula as the entry: one more repetition, no new row.
  EXPECT_EQ(InsertEntryBefore(t, 0, 0), InsertOutcome::AddedRepetition);
  EXPECT_EQ(t.times[0], 3);
  EXPECT_EQ(t.accel[0], 5);
  EXPECT_EQ(t.entryCount, 4);

  // At the end mark: appended.
  EXPECT_EQ(InsertEntryBefore(t, 4, 0), InsertOutcome::InsertedEntry);
  EXPECT_EQ(t.entryCount, 5);
  EXPECT_EQ(t.formulas[4], 0);
  EXPECT_EQ(t.times[4], 1);
  EXPECT_EQ(t.times[5], 0);

  // An entry at 255 repetitions gets a new entry beside it.
  t.times[0] = 255;
  EXPECT_EQ(InsertEntryBefore(t, 0, 0), InsertOutcome::InsertedEntry);
  EXPECT_EQ(t.times[0], 1);
  EXPECT_EQ(t.times[1], 255);

  EXPECT_EQ(InsertEntryBefore(t, 9, 0), InsertOutcome::BadPosition);
  EXPECT_EQ(InsertEntryBefore(t, -1, 0), InsertOutcome::BadPosition);
  EXPECT_EQ(t.entryCount, 6);
}

TEST(EditorLogic, FullThemeTakesNoNewEntry) {
  std::vector<Entry> es(kMaxEntries, Entry{0, 1, 0, 0});
  Tema t = MakeTema(120, es);
  const Tema before = t;
  EXPECT_TRUE(InsertNeedsNewEntry(t, 10, 1));
  EXPECT_EQ(InsertEntryBefore(t, 10, 1), InsertOutcome::Full);
  EXPECT_EQ(InsertEntryBefore(t, kMaxEntries, 0), InsertOutcome::Full);
  EXPECT_EQ(std::memcmp(&t, &before, sizeof t), 0);
  // A repetition still fits.
  EXPECT_FALSE(InsertNeedsNewEntry(t, 10, 0));
  EXPECT_EQ(InsertEntryBefore(t, 10, 0), InsertOutcome::AddedRepetition);
  EXPECT_EQ(t.times[10], 2);
}

TEST(EditorLogic, RemoveTakesRepetitionsThenTheEntry) {
  Tema t = MakeTema(120, {{0, 3, 4, 0}, {1, 1, 2, 140}, {2, 1, 0, 100}});
  t.times[3] = 0;
  EXPECT_EQ(RemoveEntry(t, 0), RemoveOutcome::RepetitionRemoved);
  EXPECT_EQ(t.times[0], 2);
  EXPECT_EQ(RemoveEntry(t, 1), RemoveOutcome::EntryRemoved);
  EXPECT_EQ(t.entryCount, 2);
  EXPECT_EQ(t.formulas[1], 2);
  EXPECT_EQ(t.times[1], 1);
  EXPECT_EQ(t.accel[1], 0);
  EXPECT_EQ(t.times[2], 0);
  EXPECT_EQ(t.tempos[1], 140);  // tempos keep their positions
  EXPECT_EQ(t.tempos[2], 100);
  EXPECT_EQ(RemoveEntry(t, 2), RemoveOutcome::Nothing);  // the end row
  EXPECT_EQ(RemoveEntry(t, -1), RemoveOutcome::Nothing);

  // A slot of 0 repetitions from a file goes at once rather than wrapping to 255.
  t.times[0] = 0;
  EXPECT_EQ(RemoveEntry(t, 0), RemoveOutcome::EntryRemoved);
  EXPECT_EQ(t.entryCount, 1);

  // A full list whose slot 120 holds an entry-like leftover ends with a clean end mark.
  std::vector<Entry> es(kMaxEntries, Entry{0, 1, 0, 0});
  Tema full = MakeTema(120, es);
  full.times[kMaxEntries] = 7;
  EXPECT_EQ(RemoveEntry(full, 5), RemoveOutcome::EntryRemoved);
  EXPECT_EQ(full.entryCount, kMaxEntries - 1);
  EXPECT_EQ(full.times[kMaxEntries - 1], 0);
}

TEST(EditorLogic, EntryValuesFitTheirFields) {
  const struct {
    EntryValues v;
    int e;
    bool fits;
  } cases[] = {
      {{120, 1, 1, 0}, 0, true},     {{0, 1, 1, 0}, 0, false},     {{0, 1, 1, 0}, 1, true},
      {{19, 1, 1, 0}, 1, false},     {{20, 1, 1, 0}, 1, true},     {{400, 1, 1, 0}, 1, true},
      {{401, 1, 1, 0}, 1, false},    {{0, 0, 1, 0}, 1, false},     {{0, 5, 1, 0}, 1, true},
      {{0, 6, 1, 0}, 1, false},      {{0, 1, 0, 0}, 1, false},     {{0, 1, 255, 0}, 1, true},
      {{0, 1, 256, 0}, 1, false},    {{0, 1, 1, 127}, 1, true},    {{0, 1, 1, 128}, 1, false},
      {{0, 1, 1, -128}, 1, true},    {{0, 1, 1, -129}, 1, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(EntryValuesFit(c.v, c.e, 5), c.fits)
        << c.v.tempo << " " << c.v.formula << " " << c.v.times << " " << c.v.accel << " e=" << c.e;

  Tema t{};
  StoreEntryValues(t, 3, {150, 4, 9, -7});
  EXPECT_EQ(t.tempos[3], 150);
  EXPECT_EQ(t.formulas[3], 3);
  EXPECT_EQ(t.times[3], 9);
  EXPECT_EQ(t.accel[3], -7);
}

TEST(EditorLogic, PartsIntroAndEndingFromText) {
  EXPECT_EQ(PartsFromText("200"), 127);
  EXPECT_EQ(PartsFromText("127"), 127);
  EXPECT_EQ(PartsFromText("5"), 5);
  EXPECT_EQ(PartsFromText(""), 0);
  EXPECT_EQ(PartsFromText("abc"), 0);
  EXPECT_EQ(PartsFromText("-1"), std::nullopt);
  EXPECT_EQ(BeatsFromText("15"), 12);
  EXPECT_EQ(BeatsFromText("12"), 12);
  EXPECT_EQ(BeatsFromText("3"), 3);
  EXPECT_EQ(BeatsFromText("-2"), std::nullopt);
}

TEST(EditorLogic, ThemeUsingFormulaLooksAtEntriesInUse) {
  auto tables = RhythmTables::Create();
  tables->Temas[0] = MakeTema(120, {{1, 1, 0, 0}});
  tables->Temas[1] = MakeTema(120, {{2, 1, 0, 0}, {4, 1, 0, 0}});
  tables->Temas[1].formulas[2] = 6;  // past the entry count: not a use
  tables->Temas[2] = MakeTema(120, {{6, 1, 0, 0}});
  EXPECT_EQ(ThemeUsingFormula(*tables, 3, 4), 1);
  EXPECT_EQ(ThemeUsingFormula(*tables, 3, 1), 0);
  EXPECT_EQ(ThemeUsingFormula(*tables, 3, 6), 2);
  EXPECT_EQ(ThemeUsingFormula(*tables, 2, 6), -1);
  EXPECT_EQ(ThemeUsingFormula(*tables, 3, 3), -1);
}

TEST(EditorLogic, CompasCounterText) {
  EXPECT_EQ(CompasCounterText(3, 13, 3, 2, true, false), "Compás   3/ 12 - 2ª / 3");
  EXPECT_EQ(CompasCounterText(3, 13, 3, 2, false, false), "Compás   3/ 12");
  EXPECT_EQ(CompasCounterText(3, 13, 3, 0, true, true), "Compass   3/ 12");
}

// What selecting a formula shows: a record with a bad beat count is mended to
// 12 beats from the first with a blank name of the rules' length, the
// pattern kept; sounds beyond the rules' capacity become silence.
TEST(EditorLogic, FormulaViewMendsTheRecordByTheRules) {
  for (int beatNibble : {0, 13, 15}) {
    Formula f{};
    f.SetName("Bulerias");
    f.header = static_cast<uint8_t>(0x30 | beatNibble);
    StoreStrokeText(f, 0, 0, "7");
    const Formula before = f;

    Formula full = f;
    const FormulaView v = ViewFormula(full, false, EditorRules{});
    EXPECT_EQ(v.beats, 12);
    EXPECT_EQ(v.startBeat, 0);
    EXPECT_EQ(full.header, 12);
    EXPECT_EQ(std::string(full.name, 16), std::string(16, ' '));
    EXPECT_EQ(std::memcmp(full.cells, before.cells, sizeof full.cells), 0);

    Formula basic = f;
    EditorRules older;
    older.formulaName = 5;
    ViewFormula(basic, false, older);
    EXPECT_EQ(std::string(basic.name, 16), std::string("     ") + std::string(11, '\0')) << beatNibble;
  }
  // A good record keeps its name and header.
  Formula f{};
  f.SetName("Tango");
  f.SetHeader(4, 2);
  ViewFormula(f, false, EditorRules{});
  EXPECT_EQ(f.Name(), "Tango");
  EXPECT_EQ(f.header, 0x24);

  // Sounds: only those above the capacity, and only on the rules' tracks.
  Formula s{};
  s.SetHeader(12, 0);
  for (int t = 0; t < kTracks; ++t) s.sounds[t] = static_cast<uint8_t>(10 + t);
  Formula unlimited = s;
  ViewFormula(unlimited, false, EditorRules{});
  EXPECT_EQ(std::memcmp(unlimited.sounds, s.sounds, sizeof s.sounds), 0);
  EditorRules older;
  older.tracks = 8;
  older.soundCapacity = 16;
  ViewFormula(s, false, older);
  for (int t = 0; t < kTracks; ++t) {
    const int expected = t < 8 && 10 + t > 16 ? 0 : 10 + t;
    EXPECT_EQ(s.sounds[t], expected) << t;
  }
}

TEST(EditorLogic, FormulaViewLabelsAndCells) {
  Formula f{};
  f.SetHeader(12, 11);  // first beat 12
  f.accents = 0x0AA4;   // beats 3, 6, 8, 10, 12
  StoreStrokeText(f, 1, 0, "70");
  StoreStrokeText(f, 11, 15, "123");
  const FormulaView byBeats = ViewFormula(f, false, EditorRules{});
  EXPECT_EQ(byBeats.labels, (std::vector<int>{12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  const FormulaView byAccents = ViewFormula(f, true, EditorRules{});
  EXPECT_EQ(byAccents.labels, (std::vector<int>{1, 1, 1, 1, 1, 2, 2, 3, 3, 4, 4, 5}));
  ASSERT_EQ(byBeats.cells.size(), 12u);
  ASSERT_EQ(byBeats.cells[1].size(), static_cast<size_t>(kTracks));
  EXPECT_EQ(byBeats.cells[1][0], "70");
  EXPECT_EQ(byBeats.cells[11][15], "123");
  EXPECT_EQ(byBeats.cells[0][0], "");

  // The rules' tracks and stroke texts make the cells.
  EditorRules older;
  older.tracks = 8;
  older.strokeText = [](const Formula&, int beat, int track) { return std::to_string(beat * 100 + track); };
  f.SetHeader(3, 0);
  const FormulaView v = ViewFormula(f, false, older);
  ASSERT_EQ(v.cells.size(), 3u);
  ASSERT_EQ(v.cells[2].size(), 8u);
  EXPECT_EQ(v.cells[2][7], "207");
  EXPECT_EQ(v.labels, (std::vector<int>{1, 2, 3}));
}

// Without entry tempos every row shows the tempo in force: the theme tempo,
// then what each entry's repetitions x acceleration have added; tempos
// stored in later slots are not looked at. Names are cut at the rules'
// length.
TEST(EditorLogic, SequenceWithoutEntryTempos) {
  EditorRules older;
  older.entryTempos = false;
  older.formulaName = 5;
  std::vector<Formula> fs(3);
  fs[0].SetName("Bulerias");
  fs[1].SetName("Tango");
  fs[2].SetName("Sol");
  ExpectSequences({
      {"acceleration to the end row", 120, {{0, 4, 3, 0}}, {"120", "132"}, {1, 5}},
      {"an unchanged tempo shows again", 120, {{0, 1, 0, 0}, {1, 2, 0, 0}}, {"120", "120", "120"}, {1, 2, 4}},
      {"a stored entry tempo is not taken", 90, {{0, 1, 0, 0}, {1, 3, 2, 150}}, {"90", "90", "96"}, {1, 2, 5}},
      {"deceleration", 100, {{0, 2, -10, 0}, {2, 1, 0, 0}}, {"100", "80", "80"}, {1, 3, 4}},
      {"no entries", 110, {}, {"110"}, {1}},
  }, fs.data(), 3, older);
  const Tema t = MakeTema(120, {{0, 1, 0, 0}, {1, 1, 0, 0}, {2, 1, 0, 0}});
  const SequenceFill cut = ComputeSequence(t, fs.data(), 3, older);
  EXPECT_EQ(cut.rows[0].name, "Buler");
  EXPECT_EQ(cut.rows[1].name, "Tango");
  EXPECT_EQ(cut.rows[2].name, "Sol");
  EXPECT_EQ(ComputeSequence(t, fs.data(), 3).rows[0].name, "Bulerias");
}

// Without entry tempos an entry edit takes no tempo (and needs none on the
// first entry); the repetitions stop at the rules' most.
TEST(EditorLogic, EntryValuesWithoutEntryTempos) {
  EditorRules older;
  older.entryTempos = false;
  older.maxTimes = 99;
  const struct {
    EntryValues v;
    int e;
    bool fits;
  } cases[] = {
      {{0, 1, 1, 0}, 0, true},   {{999, 1, 1, 0}, 0, true},  {{0, 1, 99, 0}, 1, true},
      {{0, 1, 100, 0}, 1, false}, {{0, 1, 0, 0}, 1, false},  {{0, 6, 1, 0}, 1, false},
      {{0, 5, 1, -128}, 1, true}, {{0, 5, 1, 128}, 1, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(EntryValuesFit(c.v, c.e, 5, older), c.fits)
        << c.v.tempo << " " << c.v.formula << " " << c.v.times << " " << c.v.accel << " e=" << c.e;

  Tema t{};
  t.tempos[3] = 77;
  StoreEntryValues(t, 3, {150, 4, 9, -7}, older);
  EXPECT_EQ(t.tempos[3], 77);
  EXPECT_EQ(t.formulas[3], 3);
  EXPECT_EQ(t.times[3], 9);
  EXPECT_EQ(t.accel[3], -7);
}
