#include <QChartView>
#include <QCoreApplication>
#include <QLineSeries>
#include <QDir>
#include <QFrame>
#include <QPushButton>
#include <cstring>

#include "gui_fixture.h"
#include "platform/files/atomic_file.h"

namespace {
class ExportTest : public WindowTest {
 protected:
  // Theme 0: A (formula 0, 2 beats, 2 repetitions, accel 10), B (formula 1, 3 beats, 1).
  void Build(int parts, int intro, int ending) {
    Start();
    RhythmTables& rt = *form->Rhythm;
    rt.Formulas[0].SetHeader(2, 0);
    rt.Formulas[1].SetHeader(3, 0);
    for (int i = 0; i < 2; ++i) form->FillFormulaRow(i);
    Tema& th = rt.Temas[0];
    th.SetName("Bulerias");
    th.entryCount = 2;
    th.formulas[0] = 0;
    th.times[0] = 2;
    th.accel[0] = 10;
    th.tempos[0] = 120;
    th.formulas[1] = 1;
    th.times[1] = 1;
    th.accel[1] = 0;
    th.tempos[1] = 0;
    th.partsOrder = static_cast<uint8_t>(0x80 | parts);
    th.introEnding = static_cast<uint8_t>(intro * 16 + ending);
    form->SGTemas->SetCells(1, 1, "Bulerias");
    form->SGTemas->Select(1, 1);
    form->SGTemasSelectCell(1, 1);
  }
  // First frame of a beat that sounds, or -1.
  static int Onset(const int16_t* frames, size_t n) {
    for (size_t i = 0; i < n; ++i)
      if (frames[2 * i] != 0 || frames[2 * i + 1] != 0) return static_cast<int>(i);
    return -1;
  }
};
}  // namespace

TEST_F(ExportTest, DefaultNameFolderAndLogLine) {
  Build(1, 0, 0);
  form->ClickPresetButtons[7]->click();  // "Pie"
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/wavs/mio")};
  form->SpeedButton6Click();
  ASSERT_EQ(dlg->fileRequests.size(), 1u);
  EXPECT_EQ(dlg->fileRequests[0].defaultName, "Bulerias-120mP.wav");
  EXPECT_EQ(dlg->fileRequests[0].initialDir, QDir::currentPath() + "/datos/wavs");
  EXPECT_EQ(dlg->fileRequests[0].filter, "WAV|*.wav");
  const std::string path = dir.path() + "/datos/wavs/mio.wav";
  ASSERT_TRUE(FileExists(path));
  EXPECT_EQ(LastLog(), QString::fromStdString("Archivo : " + path + " guardado"));
  const auto bytes = ScratchFolder::Read(path);
  ASSERT_GE(bytes.size(), 44u);
  uint32_t data, riff, rate, byteRate;
  std::memcpy(&riff, &bytes[4], 4);
  std::memcpy(&rate, &bytes[24], 4);
  std::memcpy(&byteRate, &bytes[28], 4);
  std::memcpy(&data, &bytes[40], 4);
  EXPECT_EQ(data, bytes.size() - 44);
  EXPECT_EQ(riff, data + 36);
  EXPECT_EQ(rate, 44100u);
  EXPECT_EQ(byteRate, 176400u);

  // A name in capitals keeps its extension; the folder change points at datos/wavs.
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/wavs/OTRO.WAV")};
  form->English = true;
  form->SpeedButton6Click();
  EXPECT_TRUE(FileExists(dir.path() + "/datos/wavs/OTRO.WAV"));
  EXPECT_EQ(LastLog(), QString::fromStdString("File : " + dir.path() + "/datos/wavs/OTRO.WAV saved"));
  dlg->fileRequests.back().onFolderChange("/tmp");
  EXPECT_EQ(form->WavInitialDir, "datos/wavs");
  // The next export starts in the working folder's datos/wavs again.
  form->SpeedButton6Click();
  ASSERT_EQ(dlg->fileRequests.size(), 3u);
  EXPECT_EQ(dlg->fileRequests[2].initialDir, QDir::currentPath() + "/datos/wavs");
  EXPECT_EQ(dlg->fileRequests[2].defaultName, "Bulerias-120mP.wav");
}

