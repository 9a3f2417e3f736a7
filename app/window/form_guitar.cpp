// The guitar panel's track: opening the panel on the selected theme and
// closing it (with the save question), the beat and bar menu, guitar
// templates and the copy of a whole theme's guitar file.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/window/mainform.h"
#include "platform/ui/string_grid.h"
#include "guitar/clipboard.h"
#include "guitar/window/tab_chart.h"
#include "platform/files/text.h"
#include "rhythm/window/editor_handlers.h"

namespace {
// The file label: blue while the theme's file exists, red while it does not.
void ColourFileLabel(QLabel* l, bool found) {
  l->setStyleSheet(QString("QLabel { color: white; background-color: %1; padding-left: 2px; }")
                       .arg(found ? "rgb(0, 64, 128)" : "rgb(255, 0, 0)"));
}

// The file label shows the theme's file name, its hint the path.
void NameFileLabel(QLabel* l, const GuitarState& g, const Tema* t) {
  l->setText(t ? L1(t->Name()) + ".gtr" : QString());
  l->setToolTip(FromFs(g.GuitarTrackPath));
}
}  // namespace

void TMainForm::Guitarra1Click() {
  if (Guitarra1->isChecked())
    CloseGuitarPanel();
  else
    OpenGuitarPanel();
}

void TMainForm::OpenGuitarPanel() {
  ResetMidiImport();
  const int t = SGTemas->Row() - 1;
  // The first compás of the theme: its formula becomes the one in use.
  if (Engine->PlayState == 0 && FormulaEd.ShownTema == t && editor_steps::ShownEntryCount(*this) > 0) {
    SGSaco->Select(1, 1);
    SGSacoSelectCell(1, 1);
  }
  GuitarTema = t >= 0 && t < TemaCount() ? t : -1;
  GuitarSetName = DataSet.DataSetName;
  GuitarState& g = *Guitar;
  const bool found = OpenGuitarTrack(g, *Rhythm, GuitarTema, DataSet.DataSetName);
  NameFileLabel(LFGuitarra, g, GuitarTema >= 0 ? &Rhythm->Temas[static_cast<size_t>(GuitarTema)] : nullptr);
  ColourFileLabel(LFGuitarra, found);

  TogglePanel(PanelGuitarra, Guitarra1, false);
  Deck->SetGuitarOn(true);
  ShowGuitarModified();
  g.MarkedBeats = 0;
  ShowMarkedBeats();

  Chart1->LeftInverted = CBTab->isChecked();
  Chart2->LeftInverted = CBTab->isChecked();
  ShowGuitarBarLabel();
  SetGuitarScrollBar();
  RefrescaTG();
  RefrescaCG();
  ShowGuitarBeatLabel();
  PanelGuitarra->raise();
}

void TMainForm::CloseGuitarPanel() {
  ResetMidiImport();
  HideEditBox();
  GuitarState& g = *Guitar;
  if (Engine->PlayState == 0 && FormulaEd.ShownTema == GuitarTema && GuitarTema >= 0 &&
      editor_steps::ShownEntryCount(*this) > 0) {
    SGSaco->Select(1, 1);
    SGSacoSelectCell(1, 1);
  }
  // The track is saved under the name its theme has now: the theme it was
  // opened on, whichever theme the grid has moved to since. Once another set
  // has been opened the tables hold other themes: the file stays the one
  // the track was read from.
  if (GuitarTema >= 0 && GuitarTema < kMaxTemas && DataSet.DataSetName == GuitarSetName) {
    Tema& t = Rhythm->Temas[static_cast<size_t>(GuitarTema)];
    PrepareGuitarClose(g, t, DataSet.DataSetName);
    NameFileLabel(LFGuitarra, g, &t);
  }
  TogglePanel(PanelGuitarra, Guitarra1, false);
  Deck->SetGuitarOn(false);
  GuitarCursorTimer->stop();
  if (g.Modified) BGuardaGClick();
  ReleaseGuitarBars(g);
  GuitarTema = -1;
}

void TMainForm::LimpiaTG() { ClearTiempoG(Guitar->CurrentTiempoG); }

void TMainForm::ShowGuitarModified() {
  BGuardaG->setVisible(Guitar->Modified);
  TapaRecG->setVisible(!Guitar->Modified);
  if (TapaRecG->isVisible()) TapaRecG->raise();
}

void TMainForm::ShowMarkedBeats() {
  const bool none = Guitar->MarkedBeats <= 0;
  TapaRellena->setVisible(none);
  TapaRecPlantilla->setVisible(none);
  if (none) {
    TapaRellena->raise();
    TapaRecPlantilla->raise();
  }
}

