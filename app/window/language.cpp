// The language switch: the table of every translated text of the main window
// and the two handlers that apply it.
#include "app/window/language.h"

#include <QAbstractButton>
#include <QAction>
#include <QHash>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <cstring>

#include "app/window/about.h"
#include "app/window/mainform.h"
#include "platform/ui/settings.h"
#include "app/window/startup_steps.h"
#include "platform/ui/string_grid.h"
#include "platform/files/text.h"
#include "engine/sound_bank.h"
#include "engine/transport.h"
#include "rhythm/editor_logic.h"
#include "rhythm/window/editor_handlers.h"

namespace {

// The parts of the program still to build the components of some rows.
constexpr const char* kGuitar = "guitar";

const std::vector<LanguageRow> kTable = {
    // Help menu item of the update page.
    {"ActualizarBORNACEPELN1", "caption", "Update DRAV_PROF", "Actualizar DRAV_PROF"},

    // Menu "Archivo".
    {"File", "caption", "File", "Archivo"},
    {"Nuevo1", "caption", "New", "Nuevo"},
    {"Abrir2", "caption", "Open", "Abrir"},
    {"ImportarTEMA1", "caption", "Import SONGS", "Importar TEMAS"},
    {"ImportarPELNv1", "caption", "Import DRAVv1 file", "Importar archivo DRAVv1"},
    {"Guardar1", "caption", "Save", "Guardar"},
    {"Guardarcomo1", "caption", "Save as ...", "Guardar como ..."},
    {"Deshacertodo1", "caption", "Undo changes", "Deshacer cambios"},
    {"Salir1", "caption", "Exit", "Salir"},

    // Menu "Ver".
    {"Ver1", "caption", "View", "Ver"},
    {"Metrnomo1", "caption", "Metronome", "Metrónomo"},
    {"Temas1", "caption", "Songs", "Temas"},
    {"Frmulas1", "caption", "Formulas", "Fórmulas"},
    {"Pistas1", "caption", "Tracks", "Pistas"},
    {"Onda1", "caption", "Wave", "Onda"},
    {"Sonidos1", "caption", "Sounds", "Sonidos"},
    {"Afinador1", "caption", "Tuner", "Afinador"},
    {"Guitarra1", "caption", "Guitar", "Guitarra"},

    // Menus "Idiomas" and "Ayuda", and the manual.
    {"Idiomas1", "caption", "Languages", "Idiomas"},
    {"Espaol1", "caption", "Spanish", "Español"},
    {"Ingls1", "caption", "English", "Inglés"},
    {"Ayuda1", "caption", "Help", "Ayuda"},
    {"Acercade1", "caption", "About Velarto Quendrel", "Acerca del Velarto Quendrel"},
    {"ManualPC", "fileName", "Manual DRAV_PROF.pdf", "Manual DRAV_PROF.pdf"},

    // Pop-up menu of the theme grid.
    {"Nuevotema1", "caption", "New song", "Nuevo tema"},
    {"Copiartema1", "caption", "Copy song", "Copiar tema"},
    {"Pegartema1", "caption", "Paste song", "Pegar tema"},
    {"Limpiartema1", "caption", "Clear song", "Limpiar tema"},
    {"Borrartema1", "caption", "Remove song", "Borrar tema"},
    {"Normalizar1", "caption", "Normalize all", "Normalizar todo"},
    {"Ordenarpornombre1", "caption", "Sort by names", "Ordenar por nombres"},

    // Pop-up menu of the formula grid.
    {"Nuevafrmula1", "caption", "New formula", "Nueva fórmula"},
    {"Copiarfrmula1", "caption", "Copy formula", "Copiar fórmula"},
    {"Pegarfrmula1", "caption", "Paste formula", "Pegar fórmula"},
    {"Limpiarfrmula1", "caption", "Clear formula", "Limpiar fórmula"},
    {"Borrarfrmula1", "caption", "Remove formula", "Borrar fórmula"},
    {"Ordenarpornombre2", "caption", "Sort by names", "Ordenar por nombres"},

    // Pop-up menu of the pattern grid.
    {"Copiarpista1", "caption", "Copy track", "Copiar pista"},
    {"Pegarpista1", "caption", "Paste track", "Pegar pista"},
    {"Limpiarpista1", "caption", "Clear track", "Limpiar pista"},
    {"Copiartiempo1", "caption", "Copy beat", "Copiar tiempo"},
    {"Pegartiempo1", "caption", "Paste beat", "Pegar tiempo"},
    {"Limpiartiempo1", "caption", "Clear beat", "Limpiar tiempo"},

    // Pop-up menus of the sound lists.
    {"Aadir1", "caption", "Add ->", "Añadir ->"},
    {"Eliminar1", "caption", "<-- Remove", "<-- Quitar"},
    {"Arriba1", "caption", "Move up", "Subir"},
    {"Bajar1", "caption", "Move down", "Bajar"},
    {"Cambiar1", "caption", "<--> Change", "<--> Cambiar"},

    // Panel captions.
    {"PanelMetronomo", "caption", "   Velarto ", "   Velarto "},
    {"PanelTemas", "caption", "   Songs ", "   Temas "},
    {"PanelFormulas", "caption", "   Formulas", "   Fórmulas"},
    {"PanelPistas", "caption", "   Tracks ", "   Pistas "},
    {"PanelAfinador", "caption", "   Tuner ", "   Afinador "},
    {"PanelGuitarra", "caption", "   Guitar ", "   Guitarra "},

    // Metronome panel.
    {"Label13", "caption", "Sounds", "Sonidos"},
    {"Label6", "caption", "Level", "Nivel"},
    {"SpeedButton10", "caption", "Foot", "Pie"},
    {"Label32", "caption", "Save", "Guardar"},
    {"Label33", "caption", "all", "todo"},
    {"botonrec", "hint", "Save the present configuration", "Guarda la configuración actual"},
    {"botonrec", "caption", "Save", "Guardar"},
    // The save button as it shows while nothing has changed.
    {"TapaRec", "caption", "Save", "Guardar"},
    {"TapaRec", "hint", "Nothing to save: the set has no changes", "Nada que guardar: el conjunto no tiene cambios"},

    // Theme panel.
    {"Label11", "caption", "Play mode", "Reproducción"},
    {"RadioButton2", "caption", "Random", "Aleatoria"},
    {"menostema", "hint", "Previous song", "Tema anterior"},
    {"BotonPlayComp", "hint", "Play song - F10", "Play tema - F10"},
    {"mastema", "hint", "Next song", "Tema siguiente"},
    {"LabeledEdit1", "label", "Find song", "Buscar tema"},
    {"Partes", "label", "Times", "Veces"},
    {"Label46", "caption", "Add", "Añadir"},
    {"Label47", "caption", "before", "antes"},
    {"BotonPoneAntes", "hint", "Insert the formula in the song BEFORE the selected compass.",
     "Insertar la fórmula en el tema ANTES del compás seleccionado."},
    {"Label42", "caption", "Add", "Añadir"},
    {"Label43", "caption", "after", "después"},
    {"BotonPoneDespues", "hint", "Insert the formula in the song AFTER the selected compass.",
     "Insertar la fórmula en el tema DESPUES del compás seleccionado."},
    {"Label40", "caption", "Remove", "Quitar"},
    {"Label41", "caption", "formula", "fórmula"},
    {"BotonQuita", "hint", "Remove formula of the song", "Quitar fórmula del tema"},
    {"LabelFin", "caption", "End", "Fin"},
    {"Estereo", "caption", "Stereo", "Estéreo"},
    {"botonpausa", "hint", "Pause", "Pausa"},
    {"SpeedButton6", "hint", "Export song to WAV", "Exportar tema a WAV"},
    {"Label38", "caption", "Save song", "Guardar tema"},
    {"Label39", "caption", "as WAV", "como WAV"},
    {"SGSaco", "cell:0,0", "Compass", "Compás"},
    {"SGSaco", "cell:1,0", "Name", "Nombre"},
    {"SGSaco", "cell:2,0", "BPM", "BPM"},
    {"SGSaco", "cell:3,0", "Formula", "Fórmula"},
    {"SGSaco", "cell:4,0", "Count", "Veces"},
    {"SGSaco", "cell:5,0", "IncT", "Acel."},

    // Formula panel.
    {"botonplay", "hint", "Play formula - F11", "Play fórmula - F11"},
    {"Label24", "caption", "Count", "Contar"},
    {"RBTiempo", "caption", "Beat", "Tiempo"},
    {"RBAcento", "caption", "Accent", "Acento"},
    {"Edit3", "label", "Find formula", "Buscar fórmula"},
    {"SGFormulas", "cell:0,0", "Number", "Numero"},
    {"SGFormulas", "cell:1,0", "Beats", "Tiempos"},
    {"SGFormulas", "cell:2,0", "Name", "Nombre"},
    {"SGFormulas", "cell:3,0", "Start", "Inicio"},

    // Tracks, sounds and tuner panels.
    {"SGDatosFormula", "cell:0,0", "Nº   L<- Pan ->R        Vol", "Nº   L<- Pan ->R        Vol"},
    {"SGDatosFormula", "cell:1,0", "Instrument", "Instrumento"},
    {"LasNotas", "caption", "Score", "Partitura"},
    {"PanelSonidos", "caption", "   Sounds ", "   Sonidos "},
    {"Label16", "caption", "Sounds bank", "Banco de sonidos"},
    // What the library's colours mean.
    {"LeyendaBanco", "caption", "In red: already in the set's list", "En rojo: ya están en la lista del conjunto"},
    {"LBwavs", "hint", "Red: the sound is already in the set's list. Green: it can be added. Grey: the list is full.",
     "Rojo: el sonido ya está en la lista del conjunto. Verde: se puede añadir. Gris: la lista está llena."},
    {"SpeedButton1", "hint", "Play sound", "Oir sonido"},
    {"Lnota", "caption", "Note", "Nota"},
    {"Lcuerda", "caption", "String", "Cuerda"},
    {"Ltraste", "caption", "Fret", "Traste"},

    // Guitar panel.
    {"Label44", "caption", "Compass", "Compás"},
    {"Label45", "caption", "Beat", "Tiempo"},
    {"Label48", "caption", "Divisions", "Divisiones"},
    {"SpeedButton13", "hint", "Previous compass", "Compás anterior"},
    {"SpeedButton14", "hint", "Next compass", "Compás siguiente"},
    {"SpeedButton18", "hint", "Previous beat", "Tiempo anterior"},
    {"SpeedButton17", "hint", "Next beat", "Tiempo siguiente"},
    {"SpeedButton19", "hint", "Minus divisions", "Menos divisiones"},
    {"SpeedButton20", "hint", "More divisions", "Más divisiones"},
    {"SpeedButton11", "hint", "Play from this compass", "Reproducir desde este compás"},
    {"SpeedButton24", "hint", "Import MIDI file", "Importar archivo MIDI"},
    {"GuitarStop", "hint", "Stop - F12", "Stop - F12"},
    {"SpeedButton21", "hint", "Capo one fret up", "Cejilla un traste más"},
    {"SpeedButton22", "hint", "Capo one fret down", "Cejilla un traste menos"},
    {"BGuardaG", "hint", "Save the guitar file", "Guarda el archivo de guitarra"},
    {"TapaRecG", "hint", "Nothing to save: the guitar track has no changes",
     "Nada que guardar: la pista de guitarra no tiene cambios"},
    {"AbrePlantilla", "hint", "Paste template", "Pegar plantilla"},
    {"RecPlantilla", "hint", "Save template", "Guardar plantilla"},
    {"TapaRecPlantilla", "hint", "Save template: first mark beats below the bar view's strings",
     "Guardar plantilla: marque antes tiempos bajo las cuerdas de la vista del compás"},
    {"TapaRellena", "hint", "Fill with chord: first mark beats below the bar view's strings",
     "Rellenar con acorde: marque antes tiempos bajo las cuerdas de la vista del compás"},
    {"BGuardaAcorde", "hint", "Save chord", "Guardar acorde"},
    {"Label31", "caption", "Chord", "Acorde"},
    {"CBAcordes", "hint", "Chord", "Acorde"},
    {"TBFuerza", "hint", "Strength", "Fuerza"},
    {"TBRetardo", "hint", "% of delay", "% de retardo"},
    {"BInvertir", "hint", "Invert delay", "Invertir retardo"},
    {"SpeedButton15", "hint", "Paste chord to tablature", "Pegar acorde en tablatura"},
    {"SpeedButton16", "hint", "Copy tablature to chord", "Copiar tablatura en acorde"},
    {"RellenaAcorde", "hint", "Fill the block with chord", "Rellenar bloque con acorde"},
    {"CBModo", "items", "Normal\nLegato\nThud\nSilence", "Normal\nLigado\nTapado\nSilencio"},
    // The guitar panel's menus: the bar view's beat and bar menu (the copy
    // and paste items take their numbers when the menu opens) and the
    // tablature's division menu.
    {"CopiarTiempoG", "caption", "Copy beat", "Copiar tiempo"},
    {"PegarTiempoG", "caption", "Paste beat", "Pegar tiempo"},
    {"Insertartiempo1", "caption", "Insert beat", "Insertar tiempo"},
    {"Vaciartiempo1", "caption", "Empty beat", "Vaciar tiempo"},
    {"Elminartiempo1", "caption", "Remove beat", "Elminar tiempo"},
    {"CopiarCompasG", "caption", "Copy compass", "Copiar compás"},
    {"PegarCompasG", "caption", "Paste compass", "Pegar compás"},
    {"Insertarcompas1", "caption", "Insert compass", "Insertar compás"},
    {"Vaciarcompas1", "caption", "Empty compass", "Vaciar compás"},
    {"Eliminarcompas1", "caption", "Remove compass", "Eliminar compás"},
    {"Copiar1", "caption", "Copy", "Copiar"},
    {"Pegar1", "caption", "Paste", "Pegar"},
    {"Invertirretardo1", "caption", "Invert delay", "Invertir retardo"},
    {"Vaciar1", "caption", "Empty", "Vaciar"},
    {"Deshacer1", "caption", "Undo", "Deshacer"},
    // The MIDI button's menu: a new file, or the beat unit to force.
    {"MIDIinfo1", "caption", "Open new MIDI", "Abrir nuevo MIDI"},
    {"ForzarUnidad1", "caption", "Force unit to:", "Forzar unidad a:"},
    {"Blanca1", "caption", "Half note", "Blanca"},
    {"Negrap1", "caption", "Dotted quarter note", "Negra con puntillo"},
    {"Negra1", "caption", "Quarter note", "Negra"},
    {"Corcheap1", "caption", "Dotted eighth note", "Corchea con puntillo"},
    {"Corchea1", "caption", "Eighth note", "Corchea"},
    {"UnificaPistas1", "caption", "Unify tracks", "Unificar Pistas"},
    {"CopiarGuitarra1", "caption", "Copy guitar", "Copiar Guitarra"},
    {"PegarGuitarra1", "caption", "Paste guitar", "Pegar Guitarra"},
    {"SGAcordes", "cell:0,0", "Note", "Nota"},
    {"SGAcordes", "cell:1,0", "String", "Cuerda"},
    {"SGAcordes", "cell:2,0", "Fret", "Traste"},
    {"SGAcordes", "cell:3,0", "Strong", "Fuerza"},
    {"SGAcordes", "cell:4,0", "Mode", "Modo"},
    {"SGAcordes", "cell:5,0", "Delay", "Retardo"},
};

// Every component is found by the name the table gives it.
const char* AliasOf(const char*) { return nullptr; }

bool ParseCell(const char* property, int* col, int* row) {
  static const QRegularExpression re("^cell:(\\d+),(\\d+)$");
  const QRegularExpressionMatch m = re.match(QString::fromLatin1(property));
  if (!m.hasMatch()) return false;
  *col = m.captured(1).toInt();
  *row = m.captured(2).toInt();
  return true;
}

// The attached label of a labelled edit box: the label whose buddy it is,
// else a label of its own, else the label named after it ("<name>Label" or
// "Label<name>").
QLabel* AttachedLabel(QObject* component) {
  auto* w = qobject_cast<QWidget*>(component);
  if (!w || qobject_cast<QLabel*>(w)) return nullptr;
  QWidget* top = w->window();
  for (QLabel* l : top->findChildren<QLabel*>())
    if (l->buddy() == w) return l;
  if (auto* own = w->findChild<QLabel*>()) return own;
  if (auto* l = top->findChild<QLabel*>(w->objectName() + "Label")) return l;
  return top->findChild<QLabel*>("Label" + w->objectName());
}

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

}  // namespace

