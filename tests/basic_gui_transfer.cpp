// The transfer button of the basic window against a fake device on a
// pseudo-terminal behind the real serial port: the set goes out as four
// items, each acknowledged block by block, and the log ends with OK; a set
// received from the device becomes a new set and opens, a failed receive
// leaves none.
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>

#include "platform/ui/settings.h"
#include "basic_gui_fixture.h"
#include "links/device.h"
#include "platform/files/atomic_file.h"
#include "platform/serial/serial_port_test.h"
#include "pty_device.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Identity(const std::string& text) {
  Bytes b(text.begin(), text.end());
  b.resize(kIdentityBytes, ' ');
  return b;
}

Bytes FileBytes(const std::string& path) {
  Bytes b;
  ReadFileBytes(path, 1 << 20, &b);
  return b;
}

// The device's side of a send: headers, blocks and their XOR bytes; every
// whole block is answered with the next block's number. Identify commands
// are answered with an identity.
struct FakeDevice {
  struct Item {
    char kind = 0;
    uint32_t length = 0;
    Bytes payload;
    bool badXor = false;
  };
  explicit FakeDevice(PtyDevice& d) : dev(d) {}
  PtyDevice& dev;
  std::string identity = "DRAVV 1.10 1 Quendrel";  // byte 6: '1', a device that takes data sets
  Bytes pending;
  std::vector<Item> items;
  uint32_t received = 0;  // payload bytes of the item in progress
  uint16_t block = 0;
  bool inItem = false;

  void Serve() {
    const Bytes got = dev.Take();
    pending.insert(pending.end(), got.begin(), got.end());
    for (;;) {
      if (!inItem) {
        if (pending.size() >= 2 && pending[0] == 0x01 && pending[1] == 0x69) {
          pending.erase(pending.begin(), pending.begin() + 2);
          dev.Send(Identity(identity));
          continue;
        }
        if (pending.size() < 7) return;
        if (pending[0] != 0x01 || pending[1] != 0x77) {
          pending.erase(pending.begin());  // a lamp command or noise
          continue;
        }
        Item it;
        it.kind = static_cast<char>(pending[2]);
        it.length = pending[3] | (pending[4] << 8) | (pending[5] << 16) | (static_cast<uint32_t>(pending[6]) << 24);
        pending.erase(pending.begin(), pending.begin() + 7);
        items.push_back(it);
        received = 0;
        block = 0;
        inItem = it.length > 0;
        continue;
      }
      Item& it = items.back();
      const uint32_t n = std::min<uint32_t>(1024, it.length - received);
      if (pending.size() < n + 1) return;
      uint8_t x = 0;
      for (uint32_t i = 0; i < n; ++i) x ^= pending[i];
      if (x != pending[n]) it.badXor = true;
      it.payload.insert(it.payload.end(), pending.begin(), pending.begin() + n);
      pending.erase(pending.begin(), pending.begin() + n + 1);
      received += n;
      ++block;
      dev.Send({static_cast<uint8_t>(block & 0xFF), static_cast<uint8_t>(block >> 8)});
      if (received >= it.length) inItem = false;
    }
  }
};

class BasicTransferTest : public BasicWindowTest {
 protected:
  void TearDown() override {
    ::unsetenv(kDevicePortVariable);
    form.reset();
  }
};

}  // namespace

// A device whose identity has '2' at byte 6 takes the lamp over its serial
// port and no data set: neither the send nor the receive is offered.
TEST_F(BasicTransferTest, ADeviceThatTakesNoSetHidesSendAndReceive) {
  PtyDevice dev;
  ASSERT_TRUE(dev.Ok());
  ::setenv(kDevicePortVariable, dev.Name().c_str(), 1);
  FakeDevice device(dev);
  device.identity = "DRAVV 2.10 1 Quendrel";
  Start(/*realSerial=*/true);
  QTimer serve;
  QObject::connect(&serve, &QTimer::timeout, [&] { device.Serve(); });
  serve.start(2);
  QElapsedTimer clock;
  clock.start();
  while (form->Device->DeviceState != kDeviceIdentified && clock.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  ASSERT_EQ(form->Device->DeviceState, kDeviceIdentified);
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->BEnvia->isHidden());
  EXPECT_FALSE(form->Recibir1->isVisible());
}

