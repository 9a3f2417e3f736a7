#include "platform/files/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
bool WriteAll(int fd, const uint8_t* p, size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

int g_failNth = 0;

std::string TempPathFor(const std::string& path) {
  return path + ".tmp-" + std::to_string(::getpid());
}

// The process id in a temporary's name "<file>.tmp-<pid>", or 0.
pid_t PidOfTemporary(const std::string& fileName) {
  const size_t at = fileName.rfind(".tmp-");
  if (at == std::string::npos || at == 0) return 0;
  const std::string digits = fileName.substr(at + 5);
  if (digits.empty() || digits.size() > 9) return 0;
  for (char c : digits)
    if (c < '0' || c > '9') return 0;
  return static_cast<pid_t>(std::stol(digits));
}

// A save killed before its renames leaves its temporaries behind; they are
// removed at the next save into the same folder, once the process that wrote
// them is gone. A temporary of a running process (ours too) stays.
void RemoveTemporariesOfEndedProcesses(const std::string& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end; it.increment(ec)) {
    const pid_t pid = PidOfTemporary(it->path().filename().string());
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
    std::error_code kind;
    if (!it->is_regular_file(kind) || it->is_symlink(kind)) continue;
    ::unlink(it->path().c_str());
  }
}
}  // namespace

void SetWriteFailureForTests(int nth) { g_failNth = nth; }

bool WriteFilesAtomically(const std::vector<FileToWrite>& files, std::string* error) {
  std::vector<std::string> temps;
  auto cleanup = [&] {
    for (const auto& t : temps) ::unlink(t.c_str());
  };
  std::vector<std::string> folders;
  for (const auto& f : files) {
    const std::string folder = fs::path(f.path).parent_path().string();
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
  }
  for (const auto& folder : folders) RemoveTemporariesOfEndedProcesses(folder);
  for (const auto& f : files) {
    const std::string tmp = TempPathFor(f.path);
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (error) *error = f.path + ": " + std::strerror(errno);
      cleanup();
      return false;
    }
    temps.push_back(tmp);
    bool ok = WriteAll(fd, f.bytes.data(), f.bytes.size()) && ::fsync(fd) == 0;
    if (g_failNth > 0 && static_cast<int>(temps.size()) == g_failNth) {
      ok = false;
      errno = ENOSPC;
    }
    const int savedErrno = errno;
    if (::close(fd) != 0 || !ok) {
      if (error) *error = f.path + ": " + std::strerror(ok ? errno : savedErrno);
      cleanup();
      return false;
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (::rename(temps[i].c_str(), files[i].path.c_str()) != 0) {
      if (error) *error = files[i].path + ": " + std::strerror(errno);
      // Files already renamed stay replaced; the rest keep their old content.
      for (size_t j = i; j < temps.size(); ++j) ::unlink(temps[j].c_str());
      return false;
    }
  }
  return true;
}

namespace {
int g_groupStop = -1;
const char kJournalHeader[] = "velarto-file-group 1";
std::string GroupTempOf(const std::string& path) { return path + ".saving"; }

// The journal's target paths; false when it is not a whole journal.
bool ReadJournal(const std::string& journalPath, std::vector<std::string>* paths) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(journalPath, 1 << 20, &bytes)) return false;
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t b : bytes) {
    if (b == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(static_cast<char>(b));
    }
  }
  if (lines.size() < 2 || lines.front() != kJournalHeader || lines.back() != "end" || !line.empty()) return false;
  paths->assign(lines.begin() + 1, lines.end() - 1);
  return true;
}
}  // namespace

void SetGroupStopForTests(int renames) { g_groupStop = renames; }

bool WriteFileGroupAtomically(const std::string& journalPath, const std::vector<FileToWrite>& files,
                              std::string* error) {
  std::vector<std::string> paths;
  for (const auto& f : files) paths.push_back(f.path);
  // A group cut short before is put right first: its files are read as the
  // old ones of this write.
  RecoverFileGroup(journalPath, paths);
  std::vector<FileToWrite> temps;
  for (const auto& f : files) temps.push_back({GroupTempOf(f.path), f.bytes});
  auto removeTemps = [&] {
    for (const auto& t : temps) ::unlink(t.path.c_str());
  };
  // Each new file whole and flushed beside its old one.
  std::string err;
  if (!WriteFilesAtomically(temps, &err)) {
    // Named as the file it was to become.
    for (size_t at; (at = err.find(".saving")) != std::string::npos;) err.erase(at, 7);
    if (error) *error = err;
    removeTemps();
    return false;
  }
  if (g_groupStop == 0) ::_exit(0);
  std::string journal = std::string(kJournalHeader) + "\n";
  for (const auto& p : paths) journal += p + "\n";
  journal += "end\n";
  // The commit: once the journal is in place, the new files are the group.
  {
    const std::string tmp = TempPathFor(journalPath);
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool ok = fd >= 0 && WriteAll(fd, reinterpret_cast<const uint8_t*>(journal.data()), journal.size()) &&
                    ::fsync(fd) == 0;
    const int saved = errno;
    if (fd >= 0) ::close(fd);
    if (!ok || ::rename(tmp.c_str(), journalPath.c_str()) != 0) {
      if (error) *error = journalPath + ": " + std::strerror(ok ? errno : saved);
      ::unlink(tmp.c_str());
      removeTemps();
      return false;
    }
  }
  if (g_groupStop == 1) ::_exit(0);
  for (size_t i = 0; i < files.size(); ++i) {
    if (::rename(temps[i].path.c_str(), files[i].path.c_str()) != 0) {
      // Committed: the next recovery completes what is left.
      if (error) *error = files[i].path + ": " + std::strerror(errno);
      return false;
    }
    if (g_groupStop == static_cast<int>(i) + 2) ::_exit(0);
  }
  ::unlink(journalPath.c_str());
  return true;
}

