// The sequencer: one beat per finished buffer, the theme logic at the end of
// each compás, and the transport commands.
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextEdit>
#include <QTimer>

#include "app/window/mainform.h"
#include "platform/ui/widgets.h"
#include "platform/ui/string_grid.h"
#include "engine/normalize.h"
#include "engine/transport.h"
#include "links/device.h"
#include "engine/window/transport_steps.h"
#include "rhythm/window/editor_handlers.h"
#include "rhythm/editor_logic.h"
#include "rhythm/unify.h"
#include "platform/files/text.h"
#include "platform/audio/tick.h"

namespace {

// The transport buttons stay down like grouped speed buttons: one of each
// panel's group is down at a time.
void GroupDown(std::initializer_list<QPushButton*> buttons, QObject* owner) {
  auto* group = new QButtonGroup(owner);
  group->setExclusive(true);
  for (QPushButton* b : buttons) {
    b->setCheckable(true);
    group->addButton(b);
  }
}

QLabel* Lamp(QWidget* parent, const QString& name, const QString& text, QRect g) {
  QLabel* l = MakeLabel(parent, name.toLatin1().constData(), text, g);
  l->setAlignment(Qt::AlignCenter);
  return l;
}
}  // namespace

void TMainForm::BuildTransportControls() {
  for (int i = 0; i < 12; ++i) {
    BeatLabels[i] = Lamp(PanelMetronomo, QString("lb%1").arg(i + 1), QString::number(i + 1),
                         {8 + 28 * (i % 6), 200 + 22 * (i / 6), 26, 20});
    BeatLabels[i]->setFont(QFont("Arial", 11, QFont::Bold));
    SetLampColour(BeatLabels[i], "gray");
  }
  STT = Lamp(PanelMetronomo, "STT", QString(), {176, 196, 44, 40});
  STT->setFont(QFont("Arial", 22, QFont::Bold));
  STT->setVisible(false);
  Image1 = Lamp(PanelMetronomo, "Image1", QString(), {8, 244, 164, 16});
  Image2 = Lamp(PanelMetronomo, "Image2", QString(), {8, 244, 164, 16});
  Image1->setVisible(false);
  SpeedButton12 = new QPushButton("Stop", PanelMetronomo);
  SpeedButton12->setObjectName("SpeedButton12");
  SpeedButton12->setGeometry(164, 262, 52, 26);

  Label3 = Lamp(PanelTemas, "Label3", QString(), {482, 122, 300, 18});
  Label3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  TTiempo = Lamp(PanelTemas, "TTiempo", "00:00.0", {482, 142, 100, 20});
  TTiempo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  SetLampColour(TTiempo, "silver");
  BotonPlayComp = MakeButton(PanelTemas, "BotonPlayComp", QString::fromUtf8("\u25B6"), {482, 168, 36, 26}, "Oir tema");
  botonpausa = MakeButton(PanelTemas, "botonpausa", "||", {520, 168, 36, 26}, "Pausa");
  botonstoptema = MakeButton(PanelTemas, "botonstoptema", QString::fromUtf8("\u25A0"), {558, 168, 36, 26}, "Stop - F12");
  botonplay = MakeButton(PanelFormulas, "botonplay", QString::fromUtf8("\u25B6"), {8, 20, 30, 22}, "Oir tema");
  botonstop = MakeButton(PanelFormulas, "botonstop", QString::fromUtf8("\u25A0"), {40, 20, 30, 22}, "Stop - F12");
  GroupDown({BotonPlayComp, botonpausa, botonstoptema}, PanelTemas);
  GroupDown({botonplay, botonstop}, PanelFormulas);
  botonstoptema->setChecked(true);
  botonstop->setChecked(true);

  Action1 = new QAction("Action1", this);
  Action1->setObjectName("Action1");
  Action1->setShortcut(Qt::Key_F10);
  Action2 = new QAction("Action2", this);
  Action2->setObjectName("Action2");
  Action2->setShortcut(Qt::Key_F11);
  Action3 = new QAction("Action3", this);
  Action3->setObjectName("Action3");
  Action3->setShortcuts({QKeySequence(Qt::Key_F12), QKeySequence(Qt::Key_Escape)});
  for (QAction* a : {Action1, Action2, Action3}) {
    a->setShortcutContext(Qt::ApplicationShortcut);
    addAction(a);
  }
  UnificaPistas1 = new QAction("Unificar Pistas", SGTemas);
  UnificaPistas1->setObjectName("UnificaPistas1");
  SGTemas->addAction(UnificaPistas1);
  Normalizar1->setText("Normalizar todo");
  Normalizar1->setShortcut(QKeySequence("Ctrl+T"));
  SGTemas->addAction(Normalizar1);

  Timer4 = new QTimer(this);
  Timer4->setObjectName("Timer4");
  Timer4->setInterval(100);
}

