// Whole-record library operations: clipboards on tracks and beats, deletion
// and sorting with theme entries remapped, search and the theme import.
#include <gtest/gtest.h>

#include <cstring>

#include "rhythm/dataset.h"
#include "rhythm/library_ops.h"
#include "temp_dir.h"

namespace {
// A formula whose bytes depend on the seed, so different seeds never compare equal.
Formula Distinct(int seed, int beats = 12, const char* name = nullptr) {
  Formula f{};
  f.SetHeader(beats, 0);
  for (int b = 0; b < kMaxBeats; ++b)
    for (int t = 0; t < kTracks; ++t) {
      f.cells[b][t] = (seed * 131 + b * 17 + t) & 0x00FFFFFF;
      f.SetStrokeCount(b, t, (seed + b + t) % 9);
    }
  for (int t = 0; t < kTracks; ++t) f.sounds[t] = static_cast<uint8_t>((seed + t) % 64);
  f.SetName(name ? name : "F" + std::to_string(seed));
  f.accents = static_cast<uint16_t>(seed);
  return f;
}
bool SameBytes(const Formula& a, const Formula& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool SameBytes(const Tema& a, const Tema& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
void SetEntries(Tema& t, const std::vector<int>& formulas) {
  t.entryCount = static_cast<uint16_t>(formulas.size());
  for (size_t e = 0; e < formulas.size(); ++e) {
    t.formulas[e] = static_cast<uint16_t>(formulas[e]);
    t.times[e] = 1;
  }
}
std::vector<int> Entries(const Tema& t) {
  std::vector<int> v;
  for (int e = 0; e < t.entryCount; ++e) v.push_back(t.formulas[e]);
  return v;
}
}  // namespace

// --- tracks and beats ----------------------------------------------------------

TEST(LibraryOps, TrackPasteFromFourBeatsIntoTwelve) {
  auto t = RhythmTables::Create();
  t->Formulas[0] = Distinct(1, 4);
  t->Formulas[1] = Distinct(2, 12);
  const Formula before = t->Formulas[1];
  PasteTrack(*t, 0, 2, 4, 1, 12, 5);
  const Formula& f = t->Formulas[1];
  for (int b = 0; b < 4; ++b) {
    EXPECT_EQ(f.cells[b][5], t->Formulas[0].cells[b][2]) << b;
    EXPECT_EQ(f.StrokeCount(b, 5), t->Formulas[0].StrokeCount(b, 2)) << b;
  }
  for (int b = 4; b < 12; ++b) {
    EXPECT_EQ(f.cells[b][5], 0) << b;
    EXPECT_EQ(f.StrokeCount(b, 5), 0) << b;
  }
  EXPECT_EQ(f.sounds[5], before.sounds[5]) << "the target keeps its sound";
  for (int b = 0; b < 12; ++b)
    for (int k : {4, 6}) {  // track 4 shares the count byte with track 5
      EXPECT_EQ(f.cells[b][k], before.cells[b][k]);
      EXPECT_EQ(f.StrokeCount(b, k), before.StrokeCount(b, k));
    }
}

TEST(LibraryOps, TrackPasteIsLimitedByBothBeatCounts) {
  struct Case {
    int fromBeats, toBeats, copied;
  };
  for (const Case c : {Case{12, 4, 4}, Case{3, 3, 3}, Case{12, 12, 12}, Case{0, 12, 0}}) {
    auto t = RhythmTables::Create();
    t->Formulas[3] = Distinct(3);
    const Formula src = t->Formulas[3];
    // Into another track of the same formula: the source is read before it is overwritten.
    PasteTrack(*t, 3, 0, c.fromBeats, 3, c.toBeats, 1);
    for (int b = 0; b < 12; ++b) {
      EXPECT_EQ(t->Formulas[3].cells[b][1], b < c.copied ? src.cells[b][0] : 0) << c.fromBeats << "/" << c.toBeats;
      EXPECT_EQ(t->Formulas[3].cells[b][0], src.cells[b][0]);
    }
  }
}

TEST(LibraryOps, InvalidPositionsTouchNoRecord) {
  auto t = RhythmTables::Create();
  t->Formulas[0] = Distinct(4);
  const Formula before = t->Formulas[0];
  PasteTrack(*t, -1, 0, 12, 0, 12, 0);
  PasteTrack(*t, 0, 16, 12, 0, 12, 0);
  PasteTrack(*t, 0, 0, 12, 0, 12, -1);
  PasteBeat(*t, 0, -1, 0, 0);
  PasteBeat(*t, 0, 0, 0, -2);
  PasteBeat(*t, 0, 0, 0, 12);
  ClearBeat(t->Formulas[0], -1);
  ClearBeat(t->Formulas[0], 12);
  ClearTrack(t->Formulas[0], 16);
  SwapTracks(t->Formulas[0], 0, 16);
  EXPECT_TRUE(SameBytes(t->Formulas[0], before));
}

TEST(LibraryOps, ClearTrackLeavesItsByteNeighbour) {
  Formula f = Distinct(5);
  const Formula before = f;
  ClearTrack(f, 3);
  for (int b = 0; b < 12; ++b) {
    EXPECT_EQ(f.cells[b][3], 0);
    EXPECT_EQ(f.StrokeCount(b, 3), 0);
    EXPECT_EQ(f.StrokeCount(b, 2), before.StrokeCount(b, 2));
  }
  EXPECT_EQ(f.sounds[3], before.sounds[3]);
}

TEST(LibraryOps, BeatPasteAndClearCoverAllSixteenTracks) {
  auto t = RhythmTables::Create();
  t->Formulas[0] = Distinct(6);
  t->Formulas[1] = Distinct(7);
  const Formula target = t->Formulas[1];
  PasteBeat(*t, 0, 9, 1, 2);
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(t->Formulas[1].cells[2][k], t->Formulas[0].cells[9][k]);
    EXPECT_EQ(t->Formulas[1].StrokeCount(2, k), t->Formulas[0].StrokeCount(9, k));
    EXPECT_EQ(t->Formulas[1].cells[3][k], target.cells[3][k]);
  }
  EXPECT_EQ(std::memcmp(t->Formulas[1].strokeCounts + 24, target.strokeCounts + 24, 96 - 24), 0);
  ClearBeat(t->Formulas[1], 11);
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(t->Formulas[1].cells[11][k], 0);
    EXPECT_EQ(t->Formulas[1].StrokeCount(11, k), 0);
    EXPECT_EQ(t->Formulas[1].StrokeCount(10, k), target.StrokeCount(10, k));
  }
}

