// The basic window in one language at a time: after each switch, both ways,
// and after the common actions, nothing it shows is of the other language.
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
  const struct {
    const char* state;
    std::function<void()> act;
  } states[] = {
      {"start", [] {}},
      {"theme selected", [&] { form->SGTemasSelectCell(1, 2); }},
      {"formula clicked",
       [&] {
         form->SGFormulas->Select(1, 3);
         form->SGFormulasSelectCell(1, 3);
         form->SGFormulasClick();
       }},
      {"theme playing", [&] { form->BotonPlayCompClick(); }},
      {"stopped", [&] { form->Stop1Click(); }},
  };
  for (const auto& s : states) {
    s.act();
    for (bool english : {true, false, true, false}) {
      (english ? form->Ingls1 : form->Espaol1)->trigger();
      // Every page of the page control in turn.
      for (int page = 0; page < form->PageControl1->count(); ++page) {
        SCOPED_TRACE(std::string(s.state) + (english ? ", English" : ", Spanish") + ", page " +
                     std::to_string(page));
        form->PageControl1->setCurrentIndex(page);
        const QStringList wrong = OtherLanguageTexts(form.get(), v, english);
        EXPECT_TRUE(wrong.isEmpty()) << wrong.join('\n').toStdString();
        KeepLanguagePicture(form.get(), QString("basic-%1-%2-page%3").arg(s.state, english ? "en" : "es").arg(page));
      }
      form->PageControl1->setCurrentIndex(0);
    }
  }
}
