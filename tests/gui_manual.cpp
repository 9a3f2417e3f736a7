// The user manual: both languages complete, the window's own captions,
// shortcuts and messages, pictures of the real window, and a page layout
// that uses the page.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QUrl>
#include <memory>

#include "app/window/language.h"
#include "app/window/mainform.h"
#include "platform/ui/string_grid.h"
#include "content/manual.h"
#include "content/manual_book.h"
#include "app/window/manual_window.h"
#include "guitar/bars.h"
#include "guitar/gtr_file.h"
#include "rhythm/library_ops.h"
#include "temp_dir.h"

namespace {

class ManualTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string err;
    book_ = BuildManualBook(&err).release();
    ASSERT_NE(book_, nullptr) << err;
  }
  static void TearDownTestSuite() {
    delete book_;
    book_ = nullptr;
  }
  static ManualBook* book_;
};
ManualBook* ManualTest::book_ = nullptr;

int DistinctColours(const QImage& image) {
  QSet<QRgb> colours;
  const QImage im = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < im.height(); y += 2)
    for (int x = 0; x < im.width(); x += 2) colours.insert(im.pixel(x, y));
  return colours.size();
}

// The fixed part of a message: the text up to its first placeholder, without
// the line break that introduces a path.
QString FixedPart(QString s) {
  s.replace("\\r\\n", "");
  const qsizetype cut = s.indexOf('%');
  if (cut >= 0) s = s.left(cut);
  return s.trimmed();
}

}  // namespace

TEST_F(ManualTest, EveryChapterInBothLanguagesWithTheWindowsOwnCaptions) {
  ASSERT_NE(book_, nullptr);
  EXPECT_TRUE(book_->missing.isEmpty()) << book_->missing.join(", ").toStdString();

  // Every chapter is a heading of its language, on the page the contents give.
  const auto& chapters = ManualChapters();
  ASSERT_EQ(book_->contents.size(), 2 * chapters.size());
  std::vector<std::pair<QString, int>> headings;
  for (QTextBlock b = book_->doc->begin(); b.isValid(); b = b.next())
    if (b.blockFormat().headingLevel() == 1)
      headings.push_back({b.text(), book_->PageOf(FirstLineTop(*book_->doc, b)) + 1});
  ASSERT_EQ(headings.size(), 2 * chapters.size());
  for (size_t k = 0; k < headings.size(); ++k) {
    const ManualChapter& c = chapters[k % chapters.size()];
    const QString title = QString::fromUtf8(k < chapters.size() ? c.titleEs : c.titleEn);
    EXPECT_EQ(headings[k].first, QString("%1. %2").arg(k % chapters.size() + 1).arg(title));
    EXPECT_EQ(book_->contents[k].page, headings[k].second) << title.toStdString();
    EXPECT_TRUE(book_->doc->toPlainText().contains(title + "\t" + QString::number(headings[k].second)) ||
                book_->html.contains(QString(">%1</td>").arg(headings[k].second)))
        << title.toStdString();
    // Each chapter says something in its language.
    EXPECT_GT(QString::fromUtf8(k < chapters.size() ? c.es : c.en).size(), 200u) << c.id;
  }

  // The menus, panels and pop-up items are named as the window names them in
  // each language: the language table's captions of the shown components.
  for (const LanguageRow& row : LanguageTable()) {
    if (std::string(row.property) != "caption" || row.pending) continue;
    const QString es = QString::fromUtf8(row.spanish).trimmed(), en = QString::fromUtf8(row.english).trimmed();
    if (QString(row.component).startsWith("Panel")) continue;  // panel titles carry blanks and the maker's name
    if (std::string(row.component) == "Acercade1" || std::string(row.component) == "ActualizarBORNACEPELN1") {
      EXPECT_TRUE(book_->textEs.contains(es)) << row.component;
      EXPECT_TRUE(book_->textEn.contains(en)) << row.component;
      continue;
    }
    EXPECT_TRUE(book_->textEs.contains(es)) << row.component << " " << row.spanish;
    EXPECT_TRUE(book_->textEn.contains(en)) << row.component << " " << row.english;
  }
}

