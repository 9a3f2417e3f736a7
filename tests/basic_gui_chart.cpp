// The basic window: the stereo chart, the centring, the shell.
#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QChartView>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QPieSeries>
#include <QPieSlice>
#include <QCheckBox>
#include <QFile>
#include <QSpinBox>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "app/window/settings.h"
#include "app/window/string_grid.h"
#include "basic/window/basic_form.h"
#include "basic_gui_fixture.h"
#include "rhythm/formats_v1.h"

using bornace::TMainForm;

namespace {
// The window without its start-up, the pattern grid's sound column named
// S1..S8; its settings (the language switch writes them) in a scratch file.
std::unique_ptr<TMainForm> MakeForm(ScriptedDialogs** dlg = nullptr) {
  static const struct Ini {
    QString path = QDir::temp().absoluteFilePath(QString("basic-chart-%1.ini").arg(QCoreApplication::applicationPid()));
    ~Ini() { QFile::remove(path); }
  } ini;
  TMainForm::Options o;
  o.iniPath = ini.path;
  auto d = std::make_unique<ScriptedDialogs>();
  if (dlg) *dlg = d.get();
  o.dialogs = std::move(d);
  o.waveOut = audio::CreateTestWaveOut();
  o.waveIn = audio::CreateTestWaveIn();
  o.hidBus = std::make_unique<hid::TestHidBus>();
  o.serialPort = std::make_unique<serial::TestSerialPort>();
  o.desktop = std::make_unique<RecordingDesktop>();
  auto f = std::make_unique<TMainForm>(std::move(o));
  for (int t = 1; t <= 8; ++t) f->SGDatosFormula->SetCells(1, t, QString("S%1").arg(t));
  f->SGFormulas->SetRow(1);
  return f;
}
}  // namespace

TEST(BasicChart, SliceOrderAndColours) {
  auto f = MakeForm();
  f->SGDatosFormula->Select(2, 3);
  f->UpDown1->blockSignals(true);
  f->UpDown1->setValue(2);
  f->UpDown1->blockSignals(false);
  f->cb3d->setChecked(true);
  f->cb3dClick();
  const auto slices = f->Series1->slices();
  ASSERT_EQ(slices.size(), 10);
  EXPECT_EQ(slices[0]->label(), "R");
  EXPECT_EQ(slices[0]->value(), 3.0);
  EXPECT_EQ(slices[0]->color(), QColor(Qt::white));
  for (int i = 1; i <= 8; ++i) {
    const int t = 9 - i;
    EXPECT_EQ(slices[i]->label(), QString("%1-S%1").arg(t));
    EXPECT_EQ(slices[i]->value(), 1.0);
    EXPECT_EQ(slices[i]->color(), t == 3 ? QColor(Qt::green) : QColor(Qt::red)) << t;
  }
  EXPECT_EQ(slices[9]->label(), "L");
  EXPECT_EQ(slices[9]->color(), QColor(Qt::white));
  EXPECT_FALSE(f->Chart1->isHidden());
  EXPECT_TRUE(f->UpDown1->isEnabled());
  f->cb3d->setChecked(false);
  f->cb3dClick();
  EXPECT_TRUE(f->Chart1->isHidden());
  EXPECT_FALSE(f->UpDown1->isEnabled());
}

TEST(BasicChart, UpDownMovesTheSelectedTrackOneRow) {
  struct Case { int to; int row; };
  for (Case c : {Case{5, 6}, Case{3, 4}}) {
    auto f = MakeForm();
    f->cb3d->setChecked(true);
    f->SGDatosFormula->Select(2, 5);
    f->UpDown1->blockSignals(true);
    f->UpDown1->setValue(4);
    f->UpDown1->blockSignals(false);
    f->UpDown1->setValue(c.to);  // one arrow click
    EXPECT_EQ(f->SGDatosFormula->Row(), c.row);
    EXPECT_EQ(f->SGDatosFormula->Cells(1, c.row), "S5");
    EXPECT_EQ(f->SGDatosFormula->Cells(1, 5), QString("S%1").arg(c.row));
  }
}

