#include "app/window/mainform.h"
#include "app/window/keyboard_order.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QScrollArea>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>

#include "platform/ui/settings.h"
#include "platform/ui/string_grid.h"
#include "platform/files/text.h"

TMainForm::TMainForm(Options opts)
    : WorkspaceParts(EditionFormat{}) {
  dialogs = opts.dialogs ? std::move(opts.dialogs) : CreateQtDialogs(this);
  WaveOut = opts.waveOut ? std::move(opts.waveOut) : audio::CreatePortAudioWaveOut();
  WaveIn = opts.waveIn ? std::move(opts.waveIn) : audio::CreatePortAudioWaveIn();
  SettingsIniFile = std::make_unique<SettingsIni>(opts.iniPath);
  BuildLayout();
  BuildMenus();
  BuildRhythmEditors();
  BuildEngineControls();
  BuildStartupControls();
  BuildGuitarControls();
  BuildGuitarSoundControls();
  BuildGuitarEditControls();
  BuildGuitarMidiControls();
  BuildTunerControls();
  ConnectHandlers();
  ConnectRhythmEditors();
  ConnectEngineControls();
  ConnectGuitarControls();
  ConnectGuitarEditControls();
  BuildLibraryControls();
  BuildDeviceLink(opts);
  BuildPhoneLink(opts);
  connect(SGDatosFormula->horizontalHeader(), &QHeaderView::sectionResized, this,
          [this] { LayoutPatternGrid(SGDatosFormula->ColCount() - 2); });
  FitLayout();
  PrepareDesk();
  SetMainTabOrder(*this);
  for (QWidget* child : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Image2), OndaL, OndaR,
                         static_cast<QWidget*>(Image9)}) {
    child->setProperty("dragPanel", QVariant::fromValue(static_cast<void*>(child->parentWidget())));
    child->installEventFilter(this);
  }
  // The list file named on the command line, as given; start-up takes the
  // set's name from it.
  commandLineSet_ = opts.commandLineList.toLocal8Bit().toStdString();
}

TMainForm::~TMainForm() {
  // Nothing may reach the window once it goes: stop the timers, then hand
  // back every queued buffer and close the device before anything is freed.
  if (Timer1) Timer1->stop();
  if (Timer3) Timer3->stop();
  CloseWaveOutput();
  if (WaveIn) WaveIn->Close();  // its callback writes WaveInReady, which goes first
  DevicePane.Close();
}

void TMainForm::Log(const QString& line) { Visor->append(line); }

// The view toggle: the item's check mark flips and the panel follows it.
// Only the mark is looked at, so a close label (clickable only while its
// panel shows) hides the panel.
void TMainForm::TogglePanel(QWidget* panel, QAction* item, bool bringToFront) {
  item->setChecked(!item->isChecked());
  panel->setVisible(item->isChecked());
  PlaceOpenedPanel(panel);
  UpdateDeskSize();
  if (bringToFront && panel->isVisible()) panel->raise();
  // A panel that opens beyond the screen's edge is scrolled into sight.
  if (item->isChecked()) DeskScroll->ensureWidgetVisible(panel, 0, 0);
}

void TMainForm::Metrnomo1Click() { TogglePanel(PanelMetronomo, Metrnomo1, true); }
void TMainForm::Temas1Click() { TogglePanel(PanelTemas, Temas1, true); }
void TMainForm::Frmulas1Click() { TogglePanel(PanelFormulas, Frmulas1, true); }
void TMainForm::Pistas1Click() { TogglePanel(PanelPistas, Pistas1, false); }
void TMainForm::Onda1Click() { TogglePanel(PanelOnda, Onda1, false); }
void TMainForm::Sonidos1Click() { TogglePanel(PanelSonidos, Sonidos1, false); }

