// The hardware metronome link without hardware: a fake device on a
// pseudo-terminal behind the real serial port, the test HID bus and serial
// port for the framing, the reply machine and the lamp, and the real player
// for the beat lamp's timing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/engine_state.h"
#include "engine/player.h"
#include "links/device.h"
#include "pty_device.h"
#include "platform/audio/wave_out_test.h"
#include "platform/hid/hid_device_test.h"
#include "platform/serial/serial_port_test.h"
#include "temp_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A 32-byte identity reply: the text, padded with spaces.
Bytes Identity(const std::string& text) {
  Bytes b = Text(text);
  b.resize(kIdentityBytes, ' ');
  return b;
}

const Bytes kIdentify = {0x01, 0x69};
const Bytes kAccentedCmd = {0x01, 0x6B, 0x20};
const Bytes kPlainCmd = {0x01, 0x6B, 0x10};
const Bytes kLampOffCmd = {0x01, 0x6B, 0x00};

// Qt's serial port wants an application object for its notifiers; none of
// its event loop runs here.
void EnsureQtCore() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "logic_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  (void)app;
}

// --- a device on a pseudo-terminal --------------------------------------------

// The device (a PtyDevice) answers each identify command it reads with the
// next reply of its script (an empty reply: silence), the first `firstPiece`
// bytes of a reply apart from the rest.
struct Script {
  std::vector<Bytes> replies;  // one per identify command; past the end: silence
  size_t firstPiece = 0;       // 0: a reply in one piece
};

struct HandshakeResult {
  IdentifyOutcome outcome;
  int identifyCommands = 0;
  bool finished = false;
};

// Runs the identification through the real serial port against the device:
// steps as fast as the loop goes, a Timer2 tick every `tickMs` of real time,
// and not before a full re-arm count of polls,
// the device answering as its script says.
HandshakeResult Handshake(DeviceLink& L, PtyDevice& dev, const Script& script, int tickMs = 20) {
  HandshakeResult r;
  Bytes heard;
  std::vector<uint8_t> pendingRest;
  bool restDue = false;
  EXPECT_TRUE(StartIdentification(L, false));
  auto lastTick = std::chrono::steady_clock::now();
  int steps = 0;
  const auto deadline = lastTick + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    if (std::optional<IdentifyOutcome> o = IdentificationStep(L)) {
      r.outcome = *o;
      r.finished = true;
      break;
    }
    const Bytes got = dev.Take();
    heard.insert(heard.end(), got.begin(), got.end());
    // Whole identify commands heard: answer each.
    while (heard.size() >= 2) {
      EXPECT_EQ(Bytes(heard.begin(), heard.begin() + 2), kIdentify);
      heard.erase(heard.begin(), heard.begin() + 2);
      const size_t k = static_cast<size_t>(r.identifyCommands++);
      if (k >= script.replies.size() || script.replies[k].empty()) continue;
      const Bytes& reply = script.replies[k];
      const size_t first = script.firstPiece ? std::min(script.firstPiece, reply.size()) : reply.size();
      dev.Send(Bytes(reply.begin(), reply.begin() + static_cast<long>(first)));
      pendingRest.assign(reply.begin() + static_cast<long>(first), reply.end());
      restDue = !pendingRest.empty();
    }
    // The rest of a split reply once the program has taken the first piece.
    if (restDue && L.DeviceRxCount == static_cast<int>(script.firstPiece)) {
      dev.Send(pendingRest);
      restDue = false;
    }
    // A tick needs the time and enough polls: the real wait of 1 to 1.5 s
    // polls far more often than the idle polls that re-arm the port's wait
    // (a slow build must not see a reply's second piece missed).
    const auto now = std::chrono::steady_clock::now();
    if (++steps >= kRearmCount / kPollsPerStep && now - lastTick >= std::chrono::milliseconds(tickMs)) {
      DeviceTimer2Tick(L);
      lastTick = now;
      steps = 0;
    }
  }
  return r;
}

class PtyLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureQtCore();
    ASSERT_TRUE(dev.Ok());
    L.Serial = serial::CreateQtSerialPort();
    FindDeviceSerialPort(L, SerialSearch{"/nonexistent", dev.Name()});
    ASSERT_EQ(L.SerialPortName, dev.Name());
    ASSERT_TRUE(OpenDeviceSerialPort(L)) << L.Serial->ErrorText();
  }
  PtyDevice dev;
  DeviceLink L;
};

}  // namespace

