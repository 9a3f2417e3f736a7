// The user manual "Manual DRAV_PROF.pdf" of the working folder: both
// languages, with pictures of the program's own window (content/manual_book.h).
// The functions build that window offscreen, so they need a QApplication.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

inline constexpr const char* kManualFileName = "Manual DRAV_PROF.pdf";

// The manual's text as HTML (contents, then every chapter in Spanish and in English).
QString ManualHtml();

// The PDF file image of the manual.
QByteArray ManualPdf();

// Writes root/"Manual DRAV_PROF.pdf" atomically.
bool WriteManual(const std::string& root, std::string* error);