GroupRecovery RecoverFileGroup(const std::string& journalPath, const std::vector<std::string>& paths) {
  std::vector<std::string> committed;
  if (ReadJournal(journalPath, &committed)) {
    for (const auto& p : committed) {
      const std::string t = GroupTempOf(p);
      if (FileExists(t)) ::rename(t.c_str(), p.c_str());
    }
    ::unlink(journalPath.c_str());
    return GroupRecovery::kCompleted;
  }
  // No commit: new files left by a write cut short are not the group's.
  bool removed = false;
  for (const auto& p : paths) {
    const std::string t = GroupTempOf(p);
    if (FileExists(t) && ::unlink(t.c_str()) == 0) removed = true;
  }
  if (FileExists(journalPath)) {
    ::unlink(journalPath.c_str());
    removed = true;
  }
  return removed ? GroupRecovery::kRolledBack : GroupRecovery::kNothing;
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  return WriteFilesAtomically({FileToWrite{path, bytes}}, error);
}

namespace {
// Opens a regular file for reading; -1 otherwise. Only regular files:
// opening a FIFO or a device could wait for ever.
int OpenRegularFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  int saved = 0;
  if (::fstat(fd, &st) != 0)
    saved = errno;
  else if (!S_ISREG(st.st_mode))
    saved = EINVAL;
  else if (::fcntl(fd, F_SETFL, 0) != 0)
    saved = errno;
  if (saved == 0) return fd;
  ::close(fd);
  errno = saved;
  return -1;
}
}  // namespace

bool ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<uint8_t>* out) {
  out->clear();
  const int fd = OpenRegularFile(path);
  if (fd < 0) return false;
  FILE* f = ::fdopen(fd, "rb");
  if (!f) {
    ::close(fd);
    return false;
  }
  std::vector<uint8_t> buf(64 * 1024);
  while (out->size() < maxBytes) {
    const size_t want = std::min(buf.size(), maxBytes - out->size());
    const size_t got = std::fread(buf.data(), 1, want, f);
    out->insert(out->end(), buf.begin(), buf.begin() + static_cast<long>(got));
    if (got < want) break;
  }
  const bool bad = std::ferror(f) != 0;
  std::fclose(f);
  return !bad;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirs(const std::string& path, std::string* error) {
  std::error_code ec;
  fs::create_directories(path, ec);
  if (DirExists(path)) return true;
  // The cause is the one the creation met, not what a look afterwards finds.
  if (error) *error = path + ": " + (ec ? ec.message() : std::strerror(ENOTDIR));
  return false;
}

bool CopyFileReplacing(const std::string& from, const std::string& to, std::string* error) {
  // Streamed through one buffer into a temporary beside the target, checked
  // and flushed like WriteFilesAtomically, then renamed into place: a file of
  // any size costs the buffer, never its own size in memory.
  const int in = OpenRegularFile(from);
  if (in < 0) {
    if (error) *error = from + ": " + std::strerror(errno);
    return false;
  }
  const std::string tmp = TempPathFor(to);
  const int out = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    if (error) *error = to + ": " + std::strerror(errno);
    ::close(in);
    return false;
  }
  auto fail = [&](const std::string& which, int err) {
    ::close(in);
    ::close(out);
    ::unlink(tmp.c_str());
    if (error) *error = which + ": " + std::strerror(err);
    return false;
  };
  std::vector<uint8_t> buf(1 << 20);
  for (;;) {
    const ssize_t got = ::read(in, buf.data(), buf.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return fail(from, errno);
    }
    if (got == 0) break;
    if (!WriteAll(out, buf.data(), static_cast<size_t>(got))) return fail(to, errno);
  }
  if (::fsync(out) != 0) return fail(to, errno);
  if (g_failNth == 1) return fail(to, ENOSPC);
  ::close(in);
  if (::close(out) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    if (error) *error = to + ": " + std::strerror(err);
    return false;
  }
  if (::rename(tmp.c_str(), to.c_str()) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    if (error) *error = to + ": " + std::strerror(err);
    return false;
  }
  return true;
}
