// The basic window's shell: construction, menus, settings, start-up,
// shutdown and the language switch.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>

#include "basic/window/basic_form.h"

namespace bornace {

TMainForm::TMainForm(Options opts, QWidget* parent) : QMainWindow(parent), Opts(std::move(opts)) {
  setObjectName("MainForm");
  setWindowTitle("Velarto");
  dialogs = Opts.dialogs ? std::move(Opts.dialogs) : CreateQtDialogs(this);
  BuildLayout();
  BuildChart();
  BuildMenus();
  connect(cb3d, &QCheckBox::clicked, this, [this] { cb3dClick(); });
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
  connect(botonrec, &QPushButton::clicked, this, [this] { botonrecClick(); });
  resize(1340, 730);
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildMenus() {
  Archivo1 = menuBar()->addMenu("Archivo");
  Archivo1->setObjectName("Archivo1");
  Salir1 = Archivo1->addAction("Salir");
  Salir1->setObjectName("Salir1");
  connect(Salir1, &QAction::triggered, this, [this] { close(); });
  Afinar1 = menuBar()->addMenu("Afinar");
  Afinar1->setObjectName("Afinar1");
  Afinar2 = Afinar1->addAction("Afinar");
  Afinar2->setObjectName("Afinar2");
  connect(Afinar2, &QAction::triggered, this, [this] { Afinar2Click(); });
  Idioma1 = menuBar()->addMenu("Idioma");
  Idioma1->setObjectName("Idioma1");
  Espanol1 = Idioma1->addAction("Español");
  Espanol1->setObjectName("Espaol1");
  English1 = Idioma1->addAction("English");
  English1->setObjectName("Ingls1");
  connect(Espanol1, &QAction::triggered, this, [this] { SetLanguage(false); });
  connect(English1, &QAction::triggered, this, [this] { SetLanguage(true); });
  Ayuda1 = menuBar()->addMenu("Ayuda");
  Ayuda1->setObjectName("Ayuda1");
  Acercade1 = Ayuda1->addAction("Acerca de...");
  Acercade1->setObjectName("Acercade1");
}

void TMainForm::SetLanguage(bool english) {
  English = english;
  auto t = [english](const char* es, const char* en) { return QString::fromUtf8(english ? en : es); };
  PageControl1->setTabText(0, t("Metrónomo", "Metronome"));
  PageControl1->setTabText(1, t("Afinador", "Tuner"));
  PageControl1->setTabText(2, t("Sonidos", "Sounds"));
  botonrec->setText(t("Guardar todo", "Save all"));
  BEnvia->setText(t("Enviar", "Send"));
  BPlay->setText(t("Tocar", "Play"));
  BStop->setText(t("Parar", "Stop"));
  cb3d->setText(t("Estéreo", "Stereo"));
  GB1->setTitle(t("Cuerda", "String"));
  Archivo1->setTitle(t("Archivo", "File"));
  Salir1->setText(t("Salir", "Exit"));
  Afinar1->setTitle(t("Afinar", "Tune"));
  Afinar2->setText(t("Afinar", "Tune"));
  Idioma1->setTitle(t("Idioma", "Language"));
  Ayuda1->setTitle(t("Ayuda", "Help"));
  Acercade1->setText(t("Acerca de...", "About..."));
  Series1->setName("Instrumentos");
  if (Settings) Settings->WriteString("METRONOMO", "Idioma", english ? "Ingles" : "Español");
}

void TMainForm::FormCreate() {
  Settings = std::make_unique<SettingsIni>("vididoru.ini");
  DataSetName = Settings->ReadString("METRONOMO", "archivo", "Original");
  if (!Opts.commandLineSet.isEmpty()) DataSetName = QFileInfo(Opts.commandLineSet).completeBaseName();
  Settings->WriteString("METRONOMO", "archivo", DataSetName);
  OlePath = "datos/" + DataSetName + ".ole";
  const QString lang = Settings->ReadString("METRONOMO", "Idioma", "Español");
  SetLanguage(lang.compare("english", Qt::CaseInsensitive) == 0 || lang.compare("Ingles", Qt::CaseInsensitive) == 0);
}

void TMainForm::botonrecClick() {
  const int a = dialogs->Ask(English ? "Save the changes ?" : "¿ Quiere guardar los cambios realizados ?",
                             "Velarto", AskButtons::YesNo);
  if (a == kAnswerYes && SaveDataSet) SaveDataSet();
}

void TMainForm::closeEvent(QCloseEvent* e) {
  PageControl1->setCurrentWidget(TabSheet1);
  if (botonrec->isEnabled()) botonrecClick();  // the answer never keeps the window open
  if (DataSetName == "Nuevo" && Settings) Settings->WriteString("METRONOMO", "archivo", PreviousDataSetName);
  e->accept();
}

}  // namespace bornace
