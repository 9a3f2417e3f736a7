// Editing the guitar track in the real window: the fretboard and the chord
// grid, chord files through their buttons, the editor box on the tablature,
// the division menu with its undo and the division count buttons.
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <cstring>
#include <filesystem>

#include "gui_fixture.h"
#include "guitar/gtr_file.h"
#include "guitar/render.h"
#include "guitar/track.h"
#include "guitar/window/edit_widgets.h"
#include "guitar/window/tab_chart.h"
#include "rhythm/library_ops.h"

namespace {

class GuitarEditTest : public WindowTest {
 protected:
  // Formula A of 3 beats and B of 4; theme 1 "Solea": A twice, then B
  // (bars of 3, 3 and 4 beats, slots 0..9).
  void Build() {
    Start();
    RhythmTables& rt = *form->Rhythm;
    rt.Formulas[0].SetHeader(3, 0);
    rt.Formulas[1].SetHeader(4, 0);
    for (int i = 0; i < 2; ++i) form->FillFormulaRow(i);
    Tema& th = rt.Temas[0];
    th.SetName("Solea");
    th.entryCount = 2;
    th.formulas[0] = 0;
    th.times[0] = 2;
    th.formulas[1] = 1;
    th.times[1] = 1;
    th.accel[0] = th.accel[1] = 0;
    th.tempos[0] = 120;
    th.tempos[1] = 0;
    th.partsOrder = 0x80;
    th.introEnding = 0;
    form->SGTemas->Select(1, 1);
    form->SGTemasSelectCell(1, 1);
  }
  std::string TrackPath() const {
    std::string p;
    EXPECT_TRUE(GuitarTrackPathOf(form->DataSet.DataSetName, "Solea", &p));
    return p;
  }
  // Solea's file: slot 0 a beat of 4 divisions with notes of fret 5, 7 and 9
  // on the 6th string at divisions 1, 2 and 3; the other slots empty.
  void WriteTrack() {
    std::vector<TiempoG> beats(10, EmptyTiempoG());
    beats[0].divisions = 4;
    for (int k = 1; k <= 3; ++k) {
      beats[0].division[k].fret[0] = static_cast<uint8_t>(3 + 2 * k);
      beats[0].division[k].strength[0] = 6;
    }
    std::filesystem::create_directories(std::filesystem::path(TrackPath()).parent_path());
    std::string err;
    ASSERT_TRUE(WriteBeatFile(TrackPath(), beats.data(), beats.size(), &err)) << err;
  }
  void Open() {
    form->Guitarra1->trigger();
    ASSERT_TRUE(form->Guitarra1->isChecked());
  }
  GuitarState& G() { return *form->Guitar; }
  // The beat at the cursor as the track holds it.
  TiempoG Slot() {
    const std::optional<uint32_t> a = CursorOffset(G());
    EXPECT_TRUE(a.has_value());
    return a ? BeatAt(G(), *a) : EmptyTiempoG();
  }
  QString Cell(int col, int row) { return form->SGAcordes->Cells(col, row); }
  // A click on the fretboard on string s (1..6) in the middle of fret f.
  void ClickFret(int s, int f, Qt::MouseButton b = Qt::LeftButton) {
    const int x = 180 + (FretPosition(f) + FretPosition(f - 1)) / 2;
    QTest::mouseClick(form->MGuitarra, b, {}, QPoint(x, 12 * (6 - s) + 6));
  }
  // A click on the tablature on division d (of n) of string number s, TAB order.
  void ClickTab(int d, int n, int s, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseClick(form->Chart1, b, {}, QPoint(40 + 536 * d / n + 536 / n / 2, 40 + 17 * (s - 1)));
  }
  void Keys(std::initializer_list<Qt::Key> keys, Qt::KeyboardModifiers m = {}) {
    for (Qt::Key k : keys) QTest::keyClick(form->EdFTraste, k, m);
  }
};

}  // namespace

