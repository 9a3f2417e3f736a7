#include "links/device.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "engine/engine_state.h"
#include "engine/sequencer.h"

// --- finding and opening ----------------------------------------------------

bool ProbeHidDevice(DeviceLink& L, hid::HidBus& bus) {
  L.HidDevice.reset();
  std::unique_ptr<hid::HidDevice> d = bus.Open(kDeviceVendorId, kDeviceProductId);
  if (!d) return false;
  // Another maker's device with the same ids, or one that does not answer,
  // is closed here (the unique pointer) and never used.
  const std::optional<std::wstring> maker = d->ManufacturerString();
  if (!maker || *maker != kDeviceManufacturer) return false;
  const std::optional<std::wstring> product = d->ProductString();
  if (!product || *product != kDeviceProduct) return false;
  d->SetNonBlocking(true);
  L.HidDevice = std::move(d);
  return true;
}

std::string DevicePortOverride(const std::string& setting) {
  const char* env = std::getenv(kDevicePortVariable);
  if (env != nullptr && *env != '\0') return env;
  return setting;
}

std::string DevicePortOverrideFrom(const std::string& setting) {
  (void)setting;
  const char* env = std::getenv(kDevicePortVariable);
  return env != nullptr && *env != '\0' ? kDevicePortVariable : kDevicePortSettingKey;
}

bool FindDeviceSerialPort(DeviceLink& L, const SerialSearch& search) {
  L.Search = search;
  L.SerialPortName.clear();
  if (!search.overridePath.empty()) {
    L.SerialPortName = search.overridePath;
    return false;
  }
  // The last port listed wins, as a later match overwrites an earlier one.
  const std::vector<std::string> ports = serial::FindAcmPorts(search.sysRoot, kDeviceVendorId);
  if (!ports.empty()) {
    L.SerialPortName = ports.back();
    return false;
  }
  if (L.HidDevice) return false;
  // The system's own CDC ACM driver serves the port: there is no driver
  // file to install, so the installation fails silently and the user is
  // not asked to connect the device.
  L.DriverInstallError = ENOSYS;
  return false;
}

namespace {
const uint8_t kLampOffCommand[] = {0x01, 0x6B, kLampOff};
}  // namespace

bool OpenDeviceSerialPort(DeviceLink& L) {
  L.SerialEventMask = 0;
  L.SerialPortOpen = L.Serial != nullptr && L.Serial->Open(L.SerialPortName);
  if (L.SerialPortOpen) {
    L.Serial->ArmWait();
    if (L.PendingLampOff) {
      L.PendingLampOff = false;
      SendToSerial(L, kLampOffCommand, sizeof kLampOffCommand, true);
    }
  }
  return L.SerialPortOpen;
}

std::optional<std::pair<std::string, std::string>> MissingPortMessage(const DeviceLink& L) {
  const std::string& path = L.Search.overridePath;
  if (path.empty()) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return std::nullopt;
  const std::string from = L.PortGivenBy.empty() ? std::string(kDevicePortSettingKey) : L.PortGivenBy;
  return std::make_pair("No existe el puerto del metr\xC3\xB3nomo: " + path + " (" + from + ")",
                        "The metronome's port does not exist: " + path + " (" + from + ")");
}

// --- a device that goes and comes back ------------------------------------------

namespace {
// The device is gone with the port already closed.
void MarkLost(DeviceLink& L) {
  if (L.Disconnected) return;
  L.Disconnected = true;
  L.ReconnectCountdown = kReconnectTicks;
  if (IdentificationRunning(L)) L.Identify = IdentifyPhase::kClosing;
  if (L.Hooks.Log) L.Hooks.Log("Metr\xC3\xB3nomo desconectado", "Metronome disconnected");
}
}  // namespace

namespace {
// The HID device refused a read or a write: it has been pulled out.
void HidDeviceLost(DeviceLink& L) {
  L.HidDevice.reset();
  MarkLost(L);
}
}  // namespace

bool WatchHidDevice(DeviceLink& L, hid::HidBus& bus, bool spanish) {
  // Looked for at the same moments as the serial port, once a loss is known.
  if (!L.Disconnected || L.HidDevice || L.ReconnectCountdown != kReconnectTicks) return false;
  if (IdentificationRunning(L) || L.DeviceState == kDeviceTuner || L.DeviceState == kDeviceTunerFrameDone)
    return false;
  if (!ProbeHidDevice(L, bus)) return false;
  L.Disconnected = false;
  if (!StartIdentification(L, spanish)) return false;
  L.Reidentify = true;
  return true;
}

void DeviceLinkLost(DeviceLink& L) {
  if (L.Serial) L.Serial->Close();
  L.SerialPortOpen = false;
  L.SerialEventMask = 0;
  MarkLost(L);
}

