// Where a program works when no data set is named on its command line: the
// current folder when it is a working folder already (it holds "datos"), or
// else the edition's own folder in the user's data folder
// ($XDG_DATA_HOME, or ~/.local/share, + "/velarto-quendrel/<edition>"),
// filled from the installed factory content at its first start and never
// written over later.
#pragma once

#include <string>
#include <vector>

bool IsWorkingFolder(const std::string& folder);

// The edition's folder in the user's data folder; empty without HOME and
// XDG_DATA_HOME.
std::string UserWorkingFolder(const std::string& edition);

// The factory content of the edition beside the program: installed
// (<prefix>/bin/X -> <prefix>/share/velarto-quendrel/factory/<edition>) or in
// the build tree (build/X -> build/factory/<edition>). Empty when neither.
std::string FactoryFolder(const std::string& programDir, const std::string& edition);

struct WorkingFolderChoice {
  std::string folder;  // where to work; empty: stay where we are
  std::string error;   // why the user's folder could not be made or filled
};

// The decision for a start without a set on the command line. A user folder
// without "datos" gets a copy of the factory content, file by file, where a
// file is missing (a file already there is never replaced).
WorkingFolderChoice ChooseWorkingFolder(const std::string& current, const std::string& userFolder,
                                        const std::string& factory);

// The start of either program: a set list on the command line (extension
// `listExt`) makes the parent of its folder the working folder and is named
// back in `listFile` ("<name><listExt>"); without one, the folder of
// ChooseWorkingFolder for `edition`. `error` says why the user's folder could
// not be made; a folder that cannot be entered changes nothing.
struct StartFolder {
  std::string listFile;
  std::string error;
};
StartFolder EnterStartFolder(const std::vector<std::string>& args, const std::string& listExt,
                             const std::string& edition, const std::string& programDir);
