// The hardware metronome in the real window: identification at start-up
// against a fake device on a pseudo-terminal behind the real serial port,
// and the lamp commands of a theme that plays.
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QChartView>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineSeries>
#include <QTimer>

#include "platform/ui/settings.h"
#include "gui_fixture.h"
#include "links/device.h"
#include "pty_device.h"
#include "platform/hid/hid_device_test.h"
#include "platform/serial/serial_port_test.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Identity(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.resize(kIdentityBytes, ' ');
  return b;
}

const Bytes kIdentify = {0x01, 0x69};
const Bytes kAccentedCmd = {0x01, 0x6B, 0x20};
const Bytes kPlainCmd = {0x01, 0x6B, 0x10};
const Bytes kLampOffCmd = {0x01, 0x6B, 0x00};


int Points(QWidget* chart) {
  return static_cast<QLineSeries*>(static_cast<QChartView*>(chart)->chart()->series().value(0))->count();
}

class DeviceWindowTest : public WindowTest {
 protected:
  void TearDown() override {
    ::unsetenv(kDevicePortVariable);
    form.reset();
  }
  // The window on the given transports (null: the real serial port); `before`
  // runs between its construction and its start-up.
  void StartWith(std::unique_ptr<serial::SerialPort> port, const std::function<void()>& before = {}) {
    auto d = std::make_unique<ScriptedDialogs>();
    dlg = d.get();
    TMainForm::Options o;
    o.dialogs = std::move(d);
    auto w = audio::CreateTestWaveOut();
    wave = w.get();
    o.waveOut = std::move(w);
    o.waveIn = audio::CreateTestWaveIn();
    o.hidBus = std::make_unique<hid::TestHidBus>();  // no HID device
    o.serialPort = std::move(port);
    form = std::make_unique<TMainForm>(std::move(o));
    form->ChordListRefresh = [this] { ++chordRefreshes; };
    if (before) before();
    form->FormCreate();
  }
  QStringList VisorLines() const { return form->Visor->toPlainText().split('\n', Qt::SkipEmptyParts); }

  int chordRefreshes = 0;
};

}  // namespace

// Start-up finds the device on the port the user named (the environment or
// the settings file), opens it with the real serial code and identifies it
// while the window's event loop runs; what it leaves behind, by reply.
TEST_F(DeviceWindowTest, IdentificationAtStartUp) {
  struct Case {
    const char* name;
    bool portFromSettings;  // else VELARTO_DEVICE_PORT
    bool english;
    std::vector<Bytes> replies;  // one per identify command heard; past the end: silence
    std::vector<QString> lines;  // the device's Visor lines
    int commands;
  };
  const Case cases[] = {
      {"DRAVV, Spanish", false, false, {Identity("DRAVV 2.10 1 Quendrel")},
       {"Velarto conectado", QString::fromLatin1(reinterpret_cast<const char*>(Identity("DRAVV 2.10 1 Quendrel").data()), 32)},
       1},
      {"a wrong prefix, then PELNV, English, port from the settings", true, true,
       {Identity("DRAVX"), Identity("PELNV 1.03 <b>&amp;")},
       {"Velarto is plugged in", QString::fromLatin1(reinterpret_cast<const char*>(Identity("PELNV 1.03 <b>&amp;").data()), 32)},
       2},
      {"silent device", false, false, {}, {}, kIdentifyAttempts},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PtyDevice dev;
    ASSERT_TRUE(dev.Ok());
    {
      SettingsIni ini("DRAV_PROF.ini");
      ini.WriteString("METRONOMO", "Idioma", c.english ? "Ingles" : QString::fromUtf8("Español"));
      ini.WriteString("METRONOMO", kDevicePortSettingKey, c.portFromSettings ? QString::fromStdString(dev.Name()) : "");
    }
    if (c.portFromSettings)
      ::unsetenv(kDevicePortVariable);
    else
      ::setenv(kDevicePortVariable, dev.Name().c_str(), 1);
    chordRefreshes = 0;
    StartWith(nullptr, [&] {
      // The waves show something, so that the flat lines are seen to come.
      static_cast<QLineSeries*>(static_cast<QChartView*>(form->OndaL)->chart()->series().value(0))
          ->replace({QPointF(0, 5), QPointF(1, 7), QPointF(2, 9)});
      static_cast<QLineSeries*>(static_cast<QChartView*>(form->OndaR)->chart()->series().value(0))
          ->replace({QPointF(0, 5), QPointF(1, 7), QPointF(2, 9)});
      // A silent device takes six waits and six pauses: quicker ticks.
      if (c.replies.empty()) form->Timer2->setInterval(20);
    });
    ASSERT_EQ(form->Device->SerialPortName, dev.Name());
    EXPECT_TRUE(IdentificationRunning(*form->Device));
    EXPECT_EQ(chordRefreshes, 0);
    const QStringList before = VisorLines();

    // The device answers each identify command it hears.
    int commands = 0;
    Bytes heard;
    QElapsedTimer clock;
    clock.start();
    while (IdentificationRunning(*form->Device) && clock.elapsed() < 60000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      const Bytes got = dev.Take();
      heard.insert(heard.end(), got.begin(), got.end());
      while (heard.size() >= 2) {
        EXPECT_EQ(Bytes(heard.begin(), heard.begin() + 2), kIdentify);
        heard.erase(heard.begin(), heard.begin() + 2);
        const size_t k = static_cast<size_t>(commands++);
        if (k < c.replies.size()) dev.Send(c.replies[k]);
      }
    }
    ASSERT_FALSE(IdentificationRunning(*form->Device));
    EXPECT_FALSE(form->IdentifyTimer->isActive());
    EXPECT_EQ(commands, c.commands);

    // The device's lines, as plain text, after what start-up logged.
    QStringList added = VisorLines().mid(before.size());
    EXPECT_EQ(added, QStringList(c.lines.begin(), c.lines.end()));
    EXPECT_EQ(form->Device->DeviceState == kDeviceIdentified, !c.lines.empty());
    // In every outcome: the set unmodified, flat waves, the chord list refreshed once.
    EXPECT_TRUE(form->botonrec->isHidden());
    EXPECT_FALSE(form->TapaRec->isHidden());
    EXPECT_EQ(Points(form->OndaL), 2);
    EXPECT_EQ(Points(form->OndaR), 2);
    EXPECT_EQ(chordRefreshes, 1);
    EXPECT_TRUE(form->Device->SerialPortOpen);
    EXPECT_TRUE(dlg->messages.isEmpty());
    // The window goes: the port is closed.
    form.reset();
  }
}