bool WatchDeviceLink(DeviceLink& L, bool spanish) {
  if (!L.Disconnected) {
    if (L.SerialPortOpen && L.Serial && L.Serial->Lost()) DeviceLinkLost(L);
    return false;
  }
  if (L.ReconnectCountdown > 1) {
    --L.ReconnectCountdown;
    return false;
  }
  L.ReconnectCountdown = kReconnectTicks;
  // Not under a closing identification or the tuner's use of the device.
  if (IdentificationRunning(L) || L.DeviceState == kDeviceTuner || L.DeviceState == kDeviceTunerFrameDone)
    return false;
  // The user's port, or the search again: a device plugged in again may
  // come back under another number.
  const std::string before = L.SerialPortName;
  const SerialSearch search = L.Search;
  const int installError = L.DriverInstallError;
  FindDeviceSerialPort(L, search);
  L.DriverInstallError = installError;
  if (L.SerialPortName.empty()) {
    L.SerialPortName = before;
    return false;
  }
  if (!OpenDeviceSerialPort(L)) return false;
  L.Disconnected = false;
  if (!StartIdentification(L, spanish)) return false;
  L.Reidentify = true;
  return true;
}

// --- sending ------------------------------------------------------------------

std::array<uint8_t, kDeviceReportBytes> MakeDeviceReport(const uint8_t* bytes, size_t n) {
  std::array<uint8_t, kDeviceReportBytes> report{};
  n = std::min(n, kReportPayloadMax);
  report[0] = 0;
  report[1] = static_cast<uint8_t>(n);
  std::memcpy(report.data() + 2, bytes, n);
  return report;
}

void SendToSerial(DeviceLink& L, const uint8_t* bytes, size_t n, bool clearErrors) {
  if (!L.Serial || n == 0 || !L.Serial->IsOpen()) return;
  // Not waited for; a refused write or a hung-up line means the device has gone.
  if (L.Serial->Write(bytes, n) < 0 || L.Serial->Lost()) {
    DeviceLinkLost(L);
    return;
  }
  if (clearErrors) L.Serial->ClearErrors();
}

void SendToDevice(DeviceLink& L, const uint8_t* bytes, size_t n) {
  if (n == 0) return;
  if (L.HidDevice) {
    // A report carries 63 bytes: a longer message goes in several.
    for (size_t at = 0; at < n; at += kReportPayloadMax) {
      const auto report = MakeDeviceReport(bytes + at, std::min(kReportPayloadMax, n - at));
      if (L.HidDevice->Write(report.data(), report.size()) < 0) {
        HidDeviceLost(L);
        return;
      }
    }
    return;
  }
  if (L.Edition == DeviceEdition::kPro) SendToSerial(L, bytes, n, true);
}

namespace {

void SendCommand(DeviceLink& L, const uint8_t* bytes, size_t n, bool serialToo) {
  n = std::min(n, L.DeviceCommandBuffer.size());
  std::copy(bytes, bytes + n, L.DeviceCommandBuffer.begin());
  SendToDevice(L, L.DeviceCommandBuffer.data(), n);
  if (serialToo) SendToSerial(L, L.DeviceCommandBuffer.data(), n, true);
}

}  // namespace

// --- receiving ------------------------------------------------------------------

size_t HidReportData(const uint8_t* report, int readBytes) {
  if (readBytes < 1) return 0;
  size_t n = report[0];
  n = std::min(n, static_cast<size_t>(readBytes - 1));
  return std::min(n, kReportPayloadMax);
}

void DeviceByte(DeviceLink& L, uint8_t byte) {
  if (L.DeviceRxCount < 0 || L.DeviceRxCount >= static_cast<int>(kDeviceRingBytes)) L.DeviceRxCount = 0;
  L.DeviceInput[static_cast<size_t>(L.DeviceRxCount)] = byte;
  L.DeviceRxCount = (L.DeviceRxCount + 1) % static_cast<int>(kDeviceRingBytes);
  switch (L.DeviceState) {
    case kDeviceExpectIdentity:
      if (L.DeviceRxCount == static_cast<int>(kIdentityBytes)) {
        L.DeviceRxCount = 0;
        const char* in = reinterpret_cast<const char*>(L.DeviceInput.data());
        if (std::memcmp(in, "PELNV", 5) == 0 || std::memcmp(in, "DRAVV", 5) == 0) {
          std::memcpy(L.DeviceIdentityText.data(), in, kIdentityBytes);
          L.DeviceIdentityText[kIdentityBytes] = '\0';
          L.DeviceState = kDeviceIdentified;
        } else {
          L.DeviceState = kDeviceIdle;
        }
      }
      break;
    case kDeviceExpectLength:
      if (L.DeviceRxCount == 4) {
        L.DeviceRxCount = 0;
        L.DeviceDataLength = uint32_t(L.DeviceInput[0]) | uint32_t(L.DeviceInput[1]) << 8 |
                             uint32_t(L.DeviceInput[2]) << 16 | uint32_t(L.DeviceInput[3]) << 24;
        L.DeviceState = kDeviceReceiving;
      }
      break;
    case kDeviceReceiving:
      L.DeviceChecksum ^= byte;
      break;
    case kDeviceTuner:
      if (L.Hooks.TunerByte) L.Hooks.TunerByte(byte);
      break;
    default:
      break;
  }
}

