// What the keyboard tests of both windows check alike.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QMenuBar>
#include <QSet>
#include <QWidget>

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
}
