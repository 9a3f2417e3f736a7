// The guitar track: the bar table, the .gtr and .pgt files, the operations on
// beats and bars and their clipboards.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "guitar/bars.h"
#include "guitar/clipboard.h"
#include "guitar/gtr_file.h"
#include "guitar/track.h"
#include "platform/files/atomic_file.h"
#include "temp_dir.h"

namespace {

// A beat told apart by its marker: fret `m` of strength 7 on the 6th string
// of its first division (0 = an empty beat), the rest of its divisions
// filled with notes of their own so that a cut record shows.
TiempoG Marked(int m, int divisions = 1) {
  TiempoG t = EmptyTiempoG();
  t.divisions = static_cast<uint8_t>(divisions);
  if (m == 0) return t;
  for (int d = 0; d < divisions; ++d) {
    t.division[d].fret[0] = static_cast<uint8_t>(m);
    t.division[d].strength[0] = 7;
    t.division[d].fret[5] = static_cast<uint8_t>(d + 1);
    t.division[d].strength[5] = 3;
    t.division[d].mode[5] = kModeLigado;
    t.division[d].delay[5] = static_cast<uint8_t>(d * 4);
  }
  return t;
}
int MarkerOf(const TiempoG& t) { return t.division[0].strength[0] ? t.division[0].fret[0] : 0; }
bool Same(const TiempoG& a, const TiempoG& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool IsEmptyBeat(const TiempoG& t) { return Same(t, EmptyTiempoG()); }

std::vector<int> Markers(const GuitarState& g) {
  std::vector<int> v;
  for (const TiempoG& t : g.GuitarTrack) v.push_back(MarkerOf(t));
  return v;
}

// Formula A of 3 beats twice, then formula B of 4 beats once: bars of 3, 3
// and 4 beats, 10 slots.
constexpr uint32_t B = kBeatBytes;
std::unique_ptr<RhythmTables> ThreeBarTheme(const std::string& name = "Solea") {
  auto t = RhythmTables::Create();
  t->Formulas[0].SetHeader(3, 0);
  t->Formulas[1].SetHeader(4, 0);
  t->FormulaCount = 2;
  Tema& th = t->Temas[0];
  InitNewTema(th, 120);
  th.SetName(name);
  th.entryCount = 2;
  th.formulas[0] = 0;
  th.times[0] = 2;
  th.formulas[1] = 1;
  th.times[1] = 1;
  t->TemaCount = 1;
  return t;
}

// The three-bar theme's state with the slots numbered 1..10.
GuitarState NumberedTrack() {
  GuitarState g;
  g.GuitarBars = {0, 3 * B, 6 * B, 10 * B};
  g.GuitarBarCount = 3;
  for (int i = 1; i <= 10; ++i) g.GuitarTrack.push_back(Marked(i));
  ReadCursorBeat(g);
  return g;
}

std::vector<uint8_t> Records(const std::vector<TiempoG>& beats) { return BeatFileBytes(beats.data(), beats.size()); }

}  // namespace

// --- records -------------------------------------------------------------------

TEST(GuitarRecords, AnEmptyBeatHasOneDivisionAndNoNotes) {
  const TiempoG e = EmptyTiempoG();
  EXPECT_EQ(e.divisions, 1);
  const auto* p = reinterpret_cast<const uint8_t*>(&e);
  for (size_t i = 1; i < sizeof e; ++i) ASSERT_EQ(p[i], 0) << i;

  TiempoG t = Marked(5, 7);
  t.spare[1] = 0xAB;
  t.division[3].spare[0] = 0xCD;
  ClearTiempoG(t);
  EXPECT_EQ(t.divisions, 1);
  EXPECT_EQ(t.division[3].fret[0], 0);
  EXPECT_EQ(t.division[3].mode[5], kModeNormal);
  EXPECT_EQ(t.spare[1], 0xAB) << "clearing leaves the spare bytes alone";
  EXPECT_EQ(t.division[3].spare[0], 0xCD);
}

// --- bar table -----------------------------------------------------------------

TEST(GuitarBars, TableOfThemes) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> entries;  // (formula, times)
    std::vector<uint32_t> table;
  };
  // Formula 0 has 3 beats, formula 1 has 4, formula 2 none.
  const Case cases[] = {
      {"A x2, B x1: bars of 3, 3, 4 beats", {{0, 2}, {1, 1}}, {0, 4332, 8664, 14440}},
      {"no entries: no bar", {}, {0}},
      {"an entry of no repetitions adds no bar", {{1, 1}, {0, 0}, {0, 1}}, {0, 4 * B, 7 * B}},
      {"a formula of no beats gives an empty bar", {{2, 1}, {0, 1}}, {0, 0, 3 * B}},
      {"a formula number past the table gives an empty bar", {{600, 1}, {1, 1}}, {0, 0, 4 * B}},
  };
  auto t = ThreeBarTheme();
  t->Formulas[2].SetHeader(0, 0);
  for (const Case& c : cases) {
    Tema th{};
    th.entryCount = static_cast<uint16_t>(c.entries.size());
    for (size_t e = 0; e < c.entries.size(); ++e) {
      th.formulas[e] = static_cast<uint16_t>(c.entries[e].first);
      th.times[e] = static_cast<uint8_t>(c.entries[e].second);
    }
    EXPECT_EQ(BuildBarTable(th, t->Formulas.data()), c.table) << c.what;
  }
}

