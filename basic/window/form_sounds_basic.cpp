// The basic window's side of the "Sonidos" page: the sounds panel's rules
// (at most 16 sounds, taken from the set's own folder; the list commands
// change the list in memory and the data-set save writes it; a removal
// renumbers the formulas' sounds) and what the panel asks of the window.
#include <QComboBox>

#include "basic/window/basic_form.h"
#include "platform/ui/string_grid.h"

namespace bornace {

SoundsRules TMainForm::BasicSoundsRules() {
  SoundsRules r;
  r.libraryInSetFolder = true;
  r.listWrittenAtOnce = false;
  r.removeRenumbers = true;
  r.basicCodes = true;
  r.reopenMenuOnlyWhenShown = false;
  return r;
}

SoundsPanel::WindowSide TMainForm::SoundsSide() {
  SoundsPanel::WindowSide side = SoundsSideOf(*this);
  // The formula shown again, its tracks under the sounds' new numbers.
  side.listShown = [this] {
    const int f = EditedFormula();
    if (f >= 0) SGFormulasSelectCell(SGFormulas->Col(), f + 1);
  };
  return side;
}

void TMainForm::FillSoundChoosers() { SoundsPane.FillChoosers(CBSonidos, CBMetro); }

}  // namespace bornace
