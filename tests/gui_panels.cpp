#include <QAction>
#include <QCursor>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include "gui_fixture.h"
#include "platform/ui/keyboard.h"
#include "platform/ui/desk_places.h"

namespace {
// Mouse events as the panels get them; the drag follows the screen cursor.
// Sent to w, they go on to its parents while nobody takes them.
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
// The panel's place among its siblings, the last one drawn on top.
int StackIndex(QWidget* w) {
  int i = 0;
  for (QObject* o : w->parentWidget()->children()) {
    if (o == w) return i;
    if (o->isWidgetType()) ++i;
  }
  return -1;
}
bool OnTop(QWidget* w) {
  QWidget* last = nullptr;
  for (QObject* o : w->parentWidget()->children())
    if (o->isWidgetType()) last = static_cast<QWidget*>(o);
  return last == w;
}
// A point of the panel that no child covers.
QPoint FreePoint(QWidget* panel) {
  const QPoint at(panel->width() - 3, panel->height() - 3);
  EXPECT_EQ(panel->childAt(at), nullptr);
  return at;
}
QStringList ItemNames(QMenu* m) {
  QStringList names;
  for (QAction* a : m->actions())
    if (!a->isSeparator()) names << a->objectName();
  return names;
}

struct PanelRow {
  QAction* item;
  QWidget* panel;
  QLabel* close;
  bool visibleAtStart;
  bool toFront;  // shown by its item, the panel comes to the front
};
std::vector<PanelRow> Panels(TMainForm& f) {
  return {{f.Metrnomo1, f.PanelMetronomo, f.StaticText4, true, true},
          {f.Temas1, f.PanelTemas, f.StaticText6, true, true},
          {f.Frmulas1, f.PanelFormulas, f.StaticText8, true, true},
          {f.Pistas1, f.PanelPistas, f.Label36, true, false},
          {f.Onda1, f.PanelOnda, f.StaticText9, false, false},
          {f.Sonidos1, f.PanelSonidos, f.StaticText10, false, false},
          {f.Afinador1, f.PanelAfinador, f.StaticText11, false, true},  // the tuner starts on top
          // Opening the guitar panel ends by bringing it to the front.
          {f.Guitarra1, f.PanelGuitarra, f.StaticText7, false, true}};
}
}  // namespace

TEST_F(WindowTest, PanelsStartAsTheLayoutPlacesThem) {
  Start();
  form->show();
  struct {
    QWidget* panel;
    QRect geometry;
    const char* caption;  // after the Spanish switch of start-up
  } cases[] = {{form->PanelMetronomo, {0, 2, 224, 430}, "   Velarto "},
               {form->PanelTemas, {224, 2, 833, 230}, "   Temas "},
               {form->PanelFormulas, {1059, 3, 248, 229}, "   Fórmulas"},
               {form->PanelPistas, {228, 231, 1077, 422}, "   Pistas "},
               {form->PanelOnda, {322, 544, 578, 170}, nullptr},
               {form->PanelSonidos, {492, 296, 280, 390}, nullptr},  // the set's name, written by the open
               {form->PanelAfinador, {27, 440, 421, 409}, "   Afinador "},
               {form->PanelGuitarra, {406, 158, 864, 483}, "   Guitarra "}};
  for (const auto& c : cases) {
    const std::string name = c.panel->objectName().toStdString();
    // The layout's places and sizes; a panel is wider, and the docked
    // panels to its right stand further right, only where the font or a
    // long name needs it (the themes panel keeps the formula to add clear
    // of the export's captions).
    EXPECT_EQ(c.panel->y(), c.geometry.y()) << name;
    EXPECT_GE(c.panel->x(), c.geometry.x()) << name;
    EXPECT_LE(c.panel->x(), c.geometry.x() + 90) << name;
    EXPECT_EQ(c.panel->height(), c.geometry.height()) << name;
    // The tracks panel takes the width of the formula it shows.
    if (c.panel != form->PanelPistas) {
      EXPECT_GE(c.panel->width(), c.geometry.width()) << name;
      EXPECT_LE(c.panel->width(), c.geometry.width() + 90) << name;
    }
    if (c.caption) {
      EXPECT_EQ(static_cast<QGroupBox*>(c.panel)->title(), QString::fromUtf8(c.caption));
    }
  }
  EXPECT_FALSE(qobject_cast<QGroupBox*>(form->PanelOnda));  // a plain panel, no caption
  for (const PanelRow& p : Panels(*form)) {
    const std::string name = p.panel->objectName().toStdString();
    EXPECT_EQ(p.panel->isVisible(), p.visibleAtStart) << name;
    EXPECT_EQ(p.item->isChecked(), p.visibleAtStart) << name;
    EXPECT_EQ(p.close->text(), "X") << name;
    EXPECT_EQ(p.close->geometry(), QRect(0, 0, 16, 18)) << name;
    EXPECT_EQ(p.close->parentWidget(), p.panel) << name;
  }
  form->hide();
}

