// The user manual as a paged document: its text in Spanish and in English,
// with the captions, shortcuts and pictures taken from the program's own
// window (a ManualSource: app/window/manual_window.h, basic/window/basic_manual_window.h),
// laid out on A4 pages.
#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QImage>
#include <QTextDocument>
#include <memory>
#include <string>
#include <vector>

// One chapter of the text, in both languages. The texts are HTML with these
// references, resolved in the language of the page:
//   {Name}        the caption the window shows for a component, in bold
//   {=Name}       the same, plain
//   {Name.hint}   a component's hint; {Name:c,r} a grid cell (bold)
//   {pic:key}     a picture of the window (ManualWindow::Picture keys)
//   {shortcuts}   the table of keyboard shortcuts
//   {messages}    the table of messages
struct ManualChapter {
  const char* id;
  const char* titleEs;
  const char* titleEn;
  const char* es;
  const char* en;
};
const std::vector<ManualChapter>& ManualChapters();

// A message of the program: its text (the fixed part), what it means and
// what to do, in both languages.
struct ManualMessage {
  const char* es;
  const char* en;
  const char* meaningEs;
  const char* meaningEn;
};
const std::vector<ManualMessage>& ManualMessages();

// What a shortcut does, by the component name of its action.
struct ManualShortcutText {
  const char* action;
  const char* es;
  const char* en;
};
const std::vector<ManualShortcutText>& ManualShortcutTexts();

// A key of the window: its action and its keys.
struct ManualShortcut {
  QString action;  // the action's component name
  QString keys;    // its keys, portable text ("Ctrl+N", "F12, Esc")
};

// The window a book's references are resolved against: its captions in
// either language, its pictures and its keys.
class ManualSource {
 public:
  virtual ~ManualSource() = default;
  virtual void SetLanguage(bool english) = 0;
  // The text the window shows for "Name", "Name.hint" or "Name:c,r"; empty
  // when it has none.
  virtual QString Text(const QString& ref) const = 0;
  // A picture of the window by its key; null when the key names nothing.
  virtual QImage Picture(const QString& key) = 0;
  // Every action of the window that has keys.
  virtual std::vector<ManualShortcut> Shortcuts() const = 0;
};

// What a book holds beside the window: its title, its chapters, the texts of
// its tables and the languages it is written in.
struct BookPlan {
  QString title;       // on the first page and at the foot of every page
  QString pdfTitle;    // the PDF's own title
  QString subtitleEs;  // under the title
  QString subtitleEn;
  const std::vector<ManualChapter>* chapters = nullptr;
  const std::vector<ManualMessage>* messages = nullptr;        // {messages}
  const std::vector<ManualShortcutText>* shortcuts = nullptr;  // {shortcuts}
  bool spanish = true;  // a half in Spanish
  bool english = true;  // a half in English
};

struct ManualBook {
  QString title;                        // the book's title (BookPlan::title)
  QString pdfTitle;
  std::unique_ptr<QTextDocument> doc;  // paginated: pageSize() is one A4 page
  QString html;                         // what doc was made from
  QString textEs, textEn;               // the plain text of each language's chapters
  double marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;  // layout units
  QStringList pictures;                 // resource names ("pic:es/window", ...)
  QStringList missing;                  // references the window had no text or picture for
  QStringList shortcutKeys;             // every key text of the shortcut table
  struct Contents {
    QString title;
    bool english;
    int page;  // 1-based
  };
  std::vector<Contents> contents;
  int PageCount() const;
  int PageOf(double y) const;  // 0-based page of a layout position
};

// Where the first line of a block lies in a paginated document (lines that
// would cross the foot of a page are moved to the next one).
double FirstLineTop(const QTextDocument& doc, const QTextBlock& b);

// Moves every heading that would end a page to the top of the next page, so
// that it stays with the text it heads; the document must be paginated.
// Returns how many headings moved.
int KeepHeadingsWithText(QTextDocument& doc);

// Lays out a book against a window that shows it. Needs a QApplication.
std::unique_ptr<ManualBook> BuildBook(ManualSource& window, const BookPlan& plan);

// The PDF of a laid-out book: A4, one margin, page numbers at the foot.
QByteArray ManualBookPdf(const ManualBook& book);
