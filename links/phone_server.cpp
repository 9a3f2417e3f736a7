#include "links/phone_server.h"

#include <QDateTime>
#include <QHostAddress>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace phone {

namespace {

// What a connection may hold of what the app sends between two reads.
constexpr qint64 kReadBufferBytes = 16 * 1024;

int64_t NowMs() { return QDateTime::currentMSecsSinceEpoch(); }

QHostAddress Plain(const QHostAddress& a) {
  bool v4 = false;
  const quint32 ip4 = a.toIPv4Address(&v4);
  return v4 ? QHostAddress(ip4) : a;
}

}  // namespace

bool IsLocalNetworkPeer(const QHostAddress& peer, const QList<QNetworkAddressEntry>& local) {
  const QHostAddress p = Plain(peer);
  if (p.isNull()) return false;
  if (p.isLoopback() || p.isLinkLocal()) return true;
  for (const QNetworkAddressEntry& e : local) {
    const QHostAddress ip = Plain(e.ip());
    if (ip.isNull() || e.prefixLength() < 0 || ip.protocol() != p.protocol()) continue;
    if (p.isInSubnet(ip, e.prefixLength())) return true;
  }
  return false;
}

bool IsLocalNetworkPeer(const QHostAddress& peer) {
  QList<QNetworkAddressEntry> local;
  for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
    if (i.flags().testFlag(QNetworkInterface::IsUp)) local += i.addressEntries();
  return IsLocalNetworkPeer(peer, local);
}

PhoneServer::PhoneServer(Logger log, DataSetSource dataSet, PhoneDialogue::FileReader reader)
    : log_(std::move(log)), dataSet_(std::move(dataSet)), reader_(std::move(reader)),
      server_(std::make_unique<QTcpServer>()), stallTimer_(std::make_unique<QTimer>()) {
  server_->setMaxPendingConnections(kMaxConnections);
  QObject::connect(server_.get(), &QTcpServer::newConnection, [this] { OnNewConnection(); });
  stallTimer_->setInterval(1000);
  QObject::connect(stallTimer_.get(), &QTimer::timeout, [this] { CheckStalls(); });
}

PhoneServer::~PhoneServer() {
  // The sockets are children of the server; no handler may run on a half-gone object.
  stallTimer_->stop();
  for (QTcpSocket* s : server_->findChildren<QTcpSocket*>()) QObject::disconnect(s, nullptr, nullptr, nullptr);
  server_->close();
}

bool PhoneServer::Listen(uint16_t port) { return server_->listen(QHostAddress::Any, port); }
bool PhoneServer::Listening() const { return server_->isListening(); }
uint16_t PhoneServer::Port() const { return server_->serverPort(); }
std::string PhoneServer::ErrorText() const { return server_->errorString().toStdString(); }
bool PhoneServer::PortHeld() const { return server_->serverError() == QAbstractSocket::AddressInUseError; }

void PhoneServer::Say(const char* spanish, const char* english) {
  if (log_) log_(english_ && english_() ? english : spanish);
}

PhoneServer::Connection* PhoneServer::Find(QTcpSocket* socket) {
  const auto it = connections_.find(socket);
  return it == connections_.end() ? nullptr : it->second.get();
}

int PhoneServer::IosState() const {
  const auto it = connections_.find(iosSocket_);
  return it == connections_.end() ? 0 : it->second->dialogue.IosState();
}

int64_t PhoneServer::QueuedBytes() const {
  int64_t n = 0;
  for (const auto& c : connections_) n += c.first->bytesToWrite();
  return n;
}

void PhoneServer::OnNewConnection() {
  while (QTcpSocket* s = server_->nextPendingConnection()) {
    // The service is announced on the local network: nobody else is served.
    if (!IsLocalNetworkPeer(s->peerAddress())) {
      if (!refusedRemote_)
        Say("Se rechaza una conexi\xF3n de fuera de la red local", "A connection from outside the local network is refused");
      refusedRemote_ = true;
      s->abort();
      s->deleteLater();
      continue;
    }
    if (static_cast<int>(connections_.size()) >= kMaxConnections) {
      if (!refusedFull_)
        Say("Demasiados dispositivos iOS conectados: se rechaza uno m\xE1s", "Too many iOS devices connected: one more is refused");
      refusedFull_ = true;
      s->abort();
      s->deleteLater();
      continue;
    }
    s->setReadBufferSize(kReadBufferBytes);
    connections_[s] = std::make_unique<Connection>(reader_);
    QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { OnRead(s); });
    QObject::connect(s, &QTcpSocket::bytesWritten, s, [this, s](qint64) { OnWritten(s); });
    QObject::connect(s, &QTcpSocket::disconnected, s, [this, s] { OnDisconnected(s); });
    QObject::connect(s, &QTcpSocket::errorOccurred, s, [this, s](QAbstractSocket::SocketError e) {
      if (e != QAbstractSocket::RemoteHostClosedError && s->bytesToWrite() > 0)
        log_("Error al enviar al dispositivo iOS: " + s->errorString().toStdString());
    });
    if (!stallTimer_->isActive()) stallTimer_->start();
  }
}

