// The basic set's transfer to the hardware metronome: the configuration
// block, the framing of the sent blocks and their acknowledgements (a
// scripted HID device), and the receive of a set from a fake device on a
// pseudo-terminal behind the real serial port.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <cstring>
#include <deque>
#include <map>
#include <filesystem>
#include <functional>
#include <thread>

#include "basic/basic_set.h"
#include "basic/transfer.h"
#include "links/device.h"
#include "platform/hid/hid_device_test.h"
#include "platform/serial/serial_port.h"
#include "platform/serial/serial_port_test.h"
#include "pty_device.h"
#include "temp_dir.h"

namespace {
using Bytes = std::vector<uint8_t>;

void EnsureQtCore() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "logic_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  (void)app;
}

Bytes Pattern(size_t n, int seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 31 + seed);
  return b;
}

uint8_t Xor(const Bytes& b, size_t from, size_t n) {
  uint8_t x = 0;
  for (size_t i = 0; i < n; ++i) x ^= b[from + i];
  return x;
}

// The device on the HID link answers each wait with the next scripted
// acknowledgement; -1 (or an empty script) stays silent and lets a tick of
// Timer2 pass.
class SendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s = std::make_shared<hid::TestHidScript>();
    s->vendor = 0x04D8;
    s->product = 0xF5FC;
    s->manufacturer = L"Quendrel";
    s->product_string = L"Velarto";
    hid::TestHidBus bus(s);
    ASSERT_TRUE(ProbeHidDevice(L, bus));
    L.Serial = std::make_unique<serial::TestSerialPort>();
    io.pump = [this] {
      ++pumps;
      if (!acks.empty() && acks.front() >= 0) {
        const int a = acks.front();
        acks.pop_front();
        s->input.push_back(Bytes{2, static_cast<uint8_t>(a & 0xFF), static_cast<uint8_t>(a >> 8)});
        return;
      }
      if (!acks.empty()) acks.pop_front();
      DeviceTimer2Tick(L);
    };
    io.log = [this](const std::string& l) { log.push_back(l); };
    io.dot = [this] { ++dots; };
  }
  // The payload sizes of the reports written, in order.
  std::vector<size_t> Sizes() const {
    std::vector<size_t> out;
    for (const auto& w : s->writes) out.push_back(w[1]);
    return out;
  }
  Bytes Stream() const {
    Bytes out;
    for (const auto& w : s->writes) out.insert(out.end(), w.begin() + 2, w.begin() + 2 + w[1]);
    return out;
  }
  bool Logged(const std::string& l) const { return std::find(log.begin(), log.end(), l) != log.end(); }

  std::shared_ptr<hid::TestHidScript> s;
  DeviceLink L{DeviceEdition::kBasic};
  TransferIo io;
  std::deque<int> acks;
  std::vector<std::string> log;
  int dots = 0;
  int pumps = 0;
};

}  // namespace

TEST(BasicTransferBytes, ConfigurationBlock) {
  const auto es = DeviceConfigBlock(false, 6, 4, 2015, '/', "Original");
  EXPECT_EQ(es[0], 0xFF);
  EXPECT_EQ(es[1], 0x85);
  EXPECT_EQ(std::string(es.begin() + 2, es.begin() + 12), "06/04/2015");
  for (int i = 12; i < 32; ++i) EXPECT_EQ(es[i], 0xFF) << i;
  EXPECT_EQ(std::string(es.begin() + 32, es.begin() + 40), "Original");
  EXPECT_EQ(es[40], 0);
  for (int i = 64; i < 256; ++i) EXPECT_EQ(es[i], 0xFF) << i;
  const auto en = DeviceConfigBlock(true, 6, 4, 2015, '.', "x");
  EXPECT_EQ(en[0], 0xFE);
  EXPECT_EQ(std::string(en.begin() + 2, en.begin() + 12), "06.04.2015");
  // A name of 32 characters or more is cut to 31 and its NUL stays in the field.
  const auto longName = DeviceConfigBlock(false, "01/01/2020", std::string(40, 'n'));
  EXPECT_EQ(std::string(longName.begin() + 32, longName.begin() + 63), std::string(31, 'n'));
  EXPECT_EQ(longName[63], 0);
  EXPECT_EQ(longName[64], 0xFF);
}

