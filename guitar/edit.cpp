#include "guitar/edit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kPercent = 100;

DivisionG& Division(GuitarState& g, const TabEditor& ed) { return g.CurrentTiempoG.division[ed.EditDivision]; }

int StoredDelay(const DivisionG& d, int s) { return std::min<int>(d.delay[s], kMaxDelay); }

// Keeps the box on a division of the beat and on a string (the beat's count
// may have changed under it).
void KeepBoxInBeat(const TiempoG& beat, TabEditor& ed) {
  ed.EditDivision = std::clamp(ed.EditDivision, 0, DivisionCount(beat) - 1);
  ed.EditString = std::clamp(ed.EditString, 0, kGuitarStrings - 1);
}

void NewHint(TabEditor& ed) { ed.hint = EditHint(ed); }

// Draw, write back, mark; with Alt held the division under the box also goes
// into the chord grid.
void Commit(EditContext& c, bool alt, EditEffect& e) {
  e.drawBeatView = true;
  StoreCurrentBeat(c.g);
  e.drawBarView = true;
  c.g.Modified = true;
  if (alt) {
    c.ed.SelectedDivision = c.ed.EditDivision;
    e.chordFromDivision = CopyDivisionToChord(c.g.CurrentTiempoG, c.ed.SelectedDivision, c.chords, c.tuning, c.capo);
  }
}

int LastBar(const GuitarState& g) { return std::min(g.GuitarBarCount, BarsInTable(g)); }

// The cursor on beat `beat` of bar `bar`, CurrentTiempoG read from its slot.
void MoveCursor(GuitarState& g, int bar, int beat) {
  g.GuitarBar = bar;
  g.GuitarBeatsInBar = BeatsInBar(g, bar);
  g.GuitarBeat = beat;
  ReadCursorBeat(g);
}

// The beat after the cursor's: the next beat of the bar, else the first of the
// next bar; at the end of the track the cursor stays. Returns whether it moved.
bool NextBeat(GuitarState& g, EditEffect& e) {
  if (g.GuitarBeat < BeatsInBar(g, g.GuitarBar)) {
    MoveCursor(g, g.GuitarBar, g.GuitarBeat + 1);
    e.beatDisplay = true;
    return true;
  }
  if (g.GuitarBar < LastBar(g) && BeatsInBar(g, g.GuitarBar + 1) > 0) {
    MoveCursor(g, g.GuitarBar + 1, 1);
    e.barDisplay = e.beatDisplay = e.drawBarView = true;
    return true;
  }
  return false;
}

void ShowMovedBox(EditContext& c, EditEffect& e) {
  NewHint(c.ed);
  PlaceBox(c.g.CurrentTiempoG, c.ed, c.chords.tab);
  c.ed.boxVisible = true;
  e.focusBox = true;
  c.ed.FretDigitPending = 0;
}

void PreviousDivision(EditContext& c, EditEffect& e) {
  GuitarState& g = c.g;
  if (c.ed.EditDivision > 0) {
    --c.ed.EditDivision;
  } else if (g.GuitarBeat > 1) {
    MoveCursor(g, g.GuitarBar, g.GuitarBeat - 1);
    e.beatDisplay = true;
    c.ed.EditDivision = DivisionCount(g.CurrentTiempoG) - 1;
  } else if (g.GuitarBar > 1 && BeatsInBar(g, g.GuitarBar - 1) > 0) {
    MoveCursor(g, g.GuitarBar - 1, BeatsInBar(g, g.GuitarBar - 1));
    e.barDisplay = e.drawBarView = e.beatDisplay = true;
    c.ed.EditDivision = DivisionCount(g.CurrentTiempoG) - 1;
  }
  ShowMovedBox(c, e);
}

void NextDivision(EditContext& c, EditEffect& e) {
  if (c.ed.EditDivision < DivisionCount(c.g.CurrentTiempoG) - 1) {
    ++c.ed.EditDivision;
  } else {
    c.ed.EditDivision = 0;
    NextBeat(c.g, e);
  }
  ShowMovedBox(c, e);
}

// R: the division under the box copied into the next one, which may be the
// first of the next beat.
void RepeatDivision(EditContext& c, EditEffect& e) {
  const DivisionG copy = Division(c.g, c.ed);
  if (c.ed.EditDivision < DivisionCount(c.g.CurrentTiempoG) - 1) {
    ++c.ed.EditDivision;
  } else {
    NextBeat(c.g, e);
    c.ed.boxVisible = true;
    c.ed.EditDivision = 0;
  }
  Division(c.g, c.ed) = copy;
  StoreCurrentBeat(c.g);
  // The track changed: closing the panel must offer to save it.
  c.g.Modified = true;
  e.drawBeatView = e.drawBarView = true;
  PlaceBox(c.g.CurrentTiempoG, c.ed, c.chords.tab);
}

