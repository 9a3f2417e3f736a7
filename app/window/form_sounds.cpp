// The set's sound list, the sound library, the preview and the sample chart.
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QValueAxis>

#include "app/window/mainform.h"
#include "platform/ui/string_grid.h"
#include "engine/window/sound_list_steps.h"
#include "platform/files/text.h"

void TMainForm::AbreSonidos() {
  SoundList.clear();
  SoundListBeyond.clear();
  ReadSoundList(DataSet.DataSetListPath, &SoundList, &DataSet.SoundListCut);
  if (DataSet.SoundListCut)
    dialogs->ShowMessage(Tr("La lista de sonidos es demasiado larga para leerla entera; no se guardará: ",
                            "The sound list is too long to be read whole; it will not be saved: ") +
                         FromFs(DataSet.DataSetListPath));
  const size_t capacity = static_cast<size_t>(Bank->Capacity());
  if (SoundList.size() > capacity) {
    // The bank holds the first names; the others stay in the file.
    SoundListBeyond.assign(SoundList.begin() + static_cast<long>(capacity), SoundList.end());
    SoundList.resize(capacity);
    if (soundListToldLong_ != DataSet.DataSetListPath) {
      soundListToldLong_ = DataSet.DataSetListPath;
      dialogs->ShowMessage(
          Tr("La lista de sonidos tiene %1 nombres: se usan los %2 primeros.",
             "The sound list has %1 names: the first %2 are used.")
              .arg(SoundList.size() + SoundListBeyond.size())
              .arg(capacity));
    }
  }
  LBIns->clear();
  for (const auto& n : SoundList) LBIns->addItem(L1(n));
  if (LBIns->count() > 0) LBIns->setCurrentRow(0);
  FillSoundChoosers();
  const SoundLoadResult r = LoadSoundBank(*Bank, SoundList, kSoundFolder, Engine->Format.SampleRate);
  ReportSoundLoad(*this, r);
  Label15->setText(L1(SoundCountText(static_cast<int>(SoundList.size()), English)));
  LBwavs->viewport()->update();
}

void TMainForm::FillSoundChoosers() { FillSoundChoosersFromList(*this); }

std::vector<std::string> TMainForm::WholeSoundList() const {
  std::vector<std::string> all = SoundList;
  all.insert(all.end(), SoundListBeyond.begin(), SoundListBeyond.end());
  return all;
}

void TMainForm::WriteSoundListFile() {
  if (DataSet.SoundListCut) {
    dialogs->ShowMessage(Tr("La lista de sonidos es demasiado larga para leerla entera; no se guardará: ",
                            "The sound list is too long to be read whole; it will not be saved: ") +
                         FromFs(DataSet.DataSetListPath));
    return;
  }
  DataSet.DataSetListPath = ListPathOf(DataSet.DataSetName);
  std::string err;
  if (!WriteSoundList(DataSet.DataSetListPath, WholeSoundList(), &err))
    dialogs->ShowMessage(Tr("No se puede guardar la lista de sonidos:\r\n", "I cannot save the sound list:\r\n") +
                         FromFs(err));
}

void TMainForm::Aadir1Click() {
  QListWidgetItem* it = LBwavs->currentItem();
  if (!it) return;
  if (!LibraryAddEnabled(SoundList, ToL1(it->text()), Bank->Capacity())) return;
  // A file that gives no sound is refused, and the list stays as it was.
  if (!SoundFileReadable(*this, SoundPath(kSoundFolder, ToL1(it->text())))) return;
  if (SoundListAdd(SoundList, ToL1(it->text()), Bank->Capacity()) < 0) return;
  // The new last item is selected; the reload then selects the first sound.
  LBIns->addItem(it->text());
  LBIns->setCurrentRow(LBIns->count() - 1);
  WriteSoundListFile();
  LBwavs->viewport()->update();
  AbreSonidos();
  Cambios();
}

