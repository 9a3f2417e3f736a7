#include "engine/window/sounds_panel.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QValueAxis>
#include <algorithm>
#include <utility>

#include "engine/engine_state.h"
#include "engine/sound_file.h"
#include "engine/transport.h"
#include "engine/window/sample_chart.h"
#include "platform/files/text.h"
#include "platform/ui/desk_theme.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "rhythm/dataset.h"

namespace {

// Library items framed, each name in its colour.
class FramedLibraryItems : public QStyledItemDelegate {
 public:
  explicit FramedLibraryItems(const SoundsPanel* panel) : panel_(panel) {}
  void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override {
    p->save();
    p->setPen(Qt::black);
    // The list's own brush: its base colour, the highlight when selected.
    p->setBrush(opt.state & QStyle::State_Selected ? opt.palette.highlight() : opt.palette.base());
    p->drawRect(opt.rect.adjusted(0, 0, -1, -1));
    p->setPen(panel_->LibraryColour(idx.data().toString()));
    p->drawText(opt.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, idx.data().toString());
    p->restore();
  }

 private:
  const SoundsPanel* panel_;
};

}  // namespace

SoundsPanel::SoundsPanel(BancoSonidos& bank, RhythmTables& rhythm, Transport& deck, const EngineState& engine,
                         DataSetState& dataSet, SoundsRules rules, WindowSide side)
    : bank_(bank),
      rhythm_(rhythm),
      deck_(deck),
      engine_(engine),
      dataSet_(dataSet),
      rules_(rules),
      side_(std::move(side)) {}

SoundsPanel::~SoundsPanel() = default;

QString SoundsPanel::Tr(const char* spanish, const char* english) const {
  return QString::fromUtf8(side_.english() ? english : spanish);
}

void SoundsPanel::Build(QWidget* area, QWidget* menuParent, const SoundsLayout& layout) {
  LBIns = MakeList(area, "LBIns", layout.list);
  LBwavs = MakeList(area, "LBwavs", layout.library);
  if (layout.framedLibrary) {
    auto* items = new FramedLibraryItems(this);
    items->setParent(LBwavs);
    LBwavs->setItemDelegate(items);
  }
  LBIns->setContextMenuPolicy(Qt::CustomContextMenu);
  LBwavs->setContextMenuPolicy(Qt::CustomContextMenu);
  SpeedButton1 = MakeButton(area, "SpeedButton1", QString::fromUtf8("\u25B6"), layout.preview, "Oir sonido");
  SpeedButton1->setCheckable(true);  // a latching button, raised again by its click
  Label15 = MakeLabel(area, "Label15", QString(), layout.count);
  if (!layout.length.isEmpty()) Label29 = MakeLabel(area, "Label29", QString(), layout.length);
  if (!layout.samples.isEmpty()) OscSonidos = MakeSampleChart(area, "OscSonidos", layout.samples, 32767);
  if (!layout.legend.isEmpty()) {
    // The legend of the library's colours, written in red, and the library's
    // hint that names all three; the language switch words both.
    QLabel* legend = MakeLabel(area, "LeyendaBanco", QString::fromUtf8("En rojo: ya están en la lista del conjunto"),
                               layout.legend);
    legend->setStyleSheet(QString("QLabel { color: %1; background: transparent; }").arg(DeskTheme().red.name()));
    LBwavs->setToolTip(QString::fromUtf8(
        "Rojo: el sonido ya está en la lista del conjunto. Verde: se puede añadir. Gris: la lista está llena."));
  }

  PopupMenu3 = new QMenu(menuParent);
  PopupMenu3->setObjectName("PopupMenu3");
  AddMenuItem(PopupMenu3, Eliminar1, "Eliminar1", "<-- Quitar");
  AddMenuItem(PopupMenu3, Arriba1, "Arriba1", "Subir");
  AddMenuItem(PopupMenu3, Bajar1, "Bajar1", "Bajar");
  AddMenuItem(PopupMenu3, Cambiar1, "Cambiar1", "<--> Cambiar");
  PopupMenu4 = new QMenu(menuParent);
  PopupMenu4->setObjectName("PopupMenu4");
  AddMenuItem(PopupMenu4, Aadir1, "Aadir1", QString::fromUtf8("Añadir ->"));

  connect(Aadir1, &QAction::triggered, this, [this] { Aadir1Click(); });
  connect(Eliminar1, &QAction::triggered, this, [this] { Eliminar1Click(); });
  connect(Arriba1, &QAction::triggered, this, [this] { Arriba1Click(); });
  connect(Bajar1, &QAction::triggered, this, [this] { Bajar1Click(); });
  connect(Cambiar1, &QAction::triggered, this, [this] { Cambiar1Click(); });
  connect(LBIns, &QListWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    LBInsContextPopup(p);
    PopupMenu3->popup(PopupMenu3Point);
  });
  connect(LBwavs, &QListWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    LBwavsContextPopup(p);
    PopupMenu4->popup(LBwavs->viewport()->mapToGlobal(p));
  });
  connect(LBIns, &QListWidget::itemClicked, this, [this] { LBInsClick(); });
  connect(LBwavs, &QListWidget::itemClicked, this, [this] { LBwavsClick(); });
  connect(SpeedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
}

