// The theme import dialog as both windows have it: label Label1 shows the
// other set's folder, the list LB1 its themes, and each press of Button1
// imports the selected theme into the open set once (themes imported into
// the set open now are remembered by name until another set is opened).
// What the editions read and import, each window's dialog says.
#pragma once

#include <QDialog>
#include <QStringList>
#include <string>

class QLabel;
class QListWidget;
class QPushButton;
struct DataSetState;
struct RhythmTables;

class ThemeImportDialog : public QDialog {
  Q_OBJECT
 public:
  // Loads the other set named by ImportPath and lists its themes; asks to
  // close (CloseRequested) when a record file of it is missing.
  void FormActivate();
  void Button1Click();
  // Activates the dialog and runs it modally, or does not show it at all
  // when the activation asked to close. With RunModal false it is shown
  // without a nested event loop (window tests).
  void ShowModal();
  // Selects the theme of that name in the list and presses the import
  // button; false when the list has no such name.
  bool ChooseAndImport(const QString& name);

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
  // The dialog over `owner`, whose tables and open set it reads; the
  // button's caption as the layout has it.
  ThemeImportDialog(QWidget* owner, RhythmTables& rhythm, const DataSetState& dataSet, const QString& buttonCaption);

  struct OtherSet {
    int temaCount = 0;      // themes listed (ImportTemas 0..temaCount - 1)
    bool complete = false;  // both record files were there
  };
  // Reads the other set's records in `folder` into ImportFormulas and ImportTemas.
  virtual OtherSet LoadOtherSet(const std::string& folder) = 0;
  // Copies theme a of the other set into the open set; false when refused.
  virtual bool ImportTheme(int a) = 0;
  // After theme `name` was imported.
  virtual void Imported(const QString& name) { (void)name; }

  RhythmTables& rhythm_;
  const DataSetState& dataSet_;
};
