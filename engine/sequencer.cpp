// The sequencer's theme logic, on the records.
#include "engine/sequencer.h"

#include <algorithm>

#include "engine/mixer.h"
#include "rhythm/editor_logic.h"

ThemePlan MakeThemePlan(const RhythmTables& rt, int t, int formulaCount) {
  ThemePlan p;
  p.formulaCount = std::clamp(formulaCount, 0, kMaxFormulas);
  if (t < 0 || t >= kMaxTemas) return p;
  p.tema = t;
  const Tema& th = rt.Temas[static_cast<size_t>(t)];
  const SequenceFill fill = ComputeSequence(th, rt.Formulas.data(), p.formulaCount);
  for (size_t r = 0; r + 1 < fill.rows.size(); ++r) {
    const SequenceRow& sr = fill.rows[r];
    PlanEntry e;
    // A slot with no repetitions inside the list shows only its compás and
    // tempo: it names no formula.
    e.formula = sr.entry ? sr.formula - 1 : -1;
    e.times = sr.times;
    e.tempo = ReadDecimal(sr.tempo);
    e.accel = sr.accel;
    e.firstCompas = sr.compas;
    p.entries.push_back(e);
  }
  p.compasCount = fill.compasCount;
  p.endTempo = fill.rows.empty() ? 0 : ReadDecimal(fill.rows.back().tempo);
  p.parts = th.Parts() == 127 ? 0 : th.Parts();
  p.inOrder = th.InOrder();
  p.introBeats = th.Intro() > 12 ? 0 : th.Intro();
  p.endBeats = th.Ending() > 12 ? 0 : th.Ending();
  return p;
}

int RandomBelow(SequencerRandom& rng, int n) {
  if (n < 1) return 0;
  return std::uniform_int_distribution<int>(0, n - 1)(rng);
}

namespace {

int ClampFormula(int f) { return std::clamp(f, 0, kMaxFormulas - 1); }

// The beats and first beat of the formula in play, as its header holds them.
void LoadFormulaBeats(EngineState& E, const RhythmTables& rt) {
  const Formula& F = rt.Formulas[static_cast<size_t>(ClampFormula(rt.CurrentFormula))];
  E.FormulaBeats = F.Beats();
  E.FormulaStartBeat = F.StartBeat();
}

void ClearPlayed(EngineState& E) { E.PlayedEntries.fill(0); }

}  // namespace

void LoadPlayFormula(EngineState& E, RhythmTables& rt, int f) {
  rt.CurrentFormula = ClampFormula(f);
  LoadFormulaBeats(E, rt);
  if (E.FormulaBeats == 0 || E.FormulaBeats > kMaxBeats) {
    E.FormulaBeats = 12;
    E.FormulaStartBeat = 0;
  }
}

void SelectPlanRowTempo(const ThemePlan& plan, EngineState& E, int row, bool playing) {
  if (row < 1 || row > plan.EndRow()) return;
  E.EntryRow = row;
  const PlanEntry* e = plan.Row(row);
  E.EntryAccel = static_cast<int8_t>((e ? e->accel : 0) & 0xFF);
  // A blank tempo keeps the tempo playing.
  const int b = plan.TempoOf(row);
  if (b >= 20 && b <= 400) E.CurrentBpm = static_cast<float>(b);
  if (!playing) E.CurrentCompas = e ? e->firstCompas : plan.compasCount;
}

bool SelectPlanRow(const ThemePlan& plan, EngineState& E, RhythmTables& rt, int row, bool evenIfSelected,
                   bool playing) {
  if (row < 1 || row > plan.EndRow()) return false;
  if (row == E.EntryRow && !evenIfSelected) return true;
  SelectPlanRowTempo(plan, E, row, playing);
  const PlanEntry* e = plan.Row(row);
  if (!e) return true;  // the end row
  if (e->formula >= 0 && e->formula < plan.formulaCount) LoadPlayFormula(E, rt, e->formula);
  E.RepeatsLeft = std::max(0, e->times - 1);
  E.CurrentBeat = 0;
  return true;
}

