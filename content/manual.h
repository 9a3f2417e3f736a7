// The user manual "Manual DRAV_PROF.pdf" of the working folder, written as a
// PDF by Qt. Needs a QGuiApplication (the text is laid out with real fonts).
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

inline constexpr const char* kManualFileName = "Manual DRAV_PROF.pdf";

// The manual's text as HTML (headings, paragraphs and lists).
QString ManualHtml();

// The PDF file image of the manual.
QByteArray ManualPdf();

// Writes root/"Manual DRAV_PROF.pdf" atomically.
bool WriteManual(const std::string& root, std::string* error);
