// The basic edition's about box: the product, its version and the maker's
// and the product's addresses, whose clicks run the main window's browse
// actions. Built once, right after the main window's start-up.
#pragma once

#include "app/window/about_box.h"

class QWidget;

namespace bornace {

class TMainForm;

// The product's own site (the maker's and the second site are the
// professional edition's, app/window/about.h).
inline constexpr const char* kBasicProductSiteUrl = "https://bornace.velarto-quendrel.example/";

class TAcercade : public AboutBox {
  Q_OBJECT
 public:
  explicit TAcercade(TMainForm* mainForm);

  // Bound to no control of the box; each runs a browse action of the main window.
  void Label5Click();
  void Label1Click();
  void Label4Click();
  void Image2Click();

  QWidget* Panel1 = nullptr;

 private:
  TMainForm* main_;
};

}  // namespace bornace
