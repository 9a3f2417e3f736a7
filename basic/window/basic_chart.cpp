// The stereo chart: the 8 tracks in the order the mixer pans them, from the
// right (track 8) to the left (track 1); the tuner menu; the centring of the
// page control.
#include <QChart>
#include <QChartView>
#include <QMouseEvent>
#include <QPieSeries>
#include <QPieSlice>
#include <QSpinBox>
#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>
#include <algorithm>

#include "platform/ui/widgets.h"
#include "basic/window/basic_form.h"
#include "platform/ui/string_grid.h"
#include "rhythm/library_ops.h"

namespace bornace {

namespace {
constexpr int kBasicTracks = 8;
}

void TMainForm::BuildChart() {
  Chart1Chart = new QChart;
  Chart1Chart->legend()->hide();
  Series1 = new QPieSeries;
  Series1->setName("Instrumentos");
  // Rotated by 270 degrees from three o'clock and drawn counter-clockwise:
  // "R" from the bottom up the right, the tracks from 8 to 1 over the top,
  // "L" down the left (Qt counts clockwise from twelve o'clock).
  Series1->setPieStartAngle(180);
  Series1->setPieEndAngle(180 - 360);
  Series1->setPieSize(0.6);  // room beside the pie for the labels of tracks 1 and 8
  Chart1Chart->addSeries(Series1);
  // Dark, so that the white "R" and "L" show.
  Chart1Chart->setBackgroundBrush(QColor(24, 24, 24));
  Chart1Chart->setTitleBrush(Qt::white);
  Chart1 = new QChartView(Chart1Chart, centralWidget());
  Chart1->setObjectName("Chart1");
  Chart1->setGeometry(700, 120, 420, 380);
  Chart1->setRenderHint(QPainter::Antialiasing);
  Chart1->hide();
  UpDown1 = new QSpinBox(Chart1);
  UpDown1->setObjectName("UpDown1");
  UpDown1->setRange(0, kBasicTracks - 1);
  UpDown1->setValue(0);
  UpDown1->setWrapping(false);
  UpDown1->setEnabled(false);
  UpDown1->setGeometry(8, 8, 64, 28);
  connect(UpDown1, &QSpinBox::valueChanged, this, [this](int v) { UpDown1Click(v); });
  connect(Series1, &QPieSeries::clicked, this, [this](QPieSlice* s) {
    Chart1ClickSeries(static_cast<int>(Series1->slices().indexOf(s)));
  });
  Chart1->viewport()->installEventFilter(new EventHook(Chart1, [this](QObject*, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress) {
      Chart1MouseDown(static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
    } else if (e->type() == QEvent::MouseMove) {
      auto* m = static_cast<QMouseEvent*>(e);
      Chart1MouseMove(m->globalPosition().toPoint(), m->buttons() & Qt::LeftButton);
    }
    return false;
  }));
}

void TMainForm::cb3dClick() {
  Chart1Chart->setTitle(Label1->text() + "-" + Label7->text() + " " + Label14->text());
  Series1->clear();
  auto add = [this](const QString& label, double value, QColor colour) {
    QPieSlice* s = Series1->append(label, value);
    s->setColor(colour);
    s->setLabelVisible(true);
    s->setLabelBrush(Qt::white);
    s->setBorderColor(Qt::black);
  };
  add("R", 3.0, Qt::white);
  for (int t = kBasicTracks; t >= 1; --t) {
    add(QString("%1-%2").arg(t).arg(SGDatosFormula->Cells(1, t)), 1.0,
        UpDown1->value() == t - 1 ? QColor(Qt::green) : QColor(Qt::red));
  }
  add("L", 3.0, Qt::white);
  Chart1->setVisible(cb3d->isChecked());
  if (cb3d->isChecked()) {
    KeepChartInside();
    Chart1->raise();
  }
  UpDown1->setEnabled(cb3d->isChecked());
}

// Selecting a cell of the pattern grid from here is a selection as the
// user's: the track row's own handler runs (the chooser, the chart's mark).
void TMainForm::SelectTrackCell(int row) {
  SGDatosFormula->Select(2, row);
  SGDatosFormulaSelectCell(2, row);
}

void TMainForm::UpDown1Click(int p) {
  const int r = SGDatosFormula->Row();
  if (p < r - 1) Moveralaizquierda1Click();
  else if (p > r - 1) Moveraladerecha1Click();
  SelectTrackCell(SGDatosFormula->Row());
  cb3dClick();
}

void TMainForm::Chart1ClickSeries(int a) {
  const int row = (a > 0 && a < 9) ? 9 - a : SGDatosFormula->Row();
  SelectTrackCell(row);
}

void TMainForm::Chart1MouseDown(QPoint globalPos) { DragOrigin = globalPos; }

void TMainForm::Chart1MouseMove(QPoint globalPos, bool leftDown) {
  if (!leftDown) return;
  const QPoint d = globalPos - DragOrigin;
  const QRect area = centralWidget()->rect();
  const QPoint to = Chart1->pos() + d;
  // The chart stays whole inside the window's client area.
  if (to.x() <= 0 || to.y() <= 0 || to.x() + Chart1->width() > area.width() ||
      to.y() + Chart1->height() > area.height())
    return;
  DragOrigin = globalPos;
  Chart1->move(to);
  Chart1->update();
}

// A window smaller than the chart's place (a small screen, a window made
// smaller) brings the chart back inside it, as far as it fits.
void TMainForm::KeepChartInside() {
  if (!Chart1 || !centralWidget()) return;
  const QSize area = centralWidget()->size();
  const QSize size = Chart1->size().boundedTo(area - QSize(2, 2));
  if (size != Chart1->size()) Chart1->resize(size);
  const int x = std::clamp(Chart1->x(), 1, std::max(1, area.width() - Chart1->width()));
  const int y = std::clamp(Chart1->y(), 1, std::max(1, area.height() - Chart1->height()));
  if (QPoint(x, y) != Chart1->pos()) Chart1->move(x, y);
}

void TMainForm::Afinar2Click() {
  if (PageControl1->currentWidget() != TabSheet2) {
    PageControl1->setCurrentWidget(TabSheet2);  // the page change starts the tuner
    return;
  }
  // Already on the tuner page: a tuner that listens is not started again.
  if (!TunerRunning()) PageControl1Change();
}

void TMainForm::FormResize() {
  const int left = (width() - PageControl1->width() - 10) / 2;
  PageControl1->move(left < 0 ? 0 : left, PageControl1->y());
}

void TMainForm::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  if (!PageControl1) return;
  FormResize();
  if (Chart1 && Chart1->isVisible()) KeepChartInside();
}

void TMainForm::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow() && PageControl1) FormActivate();
}

}  // namespace bornace
