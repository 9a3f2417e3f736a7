// 8-bit (Latin-1) text helpers: names and list files are stored as bytes.
#pragma once

#include <QString>
#include <string>
#include <vector>

inline QString L1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
// Characters outside Latin-1 become '?'.
std::string ToL1(const QString& s);

// Paths are bytes in the file system's encoding (UTF-8 on Linux), names kept
// in records and sound lists are Latin-1 bytes: a name becomes part of a path
// only through FsName, and a path shown or taken as a name goes through
// FromFs.
std::string FsPath(const QString& path);         // a path typed or chosen by the user
QString FromFs(const std::string& path);          // a path (or a text holding one) to show
std::string FsName(const std::string& latin1);   // a Latin-1 name as a path component
std::string NameOfFs(const std::string& path);   // a path component as a Latin-1 name

// Lines of a text file (CR LF or LF), and the bytes of lines joined by CR LF.
std::vector<std::string> SplitLines(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> JoinLines(const std::vector<std::string>& lines);
bool EndsWithNoCase(const std::string& s, const std::string& tail);
