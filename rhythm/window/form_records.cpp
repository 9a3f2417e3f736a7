// Records in the window: the modified mark, new/cleared formulas and themes,
// the formula clipboard and the selections that load a record.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <cstring>

#include "app/window/mainform.h"
#include "app/window/string_grid.h"
#include "platform/files/text.h"

void TMainForm::Cambios() {
  if (Timer1->isActive() && Engine->ThemePlayback) return;
  botonrec->setVisible(true);
  TapaRec->setVisible(false);
  // An edit changes what a theme's gain depends on: find it again in the
  // background, the theme shown first.
  Work->WarmGains(GridTemaCount(), SGTemas->Row() - 1);
}

void TMainForm::ClearModified() {
  botonrec->setVisible(false);
  TapaRec->setVisible(true);
}

bool TMainForm::Modified() const { return !botonrec->isHidden(); }

void TMainForm::ShowModifiedMark() {
  botonrec->setVisible(true);
  TapaRec->setVisible(false);
}

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
  Cambios();  // a new formula is an edit of the set
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
  Cambios();
}

void TMainForm::Limpiarfrmula1Click() {
  const int i = SGFormulas->Row() - 1;
  if (i < 0 || i >= kMaxFormulas) return;
  ClearPattern(Rhythm->Formulas[i]);
  SGFormulasSelectCell(SGFormulas->Col(), i + 1);
  Cambios();
}

void TMainForm::Nuevotema1Click() {
  const int r = SGTemas->RowCount() - 1;
  if (r >= kMaxTemas) {
    dialogs->ShowMessage(Tr("No caben más temas (128)", "There is no room for more songs (128)"));
    return;
  }
  SGTemas->SetRowCount(r + 2);
  // The slot may still hold the former last theme (a deletion moves the later
  // ones down and leaves it there): the new theme starts from a clean record,
  // so no old name or entries come back with the next save.
  Rhythm->Temas[static_cast<size_t>(r)] = Tema{};
  InitNewTema(Rhythm->Temas[static_cast<size_t>(r)], 420 - TB2->value());
  SGTemas->Select(1, r + 1);
  SGTemasSelectCell(1, r + 1);
  SGTemas->SetCells(0, r + 1, QString::number(r + 1));
  SGTemas->SetCells(1, r + 1, QString());
  if (!RadioButton1->isChecked()) {
    RadioButton1->setChecked(true);
    RadioButton1Click();
  }
}

