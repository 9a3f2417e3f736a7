#include "platform/files/text.h"

#include <QFile>
#include <cctype>

std::string FsPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString FromFs(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string FsName(const std::string& latin1) { return FsPath(L1(latin1)); }
std::string NameOfFs(const std::string& path) { return ToL1(FromFs(path)); }

std::string ToL1(const QString& s) {
  std::string out;
  out.reserve(static_cast<size_t>(s.size()));
  for (QChar c : s) out.push_back(c.unicode() < 256 ? static_cast<char>(c.unicode()) : '?');
  return out;
}

std::vector<std::string> SplitLines(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> lines;
  std::string cur;
  for (uint8_t b : bytes) {
    if (b == '\n') {
      if (!cur.empty() && cur.back() == '\r') cur.pop_back();
      lines.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(static_cast<char>(b));
    }
  }
  if (!cur.empty() && cur.back() == '\r') cur.pop_back();
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

std::vector<uint8_t> JoinLines(const std::vector<std::string>& lines) {
  std::vector<uint8_t> out;
  for (const auto& l : lines) {
    out.insert(out.end(), l.begin(), l.end());
    out.push_back('\r');
    out.push_back('\n');
  }
  return out;
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
  if (tail.size() > s.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    const unsigned char a = static_cast<unsigned char>(s[s.size() - tail.size() + i]);
    const unsigned char b = static_cast<unsigned char>(tail[i]);
    if (std::tolower(a) != std::tolower(b)) return false;
  }
  return true;
}