TEST(LibraryOps, SwapTracksExchangesSoundsCellsAndCounts) {
  for (auto [a, b] : {std::pair{2, 3}, std::pair{1, 2}, std::pair{14, 15}}) {
    Formula f = Distinct(8);
    const Formula before = f;
    SwapTracks(f, a, b);
    EXPECT_EQ(f.sounds[a], before.sounds[b]);
    EXPECT_EQ(f.sounds[b], before.sounds[a]);
    for (int beat = 0; beat < 12; ++beat) {
      EXPECT_EQ(f.cells[beat][a], before.cells[beat][b]);
      EXPECT_EQ(f.cells[beat][b], before.cells[beat][a]);
      EXPECT_EQ(f.StrokeCount(beat, a), before.StrokeCount(beat, b));
      EXPECT_EQ(f.StrokeCount(beat, b), before.StrokeCount(beat, a));
      for (int k = 0; k < 16; ++k)
        if (k != a && k != b) {
          EXPECT_EQ(f.StrokeCount(beat, k), before.StrokeCount(beat, k));
        }
    }
    SwapTracks(f, a, b);
    EXPECT_TRUE(SameBytes(f, before));
  }
}

// --- deletion -------------------------------------------------------------------

TEST(LibraryOps, InUseLooksAtEveryThemeInUse) {
  auto t = RhythmTables::Create();
  SetEntries(t->Temas[0], {0, 1});
  SetEntries(t->Temas[2], {5});
  t->Temas[3].formulas[0] = 6;  // beyond its entry count: not used
  SetEntries(t->Temas[4], {7});  // beyond the themes in use
  EXPECT_TRUE(FormulaUsedByAnyTheme(*t, 1, 4));
  EXPECT_TRUE(FormulaUsedByAnyTheme(*t, 5, 4));
  EXPECT_FALSE(FormulaUsedByAnyTheme(*t, 6, 4));
  EXPECT_FALSE(FormulaUsedByAnyTheme(*t, 7, 4));
  EXPECT_TRUE(FormulaUsedByAnyTheme(*t, 7, 5));
  EXPECT_FALSE(FormulaUsedByAnyTheme(*t, 2, 128));
}

