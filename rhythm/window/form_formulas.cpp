// The formula and track editor: the formula grid, the pattern grid with its
// sound chooser, the accent boxes and the count mode.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>
#include <cstring>

#include "app/window/mainform.h"
#include "app/window/string_grid.h"
#include "engine/mixer.h"
#include "platform/files/text.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/editor_widgets.h"
#include "rhythm/window/notation.h"

namespace {
const QColor kLime(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kGrey(128, 128, 128);
const QColor kChosenCell(166, 206, 166);
const QColor kPlainCell(240, 240, 240);
const QColor kFixedCell(212, 208, 200);

QString U8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QColor CellBackground(const StringGrid* g, int col, int row) {
  const QTableWidgetItem* it = g->item(row, col);
  const QBrush b = it ? it->background() : QBrush();
  return b.style() == Qt::NoBrush ? kFixedCell : b.color();
}

}  // namespace

int TMainForm::GridFormulaCount() const { return std::clamp(SGFormulas->RowCount() - 1, 0, kMaxFormulas); }

int TMainForm::EditedFormula() const {
  const int f = FormulaEd.ShownFormula;
  return (f >= 0 && f < GridFormulaCount()) ? f : -1;
}

void TMainForm::SGFormulasSelectCell(int col, int row) {
  (void)col;
  const int i = row - 1;
  if (i < 0 || i >= GridFormulaCount()) return;
  // When the player moves the row, the engine already plays this formula:
  // the view follows and nothing of the engine is written.
  const bool byPlayer = Guards.RowsByPlayer;
  if (!byPlayer) Rhythm->CurrentFormula = i;
  FormulaEd.ShownFormula = i;
  Formula& f = Rhythm->Formulas[static_cast<size_t>(i)];

  // Length of one compás at the tempo in force.
  Label22->setText(U8(LengthLabel(f.Beats(), Engine->CurrentBpm, English)));

  // Where the formula is used.
  const int m = ThemeUsingFormula(*Rhythm, GridTemaCount(), i);
  FormulaEd.FormulaInUse = m >= 0;
  if (m >= 0) {
    SetLabelColour(Label14, kRed);
    Label14->setText(Tr("Usada en Tema ", "Used in song ") + QString::number(m + 1) + " " + SGTemas->Cells(1, m + 1));
  } else {
    SetLabelColour(Label14, kLime);
    Label14->setText(Tr("No está usada", "It is not used "));
  }

  Guards.CountModeByCode = true;
  RBAcento->setChecked(f.CountByAccents());
  RBTiempo->setChecked(!f.CountByAccents());
  Guards.CountModeByCode = false;

  int beats = f.Beats();
  int startBeat = f.StartBeat();
  if (beats == 0 || beats > kMaxBeats) {
    std::memset(f.name, ' ', sizeof f.name);
    f.header = 12;
    beats = 12;
    startBeat = 0;
  }
  if (!byPlayer) {
    Engine->FormulaBeats = beats;
    Engine->FormulaStartBeat = startBeat;
  }

  // Header labels of the beat columns.
  const QString prefix = English ? "B " : "T ";
  if (RBAcento->isChecked()) {
    const std::vector<int> labels = AccentLabels(f.accents, beats);
    for (int k = 1; k <= beats; ++k) {
      FormulaEd.AccentCountLabels[static_cast<size_t>(k - 1)] = std::to_string(labels[static_cast<size_t>(k - 1)]);
      SGDatosFormula->SetCells(k + 1, 0, prefix + QString::number(labels[static_cast<size_t>(k - 1)]));
    }
  } else {
    for (int k = 1; k <= beats; ++k)
      SGDatosFormula->SetCells(k + 1, 0, prefix + QString::number(BeatLabel(startBeat, k)));
  }

  Label1->setText((English ? QString("Formula %1") : QString::fromUtf8("Fórmula %1")).arg(row));
  Label7->setText(SGFormulas->Cells(2, row));

  // Pattern grid: one column per beat.
  SGDatosFormula->SetColCount(beats + 2);
  LayoutPatternGrid(beats);

  for (int t = 0; t < kTracks; ++t) SGDatosFormula->SetCells(1, t + 1, SoundCellText(SoundList, f.sounds[t]));
  FormulaEd.SelectedTrack = std::clamp(SGDatosFormula->Row() - 1, 0, kTracks - 1);
  const int s = f.sounds[FormulaEd.SelectedTrack];
  CBSonidos->setCurrentIndex(s < CBSonidos->count() ? s : -1);

  // Accent boxes: the click handler stores nothing until the mouse goes down on one.
  Guards.AccentChangeByCode = true;
  for (int k = 1; k <= 12; ++k) {
    QCheckBox* box = AccentBoxes[static_cast<size_t>(k - 1)];
    box->setVisible(k <= beats);
    if (k <= beats) box->setChecked(f.Accented(k - 1));
  }

  for (int b = 0; b < beats; ++b)
    for (int t = 0; t < kTracks; ++t) SGDatosFormula->SetCells(b + 2, t + 1, L1(StrokeText(f, b, t)));

  // The formula tempo comes from its slider.
  const int bpm = 420 - TB2->value();
  Edit1->setText(QString::number(bpm));
  if (!byPlayer) {
    Engine->MsPerBeat = 60000 / bpm;
    Engine->SamplesPerBeat = SamplesForMs(Engine->Format, Engine->MsPerBeat);
  }

  SGDatosFormula->viewport()->update();
  SetGridEditing(SGFormulas, row > 0);
  SetGridEditing(SGDatosFormula, SGFormulas->Editable);
}

void TMainForm::SGFormulasSetEditText(int col, int row, const QString& value) {
  if (DataSet.GridsFilling & kGridsFillingBit) return;
  Cambios();
  // The edit goes to the record of the row typed into.
  const int i = row - 1;
  if (i < 0 || i >= GridFormulaCount()) return;
  Formula& f = Rhythm->Formulas[static_cast<size_t>(i)];
  const bool shown = i == FormulaEd.ShownFormula;
  const bool playing = i == Rhythm->CurrentFormula;
  if (col == 2) {
    f.SetName(ToL1(value).substr(0, 16));
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
      LayoutPatternGrid(n);
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
  if (Guards.SkipFormulaClick) {
    Guards.SkipFormulaClick = false;
    return;
  }
  const int row = SGFormulas->Row();
  if (row < 1 || row - 1 >= GridFormulaCount()) return;
  FormulaEd.FormulaToAdd = row - 1;
  Label25->setText(Tr("Añadir F ", "Add F ") + QString::number(row) + " " + SGFormulas->Cells(2, row));
  SGFormulas->viewport()->update();
}

void TMainForm::SGFormulasKeyDown() {
  Guards.SkipFormulaClick = false;
  SGFormulasClick();
}

void TMainForm::SGFormulasMouseMove() { Guards.SkipFormulaClick = false; }

void TMainForm::SGFormulasDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  if (col != 0 || row < 1 || row - 1 >= GridFormulaCount()) return;
  const QColor colour = ThemeUsingFormula(*Rhythm, GridTemaCount(), row - 1) >= 0 ? kRed : kLime;
  if (row - 1 == FormulaEd.FormulaToAdd) {
    p->fillRect(rect, kNavy);
    if (Label25->palette().color(QPalette::WindowText) != colour) SetLabelColour(Label25, colour);
  } else {
    p->fillRect(rect, CellBackground(SGFormulas, col, row));
  }
  QFont font = p->font();
  font.setBold(true);
  p->setFont(font);
  p->setPen(colour);
  DrawCellText(p, rect, 2, SGFormulas->Cells(col, row));
}

void TMainForm::SGDatosFormulaSelectCell(int col, int row) {
  CBSonidos->setVisible(col == 1);
  if (row < 1 || row > kTracks) return;
  FormulaEd.SelectedTrack = row - 1;
  const int f = EditedFormula();
  if (f >= 0) {
    const int s = Rhythm->Formulas[static_cast<size_t>(f)].sounds[FormulaEd.SelectedTrack];
    CBSonidos->setCurrentIndex(s < CBSonidos->count() ? s : -1);
  }
  // Over the sound cell of the selected track.
  const QRect cell = SGDatosFormula->visualRect(SGDatosFormula->model()->index(row, 1));
  const QPoint at = SGDatosFormula->viewport()->mapTo(PanelPistas, cell.topLeft());
  CBSonidos->setGeometry(at.x(), at.y(), cell.width(), cell.height() + 1);
  CBSonidos->raise();
  SetGridEditing(SGDatosFormula, SGFormulas->Editable);
  SGDatosFormula->viewport()->update();
}

void TMainForm::SGDatosFormulaSetEditText(int col, int row, const QString& value) {
  const int fi = EditedFormula();
  if (fi < 0 || row < 1 || row > kTracks) return;
  Formula& f = Rhythm->Formulas[static_cast<size_t>(fi)];
  const int t = row - 1;
  if (col < 2 || col >= std::min(f.Beats(), kMaxBeats) + 2) {
    // Only beat cells take strokes; the sound column shows the record again.
    if (col == 1) SGDatosFormula->SetCells(1, row, SoundCellText(SoundList, f.sounds[t]));
    return;
  }
  Cambios();
  StoreStrokeText(f, col - 2, t, ToL1(value));
  SGDatosFormula->SetCells(col, row, L1(StrokeText(f, col - 2, t)));
}

void TMainForm::SGDatosFormulaDrawCell(QPainter* p, int col, int row, const QRect& rect) {
  QFont font = p->font();
  if (row >= 1 && col == 1) {
    const bool muted = row - 1 < kTracks && MuteButtons[static_cast<size_t>(row - 1)]->isChecked();
    const QString text = SGDatosFormula->Cells(col, row);
    p->fillRect(rect.adjusted(0, 0, 0, 1), Qt::black);
    font.setBold(true);
    p->setFont(font);
    p->setPen(muted || text == "Silencio" ? kGrey : kLime);
    DrawCellText(p, rect, 2, text);
  } else if (row >= 1 && col >= 2 && LasNotas->isChecked()) {
    const bool selected = row == SGDatosFormula->Row() && col == SGDatosFormula->Col();
    const QColor back = selected ? kChosenCell : kPlainCell;
    p->setPen(back);
    p->setBrush(back);
    p->drawRect(rect.adjusted(0, -1, 0, 2));
    p->setPen(Qt::black);
    const QString glyphs = L1(NotationGlyphs(ToL1(SGDatosFormula->Cells(col, row))));
    DrawNotation(*p, QPointF(rect.left() + 2, rect.top()), rect.width() - 4, rect.height(), glyphs);
    if (selected) {
      p->setPen(kRed);
      p->setBrush(Qt::NoBrush);
      p->drawRect(rect.adjusted(0, 0, -1, -1));
    }
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
      p->fillRect(rect, CellBackground(SGDatosFormula, col, row));
      p->setPen(accented ? kRed : kLime);
      DrawCellText(p, rect, 2, text);
    }
  }
}