const std::vector<LanguageRow>& LanguageTable() { return kTable; }

bool LanguageIsEnglish(const QString& value) {
  return value.compare(QLatin1String("english"), Qt::CaseInsensitive) == 0 ||
         value.compare(QLatin1String("ingles"), Qt::CaseInsensitive) == 0;
}

QObject* FindLanguageComponent(QObject* root, const char* name) {
  if (!root) return nullptr;
  if (QObject* o = root->findChild<QObject*>(QString::fromLatin1(name))) return o;
  if (const char* alias = AliasOf(name)) return root->findChild<QObject*>(QString::fromLatin1(alias));
  return nullptr;
}

bool LanguagePropertyApplies(QObject* c, const char* property) {
  if (!c) return false;
  int col = 0, row = 0;
  if (Is(property, "caption"))
    return qobject_cast<QAction*>(c) || qobject_cast<QMenu*>(c) || qobject_cast<QGroupBox*>(c) ||
           qobject_cast<QAbstractButton*>(c) || qobject_cast<QLabel*>(c);
  if (Is(property, "hint")) return qobject_cast<QAction*>(c) || qobject_cast<QWidget*>(c);
  if (Is(property, "label")) return AttachedLabel(c) != nullptr;
  if (ParseCell(property, &col, &row)) {
    auto* g = qobject_cast<StringGrid*>(c);
    return g && col < g->ColCount() && row < g->RowCount();
  }
  if (Is(property, "items")) return qobject_cast<QComboBox*>(c) != nullptr;
  if (Is(property, "fileName")) return qobject_cast<QAction*>(c) != nullptr;
  return false;
}

