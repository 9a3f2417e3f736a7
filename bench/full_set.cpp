#include "bench/full_set.h"

#include "content/synth.h"

std::unique_ptr<Workspace> FullSet(std::vector<std::string>* names, bool everyLevel) {
  auto w = std::make_unique<Workspace>();
  *names = FactorySoundNames();
  const int sounds = std::min<int>(static_cast<int>(names->size()), kProSoundCapacity);
  w->Bank->Clear(sounds);
  for (int j = 0; j < sounds; ++j) {
    const std::vector<int16_t> s = SynthesizeSound((*names)[static_cast<size_t>(j)]);
    w->Bank->Append(j, reinterpret_cast<const uint8_t*>(s.data()), s.size() * 2);
  }
  RhythmTables& rt = *w->Rhythm;
  rt.FormulaCount = kMaxFormulas;
  for (int f = 0; f < kMaxFormulas; ++f) {
    Formula& F = rt.Formulas[static_cast<size_t>(f)];
    F.SetHeader(12, 0);
    F.accents = 0x0924;
    for (int t = 0; t < 16; ++t) {
      F.sounds[t] = static_cast<uint8_t>(1 + (f + t) % sounds);
      for (int b = 0; b < 12; ++b) {
        if (everyLevel) {
          // Every level, and every formula a pattern of its own (the digits
          // of its number in base 7).
          const int digits[4] = {f % 7, f / 7 % 7, f / 49 % 7, f / 343};
          std::string strokes;
          for (int k = 0; k < 8; ++k) strokes += static_cast<char>('1' + (digits[k % 4] + b + t + k) % 7);
          CellFromStrokeText(strokes, &F.cells[b][t]);
        } else {
          CellFromStrokeText((f + b + t) % 3 ? "75757575" : "57575757", &F.cells[b][t]);
        }
        F.SetStrokeCount(b, t, 8);
      }
    }
  }
  rt.TemaCount = kMaxTemas;
  for (int t = 0; t < kMaxTemas; ++t) {
    Tema& th = rt.Temas[static_cast<size_t>(t)];
    InitNewTema(th, t == 0 ? 20 : 120);
    th.entryCount = kMaxEntries;
    for (int e = 0; e < kMaxEntries; ++e) {
      th.formulas[e] = static_cast<uint16_t>((t * 7 + e) % kMaxFormulas);
      th.times[e] = 1;
    }
    if (kMaxEntries < kEntrySlots) th.times[kMaxEntries] = 0;
  }
  return w;
}