void TMainForm::ConnectTransportControls() {
  Deck->AddListener([this](const BeatCue& cue) { OnPlayerBeat(cue); });
  // The device's lamp listens to the player after the window has painted:
  // the level is the link's (BeatLampLevel), the hook sends it.
  Deck->AddListener([this](const BeatCue& cue) {
    if (const auto level = BeatLampLevel(cue); level && BeatLampHook) BeatLampHook(*level);
  });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  connect(Timer4, &QTimer::timeout, this, [this] { Timer4Timer(); });
  connect(BotonPlayComp, &QPushButton::clicked, this, [this] { BotonPlayCompClick(); });
  connect(botonplay, &QPushButton::clicked, this, [this] { botonplayClick(); });
  connect(botonpausa, &QPushButton::clicked, this, [this] { botonpausaClick(); });
  connect(botonstop, &QPushButton::clicked, this, [this] { botonstopClick(); });
  connect(botonstoptema, &QPushButton::clicked, this, [this] { botonstopClick(); });
  connect(SpeedButton12, &QPushButton::clicked, this, [this] { botonstopClick(); });
  connect(Action1, &QAction::triggered, this, [this] { BotonPlayCompClick(); });
  connect(Action2, &QAction::triggered, this, [this] { botonplayClick(); });
  connect(Action3, &QAction::triggered, this, [this] { botonstopClick(); });
  connect(UnificaPistas1, &QAction::triggered, this, [this] { UnificaPistas1Click(); });
  connect(LasNotas, &QCheckBox::clicked, this, [this] { LasNotasClick(); });
}

void TMainForm::SelectEntryRow(int row, bool evenIfSelected) {
  const int before = Engine->EntryRow;
  if (!Deck->SelectEntry(row, evenIfSelected)) return;
  if (row != before || evenIfSelected) ShowEntryRow(row);
}

void TMainForm::ShowEntryRow(int row) {
  if (const auto rows = EntryRowsToShow(Deck->Plan(), ShownSequence(), row)) PaintRows(*rows);
}

SequenceView TMainForm::ShownSequence() const { return {FormulaEd.ShownTema, SGSaco->Row(), Deck->ThemePlays()}; }

void TMainForm::PaintRows(const RowsToShow& rows) { editor_steps::PaintRowsShown(*this, rows); }

void TMainForm::ClearPlayedEntries() { Deck->ClearPlayedEntries(); }

void TMainForm::ShowCompasCounter() {
  const EngineState& E = *Engine;
  Label3->setText(QString::fromStdString(
      CompasCounterText(E.CurrentCompas, E.CompasCount, E.ThemeParts, E.PartsCounter, true, English)));
}

void TMainForm::ShowBeat(const BeatCue& cue) {
  // The beat labels: the one of this beat lights, the others go grey.
  if (!LightBeatLabel(BeatLabels, cue)) return;
  STT->setText(cue.countByAccents ? L1(FormulaEd.AccentCountLabels[static_cast<size_t>(cue.label)])
                                  : BeatLabels[cue.label]->text());
  SetLampColour(STT, cue.accent ? "red" : "lime");
}

// The player's pump: one beat per finished buffer, woken by the buffer's
// return (OnBufferDone) and by a play start; nothing polls it. The window
// hears of the beat as one of the player's listeners (OnPlayerBeat).
void TMainForm::StartBeatStep() {}

void TMainForm::Timer1Timer() {
  if (!Playback->BeatDue()) return;
  if (PanelOnda->isVisible()) DrawWaveViews();  // the half that has just started
  Label8->setText(QString::fromLatin1(Engine->BpmText));
  SGDatosFormula->viewport()->update();
  Deck->Pump();
}

void TMainForm::OnPlayerBeat(const BeatCue& cue) {
  ShowBeat(cue);
  if (!FollowPlayerBeat(*this, cue)) return;
  if (OnBeatMixed) OnBeatMixed();
}

