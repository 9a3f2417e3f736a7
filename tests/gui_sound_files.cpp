// The window with sounds of other formats and files that are no sound: an
// added stereo tone at 44.1 kHz plays at its pitch in the mix and the
// preview alike, a text file is refused with its reason and the list stays,
// and a list of missing sounds makes one message, not one per sound.
#include <QListWidget>
#include <filesystem>

#include "engine/sound_bank.h"
#include "gui_fixture.h"
#include "platform/audio/sound_play.h"
#include "platform/files/text.h"
#include "sound_formats.h"

namespace {
class SoundFilesWindowTest : public WindowTest {
 protected:
  void SelectLibrary(const char* name) {
    const auto found = form->LBwavs->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name;
    form->LBwavs->setCurrentItem(found[0]);
  }
};
}  // namespace

TEST_F(SoundFilesWindowTest, AStereoToneIsAddedAtItsPitchAndAFileThatIsNoSoundIsRefused) {
  const SoundFormatCase stereo{"stereo", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2};
  ASSERT_TRUE(WriteSine("BancoDeSonidos/tono.wav", stereo, 440.0, 0.5, 0.5));
  ScratchFolder::Write("BancoDeSonidos/roto.wav", std::vector<uint8_t>(300, 'x'));
  Start();
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/Mio.vl2")};
  form->Guardarcomo1Click();
  form->ClearModified();
  const std::vector<std::string> before = form->SoundList;
  dlg->messages.clear();

  SelectLibrary("roto");
  form->SoundsPane.Aadir1Click();
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_TRUE(dlg->messages[0].startsWith("BancoDeSonidos/roto.wav no es un archivo de sonido: ")) << dlg->messages[0].toStdString();
  EXPECT_EQ(form->SoundList, before);
  EXPECT_FALSE(form->Modified());

  SelectLibrary("tono");
  form->SoundsPane.Aadir1Click();
  ASSERT_EQ(form->SoundList.size(), before.size() + 1);
  EXPECT_EQ(form->SoundList.back(), "tono");
  const SoundView v = form->Bank->Sound(static_cast<int>(form->SoundList.size()));
  const std::vector<int16_t> mixed(v.data, v.data + v.length);
  EXPECT_NEAR(static_cast<double>(mixed.size()), 22050.0, 20.0);
  EXPECT_NEAR(PitchOf(mixed, 44100), 440.0, 2.0);

  auto player = audio::CreateTestSoundPlayer();
  audio::TestSoundPlayer* p = player.get();
  form->SoundPreview = std::move(player);
  form->SoundsPane.SpeedButton1Click();
  EXPECT_EQ(p->LastSound().samples, mixed);  // the preview plays what the mix plays

  // In English the refusal is English.
  form->Ingls1Click();
  dlg->messages.clear();
  SelectLibrary("roto");
  form->SoundsPane.Aadir1Click();
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_TRUE(dlg->messages[0].startsWith("BancoDeSonidos/roto.wav is not a sound file: "));
}

TEST_F(SoundFilesWindowTest, MissingSoundsAtStartMakeOneMessage) {
  std::string list;
  for (int i = 0; i < 64; ++i) list += "falta" + std::to_string(i) + "\r\n";
  ScratchFolder::Write("datos/Original.vl2", std::vector<uint8_t>(list.begin(), list.end()));
  Start();
  int sounds = 0;
  for (const QString& m : dlg->messages)
    if (m.contains("falta")) ++sounds;
  EXPECT_EQ(sounds, 1);
  const QString m = dlg->messages.filter("falta").value(0);
  EXPECT_TRUE(m.startsWith("No se pueden cargar 64 archivos de sonido:")) << m.toStdString();
  EXPECT_TRUE(m.contains("falta0.wav"));
  EXPECT_TRUE(m.contains("... y 59 más"));
}
