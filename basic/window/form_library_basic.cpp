// The basic window's library commands: new, copy, paste and clear of
// formulas and themes, the track and beat clipboards, the track moves, the
// searches, sorting and deletion.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>

#include "platform/ui/string_grid.h"
#include "basic/window/basic_form.h"
#include "platform/files/text.h"
#include "rhythm/editor_logic.h"
#include "rhythm/library_ops.h"
#include "rhythm/window/editor_widgets.h"
#include "rhythm/window/library_handlers.h"
#include "engine/transport.h"

namespace bornace {

void TMainForm::RefillTemaRows() {
  const library_steps::GridsFillingScope filling(DataSet);
  for (int m = 0; m < TemaCount(); ++m) FillTemaRow(m);
}

// --- formulas -------------------------------------------------------------------

void TMainForm::Nuevafrmula1Click() { library_steps::AppendFormula(*this); }

void TMainForm::Copiarfrmula1Click() { Pages.FormulaClipboard = SGFormulas->Row() - 1; }

// A position beyond the table (after a deletion) holds no formula.
void TMainForm::Pegarfrmula1Click() { library_steps::PasteFormula(*this, Pages, FormulaCount()); }

void TMainForm::Limpiarfrmula1Click() { library_steps::ClearFormulaPattern(*this, FormulaCount()); }

int TMainForm::CommandFormula() const { return library_steps::CommandFormulaOf(*this); }

// A paste takes a copied formula only while it lies within the table.
void TMainForm::Copiarpista1Click() { library_steps::CopyTrackRow(*this, Pages.TrackClipboard); }

void TMainForm::Pegarpista1Click() { library_steps::PasteTrackRow(*this, Pages.TrackClipboard, FormulaCount()); }

void TMainForm::Limpiarpista1Click() { library_steps::ClearTrackRow(*this); }

void TMainForm::Copiartiempo1Click() { library_steps::CopyBeatColumn(*this, Pages.BeatClipboard); }

void TMainForm::Pegartiempo1Click() { library_steps::PasteBeatColumn(*this, Pages.BeatClipboard, FormulaCount()); }

void TMainForm::Limpiartiempo1Click() { library_steps::ClearBeatColumn(*this); }

// No mute or solo buttons move with a track here; the chart follows it.
void TMainForm::Moveralaizquierda1Click() {
  const int y = SGDatosFormula->Row();
  const int f = CommandFormula();
  if (y < 2 || y > kTracksV1 || f < 0) return;
  SwapPatternRows(SGDatosFormula, y, y - 1);
  SGDatosFormula->Select(SGDatosFormula->Col(), y - 1);
  SwapTracks(Rhythm->Formulas[static_cast<size_t>(f)], y - 2, y - 1);
  Cambios();
  FollowTrackInChart(y - 1);
}

void TMainForm::Moveraladerecha1Click() {
  const int y = SGDatosFormula->Row();
  const int f = CommandFormula();
  if (y < 1 || y >= kTracksV1 || f < 0) return;  // the last track stays
  SwapPatternRows(SGDatosFormula, y, y + 1);
  SGDatosFormula->Select(SGDatosFormula->Col(), y + 1);
  SwapTracks(Rhythm->Formulas[static_cast<size_t>(f)], y - 1, y);
  Cambios();
  FollowTrackInChart(y + 1);
}

void TMainForm::Edit3Change() { library_steps::SearchFormula(*this); }

void TMainForm::OrdenarClick() {
  const int selected = library_steps::SortFormulaRows(*this);
  RefillFormulaRows();
  RefillTemaRows();
  // The selected formula stays selected where it went, the grid and the
  // pattern grid showing the same record.
  if (selected >= 0) {
    SGFormulas->Select(SGFormulas->Col(), selected + 1);
    SGFormulasSelectCell(SGFormulas->Col(), selected + 1);
  }
  if (TemaCount() > 0) SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
  Cambios();  // the entries' formula numbers changed in the records
}

void TMainForm::Borrarfrmula1Click() {
  const int i = library_steps::DeleteSelectedFormula(*this, /*tellOnlyOne=*/false);
  if (i < 0) return;
  // The row of the deleted formula (or the last) is selected and shown.
  const int row = std::min(i + 1, Rhythm->FormulaCount);
  SGFormulas->Select(SGFormulas->Col(), row);
  SGFormulasSelectCell(SGFormulas->Col(), row);
  if (TemaCount() > 0) SGTemasSelectCell(1, SGTemas->Row());
}

// --- themes ---------------------------------------------------------------------

void TMainForm::Nuevotema1Click() {
  // The older record has no pan or volume: the theme gets no entries and
  // the formula slider's tempo, which the tempo column shows.
  const int bpm = SliderBpm(TB2->value());
  if (!library_steps::AppendTheme(*this, [bpm](Tema& t) {
        t.entryCount = 0;
        t.tempos[0] = static_cast<uint16_t>(bpm);
      }))
    return;
  SGTemas->SetCells(2, TemaCount(), QString::number(bpm));  // the appended theme's row
  library_steps::PlayInOrder(*this);
}

void TMainForm::Copiartema1Click() { library_steps::CopyTheme(*SGTemas, Pages.ThemeClipboard); }

// A position beyond the table (after a deletion) holds no theme.
void TMainForm::Pegartema1Click() { library_steps::PasteTheme(*this, Pages.ThemeClipboard, TemaCount()); }

void TMainForm::Limpiartema1Click() { library_steps::ClearTheme(*this); }

// No guitar track goes with a theme here.
void TMainForm::Borrartema1Click() { library_steps::DeleteSelectedTheme(*this, [](int) {}); }

// The sort does not mark the set modified.
void TMainForm::Ordenarpornombre1Click() {
  library_steps::SortThemeRows(*this);
  RefillTemaRows();
  if (TemaCount() > 0) SGTemasSelectCell(SGTemas->Col(), SGTemas->Row());
}

void TMainForm::LabeledEdit1Change() { library_steps::SearchTheme(*this); }

void TMainForm::menostemaClick() { library_steps::StepTheme(*this, -1); }

void TMainForm::mastemaClick() { library_steps::StepTheme(*this, +1); }

}  // namespace bornace
