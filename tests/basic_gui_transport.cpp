// The basic window's transport through the test wave output: a theme with
// its intro, entries and ending, the beat labels and the compás counter; a
// formula loop; pause and resume; the two stops; the tempo sliders, the
// click and the WAV export.
#include <QCoreApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>
#include <cstring>
#include <filesystem>
#include <functional>

#include "basic_gui_fixture.h"
#include "platform/audio/tick.h"
#include "platform/files/atomic_file.h"
#include "transport_test_theme.h"

namespace fs = std::filesystem;

namespace {

class BasicTransportTest : public BasicWindowTest {
 protected:
  struct Lamp {
    int label;        // the label the beat lit
    QString colour;   // its colour
    int lit;          // labels not grey
    int progress;     // ProgressBar1 at that beat
  };

  // Formulas 0 (A, 2 beats), 1 (B, 3 beats), 2 (C, 4 beats); theme 0 "Bulerias"
  // at 120 bpm built from {formula, times} entries.
  void Build(const TestEntries& entries, int parts = 0, bool inOrder = true, int intro = 0, int ending = 0) {
    Start();
    // The test makes Timer1's ticks itself (Tick): the real timer runs, as
    // the handlers look at it, but its ticks reach nothing.
    form->Timer1->blockSignals(true);
    RhythmTables& rt = *form->Rhythm;
    ASSERT_GE(form->FormulaCount(), 3);
    ASSERT_GE(form->TemaCount(), 1);
    SetTestFormulas(rt);
    for (int i = 0; i < 3; ++i) {
      rt.Formulas[static_cast<size_t>(i)].accents = 1;  // the first beat accented
      form->FillFormulaRow(i);
    }
    Tema& th = rt.Temas[0];
    th.SetName("Bulerias");
    SetTestTheme(th, entries, parts, inOrder, intro, ending);
    th.gain = 1.0f;
    form->FillTemaRow(0);
    form->SGTemas->Select(1, 1);
    form->SGTemasSelectCell(1, 1);
    form->OnBeatMixed = [this] {
      if (form->Engine->CurrentBeat != 0) return;
      played.push_back({CompasKind(*form->Engine, *form->Rhythm), form->Label3->text()});
    };
    form->BeatLampHook = [this](const BeatCue& cue) {
      int lit = 0;
      for (QLabel* l : form->BeatLabels)
        if (l->property("lampColour").toString() != "gray") ++lit;
      lamps.push_back({cue.label, form->BeatLabels[static_cast<size_t>(cue.label)]->property("lampColour").toString(),
                       lit, form->ProgressBar1->value()});
    };
    form->LampOffHook = [this] { ++lampOffs; };
  }

  // Timer1's ticks until the next buffer: one beat each while one is due
  // (the timer ticks every millisecond, far more often than buffers end).
  void Tick() {
    QCoreApplication::processEvents();
    for (int t = 0; t < 8 && form->Playback->BeatDue(); ++t) form->Timer1Timer();
  }
  // One buffer played by the device, and the tick.
  void Step() {
    wave->CompleteNext();
    Tick();
  }
  // Until n compases have started or playback stopped.
  void Run(size_t n) {
    for (int guard = 0; guard < 2000 && played.size() < n && form->Engine->PlayState != 0; ++guard) Step();
  }
  std::vector<int> Formulas() const {
    std::vector<int> v;
    for (const auto& c : played) v.push_back(c.formula);
    return v;
  }
  QStringList Counters() const {
    QStringList v;
    for (const auto& c : played) v << c.counter;
    return v;
  }
  QString Colour(QLabel* l) const { return l->property("lampColour").toString(); }

  std::vector<Compas> played;
  std::vector<Lamp> lamps;
  int lampOffs = 0;
};

QString Counter(int compas, int of, int part = 0, int parts = 0) {
  QString s = QString::fromUtf8("Compás ") + QString("%1/%2").arg(compas, 3).arg(of, 3);
  if (parts) s += QString(" - %1").arg(part) + QString::fromUtf8("ª / ") + QString::number(parts);
  return s;
}

}  // namespace

