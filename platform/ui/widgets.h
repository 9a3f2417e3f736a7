// Small builders for the window's controls, named as the handlers know them.
#pragma once

#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QSlider>
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

inline QLineEdit* MakeLineEdit(QWidget* parent, const char* name, QRect geom, const QString& text = QString()) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(name);
  e->setGeometry(geom);
  return e;
}

inline QListWidget* MakeList(QWidget* parent, const char* name, QRect geom) {
  auto* l = new QListWidget(parent);
  l->setObjectName(name);
  l->setGeometry(geom);
  return l;
}

inline QSlider* MakeSlider(QWidget* parent, const char* name, Qt::Orientation o, QRect geom, int lo, int hi,
                           int value) {
  auto* s = new QSlider(o, parent);
  s->setObjectName(name);
  s->setRange(lo, hi);
  s->setValue(value);
  s->setGeometry(geom);
  return s;
}

inline QRadioButton* MakeRadio(QWidget* parent, const char* name, const QString& text, QRect geom) {
  auto* r = new QRadioButton(text, parent);
  r->setObjectName(name);
  r->setGeometry(geom);
  return r;
}

// A bar from lo to hi standing at lo, without its percentage text.
inline QProgressBar* MakeBar(QWidget* parent, const char* name, QRect geom, int lo, int hi) {
  auto* b = new QProgressBar(parent);
  b->setObjectName(name);
  b->setRange(lo, hi);
  b->setValue(lo);
  b->setTextVisible(false);
  b->setGeometry(geom);
  return b;
}

// The windows' black group box: a bold white caption `titleLeft` pixels in
// from its left edge, a grey border, white labels on the black ground.
// `moreRules` are further style rules for what it holds, "%1" standing for
// its name.
inline QGroupBox* MakeBlackGroup(QWidget* parent, const char* name, const QString& caption, QRect geom,
                                 int titleLeft = 8, const char* moreRules = "") {
  auto* g = new QGroupBox(caption, parent);
  g->setObjectName(name);
  g->setGeometry(geom);
  g->setStyleSheet(QString("QGroupBox#%1 { background-color: black; color: white; font-weight: bold;"
                           " border: 1px solid #606060; margin-top: 0px; }"
                           "QGroupBox#%1::title { subcontrol-origin: padding; left: %2px; top: 1px; }"
                           "QGroupBox#%1 QLabel { color: white; background: transparent; }")
                       .arg(name)
                       .arg(titleLeft) +
                   QString(moreRules).replace("%1", name));
  return g;
}

// A menu's item, by its name.
inline void AddMenuItem(QMenu* menu, QAction*& item, const char* name, const QString& caption) {
  item = menu->addAction(caption);
  item->setObjectName(name);
}
// An action of a widget's own, by its name: an item of a grid's pop-up menu,
// or, on the window, a command whose key works with no menu open.
inline void AddWidgetAction(QWidget* w, QAction*& action, const char* name, const QString& caption) {
  action = new QAction(caption, w);
  action->setObjectName(name);
  w->addAction(action);
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
