#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <functional>
#include <vector>

#include "gui_fixture.h"
#include "platform/audio/tick.h"
#include "transport_test_theme.h"

namespace {

class TransportTest : public WindowTest {
 protected:
  // Formulas 0 (A, 2 beats), 1 (B, 3 beats) and 2 (C, 4 beats); theme 0
  // built from entries.
  void Build(const TestEntries& entries, int parts = 0, bool inOrder = true, int intro = 0, int ending = 0) {
    Start();
    RhythmTables& rt = *form->Rhythm;
    SetTestFormulas(rt);
    for (int i = 0; i < 3; ++i) form->FillFormulaRow(i);
    SetTestTheme(rt.Temas[0], entries, parts, inOrder, intro, ending);
    form->SGTemas->Select(1, 1);
    form->SGTemasSelectCell(1, 1);
    form->OnBeatMixed = [this] {
      if (form->Engine->CurrentBeat != 0) {
        if (!beatsIn.empty()) ++beatsIn.back();
        return;
      }
      played.push_back({CompasKind(*form->Engine, *form->Rhythm), form->Label3->text()});
      beatsIn.push_back(1);
      bpms.push_back(form->Engine->CurrentBpm);
    };
    form->BeatLampHook = [this](uint8_t code) { lamps.push_back(code); };
  }

  // Lets the device finish buffers until n compases have started or playback stopped.
  void Run(size_t n) {
    for (int guard = 0; guard < 2000 && played.size() < n && form->Engine->PlayState != 0; ++guard) {
      wave->CompleteNext();
      QCoreApplication::processEvents();
    }
  }
  std::vector<int> Formulas() const {
    std::vector<int> v;
    for (const auto& c : played) v.push_back(c.formula);
    return v;
  }

  std::vector<Compas> played;
  std::vector<int> beatsIn;   // beats mixed in each compás of `played`
  std::vector<float> bpms;    // the tempo of each compás's first beat
  std::vector<uint8_t> lamps;
};
}  // namespace

TEST_F(TransportTest, InOrderRepeatsEntriesWithTheCounter) {
  Build({{0, 2}, {1, 1}});
  form->BotonPlayCompClick();
  EXPECT_TRUE(LogHas("Play "));
  Run(7);
  EXPECT_EQ(Formulas(), (std::vector<int>{0, 0, 1, 0, 0, 1, 0}));
  EXPECT_EQ(played[0].counter, QString::fromUtf8("Compás   1/  3"));
  EXPECT_EQ(played[1].counter, QString::fromUtf8("Compás   2/  3"));
  EXPECT_EQ(played[2].counter, QString::fromUtf8("Compás   3/  3"));
  EXPECT_EQ(played[3].counter, QString::fromUtf8("Compás   1/  3"));
  form->botonstopClick();
  EXPECT_EQ(LastLog(), "Stop");
  ASSERT_FALSE(lamps.empty());
  EXPECT_EQ(lamps.back(), 0x00);  // the stop buttons switch the lamp off
}

// Following the player moves only the view: at each compás the sequence
// grid shows the entry in play and the formula grid and the editor its
// formula, while the user's formula to add and the formula grid's next
// click stay as the user left them.
TEST_F(TransportTest, TheGridsFollowThePlayerWithoutTheClickHandlers) {
  Build({{0, 2}, {1, 1}});
  form->FormulaEd.FormulaToAdd = 2;
  form->Guards.SkipFormulaClick = false;  // the user's last click on the formula grid was taken
  struct Shown {
    int entryRow, formulaRow;
    QString caption;
    bool operator==(const Shown&) const = default;
  };
  std::vector<Shown> shown;
  const std::function<void()> counting = form->OnBeatMixed;
  form->OnBeatMixed = [&] {
    counting();
    if (form->Engine->CurrentBeat == 0)
      shown.push_back({form->SGSaco->Row(), form->SGFormulas->Row(), form->Label1->text()});
  };
  form->BotonPlayCompClick();
  Run(5);
  form->botonstopClick();
  const QString f1 = QString::fromUtf8("Fórmula 1"), f2 = QString::fromUtf8("Fórmula 2");
  EXPECT_EQ(shown, (std::vector<Shown>{{1, 1, f1}, {1, 1, f1}, {2, 2, f2}, {1, 1, f1}, {1, 1, f1}}));
  EXPECT_EQ(form->FormulaEd.FormulaToAdd, 2);
  EXPECT_FALSE(form->Guards.SkipFormulaClick);
  EXPECT_EQ(form->SGSaco->Row(), 1);  // the stop shows the entry the sequence went back to
}

