// The basic window's controls: one page control with three pages, every
// control named as the handlers and the language switch know it, and the
// menus. Sized to fit a 1366x768 screen.
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>
#include <QSlider>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

#include "platform/ui/desk_theme.h"
#include "platform/ui/fit_texts.h"
#include "platform/ui/keyboard.h"
#include "platform/ui/string_grid.h"
#include "app/window/window_menus.h"
#include "platform/ui/widgets.h"
#include "basic/basic_set.h"
#include "basic/window/basic_form.h"
#include "basic/window/basic_language.h"

namespace bornace {

namespace {

// The basic window's groups: the caption 8 pixels in, and their radio
// buttons and check boxes white too, with small square or round marks.
QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& caption, QRect geom) {
  return MakeBlackGroup(parent, name, caption, geom, 8,
                        "QGroupBox#%1 QRadioButton, QGroupBox#%1 QCheckBox { color: white; background: transparent; }"
                        "QGroupBox#%1 QRadioButton::indicator, QGroupBox#%1 QCheckBox::indicator"
                        " { width: 11px; height: 11px; border: 1px solid #c0c0c0; background: #202020; }"
                        "QGroupBox#%1 QRadioButton::indicator { border-radius: 6px; }"
                        "QGroupBox#%1 QRadioButton::indicator:checked, QGroupBox#%1 QCheckBox::indicator:checked"
                        " { background: #00c000; }");
}

QLabel* Lamp(QWidget* parent, const QString& name, const QString& text, QRect g) {
  QLabel* l = MakeLabel(parent, name.toLatin1().constData(), text, g);
  l->setAlignment(Qt::AlignCenter);
  return l;
}

}  // namespace

