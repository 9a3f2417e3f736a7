// Importing MIDI files into the guitar track: the file reader, the placing
// of notes on strings and divisions, the theme's growth and tempos, the
// import button's flow and files written by other MIDI writers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "guitar/midi.h"
#include "temp_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;

// --- a small writer of Standard MIDI Files ------------------------------------------
void Put32(Bytes& b, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}
void Put16(Bytes& b, int v) {
  b.push_back(static_cast<uint8_t>(v >> 8));
  b.push_back(static_cast<uint8_t>(v));
}
void PutVarLen(Bytes& b, uint32_t v) {
  uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = static_cast<uint8_t>(v & 0x7F);
    v >>= 7;
  } while (v != 0);
  while (n > 1) b.push_back(static_cast<uint8_t>(groups[--n] | 0x80));
  b.push_back(groups[0]);
}
Bytes Header(int tracks, int division, int format = 1) {
  Bytes b{'M', 'T', 'h', 'd'};
  Put32(b, 6);
  Put16(b, format);
  Put16(b, tracks);
  Put16(b, division);
  return b;
}
Bytes Chunk(const char* id, const Bytes& body) {
  Bytes b(id, id + 4);
  Put32(b, static_cast<uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  return b;
}
Bytes Track(const Bytes& events) { return Chunk("MTrk", events); }
Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
// One event after `delta` ticks.
Bytes Ev(uint32_t delta, std::initializer_list<uint8_t> bytes) {
  Bytes b;
  PutVarLen(b, delta);
  b.insert(b.end(), bytes);
  return b;
}
Bytes TimeSig(uint32_t delta, int beats, int exponent) {
  return Ev(delta, {0xFF, 0x58, 0x04, static_cast<uint8_t>(beats), static_cast<uint8_t>(exponent), 0x18, 0x08});
}
Bytes Tempo(uint32_t delta, uint32_t micros) {
  return Ev(delta, {0xFF, 0x51, 0x03, static_cast<uint8_t>(micros >> 16), static_cast<uint8_t>(micros >> 8),
                    static_cast<uint8_t>(micros)});
}
Bytes On(uint32_t delta, int note, int velocity = 100, int channel = 0) {
  return Ev(delta, {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)});
}
Bytes Off(uint32_t delta, int note, int channel = 0) {
  return Ev(delta, {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(note), 0x40});
}
Bytes End(uint32_t delta = 0) { return Ev(delta, {0xFF, 0x2F, 0x00}); }

// A file of one track at `division` ticks per quarter.
Bytes OneTrack(const Bytes& events, int division = 480) { return Header(1, division) + Track(events); }

// --- themes ------------------------------------------------------------------------------
// One entry per formula beat count given, each repeated once.
std::unique_ptr<RhythmTables> Theme(std::initializer_list<int> entryBeats) {
  auto t = RhythmTables::Create();
  Tema& th = t->Temas[0];
  InitNewTema(th, 120);
  th.SetName("Bulerias");
  int e = 0;
  for (int beats : entryBeats) {
    t->Formulas[static_cast<size_t>(e)].SetHeader(beats, 0);
    th.formulas[e] = static_cast<uint16_t>(e);
    th.times[e] = 1;
    th.tempos[e] = 150;
    ++e;
  }
  th.entryCount = static_cast<uint16_t>(e);
  t->FormulaCount = e;
  t->TemaCount = 1;
  return t;
}

MidiImportResult Import(const Bytes& file, const RhythmTables& t, uint16_t unit = kMidiUnitFromFile,
                        const GuitarTuning& tuning = GuitarTuning{}) {
  return ImportMidi(file.data(), file.size(), t.Temas[0], t.Formulas.data(), tuning, unit);
}