// Intro 3, A twice, B once, ending 4, two parts: the intro is counted 0, the
// ending one past the last compás, and the theme stops by itself after the
// second pass, its last beat left to play and the lamp left as it is.
TEST_F(BasicTransportTest, ThemePlaysIntroEntriesAndEndingThenStops) {
  Build({{0, 2}, {1, 1}}, 2, true, 3, 4);
  form->BotonPlayCompClick();
  ASSERT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(Colour(form->TTiempo), "yellow");
  EXPECT_TRUE(LogHas("Play " + form->Label2->text()));
  Run(20);
  EXPECT_EQ(form->Engine->PlayState, 0);
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_EQ(Formulas(), (std::vector<int>{-1, 0, 0, 1, -2, 0, 0, 1}));
  EXPECT_EQ(Counters(), (QStringList{Counter(0, 3, 1, 2), Counter(1, 3, 1, 2), Counter(2, 3, 1, 2),
                                     Counter(3, 3, 1, 2), Counter(4, 3, 2, 2), Counter(1, 3, 2, 2),
                                     Counter(2, 3, 2, 2), Counter(3, 3, 2, 2)}));

  // One lamp per beat: 3 intro beats, 7 of a pass, 4 of the ending, 7 more,
  // the last of them lit in the step that stopped.
  ASSERT_EQ(lamps.size(), 21u);
  const std::vector<int> labels = {0, 1, 2, 0, 1, 0, 1, 0, 1, 2, 0, 1, 2, 3, 0, 1, 0, 1, 0, 1, 2};
  const std::vector<int> progress = {33, 66, 100, 50, 100, 50, 100, 33, 66, 100, 25, 50, 75, 100,
                                     50, 100, 50, 100, 33, 66, 100};
  for (size_t i = 0; i < lamps.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lamps[i].label, labels[i]);
    EXPECT_EQ(lamps[i].lit, 1);
    EXPECT_EQ(lamps[i].colour, labels[i] == 0 ? "red" : "lime");  // each formula accents its first beat
    EXPECT_EQ(lamps[i].progress, progress[i]);
  }
  EXPECT_EQ(lampOffs, 0);

  EXPECT_TRUE(LogHas("Stop"));
  EXPECT_EQ(Colour(form->TTiempo), "silver");
  EXPECT_EQ(form->SGSaco->Row(), 1);
  EXPECT_FALSE(form->Engine->ThemePlayback);
  // The last beat plays on; the elapsed time runs until it has.
  EXPECT_EQ(wave->QueuedCount(), 1u);
  EXPECT_TRUE(form->Timer4->isActive());
  wave->CompleteNext();
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->Timer4->isActive());
  EXPECT_EQ(lamps.size(), 21u);  // and no beat after the stop
}

// Following the player moves only the view: at each compás of an entry the
// sequence grid shows the entry in play and the formula grid its formula,
// while the user's formula to add and the formula grid's next click stay as
// the user left them.
TEST_F(BasicTransportTest, TheGridsFollowThePlayerWithoutTheClickHandlers) {
  Build({{0, 2}, {1, 1}});
  form->Pages.FormulaToAdd = 2;
  form->Pages.SkipFormulaClick = false;  // the user's last click on the formula grid was taken
  int entryCompases = 0;
  const std::function<void()> counting = form->OnBeatMixed;
  form->OnBeatMixed = [&] {
    counting();
    if (form->Engine->CurrentBeat != 0 || played.empty() || played.back().formula < 0) return;
    ++entryCompases;
    EXPECT_EQ(form->SGSaco->Row(), form->Engine->EntryRow);
    EXPECT_EQ(form->SGFormulas->Row(), played.back().formula + 1);
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8("Fórmula %1").arg(played.back().formula + 1));
  };
  form->BotonPlayCompClick();
  Run(6);
  EXPECT_GE(entryCompases, 4);
  EXPECT_EQ(form->Pages.FormulaToAdd, 2);
  EXPECT_FALSE(form->Pages.SkipFormulaClick);
  form->botonstopClick();  // the stop goes back to the first entry as a click there does
}

