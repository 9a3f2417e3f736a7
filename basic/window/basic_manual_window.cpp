#include "basic/window/basic_manual_window.h"

#include <QAction>
#include <QChartView>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTextEdit>
#include <cstring>
#include <filesystem>

#include "platform/ui/string_grid.h"
#include "basic/window/basic_form.h"
#include "basic/window/basic_language.h"
#include "basic/window/form_import_basic.h"
#include "content/basic_factory.h"
#include "content/pictures.h"
#include "content/window/window_text.h"
#include "platform/audio/wave_in.h"
#include "platform/audio/wave_out_test.h"
#include "platform/hid/hid_device_test.h"
#include "platform/serial/serial_port_test.h"
#include "platform/ui/desktop.h"
#include "platform/ui/dialogs.h"
#include "platform/files/atomic_file.h"

namespace {

// The page of the page control that holds w (null when none does).
QWidget* PageOf(bornace::TMainForm& f, QWidget* w) {
  for (QWidget* page : {f.TabSheet1, f.TabSheet2, f.TabSheet3})
    if (w == page || page->isAncestorOf(w)) return page;
  return nullptr;
}

}  // namespace

std::unique_ptr<BasicManualWindow> BasicManualWindow::Open(std::string* error) {
  std::unique_ptr<BasicManualWindow> w(new BasicManualWindow());
  w->scratch_ = ScratchWorkingFolder::Enter(
      [](const std::string& root, std::string* e) { return WriteBasicWorkingFolder(root, e) && WriteBasicPictures(root, e); },
      "the basic window's pictures", error);
  if (!w->scratch_) return nullptr;
  bornace::TMainForm::Options o;
  o.dialogs = std::make_unique<ScriptedDialogs>();  // every question is answered Cancel
  o.iniPath = w->scratch_->FilePath("vididoru.ini");
  o.waveOut = audio::CreateTestWaveOut();
  o.waveIn = audio::CreateTestWaveIn();
  o.hidBus = std::make_unique<hid::TestHidBus>();
  o.serialPort = std::make_unique<serial::TestSerialPort>();
  o.desktop = std::make_unique<RecordingDesktop>();
  w->form_ = std::make_unique<bornace::TMainForm>(std::move(o));
  bornace::TMainForm& f = *w->form_;
  f.FormCreate();
  f.CreateAboutBox();
  f.setAttribute(Qt::WA_DontShowOnScreen, true);
  f.resize(f.PageControlDesignSize + QSize(10, f.menuBar()->sizeHint().height()));
  f.show();
  SettleEvents();
  w->SetLanguage(false);
  return w;
}

BasicManualWindow::~BasicManualWindow() {
  if (form_) {
    form_->hide();
    form_.reset();
  }
}

void BasicManualWindow::SetLanguage(bool english) {
  bornace::TMainForm& f = *form_;
  (english ? f.Ingls1 : f.Espaol1)->trigger();
  // The set read again, as at a start in this language: the texts the open
  // and the selections write come in the language too.
  f.Deshacertodo1Click();
  f.PageControl1->setCurrentWidget(f.TabSheet1);
  if (f.SGTemas->RowCount() > 1) {
    f.SGTemas->Select(1, 1);
    f.SGTemasSelectCell(1, 1);
  }
  if (f.SGFormulas->RowCount() > 1) {
    f.SGFormulas->Select(1, 1);
    f.SGFormulasSelectCell(1, 1);
    f.SGFormulasClick();
  }
  if (f.SGDatosFormula->RowCount() > 1) {
    f.SGDatosFormula->Select(2, 1);
    f.SGDatosFormulaSelectCell(2, 1);
  }
  f.Visor->clear();  // the re-reading's own lines are not the user's
  SettleEvents();
}

QString BasicManualWindow::Text(const QString& ref) const {
  bornace::TMainForm& f = *form_;
  for (QWidget* page : {f.TabSheet1, f.TabSheet2, f.TabSheet3})
    if (page->objectName() == ref) return f.PageControl1->tabText(f.PageControl1->indexOf(page)).trimmed();
  return WindowText(form_.get(), ref);
}