TEST_F(WindowTest, ViewTogglesFollowTheirCheckMarks) {
  Start();
  form->show();
  for (const PanelRow& p : Panels(*form)) {
    const std::string name = p.item->objectName().toStdString();
    // Twice: shown and hidden in either order, the panel follows the mark.
    for (int i = 0; i < 2; ++i) {
      form->PanelPistas->raise();
      if (p.panel == form->PanelPistas) form->PanelOnda->raise();
      const int before = StackIndex(p.panel);
      const bool was = p.item->isChecked();
      p.item->trigger();
      EXPECT_NE(p.item->isChecked(), was) << name;
      EXPECT_EQ(p.panel->isVisible(), p.item->isChecked()) << name;
      if (p.panel->isVisible() && p.toFront)
        EXPECT_TRUE(OnTop(p.panel)) << name;
      else
        EXPECT_EQ(StackIndex(p.panel), before) << name;
    }
  }
  form->hide();
}

TEST_F(WindowTest, CloseLabelsHideTheirPanelsOnALeftClick) {
  Start();
  form->show();
  for (const PanelRow& p : Panels(*form)) {
    const std::string name = p.close->objectName().toStdString();
    if (!p.item->isChecked()) p.item->trigger();
    ASSERT_TRUE(p.panel->isVisible()) << name;
    const QPoint before = p.panel->pos();
    QTest::mouseClick(p.close, Qt::RightButton);
    EXPECT_TRUE(p.panel->isVisible()) << name;
    QTest::mouseClick(p.close, Qt::LeftButton);
    EXPECT_FALSE(p.panel->isVisible()) << name;
    EXPECT_FALSE(p.item->isChecked()) << name;
    EXPECT_EQ(p.panel->pos(), before) << name;
    p.item->trigger();  // the item shows it again
    EXPECT_TRUE(p.panel->isVisible()) << name;
  }
  form->hide();
}

TEST_F(WindowTest, PanelsDragWithTheLeftButtonAndNeverPastTheEdges) {
  Start();
  form->show();
  QWidget* p = form->PanelMetronomo;
  p->move(50, 40);
  const QPoint start = p->mapToGlobal(FreePoint(p));
  Press(p, Qt::LeftButton, start);
  Move(p, Qt::LeftButton, start + QPoint(20, 10));
  EXPECT_EQ(p->pos(), QPoint(70, 50));
  // A move that would bring the left edge to 0 or beyond is refused and the
  // origin stays: the panel follows again once the cursor comes back.
  Move(p, Qt::LeftButton, start + QPoint(-60, 10));
  EXPECT_EQ(p->pos(), QPoint(70, 50));
  Move(p, Qt::LeftButton, start + QPoint(-40, 10));
  EXPECT_EQ(p->pos(), QPoint(10, 50));
  // The same at the top edge; a move to exactly 0 is refused too.
  Move(p, Qt::LeftButton, start + QPoint(-40, -40));
  EXPECT_EQ(p->pos(), QPoint(10, 50));
  Move(p, Qt::LeftButton, start + QPoint(-40, -39));
  EXPECT_EQ(p->pos(), QPoint(10, 1));
  // The right and bottom edges are not limited.
  Move(p, Qt::LeftButton, start + QPoint(2000, 1500));
  EXPECT_EQ(p->pos(), QPoint(2050, 1540));
  p->move(10, 50);

  // The right button brings a panel to the front but does not drag it.
  form->PanelTemas->raise();
  Press(p, Qt::RightButton, start);
  EXPECT_TRUE(OnTop(p));
  Move(p, Qt::RightButton, start + QPoint(30, 30));
  EXPECT_EQ(p->pos(), QPoint(10, 50));
  // Without a button held nothing moves either.
  Press(p, Qt::LeftButton, start);
  Move(p, Qt::NoButton, start + QPoint(30, 30));
  EXPECT_EQ(p->pos(), QPoint(10, 50));
  form->hide();
}

