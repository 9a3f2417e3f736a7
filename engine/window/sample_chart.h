// A chart of 16-bit samples: one blue line on black, no axes shown.
#pragma once

#include <QRect>

class QWidget;

// The vertical axis runs from -range to range.
QWidget* MakeSampleChart(QWidget* parent, const char* name, QRect geometry, int range);
