#include "basic/transfer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "basic/basic_set.h"
#include "links/device.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"
#include "platform/serial/serial_port.h"

namespace fs = std::filesystem;

static_assert(kTransferCapacity == kBancoHeaderBytes + kSoundDataV1Bytes);

namespace {
bool gTransferRunning = false;

class RunningGuard {
 public:
  RunningGuard() : owner_(!gTransferRunning) { gTransferRunning = true; }
  ~RunningGuard() {
    if (owner_) gTransferRunning = false;
  }
  bool Owner() const { return owner_; }
  RunningGuard(const RunningGuard&) = delete;
  RunningGuard& operator=(const RunningGuard&) = delete;

 private:
  bool owner_;
};

void Log(const TransferIo& io, const std::string& s) {
  if (io.log) io.log(s);
}
void Dot(const TransferIo& io) {
  if (io.dot) io.dot();
}
bool Cancelled(const TransferIo& io) { return io.cancelled && io.cancelled(); }
// One round of waiting; without a pump the wait counts itself down.
void Pump(DeviceLink& L, const TransferIo& io) {
  if (io.pump)
    io.pump();
  else
    DeviceTimer2Tick(L);
}

void Write(DeviceLink& L, const uint8_t* p, size_t n) {
  if (L.HidDevice)
    SendToDevice(L, p, n);
  else
    SendToSerial(L, p, n, false);
}

// The serial port's wait for arriving characters completes once; the link
// re-arms it only after many idle polls, far too late for a transfer that
// waits for every block's answer. A transfer re-arms it at each poll.
void Poll(DeviceLink& L) {
  if (!L.HidDevice && L.Serial && !L.Serial->WaitArmed()) L.Serial->ArmWait();
  PollDevice(L);
}

// No device to talk to: none found, or the one there was has gone.
bool NoDevice(const DeviceLink& L) {
  return !L.HidDevice && (L.Disconnected || !L.Serial || !L.Serial->IsOpen());
}

void ReopenSerial(DeviceLink& L) {
  // A device that has gone is looked for by the link's own watch.
  if (L.HidDevice || !L.Serial || L.Disconnected) return;
  L.Serial->Close();
  OpenDeviceSerialPort(L);
}

void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
}  // namespace

bool TransferRunning() { return gTransferRunning; }

std::array<uint8_t, 256> DeviceConfigBlock(bool english, const std::string& date, const std::string& name) {
  std::array<uint8_t, 256> b;
  b.fill(0xFF);
  for (size_t i = 0; i < 10; ++i) b[2 + i] = i < date.size() ? static_cast<uint8_t>(date[i]) : ' ';
  const size_t n = std::min<size_t>(name.size(), 31);
  std::memcpy(b.data() + 32, name.data(), n);
  b[32 + n] = 0;
  b[0] = english ? 0xFE : 0xFF;
  b[1] = 0x85;
  return b;
}

char DateSeparatorOf(const std::string& shortDateFormat) {
  bool quoted = false;
  for (char c : shortDateFormat) {
    if (c == '\'') {
      quoted = !quoted;
      continue;
    }
    if (quoted || c == ' ' || std::isalpha(static_cast<unsigned char>(c))) continue;
    return c;
  }
  return '/';
}

std::array<uint8_t, 256> DeviceConfigBlock(bool english, int day, int month, int year, char separator,
                                           const std::string& name) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d%c%02d%c%04d", day % 100, separator, month % 100, separator, year % 10000);
  return DeviceConfigBlock(english, std::string(buf), name);
}

std::array<uint8_t, 7> TransferHeader(char item, uint32_t length) {
  std::array<uint8_t, 7> h{0x01, 0x77, static_cast<uint8_t>(item), 0, 0, 0, 0};
  PutU32(h.data() + 3, length);
  return h;
}

