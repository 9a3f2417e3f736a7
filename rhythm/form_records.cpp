// Records in the window: the modified mark, new/cleared formulas and themes,
// the formula clipboard and the selections that load a record.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <cstring>

#include "app/mainform.h"
#include "app/string_grid.h"
#include "platform/text.h"

void TMainForm::Cambios() {
  if (Timer1->isActive() && Engine->ThemePlayback) return;
  botonrec->setVisible(true);
  TapaRec->setVisible(false);
}

void TMainForm::ClearModified() {
  botonrec->setVisible(false);
  TapaRec->setVisible(true);
}

bool TMainForm::Modified() const { return !botonrec->isHidden(); }

void TMainForm::FillFormulaRow(int i) {
  const Formula& f = Rhythm->Formulas[i];
  SGFormulas->SetCells(0, i + 1, QString::number(i + 1));
  SGFormulas->SetCells(1, i + 1, QString::number(f.Beats()));
  SGFormulas->SetCells(2, i + 1, L1(f.Name()));
  SGFormulas->SetCells(3, i + 1, QString::number(f.StartBeat() + 1));
}

void TMainForm::Nuevafrmula1Click() {
  if (SGFormulas->RowCount() - 1 >= kMaxFormulas) {
    dialogs->ShowMessage(Tr("No caben más fórmulas (512)", "There is no room for more formulas (512)"));
    return;
  }
  SGFormulas->SetRowCount(SGFormulas->RowCount() + 1);
  Rhythm->FormulaCount = SGFormulas->RowCount() - 1;
  const int n = Rhythm->FormulaCount - 1;
  Copiarfrmula1Click();
  const int cur = std::clamp(Rhythm->CurrentFormula, 0, kMaxFormulas - 1);
  Rhythm->Formulas[n] = Rhythm->Formulas[cur];
  SGFormulas->Select(SGFormulas->Col(), n + 1);
  std::memset(Rhythm->Formulas[n].name, ' ', sizeof Rhythm->Formulas[n].name);
  Pegarfrmula1Click();
}

void TMainForm::Copiarfrmula1Click() { FormulaEd.FormulaClipboard = SGFormulas->Row() - 1; }

void TMainForm::Pegarfrmula1Click() {
  const int src = FormulaEd.FormulaClipboard;
  const int i = SGFormulas->Row() - 1;
  if (src < 0 || src >= kMaxFormulas || i < 0 || i >= kMaxFormulas) return;
  Rhythm->Formulas[i] = Rhythm->Formulas[src];
  Rhythm->Formulas[i].SetName(ToL1(SGFormulas->Cells(2, i + 1)).substr(0, 16));
  SGFormulas->SetCells(0, i + 1, QString::number(i + 1));
  SGFormulas->SetCells(1, i + 1, QString::number(Rhythm->Formulas[i].Beats()));
  SGFormulas->SetCells(3, i + 1, QString::number(Rhythm->Formulas[i].StartBeat() + 1));
  SGFormulasSelectCell(SGFormulas->Col(), i + 1);
}

void TMainForm::Limpiarfrmula1Click() {
  const int i = SGFormulas->Row() - 1;
  if (i < 0 || i >= kMaxFormulas) return;
  ClearPattern(Rhythm->Formulas[i]);
  SGFormulasSelectCell(SGFormulas->Col(), i + 1);
}

void TMainForm::Nuevotema1Click() {
  const int r = SGTemas->RowCount() - 1;
  if (r >= kMaxTemas) {
    dialogs->ShowMessage(Tr("No caben más temas (128)", "There is no room for more songs (128)"));
    return;
  }
  SGTemas->SetRowCount(r + 2);
  InitNewTema(Rhythm->Temas[r], 420 - TB2->value());
  SGTemas->Select(1, r + 1);
  SGTemasSelectCell(1, r + 1);
  SGTemas->SetCells(0, r + 1, QString::number(r + 1));
  SGTemas->SetCells(1, r + 1, QString());
  if (!RadioButton1->isChecked()) {
    RadioButton1->setChecked(true);
    RadioButton1Click();
  }
}

void TMainForm::RadioButton1Click() {
  const int t = SGTemas->Row() - 1;
  if (t < 0 || t >= kMaxTemas) return;
  Rhythm->Temas[t].partsOrder |= 0x80;
  Cambios();
}

