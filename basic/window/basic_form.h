// The basic edition's main window: one page control with the metronome, the
// tuner and the sounds, an 8-track stereo chart and the device link.
// The handlers live in basic_*.cpp (shell, chart, tuner) and form_*.cpp
// (the metronome and sounds pages, the data-set commands, the transfer).
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPoint>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <memory>

#include "app/window/settings.h"
#include "app/window/string_grid.h"
#include "platform/ui/dialogs.h"
#include "app/workspace.h"
#include "links/device.h"

class QChart;
class QChartView;
class QPieSeries;

namespace bornace {

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  struct Options {
    QString commandLineSet;  // an .ole named on the command line (file name only)
    std::unique_ptr<Dialogs> dialogs;  // null: real dialogs
  };
  explicit TMainForm(Options opts = {}, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The program's state under the window.
  Workspace Ws{EditionFormat{kBasicFormat, kBasicSoundCapacity}};
  DeviceLink Device{DeviceEdition::kBasic};
  Options Opts;

  // --- Page control and pages --------------------------------------------
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;  // "Metrónomo"
  QWidget* TabSheet2 = nullptr;  // "Afinador"
  QWidget* TabSheet3 = nullptr;  // "Sonidos"

  // --- Metrónomo page ------------------------------------------------------
  StringGrid* SGFormulas = nullptr;
  StringGrid* SGTemas = nullptr;         // 3 columns: number, name, BPM
  StringGrid* SGSaco = nullptr;
  StringGrid* SGDatosFormula = nullptr;  // 8 track rows
  QWidget* Visor = nullptr;
  QPushButton* botonrec = nullptr;  // "Guardar todo"
  QPushButton* BEnvia = nullptr;
  QLabel* Label1 = nullptr;   // "Fórmula %d"
  QLabel* Label7 = nullptr;   // formula name
  QLabel* Label14 = nullptr;  // where the formula is used
  QLabel* Label15 = nullptr;
  QLabel* EnUso = nullptr;
  QComboBox* CBMetro = nullptr;
  QSlider* TB1 = nullptr;
  QSlider* TB2 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QCheckBox* cb3d = nullptr;  // "Estéreo"
  QPushButton* BPlay = nullptr;
  QPushButton* BStop = nullptr;

  // --- Stereo chart (floating over the window) -----------------------------
  QChartView* Chart1 = nullptr;
  QChart* Chart1Chart = nullptr;
  QPieSeries* Series1 = nullptr;
  QSpinBox* UpDown1 = nullptr;  // 0..7, horizontal arrows
  QPoint DragOrigin;

  // --- Afinador page -------------------------------------------------------
  QLabel* Image7 = nullptr;
  QLabel* Dedo = nullptr;
  QLabel* Aguja = nullptr;
  QProgressBar* ProgressBar2 = nullptr;
  QGroupBox* GB1 = nullptr;
  QLabel* Label21 = nullptr;

  // --- Sonidos page --------------------------------------------------------
  QListWidget* LBIns = nullptr;
  QListWidget* LBwavs = nullptr;
  QComboBox* CBSonidos = nullptr;
  QWidget* oscilata = nullptr;

  // --- Menus ---------------------------------------------------------------
  QMenu* Archivo1 = nullptr;
  QMenu* Afinar1 = nullptr;
  QMenu* Idioma1 = nullptr;
  QMenu* Ayuda1 = nullptr;
  QAction* Afinar2 = nullptr;
  QAction* Espanol1 = nullptr;
  QAction* English1 = nullptr;
  QAction* Acercade1 = nullptr;
  QAction* Salir1 = nullptr;

  // --- Shell (basic_shell.cpp) ----------------------------------------------
  bool English = false;
  void SetLanguage(bool english);
  void FormCreate();  // settings, command line, language
  std::unique_ptr<Dialogs> dialogs;
  std::unique_ptr<SettingsIni> Settings;
  QString DataSetName = "Original";
  QString PreviousDataSetName = "Original";
  QString OlePath;
  // Save button: asks Yes/No; Yes runs SaveDataSet (the data-set commands set it).
  void botonrecClick();
  std::function<void()> SaveDataSet;

  // --- Chart handlers (basic_chart.cpp) -------------------------------------
  void cb3dClick();
  void UpDown1Click(int newPosition);
  void Chart1ClickSeries(int sliceIndex);
  void Chart1MouseDown(QPoint globalPos);
  void Chart1MouseMove(QPoint globalPos, bool leftDown);
  void Chart1Click() {}
  void Chart1EndDrag() {}
  void Afinar2Click();
  void FormResize();
  void FormActivate() { FormResize(); }
  void PageControl1Change();
  bool TunerRunning = false;
  int TunerStarts = 0;

  // Moves the selected track of the shown formula one row up/down.
  void Moveralaizquierda1Click();
  void Moveraladerecha1Click();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildLayout();   // basic_layout.cpp
  void BuildChart();    // basic_chart.cpp
  void BuildMenus();    // basic_shell.cpp
};

}  // namespace bornace