int SendBlocksToDevice(DeviceLink& L, char item, const std::vector<uint8_t>& payload, bool english,
                       const TransferIo& io) {
  (void)english;
  const auto header = TransferHeader(item, static_cast<uint32_t>(payload.size()));
  Write(L, header.data(), header.size());
  size_t remaining = payload.size();
  uint16_t block = 0;
  int resends = 0;
  while (remaining > 0) {
    const size_t start = static_cast<size_t>(block) * kTransferBlock;
    const size_t n = std::min(kTransferBlock, remaining);
    uint8_t x = 0;
    for (size_t i = 0; i < n; ++i) x ^= payload[start + i];
    L.DeviceChecksum = x;
    L.DeviceRxCount = 0;
    for (size_t off = 0; off < n; off += kTransferPiece)
      Write(L, payload.data() + start + off, std::min(kTransferPiece, n - off));
    Write(L, &x, 1);
    L.DeviceWaitCounter = kAckWaitTicks;
    while (L.DeviceRxCount < 2 && L.DeviceWaitCounter > 0 && !NoDevice(L)) {
      Poll(L);
      if (L.DeviceRxCount >= 2) break;
      Pump(L, io);
      if (Cancelled(io)) return 1;
    }
    if (L.DeviceRxCount < 2) {
      ReopenSerial(L);
      Log(io, "Error de comunicaci\xC3\xB3n");
      return 1;
    }
    const uint16_t ack = static_cast<uint16_t>(L.DeviceInput[0] | (L.DeviceInput[1] << 8));
    if (ack == block) {
      Log(io, "Espero " + std::to_string(block + 1));
      Log(io, "Recibo " + std::to_string(ack));
      if (++resends > kBlockResends) {
        Log(io, "ERROR");
        return 2;
      }
      continue;
    }
    if (ack != static_cast<uint16_t>(block + 1)) {
      Log(io, "Espero " + std::to_string(block + 1));
      Log(io, "Recibo " + std::to_string(ack));
      Log(io, "ERROR");
      return 2;
    }
    resends = 0;
    remaining -= n;
    ++block;
    Dot(io);
  }
  Log(io, "");
  Log(io, "OK");
  return 0;
}

int SendDataSetToDevice(DeviceLink& L, const SendSetRequest& r, const TransferIo& io) {
  RunningGuard guard;
  if (!guard.Owner()) return 1;
  const std::string folder = SetFolderOf(r.setName);
  struct Item {
    char code;
    const char* file;
    const char* en;
    const char* es;
    std::vector<uint8_t> bytes;
  };
  Item items[] = {{'s', "sonidos.van", "Sending sounds", "Enviando sonidos", {}},
                  {'f', "formulas.van", "Sending formulas", "Enviando f\xC3\xB3rmulas", {}},
                  {'t', "temas.van", "Sending songs", "Enviando temas", {}}};
  // Every file is read first, whole: a set that cannot be read, or a file
  // that the transfer buffer cannot hold, sends nothing.
  for (auto& it : items) {
    const std::string path = folder + "/" + it.file;
    const bool read = ReadFileBytes(path, kTransferCapacity + 1, &it.bytes);
    if (!read || it.bytes.size() > kTransferCapacity) {
      if (!read)
        Log(io, std::string(r.english ? "I cannot read the file: " : "No se puede leer el archivo: ") + path);
      else
        Log(io, std::string(r.english ? "The file is too long for the metronome: "
                                      : "El archivo es demasiado largo para el metr\xC3\xB3nomo: ") +
                    path);
      Log(io, r.english ? "Nothing was sent; save the set first." : "No se ha enviado nada; guarde antes los datos.");
      return 3;
    }
  }
  const auto config = DeviceConfigBlock(r.english, r.date, r.setName);
  const std::vector<uint8_t> configBytes(config.begin(), config.end());
  // The end of a transfer that did not go through is said.
  const auto failed = [&] {
    Log(io, r.english ? "The data were not sent to the metronome." : "No se han enviado los datos al metr\xC3\xB3nomo.");
    return 1;
  };
  if (NoDevice(L)) {
    Log(io, r.english ? "The metronome is not connected." : "El metr\xC3\xB3nomo no est\xC3\xA1 conectado.");
    return failed();
  }
  for (int attempt = 0; attempt < kSendAttempts && !Cancelled(io) && !NoDevice(L); ++attempt) {
    Log(io, r.english ? "Sending configuration" : "Enviando configuaci\xC3\xB3n");
    if (SendBlocksToDevice(L, 'c', configBytes, r.english, io) != 0) continue;
    bool ok = true;
    for (auto& it : items) {
      Log(io, r.english ? it.en : it.es);
      Log(io, "Longitud " + std::to_string(it.bytes.size()));
      if (SendBlocksToDevice(L, it.code, it.bytes, r.english, io) != 0) {
        ok = false;
        break;
      }
    }
    if (ok) return 0;
  }
  if (Cancelled(io)) return 1;
  if (NoDevice(L)) Log(io, r.english ? "The metronome is not connected." : "El metr\xC3\xB3nomo no est\xC3\xA1 conectado.");
  return failed();
}