TEST_F(WindowTest, PanelsDragThroughTheirPicturesAndCharts) {
  Start();
  form->show();
  form->Onda1->trigger();
  form->Guitarra1->trigger();
  struct {
    QWidget* child;
    QWidget* panel;
  } cases[] = {{form->Image1, form->PanelMetronomo}, {form->Image2, form->PanelMetronomo},
               {form->OndaL, form->PanelOnda},       {form->OndaR, form->PanelOnda},
               {form->Image9, form->PanelGuitarra}};
  for (const auto& c : cases) {
    const std::string name = c.child->objectName().toStdString();
    c.panel->move(100, 100);
    const QPoint at = c.child->mapToGlobal(QPoint(5, 5));
    Press(c.child, Qt::LeftButton, at);
    EXPECT_TRUE(OnTop(c.panel)) << name;
    Move(c.child, Qt::LeftButton, at + QPoint(15, 5));
    EXPECT_EQ(c.panel->pos(), QPoint(115, 105)) << name;
  }
  form->hide();
}

TEST_F(WindowTest, OtherChildrenOfAPanelDoNotDragIt) {
  Start();
  form->show();
  QWidget* p = form->PanelMetronomo;
  p->move(50, 40);
  QWidget* lamp = form->BeatLabels[0];
  const QPoint at = lamp->mapToGlobal(QPoint(3, 3));
  form->PanelTemas->raise();
  Press(lamp, Qt::LeftButton, at);
  Move(lamp, Qt::LeftButton, at + QPoint(20, 10));
  EXPECT_EQ(p->pos(), QPoint(50, 40));
  EXPECT_FALSE(OnTop(p));
  // A press on the panel itself drags it again.
  const QPoint free = p->mapToGlobal(FreePoint(p));
  Press(p, Qt::LeftButton, free);
  Move(p, Qt::LeftButton, free + QPoint(20, 10));
  EXPECT_EQ(p->pos(), QPoint(70, 50));
  form->hide();
}

TEST_F(WindowTest, MenusAndShortcuts) {
  Start();
  EXPECT_EQ(ItemNames(form->File),
            (QStringList{"Original1", "Nuevo1", "Deshacertodo1", "Abrir2", "ImportarTEMA1", "ImportarPELNv1",
                         "Guardar1", "Guardarcomo1", "Salir1"}));
  EXPECT_EQ(ItemNames(form->Ver1), (QStringList{"Metrnomo1", "Temas1", "Frmulas1", "Pistas1", "Onda1", "Sonidos1",
                                                "Afinador1", "Guitarra1"}));
  EXPECT_EQ(ItemNames(form->Idiomas1), (QStringList{"Espaol1", "Ingls1"}));
  EXPECT_EQ(ItemNames(form->Ayuda1), (QStringList{"ManualBORNACEPELN1", "ActualizarBORNACEPELN1", "Acercade1"}));
  EXPECT_EQ(WithoutMnemonic(form->ManualBORNACEPELN1->text()), "DRAV_PROF");
  struct {
    QAction* action;
    QList<QKeySequence> keys;
  } cases[] = {{form->Action1, {QKeySequence(Qt::Key_F10)}},
               {form->Action2, {QKeySequence(Qt::Key_F11)}},
               {form->Action3, {QKeySequence(Qt::Key_F12), QKeySequence(Qt::Key_Escape)}},
               {form->ManualPC, {QKeySequence(Qt::Key_F1)}},
               {form->BUActualizar, {}}};
  for (const auto& c : cases) {
    const std::string name = c.action->objectName().toStdString();
    EXPECT_EQ(c.action->shortcuts(), c.keys) << name;
    // On the window: the keys work whichever panel has the focus.
    EXPECT_TRUE(form->actions().contains(c.action)) << name;
    EXPECT_NE(c.action->shortcutContext(), Qt::WidgetShortcut) << name;
  }
}

