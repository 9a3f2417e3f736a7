// Binds the controls of the basic window's pages to their handlers: the
// grids' selections, typed values and owner drawing, the buttons, the
// sliders, the popup menus, the timers and the player's beats.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include "platform/ui/string_grid.h"
#include "basic/window/basic_form.h"
#include "links/device.h"

namespace bornace {

namespace {
void OnClick(QPushButton* b, QObject* owner, std::function<void()> f) {
  if (b) QObject::connect(b, &QPushButton::clicked, owner, [f] { f(); });
}
void OnTrigger(QAction* a, QObject* owner, std::function<void()> f) {
  if (a) QObject::connect(a, &QAction::triggered, owner, [f] { f(); });
}
}  // namespace

void TMainForm::ConnectPages() {
  // Formula and pattern grids.
  ConnectEditors();  // owner drawing of the four grids, cell editors, the formula grid's keys and exit
  SGFormulas->onSelectCell = [this](int c, int r) { SGFormulasSelectCell(c, r); };
  SGFormulas->onSetEditText = [this](int c, int r, const QString& v) { SGFormulasSetEditText(c, r, v); };
  connect(SGFormulas, &QTableWidget::cellClicked, this, [this](int, int) { SGFormulasClick(); });
  SGDatosFormula->onSelectCell = [this](int c, int r) { SGDatosFormulaSelectCell(c, r); };
  SGDatosFormula->onSetEditText = [this](int c, int r, const QString& v) { SGDatosFormulaSetEditText(c, r, v); };
  connect(CBSonidos, &QComboBox::activated, this, [this](int i) { CBSonidosChange(i); });
  for (QCheckBox* box : AccentBoxes)
    if (box) connect(box, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
  connect(RBTiempo, &QRadioButton::clicked, this, [this] { RBTiempoClick(); });
  connect(RBAcento, &QRadioButton::clicked, this, [this] { RBAcentoClick(); });

  // Theme editor.
  SGTemas->onSelectCell = [this](int c, int r) { SGTemasSelectCell(c, r); };
  SGTemas->onSetEditText = [this](int c, int r, const QString& v) { SGTemasSetEditText(c, r, v); };
  SGSaco->onSelectCell = [this](int c, int r) { SGSacoSelectCell(c, r); };
  SGSaco->onSetEditText = [this](int c, int r, const QString& v) { SGSacoSetEditText(c, r, v); };
  OnClick(BotonPoneAntes, this, [this] { BotonPoneAntesClick(); });
  OnClick(BotonPoneDespues, this, [this] { BotonPoneDespuesClick(); });
  OnClick(BotonQuita, this, [this] { BotonQuitaClick(); });
  connect(Partes, &QLineEdit::textChanged, this, [this] { PartesChange(); });
  connect(Intro, &QLineEdit::textChanged, this, [this] { IntroChange(); });
  connect(Fin, &QLineEdit::textChanged, this, [this] { FinChange(); });
  connect(RadioButton1, &QRadioButton::clicked, this, [this] { RadioButton1Click(); });
  connect(RadioButton2, &QRadioButton::clicked, this, [this] { RadioButton1Click(); });

  // Library commands.
  OnTrigger(Nuevafrmula1, this, [this] { Nuevafrmula1Click(); });
  OnTrigger(Copiarfrmula1, this, [this] { Copiarfrmula1Click(); });
  OnTrigger(Pegarfrmula1, this, [this] { Pegarfrmula1Click(); });
  OnTrigger(Limpiarfrmula1, this, [this] { Limpiarfrmula1Click(); });
  OnTrigger(Borrarfrmula1, this, [this] { Borrarfrmula1Click(); });
  OnTrigger(Ordenarpornombre2, this, [this] { OrdenarClick(); });
  OnTrigger(Copiarpista1, this, [this] { Copiarpista1Click(); });
  OnTrigger(Pegarpista1, this, [this] { Pegarpista1Click(); });
  OnTrigger(Limpiarpista1, this, [this] { Limpiarpista1Click(); });
  OnTrigger(Copiartiempo1, this, [this] { Copiartiempo1Click(); });
  OnTrigger(Pegartiempo1, this, [this] { Pegartiempo1Click(); });
  OnTrigger(Limpiartiempo1, this, [this] { Limpiartiempo1Click(); });
  OnTrigger(Moveralaizquierda1, this, [this] { Moveralaizquierda1Click(); });
  OnTrigger(Moveraladerecha1, this, [this] { Moveraladerecha1Click(); });
  OnTrigger(Nuevotema1, this, [this] { Nuevotema1Click(); });
  OnTrigger(Copiartema1, this, [this] { Copiartema1Click(); });
  OnTrigger(Pegartema1, this, [this] { Pegartema1Click(); });
  OnTrigger(Limpiartema1, this, [this] { Limpiartema1Click(); });
  OnTrigger(Borrartema1, this, [this] { Borrartema1Click(); });
  OnTrigger(Ordenarpornombre1, this, [this] { Ordenarpornombre1Click(); });
  OnTrigger(Normalizar1, this, [this] { Normalizar1Click(); });
  if (Edit3) connect(Edit3, &QLineEdit::textChanged, this, [this] { Edit3Change(); });
  if (LabeledEdit1) connect(LabeledEdit1, &QLineEdit::textChanged, this, [this] { LabeledEdit1Change(); });
  OnClick(menostema, this, [this] { menostemaClick(); });
  OnClick(mastema, this, [this] { mastemaClick(); });

  // Transport, tempo and click.
  Deck->AddListener([this](const BeatCue& cue) { OnPlayerBeat(cue); });
  // The device's lamp listens to the player after the window has painted
  // (BeatLamp of the link, through the hook).
  Deck->AddListener([this](const BeatCue& cue) {
    if (BeatLampLevel(cue) && BeatLampHook) BeatLampHook(cue);
  });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  connect(Timer4, &QTimer::timeout, this, [this] { Timer4Timer(); });
  OnClick(BotonPlayComp, this, [this] { BotonPlayCompClick(); });
  OnClick(botonplay, this, [this] { botonplayClick(); });
  OnClick(botonpausa, this, [this] { botonpausaClick(); });
  OnClick(botonstop, this, [this] { botonstopClick(); });
  OnClick(botonstoptema, this, [this] { botonstopClick(); });
  OnTrigger(Action1, this, [this] { BotonPlayCompClick(); });
  OnTrigger(Action3, this, [this] { botonstopClick(); });
  connect(TB1, &QSlider::valueChanged, this, [this] { TB1Change(); });
  connect(TB2, &QSlider::valueChanged, this, [this] { TB2Change(); });
  connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
  const std::pair<QPushButton*, char> presets[] = {{SpeedButton3, '0'}, {SpeedButton4, '1'}, {SpeedButton5, '2'},
                                                   {SpeedButton7, '3'}, {SpeedButton2, '4'}, {SpeedButton8, '5'},
                                                   {SpeedButton9, '6'}, {SpeedButton10, 'P'}};
  for (const auto& [button, code] : presets) {
    const char c = code;
    OnClick(button, this, [this, c] { ClickPresetClick(c); });
  }
  connect(CBMetro, &QComboBox::currentIndexChanged, this, [this](int i) { CBMetroChange(i); });
  connect(Nivel, &QSlider::valueChanged, this, [this] { NivelChange(); });
  OnClick(SpeedButton6, this, [this] { SpeedButton6Click(); });


  // Data set.
  OnTrigger(Abrir2, this, [this] { Abrir2Click(); });
  OnClick(botonrec, this, [this] { botonrecClick(); });
  OnTrigger(Guardar1, this, [this] { Guardar1Click(); });
  OnTrigger(Guardarcomo1, this, [this] { Guardarcomo1Click(); });
  OnTrigger(Nuevo1, this, [this] { Nuevo1Click(); });
  OnTrigger(Original1, this, [this] { Original1Click(); });
  OnTrigger(Deshacertodo1, this, [this] { Deshacertodo1Click(); });
  OnTrigger(ImportarTEMA1, this, [this] { ImportarTEMA1Click(); });

  BuildTransferControls();
}

}  // namespace bornace