std::vector<uint8_t> ReceiveBlocksFromDevice(DeviceLink& L, bool english, const TransferIo& io, bool* ok) {
  if (ok) *ok = false;
  std::vector<uint8_t> data;
  auto timeout = [&] {
    ReopenSerial(L);
    Log(io, english ? "Communicaton error" : "Error de comunicaci\xC3\xB3n");
    return std::vector<uint8_t>{};
  };
  L.DeviceWaitCounter = kAckWaitTicks;
  while (L.DeviceDataLength == 0) {
    Poll(L);
    if (L.DeviceDataLength != 0) break;
    if (L.DeviceWaitCounter <= 0 || NoDevice(L)) return timeout();
    Pump(L, io);
    if (Cancelled(io)) return {};
  }
  const uint32_t length = L.DeviceDataLength;
  Log(io, (english ? "Length " : "Longitud ") + std::to_string(length));
  if (length > kTransferCapacity) {
    Log(io, english ? "The device announces more data than fit: refused" : "El metr\xC3\xB3nomo anuncia m\xC3\xA1s datos de los que caben: rechazados");
    L.DeviceDataLength = 0;
    L.DeviceWaitCounter = 0;
    ReopenSerial(L);
    return {};
  }
  Log(io, "");
  data.assign(length, 0);
  uint16_t accepted = 0;
  L.DeviceWaitCounter = kPacketWaitTicks;
  while (L.DeviceDataLength > 0) {
    Pump(L, io);
    if (Cancelled(io)) return {};
    Poll(L);
    const int k = L.DeviceRxCount;
    const bool complete = k > static_cast<int>(kReceivePacket) || (k > 0 && static_cast<uint32_t>(k) > L.DeviceDataLength);
    if (!complete) {
      if (L.DeviceWaitCounter <= 0 || NoDevice(L)) return timeout();
      continue;
    }
    L.DeviceWaitCounter = kPacketWaitTicks;
    const size_t n = static_cast<size_t>(k - 1);
    L.DeviceRxCount = 0;
    const bool fits = n <= kReceivePacket && n <= L.DeviceDataLength;
    if (L.DeviceChecksum == 0 && fits) {
      const size_t at = length - L.DeviceDataLength;
      std::memcpy(data.data() + at, L.DeviceInput.data(), n);
      L.DeviceDataLength -= static_cast<uint32_t>(n);
      ++accepted;
      if (accepted % 16 == 0) Dot(io);
    }
    L.DeviceChecksum = 0;
    const uint8_t ack[2] = {static_cast<uint8_t>(accepted & 0xFF), static_cast<uint8_t>(accepted >> 8)};
    Write(L, ack, 2);
  }
  L.DeviceWaitCounter = 0;
  Log(io, "OK");
  if (ok) *ok = true;
  return data;
}

std::string ReceivedSetName(int day, int month, int year, int hour, int minute) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "VL%02d%02d%4d%02d%02d", day, month, year, hour, minute);
  return buf;
}

std::string SlotFileName(const uint8_t* slot8) {
  std::string n;
  for (int i = 0; i < 8 && slot8[i] != 0; ++i) n.push_back(static_cast<char>(slot8[i]));
  while (!n.empty() && n.back() == ' ') n.pop_back();
  if (n.empty()) return n;
  for (auto& c : n) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
        c == '>' || c == '|')
      c = '_';
  }
  if (n == "." || n == "..") n = "_";
  if (n[0] == '.') n[0] = '_';
  return n;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> SplitBancoSonidos(const std::vector<uint8_t>& van) {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
  if (van.size() < kBancoHeaderBytes) return out;
  size_t pos = kBancoHeaderBytes;
  for (int j = 0; j < kBasicSounds; ++j) {
    const uint8_t* slot = van.data() + 8 * j;
    if (slot[0] == 0) continue;
    const uint8_t* c = van.data() + 128 + 4 * j;
    size_t bytes = 2 * static_cast<size_t>(c[0] | (c[1] << 8));
    bytes = std::min(bytes, van.size() - pos);
    std::string name = SlotFileName(slot);
    if (!name.empty()) {
      const auto taken = [&out](const std::string& n) {
        for (const auto& o : out)
          if (o.first == n) return true;
        return false;
      };
      if (taken(name)) {
        const std::string stem = name;
        for (int k = 2; taken(name); ++k) name = stem + "_" + std::to_string(k);
      }
      std::vector<uint8_t> wav(kWavHeaderBytes + bytes);
      uint8_t* h = wav.data();
      std::memcpy(h, "RIFF", 4);
      PutU32(h + 4, static_cast<uint32_t>(bytes + 36));
      std::memcpy(h + 8, "WAVEfmt ", 8);
      PutU32(h + 16, 16);
      h[20] = 1;
      h[22] = 1;
      PutU32(h + 24, 22050);
      PutU32(h + 28, 44100);
      h[32] = 2;
      h[34] = 16;
      std::memcpy(h + 36, "data", 4);
      PutU32(h + 40, static_cast<uint32_t>(bytes));
      if (bytes) std::memcpy(h + kWavHeaderBytes, van.data() + pos, bytes);
      out.emplace_back(name, std::move(wav));
    }
    pos += bytes;
  }
  return out;
}