TEST(GuitarBars, TheTableGrowsWithTheThemeAndStopsAtTheShownEntries) {
  auto t = ThreeBarTheme();
  Tema th{};
  th.entryCount = 200;  // only the first 120 are the theme's
  for (int e = 0; e < 200; ++e) {
    th.formulas[e] = 1;
    th.times[e] = 255;
  }
  const std::vector<uint32_t> bars = BuildBarTable(th, t->Formulas.data());
  ASSERT_EQ(bars.size(), 120u * 255 + 1);
  EXPECT_EQ(bars[1024], 1024 * 4 * B) << "bar 1025 and after are in the table";
  EXPECT_EQ(bars.back(), 120u * 255 * 4 * B);
}

TEST(GuitarBars, CursorOffsetsStayInsideTheTable) {
  GuitarState g = NumberedTrack();
  struct Case {
    int bar, beat;
    std::optional<uint32_t> offset;
  };
  const Case cases[] = {
      {1, 1, 0}, {1, 3, 2 * B}, {2, 1, 3 * B}, {3, 4, 9 * B},  // inside
      {1, 4, std::nullopt},                                    // past the bar's beats
      {3, 5, std::nullopt}, {0, 1, std::nullopt}, {4, 1, std::nullopt}, {1, 0, std::nullopt}, {-1, -1, std::nullopt},
  };
  for (const Case& c : cases) {
    g.GuitarBar = c.bar;
    g.GuitarBeat = c.beat;
    EXPECT_EQ(CursorOffset(g), c.offset) << c.bar << "/" << c.beat;
  }
  EXPECT_EQ(BeatsInBar(g, 3), 4);
  EXPECT_EQ(BeatsInBar(g, 4), 0);

  // A beat the track does not hold reads as an empty beat.
  EXPECT_TRUE(IsEmptyBeat(BeatAt(g, 10 * B)));
  EXPECT_TRUE(IsEmptyBeat(BeatAt(g, 0xFFFFFFFFu)));
  EXPECT_EQ(SlotAt(g, B + 1), nullptr) << "an offset inside a slot is no beat";
  EXPECT_EQ(MarkerOf(BeatAt(g, 9 * B)), 10);
}

// --- reading and writing beat records ---------------------------------------------

TEST(GtrFile, RecordsHoldTheDivisionsInUse) {
  const std::vector<TiempoG> beats = {Marked(1, 1), Marked(2, 3), Marked(3, 2)};
  const std::vector<uint8_t> bytes = Records(beats);
  ASSERT_EQ(bytes.size(), 64u + 184u + 124u);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes[64], 3);
  EXPECT_EQ(bytes[248], 2);

  const BeatRecords r = ParseBeatRecords(bytes.data(), bytes.size(), true);
  ASSERT_EQ(r.beats.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(Same(r.beats[i], beats[i])) << i;
  EXPECT_TRUE(Same(r.padBeat, beats[2])) << "a track read whole goes on with its last beat";
  EXPECT_FALSE(r.stoppedOnBadByte);

  const std::vector<TiempoG> empties(10, EmptyTiempoG());
  EXPECT_EQ(Records(empties).size(), 640u) << "10 empty beats of 64 bytes";
}

