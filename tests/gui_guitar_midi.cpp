// The MIDI import in the real window: the import button with its file
// dialog, the theme and track it changes, the unit menu that forces a beat
// unit for a re-import of the same file, and what Cancel or an unusable file
// leave behind.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <cstring>
#include <filesystem>

#include "gui_fixture.h"
#include "guitar/midi.h"
#include "guitar/track.h"
#include "guitar/window/tab_chart.h"

namespace {

using Bytes = std::vector<uint8_t>;

// --- a small writer of Standard MIDI Files ------------------------------------------
void Put32(Bytes& b, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}
void PutVarLen(Bytes& b, uint32_t v) {
  uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = static_cast<uint8_t>(v & 0x7F);
    v >>= 7;
  } while (v != 0);
  while (n > 1) b.push_back(static_cast<uint8_t>(groups[--n] | 0x80));
  b.push_back(groups[0]);
}
Bytes Ev(uint32_t delta, std::initializer_list<uint8_t> bytes) {
  Bytes b;
  PutVarLen(b, delta);
  b.insert(b.end(), bytes);
  return b;
}
Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes TimeSig(uint32_t delta, int beats, int exponent) {
  return Ev(delta, {0xFF, 0x58, 0x04, static_cast<uint8_t>(beats), static_cast<uint8_t>(exponent), 0x18, 0x08});
}
Bytes Tempo(uint32_t delta, uint32_t micros) {
  return Ev(delta, {0xFF, 0x51, 0x03, static_cast<uint8_t>(micros >> 16), static_cast<uint8_t>(micros >> 8),
                    static_cast<uint8_t>(micros)});
}
Bytes On(uint32_t delta, int note, int velocity = 100) {
  return Ev(delta, {0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)});
}
Bytes End(uint32_t delta) { return Ev(delta, {0xFF, 0x2F, 0x00}); }
// A file of one track at 480 ticks per quarter.
Bytes OneTrack(const Bytes& events) {
  Bytes b{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
  Put32(b, static_cast<uint32_t>(events.size()));
  return b + events;
}

// 4/4 at 480 ticks per quarter, 16 quarter beats: E4 on the first beat, A4
// on the last; 100 bpm from the start and 150 from beat 9 on.
Bytes SixteenBeats() {
  return OneTrack(TimeSig(0, 4, 2) + Tempo(0, 600000) + On(0, 64) + Tempo(9 * 480, 400000) + On(6 * 480, 69) +
                  End(480));
}

bool SameTheme(const Tema& a, const Tema& b) { return std::memcmp(&a, &b, sizeof(Tema)) == 0; }

class GuitarMidiTest : public WindowTest {
 protected:
  // Formula A of 3 beats and B of 4 beats; theme 1 "Solea": A twice, then B
  // (bars of 3, 3 and 4 beats), selected, its guitar panel open.
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
    th.tempos[0] = 120;
    th.formulas[1] = 1;
    th.times[1] = 1;
    th.tempos[1] = 0;
    th.partsOrder = 0x80;
    th.introEnding = 0;
    form->SGTemas->Select(1, 1);
    form->SGTemasSelectCell(1, 1);
    form->Guitarra1->trigger();
    ASSERT_TRUE(form->Guitarra1->isChecked());
    ASSERT_EQ(G().GuitarTrack.size(), 10u);
    // The unit menu would wait for the user: a test that expects it sets its own.
    form->RunMidiUnitMenu = [](const QPoint&) { ADD_FAILURE() << "unit menu shown"; };
  }
  GuitarState& G() { return *form->Guitar; }
  Tema& Solea() { return form->Rhythm->Temas[0]; }
  // A file in the MIDI folder; the dialog will answer with it.
  QString Offer(const std::string& name, const Bytes& bytes) {
    const std::string path = dir.path() + "/MIDI/" + name;
    ScratchFolder::Write(path, bytes);
    dlg->openNames.push_back(QString::fromStdString(path));
    return QString::fromStdString(path);
  }
  std::string Report() {
    const Bytes b = ScratchFolder::Read(dir.path() + "/midireport.txt");
    return std::string(b.begin(), b.end());
  }
  bool ReportExists() { return std::filesystem::exists(dir.path() + "/midireport.txt"); }
  // The one note of a guitar beat: its string (1..6) and fret; {0, 0} when
  // the beat has not exactly one.
  std::pair<int, int> OnlyNote(const TiempoG& t) {
    std::pair<int, int> found{0, 0};
    int count = 0;
    for (int d = 0; d < t.divisions; ++d)
      for (int i = 0; i < kGuitarStrings; ++i)
        if (t.division[d].strength[i]) {
          ++count;
          found = {kGuitarStrings - i, t.division[d].fret[i]};
        }
    return count == 1 ? found : std::pair<int, int>{0, 0};
  }
  std::pair<int, int> PlaceOf(int note) {
    int s = 0, f = 0;
    EXPECT_TRUE(MidiNotePlace(form->GuitarAudio->Tuning, note, &s, &f)) << note;
    return {s, f};
  }
  std::vector<QAction*> CheckedUnits() {
    std::vector<QAction*> v;
    for (QAction* a : {form->Blanca1, form->Negrap1, form->Negra1, form->Corcheap1, form->Corchea1})
      if (a->isChecked()) v.push_back(a);
    return v;
  }
};

}  // namespace

