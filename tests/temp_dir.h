// A scratch working folder for one test: created empty, made the current
// folder, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

class ScratchFolder {
 public:
  ScratchFolder() {
    char tmpl[] = "/tmp/velarto-test-XXXXXX";
    path_ = ::mkdtemp(tmpl);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

  static void Write(const std::string& p, const std::vector<uint8_t>& bytes) {
    const auto parent = std::filesystem::path(p).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
  }
  static std::vector<uint8_t> Read(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::string path_;
  std::filesystem::path old_;
};
