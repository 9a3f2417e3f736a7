// The sound list, the tempo, volume, track, solo and mute controls, the
// click presets and the queueing of a mixed beat, driven through the window.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "engine/sound_bank.h"
#include "platform/ui/desk_theme.h"
#include "gui_fixture.h"
#include "platform/files/text.h"

namespace {
std::vector<std::string> ListFile(const std::string& path) {
  std::vector<std::string> names;
  ReadSoundList(path, &names);
  return names;
}
}  // namespace

TEST_F(WindowTest, SoundListMovesSwapNumbersInEveryFormula) {
  Start();
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/Mio.vl2")};
  form->Guardarcomo1Click();
  ASSERT_GE(form->SoundList.size(), 3u);
  // Formula 0 uses sounds 2 and 3 on tracks 0 and 1; formula 1 uses 3.
  form->Rhythm->Formulas[0].sounds[0] = 2;
  form->Rhythm->Formulas[0].sounds[1] = 3;
  form->Rhythm->Formulas[1].sounds[5] = 3;
  const std::string s2 = form->SoundList[1], s3 = form->SoundList[2];
  form->LBIns->setCurrentRow(2);
  form->SoundsPane.Arriba1Click();
  EXPECT_EQ(form->Rhythm->Formulas[0].sounds[0], 3);
  EXPECT_EQ(form->Rhythm->Formulas[0].sounds[1], 2);
  EXPECT_EQ(form->Rhythm->Formulas[1].sounds[5], 2);
  EXPECT_EQ(form->SoundList[1], s3);
  EXPECT_EQ(form->SoundList[2], s2);
  EXPECT_EQ(ListFile("datos/Mio.vl2"), form->SoundList);
  EXPECT_EQ(form->LBIns->item(1)->text().toStdString(), s3);
  EXPECT_EQ(form->CBSonidos->itemText(2).toStdString(), s3);
  EXPECT_TRUE(form->Modified());

  form->LBIns->setCurrentRow(1);
  form->SoundsPane.Bajar1Click();  // and back
  EXPECT_EQ(form->Rhythm->Formulas[0].sounds[0], 2);
  EXPECT_EQ(form->SoundList[2], s3);

  // Remove leaves the formulas' numbers as they are.
  const size_t n = form->SoundList.size();
  form->LBIns->setCurrentRow(1);
  form->SoundsPane.Eliminar1Click();
  EXPECT_EQ(form->SoundList.size(), n - 1);
  EXPECT_EQ(form->SoundList[1], s3);
  EXPECT_EQ(form->Rhythm->Formulas[0].sounds[0], 2);
  EXPECT_EQ(form->Rhythm->Formulas[0].sounds[1], 3);
  EXPECT_EQ(ListFile("datos/Mio.vl2").size(), n - 1);
}

TEST_F(WindowTest, SoundListAddChangeAndMenus) {
  Start();
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/Mio.vl2")};
  form->Guardarcomo1Click();
  form->ClearModified();
  // Make room for one library sound by removing the last one.
  const std::string last = form->SoundList.back();
  form->LBIns->setCurrentRow(static_cast<int>(form->SoundList.size()) - 1);
  form->SoundsPane.Eliminar1Click();
  QList<QListWidgetItem*> found = form->LBwavs->findItems(L1(last), Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1);
  form->LBwavs->setCurrentItem(found[0]);
  form->SoundsPane.LBwavsContextPopup(form->LBwavs->visualItemRect(found[0]).center());
  EXPECT_TRUE(form->Aadir1->isEnabled());
  form->SoundsPane.Aadir1Click();
  EXPECT_EQ(form->SoundList.back(), last);
  EXPECT_EQ(ListFile("datos/Mio.vl2").back(), last);

  // A listed library sound cannot be added again.
  form->SoundsPane.LBwavsContextPopup(form->LBwavs->visualItemRect(found[0]).center());
  EXPECT_FALSE(form->Aadir1->isEnabled());

  // Change to a name already listed does nothing; change writes no file.
  form->LBIns->setCurrentRow(0);
  const auto before = form->SoundList;
  form->SoundsPane.Cambiar1Click();
  EXPECT_EQ(form->SoundList, before);

  // Menu rules on the set's list: the first item cannot move up, the last not down.
  form->SoundsPane.LBInsContextPopup(form->LBIns->visualItemRect(form->LBIns->item(0)).center());
  EXPECT_FALSE(form->Arriba1->isEnabled());
  EXPECT_TRUE(form->Bajar1->isEnabled());
  const int lastRow = form->LBIns->count() - 1;
  form->SoundsPane.LBInsContextPopup(form->LBIns->visualItemRect(form->LBIns->item(lastRow)).center());
  EXPECT_TRUE(form->Arriba1->isEnabled());
  EXPECT_FALSE(form->Bajar1->isEnabled());
  EXPECT_EQ(form->Label15->text(), QString("%1 sonidos").arg(form->LBIns->count()));
}