TEST_F(GuitarMidiTest, ImportFillsTheTrackGrowsTheThemeAndWritesTheReport) {
  Build();
  ASSERT_TRUE(form->BGuardaG->isHidden());
  form->ClearModified();
  EXPECT_EQ(form->SpeedButton24->toolTip(), "Importar archivo MIDI");
  EXPECT_EQ(CheckedUnits(), std::vector<QAction*>{form->Negra1});
  Offer("solea.mid", SixteenBeats());

  form->SpeedButton24->click();

  ASSERT_EQ(dlg->fileRequests.size(), 1u);
  EXPECT_EQ(dlg->fileRequests[0].filter, "Archivos Midi|*.mid");
  EXPECT_EQ(std::filesystem::path(dlg->fileRequests[0].initialDir.toStdString()),
            std::filesystem::path(dir.path()) / "MIDI");
  EXPECT_TRUE(dlg->messages.isEmpty()) << dlg->messages.join("|").toStdString();

  // 16 beats on a theme of 3+3+4: one more A (13), one more B (17).
  EXPECT_EQ(Solea().times[0], 3);
  EXPECT_EQ(Solea().times[1], 2);
  EXPECT_EQ(Solea().tempos[0], 100);
  EXPECT_EQ(Solea().tempos[1], 150);
  ASSERT_EQ(G().GuitarTrack.size(), 17u);
  EXPECT_EQ(G().GuitarBarCount, 5);
  EXPECT_EQ(OnlyNote(G().GuitarTrack[0]), PlaceOf(64));
  EXPECT_EQ(OnlyNote(G().GuitarTrack[15]), PlaceOf(69));
  EXPECT_EQ(OnlyNote(G().GuitarTrack[16]), (std::pair<int, int>{0, 0}));  // padding
  EXPECT_EQ(G().GuitarBar, 1);
  EXPECT_EQ(G().GuitarBeat, 1);

  // The window shows it: bar label and scroll bar, both views, the sequence
  // grid of the grown theme, the save button and the set's modified mark.
  EXPECT_EQ(form->LGCompas->text(), "  1/  5");
  EXPECT_EQ(form->SBCompas->maximum(), 5);
  EXPECT_EQ(form->Chart1->Series[0].points.size(), 1u);
  EXPECT_EQ(form->Chart2->Series[0].points.size(), 1u);
  EXPECT_FALSE(form->BGuardaG->isHidden());
  EXPECT_TRUE(form->TapaRecG->isHidden());
  EXPECT_TRUE(G().Modified);
  EXPECT_TRUE(form->Modified());
  EXPECT_EQ(form->SGSaco->Cells(4, 1), "3");
  EXPECT_EQ(form->SGSaco->Cells(4, 2), "2");
  EXPECT_EQ(form->SGSaco->Cells(2, 2), "150");
  EXPECT_EQ(CheckedUnits(), std::vector<QAction*>{form->Negra1});
  // The theme panel's counter shows the grown theme at once; the log says
  // which track was taken, as the report does.
  EXPECT_TRUE(form->Label3->text().endsWith("/  5")) << form->Label3->text().toStdString();
  EXPECT_TRUE(LogHas("MIDI: Pista 1 tomada: 2 notas, 2 entre 40 y 88")) << form->Visor->toPlainText().toStdString();

  const std::string report = Report();
  EXPECT_EQ(report.rfind("0000 tracks=1,deltaFigura=", 0), 0u) << report;
  EXPECT_NE(report.find("Time signature 4/4"), std::string::npos);
  EXPECT_NE(report.find("Set tempo =150 bpm"), std::string::npos);
  EXPECT_NE(report.find("Pista 1 tomada: 2 notas, 2 entre 40 y 88"), std::string::npos);
}

