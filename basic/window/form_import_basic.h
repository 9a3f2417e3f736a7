// The basic window's theme import dialog: lists the themes of another basic
// set and copies the chosen one, with the formulas it needs, into the open
// set. A plain list: imported names are not marked.
#pragma once

#include "rhythm/window/theme_import_dialog.h"

namespace bornace {

class TMainForm;

class TFormImportar : public ThemeImportDialog {
  Q_OBJECT
 public:
  explicit TFormImportar(TMainForm& owner);

 protected:
  // The other set's older record files.
  OtherSet LoadOtherSet(const std::string& folder) override;
  bool ImportTheme(int a) override;

 private:
  TMainForm& owner_;
};

}  // namespace bornace
