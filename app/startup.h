// Start-up decisions that need no window: the data set named on the command
// line, the tuner input setting, the guitar sample sets on disk and the text
// an escaped exception is shown with.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

struct CommandLineSet {
  std::string name;           // the list file's base name, less its extension
  std::string workingFolder;  // the parent of the folder that holds the list file
};

// The first argument ending in the list extension (exact case: ".vl2", the
// basic edition's ".ole") names the set to open; the arguments before it are
// joined to it when the shell split a path with spaces (see ListPathEndingAt
// in startup.cpp).
std::optional<CommandLineSet> FindCommandLineSet(const std::vector<std::string>& args,
                                                 const std::string& ext = ".vl2");

// "Afinador": exactly "Microfono" chooses the PC microphone, anything else the device.
bool TunerInputIsMicrophone(const std::string& value);

// Sub-folders of the sound library without an extension that hold "c6.wav",
// in name order regardless of letter case (as a folder listing shows them).
std::vector<std::string> GuitarSetNames(const std::string& bankFolder);

// What the exception box says: the exception's message, or nothing for a
// thrown value that is no std::exception.
std::string EscapedExceptionText(std::exception_ptr e);