void PhoneServer::OnRead(QTcpSocket* socket) {
  Connection* c = Find(socket);
  if (c == nullptr) return;
  iosSocket_ = socket;
  // One read event is one message: the first bytes up to the buffer's room,
  // anything beyond them in the same read is dropped.
  const QByteArray all = socket->readAll();
  const std::string bytes(all.constData(), static_cast<std::size_t>(std::min<qsizetype>(all.size(), kMaxRead)));
  if (bytes.empty()) return;
  // An app asks for the next message once it has read the last one: one
  // that asks while its message still waits to be sent does not read.
  if (socket->bytesToWrite() > 0 && c->dialogue.AsksForMessage(bytes)) {
    Drop(socket, "Dispositivo iOS desconectado: no recoge lo que se le env\xED" "a",
         "iOS device disconnected: it does not take what is sent to it");
    return;
  }
  Apply(socket, c->dialogue.OnRead(bytes, dataSet_()));
}

void PhoneServer::OnWritten(QTcpSocket* socket) {
  Connection* c = Find(socket);
  if (c == nullptr) return;
  c->lastProgress = NowMs();
  if (c->infoDue && socket->bytesToWrite() == 0) {
    c->infoDue = false;
    Apply(socket, c->dialogue.InformaAliPhone(dataSet_()));
  }
}

void PhoneServer::CheckStalls() {
  const int64_t now = NowMs();
  std::vector<QTcpSocket*> stalled;
  for (const auto& [s, c] : connections_)
    if (s->bytesToWrite() > 0 && now - c->lastProgress > stallMs_) stalled.push_back(s);
  for (QTcpSocket* s : stalled)
    Drop(s, "Dispositivo iOS desconectado: no recoge lo que se le env\xED" "a",
         "iOS device disconnected: it does not take what is sent to it");
  if (connections_.empty()) stallTimer_->stop();
}

void PhoneServer::Drop(QTcpSocket* socket, const char* spanish, const char* english) {
  if (connections_.erase(socket) == 0) return;
  ++dropped_;
  if (socket == iosSocket_) iosSocket_ = nullptr;
  if (static_cast<int>(connections_.size()) < kMaxConnections) refusedFull_ = false;
  Say(spanish, english);
  QObject::disconnect(socket, nullptr, nullptr, nullptr);
  socket->abort();  // what waited to be sent goes at once
  socket->deleteLater();
}

void PhoneServer::OnDisconnected(QTcpSocket* socket) {
  connections_.erase(socket);
  if (static_cast<int>(connections_.size()) < kMaxConnections) refusedFull_ = false;
  if (socket == iosSocket_) iosSocket_ = nullptr;
  QObject::disconnect(socket, nullptr, nullptr, nullptr);
  socket->deleteLater();
}

void PhoneServer::NotifyDataSetOpened() {
  if (iosSocket_ == nullptr || iosSocket_->state() != QAbstractSocket::ConnectedState) return;
  Connection* c = Find(iosSocket_);
  if (c == nullptr) return;
  // Behind a message that still waits: once it has gone.
  if (iosSocket_->bytesToWrite() > 0) {
    c->infoDue = true;
    return;
  }
  Apply(iosSocket_, c->dialogue.InformaAliPhone(dataSet_()));
}

void PhoneServer::Apply(QTcpSocket* socket, const Outcome& out) {
  if (out.send) {
    Connection* c = Find(socket);
    if (c != nullptr) c->lastProgress = NowMs();
    // The socket buffers the whole message; a short write is a fault.
    const qint64 n = socket->write(out.send->data(), static_cast<qint64>(out.send->size()));
    if (n != static_cast<qint64>(out.send->size()))
      log_("Error al enviar al dispositivo iOS: " + socket->errorString().toStdString());
    mostQueued_ = std::max(mostQueued_, QueuedBytes());
  }
  for (const std::string& line : out.log) log_(line);
}

PhoneServerMaker MakePhoneServer() {
  return [](std::function<void(const std::string&)> log, std::function<DataSetFiles()> dataSet) {
    return std::unique_ptr<PhoneLinkServer>(std::make_unique<PhoneServer>(std::move(log), std::move(dataSet)));
  };
}

}  // namespace phone
