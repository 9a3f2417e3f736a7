// The sound list, mixer and transport controls and their bindings.
#include "app/mainform.h"

void TMainForm::BuildEngineControls() {}
void TMainForm::ConnectEngineControls() {}