TEST_F(TransportTest, EndingBetweenPartsAndStopAfterTheLast) {
  Build({{0, 2}, {1, 1}}, /*parts=*/2, true, 0, /*ending=*/4);
  form->BotonPlayCompClick();
  Run(20);
  EXPECT_EQ(Formulas(), (std::vector<int>{0, 0, 1, -2, 0, 0, 1}));
  EXPECT_EQ(form->Engine->PlayState, 0);
  EXPECT_TRUE(played[0].counter.endsWith(QString::fromUtf8(" - 1ª / 2"))) << played[0].counter.toStdString();
  EXPECT_TRUE(played[4].counter.endsWith(QString::fromUtf8(" - 2ª / 2"))) << played[4].counter.toStdString();
  EXPECT_TRUE(played[3].counter.startsWith(QString::fromUtf8("Compás   1/")));
  // The sequencer's own stop leaves the lamp alone.
  EXPECT_EQ(std::count(lamps.begin(), lamps.end(), 0x00), 0);
  EXPECT_EQ(LastLog(), "Stop");
}

TEST_F(TransportTest, OnePartStopsAfterOnePass) {
  Build({{0, 2}, {1, 1}}, /*parts=*/1);
  form->BotonPlayCompClick();
  Run(20);
  EXPECT_EQ(Formulas(), (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(form->Engine->PlayState, 0);
  // No beat follows the stop, whatever the device still hands back.
  const size_t n = played.size();
  wave->CompleteAll();
  QCoreApplication::processEvents();
  EXPECT_EQ(played.size(), n);
}

TEST_F(TransportTest, IntroThenFirstEntryCountedOne) {
  Build({{0, 2}, {1, 1}}, 0, true, /*intro=*/4);
  form->BotonPlayCompClick();
  Run(4);
  EXPECT_EQ(Formulas(), (std::vector<int>{-1, 0, 0, 1}));
  EXPECT_EQ(played[1].counter, QString::fromUtf8("Compás   1/  3"));
}

TEST_F(TransportTest, StartFromTheSecondRow) {
  Build({{0, 2}, {1, 1}});
  form->SGSaco->Select(2, 2);
  form->SGSacoSelectCell(2, 2);
  form->BotonPlayCompClick();
  Run(4);
  EXPECT_EQ(Formulas(), (std::vector<int>{1, 0, 0, 1}));
}

TEST_F(TransportTest, OneEntryThemeRepeatsInEveryPass) {
  Build({{2, 3}});
  form->BotonPlayCompClick();
  Run(7);
  EXPECT_EQ(Formulas(), (std::vector<int>{2, 2, 2, 2, 2, 2, 2}));
  EXPECT_EQ(played[3].counter, QString::fromUtf8("Compás   1/  3"));
}

TEST_F(TransportTest, RandomOrderPlaysEachEntryItsTimesPerPass) {
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    played.clear();
    Build({{0, 1}, {1, 1}, {2, 1}}, 0, /*inOrder=*/false);
    form->Work->Playback->Random.seed(seed);
    form->BotonPlayCompClick();
    Run(9);
    ASSERT_EQ(played.size(), 9u);
    EXPECT_NE(played[0].formula, 2) << seed;  // the last entry is never the first pick
    for (int pass = 0; pass < 3; ++pass) {
      std::vector<int> f = {played[3 * pass].formula, played[3 * pass + 1].formula, played[3 * pass + 2].formula};
      std::sort(f.begin(), f.end());
      EXPECT_EQ(f, (std::vector<int>{0, 1, 2})) << "seed " << seed << " pass " << pass;
    }
    form->botonstopClick();
    form.reset();
  }
}

TEST_F(TransportTest, BeatLabelsOfAFormulaStartingOnTwelve) {
  Start();
  form->Rhythm->Formulas[0].SetHeader(12, 11);
  form->FillFormulaRow(0);
  form->SGFormulas->Select(1, 1);
  form->SGFormulasSelectCell(1, 1);
  std::vector<QString> lit;
  form->OnBeatMixed = [&] {
    if (!form->STT->text().isEmpty()) lit.push_back(form->STT->text());
  };
  form->botonplayClick();
  for (int i = 0; i < 4; ++i) {
    wave->CompleteNext();
    QCoreApplication::processEvents();
  }
  ASSERT_GE(lit.size(), 3u);
  EXPECT_EQ(lit[0], "12");
  EXPECT_EQ(lit[1], "1");
  EXPECT_EQ(lit[2], "2");
  // Play again while playing does nothing.
  const auto before = wave->CallNames().size();
  form->botonplayClick();
  form->BotonPlayCompClick();
  EXPECT_EQ(wave->CallNames().size(), before);
  form->botonstopClick();
}

TEST_F(TransportTest, PauseAddsNoElapsedTimeAndStopWhilePausedResets) {
  ScopedFakeTickCount clock(1000);
  Build({{0, 2}, {1, 1}});
  form->BotonPlayCompClick();
  AdvanceFakeTickCount(83400);
  form->Timer4Timer();
  EXPECT_EQ(form->TTiempo->text(), "01:23.4");
  form->botonpausaClick();
  EXPECT_EQ(form->Engine->PlayState, 2);
  AdvanceFakeTickCount(60000);
  form->Timer4Timer();
  EXPECT_EQ(form->TTiempo->text(), "01:23.4");
  form->botonpausaClick();  // resume
  AdvanceFakeTickCount(1000);
  form->Timer4Timer();
  EXPECT_EQ(form->TTiempo->text(), "01:24.4");
  ExpectAStopWhilePausedResets(*form, *wave);
}

TEST_F(TransportTest, LampCountdownIsHalfABeat) {
  Build({{0, 2}, {1, 1}});
  form->Timer5->stop();  // the countdown as the beat set it
  form->BotonPlayCompClick();
  Run(2);
  EXPECT_EQ(form->Engine->LampCountdown, 25);
  form->botonstopClick();
}

TEST_F(TransportTest, PartsZeroPlaysTheEndingBetweenEndlessPasses) {
  Build({{0, 2}, {1, 1}}, /*parts=*/0, true, 0, /*ending=*/4);
  form->BotonPlayCompClick();
  Run(10);
  EXPECT_EQ(Formulas(), (std::vector<int>{0, 0, 1, -2, 0, 0, 1, -2, 0, 0}));
  // A 2 beats, B 3, the ending compás its 4 beats.
  EXPECT_EQ(std::vector<int>(beatsIn.begin(), beatsIn.begin() + 9), (std::vector<int>{2, 2, 3, 4, 2, 2, 3, 4, 2}));
  EXPECT_EQ(played[3].counter, QString::fromUtf8("Compás   1/  3"));
  EXPECT_EQ(played[4].counter, QString::fromUtf8("Compás   1/  3"));
  for (const Compas& c : played) EXPECT_FALSE(c.counter.contains(" - ")) << c.counter.toStdString();
  EXPECT_EQ(form->Engine->PlayState, 1);
  form->botonstopClick();
}

TEST_F(TransportTest, PlayFromTheGuitarsBar) {
  struct Case {
    int selectedRow;  // the entry selected before the guitar asks
    int bar;          // the guitar's bar
    std::vector<int> formulas;
    const char* firstCounter;
    bool flagAfter;
  };
  const Case cases[] = {
      {1, 2, {0, 1, 0, 0, 1}, "Compás   2/  3", false},  // inside A: A once more, then B
      {2, 2, {0, 1, 0, 0, 1}, "Compás   2/  3", false},  // the same from B's row
      {1, 3, {1, 0, 0, 1}, "Compás   3/  3", false},
      {2, 9, {1, 0, 0, 1}, "Compás   3/  3", true},  // no entry holds it: the selected row
  };
  for (const Case& c : cases) {
    played.clear();
    Build({{0, 2}, {1, 1}});
    form->SGSaco->Select(2, c.selectedRow);
    form->SGSacoSelectCell(2, c.selectedRow);
    form->Work->Engine->CurrentCompas = c.bar;
    form->Work->Engine->PlayFromBar = true;
    form->BotonPlayCompClick();
    EXPECT_EQ(form->Engine->PlayFromBar, c.flagAfter) << c.selectedRow << "/" << c.bar;
    Run(c.formulas.size());
    EXPECT_EQ(Formulas(), c.formulas) << c.selectedRow << "/" << c.bar;
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played[0].counter, QString::fromUtf8(c.firstCounter)) << c.selectedRow << "/" << c.bar;
    form->botonstopClick();
    form.reset();
  }
}

