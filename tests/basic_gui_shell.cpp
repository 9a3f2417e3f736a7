// The basic window's shell: start-up and its settings, the shutdown, the
// menus and their keys, the documents of the help menu, the language switch
// and the about box.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QRegularExpression>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <QSet>
#include <set>

#include "app/startup.h"
#include "app/window/about.h"
#include "platform/ui/keyboard.h"
#include "platform/ui/settings.h"
#include "basic/basic_set.h"
#include "platform/ui/string_grid.h"
#include "basic/window/basic_about.h"
#include "basic/window/basic_form.h"
#include "basic/window/basic_language.h"
#include "basic_gui_fixture.h"
#include "content/pictures.h"
#include "platform/files/atomic_file.h"
#include "rhythm/formats_v1.h"

using BasicForm = bornace::TMainForm;

namespace {

// The start-up with a hand on the options and on the test devices before it runs.
class BasicShellTest : public BasicWindowTest {
 protected:
  using Setup = std::function<void(BasicForm::Options&)>;
  void StartWith(const Setup& setup, bool failOutput = false, uint32_t volume = 0) {
    auto d = std::make_unique<ScriptedDialogs>();
    dlg = d.get();
    BasicForm::Options o;
    o.dialogs = std::move(d);
    auto w = audio::CreateTestWaveOut();
    wave = w.get();
    if (failOutput) wave->SetOpenFailure("no output device");
    wave->SetVolume(volume);
    o.waveOut = std::move(w);
    auto in = audio::CreateTestWaveIn();
    waveIn = in.get();
    o.waveIn = std::move(in);
    o.hidBus = std::make_unique<hid::TestHidBus>();
    o.serialPort = std::make_unique<serial::TestSerialPort>();
    auto desk = std::make_unique<RecordingDesktop>();
    desktop = desk.get();
    o.desktop = std::move(desk);
    if (setup) setup(o);
    form = std::make_unique<BasicForm>(std::move(o));
    form->FormCreate();
  }
  static QString Ini(const char* key) {
    return SettingsIni("vididoru.ini").ReadString("METRONOMO", key, "<none>");
  }
  static void SetIni(const char* key, const QString& value) {
    SettingsIni("vididoru.ini").WriteString("METRONOMO", key, value);
  }
  void Close() {
    QCloseEvent e;
    QApplication::sendEvent(form.get(), &e);
    EXPECT_TRUE(e.isAccepted());
  }
};

QStringList MenuItems(QMenu* m) {
  QStringList out;
  for (QAction* a : m->actions())
    if (!a->isSeparator()) out << a->objectName();
  return out;
}

}  // namespace

// --- start-up ------------------------------------------------------------------

TEST_F(BasicShellTest, StartUpRunsItsStepsInOrder) {
  StartWith(nullptr);
  const std::vector<std::string> steps = {
      "ProbeHidDevice", "Random",    "FindDeviceSerialPort", "Settings",      "archivo",
      "CommandLine",    "WriteArchivo", "OlePath",           "Language",      "FftConstants",
      "WaveOut",        "Volume",    "WaveIn",               "ControlArrays", "Pictures",
      "OpenDeviceSerialPort", "OpenDataSet", "NSerieMetronomo"};
  EXPECT_EQ(form->StartupSteps, steps);
  // The output at 22050 Hz, 16-bit stereo.
  const auto calls = wave->Calls();
  auto open = std::find_if(calls.begin(), calls.end(), [](const audio::WaveOutCall& c) { return c.name == "Open"; });
  ASSERT_NE(open, calls.end());
  EXPECT_EQ(open->value, 22050u);
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const audio::WaveOutCall& c) { return c.name == "Open"; }),
            1);
  // The set opened silently counts as unmodified; nothing was asked or said.
  EXPECT_FALSE(form->Modified());
  EXPECT_TRUE(dlg->messages.isEmpty()) << dlg->messages.join('|').toStdString();
  EXPECT_TRUE(dlg->questions.isEmpty());
  // The control arrays hold the layout's lamps and accent boxes in order.
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(form->BeatLabels[static_cast<size_t>(i)]->objectName(), QString("lb%1").arg(i + 1));
    EXPECT_EQ(form->AccentBoxes[static_cast<size_t>(i)]->objectName(), QString("CheckBox%1").arg(i + 1));
  }
}

TEST_F(BasicShellTest, FirstStartWithoutSettings) {
  ASSERT_FALSE(QFile::exists("vididoru.ini"));
  StartWith(nullptr);
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
  EXPECT_FALSE(form->English);
  EXPECT_TRUE(form->Espaol1->isChecked());
  EXPECT_EQ(form->OlePath, "datos/Original.ole");
  EXPECT_EQ(form->windowTitle(), "Velarto Quendrel - Original");
  QSettings raw("vididoru.ini", QSettings::IniFormat);
  QStringList keys = raw.allKeys();
  keys.sort();
  // The basic edition's file has only these two keys.
  EXPECT_EQ(keys, (QStringList{"METRONOMO/Idioma", "METRONOMO/archivo"}));
  EXPECT_EQ(Ini("archivo"), "Original");
  EXPECT_EQ(Ini("Idioma"), QString::fromUtf8("Español"));
  EXPECT_FALSE(QFile::exists("DRAV_PROF.ini"));
  EXPECT_FALSE(QFile::exists("flamenco.ini"));
}

