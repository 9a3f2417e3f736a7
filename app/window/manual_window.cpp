#include "app/window/manual_window.h"

#include <QAction>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "app/window/form_import.h"
#include "app/window/mainform.h"
#include "content/factory_set.h"
#include "content/manual.h"
#include "content/pictures.h"
#include "content/window/window_text.h"
#include "platform/ui/string_grid.h"
#include "guitar/gtr_file.h"
#include "guitar/track.h"
#include "guitar/window/tab_chart.h"
#include "platform/audio/wave_in.h"
#include "platform/audio/wave_out_test.h"
#include "platform/ui/dialogs.h"
#include "rhythm/library_ops.h"

namespace {

// --- an example guitar track ---------------------------------------------------

// A note on string number s (1..6) of a division.
void Note(DivisionG& d, int s, int fret, int strength, GuitarMode mode = kModeNormal, int delay = 0) {
  const int i = 6 - s;
  d.fret[i] = static_cast<uint8_t>(fret);
  d.strength[i] = static_cast<uint8_t>(strength);
  d.mode[i] = mode;
  d.delay[i] = static_cast<uint8_t>(delay);
}

// The E chord of the flamenco cadence, frets of strings 6..1.
constexpr int kChordE[6] = {0, 2, 2, 1, 0, 0};

// A strummed chord: every string, the lowest first, each a little later.
void Strum(DivisionG& d, int strength) {
  for (int s = 6; s >= 1; --s) Note(d, s, kChordE[6 - s], strength, kModeNormal, (6 - s) * 6);
}

// One beat of a simple accompaniment: a strummed chord and its stop on the
// accents, the bass and the treble strings between them. The third beat of
// the first bar shows every mode and a run of divisions.
TiempoG ExampleBeat(int bar, int beat, bool accented) {
  TiempoG t = EmptyTiempoG();
  if (bar == 1 && beat == 3) {
    t.divisions = 4;
    Strum(t.division[0], 7);
    for (int s = 1; s <= 4; ++s) Note(t.division[1], s, 0, 4, kModeTapado);
    Note(t.division[2], 3, 1, 5);
    Note(t.division[3], 3, 2, 5, kModeLigado);
    Note(t.division[3], 6, 0, 3, kModeSilencio);
    return t;
  }
  t.divisions = 2;
  if (accented) {
    Strum(t.division[0], 6);
    for (int s = 1; s <= 4; ++s) Note(t.division[1], s, 0, 3, kModeTapado);
  } else {
    Note(t.division[0], 6, 0, 5);
    for (int s = 1; s <= 3; ++s) Note(t.division[1], s, kChordE[6 - s], 3);
  }
  return t;
}

// Writes a guitar track for theme t of the open set into the set's folder
// (the scratch copy the window works in): every compás of the theme, the
// beats by its formula's accents.
bool WriteExampleGuitarTrack(TMainForm& f, int t) {
  if (t < 0 || t >= kMaxTemas) return false;
  const Tema& tema = f.Rhythm->Temas[static_cast<size_t>(t)];
  std::string path;
  if (!GuitarTrackPathOf(f.DataSet.DataSetName, tema.Name(), &path)) return false;
  std::vector<TiempoG> beats;
  int bar = 0;
  for (int e = 0; e < tema.entryCount && e < kEntrySlots; ++e) {
    const int n = tema.formulas[e];
    if (n < 0 || n >= kMaxFormulas) continue;
    const Formula& formula = f.Rhythm->Formulas[static_cast<size_t>(n)];
    for (int r = 0; r < tema.times[e]; ++r) {
      ++bar;
      for (int b = 0; b < formula.Beats(); ++b) beats.push_back(ExampleBeat(bar, b + 1, formula.Accented(b)));
    }
  }
  if (beats.empty()) return false;
  std::string error;
  return WriteBeatFile(path, beats.data(), beats.size(), &error);
}

// The guitar panel opened on the selected theme with the example track,
// the third beat of the first bar on display and four beats marked from it.
bool OpenExampleGuitar(TMainForm& f) {
  if (f.Guitarra1->isChecked()) f.Guitarra1->trigger();
  if (!WriteExampleGuitarTrack(f, f.SGTemas->Row() - 1)) return false;
  f.Guitarra1->trigger();
  if (!f.Guitarra1->isChecked() || f.Guitar->GuitarBeatsInBar < 6) return false;
  const QRect plot = f.Chart2->Plot();
  const int w = plot.width() / f.Guitar->GuitarBeatsInBar;
  auto click = [&](int beat, int y) {
    f.Chart2ClickBackground(Qt::LeftButton, Qt::LeftButton, plot.left() + (beat - 1) * w + w / 2, y);
  };
  click(3, 40);   // the strings: the beat on display
  click(6, 104);  // the strip of beat numbers: the marks
  SettleEvents();
  return true;
}

void CloseExampleGuitar(TMainForm& f) {
  if (f.Guitarra1->isChecked()) f.Guitarra1->trigger();
  SettleEvents();
}

}  // namespace

