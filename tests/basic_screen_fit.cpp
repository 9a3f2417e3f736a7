// The basic window on a given screen (QT_QPA_PLATFORM=offscreen:configfile=...,
// see tests/screens/): the window within the screen, every control inside its
// page, and no text of either language cut or drawn over another one, on
// each of the three pages, with the longest names a set can hold.
#include <QAbstractButton>
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QAbstractScrollArea>

#include "basic/window/basic_about.h"
#include "basic/window/basic_language.h"
#include "basic_gui_fixture.h"
#include "fit_checks.h"
#include "language_check.h"
#include "platform/ui/desk_places.h"

namespace {

void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

class BasicScreenFitTest : public BasicWindowTest {
 protected:
  void ShowEverything() {
    Start();
    // The longest names the records hold: 14 characters for a theme, 5 for a formula.
    const QString theme = QString::fromUtf8("Soleá bulerías");
    ASSERT_EQ(theme.size(), 14);
    form->SGTemas->SetCells(1, 1, theme);
    form->SGTemasSetEditText(1, 1, theme);
    const QString formula = QString::fromUtf8("Malag");
    form->SGFormulas->SetCells(2, 1, formula);
    form->SGFormulasSetEditText(2, 1, formula);
    form->SGTemasSelectCell(1, 1);
    form->SGFormulasSelectCell(1, 1);
    form->SGDatosFormulaSelectCell(2, 1);
    form->showMaximized();
    Settle();
  }
  // Picks the longest texts the labels filled at run time show.
  void LongestRuntimeTexts() {
    form->TTiempo->setText("99:59.9");
    form->Label8->setText("400.00 bpm");
    form->Label1->setText(form->English ? "Formula 999" : QString::fromUtf8("Fórmula 999"));
    form->Label14->setText((form->English ? QString("Used in song 999 ") : QString("Usada en Tema 999 ")) +
                           QString::fromUtf8("Soleá bulerías"));
    form->Label25->setText((form->English ? QString("Add F 999 ") : QString::fromUtf8("Añadir F 999 ")) + "Malag");
    form->Label3->setText((form->English ? QString("Compass 999/999") : QString::fromUtf8("Compás 999/999")) +
                          QString::fromUtf8(" - 99ª / 99"));
    form->Label15->setText(form->English ? "Used (100.00%)" : "Usado (100.00%)");
    form->Label22->setText("59.9'");
    Settle();
  }
  // VELARTO_FIT_PICTURES=<folder> keeps a picture of each page tried, to look at.
  void KeepPicture(const QString& name) {
    const QByteArray folder = qgetenv("VELARTO_FIT_PICTURES");
    if (folder.isEmpty()) return;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    form->grab().save(QString("%1/basic-%2x%3-%4.png")
                          .arg(QString::fromLocal8Bit(folder))
                          .arg(screen.width())
                          .arg(screen.height())
                          .arg(name));
  }
  // The controls below parent that stand, whole or in part, outside it.
  static QStringList Outside(QWidget* parent) {
    QStringList out;
    for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (w->isWindow() || !w->isVisibleTo(parent)) continue;
      if (!parent->rect().contains(w->geometry()))
        out << QString("%1 at %2,%3 %4x%5 in %6x%7")
                   .arg(Where(w))
                   .arg(w->x())
                   .arg(w->y())
                   .arg(w->width())
                   .arg(w->height())
                   .arg(parent->width())
                   .arg(parent->height());
      if (qobject_cast<QGroupBox*>(w) || w->objectName().startsWith("Panel")) out << Outside(w);
    }
    return out;
  }
  // The page and the groups on it whose texts must not be drawn over each other.
  static QList<QWidget*> Containers(QWidget* page) {
    QList<QWidget*> all = {page};
    for (QWidget* w : page->findChildren<QWidget*>())
      if (qobject_cast<QGroupBox*>(w) || w->objectName().startsWith("Panel")) all << w;
    return all;
  }
  void ExpectEveryPageReadable(const char* language) {
    for (QWidget* page : {form->TabSheet1, form->TabSheet2, form->TabSheet3}) {
      form->PageControl1->setCurrentWidget(page);
      Settle();
      const std::string where = std::string(language) + " " + page->objectName().toStdString();
      KeepPicture(QString("%1-%2").arg(language, page->objectName()));
      // The page control whole inside the window, the page inside it.
      EXPECT_TRUE(form->centralWidget()->rect().contains(form->PageControl1->geometry()))
          << where << ": the page control " << form->PageControl1->width() << "x" << form->PageControl1->height()
          << " at " << form->PageControl1->x() << " in " << form->centralWidget()->width() << "x"
          << form->centralWidget()->height();
      const QStringList outside = Outside(page);
      EXPECT_TRUE(outside.isEmpty()) << where << ":\n" << outside.join('\n').toStdString();
      const QStringList cut = CutTexts(page);
      EXPECT_TRUE(cut.isEmpty()) << where << ": " << cut.size() << " texts cut:\n" << cut.join('\n').toStdString();
      QStringList over;
      for (QWidget* c : Containers(page)) over << Overlaps(c);
      EXPECT_TRUE(over.isEmpty()) << where << ":\n" << over.join('\n').toStdString();
    }
    // The tab captions show whole.
    QTabBar* bar = form->PageControl1->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
      const int need = bar->fontMetrics().horizontalAdvance(bar->tabText(i));
      EXPECT_LE(need, bar->tabRect(i).width()) << language << " tab " << i;
    }
  }
};

