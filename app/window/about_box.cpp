#include "app/window/about_box.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>

QString ShownAddress(const char* url) {
  QString s = QString::fromLatin1(url);
  s.remove(QStringLiteral("https://")).remove(QStringLiteral("http://"));
  if (s.endsWith('/')) s.chop(1);
  return s;
}

void SetTextColour(QLabel* label, const QColor& colour) {
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, colour);
  label->setPalette(pal);
}

namespace {
const QColor kHover(255, 255, 0);
}  // namespace

AboutBox::AboutBox(QWidget* parent, const MainWindowLinks& links) : QDialog(parent), links_(links) {}

void AboutBox::FormCreate() {
  setWindowTitle(links_.englishItem->isChecked() ? "About BORNACE_PELN" : "Acerca de BORNACE_PELN");
}

void AboutBox::Label3Click() { links_.makerSite->trigger(); }
void AboutBox::CommentsClick() { links_.productSite->trigger(); }
void AboutBox::Label3MouseMove() { SetTextColour(Label3, kHover); }
void AboutBox::Label3MouseLeave() { SetTextColour(Label3, Qt::white); }
void AboutBox::CommentsMouseMove() { SetTextColour(Comments, kHover); }
void AboutBox::CommentsMouseLeave() { SetTextColour(Comments, Qt::white); }

bool AboutBox::IsLeftClickInside(QObject* obj, QEvent* ev) {
  if (ev->type() != QEvent::MouseButtonRelease) return false;
  auto* me = static_cast<QMouseEvent*>(ev);
  auto* w = static_cast<QWidget*>(obj);
  return me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint());
}

bool AboutBox::eventFilter(QObject* obj, QEvent* ev) {
  switch (ev->type()) {
    case QEvent::MouseButtonRelease:
      if (!IsLeftClickInside(obj, ev)) break;
      if (obj == Label3) Label3Click();
      else if (obj == Comments) CommentsClick();
      break;
    case QEvent::MouseMove:
      if (obj == Label3) Label3MouseMove();
      else if (obj == Comments) CommentsMouseMove();
      break;
    case QEvent::Leave:
      if (obj == Label3) Label3MouseLeave();
      else if (obj == Comments) CommentsMouseLeave();
      break;
    default:
      break;
  }
  return QDialog::eventFilter(obj, ev);
}