void TMainForm::ConnectHandlers() {
  ConnectShell();  // language items, help menu, manual and web actions
  connect(Abrir2, &QAction::triggered, this, [this] { Abrir2Click(); });
  connect(Guardar1, &QAction::triggered, this, [this] { Guardar1Click(); });
  connect(Guardarcomo1, &QAction::triggered, this, [this] { Guardarcomo1Click(); });
  connect(Nuevo1, &QAction::triggered, this, [this] { Nuevo1Click(); });
  connect(Original1, &QAction::triggered, this, [this] { Original1Click(); });
  connect(Deshacertodo1, &QAction::triggered, this, [this] { Deshacertodo1Click(); });
  connect(Salir1, &QAction::triggered, this, [this] { Salir1Click(); });
  connect(Normalizar1, &QAction::triggered, this, [this] { Normalizar1Click(); });
  connect(botonrec, &QPushButton::clicked, this, [this] { botonrecClick(); });
  connect(Nuevafrmula1, &QAction::triggered, this, [this] { Nuevafrmula1Click(); });
  connect(Copiarfrmula1, &QAction::triggered, this, [this] { Copiarfrmula1Click(); });
  connect(Pegarfrmula1, &QAction::triggered, this, [this] { Pegarfrmula1Click(); });
  connect(Limpiarfrmula1, &QAction::triggered, this, [this] { Limpiarfrmula1Click(); });
  connect(Nuevotema1, &QAction::triggered, this, [this] { Nuevotema1Click(); });
  connect(RadioButton1, &QRadioButton::clicked, this, [this] { RadioButton1Click(); });
  SGFormulas->onSelectCell = [this](int c, int r) { SGFormulasSelectCell(c, r); };
  SGTemas->onSelectCell = [this](int c, int r) { SGTemasSelectCell(c, r); };

  // View toggles and the close labels.
  struct Toggle {
    QAction* item;
    QWidget* panel;
    QLabel* close;
    void (TMainForm::*handler)();
  };
  const Toggle toggles[] = {
      {Metrnomo1, PanelMetronomo, StaticText4, &TMainForm::Metrnomo1Click},
      {Temas1, PanelTemas, StaticText6, &TMainForm::Temas1Click},
      {Frmulas1, PanelFormulas, StaticText8, &TMainForm::Frmulas1Click},
      {Pistas1, PanelPistas, Label36, &TMainForm::Pistas1Click},
      {Onda1, PanelOnda, StaticText9, &TMainForm::Onda1Click},
      {Sonidos1, PanelSonidos, StaticText10, &TMainForm::Sonidos1Click},
      {Afinador1, PanelAfinador, StaticText11, &TMainForm::Afinador1Click},
      {Guitarra1, PanelGuitarra, StaticText7, &TMainForm::Guitarra1Click},
  };
  for (const Toggle& t : toggles) {
    // The item's own toggling is undone first: the handler flips the mark itself.
    connect(t.item, &QAction::triggered, this, [this, t](bool) {
      t.item->setChecked(!t.item->isChecked());
      (this->*t.handler)();
    });
    t.close->installEventFilter(this);
    t.close->setProperty("closes", QVariant::fromValue(static_cast<void*>(t.item)));
    drags_.push_back({t.panel, QPoint()});
    t.panel->installEventFilter(this);
  }
}

namespace {
// Whether a press at pos of the panel drags it: on the panel itself or on
// one of the children that forward to it, not through any other child.
bool PressDragsPanel(QObject* receiver, QWidget* panel, QPoint pos) {
  if (receiver != panel) return true;  // a forwarding child
  for (QWidget* w = panel->childAt(pos); w && w != panel; w = w->parentWidget())
    if (w->property("dragPanel").isValid()) return true;
  return panel->childAt(pos) == nullptr;
}
}  // namespace

bool TMainForm::eventFilter(QObject* obj, QEvent* ev) {
  // A close label is clicked with the left button, released over it; it
  // takes its own presses, so they never reach the panel.
  if (const QVariant closes = obj->property("closes"); closes.isValid()) {
    if (ev->type() == QEvent::MouseButtonPress || ev->type() == QEvent::MouseButtonDblClick) return true;
    if (ev->type() == QEvent::MouseButtonRelease) {
      auto* me = static_cast<QMouseEvent*>(ev);
      auto* label = static_cast<QWidget*>(obj);
      if (me->button() == Qt::LeftButton && label->rect().contains(me->position().toPoint()))
        static_cast<QAction*>(closes.value<void*>())->trigger();
      return true;
    }
  }
  // A picture or chart standing on a panel drags the panel.
  QObject* target = obj;
  if (const QVariant p = obj->property("dragPanel"); p.isValid()) target = static_cast<QObject*>(p.value<void*>());
  for (DragState& d : drags_) {
    if (target != d.panel) continue;
    // A panel that grew moves the ones it would now cover out of its way.
    // (The size a hidden panel got is sent when it shows, with no old size:
    // its opening places it.)
    if (ev->type() == QEvent::Resize && obj == d.panel) {
      const auto* re = static_cast<QResizeEvent*>(ev);
      if (re->oldSize().isValid() && (re->size().width() > re->oldSize().width() ||
                                      re->size().height() > re->oldSize().height()))
        KeepPanelsApart(d.panel);
    }
    // Where the user has put a panel, it stays, also at the next start.
    if (ev->type() == QEvent::MouseButtonRelease && d.moved) {
      d.moved = false;
      RememberPanelPlace(d.panel);
    }
    if (ev->type() == QEvent::MouseButtonPress) {
      d.moved = false;
      auto* me = static_cast<QMouseEvent*>(ev);
      const bool drags = PressDragsPanel(obj, d.panel, me->position().toPoint());
      d.panel->setProperty("dragArmed", drags);
      if (drags) {
        d.origin = QCursor::pos();
        d.panel->raise();
      }
    } else if (ev->type() == QEvent::MouseMove && d.panel->property("dragArmed").toBool()) {
      auto* me = static_cast<QMouseEvent*>(ev);
      const QPoint cur = QCursor::pos();
      const int dx = cur.x() - d.origin.x(), dy = cur.y() - d.origin.y();
      // A move that would bring the left or top edge to 0 or beyond is
      // refused and the origin stays.
      if ((me->buttons() & Qt::LeftButton) && d.panel->x() + dx > 0 && d.panel->y() + dy > 0) {
        d.origin = cur;
        d.moved = true;
        d.panel->setProperty("userPlaced", true);
        d.panel->move(d.panel->x() + dx, d.panel->y() + dy);
        d.panel->update();
        UpdateDeskSize();
      }
    }
    break;
  }
  return QMainWindow::eventFilter(obj, ev);
}