QImage BasicManualWindow::Picture(const QString& key) {
  bornace::TMainForm& f = *form_;
  SettleEvents();
  QString base;
  QSize screen;
  if (SplitScreenKey(key, &base, &screen)) {
    // The whole window on that screen, showing the page named (the first
    // page for "window").
    auto* page = base == "window" ? f.TabSheet1 : f.findChild<QWidget*>(base);
    if (!page || PageOf(f, page) != page) return {};
    return PictureOnScreen(f, screen, [&] {
      f.PageControl1->setCurrentWidget(page);
      SettleEvents();
      const QImage image = f.grab().toImage();
      f.PageControl1->setCurrentWidget(f.TabSheet1);
      SettleEvents();
      return image;
    });
  }
  if (key == "window") {
    f.PageControl1->setCurrentWidget(f.TabSheet1);
    SettleEvents();
    return f.grab().toImage();
  }
  if (key.startsWith("menu:")) {
    auto* m = f.menuBar()->findChild<QMenu*>(key.mid(5));
    if (!m) m = f.findChild<QMenu*>(key.mid(5));
    return m ? MenuPicture(*m) : QImage();
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
  if (key == "chart") {
    // The chart of the selected formula, its first track marked, and put away after.
    f.cb3d->setChecked(true);
    f.cb3dClick();
    SettleEvents();
    const QImage image = f.Chart1->grab().toImage();
    f.cb3d->setChecked(false);
    f.cb3dClick();
    return image;
  }
  if (key == "about") {
    f.CreateAboutBox();
    f.Acercade->ensurePolished();
    return f.Acercade->grab().toImage();
  }
  if (key == "dialog:FormImportar") {
    if (!f.FormImportar) f.FormImportar = new bornace::TFormImportar(f);
    f.FormImportar->ImportPath = "datos/Original.ole";
    f.FormImportar->FormActivate();
    f.FormImportar->ensurePolished();
    return f.FormImportar->grab().toImage();
  }
  QWidget* w = f.findChild<QWidget*>(key);
  QWidget* page = w ? PageOf(f, w) : nullptr;
  if (!page) return {};
  f.PageControl1->setCurrentWidget(page);
  SettleEvents();
  QImage image = (w == page ? static_cast<QWidget*>(f.PageControl1) : w)->grab().toImage();
  if (page != f.TabSheet1) {
    f.PageControl1->setCurrentWidget(f.TabSheet1);
    SettleEvents();
  }
  return image;
}

std::vector<ManualShortcut> BasicManualWindow::Shortcuts() const { return WindowShortcuts(form_.get()); }

QString BasicDocumentFileName(const BasicDocument& doc, bool english) {
  for (const LanguageRow& r : bornace::BasicLanguageTable())
    if (std::strcmp(r.component, doc.action) == 0 && std::strcmp(r.property, "fileName") == 0)
      return QString::fromUtf8(english ? r.english : r.spanish);
  return {};
}

bool WriteBasicDocuments(const std::string& root, std::string* error) {
  std::vector<FileToWrite> files;
  {
    std::unique_ptr<BasicManualWindow> window = BasicManualWindow::Open(error);
    if (!window) return false;
    for (const BasicDocument& doc : BasicDocuments()) {
      for (bool english : {false, true}) {
        const auto book = BuildBasicDocument(*window, doc, english);
        const QByteArray pdf = book ? ManualBookPdf(*book) : QByteArray();
        const QString name = BasicDocumentFileName(doc, english);
        if (!pdf.startsWith("%PDF") || name.isEmpty()) {
          if (error) *error = "the document " + name.toStdString() + " could not be laid out";
          return false;
        }
        // Named on the disk as the window's file-run actions look for them.
        const QByteArray encoded = QFile::encodeName(name);
        files.push_back({(std::filesystem::path(root) / encoded.toStdString()).string(),
                         std::vector<uint8_t>(pdf.begin(), pdf.end())});
      }
    }
  }  // the window goes: the previous current folder comes back
  return WriteFilesAtomically(files, error);
}
