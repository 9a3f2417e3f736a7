#include "engine/normalize.h"

#include <algorithm>
#include <cstring>

void NormalizeTheme(EngineState& eng, RhythmTables& rt, const BancoSonidos& bank, int t) {
  if (t < 0 || t >= kMaxTemas) return;
  // What plays next must not change: keep the engine's beat context.
  const float bpm = eng.CurrentBpm;
  const int ms = eng.MsPerBeat, spb = eng.SamplesPerBeat;
  char bpmText[sizeof eng.BpmText];
  std::memcpy(bpmText, eng.BpmText, sizeof bpmText);
  const int8_t accel = eng.EntryAccel;
  const int beats = eng.FormulaBeats, start = eng.FormulaStartBeat;
  const int intro = eng.IntroCounter, ending = eng.EndingCounter;
  const TrackVoices voices = eng.Voices;
  const int clickLevel = eng.ClickLevel, clickSpacing = eng.ClickSpacing, clickCountdown = eng.ClickCountdown;
  const int32_t clickPattern = eng.ClickCurrentPattern;
  const int half = eng.OutputHalf, offset = eng.OutputOffset;
  const int formula = rt.CurrentFormula, tema = rt.CurrentTema;

  rt.CurrentTema = t;
  eng.ThemePlayback = true;
  eng.SilentMix = true;
  eng.MasterGain = 10.0f;
  eng.ClipCount = 0;  // clips of an earlier mix must not store 10.0 into this theme
  eng.IntroCounter = 0;
  eng.EndingCounter = 0;
  const Tema& th = rt.Temas[static_cast<size_t>(t)];
  const int entries = std::min<int>(th.entryCount, kMaxEntries);
  // Each entry is mixed at the tempo it starts with in playback, as the
  // sequence grid shows it: its own tempo where it has one, otherwise the
  // tempo carried on from the entries before, each of which adds its
  // acceleration once per repetition.
  float entryBpm = th.tempos[0] >= 20 && th.tempos[0] <= 400 ? th.tempos[0] : 120.0f;
  for (int e = 0; e < entries; ++e) {
    const int f = th.formulas[e];
    if (e > 0 && th.tempos[e] != 0) entryBpm = th.tempos[e];
    const float startBpm = ClampBpm(entryBpm);
    entryBpm = startBpm + static_cast<float>(th.times[e]) * static_cast<float>(th.accel[e]);
    if (f < 0 || f >= rt.FormulaCount || f >= kMaxFormulas) continue;
    rt.CurrentFormula = f;
    eng.FormulaBeats = rt.Formulas[static_cast<size_t>(f)].Beats();
    eng.FormulaStartBeat = rt.Formulas[static_cast<size_t>(f)].StartBeat();
    eng.EntryAccel = th.accel[e];
    eng.CurrentBpm = startBpm;
    for (int b = 0; b < eng.FormulaBeats && b < kMaxBeats; ++b) {
      eng.CurrentBeat = b;
      MixNextBeat(eng, rt, bank, MixerHooks{});
    }
    eng.ClipCount = 0;
  }
  eng.ThemePlayback = false;
  eng.SilentMix = false;
  eng.CurrentBeat = 0;

  eng.CurrentBpm = bpm;
  eng.MsPerBeat = ms;
  eng.SamplesPerBeat = spb;
  std::memcpy(eng.BpmText, bpmText, sizeof bpmText);
  eng.EntryAccel = accel;
  eng.FormulaBeats = beats;
  eng.FormulaStartBeat = start;
  eng.IntroCounter = intro;
  eng.EndingCounter = ending;
  eng.Voices = voices;
  eng.ClickLevel = clickLevel;
  eng.ClickSpacing = clickSpacing;
  eng.ClickCountdown = clickCountdown;
  eng.ClickCurrentPattern = clickPattern;
  eng.OutputHalf = half;
  eng.OutputOffset = offset;
  rt.CurrentFormula = formula;
  rt.CurrentTema = tema;
}