// With the capo at 2 a click on the 5th string at fret 5 writes fret 3 (from
// the capo) into row 5, sounds D (A + 5) and puts the mark at fret 5.
TEST_F(GuitarEditTest, FretboardClickWithCapoWritesTheRowAndSoundsTheNote) {
  Build();
  Open();
  form->SpeedButton21->click();
  form->SpeedButton21->click();
  ASSERT_EQ(G().Capo, 2);
  ClickFret(5, 5);
  EXPECT_EQ(Cell(1, 5), "5");
  EXPECT_EQ(Cell(2, 5), "3");
  EXPECT_EQ(Cell(3, 5), "4");
  EXPECT_EQ(Cell(4, 5), "Normal");
  EXPECT_EQ(Cell(5, 5), QString::number(4 * form->TBRetardo->value()));
  EXPECT_TRUE(Cell(0, 5).startsWith("C")) << Cell(0, 5).toStdString();
  EXPECT_EQ(form->Chords.ChordBuffer.fret[1], 3);
  EXPECT_EQ(form->Chords.ChordBuffer.strength[1], 4);
  QLabel* mark = form->StringNoteLabels[1];  // NotaC5
  EXPECT_EQ(mark->objectName(), "NotaC5");
  EXPECT_FALSE(mark->isHidden());
  EXPECT_EQ(mark->x(), FretPosition(5) + 234);
  EXPECT_EQ(mark->y(), 12 + 60);
  EXPECT_EQ(mark->text(), "C");

  // The note heard is the 5th string 5 semitones up, not 3.
  std::vector<int16_t> d(form->Engine->GuitarBuffer.size()), c(d.size());
  const size_t n = RenderGuitarNote(5, 5, form->GuitarAudio->Tuning, form->GuitarAudio->Bank, d.data(), d.size());
  RenderGuitarNote(5, 3, form->GuitarAudio->Tuning, form->GuitarAudio->Bank, c.data(), c.size());
  ASSERT_GT(n, 0u);
  EXPECT_TRUE(std::equal(d.begin(), d.begin() + static_cast<long>(n), form->Engine->GuitarBuffer.begin()));
  EXPECT_FALSE(std::equal(c.begin(), c.begin() + static_cast<long>(n), form->Engine->GuitarBuffer.begin()));

  // The hint counts from the capo; a right click takes the string out.
  form->MGuitarraMouseMove(180 + FretPosition(5) + 2, 18);
  EXPECT_EQ(form->MGuitarra->toolTip(), "C5 T3");
  ClickFret(5, 5, Qt::RightButton);
  EXPECT_EQ(Cell(1, 5), " ");
  EXPECT_EQ(Cell(2, 5), "");
  EXPECT_EQ(Cell(4, 5), "Normal");
  EXPECT_EQ(form->Chords.ChordBuffer.strength[1], 0);
  EXPECT_TRUE(mark->isHidden());
}

