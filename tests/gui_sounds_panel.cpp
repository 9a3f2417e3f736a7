// The sounds panel and the theme tempo slider, driven through the window.
#include <QAction>
#include <QChartView>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSlider>

#include "engine/sound_bank.h"
#include "gui_fixture.h"
#include "platform/audio/sound_play.h"
#include "platform/files/text.h"

namespace {
class SoundsPanelTest : public WindowTest {
 protected:
  // Starts on a copy of the factory set, so the list commands write their own file.
  void StartOnOwnSet() {
    Start();
    dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/Mio.vl2")};
    form->Guardarcomo1Click();
    form->ClearModified();
  }
  QLineSeries* Series(QWidget* chart) const {
    return static_cast<QLineSeries*>(static_cast<QChartView*>(chart)->chart()->series().value(0));
  }
  // A library item that the set does not list (-1 when every one is listed).
  int UnlistedLibraryRow() const {
    for (int i = 0; i < form->LBwavs->count(); ++i)
      if (FindSoundName(form->SoundList, ToL1(form->LBwavs->item(i)->text())) < 0) return i;
    return -1;
  }
  void ExpectReloadedSelections(const char* after) {
    EXPECT_EQ(form->LBIns->currentRow(), 0) << after;
    EXPECT_EQ(form->CBMetro->currentIndex(), -1) << after;
    EXPECT_EQ(form->CBSonidos->currentIndex(), -1) << after;
    EXPECT_EQ(form->Engine->Controls.ClickSound, -1) << after;
  }
};
}  // namespace

TEST_F(SoundsPanelTest, ListCommandsReloadWithTheFirstSoundAndNoClickSound) {
  StartOnOwnSet();
  ASSERT_GE(form->SoundList.size(), 3u);
  const std::string last = form->SoundList.back();
  form->LBIns->setCurrentRow(static_cast<int>(form->SoundList.size()) - 1);
  form->SoundsPane.Eliminar1Click();
  ExpectReloadedSelections("remove");

  const QList<QListWidgetItem*> found = form->LBwavs->findItems(L1(last), Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1);
  form->LBwavs->setCurrentItem(found[0]);
  form->SoundsPane.Aadir1Click();
  EXPECT_EQ(form->SoundList.back(), last);
  ExpectReloadedSelections("add");
  EXPECT_TRUE(form->Modified());

  // With nothing chosen in CBMetro a click preset takes the first sound.
  form->ClickPresetButtons[1]->click();
  EXPECT_EQ(form->CBMetro->currentIndex(), 1);
  EXPECT_EQ(form->Engine->Controls.ClickSound, 1);
}

TEST_F(SoundsPanelTest, MovesKeepTheMovedSoundSelectedAndReopenTheMenuWhileItCanMoveOn) {
  StartOnOwnSet();
  ASSERT_GE(form->SoundList.size(), 4u);
  form->show();
  const int count = static_cast<int>(form->SoundList.size());
  form->PopupMenu3Point = form->LBIns->mapToGlobal(QPoint(10, 10));
  struct Case {
    bool up;
    int from;
    bool reopened;
  } cases[] = {{true, 2, true},           {true, 1, false},           {false, 0, true},
               {false, count - 3, true},  {false, count - 2, false}};
  for (const Case& c : cases) {
    form->LBIns->setCurrentRow(c.from);
    const std::string moved = form->SoundList[static_cast<size_t>(c.from)];
    c.up ? form->SoundsPane.Arriba1Click() : form->SoundsPane.Bajar1Click();
    const int to = c.up ? c.from - 1 : c.from + 1;
    EXPECT_EQ(form->SoundList[static_cast<size_t>(to)], moved) << c.up << " " << c.from;
    EXPECT_EQ(form->LBIns->currentRow(), to) << c.up << " " << c.from;
    EXPECT_EQ(form->PopupMenu3->isVisible(), c.reopened) << c.up << " " << c.from;
    if (c.reopened) {
      EXPECT_EQ(form->Arriba1->isEnabled(), to > 0);
      EXPECT_EQ(form->Bajar1->isEnabled(), to < count - 1);
    }
    form->PopupMenu3->hide();
  }
  form->hide();
}

