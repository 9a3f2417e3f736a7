// The windows' one look: dark grids, lists, sliders and buttons that match
// the black panels, in both editions. The marks that carry a meaning (the
// red and lime of the grids and lists, the beat lamps, the tuner's colours)
// keep their colours; the grounds they stand on are dark enough for them.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class QListWidget;
class QWidget;

struct DeskColours {
  QColor desk{72, 72, 72};         // the desk under the panels
  QColor panel{0, 0, 0};           // the panels
  QColor window{40, 40, 40};       // menu bar, status bar, pages, dialogs
  QColor base{22, 22, 22};         // cells, lists and edit boxes
  QColor alternateBase{30, 30, 30};
  QColor fixedCell{0, 0, 0};       // a grid's heading row and number column, as the panel
  QColor gridLine{64, 64, 64};
  QColor text{230, 230, 230};
  QColor button{58, 58, 58};
  QColor highlight{38, 79, 120};   // the selection, the chosen cell
  QColor highlightedText{255, 255, 255};
  QColor toAdd{0, 0, 88};          // the formula the theme editor inserts
  QColor disabledText{120, 120, 120};
  QColor disabledGround{34, 34, 34};
  QColor link{110, 170, 255};
  // The marks.
  QColor red{255, 0, 0};
  QColor lime{0, 255, 0};
  QColor silver{192, 192, 192};
  QColor grey{128, 128, 128};
  // The solo and mute buttons while down.
  QColor soloDown{200, 0, 0};
  QColor muteDown{0, 120, 0};
};

// The one set of colours.
const DeskColours& DeskTheme();

// The palette of every window of the program.
QPalette DeskPalette();

// Gives the program the desk's look: the Fusion style, whose controls
// (grids and their lines, lists, sliders, scroll bars, buttons, boxes) are
// drawn from the palette, and that palette for every window, tool tips
// too. Call it before building a window; calling it again changes nothing.
void ApplyDeskTheme();

// The style rules of a solo or mute button: the theme's button while up,
// its colour behind white text while down.
QString MarkedButtonStyle(bool down, const QColor& downColour);

// WCAG contrast ratio of two colours (1 .. 21).
double ContrastRatio(const QColor& a, const QColor& b);