// The free room a panel takes when it opens: the first place in reading
// order that covers nothing and ends within the desk's width.
TEST(DeskPlaces, NextFreePlaceInReadingOrder) {
  const struct {
    const char* what;
    QList<QRect> taken;
    QSize size;
    int width;
    QPoint expected;
  } cases[] = {
      {"an empty desk: the top-left place", {}, {100, 50}, 800, {0, 2}},
      {"beside the first panel", {{0, 2, 200, 300}}, {100, 50}, 800, {202, 2}},
      {"below it when the row is full", {{0, 2, 200, 300}}, {700, 50}, 800, {0, 304}},
      {"into a gap between two", {{0, 2, 200, 300}, {500, 2, 200, 100}}, {250, 80}, 800, {202, 2}},
      {"under the lower one where the gap is too narrow",
       {{0, 2, 200, 300}, {300, 2, 200, 100}},
       {250, 80},
       800,
       {502, 2}},
      {"a panel wider than the desk: the first free row at the left", {{0, 2, 200, 300}}, {900, 50}, 800, {0, 304}},
      {"nowhere within the width: below everything",
       {{0, 2, 790, 100}, {0, 104, 400, 300}},
       {500, 50},
       800,
       {0, 406}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NextFreePlace(c.taken, c.size, c.width), c.expected) << c.what;
    EXPECT_TRUE(PlaceIsFree(c.taken, QRect(NextFreePlace(c.taken, c.size, c.width), c.size))) << c.what;
  }
  // Panels sharing a border line do not cover each other; one more pixel does.
  EXPECT_FALSE(PanelsOverlap({0, 0, 100, 100}, {0, 99, 100, 100}));
  EXPECT_TRUE(PanelsOverlap({0, 0, 100, 100}, {0, 98, 100, 100}));
  QPoint p;
  EXPECT_TRUE(ParsePlace(PlaceText({120, 45}), 20000, &p));
  EXPECT_EQ(p, QPoint(120, 45));
  for (const char* bad : {"", "12", "a,b", "-5,3", "3,99999", "1,2,3"}) EXPECT_FALSE(ParsePlace(bad, 20000, &p)) << bad;
}

TEST_F(WindowTest, APanelTheUserMovedStaysThereAndIsRememberedAtTheNextStart) {
  Start();
  form->show();
  QWidget* p = form->PanelSonidos;
  form->Sonidos1->trigger();
  const QPoint start = p->mapToGlobal(FreePoint(p));
  Press(p, Qt::LeftButton, start);
  Move(p, Qt::LeftButton, start + QPoint(30, 20));
  const QPoint put = p->pos();
  QMouseEvent up(QEvent::MouseButtonRelease, p->mapFromGlobal(QPointF(start + QPoint(30, 20))),
                 QPointF(start + QPoint(30, 20)), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(p, &up);
  // Closed and opened again, it comes back where it was put, over whatever is there.
  form->Sonidos1->trigger();
  form->Sonidos1->trigger();
  EXPECT_EQ(p->pos(), put);
  form->hide();
  form.reset();
  Start();
  EXPECT_EQ(form->PanelSonidos->pos(), put);
  form->Sonidos1->trigger();
  EXPECT_EQ(form->PanelSonidos->pos(), put);
  // A panel the user did not move takes free room when it opens.
  form->Onda1->trigger();
  for (QWidget* other : form->DeskPanels()) {
    if (other != form->PanelOnda && other != form->PanelSonidos && !other->isHidden()) {
      EXPECT_FALSE(PanelsOverlap(other->geometry(), form->PanelOnda->geometry())) << other->objectName().toStdString();
    }
  }
}

// The tracks panel narrows for a short formula; a panel opened beside it is
// never covered when a long formula widens it again.
TEST_F(WindowTest, TheTracksPanelGrowsWithoutCoveringAnOpenedPanel) {
  Start();
  form->showMaximized();
  QCoreApplication::processEvents();
  const int wide = form->PanelPistas->width();
  form->LayoutPatternGrid(4);
  ASSERT_LT(form->PanelPistas->width(), wide);
  for (QAction* a : {form->Onda1, form->Sonidos1, form->Afinador1}) a->trigger();
  form->LayoutPatternGrid(12);
  EXPECT_EQ(form->PanelPistas->width(), wide);
  for (QWidget* other : form->DeskPanels()) {
    if (other != form->PanelPistas && !other->isHidden()) {
      EXPECT_FALSE(PanelsOverlap(other->geometry(), form->PanelPistas->geometry())) << other->objectName().toStdString();
    }
  }
  form->hide();
}