TEST(GtrFile, DivisionCountsNoReaderTakesBackAreWrittenValid) {
  TiempoG none = Marked(4, 1);
  none.divisions = 0;
  TiempoG many = Marked(5, 24);
  many.divisions = 200;
  const std::vector<uint8_t> bytes = Records({none, many});
  ASSERT_EQ(bytes.size(), BeatRecordBytes(1) + BeatRecordBytes(24));
  const BeatRecords r = ParseBeatRecords(bytes.data(), bytes.size(), true);
  ASSERT_EQ(r.beats.size(), 2u);
  EXPECT_EQ(r.beats[0].divisions, 1);
  EXPECT_EQ(MarkerOf(r.beats[0]), 4);
  EXPECT_EQ(r.beats[1].divisions, 24);
  EXPECT_EQ(r.beats[1].division[23].fret[0], 5);
}

// The older layout: 724 bytes a beat, the unused division slots zero.
std::vector<uint8_t> OlderLayout(const std::vector<TiempoG>& beats) {
  std::vector<uint8_t> bytes;
  for (const TiempoG& t : beats) {
    const auto* p = reinterpret_cast<const uint8_t*>(&t);
    const size_t used = BeatRecordBytes(t.divisions);
    bytes.insert(bytes.end(), p, p + used);
    bytes.resize(bytes.size() + (kOldLayoutBeatBytes - used), 0);
  }
  return bytes;
}

TEST(GtrFile, ReadsTheOlderLayout) {
  const std::vector<TiempoG> beats = {Marked(1, 3), Marked(2, 12), Marked(3, 5)};
  const std::vector<uint8_t> bytes = OlderLayout(beats);
  ASSERT_EQ(bytes.size(), 3u * 724);
  const BeatRecords r = ParseBeatRecords(bytes.data(), bytes.size(), true);
  ASSERT_EQ(r.beats.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(Same(r.beats[i], beats[i])) << i;
  EXPECT_TRUE(IsEmptyBeat(r.padBeat)) << "the reading ended on the skipped tail of the last record";
  EXPECT_FALSE(r.stoppedOnBadByte);

  // A last record of 12 divisions has no tail: the track goes on with it.
  const std::vector<uint8_t> full = OlderLayout({Marked(1, 3), Marked(2, 12)});
  const BeatRecords f = ParseBeatRecords(full.data(), full.size(), true);
  ASSERT_EQ(f.beats.size(), 2u);
  EXPECT_TRUE(Same(f.padBeat, beats[1]));
}

TEST(GtrFile, BadRecordsNeitherLoopNorReadPastTheData) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool olderLayout;
    std::vector<int> markers;
    bool stopped;
  };
  std::vector<uint8_t> cut = Records({Marked(1, 2), Marked(2, 5)});
  cut.resize(cut.size() - 100);  // the second record loses its last 100 bytes
  std::vector<uint8_t> after12 = Records({Marked(1, 12)});
  after12.push_back(0);
  after12.push_back(0);
  const std::vector<uint8_t> tail = Records({Marked(7, 24)});
  after12.insert(after12.end(), tail.begin(), tail.end());
  std::vector<uint8_t> shortTail = Records({Marked(3, 2)});
  shortTail.resize(shortTail.size() + 30, 0);  // a tail cut short by the end of the file
  std::vector<uint8_t> templ = Records({Marked(4, 2)});
  templ.push_back(0);
  templ.insert(templ.end(), tail.begin(), tail.end());
  const Case cases[] = {
      {"nothing", {}, true, {}, false},
      {"a bad first byte stops at once", {0, 1, 2, 3}, true, {}, true},
      {"a first byte above 24", {25, 1, 0, 0, 0}, true, {}, true},
      {"a record cut by the end keeps its bytes", cut, true, {1, 2}, false},
      {"only the divisions byte", {3}, true, {0}, false},
      {"a bad byte after 12 divisions stops", after12, true, {1}, true},
      {"a skip past the end ends the reading", shortTail, true, {3}, false},
      {"templates stop at a bad byte", templ, false, {4}, true},
  };
  for (const Case& c : cases) {
    const BeatRecords r = ParseBeatRecords(c.bytes.data(), c.bytes.size(), c.olderLayout);
    std::vector<int> markers;
    for (const TiempoG& t : r.beats) markers.push_back(MarkerOf(t));
    EXPECT_EQ(markers, c.markers) << c.what;
    EXPECT_EQ(r.stoppedOnBadByte, c.stopped) << c.what;
  }
  // The cut record: its first divisions are there, the lost ones empty.
  const BeatRecords r = ParseBeatRecords(cut.data(), cut.size(), true);
  ASSERT_EQ(r.beats.size(), 2u);
  EXPECT_TRUE(r.truncatedRecord);
  EXPECT_EQ(r.beats[1].divisions, 5);
  EXPECT_EQ(r.beats[1].division[2].fret[5], 3);
  EXPECT_EQ(r.beats[1].division[4].strength[0], 0);

  const std::vector<uint8_t> many = Records(std::vector<TiempoG>(50, Marked(9)));
  EXPECT_EQ(ParseBeatRecords(many.data(), many.size(), true, 20).beats.size(), 20u) << "at most maxBeats";
}