void StartThemeEntry(const ThemePlan& plan, EngineState& E, RhythmTables& rt, SequencerRandom& rng) {
  if (E.EntryRow >= plan.EndRow()) SelectPlanRow(plan, E, rt, 1, false, false);
  const int entries = static_cast<int>(plan.entries.size());
  if (E.PlayFromBar) {
    // The guitar asks to start at its bar (left in CurrentCompas): the entry
    // that holds it. Moving to the entry sets the counter to its first
    // compás, so the bar is put back.
    const int bar = E.CurrentCompas;
    for (int i = 1; i <= entries && E.PlayFromBar; ++i) {
      const int next = i < entries ? plan.entries[static_cast<size_t>(i)].firstCompas : plan.compasCount;
      if (next > bar) {
        SelectPlanRow(plan, E, rt, i, false, false);
        E.CurrentCompas = bar;
        E.PlayFromBar = false;
      }
    }
    // No entry holds that bar: the flag stays, and the entry in play starts
    // from its first compás.
    if (E.PlayFromBar && plan.Row(E.EntryRow)) E.CurrentCompas = plan.Row(E.EntryRow)->firstCompas;
  } else if (!E.ThemeInOrder) {
    // Never the last entry first, when there are two or more.
    const int r = RandomBelow(rng, entries - 1) + 1;
    ClearPlayed(E);
    E.PlayedEntries[static_cast<size_t>(r - 1)] += 1;
    SelectPlanRow(plan, E, rt, r, true, false);
    E.CurrentCompas = 1;
  } else if (plan.Row(E.EntryRow)) {
    E.CurrentCompas = plan.Row(E.EntryRow)->firstCompas;
  }
}

void StartThemeCounters(const ThemePlan& plan, EngineState& E, RhythmTables& rt, const EditionRules& rules) {
  const PlanEntry* e = plan.Row(E.EntryRow);
  // The formula of the entry in play, whatever formula was shown last.
  if (e && e->formula >= 0 && e->formula < plan.formulaCount) LoadPlayFormula(E, rt, e->formula);
  E.ThemePlayback = true;
  // The basic edition plays the intro wherever the theme starts.
  E.IntroCounter = rules.basicPlay || E.CurrentCompas == 1 ? E.ThemeIntroBeats : 0;
  E.PartsCounter = E.ThemeParts;
  // The basic edition starts an entry from its first compás: the repetitions after this one.
  if (rules.basicPlay) E.RepeatsLeft = e ? std::max(0, e->times - 1) : 0;
  if (E.IntroCounter != 0) {
    E.CurrentCompas -= 1;  // the first compás after the intro is counted with the entry's own number
    E.EntryAccel = 0;
  } else if (e) {
    if (!rules.basicPlay) {
      const int offset = E.CurrentCompas - e->firstCompas + 1;
      E.RepeatsLeft = std::max(0, e->times - offset);
    }
    E.EntryAccel = static_cast<int8_t>(e->accel & 0xFF);
  }
}