// A click on the tablature opens the box; "1", "5" gives fret 15 of strength
// 4 in the track, the box shows it and STCtrl tells it while Ctrl is held.
TEST_F(GuitarEditTest, TypingIntoTheEditorBoxWritesTheTrack) {
  Build();
  WriteTrack();
  Open();
  ClickTab(0, 4, 1);
  ASSERT_FALSE(form->EdFTraste->isHidden());
  EXPECT_EQ(form->Editor.EditDivision, 0);
  EXPECT_EQ(form->Editor.EditString, 5);
  EXPECT_EQ(form->EdFTraste->pos(), QPoint(40, 32));
  EXPECT_EQ(form->Chart1->toolTip(), "( Parte 1, Cuerda 1)");
  Keys({Qt::Key_1, Qt::Key_5});
  EXPECT_EQ(Slot().division[0].fret[5], 15);
  EXPECT_EQ(Slot().division[0].strength[5], 4);
  EXPECT_EQ(form->EdFTraste->text(), "15");
  EXPECT_FALSE(form->BGuardaG->isHidden());
  // Drawn on the tablature as "15" on string 1.
  bool drawn = false;
  for (const ChartPoint& p : form->Chart1->Series[0].points) drawn |= p.label == "15" && p.y == 1.0f;
  EXPECT_TRUE(drawn);

  QTest::keyPress(form->EdFTraste, Qt::Key_Control, Qt::ControlModifier);
  EXPECT_FALSE(form->STCtrl->isHidden());
  Keys({Qt::Key_Up}, Qt::ControlModifier);
  EXPECT_EQ(Slot().division[0].strength[5], 5);
  EXPECT_EQ(form->STCtrl->text(), "F5 R0% Normal");
  QTest::keyRelease(form->EdFTraste, Qt::Key_Control, {});
  EXPECT_TRUE(form->STCtrl->isHidden());

  // L marks the note legato; Delete silences it; Right moves the box on.
  Keys({Qt::Key_L});
  EXPECT_EQ(Slot().division[0].mode[5], 1);
  Keys({Qt::Key_Delete});
  EXPECT_EQ(Slot().division[0].strength[5], 0);
  EXPECT_EQ(form->EdFTraste->text(), "");
  Keys({Qt::Key_Right});
  EXPECT_EQ(form->Editor.EditDivision, 1);
  EXPECT_EQ(form->EdFTraste->x(), 40 + 536 / 4);
  // Enter hides the box; moving to another beat keeps it hidden.
  Keys({Qt::Key_Return});
  EXPECT_TRUE(form->EdFTraste->isHidden());
}

// While a theme plays (or is paused) clicks and keys leave the track alone.
TEST_F(GuitarEditTest, EditingIsIgnoredWhilePlaying) {
  Build();
  WriteTrack();
  Open();
  ClickTab(0, 4, 1);
  ASSERT_FALSE(form->EdFTraste->isHidden());
  const TiempoG before = Slot();
  for (int state : {1, 2}) {
    form->Work->Engine->PlayState = state;
    Keys({Qt::Key_7, Qt::Key_Delete, Qt::Key_R, Qt::Key_3});
    Keys({Qt::Key_3}, Qt::KeypadModifier);
    ClickTab(2, 4, 3);
    form->SpeedButton19->click();
    ClickFret(4, 2);
    form->Work->Engine->PlayState = 0;
    EXPECT_EQ(std::memcmp(&before, &G().CurrentTiempoG, sizeof before), 0) << state;
    const TiempoG now = Slot();
    EXPECT_EQ(std::memcmp(&before, &now, sizeof before), 0) << state;
    EXPECT_EQ(form->Editor.EditDivision, 0);
    EXPECT_EQ(Cell(2, 4), "");
  }
  EXPECT_TRUE(form->BGuardaG->isHidden());
}

