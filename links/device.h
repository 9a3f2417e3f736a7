// The hardware metronome link: finding the device (HID, or its USB serial
// port), sending commands, polling what it sends back into the ring
// DeviceInput through the reply machine DeviceState, the identification at
// start-up as a state machine driven by the window's timers, the wait
// counter and the beat lamp. No window here: every step is a function over
// the DeviceLink, and what the window must show comes back as data.
//
// The window's part, all on its thread:
//   start-up   ProbeHidDevice first; FindDeviceSerialPort (with
//              DevicePortOverride of the setting kDevicePortSettingKey);
//              later OpenDeviceSerialPort, the data set, StartIdentification;
//   a timer of no interval, while IdentificationRunning: IdentificationStep,
//              and when it hands back an outcome, apply it;
//   Timer2 (500 ms): DeviceTimer2Tick;  Timer5 (10 ms): LampTimerTick;
//   the player's beat listener: BeatLamp;  the stop buttons: StopButtonLampOff.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/hid/hid_device.h"
#include "platform/serial/serial_port.h"

struct BeatCue;
struct EngineState;

constexpr uint16_t kDeviceVendorId = 0x04D8;
constexpr uint16_t kDeviceProductId = 0xF5FC;
inline constexpr wchar_t kDeviceManufacturer[] = L"Quendrel";
inline constexpr wchar_t kDeviceProduct[] = L"Velarto";

constexpr size_t kDeviceRingBytes = 8192;     // DeviceInput and the read buffer
constexpr size_t kDeviceReportBytes = 65;     // one HID report, report id included
constexpr size_t kReportPayloadMax = 63;      // payload bytes of one report
constexpr size_t kIdentityBytes = 32;
constexpr int kIdentifyAttempts = 6;          // a first attempt and 5 retries
constexpr int kIdentifyWaitTicks = 3;         // Timer2 ticks of 500 ms
constexpr int kRetryPauseTicks = 2;
constexpr size_t kRetryDiscardBytes = 1024;   // read and dropped before a reopen
constexpr int kFirstRearmCount = 2000;        // idle polls before the serial wait is armed again
constexpr int kRearmCount = 30000;
// Polls of one identification step: the window's timer of no interval runs
// fewer steps than a loop of its own would, and the serial port's wait is
// armed again only after kRearmCount idle polls.
constexpr int kPollsPerStep = 32;
// At most this many HID reports are read by one poll, so that a device
// that never stops sending cannot hold the window.
constexpr int kMaxReportsPerPoll = 256;

// DeviceState.
constexpr int kDeviceIdle = 0;
constexpr int kDeviceExpectIdentity = 1;
constexpr int kDeviceIdentified = 2;
constexpr int kDeviceExpectLength = 3;
constexpr int kDeviceReceiving = 4;
constexpr int kDeviceTuner = 220;
constexpr int kDeviceTunerFrameDone = 221;

// Lamp levels, the third byte of the lamp commands.
constexpr uint8_t kLampAccented = 0x20;
constexpr uint8_t kLampPlain = 0x10;
constexpr uint8_t kLampOff = 0x00;

// Commands, payload bytes.
inline constexpr uint8_t kIdentifyCommand[] = {0x01, 0x69};

enum class DeviceEdition { kPro, kBasic };

enum class IdentifyPhase {
  kNotStarted,
  kWaiting,  // an identify command is out, DeviceWaitCounter counts its wait
  kPause,    // the port is closed; it reopens when DeviceWaitCounter runs out
  kClosing,  // nothing to identify: the next step closes
  kDone,
};

// What the window does when the identification closes.
struct IdentifyOutcome {
  bool identified = false;
  // Lines for Visor, UTF-8 plain text (never rich text): the plug-in line
  // and the device's own text.
  std::vector<std::string> visorLines;
  // Professional edition: hide botonrec, show TapaRec, flat lines in
  // OndaL and OndaR, refresh the chord list.
  bool hideBotonrec = false;
  bool showTapaRec = false;
  bool flattenWaves = false;
  bool refreshChords = false;
  // Basic edition: disable botonrec; hide BEnvia (a device that takes the
  // lamp over its serial port and no data-set transfer).
  bool disableBotonrec = false;
  bool hideBEnvia = false;
};

struct SerialSearch {
  std::string sysRoot = "/sys";  // where the ports are listed
  std::string overridePath;      // a port given by the user: no search
};

// Timer2 ticks between two searches for a serial device that has gone (3 s).
constexpr int kReconnectTicks = 6;

