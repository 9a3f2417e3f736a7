// The main window on a given screen (QT_QPA_PLATFORM=offscreen:configfile=...,
// see tests/screens/): it fits the screen, every panel can be reached, and no
// text of either language is cut or drawn over another one.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>

#include "app/window/about.h"
#include "platform/ui/desk_places.h"
#include "fit_checks.h"
#include "gui_fixture.h"
#include "language_check.h"
#include "platform/ui/string_grid.h"

namespace {

class ScreenFitTest : public WindowTest {
 protected:
  void ShowEverything() {
    Start();
    // The longest names the records hold, so that the labels showing them are tried too.
    const QString theme = QString::fromUtf8("Soleá por bulerías de Jerez (II)");
    ASSERT_EQ(theme.size(), 32);
    form->SGTemas->SetCells(1, 1, theme);
    if (form->SGTemas->onSetEditText) form->SGTemas->onSetEditText(1, 1, theme);
    const QString formula = QString::fromUtf8("Bulerías al golp");
    form->SGFormulas->SetCells(2, 1, formula);
    if (form->SGFormulas->onSetEditText) form->SGFormulas->onSetEditText(2, 1, formula);
    form->SGTemas->onSelectCell(1, 1);
    form->SGFormulas->onSelectCell(1, 1);
    for (QAction* a : {form->Metrnomo1, form->Temas1, form->Frmulas1, form->Pistas1, form->Onda1, form->Sonidos1,
                       form->Afinador1, form->Guitarra1})
      if (!a->isChecked()) a->trigger();
    // The large beat number, as while a theme plays.
    form->STT->setText("12");
    form->STT->setVisible(true);
    form->showMaximized();
    QCoreApplication::processEvents();
  }
  QList<QGroupBox*> Panels() const {
    return {form->PanelMetronomo, form->PanelTemas, form->PanelFormulas, form->PanelPistas,
            form->PanelSonidos,   form->PanelAfinador, form->PanelGuitarra};
  }
  // VELARTO_FIT_PICTURES=<folder> keeps a picture of each window tried, to look at.
  void KeepPicture(const char* name) {
    const QByteArray folder = qgetenv("VELARTO_FIT_PICTURES");
    if (folder.isEmpty()) return;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QString stem = QString("%1/%2x%3-%4").arg(QString::fromLocal8Bit(folder)).arg(screen.width()).arg(screen.height()).arg(name);
    form->grab().save(stem + ".png");
    // And each panel whole, wherever the desk is scrolled.
    for (QWidget* p : form->DeskPanels())
      if (!p->isHidden()) p->grab().save(stem + "-" + p->objectName() + ".png");
  }
  void ExpectNothingCut(const char* language) {
    KeepPicture(language);
    const QStringList cut = CutTexts(form.get());
    EXPECT_TRUE(cut.isEmpty()) << language << ": " << cut.size() << " texts cut:\n" << cut.join('\n').toStdString();
    QStringList over;
    for (QGroupBox* p : Panels()) over << Overlaps(p);
    EXPECT_TRUE(over.isEmpty()) << language << ":\n" << over.join('\n').toStdString();
  }
};

TEST_F(ScreenFitTest, WindowFitsTheScreenAndEveryPanelCanBeReached) {
  ShowEverything();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(form->frameGeometry())) << "window " << form->frameGeometry().width() << "x"
                                                      << form->frameGeometry().height() << " on " << screen.width()
                                                      << "x" << screen.height();
  // The status bar shows inside the window.
  QStatusBar* status = form->statusBar();
  ASSERT_TRUE(status->isVisible());
  EXPECT_TRUE(form->rect().contains(QRect(status->mapTo(form.get(), QPoint(0, 0)), status->size())));

  auto* scroll = qobject_cast<QScrollArea*>(form->centralWidget());
  ASSERT_NE(scroll, nullptr);
  for (QGroupBox* p : Panels()) {
    // Its title bar: the top strip, with the close label at its left.
    const QRect title(p->mapTo(scroll->widget(), QPoint(0, 0)), QSize(p->width(), 18));
    // As much of it as the screen holds, from its left end.
    const int w = std::min(title.width(), scroll->viewport()->width() - 2);
    scroll->ensureVisible(title.x() + w / 2, title.y() + 9, (w + 1) / 2, 9);  // an odd width whole too
    QCoreApplication::processEvents();
    const QRect seen(scroll->widget()->mapFrom(scroll->viewport(), QPoint(0, 0)), scroll->viewport()->size());
    EXPECT_TRUE(seen.contains(QRect(title.topLeft(), QSize(w, 18))))
        << p->objectName().toStdString() << " title at " << title.x() << "," << title.y() << " not reachable; desk "
        << scroll->widget()->width() << "x" << scroll->widget()->height() << " min " << scroll->widget()->minimumWidth() << " seen " << seen.x() << "," << seen.y() << " " << seen.width() << "x" << seen.height() << " w " << w << " hmax " << scroll->horizontalScrollBar()->maximum();
  }
}