void PollDevice(DeviceLink& L) {
  const bool hid = L.HidDevice != nullptr;
  if (!hid) {
    // The armed wait completes when characters have arrived.
    if (L.Serial && L.Serial->WaitCompleted()) L.SerialEventMask |= 1u;
    // Idle polls count down before the wait is armed again.
    if ((L.SerialEventMask & 1u) == 0) {
      if (L.SerialRearmCounter > 0) {
        --L.SerialRearmCounter;
      } else {
        if (L.Serial) L.Serial->ArmWait();
        L.SerialRearmCounter = kRearmCount;
      }
    }
  }
  if (L.DeviceState == kDeviceTuner && L.Hooks.TunerBlock && L.Hooks.TunerBlock()) return;

  uint8_t* buf = L.DeviceReadBuffer.data();
  if (hid) {
    for (int r = 0; r < kMaxReportsPerPoll && L.HidDevice; ++r) {
      std::fill_n(buf, kDeviceReportBytes - 1, uint8_t{0});
      const int got = L.HidDevice->Read(buf, kDeviceReportBytes);
      if (got < 0) {
        HidDeviceLost(L);
        return;
      }
      const size_t n = HidReportData(buf, got);
      L.DeviceReadCount = static_cast<uint32_t>(n);
      if (n == 0) return;
      for (size_t i = 0; i < n; ++i) DeviceByte(L, buf[1 + i]);
    }
    return;
  }
  if ((L.SerialEventMask & 1u) == 0) return;
  L.SerialEventMask &= ~1u;
  const long got = L.Serial ? L.Serial->Read(buf, L.DeviceReadBuffer.size()) : -1;
  const size_t n = got > 0 ? std::min(static_cast<size_t>(got), L.DeviceReadBuffer.size()) : 0;
  L.DeviceReadCount = static_cast<uint32_t>(n);
  for (size_t i = 0; i < n; ++i) DeviceByte(L, buf[i]);
  if (n == 0 && L.Serial && L.Serial->Lost()) DeviceLinkLost(L);
}

// --- identification ---------------------------------------------------------

namespace {

void BeginAttempt(DeviceLink& L) {
  L.DeviceRxCount = 0;
  L.DeviceWaitCounter = kIdentifyWaitTicks;
  L.DeviceState = kDeviceExpectIdentity;
  L.Identify = IdentifyPhase::kWaiting;
  ++L.IdentifyAttempt;
  // The basic edition writes to the serial port itself when there is no HID
  // device. A device that has gone closes the identification at its next step.
  SendCommand(L, kIdentifyCommand, sizeof kIdentifyCommand,
              L.Edition == DeviceEdition::kBasic && !L.HidDevice);
}

IdentifyOutcome Finish(DeviceLink& L, bool identified) {
  IdentifyOutcome o;
  o.identified = identified;
  if (identified) {
    o.visorLines.push_back(L.IdentifySpanish ? "Velarto conectado" : "Velarto is plugged in");
    L.DeviceWaitCounter = 0;
    o.visorLines.push_back(DeviceIdentityLine(L));
  }
  L.Identify = IdentifyPhase::kDone;
  // A device found again after a loss: the window shows the lines, and
  // nothing of its start-up steps is run again.
  if (L.Reidentify) {
    L.Reidentify = false;
    if (L.Edition == DeviceEdition::kBasic) o.hideBEnvia = identified && DeviceCapability(L) == '2';
    return o;
  }
  if (L.Edition == DeviceEdition::kPro) {
    o.hideBotonrec = o.showTapaRec = o.flattenWaves = o.refreshChords = true;
  } else {
    o.hideBEnvia = identified && DeviceCapability(L) == '2';
    o.disableBotonrec = true;
  }
  L.Identify = IdentifyPhase::kDone;
  return o;
}

// An attempt without an answer: what is waiting on the port is dropped and
// the port closed for the pause.
void FailAttempt(DeviceLink& L) {
  if (L.Serial) {
    if (L.Serial->IsOpen()) L.Serial->Read(L.DeviceReadBuffer.data(), kRetryDiscardBytes);
    L.Serial->Close();
  }
  L.SerialPortOpen = false;
  L.SerialEventMask = 0;
  L.DeviceWaitCounter = kRetryPauseTicks;
  L.Identify = IdentifyPhase::kPause;
}

}  // namespace

