// The basic window's theme import dialog: lists the themes of another basic
// set and copies the chosen one, with the formulas it needs, into the open
// set. A plain list: imported names are not marked.
#pragma once

#include <QDialog>
#include <QStringList>
#include <string>

class QLabel;
class QListWidget;
class QPushButton;

namespace bornace {

class TMainForm;

class TFormImportar : public QDialog {
  Q_OBJECT
 public:
  explicit TFormImportar(TMainForm& owner);

  // Loads the other set named by ImportPath and lists its themes; asks to
  // close (CloseRequested) when a record file of it is missing.
  void FormActivate();
  void Button1Click();
  // Runs FormActivate and then the dialog, modally unless RunModal is off.
  void ShowModal();
  // Selects the theme of that name and presses the import button.
  bool ChooseAndImport(const QString& name);

  std::string ImportPath;
  std::string ImportSetFolder;
  std::string ImportedForSet;
  QStringList ImportedThemes;
  bool CloseRequested = false;
  bool RunModal = true;

  QLabel* Label1 = nullptr;
  QListWidget* LB1 = nullptr;
  QPushButton* Button1 = nullptr;

 private:
  TMainForm& owner_;
};

}  // namespace bornace
