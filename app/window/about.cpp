#include "app/window/about.h"

#include "platform/ui/fit_texts.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "app/jpeg.h"
#include "app/window/mainform.h"
#include "content/pictures.h"

namespace {

QLabel* Picture(QWidget* parent, const char* name, QRect geom, const PictureFile& picture, TMainForm* mainForm) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  l->setGeometry(geom);
  const QImage img = LoadWindowPicture(QString::fromLatin1(picture.path), mainForm->English,
                                       [mainForm](const QString& s) { mainForm->Log(s); });
  if (!img.isNull()) l->setPixmap(QPixmap::fromImage(img));
  return l;
}

QLabel* Text(QWidget* parent, const char* name, const QString& text, QRect geom, int pixels) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setGeometry(geom);
  // Regular weight of its own: the box's bold default font does not apply.
  QFont f("Constantia");
  f.setPixelSize(pixels);
  f.setBold(false);
  l->setFont(f);
  SetTextColour(l, Qt::white);
  return l;
}

}  // namespace

TAcercade::TAcercade(TMainForm* mainForm)
    : AboutBox(nullptr, {mainForm->Ingls1, mainForm->MakerSiteAction, mainForm->ProductSiteAction}) {
  setObjectName("Acercade");
  setWindowFlags(Qt::Dialog | Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(576, 485);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
  QFont f("Comic Sans MS");
  f.setPixelSize(13);
  f.setBold(true);
  setFont(f);

  Image1 = Picture(this, "Image1", {0, 0, 269, 484}, kAboutSidePicture, mainForm);
  Image3 = Picture(this, "Image3", {289, 8, 277, 158}, kAboutLogoPicture, mainForm);
  Image3->setCursor(Qt::PointingHandCursor);
  Image4 = Picture(this, "Image4", {286, 172, 283, 109}, kAboutStripPicture, mainForm);
  Image4->setScaledContents(true);
  ProductName = Text(this, "ProductName", "DRAV_PROF ", {292, 292, 274, 28}, 20);
  Version = Text(this, "Version", "Version 2.00-  16/10/2014", {292, 324, 274, 30}, 21);
  Label3 = Text(this, "Label3", ShownAddress(kMakerSiteUrl), {292, 362, 274, 30}, 21);
  Comments = Text(this, "Comments", ShownAddress(kProductSiteUrl), {292, 398, 274, 28}, 19);
  for (QLabel* link : {Label3, Comments}) {
    link->setCursor(Qt::PointingHandCursor);
    link->setMouseTracking(true);
  }
  for (QLabel* watched : {Label3, Comments, Image3}) watched->installEventFilter(this);
  OKButton = new QPushButton("OK", this);
  OKButton->setObjectName("OKButton");
  OKButton->setGeometry(480, 444, 80, 28);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  // The addresses are shown whole in whatever font stands in for the box's.
  ShownTexts texts;
  RecordShownTexts(this, &texts);
  const QRect used = FitChildren(this, texts);
  setFixedSize(std::max(width(), used.right() + 1 + 10), height());
  FormCreate();
}

void TAcercade::Image3Click() { links_.makerSite->trigger(); }

bool TAcercade::eventFilter(QObject* obj, QEvent* ev) {
  if (obj == Image3 && IsLeftClickInside(obj, ev)) Image3Click();
  return AboutBox::eventFilter(obj, ev);
}