TEST(GtrFile, TemplateNamesEndInPgt) {
  EXPECT_EQ(WithTemplateExtension("Plantillas/riff"), "Plantillas/riff.pgt");
  EXPECT_EQ(WithTemplateExtension("Plantillas/riff.PGT"), "Plantillas/riff.PGT");
  EXPECT_EQ(WithTemplateExtension("a.pgt.txt"), "a.pgt.txt.pgt");
}

// --- opening and saving ----------------------------------------------------------

TEST(GuitarOpen, AThemeWithoutFileGetsOneEmptyBeatPerBeat) {
  ScratchFolder dir;
  auto t = ThreeBarTheme();
  GuitarState g;
  g.Modified = true;
  g.GuitarBar = 3;
  EXPECT_FALSE(OpenGuitarTrack(g, *t, 0, "Original"));
  EXPECT_EQ(g.GuitarTrackPath, "datos/Original/Solea.gtr");
  EXPECT_EQ(g.GuitarBars, (std::vector<uint32_t>{0, 4332, 8664, 14440}));
  ASSERT_EQ(g.GuitarTrack.size(), 10u);
  for (const TiempoG& b : g.GuitarTrack) EXPECT_TRUE(IsEmptyBeat(b));
  EXPECT_EQ(g.GuitarBar, 1);
  EXPECT_EQ(g.GuitarBeat, 1);
  EXPECT_EQ(g.GuitarBarCount, 3);
  EXPECT_EQ(g.GuitarBeatsInBar, 3);
  EXPECT_FALSE(g.Modified);

  std::string error;
  ASSERT_TRUE(SaveGuitarTrack(g, &error)) << error;
  EXPECT_EQ(ScratchFolder::Read("datos/Original/Solea.gtr").size(), 640u);
}