TEST_F(TransportTest, BeatLabelsByTimeAndByAccents) {
  struct Case {
    int beats, start;        // start: first beat - 1
    uint16_t accents;        // bit 15: count by accents
    std::vector<int> lit;    // label index lit by beats 1..4
    std::vector<QString> big;  // what STT shows
  };
  const Case cases[] = {
      {12, 11, 0x0005, {11, 0, 1, 2}, {"12", "1", "2", "3"}},
      {4, 2, 0x0005, {2, 3, 4, 5}, {"3", "4", "5", "6"}},
      // Counting by accents beat n lights label n whatever the first beat;
      // the big label counts from the last accent.
      {4, 2, 0x8005, {0, 1, 2, 3}, {"1", "1", "2", "2"}},
  };
  for (const Case& c : cases) {
    Start();
    Formula& f = form->Rhythm->Formulas[0];
    f.SetHeader(c.beats, c.start);
    f.accents = c.accents;
    form->FillFormulaRow(0);
    form->SGFormulas->Select(1, 1);
    form->SGFormulasSelectCell(1, 1);
    ASSERT_EQ(form->RBAcento->isChecked(), (c.accents & 0x8000) != 0);
    std::vector<int> lit;
    std::vector<QString> big;
    std::vector<uint8_t> codes;
    form->BeatLampHook = [&](uint8_t code) { codes.push_back(code); };
    form->OnBeatMixed = [&] {
      int on = -1;
      for (int i = 0; i < 12; ++i)
        if (form->BeatLabels[i]->property("lampColour").toString() != "gray") on = i;
      lit.push_back(on);
      big.push_back(form->STT->text());
    };
    form->botonplayClick();
    for (int i = 0; i < 4; ++i) {
      wave->CompleteNext();
      QCoreApplication::processEvents();
    }
    ASSERT_GE(lit.size(), 5u);
    // The first entry is the beat mixed at the start, before any beat played.
    EXPECT_EQ(std::vector<int>(lit.begin() + 1, lit.begin() + 5), c.lit) << c.accents;
    EXPECT_EQ(std::vector<QString>(big.begin() + 1, big.begin() + 5), c.big) << c.accents;
    // Accented beats 1 and 3: the red label and the accented lamp command.
    ASSERT_GE(codes.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(codes.begin(), codes.begin() + 4), (std::vector<uint8_t>{0x20, 0x10, 0x20, 0x10}));
    form->botonstopClick();
    form.reset();
  }
}

