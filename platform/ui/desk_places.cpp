#include "platform/ui/desk_places.h"

#include <QStringList>
#include <algorithm>
#include <vector>

bool PanelsOverlap(const QRect& a, const QRect& b) {
  return QRect(a.topLeft(), a.size() - QSize(1, 1)).intersects(QRect(b.topLeft(), b.size() - QSize(1, 1)));
}

bool PlaceIsFree(const QList<QRect>& taken, const QRect& r, int gap) {
  const QRect grown = r.adjusted(-gap, -gap, gap, gap);
  return std::none_of(taken.begin(), taken.end(), [&](const QRect& t) { return t.intersects(grown); });
}

QPoint NextFreePlace(const QList<QRect>& taken, QSize size, int width, QPoint origin, int gap) {
  std::vector<int> xs = {origin.x()}, ys = {origin.y()};
  for (const QRect& t : taken) {
    xs.push_back(t.right() + 1 + gap);
    ys.push_back(t.bottom() + 1 + gap);
  }
  auto tidy = [](std::vector<int>& v, int least) {
    for (int& a : v) a = std::max(a, least);
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
  };
  tidy(xs, origin.x());
  tidy(ys, origin.y());
  const bool fitsAcross = origin.x() + size.width() <= width;
  for (int y : ys)
    for (int x : xs) {
      if (fitsAcross && x + size.width() > width) break;  // the xs rise: none further fits either
      if (!fitsAcross && x != origin.x()) break;
      if (PlaceIsFree(taken, QRect(QPoint(x, y), size), gap)) return {x, y};
    }
  // Below everything: the last row tried is always free.
  return {origin.x(), ys.back()};
}

QString PlaceText(QPoint p) { return QString("%1,%2").arg(p.x()).arg(p.y()); }

bool ParsePlace(const QString& text, int limit, QPoint* p) {
  const QStringList parts = text.split(',');
  if (parts.size() != 2) return false;
  bool okX = false, okY = false;
  const int x = parts[0].trimmed().toInt(&okX), y = parts[1].trimmed().toInt(&okY);
  if (!okX || !okY || x < 0 || y < 0 || x > limit || y > limit) return false;
  *p = {x, y};
  return true;
}
