// Drawing of the rhythm notation of a beat cell. The glyph string comes from
// NotationGlyphs (rhythm/editor_logic.h); each glyph is drawn here with
// lines and ellipses: blanks and the triplet mark 'l' lead in, 's' 'w' 'z'
// are the quarter, eighth and sixteenth rests, 'c' 'h' 'j' note heads with
// stems, and the joints 'g' (one beam) and 'n' (two beams) tie the stems on
// either side of them.
#pragma once

#include <QPointF>
#include <QString>

class QPainter;

// Draws the glyphs with their top-left corner at `origin`, in the current pen
// colour, fitting them into `width` x `height` pixels (narrowed when the
// string would be wider).
void DrawNotation(QPainter& p, QPointF origin, double width, double height, const QString& glyphs);

// The same, drawn once for each glyph string, size, colour and font and
// then copied: a pattern grid repeats a few strings in many cells. An origin
// off the pixel grid is drawn as DrawNotation does.
void DrawNotationRemembered(QPainter& p, QPointF origin, double width, double height, const QString& glyphs);

// Advance of the string before any narrowing, in pixels.
double NotationWidth(const QString& glyphs);
