#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include "gui_fixture.h"
#include "platform/tick.h"

namespace {
struct Compas {
  int formula;     // the formula whose first beat was mixed; -1 intro, -2 ending
  QString counter;  // the compás counter as it stood
};

class TransportTest : public WindowTest {
 protected:
  // Formulas 0 (A, 2 beats) and 1 (B, 3 beats); theme 0 built from entries.
  void Build(const std::vector<std::pair<int, int>>& entries, int parts = 0, bool inOrder = true, int intro = 0,
             int ending = 0) {
    Start();
    RhythmTables& rt = *form->Rhythm;
    rt.Formulas[0].SetHeader(2, 0);
    rt.Formulas[1].SetHeader(3, 0);
    rt.Formulas[2].SetHeader(4, 0);
    for (int i = 0; i < 3; ++i) form->FillFormulaRow(i);
    Tema& th = rt.Temas[0];
    th.entryCount = static_cast<uint16_t>(entries.size());
    for (size_t e = 0; e < entries.size(); ++e) {
      th.formulas[e] = static_cast<uint16_t>(entries[e].first);
      th.times[e] = static_cast<uint8_t>(entries[e].second);
      th.accel[e] = 0;
      th.tempos[e] = e == 0 ? 120 : 0;
    }
    th.partsOrder = static_cast<uint8_t>((inOrder ? 0x80 : 0) | parts);
    th.introEnding = static_cast<uint8_t>(intro * 16 + ending);
    form->SGTemas->Select(1, 1);
    form->SGTemasSelectCell(1, 1);
    form->OnBeatMixed = [this] {
      if (form->Engine->CurrentBeat != 0) return;
      int f = form->Rhythm->CurrentFormula;
      if (form->Engine->IntroCounter != 0) f = -1;
      if (form->Engine->EndingCounter != 0) f = -2;
      played.push_back({f, form->Label3->text()});
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
    form->Random.seed(seed);
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
  form->botonpausaClick();
  wave->ClearCalls();
  form->botonstopClick();
  const auto names = wave->CallNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "Reset"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "Unprepare"), names.end());
  EXPECT_EQ(form->Engine->PlayState, 0);
  EXPECT_EQ(wave->QueuedCount(), 0u);
}

TEST_F(TransportTest, LampCountdownIsHalfABeat) {
  Build({{0, 2}, {1, 1}});
  form->BotonPlayCompClick();
  Run(2);
  EXPECT_EQ(form->Engine->LampCountdown, 25);
  form->botonstopClick();
}