TEST_F(BasicTransferTest, SendsTheSetWithOk) {
  PtyDevice dev;
  ASSERT_TRUE(dev.Ok());
  ::setenv(kDevicePortVariable, dev.Name().c_str(), 1);
  FakeDevice device(dev);
  Start(/*realSerial=*/true);
  QTimer serve;
  QObject::connect(&serve, &QTimer::timeout, [&] { device.Serve(); });
  serve.start(2);
  QElapsedTimer clock;
  clock.start();
  while (form->Device->DeviceState != kDeviceIdentified && clock.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  ASSERT_TRUE(form->Device->SerialPortOpen);
  EXPECT_FALSE(form->BEnvia->isHidden());
  EXPECT_TRUE(form->Recibir1->isVisible());

  // A small saved set: Original saved as "Envio".
  form->Original1Click();
  dlg->saveNames.push_back(QDir::currentPath() + "/datos/Envio.ole");
  form->Guardarcomo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Envio");
  ASSERT_FALSE(form->Modified());
  device.items.clear();

  form->BEnvia->click();
  EXPECT_FALSE(form->TransferRunning);
  EXPECT_TRUE(form->BEnvia->isEnabled());
  const QStringList lines = form->Visor->toPlainText().split('\n', Qt::SkipEmptyParts);
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_EQ(lines.last(), "OK");
  EXPECT_EQ(lines.count("OK"), 4);
  EXPECT_FALSE(form->Visor->toPlainText().contains("ERROR"));

  ASSERT_EQ(device.items.size(), 4u);
  const char kinds[] = {'c', 's', 'f', 't'};
  const std::string files[] = {"", "datos/Envio/sonidos.van", "datos/Envio/formulas.van", "datos/Envio/temas.van"};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(kinds[i]);
    EXPECT_EQ(device.items[i].kind, kinds[i]);
    EXPECT_FALSE(device.items[i].badXor);
    if (i == 0) {
      ASSERT_EQ(device.items[i].payload.size(), 256u);
      EXPECT_EQ(device.items[i].payload[0], 0xFF);  // Spanish
      EXPECT_EQ(device.items[i].payload[1], 0x85);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(device.items[i].payload.data()) + 32), "Envio");
    } else {
      EXPECT_EQ(device.items[i].payload, FileBytes(files[i]));
    }
  }
}

