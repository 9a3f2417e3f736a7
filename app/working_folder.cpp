#include "app/working_folder.h"
#include "app/startup.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool IsWorkingFolder(const std::string& folder) {
  std::error_code ec;
  return !folder.empty() && fs::is_directory(fs::path(folder) / "datos", ec);
}

std::string UserWorkingFolder(const std::string& edition) {
  const char* data = std::getenv("XDG_DATA_HOME");
  fs::path base;
  if (data && *data && fs::path(data).is_absolute()) {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return {};
    base = fs::path(home) / ".local" / "share";
  }
  return (base / "velarto-quendrel" / edition).string();
}

std::string FactoryFolder(const std::string& programDir, const std::string& edition) {
  const fs::path dir(programDir);
  for (const fs::path& p : {dir.parent_path() / "share" / "velarto-quendrel" / "factory" / edition,
                            dir / "factory" / edition}) {
    std::error_code ec;
    if (fs::is_directory(p / "datos", ec)) return p.string();
  }
  return {};
}

namespace {
// Copies what is missing below `to`; false with the reason at the first failure.
bool CopyMissing(const fs::path& from, const fs::path& to, std::string* error) {
  std::error_code ec;
  fs::create_directories(to, ec);
  if (ec) {
    *error = to.string() + ": " + ec.message();
    return false;
  }
  for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const fs::path target = to / fs::relative(it->path(), from);
    if (it->is_directory()) {
      fs::create_directories(target, ec);
    } else if (!fs::exists(target)) {
      // Into a temporary first, so that a copy cut short leaves no half file.
      const fs::path part = target.string() + ".part";
      fs::copy_file(it->path(), part, fs::copy_options::overwrite_existing, ec);
      if (!ec) fs::rename(part, target, ec);
      if (ec) fs::remove(part);
    }
    if (ec) {
      *error = target.string() + ": " + ec.message();
      return false;
    }
  }
  if (ec) {
    *error = from.string() + ": " + ec.message();
    return false;
  }
  return true;
}
}  // namespace

WorkingFolderChoice ChooseWorkingFolder(const std::string& current, const std::string& userFolder,
                                        const std::string& factory) {
  WorkingFolderChoice c;
  if (IsWorkingFolder(current) || userFolder.empty()) return c;  // today's way: nothing changes
  if (!IsWorkingFolder(userFolder)) {
    if (factory.empty()) {
      c.error = "the factory content is not installed beside the program";
      return c;
    }
    // "datos" comes last, so that a first start cut short is completed by the next.
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(factory, ec)) {
      if (e.path().filename() == "datos") continue;
      const fs::path to = fs::path(userFolder) / e.path().filename();
      std::string err;
      bool ok = true;
      if (e.is_directory()) {
        ok = CopyMissing(e.path(), to, &err);
      } else if (!fs::exists(to)) {
        fs::create_directories(userFolder, ec);
        std::error_code cec;
        fs::copy_file(e.path(), to, cec);
        if (cec) err = to.string() + ": " + cec.message(), ok = false;
      }
      if (!ok) {
        c.error = err;
        return c;
      }
    }
    // The sets: copied beside, then moved into place in one step.
    const fs::path datos = fs::path(userFolder) / "datos";
    const fs::path part = fs::path(userFolder) / "datos.part";
    fs::remove_all(part, ec);
    std::string err;
    if (!CopyMissing(fs::path(factory) / "datos", part, &err)) {
      c.error = err;
      return c;
    }
    fs::rename(part, datos, ec);
    if (ec) {
      c.error = datos.string() + ": " + ec.message();
      return c;
    }
  }
  c.folder = userFolder;
  return c;
}

StartFolder EnterStartFolder(const std::vector<std::string>& args, const std::string& listExt,
                             const std::string& edition, const std::string& programDir) {
  StartFolder out;
  std::error_code ec;
  if (auto set = FindCommandLineSet(args, listExt)) {
    out.listFile = set->name + listExt;
    fs::current_path(set->workingFolder, ec);  // a failure changes nothing
    return out;
  }
  // Started from the menu: the user's own working folder, made from the
  // factory content at the first start.
  const WorkingFolderChoice wf =
      ChooseWorkingFolder(fs::current_path(ec).string(), UserWorkingFolder(edition), FactoryFolder(programDir, edition));
  out.error = wf.error;
  if (!wf.folder.empty()) fs::current_path(wf.folder, ec);
  return out;
}
