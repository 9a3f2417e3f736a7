// Records in the window: the modified mark, new/cleared formulas and themes,
// the formula clipboard and the selections that load a record.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include "app/window/mainform.h"
#include "platform/ui/string_grid.h"
#include "platform/files/text.h"
#include "rhythm/window/library_handlers.h"
#include "engine/transport.h"

void TMainForm::Cambios() {
  if (Deck->IsPlaying() && Engine->ThemePlayback) return;
  botonrec->setVisible(true);
  TapaRec->setVisible(false);
  // An edit changes what a theme's gain depends on: find it again in the
  // background, the theme shown first.
  Work->WarmGains(TemaCount(), SGTemas->Row() - 1);
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

void TMainForm::FillFormulaRow(int i) { library_steps::FillFormulaRowCells(*this, i); }

// Number and name cells of theme row m + 1, from its record.
void TMainForm::FillTemaRow(int m) {
  SGTemas->SetCells(0, m + 1, QString::number(m + 1));
  SGTemas->SetCells(1, m + 1, L1(Rhythm->Temas[static_cast<size_t>(m)].Name()));
}

void TMainForm::Nuevafrmula1Click() { library_steps::AppendFormula(*this); }

void TMainForm::Copiarfrmula1Click() { FormulaEd.FormulaClipboard = SGFormulas->Row() - 1; }

// Any position of the table can be pasted from and onto.
void TMainForm::Pegarfrmula1Click() { library_steps::PasteFormula(*this, FormulaEd, kMaxFormulas); }

void TMainForm::Limpiarfrmula1Click() { library_steps::ClearFormulaPattern(*this, kMaxFormulas); }

void TMainForm::Nuevotema1Click() {
  // The new theme: no entries, the formula slider's tempo, centred pan and
  // unity volume.
  const int bpm = SliderBpm(TB2->value());
  if (!library_steps::AppendTheme(*this, [bpm](Tema& t) { InitNewTema(t, bpm); })) return;
  library_steps::PlayInOrder(*this);
}
