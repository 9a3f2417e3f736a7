// The chord panel in the window: the chord grid and its mode chooser, the
// fretboard with its finger marks and auditions, the whole-chord sliders and
// the mirror, the chord files and their list, and the transfers between the
// chord and the tablature.
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <array>

#include "app/window/mainform.h"
#include "platform/ui/string_grid.h"
#include "guitar/render.h"
#include "guitar/window/edit_widgets.h"
#include "guitar/window/tab_chart.h"
#include "platform/files/text.h"

namespace {
// Chord names and cells are Latin-1 in the program, as the files are.
QString Cell(const std::string& s) { return L1(s); }
}  // namespace

// --- the grid ---------------------------------------------------------------------

namespace {
// Each column as wide as its widest text in the grid's own font, the room
// left over going to the mode column.
void FitChordColumns(StringGrid* grid) {
  QFont small = grid->font();
  small.setPixelSize(10);
  const QFontMetrics fm(small);
  const QSignalBlocker hold(grid);  // a font is no edit of the cell
  std::array<int, kChordColumns> w{};
  int sum = 0;
  for (int c = 0; c < kChordColumns; ++c) {
    w[static_cast<size_t>(c)] = 22;
    for (int r = 0; r <= kChordRows; ++r) {
      QTableWidgetItem* it = grid->item(r, c);
      if (!it) continue;
      if (it->font() != small) it->setFont(small);
      w[static_cast<size_t>(c)] = std::max(w[static_cast<size_t>(c)], fm.horizontalAdvance(it->text()) + 8);
    }
    sum += w[static_cast<size_t>(c)];
  }
  const int room = grid->viewport()->width() > 0 ? grid->width() - 2 * grid->frameWidth() : sum;
  if (sum < room) w[kColMode] += room - sum;
  for (int c = 0; c < kChordColumns; ++c) grid->setColumnWidth(c, w[static_cast<size_t>(c)]);
}
}  // namespace

void TMainForm::ShowChordRow(int row) {
  if (row < 1 || row > kChordRows) return;
  const ChordRow& r = Chords.rows[static_cast<size_t>(row - 1)];
  for (int c = 0; c < kChordColumns; ++c) SGAcordes->SetCells(c, row, Cell(r[static_cast<size_t>(c)]));
  FitChordColumns(SGAcordes);
}

void TMainForm::ShowFingerMarks() {
  for (int i = 0; i < kGuitarStrings; ++i) {
    const FingerMark& m = Chords.StringNoteLabels[static_cast<size_t>(i)];
    QLabel* l = StringNoteLabels[static_cast<size_t>(i)];
    const QString text = Cell(m.text).trimmed();
    l->setText(text);
    l->move(m.left, m.top);
    // A string out of the chord has no mark to show.
    l->setVisible(!text.isEmpty());
    if (!text.isEmpty()) l->raise();
  }
}

void TMainForm::ShowChordGrid() {
  for (int r = 1; r <= kChordRows; ++r) ShowChordRow(r);
  FitChordColumns(SGAcordes);
  ShowFingerMarks();
}

void TMainForm::SGAcordesCambiaCell(int row) {
  TakeChordRow(Chords, row, GuitarAudio->Tuning, Guitar->Capo);
  ShowChordRow(row);
  ShowFingerMarks();
}

void TMainForm::SGAcordesSetEditText(int col, int row, const QString& text) {
  if (row < 1 || row > kChordRows || col < 0 || col >= kChordColumns) return;
  Chords.rows[static_cast<size_t>(row - 1)][static_cast<size_t>(col)] = ToL1(text);
  SGAcordesCambiaCell(row);
}

void TMainForm::SGAcordesSelectCell(int col, int row) {
  if (!ModeChooserTop(col, row)) {
    CBModo->hide();
    return;
  }
  // The chooser lies over the selected mode cell.
  QTableWidgetItem* it = SGAcordes->item(row, col);
  const QRect cell = it ? SGAcordes->visualItemRect(it) : QRect();
  const QPoint at = SGAcordes->viewport()->mapTo(PanelGuitarra, cell.topLeft());
  CBModo->setGeometry(at.x(), at.y(), std::max(cell.width(), 70), std::max(cell.height(), 18));
  CBModo->setCurrentIndex(ModeOfCaption(Chords.rows[static_cast<size_t>(row - 1)][kColMode], Chords.english));
  CBModo->show();
  CBModo->raise();
}