TEST(BasicTransferBytes, HeaderAndNames) {
  const auto h = TransferHeader('c', 256);
  EXPECT_EQ(Bytes(h.begin(), h.end()), (Bytes{0x01, 0x77, 0x63, 0x00, 0x01, 0x00, 0x00}));
  const auto big = TransferHeader('s', 131072);
  EXPECT_EQ(Bytes(big.begin() + 3, big.end()), (Bytes{0x00, 0x00, 0x02, 0x00}));
  EXPECT_EQ(ReceivedSetName(6, 4, 2015, 14, 5), "VL060420151405");
  const struct {
    const char* slot;
    const char* name;
  } names[] = {{"Palma   ", "Palma"}, {"        ", ""}, {"\0abc    ", ""}, {"../x    ", "_._x"},
               {"a/b\\c   ", "a_b_c"}, {"..      ", "_"}, {"12345678", "12345678"}};
  for (const auto& c : names) EXPECT_EQ(SlotFileName(reinterpret_cast<const uint8_t*>(c.slot)), c.name) << c.name;
}

TEST_F(SendTest, ConfigurationGoesOutInPiecesOf63AndItsXor) {
  const auto cfg = DeviceConfigBlock(false, "06/04/2015", "Original");
  const Bytes payload(cfg.begin(), cfg.end());
  acks = {1};
  EXPECT_EQ(SendBlocksToDevice(L, 'c', payload, false, io), 0);
  EXPECT_EQ(Sizes(), (std::vector<size_t>{7, 63, 63, 63, 63, 4, 1}));
  Bytes expect{0x01, 0x77, 0x63, 0x00, 0x01, 0x00, 0x00};
  expect.insert(expect.end(), payload.begin(), payload.end());
  expect.push_back(Xor(payload, 0, 256));
  EXPECT_EQ(Stream(), expect);
  EXPECT_EQ(log, (std::vector<std::string>{"", "OK"}));
  EXPECT_EQ(dots, 1);
}

TEST_F(SendTest, BlocksOf1024Are16PiecesOf63AndOneOf16) {
  Bytes payload(2048);
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i * 7 + 3);
  acks = {1, 2};
  EXPECT_EQ(SendBlocksToDevice(L, 's', payload, false, io), 0);
  std::vector<size_t> block(16, 63);
  block.push_back(16);
  block.push_back(1);
  std::vector<size_t> expect{7};
  expect.insert(expect.end(), block.begin(), block.end());
  expect.insert(expect.end(), block.begin(), block.end());
  EXPECT_EQ(Sizes(), expect);
  EXPECT_EQ(s->writes[1 + 17][2], Xor(payload, 0, 1024));
  EXPECT_EQ(s->writes[1 + 18 + 17][2], Xor(payload, 1024, 1024));
}

TEST_F(SendTest, EmptyItemIsTheHeaderAlone) {
  EXPECT_EQ(SendBlocksToDevice(L, 't', {}, false, io), 0);
  EXPECT_EQ(Sizes(), (std::vector<size_t>{7}));
  EXPECT_EQ(pumps, 0);
}

