// The steps of the library commands that both windows take alike: new,
// paste and clear of formulas and themes, the track and beat clipboards,
// the searches and the stepping, and the parts of sorting and deletion that
// are the same. Templates over the window class, as the editors' steps
// (rhythm/window/editor_handlers.h), whose part they use is stated by the
// concepts below (FormulaLibraryWindow, PatternCommandsWindow,
// ThemeLibraryWindow, ThemeImportWindow); the window passes the clipboards
// it keeps and adds what only it does.
//
// Included only by the windows' handler files.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>
#include <concepts>
#include <string>
#include <vector>

#include "platform/ui/string_grid.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "platform/ui/dialogs.h"
#include "rhythm/dataset.h"
#include "rhythm/editor_logic.h"
#include "rhythm/editor_state.h"
#include "rhythm/library_ops.h"
#include "engine/transport.h"
#include "platform/ui/window_concepts.h"
#include "rhythm/window/editor_widgets.h"
#include "rhythm/window/records_window.h"
#include "rhythm/window/theme_import_dialog.h"

namespace library_steps {

// The formula and theme grids refilled by code: the formula grid's edit
// handler takes nothing meanwhile. The mark is left as it was found.
class GridsFillingScope {
 public:
  explicit GridsFillingScope(DataSetState& d) : d_(d), was_(d.GridsFilling) { d_.GridsFilling |= kGridsFillingBit; }
  ~GridsFillingScope() {
    if (!(was_ & kGridsFillingBit)) d_.GridsFilling &= static_cast<uint16_t>(~kGridsFillingBit);
  }
  GridsFillingScope(const GridsFillingScope&) = delete;
  GridsFillingScope& operator=(const GridsFillingScope&) = delete;

