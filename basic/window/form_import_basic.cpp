// The basic window's theme import: the menu command, the dialog and the copy
// of a theme with its formulas into the open set.
#include "basic/window/form_import_basic.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "app/window/string_grid.h"
#include "basic/basic_set.h"
#include "basic/v1_bridge.h"
#include "basic/window/basic_form.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "rhythm/library_ops.h"

namespace bornace {

TFormImportar::TFormImportar(TMainForm& owner) : QDialog(&owner), owner_(owner) {
  setObjectName("FormImportar");
  setWindowTitle("Importar TEMA");
  setFixedSize(320, 414);
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(8, 6, 304, 18);
  LB1 = new QListWidget(this);
  LB1->setObjectName("LB1");
  LB1->setGeometry(8, 28, 304, 340);
  Button1 = new QPushButton("Importar ", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(8, 376, 304, 30);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TFormImportar::FormActivate() {
  if (ImportedForSet != owner_.DataSet.DataSetName) {
    ImportedThemes.clear();
    ImportedForSet = owner_.DataSet.DataSetName;
  }
  CloseRequested = false;
  if (ImportPath.size() <= 4) {
    CloseRequested = true;
    return;
  }
  ImportSetFolder = ImportPath.substr(0, ImportPath.size() - 4);
  Label1->setText(FromFs(ImportSetFolder));
  const auto r = LoadOtherBasicSet(*owner_.Rhythm, ImportSetFolder);
  if (!r.ok) CloseRequested = true;
  LB1->clear();
  for (int i = 0; i < r.temaCount; ++i) LB1->addItem(L1(owner_.Rhythm->ImportTemas[static_cast<size_t>(i)].Name()));
  if (LB1->count() > 0) LB1->setCurrentRow(0);
}

void TFormImportar::ShowModal() {
  FormActivate();
  if (CloseRequested) return;
  if (RunModal)
    exec();
  else
    show();
}

void TFormImportar::Button1Click() {
  const int a = LB1->currentRow();
  if (a < 0 || a >= LB1->count()) return;
  const QString name = LB1->item(a)->text();
  if (ImportedThemes.contains(name, Qt::CaseInsensitive)) return;
  if (!owner_.ImportarTema(a)) return;
  ImportedThemes << name;
}

bool TFormImportar::ChooseAndImport(const QString& name) {
  for (int i = 0; i < LB1->count(); ++i) {
    if (LB1->item(i)->text() == name) {
      LB1->setCurrentRow(i);
      Button1->click();
      return true;
    }
  }
  return false;
}

void TMainForm::ImportarTEMA1Click() {
  FileDialogRequest req;
  req.title = Tr("Seleccione un archivo de datos DRAV", "Select a data file DRAV");
  req.filter = "Archivos con arte|*.ole";
  if (!FormImportar) FormImportar = new TFormImportar(*this);
  FormImportar->Button1->setText(Tr("Importar", "Import"));
  FormImportar->setWindowTitle(Tr("Importar TEMAS", "Import SONGS"));
  const QString chosen = dialogs->OpenFileName(req);
  if (chosen.isEmpty()) return;
  const std::string path = FsPath(chosen);
  if (!FileExists(path)) return;
  FormImportar->ImportPath = path;
  FormImportar->ShowModal();
}

bool TMainForm::ImportarTema(int a) {
  Rhythm->FormulaCount = GridFormulaCount();
  Rhythm->TemaCount = GridTemaCount();
  const ImportOutcome out = ImportThemeFromOtherSet(*Rhythm, a, BasicFormulasEqualForImport);
  switch (out.status) {
    case ImportOutcome::kDone:
      break;
    case ImportOutcome::kNoSuchTheme:
      return false;
    case ImportOutcome::kNoThemeRoom:
      dialogs->ShowMessage(Tr("No caben más temas (128)", "There is no room for more songs (128)"));
      return false;
    case ImportOutcome::kNoFormulaRoom:
      dialogs->ShowMessage(Tr("No caben más fórmulas (512)", "There is no room for more formulas (512)"));
      return false;
    case ImportOutcome::kTooManyEntries:
      dialogs->ShowMessage(Tr("Un tema no puede tener más de 120 entradas", "A song cannot have more than 120 entries"));
      return false;
  }
  const int n = out.tema;
  SGTemas->SetRowCount(n + 2);
  FillTemaRow(n);
  Log(QString::fromUtf8("Importando Tema: ") + L1(Rhythm->Temas[static_cast<size_t>(n)].Name()));
  for (int k : out.addedFormulas) {
    SGFormulas->SetRowCount(k + 2);
    FillFormulaRow(k);
    Log(QString::fromUtf8("Añadiendo fórmula: ") + L1(Rhythm->Formulas[static_cast<size_t>(k)].Name()));
  }
  const int col = SGTemas->Col();
  SGTemas->Select(col, n + 1);
  SGTemasSelectCell(col, n + 1);
  Cambios();
  return true;
}

}  // namespace bornace