TEST_F(SendTest, Acknowledgements) {
  const struct Case {
    const char* name;
    std::deque<int> acks;
    int result;
    size_t blocksSent;
    std::vector<std::string> log;
  } cases[] = {
      {"next", {1}, 0, 1, {"", "OK"}},
      {"same then next", {0, 1}, 0, 2, {"Espero 1", "Recibo 0", "", "OK"}},
      {"wrong", {5}, 2, 1, {"Espero 1", "Recibo 5", "ERROR"}},
      {"silent", {}, 1, 1, {"Error de comunicaci\xC3\xB3n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    s->writes.clear();
    log.clear();
    acks = c.acks;
    EXPECT_EQ(SendBlocksToDevice(L, 'f', Bytes(100, 9), false, io), c.result);
    EXPECT_EQ(s->writes.size(), 1 + 3 * c.blocksSent);  // header, then 63 + 37 + XOR per sending
    EXPECT_EQ(log, c.log);
  }
}

TEST_F(SendTest, AlwaysTheSameBlockEndsAfterTenResends) {
  acks = std::deque<int>(50, 0);
  EXPECT_EQ(SendBlocksToDevice(L, 'f', Bytes(10, 1), false, io), 2);
  EXPECT_EQ(s->writes.size(), 1 + 2 * 11u);
  EXPECT_EQ(log.back(), "ERROR");
}

TEST_F(SendTest, SetIsSentInAtMostThreeAttempts) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/Mio/sonidos.van", Bytes(192, ' '));
  ScratchFolder::Write("datos/Mio/formulas.van", Bytes(256, 0));
  ScratchFolder::Write("datos/Mio/temas.van", Bytes(512, 0));
  SendSetRequest r{"Mio", false, "06/04/2015"};
  // Nobody answers: three configuration headers, then the operation ends.
  EXPECT_EQ(SendDataSetToDevice(L, r, io), 1);
  int headers = 0;
  for (const auto& w : s->writes) headers += (w[1] == 7 && w[2] == 0x01 && w[3] == 0x77 && w[4] == 'c');
  EXPECT_EQ(headers, 3);
  EXPECT_FALSE(Logged("OK"));
  EXPECT_EQ(log.front(), "Enviando configuaci\xC3\xB3n");
  // A device that answers: the four items in order.
  s->writes.clear();
  log.clear();
  acks = {1, 1, 1, 1};
  EXPECT_EQ(SendDataSetToDevice(L, r, io), 0);
  std::string items;
  for (const auto& w : s->writes)
    if (w[1] == 7 && w[2] == 0x01 && w[3] == 0x77) items.push_back(static_cast<char>(w[4]));
  EXPECT_EQ(items, "csft");
  EXPECT_TRUE(Logged("Enviando sonidos"));
  EXPECT_TRUE(Logged("Longitud 192"));
  EXPECT_TRUE(Logged("Enviando f\xC3\xB3rmulas"));
  EXPECT_TRUE(Logged("Enviando temas"));
}

TEST_F(SendTest, MissingRecordFileSendsNothing) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/Mio/formulas.van", Bytes(256, 0));
  ScratchFolder::Write("datos/Mio/temas.van", Bytes(512, 0));
  EXPECT_EQ(SendDataSetToDevice(L, SendSetRequest{"Mio", true, "06/04/2015"}, io), 3);
  EXPECT_TRUE(s->writes.empty());
  EXPECT_FALSE(Logged("OK"));
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.front().find("sonidos.van"), std::string::npos);
}

// A full sound memory: sonidos.van is its 192-byte header and 131008 bytes
// of samples, and it goes out whole, 128 blocks of 1024 and one of 128.
TEST_F(SendTest, FullSoundMemoryIsSentWhole) {
  ScratchFolder dir;
  Bytes van(192 + 131008);
  for (size_t i = 0; i < van.size(); ++i) van[i] = static_cast<uint8_t>(i * 5 + i / 1024);
  ScratchFolder::Write("datos/Mio/sonidos.van", van);
  ScratchFolder::Write("datos/Mio/formulas.van", Bytes(256, 0));
  ScratchFolder::Write("datos/Mio/temas.van", Bytes(512, 0));
  acks = {1};                                      // configuration
  for (int b = 1; b <= 129; ++b) acks.push_back(b);  // sounds
  acks.push_back(1);                               // formulas
  acks.push_back(1);                               // themes
  ASSERT_EQ(SendDataSetToDevice(L, SendSetRequest{"Mio", false, "06/04/2015"}, io), 0);
  EXPECT_TRUE(Logged("Longitud 131200"));
  const Bytes stream = Stream();
  size_t at = 7 + 256 + 1;  // after the configuration
  ASSERT_GE(stream.size(), at + 7);
  EXPECT_EQ(Bytes(stream.begin() + at, stream.begin() + at + 7), (Bytes{0x01, 0x77, 's', 0x80, 0x00, 0x02, 0x00}));
  at += 7;
  Bytes sent;
  int blocks = 0;
  while (sent.size() < van.size()) {
    const size_t n = std::min<size_t>(1024, van.size() - sent.size());
    ASSERT_LE(at + n + 1, stream.size());
    const Bytes block(stream.begin() + at, stream.begin() + at + n);
    EXPECT_EQ(stream[at + n], Xor(block, 0, n)) << blocks;
    sent.insert(sent.end(), block.begin(), block.end());
    at += n + 1;
    ++blocks;
  }
  EXPECT_EQ(blocks, 129);
  EXPECT_EQ(sent, van);
}