void TMainForm::BuildLayout() {
  ApplyDeskTheme();
  setObjectName("MainForm");
  auto* central = new QWidget(this);
  central->setObjectName("ClientArea");
  central->setAutoFillBackground(true);
  {
    QPalette pal = central->palette();
    pal.setColor(QPalette::Window, DeskTheme().desk);
    central->setPalette(pal);
  }
  setCentralWidget(central);
  PageControl1 = new QTabWidget(central);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setGeometry(0, 0, 1336, 664);

  // --- Metrónomo -------------------------------------------------------------
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName("TabSheet1");
  PageControl1->addTab(TabSheet1, QString::fromUtf8("Metrónomo"));

  // The theme group: the theme grid with its tempo, the sequence of the
  // theme, its order, parts, intro and ending, the transport and the export.
  GroupBox3 = MakeGroup(TabSheet1, "GroupBox3", "Temas", {4, 2, 716, 318});
  QWidget* g3 = GroupBox3;
  SGTemas = new StringGrid("SGTemas", 3, 2, g3);
  SGTemas->setGeometry(6, 20, 200, 262);
  SGTemas->SetColWidths({45, 100, 36});
  SGTemas->verticalHeader()->setDefaultSectionSize(18);
  SGSaco = new StringGrid("SGSaco", 6, 2, g3, 3, 1);
  SGSaco->setGeometry(212, 20, 272, 262);
  SGSaco->SetColWidths({41, 27, 39, 42, 33, 29});
  SGSaco->verticalHeader()->setDefaultSectionSize(16);
  QLabel* findSong = MakeLabel(g3, "LabeledEdit1Label", "Buscar tema", {6, 290, 78, 22});
  LabeledEdit1 = MakeLineEdit(g3, "LabeledEdit1", {86, 290, 62, 22});
  findSong->setBuddy(LabeledEdit1);
  menostema = MakeButton(g3, "menostema", "<", {152, 290, 26, 22});
  mastema = MakeButton(g3, "mastema", ">", {180, 290, 26, 22});

  MakeLabel(g3, "Label11", QString::fromUtf8("Reproducción"), {488, 18, 110, 16});
  RadioButton1 = MakeRadio(g3, "RadioButton1", "Normal", {488, 34, 110, 18});
  RadioButton2 = MakeRadio(g3, "RadioButton2", "Aleatoria", {488, 52, 110, 18});
  RadioButton1->setChecked(true);
  auto* order = new QButtonGroup(g3);
  order->addButton(RadioButton1);
  order->addButton(RadioButton2);
  auto labelled = [&](const char* labelName, const char* caption, QLineEdit*& edit, const char* name, int y) {
    QLabel* l = MakeLabel(g3, labelName, caption, {488, y, 60, 20});
    edit = MakeLineEdit(g3, name, {534, y, 44, 20});
    l->setBuddy(edit);
  };
  labelled("LabelPartes", "Veces", Partes, "Partes", 76);
  labelled("LabelIntro", "Intro", Intro, "Intro", 98);
  labelled("LabelFin", "Fin", Fin, "Fin", 120);
  // The theme tempo: 420 - position bpm, 400 at the top.
  TB1 = MakeSlider(g3, "TB1", Qt::Vertical, {650, 18, 30, 200}, 20, 400, 300);
  TB1->setInvertedAppearance(true);
  BotonPoneAntes = MakeButton(g3, "BotonPoneAntes", QString::fromUtf8("Añadir antes"), {488, 146, 150, 24},
                              QString::fromUtf8("Insertar fórmula en el tema"));
  BotonPoneDespues = MakeButton(g3, "BotonPoneDespues", QString::fromUtf8("Añadir después"), {488, 172, 150, 24},
                                QString::fromUtf8("Insertar fórmula en el tema"));
  BotonQuita = MakeButton(g3, "BotonQuita", QString::fromUtf8("Quitar fórmula"), {488, 198, 150, 24},
                          QString::fromUtf8("Quitar fórmula del tema"));
  Label25 = MakeLabel(g3, "Label25", QString(), {488, 224, 150, 18});
  Label2 = MakeLabel(g3, "Label2", QString(), {212, 284, 272, 30});
  Label2->setWordWrap(true);
  Label3 = MakeLabel(g3, "Label3", QString(), {488, 244, 200, 18});
  Label8 = MakeLabel(g3, "Label8", "120.00 bpm", {610, 222, 82, 18});
  Label8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  BotonPlayComp = MakeButton(g3, "BotonPlayComp", QString::fromUtf8("\u25B6"), {488, 266, 36, 26}, "Oir tema");
  botonpausa = MakeButton(g3, "botonpausa", "||", {526, 266, 36, 26}, "Pausa");
  botonstoptema = MakeButton(g3, "botonstoptema", QString::fromUtf8("\u25A0"), {564, 266, 36, 26}, "Stop - F12");
  TTiempo = MakeLabel(g3, "TTiempo", "00:00.0", {606, 270, 60, 18});
  SpeedButton6 = MakeButton(g3, "SpeedButton6", "Guardar como WAV", {488, 294, 200, 20});

  // The panel beside: beat lamps, save, transfer, log, master volume and
  // the metronome group.
  auto* side = new QWidget(TabSheet1);
  side->setObjectName("Panel2");
  side->setGeometry(724, 2, 600, 318);
  side->setAutoFillBackground(true);
  {
    QPalette pal = side->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    side->setPalette(pal);
  }
  for (int i = 0; i < 12; ++i) {
    BeatLabels[static_cast<size_t>(i)] =
        Lamp(side, QString("lb%1").arg(i + 1), QString::number(i + 1), {6 + 32 * i, 6, 30, 24});
    BeatLabels[static_cast<size_t>(i)]->setFont(QFont("Arial", 12, QFont::Bold));
    BeatLabels[static_cast<size_t>(i)]->setStyleSheet("QLabel { color: gray; background: transparent; }");
  }
  botonrec = MakeButton(side, "botonrec", "Guardar todo", {6, 38, 180, 28}, QString::fromUtf8("Guarda la configuración actual"));
  botonrec->setEnabled(false);
  BEnvia = MakeButton(side, "BEnvia", QString::fromUtf8("Enviar datos al Metrónomo"), {192, 38, 206, 28},
                      QString::fromUtf8("Envia configuración actual al Velarto"));
  Visor = new QTextEdit(side);
  Visor->setObjectName("Visor");
  Visor->setReadOnly(true);
  Visor->setGeometry(6, 72, 392, 208);
  Visor->setStyleSheet("QTextEdit { background-color: rgb(16, 16, 16); color: rgb(0, 255, 0); }");
  MakeLabel(side, "Label9", "Volumen", {6, 288, 60, 22})->setStyleSheet("QLabel { color: white; }");
  tbvolumen = MakeSlider(side, "tbvolumen", Qt::Horizontal, {70, 288, 328, 22}, 0, 65535, 0);

  GroupBox1 = MakeGroup(side, "GroupBox1", QString::fromUtf8("Metrónomo"), {404, 0, 196, 318});
  QWidget* g1 = GroupBox1;
  MakeLabel(g1, "Label13", "Sonidos", {8, 18, 120, 16});
  CBMetro = new QComboBox(g1);
  CBMetro->setObjectName("CBMetro");
  CBMetro->setGeometry(8, 36, 140, 22);
  Edit1 = MakeLineEdit(g1, "Edit1", {8, 66, 48, 22}, "120");
  MakeLabel(g1, "Label10", "bpm", {60, 66, 40, 22});
  // The formula tempo: 420 - position bpm, 400 at the top.
  TB2 = MakeSlider(g1, "TB2", Qt::Vertical, {156, 18, 30, 200}, 20, 400, 300);
  TB2->setInvertedAppearance(true);
  const struct {
    QPushButton*& button;
    const char* name;
    const char* text;
  } presets[] = {{SpeedButton3, "SpeedButton3", "0"}, {SpeedButton4, "SpeedButton4", "1"},
                 {SpeedButton5, "SpeedButton5", "2"}, {SpeedButton7, "SpeedButton7", "3"},
                 {SpeedButton2, "SpeedButton2", "4"}, {SpeedButton8, "SpeedButton8", "5"},
                 {SpeedButton9, "SpeedButton9", "6"}, {SpeedButton10, "SpeedButton10", "Pie"}};
  MakeLabel(g1, "Label12", "Subdivisiones", {8, 96, 140, 16});
  auto* presetGroup = new QButtonGroup(this);
  presetGroup->setExclusive(true);
  for (int i = 0; i < 8; ++i) {
    QPushButton* b = MakeButton(g1, presets[i].name, presets[i].text, {8 + 36 * (i % 4), 114 + 28 * (i / 4), 34, 26});
    b->setCheckable(true);
    presetGroup->addButton(b);
    presets[i].button = b;
  }
  SpeedButton3->setChecked(true);
  MakeLabel(g1, "Label6", "Nivel", {8, 176, 40, 20});
  Nivel = MakeSlider(g1, "Nivel", Qt::Horizontal, {50, 176, 100, 20}, 0, 16, 8);

  // The formula group: the formula grid, the pattern grid of 8 tracks with
  // the accent boxes, the beat's progress and wave picture, the stereo
  // chart's switch and the search.
  GroupBox2 = MakeGroup(TabSheet1, "GroupBox2", QString::fromUtf8("Fórmulas"), {4, 324, 1320, 306});
  QWidget* g2 = GroupBox2;
  SGFormulas = new StringGrid("SGFormulas", 4, 2, g2);
  SGFormulas->setGeometry(6, 42, 226, 230);
  SGFormulas->SetColWidths({39, 45, 56, 40});
  SGFormulas->verticalHeader()->setDefaultSectionSize(18);
  QLabel* findFormula = MakeLabel(g2, "Edit3Label", QString::fromUtf8("Buscar fórmula"), {6, 278, 100, 22});
  Edit3 = MakeLineEdit(g2, "Edit3", {108, 278, 124, 22});
  findFormula->setBuddy(Edit3);
  botonplay = MakeButton(g2, "botonplay", QString::fromUtf8("\u25B6"), {6, 16, 30, 22}, QString::fromUtf8("Oir fórmula"));
  botonstop = MakeButton(g2, "botonstop", QString::fromUtf8("\u25A0"), {38, 16, 30, 22}, "Stop - F12");
  MakeLabel(g2, "Label24", "Contar", {72, 18, 40, 18});
  RBTiempo = MakeRadio(g2, "RBTiempo", "Tiempo", {112, 18, 66, 18});
  RBAcento = MakeRadio(g2, "RBAcento", "Acento", {180, 18, 66, 18});
  RBTiempo->setChecked(true);
  auto* count = new QButtonGroup(g2);
  count->addButton(RBTiempo);
  count->addButton(RBAcento);

  Label1 = MakeLabel(g2, "Label1", QString::fromUtf8("Fórmula 1"), {252, 16, 96, 20});
  Label7 = MakeLabel(g2, "Label7", QString(), {352, 16, 76, 20});
  Label22 = MakeLabel(g2, "Label22", QString(), {432, 16, 66, 20});
  Label14 = MakeLabel(g2, "Label14", QString(), {502, 16, 400, 20});
  cb3d = new QCheckBox(QString::fromUtf8("Estéreo"), g2);
  cb3d->setObjectName("cb3d");
  cb3d->setGeometry(1040, 16, 120, 20);

  // 8 track rows under a header; beat columns of 55 pixels after the
  // number and the sound.
  SGDatosFormula = new StringGrid("SGDatosFormula", 14, 9, g2);
  SGDatosFormula->verticalHeader()->setDefaultSectionSize(20);
  SGDatosFormula->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SGDatosFormula->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SGDatosFormula->setFrameShape(QFrame::NoFrame);
  // The grid is as wide as its columns: when one grows (a heading in the
  // other language, a longer sound name), the grid grows with it.
  connect(SGDatosFormula->horizontalHeader(), &QHeaderView::sectionResized, this,
          [this] {
            if (ProgressBar1) LayoutPatternGrid(SGDatosFormula->ColCount() - 2);
          });
  {
    std::vector<int> w = {36, 78};  // with the beat columns, 55 x beats + 114: the grid has no frame
    for (int b = 0; b < 12; ++b) w.push_back(55);
    SGDatosFormula->SetColWidths(w);
  }
  SGDatosFormula->setGeometry(240, 42, 55 * 12 + 114, 9 * 20 + 4);
  SGDatosFormula->SetCells(0, 0, "Pista");
  SGDatosFormula->SetCells(1, 0, "Instrumento");
  for (int t = 1; t <= 8; ++t) SGDatosFormula->SetCells(0, t, QString::number(t));
  CBSonidos = new QComboBox(g2);
  CBSonidos->setObjectName("CBSonidos");
  CBSonidos->setVisible(false);
  MakeLabel(g2, "Label5", "Acentos >", {240, 230, 110, 20});
  for (int k = 0; k < 12; ++k) {
    auto* box = new QCheckBox(g2);
    box->setObjectName(QString("CheckBox%1").arg(k + 1));
    box->setGeometry(240 + 114 + 55 * k + 18, 230, 20, 20);
    AccentBoxes[static_cast<size_t>(k)] = box;
  }
  ProgressBar1 = MakeBar(g2, "ProgressBar1", {240 + 114, 256, 55 * 12, 12}, 0, 100);
  oscilata = MakeLabel(g2, "oscilata", QString(), {1040, 42, 272, 184});
  oscilata->setFrameShape(QFrame::Panel);

  // --- Afinador ----------------------------------------------------------------
  TabSheet2 = new QWidget;
  TabSheet2->setObjectName("TabSheet2");
  PageControl1->addTab(TabSheet2, "Afinador");
  BuildTunerPage();

  // --- Sonidos -------------------------------------------------------------------
  TabSheet3 = new QWidget;
  TabSheet3->setObjectName("TabSheet3");
  PageControl1->addTab(TabSheet3, "Sonidos");
  GB1 = MakeGroup(TabSheet3, "GB1", "Sonidos", {200, 8, 560, 560});
  Label21 = MakeLabel(GB1, "Label21", QString(), {12, 20, 260, 18});
  MakeLabel(GB1, "Label17", "Sonidos del conjunto", {12, 40, 260, 16});
  MakeLabel(GB1, "Label16", "Banco de sonidos", {288, 40, 260, 16});
  SoundsLayout sounds;
  sounds.list = {12, 58, 260, 420};
  sounds.library = {288, 58, 260, 420};
  sounds.preview = {288, 484, 36, 26};
  sounds.count = {12, 484, 260, 20};
  sounds.legend = {12, 534, 536, 18};
  SoundsPane.Build(GB1, this, sounds);
  EnUso = MakeBar(GB1, "EnUso", {12, 510, 536, 18}, 0, 100);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(1);
  Timer1->setTimerType(Qt::PreciseTimer);  // a beat waits at most this tick for its buffer
  Timer4 = new QTimer(this);
  Timer4->setObjectName("Timer4");
  Timer4->setInterval(100);
}