TEST(GuitarOpen, AShortTrackGoesOnWithItsLastBeat) {
  ScratchFolder dir;
  auto t = ThreeBarTheme();
  // A file of 6 beats, the last one a chord, for a theme of 10.
  TiempoG chord = Marked(6, 4);
  for (int s = 0; s < 6; ++s) {
    chord.division[0].fret[s] = static_cast<uint8_t>(s % 3);
    chord.division[0].strength[s] = 5;
  }
  std::vector<TiempoG> beats = {Marked(1), Marked(2), Marked(3), Marked(4), Marked(5), chord};
  ScratchFolder::Write("datos/Original/Solea.gtr", Records(beats));
  GuitarState g;
  EXPECT_TRUE(OpenGuitarTrack(g, *t, 0, "Original"));
  ASSERT_EQ(g.GuitarTrack.size(), 10u);
  for (size_t s = 5; s < 10; ++s) EXPECT_TRUE(Same(g.GuitarTrack[s], chord)) << s;
  EXPECT_TRUE(Same(g.CurrentTiempoG, Marked(1)));

  // An older file ending on the tail of its last record goes on with empty beats.
  ScratchFolder::Write("datos/Original/Solea.gtr", OlderLayout({Marked(1, 3), Marked(2, 4)}));
  OpenGuitarTrack(g, *t, 0, "Original");
  EXPECT_EQ(Markers(g), (std::vector<int>{1, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(GuitarOpen, ALongerTrackKeepsItsBeatsPastTheTheme) {
  ScratchFolder dir;
  auto t = ThreeBarTheme();
  std::vector<TiempoG> beats;
  for (int i = 1; i <= 12; ++i) beats.push_back(Marked(i, 1 + i % 3));
  const std::vector<uint8_t> file = Records(beats);
  ScratchFolder::Write("datos/Original/Solea.gtr", file);
  GuitarState g;
  OpenGuitarTrack(g, *t, 0, "Original");
  EXPECT_EQ(g.GuitarTrack.size(), 12u);
  g.Modified = true;
  std::string error;
  ASSERT_TRUE(SaveGuitarTrack(g, &error)) << error;
  EXPECT_FALSE(g.Modified);
  EXPECT_EQ(ScratchFolder::Read("datos/Original/Solea.gtr"), file);
}

TEST(GuitarOpen, ASlashInTheNameBecomesABlank) {
  ScratchFolder dir;
  auto t = ThreeBarTheme("Rumba/Tango");
  GuitarState g;
  OpenGuitarTrack(g, *t, 0, "Original");
  EXPECT_EQ(t->Temas[0].Name(), "Rumba Tango");
  EXPECT_EQ(g.GuitarTrackPath, "datos/Original/Rumba Tango.gtr");

  // A name that can be no file name: the track opens empty, saving refuses.
  t->Temas[0].SetName("..");
  EXPECT_FALSE(OpenGuitarTrack(g, *t, 0, "Original"));
  EXPECT_EQ(g.GuitarTrackPath, "");
  EXPECT_EQ(g.GuitarTrack.size(), 10u);
  std::string error;
  EXPECT_FALSE(SaveGuitarTrack(g, &error));
  EXPECT_FALSE(error.empty());
}

TEST(GuitarOpen, AThemeWithoutBarsOffersNoBeat) {
  ScratchFolder dir;
  auto t = ThreeBarTheme();
  t->Temas[0].entryCount = 0;
  ScratchFolder::Write("datos/Original/Solea.gtr", Records({Marked(1), Marked(2)}));
  GuitarState g;
  EXPECT_TRUE(OpenGuitarTrack(g, *t, 0, "Original"));
  EXPECT_EQ(g.GuitarBarCount, 0);
  EXPECT_EQ(g.GuitarTrack.size(), 2u) << "the file's beats are kept";
  EXPECT_TRUE(IsEmptyBeat(g.CurrentTiempoG));
  for (bool (*op)(GuitarState&) : {InsertGuitarBeat, EmptyGuitarBeat, DeleteGuitarBeat, InsertGuitarBar,
                                   EmptyGuitarBar, DeleteGuitarBar, CopyGuitarBeat, CopyGuitarBar})
    EXPECT_FALSE(op(g));
  EXPECT_EQ(Markers(g), (std::vector<int>{1, 2}));
  EXPECT_FALSE(g.Modified);
}

TEST(GuitarOpen, BarsPast1024AreEditedAndSaved) {
  ScratchFolder dir;
  auto t = ThreeBarTheme();
  Tema& th = t->Temas[0];
  th.entryCount = 5;
  for (int e = 0; e < 5; ++e) {
    th.formulas[e] = 0;
    th.times[e] = 250;  // 1250 bars of 3 beats
  }
  GuitarState g;
  OpenGuitarTrack(g, *t, 0, "Original");
  ASSERT_EQ(g.GuitarBarCount, 1250);
  g.GuitarBar = 1200;
  g.GuitarBeat = 2;
  g.CurrentTiempoG = Marked(42, 6);
  ASSERT_TRUE(StoreCurrentBeat(g));
  std::string error;
  ASSERT_TRUE(SaveGuitarTrack(g, &error)) << error;
  GuitarState again;
  OpenGuitarTrack(again, *t, 0, "Original");
  ASSERT_EQ(again.GuitarTrack.size(), 3750u);
  EXPECT_TRUE(Same(again.GuitarTrack[1199 * 3 + 1], Marked(42, 6)));
}

TEST(GuitarOpen, AFailedSaveKeepsTheMark) {
  ScratchFolder dir;
  auto t = ThreeBarTheme();
  GuitarState g;
  OpenGuitarTrack(g, *t, 0, "Original");
  ASSERT_TRUE(EmptyGuitarBeat(g));
  SetWriteFailureForTests(1);
  std::string error;
  EXPECT_FALSE(SaveGuitarTrack(g, &error));
  SetWriteFailureForTests(0);
  EXPECT_TRUE(g.Modified);
  EXPECT_FALSE(FileExists("datos/Original/Solea.gtr"));

  // Closing on the theme offers the save again; the bar table goes, the beats stay.
  EXPECT_TRUE(PrepareGuitarClose(g, t->Temas[0], "Original"));
  ReleaseGuitarBars(g);
  EXPECT_EQ(BarsInTable(g), 0);
  EXPECT_EQ(g.GuitarTrack.size(), 10u);
}

// --- beats and bars ------------------------------------------------------------

TEST(GuitarEdit, BeatAndBarOperations) {
  struct Case {
    const char* what;
    bool (*op)(GuitarState&);
    int bar, beat;
    std::vector<int> markers;  // the track after it, slot by slot
  };
  // Bars: 1 = slots 1..3, 2 = slots 4..6, 3 = slots 7..10.
  const Case cases[] = {
      {"insert beat 2 of bar 1: the rest one slot later, the last beyond the theme", InsertGuitarBeat, 1, 2,
       {1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {"empty beat 2 of bar 1", EmptyGuitarBeat, 1, 2, {1, 0, 3, 4, 5, 6, 7, 8, 9, 10}},
      {"delete beat 2: 3..10 one slot earlier, an empty beat at the end", DeleteGuitarBeat, 1, 2,
       {1, 3, 4, 5, 6, 7, 8, 9, 10, 0}},
      {"delete the last beat", DeleteGuitarBeat, 3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}},
      {"insert bar 2: three empty beats at its start", InsertGuitarBar, 2, 3,
       {1, 2, 3, 0, 0, 0, 4, 5, 6, 7, 8, 9, 10}},
      {"empty bar 2", EmptyGuitarBar, 2, 1, {1, 2, 3, 0, 0, 0, 7, 8, 9, 10}},
      {"delete bar 2: the length stays", DeleteGuitarBar, 2, 2, {1, 2, 3, 7, 8, 9, 10, 0, 0, 0}},
      {"delete bar 3 of four beats", DeleteGuitarBar, 3, 1, {1, 2, 3, 4, 5, 6, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    GuitarState g = NumberedTrack();
    g.GuitarBar = c.bar;
    g.GuitarBeat = c.beat;
    ASSERT_TRUE(c.op(g)) << c.what;
    EXPECT_EQ(Markers(g), c.markers) << c.what;
    EXPECT_EQ(g.GuitarBars, (std::vector<uint32_t>{0, 3 * B, 6 * B, 10 * B})) << "the bars stay: " << c.what;
    EXPECT_TRUE(Same(g.CurrentTiempoG, g.GuitarTrack[*CursorOffset(g) / B])) << c.what;
    EXPECT_TRUE(g.Modified) << c.what;
  }
}

TEST(GuitarEdit, AnInsertedBeatPastTheThemeIsSaved) {
  ScratchFolder dir;
  auto t = ThreeBarTheme();
  GuitarState g = NumberedTrack();
  g.GuitarTrackPath = "datos/Original/Solea.gtr";
  MakeDirs("datos/Original");
  ASSERT_TRUE(InsertGuitarBeat(g));
  std::string error;
  ASSERT_TRUE(SaveGuitarTrack(g, &error)) << error;
  GuitarState again;
  OpenGuitarTrack(again, *t, 0, "Original");
  EXPECT_EQ(Markers(again), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(GuitarEdit, OperationsOutsideTheBarChangeNothing) {
  for (auto [bar, beat] : {std::pair{0, 1}, {4, 1}, {1, 4}, {1, 0}}) {
    GuitarState g = NumberedTrack();
    g.GuitarBar = bar;
    g.GuitarBeat = beat;
    for (bool (*op)(GuitarState&) : {InsertGuitarBeat, EmptyGuitarBeat, DeleteGuitarBeat, PasteGuitarBeat})
      EXPECT_FALSE(op(g)) << bar << "/" << beat;
    EXPECT_EQ(Markers(g), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_FALSE(g.Modified);
  }
}

TEST(GuitarEdit, ATrackShorterThanItsTableNeverReadsPastItsEnd) {
  // A track cut short (as a caller may leave it): bar 3 lies past its end.
  GuitarState g = NumberedTrack();
  g.GuitarTrack.resize(7);
  g.GuitarBar = 3;
  g.GuitarBeat = 4;
  ReadCursorBeat(g);
  EXPECT_TRUE(IsEmptyBeat(g.CurrentTiempoG));
  ASSERT_TRUE(DeleteGuitarBar(g));  // removes the one slot the bar reaches, keeps the length
  EXPECT_EQ(Markers(g), (std::vector<int>{1, 2, 3, 4, 5, 6, 0}));
  ASSERT_TRUE(EmptyGuitarBar(g));
  EXPECT_EQ(g.GuitarTrack.size(), 7u);
  g.CurrentTiempoG = Marked(77);
  ASSERT_TRUE(StoreCurrentBeat(g));  // writing grows the track up to the cursor
  EXPECT_EQ(Markers(g), (std::vector<int>{1, 2, 3, 4, 5, 6, 0, 0, 0, 77}));
}

// --- clipboards ------------------------------------------------------------------

TEST(GuitarClipboard, PastingABeatTakesItAsTheTrackHoldsItNow) {
  GuitarState g = NumberedTrack();
  EXPECT_FALSE(PasteGuitarBeat(g)) << "nothing copied yet";
  EXPECT_FALSE(g.Modified);
  EXPECT_EQ(g.BeatClipboard.beat, 0);

  g.GuitarBar = 3;
  g.GuitarBeat = 2;
  ASSERT_TRUE(CopyGuitarBeat(g));
  EXPECT_EQ(g.BeatClipboard.beat, 2);
  EXPECT_EQ(g.BeatClipboard.bar, 3);
  EXPECT_FALSE(g.Modified) << "copying changes nothing";
  g.CurrentTiempoG = Marked(55, 8);  // the beat is edited after the copy
  ASSERT_TRUE(StoreCurrentBeat(g));
  g.GuitarBar = 1;
  g.GuitarBeat = 1;
  ASSERT_TRUE(PasteGuitarBeat(g));
  EXPECT_TRUE(Same(g.GuitarTrack[0], Marked(55, 8)));
  EXPECT_TRUE(Same(g.CurrentTiempoG, Marked(55, 8)));
  EXPECT_TRUE(g.Modified);
}

TEST(GuitarClipboard, BarsPastedTakeTheCurrentBarsBeatCount) {
  struct Case {
    const char* what;
    int from, to;
    std::vector<int> markers;
  };
  const Case cases[] = {
      {"bar 1 (3 beats) into bar 3 (4 beats): the first beat of bar 2 comes along", 1, 3,
       {1, 2, 3, 4, 5, 6, 1, 2, 3, 4}},
      {"bar 3 into bar 1: only its first three beats", 3, 1, {7, 8, 9, 4, 5, 6, 7, 8, 9, 10}},
      {"bar 1 into bar 2, overlapping nothing", 1, 2, {1, 2, 3, 1, 2, 3, 7, 8, 9, 10}},
      {"bar 2 into itself", 2, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
  };
  for (const Case& c : cases) {
    GuitarState g = NumberedTrack();
    EXPECT_FALSE(PasteGuitarBar(g)) << "nothing copied yet";
    g.GuitarBar = c.from;
    ASSERT_TRUE(CopyGuitarBar(g));
    EXPECT_EQ(g.BarClipboard.bar, c.from);
    g.GuitarBar = c.to;
    g.GuitarBeat = 1;
    ASSERT_TRUE(PasteGuitarBar(g)) << c.what;
    EXPECT_EQ(Markers(g), c.markers) << c.what;
    EXPECT_TRUE(Same(g.CurrentTiempoG, g.GuitarTrack[*CursorOffset(g) / B])) << c.what;
  }
}

TEST(GuitarClipboard, ClipboardsPastAShorterTrackReadEmptyBeats) {
  ScratchFolder dir;
  GuitarState g = NumberedTrack();
  g.GuitarBar = 3;
  g.GuitarBeat = 4;
  ASSERT_TRUE(CopyGuitarBeat(g));  // slot 10
  ASSERT_TRUE(CopyGuitarBar(g));   // slots 7..10

  // The clipboards survive opening a theme of one bar of 3 beats.
  auto t = ThreeBarTheme();
  t->Temas[0].entryCount = 1;
  t->Temas[0].times[0] = 1;
  ScratchFolder::Write("datos/Original/Solea.gtr", Records({Marked(1), Marked(2), Marked(3)}));
  OpenGuitarTrack(g, *t, 0, "Original");
  ASSERT_EQ(g.GuitarTrack.size(), 3u);
  g.GuitarBeat = 2;
  ASSERT_TRUE(PasteGuitarBeat(g));
  EXPECT_EQ(Markers(g), (std::vector<int>{1, 0, 3}));
  ASSERT_TRUE(PasteGuitarBar(g));
  EXPECT_EQ(Markers(g), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(g.GuitarTrack.size(), 3u);

  // A bar copied near the end and pasted into the last bar: the beats past
  // the end read empty, and the track grows when the paste reaches past it.
  GuitarState h = NumberedTrack();
  h.GuitarBar = 2;
  ASSERT_TRUE(CopyGuitarBar(h));
  h.GuitarBar = 3;
  h.GuitarTrack.resize(6);
  ASSERT_TRUE(PasteGuitarBar(h));
  EXPECT_EQ(Markers(h), (std::vector<int>{1, 2, 3, 4, 5, 6, 4, 5, 6, 0}));
}

// --- templates -------------------------------------------------------------------

TEST(GuitarTemplate, SavedMarkedBeatsPasteAtTheCursor) {
  ScratchFolder dir;
  MakeDirs("Plantillas");
  GuitarState g = NumberedTrack();
  g.GuitarTrack[1] = Marked(2, 3);
  g.GuitarBar = 1;
  g.GuitarBeat = 2;
  std::string error;
  EXPECT_FALSE(SaveGuitarTemplate(g, "Plantillas/riff", &error)) << "nothing marked";
  g.MarkedBeats = 2;
  ASSERT_TRUE(SaveGuitarTemplate(g, "Plantillas/riff", &error)) << error;
  EXPECT_EQ(ScratchFolder::Read("Plantillas/riff.pgt"), Records({Marked(2, 3), Marked(3)}));
  ASSERT_TRUE(SaveGuitarTemplate(g, "Plantillas/Otro.PGT", &error)) << error;
  EXPECT_TRUE(FileExists("Plantillas/Otro.PGT"));
  EXPECT_FALSE(FileExists("Plantillas/Otro.PGT.pgt"));
  EXPECT_FALSE(g.Modified) << "saving a template leaves the track unmarked";

  // Pasted over the last two beats: it reaches one beat past the end.
  g.GuitarBar = 3;
  g.GuitarBeat = 4;
  ASSERT_TRUE(PasteGuitarTemplate(g, "Plantillas/riff.pgt"));
  EXPECT_EQ(Markers(g), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 2, 3}));
  EXPECT_TRUE(Same(g.CurrentTiempoG, Marked(2, 3)));
  EXPECT_TRUE(g.Modified) << "pasted beats are a change to save";
  g.Modified = false;
  EXPECT_FALSE(PasteGuitarTemplate(g, "Plantillas/none.pgt"));
  EXPECT_FALSE(g.Modified) << "a template that cannot be read changes nothing";

  // Marked beats past the track's end are saved as empty beats.
  g.MarkedBeats = 3;
  ASSERT_TRUE(SaveGuitarTemplate(g, "Plantillas/end", &error)) << error;
  EXPECT_EQ(ScratchFolder::Read("Plantillas/end.pgt"), Records({Marked(2, 3), Marked(3), EmptyTiempoG()}));
}

// --- a whole theme's track ---------------------------------------------------------

TEST(GuitarTheme, PastingCopiesTheRememberedThemesFile) {
  ScratchFolder dir;
  auto t = ThreeBarTheme("Alegrias");
  t->Temas[1] = t->Temas[0];
  t->Temas[1].SetName("Tangos");
  t->Temas[2] = t->Temas[0];
  t->Temas[2].SetName("Rumba/Tango");
  t->Temas[3] = t->Temas[0];
  t->Temas[3].SetName("Alegrias");
  t->TemaCount = 4;
  ScratchFolder::Write("datos/Original/Alegrias.gtr", {1, 2, 3});
  ScratchFolder::Write("datos/Original/Tangos.gtr", {9});
  GuitarState g;
  std::string error;
  using P = GuitarThemePaste;
  EXPECT_EQ(PasteGuitarTheme(g, *t, 4, "Original", 2, &error), P::kNothingRemembered);
  CopyGuitarTheme(g, 1);
  EXPECT_EQ(PasteGuitarTheme(g, *t, 4, "Original", 1, &error), P::kSameTheme);
  EXPECT_EQ(PasteGuitarTheme(g, *t, 4, "Original", 4, &error), P::kSameTheme) << "the same file";
  EXPECT_EQ(PasteGuitarTheme(g, *t, 4, "Original", 3, &error), P::kNoFile) << "a name with '/' is no file name";
  EXPECT_EQ(PasteGuitarTheme(g, *t, 4, "Original", 5, &error), P::kNoSuchTheme);
  EXPECT_EQ(PasteGuitarTheme(g, *t, 4, "Original", 2, &error), P::kCopied) << error;
  EXPECT_EQ(ScratchFolder::Read("datos/Original/Tangos.gtr"), (std::vector<uint8_t>{1, 2, 3}));

  std::filesystem::remove("datos/Original/Alegrias.gtr");
  ScratchFolder::Write("datos/Original/Tangos.gtr", {9});
  EXPECT_EQ(PasteGuitarTheme(g, *t, 4, "Original", 2, &error), P::kNoFile);
  EXPECT_EQ(ScratchFolder::Read("datos/Original/Tangos.gtr"), (std::vector<uint8_t>{9}));
}
