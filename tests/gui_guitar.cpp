// The guitar panel in the real window: opening and closing on a theme with
// the save question, the beat and bar views, moving through the track,
// marking beats, the beat and bar menu, templates, and the view following
// playback.
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QComboBox>
#include <QScrollBar>
#include <QSettings>
#include <QSlider>
#include <QTest>
#include <cstring>
#include <filesystem>

#include "gui_fixture.h"
#include "guitar/gtr_file.h"
#include "guitar/track.h"
#include "guitar/window/edit_widgets.h"
#include "guitar/window/tab_chart.h"
#include "platform/audio/tick.h"
#include "rhythm/library_ops.h"

namespace {

// A beat told apart by its marker: fret m of strength 7 on the 6th string
// of its first division.
TiempoG Marked(int m) {
  TiempoG t = EmptyTiempoG();
  t.division[0].fret[0] = static_cast<uint8_t>(m);
  t.division[0].strength[0] = 7;
  return t;
}
int MarkerOf(const TiempoG& t) { return t.division[0].strength[0] ? t.division[0].fret[0] : 0; }

struct Cursor {
  int bar, beat;
  bool operator==(const Cursor&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Cursor& c) { return os << "(" << c.bar << "," << c.beat << ")"; }

class GuitarPanelTest : public WindowTest {
 protected:
  // Formula A of 3 beats, B of 4 beats and Z of no beats. Theme 1 "Solea":
  // A twice, then B: bars of 3, 3 and 4 beats, slots 0..9. Theme 2
  // "Rumba/Tango": B once.
  void Build(int intro = 0) {
    Start();
    RhythmTables& rt = *form->Rhythm;
    rt.Formulas[0].SetHeader(3, 0);
    rt.Formulas[1].SetHeader(4, 0);
    rt.Formulas[2].SetHeader(0, 0);
    for (int i = 0; i < 3; ++i) form->FillFormulaRow(i);
    SetTheme(0, "Solea", {{0, 2}, {1, 1}}, intro);
    SetTheme(1, "Rumba/Tango", {{1, 1}});
    SelectTheme(1);
    form->OnGuitarAudition = [this] { ++auditions; };
  }
  void SetTheme(int t, const std::string& name, const std::vector<std::pair<int, int>>& entries, int intro = 0) {
    Tema& th = form->Rhythm->Temas[static_cast<size_t>(t)];
    th.SetName(name);
    th.entryCount = static_cast<uint16_t>(entries.size());
    for (size_t e = 0; e < entries.size(); ++e) {
      th.formulas[e] = static_cast<uint16_t>(entries[e].first);
      th.times[e] = static_cast<uint8_t>(entries[e].second);
      th.accel[e] = 0;
      th.tempos[e] = e == 0 ? 120 : 0;
    }
    th.partsOrder = 0x80;
    th.introEnding = static_cast<uint8_t>(intro * 16);
  }
  void SelectTheme(int row) {
    form->SGTemas->Select(1, row);
    form->SGTemasSelectCell(1, row);
  }
  std::string PathOf(const std::string& theme) const {
    std::string p;
    EXPECT_TRUE(GuitarTrackPathOf(form->DataSet.DataSetName, theme, &p));
    return p;
  }
  // Solea's file with the slots numbered 1..10.
  void WriteNumberedTrack() {
    std::vector<TiempoG> beats;
    for (int i = 1; i <= 10; ++i) beats.push_back(Marked(i));
    std::filesystem::create_directories(std::filesystem::path(PathOf("Solea")).parent_path());
    std::string err;
    ASSERT_TRUE(WriteBeatFile(PathOf("Solea"), beats.data(), beats.size(), &err)) << err;
  }
  void Open() {
    ASSERT_FALSE(form->Guitarra1->isChecked());
    form->Guitarra1->trigger();
    ASSERT_TRUE(form->Guitarra1->isChecked());
  }
  GuitarState& G() { return *form->Guitar; }
  Cursor At() { return {G().GuitarBar, G().GuitarBeat}; }
  // The working beat is the slot at the cursor.
  int CursorSlotMarker() {
    const std::optional<uint32_t> a = CursorOffset(G());
    return a ? MarkerOf(BeatAt(G(), *a)) : -1;
  }
  QColor LabelColour(QLabel* l) {
    QCoreApplication::processEvents();
    return l->grab().toImage().pixelColor(l->width() - 2, l->height() / 2);
  }
  // A click on the bar view at the middle of beat b (0-based), in the
  // strings (strip false) or in the strip of beat numbers below them.
  void ClickBeat(int b, bool strip, Qt::MouseButton button = Qt::LeftButton) {
    const QRect plot = form->Chart2->Plot();
    const int w = plot.width() / std::max(1, G().GuitarBeatsInBar);
    QTest::mouseClick(form->Chart2, button, {}, QPoint(plot.left() + b * w + w / 2, strip ? 104 : 40));
  }
  const ChartSeries& Marks() { return form->Chart2->Series[2]; }
  const ChartSeries& Marker() { return form->Chart2->Series[1]; }

