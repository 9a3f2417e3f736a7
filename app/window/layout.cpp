// The main window's arrangement: the desk with its eight tool panels and the menus.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>

#include "app/window/mainform.h"
#include "app/window/window_menus.h"
#include "platform/ui/desk_theme.h"
#include "platform/ui/widgets.h"
#include "platform/ui/string_grid.h"

namespace {
QGroupBox* MakePanel(QWidget* desk, const char* name, const QString& caption, QRect geom, bool visible) {
  QGroupBox* p = MakeBlackGroup(desk, name, caption, geom, 18);
  p->setVisible(visible);
  return p;
}

QLabel* MakeCloseLabel(QWidget* panel, const char* name) {
  auto* x = new QLabel("X", panel);
  x->setObjectName(name);
  x->setGeometry(0, 0, 16, 18);
  x->setAlignment(Qt::AlignCenter);
  x->setStyleSheet("QLabel { color: white; background-color: rgb(128, 0, 0); font-weight: bold; }");
  x->setCursor(Qt::PointingHandCursor);
  return x;
}

QAction* MakeViewItem(QMenu* menu, const char* name, const QString& caption, bool checked) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(name);
  a->setCheckable(true);
  a->setChecked(checked);
  return a;
}
}  // namespace

void TMainForm::BuildLayout() {
  ApplyDeskTheme();
  setObjectName("MainForm");
  setFont(QFont("MS Sans Serif", 8));
  Desk = new QWidget(this);
  Desk->setObjectName("Desk");
  Desk->setAutoFillBackground(true);
  QPalette pal = Desk->palette();
  pal.setColor(QPalette::Window, DeskTheme().desk);
  Desk->setPalette(pal);
  // The desk is as large as its panels need; a smaller screen scrolls it.
  DeskScroll = new QScrollArea(this);
  DeskScroll->setObjectName("DeskScroll");
  DeskScroll->setFrameShape(QFrame::NoFrame);
  DeskScroll->setWidgetResizable(true);
  DeskScroll->setWidget(Desk);
  setCentralWidget(DeskScroll);
  auto* status = new QStatusBar(this);
  status->setObjectName("StatusBar1");
  setStatusBar(status);

  PanelMetronomo = MakePanel(Desk, "PanelMetronomo", QString::fromUtf8("   Metrónomo "), {0, 2, 224, 430}, true);
  PanelTemas = MakePanel(Desk, "PanelTemas", "   Temas ", {224, 2, 833, 230}, true);
  PanelFormulas = MakePanel(Desk, "PanelFormulas", QString::fromUtf8("   Fórmulas "), {1059, 3, 248, 229}, true);
  PanelPistas = MakePanel(Desk, "PanelPistas", "   Pistas ", {228, 231, 1077, 422}, true);
  PanelOnda = new QFrame(Desk);
  PanelOnda->setObjectName("PanelOnda");
  PanelOnda->setGeometry(322, 544, 578, 170);
  PanelOnda->setFrameShape(QFrame::Panel);
  // A caption strip like the other panels' titles, the close label at its left.
  PanelOnda->setStyleSheet("QFrame#PanelOnda { background-color: black; border: 1px solid #606060; }");
  PanelOnda->setVisible(false);
  LabelOnda = MakeLabel(PanelOnda, "LabelOnda", "   Onda ", {16, 1, 200, 16});
  LabelOnda->setStyleSheet("QLabel { color: white; background: transparent; font-weight: bold; }");
  PanelSonidos = MakePanel(Desk, "PanelSonidos", "   Sonidos ", {492, 296, 280, 390}, false);
  PanelAfinador = MakePanel(Desk, "PanelAfinador", "   Afinador ", {27, 440, 421, 409}, false);
  PanelGuitarra = MakePanel(Desk, "PanelGuitarra", "   Guitarra ", {406, 158, 864, 483}, false);

  StaticText4 = MakeCloseLabel(PanelMetronomo, "StaticText4");
  StaticText6 = MakeCloseLabel(PanelTemas, "StaticText6");
  StaticText8 = MakeCloseLabel(PanelFormulas, "StaticText8");
  Label36 = MakeCloseLabel(PanelPistas, "Label36");
  StaticText9 = MakeCloseLabel(PanelOnda, "StaticText9");
  StaticText10 = MakeCloseLabel(PanelSonidos, "StaticText10");
  StaticText11 = MakeCloseLabel(PanelAfinador, "StaticText11");
  StaticText7 = MakeCloseLabel(PanelGuitarra, "StaticText7");

  // Metronome panel: formula tempo, save button and its cover, the log.
  TB2 = MakeSlider(PanelMetronomo, "TB2", Qt::Horizontal, {8, 30, 208, 24}, 20, 400, 300);
  botonrec = new QPushButton(QString::fromUtf8("Guardar"), PanelMetronomo);
  botonrec->setObjectName("botonrec");
  botonrec->setToolTip(QString::fromUtf8("Guarda la configuración actual"));
  botonrec->setGeometry(8, 262, 96, 26);
  botonrec->setVisible(false);
  // In its place while nothing has changed: the same button, shown disabled.
  TapaRec = new QPushButton(QString::fromUtf8("Guardar"), PanelMetronomo);
  TapaRec->setObjectName("TapaRec");
  TapaRec->setGeometry(8, 262, 96, 26);
  TapaRec->setEnabled(false);
  Visor = new QTextEdit(PanelMetronomo);
  Visor->setObjectName("Visor");
  Visor->setReadOnly(true);
  Visor->setGeometry(6, 296, 212, 128);
  Visor->setStyleSheet("QTextEdit { background-color: rgb(16, 16, 16); color: rgb(0, 255, 0); }");

  // Themes panel: theme grid, entry grid, order buttons, theme tempo.
  SGTemas = new StringGrid("SGTemas", 2, 2, PanelTemas);
  SGTemas->setGeometry(8, 22, 170, 200);
  SGTemas->SetColWidths({57, 88});
  SGSaco = new StringGrid("SGSaco", 6, 2, PanelTemas, 2, 1);
  SGSaco->setGeometry(184, 22, 290, 200);
  SGSaco->SetColWidths({41, 90, 26, 42, 33, 29});
  RadioButton1 = MakeRadio(PanelTemas, "RadioButton1", "Normal", {482, 22, 100, 20});
  RadioButton1->setChecked(true);
  RadioButton2 = MakeRadio(PanelTemas, "RadioButton2", "Aleatoria", {482, 42, 100, 20});
  TB1 = MakeSlider(PanelTemas, "TB1", Qt::Horizontal, {482, 70, 220, 24}, 20, 400, 300);
  // The theme's number and name: a long name wraps onto a second line above,
  // clear of the entry buttons to the right.
  Label2 = MakeLabel(PanelTemas, "Label2", QString(), {482, 80, 224, 38});
  Label2->setWordWrap(true);
  Label2->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

  // Formulas panel.
  SGFormulas = new StringGrid("SGFormulas", 4, 2, PanelFormulas);
  SGFormulas->setGeometry(8, 22, 232, 200);
  SGFormulas->SetColWidths({39, 45, 102, 26});

  // Tracks panel: the pattern grid.
  Label1 = MakeLabel(PanelPistas, "Label1", QString(), {90, 2, 120, 18});
  Label7 = MakeLabel(PanelPistas, "Label7", QString(), {216, 2, 200, 18});
  SGDatosFormula = new StringGrid("SGDatosFormula", 14, 17, PanelPistas);
  SGDatosFormula->setGeometry(8, 22, 65 * 12 + 285, 17 * 20 + 4);
  SGDatosFormula->verticalHeader()->setDefaultSectionSize(20);
  SGDatosFormula->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SGDatosFormula->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  {
    std::vector<int> w = {186, 90};
    for (int b = 0; b < 12; ++b) w.push_back(64);
    SGDatosFormula->SetColWidths(w);
  }

  // Sounds panel: the set's name (its lists are the sounds panel's).
  Label21 = MakeLabel(PanelSonidos, "Label21", QString(), {24, 2, 240, 18});

  // Tempo and click in the metronome panel.
  Edit1 = MakeLineEdit(PanelMetronomo, "Edit1", {8, 58, 48, 22}, "120");
  Label8 = MakeLabel(PanelMetronomo, "Label8", "120.00 bpm", {64, 58, 100, 22});
  CBMetro = new QComboBox(PanelMetronomo);
  CBMetro->setObjectName("CBMetro");
  CBMetro->setGeometry(8, 88, 208, 22);
  Label22 = MakeLabel(PanelPistas, "Label22", QString(), {430, 2, 160, 18});
  Label30 = MakeLabel(PanelPistas, "Label30", QString(), {600, 2, 100, 18});

  // Per-track controls sit over the wide track-number column of the pattern
  // grid: pan, volume, mute and solo of each track row.
  for (int t = 0; t < 16; ++t) {
    const int y = 22 + 20 * (t + 1) + 2;
    auto* pan = new QSlider(Qt::Horizontal, PanelPistas);
    pan->setObjectName(QString("TBPan%1").arg(t + 1));
    pan->setRange(0, 32);
    pan->setValue(16);
    pan->setGeometry(30, y, 60, 16);
    TBPan[t] = pan;
    auto* vol = new QSlider(Qt::Horizontal, PanelPistas);
    vol->setObjectName(QString("TBVol%1").arg(t + 1));
    vol->setRange(1, 16);
    vol->setValue(8);
    vol->setGeometry(94, y, 60, 16);
    TBVol[t] = vol;
    auto* mute = new QPushButton("M", PanelPistas);
    mute->setObjectName(QString("Mute%1").arg(t + 1));
    mute->setCheckable(true);
    mute->setGeometry(156, y, 18, 16);
    MuteButtons[t] = mute;
    auto* solo = new QPushButton("S", PanelPistas);
    solo->setObjectName(QString("Solo%1").arg(t + 1));
    solo->setCheckable(true);
    solo->setGeometry(175, y, 18, 16);
    SoloButtons[t] = solo;
  }
  MuteButtons[16] = new QPushButton("M", PanelGuitarra);
  MuteButtons[16]->setObjectName("MuteG");
  MuteButtons[16]->setCheckable(true);
  MuteButtons[16]->setGeometry(8, 24, 18, 16);
  SoloButtons[16] = new QPushButton("S", PanelGuitarra);
  SoloButtons[16]->setObjectName("SoloG");
  SoloButtons[16]->setCheckable(true);
  SoloButtons[16]->setGeometry(28, 24, 18, 16);
  for (int i = 0; i < 17; ++i) {
    SoloButtons[i]->setStyleSheet(MarkedButtonStyle(false, DeskTheme().soloDown));
    MuteButtons[i]->setStyleSheet(MarkedButtonStyle(false, DeskTheme().muteDown));
  }
  CBSonidos = new QComboBox(PanelPistas);
  CBSonidos->setObjectName("CBSonidos");
  CBSonidos->setVisible(false);
  for (int k = 0; k < 12; ++k) {
    auto* box = new QCheckBox(PanelPistas);
    box->setObjectName(QString("CheckBox%1").arg(k + 1));
    box->setGeometry(8 + 186 + 90 + 65 * k + 24, 22 + 17 * 20 + 8, 20, 20);
    AccentBoxes[k] = box;
  }
  LasNotas = new QCheckBox("Partitura", PanelPistas);
  LasNotas->setObjectName("LasNotas");
  LasNotas->setChecked(true);
  LasNotas->setGeometry(8, 22 + 17 * 20 + 8, 100, 20);
  MakeLabel(PanelFormulas, "Label24", "Contar", {118, 3, 50, 16});
  MakeLabel(PanelTemas, "Label11", QString::fromUtf8("Reproducción"), {482, 4, 110, 16});
  RBTiempo = MakeRadio(PanelFormulas, "RBTiempo", "Tiempo", {90, 22, 70, 18});
  RBTiempo->setChecked(true);
  RBAcento = MakeRadio(PanelFormulas, "RBAcento", "Acento", {164, 22, 76, 18});

  // The beat step's timer of the layout. The step is woken by each finished
  // buffer instead, so that nothing polls while playing or idle; it is not
  // started.
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(10);
}

