// The formula, track and theme editors' own controls and their bindings.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "app/window/mainform.h"
#include "platform/ui/widgets.h"
#include "platform/ui/string_grid.h"
#include "rhythm/window/editor_widgets.h"

namespace {
QLineEdit* MakeEdit(QWidget* parent, const char* name, QRect geom) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setGeometry(geom);
  return e;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& hint, QRect geom) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setToolTip(hint);
  b->setGeometry(geom);
  return b;
}

// The guitar mark drawn in the theme grid beside the number of a theme that
// has a guitar track.
QPixmap GuitarMark() {
  QPixmap pm(14, 14);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(160, 82, 45));
  p.drawEllipse(QRectF(1, 6, 7, 7));
  p.drawEllipse(QRectF(3, 3, 5, 5));
  p.setPen(QPen(QColor(60, 30, 10), 1.5));
  p.drawLine(QPointF(5, 9), QPointF(12.5, 1.5));
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::black);
  p.drawEllipse(QRectF(3.5, 8, 2.5, 2.5));
  return pm;
}
}  // namespace

void TMainForm::BuildRhythmEditors() {
  // The play order and the count mode each form an exclusive pair of their
  // own, whatever other buttons their panels hold.
  auto* order = new QButtonGroup(PanelTemas);
  order->addButton(RadioButton1);
  order->addButton(RadioButton2);
  auto* count = new QButtonGroup(PanelFormulas);
  count->addButton(RBTiempo);
  count->addButton(RBAcento);

  // Themes panel: parts, intro and ending, the entry buttons, the formula to add.
  LabelPartes = MakeLabel(PanelTemas, "LabelPartes", "Veces", {712, 22, 40, 20});
  Partes = MakeEdit(PanelTemas, "Partes", {752, 22, 40, 20});
  LabelIntro = MakeLabel(PanelTemas, "LabelIntro", "Intro", {712, 44, 40, 20});
  Intro = MakeEdit(PanelTemas, "Intro", {752, 44, 40, 20});
  LabelFin = MakeLabel(PanelTemas, "LabelFin", "Fin", {712, 66, 40, 20});
  Fin = MakeEdit(PanelTemas, "Fin", {752, 66, 40, 20});
  LabelPartes->setBuddy(Partes);
  LabelIntro->setBuddy(Intro);
  LabelFin->setBuddy(Fin);
  const QString insertHint = QString::fromUtf8("Insertar fórmula  en el tema");
  BotonPoneAntes = MakeButton(PanelTemas, "BotonPoneAntes", QString::fromUtf8("\u2191+"), insertHint, {712, 96, 30, 26});
  Label46 = MakeLabel(PanelTemas, "Label46", QString::fromUtf8("Añadir"), {746, 96, 70, 13});
  Label47 = MakeLabel(PanelTemas, "Label47", "antes", {746, 109, 70, 13});
  BotonPoneDespues =
      MakeButton(PanelTemas, "BotonPoneDespues", QString::fromUtf8("\u2193+"), insertHint, {712, 126, 30, 26});
  Label42 = MakeLabel(PanelTemas, "Label42", QString::fromUtf8("Añadir"), {746, 126, 70, 13});
  Label43 = MakeLabel(PanelTemas, "Label43", QString::fromUtf8("después"), {746, 139, 70, 13});
  BotonQuita = MakeButton(PanelTemas, "BotonQuita", QString::fromUtf8("\u2212"),
                          QString::fromUtf8("Quitar fórmula del tema"), {712, 156, 30, 26});
  Label40 = MakeLabel(PanelTemas, "Label40", "Quitar", {746, 156, 70, 13});
  Label41 = MakeLabel(PanelTemas, "Label41", QString::fromUtf8("fórmula"), {746, 169, 70, 13});
  Label25 = MakeLabel(PanelTemas, "Label25", QString(), {600, 204, 228, 18});
  Image7 = MakeLabel(PanelTemas, "Image7", QString(), {0, 0, 14, 14});
  Image7->setPixmap(GuitarMark());
  Image7->setVisible(false);

  // Tracks panel: where the formula is used.
  Label14 = MakeLabel(PanelPistas, "Label14", QString(), {712, 2, 320, 18});

  // The grids' headers in the layout's wording (the language switch rewrites them).
  SGSaco->verticalHeader()->setDefaultSectionSize(16);
  const char* saco[] = {"Compás", "Nombre", "BPM", "Fórmula", "Veces", "Acel."};
  for (int c = 0; c < 6; ++c) SGSaco->SetCells(c, 0, QString::fromUtf8(saco[c]));
  const char* formulas[] = {"Numero", "Tiempos", "Nombre", "Inicio"};
  for (int c = 0; c < 4; ++c) SGFormulas->SetCells(c, 0, QString::fromUtf8(formulas[c]));
  SGDatosFormula->SetCells(0, 0, QString::fromUtf8("Nº   L<- Pan ->R        Vol"));
  SGDatosFormula->SetCells(1, 0, "Instrumento");

  // Owner drawing.
  SGFormulas->setItemDelegate(new CellPainter(
      SGFormulas, [this](QPainter* p, int c, int r, const QRect& rc) { SGFormulasDrawCell(p, c, r, rc); }));
  SGDatosFormula->setItemDelegate(new CellPainter(
      SGDatosFormula, [this](QPainter* p, int c, int r, const QRect& rc) { SGDatosFormulaDrawCell(p, c, r, rc); }));
  SGTemas->setItemDelegate(
      new CellPainter(SGTemas, [this](QPainter* p, int c, int r, const QRect& rc) { SGTemasDrawCell(p, c, r, rc); }));
}

