// The close of either edition's main window with unsaved changes: the save
// is offered as the edition offers it; when the user wanted it saved and it
// was refused or failed, the close asks once more, so that no edit is lost
// without the user choosing it: Yes tries the save again, No closes without
// saving, Cancel keeps the program running.
//
// What it uses of the window is stated by the concept SavingWindow below.
#pragma once

#include <QString>
#include <concepts>

#include "platform/ui/dialogs.h"
#include "platform/ui/window_concepts.h"
#include "rhythm/dataset.h"

// What the close's save uses of a window, under the same names in both
// editions: the modified mark (Modified), the save (SaveDataSet, false when
// nothing was written), the open set's marks (DataSet: the save question's
// SaveAnswer and SaveWithoutAsking), the message boxes and the texts in the
// language in force.
template <class Form>
concept SavingWindow = WordedWindow<Form> && AskingWindow<Form> && requires(Form& f) {
  { f.Modified() } -> std::convertible_to<bool>;
  { f.SaveDataSet() } -> std::convertible_to<bool>;
  { f.DataSet } -> std::convertible_to<DataSetState&>;
};

// True when the close may go on. `cancelStays`: the edition's save
// question has a Cancel that keeps the program running (the professional
// edition's Yes/No/Cancel); otherwise any answer but Yes closes unsaved.
template <SavingWindow Form>
bool SaveBeforeClose(Form& f, bool cancelStays) {
  f.DataSet.SaveWithoutAsking = false;
  for (;;) {
    if (!f.Modified()) return true;
    f.DataSet.SaveAnswer = 0;
    const bool saved = f.SaveDataSet();
    if (saved && !f.Modified()) return true;
    // Answered No: the changes go, as the user chose. Cancel stays.
    const int answer = f.DataSet.SaveAnswer;
    if (answer == kAnswerCancel && cancelStays) return false;
    if (answer != 0 && answer != kAnswerYes) return true;
    const int a = f.dialogs->Ask(
        f.Tr("Los cambios no se han guardado.\r\n"
             "¿ Quiere intentar guardarlos otra vez ?\r\n"
             "(No: salir sin guardar. Cancelar: seguir en el programa.)",
             "The changes have not been saved.\r\n"
             "Try to save them again ?\r\n"
             "(No: quit without saving. Cancel: stay in the program.)"),
        QString(), AskButtons::YesNoCancel);
    if (a == kAnswerNo) return true;
    if (a != kAnswerYes) return false;
    // Again, without the first question: the user has said Yes to it.
    f.DataSet.SaveWithoutAsking = true;
  }
}