  int auditions = 0;
};

}  // namespace

TEST_F(GuitarPanelTest, OpenCloseAsksToSaveAndColoursTheFileLabel) {
  Build();
  Open();
  EXPECT_FALSE(form->PanelGuitarra->isHidden());
  EXPECT_EQ(form->LFGuitarra->text(), "Solea.gtr");
  EXPECT_EQ(form->LFGuitarra->toolTip().toStdString(), PathOf("Solea"));
  EXPECT_EQ(LabelColour(form->LFGuitarra), QColor(255, 0, 0));  // no file yet
  EXPECT_EQ(G().GuitarBarCount, 3);
  EXPECT_EQ(G().GuitarTrack.size(), 10u);
  EXPECT_EQ(form->LGCompas->text(), "  1/  3");
  EXPECT_EQ(form->LGTiempo->text(), "  1/  3");
  EXPECT_EQ(form->SBCompas->maximum(), 3);
  EXPECT_TRUE(form->BGuardaG->isHidden());
  EXPECT_FALSE(form->TapaRecG->isHidden());
  EXPECT_TRUE(form->Engine->Controls.GuitarOn);

  // A change shows the save button; closing asks, No writes nothing.
  form->Insertartiempo1Click();
  EXPECT_FALSE(form->BGuardaG->isHidden());
  EXPECT_TRUE(form->TapaRecG->isHidden());
  dlg->answers = {kAnswerNo};
  form->Guitarra1->trigger();
  EXPECT_TRUE(form->PanelGuitarra->isHidden());
  EXPECT_FALSE(form->Guitarra1->isChecked());
  EXPECT_FALSE(form->Engine->Controls.GuitarOn);
  ASSERT_EQ(dlg->questions.size(), 1);
  EXPECT_EQ(dlg->questions[0], QString::fromUtf8(" ¿ Quiere guardar el tema de guitarra Solea.gtr"));
  EXPECT_EQ(dlg->questionCaptions[0], QString());
  EXPECT_FALSE(std::filesystem::exists(PathOf("Solea")));
  EXPECT_TRUE(G().GuitarBars.empty());

  // Opened again the track is read anew; Yes writes it, 64 bytes a beat.
  Open();
  EXPECT_TRUE(form->BGuardaG->isHidden());
  form->Insertartiempo1Click();
  dlg->answers = {kAnswerYes};
  form->Guitarra1->trigger();
  ASSERT_EQ(dlg->questions.size(), 2);
  ASSERT_TRUE(std::filesystem::exists(PathOf("Solea")));
  EXPECT_EQ(std::filesystem::file_size(PathOf("Solea")), 11u * 64u);

  // The file exists now: blue, and an unchanged track closes without a question.
  Open();
  EXPECT_EQ(LabelColour(form->LFGuitarra), QColor(0, 64, 128));
  EXPECT_EQ(G().GuitarTrack.size(), 11u);
  form->Guitarra1->trigger();
  EXPECT_EQ(dlg->questions.size(), 2);
}

TEST_F(GuitarPanelTest, ThemeChangeSavesTheTrackUnderItsOwnThemesName) {
  Build();
  Open();
  form->Insertartiempo1Click();
  dlg->answers = {kAnswerYes};
  SelectTheme(2);
  ASSERT_EQ(dlg->questions.size(), 1);
  EXPECT_EQ(dlg->questions[0], QString::fromUtf8(" ¿ Quiere guardar el tema de guitarra Solea.gtr"));
  EXPECT_TRUE(std::filesystem::exists(PathOf("Solea")));
  // Reopened on the new theme, whose name loses its slash.
  EXPECT_TRUE(form->Guitarra1->isChecked());
  EXPECT_EQ(form->Rhythm->Temas[1].Name(), "Rumba Tango");
  EXPECT_EQ(form->LFGuitarra->text(), "Rumba Tango.gtr");
  EXPECT_FALSE(std::filesystem::exists(PathOf("Rumba Tango")));
  EXPECT_EQ(G().GuitarBarCount, 1);
  EXPECT_EQ(G().GuitarBeatsInBar, 4);
}

TEST_F(GuitarPanelTest, ButtonsMoveThroughTheTrackAndStopAtBothEnds) {
  Build();
  WriteNumberedTrack();
  Open();
  struct Step {
    void (TMainForm::*button)();
    Cursor after;
    bool audition;  // the beat buttons audition a beat they move to
  };
  const Step steps[] = {
      {&TMainForm::SpeedButton18Click, {1, 1}, false},  // first beat of the track: nothing
      {&TMainForm::SpeedButton13Click, {1, 1}, false},  // no bar before 1
      {&TMainForm::SpeedButton17Click, {1, 2}, true},
      {&TMainForm::SpeedButton17Click, {1, 3}, true},
      {&TMainForm::SpeedButton17Click, {2, 1}, true},   // last beat of bar 1 -> first of bar 2
      {&TMainForm::SpeedButton18Click, {1, 3}, true},   // and back to the last of bar 1
      {&TMainForm::SpeedButton14Click, {2, 1}, false},  // bars show their first beat, silently
      {&TMainForm::SpeedButton17Click, {2, 2}, true},
      {&TMainForm::SpeedButton14Click, {3, 1}, false},
      {&TMainForm::SpeedButton14Click, {3, 1}, false},  // no bar after the last
      {&TMainForm::SpeedButton17Click, {3, 2}, true},
      {&TMainForm::SpeedButton17Click, {3, 3}, true},
      {&TMainForm::SpeedButton17Click, {3, 4}, true},
      {&TMainForm::SpeedButton17Click, {3, 4}, false},  // last beat of the track: nothing
      {&TMainForm::SpeedButton13Click, {2, 1}, false},
  };
  const int slotOf[4] = {0, 0, 3, 6};  // first slot of bars 1..3
  for (const Step& s : steps) {
    const int before = auditions;
    (form.get()->*s.button)();
    const Cursor now = At();
    EXPECT_EQ(now, s.after);
    EXPECT_EQ(auditions - before, s.audition ? 1 : 0) << s.after;
    EXPECT_EQ(MarkerOf(G().CurrentTiempoG), slotOf[now.bar] + now.beat) << s.after;
    EXPECT_EQ(form->SBCompas->value(), now.bar);
    EXPECT_EQ(form->LGCompas->text(), QString::asprintf("%3d/%3d", now.bar, 3));
  }
  EXPECT_EQ(form->LGTiempo->text(), "  1/  3");
  // The scroll bar shows the first beat of the bar scrolled to.
  form->SBCompas->setValue(3);
  EXPECT_EQ(At(), (Cursor{3, 1}));
  EXPECT_EQ(MarkerOf(G().CurrentTiempoG), 7);
  EXPECT_EQ(form->LGTiempo->text(), "  1/  4");
  EXPECT_EQ(form->Chart2->BottomMax, 4);
}

TEST_F(GuitarPanelTest, BothViewsDrawTheNotesAtTheirPlaces) {
  Build();
  Open();
  TiempoG t = EmptyTiempoG();
  t.divisions = 4;
  auto note = [&](int div, int string, int fret, int mode, int delay, int strength = 4) {
    DivisionG& d = t.division[div];
    d.fret[string] = static_cast<uint8_t>(fret);
    d.strength[string] = static_cast<uint8_t>(strength);
    d.mode[string] = mode;
    d.delay[string] = static_cast<uint8_t>(delay);
  };
  note(0, 5, 7, kModeLigado, 0);
  note(1, 0, 3, kModeTapado, 0);
  note(2, 1, 5, kModeSilencio, 0);
  note(3, 2, 9, kModeNormal, 50);
  note(3, 3, 2, kModeNormal, 0, /*strength=*/0);  // not drawn
  note(0, 4, 9, kModeNormal, 0);                  // same place as the delayed note, delay 0
  G().GuitarTrack[1] = t;
  form->SpeedButton17Click();  // beat 2 of bar 1

  const ChartSeries& tab = form->Chart1->Series[0];
  ASSERT_EQ(tab.points.size(), 5u);
  auto find = [](const ChartSeries& s, const QString& label) {
    for (const ChartPoint& p : s.points)
      if (p.label == label) return p;
    ADD_FAILURE() << "no point " << label.toStdString();
    return ChartPoint{};
  };
  EXPECT_EQ(find(tab, "L7").y, 1.0f);  // on the line of string 1
  EXPECT_EQ(find(tab, "T").y, 6.0f);
  EXPECT_EQ(find(tab, "S").y, 5.0f);
  EXPECT_TRUE(form->Chart1->Series[0].markOnPoint);  // the label stands on the line, not above it
  EXPECT_TRUE(form->Chart2->Series[0].markOnPoint);
  const float d = 4 * 0.4f / 24;
  EXPECT_FLOAT_EQ(find(tab, "L7").x, 0 + d);
  EXPECT_FLOAT_EQ(find(tab, "9").x - d, 0.0f);  // division 0 (the one of delay 0 is found first)
  // Delay 50 on a beat of 4 divisions: half a division to the right.
  float delayed = 0;
  for (const ChartPoint& p : tab.points)
    if (p.label == "9" && p.x > 1) delayed = p.x;
  EXPECT_FLOAT_EQ(delayed - 3, d + 0.5f);
  for (const ChartPoint& p : tab.points) EXPECT_EQ(p.color, QColor(0, 0, 255));
  EXPECT_EQ(form->Chart1->BottomLabels(), (QStringList{"1", "2", "3", "4", ""}));
  EXPECT_EQ(form->LGPartes->text(), "4");

  // The bar view: frets only, beat 2 of 3 from x = 1; delay 50 is an eighth of a beat.
  const ChartSeries& bar = form->Chart2->Series[0];
  ASSERT_EQ(bar.points.size(), 5u);
  const float m = 3 * 0.09f / 12;
  EXPECT_FLOAT_EQ(find(bar, "7").x, 1 + m);
  EXPECT_FLOAT_EQ(find(bar, "3").x, 1 + 0.25f + m);
  EXPECT_FLOAT_EQ(find(bar, "5").y, 5.0f);
  float barDelayed = 0;
  for (const ChartPoint& p : bar.points)
    if (p.label == "9" && p.x > 1.5f) barDelayed = p.x;
  EXPECT_FLOAT_EQ(barDelayed, 1 + 0.75f + 0.125f + m);
  EXPECT_EQ(form->Chart2->BottomLabels(), (QStringList{"1", "2", "3", ""}));
  // The beat marker at the left edge of beat 2, its number below the strings.
  ASSERT_EQ(Marker().points.size(), 2u);
  EXPECT_EQ(Marker().points[0].x, 1.0f);
  EXPECT_EQ(Marker().points[0].y, 8.05f);
  EXPECT_EQ(Marker().points[0].label, "2");
  EXPECT_EQ(Marker().markColor, QColor(0, 255, 0));
  // The beat's number turns red when the beat's accent box is ticked.
  form->AccentBoxes[1]->setChecked(true);
  form->RefrescaTG();
  EXPECT_EQ(Marker().markColor, QColor(255, 0, 0));
  form->AccentBoxes[1]->setChecked(false);

  // A beat without sounding notes draws nothing; its divisions are still numbered.
  G().GuitarTrack[2] = EmptyTiempoG();
  G().GuitarTrack[2].divisions = 3;
  G().GuitarTrack[2].division[1].fret[2] = 5;  // strength 0
  form->SpeedButton17Click();
  EXPECT_TRUE(form->Chart1->Series[0].points.empty());
  EXPECT_EQ(form->Chart1->BottomLabels(), (QStringList{"1", "2", "3", ""}));
}

TEST_F(GuitarPanelTest, TabTurnsBothAxesAndBack) {
  Build();
  Open();
  G().GuitarTrack[0] = Marked(5);
  form->MiUDTiemposClick();
  ASSERT_TRUE(form->CBTab->isChecked());
  EXPECT_TRUE(form->Chart1->LeftInverted);
  EXPECT_TRUE(form->Chart2->LeftInverted);
  EXPECT_EQ(form->Chart1->Series[0].points[0].y, 6.0f);
  form->CBTab->click();
  EXPECT_FALSE(form->Chart1->LeftInverted);
  EXPECT_FALSE(form->Chart2->LeftInverted);
  EXPECT_EQ(form->Chart1->Series[0].points[0].y, 6.0f);
  EXPECT_FLOAT_EQ(form->Chart2->Series[0].points[0].y, 6.0f);
  ASSERT_EQ(Marker().points.size(), 2u);
  EXPECT_EQ(Marker().points[0].y, -1.05f);
  EXPECT_EQ(Marker().points[1].y, 7.0f);
  // Unticked, string 1 stands at the bottom of the chart.
  EXPECT_GT(form->Chart1->ToPixel(0, 1).y(), form->Chart1->ToPixel(0, 6).y());
  form->CBTab->click();
  EXPECT_TRUE(form->Chart1->LeftInverted);
  EXPECT_TRUE(form->Chart2->LeftInverted);
  EXPECT_LT(form->Chart1->ToPixel(0, 1).y(), form->Chart1->ToPixel(0, 6).y());
  EXPECT_EQ(form->Chart1->Series[0].points[0].y, 6.0f);
  EXPECT_EQ(Marker().points[0].y, 8.05f);
}

TEST_F(GuitarPanelTest, ClicksBelowTheStringsMarkARunOfBeats) {
  Build();
  Open();
  form->SpeedButton14Click();
  form->SpeedButton14Click();  // bar 3, 4 beats
  ASSERT_EQ(G().GuitarBeatsInBar, 4);
  EXPECT_FALSE(form->TapaRellena->isHidden());
  EXPECT_FALSE(form->TapaRecPlantilla->isHidden());

  ClickBeat(0, true);  // the current beat: one beat
  EXPECT_EQ(G().MarkedBeats, 1);
  ASSERT_EQ(Marks().points.size(), 2u);
  EXPECT_EQ(Marks().points[0].label, ">1");
  EXPECT_EQ(Marks().points[0].x, 1.0f);  // the right edge of the clicked beat
  EXPECT_TRUE(form->TapaRellena->isHidden());
  EXPECT_TRUE(form->TapaRecPlantilla->isHidden());

  ClickBeat(3, true);  // the third beat after it: four beats
  EXPECT_EQ(G().MarkedBeats, 4);
  ASSERT_EQ(Marks().points.size(), 2u);
  EXPECT_EQ(Marks().points[0].label, ">4");
  EXPECT_EQ(Marks().points[0].x, 4.0f);

  // A click on the strings moves to that beat and clears the marks.
  const int before = auditions;
  ClickBeat(2, false);
  EXPECT_EQ(At(), (Cursor{3, 3}));
  EXPECT_EQ(auditions, before + 1);
  EXPECT_EQ(G().MarkedBeats, 0);
  EXPECT_TRUE(Marks().points.empty());
  EXPECT_FALSE(form->TapaRellena->isHidden());

  // A beat before the current one marks nothing, and the old mark goes.
  ClickBeat(3, true);
  EXPECT_EQ(G().MarkedBeats, 2);
  ClickBeat(1, true);
  EXPECT_EQ(G().MarkedBeats, 0);
  EXPECT_TRUE(Marks().points.empty());
  EXPECT_FALSE(form->TapaRecPlantilla->isHidden());

  // Moving to another beat also removes the mark.
  ClickBeat(3, true);
  EXPECT_EQ(G().MarkedBeats, 2);
  form->SpeedButton18Click();
  EXPECT_EQ(G().MarkedBeats, 0);
  EXPECT_TRUE(Marks().points.empty());
}

TEST_F(GuitarPanelTest, ClicksOutsideTheBeatsOrOnABarWithoutBeatsDoNothing) {
  Build();
  // Theme 1 becomes A once, then a formula of no beats, then A.
  SetTheme(0, "Solea", {{0, 1}, {2, 1}, {0, 1}});
  SelectTheme(1);
  Open();
  ASSERT_EQ(G().GuitarBarCount, 3);
  auto nothingHappens = [&](QPoint at, Qt::MouseButton button) {
    const Cursor before = At();
    const int heard = auditions;
    QTest::mouseClick(form->Chart2, button, {}, at);
    EXPECT_EQ(At(), before) << at.x() << "," << at.y();
    EXPECT_EQ(auditions, heard);
    EXPECT_EQ(G().MarkedBeats, 0);
    EXPECT_FALSE(form->PopupMenu6->isVisible());
  };
  const QRect plot = form->Chart2->Plot();
  form->SpeedButton17Click();  // bar 1, beat 2 of 3
  for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
    nothingHappens({plot.left() - 5, 40}, button);   // left margin
    nothingHappens({plot.left() - 5, 104}, button);
    nothingHappens({plot.right() + 5, 40}, button);  // right margin
    nothingHappens({plot.right() + 5, 104}, button);
  }
  form->SpeedButton14Click();  // the bar without beats
  ASSERT_EQ(G().GuitarBar, 2);
  ASSERT_EQ(G().GuitarBeatsInBar, 0);
  for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton})
    for (int x : {plot.left() + 1, plot.center().x(), plot.right()})
      for (int y : {40, 104}) nothingHappens({x, y}, button);
  // The beat buttons step over it.
  form->SpeedButton17Click();
  EXPECT_EQ(At(), (Cursor{3, 1}));
  form->SpeedButton18Click();
  EXPECT_EQ(At(), (Cursor{2, 1}));
  form->SpeedButton18Click();
  EXPECT_EQ(At(), (Cursor{1, 3}));
}

