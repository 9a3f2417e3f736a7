// 8-bit (Latin-1) text helpers: names and list files are stored as bytes.
#pragma once

#include <QString>
#include <string>
#include <vector>

inline QString L1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
// Characters outside Latin-1 become '?'.
std::string ToL1(const QString& s);

// Lines of a text file (CR LF or LF), and the bytes of lines joined by CR LF.
std::vector<std::string> SplitLines(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> JoinLines(const std::vector<std::string>& lines);
bool EndsWithNoCase(const std::string& s, const std::string& tail);