// The basic theme start: from a later row the intro plays all the same and
// the tempo is the one the row shows; the entry plays its repetitions.
TEST_F(BasicTransportTest, AStartFromALaterRowPlaysTheIntroAtTheRowsTempo) {
  Build({{0, 2}, {2, 2}, {1, 1}}, 1, true, 2, 0);
  form->Rhythm->Temas[0].accel[0] = 5;  // A adds 5 bpm a compás: row 2 shows 130
  form->SGTemasSelectCell(1, 1);
  ASSERT_EQ(form->SGSaco->Cells(1, 2), "130");
  form->SGSaco->Select(3, 2);
  form->SGSacoSelectCell(3, 2);
  form->BotonPlayCompClick();
  EXPECT_FLOAT_EQ(form->Engine->CurrentBpm, 130.0f);  // the intro beat does not accelerate
  EXPECT_EQ(form->Label8->text(), "130.00 bpm");
  Run(6);
  EXPECT_EQ(Formulas(), (std::vector<int>{-1, 2, 2, 1}));
  EXPECT_EQ(Counters(), (QStringList{Counter(2, 5, 1, 1), Counter(3, 5, 1, 1), Counter(4, 5, 1, 1),
                                     Counter(5, 5, 1, 1)}));
  EXPECT_EQ(form->Engine->PlayState, 0);
}

// The formula loop: no "Play " line, the elapsed time lime, the compás
// counter at 1, the labels from the formula's first beat and the progress
// of the beat; the stop button puts the lamp off.
TEST_F(BasicTransportTest, AFormulaLoopsUntilTheStopButton) {
  Build({{0, 1}});
  form->Rhythm->Formulas[1].SetHeader(3, 11);  // B from beat 12
  form->Rhythm->Formulas[1].accents = 2;       // its second beat accented
  form->SGFormulas->Select(1, 2);
  form->SGFormulasSelectCell(1, 2);
  const int lines = static_cast<int>(VisorLines().size());
  form->Work->Engine->CurrentCompas = 7;
  form->botonplayClick();
  ASSERT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(Colour(form->TTiempo), "lime");
  EXPECT_EQ(VisorLines().size(), lines);
  EXPECT_EQ(form->Engine->CurrentCompas, 1);
  Tick();  // the step that follows a start at once
  for (int i = 0; i < 6; ++i) Step();
  ASSERT_EQ(lamps.size(), 7u);
  const std::vector<int> labels = {11, 0, 1, 11, 0, 1, 11};
  const std::vector<int> progress = {33, 66, 100, 33, 66, 100, 33};
  for (size_t i = 0; i < lamps.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lamps[i].label, labels[i]);
    EXPECT_EQ(lamps[i].colour, labels[i] == 0 ? "red" : "lime");
    EXPECT_EQ(lamps[i].progress, progress[i]);
    EXPECT_EQ(lamps[i].lit, 1);
  }
  EXPECT_EQ(form->Engine->PlayState, 1);
  form->botonstopClick();
  EXPECT_EQ(lampOffs, 1);
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_EQ(wave->QueuedCount(), 0u);
  for (int i = 0; i < 3; ++i) Step();
  EXPECT_EQ(lamps.size(), 7u);
}

// The menu's stop (F12) stops as the buttons do but leaves the lamp alone.
TEST_F(BasicTransportTest, TheMenusStopSendsNoLampOff) {
  Build({{0, 2}, {1, 1}});
  form->BotonPlayCompClick();
  Run(2);
  ASSERT_EQ(form->SGSaco->Row(), 1);
  Run(3);
  ASSERT_EQ(form->SGSaco->Row(), 2);
  form->Stop1->trigger();
  EXPECT_EQ(lampOffs, 0);
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_EQ(form->Engine->PlayState, 0);
  EXPECT_EQ(wave->QueuedCount(), 0u);
  EXPECT_EQ(form->SGSaco->Row(), 1);
  EXPECT_EQ(form->Engine->CurrentCompas, 1);
  EXPECT_TRUE(LogHas("Stop"));
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->Timer4->isActive());

  form->BotonPlayCompClick();
  Step();
  form->botonstoptema->click();
  EXPECT_EQ(lampOffs, 1);
}

// Pause holds the device and the elapsed time, either play button resumes,
// and a stop while paused resets the device and releases both halves.
TEST_F(BasicTransportTest, PauseAndResume) {
  ScopedFakeTickCount clock(1000);
  Build({{0, 2}, {1, 1}});
  form->BotonPlayCompClick();
  Step();
  AdvanceFakeTickCount(83400);
  form->Timer4Timer();
  EXPECT_EQ(form->TTiempo->text(), "01:23.4");
  form->botonpausaClick();
  EXPECT_EQ(form->Engine->PlayState, 2);
  EXPECT_TRUE(wave->Paused());
  const size_t before = lamps.size();
  for (int i = 0; i < 3; ++i) Step();
  EXPECT_EQ(lamps.size(), before);  // no buffer finishes in a pause
  AdvanceFakeTickCount(60000);
  form->Timer4Timer();
  EXPECT_EQ(form->TTiempo->text(), "01:23.4");

  form->botonplayClick();  // resumes the theme
  EXPECT_EQ(form->Engine->PlayState, 1);
  EXPECT_TRUE(form->Engine->ThemePlayback);
  EXPECT_FALSE(wave->Paused());
  AdvanceFakeTickCount(1000);
  form->Timer4Timer();
  EXPECT_EQ(form->TTiempo->text(), "01:24.4");
  Step();
  EXPECT_EQ(lamps.size(), before + 1);

  form->botonpausaClick();
  form->botonpausaClick();  // and the pause button itself
  EXPECT_EQ(form->Engine->PlayState, 1);
  ExpectAStopWhilePausedResets(*form, *wave);
}