bool Logged(const MidiImportResult& r, const std::string& line) {
  return std::find(r.log.begin(), r.log.end(), line) != r.log.end();
}
int LinesContaining(const MidiImportResult& r, const std::string& part) {
  return static_cast<int>(std::count_if(r.log.begin(), r.log.end(),
                                        [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

// A note of a division: string 1..6, or 0 when nothing sounds there.
struct Placed {
  int fret;
  int strength;
  int delay;
  bool operator==(const Placed&) const = default;
};
Placed At(const TiempoG& t, int division, int string) {
  const DivisionG& d = t.division[division];
  const int i = kGuitarStrings - string;
  return Placed{d.fret[i], d.strength[i], d.delay[i]};
}
int NotesIn(const TiempoG& t) {
  int n = 0;
  for (int d = 0; d < t.divisions; ++d)
    for (int i = 0; i < kGuitarStrings; ++i) n += t.division[d].strength[i] != 0;
  return n;
}
bool Same(const TiempoG& a, const TiempoG& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

const GuitarTuning kStandard{};

}  // namespace

// --- the header and the beat unit -----------------------------------------------------

TEST(MidiImport, FourFourAt480GivesQuarterBeatsAndTheLogSaysSo) {
  auto t = Theme({4});
  const Bytes file = OneTrack(TimeSig(0, 4, 2) + On(0, 64) + Off(480, 64) + On(0, 69) + End(1440));
  const MidiImportResult r = Import(file, *t);
  ASSERT_TRUE(r.headerFound);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(r.beatUnit, kMidiUnitQuarter);
  ASSERT_EQ(r.track.size(), 4u);
  EXPECT_EQ(At(r.track[0], 0, 1), (Placed{0, 5, 0}));  // E4: 1st string open, 100 x 7 / 127 = 5
  EXPECT_EQ(At(r.track[1], 0, 1), (Placed{5, 5, 0}));  // A4: 1st string, fret 5
  EXPECT_EQ(NotesIn(r.track[2]) + NotesIn(r.track[3]), 0);
  EXPECT_EQ(r.log[0], "0000 tracks=1,deltaFigura=480");
  EXPECT_EQ(r.log[1], "0012 MTrk len=" + std::to_string(file.size() - 22));
  EXPECT_TRUE(Logged(r, "0017 - FF 58 04 04 02 18 08  Time signature 4/4"));
  EXPECT_TRUE(Logged(r, "001F - 90  Nota On, canal 0 Nota=64 Velocidad=100  - E 1   "));
  EXPECT_TRUE(Logged(r, "0024 - deltat=480  Pos 480/480 "));
  EXPECT_TRUE(Logged(r, "-------------- FIN Tiempo 1/4 divisiones 0 "));
  EXPECT_TRUE(Logged(r, "-------------- FIN Tiempo 4/4 divisiones 1  *** Fin de Comp\xE1s (1) ***"));
  EXPECT_TRUE(Logged(r, "002D - FF 2F Fin de track "));
  EXPECT_EQ(r.log.back(), "");
}

// Ticks of one beat by the time signature's denominator, or by a forced unit
// whatever the signature says: a track of 5760 ticks at 480 per quarter.
TEST(MidiImport, BeatUnitFromTheSignatureOrForced) {
  struct Case {
    uint16_t forced;
    int exponent;
    uint16_t unitAfter;
    size_t beats;
  } cases[] = {
      {0, 2, 257, 12},    // quarter
      {0, 3, 258, 24},    // eighth
      {0, 4, 260, 48},    // sixteenth
      {0, 1, 513, 6},     // half
      {0, 0, 1025, 3},    // whole
      {770, 3, 770, 8},   // dotted quarter: 720 ticks
      {513, 2, 513, 6},   // half: 960
      {772, 2, 772, 16},  // dotted eighth: 360
      {258, 2, 258, 24},  // eighth: 240
      {257, 3, 257, 12},  // quarter: 480
  };
  auto t = Theme({1});
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "forced " << c.forced << ", 2^" << c.exponent);
    const Bytes file = OneTrack(TimeSig(0, 1, c.exponent) + On(0, 64) + End(5760));
    const MidiImportResult r = Import(file, *t, c.forced);
    ASSERT_TRUE(r.taken);
    EXPECT_EQ(r.beatUnit, c.unitAfter);
    EXPECT_EQ(r.track.size(), c.beats);
  }
  EXPECT_EQ(TicksPerBeatForUnit(480, kMidiUnitDottedQuarter), 720);
  EXPECT_EQ(TicksPerBeatForUnit(480, 0x0300), 480);  // no divisor: a quarter
  EXPECT_EQ(TicksPerBeatForUnit(1, kMidiUnitEighth), 1);
}

// Without a time signature a beat is the quarter of the file (or the forced
// unit), not a fixed 256 ticks.
TEST(MidiImport, NoTimeSignatureTakesTheQuarter) {
  auto t = Theme({1});
  const Bytes file = OneTrack(On(0, 64) + End(1920), 96);
  EXPECT_EQ(Import(file, *t).track.size(), 20u);  // 1920 / 96
  EXPECT_EQ(Import(file, *t).beatUnit, kMidiUnitFromFile);
  EXPECT_EQ(Import(file, *t, kMidiUnitHalf).track.size(), 10u);
}

TEST(MidiImport, ZeroOrSmpteTimeDivisionIsRefused) {
  auto t = Theme({4});
  for (int division : {0, 0xE728}) {
    const MidiImportResult r = Import(OneTrack(TimeSig(0, 4, 2) + On(0, 64) + End(1920), division), *t);
    EXPECT_FALSE(r.headerFound);
    EXPECT_FALSE(r.taken);
    EXPECT_EQ(LinesContaining(r, "no admitida"), 1) << division;
  }
}

TEST(MidiImport, HeaderIsLookedForInTheFirst101Bytes) {
  auto t = Theme({4});
  const Bytes body = OneTrack(TimeSig(0, 4, 2) + On(0, 64) + End(1920));
  EXPECT_TRUE(Import(Bytes(100, 'x') + body, *t).taken);
  EXPECT_FALSE(Import(Bytes(101, 'x') + body, *t).headerFound);
  EXPECT_FALSE(Import(Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0}, *t).headerFound);  // cut short
  EXPECT_FALSE(Import(Bytes{}, *t).headerFound);
}

// --- events ----------------------------------------------------------------------------

TEST(MidiImport, DeltaStartingWithFFIsZeroAndStartsAMetaEvent) {
  auto t = Theme({4});
  // The tempo event follows the time signature with no delta byte of its own.
  Bytes events = TimeSig(0, 4, 2);
  events.insert(events.end(), {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
  const MidiImportResult r = Import(OneTrack(events + On(0, 64) + End(1920)), *t);
  ASSERT_TRUE(r.taken);
  ASSERT_EQ(r.tempoChanges.size(), 1u);
  EXPECT_EQ(r.tempoChanges[0].bpm, 120);  // 500000 microseconds
  EXPECT_EQ(r.theme.tempos[0], 120);
  EXPECT_EQ(NotesIn(r.track[0]), 1);
}

TEST(MidiImport, TempoChangesGoToTheEntriesWhereTheyFall) {
  auto t = Theme({4, 4, 4});
  const Bytes file = OneTrack(TimeSig(0, 4, 2) + Tempo(0, 500000) + On(0, 64) + Tempo(1920 * 2, 600000) +
                              Tempo(0, 0) + End(1920));
  const MidiImportResult r = Import(file, *t);
  ASSERT_TRUE(r.taken);
  ASSERT_EQ(r.tempoChanges.size(), 2u);  // the tempo of 0 is no change
  EXPECT_EQ(r.tempoChanges[1].bpm, 100);
  EXPECT_EQ(r.tempoChanges[1].beat, 8u);
  EXPECT_EQ(r.theme.tempos[0], 120);
  EXPECT_EQ(r.theme.tempos[1], 150);  // untouched
  EXPECT_EQ(r.theme.tempos[2], 100);
  EXPECT_EQ(LinesContaining(r, "Set tempo =0 bpm (no se usa)"), 1);
}

TEST(MidiImport, TempoAssignmentStopsAtTheLastEntry) {
  auto t = Theme({4, 4});
  Tema th = t->Temas[0];
  th.tempos[2] = 77;
  AssignMidiTempos(th, t->Formulas.data(), {{90, 0}, {95, 4}, {100, 40}, {110, 900}});
  EXPECT_EQ(th.tempos[0], 90);
  EXPECT_EQ(th.tempos[1], 95);
  EXPECT_EQ(th.tempos[2], 77);  // past the entries: dropped
  // Out-of-range tempos are held to what an entry can play.
  const MidiImportResult r = Import(OneTrack(Tempo(0, 1) + Tempo(0, 10000000) + On(0, 64) + End(1920)), *t);
  ASSERT_EQ(r.tempoChanges.size(), 2u);
  EXPECT_EQ(r.tempoChanges[0].bpm, kMaxThemeTempo);
  EXPECT_EQ(r.tempoChanges[1].bpm, kMinThemeTempo);
}

TEST(MidiImport, KeySignatureThenNoteAtDeltaZeroKeepsTheNote) {
  auto t = Theme({4});
  const MidiImportResult r =
      Import(OneTrack(TimeSig(0, 4, 2) + Ev(0, {0xFF, 0x59, 0x02, 0x00, 0x00}) + On(0, 59) + End(1920)), *t);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(At(r.track[0], 0, 2), (Placed{0, 5, 0}));  // B3: 2nd string open
}

// Running status, the messages of two and three bytes the import does not
// use, system exclusive, unknown meta events and unknown chunks are all
// passed over by their own length, and the notes around them stay.
TEST(MidiImport, EventsAndChunksArePassedByTheirOwnLength) {
  auto t = Theme({4});
  Bytes events = TimeSig(0, 4, 2) + On(0, 40);
  events = events + Ev(0, {45, 90});                          // running status: A2
  events = events + Ev(0, {0xD0, 0x40}) + Ev(0, {0xE0, 0x00, 0x40}) + Ev(0, {0xA0, 50, 10});
  events = events + Ev(0, {0xF0, 0x03, 0x7E, 0x7F, 0xF7});    // system exclusive
  events = events + Ev(0, {0xFF, 0x7F, 0x03, 0x00, 0x00, 0x41});  // sequencer specific
  events = events + Ev(0, {0xFF, 0x01, 0x81, 0x00}) + Bytes(128, 'a');  // a text of 128 bytes
  events = events + Ev(0, {0xC0, 24}) + Ev(0, {0xB0, 7, 100}) + On(0, 50) + End(1920);
  const Bytes file = Header(1, 480) + Chunk("XFIH", Bytes(10, 0x90)) + Track(events);
  const MidiImportResult r = Import(file, *t);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(At(r.track[0], 0, 6).strength, 5);
  EXPECT_EQ(At(r.track[0], 0, 5).strength, 4);  // 90 x 7 / 127
  EXPECT_EQ(At(r.track[0], 0, 4).strength, 5);
  EXPECT_EQ(NotesIn(r.track[0]), 3);
  EXPECT_EQ(LinesContaining(r, "Texto ---->  aaaa"), 1);
  EXPECT_EQ(LinesContaining(r, " Canal 0 Numero de programa 24"), 1);
  EXPECT_EQ(LinesContaining(r, " Canal 0 Controlador=7 Valor=100"), 1);
}

TEST(MidiImport, ChunkLengthsAreCheckedAgainstTheFile) {
  auto t = Theme({4});
  const Bytes events = TimeSig(0, 4, 2) + On(0, 64) + End(1920);
  // A track that claims more than the file holds is read as far as it goes.
  Bytes longer = Header(1, 480) + Track(events);
  longer[21] = 0xFF;
  EXPECT_TRUE(Import(longer, *t).taken);
  // Cut anywhere, the file never takes a track that did not end.
  const Bytes whole = OneTrack(events);
  for (size_t n = 0; n + 1 < whole.size(); ++n) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(n));
    EXPECT_FALSE(Import(cut, *t).taken) << n;
  }
  // An unknown chunk longer than the file ends the reading.
  Bytes alien = Header(1, 480) + Chunk("XFIH", Bytes(4, 0)) + Track(events);
  alien[18] = 0x7F;
  EXPECT_FALSE(Import(alien, *t).taken);
  // More tracks announced than present, and tracks after the one taken.
  EXPECT_TRUE(Import(Header(9, 480) + Track(events), *t).taken);
}

// The first track with a note-on and at least one bar's beats is taken;
// the tracks before it (a tempo track) only give tempos and the signature.
TEST(MidiImport, FirstTrackWithNotesAndABarIsTaken) {
  auto t = Theme({3});
  const Bytes tempoTrack = Track(TimeSig(0, 3, 2) + Tempo(0, 600000) + End(0));
  const Bytes shortTrack = Track(On(0, 52) + End(960));  // two beats: less than a bar
  const Bytes notes = Track(On(0, 40) + Off(480, 40) + On(0, 45) + End(960));
  const Bytes other = Track(On(0, 64) + End(1440));
  const MidiImportResult r = Import(Header(4, 480) + tempoTrack + shortTrack + notes + other, *t);
  ASSERT_TRUE(r.taken);
  ASSERT_EQ(r.track.size(), 3u);
  EXPECT_EQ(At(r.track[0], 0, 6).strength, 5);
  EXPECT_EQ(At(r.track[1], 0, 5).strength, 5);
  EXPECT_EQ(r.theme.tempos[0], 100);
  EXPECT_EQ(LinesContaining(r, "Nota=64"), 0);  // the last track is not read
}

TEST(MidiImport, NotesOutsideTheRangeOrSilentAreNotNotes) {
  auto t = Theme({4});
  const MidiImportResult r =
      Import(OneTrack(TimeSig(0, 4, 2) + On(0, 83) + On(0, 32) + On(0, 64, 0) + On(0, 33, 10) + End(1920)), *t);
  ASSERT_TRUE(r.taken);
  EXPECT_TRUE(Logged(r, "001F - 90 "));  // 83: no note text
  EXPECT_TRUE(Logged(r, "0023 - 90 "));  // 32
  EXPECT_TRUE(Logged(r, "0027 - 90 "));  // velocity 0
  // 33 (A1) lies below the 6th string: an octave up, A2 on the 5th string.
  EXPECT_EQ(NotesIn(r.track[0]), 1);
  EXPECT_EQ(At(r.track[0], 0, 5), (Placed{0, 1, 0}));
  EXPECT_TRUE(Logged(r, "002B - 90  Nota On, canal 0 Nota=33 Velocidad=10  - A 5    (1 octava(s) arriba)"));
}

TEST(MidiImport, NoteOnOfAnotherTrackFlagsItButNeedsABar) {
  auto t = Theme({4});
  // A note that is out of range still marks the track as one with notes.
  EXPECT_TRUE(Import(OneTrack(TimeSig(0, 4, 2) + On(0, 90) + End(1920)), *t).taken);
  EXPECT_FALSE(Import(OneTrack(TimeSig(0, 4, 2) + Ev(0, {0xB0, 1, 2}) + End(1920)), *t).taken);
  EXPECT_FALSE(Import(OneTrack(TimeSig(0, 4, 2) + On(0, 64) + End(1440)), *t).taken);  // 3 beats of 4
}

TEST(MidiImport, MoreThan64NotesInABeatAreDroppedWithALogLine) {
  auto t = Theme({4});
  Bytes events = TimeSig(0, 4, 2);
  for (int i = 0; i < 70; ++i) events = events + On(0, 40 + i % 30);
  const MidiImportResult r = Import(OneTrack(events + End(1920)), *t);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(LinesContaining(r, "mas de 64 notas en el tiempo"), 6);
}

TEST(MidiImport, ATrackAtTheBeatLimitIsTakenAsItStands) {
  auto t = Theme({4});
  // One tick per beat, notes every 60 beats up to far past the largest track.
  Bytes events = TimeSig(0, 4, 2);
  for (int i = 0; i < 300; ++i) events = events + On(i == 0 ? 0 : 240, 64);
  const MidiImportResult r = Import(OneTrack(events + End(4), 4), *t);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(r.track.size(), std::max<size_t>(kMaxMidiTrackBeats, r.bars.back() / kBeatBytes));
  EXPECT_EQ(LinesContaining(r, "Pista demasiado larga"), 1);
}

// --- which track, and refusals ---------------------------------------------------------

// Percussion (channel 10) and tracks mostly outside a guitar's range give
// way to a track with guitar notes; the report says which and why.
TEST(MidiImport, DrumsAndOutOfRangeTracksGiveWayToTheGuitar) {
  auto t = Theme({4});
  const Bytes drums = Track(TimeSig(0, 4, 2) + On(0, 36, 100, 9) + On(480, 38, 100, 9) + On(480, 36, 100, 9) + End(960));
  const Bytes bass = Track(On(0, 28) + On(480, 31) + On(480, 33) + End(960));
  const Bytes guitar = Track(On(0, 52) + On(480, 57, 100, 9) + On(0, 64) + End(1440));
  const MidiImportResult r = Import(Header(3, 480) + drums + bass + guitar, *t);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(r.takenTrack, 3);
  EXPECT_EQ(r.failure, MidiFailure::None);
  EXPECT_EQ(NotesIn(r.track[0]), 1);  // E3, not the kick drum's C2
  EXPECT_EQ(NotesIn(r.track[1]), 1);  // E4 alone: its channel-10 note is left out
  EXPECT_EQ(At(r.track[1], 0, 1), (Placed{0, 5, 0}));
  EXPECT_TRUE(Logged(r, "Pista 1 saltada: canal 10 (percusi\xF3n), 3 notas"));
  EXPECT_TRUE(Logged(r, "Pista 2 saltada: 3 de 3 notas fuera de 40..88"));
  EXPECT_TRUE(Logged(r, "Pista 3 tomada: 2 notas, 2 entre 40 y 88; sus 1 notas del canal 10 no se importan"));
  EXPECT_EQ(r.choiceEn, "Track 3 taken: 2 notes, 2 of them within 40..88; its 1 channel-10 notes are left out");
  EXPECT_EQ(LinesContaining(r, "canal 10 (percusi\xF3n): no se importa"), 1);

  // With nothing else, the low track is taken; with only drums, the drums.
  const MidiImportResult low = Import(Header(2, 480) + drums + bass, *t);
  ASSERT_TRUE(low.taken);
  EXPECT_EQ(low.takenTrack, 2);
  const MidiImportResult onlyDrums = Import(Header(1, 480) + drums, *t);
  ASSERT_TRUE(onlyDrums.taken);
  EXPECT_EQ(onlyDrums.takenTrack, 1);
  EXPECT_NE(onlyDrums.choiceEn.find("all drums"), std::string::npos);
}

// What cannot be imported says why, in both languages, and takes nothing.
TEST(MidiImport, FailuresSayWhy) {
  auto t = Theme({4});
  const Bytes good = OneTrack(TimeSig(0, 4, 2) + On(0, 64) + End(1920));
  Bytes noDivision = good;
  noDivision[12] = 0;
  noDivision[13] = 0;
  struct Case {
    Bytes file;
    MidiFailure failure;
    const char* english;
  };
  const Case cases[] = {
      {Bytes{}, MidiFailure::NoHeader, "Nothing was imported: the file has no \"MThd\" header"},
      {Bytes(300, 0x5A), MidiFailure::NoHeader, "Nothing was imported: the file has no \"MThd\" header"},
      {Bytes(good.begin(), good.begin() + 10), MidiFailure::HeaderCut, "Nothing was imported: the header is cut short"},
      {Bytes(good.begin(), good.end() - 5), MidiFailure::LengthPastEnd,
       "Nothing was imported: a track's length runs past the end of the file (the file is cut short)"},
      {noDivision, MidiFailure::ZeroDivision, "Nothing was imported: the header gives 0 ticks per quarter note"},
      {OneTrack(TimeSig(0, 4, 2) + End(1920)), MidiFailure::NoTrack,
       "Nothing was imported: no track has notes and a whole bar"},
  };
  for (const Case& c : cases) {
    const MidiImportResult r = Import(c.file, *t);
    EXPECT_FALSE(r.taken) << c.english;
    EXPECT_EQ(r.failure, c.failure) << c.english;
    EXPECT_EQ(MidiFailureText(r, true), c.english);
    EXPECT_EQ(MidiFailureText(r, false).rfind("No se ha importado nada: ", 0), 0u);
    EXPECT_EQ(r.log.end()[-2], MidiFailureText(r, false));
  }
  EXPECT_EQ(MidiFailureText(Import(good, *t), true), "");
}

// A silence of more than 64 beats before a note is refused (the delta
// 8F FF FF 7F once raised a theme to 255 repetitions and lost the note
// after it); one after the last note ends with its bar. The theme grows by
// what the notes need, no more.
TEST(MidiImport, LongSilencesAreRefusedOrCutAtTheEnd) {
  auto t = Theme({4});
  t->Temas[0].times[0] = 8;
  const Bytes hostileDelta = {0x8F, 0xFF, 0xFF, 0x7F, 0x90, 67, 100};  // 33554431 ticks, 69905 beats
  const MidiImportResult hostile = Import(OneTrack(TimeSig(0, 4, 2) + On(0, 64) + hostileDelta + End(480)), *t);
  EXPECT_FALSE(hostile.taken);
  EXPECT_EQ(hostile.failure, MidiFailure::LongSilence);
  EXPECT_EQ(MidiFailureText(hostile, true),
            "Nothing was imported: 69904 beats of silence (more than 64) before the note at beat 69906");
  // 64 beats of silence between two notes are fine: 66 beats, 17 bars.
  const MidiImportResult ok = Import(OneTrack(TimeSig(0, 4, 2) + On(0, 64) + On(65 * 480, 67) + End(480)), *t);
  ASSERT_TRUE(ok.taken);
  EXPECT_EQ(ok.track.size(), 68u);
  EXPECT_EQ(ok.theme.times[0], 17);
  // Silence after the last note: the bar of the note is completed, the rest cut.
  const MidiImportResult tail = Import(OneTrack(TimeSig(0, 4, 2) + On(0, 64) + On(480, 67) + End(0x01FFFFFF)), *t);
  ASSERT_TRUE(tail.taken);
  EXPECT_EQ(tail.track.size(), 32u);  // the theme's own 8 bars
  EXPECT_EQ(tail.theme.times[0], 8);
  EXPECT_EQ(tail.trailingCut, 69905 - 3);  // all but the rest of the last note's bar
  EXPECT_EQ(LinesContaining(tail, "Silencio final de"), 1);
}

// Tempos round to the nearest beat per minute.
TEST(MidiImport, TemposRoundToTheNearestBpm) {
  auto t = Theme({4});
  for (const auto& [micros, bpm] : {std::pair<uint32_t, int>{666667, 90}, {500000, 120}, {631579, 95}, {652174, 92}}) {
    const MidiImportResult r = Import(OneTrack(TimeSig(0, 4, 2) + Tempo(0, micros) + On(0, 64) + End(1920)), *t);
    ASSERT_TRUE(r.taken);
    EXPECT_EQ(r.theme.tempos[0], bpm) << micros;
  }
}

// --- placing notes -----------------------------------------------------------------------

TEST(MidiBeat, VelocityGivesStrength) {
  const int cases[][2] = {{10, 1}, {1, 1}, {18, 1}, {19, 1}, {37, 2}, {100, 5}, {126, 6}, {127, 7}, {200, 7}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(MidiStrength(c[0]), c[1]) << c[0];
}

TEST(MidiBeat, NotesPlacedByTheirLabelsAndOctavesUpBelowTheStrings) {
  const int cases[][3] = {
      {40, 6, 0}, {44, 6, 4}, {45, 5, 0}, {50, 4, 0}, {55, 3, 0}, {58, 3, 3}, {59, 2, 0}, {64, 1, 0}, {82, 1, 18},
  };
  for (const auto& c : cases) {
    int s = 0;
    int f = 0;
    ASSERT_TRUE(MidiNotePlace(kStandard, c[0], &s, &f)) << c[0];
    EXPECT_EQ(s, c[1]) << c[0];
    EXPECT_EQ(f, c[2]) << c[0];
  }
  int s = 0;
  int f = 0;
  EXPECT_FALSE(MidiNotePlace(kStandard, 38, &s, &f));  // "6-2": below the open string
  EXPECT_FALSE(MidiNotePlace(kStandard, 35, &s, &f));  // no string
  EXPECT_EQ(PlayableMidiNote(kStandard, 38), 50);       // D3
  EXPECT_EQ(PlayableMidiNote(kStandard, 35), 47);       // B2
  EXPECT_EQ(PlayableMidiNote(kStandard, 64), 64);
  // A tuning whose 6th string is raised to F#2 leaves E2 with no string.
  GuitarTuning raised;
  ApplyTuning(raised, {2, 0, 0, 0, 0, 0});
  EXPECT_EQ(PlayableMidiNote(raised, 40), 52);
  ASSERT_TRUE(MidiNotePlace(raised, 42, &s, &f));
  EXPECT_EQ(s, 6);
  EXPECT_EQ(f, 0);
}

// At 480 ticks per beat, two notes of one string at ticks 0 and 240.
TEST(MidiBeat, CloseFretsAtDifferentTimesRaiseTheDivisions) {
  const TiempoG t = BuildMidiBeat({{64, 127, 0}, {66, 127, 240}}, 480, kStandard);
  EXPECT_EQ(t.divisions, 2);
  EXPECT_EQ(At(t, 0, 1), (Placed{0, 7, 0}));
  EXPECT_EQ(At(t, 1, 1), (Placed{2, 7, 0}));
  EXPECT_EQ(NotesIn(t), 2);
}

TEST(MidiBeat, DistantFretsPushTheEarlierNoteToTheNextString) {
  const TiempoG t = BuildMidiBeat({{64, 127, 0}, {69, 127, 240}}, 480, kStandard);
  EXPECT_EQ(t.divisions, 1);
  EXPECT_EQ(At(t, 0, 1), (Placed{5, 7, 50}));  // A4
  EXPECT_EQ(At(t, 0, 2), (Placed{5, 7, 0}));   // E4 on the 2nd string
}

TEST(MidiBeat, SameTickSameStringPushesDownOrFinallyReplaces) {
  const TiempoG pushed = BuildMidiBeat({{64, 127, 0}, {65, 64, 0}}, 480, kStandard);
  EXPECT_EQ(pushed.divisions, 1);
  EXPECT_EQ(At(pushed, 0, 1), (Placed{1, 3, 0}));  // F4
  EXPECT_EQ(At(pushed, 0, 2), (Placed{5, 7, 0}));  // E4 on the 2nd string
  // Every string taken: the divisions climb to 24 and the later note wins.
  const TiempoG full = BuildMidiBeat(
      {{40, 127, 0}, {45, 127, 0}, {50, 127, 0}, {55, 127, 0}, {59, 127, 0}, {64, 127, 0}, {65, 64, 0}}, 480, kStandard);
  EXPECT_EQ(full.divisions, kMaxDivisions);
  EXPECT_EQ(At(full, 0, 1), (Placed{1, 3, 0}));
  EXPECT_EQ(NotesIn(full), 6);
}

// A lower string never plays the higher pitch of its division.
TEST(MidiBeat, LowerStringsKeepLowerPitches) {
  // C4 falls on the 2nd string where B3 sounds: B3 and the G3 below it move
  // one string lower each (4th string fret 5, 3rd string fret 4).
  const TiempoG t = BuildMidiBeat({{55, 127, 0}, {59, 127, 0}, {60, 127, 0}}, 480, kStandard);
  EXPECT_EQ(t.divisions, 1);
  EXPECT_EQ(At(t, 0, 1).strength, 0);
  EXPECT_EQ(At(t, 0, 2), (Placed{1, 7, 0}));  // C4
  EXPECT_EQ(At(t, 0, 3), (Placed{4, 7, 0}));  // B3
  EXPECT_EQ(At(t, 0, 4), (Placed{5, 7, 0}));  // G3
  // G#4 pushes A4 down to the 2nd string, which then plays the higher
  // pitch: the two strings exchange their notes.
  const TiempoG x = BuildMidiBeat({{69, 127, 0}, {68, 64, 0}}, 480, kStandard);
  EXPECT_EQ(At(x, 0, 1), (Placed{5, 7, 0}));  // A4
  EXPECT_EQ(At(x, 0, 2), (Placed{9, 3, 0}));  // G#4
}

// When the divisions do not share the beat out evenly, a note past the last
// whole division stays inside the beat.
TEST(MidiBeat, NoDivisionPastTheBeat) {
  const TiempoG t = BuildMidiBeat({{64, 127, 0}, {65, 127, 6}}, 7, kStandard);
  ASSERT_EQ(t.divisions, 2);
  EXPECT_EQ(At(t, 0, 1), (Placed{0, 7, 0}));
  EXPECT_EQ(At(t, 1, 1), (Placed{1, 7, 99}));
  // Far more divisions wanted than ticks: still within the record.
  std::vector<MidiPendingNote> many;
  for (int i = 0; i < 64; ++i) many.push_back({64 + i % 3, 127, i});
  const TiempoG tiny = BuildMidiBeat(many, 3, kStandard);
  EXPECT_GE(tiny.divisions, 1);
  EXPECT_LE(tiny.divisions, kMaxDivisions);
  for (int d = tiny.divisions; d < kMaxDivisions; ++d)
    for (int i = 0; i < kGuitarStrings; ++i) EXPECT_EQ(tiny.division[d].strength[i], 0);
}

// --- the theme grows to the track --------------------------------------------------------

TEST(MidiTheme, TenBeatsOnAFourBeatThemeGiveThreeBarsAndTwoPaddingBeats) {
  auto t = Theme({4});
  const MidiImportResult r = Import(OneTrack(TimeSig(0, 4, 2) + On(0, 64) + End(4800)), *t);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(r.theme.times[0], 3);
  EXPECT_EQ(r.repetitionsAdded, 2);
  EXPECT_EQ(r.paddingBeats, 2);
  EXPECT_EQ(r.bars, (std::vector<uint32_t>{0, 4 * kBeatBytes, 8 * kBeatBytes, 12 * kBeatBytes}));
  ASSERT_EQ(r.track.size(), 12u);
  EXPECT_TRUE(Same(r.track[11], EmptyTiempoG()));
  EXPECT_EQ(t->Temas[0].times[0], 1);  // the theme passed in is not changed
}

TEST(MidiTheme, EntriesGrowInTurnUpToTheirLimits) {
  auto t = Theme({3, 0, 4});
  Tema th = t->Temas[0];
  EXPECT_EQ(ExtendThemeToBeats(th, t->Formulas.data(), 20), 4);  // 7 -> 10 -> 14 -> 17 -> 21
  EXPECT_EQ(th.times[0], 3);
  EXPECT_EQ(th.times[1], 1);  // a formula without beats does not grow
  EXPECT_EQ(th.times[2], 3);
  th = t->Temas[0];
  th.times[0] = 255;
  EXPECT_EQ(ExtendThemeToBeats(th, t->Formulas.data(), 765 + 12), 2);
  EXPECT_EQ(th.times[0], 255);
  EXPECT_EQ(th.times[2], 3);
  // No more than 1024 bars.
  th = t->Temas[0];
  ExtendThemeToBeats(th, t->Formulas.data(), 1000000);
  EXPECT_EQ(th.times[0] + th.times[1] + th.times[2], 255 + 1 + 255);
  auto wide = Theme({4, 4, 4, 4, 4});
  th = wide->Temas[0];
  ExtendThemeToBeats(th, wide->Formulas.data(), 1000000);
  int bars = 0;
  for (int e = 0; e < th.entryCount; ++e) bars += th.times[e];
  EXPECT_EQ(bars, kMaxGuitarBars);
  // A theme without entries: nothing grows and the track keeps its beats.
  auto none = Theme({});
  const MidiImportResult r = Import(OneTrack(TimeSig(0, 4, 2) + On(0, 64) + End(1920)), *none);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(r.bars, std::vector<uint32_t>{0});
  EXPECT_EQ(r.track.size(), 4u);
}

// --- the button's flow -----------------------------------------------------------------------

TEST(MidiSession, FreshImportThenReimportsOverTheBackup) {
  auto t = Theme({4});
  GuitarState g;
  MidiImportSession s;
  s.FilePath = "x.mid";
  const Bytes file = OneTrack(TimeSig(0, 4, 2) + On(0, 64) + On(480, 69) + End(4320));  // 10 beats
  ASSERT_EQ(BeginMidiImport(s, t->Temas[0], 0), MidiImportStart::ChooseFile);
  EXPECT_TRUE(MidiNeedsFileDialog(s));
  MidiImportResult r = RunMidiImport(s, *t, 0, g, kStandard, file);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(s.MidiBeatUnit, kMidiUnitQuarter);
  EXPECT_EQ(t->Temas[0].times[0], 3);
  EXPECT_EQ(g.GuitarTrack.size(), 12u);
  EXPECT_EQ(g.GuitarBarCount, 3);
  EXPECT_EQ(g.GuitarBeatsInBar, 4);
  EXPECT_TRUE(g.Modified);
  EXPECT_TRUE(Same(g.CurrentTiempoG, g.GuitarTrack[0]));
  EXPECT_EQ(NotesIn(g.CurrentTiempoG), 1);

  // The unit found makes the next press a re-import over the backup: an
  // eighth beat doubles the beats, but the repetitions do not pile up.
  ASSERT_EQ(BeginMidiImport(s, t->Temas[0], 0), MidiImportStart::Reimport);
  s.MidiBeatUnit = kMidiUnitEighth;
  EXPECT_FALSE(MidiNeedsFileDialog(s));
  r = RunMidiImport(s, *t, 0, g, kStandard, file);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(g.GuitarTrack.size(), 20u);
  EXPECT_EQ(t->Temas[0].times[0], 5);
  EXPECT_EQ(s.MidiBeatUnit, kMidiUnitEighth);

  // "Abrir nuevo MIDI" in the menu asks for a file again.
  s.MidiBeatUnit = kMidiUnitFromFile;
  EXPECT_TRUE(MidiNeedsFileDialog(s));
  // Another theme, or the panel opened again, starts afresh.
  s.MidiBeatUnit = kMidiUnitQuarter;
  EXPECT_EQ(BeginMidiImport(s, t->Temas[1], 1), MidiImportStart::ChooseFile);
  EXPECT_EQ(s.BackupTema, 1);
  ResetMidiBeatUnit(s);
  EXPECT_EQ(s.MidiBeatUnit, kMidiUnitFromFile);
  EXPECT_EQ(BeginMidiImport(s, t->Temas[0], 0), MidiImportStart::ChooseFile);
}

TEST(MidiSession, AnImportThatTakesNoTrackChangesNothing) {
  auto t = Theme({4});
  GuitarState g;
  g.GuitarBars = {0, 4 * kBeatBytes};
  g.GuitarBarCount = 1;
  g.GuitarTrack.assign(4, EmptyTiempoG());
  g.GuitarTrack[2].divisions = 3;
  g.GuitarBar = 1;
  g.GuitarBeat = 3;
  ReadCursorBeat(g);
  const GuitarState before = g;
  const Tema themeBefore = t->Temas[0];
  MidiImportSession s;
  s.FilePath = "x.mid";
  BeginMidiImport(s, t->Temas[0], 0);
  for (const Bytes& file : {Bytes{}, OneTrack(TimeSig(0, 4, 2) + End(1920)),
                            OneTrack(TimeSig(0, 4, 2) + On(0, 64) + End(1920), 0),
                            OneTrack(TimeSig(0, 4, 2) + On(0, 64))}) {
    const MidiImportResult r = RunMidiImport(s, *t, 0, g, kStandard, file);
    EXPECT_FALSE(r.taken);
    EXPECT_EQ(std::memcmp(&t->Temas[0], &themeBefore, sizeof(Tema)), 0);
    EXPECT_EQ(g.GuitarTrack.size(), before.GuitarTrack.size());
    EXPECT_TRUE(Same(g.GuitarTrack[2], before.GuitarTrack[2]));
    EXPECT_EQ(g.GuitarBars, before.GuitarBars);
    EXPECT_EQ(g.GuitarBeat, 3);
    EXPECT_FALSE(g.Modified);
  }
}

TEST(MidiSession, ReportAndFolders) {
  ScratchFolder dir;
  std::string error;
  ASSERT_TRUE(WriteMidiReport(dir.path(), {"0000 tracks=1,deltaFigura=480", "", "Fin de Comp\xE1s"}, &error)) << error;
  const Bytes bytes = ScratchFolder::Read(dir.path() + "/midireport.txt");
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text, "0000 tracks=1,deltaFigura=480\r\n\r\nFin de Comp\xE1s\r\n");
  EXPECT_EQ(MidiFolder("/w"), "/w/MIDI");
  EXPECT_EQ(MidiReportPath("/w"), "/w/midireport.txt");

  Bytes data;
  EXPECT_FALSE(LoadMidiFile(dir.path() + "/none.mid", &data, &error));
  ScratchFolder::Write(dir.path() + "/a.mid", {1, 2, 3});
  ASSERT_TRUE(LoadMidiFile(dir.path() + "/a.mid", &data, &error));
  EXPECT_EQ(data, (Bytes{1, 2, 3}));
}

// --- files of other writers -------------------------------------------------------------------
namespace {

// Debian's Python, which has python3-mido (the python3 first on the PATH may
// be another one).
std::string PythonWithMido() {
  for (const char* p : {"/usr/bin/python3", "python3"}) {
    const std::string probe = std::string(p) + " -c 'import mido' >/dev/null 2>&1";
    if (std::system(probe.c_str()) == 0) return p;
  }
  return std::string();
}

}  // namespace

TEST(MidiWriters, FileWrittenByMidoImports) {
  const std::string python = PythonWithMido();
  if (python.empty()) GTEST_SKIP() << "python3-mido is not installed";
  ScratchFolder dir;
  ScratchFolder::Write("make.py", Bytes());
  std::ofstream("make.py") << R"(import sys, mido
mid = mido.MidiFile(type=1, ticks_per_beat=480)
conductor = mido.MidiTrack()
mid.tracks.append(conductor)
conductor.append(mido.MetaMessage('track_name', name='Compas', time=0))
conductor.append(mido.MetaMessage('time_signature', numerator=3, denominator=4, time=0))
conductor.append(mido.MetaMessage('set_tempo', tempo=600000, time=0))
conductor.append(mido.MetaMessage('set_tempo', tempo=500000, time=1440 * 2))
conductor.append(mido.MetaMessage('end_of_track', time=0))
guitar = mido.MidiTrack()
mid.tracks.append(guitar)
guitar.append(mido.Message('program_change', program=24, time=0))
guitar.append(mido.Message('control_change', control=7, value=100, time=0))
for i, note in enumerate([40, 45, 50, 55, 59, 64]):
    guitar.append(mido.Message('note_on', note=note, velocity=127, time=0))
    guitar.append(mido.Message('pitchwheel', pitch=100, time=10))
    guitar.append(mido.Message('aftertouch', value=20, time=10))
    guitar.append(mido.Message('note_on', note=note, velocity=0, time=460))
# a chord of E major strummed over the 7th beat
for i, note in enumerate([40, 47, 52, 56, 59, 64]):
    guitar.append(mido.Message('note_on', note=note, velocity=64, time=0 if i == 0 else 40))
guitar.append(mido.Message('note_off', note=64, velocity=0, time=1240))
guitar.append(mido.MetaMessage('end_of_track', time=0))
mid.save(sys.argv[1])
)";
  ASSERT_EQ(std::system((python + " make.py mido.mid").c_str()), 0);
  std::vector<uint8_t> file;
  std::string error;
  ASSERT_TRUE(LoadMidiFile("mido.mid", &file, &error)) << error;

  auto t = Theme({3, 3});
  const MidiImportResult r = Import(file, *t);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(r.beatUnit, kMidiUnitQuarter);
  EXPECT_EQ(LinesContaining(r, "Comor"), 2 * 6);  // the pitch wheel and aftertouch, no more
  ASSERT_EQ(r.track.size(), 9u);                  // 6 beats, the chord's 3; 3 bars of 3
  EXPECT_EQ(r.theme.times[0], 2);
  EXPECT_EQ(r.theme.times[1], 1);
  for (int beat = 0; beat < 6; ++beat) {
    SCOPED_TRACE(beat);
    EXPECT_EQ(r.track[static_cast<size_t>(beat)].divisions, 1);
    EXPECT_EQ(NotesIn(r.track[static_cast<size_t>(beat)]), 1);
    EXPECT_EQ(At(r.track[static_cast<size_t>(beat)], 0, 6 - beat), (Placed{0, 7, 0}));
  }
  // The strummed chord: six notes 40 ticks apart, all on their own strings.
  const TiempoG& chord = r.track[6];
  EXPECT_EQ(NotesIn(chord), 6);
  ASSERT_EQ(r.tempoChanges.size(), 2u);
  EXPECT_EQ(r.tempoChanges[1].beat, 6u);
  EXPECT_EQ(r.theme.tempos[0], 100);
  EXPECT_EQ(r.theme.tempos[1], 120);
}