void TMainForm::BGuardaGClick() {
  // The same words in both languages.
  const QString question = QString::fromUtf8(" ¿ Quiere guardar el tema de guitarra ") + LFGuitarra->text();
  if (dialogs->Ask(question, QString(), AskButtons::YesNo) != kAnswerYes) return;
  std::string why;
  if (!SaveGuitarTrack(*Guitar, &why)) {
    // Nothing was written: the mark stays, so the question comes again.
    dialogs->ShowMessage(Tr("No se pudo guardar el archivo de guitarra:\r\n", "The guitar file could not be saved:\r\n") +
                         FromFs(Guitar->GuitarTrackPath) + "\r\n" + QString::fromLocal8Bit(why.c_str()));
    return;
  }
  ColourFileLabel(LFGuitarra, true);
  ShowGuitarModified();
}

// --- the beat and bar menu -------------------------------------------------------

namespace {
// After an operation on the track: both views and the modified mark.
void AfterTrackChange(TMainForm* f) {
  f->RefrescaTG();
  f->RefrescaCG();
  f->ShowGuitarModified();
}
}  // namespace

void TMainForm::CopiarTiempoGClick() { CopyGuitarBeat(*Guitar); }

void TMainForm::PegarTiempoGClick() {
  if (PasteGuitarBeat(*Guitar)) AfterTrackChange(this);
}

void TMainForm::Insertartiempo1Click() {
  if (InsertGuitarBeat(*Guitar)) AfterTrackChange(this);
}

void TMainForm::Vaciartiempo1Click() {
  if (EmptyGuitarBeat(*Guitar)) AfterTrackChange(this);
}

void TMainForm::Elminartiempo1Click() {
  if (DeleteGuitarBeat(*Guitar)) AfterTrackChange(this);
}

void TMainForm::CopiarCompasGClick() { CopyGuitarBar(*Guitar); }

void TMainForm::PegarCompasGClick() {
  // The beat view too: it shows the beat the paste has just replaced.
  if (PasteGuitarBar(*Guitar)) AfterTrackChange(this);
}

void TMainForm::Insertarcompas1Click() {
  if (InsertGuitarBar(*Guitar)) AfterTrackChange(this);
}

void TMainForm::Vaciarcompas1Click() {
  if (EmptyGuitarBar(*Guitar)) AfterTrackChange(this);
}

void TMainForm::Eliminarcompas1Click() {
  if (DeleteGuitarBar(*Guitar)) AfterTrackChange(this);
}

// --- templates -----------------------------------------------------------------

namespace {
FileDialogRequest TemplateDialog(const QString& title) {
  FileDialogRequest r;
  r.title = title;
  r.initialDir = QDir::current().filePath("Plantillas");
  r.filter = "Plantillas de guitarra|*.pgt";
  return r;
}
}  // namespace

void TMainForm::RecPlantillaClick() {
  if (Guitar->MarkedBeats <= 0) return;
  const QString name = dialogs->SaveFileName(TemplateDialog(Tr("Guardar plantilla", "Save template")));
  if (name.isEmpty()) return;
  std::string why;
  if (!SaveGuitarTemplate(*Guitar, FsPath(name), &why)) {
    dialogs->ShowMessage(Tr("No se pudo guardar la plantilla:\r\n", "The template could not be saved:\r\n") + name +
                         "\r\n" + QString::fromLocal8Bit(why.c_str()));
    return;
  }
  TapaRecPlantilla->setVisible(true);
  TapaRecPlantilla->raise();
}

void TMainForm::AbrePlantillaClick() {
  if (Guitar->GuitarBars.empty()) return;
  const QString name = dialogs->OpenFileName(TemplateDialog(Tr("Pegar plantilla", "Paste template")));
  if (name.isEmpty()) return;
  if (!PasteGuitarTemplate(*Guitar, FsPath(name))) {
    dialogs->ShowMessage(Tr("No se puede abrir el archivo:\r\n", "I cannot open the file:\r\n") + name);
    return;
  }
  // The pasted beats are a change to save; both views show them.
  ShowGuitarModified();
  RefrescaTG();
  RefrescaCG();
}

// --- a whole theme's guitar file -------------------------------------------------

void TMainForm::CopiarGuitarra1Click() { CopyGuitarTheme(*Guitar, SGTemas->Row()); }

void TMainForm::PegarGuitarra1Click() {
  std::string why;
  // Nothing is told when the remembered theme has no file or the copy fails.
  PasteGuitarTheme(*Guitar, *Rhythm, TemaCount(), DataSet.DataSetName, SGTemas->Row(), &why);
}
