// The companion app's link: what crosses the TCP connection between this
// program and the app on a phone. No sockets and no window here: the
// dialogue is a state machine over the bytes one read delivers, and what it
// must send and log comes back as data.
//
// Program -> app (integers 32-bit little-endian):
//   IosInfo      129, name, NUL
//   IosFile        1, name, NUL, the list file's bytes (no length)
//   IosTemas       2, int32 size, the themes file's bytes
//   IosFormulas    3, int32 size, the formulas file's bytes
// App -> program, one read each: '@' + device name (2 bytes or more), or one
// acknowledgement byte equal to IosState.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace phone {

inline constexpr int32_t kCodeInfo = 129;
inline constexpr int32_t kCodeFile = 1;
inline constexpr int32_t kCodeTemas = 2;
inline constexpr int32_t kCodeFormulas = 3;
inline constexpr std::size_t kReceiveBufferSize = 1024;  // IosReceiveBuffer
inline constexpr std::size_t kMaxRead = kReceiveBufferSize - 1;  // room for the NUL
inline constexpr uint16_t kPort = 1234;
inline constexpr const char* kServiceName = "PELN_PROF";
inline constexpr const char* kServiceType = "_ostrelvane._tcp";

// The open data set as the link sees it: its name and where its three files are.
struct DataSetFiles {
  std::string name;          // DataSetName
  std::string listPath;      // DataSetListPath
  std::string themesPath;    // datos/<name>/temas.svs
  std::string formulasPath;  // datos/<name>/formulas.svs
};

std::string BuildIosInfo(const std::string& name);
std::string BuildIosFile(const std::string& name, const std::string& listBytes);
std::string BuildIosTable(int32_t code, const std::string& fileBytes);

// A file read whole, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// What one event asks of the connection and of Visor.
struct Outcome {
  std::optional<std::string> send;  // one whole message for the connection
  std::vector<std::string> log;     // Visor lines, in order
};

// The dialogue's state, one for each connection.
class PhoneDialogue {
 public:
  using FileReader = std::function<std::optional<std::string>(const std::string&)>;
  explicit PhoneDialogue(FileReader reader = ReadWholeFile) : read_(std::move(reader)) {}

  // One read event's bytes (at most kMaxRead of them are looked at).
  Outcome OnRead(const std::string& bytes, const DataSetFiles& set);
  // IosInfo for the set (after a greeting, or after a data set was opened).
  Outcome InformaAliPhone(const DataSetFiles& set);
  Outcome EnviaAliPhone(const DataSetFiles& set);
  Outcome EnvialAliPhoneTemas(const DataSetFiles& set);
  Outcome EnviaAliPhoneFormulas(const DataSetFiles& set);

  int IosState() const { return state_; }
  // Whether these bytes (one read) ask for a message: a greeting, or the
  // acknowledgement of a message that has a next one.
  bool AsksForMessage(const std::string& bytes) const;

 private:
  Outcome SendTable(int32_t code, const std::string& path, const char* line);
  FileReader read_;
  int state_ = 0;
};

}  // namespace phone