TEST_F(SendTest, FileLongerThanTheBufferSendsNothing) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/Mio/sonidos.van", Bytes(kTransferCapacity + 1, ' '));
  ScratchFolder::Write("datos/Mio/formulas.van", Bytes(256, 0));
  ScratchFolder::Write("datos/Mio/temas.van", Bytes(512, 0));
  EXPECT_EQ(SendDataSetToDevice(L, SendSetRequest{"Mio", false, "06/04/2015"}, io), 3);
  EXPECT_TRUE(s->writes.empty());
  EXPECT_FALSE(Logged("OK"));
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.front().find("demasiado largo"), std::string::npos);
}

// A window that closes mid-transfer: the wait ends at once, no further
// attempt and no port reopen.
TEST_F(SendTest, CancelledTransferEndsAtOnce) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/Mio/sonidos.van", Bytes(192, ' '));
  ScratchFolder::Write("datos/Mio/formulas.van", Bytes(256, 0));
  ScratchFolder::Write("datos/Mio/temas.van", Bytes(512, 0));
  io.cancelled = [this] { return pumps > 0; };
  EXPECT_EQ(SendDataSetToDevice(L, SendSetRequest{"Mio", false, "06/04/2015"}, io), 1);
  EXPECT_EQ(pumps, 1);
  EXPECT_EQ(s->writes.size(), 7u);  // one header, 5 pieces, the XOR
  EXPECT_FALSE(Logged("Error de comunicaci\xC3\xB3n"));
  EXPECT_FALSE(TransferRunning());
}

TEST(BasicTransferBytes, DateSeparatorOfTheShortFormat) {
  const struct {
    const char* format;
    char separator;
  } cases[] = {{"dd/MM/yyyy", '/'}, {"M/d/yy", '/'}, {"dd.MM.yy", '.'}, {"yyyy-MM-dd", '-'},
               {"d 'de' MMMM", '/'}, {"'t'dd-MM", '-'}, {"", '/'}};
  for (const auto& c : cases) EXPECT_EQ(DateSeparatorOf(c.format), c.separator) << c.format;
}

