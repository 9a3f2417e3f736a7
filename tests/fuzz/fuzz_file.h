// Helpers of the fuzz targets: the readers under test take paths, so each
// input is written to a file of a scratch folder of this process first.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

// A folder of its own for this process, made once and reused by every input,
// removed at exit (the name is never destroyed, so the handler can use it).
inline const std::string& FuzzFolder() {
  static const std::string* const folder = [] {
    const std::string f = (std::filesystem::temp_directory_path() / ("velarto-fuzz-" + std::to_string(::getpid())))
                              .string();
    std::filesystem::create_directories(f);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(FuzzFolder(), ec);
    });
    return new std::string(f);
  }();
  return *folder;
}

// Writes bytes to name inside the scratch folder and returns its path.
inline std::string FuzzFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = FuzzFolder() + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}