TEST_F(GuitarMidiTest, CancelChangesNothingAndEmptiesTheReport) {
  Build();
  ScratchFolder::Write(dir.path() + "/midireport.txt", {'o', 'l', 'd'});
  const Tema theme = Solea();
  const bool setModified = form->Modified();

  form->SpeedButton24->click();  // no answer queued: Cancel

  EXPECT_EQ(dlg->fileRequests.size(), 1u);
  EXPECT_TRUE(SameTheme(Solea(), theme));
  EXPECT_EQ(G().GuitarTrack.size(), 10u);
  EXPECT_EQ(G().GuitarBarCount, 3);
  EXPECT_FALSE(G().Modified);
  EXPECT_TRUE(form->BGuardaG->isHidden());
  EXPECT_EQ(form->Modified(), setModified);
  EXPECT_EQ(form->LGCompas->text(), "  1/  3");
  EXPECT_TRUE(ReportExists());
  EXPECT_EQ(Report(), "");
}

TEST_F(GuitarMidiTest, UnusableFileChangesNothing) {
  struct Case {
    const char* what;
    Bytes bytes;  // empty: the file is not there
    bool reported;
    const char* message;  // the start of what the user is told
  };
  Bytes noDivision = OneTrack(TimeSig(0, 4, 2) + On(0, 64) + End(1920));
  noDivision[12] = noDivision[13] = 0;
  const Bytes whole = OneTrack(TimeSig(0, 4, 2) + On(0, 64) + End(1920));
  const Case cases[] = {
      {"missing", {}, false, "No se puede abrir el archivo:"},
      {"no header", Bytes(300, 'x'), true, "No se ha importado nada: el archivo no tiene cabecera \"MThd\""},
      {"notes short of a bar", OneTrack(TimeSig(0, 4, 2) + On(0, 64) + End(480)), true,
       "No se ha importado nada: ninguna pista tiene notas y un comp\u00e1s entero"},
      {"cut short", Bytes(whole.begin(), whole.end() - 4), true,
       "No se ha importado nada: la longitud de una pista pasa del final del archivo"},
      {"0 ticks per quarter", noDivision, true, "No se ha importado nada: la cabecera da 0 pulsos por negra"},
  };
  Build();
  const Tema theme = Solea();
  const bool setModified = form->Modified();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(dir.path() + "/midireport.txt");
    dlg->messages.clear();
    const QString path = Offer("broken.mid", c.bytes);
    if (c.bytes.empty()) std::filesystem::remove(path.toStdString());

    form->SpeedButton24->click();

    EXPECT_TRUE(dlg->openNames.empty());
    EXPECT_TRUE(SameTheme(Solea(), theme));
    EXPECT_EQ(G().GuitarTrack.size(), 10u);
    EXPECT_EQ(G().GuitarBars.size(), 4u);
    EXPECT_FALSE(G().Modified);
    EXPECT_TRUE(form->BGuardaG->isHidden());
    EXPECT_EQ(form->Modified(), setModified);
    EXPECT_EQ(ReportExists(), c.reported);
    // The user is told why, and so is the log.
    ASSERT_EQ(dlg->messages.size(), 1u);
    EXPECT_TRUE(dlg->messages[0].startsWith(QString::fromUtf8(c.message))) << dlg->messages[0].toStdString();
    if (c.reported) {
      EXPECT_TRUE(LogHas("MIDI: " + dlg->messages[0]));
    }
  }
  // In English too.
  form->English = true;
  dlg->messages.clear();
  Offer("broken.mid", Bytes(300, 'x'));
  form->SpeedButton24->click();
  ASSERT_EQ(dlg->messages.size(), 1u);
  EXPECT_EQ(dlg->messages[0], "Nothing was imported: the file has no \"MThd\" header");
}