bool IdentificationRunning(const DeviceLink& L) {
  return L.Identify == IdentifyPhase::kWaiting || L.Identify == IdentifyPhase::kPause ||
         L.Identify == IdentifyPhase::kClosing;
}

bool StartIdentification(DeviceLink& L, bool spanish) {
  if (IdentificationRunning(L)) return false;
  L.IdentifySpanish = spanish;
  L.IdentifyAttempt = 0;
  if (!L.SerialPortOpen && !L.HidDevice) {
    L.Identify = IdentifyPhase::kClosing;
    return true;
  }
  BeginAttempt(L);
  return true;
}

std::optional<IdentifyOutcome> IdentificationStep(DeviceLink& L) {
  switch (L.Identify) {
    case IdentifyPhase::kClosing:
      return Finish(L, false);
    case IdentifyPhase::kWaiting:
      if (L.DeviceWaitCounter > 0) {
        for (int i = 0; i < kPollsPerStep && L.DeviceState == kDeviceExpectIdentity; ++i) PollDevice(L);
        if (L.DeviceState == kDeviceIdentified) return Finish(L, true);
        if (L.DeviceState != kDeviceIdle) return std::nullopt;
        L.DeviceWaitCounter = 0;  // a wrong reply ends the wait at once
      }
      FailAttempt(L);
      return std::nullopt;
    case IdentifyPhase::kPause:
      if (L.DeviceWaitCounter > 0) return std::nullopt;
      // A port that opened before and not now: the device has gone.
      if (!OpenDeviceSerialPort(L) && !L.HidDevice && L.Serial && !L.SerialPortName.empty()) {
        MarkLost(L);
        return Finish(L, false);
      }
      if (L.IdentifyAttempt >= kIdentifyAttempts) return Finish(L, false);
      BeginAttempt(L);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

void DeviceTimer2Tick(DeviceLink& L) {
  if (L.DeviceWaitCounter > 0) --L.DeviceWaitCounter;
}

std::string DeviceIdentityLine(const DeviceLink& L) {
  std::string line;
  for (size_t i = 0; i < kIdentityBytes && L.DeviceIdentityText[i] != '\0'; ++i) {
    const auto c = static_cast<unsigned char>(L.DeviceIdentityText[i]);
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
      line += ' ';
    } else if (c < 0x80) {
      line += static_cast<char>(c);
    } else {  // Latin-1 to UTF-8
      line += static_cast<char>(0xC0 | (c >> 6));
      line += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return line;
}

char DeviceCapability(const DeviceLink& L) { return L.DeviceIdentityText[6]; }

bool DeviceCanBeTunerInput(const DeviceLink& L) { return DeviceCapability(L) == '1'; }

// --- the beat lamp ----------------------------------------------------------

void SendLampCommand(DeviceLink& L, uint8_t level) {
  const uint8_t command[] = {0x01, 0x6B, level};
  // Basic edition: the serial port only for a device that says it takes the lamp there.
  const bool serialToo = L.Edition == DeviceEdition::kBasic && DeviceCapability(L) == '2';
  const bool serialLamp = serialToo || (L.Edition == DeviceEdition::kPro && !L.HidDevice);
  L.LampLit = level != kLampOff;
  // A lamp-off the closed port cannot take goes out when it opens again;
  // any command the open port takes supersedes it.
  if (serialLamp && L.Serial) {
    if (!L.Serial->IsOpen())
      L.PendingLampOff = L.PendingLampOff || level == kLampOff;
    else
      L.PendingLampOff = false;
  }
  SendCommand(L, command, sizeof command, serialToo);
}

std::optional<uint8_t> BeatLampLevel(const BeatCue& cue) {
  if (cue.label < 0) return std::nullopt;
  return cue.accent ? kLampAccented : kLampPlain;
}

void BeatLamp(DeviceLink& L, const BeatCue& cue) {
  if (const auto level = BeatLampLevel(cue)) SendLampCommand(L, *level);
}

void LampTick(DeviceLink& L, bool stopped, bool countdownEnded) {
  // However playback stopped (the menu's stop, the end of a theme), a lit
  // lamp goes off; a pause keeps it lit.
  if ((stopped && L.LampLit) || countdownEnded) SendLampCommand(L, kLampOff);
}

void LampTimerTick(DeviceLink& L, EngineState& E) { LampTick(L, E.PlayState == 0, CountLampDown(E)); }

void StopButtonLampOff(DeviceLink& L) { SendLampCommand(L, kLampOff); }
