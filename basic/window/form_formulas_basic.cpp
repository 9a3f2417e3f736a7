// The basic window's formula and track editor: the formula grid, the pattern
// grid of 8 tracks with 2-bit strokes, the sound chooser, the accent boxes
// and the count mode. The records in memory are the current ones; the older
// records' limits (8 tracks, levels 1..3, names of 5 letters, 16 sounds)
// are kept here and by the conversion at open and save.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/window/string_grid.h"
#include "basic/window/basic_form.h"
#include "basic/v1_bridge.h"
#include "engine/mixer.h"
#include "platform/files/text.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/editor_widgets.h"

namespace bornace {

namespace {
const QColor kLime(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kCyan(0, 255, 255);
const QColor kGrey(128, 128, 128);

}  // namespace

int TMainForm::GridFormulaCount() const { return std::clamp(SGFormulas->RowCount() - 1, 0, kMaxFormulas); }

int TMainForm::EditedFormula() const {
  const int f = Pages.ShownFormula;
  return (f >= 0 && f < GridFormulaCount()) ? f : -1;
}

void TMainForm::FillFormulaRow(int i) {
  const Formula& f = Rhythm->Formulas[static_cast<size_t>(i)];
  SGFormulas->SetCells(0, i + 1, QString::number(i + 1));
  SGFormulas->SetCells(1, i + 1, QString::number(f.Beats()));
  SGFormulas->SetCells(2, i + 1, L1(f.Name().substr(0, kBasicFormulaName)));
  SGFormulas->SetCells(3, i + 1, QString::number(f.StartBeat() + 1));
}

void TMainForm::RefillFormulaRows() {
  DataSet.GridsFilling |= kGridsFillingBit;
  for (int i = 0; i < GridFormulaCount(); ++i) FillFormulaRow(i);
  DataSet.GridsFilling &= static_cast<uint16_t>(~kGridsFillingBit);
}

// The pattern grid and the progress bar follow the formula's beats.
void TMainForm::LayoutBasicPatternGrid(int beats) {
  ProgressBar1->setFixedWidth(55 * beats);
  SGDatosFormula->setFixedWidth(55 * beats + 114);
}

void TMainForm::SGFormulasSelectCell(int col, int row) {
  (void)col;
  const int i = row - 1;
  if (i < 0 || i >= GridFormulaCount()) return;
  const bool byPlayer = Pages.RowsByPlayer;
  if (!byPlayer) Rhythm->CurrentFormula = i;
  Pages.ShownFormula = i;
  Formula& f = Rhythm->Formulas[static_cast<size_t>(i)];

  ShowFormulaLength(f.Beats());

  const int m = ThemeUsingFormula(*Rhythm, GridTemaCount(), i);
  Pages.FormulaInUse = m >= 0;
  if (m >= 0) {
    SetLabelColour(Label14, kRed);
    Label14->setText(Tr("Usada en Tema ", "Used in song ") + QString::number(m + 1) + " " + SGTemas->Cells(1, m + 1));
  } else {
    SetLabelColour(Label14, kLime);
    Label14->setText(Tr("No está usada", "It is not used "));
  }

  Pages.CountModeByCode = true;
  RBAcento->setChecked(f.CountByAccents());
  RBTiempo->setChecked(!f.CountByAccents());
  Pages.CountModeByCode = false;

  int beats = f.Beats();
  int startBeat = f.StartBeat();
  if (beats == 0 || beats > kMaxBeats) {
    std::memset(f.name, 0, sizeof f.name);
    std::memset(f.name, ' ', kBasicFormulaName);
    f.header = 12;
    beats = 12;
    startBeat = 0;
  }
  // A sound beyond the 16 of a basic set reads as silence and is stored so.
  for (int t = 0; t < kTracksV1; ++t)
    if (f.sounds[t] > kBasicSoundCapacity) f.sounds[t] = 0;
  if (!byPlayer) {
    Engine->FormulaBeats = beats;
    Engine->FormulaStartBeat = startBeat;
  }

  const QString prefix = English ? "B " : "T ";
  if (RBAcento->isChecked()) {
    const std::vector<int> labels = AccentLabels(f.accents, beats);
    for (int k = 1; k <= beats; ++k) {
      Pages.AccentCountLabels[static_cast<size_t>(k - 1)] = std::to_string(labels[static_cast<size_t>(k - 1)]);
      SGDatosFormula->SetCells(k + 1, 0, prefix + QString::number(labels[static_cast<size_t>(k - 1)]));
    }
  } else {
    for (int k = 1; k <= beats; ++k)
      SGDatosFormula->SetCells(k + 1, 0, prefix + QString::number(BeatLabel(startBeat, k)));
  }

  Label1->setText((English ? QString("Formula %1") : QString::fromUtf8("Fórmula %1")).arg(row));
  Label7->setText(SGFormulas->Cells(2, row));

  SGDatosFormula->SetColCount(beats + 2);
  LayoutBasicPatternGrid(beats);

  for (int t = 0; t < kTracksV1; ++t) SGDatosFormula->SetCells(1, t + 1, SoundCellText(SoundList, f.sounds[t]));
  Pages.SelectedTrack = std::clamp(SGDatosFormula->Row() - 1, 0, kTracksV1 - 1);
  {
    const QSignalBlocker block(CBSonidos);
    const int s = f.sounds[Pages.SelectedTrack];
    CBSonidos->setCurrentIndex(s < CBSonidos->count() ? s : -1);
  }

  Pages.AccentChangeByCode = true;
  for (int k = 1; k <= 12; ++k) {
    QCheckBox* box = AccentBoxes[static_cast<size_t>(k - 1)];
    const QSignalBlocker block(box);
    box->setVisible(k <= beats);
    if (k <= beats) box->setChecked(f.Accented(k - 1));
  }
  Pages.AccentChangeByCode = false;

  for (int b = 0; b < beats; ++b)
    for (int t = 0; t < kTracksV1; ++t) SGDatosFormula->SetCells(b + 2, t + 1, L1(StrokeTextV1(f, b, t)));

  const int bpm = 420 - TB2->value();
  Edit1->setText(QString::number(bpm));
  if (!byPlayer) {
    Engine->MsPerBeat = 60000 / bpm;
    Engine->SamplesPerBeat = SamplesForMs(Engine->Format, Engine->MsPerBeat);
  }

  SGDatosFormula->viewport()->update();
  SGFormulas->viewport()->update();
  SetGridEditing(SGFormulas, row > 0);
  SetGridEditing(SGDatosFormula, SGFormulas->Editable);
  if (cb3d && cb3d->isChecked()) cb3dClick();
}

void TMainForm::ShowFormulaLength(int beats) {
  const int t = LengthTenths(beats, Engine->CurrentBpm);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d.%d'", t / 10, t % 10);
  Label22->setText(QString::fromLatin1(buf));
}

void TMainForm::SGFormulasSetEditText(int col, int row, const QString& value) {
  if (DataSet.GridsFilling & kGridsFillingBit) return;
  Cambios();
  const int i = row - 1;
  if (i < 0 || i >= GridFormulaCount()) return;
  Formula& f = Rhythm->Formulas[static_cast<size_t>(i)];
  const bool shown = i == Pages.ShownFormula;
  const bool playing = i == Rhythm->CurrentFormula;
  if (col == 2) {
    f.SetName(ToL1(value).substr(0, kBasicFormulaName));
    if (shown) Label7->setText(value);
    return;
  }
  if (col != 1 && col != 3) return;
  const int n = ReadDecimal(ToL1(value));
  if (n < 1 || n > 12) return;
  if (col == 3) {
    const int start = n - 1;
    const int beats = f.Beats();
    f.SetHeader(beats, start);
    if (playing) {
      Engine->FormulaStartBeat = start;
      Engine->FormulaBeats = beats;
    }
    if (shown)
      for (int k = 1; k <= beats && k <= kMaxBeats; ++k)
        SGDatosFormula->SetCells(k + 1, 0, "T " + QString::number(BeatLabel(start, k)));
  } else {
    f.SetHeader(n, f.StartBeat());
    if (playing) Engine->FormulaBeats = n;
    if (shown) {
      SGDatosFormula->SetColCount(n + 2);
      LayoutBasicPatternGrid(n);
    }
  }
}

void TMainForm::SGFormulasExit() {
  const int row = SGFormulas->Row();
  if (row <= 0 || row - 1 >= GridFormulaCount()) return;
  const Formula& f = Rhythm->Formulas[static_cast<size_t>(row - 1)];
  Engine->FormulaBeats = f.Beats();
  Engine->FormulaStartBeat = f.StartBeat();
  SGFormulas->SetCells(1, row, QString::number(f.Beats()));
  SGFormulas->SetCells(3, row, QString::number(f.StartBeat() + 1));
}

void TMainForm::SGFormulasClick() {
  if (Pages.SkipFormulaClick) {
    Pages.SkipFormulaClick = false;
    return;
  }
  const int row = SGFormulas->Row();
  if (row < 1 || row - 1 >= GridFormulaCount()) return;
  Pages.FormulaToAdd = row - 1;
  if (Label25) Label25->setText(Tr("Añadir F ", "Add F ") + QString::number(row) + " " + SGFormulas->Cells(2, row));
  SGFormulas->viewport()->update();
}

void TMainForm::SGFormulasDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  if (col != 0 || row < 1 || row - 1 >= GridFormulaCount()) return;
  const QColor colour = ThemeUsingFormula(*Rhythm, GridTemaCount(), row - 1) >= 0 ? kRed : kLime;
  p->fillRect(rect, row - 1 == Pages.FormulaToAdd ? kBlue : QColor(Qt::black));
  if (row - 1 == Pages.FormulaToAdd && Label25 && Label25->palette().color(QPalette::WindowText) != colour)
    SetLabelColour(Label25, colour);
  QFont font = p->font();
  font.setBold(true);
  p->setFont(font);
  p->setPen(colour);
  DrawCellText(p, rect, 2, SGFormulas->Cells(col, row));
}

void TMainForm::SGDatosFormulaSelectCell(int col, int row) {
  CBSonidos->setVisible(col == 1);
  if (row < 1 || row > kTracksV1) return;
  Pages.SelectedTrack = row - 1;
  const int f = EditedFormula();
  if (f >= 0) {
    const QSignalBlocker block(CBSonidos);
    const int s = Rhythm->Formulas[static_cast<size_t>(f)].sounds[Pages.SelectedTrack];
    CBSonidos->setCurrentIndex(s < CBSonidos->count() ? s : -1);
  }
  // Over the sound cell of the selected track.
  const QRect cell = SGDatosFormula->visualRect(SGDatosFormula->model()->index(row, 1));
  QWidget* parent = CBSonidos->parentWidget();
  const QPoint at = SGDatosFormula->viewport()->mapTo(parent, cell.topLeft());
  CBSonidos->setGeometry(at.x(), at.y(), cell.width(), cell.height() + 1);
  CBSonidos->raise();
  SetGridEditing(SGDatosFormula, SGFormulas->Editable);
  SGDatosFormula->viewport()->update();
  FollowTrackInChart(row);
}

// The chart's position control marks the track of the row; set by code, it
// must not run the arrow handler, which would move the track and the
// selection.
void TMainForm::FollowTrackInChart(int row) {
  if (!cb3d || !UpDown1 || row < 1 || row > kTracksV1) return;
  {
    const QSignalBlocker block(UpDown1);
    UpDown1->setValue(row - 1);
  }
  if (cb3d->isChecked()) cb3dClick();
}

void TMainForm::SGDatosFormulaSetEditText(int col, int row, const QString& value) {
  const int fi = EditedFormula();
  if (fi < 0 || row < 1 || row > kTracksV1) return;
  Formula& f = Rhythm->Formulas[static_cast<size_t>(fi)];
  const int t = row - 1;
  if (col < 2 || col >= std::min(f.Beats(), kMaxBeats) + 2) {
    if (col == 1) SGDatosFormula->SetCells(1, row, SoundCellText(SoundList, f.sounds[t]));
    return;
  }
  Cambios();
  StoreStrokeTextV1(f, col - 2, t, ToL1(value));
  SGDatosFormula->SetCells(col, row, L1(StrokeTextV1(f, col - 2, t)));
}

void TMainForm::SGDatosFormulaDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  QFont font = p->font();
  if (row >= 1 && col == 1) {
    p->fillRect(rect.adjusted(0, 0, 0, 1), Qt::black);
    font.setBold(true);
    p->setFont(font);
    p->setPen(kCyan);
    DrawCellText(p, rect, 2, SGDatosFormula->Cells(col, row));
  } else if (row == 0 && col >= 2) {
    const int sel = SGFormulas->Row() - 1;
    const bool accented =
        sel >= 0 && sel < kMaxFormulas && Rhythm->Formulas[static_cast<size_t>(sel)].Accented(col - 2);
    const QString text = SGDatosFormula->Cells(col, row) + (accented ? "  >" : "");
    font.setBold(true);
    if (Engine->PlayState == 1 && col == Engine->SoundingBeat + 1) {
      QFont comic("Comic Sans MS", 10);
      comic.setBold(true);
      p->setFont(comic);
      p->fillRect(rect, accented ? kRed : kLime);
      p->setPen(accented ? Qt::white : Qt::black);
      DrawCellText(p, rect, 4, text);
    } else {
      p->setFont(font);
      p->fillRect(rect, Qt::black);
      p->setPen(accented ? kRed : kLime);
      DrawCellText(p, rect, 2, text);
    }
  }
}