TEST_F(TransportTest, TheSequencersOwnStopLetsTheLastBeatPlay) {
  Build({{0, 2}, {1, 1}}, /*parts=*/1);
  form->BotonPlayCompClick();
  wave->ClearCalls();
  Run(20);
  ASSERT_EQ(form->Engine->PlayState, 0);
  EXPECT_EQ(LastLog(), "Stop");
  const auto names = wave->CallNames();
  const auto lastWrite = std::find(names.rbegin(), names.rend(), "Write");
  ASSERT_NE(lastWrite, names.rend());
  // Nothing after the last beat was queued: no reset, no release.
  EXPECT_EQ(std::find(names.rbegin(), lastWrite, "Reset"), lastWrite);
  EXPECT_EQ(std::find(names.rbegin(), lastWrite, "Unprepare"), lastWrite);
  EXPECT_EQ(wave->QueuedCount(), 1u);
  EXPECT_TRUE(form->Playback->Halves()[0].Prepared() || form->Playback->Halves()[1].Prepared());
  EXPECT_EQ(std::count(lamps.begin(), lamps.end(), 0x00), 0);
  // The elapsed time runs until the last beat has been played.
  EXPECT_TRUE(form->Timer4->isActive());
  wave->CompleteAll();
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->Timer4->isActive());
  EXPECT_TRUE(form->botonstoptema->isChecked());
}

