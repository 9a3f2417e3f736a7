// The guitar panel's editing controls: the fretboard picture with its finger
// marks, the chord grid with its mode chooser, the chord list and its file
// buttons, the whole-chord sliders, the transfer buttons between chord and
// tablature, the division buttons, the editor box on the tablature with its
// information label, and the tablature's division menu.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyle>

#include "app/window/mainform.h"
#include "platform/ui/string_grid.h"
#include "platform/ui/lazy_icon.h"
#include "platform/ui/widgets.h"
#include "guitar/edit_keys.h"
#include "guitar/window/edit_widgets.h"
#include "guitar/window/tab_chart.h"

namespace {
constexpr int kFretboardX = 54;  // the picture's left edge on the panel: marks sit at FretPositions + 234
constexpr int kFretboardY = 60;  // string 6's mark (top 60) lies on string 6's line
constexpr int kFretboardW = 800;
constexpr int kFretboardH = 74;

// The fretboard drawn by code: wood, the nut on the right, the frets, the
// position dots and the six strings, the 6th at the top.
QPixmap FretboardPixmap() {
  QPixmap pm(kFretboardW, kFretboardH);
  pm.fill(QColor(20, 20, 20));
  QPainter p(&pm);
  const int nut = kFretboardLeft + FretPosition(0);
  const int end = kFretboardLeft + FretPosition(kLastFretMark);
  p.fillRect(QRect(end - 12, 0, nut - end + 12, kFretboardStrings), QColor(92, 54, 28));
  // Position dots in the middle of frets 3, 5, 7, 9, 12 (two), 15, 17 and 19.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(230, 225, 200));
  for (int f : {3, 5, 7, 9, 12, 15, 17, 19}) {
    const int cx = kFretboardLeft + (FretPosition(f) + FretPosition(f - 1)) / 2;
    if (f == 12) {
      p.drawEllipse(QPoint(cx, 18), 4, 4);
      p.drawEllipse(QPoint(cx, 54), 4, 4);
    } else {
      p.drawEllipse(QPoint(cx, 36), 4, 4);
    }
  }
  p.setPen(QPen(QColor(190, 190, 190), 2));
  for (int f = 1; f <= kLastFretMark; ++f) {
    const int x = kFretboardLeft + FretPosition(f);
    p.drawLine(x, 0, x, kFretboardStrings - 1);
  }
  p.fillRect(QRect(nut - 3, 0, 6, kFretboardStrings), QColor(240, 235, 215));
  for (int k = 0; k < kGuitarStrings; ++k) {
    const int y = k * kStringSpacing + kStringSpacing / 2;
    p.setPen(QPen(QColor(210, 200, 170), k < 3 ? 2 : 1));
    p.drawLine(0, y, kFretboardW - 1, y);
  }
  return pm;
}

QPushButton* IconButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon, QRect geom,
                        const QString& hint) {
  QPushButton* b = MakeButton(parent, name, QString(), geom, hint);
  b->setIcon(LazyStandardIcon(icon));  // the panel starts hidden
  b->setIconSize(QSize(16, 16));
  return b;
}
}  // namespace

