// The about box: product name and version, and two links that run the main
// window's browse actions.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TMainForm;

// The web addresses behind the browse actions of the main window.
inline constexpr const char* kMakerSiteUrl = "https://www.velarto-quendrel.example/";
inline constexpr const char* kProductSiteUrl = "https://www.velarto-quendrel.example/drav_prof/";
inline constexpr const char* kSecondSiteUrl = "https://flamenco.velarto-quendrel.example/";

class TAcercade : public QDialog {
  Q_OBJECT
 public:
  // Built once the main window's start-up has chosen the language.
  explicit TAcercade(TMainForm* mainForm);

  void FormCreate();
  void Label3Click();
  void Image3Click();
  void CommentsClick();
  void Label3MouseMove();
  void Label3MouseLeave();
  void CommentsMouseMove();
  void CommentsMouseLeave();

  QLabel* Image1 = nullptr;
  QLabel* Image3 = nullptr;
  QLabel* Image4 = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Comments = nullptr;
  QPushButton* OKButton = nullptr;

 protected:
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  TMainForm* main_;
};