TEST_F(BasicShellTest, IdiomaSettingChoosesTheLanguage) {
  struct {
    QString idioma;
    bool english;
  } cases[] = {{"INGLES", true}, {"English", true}, {"ingles", true},
               {QString::fromUtf8("Inglés"), false}, {"Spanish", false}, {"", false}};
  for (const auto& c : cases) {
    SetIni("Idioma", c.idioma);
    StartWith(nullptr);
    EXPECT_EQ(form->English, c.english) << c.idioma.toStdString();
    EXPECT_EQ(form->Ingls1->isChecked(), c.english);
    EXPECT_EQ(form->Espaol1->isChecked(), !c.english);
    // The switch writes its own word back.
    EXPECT_EQ(Ini("Idioma"), c.english ? QString("Ingles") : QString::fromUtf8("Español"));
    form.reset();
  }
}

TEST_F(BasicShellTest, CommandLineNamesTheSet) {
  struct {
    QString argument;
    std::string set;
  } cases[] = {{"datos/Tangos.ole", "Tangos"},
               {"datos/Bulerias 1.ole", "Bulerias 1"},
               {QString::fromUtf8("datos/Bulerías.ole"), "Buler\xED" "as"},  // kept as 8-bit text
               {"datos/Tangos.OLE", "Soleares"},  // the extension is compared exactly: "archivo" decides
               {"datos/Tangos.vl2", "Soleares"},  // the professional list is not the basic one
               {"", "Soleares"}};
  for (const auto& c : cases) {
    SetIni("archivo", "Soleares");
    StartWith([&](BasicForm::Options& o) { o.commandLineSet = c.argument; });
    EXPECT_EQ(form->DataSet.DataSetName, c.set) << c.argument.toStdString();
    EXPECT_EQ(Ini("archivo"), QString::fromLatin1(c.set.c_str())) << c.argument.toStdString();
    // A name that names no set opens a copy of the factory set under it.
    EXPECT_TRUE(FileExists(OlePathOf(c.set))) << c.argument.toStdString();
    form.reset();
  }
}

// What the program entry does with its arguments: an .ole names the set,
// and the folder above the set's "datos" becomes the working folder.
TEST(BasicEntry, OleArgumentNamesTheSetAndTheWorkingFolder) {
  auto s = FindCommandLineSet({"-style", "fusion", "/w/run-basic/datos/Tangos.ole"}, ".ole");
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->name, "Tangos");
  EXPECT_EQ(s->workingFolder, "/w/run-basic");
  s = FindCommandLineSet({"/w/run-basic/datos/Bulerias", "1.ole"}, ".ole");  // split by the shell
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->name, "Bulerias 1");
  EXPECT_FALSE(FindCommandLineSet({"/w/run-basic/datos/Tangos.OLE"}, ".ole").has_value());
  EXPECT_FALSE(FindCommandLineSet({"/w/run/datos/Tangos.vl2"}, ".ole").has_value());
  EXPECT_FALSE(FindCommandLineSet({".ole"}, ".ole").has_value());
}

TEST_F(BasicShellTest, OutputVolumeAndOutputFailure) {
  struct {
    uint32_t device;  // left level in the low half, right level in the high half
    int slider;
    uint32_t after;   // a moved slider sets both channels as a user's move does
  } cases[] = {{0x40008000u, 0x4000, 0x40004000u}, {0xFFFF0000u, 0xFFFF, 0xFFFFFFFFu}, {0x0000FFFFu, 0, 0x0000FFFFu}};
  for (const auto& c : cases) {
    StartWith(nullptr, false, c.device);
    EXPECT_EQ(form->tbvolumen->value(), c.slider) << std::hex << c.device;
    EXPECT_EQ(wave->GetVolume(), c.after) << std::hex << c.device;
    EXPECT_EQ(form->Engine->Controls.MasterVolume, c.slider);
    form.reset();
  }
  StartWith(nullptr, false, 0x40008000u);
  EXPECT_EQ(form->tbvolumen->value(), 0x4000);  // the right channel's level
  form.reset();
  StartWith(nullptr, true, 0x40008000u);
  // No box before the window: the log says what is missing and what to do.
  EXPECT_TRUE(dlg->messages.isEmpty());
  EXPECT_TRUE(form->Visor->toPlainText().contains(QString::fromUtf8("No hay salida de sonido")));
  EXPECT_TRUE(form->Visor->toPlainText().contains("VELARTO_AUDIO_HOST"));
  EXPECT_TRUE(form->Visor->toPlainText().contains("El sistema de sonido dice: no output device"));
  EXPECT_EQ(form->tbvolumen->value(), 0x4000);  // the volume kept for the device, disabled
  EXPECT_FALSE(form->tbvolumen->isEnabled());
  EXPECT_EQ(form->Engine->Controls.MasterVolume, 0x4000);
  EXPECT_EQ(form->StartupSteps.back(), "NSerieMetronomo");
  EXPECT_GT(form->SGFormulas->RowCount(), 2);  // the set opened all the same
}

