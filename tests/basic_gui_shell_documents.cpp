// The documents of the basic window's help menu: each in its language, with
// the window's own captions, keys, messages and pictures, written under the
// names the window opens.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QPainter>
#include <QChartView>
#include <QCheckBox>
#include <QTabWidget>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTextBlock>
#include <memory>

#include "basic/window/basic_form.h"
#include "basic_gui_fixture.h"
#include "content/basic_documents.h"
#include "content/manual_book.h"
#include "basic/window/basic_manual_window.h"

namespace {

class BasicDocumentsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string err;
    window_ = BasicManualWindow::Open(&err).release();
    ASSERT_NE(window_, nullptr) << err;
    for (const BasicDocument& doc : BasicDocuments())
      for (bool english : {false, true}) books_.push_back(BuildBasicDocument(*window_, doc, english).release());
  }
  static void TearDownTestSuite() {
    for (ManualBook* b : books_) delete b;
    books_.clear();
    delete window_;
    window_ = nullptr;
  }
  // The book of document d in a language.
  static ManualBook* Book(size_t d, bool english) { return books_[2 * d + (english ? 1 : 0)]; }
  static BasicManualWindow* window_;
  static std::vector<ManualBook*> books_;
};
BasicManualWindow* BasicDocumentsTest::window_ = nullptr;
std::vector<ManualBook*> BasicDocumentsTest::books_;

int DistinctColours(const QImage& image) {
  QSet<QRgb> colours;
  const QImage im = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < im.height(); y += 2)
    for (int x = 0; x < im.width(); x += 2) colours.insert(im.pixel(x, y));
  return colours.size();
}

// The fixed part of a message: up to its first placeholder or line break.
QString FixedPart(QString s) {
  const qsizetype cut = s.indexOf('%');
  if (cut >= 0) s = s.left(cut);
  return s.trimmed();
}

