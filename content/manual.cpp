// The user manual: its text (manual_text.cpp) with the captions, shortcuts
// and pictures of a window that shows them (ManualSource), laid out on A4
// pages and written as a PDF.
#include "content/manual.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QMap>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QUrl>
#include <cmath>
#include <filesystem>

#include "content/manual_book.h"
#include "platform/files/atomic_file.h"

namespace {

constexpr double kA4WidthMm = 210.0, kA4HeightMm = 297.0;
constexpr double kSideMarginMm = 18.0, kTopMarginMm = 16.0, kBottomMarginMm = 20.0;

// The resolution QTextDocument lays out at when it has no paint device of its
// own: the primary screen's, rounded, as Qt takes it.
double LayoutDpi() {
  if (QGuiApplication::instance())
    if (const QScreen* s = QGuiApplication::primaryScreen()) return std::round(s->logicalDotsPerInchY());
  return 100.0;
}

QString Esc(const QString& s) { return s.toHtmlEscaped(); }

// One language's half of the book, resolved against the window.
class LanguagePart {
 public:
  LanguagePart(ManualSource& w, const BookPlan& plan, bool english, double textWidth, ManualBook& book,
               QMap<QString, QImage>& images)
      : w_(w), plan_(plan), english_(english), textWidth_(textWidth), book_(book), images_(images) {}

  QString Expand(const QString& text) {
    static const QRegularExpression ref(
        R"(\{(=?)([A-Za-z0-9_]+(?:\.hint|:\d+,\d+)?|pic:[^{}\s]+|shortcuts|messages)\})");
    QString out;
    qsizetype last = 0;
    auto it = ref.globalMatch(text);
    while (it.hasNext()) {
      const auto m = it.next();
      out += text.mid(last, m.capturedStart() - last);
      last = m.capturedEnd();
      const QString key = m.captured(2);
      if (key.startsWith("pic:")) out += Picture(key.mid(4));
      else if (key == "shortcuts") out += ShortcutTable();
      else if (key == "messages") out += MessageTable();
      else out += Caption(key, m.captured(1).isEmpty());
    }
    return out + text.mid(last);
  }

 private:
  QString Caption(const QString& ref, bool bold) {
    QString t = w_.Text(ref);
    if (t.isEmpty()) {
      book_.missing << ref;
      t = ref;
    }
    return bold ? "<b>" + Esc(t) + "</b>" : Esc(t);
  }

