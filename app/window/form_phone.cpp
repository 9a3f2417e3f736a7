// The companion app link in the main window: the start-up registration, the
// TCP server's lines in Visor, and the notice after a data set is opened.
#include "app/window/mainform.h"
#include "rhythm/dataset.h"

void TMainForm::BuildPhoneLink(Options& opts) {
  // Without either there is no phone link (make_factory's windows).
  PhoneAnnouncer = std::move(opts.announcer);
  PhoneServerMaker = std::move(opts.phoneServer);
  PhonePort = opts.phonePort;
}

phone::DataSetFiles TMainForm::PhoneDataSetFiles() const {
  const std::string& name = DataSet.DataSetName;
  return {name, DataSet.DataSetListPath, TemasPathOf(name), FormulasPathOf(name)};
}

void TMainForm::RegisterIosService() {
  BonjourPresent = false;
  if (!PhoneAnnouncer || !PhoneServerMaker) return;
  // The server first, so that a registered service always has a listener.
  auto server = PhoneServerMaker(
      [this](const std::string& line) { LogPlain(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()))); },
      [this] { return PhoneDataSetFiles(); });
  server->SetEnglish([this] { return English; });
  // A port another program holds is not shared: the link is absent. Where
  // services are announced at all (a registration goes through, and is
  // withdrawn at once), the log says why once the window speaks its language.
  if (!server->Listen(PhonePort)) {
    if (PhoneAnnouncer->Register(phone::kServiceName, phone::kServiceType, PhonePort)) {
      PhoneAnnouncer.reset();
      PhoneListenError = server->PortHeld() ? "held" : "other";
    } else {
      PhoneNoDaemon = true;
    }
    return;
  }
  if (!PhoneAnnouncer->Register(phone::kServiceName, phone::kServiceType, server->Port())) {
    PhoneNoDaemon = true;
    return;
  }
  // A daemon that stops and starts again while the program runs takes the
  // announcement with it and brings it back: the log says both.
  PhoneAnnouncer->SetListener([this](ServiceAnnouncer::Event e) {
    if (e == ServiceAnnouncer::Event::kLost)
      Log(Tr("avahi-daemon se ha detenido: la aplicación del teléfono ya no encuentra el programa",
             "avahi-daemon has stopped: the phone app no longer finds the program"));
    else
      Log(Tr("Listo para conectar con un dispositivo iOS", "Ready to connect with iOS device"));
  });
  PhoneServer = std::move(server);
  BonjourPresent = true;
}

void TMainForm::ReportPhoneLink() {
  if (BonjourPresent) Log(Tr("Listo para conectar con un dispositivo iOS", "Ready to connect with iOS device"));
  if (PhoneNoDaemon)
    Log(Tr("Sin avahi-daemon en marcha: la aplicación del teléfono no encontrará el programa",
           "No avahi-daemon running: the phone app will not find the program"));
  // In the window's language: the system's own wording would not be.
  if (!PhoneListenError.empty())
    Log(Tr("No se puede escuchar en el puerto %1 para el dispositivo iOS: ", "Cannot listen on port %1 for the iOS device: ")
            .arg(PhonePort) +
        (PhoneListenError == "held" ? Tr("otro programa lo ocupa", "another program holds it")
                                    : Tr("el sistema no lo permite", "the system does not allow it")));
}

void TMainForm::NotifyPhoneDataSetOpened() {
  if (PhoneServer) PhoneServer->NotifyDataSetOpened();
}