TEST_F(ScreenFitTest, NoTextIsCutInEitherLanguage) {
  ShowEverything();
  ExpectNothingCut("Spanish");
  form->Ingls1->trigger();
  form->SGTemas->onSelectCell(1, 1);
  form->SGFormulas->onSelectCell(1, 1);
  QCoreApplication::processEvents();
  ExpectNothingCut("English");
}

TEST_F(ScreenFitTest, AboutBoxTextsFit) {
  Start();
  for (bool english : {false, true}) {
    if (english) form->Ingls1->trigger();
    TAcercade box(form.get());
    box.FormCreate();
    box.show();
    QCoreApplication::processEvents();
    const QStringList cut = CutTexts(&box);
    EXPECT_TRUE(cut.isEmpty()) << (english ? "English" : "Spanish") << ":\n" << cut.join('\n').toStdString();
  }
}

}  // namespace

namespace {
// Pixels of a widget's picture clearly lighter than the black panel behind it.
int LightPixels(QWidget* w, QRect area) {
  const QImage img = w->grab().toImage();
  int n = 0;
  for (int y = area.top(); y <= area.bottom() && y < img.height(); ++y)
    for (int x = area.left(); x <= area.right() && x < img.width(); ++x)
      if (qGray(img.pixel(x, y)) > 90) ++n;
  return n;
}
}  // namespace

// An unticked check box or radio button on a black panel still shows its box.
TEST_F(ScreenFitTest, UntickedBoxesShowOnTheBlackPanels) {
  ShowEverything();
  QList<QAbstractButton*> boxes = {form->AccentBoxes[0], form->RadioButton2, form->RBAcento};
  for (QAbstractButton* b : boxes) {
    b->setChecked(false);
    QCoreApplication::processEvents();
    // The indicator stands at the left, as high as the box.
    EXPECT_GT(LightPixels(b, QRect(0, 0, 16, b->height())), 12) << b->objectName().toStdString();
  }
}

namespace {
// Every pair of visible panels covering each other, neither dragged there.
QStringList CoveredPanels(TMainForm& f) {
  QStringList out;
  const QList<QWidget*> panels = f.DeskPanels();
  for (int i = 0; i < panels.size(); ++i)
    for (int j = i + 1; j < panels.size(); ++j) {
      QWidget *a = panels[i], *b = panels[j];
      if (a->isHidden() || b->isHidden()) continue;
      if (PanelsOverlap(a->geometry(), b->geometry()))
        out << QString("%1 %2,%3 %4x%5 over %6 %7,%8 %9x%10")
                   .arg(a->objectName()).arg(a->x()).arg(a->y()).arg(a->width()).arg(a->height())
                   .arg(b->objectName()).arg(b->x()).arg(b->y()).arg(b->width()).arg(b->height());
    }
  return out;
}
// A panel that opens lies within the desk's view, unless it is wider than
// the view (the start panels keep their layout places).
QString NeedlessScroll(TMainForm& f) {
  const int view = f.DeskScroll->viewport()->width();
  for (QWidget* p : {static_cast<QWidget*>(f.PanelOnda), static_cast<QWidget*>(f.PanelSonidos),
                     static_cast<QWidget*>(f.PanelAfinador), static_cast<QWidget*>(f.PanelGuitarra)})
    if (!p->isHidden() && p->x() + p->width() > view && p->x() > 0 && p->width() <= view - 4)
      return QString("%1 ends at %2 in a view %3 wide").arg(p->objectName()).arg(p->x() + p->width()).arg(view);
  return QString();
}
}  // namespace