TEST_F(BasicScreenFitTest, WindowFitsTheScreen) {
  ShowEverything();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(form->frameGeometry()))
      << "window " << form->frameGeometry().width() << "x" << form->frameGeometry().height() << " on "
      << screen.width() << "x" << screen.height();
  // Restored, it still fits (the program opens it within the free area).
  form->showNormal();
  Settle();
  EXPECT_TRUE(screen.contains(form->frameGeometry()))
      << "restored window " << form->frameGeometry().width() << "x" << form->frameGeometry().height();
  EXPECT_LE(form->minimumSizeHint().width(), screen.width());
}

TEST_F(BasicScreenFitTest, EveryPageReadableInBothLanguages) {
  ShowEverything();
  LongestRuntimeTexts();
  ExpectEveryPageReadable("Spanish");
  form->Ingls1->trigger();
  form->SGTemasSelectCell(1, 1);
  form->SGFormulasSelectCell(1, 1);
  LongestRuntimeTexts();
  ExpectEveryPageReadable("English");
}

namespace {
// The groups of a page (and the groups inside them) that cover a sibling group.
QStringList CoveredGroups(QWidget* page) {
  QStringList out;
  QList<QWidget*> holders = {page};
  for (QWidget* w : page->findChildren<QWidget*>())
    if (!qobject_cast<QAbstractScrollArea*>(w->parentWidget())) holders << w;
  for (QWidget* holder : holders) {
    QList<QWidget*> groups;
    for (QWidget* w : holder->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (w->isVisibleTo(page) && (qobject_cast<QGroupBox*>(w) || w->objectName().startsWith("Panel"))) groups << w;
    for (int i = 0; i < groups.size(); ++i)
      for (int j = i + 1; j < groups.size(); ++j)
        if (PanelsOverlap(groups[i]->geometry(), groups[j]->geometry()))
          out << Where(groups[i]) + " over " + Where(groups[j]);
  }
  return out;
}
}  // namespace

// Each page, opened in turn from its tab and from the menu that shows it, in
// either language: no group of it covers another one.
TEST_F(BasicScreenFitTest, GroupsNeverCoverEachOther) {
  ShowEverything();
  for (const std::string language : {"Spanish", "English"}) {
    if (language == "English") form->Ingls1->trigger();
    for (QWidget* page : {form->TabSheet1, form->TabSheet2, form->TabSheet3}) {
      form->PageControl1->setCurrentWidget(page);
      Settle();
      const QStringList covered = CoveredGroups(page);
      EXPECT_TRUE(covered.isEmpty()) << language << " " << page->objectName().toStdString() << ":\n"
                                     << covered.join('\n').toStdString();
    }
    form->Afinar2->trigger();  // the tuner page, from its menu
    Settle();
    EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheet2);
    EXPECT_TRUE(CoveredGroups(form->TabSheet2).isEmpty()) << language;
    form->Stop1Click();
  }
}

// After what a user does first, nothing of any page is cut, covered, half
// outside its group or hidden behind a grid's edge, and nothing of the other
// language shows: select a theme, click a formula, change its beats, play
// the theme, stop; the same after a switch to the other language and back.
TEST_F(BasicScreenFitTest, NothingIsCutOrCoveredAfterTheCommonActions) {
  ShowEverything();
  Vocabulary words;
  words.AddTable(bornace::BasicLanguageTable());
  words.AddPatterns(kRunTimeTexts);
  for (const std::string language : {"Spanish", "English", "Spanish again"}) {
    (language == "English" ? form->Ingls1 : form->Espaol1)->trigger();
    for (const WindowState& s : CommonActionStates(*form)) {
      s.act();
      Settle();
      const std::string state = language + " " + s.name;
      for (QWidget* page : {form->TabSheet1, form->TabSheet2, form->TabSheet3}) {
        form->PageControl1->setCurrentWidget(page);
        Settle();
        const std::string where = state + " " + page->objectName().toStdString();
        KeepPicture(QString::fromStdString(where).replace(' ', '-'));
        const QStringList cut = CutTexts(page) + HiddenColumns(page) + Outside(page);
        EXPECT_TRUE(cut.isEmpty()) << where << ":\n" << cut.join('\n').toStdString();
        QStringList over;
        for (QWidget* c : Containers(page)) over << Overlaps(c);
        EXPECT_TRUE(over.isEmpty()) << where << ":\n" << over.join('\n').toStdString();
        const QStringList wrong = OtherLanguageTexts(form.get(), words, form->English);
        EXPECT_TRUE(wrong.isEmpty()) << where << ", of the other language:\n" << wrong.join('\n').toStdString();
      }
      form->PageControl1->setCurrentWidget(form->TabSheet1);
    }
  }
}

TEST_F(BasicScreenFitTest, StereoChartShowsWholeInTheWindow) {
  ShowEverything();
  form->cb3d->setChecked(true);
  form->cb3dClick();
  Settle();
  EXPECT_TRUE(form->centralWidget()->rect().contains(form->Chart1->geometry()))
      << form->Chart1->x() << "," << form->Chart1->y() << " " << form->Chart1->width() << "x"
      << form->Chart1->height();
}

TEST_F(BasicScreenFitTest, AboutBoxTextsFit) {
  Start();
  for (bool english : {false, true}) {
    if (english) form->Ingls1->trigger();
    bornace::TAcercade box(form.get());
    box.show();
    Settle();
    const QStringList cut = CutTexts(&box);
    EXPECT_TRUE(cut.isEmpty()) << (english ? "English" : "Spanish") << ":\n" << cut.join('\n').toStdString();
    EXPECT_EQ(box.size(), QSize(467, 314));
  }
}

}  // namespace