// The wave picture shows the beat that has just started, its left channel
// red once the gain has had to fall, and takes that mark away.
TEST_F(BasicTransportTest, TheWavePictureAtEachBeat) {
  Build({{0, 2}});
  form->BotonPlayCompClick();
  form->oscilata->setPixmap(QPixmap());
  form->Work->Engine->ClipCount = 0;
  Tick();
  ASSERT_FALSE(form->oscilata->pixmap().isNull());
  EXPECT_EQ(form->oscilata->pixmap().size(), form->oscilata->size());
  EXPECT_EQ(form->oscilata->property("waveColour").toString(), "lime");
  form->Work->Engine->ClipCount = 3;
  form->DrawOscilata();
  EXPECT_EQ(form->oscilata->property("waveColour").toString(), "red");
  EXPECT_EQ(form->Engine->ClipCount, 0);
  form->botonstopClick();
}

// The formula tempo: bpm, beat length and the formula's length in tenths;
// the theme tempo writes the theme's tempo column and rebuilds the sequence
// from it, the compás counter at the end of the list.
TEST_F(BasicTransportTest, TempoSliders) {
  Build({{0, 2}, {1, 1}});
  form->Rhythm->Formulas[2].SetHeader(12, 0);
  form->SGFormulas->Select(1, 3);
  form->SGFormulasSelectCell(1, 3);
  form->TB2->setValue(300);
  form->TB2->setValue(330);  // 90 bpm
  EXPECT_EQ(form->Edit1->text(), "90");
  EXPECT_EQ(form->Engine->MsPerBeat, 666);
  EXPECT_EQ(form->Engine->SamplesPerBeat, 14685);  // trunc(666 x 22.05)
  EXPECT_EQ(form->Label22->text(), "8.0'");        // 12 x 600 / 90 = 80 tenths
  form->Edit1->setText("45 bpm");
  EXPECT_EQ(form->TB2->value(), 375);
  EXPECT_EQ(form->Label22->text(), "16.0'");
  form->Edit1->setText("500");
  EXPECT_EQ(form->TB2->value(), 375);
  // 11 beats at 55 bpm: 6600 / 55 = 120 tenths exactly (not 11 x 10.909...).
  form->Rhythm->Formulas[2].SetHeader(11, 0);
  form->TB2->setValue(420 - 55);
  EXPECT_EQ(form->Label22->text(), "12.0'");

  form->ClearModified();
  form->TB1->setValue(420 - 100);
  EXPECT_EQ(form->Rhythm->Temas[0].tempos[0], 100);
  EXPECT_EQ(form->SGTemas->Cells(2, 1), "100");
  EXPECT_EQ(form->SGSaco->Cells(1, 1), "100");
  EXPECT_EQ(form->TB2->value(), 320);
  EXPECT_EQ(form->Label8->text(), "100.00 bpm");
  EXPECT_EQ(form->Engine->CurrentCompas, 4);  // the row after the last entry
  EXPECT_TRUE(form->Modified());
}