void TMainForm::BotonPlayCompClick() {
  if (Deck->IsPaused()) {
    botonpausaClick();
    return;
  }
  Deck->SelectTheme(SGTemas->Row() - 1);
  const int theme = Rhythm->CurrentTema;
  if (theme < 0 || theme >= kMaxTemas) return;
  const Tema& th = Rhythm->Temas[static_cast<size_t>(theme)];
  // Already playing, or nothing to play: the running playback is left alone.
  if (th.entryCount == 0 || editor_steps::ShownEntryCount(*this) == 0 || Deck->IsPlaying()) return;
  if (PanelMetronomo->isVisible()) Visor->setFocus();
  // The theme's sequence from its record, from the entry the user selected.
  PlayTheme(*this, theme, static_cast<float>(SliderBpm(TB1->value())), "lime", [this] {
    Image1->setVisible(true);
    Image2->setVisible(false);
    STT->setText(QString());
    STT->setVisible(true);
    CBSonidos->setVisible(false);
  });
  QMetaObject::invokeMethod(this, [this] { Timer1Timer(); }, Qt::QueuedConnection);
}

void TMainForm::botonplayClick() {
  if (Deck->IsPaused()) {
    botonpausaClick();
    return;
  }
  if (Deck->IsPlaying()) return;  // a formula or theme already plays
  const int f = SGFormulas->Row() - 1;
  if (f < 0 || f >= FormulaCount()) return;
  if (PanelMetronomo->isVisible()) Visor->setFocus();
  Log("Play " + Label1->text());
  PlayFormulaLoop(*this, f, static_cast<float>(SliderBpm(TB2->value())), "red");
  Image1->setVisible(true);
  Image2->setVisible(false);
  STT->setText(QString());
  STT->setVisible(true);
  QMetaObject::invokeMethod(this, [this] { Timer1Timer(); }, Qt::QueuedConnection);
}

void TMainForm::botonpausaClick() {
  const int found = PauseOrResume(*this);
  if (found == 2)
    BotonPlayComp->setChecked(true);  // resumed
  else if (found != 1)
    botonstoptema->setChecked(true);  // nothing plays
}

void TMainForm::Stop1Click() {
  const bool wasTheme = Deck->ThemePlays();
  Deck->Stop(true);
  ShowStopped(wasTheme);
}

// The transport has stopped (by a command or at the end of the last part):
// the window shows it, a theme's grid on the entry the sequence went back to.
void TMainForm::ShowStopped(bool wasTheme) {
  if (PanelMetronomo->isVisible()) Visor->setFocus();
  ClearWaveViews();
  Log("Stop");
  Image2->setVisible(true);
  Image1->setVisible(false);
  STT->setVisible(false);
  botonstop->setChecked(true);
  botonstoptema->setChecked(true);
  SetLampColour(TTiempo, "silver");
  if (wasTheme && SGSaco->Row() != Engine->EntryRow) ShowEntryRow(Engine->EntryRow);
  SGDatosFormula->viewport()->update();
  GuitarAfterStop();  // the guitar takes the beat where its view stands
  // The elapsed time stops with the next finished buffer (OnBufferDone);
  // without a device none will come.
  if (!Deck->OutputOpen()) Timer4->stop();
}

void TMainForm::botonstopClick() {
  Stop1Click();
  if (BeatLampHook) BeatLampHook(kLampOff);  // the stop buttons' lamp-off
}

void TMainForm::Timer4Timer() {
  if (Engine->PlayState == 2) return;  // a pause adds nothing
  TTiempo->setText(QString::fromStdString(ElapsedTimeText(Deck->Elapsed())));
}

void TMainForm::NormalizarTema(int t) {
  Work->NormaliseTheme(t);
  // Then the formula of the entry selected in the sequence grid, which shows
  // the selected theme (not necessarily t).
  Deck->TakeSelectedEntryFormula(SGTemas->Row() - 1, SGSaco->Row() - 1, kEntrySlots);
}

void TMainForm::Normalizar1Click() {
  Stop1Click();
  Log("Normalizando temas:");
  // Every core mixes; the log names each theme in order as it is done.
  const int count = TemaCount();
  Work->NormaliseThemes(
      count,
      [this](int i) {
        Log(SGTemas->Cells(1, i + 1));
        Visor->repaint();
        QCoreApplication::processEvents();
      },
      [] { QCoreApplication::processEvents(); });
  Deck->TakeSelectedTheme(SGTemas->Row() - 1, SGSaco->Row() - 1, kMaxTemas, kEntrySlots);
}

void TMainForm::UnificaPistas1Click() {
  const int t = SGTemas->Row() - 1;
  if (!UnifyThemeTracks(*Rhythm, t)) return;
  SGFormulasSelectCell(SGFormulas->Col(), SGFormulas->Row());
  SGTemasSelectCell(SGTemas->Col(), t + 1);
  Cambios();  // the theme's formulas were rewritten
}

void TMainForm::LasNotasClick() { SGDatosFormula->viewport()->update(); }
