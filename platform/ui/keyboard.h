// The keyboard's way through a window: the tab order of a panel in reading
// order, and the menus' underlined letters.
#pragma once

#include <QList>
#include <QString>

class QMenuBar;
class QWidget;

// The widgets below `container` that Tab stops at, in reading order: its
// parts (a stop, or a group holding stops, whose stops then follow one
// another) line by line from the top, a part starting above the middle of
// the line's shortest part belonging to that line, and left to right within
// a line. What lies inside a stop (the edit box of a spin box) is part of
// it; a scroll area is a way through, not a stop.
QList<QWidget*> ReadingOrder(QWidget* container);

// Chains the stops of the containers, each in its reading order, one
// container after the other; returns the chain. The grids are left by Tab
// (their arrow keys move within them).
QList<QWidget*> ChainTabOrder(const QList<QWidget*>& containers);

// A text without its mnemonic marks ("&Archivo" -> "Archivo", "&&" -> "&").
QString WithoutMnemonic(const QString& text);

// Gives each menu of the bar an underlined letter of its own (Alt with the
// letter opens it): the first letter of a word that is still free, else any
// free letter. Marks set before are replaced, so it runs again after the
// texts change. The items are reached with the arrow keys once it is open.
void AssignMnemonics(QMenuBar* bar);