TEST_F(ManualTest, ListsEveryShortcutAndEveryMessageOfTheWindow) {
  ASSERT_NE(book_, nullptr);
  // The shortcut table holds every key of every action of a freshly built window.
  {
    ScratchFolder dir;
    std::string err;
    auto window = ManualWindow::Open(&err);
    ASSERT_NE(window, nullptr) << err;
    for (const ManualShortcut& s : window->Shortcuts())
      for (const QString& key : s.keys.split(", ")) {
        EXPECT_TRUE(book_->shortcutKeys.contains(key)) << key.toStdString();
        EXPECT_TRUE(book_->textEs.contains(key) && book_->textEn.contains(key)) << key.toStdString();
      }
  }
  for (const char* key : {"F1", "F10", "F11", "F12", "Esc", "Ctrl+N", "Ctrl+C", "Ctrl+P", "Ctrl+L", "Ctrl+B",
                          "Ctrl+O", "Ctrl+T"})
    EXPECT_TRUE(book_->shortcutKeys.contains(key)) << key;

  // Every message the window code shows in a box or writes into the log, in
  // both wordings, is explained.
  static const QRegularExpression call(
      R"re((?:ShowMessage|Ask|Log)\(\s*(?:\w+(?:\.|->))?Tr\(\s*"((?:[^"\\]|\\.)*)"\s*,\s*"((?:[^"\\]|\\.)*)"\s*\))re");
  int found = 0;
  for (const char* folder : {"app/window", "rhythm/window", "engine/window", "guitar/window", "tuner/window", "links/window"}) {
    // The handlers and the window steps both editions share (headers too).
    QDirIterator it(QString(VELARTO_SOURCE_DIR) + "/" + folder, {"*.cpp", "*.h"});
    while (it.hasNext()) {
      QFile f(it.next());
      ASSERT_TRUE(f.open(QIODevice::ReadOnly));
      const QString code = QString::fromUtf8(f.readAll());
      auto m = call.globalMatch(code);
      while (m.hasNext()) {
        const auto hit = m.next();
        const QString es = FixedPart(hit.captured(1)), en = FixedPart(hit.captured(2));
        EXPECT_TRUE(book_->textEs.contains(es)) << es.toStdString();
        EXPECT_TRUE(book_->textEn.contains(en)) << en.toStdString();
        ++found;
      }
    }
  }
  EXPECT_GE(found, 15);  // the scan itself still finds the program's messages

  // The guitar's save question is asked in Spanish in both languages, with
  // the file's name after it.
  const QString guitarQuestion = QString::fromUtf8("¿ Quiere guardar el tema de guitarra");
  EXPECT_TRUE(book_->textEs.contains(guitarQuestion));
  EXPECT_TRUE(book_->textEn.contains(guitarQuestion));
}