namespace {
// The components below a root by name, gathered in one walk: a search of the
// whole window for each row of the table costs more than setting the texts.
// A name two components share is searched as FindLanguageComponent does.
class ComponentsByName {
 public:
  explicit ComponentsByName(QObject* root) : root_(root) {
    if (!root) return;
    for (QObject* o : root->findChildren<QObject*>()) {
      const QString name = o->objectName();
      if (name.isEmpty()) continue;
      auto it = byName_.find(name);
      if (it == byName_.end())
        byName_.insert(name, o);
      else
        *it = nullptr;  // shared
    }
  }
  QObject* Find(const char* name) const {
    if (QObject* o = Unique(name)) return o;
    if (const char* alias = AliasOf(name)) return Unique(alias);
    return nullptr;
  }

 private:
  QObject* Unique(const char* name) const {
    const auto it = byName_.constFind(QString::fromLatin1(name));
    if (it == byName_.constEnd()) return nullptr;
    return *it ? *it : root_->findChild<QObject*>(QString::fromLatin1(name));
  }
  QObject* root_;
  QHash<QString, QObject*> byName_;
};

bool ApplyRowTo(QObject* c, const LanguageRow& row, bool english) {
  if (!LanguagePropertyApplies(c, row.property)) return false;
  const QString text = QString::fromUtf8(english ? row.english : row.spanish);
  int col = 0, r = 0;
  if (Is(row.property, "caption")) {
    if (auto* a = qobject_cast<QAction*>(c)) a->setText(text);
    else if (auto* m = qobject_cast<QMenu*>(c)) m->setTitle(text);
    else if (auto* g = qobject_cast<QGroupBox*>(c)) g->setTitle(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(c)) b->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(c)) l->setText(text);
  } else if (Is(row.property, "hint")) {
    if (auto* a = qobject_cast<QAction*>(c)) a->setToolTip(text);
    else qobject_cast<QWidget*>(c)->setToolTip(text);
  } else if (Is(row.property, "label")) {
    AttachedLabel(c)->setText(text);
  } else if (ParseCell(row.property, &col, &r)) {
    qobject_cast<StringGrid*>(c)->SetCells(col, r, text);
  } else if (Is(row.property, "items")) {
    auto* box = qobject_cast<QComboBox*>(c);
    box->clear();
    box->addItems(text.split('\n'));
    box->setCurrentIndex(-1);
  } else if (Is(row.property, "fileName")) {
    c->setProperty("fileName", text);
  }
  return true;
}
}  // namespace

