// Where a tool panel goes on a desk of floating panels: the first free room
// in reading order (top to bottom, then left to right) within the desk's
// visible width, so that panels that open never cover the ones already shown.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// Panels closer than this are apart; a shared border line is no overlap.
constexpr int kPanelGap = 2;

// The first place, in reading order, where a panel of `size` stands clear of
// every rectangle of `taken` (kept `gap` apart) and ends within `width`,
// starting at `origin` (the desk's top-left place). The places tried are
// the origin's edges and the right and bottom edges of the taken ones. When
// none ends within the width, the panel goes at the left edge below
// everything taken (the desk then scrolls); a panel wider than the desk
// takes the first free row at the left edge.
QPoint NextFreePlace(const QList<QRect>& taken, QSize size, int width, QPoint origin = QPoint(0, 2),
                     int gap = kPanelGap);

// Whether two panels cover each other: more than a shared border line.
bool PanelsOverlap(const QRect& a, const QRect& b);

// Whether r stands clear of every rectangle of taken, `gap` apart.
bool PlaceIsFree(const QList<QRect>& taken, const QRect& r, int gap = kPanelGap);

// A panel's place as the settings keep it ("x,y"), and back; false for a
// text that is no place or one outside [0, limit] on either axis.
QString PlaceText(QPoint p);
bool ParsePlace(const QString& text, int limit, QPoint* p);