std::unique_ptr<ManualWindow> ManualWindow::Open(std::string* error) {
  std::unique_ptr<ManualWindow> w(new ManualWindow());
  w->scratch_ = ScratchWorkingFolder::Enter(
      [](const std::string& root, std::string* e) { return WriteWorkingFolder(root, e) && WritePictures(root, e); },
      "the manual's pictures", error);
  if (!w->scratch_) return nullptr;
  TMainForm::Options o;
  o.dialogs = std::make_unique<ScriptedDialogs>();  // every question is answered Cancel
  o.iniPath = w->scratch_->FilePath("DRAV_PROF.ini");
  o.waveOut = audio::CreateTestWaveOut();
  o.waveIn = audio::CreateTestWaveIn();
  w->form_ = std::make_unique<TMainForm>(std::move(o));
  w->form_->FormCreate();
  w->form_->setAttribute(Qt::WA_DontShowOnScreen, true);
  w->form_->resize(w->form_->minimumSizeHint().expandedTo(QSize(1310, 860)));
  w->form_->show();
  SettleEvents();
  w->SetLanguage(false);
  return w;
}

ManualWindow::~ManualWindow() {
  if (form_) {
    form_->hide();
    form_.reset();
  }
}

void ManualWindow::SetLanguage(bool english) {
  (english ? form_->Ingls1 : form_->Espaol1)->trigger();
  english_ = english;
  // The set is read again, as at a start in this language: the texts the
  // open and the selections write (grid headings, theme and bar labels)
  // come in the language too.
  form_->Deshacertodo1Click();
  SettleEvents();
}

QString ManualWindow::Text(const QString& ref) const { return WindowText(form_.get(), ref); }

