#include <QAction>
#include <QCursor>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include "gui_fixture.h"

namespace {
// Mouse events as the panels get them; the drag follows the screen cursor.
void Press(QWidget* w, Qt::MouseButton b, QPoint screen) {
  QCursor::setPos(screen);
  QMouseEvent e(QEvent::MouseButtonPress, w->mapFromGlobal(QPointF(screen)), QPointF(screen), b, b, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}
void Move(QWidget* w, Qt::MouseButtons held, QPoint screen) {
  QCursor::setPos(screen);
  QMouseEvent e(QEvent::MouseMove, w->mapFromGlobal(QPointF(screen)), QPointF(screen), Qt::NoButton, held,
                Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}
}  // namespace

TEST_F(WindowTest, ViewTogglesFollowTheirCheckMarks) {
  Start();
  form->show();
  EXPECT_FALSE(form->PanelOnda->isVisible());
  form->Onda1->trigger();
  EXPECT_TRUE(form->PanelOnda->isVisible());
  EXPECT_TRUE(form->Onda1->isChecked());
  form->Onda1->trigger();
  EXPECT_FALSE(form->PanelOnda->isVisible());
  EXPECT_FALSE(form->Onda1->isChecked());

  // The close label of the tracks panel hides it and clears the item.
  QTest::mouseClick(form->Label36, Qt::LeftButton);
  EXPECT_FALSE(form->PanelPistas->isVisible());
  EXPECT_FALSE(form->Pistas1->isChecked());
  form->Pistas1->trigger();
  EXPECT_TRUE(form->PanelPistas->isVisible());

  for (QAction* a : {form->Metrnomo1, form->Temas1, form->Frmulas1, form->Sonidos1, form->Afinador1,
                     form->Guitarra1}) {
    const bool was = a->isChecked();
    a->trigger();
    EXPECT_NE(a->isChecked(), was) << a->objectName().toStdString();
    a->trigger();
  }
  form->hide();
}

TEST_F(WindowTest, PanelsDragWithTheLeftButtonAndNeverPastTheEdges) {
  Start();
  form->show();
  QWidget* p = form->PanelMetronomo;
  p->move(50, 40);
  const QPoint start = p->mapToGlobal(QPoint(30, 30));
  Press(p, Qt::LeftButton, start);
  Move(p, Qt::LeftButton, start + QPoint(20, 10));
  EXPECT_EQ(p->pos(), QPoint(70, 50));
  // A move that would bring the left edge to 0 or beyond is refused and the
  // origin stays: the panel follows again once the cursor comes back.
  Move(p, Qt::LeftButton, start + QPoint(-60, 10));
  EXPECT_EQ(p->pos(), QPoint(70, 50));
  Move(p, Qt::LeftButton, start + QPoint(-40, 10));
  EXPECT_EQ(p->pos(), QPoint(10, 50));

  // The right button brings a panel to the front but does not drag it.
  Press(p, Qt::RightButton, start);
  Move(p, Qt::RightButton, start + QPoint(30, 30));
  EXPECT_EQ(p->pos(), QPoint(10, 50));

  // The wave panel drags by a point of its chart.
  form->Onda1->trigger();
  QWidget* onda = form->PanelOnda;
  const QPoint before = onda->pos();
  const QPoint at = form->OndaL->mapToGlobal(QPoint(100, 20));
  Press(form->OndaL, Qt::LeftButton, at);
  Move(form->OndaL, Qt::LeftButton, at + QPoint(15, 5));
  EXPECT_EQ(onda->pos(), before + QPoint(15, 5));
  form->hide();
}