// Each panel that opens takes free room: opened one at a time beside the
// start panels, and all together, no two cover each other, in either language.
TEST_F(ScreenFitTest, PanelsThatOpenNeverCoverEachOther) {
  Start();
  form->showMaximized();
  QCoreApplication::processEvents();
  const QList<QAction*> items = {form->Metrnomo1, form->Temas1,   form->Frmulas1,  form->Pistas1,
                                 form->Onda1,     form->Sonidos1, form->Afinador1, form->Guitarra1};
  for (const char* language : {"Spanish", "English"}) {
    if (std::string(language) == "English") form->Ingls1->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(CoveredPanels(*form).isEmpty()) << language << " at start:\n" << CoveredPanels(*form).join('\n').toStdString();
    for (QAction* item : items) {
      const bool wasOpen = item->isChecked();
      // A start panel is closed and opened again; any other opened and closed.
      item->trigger();
      if (wasOpen) item->trigger();
      QCoreApplication::processEvents();
      const QStringList covered = CoveredPanels(*form);
      EXPECT_TRUE(covered.isEmpty()) << language << " " << item->objectName().toStdString() << ":\n"
                                     << covered.join('\n').toStdString();
      const QString scroll = NeedlessScroll(*form);
      EXPECT_TRUE(scroll.isEmpty()) << language << ": " << scroll.toStdString();
      if (!wasOpen) item->trigger();
    }
    for (QAction* item : items)
      if (!item->isChecked()) item->trigger();
    QCoreApplication::processEvents();
    KeepPicture((std::string("desk-") + language).c_str());
    const QStringList covered = CoveredPanels(*form);
    EXPECT_TRUE(covered.isEmpty()) << language << " all open:\n" << covered.join('\n').toStdString();
    const QString scroll = NeedlessScroll(*form);
    EXPECT_TRUE(scroll.isEmpty()) << language << ": " << scroll.toStdString();
    // Closed again, the start panels remain.
    for (QAction* item : {form->Onda1, form->Sonidos1, form->Afinador1, form->Guitarra1}) item->trigger();
  }
}

namespace {
// Controls of a panel that stand partly outside it.
QStringList PartlyOutside(QWidget* panel) {
  QStringList out;
  for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w->isVisibleTo(panel) && !w->isWindow() && !panel->rect().contains(w->geometry()))
      out << QString("%1 at %2,%3 %4x%5 in %6x%7").arg(Where(w)).arg(w->x()).arg(w->y()).arg(w->width())
                 .arg(w->height()).arg(panel->width()).arg(panel->height());
  return out;
}
}  // namespace

// After what a user does first, nothing is cut, covered or half shown, and
// nothing of the other language shows: select a theme, click a formula,
// change its beats, play the theme, and the same after a switch to the
// other language and back.
TEST_F(ScreenFitTest, NothingIsCutOrCoveredAfterTheCommonActions) {
  ShowEverything();
  Vocabulary words;
  words.AddTable(LanguageTable());
  words.AddPatterns(kRunTimeTexts);
  auto expectReadable = [&](const std::string& state) {
    QCoreApplication::processEvents();
    KeepPicture(state.c_str());
    const QStringList wrong = OtherLanguageTexts(form.get(), words, form->English, {"CBGuitarras", "CBAcordes"});
    EXPECT_TRUE(wrong.isEmpty()) << state << ", of the other language:\n" << wrong.join('\n').toStdString();
    const QStringList cut = CutTexts(form.get()) + HiddenColumns(form.get());
    EXPECT_TRUE(cut.isEmpty()) << state << ":\n" << cut.join('\n').toStdString();
    QStringList over;
    for (QWidget* p : form->DeskPanels()) over << Overlaps(p) << PartlyOutside(p);
    EXPECT_TRUE(over.isEmpty()) << state << ":\n" << over.join('\n').toStdString();
    // The tracks' sound names are drawn in bold.
    QFont bold = form->SGDatosFormula->font();
    bold.setBold(true);
    for (int r = 1; r < form->SGDatosFormula->RowCount(); ++r) {
      const QString name = form->SGDatosFormula->Cells(1, r);
      EXPECT_LE(QFontMetrics(bold).horizontalAdvance(name) + 4, form->SGDatosFormula->columnWidth(1))
          << state << ": " << name.toStdString();
    }
  };
  for (const std::string language : {"Spanish", "English", "Spanish-again"}) {
    (language == "English" ? form->Ingls1 : form->Espaol1)->trigger();
    expectReadable(language + "-start");
    form->SGTemas->onSelectCell(1, 2);
    expectReadable(language + "-theme");
    // A click on the third formula, as the grid passes it on.
    form->SGFormulas->onSelectCell(1, 3);
    form->SGFormulasMouseMove();
    form->SGFormulasClick();
    ASSERT_FALSE(form->Label25->text().isEmpty());
    expectReadable(language + "-formula");
    form->SGFormulas->SetCells(1, 3, "4");
    form->SGFormulasSetEditText(1, 3, "4");
    expectReadable(language + "-4beats");
    form->SGFormulasExit();
    form->SGTemas->onSelectCell(1, 1);
    form->BotonPlayCompClick();
    for (int i = 0; i < 5; ++i) {
      form->OnBufferDone();
      QCoreApplication::processEvents();
    }
    expectReadable(language + "-playing");
    form->botonstopClick();
  }
}