// With no device the identification closes inside start-up: no message,
// the display steps done, nothing left running.
TEST_F(DeviceWindowTest, NoDeviceClosesWithinStartUp) {
  ::setenv(kDevicePortVariable, "/nonexistent/ttyACM7", 1);
  StartWith(nullptr);
  EXPECT_FALSE(form->Device->SerialPortOpen);
  EXPECT_FALSE(IdentificationRunning(*form->Device));
  EXPECT_FALSE(form->IdentifyTimer->isActive());
  EXPECT_EQ(chordRefreshes, 1);
  EXPECT_FALSE(form->Visor->toPlainText().contains("Velarto"));
  EXPECT_TRUE(form->Timer2->isActive());
  EXPECT_TRUE(form->Timer5->isActive());
}

// The window is up while a device is being identified: a change made then
// stays marked, so that closing still offers to save it.
TEST_F(DeviceWindowTest, ChangeDuringIdentificationStaysMarked) {
  auto p = std::make_unique<serial::TestSerialPort>();
  serial::TestSerialPort* port = p.get();
  ::setenv(kDevicePortVariable, "/dev/ttyACM0", 1);
  StartWith(std::move(p));
  ASSERT_TRUE(IdentificationRunning(*form->Device));
  ASSERT_EQ(port->Writes, std::vector<Bytes>{kIdentify});
  form->Cambios();
  port->Arrive(Identity("DRAVV 2.10"));
  for (int i = 0; i < 1000 && IdentificationRunning(*form->Device); ++i) QCoreApplication::processEvents();
  ASSERT_EQ(form->Device->DeviceState, kDeviceIdentified);
  EXPECT_TRUE(form->Modified());
}

