// The keyboard's way through the main window: Tab in each panel's reading
// order, the menus' underlined letters in both languages.
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTest>

#include "gui_fixture.h"
#include "keyboard_checks.h"
#include "transport_test_theme.h"
#include "platform/ui/keyboard.h"

namespace {

QList<QWidget*> PanelsInViewOrder(TMainForm& f) {
  return {f.PanelMetronomo, f.PanelTemas,   f.PanelFormulas, f.PanelPistas,
          f.PanelOnda,      f.PanelSonidos, f.PanelAfinador, f.PanelGuitarra};
}

}  // namespace

// Tab goes through each panel line by line, left to right, and from one
// panel to the next in the order of "Ver"; the grids let Tab go on.
TEST_F(WindowTest, TabFollowsEachPanelsReadingOrder) {
  Start();
  QList<QWidget*> all;
  for (QWidget* p : PanelsInViewOrder(*form)) all << ReadingOrder(p);
  ASSERT_GT(all.size(), 40);
  EXPECT_EQ(TabWalk(all.first(), all), all);
  auto at = [&](const char* name) {
    QWidget* w = form->findChild<QWidget*>(name);
    EXPECT_TRUE(w) << name;
    return all.indexOf(w);
  };
  const struct {
    const char* before;
    const char* after;
    const char* why;
  } cases[] = {
      {"SGDatosFormula", "TBPan1", "the pattern grid before the tracks' controls over it"},
      {"TBPan1", "TBVol1", "a track's pan, then its volume"},
      {"TBVol1", "TBPan2", "track by track"},
      {"TBPan15", "TBPan16", "down to the last track"},
      {"Edit1", "CBMetro", "the tempo above the click sound"},
      {"LBIns", "LBwavs", "the set's sounds left of the library"},
      {"CBMetro", "SGTemas", "the metronome panel, then the themes"},
      {"SGTemas", "SGFormulas", "the themes, then the formulas"},
      {"SGFormulas", "SGDatosFormula", "the formulas, then the tracks"},
      {"TBVol16", "LBIns", "the tracks, then the sounds"},
  };
  for (const auto& c : cases) {
    EXPECT_GE(at(c.before), 0) << c.before;
    EXPECT_LT(at(c.before), at(c.after)) << c.why;
  }
  for (const char* grid : {"SGTemas", "SGSaco", "SGFormulas", "SGDatosFormula"})
    EXPECT_FALSE(form->findChild<QAbstractItemView*>(grid)->tabKeyNavigation()) << grid;

  // And a real Tab out of the pattern grid reaches the first track's pan.
  form->show();
  QApplication::setActiveWindow(form.get());
  form->SGDatosFormula->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  if (!form->SGDatosFormula->hasFocus()) GTEST_SKIP() << "no focus on this platform";
  QTest::keyClick(form->SGDatosFormula, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form->TBPan[0]);
}

// The menus have an underlined letter each, in either language (Alt+A
// "Archivo", Alt+F "File"), and "Guardar" shows its Ctrl+S.
TEST_F(WindowTest, MenusHaveTheirOwnLettersInBothLanguages) {
  Start();
  for (bool english : {true, false}) {
    english ? form->Ingls1Click() : form->Espaol1Click();
    ExpectOwnMnemonics(form->menuBar(), english ? "English" : "Spanish");
    EXPECT_EQ(form->File->title(), english ? "&File" : "&Archivo");
    EXPECT_EQ(WithoutMnemonic(form->Ayuda1->title()), english ? "Help" : "Ayuda");
  }
  EXPECT_EQ(form->Guardar1->shortcut(), QKeySequence(QKeySequence::Save));
  EXPECT_EQ(form->ManualPC->shortcut(), QKeySequence(Qt::Key_F1));
  ExpectItemsShowTheirKeys({{form->Guardar1, QKeySequence(QKeySequence::Save)},
                            {form->ManualBORNACEPELN1, QKeySequence(Qt::Key_F1)}});
}

// Without the mouse: a theme and a formula are chosen with the arrow keys of
// their grids, the entries' grid is the next Tab stop after the themes', and
// F10 and F12 play and stop.
TEST_F(WindowTest, ThemesAndFormulasAreChosenWithTheKeys) {
  Start();
  form->show();
  QApplication::setActiveWindow(form.get());
  form->SGTemas->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  if (!form->SGTemas->hasFocus()) GTEST_SKIP() << "no focus on this platform";
  ASSERT_GT(form->SGTemas->RowCount(), 3);
  const int row = form->SGTemas->Row();
  for (int i = 0; i < 2; ++i) QTest::keyClick(form->SGTemas, Qt::Key_Down);
  ASSERT_GT(form->SGTemas->Row(), row);
  // The theme reached is shown: its tracks' volumes stand on the sliders.
  const Tema& shown = form->Rhythm->Temas[static_cast<size_t>(form->SGTemas->Row() - 1)];
  for (int t = 0; t < 16; ++t) EXPECT_EQ(form->TBVol[static_cast<size_t>(t)]->value(), shown.volume[t]) << t;
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form->SGSaco);
  form->SGFormulas->setFocus(Qt::TabFocusReason);
  const int formula = form->Rhythm->CurrentFormula;
  for (int i = 0; i < 2; ++i) QTest::keyClick(form->SGFormulas, Qt::Key_Down);
  EXPECT_NE(form->Rhythm->CurrentFormula, formula);
  QTest::keyClick(form->SGFormulas, Qt::Key_F10);
  EXPECT_NE(form->Engine->PlayState, 0);
  QTest::keyClick(form->SGFormulas, Qt::Key_F12);
  EXPECT_EQ(form->Engine->PlayState, 0);
}

// Down and Up in the entries' grid move the selected entry: the transport
// counts from its compás and the formula panel shows its formula.
TEST_F(WindowTest, ArrowKeysMoveTheSelectedEntry) {
  Start();
  const TestEntries entries = {{0, 2}, {1, 1}, {2, 3}};
  SetTestFormulas(*form->Rhythm);
  SetTestTheme(form->Rhythm->Temas[0], entries, 1, true, 0, 0);
  form->SGTemas->Select(1, 1);
  form->SGTemasSelectCell(1, 1);
  ExpectArrowKeysMoveTheEntry(*form, entries);
}
