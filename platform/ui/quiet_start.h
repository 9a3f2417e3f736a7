// What a program does before its application object, so that a normal start
// says nothing on stderr: the per-user runtime folder the desktop session
// would have set, and the offscreen platform's notes on what it cannot do
// (raise a window, grab the keyboard), which are no problem of ours.
#pragma once

// Call first in main, before the QApplication.
void QuietStart();