void TMainForm::CBSonidosChange(int index) {
  const int f = EditedFormula();
  const int t = FormulaEd.SelectedTrack;
  // Only a sound of the list (or silence) goes into the record.
  if (f < 0 || t < 0 || t >= kTracks || index < 0 || index > static_cast<int>(SoundList.size()) ||
      index >= CBSonidos->count())
    return;
  Rhythm->Formulas[static_cast<size_t>(f)].sounds[t] = static_cast<uint8_t>(index);
  SGDatosFormula->SetCells(1, t + 1, CBSonidos->itemText(index));
  Cambios();
}

void TMainForm::CheckBox1Click() {
  if (Guards.AccentChangeByCode) return;
  const int fi = EditedFormula();
  if (fi < 0) return;
  Formula& f = Rhythm->Formulas[static_cast<size_t>(fi)];
  std::array<bool, 12> checked{};
  for (int k = 0; k < 12; ++k) checked[static_cast<size_t>(k)] = !AccentBoxes[static_cast<size_t>(k)]->isHidden() &&
                                                                 AccentBoxes[static_cast<size_t>(k)]->isChecked();
  f.accents = AccentsFromBoxes(f.accents, checked, std::min(f.Beats(), kMaxBeats));
  SGFormulasSelectCell(SGFormulas->Col(), fi + 1);
  Cambios();
}

void TMainForm::RBTiempoClick() {
  if (Guards.CountModeByCode) return;
  const int fi = EditedFormula();
  // A click on the button already on changes nothing.
  if (fi < 0 || !Rhythm->Formulas[static_cast<size_t>(fi)].CountByAccents()) return;
  Rhythm->Formulas[static_cast<size_t>(fi)].accents &= 0x7FFF;
  botonrec->setVisible(true);
  TapaRec->setVisible(false);
  SGFormulasSelectCell(SGFormulas->Col(), fi + 1);
}

void TMainForm::RBAcentoClick() {
  if (Guards.CountModeByCode) return;
  const int fi = EditedFormula();
  if (fi < 0 || Rhythm->Formulas[static_cast<size_t>(fi)].CountByAccents()) return;
  Rhythm->Formulas[static_cast<size_t>(fi)].accents |= 0x8000;
  botonrec->setVisible(true);
  TapaRec->setVisible(false);
  SGFormulasSelectCell(SGFormulas->Col(), fi + 1);
}