// Where the tuner joins the poll while DeviceState is 220, and where the
// link says what happened to the device.
struct DeviceHooks {
  // At the start of every poll in state 220: true ends the poll there.
  std::function<bool()> TunerBlock;
  // Every byte handled in state 220.
  std::function<void(uint8_t)> TunerByte;
  // A line for the log, UTF-8 plain text in both languages; the window
  // shows the one of its language.
  std::function<void(const std::string& spanish, const std::string& english)> Log;
};

struct DeviceLink {
  explicit DeviceLink(DeviceEdition edition = DeviceEdition::kPro) : Edition(edition) {}
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  DeviceEdition Edition;
  DeviceHooks Hooks;

  // Transports.
  std::unique_ptr<hid::HidDevice> HidDevice;
  std::string SerialPortName;                   // empty when none was found
  std::unique_ptr<serial::SerialPort> Serial;   // the port object, open or not
  bool SerialPortOpen = false;
  uint32_t SerialEventMask = 0;                 // bit 0: characters have arrived
  int SerialRearmCounter = kFirstRearmCount;
  int DriverInstallError = 0;                   // of the last driver installation
  SerialSearch Search;                          // how the port was looked for
  std::string PortGivenBy;                      // where the user's port was given (the variable, the key)
  // The serial device went (a refused write, a hang-up): the port is
  // closed, nothing is sent, and the port is looked for again every
  // kReconnectTicks ticks of Timer2 (ReconnectCountdown).
  bool Disconnected = false;
  int ReconnectCountdown = 0;

  // Reception.
  uint32_t DeviceReadCount = 0;
  std::array<uint8_t, kDeviceRingBytes> DeviceReadBuffer{};  // one HID report or one serial read
  std::array<uint8_t, kDeviceRingBytes> DeviceInput{};
  int DeviceRxCount = 0;
  int DeviceState = kDeviceIdle;
  std::array<char, kIdentityBytes + 1> DeviceIdentityText{};
  uint32_t DeviceDataLength = 0;
  uint8_t DeviceChecksum = 0;
  int DeviceWaitCounter = 0;
  std::array<uint8_t, 16> DeviceCommandBuffer{};

  // Identification.
  IdentifyPhase Identify = IdentifyPhase::kNotStarted;
  int IdentifyAttempt = 0;  // attempts started
  bool IdentifySpanish = true;
  bool Reidentify = false;  // of a device found again: its outcome is the log lines only

  // The lamp: lit by the last command sent; a lamp-off that found the
  // serial port closed (an identification's pause, a lost device) goes out
  // when the port opens again.
  bool LampLit = false;
  bool PendingLampOff = false;
};

// --- finding and opening ----------------------------------------------------

// Opens the first HID device with the metronome's ids and keeps it when its
// manufacturer and product strings are exactly the metronome's (a string
// that cannot be read rejects it). A rejected device is closed. Non-blocking
// reads. True when the link has a HID device.
bool ProbeHidDevice(DeviceLink& L, hid::HidBus& bus);


// The environment variable that names the device's port, overriding the
// setting and the search; the setting's key in the settings file (section
// "METRONOMO").
constexpr char kDevicePortVariable[] = "VELARTO_DEVICE_PORT";
constexpr char kDevicePortSettingKey[] = "PuertoMetronomo";
// The port the user gives: the environment variable, else `setting` (the
// settings file's value, may be empty).
std::string DevicePortOverride(const std::string& setting);
// Where that port comes from: kDevicePortVariable or kDevicePortSettingKey.
std::string DevicePortOverrideFrom(const std::string& setting);

// Sets SerialPortName: the override when given, else the last ttyACM port
// of the metronome's vendor. When none is found and there is no HID device,
// the driver installation is tried; there is nothing to install here, so it
// fails (DriverInstallError), nothing is shown and no rescan follows.
// Returns whether a driver was installed (the window would then ask the
// user to connect the device and call this once more). The search is kept
// for the searches after a lost device.
bool FindDeviceSerialPort(DeviceLink& L, const SerialSearch& search);

// Opens and configures SerialPortName on L.Serial (which the caller has
// given the link) and arms the wait for arriving characters; a lamp-off
// that found the port closed goes out now. Returns SerialPortOpen.
bool OpenDeviceSerialPort(DeviceLink& L);

// The start-up's line for a port the user named that does not exist
// (Spanish, English); nothing when there is none.
std::optional<std::pair<std::string, std::string>> MissingPortMessage(const DeviceLink& L);

// --- a device that goes and comes back ------------------------------------------