TEST_F(SoundsPanelTest, ChangeTakesAnUnlistedLibrarySoundWithoutReloadOrFile) {
  StartOnOwnSet();
  // Make a library sound unlisted by removing it from the list.
  const std::string gone = form->SoundList[1];
  form->LBIns->setCurrentRow(1);
  form->SoundsPane.Eliminar1Click();
  const std::vector<std::string> onDisk = form->SoundList;
  form->ClearModified();
  const size_t streamBefore = form->Bank->StreamBytes;

  form->LBIns->setCurrentRow(0);
  form->LBwavs->setCurrentItem(form->LBwavs->findItems(L1(gone), Qt::MatchExactly).value(0));
  form->SoundsPane.Cambiar1Click();
  EXPECT_EQ(form->SoundList[0], gone);
  EXPECT_EQ(form->LBIns->item(0)->text(), L1(gone));
  EXPECT_FALSE(form->Modified());
  EXPECT_EQ(form->Bank->StreamBytes, streamBefore);
  std::vector<std::string> file;
  ReadSoundList("datos/Mio.vl2", &file);
  EXPECT_EQ(file, onDisk);

  // Without a selection in the set's list nothing changes.
  form->LBIns->setCurrentRow(-1);
  const auto before = form->SoundList;
  form->LBwavs->setCurrentRow(UnlistedLibraryRow());
  form->SoundsPane.Cambiar1Click();
  EXPECT_EQ(form->SoundList, before);
}

TEST_F(SoundsPanelTest, LibraryColoursFollowTheListAndItsRoom) {
  Start();
  form->show();
  ASSERT_GE(form->LBwavs->count(), 2);
  form->LBwavs->setCurrentRow(-1);
  form->LBwavs->clearSelection();
  const std::string listed = ToL1(form->LBwavs->item(0)->text());
  form->LBwavs->doItemsLayout();  // lay the items out before the first grab
  // Counts the text pixels of each colour in the library's view.
  auto colours = [&](int names) {
    form->SoundList = {listed};
    for (int i = 1; i < names; ++i) form->SoundList.push_back("sin archivo " + std::to_string(i));
    const QImage img = form->LBwavs->viewport()->grab().toImage();
    struct { int red = 0, lime = 0, silver = 0; } n;
    QRect items;
    for (int i = 0; i < form->LBwavs->count(); ++i) items |= form->LBwavs->visualItemRect(form->LBwavs->item(i));
    items &= img.rect();
    for (int y = items.top(); y <= items.bottom(); ++y)
      for (int x = items.left(); x <= items.right(); ++x) {
        const QColor c = img.pixelColor(x, y);
        if (c.red() > 150 && c.green() < 80 && c.blue() < 80) ++n.red;
        if (c.green() > 150 && c.red() < 80 && c.blue() < 80) ++n.lime;
        if (c.red() > 120 && std::abs(c.red() - c.green()) < 12 && std::abs(c.green() - c.blue()) < 12) ++n.silver;
      }
    return n;
  };
  const auto room = colours(63);
  EXPECT_GT(room.red, 0);
  EXPECT_GT(room.lime, 0);
  EXPECT_EQ(room.silver, 0);
  const auto full = colours(64);
  EXPECT_GT(full.red, 0);
  EXPECT_EQ(full.lime, 0);
  EXPECT_GT(full.silver, 0);
  form->hide();
}

