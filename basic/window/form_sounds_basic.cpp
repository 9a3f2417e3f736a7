// The basic window's "Sonidos" page: the set's sound list (at most 16
// sounds, taken from the set's own folder), the library of the folder's
// sounds and the preview. The list commands change the list in memory; the
// data-set save writes it.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <algorithm>

#include "platform/ui/string_grid.h"
#include "basic/window/basic_form.h"
#include "engine/sound_bank.h"
#include "engine/window/sound_list_steps.h"
#include "platform/files/text.h"

namespace bornace {

void TMainForm::FillSoundChoosers() { FillSoundChoosersFromList(*this); }

// The list shown again from SoundList, then the sounds loaded again.
void TMainForm::SoundListChanged(int select) {
  LBIns->clear();
  for (const auto& n : SoundList) LBIns->addItem(L1(n));
  if (select >= 0 && select < LBIns->count()) LBIns->setCurrentRow(select);
  AbreSonidos();
  if (select >= 0 && select < LBIns->count()) LBIns->setCurrentRow(select);
  PaintLibrary();
  const int f = EditedFormula();
  if (f >= 0) SGFormulasSelectCell(SGFormulas->Col(), f + 1);
  Cambios();
}

void TMainForm::PaintLibrary() {
  for (int i = 0; i < LBwavs->count(); ++i) {
    QListWidgetItem* it = LBwavs->item(i);
    switch (LibraryItemColour(SoundList, ToL1(it->text()), kBasicSoundCapacity)) {
      case LibraryColour::Red:
        it->setForeground(QColor(255, 0, 0));
        break;
      case LibraryColour::Lime:
        it->setForeground(QColor(0, 255, 0));
        break;
      case LibraryColour::Silver:
        it->setForeground(QColor(192, 192, 192));
        break;
    }
  }
}

bool TMainForm::RemoveSoundAllowed() const { return !SoundList.empty(); }

void TMainForm::Aadir1Click() {
  QListWidgetItem* it = LBwavs->currentItem();
  if (!it) return;
  if (!LibraryAddEnabled(SoundList, ToL1(it->text()), kBasicSoundCapacity)) return;
  // A file that gives no sound is refused, and the list stays as it was.
  if (!SoundFileReadable(*this, SetSoundPath(SetFolder(DataSet.DataSetName), ToL1(it->text())))) return;
  const int at = SoundListAdd(SoundList, ToL1(it->text()), kBasicSoundCapacity);
  if (at < 0) return;
  SoundListChanged(at);
}

void TMainForm::Eliminar1Click() {
  // The formulas follow the list: the removed sound's tracks fall silent,
  // the sounds after it move down one number; how many strokes went
  // silent is said.
  if (!RemoveSoundAllowed()) return;
  const int i = LBIns->currentRow();
  if (i < 0 || i >= static_cast<int>(SoundList.size())) return;
  const QString name = L1(SoundList[static_cast<size_t>(i)]);
  const int silenced = SoundListRemoveRenumbering(SoundList, i, *Rhythm, true);
  if (silenced < 0) return;
  SoundListChanged(std::min(i, static_cast<int>(SoundList.size()) - 1));
  const QString line = Tr("Sonido quitado: %1. Golpes que ahora suenan en silencio: %2",
                          "Sound removed: %1. Strokes that now play silence: %2")
                           .arg(name)
                           .arg(silenced);
  Log(line);
  if (silenced > 0) dialogs->ShowMessage(line);
}

// Move up and Move down swap the two sound numbers in every formula, so each
// track keeps its sound; the moved sound stays selected and, while it can
// move on, the menu opens again where it was.
void TMainForm::Arriba1Click() {
  const int i = LBIns->currentRow();
  if (!SoundListMoveUp(SoundList, i, *Rhythm)) return;
  Bajar1->setEnabled(true);
  SoundListChanged(i - 1);
  if (i > 1 && PopupMenu3) {
    Arriba1->setEnabled(true);
    PopupMenu3->popup(PopupMenu3Point);
  }
}

void TMainForm::Bajar1Click() {
  const int i = LBIns->currentRow();
  if (!SoundListMoveDown(SoundList, i, *Rhythm)) return;
  Arriba1->setEnabled(true);
  SoundListChanged(i + 1);
  if (i < static_cast<int>(SoundList.size()) - 2 && PopupMenu3) {
    Bajar1->setEnabled(true);
    PopupMenu3->popup(PopupMenu3Point);
  }
}

void TMainForm::Cambiar1Click() {
  const int i = LBIns->currentRow();
  QListWidgetItem* lib = LBwavs->currentItem();
  if (!lib) return;
  if (!SoundListChange(SoundList, i, ToL1(lib->text()))) return;
  SoundListChanged(i);
}

void TMainForm::LBInsContextPopup(const QPoint& pos) {
  PopupMenu3Point = LBIns->viewport()->mapToGlobal(pos);
  EnableSoundListMenu(*this, pos, RemoveSoundAllowed());
}

void TMainForm::LBwavsContextPopup(const QPoint& pos) { EnableLibraryMenu(*this, pos, kBasicSoundCapacity); }

void TMainForm::SpeedButton1Click() {
  if (!LBwavs->currentItem() && LBwavs->count() > 0) LBwavs->setCurrentRow(0);
  QListWidgetItem* it = LBwavs->currentItem();
  if (!it) return;
  if (!SoundPreview) SoundPreview = audio::CreatePortAudioSoundPlayer();
  const std::string path = SetSoundPath(SetFolder(DataSet.DataSetName), ToL1(it->text()));
  std::string why;
  if (SoundPreview && !PreviewSoundFile(*SoundPreview, path, Engine->Format.SampleRate, English, &why))
    Log(FromFs(why));
  SpeedButton1->setChecked(false);  // a latching button: raised again
}

}  // namespace bornace
