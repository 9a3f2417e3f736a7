#include "fit_checks.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

#include "platform/ui/string_grid.h"

namespace {
bool IsRichText(const QString& text) { return Qt::mightBeRichText(text); }
}  // namespace

QString Where(const QWidget* w) {
  QStringList path;
  for (const QWidget* p = w; p; p = p->parentWidget())
    if (!p->objectName().isEmpty()) path.prepend(p->objectName());
  return path.join('/');
}

int TextWidth(const QWidget* w, const QString& text) {
  QFontMetrics fm(w->font());
  int width = 0;
  for (const QString& line : text.split('\n')) width = std::max(width, fm.horizontalAdvance(line));
  return width;
}

QStringList CutTexts(QWidget* root) {
  QStringList out;
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(root) || w->width() <= 0) continue;
    if (qobject_cast<QScrollBar*>(w)) continue;
    if (auto* l = qobject_cast<QLabel*>(w)) {
      if (l->text().isEmpty() || !l->pixmap().isNull()) continue;
      if (l->wordWrap() || IsRichText(l->text())) {
        const int needH = l->heightForWidth(l->width());
        if (needH > l->height())
          out << QString("%1 \"%2\": needs %3 px of height, has %4").arg(Where(l), l->text()).arg(needH).arg(l->height());
        if (IsRichText(l->text())) {
          QTextDocument doc;
          doc.setDefaultFont(l->font());
          doc.setHtml(l->text());
          doc.setDocumentMargin(0);
          const int needW = static_cast<int>(std::ceil(doc.idealWidth()));
          if (!l->wordWrap() && needW > l->contentsRect().width())
            out << QString("%1 \"%2\": needs %3 px, has %4").arg(Where(l), l->text()).arg(needW).arg(l->contentsRect().width());
        }
        continue;
      }
      const int need = TextWidth(l, l->text()) + 2 * l->margin() + std::max(0, l->indent());
      if (need > l->contentsRect().width())
        out << QString("%1 \"%2\": needs %3 px, has %4").arg(Where(l), l->text()).arg(need).arg(l->contentsRect().width());
      const int lines = static_cast<int>(l->text().count('\n')) + 1;
      const int needH = QFontMetrics(l->font()).lineSpacing() * (lines - 1) + QFontMetrics(l->font()).height();
      if (needH > l->contentsRect().height() + 2)
        out << QString("%1 \"%2\": needs %3 px of height, has %4").arg(Where(l), l->text()).arg(needH).arg(l->height());
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      if (b->text().isEmpty()) continue;
      QString text = b->text();
      text.remove('&');
      int need = 0;
      if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b))
        need = b->sizeHint().width();
      else
        need = TextWidth(b, text) + 6 + (b->icon().isNull() ? 0 : b->iconSize().width() + 4);
      if (need > b->width())
        out << QString("%1 \"%2\": needs %3 px, has %4").arg(Where(b), b->text()).arg(need).arg(b->width());
    } else if (auto* g = qobject_cast<StringGrid*>(w)) {
      int total = 0;
      for (int c = 0; c < g->ColCount(); ++c) {
        if (g->isColumnHidden(c)) continue;
        total += g->columnWidth(c);
        for (int r = 0; r < g->RowCount(); ++r) {
          const QTableWidgetItem* it = g->item(r, c);
          if (!it || it->text().isEmpty()) continue;
          const int need = QFontMetrics(it->font()).horizontalAdvance(it->text()) + 6;
          if (need > g->columnWidth(c))
            out << QString("%1 cell (%2,%3) \"%4\": needs %5 px, has %6")
                       .arg(Where(g))
                       .arg(c)
                       .arg(r)
                       .arg(it->text())
                       .arg(need)
                       .arg(g->columnWidth(c));
        }
      }
      // Columns wider than the grid are reached by scrolling, never cut off.
      if (total > g->viewport()->width() && g->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
        out << QString("%1: %2 px of columns in %3 px and no scroll bar").arg(Where(g)).arg(total).arg(g->viewport()->width());
    }
  }
  return out;
}

QRect Drawn(QWidget* w) {
  auto* l = qobject_cast<QLabel*>(w);
  if (!l || l->wordWrap() || IsRichText(l->text())) return w->geometry();
  const QRect box = l->geometry();
  const int tw = std::min(box.width(), TextWidth(l, l->text()) + 2 * l->margin());
  int x = box.x();
  if (l->alignment() & Qt::AlignHCenter) x += (box.width() - tw) / 2;
  else if (l->alignment() & Qt::AlignRight) x += box.width() - tw;
  return QRect(x, box.y(), tw, box.height());
}

QStringList Overlaps(QWidget* panel) {
  QStringList out;
  QList<QWidget*> texts;
  for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!w->isVisibleTo(panel)) continue;
    auto* l = qobject_cast<QLabel*>(w);
    auto* b = qobject_cast<QAbstractButton*>(w);
    if ((l && !l->text().isEmpty()) || (b && !b->text().isEmpty()) || qobject_cast<QAbstractSlider*>(w) ||
        qobject_cast<QAbstractItemView*>(w))
      texts << w;
  }
  for (int i = 0; i < texts.size(); ++i)
    for (int j = i + 1; j < texts.size(); ++j) {
      const QRect a = Drawn(texts[i]).adjusted(1, 1, -1, -1), b = Drawn(texts[j]).adjusted(1, 1, -1, -1);
      if (!a.intersects(b)) continue;
      // Controls standing on a grid on purpose (a row's sliders) are not texts over texts.
      if (qobject_cast<QAbstractItemView*>(texts[i]) || qobject_cast<QAbstractItemView*>(texts[j])) {
        QWidget* other = qobject_cast<QAbstractItemView*>(texts[i]) ? texts[j] : texts[i];
        if (!qobject_cast<QLabel*>(other)) continue;
      }
      if (qobject_cast<QAbstractSlider*>(texts[i]) && qobject_cast<QAbstractSlider*>(texts[j])) continue;
      out << QString("%1 over %2").arg(Where(texts[i]), Where(texts[j]));
    }
  // The caption a panel draws at its top left.
  if (auto* box = qobject_cast<QGroupBox*>(panel); box && !box->title().isEmpty()) {
    QFont bold = box->font();
    bold.setBold(true);
    const QRect caption(18, 0, QFontMetrics(bold).horizontalAdvance(box->title()), 16);
    for (QWidget* w : texts)
      if (Drawn(w).adjusted(1, 1, -1, -1).intersects(caption))
        out << QString("%1 over the caption \"%2\"").arg(Where(w), box->title());
  }
  return out;
}

QStringList HiddenColumns(QWidget* root) {
  QStringList out;
  for (StringGrid* g : root->findChildren<StringGrid*>()) {
    if (!g->isVisibleTo(root)) continue;
    int total = 0;
    for (int c = 0; c < g->ColCount(); ++c)
      if (!g->isColumnHidden(c)) total += g->columnWidth(c);
    if (total > g->viewport()->width())
      out << QString("%1: %2 px of columns, %3 px shown").arg(Where(g)).arg(total).arg(g->viewport()->width());
  }
  return out;
}
