// The sounds panel's side in this window: the list read from the set's list
// file into the bank, and what the panel asks of the window.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>

#include "app/window/mainform.h"
#include "platform/files/text.h"

SoundsPanel::WindowSide TMainForm::SoundsSide() { return SoundsSideOf(*this); }

void TMainForm::AbreSonidos() {
  std::vector<std::string>& beyond = DataSet.SoundListBeyond;
  SoundList.clear();
  beyond.clear();
  ReadSoundList(DataSet.DataSetListPath, &SoundList, &DataSet.SoundListCut);
  if (DataSet.SoundListCut)
    dialogs->ShowMessage(Tr("La lista de sonidos es demasiado larga para leerla entera; no se guardará: ",
                            "The sound list is too long to be read whole; it will not be saved: ") +
                         FromFs(DataSet.DataSetListPath));
  const size_t capacity = static_cast<size_t>(Bank->Capacity());
  if (SoundList.size() > capacity) {
    // The bank holds the first names; the others stay in the file.
    beyond.assign(SoundList.begin() + static_cast<long>(capacity), SoundList.end());
    SoundList.resize(capacity);
    if (soundListToldLong_ != DataSet.DataSetListPath) {
      soundListToldLong_ = DataSet.DataSetListPath;
      dialogs->ShowMessage(
          Tr("La lista de sonidos tiene %1 nombres: se usan los %2 primeros.",
             "The sound list has %1 names: the first %2 are used.")
              .arg(SoundList.size() + beyond.size())
              .arg(capacity));
    }
  }
  SoundsPane.ShowList(0);
  FillSoundChoosers();
  const SoundLoadResult r = LoadSoundBank(*Bank, SoundList, kSoundFolder, Engine->Format.SampleRate);
  SoundsPane.ReportLoad(r);
  Label15->setText(L1(SoundCountText(static_cast<int>(SoundList.size()), English)));
  LBwavs->viewport()->update();
}

void TMainForm::FillSoundChoosers() { SoundsPane.FillChoosers(CBSonidos, CBMetro); }
