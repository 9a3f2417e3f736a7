#include "content/basic_documents.h"

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

std::unique_ptr<ManualBook> BuildBasicDocument(ManualSource& window, const BasicDocument& doc, bool english) {
  BookPlan plan = doc.plan;
  plan.spanish = !english;
  plan.english = english;
  return BuildBook(window, plan);
}
