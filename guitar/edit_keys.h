// The editor box's keys as the window system reports them, turned into the
// virtual key codes EditKeyDown takes.
#pragma once

// A Qt key (Qt::Key) with whether it came from the keypad -> its virtual key
// code (editkey::...); 0 for a key the editor does not tell apart.
int EditVirtualKey(int qtKey, bool keypad);
