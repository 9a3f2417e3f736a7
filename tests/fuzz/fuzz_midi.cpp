// A MIDI file imported into a small theme's guitar track, under a beat unit,
// a tuning and a theme taken from the first bytes: every beat stays a valid
// record whose notes sound notes of the table, the theme and its bar table
// agree, and an import that takes no track leaves the guitar state alone.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "guitar/bars.h"
#include "guitar/midi.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

void CheckBeat(const TiempoG& t, const GuitarTuning& tuning) {
  Check(t.divisions >= 1 && t.divisions <= kMaxDivisions);
  for (int d = 0; d < kMaxDivisions; ++d)
    for (int i = 0; i < kGuitarStrings; ++i) {
      const DivisionG& dv = t.division[d];
      if (dv.strength[i] == 0) continue;
      Check(d < t.divisions);
      Check(dv.strength[i] <= 7 && dv.delay[i] <= 99 && dv.mode[i] == kModeNormal);
      Check(NoteInTable(tuning.StringTuning[static_cast<size_t>(i)] + dv.fret[i]));
    }
}

void Run(const uint8_t* data, size_t size) {
  static std::unique_ptr<RhythmTables> tables = RhythmTables::Create();
  static const uint16_t units[] = {kMidiUnitFromFile, kMidiUnitHalf, kMidiUnitDottedQuarter, kMidiUnitQuarter,
                                   kMidiUnitDottedEighth, kMidiUnitEighth, 0x0100, 0x0005};
  // Byte 0: the unit and the tuning; byte 1: the theme.
  const uint16_t unit = units[data[0] & 7];
  GuitarTuning tuning;
  if (data[0] & 0x80) ApplyTuning(tuning, {(data[0] >> 3) & 3, 0, -((data[0] >> 5) & 1), 0, 2, 0});
  for (int f = 0; f < 3; ++f) tables->Formulas[static_cast<size_t>(f)].SetHeader(f == 0 ? 0 : f + 2 + (data[1] & 1), 0);
  Tema theme;
  InitNewTema(theme, 120);
  theme.entryCount = static_cast<uint16_t>((data[1] >> 1) & 3);
  for (int e = 0; e < 3; ++e) {
    theme.formulas[e] = static_cast<uint16_t>((e + (data[1] >> 3)) % 3);
    theme.times[e] = static_cast<uint8_t>(data[1] & 0x40 ? 254 : 1 + e);
  }
  tables->Temas[0] = theme;
  const uint8_t* file = data + 2;
  const size_t fileSize = size - 2;

  const MidiImportResult r = ImportMidi(file, fileSize, theme, tables->Formulas.data(), tuning, unit);
  Check(r.log.size() <= kMaxMidiLogLines + 1);
  Check(r.tempoChanges.size() <= kMaxTempoChanges);
  for (const MidiTempoChange& c : r.tempoChanges) Check(c.bpm >= kMinThemeTempo && c.bpm <= kMaxThemeTempo);
  // Every import either takes a track or says why it took none.
  Check(r.taken == (r.failure == MidiFailure::None));
  Check(r.taken == MidiFailureText(r, true).empty());
  if (!r.taken) {
    Check(r.track.empty() && r.bars.empty());
  } else {
    Check(r.headerFound);
    for (const TiempoG& t : r.track) CheckBeat(t, tuning);
    Check(r.bars == BuildBarTable(r.theme, tables->Formulas.data()));
    const size_t themeBeats = r.bars.back() / kBeatBytes;
    Check(r.track.size() >= themeBeats);
    Check(r.track.size() <= std::max(kMaxMidiTrackBeats, themeBeats));
    for (int e = 0; e < 3; ++e) Check(r.theme.times[e] >= theme.times[e]);
    for (int e = 0; e < 256; ++e)
      Check(r.theme.tempos[e] == theme.tempos[e] || (r.theme.tempos[e] >= kMinThemeTempo && r.theme.tempos[e] <= kMaxThemeTempo));
  }

  // The same through the button's flow: a guitar state changes only when a
  // track is taken, and then its cursor's beat is the track's first.
  GuitarState g;
  g.GuitarTrack.assign(2, EmptyTiempoG());
  g.GuitarBars = {0, 2 * kBeatBytes};
  g.GuitarBarCount = 1;
  ReadCursorBeat(g);
  MidiImportSession s;
  s.MidiBeatUnit = unit;
  const std::vector<uint8_t> bytes(file, file + fileSize);
  const MidiImportResult again = RunMidiImport(s, *tables, 0, g, tuning, bytes);
  Check(again.taken == r.taken && again.track.size() == r.track.size());
  if (!again.taken) {
    Check(g.GuitarTrack.size() == 2 && !g.Modified && std::memcmp(&tables->Temas[0], &theme, sizeof(Tema)) == 0);
    Check(s.MidiBeatUnit == unit);
  } else {
    Check(g.Modified && g.GuitarBar == 1 && g.GuitarBeat == 1);
    const TiempoG first = BeatsInBar(g, 1) > 0 ? g.GuitarTrack[0] : EmptyTiempoG();
    Check(std::memcmp(&g.CurrentTiempoG, &first, sizeof(TiempoG)) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  Run(data, size);
  return 0;
}