TEST(BasicChart, SliceClickSelectsTheTrackRow) {
  auto f = MakeForm();
  f->SGDatosFormula->Select(1, 2);
  f->Chart1ClickSeries(1);
  EXPECT_EQ(f->SGDatosFormula->Row(), 8);
  EXPECT_EQ(f->SGDatosFormula->Col(), 2);
  f->Chart1ClickSeries(8);
  EXPECT_EQ(f->SGDatosFormula->Row(), 1);
  f->Chart1ClickSeries(9);  // "L": only the column
  EXPECT_EQ(f->SGDatosFormula->Row(), 1);
  f->Chart1ClickSeries(0);
  EXPECT_EQ(f->SGDatosFormula->Row(), 1);
}

TEST(BasicChart, DragStaysInsideTheWindow) {
  auto f = MakeForm();
  f->resize(1200, 700);
  f->show();
  f->Chart1->move(100, 100);
  f->Chart1MouseDown(QPoint(500, 500));
  f->Chart1MouseMove(QPoint(520, 510), true);
  EXPECT_EQ(f->Chart1->pos(), QPoint(120, 110));
  f->Chart1MouseMove(QPoint(420, 100), true);  // would leave at the top
  EXPECT_EQ(f->Chart1->pos(), QPoint(120, 110));
  f->Chart1MouseMove(QPoint(5000, 510), true);  // would leave at the right
  EXPECT_EQ(f->Chart1->pos(), QPoint(120, 110));
  f->Chart1MouseMove(QPoint(530, 520), false);  // no button
  EXPECT_EQ(f->Chart1->pos(), QPoint(120, 110));
  const QRect area = f->centralWidget()->rect();
  EXPECT_TRUE(area.contains(f->Chart1->geometry()));
}

TEST(BasicShell, CentringClampedAtZero) {
  auto f = MakeForm();
  f->resize(1600, 760);
  f->FormResize();
  EXPECT_EQ(f->PageControl1->x(), (1600 - f->PageControl1->width() - 10) / 2);
  f->setMinimumSize(0, 0);
  f->resize(800, 600);
  f->FormResize();
  EXPECT_EQ(f->PageControl1->x(), 0);
}

TEST(BasicShell, AfinarDoesNotStartTheTunerTwice) {
  auto f = MakeForm();
  f->Afinar2Click();
  EXPECT_EQ(f->PageControl1->currentWidget(), f->TabSheet2);
  EXPECT_TRUE(f->TunerRunning());
  f->Afinar2Click();
  EXPECT_EQ(f->TunerStarts, 1);
  f->PageControl1->setCurrentWidget(f->TabSheet1);
  EXPECT_FALSE(f->TunerRunning());
}

class BasicStartTest : public BasicWindowTest {};

TEST_F(BasicStartTest, StartUpReadsSettingsAndTheOleArgument) {
  {
    QFile ini("vididoru.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[METRONOMO]\narchivo=Original\nIdioma=ingles\n");
  }
  Start();
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
  EXPECT_TRUE(form->English);
  EXPECT_EQ(form->PageControl1->tabText(1), "Tuner");
  EXPECT_EQ(form->windowTitle(), "Velarto Quendrel - Original");
  EXPECT_GT(form->SGFormulas->RowCount(), 2);
  form.reset();

  TMainForm::Options o;
  o.dialogs = std::make_unique<ScriptedDialogs>();
  o.waveOut = audio::CreateTestWaveOut();
  o.waveIn = audio::CreateTestWaveIn();
  o.hidBus = std::make_unique<hid::TestHidBus>();
  o.serialPort = std::make_unique<serial::TestSerialPort>();
  o.commandLineSet = "Otro.ole";
  TMainForm f(std::move(o));
  f.FormCreate();
  EXPECT_EQ(f.DataSet.DataSetName, "Otro");
  EXPECT_EQ(f.OlePath, "datos/Otro.ole");
  SettingsIni s("vididoru.ini");
  EXPECT_EQ(s.ReadString("METRONOMO", "archivo", ""), "Otro");
  // A set that is not there starts as a copy of the factory set.
  EXPECT_TRUE(QFile::exists("datos/Otro.ole"));
}

