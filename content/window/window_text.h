// What a window shows, read back for its documents: the caption of a
// component by its reference, the keys of its actions and a menu as it
// opens. Works on any window; needs a QApplication.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "content/manual_book.h"

class QMenu;
class QWidget;

// The text a window shows for a reference (ManualSource::Text): "Name" the
// caption of a component (action, menu, panel, button, label, the label of
// an edit box), "Name.hint" its hint, "Name:c,r" a grid cell. Mnemonics and
// outer blanks are removed. Empty when the window has no such text.
QString WindowText(const QWidget* window, const QString& ref);

// Every action of the window that has keys, in component order.
std::vector<ManualShortcut> WindowShortcuts(const QWidget* window);

// A menu as it opens, drawn off the screen.
QImage MenuPicture(QMenu& m);

// A picture key for a screen ("window@1366x768"): the key before '@' and
// the screen's size. False when the key names no screen.
bool SplitScreenKey(const QString& key, QString* base, QSize* screen);

// What take() draws while the window fills a screen of that size, as it
// does maximised there; the window gets its size back after.
QImage PictureOnScreen(QWidget& window, QSize screen, const std::function<QImage()>& take);

// Lets the window take the events it has been sent (layouts, paints).
void SettleEvents();

// The working folder a window is started in for its documents: a scratch
// folder, filled by fill(root, error) and made the current folder; the
// folder the program was in comes back when it is destroyed, and the
// scratch folder goes.
class ScratchWorkingFolder {
 public:
  using Fill = std::function<bool(const std::string& root, std::string* error)>;
  // Null (and error, naming what the folder is for) when the folder cannot
  // be made, filled or entered.
  static std::unique_ptr<ScratchWorkingFolder> Enter(const Fill& fill, const std::string& what, std::string* error);
  ~ScratchWorkingFolder();

  // The absolute path of a file in the folder.
  QString FilePath(const QString& name) const;

 private:
  ScratchWorkingFolder() = default;
  QTemporaryDir dir_;
  QString previous_;
};
