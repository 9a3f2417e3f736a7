// The transfer button of the basic window against a fake device on a
// pseudo-terminal behind the real serial port: the set goes out as four
// items, each acknowledged block by block, and the log ends with OK.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <filesystem>

#include "app/window/settings.h"
#include "basic_gui_fixture.h"
#include "links/device.h"
#include "platform/files/atomic_file.h"
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
          dev.Send(Identity("DRAVV 2.10 1 Quendrel"));
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