// The serial device has gone: the port closes, the log says "Metrónomo
// desconectado" / "Metronome disconnected", nothing more is sent, and a
// running identification closes at its next step. Once per loss.
void DeviceLinkLost(DeviceLink& L);
// Timer2's watch of the serial link, after DeviceTimer2Tick: a hang-up of
// the open port is a loss; after a loss the port is looked for and opened
// again every kReconnectTicks ticks. True when it opened and the device's
// identification started (the window then runs its steps).
bool WatchDeviceLink(DeviceLink& L, bool spanish);
// The same for a HID device: a refused read or write is a loss (said as
// above, and the device is closed); after a loss the bus is looked at again
// at the serial port's moments (after WatchDeviceLink), and a device found
// is identified again. True when its identification started.
bool WatchHidDevice(DeviceLink& L, hid::HidBus& bus, bool spanish);

// --- sending and polling ----------------------------------------------------

// Builds the HID report of one message: report id 0, the count, the
// payload, zeros after it. n is 1..63.
std::array<uint8_t, kDeviceReportBytes> MakeDeviceReport(const uint8_t* bytes, size_t n);

// Sends n payload bytes to the device: through the HID device when there is
// one (63 bytes a report, a longer message in several reports), otherwise
// to the serial port followed by a clear of its errors. In the basic
// edition the serial port is left to the callers (SendToSerial).
void SendToDevice(DeviceLink& L, const uint8_t* bytes, size_t n);
// The serial port alone: the bytes, then a clear of the port's errors when
// asked. A write the system refuses, or a port that has hung up, is the
// loss of the device (DeviceLinkLost). Nothing goes to a closed port.
void SendToSerial(DeviceLink& L, const uint8_t* bytes, size_t n, bool clearErrors);

// The data of a HID input report of `readBytes` bytes (report id removed):
// byte 0 counts the data bytes that follow. The count is bounded by what was
// read and by 63; returns it.
size_t HidReportData(const uint8_t* report, int readBytes);

// One received byte: stored in the ring, then the reply machine.
void DeviceByte(DeviceLink& L, uint8_t byte);

// Reads what has arrived and runs every byte through DeviceByte. Never
// blocks.
void PollDevice(DeviceLink& L);

// --- identification ---------------------------------------------------------

// Starts the identification: with no device it closes at once (the outcome
// is returned through IdentificationStep). False, and nothing changes,
// while one is running.
bool StartIdentification(DeviceLink& L, bool spanish);
// One step, run by the window as often as its event loop allows (a timer of
// no interval) while IdentificationRunning: polls the device (up to
// kPollsPerStep times, until the reply is judged), pauses, reopens and
// retries. Returns the outcome once, at the step
// that closes the identification; nothing otherwise.
std::optional<IdentifyOutcome> IdentificationStep(DeviceLink& L);
bool IdentificationRunning(const DeviceLink& L);
// Timer2 (500 ms): counts DeviceWaitCounter down to 0.
void DeviceTimer2Tick(DeviceLink& L);

// The identity text as a plain UTF-8 line: up to its first NUL, each
// character a Latin-1 one, control characters as spaces.
std::string DeviceIdentityLine(const DeviceLink& L);
// Capability byte 6 of the identity: '1' the device may be the tuner's
// input; '2' (basic edition) lamp commands over the serial port and no
// data-set transfer.
char DeviceCapability(const DeviceLink& L);
bool DeviceCanBeTunerInput(const DeviceLink& L);

// --- the beat lamp ----------------------------------------------------------

// A lamp command (0x01 'k' level) to the device. Professional edition:
// through SendToDevice. Basic edition: to the HID device, and to the serial
// port when the identity's capability is '2'.
void SendLampCommand(DeviceLink& L, uint8_t level);
// The lamp of a beat the sequencer has just played (the listener of the
// player): accented or plain when a beat label lit, nothing otherwise. The
// sequencer has set the countdown (LampCountdown of the engine).
void BeatLamp(DeviceLink& L, const BeatCue& cue);
// The level of that lamp: accented or plain, none when no beat label lit.
// Both editions' windows send it from their listener of the player.
std::optional<uint8_t> BeatLampLevel(const BeatCue& cue);
// Timer5 (10 ms): while playing, counts the engine's LampCountdown down and
// sends the lamp-off command when it reaches 0. Once playback has stopped
// (however it stopped), a lamp still lit goes off; a pause keeps it lit.
void LampTimerTick(DeviceLink& L, EngineState& E);
// The same tick where the countdown is kept elsewhere (the windows' transport):
// `countdownEnded` when it has just reached 0.
void LampTick(DeviceLink& L, bool stopped, bool countdownEnded);
// The stop buttons: the lamp-off command, whatever the countdown.
void StopButtonLampOff(DeviceLink& L);
