// The guitar panel's controls of the track: the file label and the save and
// template buttons along the top, the bar view with its scroll bar, the row
// of navigation buttons, and the beat view; the beat and bar menu, and the
// guitar items of the theme grid's menu.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include "app/window/mainform.h"
#include "platform/ui/string_grid.h"
#include "platform/ui/lazy_icon.h"
#include "platform/ui/widgets.h"
#include "guitar/window/tab_chart.h"

namespace {
// A cover: a plain dark patch lying over a button while it cannot be used.
QLabel* MakeCover(QWidget* parent, const char* name, QRect geom) {
  QLabel* l = MakeLabel(parent, name, QString(), geom);
  l->setStyleSheet("QLabel { background-color: rgb(40, 40, 40); border: 1px solid rgb(64, 64, 64); }");
  return l;
}

QPushButton* IconButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon, QRect geom,
                        const QString& hint = QString()) {
  QPushButton* b = MakeButton(parent, name, QString(), geom, hint);
  b->setIcon(LazyStandardIcon(icon));  // the panel starts hidden
  b->setIconSize(QSize(16, 16));
  return b;
}

// A number shown in a small framed box (bar, beat, divisions, capo).
QLabel* NumberBox(QWidget* parent, const char* name, QRect geom) {
  QLabel* l = MakeLabel(parent, name, QString(), geom);
  l->setAlignment(Qt::AlignCenter);
  l->setStyleSheet("QLabel { color: white; background-color: rgb(0, 32, 64); border: 1px solid rgb(0, 64, 128); }");
  QFont f("Courier New", l->font().pointSize());
  f.setStyleHint(QFont::Monospace);
  l->setFont(f);
  return l;
}
}  // namespace

