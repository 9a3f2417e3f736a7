// The companion app's dialogue over any bytes: the input is cut into reads
// (each led by its length byte) and fed in order; the state stays one of the
// dialogue's steps and every message sent begins with the code of that step.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "links/phone.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  phone::PhoneDialogue d([](const std::string& p) -> std::optional<std::string> {
    if (p.find("formulas") != std::string::npos) return std::nullopt;  // one file is unreadable
    return std::string(p.size(), 'f');
  });
  const phone::DataSetFiles set{"Set", "datos/Set.vl2", "datos/Set/temas.svs", "datos/Set/formulas.svs"};
  size_t i = 0;
  while (i < size) {
    const size_t n = data[i++];
    const size_t take = n < size - i ? n : size - i;
    const phone::Outcome o = d.OnRead(std::string(reinterpret_cast<const char*>(data + i), take), set);
    i += take;
    const int s = d.IosState();
    if (s < 0 || s > 3) std::abort();
    if (o.send) {
      if (o.send->size() < 5) std::abort();
      const int code = static_cast<unsigned char>((*o.send)[0]);
      if (code != (s == 0 ? phone::kCodeInfo : s)) std::abort();
    }
    for (const std::string& line : o.log)
      for (unsigned char c : line)
        if (c < 0x20) std::abort();
  }
  return 0;
}
