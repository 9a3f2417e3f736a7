// The companion app link in the main window: the start-up registration, the
// TCP server's lines in Visor, and the notice after a data set is opened.
#include "app/window/mainform.h"
#include "rhythm/dataset.h"

void TMainForm::BuildPhoneLink(Options& opts) {
  PhoneAnnouncer = opts.announcer ? std::move(opts.announcer) : MakeDnsSdAnnouncer();
  PhonePort = opts.phonePort;
}

phone::DataSetFiles TMainForm::PhoneDataSetFiles() const {
  const std::string& name = DataSet.DataSetName;
  return {name, DataSet.DataSetListPath, TemasPathOf(name), FormulasPathOf(name)};
}

void TMainForm::RegisterIosService() {
  BonjourPresent = false;
  if (!PhoneAnnouncer) return;
  // The server first, so that a registered service always has a listener.
  auto server = std::make_unique<phone::PhoneServer>(
      [this](const std::string& line) { LogPlain(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()))); },
      [this] { return PhoneDataSetFiles(); });
  if (!server->Listen(PhonePort)) return;
  if (!PhoneAnnouncer->Register(phone::kServiceName, phone::kServiceType, server->Port())) return;
  PhoneServer = std::move(server);
  BonjourPresent = true;
}

void TMainForm::NotifyPhoneDataSetOpened() {
  if (PhoneServer) PhoneServer->NotifyDataSetOpened();
}