TEST_F(GuitarPanelTest, TheBeatAndBarMenuShowsItsNumbersInSpanish) {
  Build();
  WriteNumberedTrack();
  Open();
  form->Ingls1Click();
  form->Espaol1Click();  // worded again in Spanish
  QStringList items;
  for (QAction* a : form->PopupMenu6->actions())
    if (!a->isSeparator()) items << a->text();
  EXPECT_EQ(items, QStringList({"Copiar tiempo", "Pegar tiempo", "Insertar tiempo", "Vaciar tiempo", "Elminar tiempo",
                                QString::fromUtf8("Copiar compás"), QString::fromUtf8("Pegar compás"),
                                QString::fromUtf8("Insertar compás"), QString::fromUtf8("Vaciar compás"),
                                QString::fromUtf8("Eliminar compás")}));
  ClickBeat(1, false, Qt::RightButton);
  EXPECT_EQ(At(), (Cursor{1, 2}));
  EXPECT_TRUE(form->PopupMenu6->isVisible());
  EXPECT_EQ(form->CopiarTiempoG->text(), "Copiar tiempo 2");
  EXPECT_EQ(form->CopiarCompasG->text(), QString::fromUtf8("Copiar compás 1"));
  EXPECT_EQ(form->PegarTiempoG->text(), QString::fromUtf8("Pegar tiempo 0 del compás 0"));
  EXPECT_EQ(form->PegarCompasG->text(), QString::fromUtf8("Pegar compás 0 en el compás 1"));
  form->PopupMenu6->hide();
  form->CopiarTiempoG->trigger();
  form->CopiarCompasG->trigger();

  form->SpeedButton14Click();
  ClickBeat(2, true, Qt::RightButton);  // any other button: the strip too
  EXPECT_EQ(At(), (Cursor{2, 3}));
  EXPECT_EQ(form->PegarTiempoG->text(), QString::fromUtf8("Pegar tiempo 2 del compás 1"));
  EXPECT_EQ(form->PegarCompasG->text(), QString::fromUtf8("Pegar compás 1 en el compás 2"));
  form->PopupMenu6->hide();

  // Pasting the beat, then deleting beat 2 of bar 1 through the menu.
  form->PegarTiempoG->trigger();
  EXPECT_EQ(MarkerOf(G().CurrentTiempoG), 2);
  EXPECT_EQ(MarkerOf(G().GuitarTrack[5]), 2);
  EXPECT_FALSE(form->BGuardaG->isHidden());
  form->SpeedButton13Click();
  form->SpeedButton17Click();
  form->Elminartiempo1->trigger();
  std::vector<int> markers;
  for (const TiempoG& t : G().GuitarTrack) markers.push_back(MarkerOf(t));
  EXPECT_EQ(markers, (std::vector<int>{1, 3, 4, 5, 2, 7, 8, 9, 10, 0}));
  EXPECT_EQ(MarkerOf(G().CurrentTiempoG), 3);
  EXPECT_EQ(form->Chart2->Series[0].points.size(), 3u);
}