// Alt+Up / Alt+Down: the note under the box and its neighbour change strings,
// each keeping its pitch.
void MoveNoteToString(EditContext& c, int target, EditEffect& e) {
  const int from = c.ed.EditString;
  if (target < 0 || target >= kGuitarStrings) return;
  const int a = std::min(from, target);
  const int b = a + 1;
  const int interval = c.tuning.StringTuning[static_cast<size_t>(b)] - c.tuning.StringTuning[static_cast<size_t>(a)];
  DivisionG& d = Division(c.g, c.ed);
  const int f = d.strength[a] != 0 ? d.fret[a] : interval;
  if (f < interval) return;
  const int toA = d.fret[b] + interval;  // the note of b, on string a
  const int toB = f - interval;          // the note of a, on string b
  if (toA < 0 || toA > UINT8_MAX || toB < 0 || toB > UINT8_MAX) return;
  const DivisionG old = d;
  d.fret[a] = static_cast<uint8_t>(toA);
  d.strength[a] = old.strength[b];
  d.mode[a] = old.mode[b];
  d.delay[a] = old.delay[b];
  d.fret[b] = static_cast<uint8_t>(toB);
  d.strength[b] = old.strength[a];
  d.mode[b] = old.mode[a];
  d.delay[b] = old.delay[a];
  c.ed.EditString = target;
  PlaceBox(c.g.CurrentTiempoG, c.ed, c.chords.tab);
  c.ed.FretDigitPending = 0;
  Commit(c, true, e);
  e.finish = true;
}

void TypeDigit(EditContext& c, int digit, EditEffect& e) {
  TabEditor& ed = c.ed;
  ed.FretDigits[ed.FretDigitPending] = static_cast<char>('0' + digit);
  if (ed.FretDigitPending == 0) {
    ed.FretDigits[1] = '\0';
    ed.FretDigitPending = digit <= 1 ? 1 : 0;
  } else {
    ed.FretDigitPending = 0;
  }
  ed.FretDigits[2] = '\0';
  DivisionG& d = Division(c.g, ed);
  d.fret[ed.EditString] = static_cast<uint8_t>(std::atoi(ed.FretDigits));
  if (d.strength[ed.EditString] == 0) d.strength[ed.EditString] = kNoteStrength;
  Commit(c, false, e);
  e.finish = true;
}

EditEffect CtrlKey(EditContext& c, int key) {
  EditEffect e;
  DivisionG& d = Division(c.g, c.ed);
  const int s = c.ed.EditString;
  switch (key) {
    case editkey::kLetterA + ('G' - 'A'):
    case editkey::kLetterA + ('S' - 'A'):
      e.saveTrack = true;
      c.ed.ctrlInfoVisible = false;
      e.focusBox = true;
      return e;
    case editkey::kLeft:
    case editkey::kRight: {
      int delay = StoredDelay(d, s);
      if (key == editkey::kLeft && delay > 0) --delay;
      if (key == editkey::kRight && delay < kMaxDelay) ++delay;
      d.delay[s] = static_cast<uint8_t>(delay);
      PlaceBox(c.g.CurrentTiempoG, c.ed, c.chords.tab);
      break;
    }
    case editkey::kUp:
      if (d.strength[s] < kMaxNoteStrength) ++d.strength[s];
      break;
    case editkey::kDown:
      if (d.strength[s] > 1) --d.strength[s];
      break;
    default:
      return e;
  }
  Commit(c, false, e);
  e.finish = true;
  return e;
}