// Each case: what the device answers to each identify command, and what
// the handshake makes of it.
TEST_F(PtyLinkTest, IdentificationTable) {
  struct Case {
    const char* name;
    Script script;
    bool identified;
    int commands;
    const char* text;  // the second Visor line
  };
  const Bytes garbage(32, 0xA5);
  const Case cases[] = {
      {"DRAVV in one piece", {{Identity("DRAVV 2.10 1 Quendrel")}}, true, 1, "DRAVV 2.10 1 Quendrel"},
      {"PELNV in one piece", {{Identity("PELNV 1.03 0")}}, true, 1, "PELNV 1.03 0"},
      // The first 10 bytes, then the rest after the program has read them:
      // the position in the ring carries over between reads.
      {"split reply", {{Identity("DRAVV 3.00 1 split")}, 10}, true, 1, "DRAVV 3.00 1 split"},
      {"wrong prefix, then right", {{Identity("DRAVX 2.10"), Identity("PELNV 2.10")}}, true, 2, "PELNV 2.10"},
      {"prefix is case-sensitive", {{Identity("dravv 2.10"), Identity("DRAVV 2.11")}}, true, 2, "DRAVV 2.11"},
      {"garbage, then right", {{garbage, Identity("DRAVV 2.12")}}, true, 2, "DRAVV 2.12"},
      {"silent device", {}, false, kIdentifyAttempts, nullptr},
      {"always wrong", {std::vector<Bytes>(6, Identity("XXXXX"))}, false, kIdentifyAttempts, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    L.DeviceState = kDeviceIdle;
    L.Identify = IdentifyPhase::kNotStarted;
    L.DeviceIdentityText.fill(0);
    if (!L.SerialPortOpen) {
      ASSERT_TRUE(OpenDeviceSerialPort(L));
    }
    dev.Take();
    const HandshakeResult r = Handshake(L, dev, c.script);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.outcome.identified, c.identified);
    EXPECT_EQ(r.identifyCommands, c.commands);
    EXPECT_EQ(L.IdentifyAttempt, c.commands);
    EXPECT_FALSE(IdentificationRunning(L));
    // The display steps close the handshake in every outcome.
    EXPECT_TRUE(r.outcome.hideBotonrec && r.outcome.showTapaRec && r.outcome.flattenWaves && r.outcome.refreshChords);
    if (c.identified) {
      EXPECT_EQ(L.DeviceState, kDeviceIdentified);
      ASSERT_EQ(r.outcome.visorLines.size(), 2u);
      EXPECT_EQ(r.outcome.visorLines[0], "Velarto is plugged in");
      const Bytes id = Identity(c.text);
      EXPECT_EQ(r.outcome.visorLines[1], std::string(id.begin(), id.end()));  // all 32 bytes, padding too
      EXPECT_EQ(L.DeviceWaitCounter, 0);
      EXPECT_TRUE(L.SerialPortOpen);  // no retry closed it
    } else {
      // No message for a device that never answers or answers wrongly.
      EXPECT_TRUE(r.outcome.visorLines.empty());
      EXPECT_NE(L.DeviceState, kDeviceIdentified);
      // The pause after the sixth attempt still reopens the port.
      EXPECT_TRUE(L.SerialPortOpen);
    }
  }
}

// A failed attempt reads and drops what is waiting before it closes the
// port: a late answer to the first command cannot be taken as the answer to
// the second.
TEST_F(PtyLinkTest, LateBytesAreDroppedBeforeTheRetry) {
  Script script{{Identity("DRAVV late")}, 0};
  StartIdentification(L, true);
  // The first command goes unanswered until its wait has run out.
  for (int i = 0; i < kIdentifyWaitTicks; ++i) DeviceTimer2Tick(L);
  EXPECT_EQ(dev.Take(), kIdentify);
  dev.Send(Text("DRAVV late reply, wrong tim"));  // 27 bytes that arrive too late
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(IdentificationStep(L));
  EXPECT_EQ(L.Identify, IdentifyPhase::kPause);
  EXPECT_FALSE(L.SerialPortOpen);
  for (int i = 0; i < kRetryPauseTicks; ++i) DeviceTimer2Tick(L);
  EXPECT_FALSE(IdentificationStep(L));  // reopened, second command out
  EXPECT_EQ(L.IdentifyAttempt, 2);
  const HandshakeResult r = [&] {
    // Answer the second command properly; the 27 late bytes must be gone.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(dev.Take(), kIdentify);
    dev.Send(Identity("PELNV second"));
    HandshakeResult h;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline)
      if (auto o = IdentificationStep(L)) {
        h.outcome = *o;
        h.finished = true;
        break;
      }
    return h;
  }();
  ASSERT_TRUE(r.finished);
  EXPECT_TRUE(r.outcome.identified);
  EXPECT_EQ(r.outcome.visorLines[0], "Velarto conectado");
  EXPECT_EQ(std::string(L.DeviceIdentityText.data(), 12), "PELNV second");
}

