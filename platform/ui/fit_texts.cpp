#include "platform/ui/fit_texts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>
#include <algorithm>

namespace {
constexpr int kTolerance = 2;  // overlaps this small are the layout's own seams
constexpr int kMaxGap = 4;     // a pushed neighbour keeps at most this much of its gap

bool OverlapVertically(const QRect& a, const QRect& b) {
  return a.top() < b.bottom() - kTolerance && b.top() < a.bottom() - kTolerance;
}

int LinesWidth(const QFontMetrics& fm, const QString& text) {
  int width = 0;
  for (const QString& line : text.split('\n')) width = std::max(width, fm.horizontalAdvance(line));
  return width;
}
}  // namespace

QString ShownText(const QWidget* w) {
  if (auto* l = qobject_cast<const QLabel*>(w)) return l->pixmap().isNull() ? l->text() : QString();
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
  return QString();
}

int WidthForText(const QWidget* w, const QString& text) {
  if (text.isEmpty()) return 0;
  const QFontMetrics fm(w->font());
  if (auto* l = qobject_cast<const QLabel*>(w)) {
    if (l->wordWrap()) return 0;  // a wrapping label grows downwards, by its own layout
    int inner = 0;
    if (Qt::mightBeRichText(text)) {
      QTextDocument doc;
      doc.setDefaultFont(l->font());
      doc.setDocumentMargin(0);
      doc.setHtml(text);
      inner = static_cast<int>(std::ceil(doc.idealWidth()));
    } else {
      inner = LinesWidth(fm, text);
    }
    const QMargins m = l->contentsMargins();
    return inner + m.left() + m.right() + 2 * l->margin() + std::max(0, l->indent()) + 1;
  }
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
    QString shown = text;
    shown.remove('&');
    if (qobject_cast<const QCheckBox*>(b) || qobject_cast<const QRadioButton*>(b)) {
      // As the button measures itself: indicator, spacing and the text.
      QStyleOptionButton opt;
      opt.initFrom(b);
      opt.text = shown;
      const bool radio = qobject_cast<const QRadioButton*>(b) != nullptr;
      const QSize textSize = fm.size(Qt::TextShowMnemonic, shown);
      return b->style()->sizeFromContents(radio ? QStyle::CT_RadioButton : QStyle::CT_CheckBox, &opt, textSize, b)
                 .width() +
             1;
    }
    return LinesWidth(fm, shown) + 8 + (b->icon().isNull() ? 0 : b->iconSize().width() + 4);
  }
  return 0;
}

void RecordShownTexts(QWidget* root, ShownTexts* texts) {
  for (QWidget* w : root->findChildren<QWidget*>()) {
    const QString t = ShownText(w);
    if (!t.isEmpty() && !(*texts)[w].contains(t)) (*texts)[w] << t;
  }
}

namespace {
// `pushers` are the controls that pushed w along this chain: they never move
// again in it, so two controls that overlap cannot push each other back and
// forth without end.
void PushRightFrom(QWidget* w, int oldRight, int newRight, const QList<QWidget*>& siblings,
                   QList<const QWidget*>& pushers) {
  if (newRight <= oldRight) return;
  pushers << w;
  for (QWidget* s : siblings) {
    if (pushers.contains(s) || !OverlapVertically(s->geometry(), w->geometry())) continue;
    if (s->x() < oldRight - kTolerance) continue;  // not to the right of w
    const int gap = std::clamp(s->x() - oldRight, 0, kMaxGap);
    const int minX = newRight + gap;
    if (s->x() >= minX) continue;
    const int sOldRight = s->x() + s->width();
    const int shift = minX - s->x();
    s->move(s->x() + shift, s->y());
    PushRightFrom(s, sOldRight, sOldRight + shift, siblings, pushers);
  }
  pushers.removeLast();
}
}  // namespace

void PushRightOf(QWidget* w, int oldRight, int newRight, const QList<QWidget*>& siblings) {
  QList<const QWidget*> pushers;
  PushRightFrom(w, oldRight, newRight, siblings, pushers);
}

QRect FitChildren(QWidget* container, const ShownTexts& texts) {
  QList<QWidget*> kids = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  kids.erase(std::remove_if(kids.begin(), kids.end(), [](QWidget* w) { return w->isWindow(); }), kids.end());
  QList<QWidget*> order = kids;
  std::stable_sort(order.begin(), order.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
  for (QWidget* w : order) {
    int need = 0;
    for (const QString& t : texts.value(w)) need = std::max(need, WidthForText(w, t));
    if (need <= w->width()) continue;
    const int oldRight = w->x() + w->width();
    PushRightOf(w, oldRight, w->x() + need, kids);
    w->resize(need, w->height());
  }
  QRect all;
  for (QWidget* w : kids) all |= w->geometry();
  return all;
}