// The click presets with 2-bit levels, the first sound chosen when the click
// has none, and the Nivel slider.
TEST_F(BasicTransportTest, ClickPresetsAndLevel) {
  Start();
  ASSERT_GT(form->CBMetro->count(), 3);
  form->CBMetro->setCurrentIndex(0);  // "Silencio"
  form->SpeedButton7->click();
  const MixerControls& c = form->Engine->Controls;
  EXPECT_EQ(c.ClickAccentPattern, 23);
  EXPECT_EQ(c.ClickPlainPattern, 21);
  EXPECT_EQ(c.ClickStrokes, 3);
  EXPECT_EQ(c.ClickPatternCode, '3');
  EXPECT_EQ(form->CBMetro->currentIndex(), 1);
  EXPECT_EQ(c.ClickSound, 1);
  form->CBMetro->setCurrentIndex(3);
  form->SpeedButton10->click();
  EXPECT_EQ(c.ClickAccentPattern, 3);
  EXPECT_EQ(c.ClickPlainPattern, 0);
  EXPECT_EQ(c.ClickPatternCode, 'P');
  EXPECT_EQ(c.ClickSound, 3);  // a chosen sound stays
  form->SpeedButton3->click();
  EXPECT_EQ(c.ClickStrokes, 0);
  EXPECT_EQ(c.ClickPatternCode, '0');
  EXPECT_EQ(form->Engine->ClickSpacing, 0);
  form->Nivel->setValue(13);
  EXPECT_EQ(c.Nivel, 13);
  form->Nivel->setValue(0);
  EXPECT_EQ(c.Nivel, 0);
}

