// The basic window's "Sonidos" page: at most 16 sounds, taken from the set's
// own folder; removal only while the set is fresh; moves that swap the sound
// numbers of every formula; a change that reloads the sound; the preview
// from the set's folder. The list commands leave the list file alone.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <filesystem>

#include "basic_gui_fixture.h"
#include "platform/audio/sound_play.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "sound_formats.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const std::string& path) {
  std::vector<uint8_t> b;
  ReadFileBytes(path, 1 << 24, &b);
  return b;
}

// A mono 16-bit sound of `samples` samples, each `value`.
void WriteSound(const std::string& path, int samples, int16_t value) {
  std::vector<uint8_t> f(44 + 2 * static_cast<size_t>(samples), 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  std::memcpy(f.data(), "RIFF", 4);
  put32(4, 36 + 2 * static_cast<uint32_t>(samples));
  std::memcpy(f.data() + 8, "WAVEfmt ", 8);
  put32(16, 16);
  f[20] = 1;
  f[22] = 1;
  put32(24, 22050);
  put32(28, 44100);
  f[32] = 2;
  f[34] = 16;
  std::memcpy(f.data() + 36, "data", 4);
  put32(40, 2 * static_cast<uint32_t>(samples));
  for (int k = 0; k < samples; ++k) {
    f[44 + 2 * k] = static_cast<uint8_t>(value & 0xFF);
    f[45 + 2 * k] = static_cast<uint8_t>((value >> 8) & 0xFF);
  }
  std::string err;
  ASSERT_TRUE(WriteFileAtomically(path, f, &err)) << err;
}

QString Name(int i) { return QString("s%1").arg(i, 2, 10, QChar('0')); }

class BasicSoundsTest : public BasicWindowTest {
 protected:
  void OpenSet(const std::string& name) {
    dlg->openNames.push_back(QDir::currentPath() + "/datos/" + QString::fromStdString(name) + ".ole");
    form->Abrir2Click();
    ASSERT_EQ(form->DataSet.DataSetName, name);
  }
  // The set "Lista": 17 sounds in its folder, the first `listed` in its list.
  void WriteListSet(int listed) {
    fs::create_directories("datos/Lista");
    std::string ole;
    for (int i = 1; i <= 17; ++i) {
      WriteSound("datos/Lista/" + Name(i).toStdString() + ".wav", 10 * i, static_cast<int16_t>(100 * i));
      if (i <= listed) ole += Name(i).toStdString() + "\r\n";
    }
    std::string err;
    ASSERT_TRUE(WriteFileAtomically("datos/Lista.ole", std::vector<uint8_t>(ole.begin(), ole.end()), &err));
  }
  QListWidgetItem* Library(const QString& name) {
    const auto found = form->LBwavs->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
  }
  // The right click on a library item: selects it, sets "Añadir ->".
  void RightClickLibrary(QListWidgetItem* it) {
    form->SoundsPane.LBwavsContextPopup(form->LBwavs->visualItemRect(it).center());
  }
  void RightClickList(int row) {
    form->SoundsPane.LBInsContextPopup(form->LBIns->visualItemRect(form->LBIns->item(row)).center());
    if (form->PopupMenu3) form->PopupMenu3->hide();
  }
  QStringList ListItems() const {
    QStringList out;
    for (int i = 0; i < form->LBIns->count(); ++i) out << form->LBIns->item(i)->text();
    return out;
  }
};

}  // namespace

