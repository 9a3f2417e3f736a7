#include "content/manual.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <filesystem>
#include <vector>

#include "platform/files/atomic_file.h"

namespace {

struct Section {
  const char* title;
  std::vector<const char*> paragraphs;  // a paragraph starting with "- " is a list item
};

// Written in both of the program's languages: Spanish first, then English.
const std::vector<Section>& Sections() {
  static const std::vector<Section> s = {
      {"Manual de DRAV_PROF",
       {"DRAV_PROF es un metrónomo para el flamenco: toca el compás de cada palo con sonidos grabados, "
        "encadena fórmulas en temas y guarda todo en conjuntos de datos."}},
      {"Abrir y guardar",
       {"- Archivo > Abrir: elige un conjunto de datos (archivo .vl2 de la carpeta datos).",
        "- Archivo > Nuevo: empieza un conjunto vacío llamado Nuevo.",
        "- Archivo > Guardar y Guardar como ...: guardan el conjunto. El botón Guardar todo del panel "
        "Metrónomo aparece cuando hay cambios sin guardar.",
        "- Archivo > Deshacer cambios: vuelve a leer el conjunto tal como está en el disco.",
        "Al salir, el programa pregunta si quiere guardar los cambios."}},
      {"Tocar",
       {"- F11: toca la fórmula elegida en el panel Fórmulas.",
        "- F10: toca el tema elegido en el panel Temas, con su intro, sus partes y su final.",
        "- F12 o Esc: para.",
        "El tempo de la fórmula se cambia con la barra del panel Metrónomo o escribiendo los bpm; el del "
        "tema con la barra del panel Temas."}},
      {"Los paneles",
       {"Cada panel (Metrónomo, Temas, Fórmulas, Pistas, Onda, Sonidos, Afinador, Guitarra) se muestra y "
        "se oculta desde el menú Ver, o se cierra con su X roja. Se mueve arrastrándolo con el ratón.",
        "- Fórmulas: la lista de fórmulas (patrones de compás).",
        "- Pistas: los golpes de cada pista de la fórmula, con su sonido, volumen, panorama, mute y solo.",
        "- Temas: la lista de temas y sus compases (fórmula, veces, tempo y aceleración).",
        "- Sonidos: los sonidos del conjunto y el banco de sonidos."}},
      {"Idioma y ayuda",
       {"El menú Idiomas cambia todos los textos entre español e inglés; la elección se recuerda. "
        "F1 abre este manual."}},
      {"DRAV_PROF user manual",
       {"DRAV_PROF is a metronome for flamenco: it plays the compás of each style with recorded sounds, "
        "chains formulas into songs and keeps everything in data sets."}},
      {"Opening and saving",
       {"- File > Open: choose a data set (a .vl2 file of the datos folder).",
        "- File > New: starts an empty set named Nuevo.",
        "- File > Save and Save as ...: save the set. The Save all button of the Metronome panel shows "
        "while there are unsaved changes.",
        "- File > Undo changes: reads the set again as it is on disk.",
        "On exit the program asks whether to save the changes."}},
      {"Playing",
       {"- F11: plays the formula chosen in the Formulas panel.",
        "- F10: plays the song chosen in the Songs panel, with its intro, parts and ending.",
        "- F12 or Esc: stops.",
        "The formula's tempo is set with the slider of the Metronome panel or by typing the bpm; the song's "
        "with the slider of the Songs panel."}},
      {"The panels",
       {"Each panel (Metronome, Songs, Formulas, Tracks, Wave, Sounds, Tuner, Guitar) is shown and hidden "
        "from the View menu, or closed with its red X. Drag it with the mouse to move it.",
        "- Formulas: the list of formulas (compás patterns).",
        "- Tracks: the strokes of each track of the formula, with its sound, volume, pan, mute and solo.",
        "- Songs: the list of songs and their bars (formula, count, tempo and acceleration).",
        "- Sounds: the sounds of the set and the sound bank."}},
      {"Language and help",
       {"The Languages menu switches every text between Spanish and English; the choice is remembered. "
        "F1 opens this manual."}},
  };
  return s;
}

}  // namespace

QString ManualHtml() {
  QString html = "<html><body style=\"font-family: 'DejaVu Sans', sans-serif; font-size: 11pt;\">";
  bool first = true;
  for (const Section& s : Sections()) {
    const bool top = QString::fromUtf8(s.title).contains("DRAV_PROF");
    if (top && !first) html += "<br/><hr/>";
    html += top ? "<h1>" : "<h2>";
    html += QString::fromUtf8(s.title).toHtmlEscaped();
    html += top ? "</h1>" : "</h2>";
    bool inList = false;
    for (const char* para : s.paragraphs) {
      const QString text = QString::fromUtf8(para);
      const bool item = text.startsWith("- ");
      if (item && !inList) html += "<ul>";
      if (!item && inList) html += "</ul>";
      inList = item;
      html += item ? "<li>" + text.mid(2).toHtmlEscaped() + "</li>" : "<p>" + text.toHtmlEscaped() + "</p>";
    }
    if (inList) html += "</ul>";
    first = false;
  }
  html += "</body></html>";
  return html;
}

QByteArray ManualPdf() {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setTitle("Manual DRAV_PROF");
    pdf.setCreator("Velarto Quendrel");
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    pdf.setResolution(300);
    QTextDocument doc;
    doc.setHtml(ManualHtml());
    doc.print(&pdf);
  }
  buffer.close();
  return bytes;
}

bool WriteManual(const std::string& root, std::string* error) {
  const QByteArray pdf = ManualPdf();
  if (!pdf.startsWith("%PDF")) {
    if (error) *error = "the manual could not be laid out";
    return false;
  }
  const std::string path = (std::filesystem::path(root) / kManualFileName).string();
  return WriteFileAtomically(path, std::vector<uint8_t>(pdf.begin(), pdf.end()), error);
}
