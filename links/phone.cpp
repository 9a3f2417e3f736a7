#include "links/phone.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace phone {
namespace {

void PutInt32(std::string& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

// Names from the network or from disk shown as plain text: control bytes
// become '?', so a name cannot break a Visor line.
std::string PlainText(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (unsigned char c : s) out.push_back(c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c));
  return out;
}

Outcome CannotRead(const std::string& path) {
  return Outcome{std::nullopt, {"No se puede leer el archivo: " + PlainText(path)}};
}

}  // namespace

std::string BuildIosInfo(const std::string& name) {
  std::string out;
  PutInt32(out, kCodeInfo);
  out += name;
  out.push_back('\0');
  return out;
}

std::string BuildIosFile(const std::string& name, const std::string& listBytes) {
  std::string out;
  PutInt32(out, kCodeFile);
  out += name;
  out.push_back('\0');
  out += listBytes;
  return out;
}

std::string BuildIosTable(int32_t code, const std::string& fileBytes) {
  std::string out;
  PutInt32(out, code);
  PutInt32(out, static_cast<int32_t>(fileBytes.size()));
  out += fileBytes;
  return out;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return ss.str();
}

Outcome PhoneDialogue::OnRead(const std::string& raw, const DataSetFiles& set) {
  const std::string bytes = raw.substr(0, kMaxRead);
  const std::size_t n = bytes.size();
  if (n >= 2) {
    if (bytes[0] != '@') return {};
    // The name ends at the first NUL, as a C string would.
    std::string name = bytes.substr(1);
    if (auto z = name.find('\0'); z != std::string::npos) name.resize(z);
    Outcome out = InformaAliPhone(set);
    out.log.insert(out.log.begin(), {"Dispositivo iOS conectado:", PlainText(name)});
    return out;
  }
  if (n == 1) {
    const int ack = static_cast<signed char>(bytes[0]);
    if (ack != state_) return Outcome{std::nullopt, {"?"}};
    switch (state_) {
      case 0: return EnviaAliPhone(set);
      case 1: return EnvialAliPhoneTemas(set);
      case 2: return EnviaAliPhoneFormulas(set);
      default:
        state_ = 0;
        return Outcome{std::nullopt, {"Archivo enviado OK."}};
    }
  }
  return {};
}

bool PhoneDialogue::AsksForMessage(const std::string& raw) const {
  const std::size_t n = std::min(raw.size(), kMaxRead);
  if (n >= 2) return raw[0] == '@';
  if (n == 1) {
    const int ack = static_cast<signed char>(raw[0]);
    return ack == state_ && state_ >= 0 && state_ <= kCodeTemas;
  }
  return false;
}

Outcome PhoneDialogue::InformaAliPhone(const DataSetFiles& set) {
  Outcome out;
  out.send = BuildIosInfo(set.name);
  state_ = 0;
  out.log = {"iOS archivo a enviar:", PlainText(set.name)};
  return out;
}

Outcome PhoneDialogue::EnviaAliPhone(const DataSetFiles& set) {
  const auto bytes = read_(set.listPath);
  if (!bytes) return CannotRead(set.listPath);
  state_ = kCodeFile;
  return Outcome{BuildIosFile(set.name, *bytes), {"Enviando archivo:", PlainText(set.name)}};
}

Outcome PhoneDialogue::SendTable(int32_t code, const std::string& path, const char* line) {
  const auto bytes = read_(path);
  if (!bytes) return CannotRead(path);
  state_ = code;
  return Outcome{BuildIosTable(code, *bytes), {line}};
}

Outcome PhoneDialogue::EnvialAliPhoneTemas(const DataSetFiles& set) {
  return SendTable(kCodeTemas, set.themesPath, "Enviando Temas");
}

Outcome PhoneDialogue::EnviaAliPhoneFormulas(const DataSetFiles& set) {
  return SendTable(kCodeFormulas, set.formulasPath, "Enviando Formulas");
}

}  // namespace phone
