// The companion app's link: the dialogue's bytes and Visor lines, and the
// TCP server driven by a real client on loopback.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QNetworkAddressEntry>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>

#include "links/phone.h"
#include "links/phone_server.h"
#include "platform/net/service_announcer.h"

using namespace phone;

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

struct Files {
  std::map<std::string, std::string> content;
  PhoneDialogue::FileReader Reader() {
    return [this](const std::string& p) -> std::optional<std::string> {
      auto it = content.find(p);
      if (it == content.end()) return std::nullopt;
      return it->second;
    };
  }
};

DataSetFiles Set(const std::string& name) {
  return {name, "datos/" + name + ".vl2", "datos/" + name + "/temas.svs", "datos/" + name + "/formulas.svs"};
}

std::string BigFile(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + 7) & 0xFF);
  return s;
}

}  // namespace

TEST(PhoneMessages, ExactBytes) {
  EXPECT_EQ(BuildIosInfo("Bulerias"), Bytes({129, 0, 0, 0}) + "Bulerias" + std::string(1, '\0'));
  EXPECT_EQ(BuildIosInfo(""), Bytes({129, 0, 0, 0, 0}));
  EXPECT_EQ(BuildIosFile("ab", "XYZ"), Bytes({1, 0, 0, 0}) + "ab" + std::string(1, '\0') + "XYZ");
  EXPECT_EQ(BuildIosTable(2, std::string(300, 'q')), Bytes({2, 0, 0, 0, 0x2C, 1, 0, 0}) + std::string(300, 'q'));
  EXPECT_EQ(BuildIosTable(3, ""), Bytes({3, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(PhoneDialogue, WholeDialogue) {
  Files f;
  const DataSetFiles set = Set("Mio");
  f.content = {{set.listPath, "LIST"}, {set.themesPath, "TEMAS"}, {set.formulasPath, "FORM"}};
  PhoneDialogue d(f.Reader());
  struct Step {
    std::string in;
    std::optional<std::string> send;
    std::vector<std::string> log;
    int state;
  };
  const std::vector<Step> steps = {
      {"@iPhone", BuildIosInfo("Mio"), {"Dispositivo iOS conectado:", "iPhone", "iOS archivo a enviar:", "Mio"}, 0},
      {Bytes({1}), std::nullopt, {"?"}, 0},
      {Bytes({0}), BuildIosFile("Mio", "LIST"), {"Enviando archivo:", "Mio"}, 1},
      {Bytes({1}), BuildIosTable(2, "TEMAS"), {"Enviando Temas"}, 2},
      {Bytes({2}), BuildIosTable(3, "FORM"), {"Enviando Formulas"}, 3},
      {Bytes({3}), std::nullopt, {"Archivo enviado OK."}, 0},
      {Bytes({0, 0}), std::nullopt, {}, 0},  // two acks in one read: ignored
      {Bytes({-1}), std::nullopt, {"?"}, 0},
      {"", std::nullopt, {}, 0},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Outcome o = d.OnRead(steps[i].in, set);
    EXPECT_EQ(o.send, steps[i].send) << i;
    EXPECT_EQ(o.log, steps[i].log) << i;
    EXPECT_EQ(d.IosState(), steps[i].state) << i;
  }
}

TEST(PhoneDialogue, UnreadableFileIsReportedAndStateKept) {
  Files f;
  const DataSetFiles set = Set("S");
  f.content = {{set.listPath, "L"}};
  PhoneDialogue d(f.Reader());
  d.OnRead("@x1", set);
  EXPECT_TRUE(d.OnRead(Bytes({0}), set).send);
  const Outcome o = d.OnRead(Bytes({1}), set);
  EXPECT_FALSE(o.send);
  ASSERT_EQ(o.log.size(), 1u);
  EXPECT_NE(o.log[0].find("temas.svs"), std::string::npos);
  EXPECT_EQ(d.IosState(), 1);  // the app may acknowledge again
  f.content[set.themesPath] = "T";
  EXPECT_EQ(d.OnRead(Bytes({1}), set).send, BuildIosTable(2, "T"));
}

TEST(PhoneDialogue, NameIsPlainTextAndReadIsBounded) {
  PhoneDialogue d([](const std::string&) { return std::optional<std::string>("x"); });
  Outcome o = d.OnRead(std::string("@ab\ncd\x1b[2J") + std::string(1, '\0') + "zz", Set("S"));
  ASSERT_GE(o.log.size(), 2u);
  EXPECT_EQ(o.log[1], "ab?cd?[2J");
  // A greeting longer than the buffer: only what fits is looked at.
  o = d.OnRead("@" + std::string(5000, 'n'), Set("S"));
  ASSERT_GE(o.log.size(), 2u);
  EXPECT_EQ(o.log[1].size(), kMaxRead - 1);
}

// ---- the server, with a real client on loopback

namespace {

struct Rig {
  Files files;
  DataSetFiles set = Set("Rig");
  std::vector<std::string> log;
  std::unique_ptr<PhoneServer> server;
  Rig() {
    server = std::make_unique<PhoneServer>([this](const std::string& l) { log.push_back(l); },
                                           [this] { return set; }, files.Reader());
    EXPECT_TRUE(server->Listen(0));
  }
};

template <class Pred>
bool Pump(Pred done, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

std::string ReadExactly(QTcpSocket& c, std::size_t n) {
  std::string got;
  Pump([&] {
    c.waitForReadyRead(5);
    got += c.readAll().toStdString();
    return got.size() >= n;
  });
  return got;
}

void Send(QTcpSocket& c, const std::string& b) {
  c.write(b.data(), static_cast<qint64>(b.size()));
  c.flush();
}

int argc0 = 1;
char arg0[] = "test";
char* argv0[] = {arg0, nullptr};
QCoreApplication& App() {
  static QCoreApplication* app =
      QCoreApplication::instance() ? QCoreApplication::instance() : new QCoreApplication(argc0, argv0);
  return *app;
}

}  // namespace

TEST(PhoneServer, LoopbackDialogue) {
  App();
  Rig r;
  const std::string formulas = BigFile(460 * 1024);
  r.files.content = {{r.set.listPath, BigFile(3000)}, {r.set.themesPath, "TT"}, {r.set.formulasPath, formulas}};
  QTcpSocket c;
  c.connectToHost(QHostAddress::LocalHost, r.server->Port());
  ASSERT_TRUE(Pump([&] { c.waitForConnected(5); return c.state() == QAbstractSocket::ConnectedState; }));
  Send(c, "@iPad01");
  const std::string info = BuildIosInfo("Rig");
  EXPECT_EQ(ReadExactly(c, info.size()), info);
  const std::vector<std::string> expect = {BuildIosFile("Rig", BigFile(3000)), BuildIosTable(2, "TT"),
                                           BuildIosTable(3, formulas)};
  for (int ack = 0; ack < 3; ++ack) {
    Send(c, Bytes({ack}));
    EXPECT_EQ(ReadExactly(c, expect[ack].size()), expect[ack]) << ack;
  }
  Send(c, Bytes({3}));
  ASSERT_TRUE(Pump([&] { return !r.log.empty() && r.log.back() == "Archivo enviado OK."; }));
  EXPECT_EQ(r.server->IosState(), 0);
  Send(c, Bytes({2}));
  ASSERT_TRUE(Pump([&] { return r.log.back() == "?"; }));
  EXPECT_EQ(r.log.front(), "Dispositivo iOS conectado:");
  EXPECT_EQ(r.log[1], "iPad01");

  // A data set opened while the app is connected: IosInfo for the new set.
  r.set = Set("Otro");
  r.server->NotifyDataSetOpened();
  EXPECT_EQ(ReadExactly(c, BuildIosInfo("Otro").size()), BuildIosInfo("Otro"));

  // It leaves: a data-set open writes to nobody.
  c.disconnectFromHost();
  ASSERT_TRUE(Pump([&] { return !r.server->HasIosSocket(); }));
  EXPECT_FALSE(r.server->IosConnected());
  r.server->NotifyDataSetOpened();
  QCoreApplication::processEvents();
}

TEST(PhoneServer, AnotherClientLeavingKeepsTheAppsConnection) {
  App();
  Rig r;
  QTcpSocket app, other;
  app.connectToHost(QHostAddress::LocalHost, r.server->Port());
  other.connectToHost(QHostAddress::LocalHost, r.server->Port());
  ASSERT_TRUE(Pump([&] { return r.server->Connections() == 2; }));
  Send(app, "@phone");
  ReadExactly(app, BuildIosInfo("Rig").size());
  ASSERT_TRUE(r.server->HasIosSocket());
  other.disconnectFromHost();
  ASSERT_TRUE(Pump([&] { return r.server->Connections() == 1; }));
  EXPECT_TRUE(r.server->HasIosSocket());
  EXPECT_TRUE(r.server->IosConnected());
  r.server->NotifyDataSetOpened();
  EXPECT_EQ(ReadExactly(app, BuildIosInfo("Rig").size()), BuildIosInfo("Rig"));
}

TEST(PhoneServer, SplitGreeting) {
  App();
  Rig r;
  QTcpSocket c;
  c.connectToHost(QHostAddress::LocalHost, r.server->Port());
  ASSERT_TRUE(Pump([&] { return r.server->Connections() == 1; }));
  Send(c, "@ip");
  ASSERT_TRUE(Pump([&] { return r.log.size() >= 4; }));
  EXPECT_EQ(r.log[1], "ip");
  EXPECT_EQ(ReadExactly(c, BuildIosInfo("Rig").size()), BuildIosInfo("Rig"));
  // The rest of the name, one byte long: taken as an acknowledgement ('h' is not 0).
  Send(c, "h");
  ASSERT_TRUE(Pump([&] { return r.log.back() == "?"; }));
  EXPECT_EQ(r.server->IosState(), 0);
}

// Two apps at once: each connection has its own dialogue, and each gets
// its own messages in turn with the dialogue's lines.
TEST(PhoneServer, TwoAppsAtOnceEachHaveTheirDialogue) {
  App();
  Rig r;
  r.files.content = {{r.set.listPath, "LIST"}, {r.set.themesPath, "TT"}, {r.set.formulasPath, "FF"}};
  QTcpSocket a, b;
  a.connectToHost(QHostAddress::LocalHost, r.server->Port());
  b.connectToHost(QHostAddress::LocalHost, r.server->Port());
  ASSERT_TRUE(Pump([&] { return r.server->Connections() == 2; }));
  const std::string info = BuildIosInfo("Rig");
  Send(a, "@alpha");
  EXPECT_EQ(ReadExactly(a, info.size()), info);
  Send(b, "@beta");
  EXPECT_EQ(ReadExactly(b, info.size()), info);
  const std::vector<std::string> expect = {BuildIosFile("Rig", "LIST"), BuildIosTable(2, "TT"), BuildIosTable(3, "FF")};
  for (int ack = 0; ack < 3; ++ack) {
    SCOPED_TRACE(ack);
    Send(a, Bytes({ack}));
    EXPECT_EQ(ReadExactly(a, expect[ack].size()), expect[ack]);
    Send(b, Bytes({ack}));
    EXPECT_EQ(ReadExactly(b, expect[ack].size()), expect[ack]);
  }
  Send(a, Bytes({3}));
  ASSERT_TRUE(Pump([&] { return r.log.back() == "Archivo enviado OK."; }));
  Send(b, Bytes({3}));
  ASSERT_TRUE(Pump([&] { return std::count(r.log.begin(), r.log.end(), "Archivo enviado OK.") == 2; }));
  EXPECT_EQ(std::count(r.log.begin(), r.log.end(), "?"), 0);
  EXPECT_EQ(std::count(r.log.begin(), r.log.end(), "Enviando Formulas"), 2);
}

namespace {
// Resident memory of this process, kB.
long RssKb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}
}  // namespace

// An app that greets and acknowledges 0, 1, 2, 3 over and over without ever
// reading: what waits to be sent stays within one message, and the
// connection is dropped once it asks for more than it reads.
TEST(PhoneServer, AFloodThatNeverReadsIsBoundedAndDropped) {
  App();
  Rig r;
  const std::string formulas = BigFile(460 * 1024);
  r.files.content = {{r.set.listPath, BigFile(3000)}, {r.set.themesPath, BigFile(200 * 1024)},
                     {r.set.formulasPath, formulas}};
  const int64_t largest = static_cast<int64_t>(BuildIosTable(3, formulas).size());
  const long rssBefore = RssKb();
  QTcpSocket c;
  c.setReadBufferSize(1);  // reads nothing: what arrives stays in the system's buffers
  c.connectToHost(QHostAddress::LocalHost, r.server->Port());
  ASSERT_TRUE(Pump([&] { return r.server->Connections() == 1; }));
  int rounds = 0;
  for (; rounds < 2000 && r.server->Connections() == 1; ++rounds) {
    for (const std::string& m : {std::string("@flood"), Bytes({0}), Bytes({1}), Bytes({2}), Bytes({3})}) {
      Send(c, m);
      // The server takes each request as one read.
      for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    EXPECT_LE(r.server->QueuedBytes(), largest);
  }
  EXPECT_LT(rounds, 2000);
  EXPECT_EQ(r.server->Connections(), 0);
  EXPECT_EQ(r.server->DroppedConnections(), 1);
  EXPECT_LE(r.server->MostQueuedBytes(), largest);
  EXPECT_EQ(r.server->QueuedBytes(), 0);
  EXPECT_NE(std::find(r.log.begin(), r.log.end(), "Dispositivo iOS desconectado: no recoge lo que se le env\xED" "a"),
            r.log.end());
  std::printf("flood: %d rounds, most queued %lld bytes, RSS %ld kB -> %ld kB\n", rounds,
              static_cast<long long>(r.server->MostQueuedBytes()), rssBefore, RssKb());
}

// A message that nobody takes for a while drops its connection.
TEST(PhoneServer, AConnectionThatTakesNothingIsDropped) {
  App();
  Rig r;
  r.server->SetStallTimeout(200);
  r.server->SetEnglish([] { return true; });
  r.files.content = {{r.set.listPath, BigFile(32 * 1024 * 1024)}};
  QTcpSocket c;
  c.setReadBufferSize(1);
  c.connectToHost(QHostAddress::LocalHost, r.server->Port());
  ASSERT_TRUE(Pump([&] { return r.server->Connections() == 1; }));
  Send(c, "@slow");
  ASSERT_TRUE(Pump([&] { return r.server->IosState() == 0 && !r.log.empty(); }));
  QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  Send(c, Bytes({0}));
  ASSERT_TRUE(Pump([&] { return r.server->Connections() == 0; }));
  EXPECT_EQ(r.log.back(), "iOS device disconnected: it does not take what is sent to it");
  EXPECT_EQ(r.server->QueuedBytes(), 0);
}

// At most kMaxConnections apps at once; one more is closed, and said once.
TEST(PhoneServer, ConnectionsAreLimited) {
  App();
  Rig r;
  std::vector<std::unique_ptr<QTcpSocket>> clients;
  for (int i = 0; i < kMaxConnections + 2; ++i) {
    clients.push_back(std::make_unique<QTcpSocket>());
    clients.back()->connectToHost(QHostAddress::LocalHost, r.server->Port());
  }
  ASSERT_TRUE(Pump([&] {
    return std::count_if(clients.begin(), clients.end(), [](const auto& c) {
             return c->state() == QAbstractSocket::UnconnectedState;
           }) == 2;
  }));
  EXPECT_EQ(r.server->Connections(), kMaxConnections);
  EXPECT_EQ(std::count(r.log.begin(), r.log.end(), "Demasiados dispositivos iOS conectados: se rechaza uno m\xE1s"), 1);
  // One leaves: there is room for another.
  clients[0]->disconnectFromHost();
  ASSERT_TRUE(Pump([&] { return r.server->Connections() == kMaxConnections - 1; }));
  QTcpSocket late;
  late.connectToHost(QHostAddress::LocalHost, r.server->Port());
  ASSERT_TRUE(Pump([&] { return r.server->Connections() == kMaxConnections; }));
}

// A port another program listens on is never shared, whichever address it holds.
TEST(PhoneServer, APortAnotherProgramHoldsIsRefused) {
  App();
  for (const QHostAddress& held : {QHostAddress(QHostAddress::Any), QHostAddress(QHostAddress::LocalHost)}) {
    SCOPED_TRACE(held.toString().toStdString());
    QTcpServer other;
    ASSERT_TRUE(other.listen(held, 0));
    PhoneServer s([](const std::string&) {}, [] { return DataSetFiles{}; });
    EXPECT_FALSE(s.Listen(other.serverPort()));
    EXPECT_FALSE(s.Listening());
    EXPECT_FALSE(s.ErrorText().empty());
    EXPECT_TRUE(s.PortHeld());
  }
}

// Only peers of the local network are served.
TEST(PhoneServer, LocalNetworkPeers) {
  QNetworkAddressEntry lan;
  lan.setIp(QHostAddress("192.168.1.20"));
  lan.setPrefixLength(24);
  QNetworkAddressEntry v6;
  v6.setIp(QHostAddress("2001:db8:5::7"));
  v6.setPrefixLength(64);
  const QList<QNetworkAddressEntry> local = {lan, v6};
  const struct {
    const char* peer;
    bool local;
  } cases[] = {
      {"127.0.0.1", true},         {"::1", true},           {"::ffff:127.0.0.1", true}, {"192.168.1.77", true},
      {"::ffff:192.168.1.77", true}, {"192.168.2.77", false}, {"169.254.3.4", true},     {"fe80::1", true},
      {"2001:db8:5::99", true},    {"2001:db8:6::1", false}, {"8.8.8.8", false},        {"10.1.2.3", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsLocalNetworkPeer(QHostAddress(c.peer), local), c.local) << c.peer;
}

TEST(ServiceAnnouncer, TestBackendRecordsTheRegistration) {
  TestAnnouncer yes(true), no(false);
  EXPECT_TRUE(yes.Register(kServiceName, kServiceType, kPort));
  EXPECT_FALSE(no.Register(kServiceName, kServiceType, kPort));
  ASSERT_EQ(yes.calls.size(), 1u);
  EXPECT_EQ(yes.calls[0].name, "PELN_PROF");
  EXPECT_EQ(yes.calls[0].type, "_ostrelvane._tcp");
  EXPECT_EQ(yes.calls[0].port, 1234);
}

TEST(ServiceAnnouncer, RealBackendWithoutDaemonFailsQuietly) {
  // No avahi-daemon in the test machine: the call fails, nothing crashes.
  // (Where a daemon runs, it succeeds; either is fine here.)
  auto a = MakeAvahiAnnouncer();
  (void)a->Register(kServiceName, kServiceType, kPort);
  SUCCEED();
}