TEST_F(GuitarPanelTest, TheBeatAndBarMenuShowsItsNumbersInEnglish) {
  Build();
  WriteNumberedTrack();
  Open();
  form->Ingls1Click();
  QStringList items;
  for (QAction* a : form->PopupMenu6->actions())
    if (!a->isSeparator()) items << a->text();
  EXPECT_EQ(items, QStringList({"Copy beat", "Paste beat", "Insert beat", "Empty beat", "Remove beat", "Copy compass",
                                "Paste compass", "Insert compass", "Empty compass", "Remove compass"}));
  ClickBeat(1, false, Qt::RightButton);
  EXPECT_EQ(form->CopiarTiempoG->text(), "Copy beat 2");
  EXPECT_EQ(form->CopiarCompasG->text(), "Copy compass 1");
  EXPECT_EQ(form->PegarTiempoG->text(), "Paste beat 0 of compass 0");
  EXPECT_EQ(form->PegarCompasG->text(), "Paste compass 0 into compass 1");
  form->PopupMenu6->hide();
}

TEST_F(GuitarPanelTest, CapoStaysWithinItsLimits) {
  Build();
  Open();
  for (int i = 0; i < 14; ++i) form->SpeedButton21Click();
  EXPECT_EQ(G().Capo, 12);
  EXPECT_EQ(form->LGCejilla->text(), "12");
  for (int i = 0; i < 14; ++i) form->SpeedButton22Click();
  EXPECT_EQ(G().Capo, 0);
  EXPECT_EQ(form->LGCejilla->text(), "0");
}

