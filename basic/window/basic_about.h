// The basic edition's about box: the product, its version and the maker's
// and the product's addresses, whose clicks run the main window's browse
// actions. Built once, right after the main window's start-up.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QWidget;

namespace bornace {

class TMainForm;

// The product's own site (the maker's and the second site are the
// professional edition's, app/window/about.h).
inline constexpr const char* kBasicProductSiteUrl = "https://bornace.velarto-quendrel.example/";

class TAcercade : public QDialog {
  Q_OBJECT
 public:
  explicit TAcercade(TMainForm* mainForm);

  void FormCreate();
  void Label3Click();
  void CommentsClick();
  void Label3MouseMove();
  void Label3MouseLeave();
  void CommentsMouseMove();
  void CommentsMouseLeave();
  // Bound to no control of the box; each runs a browse action of the main window.
  void Label5Click();
  void Label1Click();
  void Label4Click();
  void Image2Click();

  QLabel* Image1 = nullptr;
  QWidget* Panel1 = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Comments = nullptr;
  QLabel* Image3 = nullptr;
  QLabel* Image4 = nullptr;
  QPushButton* OKButton = nullptr;

 protected:
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  TMainForm* main_;
};

}  // namespace bornace