void TMainForm::BuildGuitarControls() {
  QWidget* p = PanelGuitarra;

  // Along the top: the track's file, its save button, the templates and the
  // covers of the buttons that wait for a run of marked beats.
  LFGuitarra = MakeLabel(p, "LFGuitarra", QString(), {206, 23, 240, 20});
  LFGuitarra->setStyleSheet("QLabel { color: white; background-color: rgb(0, 64, 128); padding-left: 2px; }");
  BGuardaG = IconButton(p, "BGuardaG", QStyle::SP_DialogSaveButton, {452, 21, 26, 24}, "Guarda el archivo de guitarra");
  BGuardaG->setVisible(false);
  TapaRecG = MakeCover(p, "TapaRecG", {452, 21, 26, 24});
  TapaRecG->setToolTip(QString::fromUtf8("Nada que guardar: la pista de guitarra no tiene cambios"));
  AbrePlantilla = IconButton(p, "AbrePlantilla", QStyle::SP_DialogOpenButton, {482, 21, 26, 24}, "Pegar plantilla");
  RecPlantilla = IconButton(p, "RecPlantilla", QStyle::SP_DriveFDIcon, {512, 21, 26, 24}, "Guardar plantilla");
  TapaRecPlantilla = MakeCover(p, "TapaRecPlantilla", {512, 21, 26, 24});
  TapaRecPlantilla->setToolTip(
      QString::fromUtf8("Guardar plantilla: marque antes tiempos bajo las cuerdas de la vista del compás"));
  // Over the chord panel's fill button, which stands at this place.
  TapaRellena = MakeCover(p, "TapaRellena", {542, 21, 26, 24});
  TapaRellena->setToolTip(
      QString::fromUtf8("Rellenar con acorde: marque antes tiempos bajo las cuerdas de la vista del compás"));

  // The bar view: every beat of the bar, the beat marker, the end of the marks.
  Chart2 = new TabChart(p, "Chart2", {5, 134, 854, 116}, {30, 6, 816, 86});
  Chart2->LeftPad = 0.4;
  Chart2->Series.resize(3);
  ChartSeries& notes = Chart2->Series[0];  // PointSeries1
  notes.kind = ChartSeries::Kind::Points;
  notes.pointerSize = 1;
  // The frets stand on their strings, as in printed tablature.
  notes.markOnPoint = true;
  notes.markBack = QColor(255, 255, 255);
  ChartSeries& marker = Chart2->Series[1];  // Series4
  marker.kind = ChartSeries::Kind::Line;
  marker.lineWidth = 2;
  marker.lineColor = QColor(255, 128, 0);
  marker.markBack = QColor(0, 0, 0);
  marker.markColor = QColor(0, 255, 0);
  ChartSeries& marks = Chart2->Series[2];  // Series1
  marks.kind = ChartSeries::Kind::Line;
  marks.lineWidth = 2;
  marks.lineColor = QColor(255, 0, 0);
  marks.markColor = QColor(255, 0, 0);
  marks.markBack = QColor(0, 0, 0);
  Chart2->BottomMax = 1;

  SBCompas = new QScrollBar(Qt::Horizontal, p);
  SBCompas->setObjectName("SBCompas");
  SBCompas->setGeometry(35, 252, 816, 16);
  SBCompas->setMinimum(1);
  SBCompas->setMaximum(1);
  SBCompas->setPageStep(5);

  // The row of navigation: bar, beat, divisions, orientation and capo.
  const int y = 272, h = 22;
  Label44 = MakeLabel(p, "Label44", QString::fromUtf8("Compás"), {8, y, 56, h});
  SpeedButton13 = MakeButton(p, "SpeedButton13", "<<", {68, y, 28, h}, QString::fromUtf8("Compás anterior"));
  LGCompas = NumberBox(p, "LGCompas", {98, y, 64, h});
  SpeedButton14 = MakeButton(p, "SpeedButton14", ">>", {164, y, 28, h}, QString::fromUtf8("Compás siguiente"));
  SpeedButton11 = MakeButton(p, "SpeedButton11", QString::fromUtf8("\u25B6"), {194, y, 24, h},
                             QString::fromUtf8("Reproducir desde este compás"));
  // The panel's own stop, beside its play from the bar.
  GuitarStop = MakeButton(p, "GuitarStop", QString::fromUtf8("\u25A0"), {220, y, 24, h}, "Stop - F12");
  Label45 = MakeLabel(p, "Label45", "Tiempo", {248, y, 42, h});
  SpeedButton18 = MakeButton(p, "SpeedButton18", "<", {290, y, 24, h}, "Tiempo anterior");
  LGTiempo = NumberBox(p, "LGTiempo", {316, y, 64, h});
  SpeedButton17 = MakeButton(p, "SpeedButton17", ">", {382, y, 24, h}, "Tiempo siguiente");
  // The division buttons of the note editor stand on either side of LGPartes.
  Label48 = MakeLabel(p, "Label48", "Divisiones", {418, y, 66, h});
  LGPartes = NumberBox(p, "LGPartes", {514, y, 30, h});
  CBTab = new QCheckBox("TAB", p);
  CBTab->setObjectName("CBTab");
  CBTab->setGeometry(590, y, 60, h);
  CBTab->setChecked(true);
  SpeedButton22 = MakeButton(p, "SpeedButton22", "-", {664, y, 22, h}, QString::fromUtf8("Cejilla un traste menos"));
  LGCejilla = NumberBox(p, "LGCejilla", {688, y, 30, h});
  LGCejilla->setText("0");
  SpeedButton21 = MakeButton(p, "SpeedButton21", "+", {720, y, 22, h}, QString::fromUtf8("Cejilla un traste más"));

  // The beat view: the tablature of the beat at the cursor.
  // The divisions span x 40..576 and the strings lie 17 pixels apart, the
  // first line at y 40: the editor box is placed in these pixels.
  Chart1 = new TabChart(p, "Chart1", {5, 298, 592, 144}, {40, 32, 536, 102});
  Chart1->LeftPad = 0.5;
  Chart1->Series.resize(1);
  ChartSeries& tab = Chart1->Series[0];  // Series3
  tab.kind = ChartSeries::Kind::Points;
  tab.star = true;
  tab.pointerSize = 10;
  tab.markOnPoint = true;
  tab.markBack = QColor(255, 255, 255);
  Chart1->BottomMax = 1;
  Chart1->onBottomLabel = [this](const QString& t, int v) { return Chart1GetAxisLabel(t, v); };
  Chart2->onBottomLabel = [this](const QString& t, int v) { return Chart2GetAxisLabel(t, v); };

  // The beat and bar menu of the bar view (the language switch words it).
  PopupMenu6 = new QMenu(this);
  PopupMenu6->setObjectName("PopupMenu6");
  auto item = [&](QAction*& a, const char* name, const char* caption) {
    a = PopupMenu6->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
  };
  item(CopiarTiempoG, "CopiarTiempoG", "Copiar tiempo");
  item(PegarTiempoG, "PegarTiempoG", "Pegar tiempo");
  item(Insertartiempo1, "Insertartiempo1", "Insertar tiempo");
  item(Vaciartiempo1, "Vaciartiempo1", "Vaciar tiempo");
  item(Elminartiempo1, "Elminartiempo1", "Elminar tiempo");
  PopupMenu6->addSeparator();
  item(CopiarCompasG, "CopiarCompasG", "Copiar compás");
  item(PegarCompasG, "PegarCompasG", "Pegar compás");
  item(Insertarcompas1, "Insertarcompas1", "Insertar compás");
  item(Vaciarcompas1, "Vaciarcompas1", "Vaciar compás");
  item(Eliminarcompas1, "Eliminarcompas1", "Eliminar compás");

  // The theme grid's guitar items, after "Unificar Pistas".
  CopiarGuitarra1 = new QAction("Copiar Guitarra", SGTemas);
  CopiarGuitarra1->setObjectName("CopiarGuitarra1");
  PegarGuitarra1 = new QAction("Pegar Guitarra", SGTemas);
  PegarGuitarra1->setObjectName("PegarGuitarra1");
  QAction* before = nullptr;
  const QList<QAction*> menu = SGTemas->actions();
  const qsizetype unify = menu.indexOf(UnificaPistas1);
  if (unify >= 0 && unify + 1 < menu.size()) before = menu[unify + 1];
  SGTemas->insertActions(before, {CopiarGuitarra1, PegarGuitarra1});

  GuitarCursorTimer = new QTimer(this);
  GuitarCursorTimer->setObjectName("GuitarCursorTimer");
  GuitarCursorTimer->setInterval(25);
  GuitarDivisionTimer = new QTimer(this);
  GuitarDivisionTimer->setObjectName("GuitarDivisionTimer");
  GuitarDivisionTimer->setSingleShot(true);
  GuitarDivisionTimer->setTimerType(Qt::PreciseTimer);
}

