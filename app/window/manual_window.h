// The program's own main window, built offscreen for the manual: its
// captions in either language, its keyboard shortcuts and pictures of the
// window, its panels and its menus. Needs a QApplication.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "content/manual_book.h"
#include "content/window/window_text.h"

class TMainForm;

class ManualWindow : public ManualSource {
 public:
  // Writes the factory working folder into a scratch folder, makes it the
  // current folder and starts the window there, with answered dialogs and
  // test audio devices. Null (and error) when that fails.
  static std::unique_ptr<ManualWindow> Open(std::string* error);
  ~ManualWindow() override;  // the previous current folder comes back, the scratch folder goes

  void SetLanguage(bool english) override;
  bool English() const { return english_; }

  // The text the window shows for a reference: "Name" the caption of a
  // component (action, menu, panel, button, label, the label of an edit
  // box), "Name.hint" its hint, "Name:c,r" a grid cell. Mnemonics and outer
  // blanks are removed. Empty when the window has no such text.
  QString Text(const QString& ref) const override;

  // Pictures: "window" (the whole window as it opens), "desk" (the desk
  // with every panel open, as it lays them out), a panel's component
  // name ("PanelTemas", ...), "menu:<menu name>" (a menu of the menu bar),
  // "popup:<component>" (the pop-up menu of a grid or list; "popup:Chart2"
  // the guitar's beat and bar menu as a right click opens it),
  // "dialog:FormImportar" (the theme import dialog on the factory set). The
  // guitar panel and its menu are taken on an example track written for the
  // selected theme into the scratch folder; the panel is closed again after.
  // "window@1366x768", "desk@1920x1080" and the like: the same on a screen
  // of that size. Null when the key names nothing.
  QImage Picture(const QString& key) override;

  // Every action of the window that has keys, in component order.
  std::vector<ManualShortcut> Shortcuts() const override;

  TMainForm& Form() { return *form_; }

 private:
  ManualWindow() = default;
  std::unique_ptr<ScratchWorkingFolder> scratch_;  // the working folder while the window is open
  std::unique_ptr<TMainForm> form_;
  bool english_ = false;
};

// The manual laid out against the window, built offscreen for it (and gone
// again after). Null (and error) when the window cannot be built.
std::unique_ptr<ManualBook> BuildManualBook(std::string* error);

// The manual's text as HTML (contents, then every chapter in Spanish and in English).
QString ManualHtml();

// The PDF file image of the manual.
QByteArray ManualPdf();

// Writes root/"Manual DRAV_PROF.pdf" atomically (content/manual.h).
bool WriteManual(const std::string& root, std::string* error);