TEST_F(BasicStartTest, ShutdownQuestionNeverCancels) {
  for (int answer : {kAnswerYes, kAnswerNo, kAnswerCancel}) {
    SCOPED_TRACE(answer);
    Start();
    // A saved set of our own, then one change.
    form->Original1Click();
    dlg->saveNames.push_back(QDir::currentPath() + "/datos/Mio.ole");
    form->Guardarcomo1Click();
    ASSERT_EQ(form->DataSet.DataSetName, "Mio");
    form->SGTemasSetEditText(1, 1, "Cambiado");
    ASSERT_TRUE(form->Modified());
    form->PageControl1->setCurrentWidget(form->TabSheet3);
    dlg->questions.clear();
    dlg->answers.push_back(answer);
    QCloseEvent e;
    QApplication::sendEvent(form.get(), &e);
    EXPECT_TRUE(e.isAccepted());
    EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheet1);
    EXPECT_EQ(dlg->questions.size(), 1);
    std::vector<TemaV1> temas;
    ReadTemasV1("datos/Mio/temas.van", &temas);
    ASSERT_FALSE(temas.empty());
    EXPECT_EQ(temas[0].Name() == "Cambiado", answer == kAnswerYes);
    form.reset();
    QFile::remove("datos/Mio.ole");
  }
}

TEST(BasicShell, LanguageSwitch) {
  auto f = MakeForm();
  f->SetLanguage(true);
  EXPECT_EQ(f->PageControl1->tabText(0), "Metronome");
  EXPECT_EQ(f->botonrec->text(), "Save all");
  EXPECT_EQ(f->cb3d->text(), "Stereo");
  EXPECT_EQ(f->BEnvia->text(), "Send data to Metronome");
  EXPECT_EQ(f->SGDatosFormula->Cells(0, 0), "Track");
  EXPECT_EQ(f->SGSaco->Cells(2, 0), "Name");
  EXPECT_EQ(f->PageControl1->tabText(1), "Tuner");
  f->SetLanguage(false);
  EXPECT_EQ(f->PageControl1->tabText(0), QString::fromUtf8("Metrónomo"));
  EXPECT_EQ(f->botonrec->text(), "Guardar todo");
  EXPECT_EQ(f->cb3d->text(), QString::fromUtf8("Estéreo"));
}

TEST(BasicShell, EveryPageFits1366x768) {
  for (bool english : {false, true}) {
    auto f = MakeForm();
    f->SetLanguage(english);
    f->resize(1366, 740);
    f->show();
    EXPECT_LE(f->PageControl1->x() + f->PageControl1->width(), 1366);
    for (QWidget* page : {f->TabSheet1, f->TabSheet2, f->TabSheet3}) {
      f->PageControl1->setCurrentWidget(page);
      QApplication::processEvents();
      for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(page->rect().contains(w->geometry())) << w->objectName().toStdString();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
          EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 24, b->width())
              << b->objectName().toStdString();
        }
      }
    }
  }
}

TEST(BasicShell, AboutBox) {
  for (bool english : {false, true}) {
    auto f = MakeForm();
    f->SetLanguage(english);
    QSize size;
    QString title;
    f->AboutBoxHook = [&](QDialog* d) { size = d->size(); title = d->windowTitle(); };
    f->Acercade1Click();
    EXPECT_EQ(size, QSize(467, 314));
    // The box takes its caption from the language when it is made.
    EXPECT_EQ(title, english ? "About BORNACE_PELN" : "Acerca de BORNACE_PELN");
  }
}
