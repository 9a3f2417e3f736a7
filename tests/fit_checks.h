// Checks of a window laid out on a screen, shared by the window tests of
// both editions: texts that do not fit their controls, and texts drawn over
// each other.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

// The control's object names from the window down, joined by '/'.
QString Where(const QWidget* w);

// The width a text takes in a widget's font, the widest line of it.
int TextWidth(const QWidget* w, const QString& text);

// Every text control below root whose text does not fit its rectangle
// (labels, buttons, check boxes, radio buttons and string grid cells).
QStringList CutTexts(QWidget* root);

// The part of a control that shows something: a label's text where its
// alignment puts it, any other control whole.
QRect Drawn(QWidget* w);

// Text controls among the direct children of panel that are drawn over each
// other, and over the panel's caption when it is a group box.
QStringList Overlaps(QWidget* panel);

// Grids below root whose columns do not all show within them (a column
// behind the grid's edge or its scroll bar needs a scroll to be read).
QStringList HiddenColumns(QWidget* root);
