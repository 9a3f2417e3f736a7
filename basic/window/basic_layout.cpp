// The basic window's controls: one page control with three pages, every
// control named as the handlers know it. Sized to fit 1366x768.
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/window/widgets.h"
#include "basic/window/basic_form.h"

namespace bornace {

namespace {
QSlider* MakeSlider(QWidget* parent, const char* name, QRect geom, int lo, int hi) {
  auto* s = new QSlider(Qt::Horizontal, parent);
  s->setObjectName(name);
  s->setRange(lo, hi);
  s->setGeometry(geom);
  return s;
}
template <class W>
W* Named(W* w, const char* name, QRect geom) {
  w->setObjectName(name);
  w->setGeometry(geom);
  return w;
}
}  // namespace

void TMainForm::BuildLayout() {
  auto* central = new QWidget(this);
  central->setObjectName("ClientArea");
  setCentralWidget(central);
  PageControl1 = new QTabWidget(central);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setGeometry(0, 0, 1320, 690);

  // --- Metrónomo -----------------------------------------------------------
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName("TabSheet1");
  PageControl1->addTab(TabSheet1, "Metrónomo");
  SGFormulas = new StringGrid("SGFormulas", 2, 2, TabSheet1);
  SGFormulas->setGeometry(8, 8, 300, 400);
  SGFormulas->SetColWidths({40, 230});
  SGTemas = new StringGrid("SGTemas", 3, 2, TabSheet1);
  SGTemas->setGeometry(316, 8, 330, 250);
  SGTemas->SetColWidths({40, 200, 60});
  SGSaco = new StringGrid("SGSaco", 5, 2, TabSheet1);
  SGSaco->setGeometry(316, 266, 330, 142);
  Label1 = MakeLabel(TabSheet1, "Label1", "Fórmula 1", QRect(656, 8, 120, 22));
  Label7 = MakeLabel(TabSheet1, "Label7", "", QRect(780, 8, 240, 22));
  Label14 = MakeLabel(TabSheet1, "Label14", "", QRect(1024, 8, 280, 22));
  SGDatosFormula = new StringGrid("SGDatosFormula", 14, 9, TabSheet1);
  SGDatosFormula->setGeometry(656, 36, 650, 300);
  SGDatosFormula->SetColWidths({30, 110});
  for (int t = 1; t <= 8; ++t) SGDatosFormula->SetCells(0, t, QString::number(t));
  Visor = Named(new QLabel(TabSheet1), "Visor", QRect(656, 344, 650, 64));
  static_cast<QLabel*>(Visor)->setFrameShape(QFrame::Panel);
  Label15 = MakeLabel(TabSheet1, "Label15", "", QRect(8, 420, 400, 22));
  EnUso = MakeLabel(TabSheet1, "EnUso", "", QRect(416, 420, 400, 22));
  CBMetro = Named(new QComboBox(TabSheet1), "CBMetro", QRect(8, 450, 200, 28));
  TB1 = MakeSlider(TabSheet1, "TB1", QRect(216, 450, 300, 28), 0, 100);
  TB2 = MakeSlider(TabSheet1, "TB2", QRect(524, 450, 300, 28), 0, 100);
  cb3d = Named(new QCheckBox("Estéreo", TabSheet1), "cb3d", QRect(832, 450, 140, 28));
  ProgressBar1 = Named(new QProgressBar(TabSheet1), "ProgressBar1", QRect(8, 490, 816, 20));
  BPlay = MakeButton(TabSheet1, "BPlay", "Tocar", QRect(8, 524, 130, 34));
  BStop = MakeButton(TabSheet1, "BStop", "Parar", QRect(146, 524, 130, 34));
  botonrec = MakeButton(TabSheet1, "botonrec", "Guardar todo", QRect(284, 524, 180, 34));
  BEnvia = MakeButton(TabSheet1, "BEnvia", "Enviar", QRect(472, 524, 180, 34));

  // --- Afinador ------------------------------------------------------------
  TabSheet2 = new QWidget;
  TabSheet2->setObjectName("TabSheet2");
  PageControl1->addTab(TabSheet2, "Afinador");
  Image7 = MakeLabel(TabSheet2, "Image7", "", QRect(360, 20, 600, 300));
  Image7->setFrameShape(QFrame::Panel);
  Aguja = MakeLabel(TabSheet2, "Aguja", "", QRect(656, 40, 4, 260));
  Aguja->setStyleSheet("background: red;");
  Dedo = MakeLabel(TabSheet2, "Dedo", "", QRect(640, 330, 40, 40));
  ProgressBar2 = Named(new QProgressBar(TabSheet2), "ProgressBar2", QRect(360, 380, 600, 20));
  GB1 = Named(new QGroupBox("Cuerda", TabSheet2), "GB1", QRect(360, 410, 600, 120));
  Label21 = MakeLabel(TabSheet2, "Label21", "", QRect(360, 540, 600, 28));

  // --- Sonidos -------------------------------------------------------------
  TabSheet3 = new QWidget;
  TabSheet3->setObjectName("TabSheet3");
  PageControl1->addTab(TabSheet3, "Sonidos");
  LBIns = Named(new QListWidget(TabSheet3), "LBIns", QRect(8, 8, 300, 500));
  LBwavs = Named(new QListWidget(TabSheet3), "LBwavs", QRect(316, 8, 300, 500));
  CBSonidos = Named(new QComboBox(TabSheet3), "CBSonidos", QRect(624, 8, 300, 28));
  oscilata = Named(new QLabel(TabSheet3), "oscilata", QRect(624, 44, 680, 200));
  static_cast<QLabel*>(oscilata)->setFrameShape(QFrame::Panel);
}

}  // namespace bornace
