// The sounds' part of either main window: the set's sound list (LBIns), the
// library of sounds (LBwavs) with its colours, their pop-up menus and what
// their commands do to the list, the preview, and the sample chart of a
// clicked sound where the edition has one. The decisions are the sound
// bank's (engine/sound_bank.h); how an edition keeps its list and where its
// sounds are is its SoundsRules, where the controls stand its SoundsLayout.
#pragma once

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <concepts>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/sound_bank.h"
#include "platform/audio/sound_play.h"

class Dialogs;
class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QWidget;
class Transport;
struct DataSetState;
struct EngineState;
struct RhythmTables;

// How an edition keeps its sound list.
struct SoundsRules {
  // The library's sounds are the set's own folder's (datos/<set>/), not the
  // program's sound folder.
  bool libraryInSetFolder = false;
  // The list's commands write the list file at once and the sounds are read
  // again from it: an addition or a removal leaves the first sound selected,
  // and a change renames the listed item only (the next write of the list
  // takes it). Otherwise the commands change the list in memory, which the
  // data-set save writes, and show it again with the sound they acted on
  // selected.
  bool listWrittenAtOnce = true;
  // A removal renumbers the formulas' sounds to the list as it now stands
  // (the removed sound's tracks fall silent; the edition's formulas take
  // codes 1..4 as rests: `basicCodes`) and says how many strokes went silent.
  // Otherwise the formulas keep their numbers.
  bool removeRenumbers = false;
  bool basicCodes = false;
  // After a move that can go on, the list's menu opens again only while the
  // window is on screen.
  bool reopenMenuOnlyWhenShown = true;
};

// Where an edition puts the panel's controls. An empty place: the edition
// has no such control.
struct SoundsLayout {
  QRect list, library, preview, count;
  QRect length;   // Label29: the length of the clicked sound
  QRect samples;  // OscSonidos: the chart of its samples
  QRect legend;   // LeyendaBanco: what the library's red names mean
  // The library's items drawn framed, each in its colour; otherwise the
  // colour is the item's own text colour.
  bool framedLibrary = false;
};

class SoundsPanel : public QObject {
 public:
  // What the panel asks of the window it serves.
  struct WindowSide {
    std::function<bool()> english;
    std::function<void(const QString&)> log;
    std::function<Dialogs&()> dialogs;
    // The bank read again from the list as it now stands (AbreSonidos).
    std::function<void()> reload;
    // The list shown again after a command changed it in memory: what else
    // the window shows of it. May be empty.
    std::function<void()> listShown;
    std::function<void()> changed;  // the set is modified (Cambios)
  };

  SoundsPanel(BancoSonidos& bank, RhythmTables& rhythm, Transport& deck, const EngineState& engine,
              DataSetState& dataSet, SoundsRules rules, WindowSide side);
  ~SoundsPanel() override;

  // The lists, the preview button, the count label and, where the layout
  // has them, the length label and the sample chart on `area`; the two
  // pop-up menus on `menuParent`; their handlers bound.
  void Build(QWidget* area, QWidget* menuParent, const SoundsLayout& layout);

  // The folder the library's sounds are read from.
  std::string LibraryFolder() const;
  // The choosers `sounds` and `click`: "Silencio" ("Silence"), then every
  // sound of the list, so that item n is sound number n; neither has an item
  // selected, and no click sound is chosen until `click` selects one.
  void FillChoosers(QComboBox* sounds, QComboBox* click);
  // The list's items again from SoundList, `select` selected when it is one.
  void ShowList(int select);
  // The library's items in their colours: red when listed, lime while the
  // list has room, silver when it is full.
  void PaintLibrary();
  QColor LibraryColour(const QString& name) const;
  // The list with the names of its file beyond the bank's capacity, as the
  // file is written back.
  std::vector<std::string> WholeSoundList() const;
  // The list file written under the set's name; a list that was too long to
  // be read whole is not written (said), nor is a failed write kept quiet.
  void WriteSoundListFile();
  // What a bank load met: one message for every sound that gave no samples
  // (the count and the first of them when there are several), and a line in
  // the log for each empty sound, the first time this panel meets it.
  void ReportLoad(const SoundLoadResult& r);
  // Before a sound joins the list: a file that gives no samples is refused
  // with its reason, and false.
  bool FileReadable(const std::string& path);
  bool RemoveSoundAllowed() const { return !SoundList.empty(); }

  // The commands of the list's menu (PopupMenu3) and of the library's
  // (PopupMenu4), the right clicks that enable them, the preview and the
  // clicks on either list.
  void Aadir1Click();
  void Eliminar1Click();
  void Arriba1Click();
  void Bajar1Click();
  void Cambiar1Click();
  void LBInsContextPopup(const QPoint& pos);
  void LBwavsContextPopup(const QPoint& pos);
  void SpeedButton1Click();
  void LBInsClick();
  void LBwavsClick();

  std::vector<std::string> SoundList;  // the lines of LBIns as stored
  QListWidget *LBIns = nullptr, *LBwavs = nullptr;
  QPushButton* SpeedButton1 = nullptr;  // the preview
  QLabel* Label15 = nullptr;            // the count (or the memory in use)
  QLabel* Label29 = nullptr;
  QWidget* OscSonidos = nullptr;
  QMenu *PopupMenu3 = nullptr, *PopupMenu4 = nullptr;
  QAction *Eliminar1 = nullptr, *Arriba1 = nullptr, *Bajar1 = nullptr, *Cambiar1 = nullptr, *Aadir1 = nullptr;
  QPoint PopupMenu3Point;  // where the list's menu was last opened
  std::unique_ptr<audio::SoundPlayer> SoundPreview;

 private:
  QString Tr(const char* spanish, const char* english) const;
  // After a command changed the list: the list file written and the bank
  // read again, or the list shown again; then `select` selected.
  void ListChanged(int select);
  // A move from row i to row `to`, done: the list's menu opens again while
  // the sound can move on (`further`).
  void Moved(int to, bool further);
  void PlotSamples(const std::vector<int16_t>& samples);

  BancoSonidos& bank_;
  RhythmTables& rhythm_;
  Transport& deck_;
  const EngineState& engine_;
  DataSetState& dataSet_;
  const SoundsRules rules_;
  WindowSide side_;
  QStringList toldEmpty_;  // the empty sounds already said
};

// A window the sounds panel can serve as it is: its language, its log and
// dialogs, the read of the bank from the list (AbreSonidos) and the mark of
// a change (Cambios).
template <class W>
concept SoundsWindow = requires(W& w, const QString& line) {
  { w.English } -> std::convertible_to<bool>;
  w.Log(line);
  { *w.dialogs } -> std::same_as<Dialogs&>;
  w.AbreSonidos();
  w.Cambios();
};

// The panel's side in such a window (listShown left empty).
template <SoundsWindow W>
SoundsPanel::WindowSide SoundsSideOf(W& w) {
  SoundsPanel::WindowSide side;
  side.english = [&w] { return static_cast<bool>(w.English); };
  side.log = [&w](const QString& line) { w.Log(line); };
  side.dialogs = [&w]() -> Dialogs& { return *w.dialogs; };
  side.reload = [&w] { w.AbreSonidos(); };
  side.changed = [&w] { w.Cambios(); };
  return side;
}
