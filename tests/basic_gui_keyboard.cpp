// The keyboard's way through the basic window: Tab in each page's reading
// order, the menus' underlined letters in both languages.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QWidget>

#include "basic_gui_fixture.h"
#include "keyboard_checks.h"
#include "transport_test_theme.h"
#include "platform/ui/keyboard.h"

TEST_F(BasicWindowTest, TabFollowsEachPagesReadingOrder) {
  Start();
  QList<QWidget*> all;
  for (QWidget* page : {form->TabSheet1, form->TabSheet2, form->TabSheet3}) {
    const QList<QWidget*> stops = ReadingOrder(page);
    EXPECT_FALSE(stops.isEmpty()) << page->objectName().toStdString();
    all << stops;
  }
  ASSERT_GT(all.size(), 20);
  EXPECT_EQ(TabWalk(all.first(), all), all);
  auto at = [&](const char* name) {
    QWidget* w = form->findChild<QWidget*>(name);
    EXPECT_TRUE(w) << name;
    return all.indexOf(w);
  };
  const struct {
    const char* before;
    const char* after;
  } cases[] = {{"SGTemas", "SGFormulas"}, {"LBIns", "LBwavs"}, {"SGFormulas", "LBIns"}};
  for (const auto& c : cases) {
    EXPECT_GE(at(c.before), 0) << c.before;
    EXPECT_LT(at(c.before), at(c.after)) << c.before << " " << c.after;
  }
  EXPECT_FALSE(form->SGFormulas->tabKeyNavigation());
}

TEST_F(BasicWindowTest, MenusHaveTheirOwnLettersInBothLanguages) {
  Start();
  for (bool english : {true, false}) {
    english ? form->Ingls1Click() : form->Espaol1Click();
    ExpectOwnMnemonics(form->menuBar(), english ? "English" : "Spanish");
    EXPECT_EQ(form->File->title(), english ? "&File" : "&Archivo");
  }
  EXPECT_EQ(form->Guardar1->shortcut(), QKeySequence(QKeySequence::Save));
  EXPECT_EQ(form->P1->shortcut(), QKeySequence(Qt::Key_F10));
  ExpectItemsShowTheirKeys({{form->Guardar1, QKeySequence(QKeySequence::Save)},
                            {form->P1, QKeySequence(Qt::Key_F10)},
                            {form->PlayFrmula1, QKeySequence(Qt::Key_F11)},
                            {form->Stop1, QKeySequence(Qt::Key_F12)},
                            {form->ManualBORNACEPELN1, QKeySequence(Qt::Key_F1)},
                            {form->Velarto1, QKeySequence(Qt::SHIFT | Qt::Key_F1)}});
}

// Down and Up in the entries' grid move the selected entry: the transport
// counts from its compás and the formula grid shows its formula.
TEST_F(BasicWindowTest, ArrowKeysMoveTheSelectedEntry) {
  Start();
  const TestEntries entries = {{0, 2}, {1, 1}, {2, 3}};
  SetTestFormulas(*form->Rhythm);
  SetTestTheme(form->Rhythm->Temas[0], entries, 1, true, 0, 0);
  form->FillTemaRow(0);
  form->SGTemas->Select(1, 1);
  form->SGTemasSelectCell(1, 1);
  ExpectArrowKeysMoveTheEntry(*form, entries);
}
