#include "guitar/window/tab_chart.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

TabChart::TabChart(QWidget* parent, const char* name, QRect geometry, QRect plot) : QWidget(parent), plot_(plot) {
  setObjectName(name);
  setGeometry(geometry);
  setFocusPolicy(Qt::ClickFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QPointF TabChart::ToPixel(double x, double y) const {
  const double xSpan = BottomMax > 0 ? BottomMax : 1;
  const double px = plot_.left() + x * plot_.width() / xSpan;
  const double low = LeftMin - LeftPad, ySpan = LeftMax - LeftMin + 2 * LeftPad;
  double f = ySpan != 0 ? (y - low) / ySpan : 0;  // 0 at the low end, 1 at the high end
  if (!LeftInverted) f = 1 - f;                    // the low end at the bottom
  const double py = plot_.top() + f * plot_.height();
  return {px, py};
}

QStringList TabChart::BottomLabels() const {
  QStringList out;
  for (int v = 0; v <= static_cast<int>(std::floor(BottomMax)); ++v) {
    const QString plain = QString::number(v);
    out << (onBottomLabel ? onBottomLabel(plain, v) : plain);
  }
  return out;
}

int TabChart::SeriesAt(int x, int y) const {
  const QPointF at(x, y);
  for (int s = static_cast<int>(Series.size()) - 1; s >= 0; --s) {
    const ChartSeries& series = Series[static_cast<size_t>(s)];
    for (size_t i = 0; i < series.points.size(); ++i) {
      const QPointF p = ToPixel(series.points[i].x, series.points[i].y);
      if (std::abs(p.x() - at.x()) <= 3 && std::abs(p.y() - at.y()) <= 3) return s;
      if (series.kind == ChartSeries::Kind::Line && i + 1 < series.points.size()) {
        const QPointF q = ToPixel(series.points[i + 1].x, series.points[i + 1].y);
        // The line's pixels: near the segment between p and q.
        const QPointF d = q - p;
        const double len2 = d.x() * d.x() + d.y() * d.y();
        const double t = len2 > 0 ? std::clamp(((at - p).x() * d.x() + (at - p).y() * d.y()) / len2, 0.0, 1.0) : 0;
        const QPointF n = p + t * d - at;
        if (n.x() * n.x() + n.y() * n.y() <= 9) return s;
      }
    }
  }
  return -1;
}

namespace {
void Star(QPainter& p, QPointF c, double r) {
  for (int k = 0; k < 4; ++k) {
    const double a = k * std::numbers::pi / 4;
    p.drawLine(QPointF(c.x() - r * std::cos(a), c.y() - r * std::sin(a)),
               QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a)));
  }
}
}  // namespace

void TabChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(32, 32, 32));
  p.fillRect(plot_, Qt::white);
  const QFontMetrics fm(font());

  // The string lines and their numbers.
  p.setPen(QColor(96, 96, 96));
  for (int v = static_cast<int>(std::ceil(LeftMin)); v <= static_cast<int>(std::floor(LeftMax)); ++v) {
    const QPointF a = ToPixel(0, v);
    p.setPen(QColor(96, 96, 96));
    p.drawLine(QPointF(plot_.left(), a.y()), QPointF(plot_.right(), a.y()));
    p.setPen(Qt::white);
    const QString t = QString::number(v);
    p.drawText(QRectF(0, a.y() - fm.height() / 2.0, plot_.left() - 4, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
               t);
  }
  // The division (or beat) lines and their labels.
  const QStringList labels = BottomLabels();
  for (int v = 0; v < labels.size(); ++v) {
    const QPointF a = ToPixel(v, LeftMin);
    p.setPen(QColor(200, 200, 200));
    p.drawLine(QPointF(a.x(), plot_.top()), QPointF(a.x(), plot_.bottom()));
    if (labels[v].isEmpty()) continue;
    p.setPen(Qt::white);
    p.drawText(QRectF(a.x() - 20, plot_.bottom() + 1, 40, fm.height()), Qt::AlignHCenter | Qt::AlignTop, labels[v]);
  }

  // The series, in order; the marks stand above their points.
  for (const ChartSeries& s : Series) {
    if (s.kind == ChartSeries::Kind::Line && s.points.size() > 1) {
      p.setPen(QPen(s.lineColor, s.lineWidth));
      for (size_t i = 0; i + 1 < s.points.size(); ++i)
        p.drawLine(ToPixel(s.points[i].x, s.points[i].y), ToPixel(s.points[i + 1].x, s.points[i + 1].y));
    }
    for (const ChartPoint& pt : s.points) {
      const QPointF c = ToPixel(pt.x, pt.y);
      if (s.kind == ChartSeries::Kind::Points && !s.markOnPoint) {
        p.setPen(QPen(pt.color, 1));
        if (s.star)
          Star(p, c, s.pointerSize / 2.0);
        else
          p.fillRect(QRectF(c.x() - s.pointerSize / 2.0, c.y() - s.pointerSize / 2.0, s.pointerSize, s.pointerSize),
                     pt.color);
      }
      if (pt.label.isEmpty()) continue;
      const int w = fm.horizontalAdvance(pt.label) + 4;
      const QRectF box = s.markOnPoint
                             ? QRectF(c.x() - w / 2.0, c.y() - fm.height() / 2.0, w, fm.height())
                             : QRectF(c.x() - w / 2.0, c.y() - s.pointerSize / 2.0 - fm.height() - 1, w, fm.height());
      if (s.markBack.isValid()) p.fillRect(box, s.markBack);
      // A mark in place of its point takes the point's colour.
      p.setPen(s.markOnPoint ? pt.color : s.markColor);
      p.drawText(box, Qt::AlignCenter, pt.label);
    }
  }
}

void TabChart::mousePressEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  const bool onSeries = SeriesAt(at.x(), at.y()) >= 0;
  const auto& handler = onSeries && onClickSeries ? onClickSeries : onClickBackground;
  if (handler) handler(e->button(), e->buttons(), at.x(), at.y());
  e->accept();
}

void TabChart::mouseMoveEvent(QMouseEvent* e) {
  if (onMouseMove) onMouseMove(e->position().toPoint().x(), e->position().toPoint().y());
  e->accept();
}

void TabChart::keyPressEvent(QKeyEvent* e) {
  if (onKeyDown) onKeyDown(e->key());
  if (onKeyPress && !e->text().isEmpty()) onKeyPress(e->text());
  e->accept();
}
