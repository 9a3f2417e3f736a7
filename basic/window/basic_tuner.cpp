// The tuner page: the tuner listens while the page "Afinador" is shown.
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>

#include "app/window/widgets.h"
#include "basic/window/basic_form.h"

namespace bornace {

void TMainForm::BuildTunerPage() {
  QWidget* p = TabSheet2;
  Mastil = new QGroupBox(QString::fromUtf8("Mástil"), p);
  Mastil->setObjectName("Mastil");
  Mastil->setGeometry(40, 20, 1240, 300);
  Image7 = MakeLabel(Mastil, "Image7", QString(), {10, 20, 1220, 270});
  Dedo = MakeLabel(Mastil, "Dedo", QString(), {241, 171, 20, 20});
  Afinador = new QGroupBox("Afinador", p);
  Afinador->setObjectName("Afinador");
  Afinador->setGeometry(440, 330, 440, 280);
  Aguja = MakeLabel(Afinador, "Aguja", QString(), {206, 30, 8, 70});
  Aguja->setStyleSheet("QLabel { background: red; }");
  ProgressBar2 = new QProgressBar(Afinador);
  ProgressBar2->setObjectName("ProgressBar2");
  ProgressBar2->setRange(15, 400);
  ProgressBar2->setGeometry(10, 250, 420, 16);
  Timer3 = new QTimer(this);
  Timer3->setObjectName("Timer3");
  Timer3->setInterval(10);
  connect(Timer3, &QTimer::timeout, this, [this] { Timer3Timer(); });
}

void TMainForm::PageControl1Change() {
  if (PageControl1->currentWidget() != TabSheet2) {
    StopTunerInput();
    return;
  }
  StartTunerInput();
}

bool TMainForm::TunerRunning() const { return TunerOn; }

void TMainForm::StartTunerInput() {
  if (TunerOn) return;  // already listening: the menu item does not start it twice
  TunerOn = true;
  ++TunerStarts;
  Timer3->start();
}

void TMainForm::StopTunerInput() {
  TunerOn = false;
  if (Timer3) Timer3->stop();
}

void TMainForm::Timer3Timer() {}

void TMainForm::OpenWaveInput() {}

}  // namespace bornace
