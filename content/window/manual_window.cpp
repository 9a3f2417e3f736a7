#include "content/window/manual_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>

#include "app/window/mainform.h"
#include "app/window/string_grid.h"
#include "content/factory_set.h"
#include "content/pictures.h"
#include "platform/audio/wave_in.h"
#include "platform/audio/wave_out_test.h"
#include "platform/ui/dialogs.h"
#include "rhythm/window/form_import.h"

namespace {

QString Clean(QString s) {
  s.remove(QRegularExpression("&(?!&)"));
  return s.trimmed();
}

void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// A menu as it opens, drawn off the screen.
QImage MenuPicture(QMenu& m) {
  m.ensurePolished();
  m.resize(m.sizeHint());
  return m.grab().toImage();
}

}  // namespace

std::unique_ptr<ManualWindow> ManualWindow::Open(std::string* error) {
  std::unique_ptr<ManualWindow> w(new ManualWindow());
  w->scratch_ = std::make_unique<QTemporaryDir>();
  if (!w->scratch_->isValid()) {
    if (error) *error = "no scratch folder for the manual's pictures";
    return nullptr;
  }
  const std::string root = QDir(w->scratch_->path()).absolutePath().toStdString();
  if (!WriteWorkingFolder(root, error) || !WritePictures(root, error)) return nullptr;
  w->previousFolder_ = QDir::currentPath();
  if (!QDir::setCurrent(w->scratch_->path())) {
    if (error) *error = "the scratch folder of the manual's pictures cannot be entered";
    return nullptr;
  }
  TMainForm::Options o;
  o.dialogs = std::make_unique<ScriptedDialogs>();  // every question is answered Cancel
  o.iniPath = QDir(w->scratch_->path()).absoluteFilePath("DRAV_PROF.ini");
  o.waveOut = audio::CreateTestWaveOut();
  o.waveIn = audio::CreateTestWaveIn();
  w->form_ = std::make_unique<TMainForm>(std::move(o));
  w->form_->FormCreate();
  w->form_->setAttribute(Qt::WA_DontShowOnScreen, true);
  w->form_->resize(w->form_->minimumSizeHint().expandedTo(QSize(1310, 860)));
  w->form_->show();
  Settle();
  w->SetLanguage(false);
  return w;
}

ManualWindow::~ManualWindow() {
  if (form_) {
    form_->hide();
    form_.reset();
  }
  if (!previousFolder_.isEmpty()) QDir::setCurrent(previousFolder_);
}

void ManualWindow::SetLanguage(bool english) {
  (english ? form_->Ingls1 : form_->Espaol1)->trigger();
  english_ = english;
  // The set is read again, as at a start in this language: the texts the
  // open and the selections write (grid headings, theme and bar labels)
  // come in the language too.
  form_->Deshacertodo1Click();
  Settle();
}

QString ManualWindow::Text(const QString& ref) const {
  static const QRegularExpression cell("^(\\w+):(\\d+),(\\d+)$");
  if (const auto m = cell.match(ref); m.hasMatch()) {
    auto* g = form_->findChild<StringGrid*>(m.captured(1));
    const int c = m.captured(2).toInt(), r = m.captured(3).toInt();
    if (!g || c >= g->ColCount() || r >= g->RowCount()) return {};
    return Clean(g->Cells(c, r));
  }
  const bool hint = ref.endsWith(".hint");
  const QString name = hint ? ref.chopped(5) : ref;
  QObject* o = form_->findChild<QObject*>(name);
  if (!o) return {};
  if (hint) {
    if (auto* a = qobject_cast<QAction*>(o)) return Clean(a->toolTip());
    if (auto* wd = qobject_cast<QWidget*>(o)) return Clean(wd->toolTip());
    return {};
  }
  if (auto* a = qobject_cast<QAction*>(o)) return Clean(a->text());
  if (auto* m = qobject_cast<QMenu*>(o)) return Clean(m->title());
  if (auto* g = qobject_cast<QGroupBox*>(o)) return Clean(g->title());
  if (auto* b = qobject_cast<QAbstractButton*>(o)) return Clean(b->text());
  if (auto* l = qobject_cast<QLabel*>(o)) return Clean(l->text());
  if (auto* e = qobject_cast<QLineEdit*>(o)) {
    for (QLabel* l : form_->findChildren<QLabel*>())
      if (l->buddy() == e) return Clean(l->text());
    for (const QString& n : {name + "Label", "Label" + name})
      if (auto* l = form_->findChild<QLabel*>(n)) return Clean(l->text());
  }
  return {};
}

QImage ManualWindow::Picture(const QString& key) {
  TMainForm& f = *form_;
  Settle();
  if (key == "window") return f.grab().toImage();
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
  // A panel hidden in the window as it opens is shown by its "Ver" item for
  // the picture, and hidden again by the same item.
  QAction* item = nullptr;
  if (panel == f.PanelOnda) item = f.Onda1;
  if (panel == f.PanelSonidos) item = f.Sonidos1;
  const bool toggle = item && !panel->isVisible();
  if (toggle) item->trigger();
  if (panel == f.PanelSonidos && f.LBIns->count() > 0) {
    // A sound of the set chosen in both lists: its samples show in the chart.
    f.LBIns->setCurrentRow(0);
    f.LBInsClick();
    const QList<QListWidgetItem*> same = f.LBwavs->findItems(f.LBIns->item(0)->text(), Qt::MatchExactly);
    if (!same.isEmpty()) {
      f.LBwavs->setCurrentItem(same.first());
      f.LBwavsClick();
    }
  }
  Settle();
  const QImage image = panel->grab().toImage();
  if (toggle) item->trigger();
  return image;
}

std::vector<ManualShortcut> ManualWindow::Shortcuts() const {
  std::vector<ManualShortcut> out;
  for (QAction* a : form_->findChildren<QAction*>()) {
    QStringList keys;
    for (const QKeySequence& k : a->shortcuts())
      if (!k.isEmpty()) keys << k.toString(QKeySequence::PortableText);
    if (!keys.isEmpty()) out.push_back({a->objectName(), keys.join(", ")});
  }
  return out;
}
