// The about box: product name and version, and two links that run the main
// window's browse actions.
#pragma once

#include "app/window/about_box.h"

class TMainForm;

// The web addresses behind the browse actions of the main window.
inline constexpr const char* kMakerSiteUrl = "https://www.velarto-quendrel.example/";
inline constexpr const char* kProductSiteUrl = "https://www.velarto-quendrel.example/drav_prof/";
inline constexpr const char* kSecondSiteUrl = "https://flamenco.velarto-quendrel.example/";

class TAcercade : public AboutBox {
  Q_OBJECT
 public:
  // Built once the main window's start-up has chosen the language.
  explicit TAcercade(TMainForm* mainForm);

  void Image3Click();

 protected:
  // The logo's click besides the links'.
  bool eventFilter(QObject* obj, QEvent* ev) override;
};
