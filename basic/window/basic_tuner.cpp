// The tuner page: the tuner runs while the page "Afinador" is shown.
#include "basic/window/basic_form.h"

namespace bornace {

void TMainForm::PageControl1Change() {
  const bool onTuner = PageControl1->currentWidget() == TabSheet2;
  if (onTuner && !TunerRunning) {
    TunerRunning = true;
    ++TunerStarts;
  } else if (!onTuner && TunerRunning) {
    TunerRunning = false;
  }
}

}  // namespace bornace
