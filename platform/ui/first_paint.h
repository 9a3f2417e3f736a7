// Something to do once a window has first been painted: `done` runs when the
// event loop comes back after the widget's first paint event (its picture
// has gone to the screen then), or `latestMs` after the call when no paint
// has come by then (a window that starts hidden or minimised).
#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>

class AfterFirstPaint : public QObject {
 public:
  // Owned by the widget; it goes once `done` has run.
  static void Run(QWidget* widget, std::function<void()> done, int latestMs) {
    new AfterFirstPaint(widget, std::move(done), latestMs);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* ev) override {
    if (watched == parent() && ev->type() == QEvent::Paint) {
      parent()->removeEventFilter(this);
      QTimer::singleShot(0, this, [this] { Fire(); });
    }
    return false;
  }

 private:
  AfterFirstPaint(QWidget* widget, std::function<void()> done, int latestMs) : QObject(widget), done_(std::move(done)) {
    widget->installEventFilter(this);
    QTimer::singleShot(latestMs, this, [this] { Fire(); });
  }
  void Fire() {
    if (!done_) return;
    auto done = std::move(done_);
    done_ = nullptr;
    deleteLater();
    done();
  }
  std::function<void()> done_;
};
