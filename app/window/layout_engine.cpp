// The sound list, mixer and transport controls and their bindings.
#include <QAction>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QValueAxis>

#include "app/window/mainform.h"
#include "platform/ui/widgets.h"
#include "engine/window/sample_chart.h"
#include "platform/files/text.h"

void TMainForm::BuildEngineControls() {
  // Sounds panel: count, the lists, preview, length of the clicked sound,
  // sample chart.
  SoundsLayout sounds;
  sounds.count = {8, 22, 128, 16};
  sounds.list = {8, 40, 128, 190};
  sounds.library = {144, 40, 128, 190};
  sounds.preview = {144, 234, 28, 22};
  sounds.length = {180, 236, 90, 18};
  sounds.samples = {8, 260, 264, 104};
  sounds.legend = {8, 368, 264, 16};
  sounds.framedLibrary = true;
  SoundsPane.Build(PanelSonidos, this, sounds);

  // Metronome panel: formula tempo (vertical, 400 bpm at the top), click
  // presets and level, master volume.
  TB2->setOrientation(Qt::Vertical);
  TB2->setInvertedAppearance(true);
  TB2->setGeometry(180, 24, 30, 168);  // ends above the large beat number
  Edit1->setGeometry(8, 24, 48, 22);
  Label8->setGeometry(60, 24, 110, 22);
  CBMetro->setGeometry(8, 60, 166, 22);
  const struct {
    const char* name;
    const char* text;
  } presets[] = {{"SpeedButton3", "0"}, {"SpeedButton4", "1"}, {"SpeedButton5", "2"}, {"SpeedButton7", "3"},
                 {"SpeedButton2", "4"}, {"SpeedButton8", "5"}, {"SpeedButton9", "6"}, {"SpeedButton10", "Pie"}};
  auto* group = new QButtonGroup(this);
  group->setExclusive(true);
  for (int i = 0; i < 8; ++i) {
    auto* b = MakeButton(PanelMetronomo, presets[i].name, presets[i].text, {8 + 21 * (i % 4), 86 + 24 * (i / 4), 20, 22});
    if (i == 7) b->setGeometry(8 + 21 * 3, 110, 40, 22);
    b->setCheckable(true);
    group->addButton(b);
    ClickPresetButtons[i] = b;
  }
  ClickPresetButtons[0]->setChecked(true);
  Nivel = new QSlider(Qt::Horizontal, PanelMetronomo);
  Nivel->setObjectName("Nivel");
  Nivel->setRange(0, 16);
  Nivel->setValue(8);
  Nivel->setGeometry(48, 136, 126, 20);
  tbvolumen = new QSlider(Qt::Horizontal, PanelMetronomo);
  tbvolumen->setObjectName("tbvolumen");
  tbvolumen->setRange(0, 65535);
  tbvolumen->setValue(0);
  tbvolumen->setGeometry(8, 160, 120, 20);
  EdVol = new QLineEdit(PanelMetronomo);
  EdVol->setObjectName("EdVol");
  EdVol->setGeometry(132, 160, 40, 20);
  IVolOn = MakeLabel(PanelMetronomo, "IVolOn", QString(), {8, 184, 0, 8});
  IVolOn->setStyleSheet("QLabel { background-color: rgb(0, 255, 0); }");

  // Themes panel: stereo or mono output.
  Estereo = new QRadioButton(QString::fromUtf8("Estéreo"), PanelTemas);
  Estereo->setObjectName("Estereo");
  Estereo->setGeometry(600, 22, 80, 20);
  Estereo->setChecked(true);
  Mono = new QRadioButton("Mono", PanelTemas);
  Mono->setObjectName("Mono");
  Mono->setGeometry(600, 42, 80, 20);
  auto* stereoGroup = new QButtonGroup(this);
  stereoGroup->addButton(Estereo);
  stereoGroup->addButton(Mono);

  // Captions beside the controls (the language switch words them).
  MakeLabel(PanelMetronomo, "Label13", "Sonidos", {8, 46, 120, 14});
  MakeLabel(PanelMetronomo, "Label6", "Nivel", {8, 136, 40, 20});
  MakeLabel(PanelMetronomo, "Label32", "Guardar", {108, 262, 50, 13});
  MakeLabel(PanelMetronomo, "Label33", "todo", {108, 275, 50, 13});
  MakeLabel(PanelSonidos, "Label16", "Banco de sonidos", {144, 22, 128, 16});

  TB1->setOrientation(Qt::Vertical);
  TB1->setInvertedAppearance(true);
  TB1->setGeometry(790, 22, 30, 200);
  BuildTransportControls();
  BuildExportControls();
}

void TMainForm::ConnectEngineControls() {
  connect(CBMetro, &QComboBox::currentIndexChanged, this, [this](int i) { Deck->SetClickSound(i); });

  connect(TB2, &QSlider::valueChanged, this, [this] { TB2Change(); });
  connect(TB1, &QSlider::valueChanged, this, [this] { TB1Change(); });
  connect(Edit1, &QLineEdit::textEdited, this, [this] { Edit1Change(); });
  const char codes[] = {'0', '1', '2', '3', '4', '5', '6', 'P'};
  for (int i = 0; i < 8; ++i) {
    const char code = codes[i];
    connect(ClickPresetButtons[i], &QPushButton::clicked, this, [this, code] { ClickPresetClick(code); });
  }
  connect(Nivel, &QSlider::valueChanged, this, [this] { NivelChange(); });
  connect(tbvolumen, &QSlider::valueChanged, this, [this] { tbvolumenChange(); });
  connect(EdVol, &QLineEdit::returnPressed, this, [this] { EdVolKeyPress(); });
  connect(EdVol, &QLineEdit::textEdited, this, [this] { EdVolChange(); });
  for (int t = 0; t < 16; ++t) {
    connect(TBPan[t], &QSlider::valueChanged, this, [this, t](int v) {
      Deck->SetPan(t, v);
      TBPan1Change();
    });
    connect(TBVol[t], &QSlider::valueChanged, this, [this] { TBVol1Change(); });
  }
  for (int i = 0; i < 17; ++i) {
    connect(SoloButtons[i], &QPushButton::clicked, this, [this, i] {
      // Solo1..Solo16 latch as one group: pressing one raises the others.
      if (i < 16 && SoloButtons[i]->isChecked())
        for (int k = 0; k < 16; ++k)
          if (k != i) SoloButtons[k]->setChecked(false);
      Solo1Click();
    });
    connect(MuteButtons[i], &QPushButton::clicked, this, [this] { Mute1Click(); });
  }
  auto* watcher = new EventHook(this, [this](QObject*, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress) CheckBox2MouseDown();
    return false;
  });
  for (QCheckBox* box : AccentBoxes) box->installEventFilter(watcher);
  connect(Mono, &QRadioButton::toggled, this, [this](bool on) { Deck->SetMono(on); });

  ConnectTransportControls();
  // The start values: the tempo label and quantities of the slider's position.
  TB2Change();
  tbvolumenChange();
}