void TMainForm::BuildGuitarEditControls() {
  QWidget* p = PanelGuitarra;

  // The fretboard and the finger marks NotaC6..NotaC1 on it.
  MGuitarra = new FretboardPicture(p);
  MGuitarra->setObjectName("MGuitarra");
  MGuitarra->setGeometry(kFretboardX, kFretboardY, kFretboardW, kFretboardH);
  MGuitarra->setPixmap(FretboardPixmap());
  MGuitarra->raise();
  for (int i = 0; i < kGuitarStrings; ++i) {
    const QByteArray name = "NotaC" + QByteArray::number(6 - i);
    QLabel* l = MakeLabel(p, name.constData(), QString(), {0, 0, 24, 12});
    QFont f = l->font();
    f.setPointSize(6);
    f.setBold(true);
    l->setFont(f);
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet("QLabel { color: black; background-color: rgb(255, 210, 0); border-radius: 5px; }");
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    l->hide();
    StringNoteLabels[static_cast<size_t>(i)] = l;
  }

  // The capo across the strings, drawn by code: shown at the capo's fret
  // while there is one.
  ImCejilla = new QLabel(p);
  ImCejilla->setObjectName("ImCejilla");
  {
    QPixmap bar(10, kFretboardStrings);
    bar.fill(QColor(40, 40, 40));
    QPainter painter(&bar);
    painter.fillRect(QRect(2, 0, 6, kFretboardStrings), QColor(150, 150, 160));
    painter.fillRect(QRect(3, 0, 2, kFretboardStrings), QColor(220, 220, 230));
    ImCejilla->setPixmap(bar);
  }
  ImCejilla->setGeometry(0, kFretboardY, 10, kFretboardStrings);
  ImCejilla->setAttribute(Qt::WA_TransparentForMouseEvents);
  ImCejilla->hide();

  // The chord list, its save button and the chord grid under them.
  Label31 = MakeLabel(p, "Label31", "Acorde", {600, 298, 50, 22});
  CBAcordes = new QComboBox(p);
  CBAcordes->setObjectName("CBAcordes");
  CBAcordes->setGeometry(652, 298, 178, 22);
  CBAcordes->setEditable(true);
  CBAcordes->setInsertPolicy(QComboBox::NoInsert);
  CBAcordes->setToolTip("Acorde");
  BGuardaAcorde = IconButton(p, "BGuardaAcorde", QStyle::SP_DialogSaveButton, {832, 298, 26, 22}, "Guardar acorde");

  SGAcordes = new StringGrid("SGAcordes", kChordColumns, kChordRows + 1, p, 2, 1);
  SGAcordes->setGeometry(600, 324, 260, 114);
  // The seven rows and six columns fit without scrolling.
  SGAcordes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SGAcordes->verticalHeader()->setMinimumSectionSize(10);
  SGAcordes->verticalHeader()->setDefaultSectionSize(15);
  for (int r = 0; r <= kChordRows; ++r) SGAcordes->setRowHeight(r, 15);
  SGAcordes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SGAcordes->Editable = true;
  const char* headers[kChordColumns] = {"Nota", "Cuerda", "Traste", "Fuerza", "Modo", "Retardo"};
  for (int c = 0; c < kChordColumns; ++c) SGAcordes->SetCells(c, 0, QString::fromUtf8(headers[c]));

  CBModo = new QComboBox(p);
  CBModo->setObjectName("CBModo");
  for (int m = 0; m < kModeCount; ++m) CBModo->addItem(QString::fromStdString(ModeCaption(m, false)));
  CBModo->setCurrentIndex(-1);
  CBModo->hide();

  // Along the row of navigation: the division buttons beside LGPartes, then
  // the transfers between the chord and the tablature and the mirror.
  const int y = 272, h = 22;
  SpeedButton19 = MakeButton(p, "SpeedButton19", "-", {488, y, 24, h}, "Menos divisiones");
  SpeedButton20 = MakeButton(p, "SpeedButton20", "+", {546, y, 24, h}, QString::fromUtf8("Más divisiones"));
  SpeedButton16 = IconButton(p, "SpeedButton16", QStyle::SP_ArrowUp, {752, y, 26, h}, "Copiar tablatura en acorde");
  SpeedButton15 = IconButton(p, "SpeedButton15", QStyle::SP_ArrowDown, {780, y, 26, h}, "Pegar acorde en tablatura");
  BInvertir = IconButton(p, "BInvertir", QStyle::SP_BrowserReload, {808, y, 26, h}, "Invertir retardo");

  // The fill button under its cover, which shows while no beats are marked.
  RellenaAcorde = IconButton(p, "RellenaAcorde", QStyle::SP_DialogApplyButton, {542, 21, 26, 24},
                             "Rellenar bloque con acorde");
  TapaRellena->raise();

  // At the foot: the strum delay and the strength of the whole chord.
  auto slider = [&](QSlider*& s, const char* name, int lo, int hi, int value, QRect geom, const char* hint) {
    s = new QSlider(Qt::Horizontal, p);
    s->setObjectName(name);
    s->setRange(lo, hi);
    s->setValue(value);
    s->setGeometry(geom);
    s->setToolTip(QString::fromUtf8(hint));
  };
  slider(TBRetardo, "TBRetardo", 0, 16, Chords.TBRetardo, {604, 457, 124, 16}, "% de retardo");
  slider(TBFuerza, "TBFuerza", 1, 7, Chords.TBFuerza, {736, 457, 120, 16}, "Fuerza");

  // The editor box and its information label on the tablature.
  EdFTraste = new EditorBox(Chart1);
  EdFTraste->setObjectName("EdFTraste");
  EdFTraste->setGeometry(kChartLeft, kChartTop, 24, 20);
  EdFTraste->setAlignment(Qt::AlignCenter);
  EdFTraste->setStyleSheet("QLineEdit { background-color: yellow; color: black; font-weight: bold; padding: 0px; }");
  EdFTraste->hide();
  STCtrl = MakeLabel(Chart1, "STCtrl", QString(), {kChartLeft, kChartTop + kStatusBelowBox, 110, 14});
  STCtrl->setStyleSheet("QLabel { background-color: rgb(255, 255, 128); color: blue; font-weight: bold; }");
  STCtrl->hide();

  // The tablature's division menu (the language switch words it).
  PopupMenu7 = new QMenu(this);
  PopupMenu7->setObjectName("PopupMenu7");
  auto item = [&](QAction*& a, const char* name, const char* caption) {
    a = PopupMenu7->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
  };
  item(Copiar1, "Copiar1", "Copiar");
  item(Pegar1, "Pegar1", "Pegar");
  item(Invertirretardo1, "Invertirretardo1", "Invertir retardo");
  item(Vaciar1, "Vaciar1", "Vaciar");
  item(Deshacer1, "Deshacer1", "Deshacer");
  ShowChordGrid();
}

