// The tablature's editing in the window: the click that places the editor
// box, its keys, the box and its information label, the division count
// buttons, and the division menu with its undo.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <algorithm>

#include "app/window/mainform.h"
#include "guitar/window/edit_widgets.h"
#include "guitar/window/tab_chart.h"

namespace {
// The left axis' value at pixel row y of the chart (the inverse of its drawing).
double LeftAxisAt(const TabChart& chart, int y) {
  const QRect plot = chart.Plot();
  const double low = chart.LeftMin - chart.LeftPad, span = chart.LeftMax - chart.LeftMin + 2 * chart.LeftPad;
  double f = plot.height() > 0 ? (y - plot.top()) / static_cast<double>(plot.height()) : 0;
  if (!chart.LeftInverted) f = 1 - f;
  return low + f * span;
}

double BottomAxisAt(const TabChart& chart, int x) {
  const QRect plot = chart.Plot();
  const double span = chart.BottomMax > 0 ? chart.BottomMax : 1;
  return plot.width() > 0 ? (x - plot.left()) * span / plot.width() : 0;
}
}  // namespace

EditContext TMainForm::GuitarEditContext() {
  Chords.tab = CBTab->isChecked();
  return EditContext{*Guitar, Editor, Chords, GuitarAudio->Tuning, Guitar->Capo, Engine->PlayState != 0};
}

// --- the box ------------------------------------------------------------------------

void TMainForm::EdFTrastePon() {
  PlaceBox(Guitar->CurrentTiempoG, Editor, CBTab->isChecked());
  EdFTraste->move(Editor.boxLeft, Editor.boxTop);
}

void TMainForm::HideEditBox() {
  Editor.boxVisible = false;
  if (EdFTraste) EdFTraste->hide();
}

void TMainForm::ApplyEditEffect(const EditEffect& e) {
  GuitarState& g = *Guitar;
  if (e.barDisplay) {
    ShowGuitarBarLabel();
    SetGuitarScrollBar();
    if (Engine->PlayState == 1) Deck->SetCompas(g.GuitarBar);
  }
  if (e.drawBeatView || e.beatDisplay) RefrescaTG();
  if (e.drawBarView || e.beatDisplay || e.barDisplay) RefrescaCG();
  if (e.beatDisplay) ShowGuitarBeatLabel();
  if (e.divisionCount) LGPartes->setText(QString::number(DivisionCount(g.CurrentTiempoG)));
  if (e.chordFromDivision) ShowChordGrid();
  ShowGuitarModified();

  EdFTraste->move(Editor.boxLeft, Editor.boxTop);
  EdFTraste->setVisible(Editor.boxVisible);
  if (Editor.boxVisible) EdFTraste->raise();
  Chart1->setToolTip(QString::fromStdString(Editor.hint));
  if (e.finish) {
    EdFTraste->setText(QString::fromStdString(BoxText(g.CurrentTiempoG, Editor)));
    // Below the box's top; above the box where the chart ends first.
    int top = Editor.boxTop + kStatusBelowBox;
    if (top + STCtrl->height() > Chart1->height()) top = Editor.boxTop - STCtrl->height();
    STCtrl->move(Editor.boxLeft, top);
    STCtrl->setText(QString::fromStdString(StatusText(g.CurrentTiempoG, Editor, English)));
  }
  STCtrl->setVisible(Editor.ctrlInfoVisible);
  if (Editor.ctrlInfoVisible) STCtrl->raise();
  if (e.beatDisplay) PlayTiempoGClick();
  if (e.saveTrack) BGuardaGClick();
  if (e.focusBox && Editor.boxVisible) EdFTraste->setFocus();
}

// --- the click on the tablature ---------------------------------------------------------

void TMainForm::Chart1MouseDown(Qt::MouseButton button, Qt::MouseButtons shift, int x, int y) {
  if (Guitar->GuitarBars.empty()) return;
  EditContext c = GuitarEditContext();
  const bool left = button == Qt::LeftButton || (shift & Qt::LeftButton);
  const EditEffect e = ClickTablature(c, left, x, y, BottomAxisAt(*Chart1, x), LeftAxisAt(*Chart1, y + 8));
  ApplyEditEffect(e);
  if (e.popup) PopupMenu7->popup(Chart1->mapToGlobal(QPoint(x, y)));
}

// --- keys ---------------------------------------------------------------------------------

void TMainForm::EdFTrasteKeyDown(int key, bool ctrl, bool alt) {
  if (Guitar->GuitarBars.empty()) return;
  EditContext c = GuitarEditContext();
  ApplyEditEffect(EditKeyDown(c, key, ctrl, alt));
}

void TMainForm::EdFTrasteKeyUp(int key) {
  EditKeyUp(Editor, key);
  STCtrl->setVisible(Editor.ctrlInfoVisible);
}

// --- division counts ----------------------------------------------------------------------

void TMainForm::MiUDDivisionesClick(int, int newCount) {
  if (Guitar->GuitarBars.empty() || Engine->PlayState != 0) return;
  EditContext c = GuitarEditContext();
  ApplyEditEffect(ChangeDivisionCount(c, newCount));
}

void TMainForm::SpeedButton19Click() {
  if (Guitar->GuitarBars.empty() || Engine->PlayState != 0) return;
  EditContext c = GuitarEditContext();
  ApplyEditEffect(StepDivisionCount(c, -1));
}

void TMainForm::SpeedButton20Click() {
  if (Guitar->GuitarBars.empty() || Engine->PlayState != 0) return;
  EditContext c = GuitarEditContext();
  ApplyEditEffect(StepDivisionCount(c, +1));
}

// --- the division menu ----------------------------------------------------------------------

void TMainForm::Copiar1Click() {
  if (CopyDivisionToChord(Guitar->CurrentTiempoG, Editor.SelectedDivision, Chords, GuitarAudio->Tuning,
                          Guitar->Capo))
    ShowChordGrid();
}

void TMainForm::Pegar1Click() {
  if (Guitar->GuitarBars.empty() || Engine->PlayState != 0) return;
  if (!PasteChordToDivision(*Guitar, DivisionUndo, Editor.SelectedDivision, Chords.ChordBuffer)) return;
  RefrescaTG();
  RefrescaCG();
  ShowGuitarModified();
}

void TMainForm::Vaciar1Click() {
  if (Guitar->GuitarBars.empty() || Engine->PlayState != 0) return;
  if (!EmptyDivision(*Guitar, DivisionUndo, Editor.SelectedDivision)) return;
  RefrescaTG();
  RefrescaCG();
  ShowGuitarModified();
}

void TMainForm::Invertirretardo1Click() {
  if (Guitar->GuitarBars.empty() || Engine->PlayState != 0) return;
  if (!InvertDivisionDelays(*Guitar, DivisionUndo, Editor.SelectedDivision)) return;
  RefrescaTG();
  RefrescaCG();
  ShowGuitarModified();
}

void TMainForm::Deshacer1Click() {
  if (Guitar->GuitarBars.empty() || Engine->PlayState != 0) return;
  if (!UndoDivision(*Guitar, DivisionUndo, Editor.SelectedDivision)) return;
  RefrescaTG();
  RefrescaCG();
}