QString BasicSources() {
  QString all;
  // The basic window's own handlers and the window steps it shares with the
  // professional window.
  for (const char* dir : {"basic", "links", "engine/window", "tuner/window", "rhythm/window"}) {
    QDirIterator it(QString(VELARTO_SOURCE_DIR) + "/" + dir, {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      QFile f(it.next());
      if (f.open(QIODevice::ReadOnly)) all += QString::fromUtf8(f.readAll());
    }
  }
  // The close's steps, shared with the professional window.
  QFile close(QString(VELARTO_SOURCE_DIR) + "/app/window/close_steps.h");
  if (close.open(QIODevice::ReadOnly)) all += QString::fromUtf8(close.readAll());
  // The sources write some letters as escapes of their 8-bit or UTF-8 text.
  all.replace("\\xC3\\xB3", QString::fromUtf8("ó")).replace("\\xC3\\xA1", QString::fromUtf8("á"));
  all.replace("\\xF3", QString::fromUtf8("ó")).replace("\\xE1", QString::fromUtf8("á"));
  return all;
}

// VELARTO_DOC_PICTURES=<folder> keeps a picture of every page of a book, to look at.
void KeepPages(const ManualBook& book, const QString& name) {
  const QByteArray folder = qgetenv("VELARTO_DOC_PICTURES");
  if (folder.isEmpty()) return;
  const QSizeF page = book.doc->pageSize();
  for (int i = 0; i < book.PageCount(); ++i) {
    QImage img(page.toSize(), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.translate(0, -i * page.height());
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(0, i * page.height(), page.width(), page.height());
    book.doc->documentLayout()->draw(&p, ctx);
    p.end();
    img.save(QString("%1/%2-%3.png").arg(QString::fromLocal8Bit(folder), name).arg(i + 1));
  }
}

}  // namespace

TEST_F(BasicDocumentsTest, EveryDocumentInEachLanguageWithTheWindowsOwnCaptions) {
  const auto& docs = BasicDocuments();
  ASSERT_EQ(docs.size(), 4u);
  for (size_t d = 0; d < docs.size(); ++d) {
    for (bool english : {false, true}) {
      SCOPED_TRACE(std::string(docs[d].action) + (english ? " en" : " es"));
      ManualBook* book = Book(d, english);
      ASSERT_NE(book, nullptr);
      EXPECT_TRUE(book->missing.isEmpty()) << book->missing.join(", ").toStdString();
      // One table of contents, of this language, naming every chapter with its page.
      const auto& chapters = *docs[d].plan.chapters;
      ASSERT_EQ(book->contents.size(), chapters.size());
      std::vector<int> headings;
      for (QTextBlock b = book->doc->begin(); b.isValid(); b = b.next())
        if (b.blockFormat().headingLevel() == 1) headings.push_back(book->PageOf(FirstLineTop(*book->doc, b)) + 1);
      ASSERT_EQ(headings.size(), chapters.size());
      for (size_t k = 0; k < chapters.size(); ++k) {
        EXPECT_EQ(book->contents[k].english, english);
        EXPECT_EQ(book->contents[k].title, QString::fromUtf8(english ? chapters[k].titleEn : chapters[k].titleEs));
        EXPECT_EQ(book->contents[k].page, headings[k]);
        EXPECT_GT(book->contents[k].page, 1);
      }
      // Only the one language's text.
      EXPECT_TRUE((english ? book->textEs : book->textEn).isEmpty());
      EXPECT_FALSE((english ? book->textEn : book->textEs).isEmpty());
      KeepPages(*book, QString("%1-%2").arg(docs[d].action, english ? "en" : "es"));
      const QByteArray pdf = ManualBookPdf(*book);
      EXPECT_TRUE(pdf.startsWith("%PDF"));
      EXPECT_GE(book->PageCount(), 2);
    }
  }
  // The window's captions in the language of the book.
  const QString es = Book(0, false)->textEs, en = Book(0, true)->textEn;
  for (const char* t : {"Guardar todo", "Enviar datos al Metrónomo", "Añadir antes", "Estéreo", "Afinador",
                        "Sonidos del conjunto", "Guardar como ...", "Importar TEMAS", "Acerca del Velarto Quendrel"}) {
    EXPECT_TRUE(es.contains(QString::fromUtf8(t))) << t;
    EXPECT_FALSE(en.contains(QString::fromUtf8(t))) << t;
  }
  for (const char* t : {"Save all", "Send data to Metronome", "Add before", "Stereo", "Tuner", "Save as ...",
                        "Import SONGS", "About Velarto Quendrel", "Sounds of the set"}) {
    EXPECT_TRUE(en.contains(QString::fromUtf8(t))) << t;
  }
}

TEST_F(BasicDocumentsTest, ManualListsEveryKeyAndEveryMessage) {
  for (bool english : {false, true}) {
    ManualBook* book = Book(0, english);
    const QString text = english ? book->textEn : book->textEs;
    // Every key the window has.
    for (const ManualShortcut& s : window_->Shortcuts())
      for (const QString& k : s.keys.split(", ")) EXPECT_TRUE(text.contains(k)) << k.toStdString() << " " << english;
    for (const char* k : {"F1", "Shift+F1", "Ctrl+F1", "F10", "F11", "F12", "Ctrl+N", "Ctrl+T"})
      EXPECT_TRUE(text.contains(k)) << k;
  }
  // Every message of the table is one the program shows.
  const QString sources = BasicSources();
  ASSERT_FALSE(sources.isEmpty());
  for (const ManualMessage& m : BasicManualMessages()) {
    EXPECT_TRUE(sources.contains(FixedPart(QString::fromUtf8(m.es)))) << m.es;
    EXPECT_TRUE(sources.contains(FixedPart(QString::fromUtf8(m.en)))) << m.en;
  }
}

TEST_F(BasicDocumentsTest, PicturesOfTheRealWindow) {
  // The user manual shows the window, its three pages, the stereo chart, the
  // menus and the about box, in each language.
  for (bool english : {false, true}) {
    ManualBook* book = Book(0, english);
    const QString lang = english ? "en" : "es";
    for (const char* key : {"window@1366x768", "window@1920x1080", "GroupBox3", "GroupBox2", "Panel2", "TabSheet2",
                            "TabSheet2@1366x768", "TabSheet2@1920x1080", "TabSheet3", "TabSheet3@1366x768",
                            "TabSheet3@1920x1080", "chart", "menu:File", "popup:SGTemas", "dialog:FormImportar", "about"})
      EXPECT_TRUE(book->pictures.contains(QString("pic:%1/%2").arg(lang, key))) << key << " " << english;
  }
  // On a screen: the whole window, as large as the screen, on the page
  // named; the window keeps its page and its size after.
  const QSize before = window_->Form().size();
  for (const char* key : {"window@1366x768", "TabSheet3@1920x1080"}) {
    const QImage image = window_->Picture(key);
    ASSERT_FALSE(image.isNull()) << key;
    EXPECT_EQ(image.size(), QString(key).endsWith("1366x768") ? QSize(1366, 768) : QSize(1920, 1080)) << key;
    EXPECT_GT(DistinctColours(image), 8) << key;
  }
  EXPECT_TRUE(window_->Picture("GroupBox3@1366x768").isNull());  // a page or the window only
  EXPECT_EQ(window_->Form().size(), before);
  // The pictures show something, and the chart its slices.
  for (const char* key : {"window", "TabSheet3", "chart", "about", "dialog:FormImportar"}) {
    const QImage image = window_->Picture(key);
    ASSERT_FALSE(image.isNull()) << key;
    EXPECT_GT(DistinctColours(image), 8) << key;
  }
  EXPECT_TRUE(window_->Picture("nothing").isNull());
  // After the chart's picture the window is as it was.
  EXPECT_FALSE(window_->Form().cb3d->isChecked());
  EXPECT_TRUE(window_->Form().Chart1->isHidden());
  EXPECT_EQ(window_->Form().PageControl1->currentWidget(), window_->Form().TabSheet1);
}

class BasicDocumentFilesTest : public BasicWindowTest {};

TEST_F(BasicDocumentFilesTest, WrittenUnderTheNamesTheWindowOpens) {
  std::string err;
  ASSERT_TRUE(WriteBasicDocuments(".", &err)) << err;
  Start();
  for (bool english : {false, true}) {
    (english ? form->Ingls1 : form->Espaol1)->trigger();
    for (QAction* a : {form->ManualPC, form->PELN, form->guiarapida, form->Notacion}) {
      const QString path = QDir::current().absoluteFilePath(a->property("fileName").toString());
      QFile f(path);
      ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
      EXPECT_TRUE(f.read(4) == "%PDF") << path.toStdString();
      desktop->opened.clear();
      dlg->messages.clear();
      a->trigger();
      EXPECT_EQ(desktop->opened, QList<QUrl>{QUrl::fromLocalFile(path)});
      EXPECT_TRUE(dlg->messages.isEmpty());
    }
  }
  // Eight documents, and the working folder the window left as it found it.
  QStringList pdfs = QDir(".").entryList({"*.pdf"}, QDir::Files);
  EXPECT_EQ(pdfs.size(), 8) << pdfs.join(", ").toStdString();
}
