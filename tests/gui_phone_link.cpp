// The companion app link in the real window: start-up registers the service
// and listens, an app on loopback fetches the open set, and opening another
// set tells it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include "gui_fixture.h"
#include "links/phone.h"
#include "platform/hid/hid_device_test.h"
#include "rhythm/dataset.h"

namespace {

class PhoneWindowTest : public WindowTest {
 protected:
  void StartWith(bool daemon, uint16_t port = 0) {
    TMainForm::Options o;
    auto d = std::make_unique<ScriptedDialogs>();
    dlg = d.get();
    o.dialogs = std::move(d);
    auto w = audio::CreateTestWaveOut();
    wave = w.get();
    o.waveOut = std::move(w);
    o.waveIn = audio::CreateTestWaveIn();
    o.hidBus = std::make_unique<hid::TestHidBus>();
    auto a = std::make_unique<TestAnnouncer>(daemon);
    announcer = a.get();
    o.announcer = std::move(a);
    o.phonePort = port;
    form = std::make_unique<TMainForm>(std::move(o));
    form->FormCreate();
  }
  template <class Pred>
  static bool Pump(Pred done) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
      if (t.elapsed() > 5000) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
  }
  std::string ReadN(QTcpSocket& c, std::size_t n) {
    std::string got;
    Pump([&] {
      c.waitForReadyRead(5);
      got += c.readAll().toStdString();
      return got.size() >= n;
    });
    return got;
  }
  TestAnnouncer* announcer = nullptr;
};

std::string FileBytes(const std::string& p) { return phone::ReadWholeFile(p).value_or("<missing>"); }

}  // namespace

TEST_F(PhoneWindowTest, NoDaemonNoServerAndTheProgramRuns) {
  StartWith(false);
  EXPECT_FALSE(form->BonjourPresent);
  EXPECT_FALSE(form->PhoneServer);
  EXPECT_FALSE(LogHas("Listo para conectar con un dispositivo iOS"));
  form->Abrir2Click();  // the open's notice reaches nobody
}

// The port is held by another program: no server, no announcement left,
// and the log says so with the port. Without the announcement service the
// link is absent and nothing is said.
TEST_F(PhoneWindowTest, APortAnotherProgramHoldsIsSaid) {
  QTcpServer other;
  ASSERT_TRUE(other.listen(QHostAddress::Any, 0));
  StartWith(true, other.serverPort());
  EXPECT_FALSE(form->PhoneServer);
  EXPECT_FALSE(form->BonjourPresent);
  EXPECT_FALSE(form->PhoneAnnouncer);  // nothing stays announced
  EXPECT_TRUE(LogHas(QString("No se puede escuchar en el puerto %1 para el dispositivo iOS: otro programa lo ocupa")
                         .arg(other.serverPort())));
  EXPECT_FALSE(LogHas("Listo para conectar"));
  form.reset();
  StartWith(false, other.serverPort());
  EXPECT_FALSE(form->PhoneServer);
  EXPECT_FALSE(LogHas("No se puede escuchar"));
}

