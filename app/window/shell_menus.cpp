// The "Idiomas" and "Ayuda" menus, the shell's actions (manual, web pages),
// the about box and the panels' pictures.
#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QUrl>

#include "app/window/about.h"
#include "app/jpeg.h"
#include "app/window/mainform.h"
#include "platform/ui/widgets.h"
#include "content/manual.h"
#include "content/pictures.h"
#include "platform/ui/desktop.h"
#include "platform/ui/keyboard.h"

void TMainForm::BuildShellMenus() {
  auto* languages = new QActionGroup(this);
  languages->setExclusive(true);
  AddMenuItem(Idiomas1, Espaol1, "Espaol1", QString::fromUtf8("Español"));
  AddMenuItem(Idiomas1, Ingls1, "Ingls1", QString::fromUtf8("Inglés"));
  for (QAction* a : {Espaol1, Ingls1}) {
    a->setCheckable(true);
    languages->addAction(a);
  }
  Espaol1->setChecked(true);

  // The action list's shell actions: on the window, so that F1 works
  // whether or not a menu is open.
  AddWidgetAction(this, ManualPC, "ManualPC", "Manual DRAV_PROF");
  ManualPC->setShortcut(QKeySequence(Qt::Key_F1));
  ManualPC->setProperty("fileName", QString::fromLatin1(kManualFileName));
  AddWidgetAction(this, BUActualizar, "BUActualizar", "Actualizar DRAV_PROF");
  BUActualizar->setProperty("url", QString::fromLatin1(kProductSiteUrl));
  AddWidgetAction(this, MakerSiteAction, "MakerSiteAction", "Velarto Quendrel");
  MakerSiteAction->setProperty("url", QString::fromLatin1(kMakerSiteUrl));
  AddWidgetAction(this, ProductSiteAction, "ProductSiteAction", "DRAV_PROF");
  ProductSiteAction->setProperty("url", QString::fromLatin1(kProductSiteUrl));
  AddWidgetAction(this, SecondSiteAction, "SecondSiteAction", "Flamenco");
  SecondSiteAction->setProperty("url", QString::fromLatin1(kSecondSiteUrl));

  AddMenuItem(Ayuda1, ManualBORNACEPELN1, "ManualBORNACEPELN1", "DRAV_PROF");
  ShowKeyInMenu(ManualBORNACEPELN1, ManualPC);  // the manual opens with F1
  AddMenuItem(Ayuda1, ActualizarBORNACEPELN1, "ActualizarBORNACEPELN1", "Actualizar DRAV_PROF");
  AddMenuItem(Ayuda1, Acercade1, "Acercade1", "Acerca del Velarto Quendrel");
}

void TMainForm::ConnectShell() {
  if (!desktop) desktop = std::shared_ptr<Desktop>(CreateQtDesktop());
  connect(Espaol1, &QAction::triggered, this, [this] { Espaol1Click(); });
  connect(Ingls1, &QAction::triggered, this, [this] { Ingls1Click(); });
  connect(ManualPC, &QAction::triggered, this, [this] { OpenManual(); });
  for (QAction* a : {BUActualizar, MakerSiteAction, ProductSiteAction, SecondSiteAction})
    connect(a, &QAction::triggered, this, [this, a] { BrowseUrlAction(a); });
  connect(ManualBORNACEPELN1, &QAction::triggered, this, [this] { ManualPC->trigger(); });
  connect(ActualizarBORNACEPELN1, &QAction::triggered, this, [this] { ActualizarBORNACEPELN1Click(); });
  connect(Acercade1, &QAction::triggered, this, [this] { Acercade1Click(); });
  connect(Ayuda1, &QMenu::aboutToShow, this, [this] { Ayuda1Click(); });
}

bool TMainForm::RunFileAction(QAction* action) {
  const QString name = action->property("fileName").toString();
  return desktop->Open(QUrl::fromLocalFile(QDir::current().absoluteFilePath(name)));
}

void TMainForm::OpenManual() {
  const QString path = QDir::current().absoluteFilePath(ManualPC->property("fileName").toString());
  // A manual that is not there is said; one that the desktop has no viewer
  // for is named, with what is needed to read it.
  if (!QFileInfo(path).isFile()) {
    dialogs->ShowMessage(Tr("No se puede abrir el manual:\r\n", "I cannot open the manual:\r\n") + path);
    return;
  }
  if (RunFileAction(ManualPC)) return;
  dialogs->ShowMessage(Tr("Hace falta un visor de PDF para leer el manual. Abra con uno este archivo:\r\n",
                          "A PDF viewer is needed to read the manual. Open this file with one:\r\n") + path);
}

bool TMainForm::BrowseUrlAction(QAction* action) {
  return desktop->Open(QUrl(action->property("url").toString()));
}

void TMainForm::CreateAboutBox() {
  if (!Acercade) Acercade = std::make_shared<TAcercade>(this);
}

void TMainForm::Acercade1Click() {
  if (!Acercade) CreateAboutBox();
  Acercade->exec();
}

void TMainForm::ActualizarBORNACEPELN1Click() { BUActualizar->trigger(); }

void TMainForm::Ayuda1Click() {}

void TMainForm::LoadPanelPictures() {
  const struct {
    QWidget* panel;
    const char* name;
    const PictureFile& picture;
  } pictures[] = {{PanelMetronomo, "Image1", kMetronomeEmblemPicture},
                  {PanelMetronomo, "Image2", kMetronomeStripPicture},
                  {PanelGuitarra, "Image9", kGuitarPicture}};
  for (const auto& p : pictures) {
    auto* label = p.panel->findChild<QLabel*>(p.name);
    if (!label) continue;
    const QImage img =
        LoadWindowPicture(QString::fromLatin1(p.picture.path), English, [this](const QString& s) { Log(s); });
    if (img.isNull()) continue;
    // Scaled into the label's room with its own proportions, centred.
    label->setScaledContents(false);
    label->setAlignment(Qt::AlignCenter);
    label->setPixmap(QPixmap::fromImage(img.scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  }
}
