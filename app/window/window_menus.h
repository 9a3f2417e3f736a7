// The menus that both editions' main windows have alike: the menu bar with
// the data-set commands of "Archivo", and the pop-up menus of the formula
// grid and of the pattern grid, their items named as the handlers and the
// language switch know them.
//
// The templates take either edition's main window; what they use of it is
// stated by the concepts FileMenuWindow and GridMenusWindow below.
#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QString>
#include <concepts>

#include "platform/ui/string_grid.h"
#include "platform/ui/widgets.h"

// A window's member that an item is made into: a QAction* the builder sets.
template <class T>
concept MenuItemSlot = std::same_as<T, QAction*&>;

// What the "Archivo" menu's builders use of a window: its menu bar, the
// menu File they set and the items Original1, Nuevo1, Deshacertodo1,
// Abrir2, ImportarTEMA1, Guardar1 and Guardarcomo1.
template <class Form>
concept FileMenuWindow = requires(Form& f) {
  { f.menuBar() } -> std::convertible_to<QMenuBar*>;
  { f.File } -> std::same_as<QMenu*&>;
  { f.Original1 } -> MenuItemSlot;
  { f.Nuevo1 } -> MenuItemSlot;
  { f.Deshacertodo1 } -> MenuItemSlot;
  { f.Abrir2 } -> MenuItemSlot;
  { f.ImportarTEMA1 } -> MenuItemSlot;
  { f.Guardar1 } -> MenuItemSlot;
  { f.Guardarcomo1 } -> MenuItemSlot;
};

// What the grids' pop-up menus use of a window: the formula grid
// SGFormulas with the formula items, the pattern grid SGDatosFormula with
// the track and beat items.
template <class Form>
concept GridMenusWindow = requires(Form& f) {
  { f.SGFormulas } -> std::convertible_to<StringGrid*>;
  { f.SGDatosFormula } -> std::convertible_to<StringGrid*>;
  { f.Nuevafrmula1 } -> MenuItemSlot;
  { f.Copiarfrmula1 } -> MenuItemSlot;
  { f.Pegarfrmula1 } -> MenuItemSlot;
  { f.Limpiarfrmula1 } -> MenuItemSlot;
  { f.Borrarfrmula1 } -> MenuItemSlot;
  { f.Ordenarpornombre2 } -> MenuItemSlot;
  { f.Copiarpista1 } -> MenuItemSlot;
  { f.Pegarpista1 } -> MenuItemSlot;
  { f.Limpiarpista1 } -> MenuItemSlot;
  { f.Copiartiempo1 } -> MenuItemSlot;
  { f.Pegartiempo1 } -> MenuItemSlot;
  { f.Limpiartiempo1 } -> MenuItemSlot;
};

// The menu bar and its "Archivo" with the commands that open a set:
// "Original", "Nuevo", "Deshacer cambios", "Abrir", "Importar TEMAS". The
// edition's own imports follow, then AddSaveItems.
template <FileMenuWindow Form>
void BuildFileMenuOpenItems(Form& f) {
  QMenuBar* mb = f.menuBar();
  mb->setObjectName("MainMenu1");
  f.File = mb->addMenu("Archivo");
  f.File->setObjectName("File");
  AddMenuItem(f.File, f.Original1, "Original1", "Original");
  AddMenuItem(f.File, f.Nuevo1, "Nuevo1", "Nuevo");
  AddMenuItem(f.File, f.Deshacertodo1, "Deshacertodo1", "Deshacer cambios");
  AddMenuItem(f.File, f.Abrir2, "Abrir2", "Abrir");
  AddMenuItem(f.File, f.ImportarTEMA1, "ImportarTEMA1", "Importar TEMAS");
}

// "Guardar" (Ctrl+S, shown beside it) and "Guardar como", then a separator.
template <FileMenuWindow Form>
void AddSaveItems(Form& f) {
  AddMenuItem(f.File, f.Guardar1, "Guardar1", "Guardar");
  f.Guardar1->setShortcut(QKeySequence::Save);
  AddMenuItem(f.File, f.Guardarcomo1, "Guardarcomo1", "Guardar como");
  f.File->addSeparator();
}

// SGFormulas: new, copy, paste, clear and remove a formula, sort by names.
template <GridMenusWindow Form>
void BuildFormulaGridMenu(Form& f) {
  f.SGFormulas->setContextMenuPolicy(Qt::ActionsContextMenu);
  AddWidgetAction(f.SGFormulas, f.Nuevafrmula1, "Nuevafrmula1", QString::fromUtf8("Nueva fórmula"));
  AddWidgetAction(f.SGFormulas, f.Copiarfrmula1, "Copiarfrmula1", QString::fromUtf8("Copiar fórmula"));
  AddWidgetAction(f.SGFormulas, f.Pegarfrmula1, "Pegarfrmula1", QString::fromUtf8("Pegar fórmula"));
  AddWidgetAction(f.SGFormulas, f.Limpiarfrmula1, "Limpiarfrmula1", QString::fromUtf8("Limpiar fórmula"));
  AddWidgetAction(f.SGFormulas, f.Borrarfrmula1, "Borrarfrmula1", QString::fromUtf8("Borrar fórmula"));
  AddWidgetAction(f.SGFormulas, f.Ordenarpornombre2, "Ordenarpornombre2", "Ordenar por nombres");
}

// SGDatosFormula: copy, paste and clear a track, and the same for a beat.
template <GridMenusWindow Form>
void BuildPatternGridMenu(Form& f) {
  f.SGDatosFormula->setContextMenuPolicy(Qt::ActionsContextMenu);
  AddWidgetAction(f.SGDatosFormula, f.Copiarpista1, "Copiarpista1", "Copiar pista");
  AddWidgetAction(f.SGDatosFormula, f.Pegarpista1, "Pegarpista1", "Pegar pista");
  AddWidgetAction(f.SGDatosFormula, f.Limpiarpista1, "Limpiarpista1", "Limpiar pista");
  AddWidgetAction(f.SGDatosFormula, f.Copiartiempo1, "Copiartiempo1", "Copiar tiempo");
  AddWidgetAction(f.SGDatosFormula, f.Pegartiempo1, "Pegartiempo1", "Pegar tiempo");
  AddWidgetAction(f.SGDatosFormula, f.Limpiartiempo1, "Limpiartiempo1", "Limpiar tiempo");
}