TEST_F(PhoneWindowTest, AppFetchesTheOpenSet) {
  StartWith(true);
  ASSERT_TRUE(form->BonjourPresent);
  ASSERT_TRUE(form->PhoneServer);
  ASSERT_EQ(announcer->calls.size(), 1u);
  EXPECT_EQ(announcer->calls[0].name, "PELN_PROF");
  EXPECT_EQ(announcer->calls[0].type, "_ostrelvane._tcp");
  EXPECT_TRUE(LogHas("Listo para conectar con un dispositivo iOS"));

  const std::string name = form->DataSet.DataSetName;
  QTcpSocket c;
  c.connectToHost(QHostAddress::LocalHost, form->PhoneServer->Port());
  ASSERT_TRUE(Pump([&] { return form->PhoneServer->Connections() == 1; }));
  c.write("@iPhone", 7);
  EXPECT_EQ(ReadN(c, phone::BuildIosInfo(name).size()), phone::BuildIosInfo(name));
  EXPECT_TRUE(LogHas("Dispositivo iOS conectado:\niPhone\niOS archivo a enviar:\n" + QString::fromLatin1(name.c_str())));
  const std::vector<std::string> expect = {
      phone::BuildIosFile(name, FileBytes(form->DataSet.DataSetListPath)),
      phone::BuildIosTable(2, FileBytes(TemasPathOf(name))),
      phone::BuildIosTable(3, FileBytes(FormulasPathOf(name)))};
  for (int ack = 0; ack < 3; ++ack) {
    const char b = static_cast<char>(ack);
    c.write(&b, 1);
    EXPECT_EQ(ReadN(c, expect[ack].size()), expect[ack]) << ack;
  }
  const char three = 3;
  c.write(&three, 1);
  ASSERT_TRUE(Pump([&] { return LastLog() == "Archivo enviado OK."; }));

  // Another set opened (the same one again here): IosInfo once more.
  form->Abrir2Click();
  EXPECT_EQ(ReadN(c, phone::BuildIosInfo(form->DataSet.DataSetName).size()),
            phone::BuildIosInfo(form->DataSet.DataSetName));

  c.disconnectFromHost();
  ASSERT_TRUE(Pump([&] { return !form->PhoneServer->HasIosSocket(); }));
  form->Abrir2Click();  // nobody to tell: no crash
}

// With a real Avahi daemon (tests/avahi_check.sh starts one and sets
// VELARTO_DNSSD_DAEMON): the window registers through Avahi's DNS-SD library,
// a client finds the service by browsing its type, and the server it finds
// answers the app's hello.
TEST_F(PhoneWindowTest, AnAppFindsTheServiceByBrowsingAndIsAnswered) {
  if (qgetenv("VELARTO_DNSSD_DAEMON") != "1") GTEST_SKIP() << "needs a running avahi-daemon (tests/avahi_check.sh)";
  TMainForm::Options o;
  o.dialogs = std::make_unique<ScriptedDialogs>();
  o.waveOut = audio::CreateTestWaveOut();
  o.waveIn = audio::CreateTestWaveIn();
  o.hidBus = std::make_unique<hid::TestHidBus>();
  o.announcer = MakeDnsSdAnnouncer();
  o.phonePort = 0;
  form = std::make_unique<TMainForm>(std::move(o));
  form->FormCreate();
  ASSERT_TRUE(form->BonjourPresent) << "the registration through Avahi failed";
  ASSERT_TRUE(form->PhoneServer);

  // Browse and resolve as a client would: "=;iface;proto;name;type;domain;host;address;port;txt".
  int port = -1;
  // A daemon just started takes a moment to probe its names: try for 15 s.
  for (int attempt = 0; attempt < 30 && port < 0; ++attempt) {
    if (attempt > 0) Pump([t = QElapsedTimer()]() mutable {
        if (!t.isValid()) t.start();
        return t.elapsed() >= 500;
      });
    QProcess browse;
    browse.start("avahi-browse", {"-t", "-r", "-p", "_ostrelvane._tcp"});
    ASSERT_TRUE(browse.waitForFinished(10000));
    for (const QString& line : QString::fromUtf8(browse.readAllStandardOutput()).split('\n')) {
      const QStringList f = line.split(';');
      // Another program on this machine may announce the same name (the
      // daemon then renames the later one "PELN_PROF #2"): ours is the one
      // on our server's port.
      if (f.size() >= 9 && f[0] == "=" && f[3].startsWith("PELN_PROF") && f[4] == "_ostrelvane._tcp" &&
          f[8].toInt() == form->PhoneServer->Port())
        port = f[8].toInt();
    }
    QCoreApplication::processEvents();
  }
  ASSERT_EQ(port, form->PhoneServer->Port()) << "the service browsed is not the window's server";

  QTcpSocket c;
  c.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
  ASSERT_TRUE(Pump([&] { return form->PhoneServer->Connections() == 1; }));
  c.write("@iPhone", 7);
  const std::string name = form->DataSet.DataSetName;
  EXPECT_EQ(ReadN(c, phone::BuildIosInfo(name).size()), phone::BuildIosInfo(name));
}
