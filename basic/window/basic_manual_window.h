// The basic program's own window, built offscreen for its documents: its
// captions in either language, its keys and pictures of its pages, groups,
// menus, stereo chart, import dialog and about box. Needs a QApplication.
#pragma once

#include <QImage>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "content/basic_documents.h"
#include "content/manual_book.h"
#include "content/window/window_text.h"

class QTemporaryDir;

namespace bornace {
class TMainForm;
}

class BasicManualWindow : public ManualSource {
 public:
  // Writes the basic factory working folder into a scratch folder, makes it
  // the current folder and starts the window there, with answered dialogs,
  // test audio devices and no hardware metronome. Null (and error) when
  // that fails.
  static std::unique_ptr<BasicManualWindow> Open(std::string* error);
  ~BasicManualWindow() override;  // the previous current folder comes back, the scratch folder goes

  void SetLanguage(bool english) override;
  // As ManualWindow::Text; a page of the page control ("TabSheet2") gives its tab's caption.
  QString Text(const QString& ref) const override;
  // "window" (the window as it opens), a page ("TabSheet1".."TabSheet3"), a
  // group or panel of a page by its component name ("GroupBox2", "Panel2",
  // "GB1", "Mastil"), "menu:<menu name>", "popup:<grid or list>", "chart"
  // (the stereo chart of the selected formula), "dialog:FormImportar" (the
  // import dialog on the factory set), "about" (the about box).
  // "window@1366x768", "TabSheet3@1920x1080" and the like: the whole window
  // on a screen of that size, showing that page.
  QImage Picture(const QString& key) override;
  std::vector<ManualShortcut> Shortcuts() const override;

  bornace::TMainForm& Form() { return *form_; }

 private:
  BasicManualWindow() = default;
  std::unique_ptr<ScratchWorkingFolder> scratch_;  // the working folder while the window is open
  std::unique_ptr<bornace::TMainForm> form_;
};

// The file name a document has in a language: the one the window's action
// opens then (the basic language table).
QString BasicDocumentFileName(const BasicDocument& doc, bool english);

// Builds the basic window offscreen and writes the eight PDF files into root.
// Needs a QApplication.
bool WriteBasicDocuments(const std::string& root, std::string* error);