// While the set goes out, playback and the tuner are off and stay off, and
// neither transfer command starts a second transfer.
TEST_F(BasicTransferTest, TransferStopsPlaybackAndTheTunerAndDoesNotNest) {
  PtyDevice dev;
  ASSERT_TRUE(dev.Ok());
  ::setenv(kDevicePortVariable, dev.Name().c_str(), 1);
  FakeDevice device(dev);
  Start(/*realSerial=*/true);
  QTimer serve;
  QObject::connect(&serve, &QTimer::timeout, [&] { device.Serve(); });
  serve.start(2);
  QElapsedTimer clock;
  clock.start();
  while (form->Device->DeviceState != kDeviceIdentified && clock.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  form->Original1Click();
  dlg->saveNames.push_back(QDir::currentPath() + "/datos/Envio.ole");
  form->Guardarcomo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Envio");
  device.items.clear();

  form->SGFormulas->Select(1, 1);
  form->SGFormulasSelectCell(1, 1);
  form->botonplayClick();
  ASSERT_TRUE(form->Timer1->isActive());
  bool during = false, playing = true, tuning = true, tunerTab = true, sendEnabled = true;
  QTimer::singleShot(200, form.get(), [&] {
    form->botonplayClick();
    form->Afinar2Click();  // past its disabled menu item
    form->BEnviaClick();
    form->BRecibeClick();
  });
  QTimer::singleShot(400, form.get(), [&] {
    during = form->TransferRunning;
    playing = form->Timer1->isActive() || form->Engine->PlayState != 0;
    tuning = form->TunerRunning();
    tunerTab = form->PageControl1->isTabEnabled(form->PageControl1->indexOf(form->TabSheet2));
    sendEnabled = form->BEnvia->isEnabled() || form->Recibir1->isEnabled();
  });
  form->BEnvia->click();
  EXPECT_TRUE(during);
  EXPECT_FALSE(playing);
  EXPECT_FALSE(tuning);
  EXPECT_FALSE(tunerTab);
  EXPECT_FALSE(sendEnabled);
  EXPECT_EQ(device.items.size(), 4u);  // one transfer only
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_TRUE(form->PageControl1->isTabEnabled(form->PageControl1->indexOf(form->TabSheet2)));
  EXPECT_TRUE(form->BEnvia->isEnabled());
  EXPECT_EQ(form->Visor->toPlainText().split('\n', Qt::SkipEmptyParts).last(), "OK");
}

// The window closing in the middle of a send ends it at once: no further
// attempt, no wait on timers that have stopped.
// Process time used so far, in milliseconds.
double CpuMs() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

TEST_F(BasicTransferTest, ClosingTheWindowEndsTheTransfer) {
  Start();
  // A port that is open and a device that never answers.
  form->Device->SerialPortName = "/dev/ttyACM0";
  ASSERT_TRUE(OpenDeviceSerialPort(*form->Device));
  form->Original1Click();
  form->Visor->clear();
  QTimer::singleShot(1300, form.get(), [&] { form->FormClose(); });
  QElapsedTimer clock;
  clock.start();
  const double cpuBefore = CpuMs();
  form->BEnviaClick();
  const double cpu = CpuMs() - cpuBefore;
  EXPECT_LT(clock.elapsed(), 2900);  // within the first acknowledgement's wait
  // The waits sleep: far less processor than time (a busy wait takes all of it).
  EXPECT_LT(cpu, 0.5 * static_cast<double>(clock.elapsed()));
  EXPECT_TRUE(form->FormClosed);
  EXPECT_FALSE(form->TransferRunning);
  EXPECT_LE(form->Visor->toPlainText().count(QString::fromUtf8("Enviando configuación")), 1);
  EXPECT_FALSE(form->Visor->toPlainText().contains("OK"));
}

// A send to a device that was pulled out ends at once, and says so; so does
// one with no device at all.
TEST_F(BasicTransferTest, ASendWithoutADeviceSaysItFailed) {
  for (const bool unplugged : {true, false}) {
    SCOPED_TRACE(unplugged ? "pulled out" : "no device");
    Start();
    auto* port = static_cast<serial::TestSerialPort*>(form->Device->Serial.get());
    if (unplugged) {
      form->Device->SerialPortName = "/dev/ttyACM0";
      ASSERT_TRUE(OpenDeviceSerialPort(*form->Device));
      port->Unplug();
      form->Timer2Timer();  // the watch finds the line hung up
      EXPECT_TRUE(LogHas("Metrónomo desconectado"));
      EXPECT_FALSE(form->Device->SerialPortOpen);
    }
    form->Original1Click();
    QElapsedTimer clock;
    clock.start();
    form->BEnviaClick();
    EXPECT_LT(clock.elapsed(), 2500);  // the settling pause, no acknowledgement waits
    EXPECT_TRUE(LogHas("El metrónomo no está conectado."));
    EXPECT_TRUE(LogHas("No se han enviado los datos al metrónomo."));
    EXPECT_FALSE(LogHas("Enviando configuación"));
    form->FormClose();
    form.reset();
  }
}

namespace {

// The device's side of a receive: each request 0x01 'r' item is answered
// with the item's length and its packets of 64 bytes and their XOR, one
// after each acknowledgement; an item it does not hold gets no answer.
struct SendingDevice {
  explicit SendingDevice(PtyDevice& d) : dev(d) {}
  PtyDevice& dev;
  std::map<char, Bytes> items;
  std::string requests;
  Bytes pending;
  Bytes current;
  bool sending = false;

  void Packet(size_t k) {
    const size_t from = 64 * k;
    const size_t n = std::min<size_t>(64, current.size() - from);
    Bytes p(current.begin() + static_cast<long>(from), current.begin() + static_cast<long>(from + n));
    uint8_t x = 0;
    for (uint8_t b : p) x ^= b;
    p.push_back(x);
    dev.Send(p);
  }
  void Serve() {
    const Bytes got = dev.Take();
    pending.insert(pending.end(), got.begin(), got.end());
    for (;;) {
      if (sending) {
        if (pending.size() < 2) return;
        const size_t ack = pending[0] | (pending[1] << 8);
        pending.erase(pending.begin(), pending.begin() + 2);
        if (64 * ack < current.size())
          Packet(ack);
        else
          sending = false;
        continue;
      }
      if (pending.size() >= 2 && pending[0] == 0x01 && pending[1] == 0x69) {
        pending.erase(pending.begin(), pending.begin() + 2);
        dev.Send(Identity("DRAVV 1.10 1 Quendrel"));
        continue;
      }
      if (pending.size() < 3) return;
      if (pending[0] == 0x01 && pending[1] == 0x72) {
        const char item = static_cast<char>(pending[2]);
        pending.erase(pending.begin(), pending.begin() + 3);
        requests.push_back(item);
        if (!items.count(item)) continue;
        current = items[item];
        const auto n = static_cast<uint32_t>(current.size());
        dev.Send({static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
                  static_cast<uint8_t>(n >> 24)});
        sending = !current.empty();
        if (sending) Packet(0);
        continue;
      }
      pending.erase(pending.begin());  // a lamp command or noise
    }
  }
};

// sonidos.van of two sounds: "Palma" (20 samples) and "Cajon" (30).
Bytes TwoSounds() {
  Bytes van(192, ' ');
  std::memcpy(van.data(), "Palma   ", 8);
  std::memcpy(van.data() + 8, "Cajon   ", 8);
  for (int j = 0; j < 16; ++j) std::memset(van.data() + 128 + 4 * j, 0, 4);
  van[128] = 20;
  van[132] = 30;
  for (int i = 0; i < 100; ++i) van.push_back(static_cast<uint8_t>(i * 3));
  return van;
}

class BasicReceiveTest : public BasicTransferTest {
 protected:
  void StartWithDevice() {
    ASSERT_TRUE(dev.Ok());
    ::setenv(kDevicePortVariable, dev.Name().c_str(), 1);
    Start(/*realSerial=*/true);
    QObject::connect(&serve, &QTimer::timeout, [this] { device.Serve(); });
    serve.start(0);
    QElapsedTimer clock;
    clock.start();
    while (form->Device->DeviceState != kDeviceIdentified && clock.elapsed() < 20000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_TRUE(form->Device->SerialPortOpen);
  }
  std::vector<std::string> ReceivedSets() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator("datos"))
      if (e.path().filename().string().rfind("VL", 0) == 0) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  PtyDevice dev;
  SendingDevice device{dev};
  QTimer serve;
};

}  // namespace

// "Recibir datos del Metrónomo": the device's set becomes the new set
// VL<day><month><year><hour><minute>, with a WAV file of each named sound,
// and it is opened.
TEST_F(BasicReceiveTest, ReceivedSetIsOpened) {
  StartWithDevice();
  form->Original1Click();
  dlg->saveNames.push_back(QDir::currentPath() + "/datos/Mio.ole");
  form->Guardarcomo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Mio");
  // A change not saved (No) stays out of the received set.
  form->SGTemas->SetCells(1, 1, "Sin guardar");
  form->SGTemasSetEditText(1, 1, "Sin guardar");
  dlg->questions.clear();
  dlg->answers = {kAnswerNo, kAnswerYes};
  device.items['s'] = TwoSounds();
  Bytes formulas = FileBytes("datos/Original/formulas.van");
  formulas.resize(2 * 256);
  device.items['f'] = formulas;
  Bytes temas = FileBytes("datos/Original/temas.van");
  temas.resize(512);
  device.items['t'] = temas;
  form->Visor->clear();

  form->Recibir1->trigger();
  EXPECT_FALSE(form->TransferRunning);
  EXPECT_TRUE(form->Recibir1->isEnabled());
  EXPECT_EQ(device.requests, "sft");
  EXPECT_EQ(dlg->questions.size(), 1);
  const std::string name = form->DataSet.DataSetName;
  ASSERT_EQ(name.size(), 14u);
  EXPECT_EQ(name.substr(0, 2), "VL");
  EXPECT_EQ(ReceivedSets(), (std::vector<std::string>{name, name + ".ole"}));
  EXPECT_EQ(FileBytes("datos/" + name + "/sonidos.van"), TwoSounds());
  EXPECT_EQ(FileBytes("datos/" + name + "/formulas.van"), formulas);
  EXPECT_EQ(FileBytes("datos/" + name + "/temas.van"), temas);
  EXPECT_EQ(FileBytes("datos/" + name + "/Palma.wav").size(), 44u + 40);
  EXPECT_EQ(FileBytes("datos/" + name + "/Cajon.wav").size(), 44u + 60);
  EXPECT_EQ(form->windowTitle(), QString::fromStdString("Velarto Quendrel - " + name));
  ASSERT_EQ(form->LBIns->count(), 2);
  EXPECT_EQ(form->LBIns->item(0)->text(), "Palma");
  EXPECT_EQ(form->LBIns->item(1)->text(), "Cajon");
  EXPECT_EQ(form->Bank->Sound(2).length, 30);
  EXPECT_EQ(form->SGFormulas->RowCount(), 3);
  EXPECT_EQ(form->SGTemas->RowCount(), 2);
  EXPECT_FALSE(form->Modified());
  EXPECT_EQ(form->SettingsIniFile->ReadString("METRONOMO", "archivo", QString()).toStdString(), name);
  const QStringList lines = form->Visor->toPlainText().split('\n', Qt::SkipEmptyParts);
  EXPECT_TRUE(lines.contains("Recibiendo sonidos"));
  EXPECT_TRUE(lines.contains(QString::fromUtf8("Recibiendo fórmulas")));
  EXPECT_TRUE(lines.contains("Recibiendo temas"));
  EXPECT_TRUE(lines.contains("Longitud 292"));
  EXPECT_EQ(lines.count("OK"), 3);
}

// A receive that fails (the themes never come) leaves no set behind and
// opens the current set again, which offers its unsaved changes once more.
TEST_F(BasicReceiveTest, FailedReceiveLeavesNoSetAndReopensTheCurrentOne) {
  StartWithDevice();
  form->Original1Click();
  dlg->saveNames.push_back(QDir::currentPath() + "/datos/Mio.ole");
  form->Guardarcomo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Mio");
  const QString theme = form->SGTemas->Cells(1, 1);
  form->SGTemas->SetCells(1, 1, "Sin guardar");
  form->SGTemasSetEditText(1, 1, "Sin guardar");
  ASSERT_TRUE(form->Modified());
  device.items['s'] = TwoSounds();
  device.items['f'] = Bytes(256, 0);
  dlg->questions.clear();
  dlg->answers = {kAnswerNo, kAnswerNo};

  form->BRecibeClick();
  EXPECT_EQ(device.requests, "sft");
  EXPECT_TRUE(ReceivedSets().empty());
  for (const auto& e : fs::directory_iterator("datos"))
    EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
  EXPECT_TRUE(form->Visor->toPlainText().contains(QString::fromUtf8("Error de comunicación")));
  EXPECT_EQ(dlg->questions.size(), 2);  // before the receive, and before the reopen
  EXPECT_EQ(form->DataSet.DataSetName, "Mio");
  EXPECT_EQ(form->SGTemas->Cells(1, 1), theme);
  EXPECT_FALSE(form->Modified());
  EXPECT_TRUE(form->Recibir1->isEnabled());
  EXPECT_TRUE(form->BEnvia->isEnabled());
}
