// The keyboard's way through a window: the tab order of a panel in reading
// order, and the menus' underlined letters.
#pragma once

#include <QList>
#include <QString>

#include <QKeySequence>

class QAction;
class QMenu;
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

// A menu text as it reads: without its mnemonic marks ("&Archivo" ->
// "Archivo", "&&" -> "&") and without the key shown after a tab
// ("&Manual\tF1" -> "Manual").
QString WithoutMnemonic(const QString& text);

// Gives each menu of the bar an underlined letter of its own (Alt with the
// letter opens it), and each item of every menu and submenu one of its own
// within its menu (the letter picks it while the menu is open): the first
// letter of a word that is still free, else any free letter. An item whose
// key belongs to another action (see ShowKeyInMenu) shows that key at its
// right, as an item with a shortcut of its own does. Marks set before are
// replaced, so it runs again after the texts change.
void AssignMnemonics(QMenuBar* bar);

// The menu item `item` runs what `owner` runs, and owner holds the key (it
// works with no menu open): the item shows owner's key.
void ShowKeyInMenu(QAction* item, const QAction* owner);
// The key a menu item shows: its own shortcut, else the one ShowKeyInMenu gave it.
QKeySequence ShownKey(const QAction* item);
