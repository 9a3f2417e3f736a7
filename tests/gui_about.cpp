#include <QFileInfo>
#include <QFile>
// The about box, the help menu's manual and web actions, the pictures.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "app/window/about.h"
#include "app/window/language.h"
#include "app/window/manual_window.h"
#include "content/manual.h"
#include "content/pictures.h"
#include "gui_fixture.h"
#include "platform/ui/keyboard.h"
#include "platform/ui/desktop.h"

namespace {

class AboutTest : public WindowTest {
 protected:
  void StartWith(bool english) {
    Start();
    english ? form->Ingls1Click() : form->Espaol1Click();
    desktop = std::make_shared<RecordingDesktop>();
    form->desktop = desktop;
    form->CreateAboutBox();
  }
  TAcercade* Box() const { return form->Acercade.get(); }
  QStringList Opened() const {
    QStringList out;
    for (const QUrl& u : desktop->opened) out << u.toString();
    return out;
  }
  // Shows the box modally; `inside` runs once it is up, then the box is
  // closed by its OK button unless `inside` closed it.
  void ShowModal(const std::function<void()>& inside) {
    bool ran = false;
    QTimer::singleShot(0, Box(), [&] {
      ran = true;
      EXPECT_TRUE(Box()->isVisible());
      EXPECT_TRUE(Box()->isModal());
      inside();
      if (Box()->isVisible()) Box()->OKButton->click();
    });
    form->Acercade1Click();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(Box()->isVisible());
  }
  std::shared_ptr<RecordingDesktop> desktop;
};

QColor TextColour(QLabel* l) { return l->palette().color(QPalette::WindowText); }

void Move(QWidget* w) {
  QMouseEvent ev(QEvent::MouseMove, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                 Qt::NoModifier);
  QApplication::sendEvent(w, &ev);
}

void Leave(QWidget* w) {
  QEvent ev(QEvent::Leave);
  QApplication::sendEvent(w, &ev);
}

}  // namespace