TEST_F(WindowTest, MissingSoundFileIsReportedAndSilent) {
  ScratchFolder::Write("datos/Roto.vl2", {'P', 'a', 'l', 'm', 'a', 's', 'C', 'l', 'a', 'r', 'a', 's', '\r', '\n',
                                          'N', 'o', 'H', 'a', 'y', '\r', '\n'});
  QSettings("DRAV_PROF.ini", QSettings::IniFormat).setValue("METRONOMO/archivo", "Roto");
  Start();
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_EQ(dlg->messages[0], "No se puede abrir el archivo:\r\nBancoDeSonidos/NoHay.wav");
  EXPECT_GT(form->Bank->Sound(1).length, 0);
  EXPECT_EQ(form->Bank->Sound(2).length, 0);
  EXPECT_EQ(form->CBMetro->currentIndex(), 0);
  EXPECT_EQ(form->CBMetro->itemText(0), "Silencio");
}

TEST_F(WindowTest, TempoControls) {
  Start();
  // A 12-beat formula is selected in the factory set.
  ASSERT_EQ(form->Rhythm->Formulas[form->SGFormulas->Row() - 1].Beats(), 12);
  form->TB2->setValue(301);
  form->TB2->setValue(300);
  EXPECT_EQ(form->Edit1->text(), "120");
  EXPECT_EQ(form->Engine->MsPerBeat, 500);
  EXPECT_EQ(form->Engine->SamplesPerBeat, 22049);
  EXPECT_EQ(form->Label22->text(), QString::fromUtf8("Duración  6.0 seg"));  // as a formula's selection words it
  EXPECT_EQ(form->Label30->text(), "500.00 ms");

  struct {
    const char* typed;
    int bpm;
  } cases[] = {{"45", 45}, {"45abc", 45}, {"10", 45}, {"500", 45}, {"400", 400}, {"20", 20}};
  for (auto c : cases) {
    form->Edit1->setText(c.typed);
    form->Edit1Change();
    EXPECT_EQ(420 - form->TB2->value(), c.bpm) << c.typed;
  }
}

TEST_F(WindowTest, MasterVolumeControls) {
  Start();
  struct {
    int pos;
    const char* shown;
    int width;
  } cases[] = {{654, "", 0}, {655, "1", 0}, {65535, "100", 92}, {0, "", 0}};
  for (auto c : cases) {
    form->tbvolumen->setValue(c.pos);
    EXPECT_EQ(form->EdVol->text(), c.shown) << c.pos;
    EXPECT_EQ(form->IVolOn->width(), c.pos * 92 / 65535) << c.pos;
    EXPECT_EQ(wave->GetVolume(), (static_cast<uint32_t>(c.pos) << 16) | static_cast<uint32_t>(c.pos));
  }
  form->tbvolumen->setValue(6550);
  form->EdVol->setText("150");
  form->EdVolKeyPress();
  EXPECT_EQ(form->EdVol->text(), "10");
  EXPECT_EQ(form->tbvolumen->value(), 6550);
  form->EdVol->setText("100");
  form->EdVolKeyPress();
  EXPECT_EQ(form->tbvolumen->value(), 65500);
}