TEST_F(SoundsPanelTest, PreviewPlaysTheSelectedLibrarySoundAndRaisesTheButton) {
  Start();
  auto player = audio::CreateTestSoundPlayer();
  audio::TestSoundPlayer* p = player.get();
  form->SoundPreview = std::move(player);
  ASSERT_GE(form->LBwavs->count(), 2);

  form->LBwavs->setCurrentRow(-1);
  form->SpeedButton1->setChecked(true);
  form->SoundsPane.SpeedButton1Click();  // nothing selected: the first item
  EXPECT_EQ(form->LBwavs->currentRow(), 0);
  EXPECT_FALSE(form->SpeedButton1->isChecked());
  form->LBwavs->setCurrentRow(1);
  form->SoundsPane.SpeedButton1Click();
  const auto calls = p->Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].path, SoundPath(kSoundFolder, ToL1(form->LBwavs->item(0)->text())));
  EXPECT_EQ(calls[1].path, SoundPath(kSoundFolder, ToL1(form->LBwavs->item(1)->text())));
  EXPECT_TRUE(calls[1].result);

  form->LBwavs->clear();  // an empty library plays nothing
  form->SoundsPane.SpeedButton1Click();
  EXPECT_EQ(p->Calls().size(), 2u);
}

TEST_F(SoundsPanelTest, PlotsShowTheFirstHalfOfTheSoundAndTheLibraryClickItsLength) {
  Start();
  ASSERT_GE(form->SoundList.size(), 2u);
  const BancoSonidos& bank = *form->Bank;
  form->LBIns->setCurrentRow(1);
  form->SoundsPane.LBInsClick();
  const SoundView v = bank.Sound(2);
  ASSERT_GT(v.length, 1);
  QLineSeries* s = Series(form->OscSonidos);
  ASSERT_EQ(s->count(), v.length / 2);
  EXPECT_EQ(s->at(0), QPointF(0, v.data[0]));
  EXPECT_EQ(s->at(s->count() - 1), QPointF(s->count() - 1, v.data[s->count() - 1]));

  // A listed library sound: its plot and its length over 88200.
  const int row = form->LBwavs->row(form->LBwavs->findItems(L1(form->SoundList[0]), Qt::MatchExactly).value(0));
  ASSERT_GE(row, 0);
  form->LBwavs->setCurrentRow(row);
  form->SoundsPane.LBwavsClick();
  EXPECT_EQ(s->count(), bank.Sound(1).length / 2);
  char want[32];
  std::snprintf(want, sizeof want, "%4.2f'", bank.SoundLengths[0] / 88200.0);
  EXPECT_EQ(form->Label29->text(), QString::fromLatin1(want).replace(',', '.'));

  // An unlisted one: an empty plot, the length text stays.
  form->SoundList.erase(form->SoundList.begin());
  form->SoundsPane.LBwavsClick();
  EXPECT_EQ(s->count(), 0);
  EXPECT_EQ(form->Label29->text(), QString::fromLatin1(want).replace(',', '.'));
}

TEST_F(WindowTest, ThemeTempoSliderStoresUnlessTheEditorMovesIt) {
  Start();
  const int r = form->SGTemas->Row() - 1;
  ASSERT_GE(r, 0);
  Tema& th = form->Rhythm->Temas[static_cast<size_t>(r)];
  const uint16_t stored = th.tempos[0];
  form->ClearModified();

  // The theme editor moves it: the tempo follows, nothing is stored.
  const int pos = 420 - (stored == 150 ? 151 : 150);
  form->Guards.TempoSliderByCode = true;
  form->TB1->setValue(pos);
  EXPECT_FALSE(form->Guards.TempoSliderByCode);
  EXPECT_EQ(form->TB2->value(), pos);
  EXPECT_EQ(form->Label8->text(), QString::number(420 - pos) + ".00 bpm");
  EXPECT_EQ(form->Engine->MsPerBeat, 60000 / (420 - pos));
  EXPECT_EQ(th.tempos[0], stored);
  EXPECT_FALSE(form->Modified());

  // The user moves it: the theme takes the tempo, the sequence grid shows it,
  // the bar counter stays.
  form->Work->Engine->CurrentCompas = 5;
  form->TB1->setValue(300);
  EXPECT_EQ(th.tempos[0], 120);
  EXPECT_EQ(form->Engine->SamplesPerBeat, 22049);
  EXPECT_EQ(form->Edit1->text(), "120");
  EXPECT_EQ(form->SGSaco->Cells(2, 1), "120");
  EXPECT_EQ(form->Engine->CurrentCompas, 5);
  EXPECT_TRUE(form->Modified());
}

