// Labels that name a state show it as soon as it changes: the window's
// caption after every save and open, the tempo label after a typed tempo,
// the formula length after a beat-count change and the save button while
// nothing has changed.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <functional>

#include "gui_fixture.h"
#include "transport_test_theme.h"

namespace {

using LabelTest = WindowTest;

void Switch(TMainForm& f, bool english) { (english ? f.Ingls1 : f.Espaol1)->trigger(); }

}  // namespace

TEST_F(LabelTest, CaptionNamesTheOpenSetAfterEverySaveAndOpen) {
  Start();
  const QString folder = QString::fromStdString(dir.path()) + "/datos/";
  const struct {
    const char* action;
    std::function<void()> act;
    const char* name;  // the set named by the caption and Label21 afterwards
  } steps[] = {
      // The factory set is saved under the first free name.
      {"save of the factory set",
       [&] {
         form->Cambios();
         dlg->answers = {kAnswerYes};
         form->botonrecClick();
       },
       "Original-1"},
      {"save as",
       [&] {
         dlg->saveNames = {folder + "Otro.vl2"};
         form->Guardarcomo1Click();
       },
       "Otro"},
      {"open of the factory set", [&] { form->Original1Click(); }, "Original"},
      {"open",
       [&] {
         dlg->openNames = {folder + "Original-1.vl2"};
         form->Abrir2Click();
       },
       "Original-1"},
      {"new", [&] { form->Nuevo1Click(); }, "Nuevo"},
      {"save of a new set",
       [&] {
         form->Cambios();
         dlg->answers = {kAnswerYes};
         form->botonrecClick();
       },
       "Nuevo-1"},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.action);
    s.act();
    ASSERT_EQ(form->DataSet.DataSetName, s.name);
    EXPECT_EQ(form->windowTitle(), QString("Velarto Quendrel - ") + s.name);
    EXPECT_EQ(form->Label21->text(), s.name);
    // The set's name is shown once, beside the sounds panel's caption.
    EXPECT_EQ(form->PanelSonidos->title(), QString::fromUtf8(form->English ? "   Sounds " : "   Sonidos "));
    Switch(*form, !form->English);  // the next step in the other language
  }
}

// Whatever changes the tempo, the tempo label shows it at once and in the
// one form the beats write it: the formula slider (also while a theme
// plays), the theme slider, a theme's selection and an entry with a tempo
// of its own.
TEST_F(LabelTest, TempoLabelShowsEveryTempoChangeInOneForm) {
  Start();
  const TestEntries entries = {{0, 1}, {1, 1}};
  SetTestFormulas(*form->Rhythm);
  SetTestTheme(form->Rhythm->Temas[0], entries, 1, true, 0, 0);
  form->Rhythm->Temas[0].tempos[1] = 150;  // the second entry's own tempo
  form->SGTemas->Select(1, 1);
  form->SGTemasSelectCell(1, 1);
  const struct {
    const char* action;
    std::function<void()> act;
    const char* label;
  } steps[] = {
      {"theme selected", [] {}, "120.00 bpm"},
      {"formula slider", [&] { form->TB2->setValue(420 - 97); }, "97.00 bpm"},
      {"theme slider", [&] { form->TB1->setValue(420 - 133); }, "133.00 bpm"},
      {"entry with its tempo",
       [&] {
         form->SGSaco->Select(1, 2);
         form->SGSacoSelectCell(1, 2);
       },
       "150.00 bpm"},
      {"playing, formula slider",
       [&] {
         form->SGSaco->Select(1, 1);
         form->SGSacoSelectCell(1, 1);
         form->BotonPlayCompClick();
         ASSERT_NE(form->Engine->PlayState, 0);
         form->TB2->setValue(420 - 88);
       },
       "88.00 bpm"},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(form->Label8->text(), s.label) << s.action;
  }
  form->botonstopClick();
}

TEST_F(LabelTest, TempoLabelFollowsATypedTempoAtOnce) {
  Start();
  const struct {
    const char* typed;
    const char* label;  // Label8 afterwards
  } cases[] = {{"100", "100.00 bpm"}, {"45 bpm", "45.00 bpm"}, {"500", "45.00 bpm"}, {"20", "20.00 bpm"},
               {"400", "400.00 bpm"}, {"", "400.00 bpm"}};
  for (bool english : {false, true}) {
    Switch(*form, english);
    form->TB2->setValue(280);  // 140 bpm
    ASSERT_EQ(form->Label8->text(), "140.00 bpm");
    for (const auto& c : cases) {
      form->Edit1->setText(c.typed);
      form->Edit1Change();
      EXPECT_EQ(form->Label8->text(), c.label) << c.typed << (english ? " English" : " Spanish");
    }
  }
}

// One format per language, written when the beat count or the tempo changes.
TEST_F(LabelTest, FormulaLengthFollowsTheBeatCountAndTheTempoInOneFormat) {
  Start();
  const int row = 1;
  form->Rhythm->Formulas[row - 1].SetHeader(12, 0);
  form->SGFormulas->Select(1, row);
  form->SGFormulasSelectCell(1, row);
  const struct {
    const char* action;
    std::function<void()> act;
    const char* spanish;
    const char* english;
  } steps[] = {
      {"120 bpm", [&] { form->TB2->setValue(300); }, "Duración  6.0 seg", "Length  6.0 sec"},
      {"4 beats", [&] { form->SGFormulasSetEditText(1, row, "4"); }, "Duración  2.0 seg", "Length  2.0 sec"},
      {"100 bpm", [&] { form->TB2->setValue(320); }, "Duración  2.4 seg", "Length  2.4 sec"},
      {"7 beats", [&] { form->SGFormulasSetEditText(1, row, "7"); }, "Duración  4.2 seg", "Length  4.2 sec"},
      {"13 beats: refused", [&] { form->SGFormulasSetEditText(1, row, "13"); }, "Duración  4.2 seg",
       "Length  4.2 sec"},
  };
  for (bool english : {false, true}) {
    Switch(*form, english);
    form->Rhythm->Formulas[row - 1].SetHeader(12, 0);
    for (const auto& s : steps) {
      s.act();
      EXPECT_EQ(form->Label22->text(), QString::fromUtf8(english ? s.english : s.spanish))
          << s.action << (english ? " English" : " Spanish");
    }
    // The beat columns' headings follow the count too.
    EXPECT_EQ(form->SGDatosFormula->Cells(8, 0), english ? "B 7" : "T 7");
  }
}

TEST_F(LabelTest, SaveButtonIsShownDisabledWhileNothingChanged) {
  Start();
  for (bool english : {false, true}) {
    Switch(*form, english);
    const char* caption = english ? "Save" : "Guardar";
    form->ClearModified();
    EXPECT_FALSE(form->Modified());
    EXPECT_TRUE(form->botonrec->isHidden());
    ASSERT_TRUE(form->TapaRec->isVisibleTo(form.get()));
    EXPECT_FALSE(form->TapaRec->isEnabled());
    EXPECT_EQ(form->TapaRec->text(), caption);
    EXPECT_EQ(form->TapaRec->geometry(), form->botonrec->geometry());
    form->Cambios();
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(form->botonrec->isVisibleTo(form.get()));
    EXPECT_TRUE(form->botonrec->isEnabled());
    EXPECT_TRUE(form->TapaRec->isHidden());
    EXPECT_EQ(form->botonrec->text(), caption);
  }
}
