// The sound list's window steps that both editions' main windows take
// alike: the two sound choosers filled from the list, the pop-up menus of
// the set's list (LBIns) and of the library (LBwavs), and what a right click
// on either enables. The decisions are the sound bank's (engine/sound_bank.h).
//
// The templates take either edition's main window. What they use of it has
// the same name in both: SoundList, Engine, the choosers CBSonidos and
// CBMetro, the lists LBIns and LBwavs, the menus PopupMenu3 (Eliminar1,
// Arriba1, Bajar1, Cambiar1) and PopupMenu4 (Aadir1).
#pragma once

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPoint>
#include <QSignalBlocker>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <set>
#include <string>

#include "engine/sound_bank.h"
#include "engine/sound_file.h"
#include "platform/files/text.h"
#include "platform/ui/desk_theme.h"
#include "platform/ui/widgets.h"

// The legend of the library's colours (LeyendaBanco), written in red, and
// the library's hint that names all three; the language switch words both.
inline QLabel* MakeLibraryLegend(QWidget* parent, QListWidget* library, QRect geom) {
  QLabel* l = MakeLabel(parent, "LeyendaBanco", QString::fromUtf8("En rojo: ya están en la lista del conjunto"), geom);
  l->setStyleSheet(QString("QLabel { color: %1; background: transparent; }").arg(DeskTheme().red.name()));
  library->setToolTip(QString::fromUtf8(
      "Rojo: el sonido ya está en la lista del conjunto. Verde: se puede añadir. Gris: la lista está llena."));
  return l;
}

// CBSonidos and CBMetro: "Silencio" ("Silence"), then every sound of the list, so that
// item n is sound number n; neither has an item selected, and no click
// sound is chosen until CBMetro selects one.
template <class Form>
void FillSoundChoosersFromList(Form& f) {
  const QSignalBlocker b1(f.CBSonidos), b2(f.CBMetro);
  f.CBSonidos->clear();
  f.CBMetro->clear();
  const QString none = f.English ? QString("Silence") : QString("Silencio");
  f.CBSonidos->addItem(none);
  f.CBMetro->addItem(none);
  for (const auto& n : f.SoundList) {
    f.CBSonidos->addItem(L1(n));
    f.CBMetro->addItem(L1(n));
  }
  f.CBSonidos->setCurrentIndex(-1);
  f.CBMetro->setCurrentIndex(-1);
  f.Deck->SetClickSound(-1);
}

// The list's menu (PopupMenu3) and the library's (PopupMenu4), on the window.
template <class Form>
void BuildSoundListMenus(Form& f) {
  auto addItem = [](QMenu* m, QAction*& a, const char* name, const QString& caption) {
    a = m->addAction(caption);
    a->setObjectName(name);
  };
  f.PopupMenu3 = new QMenu(&f);
  f.PopupMenu3->setObjectName("PopupMenu3");
  addItem(f.PopupMenu3, f.Eliminar1, "Eliminar1", "<-- Quitar");
  addItem(f.PopupMenu3, f.Arriba1, "Arriba1", "Subir");
  addItem(f.PopupMenu3, f.Bajar1, "Bajar1", "Bajar");
  addItem(f.PopupMenu3, f.Cambiar1, "Cambiar1", "<--> Cambiar");
  f.PopupMenu4 = new QMenu(&f);
  f.PopupMenu4->setObjectName("PopupMenu4");
  addItem(f.PopupMenu4, f.Aadir1, "Aadir1", QString::fromUtf8("Añadir ->"));
}

// A right click on the set's list at `pos`: the item there is selected (none
// off the items) and the list's commands are enabled for it; the removal
// only where the edition allows it now (`removeAllowed`).
template <class Form>
void EnableSoundListMenu(Form& f, const QPoint& pos, bool removeAllowed) {
  QListWidgetItem* it = f.LBIns->itemAt(pos);
  f.LBIns->setCurrentItem(it);
  const SoundListMenu m = SoundListMenuState(f.LBIns->count(), it ? f.LBIns->row(it) : -1);
  f.Eliminar1->setEnabled(m.remove && removeAllowed);
  f.Cambiar1->setEnabled(m.change);
  f.Arriba1->setEnabled(m.moveUp);
  f.Bajar1->setEnabled(m.moveDown);
}

// A right click on the library at `pos`: the item there is selected, and
// "Añadir ->" is enabled for a sound the list has not got while the list
// holds fewer than `capacity` sounds.
template <class Form>
void EnableLibraryMenu(Form& f, const QPoint& pos, int capacity) {
  QListWidgetItem* it = f.LBwavs->itemAt(pos);
  f.LBwavs->setCurrentItem(it);
  f.Aadir1->setEnabled(it && LibraryAddEnabled(f.SoundList, ToL1(it->text()), capacity));
}

// What a bank load met: one message for every sound that gave no samples
// (the count and the first of them when there are several), and a line in
// the log for each empty sound, the first time it is met in this run.
template <class Form>
void ReportSoundLoad(Form& f, const SoundLoadResult& r) {
  const std::string failures = SoundFailuresMessage(f.English ? r.FailureTextsEnglish : r.FailureTexts, f.English);
  if (!failures.empty()) f.dialogs->ShowMessage(FromFs(failures));
  // An empty sound is said once by each window, not at every open.
  QStringList toldEmpty = f.property("toldEmptySounds").toStringList();
  for (const auto& path : r.EmptyPaths) {
    const QString p = FromFs(path);
    if (toldEmpty.contains(p)) continue;
    toldEmpty << p;
    f.Log(FromFs(EmptySoundText(path, f.English)));
  }
  f.setProperty("toldEmptySounds", toldEmpty);
}

// Before a sound joins the list: a file that gives no samples is refused
// with its reason, and false.
template <class Form>
bool SoundFileReadable(Form& f, const std::string& path) {
  const DecodedSound d = DecodeSoundFile(path, f.Engine->Format.SampleRate, 1);
  if (d.ok()) return true;
  f.dialogs->ShowMessage(FromFs(SoundReadMessage(path, d, f.English)));
  return false;
}