  QString Picture(const QString& key) {
    const QString name = QString("pic:%1/%2").arg(english_ ? "en" : "es", key);
    if (!images_.contains(name)) {
      const QImage image = w_.Picture(key);
      if (image.isNull()) {
        book_.missing << "pic:" + key;
        return {};
      }
      images_.insert(name, image);
      book_.pictures << name;
    }
    const QImage& image = images_[name];
    // Screen pixels at the layout's resolution: a small picture keeps the
    // size it has on the screen, a wide one is scaled to the text width.
    const double width = std::min<double>(image.width(), textWidth_);
    const double height = width * image.height() / std::max(1, image.width());
    return QString("<p align=\"center\"><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
        .arg(name)
        .arg(static_cast<int>(width))
        .arg(static_cast<int>(height));
  }

  QString ShortcutTable() {
    QString rows;
    static const std::vector<ManualShortcutText> none;
    const auto& texts = plan_.shortcuts ? *plan_.shortcuts : none;
    auto describe = [&](const ManualShortcut& s) {
      for (const ManualShortcutText& t : texts)
        if (s.action == QLatin1String(t.action)) return Expand(QString::fromUtf8(english_ ? t.en : t.es));
      return Esc(w_.Text(s.action));
    };
    std::vector<ManualShortcut> all = w_.Shortcuts();
    // The described shortcuts in the order of their texts, then any other.
    std::stable_sort(all.begin(), all.end(), [&](const ManualShortcut& a, const ManualShortcut& b) {
      auto rank = [&](const ManualShortcut& s) {
        for (size_t i = 0; i < texts.size(); ++i)
          if (s.action == QLatin1String(texts[i].action)) return static_cast<int>(i);
        return static_cast<int>(texts.size());
      };
      return rank(a) < rank(b);
    });
    for (const ManualShortcut& s : all) {
      rows += "<tr><td width=\"22%\"><b>" + Esc(s.keys) + "</b></td><td>" + describe(s) + "</td></tr>";
      if (!english_)
        for (const QString& k : s.keys.split(", ")) book_.shortcutKeys << k;
    }
    return Table(english_ ? "Keys" : "Teclas", english_ ? "What they do" : "Qué hacen", rows);
  }

  QString MessageTable() {
    QString rows;
    static const std::vector<ManualMessage> none;
    for (const ManualMessage& m : plan_.messages ? *plan_.messages : none) {
      rows += "<tr><td width=\"38%\"><b>" + Esc(QString::fromUtf8(english_ ? m.en : m.es)) + "</b></td><td>" +
              Expand(Esc(QString::fromUtf8(english_ ? m.meaningEn : m.meaningEs))) + "</td></tr>";
    }
    return Table(english_ ? "Message" : "Mensaje", english_ ? "Meaning and what to do" : "Significado y qué hacer",
                 rows);
  }

  static QString Table(const QString& a, const QString& b, const QString& rows) {
    // The heading row comes again at the top of every page the table runs onto.
    return "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\"><thead><tr><th align=\"left\">" +
           a + "</th><th align=\"left\">" + b + "</th></tr></thead>" + rows + "</table>";
  }

  ManualSource& w_;
  const BookPlan& plan_;
  bool english_;
  double textWidth_;
  ManualBook& book_;
  QMap<QString, QImage>& images_;
};

const char* kStyle =
    "body { font-family: 'DejaVu Sans', sans-serif; font-size: 10pt; }"
    "h1 { font-size: 17pt; color: #7a1010; margin-top: 0px; margin-bottom: 10px; }"
    "h2 { font-size: 13pt; color: #7a1010; margin-top: 14px; margin-bottom: 6px; }"
    "h3 { font-size: 11pt; margin-top: 12px; margin-bottom: 4px; }"
    "p { margin-top: 4px; margin-bottom: 6px; }"
    "li { margin-bottom: 3px; }"
    "td, th { font-size: 9pt; }"
    "table { margin-bottom: 8px; }";

QString Title(bool english, const ManualChapter& c) {
  return QString::fromUtf8(english ? c.titleEn : c.titleEs);
}

// The languages of a book, in the order its halves come.
std::vector<bool> Languages(const BookPlan& plan) {
  std::vector<bool> out;
  if (plan.spanish) out.push_back(false);
  if (plan.english) out.push_back(true);
  return out;
}

// The first page: the title and the table of contents of each language with its pages.
QString ContentsHtml(const BookPlan& plan, const std::vector<int>& pages) {
  const auto& chapters = *plan.chapters;
  const std::vector<bool> languages = Languages(plan);
  QStringList subtitles;
  if (plan.spanish) subtitles << Esc(plan.subtitleEs);
  if (plan.english) subtitles << Esc(plan.subtitleEn);
  QString html = QString(
                     "<p align=\"center\" style=\"font-size: 28pt; font-weight: bold; color: #7a1010; margin-top: "
                     "40px;\">%1</p>"
                     "<p align=\"center\" style=\"font-size: 14pt;\">%2</p>"
                     "<p align=\"center\">Velarto Quendrel</p>")
                     .arg(Esc(plan.title), subtitles.join(" &nbsp;·&nbsp; "));
  for (size_t lang = 0; lang < languages.size(); ++lang) {
    const bool english = languages[lang];
    if (languages.size() > 1)
      html += QString("<h2>%1</h2>").arg(english ? "Contents (English)" : QString::fromUtf8("Índice (español)"));
    else
      html += QString("<h2>%1</h2>").arg(english ? "Contents" : QString::fromUtf8("Índice"));
    html += "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">";
    for (size_t i = 0; i < chapters.size(); ++i) {
      const size_t k = lang * chapters.size() + i;
      const int page = k < pages.size() ? pages[k] : 0;
      html += QString("<tr><td>%1. %2</td><td align=\"right\" width=\"12%\">%3</td></tr>")
                  .arg(i + 1)
                  .arg(Esc(Title(english, chapters[i])))
                  .arg(page);
    }
    html += "</table>";
  }
  return html;
}

bool IsHeading(const QTextBlock& b) { return b.blockFormat().headingLevel() > 0; }


// The first block after b that holds a line of text or a picture.
QTextBlock NextShown(QTextBlock b) {
  for (b = b.next(); b.isValid(); b = b.next())
    if (b.layout() && b.layout()->lineCount() > 0) return b;
  return {};
}

}  // namespace

double FirstLineTop(const QTextDocument& doc, const QTextBlock& b) {
  const double top = doc.documentLayout()->blockBoundingRect(b).top();
  const QTextLayout* layout = b.layout();
  // A line that would cross the foot of a page is moved down to the next
  // page inside its block: the block's position alone does not tell.
  return layout && layout->lineCount() > 0 ? top + layout->lineAt(0).y() : top;
}

int KeepHeadingsWithText(QTextDocument& doc) {
  const double h = doc.pageSize().height();
  auto pageOf = [&](const QTextBlock& b) { return static_cast<int>(std::floor(FirstLineTop(doc, b) / h)); };
  int moved = 0;
  // One heading at a time: moving one shifts everything after it.
  for (int pass = 0; pass < 1000; ++pass) {
    doc.pageCount();  // lays the document out
    bool again = false;
    for (QTextBlock b = doc.begin(); b.isValid() && !again; b = b.next()) {
      if (!IsHeading(b) || (b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)) continue;
      const QTextBlock next = NextShown(b);
      if (!next.isValid() || pageOf(b) == pageOf(next)) continue;
      QTextBlockFormat f;
      f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      QTextCursor(b).mergeBlockFormat(f);
      again = true;
      ++moved;
    }
    if (!again) break;
  }
  return moved;
}

int ManualBook::PageCount() const { return doc ? doc->pageCount() : 0; }

int ManualBook::PageOf(double y) const {
  const double h = doc->pageSize().height();
  return static_cast<int>(std::floor(y / h));
}

std::unique_ptr<ManualBook> BuildBook(ManualSource& window, const BookPlan& plan) {
  auto book = std::make_unique<ManualBook>();
  book->title = plan.title;
  book->pdfTitle = plan.pdfTitle;
  const double dpi = LayoutDpi();
  const double mm = dpi / 25.4;
  const QSizeF page(kA4WidthMm * mm, kA4HeightMm * mm);
  book->marginLeft = book->marginRight = kSideMarginMm * mm;
  book->marginTop = kTopMarginMm * mm;
  book->marginBottom = kBottomMarginMm * mm;
  const double textWidth = page.width() - book->marginLeft - book->marginRight;

  // Each half is written while the window shows its language.
  const auto& chapters = *plan.chapters;
  const std::vector<bool> languages = Languages(plan);
  QMap<QString, QImage> images;
  QString halves[2];
  for (size_t lang = 0; lang < languages.size(); ++lang) {
    const bool english = languages[lang];
    window.SetLanguage(english);
    LanguagePart part(window, plan, english, textWidth, *book, images);
    for (size_t i = 0; i < chapters.size(); ++i) {
      halves[lang] += QString("<h1 style=\"page-break-before: always;\">%1. %2</h1>")
                          .arg(i + 1)
                          .arg(Esc(Title(english, chapters[i])));
      halves[lang] += part.Expand(QString::fromUtf8(english ? chapters[i].en : chapters[i].es));
    }
  }
  window.SetLanguage(false);
  for (size_t lang = 0; lang < languages.size(); ++lang) {
    QTextDocument half;
    half.setHtml(halves[lang]);
    (languages[lang] ? book->textEn : book->textEs) = half.toPlainText();
  }

  // Lays the book out until the contents name the pages the chapters fall on.
  std::vector<int> pages(languages.size() * chapters.size(), 0);
  for (int round = 0; round < 4; ++round) {
    book->html = QString("<html><head><style>%1</style></head><body>").arg(kStyle) + ContentsHtml(plan, pages) +
                 halves[0] + halves[1] + "</body></html>";
    book->doc = std::make_unique<QTextDocument>();
    QTextDocument& doc = *book->doc;
    doc.setDefaultFont(QFont("DejaVu Sans", 10));
    for (auto it = images.cbegin(); it != images.cend(); ++it)
      doc.addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
    doc.setHtml(book->html);
    QTextFrameFormat frame = doc.rootFrame()->frameFormat();
    frame.setLeftMargin(book->marginLeft);
    frame.setRightMargin(book->marginRight);
    frame.setTopMargin(book->marginTop);
    frame.setBottomMargin(book->marginBottom);
    doc.rootFrame()->setFrameFormat(frame);
    doc.setPageSize(page);

    KeepHeadingsWithText(doc);

    std::vector<int> found;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
      if (b.blockFormat().headingLevel() == 1) found.push_back(book->PageOf(FirstLineTop(doc, b)) + 1);
    if (found == pages) break;
    pages = found;
  }
  book->contents.clear();
  for (size_t k = 0; k < pages.size() && k < languages.size() * chapters.size(); ++k) {
    const bool english = languages[k / chapters.size()];
    book->contents.push_back({Title(english, chapters[k % chapters.size()]), english, pages[k]});
  }
  book->missing.removeDuplicates();
  return book;
}

const BookPlan& ManualPlan() {
  static const BookPlan plan = [] {
    BookPlan b;
    b.title = "DRAV_PROF";
    b.pdfTitle = "Manual DRAV_PROF";
    b.subtitleEs = "Manual de usuario";
    b.subtitleEn = "User manual";
    b.chapters = &ManualChapters();
    b.messages = &ManualMessages();
    b.shortcuts = &ManualShortcutTexts();
    return b;
  }();
  return plan;
}

QByteArray ManualBookPdf(const ManualBook& book) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setTitle(book.pdfTitle.isEmpty() ? book.title : book.pdfTitle);
    pdf.setCreator("Velarto Quendrel");
    pdf.setResolution(300);
    // The margins are the document's own, applied once: the PDF page has none.
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    const QTextDocument& doc = *book.doc;
    const QSizeF page = doc.pageSize();
    const double scale = pdf.width() / page.width();
    QPainter p(&pdf);
    const int count = doc.pageCount();
    for (int i = 0; i < count; ++i) {
      if (i > 0) pdf.newPage();
      p.save();
      p.scale(scale, scale);
      const QRectF view(0, i * page.height(), page.width(), page.height());
      p.translate(0, -view.top());
      p.setClipRect(view);
      QAbstractTextDocumentLayout::PaintContext ctx;
      ctx.clip = view;
      ctx.palette.setColor(QPalette::Text, Qt::black);
      doc.documentLayout()->draw(&p, ctx);
      p.restore();
      if (i > 0) {
        p.save();
        p.scale(scale, scale);
        QFont f("DejaVu Sans");
        f.setPixelSize(11);
        p.setFont(f);
        p.setPen(QColor(90, 90, 90));
        const QRectF foot(book.marginLeft, page.height() - book.marginBottom * 0.75, page.width() - book.marginLeft -
                          book.marginRight, book.marginBottom * 0.4);
        p.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, book.title);
        p.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, QString::number(i + 1));
        p.restore();
      }
    }
  }
  buffer.close();
  return bytes;
}

bool WriteManual(const std::string& root, const ManualBook& book, std::string* error) {
  const QByteArray pdf = ManualBookPdf(book);
  if (!pdf.startsWith("%PDF")) {
    if (error) *error = "the manual could not be laid out";
    return false;
  }
  const std::string path = (std::filesystem::path(root) / kManualFileName).string();
  return WriteFileAtomically(path, std::vector<uint8_t>(pdf.begin(), pdf.end()), error);
}