// The guitar panel: every item of the beat and bar menu and the theme
// grid's guitar items are named as the window names them; the panel's
// picture shows a track with notes, and taking it leaves the window as it
// was (panel closed, the menu's own captions).
TEST_F(ManualTest, TheGuitarChapterNamesItsMenusAndPicturesATrackWithNotes) {
  ASSERT_NE(book_, nullptr);
  ScratchFolder dir;
  std::string err;
  auto window = ManualWindow::Open(&err);
  ASSERT_NE(window, nullptr) << err;
  TMainForm& f = window->Form();

  // Each language's text names them as the window does in that language.
  auto captions = [&f] {
    QStringList out;
    for (QAction* a : f.PopupMenu6->actions())
      if (!a->isSeparator()) out << a->text();
    out << f.CopiarGuitarra1->text() << f.PegarGuitarra1->text();
    return out;
  };
  const bool english = f.English;
  f.Espaol1Click();
  const QStringList spanish = captions();
  f.Ingls1Click();
  const QStringList inEnglish = captions();
  english ? f.Ingls1Click() : f.Espaol1Click();
  EXPECT_EQ(spanish.size(), 12);
  EXPECT_EQ(inEnglish.size(), 12);
  for (const QString& c : spanish) EXPECT_TRUE(book_->textEs.contains(c)) << c.toStdString();
  for (const QString& c : inEnglish) EXPECT_TRUE(book_->textEn.contains(c)) << c.toStdString();

  const QImage panel = window->Picture("PanelGuitarra");
  ASSERT_FALSE(panel.isNull());
  EXPECT_FALSE(f.Guitarra1->isChecked());
  EXPECT_TRUE(f.PanelGuitarra->isHidden());
  // The notes: the frets on the beat view's strings are blue.
  int blue = 0;
  const QImage rgb = panel.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) blue += rgb.pixel(x, y) == qRgb(0, 0, 255);
  EXPECT_GE(blue, 40);

  // The track the picture was taken on: a beat for every beat of the theme,
  // notes among them.
  const int row = f.SGTemas->Row() - 1;
  ASSERT_GE(row, 0);
  const Tema& tema = f.Rhythm->Temas[static_cast<size_t>(row)];
  std::string path;
  ASSERT_TRUE(GuitarTrackPathOf(f.DataSet.DataSetName, tema.Name(), &path));
  BeatRecords track;
  ASSERT_TRUE(ReadBeatFile(path, true, &track)) << path;
  const std::vector<uint32_t> bars = BuildBarTable(tema, f.Rhythm->Formulas.data());
  EXPECT_EQ(track.beats.size(), bars.back() / kBeatBytes);
  int notes = 0;
  for (const TiempoG& t : track.beats)
    for (int d = 0; d < t.divisions && d < kMaxDivisions; ++d)
      for (int s = 0; s < kGuitarStrings; ++s) notes += t.division[d].strength[s] != 0;
  EXPECT_GT(notes, 100);

  // The menu's picture shows numbered items; the items get their own captions back.
  const QImage menu = window->Picture("popup:Chart2");
  ASSERT_FALSE(menu.isNull());
  EXPECT_FALSE(f.Guitarra1->isChecked());
  QStringList after;
  for (QAction* a : f.PopupMenu6->actions())
    if (!a->isSeparator()) after << a->text();
  after << f.CopiarGuitarra1->text() << f.PegarGuitarra1->text();
  EXPECT_EQ(after, captions());
}