BeatCue StepBeat(const ThemePlan& plan, EngineState& E, RhythmTables& rt, const EditionRules& rules,
                 SequencerRandom& rng) {
  BeatCue cue;
  E.CurrentBeat += 1;
  E.SoundingBeat = E.CurrentBeat;
  cue.beat = E.CurrentBeat;
  cue.compasBeats = E.FormulaBeats;
  {
    const Formula& F = rt.Formulas[static_cast<size_t>(ClampFormula(rt.CurrentFormula))];
    cue.countByAccents = F.CountByAccents();
    int t = cue.countByAccents ? E.CurrentBeat - 1 : E.CurrentBeat + E.FormulaStartBeat - 1;
    if (t >= 12) t -= 12;
    if (t >= 0 && t < 12) {
      cue.label = t;
      E.LampCountdown = static_cast<int>(3000.0f / E.CurrentBpm);  // half a beat in 10 ms ticks
      const int box = E.CurrentBeat - 1;
      cue.accent = box >= 0 && box < 12 && F.Accented(box);
    }
  }

  auto finish = [&] {
    cue.row = E.EntryRow;
    cue.formula = rt.CurrentFormula;
    cue.bpm = E.CurrentBpm;
    cue.accel = E.EntryAccel;
    cue.compas = E.CurrentCompas;
    cue.repeatsLeft = E.RepeatsLeft;
    cue.partsLeft = E.PartsCounter;
    cue.intro = E.IntroCounter != 0;
    cue.ending = E.EndingCounter != 0;
    return cue;
  };
  cue.beatCompas = E.CurrentCompas;
  cue.beatIntro = E.IntroCounter != 0;
  if (E.CurrentBeat < E.FormulaBeats) return finish();
  E.CurrentBeat = 0;
  cue.compasEnded = true;
  if (!E.ThemePlayback) return finish();  // a formula loop starts again

  auto select = [&](int row, bool even) {
    const float bpm = E.CurrentBpm;
    SelectPlanRow(plan, E, rt, row, even, true);
    if (rules.basicPlay) E.CurrentBpm = bpm;  // the row's tempo is not taken
  };
  enum Step { REPEAT, END, PICK, ADVANCE, DONE } step;
  if (E.IntroCounter != 0) {
    E.IntroCounter = 0;
    const PlanEntry* e = plan.Row(E.EntryRow);
    E.RepeatsLeft = e ? e->times : 0;
    E.EntryAccel = static_cast<int8_t>((e ? e->accel : 0) & 0xFF);
    LoadFormulaBeats(E, rt);
    step = REPEAT;
  } else {
    step = E.ThemeInOrder ? REPEAT : PICK;
  }
  // A theme whose entries all have 0 repetitions would pick nothing forever.
  for (int guard = 0; step != DONE && guard < 16; ++guard) {
    switch (step) {
      case REPEAT:
        if (E.RepeatsLeft > 0) {
          E.RepeatsLeft -= 1;
          step = ADVANCE;
        } else if (E.EntryRow < plan.EndRow() - 1) {
          select(E.EntryRow + 1, false);
          step = ADVANCE;
        } else {
          step = END;
        }
        break;
      case END:
        if (E.EndingCounter != 0) {
          E.EndingCounter = 0;
        } else {
          E.EndingCounter = E.ThemeEndBeats;
          if (E.PartsCounter > 0) {
            E.PartsCounter -= 1;
            if (E.PartsCounter == 0) {
              E.StopFromSequencer = true;
              cue.stopped = true;
              return finish();
            }
          }
        }
        if (E.EndingCounter != 0) {
          step = ADVANCE;  // the ending compás plays next
        } else {
          E.CurrentCompas = 0;
          if (plan.TempoOf(1) != 0) E.CurrentBpm = static_cast<float>(plan.TempoOf(1));
          if (E.ThemeInOrder) {
            // Even when row 1 is already in play (a one-entry theme) its
            // repetitions and formula are taken again for the new pass.
            select(1, true);
            step = ADVANCE;
          } else {
            ClearPlayed(E);
            step = PICK;
          }
        }
        break;
      case PICK: {
        const int n = std::min<int>(static_cast<int>(plan.entries.size()), kPlayedEntrySlots);
        int r = RandomBelow(rng, n) + 1;
        const int first = r;
        bool found = n > 0;
        while (found && E.PlayedEntries[static_cast<size_t>(r - 1)] >= plan.entries[static_cast<size_t>(r - 1)].times) {
          r += E.WalkStep;
          if (r < 1) r = n;
          if (r > n) r = 1;
          if (r == first) found = false;
        }
        if (!found) {
          step = END;  // every entry has had its repetitions in this pass
          break;
        }
        // The same entry picked again keeps its tempo running on: only a new
        // row takes the row's tempo.
        select(r, false);
        E.EntryAccel = static_cast<int8_t>(plan.entries[static_cast<size_t>(r - 1)].accel & 0xFF);
        LoadFormulaBeats(E, rt);
        E.PlayedEntries[static_cast<size_t>(r - 1)] += 1;
        E.WalkStep = -E.WalkStep;
        step = ADVANCE;
        break;
      }
      case ADVANCE:
        if (!rules.wrapCompas || E.CompasCount - 1 > E.CurrentCompas)
          E.CurrentCompas += 1;
        else
          E.CurrentCompas = 1;
        step = DONE;
        break;
      case DONE:
        break;
    }
  }
  if (step != DONE) {  // nothing playable is left
    E.StopFromSequencer = false;
    cue.stopped = true;
  }
  return finish();
}

bool RunThemeSilently(const ThemePlan& plan, EngineState& E, RhythmTables& rt, const BancoSonidos& bank,
                      const MixerHooks& hooks, const std::function<bool()>& afterBeat, const EditionRules& rules) {
  MixerHooks silent;
  silent.EncolaG = hooks.EncolaG;
  E.ThemePlayback = true;
  E.SilentMix = true;
  E.OutputHalf = 0;
  E.OutputOffset = 0;
  E.ThemeInOrder = true;
  E.ThemeIntroBeats = plan.introBeats;
  E.ThemeEndBeats = plan.endBeats;
  E.ThemeParts = std::max(plan.parts, 1);
  E.CompasCount = plan.compasCount;
  E.PlayFromBar = false;
  E.StopFromSequencer = false;
  E.IntroCounter = 0;
  E.EndingCounter = 0;
  // From silent tracks: what still rang when a playback or an earlier run
  // stopped is no part of this theme, so every run of it gives the same beats.
  E.Voices = TrackVoices{};
  SelectPlanRow(plan, E, rt, 1, true, false);
  // The beat length of the first row's tempo: the basic mix keeps the one
  // standing through an intro.
  SetTempo(E, E.CurrentBpm);
  StartThemeCounters(plan, E, rt, rules);
  E.CurrentBeat = 0;
  SequencerRandom rng;  // never drawn in order
  bool ok = true;
  for (;;) {
    MixNextBeat(E, rt, bank, silent);
    if (afterBeat && !afterBeat()) {
      ok = false;
      break;
    }
    if (StepBeat(plan, E, rt, rules, rng).stopped) break;
  }
  E.StopFromSequencer = false;
  E.ThemePlayback = false;
  E.SilentMix = false;
  E.CurrentBeat = 0;
  E.IntroCounter = 0;
  E.EndingCounter = 0;
  return ok;
}