EditEffect PlainKey(EditContext& c, int key) {
  EditEffect e;
  e.finish = true;
  TabEditor& ed = c.ed;
  DivisionG& d = Division(c.g, ed);
  const int s = ed.EditString;
  if (key >= editkey::kDigit0 && key <= editkey::kDigit0 + 9) {
    TypeDigit(c, key - editkey::kDigit0, e);
    return e;
  }
  if (key >= editkey::kKeypad0 && key <= editkey::kKeypad0 + 9) {
    const int n = key == editkey::kKeypad0 ? 10 : key - editkey::kKeypad0;
    return ChangeDivisionCount(c, n);
  }
  const auto setMode = [&](int mode) {
    d.mode[s] = mode;
    Commit(c, false, e);
  };
  switch (key) {
    case editkey::kBackspace:
    case editkey::kDelete:
      d.strength[s] = 0;
      Commit(c, false, e);
      break;
    case editkey::kLetterA + ('N' - 'A'): setMode(kModeNormal); break;
    case editkey::kLetterA + ('L' - 'A'): setMode(kModeLigado); break;
    case editkey::kLetterA + ('T' - 'A'): setMode(kModeTapado); break;
    case editkey::kLetterA + ('S' - 'A'): setMode(kModeSilencio); break;
    case editkey::kLetterA + ('R' - 'A'): RepeatDivision(c, e); break;
    case editkey::kLeft: PreviousDivision(c, e); break;
    case editkey::kRight: NextDivision(c, e); break;
    case editkey::kUp:
    case editkey::kDown: {
      // Up goes one string up on screen: towards the 1st string with CBTab
      // checked, towards the 6th unchecked.
      const bool towardsFirst = (key == editkey::kUp) == c.chords.tab;
      ed.EditString = (ed.EditString + (towardsFirst ? 1 : kGuitarStrings - 1)) % kGuitarStrings;
      NewHint(ed);
      PlaceBox(c.g.CurrentTiempoG, ed, c.chords.tab);
      ed.FretDigitPending = 0;
      break;
    }
    case editkey::kEnter:
    case editkey::kEscape:
      ed.boxVisible = false;
      break;
    default:
      break;
  }
  return e;
}

}  // namespace

int DivisionCount(const TiempoG& beat) { return std::clamp<int>(beat.divisions, 1, kMaxDivisions); }

std::string BoxText(const TiempoG& beat, const TabEditor& ed) {
  if (!DivisionInBeat(beat, ed.EditDivision) || ed.EditString < 0 || ed.EditString >= kGuitarStrings) return {};
  const DivisionG& d = beat.division[ed.EditDivision];
  return d.strength[ed.EditString] != 0 ? std::to_string(d.fret[ed.EditString]) : std::string();
}

std::string StatusText(const TiempoG& beat, const TabEditor& ed, bool english) {
  if (ed.EditDivision < 0 || ed.EditDivision >= kMaxDivisions || ed.EditString < 0 || ed.EditString >= kGuitarStrings)
    return {};
  const DivisionG& d = beat.division[ed.EditDivision];
  char text[64];
  std::snprintf(text, sizeof text, "F%d R%d%% %s", d.strength[ed.EditString], d.delay[ed.EditString],
                ModeCaption(d.mode[ed.EditString], english).c_str());
  return text;
}

std::string EditHint(const TabEditor& ed) {
  return "( Parte " + std::to_string(ed.EditDivision + 1) + ", Cuerda " +
         std::to_string(kGuitarStrings - ed.EditString) + ")";
}

void PlaceBox(const TiempoG& beat, TabEditor& ed, bool tab) {
  KeepBoxInBeat(beat, ed);
  const int n = DivisionCount(beat);
  const int delay = StoredDelay(beat.division[ed.EditDivision], ed.EditString);
  ed.boxLeft = kChartWidth * ed.EditDivision / n + (delay * kChartWidth / n) / kPercent + kChartLeft;
  ed.boxTop = kChartTop + kChartRowHeight * (tab ? kGuitarStrings - 1 - ed.EditString : ed.EditString);
}

EditEffect ClickTablature(EditContext& c, bool leftButton, int x, int y, double divisionAxis, double stringAxis) {
  EditEffect e;
  if (c.playing) return e;
  TabEditor& ed = c.ed;
  const TiempoG& beat = c.g.CurrentTiempoG;
  const bool finite = std::isfinite(divisionAxis) && std::isfinite(stringAxis) && std::abs(divisionAxis) < 1e6 &&
                      std::abs(stringAxis) < 1e6;
  const int d = finite ? static_cast<int>(divisionAxis) : -1;
  const int s = finite ? static_cast<int>(stringAxis) - (c.chords.tab ? 1 : 0) : -1;
  ed.boxVisible = false;
  e.finish = true;
  // A division or string outside the beat is no place for the box nor for the
  // division operations.
  if (!DivisionInBeat(beat, d) || s < 0 || s >= kGuitarStrings) return e;
  ed.SelectedDivision = d;
  if (!leftButton) {
    e.popup = true;
    return e;
  }
  if (x < kChartLeft || x > kChartLeft + kChartWidth || y < kChartTop || y > kChartBottom) return e;
  ed.EditDivision = d;
  ed.EditString = kGuitarStrings - 1 - s;
  NewHint(ed);
  const int n = DivisionCount(beat);
  const DivisionG& div = beat.division[d];
  ed.boxTop = c.chords.tab ? kChartTop + kChartRowHeight * s : kChartBottom - 16 - kChartRowHeight * s;
  ed.boxLeft = kChartWidth * d / n + kChartLeft;
  if (div.strength[ed.EditString] != 0) ed.boxLeft += (StoredDelay(div, ed.EditString) * kChartWidth / n) / kPercent;
  ed.boxVisible = true;
  e.focusBox = true;
  ed.FretDigitPending = 0;
  return e;
}

