// The companion app's TCP server: accepts the app's connections, feeds each
// read to the PhoneDialogue and sends whole messages back. Events arrive on
// the thread that owns the server (the GUI thread in the program).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "links/phone.h"

class QTcpServer;
class QTcpSocket;

namespace phone {

class PhoneServer {
 public:
  using Logger = std::function<void(const std::string&)>;
  using DataSetSource = std::function<DataSetFiles()>;
  PhoneServer(Logger log, DataSetSource dataSet, PhoneDialogue::FileReader reader = ReadWholeFile);
  ~PhoneServer();
  PhoneServer(const PhoneServer&) = delete;
  PhoneServer& operator=(const PhoneServer&) = delete;

  // Listens on every interface; port 0 takes a free port. False on failure.
  bool Listen(uint16_t port);
  bool Listening() const;
  uint16_t Port() const;

  // After a data set was opened: IosInfo to the app that last spoke, when it
  // is still connected.
  void NotifyDataSetOpened();

  bool IosConnected() const { return connections_ > 0; }
  int Connections() const { return connections_; }
  bool HasIosSocket() const { return iosSocket_ != nullptr; }
  int IosState() const { return dialogue_.IosState(); }

 private:
  void OnNewConnection();
  void OnRead(QTcpSocket* socket);
  void OnDisconnected(QTcpSocket* socket);
  void Apply(QTcpSocket* socket, const Outcome& out);

  Logger log_;
  DataSetSource dataSet_;
  PhoneDialogue dialogue_;
  std::unique_ptr<QTcpServer> server_;
  QTcpSocket* iosSocket_ = nullptr;
  int connections_ = 0;
};

}  // namespace phone