void TMainForm::SGFormulasSelectCell(int col, int row) {
  (void)col;
  const int i = row - 1;
  if (i < 0 || i >= kMaxFormulas || i >= SGFormulas->RowCount() - 1) return;
  Rhythm->CurrentFormula = i;
  Formula& f = Rhythm->Formulas[i];
  Engine->FormulaBeats = f.Beats();
  Engine->FormulaStartBeat = f.StartBeat();
  if (Engine->FormulaBeats == 0 || Engine->FormulaBeats > kMaxBeats) {
    std::memset(f.name, ' ', sizeof f.name);
    f.header = 12;
    Engine->FormulaBeats = 12;
    Engine->FormulaStartBeat = 0;
  }
  const int beats = Engine->FormulaBeats;
  const QString prefix = English ? "B " : "T ";
  for (int k = 1; k <= beats; ++k) {
    int label = Engine->FormulaStartBeat + k;
    if (label > 12) label -= 12;
    SGDatosFormula->SetCells(k + 1, 0, prefix + QString::number(label));
  }
  Label1->setText((English ? QString("Formula %1") : QString::fromUtf8("Fórmula %1")).arg(row));
  Label7->setText(SGFormulas->Cells(2, row));
  SGDatosFormula->SetColCount(beats + 2);
  for (int t = 0; t < kTracks; ++t) {
    const int s = f.sounds[t];
    const QString sound = (s >= 1 && s <= static_cast<int>(SoundList.size())) ? L1(SoundList[s - 1]) : "Silencio";
    SGDatosFormula->SetCells(1, t + 1, sound);
    for (int b = 0; b < beats; ++b) {
      QString digits;
      const int n = f.StrokeCount(b, t);
      for (int k = 0; k < n && k < kMaxStrokes; ++k) digits += QChar('0' + f.Stroke(b, t, k));
      SGDatosFormula->SetCells(b + 2, t + 1, digits);
    }
  }
}

void TMainForm::SGTemasSelectCell(int col, int row) {
  (void)col;
  const int t = row - 1;
  if (t < 0 || t >= kMaxTemas) return;
  Rhythm->CurrentTema = t;
  Tema& th = Rhythm->Temas[t];
  if ((th.partsOrder & 0x7F) == 127) th.partsOrder &= 0x80;
  int intro = th.Intro(), ending = th.Ending();
  if (intro > 12) intro = 0;
  if (ending > 12) ending = 0;
  th.introEnding = static_cast<uint8_t>(intro * 16 + ending);
  RadioButton1->setChecked(th.InOrder());
  RadioButton2->setChecked(!th.InOrder());
  if (th.tempos[0] >= 20 && th.tempos[0] <= 400) TB1->setValue(420 - th.tempos[0]);
  if (!(th.gain >= 1.0f)) th.gain = 1.0f;
  const int entries = std::min<int>(th.entryCount, kMaxEntries);
  if (th.entryCount < kMaxEntries) th.times[th.entryCount] = 0;

  // The entry list: first compás, formula name, tempo, formula number, times, accel.
  SGSaco->SetRowCount(entries + 2);
  int compas = 1;
  for (int e = 0; e <= entries; ++e) {
    const int n = e < entries ? th.times[e] : 0;
    SGSaco->SetCells(0, e + 1, QString::number(compas));
    if (e < entries && n > 0) {
      const int f = th.formulas[e];
      const bool valid = f < SGFormulas->RowCount() - 1 && f < kMaxFormulas;
      SGSaco->SetCells(1, e + 1, valid ? L1(Rhythm->Formulas[f].Name()) : QString());
      SGSaco->SetCells(2, e + 1, (e == 0 || th.tempos[e]) ? QString::number(e == 0 ? th.tempos[0] : th.tempos[e]) : QString());
      SGSaco->SetCells(3, e + 1, QString::number(f + 1));
      SGSaco->SetCells(4, e + 1, QString::number(n));
      SGSaco->SetCells(5, e + 1, QString::number(th.accel[e]));
      compas += n;
    } else {
      for (int c = 1; c <= 5; ++c) SGSaco->SetCells(c, e + 1, QString());
    }
  }
  SGSaco->Select(2, 1);
  Engine->CompasCount = compas;
  Engine->ThemeParts = th.Parts();
  Engine->ThemeInOrder = th.InOrder();
  Engine->ThemeIntroBeats = th.Intro();
  Engine->ThemeEndBeats = th.Ending();
  Engine->MasterGain = th.gain;
  SGSacoSelectCell(2, 1);
  Label2->setText((English ? "Song " : "Tema ") + SGTemas->Cells(0, row) + ": " + SGTemas->Cells(1, row));
  SGTemas->Editable = row > 0;

  // The first entry's formula is shown in the editor.
  if (entries > 0) {
    const int f = th.formulas[0];
    if (f < SGFormulas->RowCount() - 1) {
      SGFormulas->Select(SGFormulas->Col(), f + 1);
      SGFormulasSelectCell(SGFormulas->Col(), f + 1);
    }
  } else if (SGFormulas->RowCount() > 1 && Rhythm->CurrentFormula < SGFormulas->RowCount() - 1) {
    SGFormulasSelectCell(SGFormulas->Col(), Rhythm->CurrentFormula + 1);
  }
}


void TMainForm::FillSequenceGrid(int t) { (void)t; }

void TMainForm::SGSacoSelectCell(int col, int row) {
  (void)col;
  Engine->EntryAccel = static_cast<int8_t>(SacoInt(5, row));
  if (SacoInt(2, row) != 0) Engine->CurrentBpm = static_cast<float>(SacoInt(2, row));
  for (int i = 1; i < SGFormulas->RowCount(); ++i)
    if (SGFormulas->Cells(0, i) == SGSaco->Cells(3, row)) {
      SGFormulas->Select(1, i);
      SGFormulasSelectCell(1, i);
      break;
    }
  Engine->RepeatsLeft = std::max(0, SacoInt(4, row) - 1);
  Engine->CurrentBeat = 0;
  if (!Timer1->isActive()) Engine->CurrentCompas = SacoInt(0, row);
  ShowCompasCounter();
}