std::string SoundsPanel::LibraryFolder() const {
  return rules_.libraryInSetFolder ? SetFolder(dataSet_.DataSetName) : kSoundFolder;
}

void SoundsPanel::FillChoosers(QComboBox* sounds, QComboBox* click) {
  const QSignalBlocker b1(sounds), b2(click);
  sounds->clear();
  click->clear();
  const QString none = Tr("Silencio", "Silence");
  sounds->addItem(none);
  click->addItem(none);
  for (const auto& n : SoundList) {
    sounds->addItem(L1(n));
    click->addItem(L1(n));
  }
  sounds->setCurrentIndex(-1);
  click->setCurrentIndex(-1);
  deck_.SetClickSound(-1);
}

void SoundsPanel::ShowList(int select) {
  LBIns->clear();
  for (const auto& n : SoundList) LBIns->addItem(L1(n));
  if (select >= 0 && select < LBIns->count()) LBIns->setCurrentRow(select);
}

QColor SoundsPanel::LibraryColour(const QString& name) const {
  switch (LibraryItemColour(SoundList, ToL1(name), bank_.Capacity())) {
    case LibraryColour::Red:
      return QColor(255, 0, 0);
    case LibraryColour::Lime:
      return QColor(0, 255, 0);
    case LibraryColour::Silver:
      break;
  }
  return QColor(192, 192, 192);
}

void SoundsPanel::PaintLibrary() {
  for (int i = 0; i < LBwavs->count(); ++i) {
    QListWidgetItem* it = LBwavs->item(i);
    it->setForeground(LibraryColour(it->text()));
  }
  LBwavs->viewport()->update();
}

std::vector<std::string> SoundsPanel::WholeSoundList() const {
  std::vector<std::string> all = SoundList;
  all.insert(all.end(), dataSet_.SoundListBeyond.begin(), dataSet_.SoundListBeyond.end());
  return all;
}

void SoundsPanel::WriteSoundListFile() {
  if (dataSet_.SoundListCut) {
    side_.dialogs().ShowMessage(Tr("La lista de sonidos es demasiado larga para leerla entera; no se guardará: ",
                                   "The sound list is too long to be read whole; it will not be saved: ") +
                                FromFs(dataSet_.DataSetListPath));
    return;
  }
  dataSet_.DataSetListPath = ListPathOf(dataSet_.DataSetName);
  std::string err;
  if (!WriteSoundList(dataSet_.DataSetListPath, WholeSoundList(), &err))
    side_.dialogs().ShowMessage(
        Tr("No se puede guardar la lista de sonidos:\r\n", "I cannot save the sound list:\r\n") + FromFs(err));
}

void SoundsPanel::ReportLoad(const SoundLoadResult& r) {
  const bool english = side_.english();
  const std::string failures = SoundFailuresMessage(english ? r.FailureTextsEnglish : r.FailureTexts, english);
  if (!failures.empty()) side_.dialogs().ShowMessage(FromFs(failures));
  for (const auto& path : r.EmptyPaths) {
    const QString p = FromFs(path);
    if (toldEmpty_.contains(p)) continue;
    toldEmpty_ << p;
    side_.log(FromFs(EmptySoundText(path, english)));
  }
}

bool SoundsPanel::FileReadable(const std::string& path) {
  const DecodedSound d = DecodeSoundFile(path, engine_.Format.SampleRate, 1);
  if (d.ok()) return true;
  side_.dialogs().ShowMessage(FromFs(SoundReadMessage(path, d, side_.english())));
  return false;
}

void SoundsPanel::ListChanged(int select) {
  if (rules_.listWrittenAtOnce) {
    WriteSoundListFile();
    side_.reload();
  } else {
    ShowList(select);
    side_.reload();
  }
  if (select >= 0 && select < LBIns->count()) LBIns->setCurrentRow(select);
  PaintLibrary();
  if (side_.listShown) side_.listShown();
  side_.changed();
}

void SoundsPanel::Aadir1Click() {
  QListWidgetItem* it = LBwavs->currentItem();
  if (!it) return;
  const std::string name = ToL1(it->text());
  if (!LibraryAddEnabled(SoundList, name, bank_.Capacity())) return;
  // A file that gives no sound is refused, and the list stays as it was.
  if (!FileReadable(SoundPath(LibraryFolder(), name))) return;
  const int at = SoundListAdd(SoundList, name, bank_.Capacity());
  if (at < 0) return;
  ListChanged(rules_.listWrittenAtOnce ? -1 : at);
}

void SoundsPanel::Eliminar1Click() {
  if (!RemoveSoundAllowed()) return;
  const int i = LBIns->currentRow();
  if (i < 0 || i >= static_cast<int>(SoundList.size())) return;
  if (!rules_.removeRenumbers) {
    if (!SoundListRemove(SoundList, i)) return;
    ListChanged(-1);
    return;
  }
  // The formulas follow the list: the removed sound's tracks fall silent,
  // the sounds after it move down one number; how many strokes went silent
  // is said.
  const QString name = L1(SoundList[static_cast<size_t>(i)]);
  const int silenced = SoundListRemoveRenumbering(SoundList, i, rhythm_, rules_.basicCodes);
  if (silenced < 0) return;
  ListChanged(std::min(i, static_cast<int>(SoundList.size()) - 1));
  const QString line = Tr("Sonido quitado: %1. Golpes que ahora suenan en silencio: %2",
                          "Sound removed: %1. Strokes that now play silence: %2")
                           .arg(name)
                           .arg(silenced);
  side_.log(line);
  if (silenced > 0) side_.dialogs().ShowMessage(line);
}

