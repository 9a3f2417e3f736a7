// Two small widgets of the guitar panel's editing: the fretboard picture,
// which hands its clicks and pointer moves to the owner, and the editor box
// over a note of the tablature, which hands its keys to the owner.
#pragma once

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <functional>

class FretboardPicture : public QLabel {
 public:
  explicit FretboardPicture(QWidget* parent) : QLabel(parent) { setMouseTracking(true); }
  std::function<void(Qt::MouseButton, int x, int y)> onMouseDown;
  std::function<void(int x, int y)> onMouseMove;

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    if (onMouseDown) onMouseDown(e->button(), e->position().toPoint().x(), e->position().toPoint().y());
    e->accept();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (onMouseMove) onMouseMove(e->position().toPoint().x(), e->position().toPoint().y());
    e->accept();
  }
};

// Read-only: what it shows is set by its owner; every key goes to the owner.
class EditorBox : public QLineEdit {
 public:
  explicit EditorBox(QWidget* parent) : QLineEdit(parent) { setReadOnly(true); }
  std::function<void(QKeyEvent*)> onKeyDown;
  std::function<void(QKeyEvent*)> onKeyUp;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (onKeyDown) onKeyDown(e);
    e->accept();
  }
  void keyReleaseEvent(QKeyEvent* e) override {
    if (onKeyUp) onKeyUp(e);
    e->accept();
  }
  // Tab and Backtab are keys of the box too, not a move to the next widget.
  bool focusNextPrevChild(bool) override { return false; }
  // The box's own keys with Ctrl or Alt come before the window's shortcuts:
  // Ctrl+S and Ctrl+G save the guitar track here, not the set, and Ctrl or
  // Alt with an arrow edit the note. Other keys (F10, Alt+A ...) stay the
  // window's.
  bool event(QEvent* e) override {
    if (e->type() == QEvent::ShortcutOverride) {
      auto* k = static_cast<QKeyEvent*>(e);
      const Qt::KeyboardModifiers m = k->modifiers() & ~Qt::KeypadModifier;
      const int key = k->key();
      const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
      if ((m == Qt::ControlModifier && (key == Qt::Key_S || key == Qt::Key_G || arrow)) ||
          (m.testFlag(Qt::AltModifier) && (key == Qt::Key_Up || key == Qt::Key_Down))) {
        e->accept();
        return true;
      }
    }
    return QLineEdit::event(e);
  }
};