void TMainForm::BuildMenus() {
  BuildFileMenuOpenItems(*this);
  AddMenuItem(File, ImportarPELNv1, "ImportarPELNv1", "Importar Archivo PELNv1");
  AddSaveItems(*this);
  QMenuBar* mb = menuBar();
  AddMenuItem(File, Salir1, "Salir1", "Salir");

  Ver1 = mb->addMenu("Ver");
  Ver1->setObjectName("Ver1");
  Metrnomo1 = MakeViewItem(Ver1, "Metrnomo1", QString::fromUtf8("Metrónomo"), true);
  Temas1 = MakeViewItem(Ver1, "Temas1", "Temas", true);
  Frmulas1 = MakeViewItem(Ver1, "Frmulas1", QString::fromUtf8("Fórmulas"), true);
  Pistas1 = MakeViewItem(Ver1, "Pistas1", "Pistas", true);
  Onda1 = MakeViewItem(Ver1, "Onda1", "Onda", false);
  Sonidos1 = MakeViewItem(Ver1, "Sonidos1", "Sonidos", false);
  Afinador1 = MakeViewItem(Ver1, "Afinador1", "Afinador", false);
  Guitarra1 = MakeViewItem(Ver1, "Guitarra1", "Guitarra", false);

  Idiomas1 = mb->addMenu("Idiomas");
  Idiomas1->setObjectName("Idiomas1");
  Ayuda1 = mb->addMenu("Ayuda");
  Ayuda1->setObjectName("Ayuda1");
  BuildShellMenus();  // the items of "Idiomas" and "Ayuda", the manual and web actions

  // Hidden command behind the save (gain normalisation of every theme).
  Normalizar1 = new QAction("Normalizar", this);
  Normalizar1->setObjectName("Normalizar1");

  // Pop-up menus of the grids.
  BuildFormulaGridMenu(*this);
  SGTemas->setContextMenuPolicy(Qt::ActionsContextMenu);
  AddWidgetAction(SGTemas, Nuevotema1, "Nuevotema1", "Nuevo tema");
  Nuevotema1->setShortcut(QKeySequence("Ctrl+N"));
  AddWidgetAction(SGTemas, Copiartema1, "Copiartema1", "Copiar tema");
  AddWidgetAction(SGTemas, Pegartema1, "Pegartema1", "Pegar tema");
  AddWidgetAction(SGTemas, Limpiartema1, "Limpiartema1", "Limpiar tema");
  AddWidgetAction(SGTemas, Borrartema1, "Borrartema1", "Borrar tema");
  AddWidgetAction(SGTemas, Ordenarpornombre1, "Ordenarpornombre1", "Ordenar por nombres");
  Copiartema1->setShortcut(QKeySequence("Ctrl+C"));
  Pegartema1->setShortcut(QKeySequence("Ctrl+P"));
  Limpiartema1->setShortcut(QKeySequence("Ctrl+L"));
  Borrartema1->setShortcut(QKeySequence("Ctrl+B"));
  Ordenarpornombre1->setShortcut(QKeySequence("Ctrl+O"));
  for (QAction* a : {Copiartema1, Pegartema1, Limpiartema1, Borrartema1, Ordenarpornombre1})
    a->setShortcutContext(Qt::WidgetShortcut);  // the theme grid's keys, not the window's
  BuildPatternGridMenu(*this);
}
