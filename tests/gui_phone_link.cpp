// The companion app link in the real window: start-up registers the service
// and listens, an app on loopback fetches the open set, and opening another
// set tells it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

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
    o.phoneServer = phone::MakePhoneServer();
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
  // The real window on the real announcer (a running avahi-daemon).
  void StartOnAvahi() {
    TMainForm::Options o;
    o.dialogs = std::make_unique<ScriptedDialogs>();
    o.waveOut = audio::CreateTestWaveOut();
    o.waveIn = audio::CreateTestWaveIn();
    o.hidBus = std::make_unique<hid::TestHidBus>();
    o.announcer = MakeAvahiAnnouncer();
    o.phoneServer = phone::MakePhoneServer();
    o.phonePort = 0;
    form = std::make_unique<TMainForm>(std::move(o));
    form->FormCreate();
    ASSERT_TRUE(form->BonjourPresent) << "the registration through Avahi failed";
    ASSERT_TRUE(form->PhoneServer);
  }
  TestAnnouncer* announcer = nullptr;
};

// The port of our service as a client finds it by browsing and resolving
// ("=;iface;proto;name;type;domain;host;address;port;txt"), or -1 when it is
// not found within ms. A daemon just started takes a moment to probe its
// names, so it tries again every half second.
int BrowsedPort(TMainForm& form, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    QProcess browse;
    browse.start("avahi-browse", {"-t", "-r", "-p", "_ostrelvane._tcp"});
    if (!browse.waitForFinished(10000)) return -1;
    for (const QString& line : QString::fromUtf8(browse.readAllStandardOutput()).split('\n')) {
      const QStringList f = line.split(';');
      // Another program on this machine may announce the same name (ours is
      // then renamed "PELN_PROF #2"): ours is the one on our server's port.
      if (f.size() >= 9 && f[0] == "=" && f[3].startsWith("PELN_PROF") && f[4] == "_ostrelvane._tcp" &&
          f[8].toInt() == form.PhoneServer->Port())
        return f[8].toInt();
    }
    QElapsedTimer pause;
    pause.start();
    while (pause.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return -1;
}

std::string FileBytes(const std::string& p) { return phone::ReadWholeFile(p).value_or("<missing>"); }

}  // namespace

TEST_F(PhoneWindowTest, NoDaemonNoServerAndTheProgramRuns) {
  StartWith(false);
  EXPECT_FALSE(form->BonjourPresent);
  EXPECT_FALSE(form->PhoneServer);
  EXPECT_FALSE(LogHas("Listo para conectar con un dispositivo iOS"));
  // Said once, in the log.
  const QString absent = "Sin avahi-daemon en marcha: la aplicación del teléfono no encontrará el programa";
  EXPECT_EQ(form->Visor->toPlainText().count(absent), 1);
  form->Abrir2Click();  // the open's notice reaches nobody
  EXPECT_EQ(form->Visor->toPlainText().count(absent), 1);
}

// The daemon stops while the program runs, then starts again: the log says
// the announcement is gone, then that the program is ready again; the
// server listens throughout.
TEST_F(PhoneWindowTest, TheLogFollowsTheDaemonGoingAndComingBack) {
  StartWith(true);
  ASSERT_TRUE(form->PhoneServer);
  const QString ready = "Listo para conectar con un dispositivo iOS";
  const QString gone = "avahi-daemon se ha detenido: la aplicación del teléfono ya no encuentra el programa";
  EXPECT_EQ(form->Visor->toPlainText().count(ready), 1);
  announcer->Emit(ServiceAnnouncer::Event::kLost);
  EXPECT_EQ(LastLog(), gone);
  announcer->Emit(ServiceAnnouncer::Event::kAnnounced);
  EXPECT_EQ(LastLog(), ready);
  EXPECT_TRUE(form->PhoneServer->Listening());
  // English when the window speaks English.
  form->Ingls1Click();
  announcer->Emit(ServiceAnnouncer::Event::kLost);
  EXPECT_EQ(LastLog(), "avahi-daemon has stopped: the phone app no longer finds the program");
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
  StartOnAvahi();
  const int port = BrowsedPort(*form, 15000);
  ASSERT_EQ(port, form->PhoneServer->Port()) << "the service browsed is not the window's server";

  QTcpSocket c;
  c.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
  ASSERT_TRUE(Pump([&] { return form->PhoneServer->Connections() == 1; }));
  c.write("@iPhone", 7);
  const std::string name = form->DataSet.DataSetName;
  EXPECT_EQ(ReadN(c, phone::BuildIosInfo(name).size()), phone::BuildIosInfo(name));
}

// The daemon restarts while the program runs (tests/avahi_check.sh allows it
// only for a daemon it started itself): the log says the announcement is
// gone, and within seconds of the daemon's return the service is found again
// on the same server.
TEST_F(PhoneWindowTest, TheServiceComesBackWhenTheDaemonRestarts) {
  if (qgetenv("VELARTO_AVAHI_RESTARTABLE") != "1")
    GTEST_SKIP() << "needs an avahi-daemon the test may restart (tests/avahi_check.sh)";
  StartOnAvahi();
  ASSERT_EQ(BrowsedPort(*form, 15000), form->PhoneServer->Port());
  const QString ready = "Listo para conectar con un dispositivo iOS";
  const QString gone = "avahi-daemon se ha detenido: la aplicación del teléfono ya no encuentra el programa";
  auto waitFor = [](int ms, auto done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
  };
  ASSERT_EQ(std::system("avahi-daemon --kill >/dev/null 2>&1"), 0);
  EXPECT_TRUE(waitFor(10000, [&] { return LogHas(gone); })) << "the log never said the daemon had gone";
  // Wait until it is really gone before starting the new one.
  waitFor(5000, [] { return std::system("avahi-daemon --check 2>/dev/null") != 0; });
  ASSERT_EQ(std::system("avahi-daemon --daemonize --no-drop-root --no-chroot >/dev/null 2>&1"), 0);
  QElapsedTimer back;
  back.start();
  EXPECT_TRUE(waitFor(20000, [&] { return LastLog() == ready; })) << "the announcement never came back";
  EXPECT_EQ(BrowsedPort(*form, 20000), form->PhoneServer->Port()) << "the service is not found after the restart";
  std::printf("announced again %lld ms after the daemon was started again\n", static_cast<long long>(back.elapsed()));
  EXPECT_TRUE(form->PhoneServer->Listening());
}