TEST(MidiWriters, FileWrittenByAbc2midiImports) {
  if (std::system("command -v abc2midi >/dev/null 2>&1") != 0) GTEST_SKIP() << "abcmidi is not installed";
  ScratchFolder dir;
  std::ofstream("tune.abc") << "X:1\nT:Prueba\nM:4/4\nL:1/4\nQ:1/4=100\nK:Am\n"
                               "E,, A,, D, G, | B, E A/2c/2 e | [E,,B,,E,]4 |]\n";
  ASSERT_EQ(std::system("abc2midi tune.abc -o tune.mid >/dev/null 2>&1"), 0);
  std::vector<uint8_t> file;
  std::string error;
  ASSERT_TRUE(LoadMidiFile("tune.mid", &file, &error)) << error;

  auto t = Theme({4});
  const MidiImportResult r = Import(file, *t);
  ASSERT_TRUE(r.taken);
  EXPECT_EQ(r.beatUnit, kMidiUnitQuarter);
  EXPECT_EQ(LinesContaining(r, "Comor"), 0);
  ASSERT_GE(r.track.size(), 12u);
  EXPECT_EQ(r.theme.times[0], 3);
  EXPECT_EQ(r.theme.tempos[0], 100);
  const int strings[] = {6, 5, 4, 3, 2, 1};
  for (int beat = 0; beat < 6; ++beat) {
    SCOPED_TRACE(beat);
    EXPECT_EQ(NotesIn(r.track[static_cast<size_t>(beat)]), 1);
    EXPECT_EQ(At(r.track[static_cast<size_t>(beat)], 0, strings[beat]).fret, 0);
    EXPECT_GT(At(r.track[static_cast<size_t>(beat)], 0, strings[beat]).strength, 0);
  }
  // Two eighths, A4 and C5, on the 1st string: two divisions.
  const TiempoG& eighths = r.track[6];
  EXPECT_EQ(eighths.divisions, 2);
  EXPECT_EQ(At(eighths, 0, 1).fret, 5);
  EXPECT_EQ(At(eighths, 1, 1).fret, 8);
  EXPECT_EQ(At(r.track[7], 0, 1).fret, 12);  // E5
  // The chord: E2, B2 and E3 at once.
  const TiempoG& chord = r.track[8];
  EXPECT_EQ(NotesIn(chord), 3);
  EXPECT_EQ(At(chord, 0, 6).fret, 0);
  EXPECT_EQ(At(chord, 0, 5).fret, 2);
  EXPECT_EQ(At(chord, 0, 4).fret, 2);
}