// Sixteen sounds at most: "Añadir ->" adds an unlisted sound below 16 (the
// sound loads, the meter and the choosers follow), then refuses; unlisted
// library names are lime below 16 and silver at 16, listed ones red.
TEST_F(BasicSoundsTest, AtMostSixteenSounds) {
  WriteListSet(15);
  Start();
  form->resize(1366, 768);
  form->PageControl1->setCurrentWidget(form->TabSheet3);
  OpenSet("Lista");
  ASSERT_EQ(form->LBwavs->count(), 17);
  ASSERT_EQ(form->LBIns->count(), 15);
  EXPECT_EQ(Library("s01")->foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(Library("s16")->foreground().color(), QColor(0, 255, 0));
  const QString meter = form->Label15->text();
  const auto ole = Bytes("datos/Lista.ole");

  RightClickLibrary(Library("s16"));
  EXPECT_EQ(form->LBwavs->currentItem(), Library("s16"));
  EXPECT_TRUE(form->Aadir1->isEnabled());
  form->SoundsPane.Aadir1Click();
  ASSERT_EQ(form->LBIns->count(), 16);
  EXPECT_EQ(form->LBIns->item(15)->text(), "s16");
  EXPECT_EQ(form->LBIns->currentRow(), 15);
  EXPECT_EQ(form->CBSonidos->count(), 17);
  EXPECT_EQ(form->CBMetro->itemText(16), "s16");
  EXPECT_EQ(form->Bank->Sound(16).length, 160);
  EXPECT_EQ(form->Bank->Sound(16).data[0], 1600);
  int total = 0;
  for (int i = 1; i <= 16; ++i) total += 20 * i;
  EXPECT_EQ(form->SoundMemory.SoundDataTotal, total);
  EXPECT_NE(form->Label15->text(), meter);
  EXPECT_TRUE(form->Modified());
  EXPECT_EQ(Library("s17")->foreground().color(), QColor(192, 192, 192));
  EXPECT_EQ(Bytes("datos/Lista.ole"), ole);  // the save writes the list

  RightClickLibrary(Library("s17"));
  EXPECT_FALSE(form->Aadir1->isEnabled());
  form->SoundsPane.Aadir1Click();
  EXPECT_EQ(form->LBIns->count(), 16);
  RightClickLibrary(Library("s03"));  // listed already
  EXPECT_FALSE(form->Aadir1->isEnabled());

  dlg->answers.push_back(kAnswerYes);
  form->botonrecClick();
  const auto saved = ReadSoundListV1("datos/Lista.ole");
  ASSERT_EQ(saved.size(), 16u);
  EXPECT_EQ(saved.back(), "s16");
}

// "<-- Quitar" works in any set (Original has many formulas): the removed
// sound's tracks fall silent, the sounds after it move down one number so
// that every other track keeps its sound, and the count of strokes that now
// play silence is said.
TEST_F(BasicSoundsTest, RemoveWorksInAnySetAndRenumbersTheFormulas) {
  Start();
  form->resize(1366, 768);
  form->PageControl1->setCurrentWidget(form->TabSheet3);
  form->Original1Click();
  const int formulas = form->SGFormulas->RowCount() - 1;
  ASSERT_GE(formulas, 3);
  const QStringList original = ListItems();
  ASSERT_GE(original.size(), 4);
  auto& F = form->Rhythm->Formulas;
  // Sound 2 on one track only: two strokes that sound and one rest (code 3).
  for (int f = 0; f < formulas; ++f)
    for (uint8_t& snd : F[static_cast<size_t>(f)].sounds)
      if (snd == 2) snd = 0;
  Formula& f0 = F[0];
  f0.SetHeader(4, 0);
  for (int b = 0; b < kMaxBeats; ++b) {
    f0.SetStrokeCount(b, 0, 0);
    f0.cells[b][0] = 0;
  }
  f0.sounds[0] = 2;
  f0.SetStrokeCount(0, 0, 2);
  f0.cells[0][0] = 7 | (5 << 3);
  f0.SetStrokeCount(1, 0, 1);
  f0.cells[1][0] = 3;
  f0.sounds[1] = 3;
  f0.sounds[2] = 1;
  F[static_cast<size_t>(formulas - 1)].sounds[7] = 4;
  const std::vector<int16_t> third(form->Bank->Sound(3).data, form->Bank->Sound(3).data + form->Bank->Sound(3).length);

  RightClickList(1);
  EXPECT_EQ(form->LBIns->currentRow(), 1);
  EXPECT_TRUE(form->Eliminar1->isEnabled());
  form->SoundsPane.Eliminar1Click();
  QStringList shorter = original;
  shorter.removeAt(1);
  EXPECT_EQ(ListItems(), shorter);
  EXPECT_EQ(f0.sounds[0], 0);  // silent
  EXPECT_EQ(f0.sounds[1], 2);  // the third sound is now the second
  EXPECT_EQ(f0.sounds[2], 1);
  EXPECT_EQ(F[static_cast<size_t>(formulas - 1)].sounds[7], 3);
  EXPECT_EQ(std::vector<int16_t>(form->Bank->Sound(2).data, form->Bank->Sound(2).data + form->Bank->Sound(2).length),
            third);
  const QString said = QString("Sonido quitado: %1. Golpes que ahora suenan en silencio: 2").arg(original[1]);
  EXPECT_TRUE(LogHas(said));
  ASSERT_FALSE(dlg->messages.isEmpty());
  EXPECT_EQ(dlg->messages.back(), said);
  EXPECT_TRUE(form->Modified());

  // Saved, and the list and the formulas stay together.
  dlg->saveNames.push_back(QDir::currentPath() + "/datos/Quito.ole");
  form->botonrecClick();
  ASSERT_EQ(form->DataSet.DataSetName, "Quito");
  EXPECT_EQ(ReadSoundListV1("datos/Quito.ole").size(), static_cast<size_t>(shorter.size()));
  RightClickList(0);
  EXPECT_TRUE(form->Eliminar1->isEnabled());  // still, after a save
  const size_t messages = dlg->messages.size();
  form->SoundsPane.Eliminar1Click();
  EXPECT_TRUE(LogHas(QString("Sonido quitado: %1. Golpes que ahora suenan en silencio: ").arg(original[0])));
  EXPECT_EQ(f0.sounds[2], 0);
  EXPECT_EQ(f0.sounds[1], 1);
  EXPECT_GE(dlg->messages.size(), messages);
}

// Moving a sound swaps its number with its neighbour's in the 8 tracks of
// every formula, so each track keeps its sound; the moved sound stays
// selected and the bank plays the same audio for every track.
TEST_F(BasicSoundsTest, MovesSwapTheSoundNumbersOfEveryFormula) {
  Start();
  form->resize(1366, 768);
  form->Original1Click();
  const int formulas = form->SGFormulas->RowCount() - 1;
  ASSERT_GE(formulas, 3);
  ASSERT_GE(form->LBIns->count(), 5);
  auto& F = form->Rhythm->Formulas;
  F[0].sounds[0] = 3;
  F[0].sounds[1] = 4;
  F[1].sounds[7] = 4;
  F[static_cast<size_t>(formulas - 1)].sounds[7] = 3;
  F[2].sounds[5] = 5;
  const QStringList before = ListItems();
  const std::vector<int16_t> third(form->Bank->Sound(3).data, form->Bank->Sound(3).data + form->Bank->Sound(3).length);
  const std::vector<int16_t> fourth(form->Bank->Sound(4).data, form->Bank->Sound(4).data + form->Bank->Sound(4).length);
  const auto ole = Bytes("datos/Original.ole");

  RightClickList(3);  // sound 4
  EXPECT_TRUE(form->Arriba1->isEnabled());
  form->SoundsPane.Arriba1Click();
  ASSERT_TRUE(form->PopupMenu3);
  EXPECT_TRUE(form->PopupMenu3->isVisible());  // it can move up once more
  form->PopupMenu3->hide();
  EXPECT_EQ(form->LBIns->item(2)->text(), before[3]);
  EXPECT_EQ(form->LBIns->item(3)->text(), before[2]);
  EXPECT_EQ(form->LBIns->currentRow(), 2);
  EXPECT_EQ(F[0].sounds[0], 4);
  EXPECT_EQ(F[0].sounds[1], 3);
  EXPECT_EQ(F[1].sounds[7], 3);
  EXPECT_EQ(F[static_cast<size_t>(formulas - 1)].sounds[7], 4);
  EXPECT_EQ(F[2].sounds[5], 5);
  EXPECT_EQ(std::vector<int16_t>(form->Bank->Sound(3).data, form->Bank->Sound(3).data + form->Bank->Sound(3).length),
            fourth);
  EXPECT_EQ(std::vector<int16_t>(form->Bank->Sound(4).data, form->Bank->Sound(4).data + form->Bank->Sound(4).length),
            third);
  EXPECT_TRUE(form->Modified());
  EXPECT_EQ(Bytes("datos/Original.ole"), ole);

  form->SoundsPane.Bajar1Click();
  if (form->PopupMenu3) form->PopupMenu3->hide();
  EXPECT_EQ(ListItems(), before);
  EXPECT_EQ(form->LBIns->currentRow(), 3);
  EXPECT_EQ(F[0].sounds[0], 3);
  EXPECT_EQ(F[0].sounds[1], 4);
  EXPECT_EQ(F[1].sounds[7], 4);

  RightClickList(1);
  form->SoundsPane.Arriba1Click();  // to the top: the menu stays closed
  EXPECT_FALSE(form->PopupMenu3->isVisible());
  form->SoundsPane.Bajar1Click();
  form->PopupMenu3->hide();
  EXPECT_EQ(ListItems(), before);
  RightClickList(0);
  EXPECT_FALSE(form->Arriba1->isEnabled());
  RightClickList(form->LBIns->count() - 1);
  EXPECT_FALSE(form->Bajar1->isEnabled());
}

// A change puts a library sound in the selected place and loads it (the
// samples of the place follow the name); a sound already listed changes
// nothing.
TEST_F(BasicSoundsTest, ChangeLoadsTheNewSound) {
  WriteSound("datos/Original/Extra.wav", 77, 1234);
  Start();
  form->Original1Click();
  const QStringList before = ListItems();
  form->LBIns->setCurrentRow(0);
  form->LBwavs->setCurrentItem(Library("Extra"));
  form->SoundsPane.Cambiar1Click();
  EXPECT_EQ(form->LBIns->item(0)->text(), "Extra");
  EXPECT_EQ(form->CBSonidos->itemText(1), "Extra");
  ASSERT_EQ(form->Bank->Sound(1).length, 77);
  EXPECT_EQ(form->Bank->Sound(1).data[0], 1234);
  EXPECT_TRUE(form->Modified());

  form->LBIns->setCurrentRow(1);
  form->LBwavs->setCurrentItem(Library(before[2]));
  form->SoundsPane.Cambiar1Click();
  EXPECT_EQ(form->LBIns->item(1)->text(), before[1]);
}

// The preview plays the library sound from the set's own folder; with none
// selected, the first.
TEST_F(BasicSoundsTest, PreviewPlaysFromTheSetsFolder) {
  Start();
  form->Original1Click();
  auto player = audio::CreateTestSoundPlayer();
  audio::TestSoundPlayer* p = player.get();
  form->SoundPreview = std::move(player);
  ASSERT_GE(form->LBwavs->count(), 2);
  form->LBwavs->setCurrentRow(-1);
  form->SoundsPane.SpeedButton1Click();
  form->LBwavs->setCurrentRow(1);
  form->SoundsPane.SpeedButton1Click();
  const auto calls = p->Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].path, "datos/Original/" + ToL1(form->LBwavs->item(0)->text()) + ".wav");
  EXPECT_EQ(calls[1].path, "datos/Original/" + ToL1(form->LBwavs->item(1)->text()) + ".wav");
  EXPECT_TRUE(calls[0].result);
  EXPECT_TRUE(calls[1].result);
}

