#include "rhythm/window/notation.h"

#include <QFont>
#include <QHash>
#include <QPaintDevice>
#include <QPixmap>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// Glyph space: 20 units high; heads sit low, stems and beams reach up.
constexpr double kUnitHeight = 20.0;
constexpr double kHeadY = 15.0;
constexpr double kStemTop = 5.5;
constexpr double kStemX = 6.0;    // from the glyph's left edge
constexpr double kBeamGap = 3.5;  // between the first and the second beam

double Advance(QChar c) {
  switch (c.toLatin1()) {
    case ' ': return 4.0;
    case 'l': return 4.0;
    case 'g':
    case 'n': return 2.0;
    default: return 7.0;  // notes and rests
  }
}

bool IsJoint(QChar c) { return c == 'g' || c == 'n'; }

void Head(QPainter& p, double x) {
  p.drawEllipse(QPointF(x + 3.0, kHeadY), 3.0, 2.2);
  p.drawLine(QPointF(x + kStemX, kHeadY - 0.5), QPointF(x + kStemX, kStemTop));
}

void Flags(QPainter& p, double x, int count) {
  for (int i = 0; i < count; ++i) {
    const double y = kStemTop + i * kBeamGap;
    p.drawLine(QPointF(x + kStemX, y), QPointF(x + kStemX + 3.0, y + 3.0));
  }
}

void Beams(QPainter& p, double x0, double x1, int count) {
  for (int i = 0; i < count; ++i) {
    const double y = kStemTop + i * kBeamGap;
    p.drawRect(QRectF(x0, y, x1 - x0, 1.6));
  }
}
}  // namespace

double NotationWidth(const QString& glyphs) {
  double w = 0;
  for (QChar c : glyphs) w += Advance(c);
  return w;
}

void DrawNotation(QPainter& p, QPointF origin, double width, double height, const QString& glyphs) {
  const double natural = NotationWidth(glyphs);
  if (natural <= 0 || width <= 0 || height <= 0) return;
  std::vector<double> xs;
  double x = 0;
  for (QChar c : glyphs) {
    xs.push_back(x);
    x += Advance(c);
  }
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.translate(origin);
  const double sy = height / kUnitHeight;
  p.scale(std::min(sy, width / natural), sy);
  const QColor ink = p.pen().color();
  QPen pen(ink, 1.1);
  p.setPen(pen);
  p.setBrush(ink);
  const int n = static_cast<int>(glyphs.size());
  for (int i = 0; i < n; ++i) {
    const QChar c = glyphs[i];
    const double gx = xs[static_cast<size_t>(i)];
    const bool joined = (i > 0 && IsJoint(glyphs[i - 1])) || (i + 1 < n && IsJoint(glyphs[i + 1]));
    switch (c.toLatin1()) {
      case 'c':
        Head(p, gx);
        break;
      case 'h':
        Head(p, gx);
        if (!joined) Flags(p, gx, 1);
        break;
      case 'j':
        Head(p, gx);
        if (!joined) Flags(p, gx, 2);
        break;
      case 's': {  // quarter rest
        const QPolygonF zig({QPointF(gx + 2.5, 4.0), QPointF(gx + 5.5, 7.5), QPointF(gx + 3.0, 10.5),
                             QPointF(gx + 5.5, 14.0), QPointF(gx + 2.5, 13.0), QPointF(gx + 4.0, 17.0)});
        p.drawPolyline(zig);
        break;
      }
      case 'w':  // eighth rest
        p.drawEllipse(QPointF(gx + 2.8, 8.0), 1.3, 1.3);
        p.drawLine(QPointF(gx + 6.0, 7.0), QPointF(gx + 3.5, 16.5));
        break;
      case 'z':  // sixteenth rest
        p.drawEllipse(QPointF(gx + 3.2, 7.0), 1.2, 1.2);
        p.drawEllipse(QPointF(gx + 2.2, 11.0), 1.2, 1.2);
        p.drawLine(QPointF(gx + 6.5, 6.0), QPointF(gx + 3.0, 17.0));
        break;
      case 'g':
      case 'n': {
        // The beam runs from the stem before the joint to the stem after it.
        const double from = i > 0 ? xs[static_cast<size_t>(i - 1)] + kStemX : gx;
        const double to = i + 1 < n ? xs[static_cast<size_t>(i + 1)] + kStemX : gx + Advance(c);
        Beams(p, from, to, c == 'g' ? 1 : 2);
        break;
      }
      case 'l': {  // triplet mark over the group
        QFont f = p.font();
        f.setPixelSize(7);
        f.setBold(false);
        p.setFont(f);
        p.drawText(QRectF(gx, 0.0, 12.0, 6.0), Qt::AlignLeft | Qt::AlignTop, "3");
        break;
      }
      default:
        break;  // blanks only advance
    }
  }
  p.restore();
}

void DrawNotationRemembered(QPainter& p, QPointF origin, double width, double height, const QString& glyphs) {
  const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
  if (origin != origin.toPoint() || width <= 0 || height <= 0 || width > 512 || height > 128 ||
      p.transform().type() > QTransform::TxTranslate || p.transform().dx() != std::round(p.transform().dx()) ||
      p.transform().dy() != std::round(p.transform().dy())) {
    DrawNotation(p, origin, width, height, glyphs);
    return;
  }
  // A pixel of room on every side for the pen's edge.
  const QString key = glyphs + QChar(0) + QString::number(width) + 'x' + QString::number(height) + '@' +
                      QString::number(dpr) + '/' + QString::number(p.pen().color().rgba()) + '/' + p.font().key();
  static QHash<QString, QPixmap> pictures;
  auto it = pictures.constFind(key);
  if (it == pictures.constEnd()) {
    if (pictures.size() > 1024) pictures.clear();
    const QSize size(static_cast<int>(std::ceil(width)) + 2, static_cast<int>(std::ceil(height)) + 2);
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter q(&pm);
    q.setPen(p.pen());
    q.setFont(p.font());
    DrawNotation(q, QPointF(1, 1), width, height, glyphs);
    q.end();
    it = pictures.insert(key, pm);
  }
  p.drawPixmap(origin - QPointF(1, 1), *it);
}