void TMainForm::BuildMenus() {
  BuildFileMenuOpenItems(*this);
  AddSaveItems(*this);
  QMenuBar* mb = menuBar();
  // The set stored in the device, taken into a new set of its own.
  AddMenuItem(File, Recibir1, "Recibir1", QString::fromUtf8("Recibir datos del Metrónomo"));
  File->addSeparator();
  AddMenuItem(File, Salir1, "Salir1", "Salir");

  PlayStop1 = mb->addMenu("Play/Stop");
  PlayStop1->setObjectName("PlayStop1");
  AddMenuItem(PlayStop1, P1, "P1", "Play Tema");
  P1->setShortcut(QKeySequence(Qt::Key_F10));
  AddMenuItem(PlayStop1, PlayFrmula1, "PlayFrmula1", QString::fromUtf8("Play Fórmula"));
  PlayFrmula1->setShortcut(QKeySequence(Qt::Key_F11));
  AddMenuItem(PlayStop1, Stop1, "Stop1", "Stop");
  Stop1->setShortcut(QKeySequence(Qt::Key_F12));

  Afinar1 = mb->addMenu("Afinar");
  Afinar1->setObjectName("Afinar1");
  AddMenuItem(Afinar1, Afinar2, "Afinar2", "Afinar");

  Idiomas1 = mb->addMenu("Idiomas");
  Idiomas1->setObjectName("Idiomas1");
  AddMenuItem(Idiomas1, Espaol1, "Espaol1", QString::fromUtf8("Español"));
  AddMenuItem(Idiomas1, Ingls1, "Ingls1", QString::fromUtf8("Inglés"));
  for (QAction* a : {Espaol1, Ingls1}) a->setCheckable(true);
  Espaol1->setChecked(true);

  // The file-run actions live on the window, so their keys work with no
  // menu open.
  auto action = [&](QAction*& a, const char* name, const QString& caption, const QKeySequence& key) {
    AddWidgetAction(this, a, name, caption);
    if (!key.isEmpty()) a->setShortcut(key);
  };
  action(ManualPC, "ManualPC", "Manual BORNACE_DRAV", QKeySequence(Qt::Key_F1));
  action(PELN, "PELN", "DRAV", QKeySequence(Qt::SHIFT | Qt::Key_F1));
  action(guiarapida, "guiarapida", QString::fromUtf8("Guía Rápida del DRAV"), QKeySequence());
  action(Notacion, "Notacion", QString::fromUtf8("Notación"), QKeySequence(Qt::CTRL | Qt::Key_F1));

  Ayuda1 = mb->addMenu("Ayuda");
  Ayuda1->setObjectName("Ayuda1");
  Ayuda2 = Ayuda1->addMenu("Manuales");
  Ayuda2->setObjectName("Ayuda2");
  AddMenuItem(Ayuda2, ManualBORNACEPELN1, "ManualBORNACEPELN1", "BORNACE_DRAV");
  AddMenuItem(Ayuda2, Velarto1, "Velarto1", "DRAV ( Dispositivo )");
  AddMenuItem(Ayuda2, GuaRpidadelPELN1, "GuaRpidadelPELN1", QString::fromUtf8("Guía Rápida del DRAV"));
  // The two manuals open with the keys of the window's actions they run.
  ShowKeyInMenu(ManualBORNACEPELN1, ManualPC);
  ShowKeyInMenu(Velarto1, PELN);
  AddMenuItem(Ayuda1, ActualizarBORNACEPELN1, "ActualizarBORNACEPELN1", "Actualizar BORNACE_DRAV");
  AddMenuItem(Ayuda1, Acercade1, "Acercade1", "Acerca del Velarto Quendrel");

  // The theme play and stop keys of the window's action list.
  Action1 = new QAction("Action1", this);
  Action1->setObjectName("Action1");
  Action3 = new QAction("Action3", this);
  Action3->setObjectName("Action3");


  // Pop-up menus of the grids.
  BuildFormulaGridMenu(*this);
  SGTemas->setContextMenuPolicy(Qt::ActionsContextMenu);
  AddWidgetAction(SGTemas, Nuevotema1, "Nuevotema1", "Nuevo tema");
  AddWidgetAction(SGTemas, Copiartema1, "Copiartema1", "Copiar tema");
  AddWidgetAction(SGTemas, Pegartema1, "Pegartema1", "Pegar tema");
  AddWidgetAction(SGTemas, Limpiartema1, "Limpiartema1", "Limpiar tema");
  AddWidgetAction(SGTemas, Borrartema1, "Borrartema1", "Borrar tema");
  AddWidgetAction(SGTemas, Normalizar1, "Normalizar1", "Normalizar todo");
  AddWidgetAction(SGTemas, Ordenarpornombre1, "Ordenarpornombre1", "Ordenar por nombres");
  Nuevotema1->setShortcut(QKeySequence("Ctrl+N"));
  Copiartema1->setShortcut(QKeySequence("Ctrl+C"));
  Pegartema1->setShortcut(QKeySequence("Ctrl+P"));
  Limpiartema1->setShortcut(QKeySequence("Ctrl+L"));
  Borrartema1->setShortcut(QKeySequence("Ctrl+B"));
  Normalizar1->setShortcut(QKeySequence("Ctrl+T"));
  Ordenarpornombre1->setShortcut(QKeySequence("Ctrl+O"));
  for (QAction* a : {Nuevotema1, Copiartema1, Pegartema1, Limpiartema1, Borrartema1, Normalizar1, Ordenarpornombre1})
    a->setShortcutContext(Qt::WidgetShortcut);  // the theme grid's keys, not the window's
  BuildPatternGridMenu(*this);
  // The track moves are bound to no control: the stereo chart's arrows run them.
  Moveralaizquierda1 = new QAction(this);
  Moveralaizquierda1->setObjectName("Moveralaizquierda1");
  Moveraladerecha1 = new QAction(this);
  Moveraladerecha1->setObjectName("Moveraladerecha1");
}