void TMainForm::CBSonidosChange(int index) {
  const int f = EditedFormula();
  const int t = Pages.SelectedTrack;
  if (f < 0 || t < 0 || t >= kTracksV1 || index < 0 || index > static_cast<int>(SoundList.size()) ||
      index >= CBSonidos->count())
    return;
  // The basic edition does not count a sound choice as a change of the set.
  Rhythm->Formulas[static_cast<size_t>(f)].sounds[t] = static_cast<uint8_t>(index);
  SGDatosFormula->SetCells(1, t + 1, CBSonidos->itemText(index));
  if (cb3d && cb3d->isChecked()) cb3dClick();
}

void TMainForm::CheckBox1Click() {
  if (Pages.AccentChangeByCode) return;
  const int fi = EditedFormula();
  if (fi < 0) return;
  Formula& f = Rhythm->Formulas[static_cast<size_t>(fi)];
  std::array<bool, 12> checked{};
  for (int k = 0; k < 12; ++k)
    checked[static_cast<size_t>(k)] =
        !AccentBoxes[static_cast<size_t>(k)]->isHidden() && AccentBoxes[static_cast<size_t>(k)]->isChecked();
  f.accents = AccentsFromBoxes(f.accents, checked, std::min(f.Beats(), kMaxBeats));
  SGFormulasSelectCell(SGFormulas->Col(), fi + 1);
  Cambios();
}

void TMainForm::RBTiempoClick() {
  if (Pages.CountModeByCode) return;
  const int fi = EditedFormula();
  if (fi < 0 || !Rhythm->Formulas[static_cast<size_t>(fi)].CountByAccents()) return;
  Rhythm->Formulas[static_cast<size_t>(fi)].accents &= 0x7FFF;
  botonrec->setEnabled(true);
  SGFormulasSelectCell(SGFormulas->Col(), fi + 1);
}

void TMainForm::RBAcentoClick() {
  if (Pages.CountModeByCode) return;
  const int fi = EditedFormula();
  if (fi < 0 || Rhythm->Formulas[static_cast<size_t>(fi)].CountByAccents()) return;
  Rhythm->Formulas[static_cast<size_t>(fi)].accents |= 0x8000;
  botonrec->setEnabled(true);
  SGFormulasSelectCell(SGFormulas->Col(), fi + 1);
}

}  // namespace bornace