void TMainForm::ConnectGuitarEditControls() {
  // The device's identification ends by refreshing the chord list.
  ChordListRefresh = [this] { CBAcordesCambia(); };
  MGuitarra->onMouseDown = [this](Qt::MouseButton b, int x, int y) { MGuitarraMouseDown(b, x, y); };
  MGuitarra->onMouseMove = [this](int x, int y) { MGuitarraMouseMove(x, y); };
  SGAcordes->onSetEditText = [this](int c, int r, const QString& t) { SGAcordesSetEditText(c, r, t); };
  SGAcordes->onSelectCell = [this](int c, int r) { SGAcordesSelectCell(c, r); };
  connect(CBModo, &QComboBox::activated, this, [this] { CBModoChange(); });
  connect(CBAcordes, &QComboBox::activated, this, [this] { CBAcordesSelect(); });
  connect(BGuardaAcorde, &QPushButton::clicked, this, [this] { BGuardaAcordeClick(); });
  connect(TBRetardo, &QSlider::valueChanged, this, [this] { TBRetardoChange(); });
  connect(TBFuerza, &QSlider::valueChanged, this, [this] { TBFuerzaChange(); });
  connect(BInvertir, &QPushButton::clicked, this, [this] { BInvertirClick(); });
  connect(SpeedButton15, &QPushButton::clicked, this, [this] { SpeedButton15Click(); });
  connect(SpeedButton16, &QPushButton::clicked, this, [this] { SpeedButton16Click(); });
  connect(RellenaAcorde, &QPushButton::clicked, this, [this] { RellenaAcordeClick(); });
  connect(SpeedButton19, &QPushButton::clicked, this, [this] { SpeedButton19Click(); });
  connect(SpeedButton20, &QPushButton::clicked, this, [this] { SpeedButton20Click(); });
  const std::pair<QAction*, void (TMainForm::*)()> items[] = {
      {Copiar1, &TMainForm::Copiar1Click},   {Pegar1, &TMainForm::Pegar1Click},
      {Vaciar1, &TMainForm::Vaciar1Click},   {Invertirretardo1, &TMainForm::Invertirretardo1Click},
      {Deshacer1, &TMainForm::Deshacer1Click},
  };
  for (const auto& [action, handler] : items)
    connect(action, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });
  auto click = [this](Qt::MouseButton b, Qt::MouseButtons s, int x, int y) { Chart1MouseDown(b, s, x, y); };
  Chart1->onClickBackground = click;
  Chart1->onClickSeries = click;
  EdFTraste->onKeyDown = [this](QKeyEvent* e) {
    const Qt::KeyboardModifiers m = e->modifiers();
    EdFTrasteKeyDown(EditVirtualKey(e->key(), m.testFlag(Qt::KeypadModifier)), m.testFlag(Qt::ControlModifier),
                     m.testFlag(Qt::AltModifier));
  };
  EdFTraste->onKeyUp = [this](QKeyEvent* e) {
    EdFTrasteKeyUp(EditVirtualKey(e->key(), e->modifiers().testFlag(Qt::KeypadModifier)));
  };
}