// A 44.1 kHz stereo tone added to a set plays at its pitch and length in the
// mix (converted to 22050 Hz mono), the preview plays the same samples, and
// the meter counts what the device will hold; a file that is no sound is
// refused with its reason, the list and the meter unchanged.
TEST_F(BasicSoundsTest, AStereoToneIsConvertedAndAFileThatIsNoSoundIsRefused) {
  WriteListSet(3);
  const SoundFormatCase stereo{"stereo", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2};
  ASSERT_TRUE(WriteSine("datos/Lista/tono.wav", stereo, 440.0, 0.5, 0.5));
  ScratchFolder::Write("datos/Lista/roto.wav", std::vector<uint8_t>(300, 'x'));
  Start();
  OpenSet("Lista");
  const QString meter = form->Label15->text();
  dlg->messages.clear();

  form->LBwavs->setCurrentItem(Library("roto"));
  form->SoundsPane.Aadir1Click();
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_TRUE(dlg->messages[0].startsWith("datos/Lista/roto.wav no es un archivo de sonido: "));
  EXPECT_EQ(form->LBIns->count(), 3);
  EXPECT_EQ(form->Label15->text(), meter);

  const int before = form->SoundMemory.SoundDataTotal;
  form->LBwavs->setCurrentItem(Library("tono"));
  form->SoundsPane.Aadir1Click();
  ASSERT_EQ(form->LBIns->count(), 4);
  const SoundView v = form->Bank->Sound(4);
  const std::vector<int16_t> mixed(v.data, v.data + v.length);
  EXPECT_NEAR(static_cast<double>(mixed.size()), 11025.0, 10.0);  // half a second, not a quarter
  EXPECT_NEAR(PitchOf(mixed, 22050), 440.0, 2.0);                  // not two octaves low
  EXPECT_EQ(form->SoundMemory.SoundDataTotal, before + static_cast<int>(mixed.size() * 2));
  EXPECT_EQ(form->SoundMemory.SoundCountsV1[3], mixed.size());

  auto player = audio::CreateTestSoundPlayer();
  audio::TestSoundPlayer* p = player.get();
  form->SoundPreview = std::move(player);
  form->SoundsPane.SpeedButton1Click();
  EXPECT_EQ(p->LastSound().samples, mixed);
}

// A list of more than 16 names: the first 16 are used, the user is told, and
// a save writes the others back after them, never fewer than the file held.
TEST_F(BasicSoundsTest, ALongListIsNeverShortenedByASave) {
  WriteListSet(16);
  std::string ole;
  for (int i = 1; i <= 16; ++i) ole += Name(i).toStdString() + "\r\n";
  for (int i = 0; i < 20; ++i) ole += "extra" + std::to_string(i) + "\r\n";
  std::string err;
  ASSERT_TRUE(WriteFileAtomically("datos/Lista.ole", std::vector<uint8_t>(ole.begin(), ole.end()), &err));
  Start();
  dlg->messages.clear();
  OpenSet("Lista");
  EXPECT_EQ(form->LBIns->count(), 16);
  EXPECT_TRUE(dlg->messages.contains("La lista de sonidos tiene 36 nombres: se usan los 16 primeros."))
      << dlg->messages.join("|").toStdString();
  form->Cambios();
  dlg->answers = {kAnswerYes};
  form->botonrecClick();
  EXPECT_FALSE(form->Modified());
  const auto bytes = Bytes("datos/Lista.ole");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), ole);
}
