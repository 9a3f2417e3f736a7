// The WAV export's window steps that both editions' main windows take alike:
// its start, the export dialog's request and the report of what the export
// came to.
// The file itself is written by ExportThemeToFile (engine/wav_export.h).
//
// The templates take either edition's main window; what they use of it is
// stated by the concept ExportWindow below.
#pragma once

#include <QString>
#include <concepts>
#include <string>

#include "platform/ui/string_grid.h"
#include "engine/engine_state.h"
#include "engine/transport.h"
#include "engine/wav_export.h"
#include "platform/files/text.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/window_concepts.h"
#include "rhythm/records.h"

// What the export's steps use of a window, under the same names in both
// editions: the theme grid SGTemas, the state (Engine read only, Deck the
// transport, Rhythm), the stop handler Stop1Click, the message boxes, the
// log and the texts in the language in force.
template <class Form>
concept ExportWindow =
    PlayStateWindow<Form> && WordedWindow<Form> && LoggingWindow<Form> && AskingWindow<Form> && requires(Form& f) {
      { f.SGTemas } -> std::convertible_to<StringGrid*>;
      { f.Rhythm } -> std::convertible_to<const RhythmTables*>;
      f.Stop1Click();
    };

// The export's start: playback stops, the beats go to the start of the first
// half, and the theme selected in SGTemas becomes the theme in play (the one
// whose gain a clip lowers). Returns its index (-1 for none).
template <ExportWindow Form>
int BeginWavExport(Form& f) {
  f.Stop1Click();
  f.Deck->RewindOutput();
  f.Deck->SelectTheme(f.SGTemas->Row() - 1);
  return f.Rhythm->CurrentTema;
}

// The export dialog's request: its title, the folder it opens in, the filter
// and the offered name, made of the theme selected in SGTemas, `tempoText`
// and the click preset's code.
template <ExportWindow Form>
FileDialogRequest WavExportRequest(Form& f, const QString& folder, const QString& tempoText) {
  FileDialogRequest req;
  req.title = f.Tr("Exportar WAV", "Export WAV");
  req.initialDir = folder;
  req.filter = "WAV|*.wav";
  req.defaultName = L1(DefaultExportName(ToL1(f.SGTemas->Cells(1, f.SGTemas->Row())), ToL1(tempoText),
                                         f.Engine->Controls.ClickPatternCode));
  return req;
}

// The end of an export to `path`: a success is logged as saved; a failure
// is told in a message box, which names the format's size limit when
// `tellTooLong` and the theme was too long for it.
template <ExportWindow Form>
void TellWavExport(Form& f, const std::string& path, const WavExportResult& r, bool tellTooLong) {
  if (r.ok) {
    f.Log(f.English ? "File : " + FromFs(path) + " saved" : "Archivo : " + FromFs(path) + " guardado");
  } else if (tellTooLong && r.tooLong) {
    f.dialogs->ShowMessage(f.Tr("El tema es demasiado largo para un archivo WAV (4 GB):\r\n",
                                "The song is too long for a WAV file (4 GB):\r\n") +
                           FromFs(path));
  } else {
    f.dialogs->ShowMessage(f.Tr("No se puede guardar el archivo:\r\n", "I cannot save the file:\r\n") +
                           FromFs(r.error));
  }
}
