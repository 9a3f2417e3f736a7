#include "basic/window/basic_about.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "app/jpeg.h"
#include "app/window/about.h"
#include "basic/window/basic_form.h"
#include "content/pictures.h"

namespace bornace {

namespace {

const QColor kOrange(255, 128, 0);
const QColor kVersionBlue(0, 128, 255);

QLabel* Picture(QWidget* parent, const char* name, QRect geom, const PictureFile& picture, TMainForm* mainForm) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  l->setGeometry(geom);
  l->setAlignment(Qt::AlignCenter);
  const QImage img = LoadWindowPicture(QString::fromLatin1(picture.path), mainForm->English,
                                       [mainForm](const QString& s) { mainForm->Log(s); });
  if (!img.isNull())
    l->setPixmap(QPixmap::fromImage(img.scaled(geom.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  return l;
}

// Sizes in pixels: the box has a fixed size, whatever the desktop's font scale.
QLabel* Text(QWidget* parent, const char* name, const QString& text, QRect geom, int pixels, bool bold,
             const QColor& colour) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setGeometry(geom);
  l->setAlignment(Qt::AlignCenter);
  QFont f = l->font();
  f.setPixelSize(pixels);
  f.setBold(bold);
  l->setFont(f);
  SetTextColour(l, colour);
  return l;
}

}  // namespace

TAcercade::TAcercade(TMainForm* mainForm)
    : AboutBox(mainForm, {mainForm->Ingls1, mainForm->MakerSiteAction, mainForm->ProductSiteAction}),
      main_(mainForm) {
  setObjectName("Acercade");
  setWindowFlags(Qt::Dialog | Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(467, 314);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kOrange);
  setPalette(pal);

  Image1 = Picture(this, "Image1", {0, 0, kBasicAboutSidePicture.width, kBasicAboutSidePicture.height},
                   kBasicAboutSidePicture, mainForm);
  Panel1 = new QWidget(this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(158, 8, 301, 298);
  Panel1->setAutoFillBackground(true);
  QPalette black = Panel1->palette();
  black.setColor(QPalette::Window, Qt::black);
  Panel1->setPalette(black);

  Image3 = Picture(Panel1, "Image3", {8, 6, kBasicAboutLogoPicture.width, kBasicAboutLogoPicture.height},
                   kBasicAboutLogoPicture, mainForm);
  ProductName = Text(Panel1, "ProductName", "BORNACE_DRAV", {8, 76, 285, 30}, 22, true, Qt::white);
  Version = Text(Panel1, "Version", "Version 2.00 - 16/10/2014", {8, 108, 285, 24}, 15, false, kVersionBlue);
  Label3 = Text(Panel1, "Label3", ShownAddress(kMakerSiteUrl), {8, 138, 285, 24}, 15, true, Qt::blue);
  Comments = Text(Panel1, "Comments", ShownAddress(kBasicProductSiteUrl), {8, 164, 285, 24}, 14, false, Qt::white);
  for (QLabel* link : {Label3, Comments}) {
    link->setCursor(Qt::PointingHandCursor);
    link->setMouseTracking(true);
    link->installEventFilter(this);
  }
  Image4 = Picture(Panel1, "Image4", {8, 196, kBasicAboutStripPicture.width, kBasicAboutStripPicture.height},
                   kBasicAboutStripPicture, mainForm);
  Image4->setScaledContents(true);
  OKButton = new QPushButton("OK", Panel1);
  OKButton->setObjectName("OKButton");
  OKButton->setGeometry(105, 250, 90, 32);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  FormCreate();
}

void TAcercade::Label5Click() { main_->SecondSiteAction->trigger(); }
void TAcercade::Label1Click() { main_->ProductSiteAction->trigger(); }
void TAcercade::Label4Click() { main_->MakerSiteAction->trigger(); }
void TAcercade::Image2Click() { main_->MakerSiteAction->trigger(); }

}  // namespace bornace