void TMainForm::ConnectRhythmEditors() {
  // Formula grid: typed values, click, keys, mouse moves and leaving it.
  // The hook reaches the window only for the user's own input, never while
  // the window's widgets are being torn down.
  SGFormulas->onSetEditText = [this](int c, int r, const QString& v) { SGFormulasSetEditText(c, r, v); };
  connect(SGFormulas, &QTableWidget::cellClicked, this, [this](int, int) { SGFormulasClick(); });
  FormulaGridHooks hooks;
  hooks.mouseMove = [this] { SGFormulasMouseMove(); };
  hooks.keyDown = [this] { SGFormulasKeyDown(); };
  hooks.click = [this] { SGFormulasClick(); };
  hooks.exit = [this] { SGFormulasExit(); };
  HookFormulaGrid(this, SGFormulas, static_cast<CellPainter*>(SGFormulas->itemDelegate()), std::move(hooks));

  // Pattern grid and sound chooser.
  SGDatosFormula->onSelectCell = [this](int c, int r) { SGDatosFormulaSelectCell(c, r); };
  SGDatosFormula->onSetEditText = [this](int c, int r, const QString& v) { SGDatosFormulaSetEditText(c, r, v); };
  connect(CBSonidos, &QComboBox::activated, this, [this](int i) { CBSonidosChange(i); });
  for (QCheckBox* box : AccentBoxes) connect(box, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
  // A box toggled from the keyboard is the user's change as much as a click:
  // the key lowers the selection's guard as the mouse going down does, or the
  // box would show an accent the formula does not have.
  auto* accentKeys = new EventHook(this, [this](QObject*, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(e)->key();
      if (key == Qt::Key_Space || key == Qt::Key_Select) CheckBox2MouseDown();
    }
    return false;
  });
  for (QCheckBox* box : AccentBoxes) box->installEventFilter(accentKeys);
  connect(RBTiempo, &QRadioButton::clicked, this, [this] { RBTiempoClick(); });
  connect(RBAcento, &QRadioButton::clicked, this, [this] { RBAcentoClick(); });

  // Theme editor.
  SGTemas->onSetEditText = [this](int c, int r, const QString& v) { SGTemasSetEditText(c, r, v); };
  SGSaco->onSelectCell = [this](int c, int r) { SGSacoSelectCell(c, r); };
  SGSaco->onSetEditText = [this](int c, int r, const QString& v) { SGSacoSetEditText(c, r, v); };
  connect(BotonPoneAntes, &QPushButton::clicked, this, [this] { BotonPoneAntesClick(); });
  connect(BotonPoneDespues, &QPushButton::clicked, this, [this] { BotonPoneDespuesClick(); });
  connect(BotonQuita, &QPushButton::clicked, this, [this] { BotonQuitaClick(); });
  connect(Partes, &QLineEdit::textChanged, this, [this] { PartesChange(); });
  connect(Intro, &QLineEdit::textChanged, this, [this] { IntroChange(); });
  connect(Fin, &QLineEdit::textChanged, this, [this] { FinChange(); });
  connect(RadioButton2, &QRadioButton::clicked, this, [this] { RadioButton1Click(); });
}