namespace {

// A theme of one 4-beat formula at 120 bpm, beat 1 accented, played with
// the test output; the lamp commands land on a test serial port. Timer5 is
// ticked by the test.
class LampWindowTest : public DeviceWindowTest {
 protected:
  void SetUp() override {
    DeviceWindowTest::SetUp();
    auto p = std::make_unique<serial::TestSerialPort>();
    port = p.get();
    ::setenv(kDevicePortVariable, "/dev/ttyACM0", 1);
    StartWith(std::move(p));
    // The device answers its identification.
    port->Arrive(Identity("DRAVV 2.10 1"));
    for (int i = 0; i < 1000 && IdentificationRunning(*form->Device); ++i) QCoreApplication::processEvents();
    ASSERT_EQ(form->Device->DeviceState, kDeviceIdentified);
    form->Timer5->stop();
    RhythmTables& rt = *form->Rhythm;
    rt.Formulas[0].SetHeader(4, 0);
    rt.Formulas[0].accents = 1;  // beat 1
    form->FillFormulaRow(0);
    Tema& th = rt.Temas[0];
    th.entryCount = 2;
    for (int e = 0; e < 2; ++e) {
      th.formulas[e] = 0;
      th.times[e] = 8;
      th.accel[e] = 0;
      th.tempos[e] = e == 0 ? 120 : 0;
    }
    th.partsOrder = 0x80;
    th.introEnding = 0;
    form->SGTemas->Select(1, 1);
    form->SGTemasSelectCell(1, 1);
  }
  // Plays until the next lamp command; false when none came.
  bool NextBeat() {
    const size_t before = port->Writes.size();
    wave->CompleteNext();
    QElapsedTimer clock;
    clock.start();
    while (port->Writes.size() == before && clock.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return port->Writes.size() > before;
  }
  // Timer5 n times: the tick at which each command went out (1-based).
  std::vector<std::pair<int, Bytes>> Ticks(int n) {
    std::vector<std::pair<int, Bytes>> sent;
    for (int t = 1; t <= n; ++t) {
      const size_t before = port->Writes.size();
      form->Timer5Timer();
      for (size_t i = before; i < port->Writes.size(); ++i) sent.emplace_back(t, port->Writes[i]);
    }
    return sent;
  }
  // Starts the theme and lets its first beat light the lamp.
  void Play() {
    port->Writes.clear();
    form->BotonPlayCompClick();
    QElapsedTimer clock;
    clock.start();
    while (port->Writes.empty() && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_EQ(form->Engine->PlayState, 1);
    ASSERT_EQ(port->Writes, std::vector<Bytes>{kAccentedCmd});
  }

  serial::TestSerialPort* port = nullptr;
};

}  // namespace

// Every beat of the playing theme lights the lamp, accented on beat 1, and
// Timer5 switches it off 25 ticks (half a beat at 120 bpm) later.
TEST_F(LampWindowTest, LampAtEachBeatAndOffHalfABeatLater) {
  Play();
  EXPECT_EQ(Ticks(30), (std::vector<std::pair<int, Bytes>>{{25, kLampOffCmd}}));
  for (int beat = 2; beat <= 9; ++beat) {
    SCOPED_TRACE(beat);
    port->Writes.clear();
    ASSERT_TRUE(NextBeat());
    ASSERT_EQ(port->Writes.size(), 1u);
    EXPECT_EQ(port->Writes[0], (beat - 1) % 4 == 0 ? kAccentedCmd : kPlainCmd);
    port->Writes.clear();
    EXPECT_EQ(Ticks(30), (std::vector<std::pair<int, Bytes>>{{25, kLampOffCmd}}));
  }
  form->botonstopClick();
}

// Every stop switches the lamp off: the stop buttons at once, the stop of
// the menu (and the end of a theme) at the next tick of Timer5; once off,
// nothing more is sent.
TEST_F(LampWindowTest, EveryStopSwitchesTheLampOff) {
  struct Case {
    const char* name;
    std::function<void(TMainForm&)> stop;
    std::vector<Bytes> atStop;
    std::vector<std::pair<int, Bytes>> ticks;
  };
  const Case cases[] = {
      {"botonstop", [](TMainForm& f) { f.botonstop->click(); }, {kLampOffCmd}, {}},
      {"botonstoptema", [](TMainForm& f) { f.botonstoptema->click(); }, {kLampOffCmd}, {}},
      {"the menu's stop", [](TMainForm& f) { f.Stop1Click(); }, {}, {{1, kLampOffCmd}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Play();
    Ticks(5);  // within half a beat of the beat
    port->Writes.clear();
    c.stop(*form);
    EXPECT_EQ(form->Engine->PlayState, 0);
    EXPECT_EQ(port->Writes, c.atStop);
    EXPECT_EQ(Ticks(50), c.ticks);
  }
}
