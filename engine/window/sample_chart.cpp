#include "engine/window/sample_chart.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

QWidget* MakeSampleChart(QWidget* parent, const char* name, QRect geometry, int range) {
  auto* chart = new QChart();
  chart->legend()->hide();
  chart->setBackgroundBrush(Qt::black);
  chart->setMargins(QMargins(0, 0, 0, 0));
  auto* series = new QLineSeries();
  series->setColor(Qt::blue);
  chart->addSeries(series);
  auto* ax = new QValueAxis();
  auto* ay = new QValueAxis();
  ay->setRange(-range, range);
  ax->setVisible(false);
  ay->setVisible(false);
  chart->addAxis(ax, Qt::AlignBottom);
  chart->addAxis(ay, Qt::AlignLeft);
  series->attachAxis(ax);
  series->attachAxis(ay);
  auto* view = new QChartView(chart, parent);
  view->setObjectName(name);
  view->setGeometry(geometry);
  return view;
}