TEST_F(GuitarMidiTest, ForcedUnitReimportsTheSameFileOverTheThemeBeforeIt) {
  Build();
  const Tema original = Solea();
  Offer("solea.mid", SixteenBeats());
  form->SpeedButton24->click();
  ASSERT_EQ(G().GuitarTrack.size(), 17u);

  // The unit found (the quarter) is in force: the next press offers the
  // menu above the button and takes the eighth picked there, without asking
  // for the file again.
  QPoint shownAt;
  int menus = 0;
  QAction* pick = form->Corchea1;
  form->RunMidiUnitMenu = [&](const QPoint& at) {
    ++menus;
    shownAt = at;
    if (pick) pick->trigger();
  };
  form->SpeedButton24->click();
  EXPECT_EQ(menus, 1);
  EXPECT_EQ(shownAt, form->SpeedButton24->mapToGlobal(QPoint(0, -36)));
  EXPECT_EQ(dlg->fileRequests.size(), 1u);
  // 32 eighth beats over 3+3+4: A and B in turn up to 6 A and 4 B (34 beats),
  // counted from the theme before the first import.
  EXPECT_EQ(Solea().times[0], 6);
  EXPECT_EQ(Solea().times[1], 4);
  ASSERT_EQ(G().GuitarTrack.size(), 34u);
  EXPECT_EQ(G().GuitarBarCount, 10);
  EXPECT_EQ(OnlyNote(G().GuitarTrack[30]), PlaceOf(69));
  EXPECT_EQ(form->LGCompas->text(), "  1/ 10");
  EXPECT_EQ(form->SBCompas->maximum(), 10);
  EXPECT_EQ(CheckedUnits(), std::vector<QAction*>{form->Corchea1});
  EXPECT_NE(Report().find("divisiones"), std::string::npos);

  // The dotted quarter: 16 x 2/3, 11 beats: the theme starts again from its
  // backup (2 A, 1 B) and needs one more A only.
  pick = form->Negrap1;
  form->SpeedButton24->click();
  EXPECT_EQ(Solea().times[0], 3);
  EXPECT_EQ(Solea().times[1], 1);
  EXPECT_EQ(G().GuitarTrack.size(), 13u);
  EXPECT_EQ(CheckedUnits(), std::vector<QAction*>{form->Negrap1});

  // "Abrir nuevo MIDI" asks for a file; Cancel leaves the theme as it is.
  pick = form->MIDIinfo1;
  form->SpeedButton24->click();
  EXPECT_EQ(dlg->fileRequests.size(), 2u);
  EXPECT_EQ(Solea().times[0], 3);

  // Closing and opening the panel: the check mark back on "Negra", and the
  // next press is a fresh import of the theme as it is now (3 A, 1 B), not
  // of the theme before the first import.
  form->Corchea1->trigger();
  ASSERT_EQ(CheckedUnits(), std::vector<QAction*>{form->Corchea1});
  form->Guitarra1->trigger();
  form->Guitarra1->trigger();
  ASSERT_TRUE(form->Guitarra1->isChecked());
  EXPECT_EQ(CheckedUnits(), std::vector<QAction*>{form->Negra1});
  menus = 0;
  const size_t asked = dlg->fileRequests.size();
  Offer("short.mid", OneTrack(TimeSig(0, 4, 2) + On(0, 64) + End(4 * 480)));
  form->SpeedButton24->click();
  EXPECT_EQ(menus, 0);
  EXPECT_EQ(dlg->fileRequests.size(), asked + 1);
  EXPECT_EQ(Solea().times[0], 3);
  EXPECT_EQ(Solea().times[1], 1);
  EXPECT_EQ(G().GuitarTrack.size(), 13u);
  EXPECT_FALSE(SameTheme(Solea(), original));
}