TEST(LibraryOps, DeletingAFormulaShiftsLaterOnesAndTheirEntries) {
  auto t = RhythmTables::Create();
  for (int i = 0; i < 9; ++i) t->Formulas[i] = Distinct(i);
  SetEntries(t->Temas[0], {2, 4, 7});
  SetEntries(t->Temas[1], {0, 8, 4});
  SetEntries(t->Temas[2], {4});  // beyond the themes in use: left alone
  DeleteFormula(*t, 3, 9, 2);
  EXPECT_EQ(Entries(t->Temas[0]), (std::vector<int>{2, 3, 6}));
  EXPECT_EQ(Entries(t->Temas[1]), (std::vector<int>{0, 7, 3}));
  EXPECT_EQ(Entries(t->Temas[2]), (std::vector<int>{4}));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameBytes(t->Formulas[i], Distinct(i)));
  for (int i = 3; i < 8; ++i) EXPECT_TRUE(SameBytes(t->Formulas[i], Distinct(i + 1))) << i;
  // Each entry still names the pattern it named before.
  EXPECT_TRUE(SameBytes(t->Formulas[t->Temas[0].formulas[1]], Distinct(4)));
  EXPECT_TRUE(SameBytes(t->Formulas[t->Temas[0].formulas[2]], Distinct(7)));
}

TEST(LibraryOps, DeletingAThemeShiftsTheLaterOnes) {
  auto t = RhythmTables::Create();
  for (int i = 0; i < 5; ++i) t->Temas[i].SetName("T" + std::to_string(i));
  DeleteTema(*t, 1, 5);
  EXPECT_EQ(t->Temas[0].Name(), "T0");
  EXPECT_EQ(t->Temas[1].Name(), "T2");
  EXPECT_EQ(t->Temas[3].Name(), "T4");
  DeleteTema(*t, 7, 5);  // no such theme
  EXPECT_EQ(t->Temas[1].Name(), "T2");
}

TEST(LibraryOps, ThemeNamesSharedByAnotherTheme) {
  auto t = RhythmTables::Create();
  t->Temas[0].SetName("Tangos");
  t->Temas[1].SetName("Tangos");  // a pasted copy keeps the source name
  t->Temas[2].SetName("Rumba");
  EXPECT_TRUE(TemaNameSharedByAnother(*t, 1, 3));
  EXPECT_FALSE(TemaNameSharedByAnother(*t, 2, 3));
  EXPECT_FALSE(TemaNameSharedByAnother(*t, 0, 1));
}

// --- sorting --------------------------------------------------------------------

TEST(LibraryOps, SortOrderIgnoresCaseAndKeepsEqualNamesInOrder) {
  struct Case {
    std::vector<std::string> names;
    std::vector<int> order;
  };
  const Case cases[] = {
      {{"b", "A", "c"}, {1, 0, 2}},
      {{"x", "X", "a", "x"}, {2, 0, 1, 3}},
      {{"Tangos", "tango", "Tang"}, {2, 1, 0}},
      {{"", "a"}, {0, 1}},
      // only the first 16 characters count: these two are equal names
      {{"abcdefghijklmnopZ", "abcdefghijklmnopA"}, {0, 1}},
  };
  for (const Case& c : cases) EXPECT_EQ(StableOrderByName(c.names, 16), c.order) << c.names[0];
  EXPECT_EQ(StableOrderByName({"abcdefghijklmnopZ", "abcdefghijklmnopA"}, 32), (std::vector<int>{1, 0}));
}