TEST_F(WindowTest, TrackSlidersStoreEveryTrackOfTheSelectedTheme) {
  Start();
  const int r = form->SGTemas->Row() - 1;
  form->Rhythm->Temas[r].pan[9] = 3;  // stale value that one move rewrites
  form->TBPan[0]->setValue(4);
  EXPECT_EQ(form->Rhythm->Temas[r].pan[0], 4);
  EXPECT_EQ(form->Rhythm->Temas[r].pan[9], form->TBPan[9]->value());
  EXPECT_EQ(form->TBPan[0]->toolTip(), "-12");
  EXPECT_EQ(form->Engine->Controls.Pan[0], 4);
  EXPECT_TRUE(form->Modified());

  struct {
    int v, num, den;
    const char* hint;
  } cases[] = {{7, 1, 2, "1/2"}, {8, 1, 1, "x1"}, {1, 1, 8, "1/8"}, {16, 9, 1, "x9"}};
  for (auto c : cases) {
    form->TBVol[2]->setValue(c.v);
    EXPECT_EQ(form->Engine->Controls.TrackGainNum[2], c.num) << c.v;
    EXPECT_EQ(form->Engine->Controls.TrackGainDen[2], c.den) << c.v;
    EXPECT_EQ(form->TBVol[2]->toolTip(), c.hint);
    EXPECT_EQ(form->Rhythm->Temas[r].volume[2], c.v);
  }

  // While the theme loads the sliders nothing is stored.
  form->Guards.TrackbarsLoading = true;
  form->TBPan[1]->setValue(30);
  form->Guards.TrackbarsLoading = false;
  EXPECT_NE(form->Rhythm->Temas[r].pan[1], 30);
}

TEST_F(WindowTest, SoloAndMute) {
  Start();
  auto mutes = [&] {
    std::string s;
    for (auto* b : form->MuteButtons) s += b->isChecked() ? 'M' : '-';
    return s;
  };
  auto colours = [&] {
    std::string s;
    for (int i = 0; i < 17; ++i) {
      const QString m = form->MuteButtons[i]->styleSheet(), so = form->SoloButtons[i]->styleSheet();
      const DeskColours& theme = DeskTheme();
      s += so == MarkedButtonStyle(true, theme.soloDown) ? 'R' : so == MarkedButtonStyle(false, theme.soloDown) ? '-' : '?';
      s += m == MarkedButtonStyle(true, theme.muteDown) ? 'G' : m == MarkedButtonStyle(false, theme.muteDown) ? '-' : '?';
    }
    return s;
  };
  form->SoloButtons[2]->click();
  EXPECT_EQ(mutes(), "MM-MMMMMMMMMMMMMM");
  // Solo 3 red, its mute black; every other mute green.
  EXPECT_EQ(colours(), "-G-GR--G-G-G-G-G-G-G-G-G-G-G-G-G-G");
  form->SoloButtons[16]->click();  // the guitar as well
  EXPECT_EQ(mutes(), "MM-MMMMMMMMMMMMM-");
  form->SoloButtons[5]->click();  // another track solo raises the first
  EXPECT_FALSE(form->SoloButtons[2]->isChecked());
  EXPECT_EQ(mutes(), "MMMMM-MMMMMMMMMM-");
  form->SoloButtons[5]->click();
  form->SoloButtons[16]->click();
  EXPECT_EQ(mutes(), "-----------------");
  EXPECT_EQ(colours(), std::string(34, '-'));
  form->SoloButtons[2]->click();
  form->MuteButtons[0]->click();  // a mute raises every solo and keeps the mutes
  EXPECT_FALSE(form->SoloButtons[2]->isChecked());
  EXPECT_EQ(mutes(), "-M-MMMMMMMMMMMMMM");
  EXPECT_EQ(colours(), "---G---G-G-G-G-G-G-G-G-G-G-G-G-G-G");
  EXPECT_EQ(form->Engine->Controls.MuteButtons[1], true);
  EXPECT_EQ(form->Engine->Controls.MuteButtons[0], false);
}

