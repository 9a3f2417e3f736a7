// The basic window started on its factory set "Original", with the user's
// ways into the formula, track and theme editors: selecting a cell of a
// grid, typing into one, and the records behind the rows.
//
// Formulas 1..6 are "Soleá", "Soleá", "Alegr", "Buler", "Segui", "Tango"
// (Tango of 4 beats, the others of 12); themes 1..6 each play their own
// formula: "Soleá" at 140 bpm (formula 1 x 4), then 180, 190, 240, 170 and
// "Tangos" at 120 bpm (formula 6 x 8, twice).
#pragma once

#include "basic_gui_fixture.h"

class BasicEditorsFixture : public BasicWindowTest {
 protected:
  void SetUp() override {
    BasicWindowTest::SetUp();
    Start();
    ASSERT_EQ(form->DataSet.DataSetName, "Original");
    ASSERT_EQ(form->SGFormulas->RowCount(), 7);
    ASSERT_EQ(form->SGTemas->RowCount(), 7);
  }
  // The user's selection of a cell: the grid moves, then its handler runs.
  void SelectFormula(int row, int col = 2) {
    form->SGFormulas->Select(col, row);
    form->SGFormulasSelectCell(col, row);
  }
  void SelectTrack(int row, int col = 2) {
    form->SGDatosFormula->Select(col, row);
    form->SGDatosFormulaSelectCell(col, row);
  }
  void SelectTema(int row, int col = 1) {
    form->SGTemas->Select(col, row);
    form->SGTemasSelectCell(col, row);
  }
  void SelectEntry(int row, int col = 3) {
    form->SGSaco->Select(col, row);
    form->SGSacoSelectCell(col, row);
  }
  // Text typed into a cell: the grid holds it, then its edit handler runs.
  static void Type(StringGrid* g, int col, int row, const QString& text) {
    if (!g->item(row, col)) g->SetCells(col, row, QString());
    if (g->Cells(col, row) == text) {  // typing what the cell shows is an edit too
      const QSignalBlocker quiet(g);
      g->item(row, col)->setText(text + "?");
    }
    g->item(row, col)->setText(text);
  }
  Formula& F(int i) { return form->Rhythm->Formulas[static_cast<size_t>(i)]; }
  Tema& T(int i) { return form->Rhythm->Temas[static_cast<size_t>(i)]; }
};