TEST_F(TransportTest, ElapsedTimeText) {
  struct Case {
    uint32_t start, played;
    const char* text;
  };
  const Case cases[] = {
      {1000, 0, "00:00.0"},       {1000, 99, "00:00.0"},        {1000, 83400, "01:23.4"},
      {5, 59999, "00:59.9"},      {5, 600000, "10:00.0"},       {0xFFFFF000u, 83400, "01:23.4"},  // across the wrap
  };
  ScopedFakeTickCount clock(0);
  Build({{0, 2}, {1, 1}});
  for (const Case& c : cases) {
    SetFakeTickCount(c.start);
    form->BotonPlayCompClick();
    EXPECT_EQ(form->TTiempo->property("lampColour").toString(), "lime");
    AdvanceFakeTickCount(c.played);
    form->Timer4Timer();
    EXPECT_EQ(form->TTiempo->text(), c.text) << c.start << "+" << c.played;
    form->botonstopClick();
    EXPECT_EQ(form->TTiempo->property("lampColour").toString(), "silver");
  }
  form->botonplayClick();
  EXPECT_EQ(form->TTiempo->property("lampColour").toString(), "red");
  form->botonstopClick();
}

TEST_F(TransportTest, TransportButtonsStayDown) {
  Build({{0, 2}, {1, 1}});
  EXPECT_TRUE(form->botonstoptema->isChecked());
  EXPECT_TRUE(form->botonstop->isChecked());
  form->BotonPlayComp->click();
  EXPECT_EQ(form->Engine->PlayState, 1);
  EXPECT_TRUE(form->BotonPlayComp->isChecked());
  form->botonpausa->click();
  EXPECT_EQ(form->Engine->PlayState, 2);
  EXPECT_TRUE(form->botonpausa->isChecked());
  form->botonpausa->click();  // resumes
  EXPECT_EQ(form->Engine->PlayState, 1);
  EXPECT_TRUE(form->BotonPlayComp->isChecked());
  form->botonstoptema->click();
  EXPECT_EQ(form->Engine->PlayState, 0);
  EXPECT_TRUE(form->botonstoptema->isChecked());
  EXPECT_TRUE(form->botonstop->isChecked());
  form->botonpausa->click();  // nothing to pause
  EXPECT_EQ(form->Engine->PlayState, 0);
  EXPECT_TRUE(form->botonstoptema->isChecked());
}

TEST_F(TransportTest, ARepeatedRandomPickKeepsItsTempoRunning) {
  Build({{0, 3}}, 0, /*inOrder=*/false);
  form->Rhythm->Temas[0].accel[0] = 10;  // +10 bpm per compás of A (2 beats)
  form->SGTemasSelectCell(1, 1);
  form->Work->Playback->Random.seed(7);
  form->BotonPlayCompClick();
  Run(6);
  EXPECT_EQ(Formulas(), (std::vector<int>{0, 0, 0, 0, 0, 0}));
  // Each pass starts again from the theme tempo.
  EXPECT_EQ(bpms, (std::vector<float>{125, 135, 145, 125, 135, 145}));
  form->botonstopClick();
}

TEST_F(TransportTest, StopButtonsReleaseTheDeviceAndNoBeatFollows) {
  Build({{0, 2}, {1, 1}});
  form->BotonPlayCompClick();
  Run(3);
  form->botonstopClick();
  EXPECT_EQ(form->Playback->FinishedBuffers(), 0);
  EXPECT_FALSE(form->Playback->Halves()[0].Prepared());
  EXPECT_FALSE(form->Playback->Halves()[1].Prepared());
  const size_t n = played.size();
  const size_t nLamps = lamps.size();
  wave->CompleteAll();
  QCoreApplication::processEvents();
  EXPECT_EQ(played.size(), n);
  EXPECT_EQ(lamps.size(), nLamps);
  EXPECT_EQ(lamps.back(), 0x00);
}

