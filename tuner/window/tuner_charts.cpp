#include "tuner/window/tuner_charts.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QValueAxis>

#include "tuner/tuner.h"

namespace {

QLineSeries* SeriesOf(const QWidget* chart) {
  auto* view = qobject_cast<const QChartView*>(chart);
  if (!view || view->chart()->series().isEmpty()) return nullptr;
  return qobject_cast<QLineSeries*>(view->chart()->series().first());
}

QChartView* MakeChart(QWidget* parent, const char* name, QRect geometry, QLineSeries* series, double x0, double x1,
                      double y0, double y1, int xTicks, bool axesShown) {
  auto* chart = new QChart();
  chart->legend()->hide();
  chart->setBackgroundBrush(Qt::black);
  chart->setMargins(QMargins(0, 0, 0, 0));
  chart->addSeries(series);
  auto* ax = new QValueAxis();
  auto* ay = new QValueAxis();
  ax->setRange(x0, x1);
  ay->setRange(y0, y1);
  if (xTicks > 0) {
    ax->setTickCount(xTicks);
    ax->setLabelFormat("%d");
    ax->setLabelsColor(Qt::white);
    ax->setGridLineColor(QColor(64, 64, 64));
  }
  ax->setVisible(axesShown);
  ay->setVisible(false);
  chart->addAxis(ax, Qt::AlignBottom);
  chart->addAxis(ay, Qt::AlignLeft);
  series->attachAxis(ax);
  series->attachAxis(ay);
  auto* view = new QChartView(chart, parent);
  view->setObjectName(name);
  view->setGeometry(geometry);
  view->setFrameShape(QFrame::NoFrame);
  view->setBackgroundBrush(Qt::black);
  return view;
}

}  // namespace

QWidget* MakeNeedleChart(QWidget* parent, const char* name, QRect geometry) {
  auto* needle = new QLineSeries();
  QPen pen(Qt::red);
  pen.setWidth(4);
  needle->setPen(pen);
  needle->append(0, 10);
  needle->append(0, 0);
  // -50..+50 in steps of 10: eleven ticks.
  return MakeChart(parent, name, geometry, needle, -50, 50, 0, 10, 11, true);
}

void SetNeedle(QWidget* chart, double x) {
  if (QLineSeries* s = SeriesOf(chart)) s->replace(QList<QPointF>{{x, 10}, {x, 0}});
}

double NeedleAt(const QWidget* chart) {
  const QLineSeries* s = SeriesOf(chart);
  return s && s->count() > 0 ? s->at(0).x() : 0.0;
}

QWidget* MakeWaveChart(QWidget* parent, const char* name, QRect geometry, int samples) {
  auto* wave = new QLineSeries();
  wave->setColor(Qt::blue);
  return MakeChart(parent, name, geometry, wave, 0, samples, -32768, 32768, 0, false);
}

void PlotWave(QWidget* chart, const int16_t* samples, int n, bool microphone) {
  QLineSeries* s = SeriesOf(chart);
  if (!s) return;
  QList<QPointF> points;
  points.reserve(n);
  for (int k = 0; k < n; ++k) points.append(QPointF(k, PlotValue(samples[k], microphone)));
  s->replace(points);
}

int PlottedPoints(const QWidget* chart) {
  const QLineSeries* s = SeriesOf(chart);
  return s ? static_cast<int>(s->count()) : 0;
}
