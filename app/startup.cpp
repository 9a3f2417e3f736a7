#include "app/startup.h"

#include <algorithm>
#include <filesystem>

#include "platform/files/atomic_file.h"

namespace fs = std::filesystem;

namespace {
bool IsListFileName(const std::string& a, const std::string& ext) {
  return a.size() > ext.size() && a.compare(a.size() - ext.size(), ext.size(), ext) == 0;
}

bool InDatosFolder(const std::string& path) { return fs::path(path).parent_path().filename() == "datos"; }

// The list path an argument ending in the list extension ends: a path with spaces reaches
// us split into several arguments, so the argument is joined (with one space)
// to those before it when only together they make a list path: the shortest
// join that names an existing file, or else the shortest that lies in a
// "datos" folder; the argument alone when neither does.
std::string ListPathEndingAt(const std::vector<std::string>& args, size_t last) {
  std::vector<std::string> joins;  // joins[k]: the argument with the k before it
  std::string path = args[last];
  joins.push_back(path);
  for (size_t j = last; j-- > 0;) {
    path = args[j] + " " + path;
    joins.push_back(path);
  }
  if (FileExists(joins[0]) || InDatosFolder(joins[0])) return joins[0];
  for (const std::string& p : joins)
    if (FileExists(p)) return p;
  for (const std::string& p : joins)
    if (InDatosFolder(p)) return p;
  return joins[0];
}
}  // namespace

std::optional<CommandLineSet> FindCommandLineSet(const std::vector<std::string>& args, const std::string& ext) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (!IsListFileName(args[i], ext)) continue;
    const fs::path p(ListPathEndingAt(args, i));
    CommandLineSet s;
    s.name = p.filename().string();
    s.name.resize(s.name.size() - ext.size());
    if (s.name.empty()) continue;
    std::error_code ec;
    fs::path whole = fs::absolute(p, ec);
    if (ec) whole = p;
    s.workingFolder = whole.parent_path().parent_path().string();
    return s;
  }
  return std::nullopt;
}

bool TunerInputIsMicrophone(const std::string& value) { return value == "Microfono"; }

std::vector<std::string> GuitarSetNames(const std::string& bankFolder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(bankFolder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code kind;
    if (!it->is_directory(kind)) continue;
    const std::string n = it->path().filename().string();
    if (n.empty() || n[0] == '.' || n.find('.') != std::string::npos) continue;
    if (FileExists(bankFolder + "/" + n + "/c6.wav")) names.push_back(n);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                   [&](char x, char y) { return lower(x) < lower(y); });
    const bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                      [&](char x, char y) { return lower(x) < lower(y); });
    return less || (!greater && a < b);
  });
  return names;
}

std::string EscapedExceptionText(std::exception_ptr e) {
  try {
    if (e) std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    return ex.what();
  } catch (...) {
  }
  return std::string();
}