// --- fitting the layout to the fonts and the screen -----------------------------

namespace {

// The longest texts the labels filled at run time can show, in both languages.
void AddRuntimeTexts(TMainForm* f, ShownTexts* texts) {
  const QString theme = QString::fromUtf8("Soleá bulerías");  // 14 characters, a theme name's most
  const QString formula = QString::fromUtf8("Malag");         // 5 characters, a formula name's most
  auto add = [&](QWidget* w, const QStringList& more) {
    if (w) (*texts)[w] << more;
  };
  add(f->Label8, {"400.00 bpm"});
  add(f->Label1, {QString::fromUtf8("Fórmula 999"), "Formula 999"});
  add(f->Label7, {formula});
  add(f->Label22, {"59.9'"});
  add(f->Label14, {QString::fromUtf8("Usada en Tema 999 ") + theme, "Used in song 999 " + theme,
                   QString::fromUtf8("No está usada"), "It is not used "});
  add(f->Label25, {QString::fromUtf8("Añadir F 999 ") + formula, "Add F 999 " + formula});
  add(f->Label3, {QString::fromUtf8("Compás 999/999 - 99ª / 99"), QString::fromUtf8("Compass 999/999 - 99ª / 99")});
  add(f->TTiempo, {"99:59.9"});
  add(f->Label15, {QString::fromStdString(SoundMemoryText(100.0f, false)),
                   QString::fromStdString(SoundMemoryText(100.0f, true))});
}

// The group boxes and panels inside w, the innermost first.
void Containers(QWidget* w, QList<QWidget*>* out) {
  for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!qobject_cast<QGroupBox*>(c) && !c->objectName().startsWith("Panel")) continue;
    Containers(c, out);
    out->append(c);
  }
}