QImage ManualWindow::Picture(const QString& key) {
  TMainForm& f = *form_;
  SettleEvents();
  QString base;
  QSize screen;
  if (SplitScreenKey(key, &base, &screen) && (base == "window" || base == "desk"))
    return PictureOnScreen(f, screen, [&] { return Picture(base); });
  if (key == "window") return f.grab().toImage();
  if (key == "desk") {
    // Every panel opened by its "Ver" item, the guitar on the example
    // track, as the desk places them in the window's width; closed again after.
    QList<QAction*> opened;
    for (QAction* item : {f.Metrnomo1, f.Temas1, f.Frmulas1, f.Pistas1, f.Onda1, f.Sonidos1, f.Afinador1})
      if (!item->isChecked()) {
        item->trigger();
        opened << item;
      }
    OpenExampleGuitar(f);
    SettleEvents();
    const QImage image = f.Desk->grab().toImage();
    CloseExampleGuitar(f);
    for (QAction* item : opened) item->trigger();
    SettleEvents();
    return image;
  }
  if (key.startsWith("menu:")) {
    auto* m = f.menuBar()->findChild<QMenu*>(key.mid(5));
    if (!m) m = f.findChild<QMenu*>(key.mid(5));
    return m ? MenuPicture(*m) : QImage();
  }
  if (key == "dialog:FormImportar") {
    // The import command words the dialog; its file question is answered
    // Cancel, and the dialog then lists the themes of the factory set.
    f.ImportarTEMA1Click();
    if (!f.FormImportar) return {};
    f.FormImportar->ImportPath = "datos/Original.vl2";
    f.FormImportar->FormActivate();
    f.FormImportar->ensurePolished();
    return f.FormImportar->grab().toImage();
  }
  if (key == "popup:Chart2") {
    // The beat and bar menu as a right click on the bar view opens it, with
    // a beat copied before: its items carry their numbers. The items get
    // back their plain captions afterwards, as the window names them.
    if (!OpenExampleGuitar(f)) {
      CloseExampleGuitar(f);
      return {};
    }
    QStringList plain;
    for (QAction* a : f.PopupMenu6->actions()) plain << a->text();
    f.CopiarTiempoGClick();  // beat 3 of bar 1
    f.CopiarCompasGClick();
    f.SpeedButton14Click();  // the next bar
    const QRect plot = f.Chart2->Plot();
    const int w = plot.width() / std::max(1, f.Guitar->GuitarBeatsInBar);
    f.Chart2ClickBackground(Qt::RightButton, Qt::RightButton, plot.left() + 4 * w + w / 2, 40);
    f.PopupMenu6->hide();
    const QImage image = MenuPicture(*f.PopupMenu6);
    const QList<QAction*> items = f.PopupMenu6->actions();
    for (qsizetype i = 0; i < items.size() && i < plain.size(); ++i) items[i]->setText(plain[i]);
    CloseExampleGuitar(f);
    return image;
  }
  if (key.startsWith("popup:")) {
    QWidget* w = f.findChild<QWidget*>(key.mid(6));
    if (!w) return {};
    if (w == f.LBIns) return MenuPicture(*f.PopupMenu3);
    if (w == f.LBwavs) return MenuPicture(*f.PopupMenu4);
    if (w->actions().isEmpty()) return {};
    QMenu m;
    m.addActions(w->actions());
    return MenuPicture(m);
  }
  auto* panel = f.Desk->findChild<QWidget*>(key);
  if (!panel || panel->parentWidget() != f.Desk) return {};
  if (panel == f.PanelGuitarra) {
    // Opened by its item on a theme with a track of notes, and closed again.
    QImage image;
    if (OpenExampleGuitar(f)) image = panel->grab().toImage();
    CloseExampleGuitar(f);
    return image;
  }
  // A panel hidden in the window as it opens is shown by its "Ver" item for
  // the picture, and hidden again by the same item.
  QAction* item = nullptr;
  if (panel == f.PanelOnda) item = f.Onda1;
  if (panel == f.PanelSonidos) item = f.Sonidos1;
  if (panel == f.PanelAfinador) item = f.Afinador1;
  const bool toggle = item && !panel->isVisible();
  if (toggle) item->trigger();
  if (panel == f.PanelSonidos && f.LBIns->count() > 0) {
    // A sound of the set chosen in both lists: its samples show in the chart.
    f.LBIns->setCurrentRow(0);
    f.SoundsPane.LBInsClick();
    const QList<QListWidgetItem*> same = f.LBwavs->findItems(f.LBIns->item(0)->text(), Qt::MatchExactly);
    if (!same.isEmpty()) {
      f.LBwavs->setCurrentItem(same.first());
      f.SoundsPane.LBwavsClick();
    }
  }
  SettleEvents();
  const QImage image = panel->grab().toImage();
  if (toggle) item->trigger();
  return image;
}

std::vector<ManualShortcut> ManualWindow::Shortcuts() const { return WindowShortcuts(form_.get()); }

std::unique_ptr<ManualBook> BuildManualBook(std::string* error) {
  std::unique_ptr<ManualWindow> window = ManualWindow::Open(error);
  if (!window) return nullptr;
  return BuildBook(*window, ManualPlan());  // the window goes after: the previous current folder comes back
}

QString ManualHtml() {
  std::string error;
  const auto book = BuildManualBook(&error);
  return book ? book->html : QString();
}

QByteArray ManualPdf() {
  std::string error;
  const auto book = BuildManualBook(&error);
  return book ? ManualBookPdf(*book) : QByteArray();
}

bool WriteManual(const std::string& root, std::string* error) {
  // The window is gone before the file is written: a relative root is the
  // caller's current folder again.
  const auto book = BuildManualBook(error);
  return book && WriteManual(root, *book, error);
}