TEST_F(AboutTest, CaptionFollowsTheStartLanguageThenOnlyASwitchToEnglish) {
  const struct {
    bool startEnglish;
    const char* atCreation;
    bool firstSwitchEnglish;
    const char* afterFirst;
    const char* afterSecond;  // after switching back
  } cases[] = {
      {true, "About BORNACE_PELN", false, "About BORNACE_PELN", "About DRAV_PROF"},
      {false, "Acerca de BORNACE_PELN", true, "About DRAV_PROF", "About DRAV_PROF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.atCreation);
    StartWith(c.startEnglish);
    EXPECT_EQ(Box()->windowTitle(), c.atCreation);
    c.firstSwitchEnglish ? form->Ingls1Click() : form->Espaol1Click();
    EXPECT_EQ(Box()->windowTitle(), c.afterFirst);
    c.firstSwitchEnglish ? form->Espaol1Click() : form->Ingls1Click();
    EXPECT_EQ(Box()->windowTitle(), c.afterSecond);
    form.reset();
  }
}

TEST_F(AboutTest, TheBoxShowsTheProductAndItsVersion) {
  StartWith(false);
  EXPECT_EQ(Box()->objectName(), "Acercade");
  // The layout's size, wider only where the font needs it for the addresses.
  EXPECT_EQ(Box()->height(), 485);
  EXPECT_GE(Box()->width(), 576);
  EXPECT_EQ(Box()->ProductName->text(), "DRAV_PROF ");
  EXPECT_EQ(Box()->Version->text(), "Version 2.00-  16/10/2014");
  EXPECT_EQ(Box()->OKButton->text(), "OK");
  EXPECT_TRUE(Box()->OKButton->isDefault());
  for (QLabel* l : {Box()->ProductName, Box()->Version, Box()->Label3, Box()->Comments})
    EXPECT_EQ(TextColour(l), QColor(Qt::white)) << l->objectName().toStdString();
  // The box is a window of its own: the main window's components stay unique.
  EXPECT_EQ(Box()->parent(), nullptr);
}

TEST_F(AboutTest, TextsAreInConstantiaOfTheirOwnSizes) {
  StartWith(false);
  const struct {
    QLabel* TAcercade::*label;
    int pixels;
  } texts[] = {{&TAcercade::ProductName, 20}, {&TAcercade::Version, 21}, {&TAcercade::Label3, 21},
               {&TAcercade::Comments, 19}};
  for (const auto& t : texts) {
    QLabel* l = Box()->*t.label;
    SCOPED_TRACE(l->objectName().toStdString());
    EXPECT_EQ(l->font().family(), "Constantia");
    EXPECT_EQ(l->font().pixelSize(), t.pixels);
    // The box's own font is bold; these texts are not.
    EXPECT_FALSE(l->font().bold());
  }
  EXPECT_EQ(Box()->font().family(), "Comic Sans MS");
  EXPECT_EQ(Box()->font().pixelSize(), 13);
  EXPECT_TRUE(Box()->font().bold());
  EXPECT_EQ(Box()->palette().color(QPalette::Window), QColor(Qt::black));
}

TEST_F(AboutTest, LinksRunTheBrowseActionsAndLeaveTheBoxOpen) {
  StartWith(false);
  const struct {
    QLabel* TAcercade::*link;
    const char* url;
  } links[] = {{&TAcercade::Label3, kMakerSiteUrl},
               {&TAcercade::Image3, kMakerSiteUrl},
               {&TAcercade::Comments, kProductSiteUrl}};
  for (const auto& l : links) {
    desktop->opened.clear();
    ShowModal([&] {
      QTest::mouseClick(Box()->*l.link, Qt::LeftButton);
      EXPECT_TRUE(Box()->isVisible());
      EXPECT_EQ(Opened(), QStringList({QString::fromLatin1(l.url)}));
      // A right click opens nothing.
      QTest::mouseClick(Box()->*l.link, Qt::RightButton);
      EXPECT_EQ(desktop->opened.size(), 1);
    });
    EXPECT_EQ(Box()->result(), QDialog::Accepted);
  }
  // The pictures and texts that are no links open nothing.
  desktop->opened.clear();
  for (QLabel* l : {Box()->Image1, Box()->Image4, Box()->ProductName, Box()->Version})
    QTest::mouseClick(l, Qt::LeftButton);
  EXPECT_TRUE(desktop->opened.isEmpty());
}

TEST_F(AboutTest, LinkLabelsTurnYellowUnderTheMouse) {
  StartWith(true);
  for (QLabel* link : {Box()->Label3, Box()->Comments}) {
    QLabel* other = link == Box()->Label3 ? Box()->Comments : Box()->Label3;
    Move(link);
    EXPECT_EQ(TextColour(link), QColor(255, 255, 0));
    EXPECT_EQ(TextColour(other), QColor(Qt::white));
    Leave(link);
    EXPECT_EQ(TextColour(link), QColor(Qt::white));
  }
  // The version label has no hover.
  Move(Box()->Version);
  EXPECT_EQ(TextColour(Box()->Version), QColor(Qt::white));
}

TEST_F(AboutTest, HelpMenuOpensTheBoxTheManualAndTheProductPage) {
  Start();
  desktop = std::make_shared<RecordingDesktop>();
  form->desktop = desktop;
  QStringList items;
  for (QAction* a : form->Ayuda1->actions()) items << a->objectName() + "=" + WithoutMnemonic(a->text());
  EXPECT_EQ(items, QStringList({"ManualBORNACEPELN1=DRAV_PROF", "ActualizarBORNACEPELN1=Actualizar DRAV_PROF",
                                QString::fromUtf8("Acercade1=Acerca del Velarto Quendrel")}));
  {
    QFile placed(QDir::current().absoluteFilePath("Manual DRAV_PROF.pdf"));
    ASSERT_TRUE(placed.open(QIODevice::WriteOnly));
  }
  form->ManualBORNACEPELN1->trigger();
  form->ManualPC->trigger();
  const QString manual = QUrl::fromLocalFile(QDir::current().absoluteFilePath("Manual DRAV_PROF.pdf")).toString();
  EXPECT_EQ(Opened(), QStringList({manual, manual}));
  desktop->opened.clear();
  form->ActualizarBORNACEPELN1->trigger();
  form->Ingls1Click();
  form->ActualizarBORNACEPELN1->trigger();
  EXPECT_EQ(Opened(), QStringList({QString::fromLatin1(kProductSiteUrl), QString::fromLatin1(kProductSiteUrl)}));
  // F1 on the window, whether or not a menu is open.
  EXPECT_EQ(form->ManualPC->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_TRUE(form->actions().contains(form->ManualPC));
  // The three site actions are not in any menu; each opens its own address.
  desktop->opened.clear();
  for (QAction* a : {form->MakerSiteAction, form->ProductSiteAction, form->SecondSiteAction}) {
    EXPECT_TRUE(a->associatedObjects().size() == 1) << a->objectName().toStdString();
    a->trigger();
  }
  EXPECT_EQ(Opened(), QStringList({QString::fromLatin1(kMakerSiteUrl), QString::fromLatin1(kProductSiteUrl),
                                   QString::fromLatin1(kSecondSiteUrl)}));
  // "Acerca de" without a box made at start-up makes one, in the language in force.
  ASSERT_EQ(form->Acercade, nullptr);
  bool shown = false;
  QTimer::singleShot(0, form.get(), [&] {
    ASSERT_NE(form->Acercade, nullptr);
    shown = form->Acercade->isVisible();
    form->Acercade->OKButton->click();
  });
  form->Acercade1->trigger();
  EXPECT_TRUE(shown);
  EXPECT_EQ(form->Acercade->windowTitle(), "About BORNACE_PELN");
}

TEST_F(AboutTest, PicturesComeFromTheWorkingFolder) {
  std::string err;
  ASSERT_TRUE(WritePictures(".", &err)) << err;
  StartWith(false);
  const struct {
    QLabel* label;
    PictureFile picture;
  } pictures[] = {{Box()->Image1, kAboutSidePicture},
                  {Box()->Image3, kAboutLogoPicture},
                  {Box()->Image4, kAboutStripPicture}};
  for (const auto& p : pictures) {
    const QPixmap pm = p.label->pixmap();
    ASSERT_FALSE(pm.isNull()) << p.picture.path;
    EXPECT_EQ(pm.size(), QSize(p.picture.width, p.picture.height)) << p.picture.path;
  }
  EXPECT_TRUE(Box()->Image4->hasScaledContents());
  // The panels' pictures, wherever their labels sit in the panel.
  auto* image9 = form->PanelGuitarra->findChild<QLabel*>("Image9");
  if (!image9) {
    image9 = new QLabel(form->PanelGuitarra);
    image9->setObjectName("Image9");
  }
  form->LoadPanelPictures();
  // Scaled into its label with its own proportions.
  const QSize shown = image9->pixmap().size();
  EXPECT_FALSE(shown.isEmpty());
  EXPECT_TRUE(QRect(QPoint(), image9->size()).contains(QRect(QPoint(), shown)));
  EXPECT_NEAR(double(shown.width()) / shown.height(), double(kGuitarPicture.width) / kGuitarPicture.height, 0.05);
  for (const char* name : {"Image1", "Image2"}) {
    if (auto* l = form->PanelMetronomo->findChild<QLabel*>(name)) {
      EXPECT_FALSE(l->pixmap().isNull()) << name;
    }
  }
}

TEST_F(AboutTest, MissingOrDamagedPicturesLeaveEmptyFrames) {
  ScratchFolder::Write(kAboutLogoPicture.path, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F'});
  StartWith(false);
  EXPECT_TRUE(Box()->Image1->pixmap().isNull());
  EXPECT_TRUE(Box()->Image3->pixmap().isNull());
  form->LoadPanelPictures();
}

TEST(Manual, IsAPdfThatTellsHowToOpenSavePlayAndMoveThePanels) {
  const QString html = ManualHtml();
  for (const char* word : {"Abrir", "Guardar", "F10", "F11", "F12", "Ver", "Idiomas", "Open", "Save", "View",
                           "Languages", "F1 "})
    EXPECT_TRUE(html.contains(QString::fromUtf8(word))) << word;
  ScratchFolder dir;
  std::string err;
  ASSERT_TRUE(WriteManual(".", &err)) << err;
  QFile f(kManualFileName);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray pdf = f.readAll();
  EXPECT_TRUE(pdf.startsWith("%PDF-"));
  EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
  EXPECT_TRUE(QRegularExpression("/Type\\s*/Page\\b").match(QString::fromLatin1(pdf)).hasMatch());
  EXPECT_GT(pdf.size(), 4000);
}

// F1 opens the manual of the working folder; one that is not there is said,
// with the path where it was looked for.
TEST_F(AboutTest, TheManualOpensOrSaysWhereItWasLookedFor) {
  StartWith(false);
  dlg->messages.clear();
  const QString path = QDir::current().absoluteFilePath(QString::fromLatin1(kManualFileName));
  auto place = [&] {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  };
  place();
  form->ManualPC->trigger();
  EXPECT_EQ(Opened(), QStringList({QUrl::fromLocalFile(path).toString()}));
  EXPECT_TRUE(dlg->messages.isEmpty());

  QFile::remove(path);
  desktop->opened.clear();
  form->ManualPC->trigger();
  EXPECT_TRUE(desktop->opened.isEmpty());
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_EQ(dlg->messages[0], "No se puede abrir el manual:\r\n" + path);

  // A desktop with no PDF viewer: the message names the file and what is needed.
  place();
  desktop->result = false;
  form->ManualPC->trigger();
  ASSERT_EQ(dlg->messages.size(), 2);
  EXPECT_EQ(dlg->messages[1],
            "Hace falta un visor de PDF para leer el manual. Abra con uno este archivo:\r\n" + path);
}
