// The about box of either edition. Its layout is the edition's own (the
// derived TAcercade); the caption it takes when it is made, its two link
// labels and what the mouse does on them are this class's: a click on the
// maker's address (Label3) or on the product's (Comments) runs the main
// window's browse action, and a label turns yellow while the mouse moves
// over it and white when it leaves.
#pragma once

#include <QColor>
#include <QDialog>
#include <QString>

class QAction;
class QEvent;
class QLabel;
class QPushButton;

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  // What the box takes from the main window: the language item whose check
  // mark its caption follows, and the browse actions its links run.
  struct MainWindowLinks {
    QAction* englishItem = nullptr;  // Ingls1
    QAction* makerSite = nullptr;    // MakerSiteAction
    QAction* productSite = nullptr;  // ProductSiteAction
  };
  AboutBox(QWidget* parent, const MainWindowLinks& links);

  // The caption: "About BORNACE_PELN" while English is checked, else
  // "Acerca de BORNACE_PELN" (the English switch later sets its own).
  void FormCreate();
  void Label3Click();
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
  // The link labels' clicks, moves and leaves; the layout installs the box
  // as the labels' event filter.
  bool eventFilter(QObject* obj, QEvent* ev) override;
  // A left button let go over the widget it was pressed on.
  static bool IsLeftClickInside(QObject* obj, QEvent* ev);

  const MainWindowLinks links_;
};

// An address as a link label shows it: no "https://" or "http://", no
// closing "/".
QString ShownAddress(const char* url);
void SetTextColour(QLabel* label, const QColor& colour);
