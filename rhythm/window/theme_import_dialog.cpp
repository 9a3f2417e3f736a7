#include "rhythm/window/theme_import_dialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "platform/files/text.h"
#include "rhythm/dataset.h"
#include "rhythm/records.h"

ThemeImportDialog::ThemeImportDialog(QWidget* owner, RhythmTables& rhythm, const DataSetState& dataSet,
                                     const QString& buttonCaption)
    : QDialog(owner), rhythm_(rhythm), dataSet_(dataSet) {
  setObjectName("FormImportar");
  setWindowTitle("Importar TEMA");
  setFixedSize(320, 414);
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(8, 6, 304, 18);
  LB1 = new QListWidget(this);
  LB1->setObjectName("LB1");
  LB1->setGeometry(8, 28, 304, 340);
  Button1 = new QPushButton(buttonCaption, this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(8, 376, 304, 30);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void ThemeImportDialog::FormActivate() {
  if (ImportedForSet != dataSet_.DataSetName) {
    ImportedThemes.clear();
    ImportedForSet = dataSet_.DataSetName;
  }
  CloseRequested = false;
  if (ImportPath.size() <= 4) {
    CloseRequested = true;
    return;
  }
  ImportSetFolder = ImportPath.substr(0, ImportPath.size() - 4);
  Label1->setText(FromFs(ImportSetFolder));
  const OtherSet r = LoadOtherSet(ImportSetFolder);
  if (!r.complete) CloseRequested = true;
  LB1->clear();
  const int n = std::clamp(r.temaCount, 0, kMaxTemas);
  for (int i = 0; i < n; ++i) LB1->addItem(L1(rhythm_.ImportTemas[static_cast<size_t>(i)].Name()));
  if (LB1->count() > 0) LB1->setCurrentRow(0);
}

void ThemeImportDialog::ShowModal() {
  FormActivate();
  if (CloseRequested) return;
  if (RunModal)
    exec();
  else
    show();
}

void ThemeImportDialog::Button1Click() {
  const int a = LB1->currentRow();
  if (a < 0 || a >= LB1->count()) return;  // an empty list has nothing to import
  const QString name = LB1->item(a)->text();
  if (ImportedThemes.contains(name, Qt::CaseInsensitive)) return;
  if (!ImportTheme(a)) return;  // refused by a table limit: not marked as imported
  ImportedThemes << name;
  Imported(name);
}

bool ThemeImportDialog::ChooseAndImport(const QString& name) {
  for (int i = 0; i < LB1->count(); ++i) {
    if (LB1->item(i)->text() == name) {
      LB1->setCurrentRow(i);
      Button1->click();
      return true;
    }
  }
  return false;
}
