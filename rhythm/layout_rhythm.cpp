// The formula, track and theme editors' own controls and their bindings.
#include "app/mainform.h"

void TMainForm::BuildRhythmEditors() {}
void TMainForm::ConnectRhythmEditors() {}