TEST_F(GuitarPanelTest, TemplatesAndWholeTracksAreCopied) {
  Build();
  form->Rhythm->Temas[1].SetName("Tangos");
  WriteNumberedTrack();
  Open();
  form->SpeedButton17Click();  // beat 2: mark beats 2..3 of bar 1
  ClickBeat(2, true);
  ASSERT_EQ(G().MarkedBeats, 2);
  dlg->saveNames = {"riff"};
  form->RecPlantillaClick();
  ASSERT_TRUE(std::filesystem::exists("riff.pgt"));
  EXPECT_EQ(std::filesystem::file_size("riff.pgt"), 2u * 64u);
  EXPECT_FALSE(form->TapaRecPlantilla->isHidden());
  EXPECT_EQ(dlg->fileRequests.back().filter, "Plantillas de guitarra|*.pgt");

  form->SpeedButton14Click();
  form->SpeedButton14Click();
  dlg->openNames = {"riff.pgt"};
  form->AbrePlantillaClick();
  EXPECT_EQ(MarkerOf(G().GuitarTrack[6]), 2);
  EXPECT_EQ(MarkerOf(G().GuitarTrack[7]), 3);
  EXPECT_EQ(MarkerOf(G().CurrentTiempoG), 2);  // both views show the pasted beats
  EXPECT_EQ(form->Chart1->Series[0].points[0].label, "2");
  // Pasted beats are a change: the save button shows, and closing asks.
  EXPECT_FALSE(form->BGuardaG->isHidden());
  EXPECT_TRUE(G().Modified);

  // "Copiar Guitarra" on Solea, "Pegar Guitarra" on the second theme.
  dlg->answers = {kAnswerNo};
  form->Guitarra1->trigger();
  form->SGTemas->Select(1, 1);
  form->CopiarGuitarra1->trigger();
  form->SGTemas->Select(1, 2);
  form->PegarGuitarra1->trigger();
  ASSERT_TRUE(std::filesystem::exists(PathOf("Tangos")));
  EXPECT_EQ(std::filesystem::file_size(PathOf("Tangos")), std::filesystem::file_size(PathOf("Solea")));
  // On the remembered theme itself it does nothing.
  std::filesystem::remove(PathOf("Tangos"));
  form->SGTemas->Select(1, 1);
  form->PegarGuitarra1->trigger();
  EXPECT_FALSE(std::filesystem::exists(PathOf("Tangos")));
}

// --- playback ----------------------------------------------------------------------

class GuitarPlaybackTest : public GuitarPanelTest {
 protected:
  // Records the cursor after every beat the player steps, once the guitar has seen it.
  void Record() {
    form->Deck->AddListener([this](const BeatCue& cue) {
      if (cue.stopped) return;
      seen.push_back(At());
      lastCue = cue;
      tabMatches.push_back(MarkerOf(G().CurrentTiempoG) == CursorSlotMarker());
    });
  }
  void Run(size_t beats) {
    for (int guard = 0; guard < 500 && seen.size() < beats && form->Engine->PlayState != 0; ++guard) {
      wave->CompleteNext();
      QCoreApplication::processEvents();
    }
  }
  std::vector<Cursor> seen;
  std::vector<bool> tabMatches;
  BeatCue lastCue;
};

