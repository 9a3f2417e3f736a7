#include "content/basic_documents.h"

#include <QFile>
#include <cstring>
#include <filesystem>

#include "basic/window/basic_language.h"
#include "content/window/basic_manual_window.h"
#include "platform/files/atomic_file.h"

namespace {

BookPlan Plan(const char* title, const char* pdfTitle, const char* es, const char* en,
              const std::vector<ManualChapter>& chapters, bool tables) {
  BookPlan b;
  b.title = QString::fromUtf8(title);
  b.pdfTitle = QString::fromUtf8(pdfTitle);
  b.subtitleEs = QString::fromUtf8(es);
  b.subtitleEn = QString::fromUtf8(en);
  b.chapters = &chapters;
  if (tables) {
    b.messages = &BasicManualMessages();
    b.shortcuts = &BasicShortcutTexts();
  }
  return b;
}

}  // namespace

const std::vector<BasicDocument>& BasicDocuments() {
  static const std::vector<BasicDocument> docs = {
      {"ManualPC", Plan("BORNACE_DRAV", "BORNACE_DRAV", "Manual de usuario", "User manual", BasicManualChapters(), true)},
      {"Notacion", Plan("BORNACE_DRAV", "Notación / Notation", "Notación de las fórmulas", "Notation of the formulas",
                        BasicNotationChapters(), false)},
      {"PELN", Plan("DRAV", "DRAV", "Manual del metrónomo DRAV", "DRAV metronome manual", BasicDeviceChapters(), false)},
      {"guiarapida", Plan("BORNACE_DRAV", "Guía rápida / Quick start", "Guía rápida", "Quick start guide",
                          BasicQuickGuideChapters(), false)},
  };
  return docs;
}

QString BasicDocumentFileName(const BasicDocument& doc, bool english) {
  for (const LanguageRow& r : bornace::BasicLanguageTable())
    if (std::strcmp(r.component, doc.action) == 0 && std::strcmp(r.property, "fileName") == 0)
      return QString::fromUtf8(english ? r.english : r.spanish);
  return {};
}

std::unique_ptr<ManualBook> BuildBasicDocument(ManualSource& window, const BasicDocument& doc, bool english) {
  BookPlan plan = doc.plan;
  plan.spanish = !english;
  plan.english = english;
  return BuildBook(window, plan);
}

bool WriteBasicDocuments(const std::string& root, std::string* error) {
  std::vector<FileToWrite> files;
  {
    std::unique_ptr<BasicManualWindow> window = BasicManualWindow::Open(error);
    if (!window) return false;
    for (const BasicDocument& doc : BasicDocuments()) {
      for (bool english : {false, true}) {
        const auto book = BuildBasicDocument(*window, doc, english);
        const QByteArray pdf = book ? ManualBookPdf(*book) : QByteArray();
        const QString name = BasicDocumentFileName(doc, english);
        if (!pdf.startsWith("%PDF") || name.isEmpty()) {
          if (error) *error = "the document " + name.toStdString() + " could not be laid out";
          return false;
        }
        // Named on the disk as the window's file-run actions look for them.
        const QByteArray encoded = QFile::encodeName(name);
        files.push_back({(std::filesystem::path(root) / encoded.toStdString()).string(),
                         std::vector<uint8_t>(pdf.begin(), pdf.end())});
      }
    }
  }  // the window goes: the previous current folder comes back
  return WriteFilesAtomically(files, error);
}