// The export: the default name from the theme grid's name and tempo and the
// click code, the name used as typed, a 22050 Hz stereo file holding the
// intro, both passes and the ending between them.
TEST_F(BasicTransportTest, ExportWritesA22050HzStereoWav) {
  Build({{0, 2}, {1, 1}}, 2, true, 3, 4);
  form->SpeedButton10->click();  // "Pie"
  const QString path = QDir::currentPath() + "/Bulerias exportado";
  dlg->saveNames.push_back(path);
  form->SpeedButton6Click();
  ASSERT_EQ(dlg->fileRequests.size(), 1u);
  EXPECT_EQ(dlg->fileRequests[0].defaultName, "Bulerias-120mP.wav");
  EXPECT_EQ(dlg->fileRequests[0].initialDir, QDir::currentPath() + "/datos/wavs");
  EXPECT_EQ(dlg->fileRequests[0].filter, "WAV|*.wav");
  EXPECT_FALSE(fs::exists(path.toStdString() + ".wav"));
  std::vector<uint8_t> b;
  ASSERT_TRUE(ReadFileBytes(path.toStdString(), 1 << 24, &b));
  auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
  };
  auto u16 = [&](size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); };
  ASSERT_GE(b.size(), 44u);
  EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
  EXPECT_EQ(std::memcmp(b.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(u32(16), 16u);
  EXPECT_EQ(u16(20), 1u);
  EXPECT_EQ(u16(22), 2u);
  EXPECT_EQ(u32(24), 22050u);
  EXPECT_EQ(u32(28), 88200u);
  EXPECT_EQ(u16(32), 4u);
  EXPECT_EQ(u16(34), 16u);
  EXPECT_EQ(std::memcmp(b.data() + 36, "data", 4), 0);
  // 3 intro beats, A A B (7 beats), 4 ending beats, A A B: 21 beats of 11024 frames.
  const uint32_t data = 21u * 11024u * 4u;
  EXPECT_EQ(u32(40), data);
  EXPECT_EQ(u32(4), 36u + data);
  EXPECT_EQ(b.size(), 44u + data);
  EXPECT_TRUE(LogHas("Archivo : " + path + " guardado"));
  EXPECT_FALSE(form->Engine->ThemePlayback);
  EXPECT_FALSE(form->Engine->SilentMix);
  EXPECT_EQ(form->SGSaco->Row(), 1);

  // Cancelled: nothing written; a first entry without repetitions: no dialog.
  form->SpeedButton6Click();
  EXPECT_EQ(dlg->fileRequests.size(), 2u);
  form->Rhythm->Temas[0].times[0] = 0;
  form->SGTemasSelectCell(1, 1);
  form->SpeedButton6Click();
  EXPECT_EQ(dlg->fileRequests.size(), 2u);
}

// A file that cannot be written is said, and nothing is left behind.
TEST_F(BasicTransportTest, AnExportThatCannotBeWrittenIsReported) {
  Build({{0, 1}});
  const QString path = QDir::currentPath() + "/no/such/folder/tema.wav";
  dlg->saveNames.push_back(path);
  form->SpeedButton6Click();
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_TRUE(dlg->messages[0].contains("tema.wav"));
  EXPECT_FALSE(LogHas("guardado"));
  EXPECT_FALSE(fs::exists(path.toStdString()));
}

// "Normalizar todo": every theme of the grid gets the highest gain at which
// its mix fits 16 bits, never below 1.0; the log gets no line of it, and the
// selected theme's gain becomes the master gain. A theme start does the same
// for the theme it plays.
TEST_F(BasicTransportTest, NormaliseAllThemesWithoutALogLine) {
  Build({{0, 2}, {1, 1}});
  RhythmTables& rt = *form->Rhythm;
  // A and B sound loud: every track with a stroke of level 3 on every beat.
  for (int f = 0; f < 2; ++f) {
    Formula& F = rt.Formulas[static_cast<size_t>(f)];
    for (int b = 0; b < F.Beats(); ++b)
      for (int t = 0; t < 8; ++t) {
        F.cells[b][t] = 7;
        F.SetStrokeCount(b, t, 1);
        F.sounds[t] = static_cast<uint8_t>(1 + t % 3);
      }
  }
  rt.Temas[0].gain = 1.0f;
  const int themes = form->TemaCount();
  ASSERT_LT(themes, kMaxTemas);
  const float beyond = rt.Temas[static_cast<size_t>(themes)].gain;
  const int lines = static_cast<int>(VisorLines().size());
  form->Normalizar1Click();
  const float g = rt.Temas[0].gain;
  EXPECT_GE(g, 1.0f);
  EXPECT_LT(g, 10.0f);
  EXPECT_FLOAT_EQ(form->Engine->MasterGain, g);
  EXPECT_FLOAT_EQ(rt.Temas[static_cast<size_t>(themes)].gain, beyond);
  EXPECT_EQ(VisorLines().size(), lines + 1);  // the stop's own line
  EXPECT_EQ(VisorLines().back(), "Stop");

  rt.Temas[0].gain = 1.0f;
  form->BotonPlayCompClick();
  EXPECT_FLOAT_EQ(rt.Temas[0].gain, g);
  form->botonstopClick();
}

// The window's own lamp hooks on a device that takes the lamp over the
// serial port: a command for every beat (accented or plain), none from the
// menu's stop, the lamp-off from the stop button.
TEST_F(BasicTransportTest, TheDeviceLampFollowsTheBeatsAndTheStopButton) {
  Start();
  form->Timer5->stop();  // no lamp-off by the countdown meanwhile
  auto* port = dynamic_cast<serial::TestSerialPort*>(form->Device->Serial.get());
  ASSERT_NE(port, nullptr);
  form->Device->SerialPortName = "/dev/ttyACM0";
  ASSERT_TRUE(OpenDeviceSerialPort(*form->Device));
  form->Device->DeviceIdentityText[6] = '2';
  RhythmTables& rt = *form->Rhythm;
  rt.Formulas[0].SetHeader(3, 0);
  rt.Formulas[0].accents = 1;
  form->FillFormulaRow(0);
  form->SGFormulas->Select(1, 1);
  form->SGFormulasSelectCell(1, 1);
  port->Writes.clear();
  form->botonplayClick();
  Tick();
  for (int i = 0; i < 3; ++i) Step();
  using Bytes = std::vector<uint8_t>;
  const Bytes accented = {0x01, 0x6B, 0x20}, plain = {0x01, 0x6B, 0x10}, off = {0x01, 0x6B, 0x00};
  EXPECT_EQ(port->Writes, (std::vector<Bytes>{accented, plain, plain, accented}));
  port->Writes.clear();
  form->Stop1->trigger();
  EXPECT_TRUE(port->Writes.empty());
  form->botonplayClick();
  Tick();
  form->botonstoptema->click();
  EXPECT_EQ(port->Writes, (std::vector<Bytes>{accented, off}));
}

// The elapsed time: shown at each update while playing, kept as it stood
// once playback has stopped and its last buffer has come back, and left
// alone by a stop with nothing playing (the save and other commands stop
// first).
TEST_F(BasicTransportTest, TheElapsedTimeStandsAfterAStop) {
  ScopedFakeTickCount clock(5000);
  Build({{0, 2}});
  form->BotonPlayCompClick();
  Tick();
  AdvanceFakeTickCount(2500);
  form->botonstopClick();
  QCoreApplication::processEvents();  // the buffers handed back by the stop
  EXPECT_EQ(form->TTiempo->text(), "00:02.5");
  EXPECT_FALSE(form->Timer4->isActive());
  AdvanceFakeTickCount(60000);
  form->Stop1Click();
  EXPECT_EQ(form->TTiempo->text(), "00:02.5");
}
