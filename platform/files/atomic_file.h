// Checked, atomic file writes: every file the program writes goes through here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FileToWrite {
  std::string path;
  std::vector<uint8_t> bytes;
};

// Writes each file to a temporary beside it, flushes and checks every write,
// and only when all of them succeeded renames them into place. On failure no
// target file is changed and *error names what failed.
bool WriteFilesAtomically(const std::vector<FileToWrite>& files, std::string* error);
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

// Files that only make sense together (the files of a data set): each is
// written to "<path>.saving" and flushed; then the journal (written
// atomically itself) lists them, which commits the group; then each is
// renamed into place and the journal removed. A write cut short at any
// point (a kill, a power cut) is put right by RecoverFileGroup before the
// files are read again: after the commit it completes the renames, so all
// files are new; before it, it removes the new files, so all are old.
bool WriteFileGroupAtomically(const std::string& journalPath, const std::vector<FileToWrite>& files,
                              std::string* error);
enum class GroupRecovery { kNothing, kCompleted, kRolledBack };
GroupRecovery RecoverFileGroup(const std::string& journalPath, const std::vector<std::string>& paths);

// Test hook: a group write ends the process (_exit) at a step: 0 with its
// new files written but before the commit, 1 right after the commit, 1 + k
// after k renames into place; -1 switches it off.
void SetGroupStopForTests(int renames);

// Test hook: the write of the n-th file (1-based) of every following call
// fails as a full disk would; 0 switches it off.
void SetWriteFailureForTests(int nth);

// Reads at most maxBytes of a file; false when it cannot be opened.
bool ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<uint8_t>* out);
bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
// Creates a folder and its parents; on failure *error says which folder and why.
bool MakeDirs(const std::string& path, std::string* error = nullptr);
// Copies a file, replacing the target atomically (as WriteFilesAtomically
// does, the test hook included), streamed: a file of any size is never held
// in memory whole.
bool CopyFileReplacing(const std::string& from, const std::string& to, std::string* error);