TEST(LibraryOps, SortingFormulasKeepsEveryEntryOnItsPattern) {
  auto t = RhythmTables::Create();
  const char* names[] = {"b", "A", "c"};
  for (int i = 0; i < 3; ++i) t->Formulas[i] = Distinct(i, 12, names[i]);
  SetEntries(t->Temas[0], {0, 1, 2, 0});
  SetEntries(t->Temas[1], {2, 2, 1});
  SetEntries(t->Temas[2], {0});  // beyond the themes in use
  std::vector<Formula> played;
  for (int n = 0; n < 2; ++n)
    for (int e = 0; e < t->Temas[n].entryCount; ++e) played.push_back(t->Formulas[t->Temas[n].formulas[e]]);

  const std::vector<int> order = StableOrderByName({"b", "A", "c"}, 16);
  ApplyFormulaOrder(*t, order, 2);
  EXPECT_EQ(t->Formulas[0].Name(), "A");
  EXPECT_EQ(t->Formulas[1].Name(), "b");
  EXPECT_EQ(t->Formulas[2].Name(), "c");
  size_t k = 0;
  for (int n = 0; n < 2; ++n)
    for (int e = 0; e < t->Temas[n].entryCount; ++e)
      EXPECT_TRUE(SameBytes(t->Formulas[t->Temas[n].formulas[e]], played[k++])) << n << "/" << e;
  EXPECT_EQ(Entries(t->Temas[0]), (std::vector<int>{1, 0, 2, 1}));
  EXPECT_EQ(Entries(t->Temas[2]), (std::vector<int>{0}));
  EXPECT_EQ(NewPositionOf(order, 0), 1);
  EXPECT_EQ(NewPositionOf(order, 9), -1);
}

TEST(LibraryOps, SortingThemesMovesWholeRecords) {
  auto t = RhythmTables::Create();
  const char* names[] = {"b", "A", "c", "a"};
  for (int i = 0; i < 4; ++i) {
    t->Temas[i].SetName(names[i]);
    SetEntries(t->Temas[i], {i, i + 1});
  }
  const std::vector<int> order = StableOrderByName({"b", "A", "c", "a"}, 32);
  ApplyTemaOrder(*t, order);
  EXPECT_EQ(t->Temas[0].Name(), "A");
  EXPECT_EQ(t->Temas[1].Name(), "a");
  EXPECT_EQ(t->Temas[2].Name(), "b");
  EXPECT_EQ(t->Temas[3].Name(), "c");
  EXPECT_EQ(Entries(t->Temas[0]), (std::vector<int>{1, 2})) << "entries keep their formula indexes";
}

// --- search -----------------------------------------------------------------------