constexpr int kMargin = 4;

// Widens a grid to show every column whole, with room for its vertical
// scroll bar (a set's themes, formulas and entries soon fill more rows than
// their grids show); what stands to its right moves along as one, so that
// the controls there keep their places to each other. True when it grew.
bool WidenGrid(StringGrid* g) {
  const int need = g->WidthForColumns(true);
  if (need <= g->width()) return false;
  const int right = g->x() + g->width(), shift = need - g->width();
  for (QWidget* w : g->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w != g && !w->isWindow() && w->x() >= right) w->move(w->x() + shift, w->y());
  g->resize(need, g->height());
  return true;
}

// The groups holding w, from the innermost out, as wide as what they hold,
// the groups beside them moving along, and the page's sheet holding them
// all. True when the sheet grew.
bool HoldGrownControl(QWidget* w) {
  for (QWidget* box = w->parentWidget(); box; box = box->parentWidget()) {
    QRect used;
    for (QWidget* k : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (!k->isWindow()) used |= k->geometry();
    const int width = used.right() + 1 + kMargin;
    if (width <= box->width()) return false;
    if (box->objectName().endsWith("Sheet")) {
      box->setMinimumWidth(width);
      box->resize(width, box->height());
      return true;
    }
    if (!qobject_cast<QGroupBox*>(box) && !box->objectName().startsWith("Panel")) return false;
    if (QWidget* holder = box->parentWidget())
      PushRightOf(box, box->x() + box->width(), box->x() + width,
                  holder->findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    box->resize(width, box->height());
  }
  return false;
}

}  // namespace

void TMainForm::FitBasicLayout() {
  // What each control shows in either language, and the longest run-time texts.
  ShownTexts texts;
  RecordShownTexts(this, &texts);
  ApplyBasicLanguageTable(this, true);
  RecordShownTexts(this, &texts);
  ApplyBasicLanguageTable(this, false);
  AddRuntimeTexts(this, &texts);
  // The grids as wide as their columns in either language.
  for (StringGrid* g : {SGTemas, SGSaco, SGFormulas}) WidenGrid(g);

  for (QWidget* page : {TabSheet1, TabSheet2, TabSheet3}) {
    // Each group holds its controls, the inner ones first; what stands to
    // the right of a group that grew moves along.
    QList<QWidget*> groups;
    Containers(page, &groups);
    for (QWidget* g : groups) {
      const QRect used = FitChildren(g, texts);
      const int width = std::max(g->width(), used.right() + 1 + kMargin);
      if (width > g->width() && g->parentWidget()) {
        const QList<QWidget*> siblings = g->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        PushRightOf(g, g->x() + g->width(), g->x() + width, siblings);
        g->resize(width, g->height());
      }
    }
    FitChildren(page, texts);

    // The page's controls stand on a scrolled sheet: on a screen smaller
    // than the layout every control is still reached, none is cut.
    QRect used;
    const QList<QWidget*> kids = page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : kids)
      if (!w->isWindow()) used |= w->geometry();
    auto* sheet = new QWidget;
    sheet->setObjectName(page->objectName() + "Sheet");
    for (QWidget* w : kids) {
      if (w->isWindow()) continue;
      const QRect g = w->geometry();
      const bool hidden = w->isHidden();
      w->setParent(sheet);
      w->setGeometry(g);
      w->setVisible(!hidden);
    }
    sheet->resize(used.right() + 1 + kMargin, used.bottom() + 1 + kMargin);
    sheet->setMinimumSize(sheet->size());
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(page->objectName() + "Scroll");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(false);
    scroll->setWidget(sheet);
    scroll->viewport()->setAutoFillBackground(false);
    sheet->setAutoFillBackground(false);
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(scroll);
  }

  // A grid whose column grows later (a longer name, a larger number) grows
  // with it, and its group.
  for (StringGrid* g : {SGTemas, SGSaco, SGFormulas})
    connect(g->horizontalHeader(), &QHeaderView::sectionResized, this, [this, g] {
      if (WidenGrid(g) && HoldGrownControl(g)) {
        SizePageControl();
        FitPageControl();
      }
    });
  SizePageControl();
}

// The page control is as large as its largest page, and never larger than
// the window's client area (FitPageControl).
void TMainForm::SizePageControl() {
  QSize need;
  for (QWidget* page : {TabSheet1, TabSheet2, TabSheet3})
    need = need.expandedTo(page->findChild<QScrollArea*>()->widget()->size());
  // Around the pages: the frame of the page control and its row of tabs.
  const int frame = 2 * PageControl1->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, PageControl1) + 2;
  PageControlDesignSize = need + QSize(frame, frame + PageControl1->tabBar()->sizeHint().height());
  PageControl1->resize(PageControlDesignSize);
}

void TMainForm::FitPageControl() {
  if (!PageControl1 || !centralWidget() || PageControlDesignSize.isEmpty()) return;
  const QSize room = centralWidget()->size();
  PageControl1->resize(PageControlDesignSize.boundedTo(room));
}

}  // namespace bornace