// The division menu: its captions in both languages, paste and undo of a
// chord, copy of a division into the grid, empty and the chord buttons.
TEST_F(GuitarEditTest, DivisionMenuCopiesPastesAndUndoes) {
  Build();
  WriteTrack();
  Open();
  const QStringList captions = {"Copiar", "Pegar", "Invertir retardo", "Vaciar", "Deshacer"};
  auto shown = [&] {
    QStringList c;
    for (QAction* a : form->PopupMenu7->actions()) c << a->text();
    return c;
  };
  ClickTab(2, 4, 6, Qt::RightButton);
  EXPECT_TRUE(form->PopupMenu7->isVisible());
  form->PopupMenu7->hide();
  EXPECT_EQ(form->Editor.SelectedDivision, 2);
  EXPECT_EQ(shown(), captions);
  form->Ingls1Click();
  EXPECT_EQ(shown(), QStringList({"Copy", "Paste", "Invert delay", "Empty", "Undo"}));
  form->Espaol1Click();
  EXPECT_EQ(shown(), captions);

  // A chord of strings 4 and 3 pasted over division 2, then undone.
  ClickFret(4, 2);
  ClickFret(3, 2);
  const TiempoG original = Slot();
  form->Pegar1->trigger();
  EXPECT_EQ(Slot().division[2].fret[2], 2);    // 4th string
  EXPECT_EQ(Slot().division[2].strength[2], 4);
  EXPECT_EQ(Slot().division[2].strength[0], 0);  // the 6th string's note of fret 7 is gone
  EXPECT_FALSE(form->BGuardaG->isHidden());
  form->Deshacer1->trigger();
  const TiempoG undone = Slot();
  EXPECT_EQ(std::memcmp(&original, &undone, sizeof original), 0);

  // Copy of division 3 (fret 9 on the 6th string): row 6 in TAB order.
  ClickTab(3, 4, 6, Qt::RightButton);
  form->PopupMenu7->hide();
  form->Copiar1->trigger();
  EXPECT_EQ(Cell(2, 6), "9");
  EXPECT_EQ(Cell(3, 6), "6");
  EXPECT_EQ(Cell(1, 6), "6");
  EXPECT_EQ(Cell(3, 4), "");  // the 4th string is not in that division
  EXPECT_EQ(form->Chords.ChordBuffer.fret[0], 9);

  // Empty, then the paste button puts the chord into the first division
  // while the box is hidden.
  form->Vaciar1->trigger();
  EXPECT_EQ(Slot().division[3].strength[0], 0);
  EXPECT_EQ(Slot().division[3].fret[0], 0);
  form->SpeedButton15->click();
  EXPECT_EQ(Slot().division[0].fret[0], 9);
  EXPECT_EQ(Slot().division[0].strength[0], 6);
  // The copy button takes the division under the box.
  ClickTab(1, 4, 6);
  form->SpeedButton16->click();
  EXPECT_EQ(Cell(2, 6), "5");
}

// The division buttons re-quantise the beat: 4 -> 3 puts the notes of
// divisions 1, 2, 3 at 0, 1, 2 with delays 75, 50, 25; 3 -> 4 brings them back.
TEST_F(GuitarEditTest, DivisionButtonsRequantiseTheBeat) {
  Build();
  WriteTrack();
  Open();
  ClickTab(1, 4, 6);
  form->SpeedButton19->click();
  EXPECT_TRUE(form->EdFTraste->isHidden());
  EXPECT_EQ(form->LGPartes->text(), "3");
  TiempoG t = Slot();
  EXPECT_EQ(t.divisions, 3);
  const int frets[] = {5, 7, 9}, delays[] = {75, 50, 25};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(t.division[k].fret[0], frets[k]) << k;
    EXPECT_EQ(t.division[k].strength[0], 6) << k;
    EXPECT_EQ(t.division[k].delay[0], delays[k]) << k;
  }
  EXPECT_FALSE(form->BGuardaG->isHidden());
  form->SpeedButton20->click();
  t = Slot();
  EXPECT_EQ(t.divisions, 4);
  EXPECT_EQ(form->LGPartes->text(), "4");
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(t.division[k].fret[0], frets[k - 1]) << k;
    EXPECT_EQ(t.division[k].delay[0], 0) << k;
  }
  // 4 -> 1 would put three notes of one string into one division: refused.
  ClickTab(0, 4, 6);
  Keys({Qt::Key_1}, Qt::KeypadModifier);
  EXPECT_EQ(Slot().divisions, 4);
  // Keypad 0 sets 10 divisions.
  ClickTab(0, 4, 6);
  Keys({Qt::Key_0}, Qt::KeypadModifier);
  EXPECT_EQ(Slot().divisions, 10);
}