TEST_F(WindowTest, ClickPresetsPickTheFirstSoundFromSilence) {
  Start();
  ASSERT_EQ(form->CBMetro->currentIndex(), 0);
  form->ClickPresetButtons[3]->click();  // 3 strokes
  EXPECT_EQ(form->CBMetro->currentIndex(), 1);
  EXPECT_EQ(form->Engine->Controls.ClickAccentPattern, 367);
  EXPECT_EQ(form->Engine->Controls.ClickPlainPattern, 365);
  EXPECT_EQ(form->Engine->Controls.ClickStrokes, 3);
  form->CBMetro->setCurrentIndex(3);
  form->ClickPresetButtons[1]->click();
  EXPECT_EQ(form->CBMetro->currentIndex(), 3);
  EXPECT_EQ(form->Engine->Controls.ClickSound, 3);
  form->ClickPresetButtons[7]->click();  // "Pie"
  EXPECT_EQ(form->Engine->Controls.ClickPatternCode, 'P');
  EXPECT_EQ(form->Engine->Controls.ClickPlainPattern, 0);
  form->ClickPresetButtons[0]->click();
  EXPECT_EQ(form->Engine->Controls.ClickStrokes, 0);
  form->Nivel->setValue(16);
  EXPECT_EQ(form->Engine->Controls.Nivel, 16);

  // A press on an accent box lets the next click count as the user's.
  form->Guards.AccentChangeByCode = true;
  QTest::mousePress(form->AccentBoxes[1], Qt::LeftButton);
  EXPECT_FALSE(form->Guards.AccentChangeByCode);
}

TEST_F(WindowTest, MixedBeatIsQueuedIntoTheFreeHalf) {
  Start();
  form->Work->Engine->PlayState = 1;
  form->Work->Engine->CurrentBeat = 0;
  form->MixBeat();
  const auto calls = wave->Calls();
  size_t writes = 0;
  for (const auto& c : calls)
    if (c.name == "Write") {
      ++writes;
      EXPECT_EQ(c.value, static_cast<uint64_t>(form->Engine->SamplesPerBeat) * 4);
      EXPECT_EQ(c.result, audio::WaveResult::kOk);
    }
  EXPECT_EQ(writes, 1u);
  // Nothing polls for the next buffer: its return wakes the beat step.
  EXPECT_FALSE(form->Timer1->isActive());
  form->MixBeat();
  EXPECT_EQ(wave->QueuedCount(), 2u);
  // Both halves still play: a third beat is not mixed into either.
  const int16_t* playing = form->Engine->OutputHalfData(0);
  const std::vector<int16_t> before(playing, playing + 2 * form->Engine->SamplesPerBeat);
  const int beatBefore = form->Engine->OutputHalf;
  form->Work->Engine->Controls.Nivel = 16;  // a louder click would change the samples
  form->MixBeat();
  EXPECT_EQ(wave->QueuedCount(), 2u);
  EXPECT_EQ(std::vector<int16_t>(playing, playing + 2 * form->Engine->SamplesPerBeat), before);
  EXPECT_EQ(form->Engine->OutputHalf, beatBefore);
  wave->CompleteNext();
  QCoreApplication::processEvents();
  form->Work->Engine->PlayState = 0;
}

TEST_F(WindowTest, NoSoundDeviceIsReportedOnceAndStartUpGoesOn) {
  Start("no default output device");
  EXPECT_TRUE(dlg->messages.isEmpty());
  EXPECT_EQ(form->Visor->toPlainText().count("no default output device"), 1);
  EXPECT_EQ(form->windowTitle(), "Velarto Quendrel - Original");
  form->MixBeat();  // mixes with nowhere to go
  EXPECT_EQ(wave->QueuedCount(), 0u);
}