TEST_F(GuitarPlaybackTest, TheViewFollowsTheBeatsOfTheTheme) {
  Build();
  WriteNumberedTrack();
  Open();
  Record();
  form->BotonPlayCompClick();
  Run(12);
  ASSERT_GE(seen.size(), 12u);
  const std::vector<Cursor> expected = {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3},
                                        {3, 1}, {3, 2}, {3, 3}, {3, 4}, {1, 1}, {1, 2}};
  EXPECT_EQ(std::vector<Cursor>(seen.begin(), seen.begin() + 12), expected);
  for (bool m : tabMatches) EXPECT_TRUE(m);
  EXPECT_EQ(form->LGCompas->text(), "  1/  3");
  EXPECT_EQ(form->LGTiempo->text(), "  2/  3");
  EXPECT_EQ(form->SBCompas->value(), 1);

  // Between two beats the marker runs across the beat with the time.
  {
    ScopedFakeTickCount clock(1000);
    form->OnGuitarBeat(lastCue);
    ASSERT_EQ(At(), (Cursor{1, 2}));
    clock.Advance(250);  // half a beat at 120 bpm
    form->GuitarCursorTick();
    ASSERT_EQ(Marker().points.size(), 2u);
    EXPECT_FLOAT_EQ(Marker().points[0].x, 1.5f);
    form->Work->Engine->PlayState = 2;  // in pause it stands still
    form->GuitarCursorTick();
    clock.Advance(400);
    form->GuitarCursorTick();
    EXPECT_FLOAT_EQ(Marker().points[0].x, 1.5f);
    form->Work->Engine->PlayState = 1;
    clock.Advance(125);
    form->GuitarCursorTick();
    EXPECT_FLOAT_EQ(Marker().points[0].x, 1.75f);
  }

  // While it plays, the next-bar button moves the sequencer along; clicks
  // on the bar view do nothing.
  form->SpeedButton14Click();
  EXPECT_EQ(form->Engine->CurrentCompas, 2);
  const Cursor now = At();
  ClickBeat(2, false);
  EXPECT_EQ(At(), now);
  form->botonstopClick();
  // Stopped, the working beat is the one at the cursor.
  EXPECT_EQ(MarkerOf(G().CurrentTiempoG), CursorSlotMarker());
  const int compas = form->Engine->CurrentCompas;
  form->SpeedButton14Click();
  EXPECT_EQ(form->Engine->CurrentCompas, compas);
}

TEST_F(GuitarPlaybackTest, IntroBeatsLeaveTheViewAlone) {
  Build(/*intro=*/3);
  WriteNumberedTrack();
  Open();
  form->SpeedButton14Click();
  form->SpeedButton17Click();  // bar 2, beat 2
  Record();
  form->BotonPlayCompClick();
  Run(6);
  ASSERT_GE(seen.size(), 5u);
  EXPECT_EQ(seen[0], (Cursor{2, 2}));
  EXPECT_EQ(seen[1], (Cursor{2, 2}));
  EXPECT_EQ(seen[2], (Cursor{2, 2}));
  EXPECT_EQ(seen[3], (Cursor{1, 1}));
  EXPECT_EQ(seen[4], (Cursor{1, 2}));
  form->botonstopClick();
}

TEST_F(GuitarPlaybackTest, PlayFromTheBarOnDisplay) {
  Build();
  WriteNumberedTrack();
  Open();
  form->SpeedButton14Click();
  form->SpeedButton14Click();
  Record();
  form->SpeedButton11Click();
  EXPECT_EQ(form->Engine->PlayState, 1);
  EXPECT_FALSE(form->Engine->PlayFromBar);
  EXPECT_EQ(form->Engine->EntryRow, 2);  // the entry holding bar 3
  Run(2);
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0], (Cursor{3, 1}));
  EXPECT_EQ(seen[1], (Cursor{3, 2}));
  form->botonstopClick();
}

TEST_F(GuitarPlaybackTest, SilentMixesLeaveTheViewAndItsBeatAlone) {
  Build();
  WriteNumberedTrack();
  Open();
  form->SpeedButton14Click();
  form->SpeedButton17Click();
  const Cursor at = At();
  const TiempoG before = G().CurrentTiempoG;
  form->Normalizar1Click();
  form->Work->NormaliseTheme(0);
  const std::string wav = dir.path() + "/datos/wavs/guitarra.wav";
  dlg->saveNames = {QString::fromStdString(wav)};
  form->SpeedButton6Click();
  EXPECT_TRUE(std::filesystem::exists(wav));
  EXPECT_EQ(At(), at);
  EXPECT_EQ(std::memcmp(&before, &G().CurrentTiempoG, sizeof before), 0);
  EXPECT_EQ(form->LGCompas->text(), "  2/  3");
}

TEST_F(GuitarPlaybackTest, BarsOfOneBeatFollowInTurn) {
  Build();
  form->Rhythm->Formulas[3].SetHeader(1, 0);
  form->FillFormulaRow(3);
  SetTheme(0, "Solea", {{3, 3}});
  SelectTheme(1);
  Open();
  ASSERT_EQ(G().GuitarBarCount, 3);
  Record();
  form->BotonPlayCompClick();
  Run(4);
  ASSERT_GE(seen.size(), 4u);
  EXPECT_EQ(std::vector<Cursor>(seen.begin(), seen.begin() + 4),
            (std::vector<Cursor>{{1, 1}, {2, 1}, {3, 1}, {1, 1}}));
  form->botonstopClick();
}

TEST_F(GuitarPanelTest, AnotherSetOpenedSavesTheTrackWhereItCameFrom) {
  Build();
  const std::string set = form->DataSet.DataSetName;
  Open();
  form->Insertartiempo1Click();
  dlg->answers = {kAnswerYes, kAnswerYes};
  form->Nuevo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Nuevo");
  if (form->Guitarra1->isChecked()) {
    // Still open on the old track when the new set selected no theme.
    if (form->Guitar->Modified) form->Guitarra1->trigger();
  }
  ASSERT_TRUE(dlg->questions.contains(QString::fromUtf8(" ¿ Quiere guardar el tema de guitarra Solea.gtr")))
      << dlg->questions.join('|').toStdString();
  std::string path;
  ASSERT_TRUE(GuitarTrackPathOf(set, "Solea", &path));
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 11u * 64u);
  // Nothing was written into the new set's folder.
  const auto folder = std::filesystem::path(PathOf("x")).parent_path();
  bool gtr = false;
  if (std::filesystem::exists(folder))
    for (const auto& e : std::filesystem::directory_iterator(folder)) gtr |= e.path().extension() == ".gtr";
  EXPECT_FALSE(gtr);
}