// Move up and Move down swap the two sound numbers in every formula, so each
// track keeps its sound; the moved sound stays selected and, while it can
// move on, the menu opens again where it was, its next command acting on
// that sound.
void SoundsPanel::Moved(int to, bool further) {
  ListChanged(to);
  Arriba1->setEnabled(true);
  Bajar1->setEnabled(true);
  if (!further) return;
  if (rules_.reopenMenuOnlyWhenShown && !LBIns->window()->isVisible()) return;
  PopupMenu3->popup(PopupMenu3Point);
}

void SoundsPanel::Arriba1Click() {
  const int i = LBIns->currentRow();
  if (!SoundListMoveUp(SoundList, i, rhythm_)) return;
  Moved(i - 1, i > 1);
}

void SoundsPanel::Bajar1Click() {
  const int i = LBIns->currentRow();
  if (!SoundListMoveDown(SoundList, i, rhythm_)) return;
  Moved(i + 1, i < static_cast<int>(SoundList.size()) - 2);
}

void SoundsPanel::Cambiar1Click() {
  const int i = LBIns->currentRow();
  QListWidgetItem* lib = LBwavs->currentItem();
  if (!lib) return;
  if (!SoundListChange(SoundList, i, ToL1(lib->text()))) return;
  if (!rules_.listWrittenAtOnce) {
    ListChanged(i);
    return;
  }
  LBIns->item(i)->setText(lib->text());
  PaintLibrary();
}

// A right click on the set's list: the item there is selected (none off the
// items) and the list's commands are enabled for it.
void SoundsPanel::LBInsContextPopup(const QPoint& pos) {
  PopupMenu3Point = LBIns->viewport()->mapToGlobal(pos);
  QListWidgetItem* it = LBIns->itemAt(pos);
  LBIns->setCurrentItem(it);
  const SoundListMenu m = SoundListMenuState(LBIns->count(), it ? LBIns->row(it) : -1);
  Eliminar1->setEnabled(m.remove && RemoveSoundAllowed());
  Cambiar1->setEnabled(m.change);
  Arriba1->setEnabled(m.moveUp);
  Bajar1->setEnabled(m.moveDown);
}

// A right click on the library: the item there is selected, and "Añadir ->"
// is enabled for a sound the list has not got while the list has room.
void SoundsPanel::LBwavsContextPopup(const QPoint& pos) {
  QListWidgetItem* it = LBwavs->itemAt(pos);
  LBwavs->setCurrentItem(it);
  Aadir1->setEnabled(it && LibraryAddEnabled(SoundList, ToL1(it->text()), bank_.Capacity()));
}

void SoundsPanel::SpeedButton1Click() {
  if (!LBwavs->currentItem() && LBwavs->count() > 0) LBwavs->setCurrentRow(0);
  if (QListWidgetItem* it = LBwavs->currentItem()) {
    if (!SoundPreview) SoundPreview = audio::CreatePortAudioSoundPlayer();
    std::string why;
    if (SoundPreview && !PreviewSoundFile(*SoundPreview, SoundPath(LibraryFolder(), ToL1(it->text())),
                                          engine_.Format.SampleRate, side_.english(), &why))
      side_.log(FromFs(why));
  }
  SpeedButton1->setChecked(false);
}

void SoundsPanel::PlotSamples(const std::vector<int16_t>& samples) {
  auto* view = static_cast<QChartView*>(OscSonidos);
  auto* series = static_cast<QLineSeries*>(view->chart()->series().value(0));
  if (!series) return;
  QList<QPointF> pts;
  pts.reserve(static_cast<qsizetype>(samples.size()));
  for (size_t k = 0; k < samples.size(); ++k) pts.append(QPointF(static_cast<qreal>(k), samples[k]));
  series->replace(pts);
  if (auto* ax = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).value(0)))
    ax->setRange(0, std::max<qreal>(1, static_cast<qreal>(samples.size())));
}

void SoundsPanel::LBInsClick() {
  if (!OscSonidos) return;
  const int j = LBIns->currentRow();
  PlotSamples(j >= 0 ? SoundPlotSamples(bank_, j) : std::vector<int16_t>{});
}

void SoundsPanel::LBwavsClick() {
  if (!OscSonidos) return;
  QListWidgetItem* it = LBwavs->currentItem();
  const int j = it ? FindSoundName(SoundList, ToL1(it->text())) : -1;
  if (j < 0) {
    PlotSamples({});
    return;
  }
  PlotSamples(SoundPlotSamples(bank_, j));
  if (Label29) Label29->setText(L1(SoundLengthText(bank_, j)));
}
