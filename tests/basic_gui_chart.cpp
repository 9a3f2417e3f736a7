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
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/ui/settings.h"
#include "platform/ui/string_grid.h"
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
  f->Rhythm->FormulaCount = 1;  // the formula the grid's first row shows
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
  // A click the chart reports on the slice of track 8.
  f->cb3dClick();
  emit f->Series1->clicked(f->Series1->slices()[1]);
  EXPECT_EQ(f->SGDatosFormula->Row(), 8);
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

TEST(BasicChart, TitleAndARedrawWhileHidden) {
  auto f = MakeForm();
  f->Label1->setText(QString::fromUtf8("Fórmula 3"));
  f->Label7->setText("Tango");
  f->Label14->setText("Usada en Tema 6 Tangos");
  f->cb3d->setChecked(false);
  f->cb3dClick();
  EXPECT_EQ(f->Chart1Chart->title(), QString::fromUtf8("Fórmula 3-Tango Usada en Tema 6 Tangos"));
  EXPECT_EQ(f->Series1->name(), "Instrumentos");
  // Hidden, the slices are rebuilt all the same.
  f->SGDatosFormula->SetCells(1, 4, "Cajon");
  f->cb3dClick();
  EXPECT_TRUE(f->Chart1->isHidden());
  ASSERT_EQ(f->Series1->slices().size(), 10);
  EXPECT_EQ(f->Series1->slices()[5]->label(), "4-Cajon");
  for (QPieSlice* slice : f->Series1->slices()) EXPECT_TRUE(slice->isLabelVisible());
}

TEST(BasicChart, ClickedSliceBecomesTheMarkedTrack) {
  auto f = MakeForm();
  f->cb3d->setChecked(true);
  f->SGDatosFormula->Select(2, 2);
  f->SGDatosFormulaSelectCell(2, 2);
  ASSERT_EQ(f->UpDown1->value(), 1);
  f->Chart1ClickSeries(3);  // track 6
  EXPECT_EQ(f->SGDatosFormula->Row(), 6);
  EXPECT_EQ(f->UpDown1->value(), 5);
  const auto slices = f->Series1->slices();
  for (int i = 1; i <= 8; ++i)
    EXPECT_EQ(slices[i]->color(), i == 3 ? QColor(Qt::green) : QColor(Qt::red)) << i;
  // "R" changes nothing but the column.
  f->SGDatosFormula->Select(1, 6);
  f->Chart1ClickSeries(0);
  EXPECT_EQ(f->SGDatosFormula->Row(), 6);
  EXPECT_EQ(f->SGDatosFormula->Col(), 2);
  EXPECT_EQ(f->UpDown1->value(), 5);
}

TEST(BasicChart, ArrowsStopAtTheEnds) {
  auto f = MakeForm();
  f->cb3d->setChecked(true);
  f->cb3dClick();
  // The last track: the arrow that would raise the position past 7 does nothing.
  f->SGDatosFormula->Select(2, 8);
  f->SGDatosFormulaSelectCell(2, 8);
  ASSERT_EQ(f->UpDown1->value(), 7);
  f->UpDown1->stepBy(1);
  EXPECT_EQ(f->UpDown1->value(), 7);
  EXPECT_EQ(f->SGDatosFormula->Row(), 8);
  EXPECT_EQ(f->SGDatosFormula->Cells(1, 8), "S8");
  // The first: the arrow down does nothing either.
  f->SGDatosFormula->Select(2, 1);
  f->SGDatosFormulaSelectCell(2, 1);
  f->UpDown1->stepBy(-1);
  EXPECT_EQ(f->UpDown1->value(), 0);
  EXPECT_EQ(f->SGDatosFormula->Cells(1, 1), "S1");
  // One arrow click up from the first track takes it one row down, one place to the left.
  f->UpDown1->stepBy(1);
  EXPECT_EQ(f->SGDatosFormula->Row(), 2);
  EXPECT_EQ(f->SGDatosFormula->Cells(1, 2), "S1");
  EXPECT_EQ(f->Series1->slices()[7]->label(), "2-S1");
  EXPECT_EQ(f->Series1->slices()[7]->color(), QColor(Qt::green));
}

TEST(BasicChart, StereoBoxShowsAndHidesTheChart) {
  auto f = MakeForm();
  f->show();
  ASSERT_TRUE(f->Chart1->isHidden());
  ASSERT_FALSE(f->UpDown1->isEnabled());
  f->cb3d->click();
  EXPECT_TRUE(f->Chart1->isVisible());
  EXPECT_TRUE(f->UpDown1->isEnabled());
  EXPECT_TRUE(f->centralWidget()->rect().contains(f->Chart1->geometry()));
  f->cb3d->click();
  EXPECT_FALSE(f->Chart1->isVisible());
  EXPECT_FALSE(f->UpDown1->isEnabled());
}