TEST_F(WindowTest, TypedMasterVolumeFollowsEveryChange) {
  Start();
  struct {
    const char* typed;
    int slider;
  } cases[] = {{"50", 32750}, {"0", 0}, {"100", 65500}, {"101", 65500}, {"abc", 65500}, {"7x", 4585}};
  for (auto c : cases) {
    form->EdVol->setText(c.typed);
    form->EdVolChange();
    EXPECT_EQ(form->tbvolumen->value(), c.slider) << c.typed;
  }
}

// A list of more names than the bank holds: the first ones are used, the user
// is told once, and no list command or save writes back fewer names than the
// file held.
TEST_F(SoundsPanelTest, ALongListIsToldOnceAndNeverShortened) {
  StartOnOwnSet();
  std::vector<std::string> names;
  ASSERT_TRUE(ReadSoundList("datos/Mio.vl2", &names));
  ASSERT_FALSE(names.empty());
  const size_t capacity = static_cast<size_t>(form->Bank->Capacity());
  std::vector<std::string> longList;
  while (longList.size() < capacity + 6) longList.push_back(names[longList.size() % names.size()]);
  std::string err;
  ASSERT_TRUE(WriteSoundList("datos/Mio.vl2", longList, &err)) << err;
  dlg->messages.clear();
  form->AbreSonidos();
  EXPECT_EQ(form->SoundList.size(), capacity);
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_EQ(dlg->messages[0], QString("La lista de sonidos tiene %1 nombres: se usan los %2 primeros.")
                                  .arg(capacity + 6)
                                  .arg(capacity));
  // A list command reloads: nothing said again, nothing of the file lost.
  form->LBIns->setCurrentRow(0);
  form->SoundsPane.Eliminar1Click();
  EXPECT_EQ(dlg->messages.size(), 1);
  std::vector<std::string> file;
  ASSERT_TRUE(ReadSoundList("datos/Mio.vl2", &file));
  EXPECT_EQ(file, std::vector<std::string>(longList.begin() + 1, longList.end()));
  form->Guardar1Click();
  ASSERT_TRUE(ReadSoundList("datos/Mio.vl2", &file));
  EXPECT_EQ(file.size(), capacity + 5);
}

// A list of 100 000 names is read whole and saved whole; a list too long to
// read whole is never written back: the save is refused with a message and
// the file stays as it was.
TEST_F(SoundsPanelTest, AVeryLongListIsSavedWholeOrNotAtAll) {
  StartOnOwnSet();
  std::vector<std::string> names;
  for (int i = 0; i < 100000; ++i) names.push_back("MetronomoAcentuado" + std::to_string(i));
  std::string err;
  ASSERT_TRUE(WriteSoundList("datos/Mio.vl2", names, &err)) << err;
  form->AbreSonidos();
  form->Cambios();
  dlg->answers = {kAnswerYes};
  form->Guardar1Click();
  std::vector<std::string> file;
  ASSERT_TRUE(ReadSoundList("datos/Mio.vl2", &file));
  EXPECT_EQ(file, names);

  names.resize(1100000);  // 22+ MB
  for (size_t i = 100000; i < names.size(); ++i) names[i] = "MetronomoAcentuado" + std::to_string(i);
  ASSERT_TRUE(WriteSoundList("datos/Mio.vl2", names, &err)) << err;
  const auto before = ScratchFolder::Read("datos/Mio.vl2");
  dlg->messages.clear();
  form->AbreSonidos();
  ASSERT_FALSE(dlg->messages.filter("demasiado larga").isEmpty());
  form->Cambios();
  dlg->answers = {kAnswerYes};
  form->Guardar1Click();
  EXPECT_TRUE(form->Modified());
  EXPECT_FALSE(dlg->messages.filter("No se han podido guardar los datos").isEmpty());
  form->LBIns->setCurrentRow(0);
  form->SoundsPane.Eliminar1Click();
  EXPECT_EQ(ScratchFolder::Read("datos/Mio.vl2"), before);
}