// A chord saved through its button (".aco" added) comes into the list and
// loads back through the list, also after the grid was emptied.
TEST_F(GuitarEditTest, ChordSavedAndLoadedThroughTheButtons) {
  Build();
  Open();
  ClickFret(5, 3);
  ClickFret(4, 2);
  ClickFret(3, 0);
  form->TBFuerza->setValue(6);
  std::vector<QString> saved;
  for (int r = 1; r <= 6; ++r)
    for (int c = 0; c < 6; ++c) saved.push_back(Cell(c, r));
  EXPECT_EQ(Cell(3, 5), "6");

  QDir().mkpath("Acordes");
  form->CBAcordes->setEditText("Do mayor");
  dlg->saveNames = {QDir::currentPath() + "/Acordes/Do"};
  form->BGuardaAcorde->click();
  ASSERT_EQ(dlg->fileRequests.size(), 1u);
  EXPECT_EQ(dlg->fileRequests[0].defaultName, "Do mayor.aco");
  EXPECT_EQ(dlg->fileRequests[0].initialDir, QDir::currentPath() + "/Acordes");
  EXPECT_EQ(dlg->fileRequests[0].filter, "Archivos de acordes|*.aco");
  ASSERT_TRUE(std::filesystem::exists("Acordes/Do.aco"));
  const int index = form->CBAcordes->findText("Do");
  ASSERT_GE(index, 0);

  // A cancelled dialog writes nothing.
  auto files = [] {
    return std::distance(std::filesystem::directory_iterator("Acordes"), std::filesystem::directory_iterator());
  };
  const auto count = files();
  form->BGuardaAcorde->click();
  EXPECT_EQ(files(), count);

  for (int s : {5, 4, 3}) ClickFret(s, 1, Qt::RightButton);
  EXPECT_EQ(form->Chords.ChordBuffer.strength[1], 0);
  form->CBAcordes->setCurrentIndex(index);
  emit form->CBAcordes->activated(index);
  // The strings of the chord come back whole; the others stay silent (the
  // file gives every string a mode, shown as its caption).
  for (int r = 1; r <= 6; ++r)
    for (int c = 0; c < 6; ++c)
      if ((r >= 3 && r <= 5) || c == 2 || c == 3) {
        EXPECT_EQ(Cell(c, r), saved[static_cast<size_t>((r - 1) * 6 + c)]) << c << "," << r;
      }
  EXPECT_EQ(form->Chords.ChordBuffer.fret[1], 3);
  EXPECT_EQ(form->Chords.ChordBuffer.strength[1], 6);
  EXPECT_FALSE(form->StringNoteLabels[1]->isHidden());
}

// The fill button lies under its cover until beats are marked; then the
// marked beats take the chord's frets on the strings it plays, and their
// other notes fall silent, each note keeping its place.
TEST_F(GuitarEditTest, FillMarkedBeatsWithTheChord) {
  Build();
  std::vector<TiempoG> beats(10, EmptyTiempoG());
  for (int b = 0; b < 2; ++b) {
    beats[static_cast<size_t>(b)].divisions = 2;
    DivisionG& d = beats[static_cast<size_t>(b)].division[1];
    d.fret[1] = 7;      // 5th string
    d.strength[1] = 5;
    d.delay[1] = 30;
    d.fret[5] = 8;      // 1st string
    d.strength[5] = 3;
  }
  std::filesystem::create_directories(std::filesystem::path(TrackPath()).parent_path());
  std::string err;
  ASSERT_TRUE(WriteBeatFile(TrackPath(), beats.data(), beats.size(), &err)) << err;
  Open();
  for (int s = 5; s >= 2; --s) ClickFret(s, 2);
  EXPECT_FALSE(form->TapaRellena->isHidden());
  // Two beats marked in the strip below the bar view's strings.
  const QRect plot = form->Chart2->Plot();
  const int w = plot.width() / G().GuitarBeatsInBar;
  QTest::mouseClick(form->Chart2, Qt::LeftButton, {}, QPoint(plot.left() + w + w / 2, 104));
  ASSERT_EQ(G().MarkedBeats, 2);
  EXPECT_TRUE(form->TapaRellena->isHidden());
  form->RellenaAcorde->click();
  for (uint32_t slot = 0; slot < 3; ++slot) {
    const DivisionG& d = BeatAt(G(), slot * kBeatBytes).division[1];
    if (slot < 2) {
      EXPECT_EQ(d.fret[1], 2) << slot;
      EXPECT_EQ(d.strength[1], 5) << slot;
      EXPECT_EQ(d.delay[1], 30) << slot;
      EXPECT_EQ(d.strength[5], 0) << slot;
    } else {
      EXPECT_EQ(d.strength[1], 0) << slot;  // beyond the marks nothing changes
    }
  }
  EXPECT_EQ(G().CurrentTiempoG.division[1].fret[1], 2);
  EXPECT_FALSE(form->BGuardaG->isHidden());
}

