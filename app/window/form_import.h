// The theme import dialog: lists the themes of another data set and copies
// the chosen ones, with the formulas they use and their guitar tracks, into
// the open set. Themes imported into the current set in this run are drawn
// in red and cannot be imported into it again.
#pragma once

#include <QColor>

#include "rhythm/window/theme_import_dialog.h"

class QPainter;
class QRect;
class TMainForm;

class TFormImportar : public ThemeImportDialog {
  Q_OBJECT
 public:
  explicit TFormImportar(TMainForm& owner);

  void FormCreate();
  void LB1DrawItem(QPainter* p, int index, const QRect& rect, bool selected) const;
  void FormClose();
  // The colour the list draws an item's name in.
  QColor ItemTextColor(int index, bool selected) const;

 protected:
  void closeEvent(QCloseEvent* ev) override;
  OtherSet LoadOtherSet(const std::string& folder) override;
  bool ImportTheme(int a) override;
  // The guitar track comes along, and the list shows the name in red.
  void Imported(const QString& name) override;

 private:
  TMainForm& owner_;
};
