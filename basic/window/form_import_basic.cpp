// The basic window's theme import: the menu command, the dialog and the copy
// of a theme with its formulas into the open set.
#include "basic/window/form_import_basic.h"

#include <QListWidget>
#include <QPushButton>

#include "platform/ui/string_grid.h"
#include "basic/basic_set.h"
#include "basic/v1_bridge.h"
#include "basic/window/basic_form.h"
#include "platform/files/text.h"
#include "rhythm/library_ops.h"
#include "rhythm/window/library_handlers.h"

namespace bornace {

TFormImportar::TFormImportar(TMainForm& owner)
    : ThemeImportDialog(&owner, *owner.Rhythm, owner.DataSet, "Importar "), owner_(owner) {}

ThemeImportDialog::OtherSet TFormImportar::LoadOtherSet(const std::string& folder) {
  const auto r = LoadOtherBasicSet(*owner_.Rhythm, folder);
  return {r.temaCount, r.ok};
}

bool TFormImportar::ImportTheme(int a) { return owner_.ImportarTema(a); }

void TMainForm::CreateImportDialog() {
  if (!FormImportar) FormImportar = new TFormImportar(*this);
}

// The open dialog's initial folder is left as it is.
void TMainForm::ImportarTEMA1Click() {
  FileDialogRequest req;
  req.title = Tr("Seleccione un archivo de datos DRAV", "Select a data file DRAV");
  req.filter = "Archivos con arte|*.ole";
  library_steps::RunThemeImport(*this, req);
}

// Formulas are reused when equal as older records; the theme row shows the
// tempo too.
bool TMainForm::ImportarTema(int a) { return library_steps::ImportOtherTheme(*this, a, BasicFormulasEqualForImport); }

}  // namespace bornace
