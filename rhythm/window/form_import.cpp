#include "rhythm/window/form_import.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>

#include "app/window/mainform.h"
#include "app/window/string_grid.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "rhythm/dataset.h"
#include "rhythm/library_ops.h"

namespace {
// Hands the drawing of every list item to the dialog.
class ImportListDelegate : public QStyledItemDelegate {
 public:
  ImportListDelegate(const TFormImportar& dlg, QObject* parent) : QStyledItemDelegate(parent), dlg_(dlg) {}
  void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& index) const override {
    dlg_.LB1DrawItem(p, index.row(), opt.rect, (opt.state & QStyle::State_Selected) != 0);
  }
  QSize sizeHint(const QStyleOptionViewItem& opt, const QModelIndex&) const override {
    return QSize(opt.rect.width(), 20);
  }

 private:
  const TFormImportar& dlg_;
};
}  // namespace

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
  LB1->setUniformItemSizes(true);
  LB1->setItemDelegate(new ImportListDelegate(*this, LB1));
  Button1 = new QPushButton("Importar   >>", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(8, 376, 304, 30);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  FormCreate();
}

void TFormImportar::FormCreate() { ImportedThemes.clear(); }

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
  const OtherSetLoad r = LoadOtherSet(*owner_.Rhythm, ImportSetFolder);
  if (!r.formulasFound || !r.temasFound) CloseRequested = true;
  LB1->clear();
  for (int i = 0; i < r.temaCount; ++i) LB1->addItem(L1(owner_.Rhythm->ImportTemas[i].Name()));
  if (LB1->count() > 0) LB1->setCurrentRow(0);
}

void TFormImportar::ShowModal() {
  FormActivate();
  if (CloseRequested) {
    FormClose();
    return;
  }
  if (RunModal)
    exec();
  else
    show();
}

void TFormImportar::Button1Click() {
  const int a = LB1->currentRow();
  if (a < 0 || a >= LB1->count()) return;  // an empty list has nothing to import
  const QString name = LB1->item(a)->text();
  if (ImportedThemes.contains(name, Qt::CaseInsensitive)) return;
  if (!owner_.ImportarTema(a)) return;  // refused by a table limit: not marked as imported
  ImportedThemes << name;

  // The guitar track comes along; a name that is no plain file name has none.
  const std::string theme = ToL1(name);
  std::string to;
  if (GuitarTrackPathOf(owner_.DataSet.DataSetName, theme, &to)) {
    const std::string from = ImportSetFolder + "/" + FsName(theme) + ".gtr";
    if (FileExists(from)) {
      std::string err;
      MakeDirs(SetFolder(owner_.DataSet.DataSetName));
      if (!CopyFileReplacing(from, to, &err)) owner_.Log(FromFs(err));
    }
  }
  LB1->viewport()->update();
}

QColor TFormImportar::ItemTextColor(int index, bool selected) const {
  const QPalette& pal = LB1->palette();
  if (index >= 0 && index < LB1->count() && ImportedThemes.contains(LB1->item(index)->text(), Qt::CaseInsensitive))
    return QColor(255, 0, 0);
  return pal.color(selected ? QPalette::HighlightedText : QPalette::Text);
}

void TFormImportar::LB1DrawItem(QPainter* p, int index, const QRect& rect, bool selected) const {
  if (index < 0 || index >= LB1->count()) return;
  const QPalette& pal = LB1->palette();
  p->save();
  p->setPen(Qt::black);
  p->setBrush(pal.brush(selected ? QPalette::Highlight : QPalette::Base));
  p->drawRect(rect.adjusted(0, 0, -1, -1));
  p->setPen(ItemTextColor(index, selected));
  p->setFont(LB1->font());
  p->drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, LB1->item(index)->text());
  p->restore();
}

void TFormImportar::FormClose() {}

void TFormImportar::closeEvent(QCloseEvent* ev) {
  FormClose();
  QDialog::closeEvent(ev);
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

// --- the menu command and the copy into the open set ------------------------

void TMainForm::ImportarTEMA1Click() {
  FileDialogRequest req;
  req.initialDir = QDir::currentPath() + "/datos";
  req.title = Tr("Seleccione un archivo de datos DRAVv2", "Select a data file DRAVv2");
  req.filter = "Archivos DRAVv2|*.vl2";
  CreateImportDialog();
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
  Rhythm->FormulaCount = std::clamp(SGFormulas->RowCount() - 1, 0, kMaxFormulas);
  Rhythm->TemaCount = std::clamp(SGTemas->RowCount() - 1, 0, kMaxTemas);
  const ImportOutcome out = ImportThemeFromOtherSet(*Rhythm, a);
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
  const QString name = L1(Rhythm->Temas[n].Name());
  SGTemas->SetRowCount(n + 2);
  SGTemas->SetCells(0, n + 1, QString::number(n + 1));
  SGTemas->SetCells(1, n + 1, name);
  Log(QString::fromUtf8("Importando Tema: ") + name);
  for (int k : out.addedFormulas) {
    SGFormulas->SetRowCount(k + 2);
    FillFormulaRow(k);
    Log(QString::fromUtf8("Añadiendo fórmula: ") + L1(Rhythm->Formulas[k].Name()));
  }
  const int col = SGTemas->Col();
  SGTemas->Select(col, n + 1);
  SGTemasSelectCell(col, n + 1);
  Cambios();
  return true;
}