TEST_F(ExportTest, NoRepetitionsNoDialog) {
  Build(1, 0, 0);
  form->Rhythm->Temas[0].times[0] = 0;
  form->SGTemasSelectCell(1, 1);
  form->SpeedButton6Click();
  EXPECT_TRUE(dlg->fileRequests.empty());
}

TEST_F(ExportTest, UnwritableFolderReportsAndLeavesNothing) {
  Build(1, 0, 0);
  dlg->saveNames = {QString::fromStdString(dir.path() + "/no/such/x.wav")};
  form->SpeedButton6Click();
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_TRUE(dlg->messages[0].startsWith("No se puede guardar el archivo:"));
  EXPECT_FALSE(LogHas("guardado"));
  EXPECT_FALSE(FileExists(dir.path() + "/no/such/x.wav"));
}

TEST_F(ExportTest, ExportPlaysWhatTheSequencerPlays) {
  Build(/*parts=*/1, /*intro=*/2, 0);
  // One in-order pass through the sequencer, beat by beat.
  std::vector<std::vector<int16_t>> played;
  form->OnBeatMixed = [&] {
    const int16_t* half = form->Engine->OutputHalfData(form->Engine->OutputHalf ^ 1);
    played.emplace_back(half, half + 2 * form->Engine->SamplesPerBeat);
  };
  form->BotonPlayCompClick();
  for (int guard = 0; guard < 200 && form->Engine->PlayState != 0; ++guard) {
    wave->CompleteNext();
    QCoreApplication::processEvents();
  }
  ASSERT_EQ(form->Engine->PlayState, 0);
  ASSERT_EQ(played.size(), 2u + 2 * 2 + 3);  // intro, A, A, B
  form->OnBeatMixed = nullptr;

  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/wavs/pass.wav")};
  form->SpeedButton6Click();
  const auto bytes = ScratchFolder::Read(dir.path() + "/datos/wavs/pass.wav");
  size_t total = 0;
  for (const auto& b : played) total += b.size() * 2;
  ASSERT_EQ(bytes.size(), 44 + total);
  size_t at = 44;
  for (size_t i = 0; i < played.size(); ++i) {
    const auto* frames = reinterpret_cast<const int16_t*>(&bytes[at]);
    const size_t n = played[i].size() / 2;
    EXPECT_EQ(Onset(frames, n), Onset(played[i].data(), n)) << "beat " << i;
    at += played[i].size() * 2;
  }
}

TEST_F(ExportTest, WaveViewsFollowTheBeatAndGoFlatAtStop) {
  Build(0, 0, 0);
  form->Rhythm->Temas[0].accel[0] = 0;  // every beat at 120 bpm
  form->SGTemasSelectCell(1, 1);
  form->Onda1->trigger();
  ASSERT_TRUE(form->PanelOnda->isVisible() || form->PanelOnda->isVisibleTo(form.get()));
  form->show();
  form->BotonPlayCompClick();
  for (int i = 0; i < 3; ++i) {
    wave->CompleteNext();
    QCoreApplication::processEvents();
  }
  auto points = [](QWidget* w) {
    auto* series = static_cast<QLineSeries*>(static_cast<QChartView*>(w)->chart()->series().value(0));
    return series->count();
  };
  ASSERT_EQ(form->OndaL->width(), 568);
  EXPECT_EQ(points(form->OndaL), 22049 / 38);
  EXPECT_EQ(points(form->OndaR), 22049 / 38);
  form->botonstopClick();
  EXPECT_EQ(points(form->OndaL), 2);
  EXPECT_EQ(points(form->OndaR), 2);
  form->hide();
}

// A clip during the export lowers the exported theme's gain, not the gain of
// the theme played or selected before.
TEST_F(WindowTest, TheExportLowersTheGainOfTheThemeExported) {
  Start();
  form->Rhythm->Temas[1].gain = 50.0f;  // loud enough to clip
  form->SGTemas->Select(1, 2);
  form->SGTemasSelectCell(1, 2);
  form->Rhythm->CurrentTema = 0;  // as a playback of theme 0 leaves it
  const float before = form->Rhythm->Temas[0].gain;
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/wavs/loud.wav")};
  form->SpeedButton6Click();
  ASSERT_TRUE(FileExists(dir.path() + "/datos/wavs/loud.wav"));
  EXPECT_LT(form->Rhythm->Temas[1].gain, 50.0f);
  EXPECT_EQ(form->Rhythm->Temas[0].gain, before);
}