bool ApplyLanguageRow(QObject* root, const LanguageRow& row, bool english) {
  return ApplyRowTo(FindLanguageComponent(root, row.component), row, english);
}

QString ReadLanguageRow(QObject* root, const LanguageRow& row) {
  QObject* c = FindLanguageComponent(root, row.component);
  if (!LanguagePropertyApplies(c, row.property)) return QString();
  int col = 0, r = 0;
  if (Is(row.property, "caption")) {
    // A menu's text as it reads, without its underlined letter's mark.
    if (auto* a = qobject_cast<QAction*>(c)) return WithoutMnemonic(a->text());
    if (auto* m = qobject_cast<QMenu*>(c)) return WithoutMnemonic(m->title());
    if (auto* g = qobject_cast<QGroupBox*>(c)) return g->title();
    if (auto* b = qobject_cast<QAbstractButton*>(c)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(c)) return l->text();
  } else if (Is(row.property, "hint")) {
    if (auto* a = qobject_cast<QAction*>(c)) return a->toolTip();
    return qobject_cast<QWidget*>(c)->toolTip();
  } else if (Is(row.property, "label")) {
    return AttachedLabel(c)->text();
  } else if (ParseCell(row.property, &col, &r)) {
    return qobject_cast<StringGrid*>(c)->Cells(col, r);
  } else if (Is(row.property, "items")) {
    auto* box = qobject_cast<QComboBox*>(c);
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items.join('\n');
  } else if (Is(row.property, "fileName")) {
    return c->property("fileName").toString();
  }
  return QString();
}

