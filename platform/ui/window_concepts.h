// The small parts that the window steps of both editions ask of a main
// window, each as a concept the larger ones are made of: the texts in the
// language in force, the log and the message boxes. A window that lacks one
// is refused where the step is called, naming the part.
#pragma once

#include <QString>
#include <concepts>

#include "platform/ui/dialogs.h"

// Words its texts in the language in force: Tr(spanish, english) and the
// English switch.
template <class Form>
concept WordedWindow = requires(const Form& f, const char* text) {
  { f.Tr(text, text) } -> std::convertible_to<QString>;
  { f.English } -> std::convertible_to<bool>;
};

// Writes a line to the window's log (Log).
template <class Form>
concept LoggingWindow = requires(Form& f, const QString& line) { f.Log(line); };

// Shows its messages, questions and file dialogs through `dialogs` (tests
// answer them).
template <class Form>
concept AskingWindow = requires(Form& f) {
  { *f.dialogs } -> std::convertible_to<Dialogs&>;
};
