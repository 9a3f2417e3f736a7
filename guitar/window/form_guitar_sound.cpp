// The audition of the beat at the cursor, asked for by the beat navigation.
#include "app/window/mainform.h"

void TMainForm::PlayTiempoGClick() {
  if (OnGuitarAudition) OnGuitarAudition();
}