int ApplyLanguageTable(QObject* root, bool english) {
  const ComponentsByName components(root);
  int applied = 0;
  for (const LanguageRow& row : kTable)
    if (ApplyRowTo(components.Find(row.component), row, english)) ++applied;
  return applied;
}

// ---- the two handlers ------------------------------------------------------

void TMainForm::SwitchLanguage(bool english) {
  SwitchWindowLanguage(
      *this, english, kProductSiteUrl,
      [this](bool e) {
        ApplyLanguageTable(this, e);
        ChordLanguageChanged();  // the chord grid's mode captions
        ShowRunTimeTexts();
      },
      "About DRAV_PROF");
}

void TMainForm::ShowRunTimeTexts() {
  editor_steps::WordEditorCaptions(*this, FormulaEd);
  PlaceSetNameLabel();  // beside the sounds panel's caption, whose width changed
  Label15->setText(L1(SoundCountText(static_cast<int>(SoundList.size()), English)));
  if (Deck->IsPlaying())
    ShowCompasCounter();
  else if (!Label3->text().isEmpty())
    Label3->setText(QString::fromStdString(CompasCounterText(Engine->CurrentCompas, Engine->CompasCount,
                                                             Engine->ThemeParts, Engine->PartsCounter, false, English)));
}

void TMainForm::Ingls1Click() { SwitchLanguage(true); }

void TMainForm::Espaol1Click() { SwitchLanguage(false); }

void TMainForm::SwitchLanguageFromSettings() { RunLanguageOfSettings(*this); }