// A received sonidos.van split into WAV files: names met twice each keep a
// file, a NUL-led slot takes no samples, a blank one is dropped with its
// samples, a count beyond the data takes what is there; every header says
// 22050 Hz, 16 bits, mono.
TEST(BasicTransferBytes, ReceivedSoundsSplitIntoWavFiles) {
  Bytes van(192, ' ');
  const char* slotNames[] = {"Metronom", "Metronom", "        ", "\0xxxxxxx", "Tac\xF3n   "};
  for (int j = 0; j < 5; ++j) std::memcpy(van.data() + 8 * j, slotNames[j], 8);
  for (int j = 0; j < 16; ++j) std::memset(van.data() + 128 + 4 * j, 0, 4);
  const int counts[] = {2, 3, 2, 50, 4};
  for (int j = 0; j < 5; ++j) van[128 + 4 * j] = static_cast<uint8_t>(counts[j]);
  van[128 + 4 * 0 + 2] = 1;  // the high 16 bits of a count are not read
  const Bytes samples = Pattern(2 * (2 + 3 + 2 + 1), 7);
  van.insert(van.end(), samples.begin(), samples.end());
  const auto wavs = SplitBancoSonidos(van);
  ASSERT_EQ(wavs.size(), 3u);
  EXPECT_EQ(wavs[0].first, "Metronom");
  EXPECT_EQ(wavs[1].first, "Metronom_2");
  EXPECT_EQ(wavs[2].first, "Tac\xF3n");
  const size_t from[] = {0, 4, 14}, bytes[] = {4, 6, 2};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(wavs[i].first);
    const Bytes& w = wavs[i].second;
    ASSERT_EQ(w.size(), 44 + bytes[i]);
    EXPECT_EQ(std::string(w.begin(), w.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(w.begin() + 8, w.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(std::string(w.begin() + 36, w.begin() + 40), "data");
    uint32_t riff, rate, byteRate, data;
    std::memcpy(&riff, w.data() + 4, 4);
    std::memcpy(&rate, w.data() + 24, 4);
    std::memcpy(&byteRate, w.data() + 28, 4);
    std::memcpy(&data, w.data() + 40, 4);
    EXPECT_EQ(riff, 36 + bytes[i]);
    EXPECT_EQ(rate, 22050u);
    EXPECT_EQ(byteRate, 44100u);
    EXPECT_EQ(w[20], 1);  // PCM
    EXPECT_EQ(w[22], 1);  // mono
    EXPECT_EQ(w[32], 2);  // block align
    EXPECT_EQ(w[34], 16);
    EXPECT_EQ(data, bytes[i]);
    EXPECT_EQ(Bytes(w.begin() + 44, w.end()),
              Bytes(samples.begin() + static_cast<long>(from[i]), samples.begin() + static_cast<long>(from[i] + bytes[i])));
  }
  EXPECT_TRUE(SplitBancoSonidos(Bytes(191, 0)).empty());
}

// --- receive on a pseudo-terminal ---------------------------------------------

namespace {
// The device's side of a receive: it waits for each request, announces the
// item's length and sends packets of 64 bytes and their XOR, one after each
// acknowledgement; `corrupt` spoils the XOR of the n-th sending (0-based).
class ReceiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureQtCore();
    ASSERT_TRUE(dev.Ok());
    L.Serial = serial::CreateQtSerialPort();
    FindDeviceSerialPort(L, SerialSearch{"/nonexistent", dev.Name()});
    ASSERT_TRUE(OpenDeviceSerialPort(L));
    io.pump = [this] { Pump(); };
    io.log = [this](const std::string& l) { log.push_back(l); };
    io.dot = [this] { ++dots; };
  }
  void Pump() {
    QCoreApplication::processEvents();
    if (sleepMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    Bytes in = dev.Take();
    heard.insert(heard.end(), in.begin(), in.end());
    for (;;) {
      if (receiving && heard.size() >= 2) {
        // An acknowledgement: the count of packets the program holds.
        const int ack = heard[0] | (heard[1] << 8);
        acksHeard.push_back(ack);
        heard.erase(heard.begin(), heard.begin() + 2);
        packet = static_cast<size_t>(ack);
        if (packet * 64 < current.size())
          SendPacket();
        else
          receiving = false;
      } else if (!receiving && heard.size() >= 3 && heard[0] == 0x01 && heard[1] == 0x72) {
        const char item = static_cast<char>(heard[2]);
        heard.erase(heard.begin(), heard.begin() + 3);
        current = items.count(item) ? items[item] : Bytes{};
        announced = announce.count(item) ? announce[item] : static_cast<uint32_t>(current.size());
        dev.Send(Bytes{static_cast<uint8_t>(announced), static_cast<uint8_t>(announced >> 8),
                       static_cast<uint8_t>(announced >> 16), static_cast<uint8_t>(announced >> 24)});
        packet = 0;
        receiving = announced > 0 && announced <= kTransferCapacity;
        if (receiving) SendPacket();
      } else {
        break;
      }
    }
    if (++quiet % 5 == 0) DeviceTimer2Tick(L);
  }
  void SendPacket() {
    const size_t from = packet * 64;
    const size_t n = std::min<size_t>(64, current.size() - from);
    Bytes p(current.begin() + static_cast<long>(from), current.begin() + static_cast<long>(from + n));
    uint8_t x = Xor(p, 0, n);
    if (sendings++ == corrupt) x ^= 0x55;
    p.push_back(x);
    dev.Send(p);
    quiet = 0;
  }

  PtyDevice dev;
  DeviceLink L{DeviceEdition::kBasic};
  TransferIo io;
  std::map<char, Bytes> items;
  std::map<char, uint32_t> announce;
  Bytes current, heard;
  uint32_t announced = 0;
  size_t packet = 0;
  bool receiving = false;
  int sendings = 0;
  int corrupt = -1;
  int quiet = 0;
  int sleepMs = 2;
  std::vector<int> acksHeard;
  std::vector<std::string> log;
  int dots = 0;
};

void Request(DeviceLink& L, char item) {
  L.DeviceRxCount = 0;
  L.DeviceDataLength = 0;
  L.DeviceChecksum = 0;
  L.DeviceState = kDeviceExpectLength;
  const uint8_t req[3] = {0x01, 0x72, static_cast<uint8_t>(item)};
  SendToSerial(L, req, 3, false);
}
}  // namespace

TEST_F(ReceiveTest, BadXorIsAskedAgainAndShortLastPacketEnds) {
  items['s'] = Pattern(64 * 3 + 10, 1);
  corrupt = 1;  // the second packet arrives spoilt once
  Request(L, 's');
  bool ok = false;
  const Bytes got = ReceiveBlocksFromDevice(L, false, io, &ok);
  ASSERT_TRUE(ok) << ::testing::PrintToString(log) << ::testing::PrintToString(acksHeard);
  EXPECT_EQ(got, items['s']);
  Pump();  // the last answer is still on its way
  EXPECT_EQ(acksHeard, (std::vector<int>{1, 1, 2, 3, 4}));
  EXPECT_EQ(log, (std::vector<std::string>{"Longitud 202", "", "OK"}));
}

TEST_F(ReceiveTest, LengthZeroTimesOut) {
  items['f'] = {};
  Request(L, 'f');
  bool ok = true;
  EXPECT_TRUE(ReceiveBlocksFromDevice(L, true, io, &ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_EQ(log.back(), "Communicaton error");
  EXPECT_TRUE(L.SerialPortOpen);  // reopened
}

TEST_F(ReceiveTest, LengthAboveCapacityIsRefused) {
  items['s'] = Pattern(10, 2);
  announce['s'] = kTransferCapacity + 1;
  Request(L, 's');
  bool ok = true;
  EXPECT_TRUE(ReceiveBlocksFromDevice(L, true, io, &ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_TRUE(acksHeard.empty());
  EXPECT_EQ(log.front(), "Length " + std::to_string(kTransferCapacity + 1));
}

// The sonidos.van of a full sound memory (192 + 131008 bytes) comes back
// whole: 2050 packets of 64 bytes, one dot for every 16.
TEST_F(ReceiveTest, FullSoundMemoryIsReceivedWhole) {
  sleepMs = 0;
  items['s'] = Pattern(192 + 131008, 9);
  Request(L, 's');
  bool ok = false;
  const Bytes got = ReceiveBlocksFromDevice(L, false, io, &ok);
  ASSERT_TRUE(ok) << ::testing::PrintToString(log);
  EXPECT_EQ(got, items['s']);
  EXPECT_EQ(dots, 2050 / 16);
}

TEST_F(ReceiveTest, WholeSetLandsOnlyWhenAllThreeArrived) {
  ScratchFolder dir;
  // sonidos.van: slot 0 "Palma", slot 1 NUL-led (skipped, no samples), slot
  // 2 "Golpe ab" and blanks beyond.
  Bytes van(192, ' ');
  std::memcpy(van.data(), "Palma   ", 8);
  van[8] = 0;
  std::memcpy(van.data() + 16, "Golpe ab", 8);
  for (int j = 0; j < 16; ++j) std::memset(van.data() + 128 + 4 * j, 0, 4);
  van[128] = 3;       // 3 samples
  van[128 + 4] = 50;  // ignored with its slot
  van[128 + 8] = 2;   // 2 samples
  const Bytes samples = Pattern(10, 5);
  van.insert(van.end(), samples.begin(), samples.end());
  items['s'] = van;
  items['f'] = Pattern(256, 3);
  // The themes never come: nothing of the set is left.
  Request(L, 's');
  EXPECT_FALSE(ReceiveDataSetFromDevice(L, "VL060420151405", false, io));
  EXPECT_FALSE(std::filesystem::exists("datos/VL060420151405"));
  EXPECT_FALSE(std::filesystem::exists("datos/VL060420151405.ole"));

  // A set of the same name from a receive of the same minute is replaced whole.
  ScratchFolder::Write("datos/VL060420151405/Viejo.wav", Bytes(50, 1));
  ScratchFolder::Write("datos/VL060420151405.ole", {'V', 'i', 'e', 'j', 'o', '\r', '\n'});
  items['t'] = Pattern(512, 4);
  heard.clear();
  receiving = false;
  dev.Take();
  log.clear();
  ASSERT_TRUE(ReceiveDataSetFromDevice(L, "VL060420151405", false, io));
  EXPECT_EQ(ScratchFolder::Read("datos/VL060420151405/sonidos.van"), van);
  EXPECT_EQ(ScratchFolder::Read("datos/VL060420151405/formulas.van"), items['f']);
  EXPECT_EQ(ScratchFolder::Read("datos/VL060420151405/temas.van"), items['t']);
  EXPECT_FALSE(std::filesystem::exists("datos/VL060420151405/Viejo.wav"));
  for (const auto& e : std::filesystem::directory_iterator("datos"))
    EXPECT_NE(e.path().filename().string()[0], '.') << e.path();  // no working folder left behind
  const std::string ole(reinterpret_cast<const char*>(ScratchFolder::Read("datos/VL060420151405.ole").data()),
                        ScratchFolder::Read("datos/VL060420151405.ole").size());
  EXPECT_EQ(ole, "Palma\r\nGolpe ab\r\n");
  const Bytes palma = ScratchFolder::Read("datos/VL060420151405/Palma.wav");
  ASSERT_EQ(palma.size(), 44u + 6);
  EXPECT_EQ(Bytes(palma.begin() + 44, palma.end()), Bytes(samples.begin(), samples.begin() + 6));
  uint32_t rate, size;
  std::memcpy(&rate, palma.data() + 24, 4);
  std::memcpy(&size, palma.data() + 40, 4);
  EXPECT_EQ(rate, 22050u);
  EXPECT_EQ(palma[34], 16);
  EXPECT_EQ(size, 6u);
  const Bytes golpe = ScratchFolder::Read("datos/VL060420151405/Golpe ab.wav");
  EXPECT_EQ(Bytes(golpe.begin() + 44, golpe.end()), Bytes(samples.begin() + 6, samples.end()));
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 1), std::vector<std::string>{"Recibiendo sonidos"});
}

TEST(BasicTransferGuard, TransfersDoNotNest) {
  DeviceLink L{DeviceEdition::kBasic};
  // A port that is open and never answers.
  L.Serial = std::make_unique<serial::TestSerialPort>();
  L.SerialPortName = "/dev/ttyACM0";
  ASSERT_TRUE(OpenDeviceSerialPort(L));
  TransferIo io;
  bool inner = true;
  int calls = 0;
  io.pump = [&] {
    if (calls++ == 0) inner = ReceiveDataSetFromDevice(L, "X", false, TransferIo{});
    DeviceTimer2Tick(L);
  };
  EXPECT_FALSE(TransferRunning());
  EXPECT_FALSE(ReceiveDataSetFromDevice(L, "Y", false, io));
  EXPECT_FALSE(inner);
  EXPECT_EQ(calls > 0, true);
  EXPECT_FALSE(TransferRunning());
}
