#include "platform/ui/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <cstdio>

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
    std::unique_ptr<QFileDialog> dlg = MakeFileDialog(parent_, r, mode == QFileDialog::AcceptSave);
    if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty()) return {};
    return dlg->selectedFiles().first();
  }
  QWidget* parent_;
};
}  // namespace

std::unique_ptr<Dialogs> CreateQtDialogs(QWidget* parent) { return std::make_unique<QtDialogs>(parent); }

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const FileDialogRequest& r, bool save) {
  auto dlg = std::make_unique<QFileDialog>(parent, r.title, r.initialDir, QtFilter(r.filter));
  dlg->setOption(QFileDialog::DontUseNativeDialog, true);
  dlg->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!r.defaultName.isEmpty()) dlg->selectFile(r.defaultName);
  if (r.onFolderChange) {
    auto onFolderChange = r.onFolderChange;
    QObject::connect(dlg.get(), &QFileDialog::directoryEntered, dlg.get(),
                     [onFolderChange](const QString& d) { onFolderChange(d); });
  }
  return dlg;
}

bool SetQtDialogLanguage(bool english) {
  static QPointer<QTranslator> spanish;
  if (!QCoreApplication::instance()) return false;
  if (english) {
    if (spanish) QCoreApplication::removeTranslator(spanish);
    return true;
  }
  if (!spanish) {
    spanish = new QTranslator(QCoreApplication::instance());
    if (!spanish->load(QLocale(QLocale::Spanish, QLocale::Spain), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      delete spanish;
      static bool told = false;
      if (!told) std::fprintf(stderr, "Qt's Spanish texts (qtbase_es.qm) are not installed; its dialogs stay English\n");
      told = true;
      return false;
    }
  }
  QCoreApplication::installTranslator(spanish);  // installing it again only moves it first
  return true;
}
