// Fitting the window's fixed layout to the fonts it meets: every text control
// gets at least the width its texts need in its own font, and what stands to
// its right moves along.
#pragma once

#include <QHash>
#include <QRect>
#include <QStringList>

class QWidget;

// The texts each control can show (both languages, the longest runtime texts).
using ShownTexts = QHash<QWidget*, QStringList>;

// The text a label or button shows now; empty for other widgets and for
// labels showing a picture.
QString ShownText(const QWidget* w);

// The width w needs to show text whole in its font.
int WidthForText(const QWidget* w, const QString& text);

// Adds each text control's present text below root to texts.
void RecordShownTexts(QWidget* root, ShownTexts* texts);

// Widens every direct child of container whose texts need more room. The
// controls standing to the right of a widened one move right as far as its
// new edge needs (keeping their gap), and theirs in turn. Returns the
// rectangle all children now take.
QRect FitChildren(QWidget* container, const ShownTexts& texts);

// Moves the widgets standing to the right of w (overlapping it vertically,
// starting at or after oldRight) so that none starts before newRight.
void PushRightOf(QWidget* w, int oldRight, int newRight, const QList<QWidget*>& siblings);