TEST_F(GuitarPanelTest, ClosingTheProgramOffersToSaveTheTrack) {
  Build();
  Open();
  form->Vaciartiempo1Click();
  dlg->answers = {kAnswerYes};
  ASSERT_TRUE(form->FormClose());
  EXPECT_FALSE(form->Guitarra1->isChecked());
  EXPECT_TRUE(dlg->questions.contains(QString::fromUtf8(" ¿ Quiere guardar el tema de guitarra Solea.gtr")));
  EXPECT_EQ(std::filesystem::file_size(PathOf("Solea")), 10u * 64u);
}

// --- the guitar's sound --------------------------------------------------------------

// The open track sounds in the theme that plays, from the bank the set
// loaded, and the guitar's mute silences it.
TEST_F(GuitarPlaybackTest, TheTrackIsHeardUnlessTheGuitarIsMuted) {
  Build();
  WriteNumberedTrack();
  Open();
  ASSERT_GT(form->GuitarAudio->Bank.GuitarSampleLengths[0], 0) << "the factory bank is loaded with the set";
  EXPECT_FALSE(form->Label5->text().isEmpty());
  auto guitarPeak = [&] {
    int peak = 0;
    for (int i = 0; i < form->Engine->SamplesPerBeat; ++i)
      peak = std::max(peak, std::abs(int{form->Engine->GuitarBuffer[static_cast<size_t>(i)]}));
    return peak;
  };
  Record();
  form->BotonPlayCompClick();
  Run(2);
  EXPECT_GT(guitarPeak(), 500);
  form->botonstopClick();

  form->MuteButtons[16]->click();
  seen.clear();
  form->BotonPlayCompClick();
  Run(2);
  EXPECT_EQ(guitarPeak(), 0);
  form->botonstopClick();
}

TEST_F(GuitarPanelTest, VolumeAndPanSetTheGuitarsShareOfTheMix) {
  Build();
  const struct {
    int position, num, den;
    const char* hint;
  } volumes[] = {{1, 4, 8, "1/8"}, {7, 4, 2, "1/2"}, {8, 4, 1, "x1"}, {16, 36, 1, "x9"}};
  for (const auto& v : volumes) {
    form->VolG->setValue(v.position);
    EXPECT_EQ(form->Engine->Controls.GuitarGainNum, v.num) << v.position;
    EXPECT_EQ(form->Engine->Controls.GuitarGainDen, v.den) << v.position;
    EXPECT_EQ(form->VolG->toolTip(), v.hint) << v.position;
  }
  form->PanG->setValue(0);
  EXPECT_EQ(form->Engine->Controls.GuitarPan, 0);
  EXPECT_EQ(form->PanG->toolTip(), "-16");
  form->PanG->setValue(32);
  EXPECT_EQ(form->Engine->Controls.GuitarPan, 32);
  EXPECT_EQ(form->PanG->toolTip(), "16");
}

// Another bank chosen is loaded and remembered; a string file it lacks is said
// and that string stays silent.
TEST_F(GuitarPanelTest, TheBankChooserLoadsTheBankAndRemembersIt) {
  for (int s : {1, 2, 4, 5, 6}) {
    const std::string from = "BancoDeSonidos/Guitarra/c" + std::to_string(s) + ".wav";
    const std::string to = "BancoDeSonidos/Requinto/c" + std::to_string(s) + ".wav";
    std::filesystem::create_directories("BancoDeSonidos/Requinto");
    std::filesystem::copy_file(from, to);
  }
  Build();
  const int row = form->CBGuitarras->findText("Requinto");
  ASSERT_GE(row, 0);
  dlg->messages.clear();
  form->CBGuitarras->setCurrentIndex(row);
  form->CBGuitarrasChange();
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_TRUE(dlg->messages[0].startsWith("No se puede abrir el archivo:\r\n")) << dlg->messages[0].toStdString();
  EXPECT_TRUE(dlg->messages[0].endsWith("Requinto/c3.wav")) << dlg->messages[0].toStdString();
  EXPECT_EQ(form->GuitarAudio->Bank.GuitarSampleLengths[3], 0);  // the 3rd string
  EXPECT_GT(form->GuitarAudio->Bank.GuitarSampleLengths[0], 0);
  EXPECT_EQ(QSettings("DRAV_PROF.ini", QSettings::IniFormat).value("METRONOMO/Guitarra").toString(), "Requinto");
  EXPECT_EQ(form->CBGuitarras->currentText(), "Requinto");
}

// An audition while stopped plays alone; while a theme plays, the beats
// already queued play on and nothing resets the output.
TEST_F(GuitarPlaybackTest, AuditionsNeverResetAPlayingOutput) {
  Build();
  WriteNumberedTrack();
  Open();
  wave->ClearCalls();
  form->PlayTiempoGClick();
  const std::vector<std::string> stopped = wave->CallNames();
  ASSERT_GE(stopped.size(), 3u);
  EXPECT_EQ(stopped.front(), "Reset");
  EXPECT_EQ(stopped.back(), "Write");
  EXPECT_EQ(auditions, 1);

  Record();
  form->BotonPlayCompClick();
  Run(2);
  wave->ClearCalls();
  form->PlayTiempoGClick();
  EXPECT_TRUE(wave->CallNames().empty());
  form->botonstopClick();
}