TEST_F(TransportTest, NormaliseAllLogsEveryThemeAndReloadsTheSelectedGain) {
  Build({{0, 2}, {1, 1}});
  // Theme 0 mixes nothing that could clip: no sounds and no click.
  for (int f : {0, 1})
    for (int k = 0; k < 16; ++k) form->Rhythm->Formulas[f].sounds[k] = 0;
  form->Work->Engine->Controls.ClickStrokes = 0;
  form->BotonPlayCompClick();
  form->Rhythm->Temas[0].gain = 3.25f;
  form->Normalizar1Click();
  EXPECT_EQ(form->Engine->PlayState, 0);
  const QStringList lines = form->Visor->toPlainText().split('\n');
  const qsizetype at = lines.lastIndexOf("Normalizando temas:");
  ASSERT_GE(at, 1);
  EXPECT_EQ(lines[at - 1], "Stop");
  QStringList names;
  for (int r = 1; r < form->SGTemas->RowCount(); ++r) names << form->SGTemas->Cells(1, r);
  ASSERT_FALSE(names.isEmpty());
  EXPECT_EQ(lines.mid(at + 1), names);
  EXPECT_FLOAT_EQ(form->Engine->MasterGain, form->Rhythm->Temas[0].gain);
  EXPECT_FLOAT_EQ(form->Rhythm->Temas[0].gain, 3.25f);
  EXPECT_EQ(form->Rhythm->CurrentFormula, 0);  // the selected entry's formula
  EXPECT_EQ(form->Rhythm->CurrentTema, 0);
  EXPECT_EQ(form->Engine->CurrentBeat, 0);
}

TEST_F(TransportTest, UnifyTracksRefreshesTheEditorsAndMarksTheSetModified) {
  Build({{0, 2}, {1, 1}});
  RhythmTables& rt = *form->Rhythm;
  for (int k = 0; k < 16; ++k) {
    rt.Formulas[0].sounds[k] = 0;
    rt.Formulas[1].sounds[k] = 0;
  }
  rt.Formulas[0].sounds[0] = 2;
  rt.Formulas[1].sounds[0] = 1;
  Tema& th = rt.Temas[0];
  th.pan[0] = 4;
  th.volume[0] = 12;
  form->SGTemasSelectCell(1, 1);
  form->ClearModified();
  form->UnificaPistas1Click();
  EXPECT_TRUE(form->Modified());
  // Sound 1 on track 0 and sound 2 on track 1 in both formulas.
  for (int f : {0, 1}) {
    EXPECT_EQ(rt.Formulas[f].sounds[0], 1);
    EXPECT_EQ(rt.Formulas[f].sounds[1], 2);
  }
  EXPECT_EQ(th.pan[0], 4);
  EXPECT_EQ(th.pan[1], 4);
  EXPECT_EQ(form->TBPan[1]->value(), 4);
  EXPECT_EQ(form->TBVol[1]->value(), 12);
  EXPECT_EQ(form->TBPan[2]->value(), 0);
}

// Selecting a theme starts finding its gain in the background: by the time
// play is pressed the start mixes nothing, and takes the gain a run finds.
TEST_F(WindowTest, SelectingAThemeFindsItsGainBeforePlay) {
  Start();
  ASSERT_GE(form->SGTemas->RowCount(), 4);
  form->SGTemas->Select(1, 3);
  form->SGTemasSelectCell(1, 3);
  form->Work->WaitForWarming();
  EXPECT_TRUE(form->Work->Remembers(2));
  RhythmTables fresh = *form->Rhythm;
  const GainResult want = NormalizeThemeFrom(*form->Engine, fresh, *form->Bank, 2);
  form->NormalizarTema(2);
  EXPECT_EQ(form->Engine->MasterGain, want.masterGain);
  EXPECT_EQ(form->Rhythm->Temas[2].gain, fresh.Temas[2].gain);
}