namespace {
void StartReceive(DeviceLink& L, char item) {
  L.DeviceRxCount = 0;
  L.DeviceDataLength = 0;
  L.DeviceChecksum = 0;
  L.DeviceState = kDeviceExpectLength;
  const uint8_t req[3] = {0x01, 0x72, static_cast<uint8_t>(item)};
  Write(L, req, 3);
}
}  // namespace

bool ReceiveDataSetFromDevice(DeviceLink& L, const std::string& name, bool english, const TransferIo& io) {
  RunningGuard guard;
  if (!guard.Owner()) return false;
  bool ok = false;
  Log(io, english ? "Receiving sounds" : "Recibiendo sonidos");
  StartReceive(L, 's');
  const std::vector<uint8_t> sounds = ReceiveBlocksFromDevice(L, english, io, &ok);
  if (!ok) return false;
  StartReceive(L, 'f');
  Log(io, english ? "Receiving formulas" : "Recibiendo f\xC3\xB3rmulas");
  const std::vector<uint8_t> formulas = ReceiveBlocksFromDevice(L, english, io, &ok);
  if (!ok) return false;
  StartReceive(L, 't');
  Log(io, english ? "Receiving songs" : "Recibiendo temas");
  const std::vector<uint8_t> temas = ReceiveBlocksFromDevice(L, english, io, &ok);
  if (!ok) return false;

  // Everything arrived: the set is built beside its place and moved in. A
  // set of the same name (a receive of the same minute) is moved aside
  // first and comes back if anything fails.
  const std::string folder = SetFolderOf(name);
  const std::string tmp = "datos/." + FsName(name) + ".receiving";
  const std::string aside = "datos/." + FsName(name) + ".replaced";
  std::error_code ec;
  fs::remove_all(tmp, ec);
  fs::remove_all(aside, ec);
  std::string err;
  bool movedAside = false;
  bool moved = false;
  bool stored = MakeDirs(tmp, &err);
  if (stored) {
    std::vector<FileToWrite> files;
    files.push_back({tmp + "/sonidos.van", sounds});
    files.push_back({tmp + "/formulas.van", formulas});
    files.push_back({tmp + "/temas.van", temas});
    std::vector<std::string> list;
    for (auto& [n, wav] : SplitBancoSonidos(sounds)) {
      files.push_back({SetSoundPath(tmp, n), wav});
      list.push_back(n);
    }
    stored = WriteFilesAtomically(files, &err);
    if (stored && fs::exists(folder, ec)) {
      fs::rename(folder, aside, ec);
      movedAside = !ec;
      if (ec) err = folder + ": " + ec.message();
      stored = movedAside;
    }
    if (stored) {
      fs::rename(tmp, folder, ec);
      moved = !ec;
      if (ec) err = folder + ": " + ec.message();
      stored = moved;
    }
    if (stored) stored = WriteFileAtomically(OlePathOf(name), JoinLines(list), &err);
  }
  if (!stored) {
    Log(io, (english ? "The set cannot be stored: " : "No se pueden guardar los datos: ") + err);
    fs::remove_all(tmp, ec);
    if (moved) fs::remove_all(folder, ec);
    if (movedAside) fs::rename(aside, folder, ec);
    return false;
  }
  fs::remove_all(aside, ec);
  return true;
}
