#include "app/mainform.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>

#include "app/settings.h"
#include "app/string_grid.h"
#include "platform/text.h"

TMainForm::TMainForm(Options opts) : Rhythm(RhythmTables::Create()), Engine(std::make_unique<EngineState>()) {
  dialogs = opts.dialogs ? std::move(opts.dialogs) : CreateQtDialogs(this);
  WaveOut = opts.waveOut ? std::move(opts.waveOut) : audio::CreatePortAudioWaveOut();
  WaveIn = opts.waveIn ? std::move(opts.waveIn) : audio::CreatePortAudioWaveIn();
  SettingsIniFile = std::make_unique<SettingsIni>(opts.iniPath);
  BuildLayout();
  BuildMenus();
  BuildRhythmEditors();
  BuildEngineControls();
  BuildStartupControls();
  ConnectHandlers();
  ConnectRhythmEditors();
  ConnectEngineControls();
  BuildLibraryControls();
  LoadPanelPictures();
  for (QWidget* child : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Image2), OndaL, OndaR,
                         static_cast<QWidget*>(Image9)}) {
    child->setProperty("dragPanel", QVariant::fromValue(static_cast<void*>(child->parentWidget())));
    child->installEventFilter(this);
  }
  if (!opts.commandLineList.isEmpty()) {
    // The set named on the command line: the list file's base name.
    const std::string path = ToL1(opts.commandLineList);
    const size_t slash = path.find_last_of('/');
    std::string base = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (base.size() > 4) base.resize(base.size() - 4);
    commandLineSet_ = base;
  }
}

TMainForm::~TMainForm() {
  // Nothing may reach the window once it goes: stop the timers, then hand
  // back every queued buffer and close the device before anything is freed.
  if (Timer1) Timer1->stop();
  CloseWaveOutput();
}

void TMainForm::Log(const QString& line) { Visor->append(line); }

void TMainForm::TogglePanel(QWidget* panel, QAction* item, bool bringToFront) {
  item->setChecked(!item->isChecked());
  panel->setVisible(item->isChecked());
  if (bringToFront && panel->isVisible()) panel->raise();
}

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
    bool front;
  };
  const Toggle toggles[] = {
      {Metrnomo1, PanelMetronomo, StaticText4, true}, {Temas1, PanelTemas, StaticText6, true},
      {Frmulas1, PanelFormulas, StaticText8, true},   {Pistas1, PanelPistas, Label36, false},
      {Onda1, PanelOnda, StaticText9, false},         {Sonidos1, PanelSonidos, StaticText10, false},
      {Afinador1, PanelAfinador, StaticText11, false}, {Guitarra1, PanelGuitarra, StaticText7, false},
  };
  for (const Toggle& t : toggles) {
    // The item's own toggling is undone first: the rule flips the mark itself.
    connect(t.item, &QAction::triggered, this, [this, t](bool) {
      t.item->setChecked(!t.item->isChecked());
      TogglePanel(t.panel, t.item, t.front);
    });
    t.close->installEventFilter(this);
    t.close->setProperty("closes", QVariant::fromValue(static_cast<void*>(t.item)));
    drags_.push_back({t.panel, QPoint()});
    t.panel->installEventFilter(this);
  }
}

bool TMainForm::eventFilter(QObject* obj, QEvent* ev) {
  if (ev->type() == QEvent::MouseButtonPress) {
    const QVariant closes = obj->property("closes");
    if (closes.isValid()) {
      static_cast<QAction*>(closes.value<void*>())->trigger();
      return true;
    }
  }
  // A picture or chart standing on a panel drags the panel.
  QObject* target = obj;
  if (const QVariant p = obj->property("dragPanel"); p.isValid()) target = static_cast<QObject*>(p.value<void*>());
  for (DragState& d : drags_) {
    if (target != d.panel) continue;
    if (ev->type() == QEvent::MouseButtonPress) {
      d.origin = QCursor::pos();
      d.panel->raise();
    } else if (ev->type() == QEvent::MouseMove) {
      auto* me = static_cast<QMouseEvent*>(ev);
      const QPoint cur = QCursor::pos();
      const int dx = cur.x() - d.origin.x(), dy = cur.y() - d.origin.y();
      if ((me->buttons() & Qt::LeftButton) && d.panel->x() + dx > 0 && d.panel->y() + dy > 0) {
        d.origin = cur;
        d.panel->move(d.panel->x() + dx, d.panel->y() + dy);
        d.panel->update();
      }
    }
    break;
  }
  return QMainWindow::eventFilter(obj, ev);
}
