#include "platform/ui/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {
// "Description|*.ext" into Qt's "Description (*.ext)".
QString QtFilter(const QString& f) {
  const QStringList parts = f.split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i] + " (" + parts[i + 1] + ")";
  return out.join(";;");
}

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent) : parent_(parent) {}

  void ShowMessage(const QString& text) override {
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent_);
    box.exec();
  }

  int Ask(const QString& text, const QString& caption, AskButtons buttons) override {
    QMessageBox::StandardButtons b = QMessageBox::Yes | QMessageBox::No;
    if (buttons == AskButtons::YesNoCancel) b |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, caption, text, b, parent_);
    switch (box.exec()) {
      case QMessageBox::Yes: return kAnswerYes;
      case QMessageBox::No: return kAnswerNo;
      default: return kAnswerCancel;
    }
  }

  QString OpenFileName(const FileDialogRequest& r) override { return Run(r, QFileDialog::AcceptOpen); }
  QString SaveFileName(const FileDialogRequest& r) override { return Run(r, QFileDialog::AcceptSave); }

 private:
  QString Run(const FileDialogRequest& r, QFileDialog::AcceptMode mode) {
    QFileDialog dlg(parent_, r.title, r.initialDir, QtFilter(r.filter));
    dlg.setAcceptMode(mode);
    dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!r.defaultName.isEmpty()) dlg.selectFile(r.defaultName);
    if (r.onFolderChange)
      QObject::connect(&dlg, &QFileDialog::directoryEntered, &dlg, [&](const QString& d) { r.onFolderChange(d); });
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().first();
  }
  QWidget* parent_;
};
}  // namespace

std::unique_ptr<Dialogs> CreateQtDialogs(QWidget* parent) { return std::make_unique<QtDialogs>(parent); }