// The fretboard's marks follow the notes of the beat in play: each
// division's notes appear at its start (its frame, in ms from the beat's
// start), not before; a pause holds them; a stop gives the chord's marks back.
TEST_F(GuitarPlaybackTest, TheFretboardShowsEachDivisionsNotesAtItsTime) {
  Build();
  TiempoG first = EmptyTiempoG();
  first.divisions = 4;
  first.division[0].fret[0] = 3;      // G on the 6th string
  first.division[0].strength[0] = 5;
  first.division[1].fret[5] = 0;      // E on the 1st string
  first.division[1].strength[5] = 5;
  first.division[2].fret[1] = 2;      // B on the 5th string
  first.division[2].strength[1] = 5;
  std::vector<TiempoG> beats(10, EmptyTiempoG());
  beats[0] = first;
  std::filesystem::create_directories(std::filesystem::path(PathOf("Solea")).parent_path());
  std::string err;
  ASSERT_TRUE(WriteBeatFile(PathOf("Solea"), beats.data(), beats.size(), &err)) << err;
  Open();
  ScopedFakeTickCount clock(1000);
  Record();
  form->BotonPlayCompClick();
  for (int guard = 0; guard < 100 && seen.empty(); ++guard) QCoreApplication::processEvents();
  ASSERT_EQ(seen.size(), 1u);
  ASSERT_EQ(At(), (Cursor{1, 1}));
  QLabel* sixth = form->StringNoteLabels[0];
  QLabel* first1 = form->StringNoteLabels[5];
  QLabel* fifth = form->StringNoteLabels[1];
  auto tick = [&](uint32_t ms) {
    clock.Advance(ms);
    form->GuitarDivisionTick();
  };
  // Division 0 at once: G at fret 3 of the 6th string (the top one).
  EXPECT_TRUE(sixth->isVisibleTo(form->PanelGuitarra));
  EXPECT_EQ(sixth->text(), "G");
  EXPECT_EQ(sixth->pos(), QPoint(FretPosition(3) + 234, 60));
  EXPECT_FALSE(first1->isVisibleTo(form->PanelGuitarra));
  // 120 bpm, 22050 frames in 4 divisions: division 1 at frame 5512 (125.0 ms
  // less a hair), division 2 at frame 11025 (250 ms).
  tick(124);
  EXPECT_FALSE(first1->isVisibleTo(form->PanelGuitarra));
  tick(1);
  EXPECT_TRUE(first1->isVisibleTo(form->PanelGuitarra));
  EXPECT_EQ(first1->text(), "E");
  EXPECT_EQ(first1->pos(), QPoint(FretPosition(0) + 234, 120));
  EXPECT_FALSE(fifth->isVisibleTo(form->PanelGuitarra));
  // A pause of 400 ms does not count.
  form->Deck->Pause();
  form->GuitarDivisionTick();
  tick(400);
  form->Deck->Resume();
  tick(124);
  EXPECT_FALSE(fifth->isVisibleTo(form->PanelGuitarra));
  tick(1);
  EXPECT_TRUE(fifth->isVisibleTo(form->PanelGuitarra));
  EXPECT_EQ(fifth->text(), "B");
  EXPECT_EQ(fifth->pos(), QPoint(FretPosition(2) + 234, 72));
  // The marks stay until the next beat; a beat without notes clears them.
  tick(200);
  EXPECT_TRUE(sixth->isVisibleTo(form->PanelGuitarra));
  Run(2);
  ASSERT_EQ(At(), (Cursor{1, 2}));
  EXPECT_FALSE(sixth->isVisibleTo(form->PanelGuitarra));
  EXPECT_FALSE(first1->isVisibleTo(form->PanelGuitarra));
  form->botonstopClick();
  for (QLabel* l : form->StringNoteLabels) EXPECT_FALSE(l->isVisibleTo(form->PanelGuitarra));  // the empty chord
}

// A theme that plays to its end leaves the view at its start, as the
// sequence goes back to its first row; a stop by the user leaves it where it is.
TEST_F(GuitarPlaybackTest, TheViewGoesBackToTheStartWhenTheThemeEnds) {
  Build();
  form->Rhythm->Temas[0].partsOrder = 0x81;  // one part: the theme stops at its end
  SelectTheme(2);
  SelectTheme(1);
  WriteNumberedTrack();
  Open();
  Record();
  form->BotonPlayCompClick();
  Run(20);
  ASSERT_EQ(form->Engine->PlayState, 0);
  // The step that starts the last beat ends the last part: the view goes
  // back to the start then, while that beat still sounds.
  ASSERT_EQ(seen.size(), 9u);
  EXPECT_EQ(seen[8], (Cursor{3, 3}));
  EXPECT_EQ(At(), (Cursor{1, 1}));
  EXPECT_EQ(form->LGCompas->text(), "  1/  3");
  EXPECT_EQ(form->LGTiempo->text(), "  1/  3");
  EXPECT_EQ(MarkerOf(G().CurrentTiempoG), 1);
  EXPECT_EQ(Marker().points[0].x, 0.0f);

  seen.clear();
  form->BotonPlayCompClick();
  Run(5);
  form->botonstopClick();
  EXPECT_EQ(At(), (Cursor{2, 2}));
}

// The panel's own stop; every cover and icon-only button tells what it is
// in both languages; the chord's name goes when the fretboard changes the chord.
TEST_F(GuitarPlaybackTest, PanelStopTooltipsAndTheChordName) {
  Build();
  WriteNumberedTrack();
  Open();
  form->SpeedButton11->click();
  ASSERT_EQ(form->Engine->PlayState, 1);
  form->GuitarStop->click();
  EXPECT_EQ(form->Engine->PlayState, 0);

  QWidget* tipped[] = {form->TapaRecG,      form->TapaRecPlantilla, form->TapaRellena,    form->BGuardaG,
                       form->AbrePlantilla, form->RecPlantilla,     form->RellenaAcorde, form->BGuardaAcorde,
                       form->SpeedButton15, form->SpeedButton16,    form->BInvertir,     form->SpeedButton11,
                       form->GuitarStop,    form->SpeedButton21,    form->SpeedButton22};
  std::vector<QString> spanish;
  for (QWidget* w : tipped) {
    EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
    spanish.push_back(w->toolTip());
  }
  form->Ingls1->trigger();
  for (size_t i = 0; i < std::size(tipped); ++i) {
    EXPECT_FALSE(tipped[i]->toolTip().isEmpty()) << tipped[i]->objectName().toStdString();
    if (tipped[i] != form->GuitarStop) {
      EXPECT_NE(tipped[i]->toolTip(), spanish[i]) << tipped[i]->objectName().toStdString();
    }
  }
  EXPECT_EQ(form->TapaRellena->toolTip(), "Fill with chord: first mark beats below the bar view's strings");

  form->CBAcordes->setEditText("E");
  QTest::mouseClick(form->MGuitarra, Qt::LeftButton, {}, QPoint(FretPosition(1) + 180 - 5, 5));
  EXPECT_EQ(form->CBAcordes->currentText(), "");
}