 private:
  DataSetState& d_;
  uint16_t was_;
};

// What the formula commands use of a window besides its records: the
// message boxes, the open set's marks (DataSet), the transport, the search
// box Edit3, and the handlers EditedFormula, FillFormulaRow,
// RefillFormulaRows, SGFormulasSelectCell and the formula clipboard's
// Copiarfrmula1Click and Pegarfrmula1Click.
template <class Form>
concept FormulaLibraryWindow = RecordsWindow<Form> && AskingWindow<Form> && requires(Form& f, int n) {
  { f.DataSet } -> std::convertible_to<DataSetState&>;
  { f.Deck } -> std::convertible_to<Transport*>;
  { f.Edit3 } -> std::convertible_to<QLineEdit*>;
  { f.EditedFormula() } -> std::convertible_to<int>;
  f.FillFormulaRow(n);
  f.RefillFormulaRows();
  f.SGFormulasSelectCell(n, n);
  f.Copiarfrmula1Click();
  f.Pegarfrmula1Click();
};

// The track and beat commands: the formula commands' window with its
// pattern grid SGDatosFormula and CommandFormula, the formula they edit.
template <class Form>
concept PatternCommandsWindow = FormulaLibraryWindow<Form> && requires(Form& f) {
  { f.SGDatosFormula } -> std::convertible_to<StringGrid*>;
  { f.CommandFormula() } -> std::convertible_to<int>;
};

// What the theme commands use of a window besides its records: the message
// boxes, the order button RadioButton1 ("Normal") with its click handler,
// the search box LabeledEdit1 and SGTemasSelectCell.
template <class Form>
concept ThemeLibraryWindow = RecordsWindow<Form> && AskingWindow<Form> && requires(Form& f, int n) {
  { f.RadioButton1 } -> std::convertible_to<QRadioButton*>;
  { f.LabeledEdit1 } -> std::convertible_to<QLineEdit*>;
  f.RadioButton1Click();
  f.SGTemasSelectCell(n, n);
};

// What the theme import uses of a window besides its records: the message
// boxes, the log, its import dialog FormImportar (made by
// CreateImportDialog) and the rows' fill and selection handlers.
template <class Form>
concept ThemeImportWindow =
    RecordsWindow<Form> && AskingWindow<Form> && LoggingWindow<Form> && requires(Form& f, int n) {
      { f.FormImportar } -> std::convertible_to<ThemeImportDialog*>;
      f.CreateImportDialog();
      f.FillTemaRow(n);
      f.FillFormulaRow(n);
      f.SGTemasSelectCell(n, n);
    };

// --- formula rows -----------------------------------------------------------------

// Number, beats, name (cut at the window's length) and first beat of row i + 1.
template <FormulaLibraryWindow Form>
void FillFormulaRowCells(Form& w, int i) {
  const Formula& f = w.Rhythm->Formulas[static_cast<size_t>(i)];
  w.SGFormulas->SetCells(0, i + 1, QString::number(i + 1));
  w.SGFormulas->SetCells(1, i + 1, QString::number(f.Beats()));
  w.SGFormulas->SetCells(2, i + 1, L1(f.Name().substr(0, static_cast<size_t>(Form::EditRules.formulaName))));
  w.SGFormulas->SetCells(3, i + 1, QString::number(f.StartBeat() + 1));
}

// Every formula row from its record.
template <FormulaLibraryWindow Form>
void RefillFormulaRowCells(Form& w) {
  const GridsFillingScope filling(w.DataSet);
  for (int i = 0; i < w.FormulaCount(); ++i) w.FillFormulaRow(i);
}

// A formula appended: a copy of the selected one (through the formula
// clipboard) with an empty name, selected.
template <FormulaLibraryWindow Form>
void AppendFormula(Form& w) {
  if (w.FormulaCount() >= kMaxFormulas) {
    w.dialogs->ShowMessage(w.Tr("No caben más fórmulas (512)", "There is no room for more formulas (512)"));
    return;
  }
  w.Rhythm->FormulaCount += 1;
  w.SGFormulas->SetRowCount(w.Rhythm->FormulaCount + 1);
  const int n = w.Rhythm->FormulaCount - 1;
  w.Copiarfrmula1Click();
  const int cur = std::clamp(w.Rhythm->CurrentFormula, 0, kMaxFormulas - 1);
  Formula& added = w.Rhythm->Formulas[static_cast<size_t>(n)];
  added = w.Rhythm->Formulas[static_cast<size_t>(cur)];
  w.SGFormulas->Select(w.SGFormulas->Col(), n + 1);
  BlankFormulaName(added, Form::EditRules.formulaName);
  // The paste takes the name of the new row's cell, which is empty.
  w.Pegarfrmula1Click();
  w.Cambios();  // a new formula is an edit of the set
}

// The copied formula pasted over the selected one, which keeps the name its
// row shows. Positions from `limit` on hold nothing to paste from or onto.
template <FormulaLibraryWindow Form>
void PasteFormula(Form& w, const FormulaEditorState& ed, int limit) {
  const int src = ed.FormulaClipboard;
  const int i = w.SGFormulas->Row() - 1;
  limit = std::min(limit, kMaxFormulas);
  if (src < 0 || src >= limit || i < 0 || i >= limit) return;
  Formula& f = w.Rhythm->Formulas[static_cast<size_t>(i)];
  f = w.Rhythm->Formulas[static_cast<size_t>(src)];
  f.SetName(ToL1(w.SGFormulas->Cells(2, i + 1)).substr(0, static_cast<size_t>(Form::EditRules.formulaName)));
  w.SGFormulas->SetCells(0, i + 1, QString::number(i + 1));
  w.SGFormulas->SetCells(1, i + 1, QString::number(f.Beats()));
  w.SGFormulas->SetCells(3, i + 1, QString::number(f.StartBeat() + 1));
  w.SGFormulasSelectCell(w.SGFormulas->Col(), i + 1);
  w.Cambios();
}

// The selected formula's pattern emptied (below `limit`).
template <FormulaLibraryWindow Form>
void ClearFormulaPattern(Form& w, int limit) {
  const int i = w.SGFormulas->Row() - 1;
  if (i < 0 || i >= std::min(limit, kMaxFormulas)) return;
  ClearPattern(w.Rhythm->Formulas[static_cast<size_t>(i)]);
  w.SGFormulasSelectCell(w.SGFormulas->Col(), i + 1);
  w.Cambios();
}

// The formula the track and beat commands edit: the one the pattern grid
// shows, or with none shown yet the formula row selected; -1 for none.
template <FormulaLibraryWindow Form>
int CommandFormulaOf(const Form& w) {
  const int shown = w.EditedFormula();
  if (shown >= 0) return shown;
  const int row = w.SGFormulas->Row() - 1;
  return row >= 0 && row < w.FormulaCount() ? row : -1;
}

// --- tracks and beats of the edited formula ------------------------------------------

// They act on the formula the pattern grid shows; an edit marks the set
// modified. A paste takes the copied formula only below `limit`.

template <PatternCommandsWindow Form>
void CopyTrackRow(Form& w, TrackClipboardState& clip) {
  const int t = w.SGDatosFormula->Row() - 1;
  const int f = w.CommandFormula();
  if (t < 0 || t >= Form::EditRules.tracks || f < 0) return;
  clip = {t, f, w.Rhythm->Formulas[static_cast<size_t>(f)].Beats()};
}

template <PatternCommandsWindow Form>
void PasteTrackRow(Form& w, const TrackClipboardState& clip, int limit) {
  const int f = w.CommandFormula();
  const int t = w.SGDatosFormula->Row() - 1;
  if (clip.formula < 0 || clip.formula >= limit || f < 0 || t < 0 || t >= Form::EditRules.tracks) return;
  PasteTrack(*w.Rhythm, clip.formula, clip.track, clip.beats, f, w.Rhythm->Formulas[static_cast<size_t>(f)].Beats(),
             t);
  w.Cambios();
  w.SGFormulasSelectCell(w.SGFormulas->Col(), f + 1);
}

template <PatternCommandsWindow Form>
void ClearTrackRow(Form& w) {
  const int f = w.CommandFormula();
  const int t = w.SGDatosFormula->Row() - 1;
  if (f < 0 || t < 0 || t >= Form::EditRules.tracks) return;
  ClearTrack(w.Rhythm->Formulas[static_cast<size_t>(f)], t);
  w.Cambios();
  w.SGFormulasSelectCell(w.SGFormulas->Col(), f + 1);
}

// The sound and number columns hold no beat: the beat commands leave the
// records alone there.
template <PatternCommandsWindow Form>
void CopyBeatColumn(Form& w, BeatClipboardState& clip) {
  const int b = w.SGDatosFormula->Col() - 2;
  const int f = w.CommandFormula();
  if (b < 0 || b >= kMaxBeats || f < 0) return;
  clip = {b, f};
}

template <PatternCommandsWindow Form>
void PasteBeatColumn(Form& w, const BeatClipboardState& clip, int limit) {
  const int f = w.CommandFormula();
  const int b = w.SGDatosFormula->Col() - 2;
  if (clip.formula < 0 || clip.formula >= limit || f < 0 || b < 0 || b >= kMaxBeats) return;
  PasteBeat(*w.Rhythm, clip.formula, clip.beat, f, b);
  w.Cambios();
  w.SGFormulasSelectCell(w.SGFormulas->Col(), f + 1);
}

template <PatternCommandsWindow Form>
void ClearBeatColumn(Form& w) {
  const int b = w.SGDatosFormula->Col() - 2;
  const int f = w.CommandFormula();
  if (b < 0 || b >= kMaxBeats || f < 0) return;
  ClearBeat(w.Rhythm->Formulas[static_cast<size_t>(f)], b);
  w.Cambios();
  w.SGFormulasSelectCell(w.SGFormulas->Col(), f + 1);
}

// --- search, sort and deletion of formulas ---------------------------------------------

// The first formula row from the selected one on (then from the first) whose
// name begins with the search text, selected.
template <FormulaLibraryWindow Form>
void SearchFormula(Form& w) {
  const int k = FindByPrefix(ColumnTexts(w.SGFormulas, 2), w.SGFormulas->Row() - 1, w.Edit3->text());
  if (k < 0) return;
  w.SGFormulas->Select(w.SGFormulas->Col(), k + 1);
  w.SGFormulasSelectCell(w.SGFormulas->Col(), k + 1);
}

// The formulas sorted by their name cells (cut at the window's length), the
// themes' entries following their patterns and the formula in play its
// record. Returns the new row - 1 of the formula row selected, -1 for none.
template <FormulaLibraryWindow Form>
int SortFormulaRows(Form& w) {
  const int width = Form::EditRules.formulaName;
  const int fc = w.FormulaCount();
  const int tc = w.TemaCount();
  std::vector<std::string> names;
  for (int k = 0; k < fc; ++k)
    names.push_back(ToL1(w.SGFormulas->Cells(2, k + 1)).substr(0, static_cast<size_t>(width)));
  const std::vector<int> order = StableOrderByName(names, width);
  ApplyFormulaOrder(*w.Rhythm, order, tc);
  const int current = NewPositionOf(order, w.Rhythm->CurrentFormula);
  if (current >= 0) w.Deck->SelectFormula(current);
  return NewPositionOf(order, w.SGFormulas->Row() - 1);
}

// The selected formula deleted once the user agrees: refused while a theme
// uses it and for the only formula (told when `tellOnlyOne`). The themes'
// entries follow their patterns, the formula in play its record, and the
// rows are refilled. Returns the index deleted, -1 when nothing was.
template <FormulaLibraryWindow Form>
int DeleteSelectedFormula(Form& w, bool tellOnlyOne) {
  const int fc = w.FormulaCount();
  const int tc = w.TemaCount();
  const int i = w.SGFormulas->Row() - 1;
  if (i < 0 || i >= fc) return -1;
  // Every theme as it stands now, not the mark of the last selection.
  if (FormulaUsedByAnyTheme(*w.Rhythm, i, tc)) {
    w.dialogs->ShowMessage(w.Tr(" No se puede borrar una fórmula que está siendo usada.",
                                " A formula cannot be erased when is being used."));
    return -1;
  }
  if (fc <= 1) {  // the editor always keeps one formula to show
    if (tellOnlyOne)
      w.dialogs->ShowMessage(w.Tr(" No se puede borrar la única fórmula del conjunto.",
                                  " The only formula of the set cannot be erased."));
    return -1;
  }
  const QString question = QString::fromUtf8("¿ Quiere eliminar la fórmula Nº") + w.SGFormulas->Cells(0, i + 1) + " " +
                           w.SGFormulas->Cells(2, i + 1) + " ?";
  if (w.dialogs->Ask(question, QString::fromUtf8("Borrar fórmula"), AskButtons::YesNo) != kAnswerYes) return -1;

  DeleteFormula(*w.Rhythm, i, fc, tc);
  w.Rhythm->FormulaCount = fc - 1;
  w.SGFormulas->SetRowCount(w.Rhythm->FormulaCount + 1);
  w.Cambios();
  int& cur = w.Rhythm->CurrentFormula;
  if (cur > i) --cur;
  cur = std::clamp(cur, 0, w.Rhythm->FormulaCount - 1);
  w.RefillFormulaRows();
  return i;
}

// --- themes -------------------------------------------------------------------------

// A theme appended in a clean slot (a deletion leaves a copy of the last
// theme there), `init` writing its first fields, selected and played in
// order. False when the table is full.
template <ThemeLibraryWindow Form, std::invocable<Tema&> Init>
bool AppendTheme(Form& w, Init init) {
  const int r = w.TemaCount();
  if (r >= kMaxTemas) {
    w.dialogs->ShowMessage(w.Tr("No caben más temas (128)", "There is no room for more songs (128)"));
    return false;
  }
  w.Rhythm->TemaCount = r + 1;
  w.SGTemas->SetRowCount(r + 2);
  Tema& added = w.Rhythm->Temas[static_cast<size_t>(r)];
  added = Tema{};
  init(added);
  w.SGTemas->Select(1, r + 1);
  w.SGTemasSelectCell(1, r + 1);
  w.SGTemas->SetCells(0, r + 1, QString::number(r + 1));
  w.SGTemas->SetCells(1, r + 1, QString());
  return true;
}

// Switches on "Normal" play; its click handler stores it when it was off.
template <ThemeLibraryWindow Form>
void PlayInOrder(Form& w) {
  if (!w.RadioButton1->isChecked()) {
    w.RadioButton1->setChecked(true);
    w.RadioButton1Click();
  }
}

// The theme row selected in `themes` taken as the copied theme.
inline void CopyTheme(const StringGrid& themes, int& clip) {
  const int t = themes.Row() - 1;
  if (t >= 0 && t < kMaxTemas) clip = t;
}

// The copied theme pasted over the selected one, its name too until one is
// typed; the row's name cell is emptied and the cells after it take the
// source row's. The copied position must lie below `limit`.
template <ThemeLibraryWindow Form>
void PasteTheme(Form& w, int clip, int limit) {
  const int src = clip;
  const int dst = w.SGTemas->Row() - 1;
  if (src < 0 || src >= std::min(limit, kMaxTemas) || dst < 0 || dst >= w.TemaCount()) return;
  w.Rhythm->Temas[static_cast<size_t>(dst)] = w.Rhythm->Temas[static_cast<size_t>(src)];
  w.SGTemas->SetCells(1, dst + 1, QString());
  for (int c = 2; c < w.SGTemas->ColCount(); ++c) w.SGTemas->SetCells(c, dst + 1, w.SGTemas->Cells(c, src + 1));
  w.SGTemasSelectCell(w.SGTemas->Col(), w.SGTemas->Row());
  w.Cambios();
}

template <ThemeLibraryWindow Form>
void ClearTheme(Form& w) {
  const int t = w.SGTemas->Row() - 1;
  if (t < 0 || t >= w.TemaCount()) return;
  w.Rhythm->Temas[static_cast<size_t>(t)].entryCount = 0;
  w.SGTemasSelectCell(w.SGTemas->Col(), w.SGTemas->Row());
  w.Cambios();
}

// The selected theme deleted once the user agrees (never the only one):
// `beforeDelete` sees its index first; the later themes move down with
// their cells (the number cells stay). The selection stays on the grid.
template <ThemeLibraryWindow Form, std::invocable<int> BeforeDelete>
void DeleteSelectedTheme(Form& w, BeforeDelete beforeDelete) {
  const int tc = w.TemaCount();
  if (tc <= 1) return;  // the only theme stays
  const int y = w.SGTemas->Row();
  const int i = y - 1;
  if (i < 0 || i >= tc) return;
  const QString question = QString::fromUtf8("¿ Quiere eliminar el tema ") + w.SGTemas->Cells(1, y) + " ?";
  if (w.dialogs->Ask(question, "Borrar tema", AskButtons::YesNo) == kAnswerYes) {
    beforeDelete(i);
    DeleteTema(*w.Rhythm, i, tc);
    for (int r = y; r < tc; ++r)
      for (int c = 1; c < w.SGTemas->ColCount(); ++c) w.SGTemas->SetCells(c, r, w.SGTemas->Cells(c, r + 1));
    w.Rhythm->TemaCount = tc - 1;
    w.SGTemas->SetRowCount(tc);
    w.Cambios();
  }
  const int last = w.TemaCount();
  w.SGTemas->Select(w.SGTemas->Col(), std::min(w.SGTemas->Row(), last));
  w.SGTemasSelectCell(w.SGTemas->Col(), w.SGTemas->Row());
}

// The themes sorted by their name cells (cut at the window's length).
template <ThemeLibraryWindow Form>
void SortThemeRows(Form& w) {
  const int width = Form::EditRules.temaName;
  const int tc = w.TemaCount();
  std::vector<std::string> names;
  for (int k = 0; k < tc; ++k)
    names.push_back(ToL1(w.SGTemas->Cells(1, k + 1)).substr(0, static_cast<size_t>(width)));
  ApplyTemaOrder(*w.Rhythm, StableOrderByName(names, width));
}

// The first theme row from the selected one on (then from the first) whose
// name begins with the search text, selected.
template <ThemeLibraryWindow Form>
void SearchTheme(Form& w) {
  const int k = FindByPrefix(ColumnTexts(w.SGTemas, 1), w.SGTemas->Row() - 1, w.LabeledEdit1->text());
  if (k < 0) return;
  w.SGTemas->Select(w.SGTemas->Col(), k + 1);
  w.SGTemasSelectCell(w.SGTemas->Col(), k + 1);
}

// The theme row above (step -1) or below (+1), when there is one.
template <ThemeLibraryWindow Form>
void StepTheme(Form& w, int step) {
  const int r = w.SGTemas->Row();
  if (step < 0 ? r <= 1 : r >= w.TemaCount()) return;
  w.SGTemas->Select(w.SGTemas->Col(), r + step);
  w.SGTemasSelectCell(w.SGTemas->Col(), r + step);
}

// --- theme import from another set ----------------------------------------------------

// Asks for the other set's list file (the request as the window words it)
// and shows the import dialog on it; the dialog's captions are set at each
// use. A cancelled choice, or a file that is not there, does nothing.
template <ThemeImportWindow Form>
void RunThemeImport(Form& w, const FileDialogRequest& req) {
  w.CreateImportDialog();
  w.FormImportar->Button1->setText(w.Tr("Importar", "Import"));
  w.FormImportar->setWindowTitle(w.Tr("Importar TEMAS", "Import SONGS"));
  const QString chosen = w.dialogs->OpenFileName(req);
  if (chosen.isEmpty()) return;
  const std::string path = FsPath(chosen);
  if (!FileExists(path)) return;
  w.FormImportar->ImportPath = path;
  w.FormImportar->ShowModal();
}

// Theme a of the other set appended to the open set with the formulas it
// needs (those the open set holds in a form `equal` finds the same are
// reused), each logged, and selected. False, the user told, when a table
// limit refused it.
template <ThemeImportWindow Form>
bool ImportOtherTheme(Form& w, int a, FormulaEquality equal) {
  const ImportOutcome out = ImportThemeFromOtherSet(*w.Rhythm, a, equal);
  switch (out.status) {
    case ImportOutcome::kDone:
      break;
    case ImportOutcome::kNoSuchTheme:
      return false;
    case ImportOutcome::kNoThemeRoom:
      w.dialogs->ShowMessage(w.Tr("No caben más temas (128)", "There is no room for more songs (128)"));
      return false;
    case ImportOutcome::kNoFormulaRoom:
      w.dialogs->ShowMessage(w.Tr("No caben más fórmulas (512)", "There is no room for more formulas (512)"));
      return false;
    case ImportOutcome::kTooManyEntries:
      w.dialogs->ShowMessage(
          w.Tr("Un tema no puede tener más de 120 entradas", "A song cannot have more than 120 entries"));
      return false;
  }
  const int n = out.tema;
  w.SGTemas->SetRowCount(n + 2);
  w.FillTemaRow(n);
  w.Log(QString::fromUtf8("Importando Tema: ") + L1(w.Rhythm->Temas[static_cast<size_t>(n)].Name()));
  for (int k : out.addedFormulas) {
    w.SGFormulas->SetRowCount(k + 2);
    w.FillFormulaRow(k);
    w.Log(QString::fromUtf8("Añadiendo fórmula: ") + L1(w.Rhythm->Formulas[static_cast<size_t>(k)].Name()));
  }
  const int col = w.SGTemas->Col();
  w.SGTemas->Select(col, n + 1);
  w.SGTemasSelectCell(col, n + 1);
  w.Cambios();
  return true;
}

}  // namespace library_steps
