// What the keyboard tests of both windows check alike.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QRegularExpression>
#include <QTest>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "platform/ui/keyboard.h"
#include "platform/ui/string_grid.h"

// The stops in `among` in the order Tab reaches them from `from`.
inline QList<QWidget*> TabWalk(QWidget* from, const QList<QWidget*>& among) {
  const QSet<QWidget*> wanted(among.begin(), among.end());
  QList<QWidget*> seen;
  QWidget* w = from;
  for (int guard = 0; w && guard < 20000 && seen.size() < among.size(); ++guard) {
    if (wanted.contains(w) && !seen.contains(w)) seen << w;
    w = w->nextInFocusChain();
  }
  return seen;
}

// Every menu of the bar has one underlined letter, none shared, and Alt
// with that letter is its key.
inline void ExpectOwnMnemonics(QMenuBar* bar, const char* language) {
  QSet<QChar> letters;
  for (QAction* a : bar->actions()) {
    const QString t = a->text();
    SCOPED_TRACE(testing::Message() << language << " " << t.toStdString());
    ASSERT_EQ(t.count('&'), 1);
    const QChar c = t.at(t.indexOf('&') + 1);
    EXPECT_TRUE(c.isLetterOrNumber());
    EXPECT_FALSE(letters.contains(c.toCaseFolded()));
    letters.insert(c.toCaseFolded());
    EXPECT_EQ(QKeySequence::mnemonic(t), QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(c.toUpper().unicode()))));
  }
  EXPECT_GE(letters.size(), 4);
  // And within each menu and submenu every item has a letter of its own.
  std::function<void(QMenu*)> items = [&](QMenu* menu) {
    QSet<QChar> used;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      const QString t = a->text().section('\t', 0, 0);
      SCOPED_TRACE(testing::Message() << language << " " << menu->objectName().toStdString() << " item "
                                      << t.toStdString());
      ASSERT_EQ(t.count('&') - 2 * t.count("&&"), 1);
      const QChar c = t.at(t.indexOf(QRegularExpression("&[^&]")) + 1);
      EXPECT_TRUE(c.isLetterOrNumber());
      EXPECT_FALSE(used.contains(c.toCaseFolded()));
      used.insert(c.toCaseFolded());
      if (a->menu()) items(a->menu());
    }
  };
  for (QAction* a : bar->actions())
    if (a->menu()) items(a->menu());
}

// The items that run a command with a key show that key at their right:
// their own shortcut, or the key of the window's action they run, after a tab.
inline void ExpectItemsShowTheirKeys(const std::vector<std::pair<QAction*, QKeySequence>>& items) {
  for (const auto& [item, key] : items) {
    SCOPED_TRACE(item->objectName().toStdString());
    EXPECT_EQ(ShownKey(item), key);
    if (item->shortcut() != key) {
      EXPECT_TRUE(item->text().endsWith('\t' + key.toString(QKeySequence::NativeText))) << item->text().toStdString();
    }
  }
}

// The arrow keys in the sequence grid of theme 0 (the test theme of
// transport_test_theme.h, its entries {formula, times}, already selected in
// the window): Down and Up move the selected entry row, the compás counter
// shows the entry's first compás and the formula grid its formula; the
// header row is never reached. `formulaRowOf` gives the formula grid's row
// of the formula an entry names.
template <class Form>
void ExpectArrowKeysMoveTheEntry(Form& form, const std::vector<std::pair<int, int>>& entries) {
  StringGrid* saco = form.SGSaco;
  form.show();
  QApplication::setActiveWindow(&form);
  saco->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  if (!saco->hasFocus()) GTEST_SKIP() << "no focus on this platform";
  ASSERT_EQ(saco->Row(), 1);
  int compas = 1;
  for (int row = 1; row <= static_cast<int>(entries.size()); ++row) {
    SCOPED_TRACE(testing::Message() << "entry row " << row);
    if (row > 1) QTest::keyClick(saco, Qt::Key_Down);
    EXPECT_EQ(saco->Row(), row);
    EXPECT_EQ(saco->currentRow(), row);
    EXPECT_EQ(form.Engine->CurrentCompas, compas);
    EXPECT_TRUE(form.Label3->text().contains(QRegularExpression(QString("\\b%1/").arg(compas)))) << form.Label3->text().toStdString();
    EXPECT_EQ(form.Rhythm->CurrentFormula, entries[static_cast<size_t>(row - 1)].first);
    EXPECT_EQ(form.SGFormulas->Row() - 1, entries[static_cast<size_t>(row - 1)].first);
    compas += entries[static_cast<size_t>(row - 1)].second;
  }
  // Up goes back entry by entry, and stops at the first: the header is no entry.
  for (int row = static_cast<int>(entries.size()) - 1; row >= 1; --row) {
    QTest::keyClick(saco, Qt::Key_Up);
    EXPECT_EQ(saco->Row(), row);
    EXPECT_EQ(form.Rhythm->CurrentFormula, entries[static_cast<size_t>(row - 1)].first);
  }
  QTest::keyClick(saco, Qt::Key_Up);
  EXPECT_EQ(saco->Row(), 1);
  EXPECT_EQ(saco->currentRow(), 1);
}
