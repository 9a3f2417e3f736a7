// The basic window in one language at a time: after each switch, both ways,
// and after the common actions, nothing it shows is of the other language.
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <functional>

#include "basic/window/basic_language.h"
#include "basic_gui_fixture.h"
#include "language_check.h"

namespace {

using BasicLanguageTest = BasicWindowTest;

Vocabulary BasicVocabulary() {
  Vocabulary v;
  v.AddTable(bornace::BasicLanguageTable());
  v.AddPatterns(kRunTimeTexts);
  return v;
}

}  // namespace

TEST_F(BasicLanguageTest, NoTextOfTheOtherLanguageStaysAfterASwitch) {
  Start();
  const Vocabulary v = BasicVocabulary();
  for (const WindowState& s : CommonActionStates(*form)) {
    s.act();
    for (bool english : {true, false, true, false}) {
      (english ? form->Ingls1 : form->Espaol1)->trigger();
      // Every page of the page control in turn.
      for (int page = 0; page < form->PageControl1->count(); ++page) {
        SCOPED_TRACE(std::string(s.name) + (english ? ", English" : ", Spanish") + ", page " +
                     std::to_string(page));
        form->PageControl1->setCurrentIndex(page);
        const QStringList wrong = OtherLanguageTexts(form.get(), v, english);
        EXPECT_TRUE(wrong.isEmpty()) << wrong.join('\n').toStdString();
        KeepLanguagePicture(form.get(), QString("basic-%1-%2-page%3").arg(s.name, english ? "en" : "es").arg(page));
      }
      form->PageControl1->setCurrentIndex(0);
    }
  }
}

// The tempo label follows a typed tempo at once, and the formula length a
// beat-count change, in both languages.
TEST_F(BasicLanguageTest, TempoAndLengthLabelsFollowWhatTheyName) {
  Start();
  const int row = 1;
  form->Rhythm->Formulas[row - 1].SetHeader(12, 0);
  form->SGFormulas->Select(1, row);
  form->SGFormulasSelectCell(1, row);
  const struct {
    const char* action;
    std::function<void()> act;
    const char* tempo;   // Label8 afterwards
    const char* length;  // Label22 afterwards
  } steps[] = {
      {"120 typed", [&] { form->Edit1->setText("120"); form->Edit1Change(); }, "120.00 bpm", "6.0'"},
      {"4 beats", [&] { form->SGFormulasSetEditText(1, row, "4"); }, "120.00 bpm", "2.0'"},
      {"90 typed", [&] { form->Edit1->setText("90"); form->Edit1Change(); }, "90.00 bpm", "2.6'"},
      {"7 beats", [&] { form->SGFormulasSetEditText(1, row, "7"); }, "90.00 bpm", "4.6'"},
  };
  for (bool english : {false, true}) {
    (english ? form->Ingls1 : form->Espaol1)->trigger();
    form->Rhythm->Formulas[row - 1].SetHeader(12, 0);
    for (const auto& s : steps) {
      s.act();
      EXPECT_EQ(form->Label8->text(), s.tempo) << s.action << (english ? " English" : " Spanish");
      EXPECT_EQ(form->Label22->text(), s.length) << s.action << (english ? " English" : " Spanish");
    }
  }
}