// The mode chooser over the mode column, the language of the mode captions
// and the orientation switch, which turns the grid's rows round.
TEST_F(GuitarEditTest, ModeChooserLanguageAndOrientation) {
  Build();
  Open();
  ClickFret(2, 3);
  form->SGAcordes->Select(4, 2);
  form->SGAcordesSelectCell(4, 2);
  EXPECT_FALSE(form->CBModo->isHidden());
  form->CBModo->setCurrentIndex(1);
  emit form->CBModo->activated(1);
  EXPECT_EQ(Cell(4, 2), "Ligado");
  EXPECT_EQ(form->Chords.ChordBuffer.mode[4], 1);
  form->SGAcordesSelectCell(3, 2);
  EXPECT_TRUE(form->CBModo->isHidden());

  form->Ingls1Click();
  EXPECT_EQ(Cell(4, 2), "Legato");
  EXPECT_EQ(Cell(3, 0), "Strong");
  EXPECT_EQ(form->Chords.ChordBuffer.mode[4], 1);
  form->Espaol1Click();
  EXPECT_EQ(Cell(4, 2), "Ligado");

  form->CBTab->click();
  EXPECT_EQ(Cell(1, 5), "2");
  EXPECT_EQ(Cell(2, 5), "3");
  EXPECT_EQ(Cell(2, 2), "");
  // A click on the 2nd string now writes row 5.
  ClickFret(2, 4);
  EXPECT_EQ(Cell(2, 5), "4");
  form->CBTab->click();
  EXPECT_EQ(Cell(2, 2), "4");
}

// Ctrl+S saves the set from anywhere in the window, except while the note
// editor has the keyboard: there Ctrl+S and Ctrl+G save the guitar track.
TEST_F(GuitarEditTest, CtrlSSavesTheSetExceptInTheNoteEditor) {
  Build();
  WriteTrack();
  Open();
  form->show();
  QApplication::setActiveWindow(form.get());
  form->activateWindow();
  QApplication::processEvents();
  EXPECT_EQ(form->Guardar1->shortcut(), QKeySequence(QKeySequence::Save));
  QSignalSpy setSaves(form->Guardar1, &QAction::triggered);
  ClickTab(0, 4, 1);
  ASSERT_FALSE(form->EdFTraste->isHidden());
  QApplication::processEvents();
  if (!form->EdFTraste->hasFocus()) GTEST_SKIP() << "no focus on this platform";
  const qsizetype asked = dlg->questions.size();
  for (Qt::Key k : {Qt::Key_S, Qt::Key_G}) {
    dlg->answers = {kAnswerNo};
    QTest::keyClick(form->EdFTraste, k, Qt::ControlModifier);
  }
  EXPECT_EQ(setSaves.count(), 0);
  ASSERT_EQ(dlg->questions.size(), asked + 2);
  EXPECT_TRUE(dlg->questions.last().contains("guitarra")) << dlg->questions.last().toStdString();
  // Elsewhere Ctrl+S is the set's save.
  form->SGTemas->setFocus();
  QApplication::processEvents();
  dlg->answers = {kAnswerNo};
  QTest::keyClick(form->SGTemas, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(setSaves.count(), 1);
  EXPECT_FALSE(dlg->questions.last().contains("guitarra"));  // the set's own question, if any
}
