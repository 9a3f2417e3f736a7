// The theme import dialog: lists the themes of another data set and copies
// the chosen ones, with the formulas they use and their guitar tracks, into
// the open set. Themes imported into the current set in this run are drawn
// in red and cannot be imported into it again.
#pragma once

#include <QColor>
#include <QDialog>
#include <QStringList>
#include <string>

class QLabel;
class QListWidget;
class QPainter;
class QPushButton;
class QRect;
class TMainForm;

class TFormImportar : public QDialog {
  Q_OBJECT
 public:
  explicit TFormImportar(TMainForm& owner);

  void FormCreate();
  // Loads the other set named by ImportPath and lists its themes; asks to
  // close (CloseRequested) when it has no formulas or no themes file.
  void FormActivate();
  void Button1Click();
  void LB1DrawItem(QPainter* p, int index, const QRect& rect, bool selected) const;
  void FormClose();

  // Activates the dialog and runs it modally, or does not show it at all
  // when the activation asked to close. With RunModal false it is shown
  // without a nested event loop (window tests).
  void ShowModal();
  // Selects the theme of that name in the list and presses the import
  // button; false when the list has no such name.
  bool ChooseAndImport(const QString& name);
  // The colour the list draws an item's name in.
  QColor ItemTextColor(int index, bool selected) const;

  std::string ImportPath;       // the other set's list file, as chosen
  std::string ImportSetFolder;  // ImportPath less its extension
  std::string ImportedForSet;   // the set for which ImportedThemes holds
  QStringList ImportedThemes;
  bool CloseRequested = false;
  bool RunModal = true;

  QLabel* Label1 = nullptr;
  QListWidget* LB1 = nullptr;
  QPushButton* Button1 = nullptr;

 protected:
  void closeEvent(QCloseEvent* ev) override;

 private:
  TMainForm& owner_;
};