EditEffect EditKeyDown(EditContext& c, int key, bool ctrl, bool alt) {
  EditEffect e;
  TabEditor& ed = c.ed;
  if (!ed.boxVisible) {
    ed.boxVisible = true;
    // The beat may have fewer divisions than when the box was hidden.
    if (!DivisionInBeat(c.g.CurrentTiempoG, ed.EditDivision)) PlaceBox(c.g.CurrentTiempoG, ed, c.chords.tab);
    return e;
  }
  if (key == editkey::kControl) ed.ctrlInfoVisible = true;
  if (c.playing) {
    // The sequencer keeps replacing CurrentTiempoG with the beat it mixes:
    // only keys that leave the track alone act.
    if (ctrl && !alt && (key == editkey::kLetterA + ('G' - 'A') || key == editkey::kLetterA + ('S' - 'A'))) {
      e.saveTrack = true;
      ed.ctrlInfoVisible = false;
      e.focusBox = true;
    } else if (!ctrl && !alt && (key == editkey::kEnter || key == editkey::kEscape)) {
      ed.boxVisible = false;
    }
    return e;
  }
  KeepBoxInBeat(c.g.CurrentTiempoG, ed);
  if (alt) {
    if (key == editkey::kUp || key == editkey::kDown) {
      const bool towardsFirst = (key == editkey::kUp) == c.chords.tab;
      MoveNoteToString(c, ed.EditString + (towardsFirst ? 1 : -1), e);
    }
    return e;
  }
  if (ctrl) return CtrlKey(c, key);
  return PlainKey(c, key);
}

void EditKeyUp(TabEditor& ed, int key) {
  if (key == editkey::kControl) ed.ctrlInfoVisible = false;
}

std::optional<TiempoG> RequantiseBeat(const TiempoG& beat, int newCount) {
  if (newCount < 1 || newCount > kMaxDivisions) return std::nullopt;
  const int old = DivisionCount(beat);
  TiempoG out{};
  out.divisions = static_cast<uint8_t>(newCount);
  for (int k = 0; k < old; ++k) {
    const DivisionG& from = beat.division[k];
    for (int j = 0; j < kGuitarStrings; ++j) {
      if (from.strength[j] == 0) continue;
      const int pos = (StoredDelay(from, j) + kPercent * k) / old;  // whole percent of the beat, 0..99
      const int slot = pos * newCount / kPercent;
      DivisionG& to = out.division[slot];
      if (to.strength[j] != 0) return std::nullopt;
      to.fret[j] = from.fret[j];
      to.strength[j] = from.strength[j];
      to.mode[j] = from.mode[j];
      to.delay[j] = static_cast<uint8_t>(pos * newCount % kPercent);
    }
  }
  return out;
}

EditEffect ChangeDivisionCount(EditContext& c, int newCount) {
  EditEffect e;
  if (c.playing) return e;
  c.ed.boxVisible = false;
  const int old = DivisionCount(c.g.CurrentTiempoG);
  if (newCount != old) {
    const std::optional<TiempoG> beat = RequantiseBeat(c.g.CurrentTiempoG, newCount);
    if (!beat) return e;
    c.g.CurrentTiempoG = *beat;
    c.g.Modified = true;
  }
  e.divisionCount = true;
  StoreCurrentBeat(c.g);
  e.drawBeatView = true;
  return e;
}

EditEffect StepDivisionCount(EditContext& c, int step) {
  const int n = DivisionCount(c.g.CurrentTiempoG);
  const int target = n + (step < 0 ? -1 : 1);
  if (target < 1 || target > kMaxDivisions) return {};
  return ChangeDivisionCount(c, target);
}

void PrepareChordTransfer(TabEditor& ed) {
  if (!ed.boxVisible) ed.EditDivision = 0;
  ed.SelectedDivision = ed.EditDivision;
}
