// The guitar panel's MIDI import: the import button, its menu of beat units,
// and the import of a file into the track of the open theme.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

#include "app/window/mainform.h"
#include "platform/ui/string_grid.h"
#include "platform/ui/widgets.h"
#include "guitar/midi.h"
#include "platform/files/text.h"

namespace {
// The unit items of the menu with the units they force.
struct UnitItem {
  QAction* TMainForm::*action;
  const char* name;
  const char* caption;
  uint16_t unit;
};
const UnitItem kUnitItems[] = {
    {&TMainForm::Blanca1, "Blanca1", "Blanca", kMidiUnitHalf},
    {&TMainForm::Negrap1, "Negrap1", "Negra con puntillo", kMidiUnitDottedQuarter},
    {&TMainForm::Negra1, "Negra1", "Negra", kMidiUnitQuarter},
    {&TMainForm::Corcheap1, "Corcheap1", "Corchea con puntillo", kMidiUnitDottedEighth},
    {&TMainForm::Corchea1, "Corchea1", "Corchea", kMidiUnitEighth},
};

std::string WorkingFolder() { return FsPath(QDir::currentPath()); }
}  // namespace

void TMainForm::BuildGuitarMidiControls() {
  MidiImport = std::make_shared<MidiImportSession>();

  // Beside the template buttons along the top of the panel.
  SpeedButton24 = MakeButton(PanelGuitarra, "SpeedButton24", "MIDI", {580, 21, 44, 24}, "Importar archivo MIDI");
  SpeedButton24->setContextMenuPolicy(Qt::CustomContextMenu);

  // Built in Spanish; the language switch words it (app/window/language.cpp).
  PopupMenu8 = new QMenu(this);
  PopupMenu8->setObjectName("PopupMenu8");
  MIDIinfo1 = PopupMenu8->addAction("Abrir nuevo MIDI");
  MIDIinfo1->setObjectName("MIDIinfo1");
  PopupMenu8->addSeparator();
  ForzarUnidad1 = PopupMenu8->addAction("Forzar unidad a:");
  ForzarUnidad1->setObjectName("ForzarUnidad1");
  ForzarUnidad1->setEnabled(false);
  for (const UnitItem& u : kUnitItems) {
    QAction* a = PopupMenu8->addAction(QString::fromUtf8(u.caption));
    a->setObjectName(u.name);
    a->setCheckable(true);
    this->*u.action = a;
    connect(a, &QAction::triggered, this, [this, unit = u.unit] {
      MidiImport->MidiBeatUnit = unit;
      CheckMidiUnitItem(unit);
    });
  }
  CheckMidiUnitItem(kMidiUnitQuarter);
  // "Abrir nuevo MIDI": the next import asks for a file; the check mark stays.
  connect(MIDIinfo1, &QAction::triggered, this, [this] { MidiImport->MidiBeatUnit = kMidiUnitFromFile; });

  connect(SpeedButton24, &QPushButton::clicked, this, [this] { SpeedButton24Click(); });
  connect(SpeedButton24, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu8->popup(SpeedButton24->mapToGlobal(pos)); });
}

void TMainForm::CheckMidiUnitItem(uint16_t unit) {
  for (const UnitItem& u : kUnitItems) (this->*u.action)->setChecked(u.unit == unit);
}

void TMainForm::ResetMidiImport() {
  ResetMidiBeatUnit(*MidiImport);
  CheckMidiUnitItem(kMidiUnitQuarter);
}

void TMainForm::SpeedButton24Click() {
  MidiImportSession& s = *MidiImport;
  GuitarState& g = *Guitar;
  // The track in the panel must be the selected theme's: the import replaces it.
  const int tema = SGTemas->Row() - 1;
  if (!Guitarra1->isChecked() || GuitarTema < 0 || tema != GuitarTema || DataSet.DataSetName != GuitarSetName)
    return;
  const std::string folder = WorkingFolder();

  if (BeginMidiImport(s, Rhythm->Temas[static_cast<size_t>(tema)], tema) == MidiImportStart::Reimport) {
    // The unit menu just above the button; a unit picked there is in force.
    const QPoint at = SpeedButton24->mapToGlobal(QPoint(0, -36));
    if (RunMidiUnitMenu)
      RunMidiUnitMenu(at);
    else
      PopupMenu8->exec(at);
    QApplication::processEvents();
  }

  std::string why;
  if (MidiNeedsFileDialog(s)) {
    FileDialogRequest r;
    r.title = Tr("Importar archivo MIDI", "Import MIDI file");
    r.initialDir = FromFs(MidiFolder(folder));
    r.filter = "Archivos Midi|*.mid";
    const QString name = dialogs->OpenFileName(r);
    if (name.isEmpty()) {
      // Nothing imported: the report is emptied all the same.
      WriteMidiReport(folder, {}, &why);
      ShowGuitarModified();
      return;
    }
    s.FilePath = FsPath(name);
  }

  std::vector<uint8_t> bytes;
  if (!LoadMidiFile(s.FilePath, &bytes, &why)) {
    dialogs->ShowMessage(Tr("No se puede abrir el archivo:\r\n", "I cannot open the file:\r\n") + FromFs(s.FilePath) +
                         "\r\n" + QString::fromLocal8Bit(why.c_str()));
    return;
  }

  const MidiImportResult r = RunMidiImport(s, *Rhythm, tema, g, GuitarAudio->Tuning, bytes);
  // The report is only a trace of the file: a folder that cannot take it
  // does not stop the import.
  WriteMidiReport(folder, r.log, &why);
  CheckMidiUnitItem(s.MidiBeatUnit);

  if (!r.taken) {
    // Nothing changed: the track, the theme and the modified mark stay.
    const std::string text = MidiFailureText(r, English);
    const QString message = QString::fromLatin1(text.c_str());
    Log("MIDI: " + message);
    dialogs->ShowMessage(message);
    ShowGuitarModified();
    return;
  }
  Log("MIDI: " + QString::fromLatin1((English ? r.choiceEn : r.choiceEs).c_str()));
  // The theme grew and took the file's tempos; the track starts at bar 1.
  // The sequence grid, the sequence in play and the compás counter show the
  // new repetitions at once.
  FillSequenceGrid(tema);
  if (Engine->PlayState == 0) {
    SGSaco->Select(1, 1);
    SGSacoSelectCell(1, 1);
  }
  ShowCompasCounter();
  ShowGuitarBarLabel();
  SetGuitarScrollBar();
  RefrescaTG();
  RefrescaCG();
  ShowGuitarBeatLabel();
  Cambios();
  ShowGuitarModified();
}