void TMainForm::CBModoChange() {
  const int row = SGAcordes->Row();
  ChooseChordMode(Chords, row, CBModo->currentIndex(), GuitarAudio->Tuning, Guitar->Capo);
  ShowChordRow(row);
  ShowFingerMarks();
}

void TMainForm::ChordLanguageChanged() {
  SetChordLanguage(Chords, English, GuitarAudio->Tuning, Guitar->Capo);
  CBModo->hide();
  ShowChordGrid();
}

// --- the fretboard and the whole chord ----------------------------------------------

void TMainForm::MGuitarraMouseDown(Qt::MouseButton button, int x, int y) {
  const FretboardClick click = ClickFretboard(Chords, x, y, button == Qt::LeftButton, Guitar->Capo,
                                              Engine->PlayState != 0, GuitarAudio->Tuning);
  if (click.changed) {
    ShowChordRow(click.row);
    ShowFingerMarks();
    // The chord is no longer the one named: a save asks for a new name.
    CBAcordes->setCurrentIndex(-1);
    CBAcordes->setEditText(QString());
  }
  if (click.play) PlayGuitarNote(click.stringNumber, click.semitones);
}

void TMainForm::MGuitarraMouseMove(int x, int y) {
  MGuitarra->setToolTip(QString::fromStdString(FretboardHint(x, y, Guitar->Capo)));
}

void TMainForm::TBRetardoChange() {
  Chords.TBRetardo = TBRetardo->value();
  SetStrumDelay(Chords, TBRetardo->value(), GuitarAudio->Tuning, Guitar->Capo);
  ShowChordGrid();
}

void TMainForm::TBFuerzaChange() {
  Chords.TBFuerza = TBFuerza->value();
  SetChordStrength(Chords, TBFuerza->value(), GuitarAudio->Tuning, Guitar->Capo);
  ShowChordGrid();
}

void TMainForm::BInvertirClick() {
  MirrorStrum(Chords, GuitarAudio->Tuning, Guitar->Capo);
  ShowChordGrid();
}

// --- chord files ------------------------------------------------------------------

void TMainForm::BGuardaAcordeClick() {
  FileDialogRequest r;
  r.title = Tr("Guardar acorde", "Save chord");
  r.initialDir = QDir::currentPath() + "/" + L1(kChordFolder);
  r.filter = "Archivos de acordes|*.aco";
  r.defaultName = CBAcordes->currentText() + L1(kChordExtension);
  const QString name = dialogs->SaveFileName(r);
  if (name.isEmpty()) return;
  std::string written, error;
  if (!SaveChordFile(Chords, GuitarAudio->Tuning, FsPath(name), &written, &error)) {
    dialogs->ShowMessage(FromFs(error));
    return;
  }
  CBAcordesCambia();
}

void TMainForm::CBAcordesSelect() {
  if (CBAcordes->currentIndex() < 0) return;
  const std::string name = ToL1(CBAcordes->itemText(CBAcordes->currentIndex()));
  if (LoadChordFile(Chords, ".", name, GuitarAudio->Tuning, Guitar->Capo)) ShowChordGrid();
}

void TMainForm::CBAcordesCambia() {
  const QString typed = CBAcordes->currentText();
  CBAcordes->clear();
  for (const std::string& name : ListChords(".")) CBAcordes->addItem(L1(name));
  CBAcordes->setCurrentIndex(-1);
  CBAcordes->setEditText(typed);
}

// --- chord and tablature ------------------------------------------------------------

void TMainForm::SpeedButton15Click() {
  PrepareChordTransfer(Editor);
  Pegar1Click();
}

void TMainForm::SpeedButton16Click() {
  PrepareChordTransfer(Editor);
  Copiar1Click();
}

void TMainForm::RellenaAcordeClick() {
  if (Engine->PlayState != 0) return;
  if (!FillWithChord(*Guitar, Chords.ChordBuffer)) return;
  RefrescaCG();
  ShowGuitarModified();
}