TEST_F(ManualTest, PicturesOfTheRealWindowInBothLanguages) {
  ASSERT_NE(book_, nullptr);
  // The start and the desk with every panel open on the two usual screens,
  // and each panel, menu and dialog on its own.
  const QStringList screens = {"window@1366x768", "window@1920x1080", "desk@1366x768", "desk@1920x1080"};
  const QStringList keys = QStringList(screens) + QStringList{
      "PanelMetronomo",  "PanelTemas",   "PanelFormulas", "PanelPistas",          "PanelOnda",
      "PanelSonidos",    "menu:File",    "menu:Ver1",     "menu:Ayuda1",          "popup:SGTemas",
      "popup:SGFormulas", "popup:SGDatosFormula", "popup:LBIns", "popup:LBwavs", "dialog:FormImportar",
      "PanelGuitarra",   "popup:Chart2", "PanelAfinador"};
  const QSize small(1366, 768), large(1920, 1080);
  const double textWidth = book_->doc->pageSize().width() - book_->marginLeft - book_->marginRight;
  for (const char* lang : {"es", "en"})
    for (const QString& key : keys) {
      const QString name = QString("pic:%1/%2").arg(lang, key);
      EXPECT_TRUE(book_->pictures.contains(name)) << name.toStdString();
      const QImage image = book_->doc->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
      ASSERT_FALSE(image.isNull()) << name.toStdString();
      EXPECT_GE(image.width(), 60) << name.toStdString();
      EXPECT_GE(image.height(), 20) << name.toStdString();
      EXPECT_GE(DistinctColours(image), screens.contains(key) ? 64 : 4) << name.toStdString();
      // The window as large as the screen.
      if (key.startsWith("window@")) {
        EXPECT_EQ(image.size(), key.endsWith("1366x768") ? small : large) << name.toStdString();
      }
      EXPECT_TRUE(book_->html.contains("src=\"" + name + "\"")) << name.toStdString();
    }
  // The pictures show each language's captions: the two window pictures differ.
  const auto pic = [&](const char* n) {
    return book_->doc->resource(QTextDocument::ImageResource, QUrl(n)).value<QImage>();
  };
  EXPECT_NE(pic("pic:es/menu:File"), pic("pic:en/menu:File"));
  EXPECT_NE(pic("pic:es/PanelTemas"), pic("pic:en/PanelTemas"));
  // The wider screen gives the panels that open other places.
  EXPECT_NE(pic("pic:es/desk@1366x768"), pic("pic:es/desk@1920x1080"));

  // No picture is wider than the text.
  static const QRegularExpression img(R"re(<img src="[^"]+" width="(\d+)")re");
  auto m = img.globalMatch(book_->html);
  int images = 0;
  while (m.hasNext()) {
    EXPECT_LE(m.next().captured(1).toInt(), textWidth);
    ++images;
  }
  EXPECT_EQ(images, 2 * keys.size());
}

TEST_F(ManualTest, A4PagesWithOneMarginAndNoHeadingAtTheFootOfAPage) {
  ASSERT_NE(book_, nullptr);
  const QTextDocument& doc = *book_->doc;
  const QSizeF page = doc.pageSize();
  EXPECT_NEAR(page.height() / page.width(), 297.0 / 210.0, 0.01);
  EXPECT_GE((page.width() - book_->marginLeft - book_->marginRight) / page.width(), 0.8);
  // The document's margins are the ones laid out.
  const QTextFrameFormat root = doc.rootFrame()->frameFormat();
  EXPECT_DOUBLE_EQ(root.leftMargin(), book_->marginLeft);
  EXPECT_DOUBLE_EQ(root.rightMargin(), book_->marginRight);

  // A heading is always followed on its own page by what it heads.
  int headings = 0;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    if (b.blockFormat().headingLevel() == 0) continue;
    ++headings;
    QTextBlock next = b.next();
    while (next.isValid() && next.layout()->lineCount() == 0) next = next.next();
    if (!next.isValid()) continue;
    EXPECT_EQ(book_->PageOf(FirstLineTop(doc, b)), book_->PageOf(FirstLineTop(doc, next))) << b.text().toStdString();
  }
  EXPECT_GT(headings, 2 * static_cast<int>(ManualChapters().size()));

  // The PDF: A4 pages, as many as the document has.
  const QByteArray pdf = ManualBookPdf(*book_);
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  EXPECT_EQ(QString::fromLatin1(pdf).count(QRegularExpression("/Type\\s*/Page\\b")), doc.pageCount());
  EXPECT_TRUE(pdf.contains("/MediaBox [0 0 595"));
  EXPECT_GT(doc.pageCount(), 20);

  // The file of the working folder is that PDF.
  ScratchFolder dir;
  std::string err;
  ASSERT_TRUE(WriteManual(dir.path(), &err)) << err;
  QFile f(QString::fromStdString(dir.path()) + "/" + kManualFileName);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().startsWith("%PDF-"));
}

// A heading that falls at the foot of a page goes over with its text; one
// that does not stays where it is.
TEST(ManualLayout, AHeadingAtTheFootOfAPageGoesOverWithItsText) {
  int apartCases = 0;
  for (int lines = 1; lines <= 40; ++lines) {
    QTextDocument doc;
    QString html;
    for (int i = 0; i < lines; ++i) html += "<p>line</p>";
    html += "<h2>Heading</h2><p>text under the heading</p>";
    doc.setHtml(html);
    doc.setPageSize(QSizeF(400, 300));
    doc.pageCount();
    QTextBlock heading;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
      if (b.blockFormat().headingLevel() == 2) heading = b;
    ASSERT_TRUE(heading.isValid());
    auto page = [&](const QTextBlock& b) {
      return static_cast<int>(FirstLineTop(doc, b) / 300);
    };
    const bool apart = page(heading) != page(heading.next());
    EXPECT_EQ(KeepHeadingsWithText(doc), apart ? 1 : 0) << lines;
    EXPECT_EQ(page(heading), page(heading.next())) << lines;
    if (apart) {
      ++apartCases;
      EXPECT_EQ(page(heading), page(heading.previous()) + 1) << lines;
    }
  }
  EXPECT_GE(apartCases, 1);  // the heading did fall at a page's foot
}