TEST(BasicChart, DragWaitsForTheCursorToComeBack) {
  auto f = MakeForm();
  f->resize(1200, 700);
  f->show();
  f->Chart1->move(30, 40);
  f->Chart1MouseDown(QPoint(300, 300));
  f->Chart1MouseMove(QPoint(280, 300), true);
  EXPECT_EQ(f->Chart1->pos(), QPoint(10, 40));
  f->Chart1MouseMove(QPoint(260, 300), true);  // Left would be -10: refused, the origin stays
  EXPECT_EQ(f->Chart1->pos(), QPoint(10, 40));
  f->Chart1MouseMove(QPoint(270, 300), true);  // Left 0: still refused
  EXPECT_EQ(f->Chart1->pos(), QPoint(10, 40));
  f->Chart1MouseMove(QPoint(275, 320), true);  // Left 5, Top 60: it follows again
  EXPECT_EQ(f->Chart1->pos(), QPoint(5, 60));
  // Any button records the origin; only the left one drags.
  f->Chart1MouseDown(QPoint(600, 600));
  f->Chart1MouseMove(QPoint(650, 600), false);
  EXPECT_EQ(f->Chart1->pos(), QPoint(5, 60));
  f->Chart1MouseMove(QPoint(650, 600), true);
  EXPECT_EQ(f->Chart1->pos(), QPoint(55, 60));
}

TEST(BasicChart, DragByTheMouseOnTheChart) {
  auto f = MakeForm();
  f->resize(1200, 700);
  f->show();
  f->cb3d->setChecked(true);
  f->cb3dClick();
  f->Chart1->move(200, 100);
  QWidget* view = f->Chart1->viewport();
  const QPoint at(40, 40);
  QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at);
  QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(30, 20)), view->mapToGlobal(QPointF(at + QPoint(30, 20))),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view, &move);
  QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at + QPoint(30, 20));
  EXPECT_EQ(f->Chart1->pos(), QPoint(230, 120));
}

TEST(BasicShell, ActivationCentresThePageControl) {
  auto f = MakeForm();
  f->resize(1600, 760);
  f->PageControl1->move(300, f->PageControl1->y());
  f->FormActivate();
  EXPECT_EQ(f->PageControl1->x(), (1600 - f->PageControl1->width() - 10) / 2);
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

// A save refused at the close (sounds above the device's memory) or one
// that failed offers to stay: Cancel keeps the program and its changes,
// Yes tries again, No quits without saving.
TEST_F(BasicStartTest, RefusedSaveAtTheCloseOffersToStay) {
  Start();
  form->Original1Click();
  dlg->saveNames.push_back(QDir::currentPath() + "/datos/Grande.ole");
  form->Guardarcomo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Grande");
  form->SGTemasSetEditText(1, 1, "Cambiado");
  ASSERT_TRUE(form->Modified());
  form->SoundMemory.SoundDataTotal = 131010;  // one sample too many
  const QString notSaved = QString::fromUtf8("Los cambios no se han guardado.");
  dlg->messages.clear();
  dlg->questions.clear();
  dlg->answers = {kAnswerCancel};
  QCloseEvent stay;
  QApplication::sendEvent(form.get(), &stay);
  EXPECT_FALSE(stay.isAccepted());
  EXPECT_FALSE(form->FormClosed);
  EXPECT_TRUE(form->Modified());
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_TRUE(dlg->messages[0].startsWith(QString::fromUtf8("La longitud de los sonidos excede")));
  ASSERT_EQ(dlg->questions.size(), 1);
  EXPECT_TRUE(dlg->questions[0].startsWith(notSaved));

  // Yes: refused again and asked again; No: the window closes unsaved.
  dlg->answers = {kAnswerYes, kAnswerNo};
  QCloseEvent quit;
  QApplication::sendEvent(form.get(), &quit);
  EXPECT_TRUE(quit.isAccepted());
  EXPECT_EQ(dlg->questions.size(), 3);
  EXPECT_EQ(dlg->messages.size(), 3);
  std::vector<TemaV1> temas;
  ReadTemasV1("datos/Grande/temas.van", &temas);
  ASSERT_FALSE(temas.empty());
  EXPECT_NE(temas[0].Name(), "Cambiado");
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
      // The page's controls stand on its scrolled sheet, which a 1366 pixels
      // wide window shows whole.
      auto* scroll = page->findChild<QScrollArea*>();
      ASSERT_NE(scroll, nullptr);
      QWidget* sheet = scroll->widget();
      EXPECT_LE(sheet->width(), scroll->viewport()->width()) << page->objectName().toStdString();
      EXPECT_LE(sheet->height(), scroll->viewport()->height()) << page->objectName().toStdString();
      for (QWidget* w : sheet->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(sheet->rect().contains(w->geometry())) << w->objectName().toStdString();
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