TEST(LibraryOps, SearchFromTheSelectedNameThenFromTheTop) {
  const std::vector<QString> names = {"Tangos", QString::fromUtf8("Soleá"), "tientos", "SOLEARES", "sol"};
  struct Case {
    int selected;
    const char* prefix;
    int found;
  };
  const Case cases[] = {
      {0, "sol", 1}, {1, "sol", 1}, {2, "sol", 3}, {4, "sol", 4}, {0, "T", 0}, {1, "t", 2},
      {3, "tan", 0}, {2, "xyz", -1}, {3, "", 3}, {0, "soleares y mas", -1}, {-1, "sol", 1}, {9, "t", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindByPrefix(names, c.selected, QString::fromUtf8(c.prefix)), c.found) << c.selected << " " << c.prefix;
  EXPECT_EQ(FindByPrefix({}, 0, "a"), -1);
  EXPECT_EQ(FindByPrefix(names, 0, QString::fromUtf8("SOLEÁ")), 1);
}

// --- theme import -----------------------------------------------------------------

TEST(LibraryOps, ImportEqualityRule) {
  const Formula base = Distinct(11, 12, "Alegrias");
  struct Case {
    const char* what;
    void (*change)(Formula&);
    bool equal;
  };
  const Case cases[] = {
      {"identical", [](Formula&) {}, true},
      {"first name letter", [](Formula& f) { f.name[0] = 'X'; }, false},
      {"second name letter", [](Formula& f) { f.name[1] = 'X'; }, true},
      {"last name letter", [](Formula& f) { f.name[15] = 'X'; }, true},
      {"spare byte", [](Formula& f) { f.spare = 9; }, true},
      {"accent word", [](Formula& f) { f.accents ^= 0x8000; }, false},
      {"a cell", [](Formula& f) { f.cells[11][15] ^= 1; }, false},
      {"a stroke count", [](Formula& f) { f.strokeCounts[95] ^= 0x10; }, false},
      {"header", [](Formula& f) { f.header ^= 0x10; }, false},
      {"a sound", [](Formula& f) { f.sounds[15] ^= 1; }, false},
  };
  for (const Case& c : cases) {
    Formula other = base;
    c.change(other);
    EXPECT_EQ(FormulasEqualForImport(base, other), c.equal) << c.what;
  }
}

TEST(LibraryOps, ImportReusesEqualFormulasAndAppendsEachOtherOnce) {
  auto t = RhythmTables::Create();
  for (int i = 0; i < 10; ++i) t->Formulas[i] = Distinct(i);
  t->FormulaCount = 10;
  t->TemaCount = 3;
  t->ImportFormulas[2] = Distinct(50);
  t->ImportFormulas[5] = Distinct(9);
  std::memcpy(t->ImportFormulas[5].name + 1, "tro nombre", 10);  // only the first letter counts
  Tema& src = t->ImportTemas[4];
  src.SetName("Alegrias");
  SetEntries(src, {2, 5, 2});
  src.gain = 3.0f;
  src.tempos[0] = 150;

  const ImportOutcome out = ImportThemeFromOtherSet(*t, 4);
  ASSERT_EQ(out.status, ImportOutcome::kDone);
  EXPECT_EQ(out.tema, 3);
  EXPECT_EQ(t->TemaCount, 4);
  EXPECT_EQ(t->FormulaCount, 11);
  EXPECT_EQ(out.addedFormulas, std::vector<int>{10});
  EXPECT_EQ(Entries(t->Temas[3]), (std::vector<int>{10, 9, 10}));
  EXPECT_TRUE(SameBytes(t->Formulas[10], Distinct(50)));
  Tema expected = src;
  expected.formulas[0] = expected.formulas[2] = 10;
  expected.formulas[1] = 9;
  EXPECT_TRUE(SameBytes(t->Temas[3], expected));

  // Importing it again finds both formulas in the open set now.
  const ImportOutcome again = ImportThemeFromOtherSet(*t, 4);
  ASSERT_EQ(again.status, ImportOutcome::kDone);
  EXPECT_TRUE(again.addedFormulas.empty());
  EXPECT_EQ(Entries(t->Temas[4]), (std::vector<int>{10, 9, 10}));
}

TEST(LibraryOps, ImportRefusesInsteadOfOverrunningATable) {
  struct Case {
    const char* what;
    int formulaCount, temaCount, entries;
    ImportOutcome::Status status;
  };
  const Case cases[] = {
      {"theme table full", 10, 128, 2, ImportOutcome::kNoThemeRoom},
      {"two new formulas, one free slot", 511, 3, 2, ImportOutcome::kNoFormulaRoom},
      {"formula table full", 512, 3, 1, ImportOutcome::kNoFormulaRoom},
      {"more entries than a theme holds", 10, 3, 121, ImportOutcome::kTooManyEntries},
      {"one new formula into the last slot", 511, 127, 1, ImportOutcome::kDone},
      {"a theme of 120 entries", 10, 3, 120, ImportOutcome::kDone},
  };
  for (const Case& c : cases) {
    auto t = RhythmTables::Create();
    t->FormulaCount = c.formulaCount;
    t->TemaCount = c.temaCount;
    t->ImportFormulas[0] = Distinct(100);
    t->ImportFormulas[1] = Distinct(101);
    std::vector<int> entries;
    for (int e = 0; e < c.entries; ++e) entries.push_back(e % 2);
    SetEntries(t->ImportTemas[0], entries);
    auto before = RhythmTables::Create();
    *before = *t;
    const ImportOutcome out = ImportThemeFromOtherSet(*t, 0);
    EXPECT_EQ(out.status, c.status) << c.what;
    if (c.status != ImportOutcome::kDone) {
      EXPECT_EQ(t->FormulaCount, c.formulaCount) << c.what;
      EXPECT_EQ(t->TemaCount, c.temaCount) << c.what;
      EXPECT_EQ(std::memcmp(t->Formulas.data(), before->Formulas.data(), sizeof(Formula) * kMaxFormulas), 0);
      EXPECT_EQ(std::memcmp(t->Temas.data(), before->Temas.data(), sizeof(Tema) * kMaxTemas), 0);
    } else {
      EXPECT_LE(t->FormulaCount, kMaxFormulas);
      EXPECT_LE(t->TemaCount, kMaxTemas);
    }
  }
  auto t = RhythmTables::Create();
  EXPECT_EQ(ImportThemeFromOtherSet(*t, 128).status, ImportOutcome::kNoSuchTheme);
  EXPECT_EQ(ImportThemeFromOtherSet(*t, -1).status, ImportOutcome::kNoSuchTheme);
}

TEST(LibraryOps, AnEntryBeyondTheOtherTableNamesAnEmptyFormula) {
  auto t = RhythmTables::Create();
  t->Formulas[0] = Distinct(1);
  t->FormulaCount = 2;  // formula 1 is all zeros
  t->TemaCount = 1;
  SetEntries(t->ImportTemas[0], {60000});
  const ImportOutcome out = ImportThemeFromOtherSet(*t, 0);
  ASSERT_EQ(out.status, ImportOutcome::kDone);
  EXPECT_EQ(Entries(t->Temas[1]), std::vector<int>{1});
  EXPECT_TRUE(out.addedFormulas.empty());
}

TEST(LibraryOps, LoadingTheOtherSet) {
  ScratchFolder dir;
  auto t = RhythmTables::Create();
  t->ImportTemas[5].entryCount = 9;
  t->ImportFormulas[7].header = 3;
  Tema th{};
  th.SetName("Uno");
  std::vector<uint8_t> temas(3 * sizeof(Tema) + 5, 0);
  std::memcpy(temas.data() + sizeof(Tema), &th, sizeof th);
  ScratchFolder::Write("datos/Otro/temas.svs", temas);
  OtherSetLoad r = LoadOtherSet(*t, "datos/Otro");
  EXPECT_FALSE(r.formulasFound);
  EXPECT_TRUE(r.temasFound);
  EXPECT_EQ(r.temaCount, 3);
  EXPECT_EQ(t->ImportTemas[1].Name(), "Uno");
  EXPECT_EQ(t->ImportTemas[5].entryCount, 0);
  EXPECT_EQ(t->ImportFormulas[7].header, 0);

  ScratchFolder::Write("datos/Otro/formulas.svs", std::vector<uint8_t>(600 * sizeof(Formula), 1));
  ScratchFolder::Write("datos/Otro/temas.svs", std::vector<uint8_t>(200 * sizeof(Tema), 1));
  r = LoadOtherSet(*t, "datos/Otro");
  EXPECT_TRUE(r.formulasFound);
  EXPECT_EQ(r.temaCount, 128);
  EXPECT_EQ(t->ImportFormulas[511].header, 1);

  std::filesystem::remove("datos/Otro/temas.svs");
  r = LoadOtherSet(*t, "datos/Otro");
  EXPECT_FALSE(r.temasFound);
  EXPECT_EQ(r.temaCount, 1);
}

TEST(LibraryOps, GuitarTrackPathsStayInsideTheSetFolder) {
  std::string p;
  ASSERT_TRUE(GuitarTrackPathOf("Original", "Alegrias", &p));
  EXPECT_EQ(p, "datos/Original/Alegrias.gtr");
  for (const char* bad : {"Rumba/Tango", "..", ".", "", "..\\x", "/etc/passwd"}) {
    p = "unchanged";
    EXPECT_FALSE(GuitarTrackPathOf("Original", bad, &p)) << bad;
    EXPECT_EQ(p, "unchanged");
  }
}
