// Small builders for the window's controls, named as the handlers know them.
#pragma once

#include <QEvent>
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QScrollBar>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <functional>

inline QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geom) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setGeometry(geom);
  return l;
}

inline QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect geom,
                               const QString& hint = QString()) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setGeometry(geom);
  if (!hint.isEmpty()) b->setToolTip(hint);
  return b;
}

// One line at the end of a log view, as plain text (never taken as rich
// text), and the view scrolled to it.
inline void AppendPlainLine(QTextEdit* log, const QString& line) {
  QTextDocument* doc = log->document();
  QTextCursor c(doc);
  c.movePosition(QTextCursor::End);
  if (!doc->isEmpty()) c.insertBlock(QTextBlockFormat(), QTextCharFormat());
  c.insertText(line, QTextCharFormat());
  log->verticalScrollBar()->setValue(log->verticalScrollBar()->maximum());
}

// An event filter made of a function: true keeps the event from its target.
class EventHook : public QObject {
 public:
  using Fn = std::function<bool(QObject*, QEvent*)>;
  EventHook(QObject* parent, Fn fn) : QObject(parent), fn_(std::move(fn)) {}
  bool eventFilter(QObject* o, QEvent* e) override { return fn_(o, e); }

 private:
  Fn fn_;
};
