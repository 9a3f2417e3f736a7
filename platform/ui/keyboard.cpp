#include "platform/ui/keyboard.h"

#include <QAbstractItemView>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QVariant>
#include <QScrollArea>
#include <QSet>
#include <QWidget>
#include <algorithm>

namespace {

bool IsStop(const QWidget* w) {
  return (w->focusPolicy() & Qt::TabFocus) && !qobject_cast<const QScrollArea*>(w);
}

}  // namespace

QList<QWidget*> ReadingOrder(QWidget* container) {
  // The container's parts: each direct child that is a stop, and each one
  // that holds stops (a group, a scrolled sheet), taken as a block whose
  // own stops follow one another.
  struct Part {
    QWidget* w;
    QRect r;
    QList<QWidget*> stops;
  };
  std::vector<Part> parts;
  for (QWidget* w : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w->isWindow()) continue;
    QList<QWidget*> stops;
    if (IsStop(w))
      stops << w;
    else
      stops = ReadingOrder(w);
    if (!stops.isEmpty()) parts.push_back({w, QRect(w->mapTo(container, QPoint(0, 0)), w->size()), stops});
  }
  std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
    return a.r.top() != b.r.top() ? a.r.top() < b.r.top() : a.r.left() < b.r.left();
  });
  QList<QWidget*> order;
  for (size_t i = 0; i < parts.size();) {
    // A line holds what starts above the middle of its shortest part, so
    // that a tall grid does not swallow the rows of small controls beside it.
    int middle = parts[i].r.center().y();
    size_t end = i + 1;
    while (end < parts.size() && parts[end].r.top() < middle) middle = std::min(middle, parts[end++].r.center().y());
    std::stable_sort(parts.begin() + static_cast<long>(i), parts.begin() + static_cast<long>(end),
                     [](const Part& a, const Part& b) {
                       return a.r.left() != b.r.left() ? a.r.left() < b.r.left() : a.r.top() < b.r.top();
                     });
    for (size_t k = i; k < end; ++k) order << parts[k].stops;
    i = end;
  }
  return order;
}

QList<QWidget*> ChainTabOrder(const QList<QWidget*>& containers) {
  QList<QWidget*> chain;
  for (QWidget* c : containers)
    if (c) chain << ReadingOrder(c);
  for (QWidget* w : chain)
    if (auto* view = qobject_cast<QAbstractItemView*>(w)) view->setTabKeyNavigation(false);
  for (qsizetype i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
  return chain;
}

QString WithoutMnemonic(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '\t') break;  // the key shown at the right
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out += '&', ++i;
      continue;
    }
    out += text[i];
  }
  return out;
}

namespace {

// `text` (without marks) with a mark before its first free letter; `used`
// gains it. Literal ampersands are doubled.
QString Marked(const QString& text, QSet<QChar>& used) {
  qsizetype pick = -1;
  auto take = [&](qsizetype i) {
    if (pick >= 0 || i >= text.size() || !text[i].isLetterOrNumber()) return;
    const QChar c = text[i].toCaseFolded();
    if (used.contains(c)) return;
    used.insert(c);
    pick = i;
  };
  for (qsizetype i = 0; i < text.size() && pick < 0; ++i)
    if (i == 0 || !text[i - 1].isLetterOrNumber()) take(i);  // first letters of words
  for (qsizetype i = 0; i < text.size() && pick < 0; ++i) take(i);
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (i == pick) out += '&';
    out += text[i] == '&' ? QString("&&") : QString(text[i]);
  }
  return out;
}

}  // namespace

namespace {
constexpr char kShownKey[] = "shownKey";

// The items of a menu, each with a letter of its own, and its submenus' items.
void MarkItems(QMenu* menu) {
  QSet<QChar> used;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator() || a->text().isEmpty()) continue;
    QString text = Marked(WithoutMnemonic(a->text()), used);
    const QKeySequence key = a->property(kShownKey).value<QKeySequence>();
    if (a->shortcut().isEmpty() && !key.isEmpty()) text += '\t' + key.toString(QKeySequence::NativeText);
    if (a->menu()) {
      a->menu()->setTitle(text);
      MarkItems(a->menu());
    } else {
      a->setText(text);
    }
  }
}
}  // namespace

void AssignMnemonics(QMenuBar* bar) {
  if (!bar) return;
  QSet<QChar> used;
  for (QAction* a : bar->actions()) {
    if (a->isSeparator() || a->text().isEmpty()) continue;
    a->setText(Marked(WithoutMnemonic(a->text()), used));
    if (a->menu()) MarkItems(a->menu());
  }
}

void ShowKeyInMenu(QAction* item, const QAction* owner) {
  if (item && owner) item->setProperty(kShownKey, QVariant::fromValue(owner->shortcut()));
}

QKeySequence ShownKey(const QAction* item) {
  if (!item) return {};
  if (!item->shortcut().isEmpty()) return item->shortcut();
  return item->property(kShownKey).value<QKeySequence>();
}