TEST_F(BasicShellTest, WavePictureStartsBlack) {
  StartWith(nullptr);
  const QImage img = form->oscilata->pixmap().toImage();
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.size(), form->oscilata->size());
  EXPECT_EQ(img.pixelColor(img.width() / 2, img.height() / 2), QColor(Qt::black));
}

// --- shutdown --------------------------------------------------------------------

TEST_F(BasicShellTest, ClosingOnNuevoRemembersTheSetBeforeIt) {
  StartWith(nullptr);
  // A set of our own, open, then "Nuevo".
  dlg->saveNames.push_back(QDir::currentPath() + "/datos/Tangos.ole");
  form->Guardarcomo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Tangos");
  ASSERT_EQ(Ini("archivo"), "Tangos");
  form->Nuevo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Nuevo");
  dlg->answers.push_back(kAnswerNo);
  Close();
  EXPECT_TRUE(form->FormClosed);
  EXPECT_EQ(Ini("archivo"), "Tangos");
  form.reset();
  // The next start opens it.
  StartWith(nullptr);
  EXPECT_EQ(form->DataSet.DataSetName, "Tangos");
}

TEST_F(BasicShellTest, ClosingWithoutChangesAsksNothingAndStopsPlayback) {
  StartWith(nullptr);
  form->PageControl1->setCurrentWidget(form->TabSheet2);
  ASSERT_TRUE(form->TunerRunning());
  form->SGFormulasSelectCell(1, 1);
  form->botonplayClick();
  ASSERT_TRUE(form->Timer1->isActive());
  Close();
  EXPECT_TRUE(dlg->questions.isEmpty());
  EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheet1);
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_FALSE(form->TunerRunning());
  EXPECT_EQ(form->Engine->PlayState, 0);
  EXPECT_FALSE(wave->IsOpen());
  EXPECT_EQ(Ini("archivo"), "Original");
  // A second close (the window's own after Salir) changes nothing.
  EXPECT_TRUE(form->FormClose());
}

TEST_F(BasicShellTest, SalirClosesTheWindow) {
  StartWith(nullptr);
  form->show();
  form->Salir1->trigger();
  EXPECT_TRUE(form->FormClosed);
  EXPECT_FALSE(form->isVisible());
}

// --- menus and keys ------------------------------------------------------------------

