// The documents the basic program's help menu opens: its user manual, the
// notation sheet, the manual of the DRAV device and the quick start guide,
// each a PDF in Spanish and one in English, laid out with the captions and
// pictures of the basic window itself (basic/window/basic_manual_window.h).
#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "content/manual_book.h"

struct BasicDocument {
  const char* action;  // the window's file-run action that opens it
  BookPlan plan;       // both languages; a book is made of one of them
};

// The four documents, in the order ManualPC, Notacion, PELN, guiarapida.
const std::vector<BasicDocument>& BasicDocuments();

// The chapters, messages and key texts of the user manual (basic_documents_text.cpp).
const std::vector<ManualChapter>& BasicManualChapters();
const std::vector<ManualMessage>& BasicManualMessages();
const std::vector<ManualShortcutText>& BasicShortcutTexts();
const std::vector<ManualChapter>& BasicNotationChapters();
const std::vector<ManualChapter>& BasicDeviceChapters();
const std::vector<ManualChapter>& BasicQuickGuideChapters();

// One document in one language, laid out against the window.
std::unique_ptr<ManualBook> BuildBasicDocument(ManualSource& window, const BasicDocument& doc, bool english);
