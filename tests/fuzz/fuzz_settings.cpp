// The settings file: every key the program reads, from any file content.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "platform/ui/settings.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzFile("DRAV_PROF.ini", data, size);
  const SettingsIni ini(QString::fromStdString(path));
  for (const char* key : {"archivo", "Idioma", "Afinador", "Guitarra"})
    (void)ini.ReadString("METRONOMO", key, "");
  return 0;
}