void TMainForm::ConnectGuitarControls() {
  connect(BGuardaG, &QPushButton::clicked, this, [this] { BGuardaGClick(); });
  connect(AbrePlantilla, &QPushButton::clicked, this, [this] { AbrePlantillaClick(); });
  connect(RecPlantilla, &QPushButton::clicked, this, [this] { RecPlantillaClick(); });
  connect(SpeedButton13, &QPushButton::clicked, this, [this] { SpeedButton13Click(); });
  connect(SpeedButton14, &QPushButton::clicked, this, [this] { SpeedButton14Click(); });
  connect(SpeedButton17, &QPushButton::clicked, this, [this] { SpeedButton17Click(); });
  connect(SpeedButton18, &QPushButton::clicked, this, [this] { SpeedButton18Click(); });
  connect(SpeedButton21, &QPushButton::clicked, this, [this] { SpeedButton21Click(); });
  connect(SpeedButton22, &QPushButton::clicked, this, [this] { SpeedButton22Click(); });
  connect(SpeedButton11, &QPushButton::clicked, this, [this] { SpeedButton11Click(); });
  connect(GuitarStop, &QPushButton::clicked, this, [this] { botonstopClick(); });
  connect(CBTab, &QCheckBox::clicked, this, [this] { CBTabClick(); });
  // Only the user's scrolling: the program sets the position with the signals held.
  connect(SBCompas, &QScrollBar::valueChanged, this, [this] { SBCompasScroll(); });
  Chart2->onClickBackground = [this](Qt::MouseButton b, Qt::MouseButtons s, int x, int y) {
    Chart2ClickBackground(b, s, x, y);
  };
  Chart2->onClickSeries = [this](Qt::MouseButton b, Qt::MouseButtons s, int x, int y) { Chart2ClickSeries(b, s, x, y); };
  Chart1->onMouseMove = [this](int, int) { Chart1MouseMove(); };
  Chart2->onKeyDown = [this](int) { Chart2KeyDown(); };
  Chart2->onKeyPress = [this](const QString&) { Chart2KeyPress(); };
  const std::pair<QAction*, void (TMainForm::*)()> items[] = {
      {CopiarTiempoG, &TMainForm::CopiarTiempoGClick},     {PegarTiempoG, &TMainForm::PegarTiempoGClick},
      {Insertartiempo1, &TMainForm::Insertartiempo1Click}, {Vaciartiempo1, &TMainForm::Vaciartiempo1Click},
      {Elminartiempo1, &TMainForm::Elminartiempo1Click},   {CopiarCompasG, &TMainForm::CopiarCompasGClick},
      {PegarCompasG, &TMainForm::PegarCompasGClick},       {Insertarcompas1, &TMainForm::Insertarcompas1Click},
      {Vaciarcompas1, &TMainForm::Vaciarcompas1Click},     {Eliminarcompas1, &TMainForm::Eliminarcompas1Click},
      {CopiarGuitarra1, &TMainForm::CopiarGuitarra1Click}, {PegarGuitarra1, &TMainForm::PegarGuitarra1Click},
  };
  for (const auto& [action, handler] : items)
    connect(action, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });
  Deck->AddListener([this](const BeatCue& cue) { OnGuitarBeat(cue); });
  connect(GuitarCursorTimer, &QTimer::timeout, this, [this] { GuitarCursorTick(); });
  connect(GuitarDivisionTimer, &QTimer::timeout, this, [this] { GuitarDivisionTick(); });
}
