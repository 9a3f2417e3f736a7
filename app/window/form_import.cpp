#include "app/window/form_import.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>

#include "app/window/mainform.h"
#include "platform/ui/string_grid.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "rhythm/dataset.h"
#include "rhythm/library_ops.h"
#include "rhythm/window/library_handlers.h"

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

TFormImportar::TFormImportar(TMainForm& owner)
    : ThemeImportDialog(&owner, *owner.Rhythm, owner.DataSet, "Importar   >>"), owner_(owner) {
  LB1->setUniformItemSizes(true);
  LB1->setItemDelegate(new ImportListDelegate(*this, LB1));
  FormCreate();
}

void TFormImportar::FormCreate() { ImportedThemes.clear(); }

ThemeImportDialog::OtherSet TFormImportar::LoadOtherSet(const std::string& folder) {
  const OtherSetLoad r = ::LoadOtherSet(*owner_.Rhythm, folder);
  return {r.temaCount, r.formulasFound && r.temasFound};
}

bool TFormImportar::ImportTheme(int a) { return owner_.ImportarTema(a); }

void TFormImportar::Imported(const QString& name) {
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

// --- the menu command and the copy into the open set ------------------------

void TMainForm::ImportarTEMA1Click() {
  FileDialogRequest req;
  req.initialDir = QDir::currentPath() + "/datos";
  req.title = Tr("Seleccione un archivo de datos DRAVv2", "Select a data file DRAVv2");
  req.filter = "Archivos DRAVv2|*.vl2";
  library_steps::RunThemeImport(*this, req);
}

bool TMainForm::ImportarTema(int a) { return library_steps::ImportOtherTheme(*this, a, FormulasEqualForImport); }
