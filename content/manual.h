// The user manual "Manual DRAV_PROF.pdf" of the working folder: both
// languages, with pictures of the program's own window (content/manual_book.h).
// The window itself is built by the one who asks (app/window/manual_window.h);
// laying the book out needs a QApplication.
#pragma once

#include <string>

struct BookPlan;
struct ManualBook;

inline constexpr const char* kManualFileName = "Manual DRAV_PROF.pdf";

// The manual's title, chapters and tables.
const BookPlan& ManualPlan();

// Writes the laid-out manual (BuildBook on ManualPlan) as root/"Manual DRAV_PROF.pdf",
// atomically.
bool WriteManual(const std::string& root, const ManualBook& book, std::string* error);
