#include "basic/window/basic_language.h"

#include <QTabWidget>
#include <cstdlib>
#include <cstring>
#include <string>

namespace bornace {

namespace {

// Rows of the basic edition that differ from the professional window's or
// that only it has.
const std::vector<LanguageRow> kBasicRows = {
    {"cb3d", "caption", "Stereo", "Estéreo"},
    {"P1", "caption", "Play Song", "Play Tema"},
    {"PlayFrmula1", "caption", "Play Formula", "Play Fórmula"},
    {"Label5", "caption", "Accents >", "Acentos >"},
    {"botonrec", "caption", "Save all", "Guardar todo"},
    {"BEnvia", "caption", "Send data to Metronome", "Enviar datos al Metrónomo"},
    {"BEnvia", "hint", "Send the present configuration to Velarto", "Enviar la configuración actual al Velarto"},
    {"botonplay", "hint", "Play formula", "Oir fórmula"},
    {"BotonPlayComp", "hint", "Play song", "Oir tema"},
    {"GroupBox1", "caption", "Metronome", "Metrónomo"},
    {"GroupBox2", "caption", "Formulas", "Fórmulas"},
    {"GroupBox3", "caption", "Songs", "Temas"},
    {"BotonQuita", "caption", "Remove formula", "Quitar fórmula"},
    {"BotonPoneAntes", "caption", "Add before", "Añadir antes"},
    {"BotonPoneDespues", "caption", "Add after", "Añadir después"},
    {"SpeedButton6", "caption", "Save as WAV", "Guardar como WAV"},
    {"TabSheet1", "caption", "Metronome", "Metrónomo"},
    {"TabSheet2", "caption", "Tuner", "Afinador"},
    {"TabSheet3", "caption", "Sounds", "Sonidos"},
    {"Afinar1", "caption", "Tuner", "Afinar"},
    {"Afinar2", "caption", "Tuner", "Afinar"},
    {"Ayuda2", "caption", "Manuals", "Manuales"},
    {"Velarto1", "caption", "DRAV ( Device )", "DRAV ( Dispositivo )"},
    {"guiarapida", "caption", "Quick Start Guide for DRAV", "Guía Rápida del DRAV"},
    {"GuaRpidadelPELN1", "caption", "Quick Start Guide for DRAV", "Guía Rápida del DRAV"},
    {"ManualBORNACEPELN1", "caption", "BORNACE_DRAV", "BORNACE_DRAV"},
    {"ManualPC", "fileName", "BORNACE_DRAV user manual.pdf", "Manual BORNACE_DRAV para Windows.pdf"},
    {"Notacion", "fileName", "Notation.pdf", "Notación.pdf"},
    {"PELN", "fileName", "Users Manual_DRAV_V1.01.pdf", "Manual_DRAV_V1.02.pdf"},
    {"guiarapida", "fileName", "Quick Start Guide.pdf", "Guia Rápida.pdf"},
    {"SGDatosFormula", "cell:0,0", "Track", "Pista"},
    {"SGSaco", "cell:1,0", "BPM", "BPM"},
    {"SGSaco", "cell:2,0", "Name", "Nombre"},
    // The rest of the basic window's own texts.
    {"Recibir1", "caption", "Receive data from Metronome", "Recibir datos del Metrónomo"},
    {"Label9", "caption", "Volume", "Volumen"},
    {"Label10", "caption", "bpm", "bpm"},
    {"Label12", "caption", "Subdivisions", "Subdivisiones"},
    {"Label17", "caption", "Sounds of the set", "Sonidos del conjunto"},
    {"Mastil", "caption", "Fretboard", "Mástil"},
    {"Afinador", "caption", "Tuner", "Afinador"},
};

// Elements of the professional window's rows that the basic switch leaves
// alone: the "Ver" menu, the panel captions, the guitar panel, the import of
// the older generation and the professional layout's captions (Label32,
// Label33, Label38 to Label47).
bool LeftOut(const LanguageRow& r) {
  static const char* const kNames[] = {
      // The "Ver" menu, the older import, the split captions of the save
      // button, and the update item (the handlers word it themselves).
      "Ver1", "Metrnomo1", "Temas1", "Frmulas1", "Pistas1", "Onda1", "Sonidos1", "Afinador1", "Guitarra1",
      "ImportarPELNv1", "Label32", "Label33", "ActualizarBORNACEPELN1",
      // The guitar panel.
      "Label48", "Label31", "SpeedButton11", "SpeedButton13", "SpeedButton14", "SpeedButton15", "SpeedButton16",
      "SpeedButton17", "SpeedButton18", "SpeedButton19", "SpeedButton20", "SpeedButton24", "BGuardaAcorde",
      "TBRetardo", "BInvertir", "RellenaAcorde", "CBModo", "SGAcordes", "CBAcordes", "TBFuerza",
      "CopiarTiempoG", "PegarTiempoG", "Insertartiempo1", "Vaciartiempo1", "Elminartiempo1", "CopiarCompasG",
      "PegarCompasG", "Insertarcompas1", "Vaciarcompas1", "Eliminarcompas1", "Copiar1", "Pegar1",
      "Invertirretardo1", "Vaciar1", "Deshacer1", "MIDIinfo1", "ForzarUnidad1", "Blanca1", "Negrap1", "Negra1",
      "Corcheap1", "Corchea1", "CopiarGuitarra1", "PegarGuitarra1",
      // The professional save button's disabled stand-in and the tip of its
      // export button (the basic one says it in its caption).
      "TapaRec", "SpeedButton6"};
  for (const char* n : kNames)
    if (std::strcmp(r.component, n) == 0) return true;
  if (std::strncmp(r.component, "Panel", 5) == 0) return true;
  if (r.pending != nullptr) return true;  // rows of parts the professional window still builds
  if (std::strncmp(r.component, "Label", 5) == 0) {
    const int n = std::atoi(r.component + 5);
    if (n >= 38 && n <= 47) return true;
  }
  return false;
}

bool SameElement(const LanguageRow& a, const LanguageRow& b) {
  return std::strcmp(a.component, b.component) == 0 && std::strcmp(a.property, b.property) == 0;
}

std::vector<LanguageRow> Build() {
  std::vector<LanguageRow> rows;
  for (const LanguageRow& r : LanguageTable()) {
    if (LeftOut(r)) continue;
    bool replaced = false;
    for (const LanguageRow& b : kBasicRows) replaced = replaced || SameElement(r, b);
    if (!replaced) rows.push_back(r);
  }
  rows.insert(rows.end(), kBasicRows.begin(), kBasicRows.end());
  return rows;
}

}  // namespace

const std::vector<LanguageRow>& BasicLanguageTable() {
  static const std::vector<LanguageRow> rows = Build();
  return rows;
}

int ApplyBasicLanguageTable(QObject* root, bool english) {
  int applied = 0;
  for (const LanguageRow& row : BasicLanguageTable()) {
    if (ApplyLanguageRow(root, row, english)) {
      ++applied;
      continue;
    }
    // A page of a page control: its caption is its tab's text.
    auto* page = qobject_cast<QWidget*>(FindLanguageComponent(root, row.component));
    if (!page || std::strcmp(row.property, "caption") != 0) continue;
    for (QWidget* p = page->parentWidget(); p; p = p->parentWidget()) {
      auto* tabs = qobject_cast<QTabWidget*>(p);
      if (!tabs || tabs->indexOf(page) < 0) continue;
      tabs->setTabText(tabs->indexOf(page), QString::fromUtf8(english ? row.english : row.spanish));
      ++applied;
      break;
    }
  }
  return applied;
}

}  // namespace bornace
