// The companion app's TCP server: accepts the app's connections, feeds each
// read to that connection's own PhoneDialogue and sends whole messages back.
// Events arrive on the thread that owns the server (the GUI thread in the
// program).
//
// What it holds is bounded: one message at a time waits to be sent on a
// connection (an app asks for the next one only once it has read the last);
// a connection that asks for more while its message still waits, or that
// takes nothing of it for a while, is dropped; at most kMaxConnections apps
// at once; and only peers of the local network, where the service is
// announced, are served.
#pragma once

#include <QList>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "links/phone.h"
#include "links/phone_link_server.h"

class QHostAddress;
class QNetworkAddressEntry;
class QTcpServer;
class QTcpSocket;
class QTimer;

namespace phone {

inline constexpr int kMaxConnections = 4;
inline constexpr int kStallMs = 20000;  // a message not taken at all for this long drops the connection

// A peer of the local network: this host, a link-local address, or an
// address in the subnet of one of `local` (this host's interface addresses).
bool IsLocalNetworkPeer(const QHostAddress& peer, const QList<QNetworkAddressEntry>& local);
// The same against this host's interfaces.
bool IsLocalNetworkPeer(const QHostAddress& peer);

class PhoneServer final : public PhoneLinkServer {
 public:
  // Lines of the dialogue and of the server, Latin-1 text.
  using Logger = std::function<void(const std::string&)>;
  using DataSetSource = std::function<DataSetFiles()>;
  PhoneServer(Logger log, DataSetSource dataSet, PhoneDialogue::FileReader reader = ReadWholeFile);
  ~PhoneServer() override;
  PhoneServer(const PhoneServer&) = delete;
  PhoneServer& operator=(const PhoneServer&) = delete;

  // The language of the server's own lines (the dialogue's are Spanish in
  // both); Spanish until set.
  void SetEnglish(std::function<bool()> english) override { english_ = std::move(english); }
  // How long a waiting message may go untaken before its connection drops.
  void SetStallTimeout(int ms) { stallMs_ = ms; }

  // Listens on every interface; port 0 takes a free port. False on failure
  // (a port another program holds is never shared): ErrorText says why.
  bool Listen(uint16_t port) override;
  bool Listening() const override;
  uint16_t Port() const override;
  std::string ErrorText() const;
  // The last Listen failed because another program holds the port.
  bool PortHeld() const override;

  // After a data set was opened: IosInfo to the app that last spoke, when it
  // is still connected (once its waiting message has gone, if one waits).
  void NotifyDataSetOpened() override;

  bool IosConnected() const { return !connections_.empty(); }
  int Connections() const override { return static_cast<int>(connections_.size()); }
  bool HasIosSocket() const override { return iosSocket_ != nullptr; }
  // The dialogue's state of the app that last spoke (0 when none).
  int IosState() const;
  // Bytes waiting to be sent on all connections, and the most there ever were.
  int64_t QueuedBytes() const;
  int64_t MostQueuedBytes() const { return mostQueued_; }
  int DroppedConnections() const { return dropped_; }

 private:
  struct Connection {
    explicit Connection(PhoneDialogue::FileReader reader) : dialogue(std::move(reader)) {}
    PhoneDialogue dialogue;
    bool infoDue = false;    // IosInfo to send once the waiting message has gone
    int64_t lastProgress = 0;  // ms, when the waiting message last moved
  };
  void OnNewConnection();
  void OnRead(QTcpSocket* socket);
  void OnWritten(QTcpSocket* socket);
  void OnDisconnected(QTcpSocket* socket);
  void CheckStalls();
  void Drop(QTcpSocket* socket, const char* spanish, const char* english);
  void Apply(QTcpSocket* socket, const Outcome& out);
  void Say(const char* spanish, const char* english);
  Connection* Find(QTcpSocket* socket);

  Logger log_;
  DataSetSource dataSet_;
  PhoneDialogue::FileReader reader_;
  std::function<bool()> english_;
  std::unique_ptr<QTcpServer> server_;
  std::unique_ptr<QTimer> stallTimer_;
  std::map<QTcpSocket*, std::unique_ptr<Connection>> connections_;
  QTcpSocket* iosSocket_ = nullptr;
  int stallMs_ = kStallMs;
  int64_t mostQueued_ = 0;
  int dropped_ = 0;
  bool refusedFull_ = false;    // said once until there is room again
  bool refusedRemote_ = false;  // said once
};

// The maker of the program's windows: a PhoneServer on the whole files.
PhoneServerMaker MakePhoneServer();

}  // namespace phone
