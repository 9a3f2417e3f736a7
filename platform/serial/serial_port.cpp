#include "platform/serial/serial_port.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace serial {

bool SerialPort::Open(const std::string& name) {
  Close();
  error_.clear();
  if (name.empty()) {
    error_ = "no port name";
    return false;
  }
  std::string why;
  if (!OpenDevice(name, &why)) {
    error_ = why.empty() ? "the port cannot be opened" : why;
    return false;
  }
  open_ = true;
  lost_ = false;
  return true;
}

void SerialPort::Close() {
  armed_ = false;
  lost_ = false;
  if (!open_) return;
  open_ = false;
  CloseDevice();
}

long SerialPort::Write(const uint8_t* data, size_t n) {
  if (!open_) return -1;
  if (n == 0) return 0;
  const long taken = WriteDevice(data, n);
  if (taken < 0) lost_ = true;
  return taken;
}

long SerialPort::Read(uint8_t* out, size_t capacity) {
  if (!open_) return -1;
  if (capacity == 0) return 0;
  const long got = ReadDevice(out, capacity);
  if (got < 0) lost_ = true;
  return got < 0 ? 0 : got;
}

bool SerialPort::WaitCompleted() {
  if (!open_) armed_ = false;
  if (!armed_ || !InputWaiting()) return false;
  armed_ = false;
  return true;
}

void SerialPort::ClearErrors() {
  // A device that has gone stays gone: its error is kept.
  if (open_ && !Lost()) ClearDeviceErrors();
}

bool SerialPort::Lost() {
  if (!open_) return false;
  if (!lost_ && DeviceLost()) lost_ = true;
  return lost_;
}

namespace {

namespace fs = std::filesystem;

// The number after "ttyACM", or -1 for any other name.
long AcmNumber(const std::string& name) {
  static const std::string prefix = "ttyACM";
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
  long n = 0;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || n > 1000000) return -1;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

// The vendor id of the USB device above a tty's interface folder: the first
// folder upwards that holds an idVendor file.
bool VendorOf(const fs::path& device, uint16_t* vendor) {
  std::error_code ec;
  fs::path p = fs::canonical(device, ec);
  if (ec) return false;
  for (int up = 0; up < 4 && !p.empty(); ++up, p = p.parent_path()) {
    std::ifstream in(p / "idVendor");
    if (!in) continue;
    std::string text;
    in >> text;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 16);
    if (text.empty() || *end != '\0' || v > 0xFFFF) return false;
    *vendor = static_cast<uint16_t>(v);
    return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> FindAcmPorts(const std::string& sysRoot, uint16_t vendor) {
  std::vector<std::pair<long, std::string>> found;
  std::error_code ec;
  for (fs::directory_iterator it(fs::path(sysRoot) / "class" / "tty", ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const long number = AcmNumber(name);
    uint16_t v = 0;
    if (number >= 0 && VendorOf(it->path() / "device", &v) && v == vendor) found.emplace_back(number, name);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> ports;
  for (const auto& f : found) ports.push_back("/dev/" + f.second);
  return ports;
}

}  // namespace serial
