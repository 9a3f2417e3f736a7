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
#include "gui_fixture.h"

namespace {

QString Where(const QWidget* w) {
  QStringList path;
  for (const QWidget* p = w; p; p = p->parentWidget())
    if (!p->objectName().isEmpty()) path.prepend(p->objectName());
  return path.join('/');
}

// The width a text takes in a widget's font, the widest line of it.
int TextWidth(const QWidget* w, const QString& text) {
  QFontMetrics fm(w->font());
  int width = 0;
  for (const QString& line : text.split('\n')) width = std::max(width, fm.horizontalAdvance(line));
  return width;
}

bool IsRichText(const QString& text) { return Qt::mightBeRichText(text); }

// Every text control below root whose text does not fit its rectangle.
QStringList CutTexts(QWidget* root) {
  QStringList out;
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(root) || w->width() <= 0) continue;
    if (qobject_cast<QScrollBar*>(w)) continue;
    if (auto* l = qobject_cast<QLabel*>(w)) {
      if (l->text().isEmpty() || !l->pixmap().isNull()) continue;
      if (l->wordWrap() || IsRichText(l->text())) {
        const int needH = l->heightForWidth(l->width());
        if (needH > l->height())
          out << QString("%1 \"%2\": needs %3 px of height, has %4").arg(Where(l), l->text()).arg(needH).arg(l->height());
        if (IsRichText(l->text())) {
          QTextDocument doc;
          doc.setDefaultFont(l->font());
          doc.setHtml(l->text());
          doc.setDocumentMargin(0);
          const int needW = static_cast<int>(std::ceil(doc.idealWidth()));
          if (!l->wordWrap() && needW > l->contentsRect().width())
            out << QString("%1 \"%2\": needs %3 px, has %4").arg(Where(l), l->text()).arg(needW).arg(l->contentsRect().width());
        }
        continue;
      }
      const int need = TextWidth(l, l->text()) + 2 * l->margin() + std::max(0, l->indent());
      if (need > l->contentsRect().width())
        out << QString("%1 \"%2\": needs %3 px, has %4").arg(Where(l), l->text()).arg(need).arg(l->contentsRect().width());
      const int lines = static_cast<int>(l->text().count('\n')) + 1;
      const int needH = QFontMetrics(l->font()).lineSpacing() * (lines - 1) + QFontMetrics(l->font()).height();
      if (needH > l->contentsRect().height() + 2)
        out << QString("%1 \"%2\": needs %3 px of height, has %4").arg(Where(l), l->text()).arg(needH).arg(l->height());
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      if (b->text().isEmpty()) continue;
      QString text = b->text();
      text.remove('&');
      int need = 0;
      if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b))
        need = b->sizeHint().width();
      else
        need = TextWidth(b, text) + 6 + (b->icon().isNull() ? 0 : b->iconSize().width() + 4);
      if (need > b->width())
        out << QString("%1 \"%2\": needs %3 px, has %4").arg(Where(b), b->text()).arg(need).arg(b->width());
    } else if (auto* g = qobject_cast<StringGrid*>(w)) {
      int total = 0;
      for (int c = 0; c < g->ColCount(); ++c) {
        if (g->isColumnHidden(c)) continue;
        total += g->columnWidth(c);
        for (int r = 0; r < g->RowCount(); ++r) {
          const QTableWidgetItem* it = g->item(r, c);
          if (!it || it->text().isEmpty()) continue;
          const int need = QFontMetrics(it->font()).horizontalAdvance(it->text()) + 6;
          if (need > g->columnWidth(c))
            out << QString("%1 cell (%2,%3) \"%4\": needs %5 px, has %6")
                       .arg(Where(g))
                       .arg(c)
                       .arg(r)
                       .arg(it->text())
                       .arg(need)
                       .arg(g->columnWidth(c));
        }
      }
      // Columns wider than the grid are reached by scrolling, never cut off.
      if (total > g->viewport()->width() && g->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
        out << QString("%1: %2 px of columns in %3 px and no scroll bar").arg(Where(g)).arg(total).arg(g->viewport()->width());
    }
  }
  return out;
}

// The part of a control that shows something: a label's text where its
// alignment puts it, any other control whole.
QRect Drawn(QWidget* w) {
  auto* l = qobject_cast<QLabel*>(w);
  if (!l || l->wordWrap() || IsRichText(l->text())) return w->geometry();
  const QRect box = l->geometry();
  const int tw = std::min(box.width(), TextWidth(l, l->text()) + 2 * l->margin());
  int x = box.x();
  if (l->alignment() & Qt::AlignHCenter) x += (box.width() - tw) / 2;
  else if (l->alignment() & Qt::AlignRight) x += box.width() - tw;
  return QRect(x, box.y(), tw, box.height());
}

// Text controls of one panel that are drawn over each other.
QStringList Overlaps(QWidget* panel) {
  QStringList out;
  QList<QWidget*> texts;
  for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!w->isVisibleTo(panel)) continue;
    auto* l = qobject_cast<QLabel*>(w);
    auto* b = qobject_cast<QAbstractButton*>(w);
    if ((l && !l->text().isEmpty()) || (b && !b->text().isEmpty()) || qobject_cast<QAbstractSlider*>(w) ||
        qobject_cast<QAbstractItemView*>(w))
      texts << w;
  }
  for (int i = 0; i < texts.size(); ++i)
    for (int j = i + 1; j < texts.size(); ++j) {
      const QRect a = Drawn(texts[i]).adjusted(1, 1, -1, -1), b = Drawn(texts[j]).adjusted(1, 1, -1, -1);
      if (!a.intersects(b)) continue;
      // Controls standing on a grid on purpose (a row's sliders) are not texts over texts.
      if (qobject_cast<QAbstractItemView*>(texts[i]) || qobject_cast<QAbstractItemView*>(texts[j])) {
        QWidget* other = qobject_cast<QAbstractItemView*>(texts[i]) ? texts[j] : texts[i];
        if (!qobject_cast<QLabel*>(other)) continue;
      }
      if (qobject_cast<QAbstractSlider*>(texts[i]) && qobject_cast<QAbstractSlider*>(texts[j])) continue;
      out << QString("%1 over %2").arg(Where(texts[i]), Where(texts[j]));
    }
  // The caption a panel draws at its top left.
  if (auto* box = qobject_cast<QGroupBox*>(panel); box && !box->title().isEmpty()) {
    QFont bold = box->font();
    bold.setBold(true);
    const QRect caption(18, 0, QFontMetrics(bold).horizontalAdvance(box->title()), 16);
    for (QWidget* w : texts)
      if (Drawn(w).adjusted(1, 1, -1, -1).intersects(caption))
        out << QString("%1 over the caption \"%2\"").arg(Where(w), box->title());
  }
  return out;
}

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
    form->grab().save(QString("%1/%2x%3-%4.png").arg(QString::fromLocal8Bit(folder)).arg(screen.width()).arg(screen.height()).arg(name));
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
    scroll->ensureVisible(title.x() + w / 2, title.y() + 9, w / 2, 9);
    QCoreApplication::processEvents();
    const QRect seen(scroll->widget()->mapFrom(scroll->viewport(), QPoint(0, 0)), scroll->viewport()->size());
    EXPECT_TRUE(seen.contains(QRect(title.topLeft(), QSize(w, 18))))
        << p->objectName().toStdString() << " title at " << title.x() << "," << title.y() << " not reachable";
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
