// A small chart for the guitar panel: a bottom axis 0..max numbered by the
// owner, a left axis of the six strings that can be turned upside down, and
// series of points or lines with a text mark on each point. Clicks, pointer
// moves and keys are handed to the owner as they come.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

struct ChartPoint {
  float x = 0;
  float y = 0;
  QString label;
  QColor color;
};

struct ChartSeries {
  enum class Kind { Points, Line };
  Kind kind = Kind::Points;
  QColor lineColor = Qt::black;
  int lineWidth = 1;
  QColor markColor = Qt::black;  // text of the marks
  QColor markBack;               // box behind the marks; invalid: none
  int pointerSize = 1;           // pixels of the pointer
  bool star = false;             // a star pointer instead of a dot
  bool markOnPoint = false;      // the mark stands on its point, in place of the pointer
  std::vector<ChartPoint> points;

  void Clear() { points.clear(); }
  void Add(float x, float y, const QString& label, QColor color = QColor(0, 0, 255)) {
    points.push_back({x, y, label, color});
  }
};

class TabChart : public QWidget {
 public:
  // plot: where the axes' ranges lie, in the chart's own pixels.
  TabChart(QWidget* parent, const char* name, QRect geometry, QRect plot);

  std::vector<ChartSeries> Series;
  double BottomMax = 1;  // the bottom axis runs 0 .. BottomMax, a tick at each whole value
  double LeftMin = 1;    // the left axis, 1 .. 6, a tick at each whole value
  double LeftMax = 6;
  bool LeftInverted = false;  // false: LeftMin at the bottom
  double LeftPad = 0;         // room beyond both ends of the left axis, in its units

  // The text under a bottom tick (the value as the chart would write it).
  std::function<QString(const QString& text, int value)> onBottomLabel;
  // Button pressed, the buttons held (the pressed one among them), x, y.
  std::function<void(Qt::MouseButton, Qt::MouseButtons, int, int)> onClickBackground;
  std::function<void(Qt::MouseButton, Qt::MouseButtons, int, int)> onClickSeries;
  std::function<void(int, int)> onMouseMove;
  std::function<void(int key)> onKeyDown;
  std::function<void(const QString& text)> onKeyPress;

  QRect Plot() const { return plot_; }
  QPointF ToPixel(double x, double y) const;
  // The bottom axis' labels, left to right, as they are drawn.
  QStringList BottomLabels() const;
  // The index of the series whose point or line lies under (x, y); -1: none.
  int SeriesAt(int x, int y) const;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QRect plot_;
};
