#include "guitar/edit_keys.h"

#include <QtCore/qnamespace.h>

#include "guitar/edit.h"

int EditVirtualKey(int qtKey, bool keypad) {
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
    return (keypad ? editkey::kKeypad0 : editkey::kDigit0) + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return editkey::kLetterA + (qtKey - Qt::Key_A);
  switch (qtKey) {
    case Qt::Key_Backspace: return editkey::kBackspace;
    case Qt::Key_Delete: return editkey::kDelete;
    case Qt::Key_Return:
    case Qt::Key_Enter: return editkey::kEnter;
    case Qt::Key_Escape: return editkey::kEscape;
    case Qt::Key_Control: return editkey::kControl;
    case Qt::Key_Left: return editkey::kLeft;
    case Qt::Key_Right: return editkey::kRight;
    case Qt::Key_Up: return editkey::kUp;
    case Qt::Key_Down: return editkey::kDown;
    default: return 0;
  }
}
