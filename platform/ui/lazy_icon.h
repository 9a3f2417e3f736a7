// One of the style's standard icons, looked up the first time it is drawn:
// the lookup (the icon theme on disk, then the style's own pictures) costs
// milliseconds a button on a hidden panel need not spend at the start. The
// icon is not null from the start, so a button measures as with its icon.
#pragma once

#include <QApplication>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <memory>

class LazyStandardIconEngine : public QIconEngine {
 public:
  explicit LazyStandardIconEngine(QStyle::StandardPixmap which) : which_(which) {}
  void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Icon().paint(p, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    return Icon().pixmap(size, scale, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override { return Icon().availableSizes(mode, state); }
  bool isNull() override { return false; }
  QIconEngine* clone() const override { return new LazyStandardIconEngine(*this); }

 private:
  const QIcon& Icon() {
    if (!icon_) icon_ = std::make_shared<QIcon>(QApplication::style()->standardIcon(which_));
    return *icon_;
  }
  QStyle::StandardPixmap which_;
  std::shared_ptr<QIcon> icon_;  // shared by the copies QIcon makes
};

inline QIcon LazyStandardIcon(QStyle::StandardPixmap which) { return QIcon(new LazyStandardIconEngine(which)); }