// Commands reach the device as written, and a lamp command goes out over
// the serial port with no framing.
TEST_F(PtyLinkTest, CommandsReachTheDeviceUnframed) {
  SendLampCommand(L, kLampAccented);
  SendLampCommand(L, kLampOff);
  Bytes got;
  for (int i = 0; i < 100 && got.size() < 6; ++i) {
    const Bytes b = dev.Take();
    got.insert(got.end(), b.begin(), b.end());
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(got, (Bytes{0x01, 0x6B, 0x20, 0x01, 0x6B, 0x00}));
}

// --- a device pulled out and plugged in again -----------------------------------

namespace {

double CpuMs() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Runs Qt's event loop for `ms` milliseconds: the port's own notifiers run.
void RunEventLoop(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Steps a running identification to its end, the device answering each
// identify command with `identity`; a Timer2 tick every 20 ms.
std::optional<IdentifyOutcome> AnswerIdentification(DeviceLink& L, PtyDevice& dev, const std::string& identity) {
  auto lastTick = std::chrono::steady_clock::now();
  const auto deadline = lastTick + std::chrono::seconds(20);
  Bytes heard;
  while (std::chrono::steady_clock::now() < deadline) {
    if (auto o = IdentificationStep(L)) return o;
    const Bytes got = dev.Take();
    heard.insert(heard.end(), got.begin(), got.end());
    for (auto at = std::search(heard.begin(), heard.end(), kIdentify.begin(), kIdentify.end()); at != heard.end();
         at = std::search(heard.begin(), heard.end(), kIdentify.begin(), kIdentify.end())) {
      heard.erase(heard.begin(), at + 2);
      dev.Send(Identity(identity));
    }
    if (std::chrono::steady_clock::now() - lastTick >= std::chrono::milliseconds(20)) {
      DeviceTimer2Tick(L);
      lastTick = std::chrono::steady_clock::now();
    }
  }
  return std::nullopt;
}

}  // namespace

// The device's pseudo-terminal closes while the lamp flashes: the port
// closes, the log says so once, nothing more is written and the event loop
// idles. A new device on the same path (a link the user named) is found by
// the watch of Timer2, identified, and takes the lamp again.
TEST(DeviceLoss, PulledCableClosesThePortAndTheDeviceIsFoundAgain) {
  EnsureQtCore();
  ScratchFolder dir;
  const std::string path = dir.path() + "/metronome";
  auto dev = std::make_unique<PtyDevice>();
  ASSERT_TRUE(dev->Ok());
  std::filesystem::create_symlink(dev->Name(), path);
  DeviceLink L;
  std::vector<std::string> log;
  L.Hooks.Log = [&](const std::string&, const std::string& english) { log.push_back(english); };
  L.Serial = serial::CreateQtSerialPort();
  FindDeviceSerialPort(L, SerialSearch{"/nonexistent", path});
  ASSERT_TRUE(OpenDeviceSerialPort(L)) << L.Serial->ErrorText();
  ASSERT_TRUE(StartIdentification(L, false));
  auto first = AnswerIdentification(L, *dev, "DRAVV 2.10 1 first");
  ASSERT_TRUE(first && first->identified);

  // Mid-play: beats light the lamp, then the cable goes.
  SendLampCommand(L, kLampAccented);
  SendLampCommand(L, kLampOff);
  dev.reset();
  for (int beat = 0; beat < 20; ++beat) {
    SendLampCommand(L, beat % 4 == 0 ? kLampAccented : kLampPlain);
    LampTimerTick(L, *std::make_unique<EngineState>());
    PollDevice(L);
    WatchDeviceLink(L, false);
  }
  EXPECT_FALSE(L.SerialPortOpen);
  EXPECT_TRUE(L.Disconnected);
  EXPECT_FALSE(L.Serial->IsOpen());
  EXPECT_EQ(log, std::vector<std::string>{"Metronome disconnected"});

  // No busy loop: the event loop sleeps while the device is away.
  const double cpuBefore = CpuMs();
  const auto wallBefore = std::chrono::steady_clock::now();
  RunEventLoop(400);
  const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallBefore).count();
  EXPECT_LT(CpuMs() - cpuBefore, 0.25 * wall);

  // Nothing there yet: the watch looks every kReconnectTicks ticks and finds nothing.
  std::filesystem::remove(path);
  for (int i = 0; i < 3 * kReconnectTicks; ++i) EXPECT_FALSE(WatchDeviceLink(L, false));
  EXPECT_TRUE(L.Disconnected);

  // Plugged in again on the same path.
  PtyDevice again;
  ASSERT_TRUE(again.Ok());
  std::filesystem::create_symlink(again.Name(), path);
  int ticks = 1;
  while (!WatchDeviceLink(L, false) && ticks < 2 * kReconnectTicks) ++ticks;
  EXPECT_LE(ticks, kReconnectTicks);
  EXPECT_TRUE(L.SerialPortOpen);
  EXPECT_FALSE(L.Disconnected);
  ASSERT_TRUE(IdentificationRunning(L));
  auto second = AnswerIdentification(L, again, "DRAVV 2.11 1 again");
  ASSERT_TRUE(second && second->identified);
  EXPECT_EQ(second->visorLines[0], "Velarto is plugged in");
  // Found again: the log lines only, none of the start-up's display steps.
  EXPECT_FALSE(second->hideBotonrec || second->showTapaRec || second->flattenWaves || second->refreshChords);
  again.Take();
  SendLampCommand(L, kLampPlain);
  Bytes got;
  for (int i = 0; i < 100 && got.size() < 3; ++i) {
    const Bytes b = again.Take();
    got.insert(got.end(), b.begin(), b.end());
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(got, kPlainCmd);
  EXPECT_EQ(log.size(), 1u);
}

// The same through the test port: a write that is refused is the loss
// (once), whatever sent it; a loss during the identification closes it at
// its next step; a hang-up with nothing sent is found by the watch.
TEST(DeviceLoss, RefusedWritesAndHangUpsAreALoss) {
  struct Case {
    const char* name;
    std::function<void(DeviceLink&)> after;  // runs once the device has gone
  };
  const Case cases[] = {
      {"a lamp command", [](DeviceLink& L) { SendLampCommand(L, kLampPlain); }},
      {"a hang-up seen by the watch", [](DeviceLink& L) { EXPECT_FALSE(WatchDeviceLink(L, true)); }},
      {"an identify command",
       [](DeviceLink& L) {
         ASSERT_TRUE(StartIdentification(L, true));
         const auto o = IdentificationStep(L);  // closes at once
         ASSERT_TRUE(o);
         EXPECT_FALSE(o->identified);
         EXPECT_FALSE(IdentificationRunning(L));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceLink L;
    std::vector<std::string> log;
    L.Hooks.Log = [&](const std::string& spanish, const std::string&) { log.push_back(spanish); };
    auto p = std::make_unique<serial::TestSerialPort>();
    serial::TestSerialPort& port = *p;
    L.Serial = std::move(p);
    FindDeviceSerialPort(L, SerialSearch{"/nonexistent", "/dev/ttyACM0"});
    ASSERT_TRUE(OpenDeviceSerialPort(L));
    port.Unplug();
    c.after(L);
    EXPECT_TRUE(L.Disconnected);
    EXPECT_FALSE(L.SerialPortOpen);
    EXPECT_EQ(port.Closes, 1);
    for (int i = 0; i < 5; ++i) SendLampCommand(L, kLampOff);
    EXPECT_TRUE(port.Writes.empty());  // nothing more is sent
    EXPECT_EQ(log, std::vector<std::string>{"Metr\xC3\xB3nomo desconectado"});
    // Back: opened at the next search, identified again.
    port.Unplug(false);
    bool found = false;
    for (int i = 0; i < kReconnectTicks && !found; ++i) found = WatchDeviceLink(L, true);
    EXPECT_TRUE(found);
    EXPECT_EQ(port.Opens.size(), 2u);
    EXPECT_TRUE(IdentificationRunning(L));
    // The lamp-off that found the port closed went out at the open, before the identify command.
    ASSERT_GE(port.Writes.size(), 2u);
    EXPECT_EQ(port.Writes[0], kLampOffCmd);
    EXPECT_EQ(port.Writes[1], kIdentify);
  }
}

// A silent device: the lamp-off that falls in an identification's pause
// (the port closed) goes out as soon as the port opens again.
TEST(DeviceLoss, LampOffDuringTheRetryPauseIsSentAtTheReopen) {
  DeviceLink L;
  auto p = std::make_unique<serial::TestSerialPort>();
  serial::TestSerialPort& port = *p;
  L.Serial = std::move(p);
  L.SerialPortName = "/dev/ttyACM0";
  ASSERT_TRUE(OpenDeviceSerialPort(L));
  ASSERT_TRUE(StartIdentification(L, true));
  SendLampCommand(L, kLampAccented);  // a beat while the first attempt waits
  for (int i = 0; i < kIdentifyWaitTicks; ++i) DeviceTimer2Tick(L);
  EXPECT_FALSE(IdentificationStep(L));
  ASSERT_EQ(L.Identify, IdentifyPhase::kPause);
  port.Writes.clear();
  SendLampCommand(L, kLampOff);  // half a beat later, the port closed
  SendLampCommand(L, kLampOff);
  EXPECT_TRUE(port.Writes.empty());
  for (int i = 0; i < kRetryPauseTicks; ++i) DeviceTimer2Tick(L);
  EXPECT_FALSE(IdentificationStep(L));  // reopens, next attempt
  EXPECT_EQ(port.Writes, (std::vector<Bytes>{kLampOffCmd, kIdentify}));
  EXPECT_FALSE(L.PendingLampOff);
  EXPECT_FALSE(L.Disconnected);  // a pause is no loss
}

// A port the user named that does not exist is said, with where it was named.
TEST(DeviceLoss, MissingPortIsNamed) {
  ScratchFolder dir;
  DeviceLink L;
  FindDeviceSerialPort(L, SerialSearch{"/nonexistent", dir.path() + "/nothing"});
  L.PortGivenBy = kDevicePortSettingKey;
  const auto m = MissingPortMessage(L);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->first, "No existe el puerto del metr\xC3\xB3nomo: " + dir.path() + "/nothing (PuertoMetronomo)");
  EXPECT_EQ(m->second, "The metronome's port does not exist: " + dir.path() + "/nothing (PuertoMetronomo)");
  FindDeviceSerialPort(L, SerialSearch{"/nonexistent", dir.path()});
  EXPECT_FALSE(MissingPortMessage(L));  // it exists
  FindDeviceSerialPort(L, SerialSearch{"/nonexistent", ""});
  EXPECT_FALSE(MissingPortMessage(L));  // none named
  ::setenv(kDevicePortVariable, "/dev/x", 1);
  EXPECT_EQ(DevicePortOverrideFrom("/dev/y"), kDevicePortVariable);
  ::unsetenv(kDevicePortVariable);
  EXPECT_EQ(DevicePortOverrideFrom("/dev/y"), kDevicePortSettingKey);
}

// --- identification through the test backends --------------------------------

TEST(DeviceIdentification, NoDeviceClosesAtOnceWithoutAMessage) {
  DeviceLink L;
  L.Serial = std::make_unique<serial::TestSerialPort>();
  EXPECT_FALSE(OpenDeviceSerialPort(L));  // no port name
  ASSERT_TRUE(StartIdentification(L, true));
  EXPECT_FALSE(StartIdentification(L, true));  // one at a time
  const std::optional<IdentifyOutcome> o = IdentificationStep(L);
  ASSERT_TRUE(o);
  EXPECT_FALSE(o->identified);
  EXPECT_TRUE(o->visorLines.empty());
  EXPECT_TRUE(o->hideBotonrec && o->showTapaRec && o->flattenWaves && o->refreshChords);
  EXPECT_EQ(L.IdentifyAttempt, 0);
  EXPECT_FALSE(IdentificationStep(L));  // the outcome comes once
}

// A second identification cannot start inside the first; ticks before the
// start and after the end change nothing.
TEST(DeviceIdentification, WaitsDoNotNest) {
  DeviceLink L;
  auto port = std::make_unique<serial::TestSerialPort>();
  serial::TestSerialPort& p = *port;
  L.Serial = std::move(port);
  L.SerialPortName = "/dev/ttyACM0";
  ASSERT_TRUE(OpenDeviceSerialPort(L));
  ASSERT_TRUE(StartIdentification(L, false));
  EXPECT_FALSE(StartIdentification(L, false));
  EXPECT_EQ(p.Writes.size(), 1u);
  EXPECT_EQ(L.IdentifyAttempt, 1);
  // Silent: 6 attempts, each 3 ticks of waiting and 2 of pause.
  int steps = 0;
  std::optional<IdentifyOutcome> o;
  while (!o && steps < 1000) {
    o = IdentificationStep(L);
    if (++steps % 7 == 0) DeviceTimer2Tick(L);
  }
  ASSERT_TRUE(o);
  EXPECT_EQ(p.Writes, std::vector<Bytes>(6, kIdentify));
  EXPECT_EQ(p.ErrorClears, 6);
  EXPECT_EQ(p.Closes, 6);
  EXPECT_EQ(p.Opens.size(), 7u);  // the start-up open and one after each pause
}

// Basic edition: the transfer button goes for a device that takes the lamp
// over its serial port; botonrec is disabled in every outcome.
TEST(DeviceIdentification, BasicEditionClosesWithItsOwnSteps) {
  for (const char capability : {'2', '1'}) {
    DeviceLink L(DeviceEdition::kBasic);
    auto port = std::make_unique<serial::TestSerialPort>();
    serial::TestSerialPort& p = *port;
    L.Serial = std::move(port);
    L.SerialPortName = "/dev/ttyACM3";
    ASSERT_TRUE(OpenDeviceSerialPort(L));
    ASSERT_TRUE(StartIdentification(L, true));
    EXPECT_EQ(p.Writes, std::vector<Bytes>{kIdentify});  // written to the serial port by the caller
    p.Arrive(Identity(std::string("DRAVV ") + capability + " basic"));
    const std::optional<IdentifyOutcome> o = IdentificationStep(L);
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->identified);
    EXPECT_EQ(o->hideBEnvia, capability == '2');
    EXPECT_TRUE(o->disableBotonrec);
    EXPECT_FALSE(o->hideBotonrec || o->showTapaRec || o->flattenWaves || o->refreshChords);
    EXPECT_EQ(DeviceCanBeTunerInput(L), capability == '1');
  }
}

// The device's text is shown as plain text: control characters as spaces,
// Latin-1 letters in UTF-8, markup left as it is.
TEST(DeviceIdentification, IdentityLineIsPlainText) {
  DeviceLink L;
  const char raw[] = "DRAVV <b>x</b>\r\n\x07 Espa\xF1" "a\x7F";
  std::memcpy(L.DeviceIdentityText.data(), raw, sizeof raw - 1);
  EXPECT_EQ(DeviceIdentityLine(L), "DRAVV <b>x</b>    Espa\xC3\xB1" "a ");
}

// --- HID ---------------------------------------------------------------------

TEST(DeviceHid, ProbeKeepsOnlyTheMetronome) {
  struct Case {
    const char* name;
    std::optional<std::wstring> maker, product;
    bool kept;
  };
  const Case cases[] = {
      {"the metronome", L"Quendrel", L"Velarto", true},
      {"maker in another case", L"quendrel", L"Velarto", false},
      {"another product", L"Quendrel", L"Velarto2", false},
      {"maker unreadable", std::nullopt, L"Velarto", false},
      {"product unreadable", L"Quendrel", std::nullopt, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto s = std::make_shared<hid::TestHidScript>();
    s->vendor = 0x04D8;
    s->product = 0xF5FC;
    s->manufacturer = c.maker;
    s->product_string = c.product;
    hid::TestHidBus bus(s);
    DeviceLink L;
    EXPECT_EQ(ProbeHidDevice(L, bus), c.kept);
    EXPECT_EQ(L.HidDevice != nullptr, c.kept);
    EXPECT_EQ(s->open, c.kept);  // a rejected device is closed
    EXPECT_EQ(s->nonBlocking, c.kept);
  }
  hid::TestHidBus empty;
  DeviceLink L;
  EXPECT_FALSE(ProbeHidDevice(L, empty));
}

class HidLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s = std::make_shared<hid::TestHidScript>();
    s->vendor = 0x04D8;
    s->product = 0xF5FC;
    s->manufacturer = L"Quendrel";
    s->product_string = L"Velarto";
    hid::TestHidBus bus(s);
    ASSERT_TRUE(ProbeHidDevice(L, bus));
    auto port = std::make_unique<serial::TestSerialPort>();
    port_ = port.get();
    L.Serial = std::move(port);
  }
  // An input report as hidapi hands it: byte 0 the count, then the data.
  static Bytes Report(uint8_t count, const Bytes& data) {
    Bytes r{count};
    r.insert(r.end(), data.begin(), data.end());
    return r;
  }
  std::shared_ptr<hid::TestHidScript> s;
  serial::TestSerialPort* port_ = nullptr;
  DeviceLink L;
};

TEST_F(HidLinkTest, OutgoingReportsCarry63BytesEach) {
  struct Case {
    size_t n;
    std::vector<size_t> reports;  // payload count of each report
  };
  const Case cases[] = {{3, {3}}, {63, {63}}, {64, {63, 1}}, {130, {63, 63, 4}}, {0, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    s->writes.clear();
    Bytes payload(c.n);
    for (size_t i = 0; i < c.n; ++i) payload[i] = static_cast<uint8_t>(i + 1);
    SendToDevice(L, payload.data(), c.n);
    ASSERT_EQ(s->writes.size(), c.reports.size());
    size_t at = 0;
    for (size_t r = 0; r < c.reports.size(); ++r) {
      const Bytes& w = s->writes[r];
      ASSERT_EQ(w.size(), kDeviceReportBytes);
      EXPECT_EQ(w[0], 0);  // report id
      EXPECT_EQ(w[1], c.reports[r]);
      EXPECT_EQ(Bytes(w.begin() + 2, w.begin() + 2 + static_cast<long>(c.reports[r])),
                Bytes(payload.begin() + static_cast<long>(at), payload.begin() + static_cast<long>(at + c.reports[r])));
      EXPECT_EQ(Bytes(w.begin() + 2 + static_cast<long>(c.reports[r]), w.end()),
                Bytes(63 - c.reports[r], 0));  // nothing left over from an earlier message
      at += c.reports[r];
    }
  }
  EXPECT_TRUE(port_->Writes.empty());  // the HID device takes every command
}

// The count byte of an input report is believed only as far as the report
// goes and never past 63.
TEST_F(HidLinkTest, IncomingCountsAreBounded) {
  struct Case {
    const char* name;
    Bytes report;
    size_t stored;
  };
  const Case cases[] = {
      {"count as read", Report(3, Text("abc")), 3},
      {"count past the bytes read", Report(40, Text("abcd")), 4},
      {"count past 63", Report(200, Bytes(64, 'x')), 63},
      {"count of 0", Report(0, Text("abc")), 0},
      {"only the count", Bytes{9}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    L.DeviceRxCount = 0;
    s->input = {c.report};
    PollDevice(L);
    EXPECT_EQ(static_cast<size_t>(L.DeviceRxCount), c.stored);
    EXPECT_EQ(HidReportData(c.report.data(), static_cast<int>(c.report.size())), c.stored);
  }
  EXPECT_EQ(HidReportData(nullptr, -1), 0u);  // a failed read
}

// A poll reads report after report until one brings nothing; the reports
// after that wait for the next poll.
TEST_F(HidLinkTest, AnEmptyReportEndsThePoll) {
  s->input = {Report(2, Text("DR")), Report(3, Text("AVV")), Report(0, {}), Report(2, Text("xy"))};
  L.DeviceRxCount = 0;
  PollDevice(L);
  EXPECT_EQ(L.DeviceRxCount, 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(L.DeviceInput.data()), 5), "DRAVV");
  EXPECT_EQ(s->input.size(), 1u);
  PollDevice(L);
  EXPECT_EQ(L.DeviceRxCount, 7);
  s->readFails = true;
  PollDevice(L);  // a failing device ends the poll too
  EXPECT_EQ(L.DeviceRxCount, 7);
}

// A pulled HID device: the first refused read or write says so once and
// closes it; at the watch's moments the bus is looked at again, and the
// device plugged back is found and identified again.
TEST_F(HidLinkTest, APulledDeviceIsSaidOnceAndFoundAgain) {
  std::vector<std::string> said;
  L.Hooks.Log = [&](const std::string&, const std::string& english) { said.push_back(english); };
  hid::TestHidBus bus(s);
  for (bool byWrite : {false, true}) {
    SCOPED_TRACE(byWrite ? "a write" : "a read");
    said.clear();
    s->pulled = true;
    const Bytes lamp = {0x01, 0x6C, 0x01};
    if (byWrite)
      SendToDevice(L, lamp.data(), lamp.size());
    else
      PollDevice(L);
    EXPECT_FALSE(L.HidDevice);
    EXPECT_FALSE(s->open);
    EXPECT_TRUE(L.Disconnected);
    PollDevice(L);  // nothing more is tried, nothing more is said
    SendToDevice(L, lamp.data(), lamp.size());
    EXPECT_EQ(said, std::vector<std::string>{"Metronome disconnected"});
    // Still out: the watch finds nothing, however long it looks.
    const int opensBefore = s->opens;
    for (int t = 0; t < 3 * kReconnectTicks; ++t) {
      EXPECT_FALSE(WatchDeviceLink(L, false));
      EXPECT_FALSE(WatchHidDevice(L, bus, false));
    }
    EXPECT_FALSE(L.HidDevice);
    // Plugged back: found within one round of the watch, and identified.
    s->pulled = false;
    s->writes.clear();
    bool again = false;
    for (int t = 0; t < kReconnectTicks && !again; ++t) {
      WatchDeviceLink(L, false);
      again = WatchHidDevice(L, bus, false);
    }
    EXPECT_TRUE(again);
    EXPECT_TRUE(L.HidDevice);
    EXPECT_FALSE(L.Disconnected);
    EXPECT_EQ(s->opens, opensBefore + 1);
    EXPECT_TRUE(IdentificationRunning(L));
    ASSERT_FALSE(s->writes.empty());
    EXPECT_EQ(Bytes(s->writes[0].begin(), s->writes[0].begin() + 4), (Bytes{0, 2, 0x01, 0x69}));  // the identify command
    // Let the identification close before the next round.
    for (int i = 0; i < 100000 && IdentificationRunning(L); ++i) {
      DeviceTimer2Tick(L);
      IdentificationStep(L);
    }
    EXPECT_FALSE(IdentificationRunning(L));
  }
}

// Identification over HID: the identify command in a report, the reply in
// pieces across polls; the serial port is opened and touched by retries
// only.
TEST_F(HidLinkTest, IdentifiesOverHid) {
  ASSERT_TRUE(StartIdentification(L, false));
  ASSERT_EQ(s->writes.size(), 1u);
  EXPECT_EQ(Bytes(s->writes[0].begin(), s->writes[0].begin() + 4), (Bytes{0, 2, 0x01, 0x69}));
  const Bytes id = Identity("PELNV 1 4.0 hid");
  s->input = {Report(20, Bytes(id.begin(), id.begin() + 20))};
  EXPECT_FALSE(IdentificationStep(L));
  EXPECT_EQ(L.DeviceRxCount, 20);
  s->input = {Report(12, Bytes(id.begin() + 20, id.end()))};
  const std::optional<IdentifyOutcome> o = IdentificationStep(L);
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->identified);
  EXPECT_TRUE(DeviceCanBeTunerInput(L));
  EXPECT_TRUE(port_->Writes.empty());
}

// --- the reply machine ---------------------------------------------------------

TEST(DeviceReplies, RingWrapsAndTransferStatesCount) {
  DeviceLink L;
  for (size_t i = 0; i < kDeviceRingBytes + 5; ++i) DeviceByte(L, static_cast<uint8_t>(i & 0xFF));
  EXPECT_EQ(L.DeviceRxCount, 5);                  // wrapped
  EXPECT_EQ(L.DeviceInput[0], kDeviceRingBytes & 0xFF);  // the oldest byte overwritten
  EXPECT_EQ(L.DeviceState, kDeviceIdle);

  // Length then data: 4 bytes little-endian, then every byte into the checksum.
  L.DeviceRxCount = 0;
  L.DeviceState = kDeviceExpectLength;
  for (uint8_t b : {0x10, 0x27, 0x01, 0x00}) DeviceByte(L, b);
  EXPECT_EQ(L.DeviceState, kDeviceReceiving);
  EXPECT_EQ(L.DeviceDataLength, 0x012710u);
  EXPECT_EQ(L.DeviceRxCount, 0);
  for (uint8_t b : {0x0F, 0xF0, 0x33}) DeviceByte(L, b);
  EXPECT_EQ(L.DeviceChecksum, 0x0F ^ 0xF0 ^ 0x33);
  EXPECT_EQ(L.DeviceRxCount, 3);  // kept in the ring as well

  // A position set out of range by anyone starts the ring again.
  L.DeviceRxCount = 99999;
  DeviceByte(L, 7);
  EXPECT_EQ(L.DeviceRxCount, 1);

  // The tuner frames every byte in its state; its block may end the poll.
  std::vector<uint8_t> framed;
  L.Hooks.TunerByte = [&](uint8_t b) { framed.push_back(b); };
  L.DeviceState = kDeviceTuner;
  DeviceByte(L, 42);
  EXPECT_EQ(framed, (std::vector<uint8_t>{42}));
}

// The serial port's arriving characters are noticed through its wait; after
// a read, the wait is armed again only after 2000 idle polls, later after
// 30000.
TEST(DeviceReplies, SerialWaitIsReArmedByCounting) {
  DeviceLink L;
  auto port = std::make_unique<serial::TestSerialPort>();
  serial::TestSerialPort& p = *port;
  L.Serial = std::move(port);
  L.SerialPortName = "/dev/ttyACM0";
  ASSERT_TRUE(OpenDeviceSerialPort(L));
  p.Arrive(Text("ab"));
  PollDevice(L);
  EXPECT_EQ(L.DeviceRxCount, 2);
  EXPECT_EQ(L.SerialRearmCounter, kFirstRearmCount);  // a poll with news does not count
  p.Arrive(Text("cd"));
  for (int i = 0; i < kFirstRearmCount; ++i) PollDevice(L);
  EXPECT_EQ(L.DeviceRxCount, 2);  // not noticed yet
  EXPECT_EQ(L.SerialRearmCounter, 0);
  PollDevice(L);  // arms the wait
  EXPECT_EQ(L.SerialRearmCounter, kRearmCount);
  EXPECT_EQ(L.DeviceRxCount, 2);
  PollDevice(L);  // the wait completes: read
  EXPECT_EQ(L.DeviceRxCount, 4);
  EXPECT_EQ(L.DeviceReadCount, 2u);
}

// --- finding the port -------------------------------------------------------

TEST(DeviceDiscovery, LastAcmPortOfTheVendorOrTheUsersPort) {
  ScratchFolder sys;
  namespace fs = std::filesystem;
  // ttyACMn -> device -> an interface folder whose USB device holds idVendor.
  auto port = [&](const std::string& name, const std::string& vendor) {
    const fs::path usb = fs::path(sys.path()) / "devices" / ("usb-" + name);
    fs::create_directories(usb / "1-1:1.0");
    std::ofstream(usb / "idVendor") << vendor << "\n";
    const fs::path tty = fs::path(sys.path()) / "class" / "tty" / name;
    fs::create_directories(tty);
    fs::create_directory_symlink(usb / "1-1:1.0", tty / "device");
  };
  port("ttyACM0", "04d8");
  port("ttyACM1", "04d9");  // another maker
  port("ttyACM2", "04d8");
  port("ttyACM10", "04D8");
  port("ttyUSB0", "04d8");  // not a CDC ACM port
  fs::create_directories(fs::path(sys.path()) / "class" / "tty" / "tty0");  // no device link
  EXPECT_EQ(serial::FindAcmPorts(sys.path(), 0x04D8),
            (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyACM2", "/dev/ttyACM10"}));

  DeviceLink L;
  EXPECT_FALSE(FindDeviceSerialPort(L, SerialSearch{sys.path(), ""}));
  EXPECT_EQ(L.SerialPortName, "/dev/ttyACM10");
  FindDeviceSerialPort(L, SerialSearch{sys.path(), "/dev/pts/9"});
  EXPECT_EQ(L.SerialPortName, "/dev/pts/9");

  // Nothing found and no HID device: no driver to install, no prompt.
  EXPECT_FALSE(FindDeviceSerialPort(L, SerialSearch{sys.path() + "/none", ""}));
  EXPECT_TRUE(L.SerialPortName.empty());
  EXPECT_NE(L.DriverInstallError, 0);

  ::setenv(kDevicePortVariable, "/dev/ttyS7", 1);
  EXPECT_EQ(DevicePortOverride("/dev/ttyACM4"), "/dev/ttyS7");
  ::unsetenv(kDevicePortVariable);
  EXPECT_EQ(DevicePortOverride("/dev/ttyACM4"), "/dev/ttyACM4");
  EXPECT_EQ(DevicePortOverride(""), "");
}

// --- the beat lamp ------------------------------------------------------------

namespace {

// The player on the test output with the lamp as its listener, and Timer5
// ticked by the test. Commands land on a test serial port.
class LampTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rt = RhythmTables::Create();
    rt->FormulaCount = 1;
    rt->Formulas[0].SetHeader(4, 0);
    rt->Formulas[0].accents = 1;  // beat 1 accented
    auto p = std::make_unique<serial::TestSerialPort>();
    port = p.get();
    L.Serial = std::move(p);
    L.SerialPortName = "/dev/ttyACM0";
    ASSERT_TRUE(OpenDeviceSerialPort(L));
    player = std::make_unique<Player>(E, *rt, bank);
    ASSERT_EQ(player->Open(&out, nullptr), audio::WaveResult::kOk);
    player->AddListener([this](const BeatCue& cue) { BeatLamp(L, cue); });
  }
  void TearDown() override { player->Close(); }

  // Plays one beat: the buffer before it ends and the player steps.
  BeatCue Beat() {
    out.CompleteNext();
    EXPECT_TRUE(player->BeatDue());
    return player->Pump();
  }
  // Timer5 n times; the tick at which each command went out (1-based).
  std::vector<std::pair<int, Bytes>> Ticks(int n) {
    std::vector<std::pair<int, Bytes>> sent;
    for (int t = 1; t <= n; ++t) {
      const size_t before = port->Writes.size();
      LampTimerTick(L, E);
      for (size_t i = before; i < port->Writes.size(); ++i) sent.emplace_back(t, port->Writes[i]);
    }
    return sent;
  }

  EngineState E;
  std::unique_ptr<RhythmTables> rt;
  BancoSonidos bank;
  audio::TestWaveOut out;
  std::unique_ptr<Player> player;
  DeviceLink L;
  serial::TestSerialPort* port = nullptr;
};

}  // namespace

// At 120 bpm every beat lights the lamp (accented on beat 1) and the lamp
// goes off 25 ticks of 10 ms later, half a beat.
TEST_F(LampTest, LampOffHalfABeatAfterEachBeat) {
  player->StartFormula(0, 120.0f);
  for (int beat = 1; beat <= 5; ++beat) {
    SCOPED_TRACE(beat);
    port->Writes.clear();
    const BeatCue cue = Beat();
    ASSERT_EQ(port->Writes.size(), 1u);
    EXPECT_EQ(port->Writes[0], cue.accent ? kAccentedCmd : kPlainCmd);
    EXPECT_EQ(cue.accent, cue.beat == 1);
    port->Writes.clear();
    EXPECT_EQ(Ticks(30), (std::vector<std::pair<int, Bytes>>{{25, kLampOffCmd}}));
  }
  EXPECT_EQ(port->ErrorClears, 10);  // each serial write clears the port's errors
}

// A pause holds the countdown: the lamp stays lit until playback resumes
// and the rest of the half beat has run.
TEST_F(LampTest, PauseHaltsTheCountdown) {
  player->StartFormula(0, 120.0f);
  Beat();
  port->Writes.clear();
  EXPECT_TRUE(Ticks(10).empty());
  player->Pause();
  EXPECT_TRUE(Ticks(100).empty());
  EXPECT_EQ(E.LampCountdown, 15);
  player->Resume();
  EXPECT_EQ(Ticks(20), (std::vector<std::pair<int, Bytes>>{{15, kLampOffCmd}}));
}

// Every stop switches a lit lamp off: the stop buttons at once (again even
// when the countdown had sent it), the end of a theme and the menu's stop
// at the next tick of Timer5. A lamp already off gets nothing more.
TEST_F(LampTest, EveryStopSwitchesTheLampOff) {
  struct Case {
    const char* name;
    bool button;
    int ticksFirst;  // Timer5 ticks between the last beat and the stop
    std::vector<Bytes> want;
  };
  const Case cases[] = {
      {"stop button within half a beat", true, 5, {kLampOffCmd}},
      {"stop button after the lamp went off", true, 30, {kLampOffCmd, kLampOffCmd}},
      {"menu stop or the end of a theme within half a beat", false, 5, {kLampOffCmd}},
      {"menu stop after the lamp went off", false, 30, {kLampOffCmd}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    player->StartFormula(0, 120.0f);
    Beat();
    port->Writes.clear();
    Ticks(c.ticksFirst);
    // What the window's stop does: the player stops, the engine is stopped.
    player->Stop();
    E.PlayState = 0;
    if (c.button) StopButtonLampOff(L);
    Ticks(50);
    EXPECT_EQ(port->Writes, c.want);
  }
}

// Basic edition: the lamp always goes to the HID device, to the serial port
// only for a device whose capability is '2'.
TEST(DeviceLamp, BasicEditionRoutesTheLamp) {
  for (const char capability : {'2', '0'}) {
    SCOPED_TRACE(capability);
    auto s = std::make_shared<hid::TestHidScript>();
    s->vendor = 0x04D8;
    s->product = 0xF5FC;
    s->manufacturer = L"Quendrel";
    s->product_string = L"Velarto";
    hid::TestHidBus bus(s);
    DeviceLink L(DeviceEdition::kBasic);
    auto p = std::make_unique<serial::TestSerialPort>();
    serial::TestSerialPort& port = *p;
    L.Serial = std::move(p);
    L.SerialPortName = "/dev/ttyACM0";
    ASSERT_TRUE(OpenDeviceSerialPort(L));
    L.DeviceIdentityText[6] = capability;
    SendLampCommand(L, kLampPlain);  // no HID device yet: the serial port only when '2'
    EXPECT_EQ(port.Writes.size(), capability == '2' ? 1u : 0u);
    ASSERT_TRUE(ProbeHidDevice(L, bus));
    port.Writes.clear();
    StopButtonLampOff(L);
    ASSERT_EQ(s->writes.size(), 1u);
    EXPECT_EQ(Bytes(s->writes[0].begin() + 1, s->writes[0].begin() + 5), (Bytes{3, 0x01, 0x6B, 0x00}));
    EXPECT_EQ(port.Writes, capability == '2' ? std::vector<Bytes>{kLampOffCmd} : std::vector<Bytes>{});
  }
}