TEST_F(BasicShellTest, MenusAndTheirKeys) {
  StartWith(nullptr);
  QStringList bar;
  for (QAction* a : form->menuBar()->actions()) bar << a->menu()->objectName();
  EXPECT_EQ(bar, (QStringList{"File", "PlayStop1", "Afinar1", "Idiomas1", "Ayuda1"}));
  // "Archivo" without the import of the older generation.
  EXPECT_EQ(MenuItems(form->File), (QStringList{"Original1", "Nuevo1", "Deshacertodo1", "Abrir2", "ImportarTEMA1",
                                                "Guardar1", "Guardarcomo1", "Recibir1", "Salir1"}));
  EXPECT_EQ(MenuItems(form->PlayStop1), (QStringList{"P1", "PlayFrmula1", "Stop1"}));
  EXPECT_EQ(WithoutMnemonic(form->P1->text()), "Play Tema");
  EXPECT_EQ(form->P1->shortcut(), QKeySequence(Qt::Key_F10));
  EXPECT_EQ(form->PlayFrmula1->shortcut(), QKeySequence(Qt::Key_F11));
  EXPECT_EQ(form->Stop1->shortcut(), QKeySequence(Qt::Key_F12));
  EXPECT_EQ(MenuItems(form->Afinar1), QStringList{"Afinar2"});
  EXPECT_EQ(MenuItems(form->Idiomas1), (QStringList{"Espaol1", "Ingls1"}));
  EXPECT_EQ(MenuItems(form->Ayuda1), (QStringList{"", "ActualizarBORNACEPELN1", "Acercade1"}));
  EXPECT_EQ(form->Ayuda1->actions().first()->menu(), form->Ayuda2);
  EXPECT_EQ(WithoutMnemonic(form->Ayuda2->title()), "Manuales");
  EXPECT_EQ(MenuItems(form->Ayuda2), (QStringList{"ManualBORNACEPELN1", "Velarto1", "GuaRpidadelPELN1"}));
  EXPECT_EQ(WithoutMnemonic(form->ActualizarBORNACEPELN1->text()), "Actualizar BORNACE_DRAV");
  EXPECT_EQ(WithoutMnemonic(form->Acercade1->text()), "Acerca del Velarto Quendrel");
  // The file-run actions: keys of their own; "Notacion" is in no menu.
  EXPECT_EQ(form->ManualPC->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_EQ(form->PELN->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
  EXPECT_EQ(form->Notacion->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F1));
  EXPECT_TRUE(form->guiarapida->shortcut().isEmpty());
  for (QMenu* m : form->findChildren<QMenu*>())
    EXPECT_FALSE(m->actions().contains(form->Notacion)) << m->objectName().toStdString();
  // No key is bound twice in the window.
  std::set<QString> keys;
  for (QAction* a : form->findChildren<QAction*>()) {
    if (a->shortcut().isEmpty() || a->shortcutContext() == Qt::WidgetShortcut) continue;
    EXPECT_TRUE(keys.insert(a->shortcut().toString()).second) << a->shortcut().toString().toStdString();
  }
}

TEST_F(BasicShellTest, PlayStopMenuRunsTheTransport) {
  StartWith(nullptr);
  form->SGFormulasSelectCell(1, 1);
  form->PlayFrmula1->trigger();
  EXPECT_TRUE(form->Timer1->isActive());
  form->Stop1->trigger();
  EXPECT_FALSE(form->Timer1->isActive());
  form->SGTemasSelectCell(1, 1);
  form->P1->trigger();
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_TRUE(form->Engine->ThemePlayback);
  form->Stop1->trigger();
  EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(BasicShellTest, DocumentsOfTheHelpMenuInBothLanguages) {
  StartWith(nullptr);
  struct Doc {
    QAction* BasicForm::*action;
    QAction* BasicForm::*item;  // the menu item that runs it (null: none)
    const char* spanish;
    const char* english;
  } docs[] = {
      {&BasicForm::ManualPC, &BasicForm::ManualBORNACEPELN1, "Manual BORNACE_DRAV para Windows.pdf",
       "BORNACE_DRAV user manual.pdf"},
      {&BasicForm::PELN, &BasicForm::Velarto1, "Manual_DRAV_V1.02.pdf", "Users Manual_DRAV_V1.01.pdf"},
      {&BasicForm::guiarapida, &BasicForm::GuaRpidadelPELN1, "Guia Rápida.pdf", "Quick Start Guide.pdf"},
      {&BasicForm::Notacion, nullptr, "Notación.pdf", "Notation.pdf"},
  };
  for (bool english : {false, true}) {
    (english ? form->Ingls1 : form->Espaol1)->trigger();
    for (const Doc& d : docs) {
      QAction* a = form.get()->*d.action;
      const QString name = QString::fromUtf8(english ? d.english : d.spanish);
      SCOPED_TRACE(name.toStdString());
      EXPECT_EQ(a->property("fileName").toString(), name);
      const QString path = QDir::current().absoluteFilePath(name);
      // Missing: said with the path, nothing opened.
      QFile::remove(path);
      dlg->messages.clear();
      desktop->opened.clear();
      a->trigger();
      ASSERT_EQ(dlg->messages.size(), 1);
      EXPECT_TRUE(dlg->messages[0].endsWith(path)) << dlg->messages[0].toStdString();
      EXPECT_TRUE(dlg->messages[0].startsWith(english ? "I cannot open the file" : "No se puede abrir el archivo"));
      EXPECT_TRUE(desktop->opened.isEmpty());
      // There: opened by the desktop, from its menu item too.
      std::string err;
      ASSERT_TRUE(WriteFileAtomically(path.toStdString(), {'%', 'P', 'D', 'F'}, &err)) << err;
      dlg->messages.clear();
      if (d.item) (form.get()->*d.item)->trigger();
      else a->trigger();
      EXPECT_EQ(desktop->opened, QList<QUrl>{QUrl::fromLocalFile(path)});
      EXPECT_TRUE(dlg->messages.isEmpty());
      // A desktop that cannot open it: said too.
      desktop->result = false;
      a->trigger();
      ASSERT_EQ(dlg->messages.size(), 1);
      EXPECT_TRUE(dlg->messages[0].contains(english ? "A PDF viewer is needed" : "Hace falta un visor de PDF"));
      EXPECT_TRUE(dlg->messages[0].endsWith(path)) << dlg->messages[0].toStdString();
      desktop->result = true;
    }
  }
}

TEST_F(BasicShellTest, UpdateItemOpensTheDownloadPageOfTheLanguage) {
  StartWith(nullptr);
  form->ActualizarBORNACEPELN1->trigger();
  form->Ingls1->trigger();
  EXPECT_EQ(WithoutMnemonic(form->ActualizarBORNACEPELN1->text()), "Update BORNACE_DRAV");
  form->ActualizarBORNACEPELN1->trigger();
  EXPECT_EQ(desktop->opened, (QList<QUrl>{QUrl(bornace::kBasicDownloadUrlSpanish),
                                          QUrl(bornace::kBasicDownloadUrlEnglish)}));
  EXPECT_NE(QString(bornace::kBasicDownloadUrlSpanish), QString(bornace::kBasicDownloadUrlEnglish));
}

// --- language --------------------------------------------------------------------------

namespace {
// Every text the window shows, by the control that shows it.
std::map<QString, QString> ShownTexts(BasicForm& f) {
  std::map<QString, QString> out;
  auto put = [&](const QString& key, const QString& text) {
    if (!text.trimmed().isEmpty()) out[key] = text;
  };
  // The actions that show their text: the items of the menus and pop-up menus.
  QSet<QAction*> shown;
  for (QMenu* m : f.findChildren<QMenu*>())
    for (QAction* a : m->actions()) shown.insert(a);
  for (QWidget* w : f.findChildren<QWidget*>())
    if (w->contextMenuPolicy() == Qt::ActionsContextMenu)
      for (QAction* a : w->actions()) shown.insert(a);
  for (QObject* o : f.findChildren<QObject*>()) {
    const QString n = o->objectName();
    if (n.isEmpty() || n.startsWith("qt_")) continue;
    if (auto* a = qobject_cast<QAction*>(o)) {
      put(n + ".file", a->property("fileName").toString());
      if (!shown.contains(a)) continue;
      put(n, WithoutMnemonic(a->text()));  // as it reads
      put(n + ".hint", WithoutMnemonic(a->toolTip()) == WithoutMnemonic(a->text()) ? QString() : a->toolTip());
    } else if (auto* m = qobject_cast<QMenu*>(o)) {
      put(n, WithoutMnemonic(m->title()));  // as it reads, the underlined letter aside
    } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
      if (n != "GB1") put(n, g->title());  // the set's name
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
      put(n, b->text());
      put(n + ".hint", b->toolTip());
    } else if (auto* l = qobject_cast<QLabel*>(o)) {
      put(n, l->text());
    } else if (auto* g = qobject_cast<StringGrid*>(o)) {
      for (int c = 0; c < g->ColCount(); ++c) put(QString("%1:%2,0").arg(n).arg(c), g->Cells(c, 0));
    } else if (auto* w = qobject_cast<QWidget*>(o)) {
      put(n + ".hint", w->toolTip());
    }
  }
  for (int i = 0; i < f.PageControl1->count(); ++i) put(QString("tab%1").arg(i), f.PageControl1->tabText(i));
  return out;
}
}  // namespace

TEST_F(BasicShellTest, EveryTextOfTheWindowSwitches) {
  StartWith(nullptr);
  form->SGTemasSelectCell(1, 1);
  form->SGFormulasSelectCell(1, 1);
  const auto spanish = ShownTexts(*form);
  form->Ingls1->trigger();
  const auto english = ShownTexts(*form);
  // The same in both languages: names, numbers, symbols and the words the
  // two languages share or the layout keeps.
  const std::set<QString> same = {"BORNACE_DRAV", "BPM", "Intro", "Fin", "Normal", "Original", "Stop",
                                  "Play/Stop",    "bpm", "Stop - F12", "Oir sonido", "Pausa"};
  QStringList unchanged;
  for (const auto& [key, text] : spanish) {
    auto it = english.find(key);
    if (it == english.end() || it->second != text) continue;
    const QString t = text.trimmed();
    bool neutral = same.count(t) > 0;
    // Digits, arrows, symbols, a set's name, a formula's number and name.
    static const QRegularExpression symbols(R"(^[\d\W_]*$)");
    neutral = neutral || symbols.match(t).hasMatch() || t == QString::fromLatin1(form->DataSet.DataSetName.c_str());
    // Labels and headings that other commands write, in the language in
    // force then (the next selection or open words them anew).
    static const QRegularExpression written(R"(^(Label(1|2|3|7|8|14|15|21|22)|TTiempo|lb\d+|SGTemas:[01],0|SGDatosFormula:\d+,0)$)");
    neutral = neutral || written.match(key).hasMatch();
    if (!neutral) unchanged << key + " \"" + text + "\"";
  }
  EXPECT_TRUE(unchanged.isEmpty()) << "texts that stay Spanish in English:\n" << unchanged.join('\n').toStdString();
  // And back: every text is the Spanish one again.
  form->Espaol1->trigger();
  const auto again = ShownTexts(*form);
  for (const auto& [key, text] : spanish) {
    auto it = again.find(key);
    ASSERT_NE(it, again.end()) << key.toStdString();
    EXPECT_EQ(it->second, text) << key.toStdString();
  }
}

TEST_F(BasicShellTest, LanguageHandlersStepByStep) {
  StartWith(nullptr);
  form->Nuevo1Click();
  form->Ingls1->trigger();
  EXPECT_EQ(form->windowTitle(), "Velarto Quendrel - Nuevo");
  EXPECT_EQ(Ini("Idioma"), "Ingles");
  EXPECT_TRUE(form->English);
  EXPECT_TRUE(form->Ingls1->isChecked());
  EXPECT_FALSE(form->Espaol1->isChecked());
  // The basic rows that differ from the professional window's.
  EXPECT_EQ(WithoutMnemonic(form->P1->text()), "Play Song");
  EXPECT_EQ(WithoutMnemonic(form->PlayFrmula1->text()), "Play Formula");
  EXPECT_EQ(form->botonplay->toolTip(), "Play formula");
  EXPECT_EQ(form->BotonPlayComp->toolTip(), "Play song");
  EXPECT_EQ(form->BEnvia->toolTip(), "Send the present configuration to Velarto");
  EXPECT_EQ(form->GroupBox3->title(), "Songs");
  EXPECT_EQ(form->BotonPoneAntes->text(), "Add before");
  EXPECT_EQ(form->SpeedButton6->text(), "Save as WAV");
  EXPECT_EQ(WithoutMnemonic(form->Afinar1->title()), "Tuner");
  EXPECT_EQ(WithoutMnemonic(form->Afinar2->text()), "Tuner");
  EXPECT_EQ(WithoutMnemonic(form->Ayuda2->title()), "Manuals");
  EXPECT_EQ(WithoutMnemonic(form->Velarto1->text()), "DRAV ( Device )");
  EXPECT_EQ(form->guiarapida->text(), "Quick Start Guide for DRAV");
  EXPECT_EQ(form->SGDatosFormula->Cells(0, 0), "Track");
  EXPECT_EQ(form->SGSaco->Cells(1, 0), "BPM");
  EXPECT_EQ(form->SGSaco->Cells(2, 0), "Name");
  // And rows of the professional table the basic window shares.
  EXPECT_EQ(WithoutMnemonic(form->File->title()), "File");
  EXPECT_EQ(WithoutMnemonic(form->Guardarcomo1->text()), "Save as ...");
  EXPECT_EQ(form->SGFormulas->Cells(1, 0), "Beats");
  EXPECT_EQ(form->SGDatosFormula->Cells(1, 0), "Instrument");
  EXPECT_EQ(form->SpeedButton10->text(), "Foot");
  // Running the item of the language in force again changes nothing.
  form->Ingls1->trigger();
  EXPECT_TRUE(form->Ingls1->isChecked());
  EXPECT_EQ(WithoutMnemonic(form->P1->text()), "Play Song");
  form->Espaol1->trigger();
  EXPECT_EQ(Ini("Idioma"), QString::fromUtf8("Español"));
  EXPECT_FALSE(form->English);
  EXPECT_EQ(WithoutMnemonic(form->P1->text()), "Play Tema");
  EXPECT_EQ(WithoutMnemonic(form->Velarto1->text()), "DRAV ( Dispositivo )");
  EXPECT_EQ(form->PageControl1->tabText(2), "Sonidos");
}

TEST(BasicLanguageTable, BasicRowsInAndProfessionalOnlyRowsOut) {
  const auto& table = bornace::BasicLanguageTable();
  auto find = [&](const char* c, const char* p) -> const LanguageRow* {
    for (const LanguageRow& r : table)
      if (std::strcmp(r.component, c) == 0 && std::strcmp(r.property, p) == 0) return &r;
    return nullptr;
  };
  // Each element and property once.
  std::set<std::string> seen;
  for (const LanguageRow& r : table)
    EXPECT_TRUE(seen.insert(std::string(r.component) + "/" + r.property).second) << r.component << " " << r.property;
  // Rows of the basic edition's own, or in place of the professional ones.
  struct Row {
    const char *c, *p, *en, *es;
  } basic[] = {
      {"cb3d", "caption", "Stereo", "Estéreo"},
      {"P1", "caption", "Play Song", "Play Tema"},
      {"PlayFrmula1", "caption", "Play Formula", "Play Fórmula"},
      {"Label5", "caption", "Accents >", "Acentos >"},
      {"botonrec", "caption", "Save all", "Guardar todo"},
      {"BEnvia", "caption", "Send data to Metronome", "Enviar datos al Metrónomo"},
      {"BEnvia", "hint", "Send the present configuration to Velarto", "Enviar la configuración actual al Velarto"},
      {"botonplay", "hint", "Play formula", "Oir fórmula"},
      {"BotonPlayComp", "hint", "Play song", "Oir tema"},
      {"GroupBox1", "caption", "Metronome", "Metrónomo"},
      {"GroupBox2", "caption", "Formulas", "Fórmulas"},
      {"GroupBox3", "caption", "Songs", "Temas"},
      {"BotonQuita", "caption", "Remove formula", "Quitar fórmula"},
      {"BotonPoneAntes", "caption", "Add before", "Añadir antes"},
      {"BotonPoneDespues", "caption", "Add after", "Añadir después"},
      {"SpeedButton6", "caption", "Save as WAV", "Guardar como WAV"},
      {"TabSheet1", "caption", "Metronome", "Metrónomo"},
      {"TabSheet2", "caption", "Tuner", "Afinador"},
      {"TabSheet3", "caption", "Sounds", "Sonidos"},
      {"Afinar1", "caption", "Tuner", "Afinar"},
      {"Afinar2", "caption", "Tuner", "Afinar"},
      {"Ayuda2", "caption", "Manuals", "Manuales"},
      {"Velarto1", "caption", "DRAV ( Device )", "DRAV ( Dispositivo )"},
      {"guiarapida", "caption", "Quick Start Guide for DRAV", "Guía Rápida del DRAV"},
      {"ManualPC", "fileName", "BORNACE_DRAV user manual.pdf", "Manual BORNACE_DRAV para Windows.pdf"},
      {"Notacion", "fileName", "Notation.pdf", "Notación.pdf"},
      {"PELN", "fileName", "Users Manual_DRAV_V1.01.pdf", "Manual_DRAV_V1.02.pdf"},
      {"guiarapida", "fileName", "Quick Start Guide.pdf", "Guia Rápida.pdf"},
      {"SGDatosFormula", "cell:0,0", "Track", "Pista"},
      {"SGSaco", "cell:1,0", "BPM", "BPM"},
      {"SGSaco", "cell:2,0", "Name", "Nombre"},
  };
  for (const Row& r : basic) {
    const LanguageRow* row = find(r.c, r.p);
    ASSERT_NE(row, nullptr) << r.c << " " << r.p;
    EXPECT_STREQ(row->english, r.en) << r.c;
    EXPECT_STREQ(row->spanish, r.es) << r.c;
  }
  // None of the "Ver" menu, the panel captions, the guitar panel, the older
  // import and the professional layout's split captions.
  const char* out[] = {"Ver1", "Metrnomo1", "Temas1", "Frmulas1", "Pistas1", "Onda1", "Sonidos1", "Afinador1",
                       "Guitarra1", "PanelMetronomo", "PanelTemas", "PanelFormulas", "PanelPistas",
                       "PanelAfinador", "PanelGuitarra", "ImportarPELNv1", "Label32", "Label33", "Label38",
                       "Label39", "Label40", "Label41", "Label42", "Label43", "Label44", "Label45", "Label46",
                       "Label47", "Label48", "Label31", "SpeedButton11", "SpeedButton13", "SpeedButton14",
                       "SpeedButton15", "SpeedButton16", "SpeedButton17", "SpeedButton18", "SpeedButton19",
                       "SpeedButton20", "SpeedButton24", "BGuardaAcorde", "TBRetardo", "BInvertir",
                       "RellenaAcorde", "CBModo", "SGAcordes"};
  for (const char* c : out)
    for (const LanguageRow& r : table) EXPECT_STRNE(r.component, c);
  // The shared rows stay as the professional table words them.
  const LanguageRow* file = find("File", "caption");
  ASSERT_NE(file, nullptr);
  EXPECT_STREQ(file->english, "File");
  const LanguageRow* saco = find("SGSaco", "cell:3,0");
  ASSERT_NE(saco, nullptr);
  EXPECT_STREQ(saco->english, "Formula");
}

// --- about box -------------------------------------------------------------------------

TEST_F(BasicShellTest, AboutBoxCaptionFollowsTheStartLanguage) {
  for (bool englishStart : {false, true}) {
    SCOPED_TRACE(englishStart);
    SetIni("Idioma", englishStart ? "Ingles" : QString::fromUtf8("Español"));
    StartWith(nullptr);
    form->CreateAboutBox();  // as the program entry does, after the start-up
    ASSERT_NE(form->Acercade, nullptr);
    EXPECT_EQ(form->Acercade->windowTitle(), englishStart ? "About BORNACE_PELN" : "Acerca de BORNACE_PELN");
    form->Espaol1->trigger();  // the Spanish switch leaves the caption alone
    EXPECT_EQ(form->Acercade->windowTitle(), englishStart ? "About BORNACE_PELN" : "Acerca de BORNACE_PELN");
    form->Ingls1->trigger();
    EXPECT_EQ(form->Acercade->windowTitle(), "About BORNACE_DRAV");
    form->Espaol1->trigger();
    EXPECT_EQ(form->Acercade->windowTitle(), "About BORNACE_DRAV");
    // One box for the whole run.
    QDialog* first = form->Acercade;
    form->AboutBoxHook = [](QDialog*) {};
    form->Acercade1->trigger();
    EXPECT_EQ(form->Acercade, first);
    form.reset();
  }
}

TEST_F(BasicShellTest, AboutBoxLooksAndLinks) {
  std::string err;
  ASSERT_TRUE(WriteBasicPictures(".", &err)) << err;
  StartWith(nullptr);
  QDialog* shown = nullptr;
  form->AboutBoxHook = [&](QDialog* d) { shown = d; };
  form->Acercade1->trigger();
  auto* box = qobject_cast<bornace::TAcercade*>(shown);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->size(), QSize(467, 314));
  EXPECT_EQ(box->palette().color(QPalette::Window), QColor(255, 128, 0));
  EXPECT_EQ(box->Panel1->palette().color(QPalette::Window), QColor(Qt::black));
  // The picture on the left, the panel beside it with everything else.
  EXPECT_LT(box->Image1->geometry().right(), box->Panel1->x());
  EXPECT_FALSE(box->Image1->pixmap().isNull());
  EXPECT_FALSE(box->Image3->pixmap().isNull());
  EXPECT_FALSE(box->Image4->pixmap().isNull());
  for (QWidget* w : std::initializer_list<QWidget*>{box->ProductName, box->Version, box->Label3, box->Comments,
                                                    box->Image3, box->Image4, box->OKButton}) {
    EXPECT_EQ(w->parentWidget(), box->Panel1) << w->objectName().toStdString();
    EXPECT_TRUE(box->Panel1->rect().contains(w->geometry())) << w->objectName().toStdString();
  }
  EXPECT_EQ(box->ProductName->text(), "BORNACE_DRAV");
  EXPECT_TRUE(box->ProductName->font().bold());
  EXPECT_EQ(box->Version->text(), "Version 2.00 - 16/10/2014");
  EXPECT_EQ(box->Version->palette().color(QPalette::WindowText), QColor(0, 128, 255));
  EXPECT_TRUE(box->Label3->font().bold());
  EXPECT_TRUE(box->Label3->alignment() & Qt::AlignHCenter);
  EXPECT_EQ(box->OKButton->text(), "OK");
  // Label3: blue until the mouse first leaves it, yellow under the mouse, then white.
  auto colour = [](QLabel* l) { return l->palette().color(QPalette::WindowText); };
  EXPECT_EQ(colour(box->Label3), QColor(Qt::blue));
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(box->Label3, &move);
  EXPECT_EQ(colour(box->Label3), QColor(255, 255, 0));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(box->Label3, &leave);
  EXPECT_EQ(colour(box->Label3), QColor(Qt::white));
  QApplication::sendEvent(box->Comments, &move);
  EXPECT_EQ(colour(box->Comments), QColor(255, 255, 0));
  QApplication::sendEvent(box->Comments, &leave);
  EXPECT_EQ(colour(box->Comments), QColor(Qt::white));
  // The links run the main window's browse actions; the box stays.
  auto click = [](QWidget* w) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
  };
  box->show();
  click(box->Label3);
  click(box->Comments);
  click(box->Image3);  // no click event
  EXPECT_EQ(desktop->opened, (QList<QUrl>{QUrl(kMakerSiteUrl), QUrl(bornace::kBasicProductSiteUrl)}));
  EXPECT_TRUE(box->isVisible());
  // The handlers bound to no control.
  desktop->opened.clear();
  box->Label5Click();
  box->Label1Click();
  box->Label4Click();
  box->Image2Click();
  EXPECT_EQ(desktop->opened, (QList<QUrl>{QUrl(kSecondSiteUrl), QUrl(bornace::kBasicProductSiteUrl),
                                          QUrl(kMakerSiteUrl), QUrl(kMakerSiteUrl)}));
  // The addresses shown are the ones opened.
  EXPECT_TRUE(QString(kMakerSiteUrl).contains(box->Label3->text()));
  EXPECT_TRUE(QString(bornace::kBasicProductSiteUrl).contains(box->Comments->text()));
  // OK only hides it.
  box->OKButton->click();
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(box->result(), QDialog::Accepted);
  EXPECT_EQ(form->Acercade, box);
}

// The basic settings: "archivo" outside the working folder opens Original
// with a log line; a settings file that is none is set aside and said.
TEST_F(BasicWindowTest, SettingsStayInTheWorkingFolderAndAFileThatIsNoneIsSetAside) {
  QSettings("vididoru.ini", QSettings::IniFormat).setValue("METRONOMO/archivo", "../fuera/Secreto");
  Start();
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
  EXPECT_TRUE(LogHas("se abre Original: ../fuera/Secreto")) << form->Visor->toPlainText().toStdString();
  EXPECT_EQ(QSettings("vididoru.ini", QSettings::IniFormat).value("METRONOMO/archivo").toString(), "Original");
  form.reset();
  std::vector<uint8_t> junk(1 << 20, 0);
  ScratchFolder::Write("vididoru.ini", junk);
  Start();
  EXPECT_TRUE(LogHas("vididoru.ini.damaged"));
  EXPECT_EQ(ScratchFolder::Read("vididoru.ini.damaged"), junk);
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
}