void TMainForm::Eliminar1Click() {
  const int i = LBIns->currentRow();
  if (!SoundListRemove(SoundList, i)) return;
  WriteSoundListFile();
  AbreSonidos();
  Cambios();
}

// Move up and Move down keep the moved sound selected after the reload (which
// selects the first sound): the menu opens again so that the same sound can
// be moved on, and its next command must act on that sound.
void TMainForm::Arriba1Click() {
  const int i = LBIns->currentRow();
  if (!SoundListMoveUp(SoundList, i, *Rhythm)) return;
  WriteSoundListFile();
  AbreSonidos();
  LBIns->setCurrentRow(i - 1);
  Cambios();
  if (i > 1 && isVisible()) {
    Arriba1->setEnabled(true);
    Bajar1->setEnabled(true);
    PopupMenu3->popup(PopupMenu3Point);
  }
}

void TMainForm::Bajar1Click() {
  const int i = LBIns->currentRow();
  if (!SoundListMoveDown(SoundList, i, *Rhythm)) return;
  WriteSoundListFile();
  AbreSonidos();
  LBIns->setCurrentRow(i + 1);
  Cambios();
  if (i < static_cast<int>(SoundList.size()) - 2 && isVisible()) {
    Arriba1->setEnabled(true);
    Bajar1->setEnabled(true);
    PopupMenu3->popup(PopupMenu3Point);
  }
}

void TMainForm::Cambiar1Click() {
  const int i = LBIns->currentRow();
  QListWidgetItem* lib = LBwavs->currentItem();
  if (!lib) return;
  if (!SoundListChange(SoundList, i, ToL1(lib->text()))) return;
  LBIns->item(i)->setText(lib->text());
  LBwavs->viewport()->update();
}

void TMainForm::LBInsContextPopup(const QPoint& pos) { EnableSoundListMenu(*this, pos, true); }

void TMainForm::LBwavsContextPopup(const QPoint& pos) { EnableLibraryMenu(*this, pos, Bank->Capacity()); }

void TMainForm::SpeedButton1Click() {
  if (!LBwavs->currentItem() && LBwavs->count() > 0) LBwavs->setCurrentRow(0);
  if (QListWidgetItem* it = LBwavs->currentItem()) {
    if (!SoundPreview) SoundPreview = audio::CreatePortAudioSoundPlayer();
    std::string why;
    if (SoundPreview && !PreviewSoundFile(*SoundPreview, SoundPath(kSoundFolder, ToL1(it->text())),
                                          Engine->Format.SampleRate, English, &why))
      Log(FromFs(why));
  }
  SpeedButton1->setChecked(false);
}

namespace {
void PlotSamples(QWidget* oscSonidos, const std::vector<int16_t>& samples) {
  auto* view = static_cast<QChartView*>(oscSonidos);
  auto* series = static_cast<QLineSeries*>(view->chart()->series().value(0));
  if (!series) return;
  QList<QPointF> pts;
  pts.reserve(static_cast<qsizetype>(samples.size()));
  for (size_t k = 0; k < samples.size(); ++k) pts.append(QPointF(static_cast<qreal>(k), samples[k]));
  series->replace(pts);
  if (auto* ax = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).value(0)))
    ax->setRange(0, std::max<qreal>(1, static_cast<qreal>(samples.size())));
}
}  // namespace

void TMainForm::LBInsClick() {
  const int j = LBIns->currentRow();
  PlotSamples(OscSonidos, j >= 0 ? SoundPlotSamples(*Bank, j) : std::vector<int16_t>{});
}

void TMainForm::LBwavsClick() {
  QListWidgetItem* it = LBwavs->currentItem();
  const int j = it ? FindSoundName(SoundList, ToL1(it->text())) : -1;
  if (j < 0) {
    PlotSamples(OscSonidos, {});
    return;
  }
  PlotSamples(OscSonidos, SoundPlotSamples(*Bank, j));
  Label29->setText(L1(SoundLengthText(*Bank, j)));
}
