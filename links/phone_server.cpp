#include "links/phone_server.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace phone {

PhoneServer::PhoneServer(Logger log, DataSetSource dataSet, PhoneDialogue::FileReader reader)
    : log_(std::move(log)), dataSet_(std::move(dataSet)), dialogue_(std::move(reader)),
      server_(std::make_unique<QTcpServer>()) {
  QObject::connect(server_.get(), &QTcpServer::newConnection, [this] { OnNewConnection(); });
}

PhoneServer::~PhoneServer() {
  // The sockets are children of the server; no handler may run on a half-gone object.
  for (QTcpSocket* s : server_->findChildren<QTcpSocket*>()) QObject::disconnect(s, nullptr, nullptr, nullptr);
  server_->close();
}

bool PhoneServer::Listen(uint16_t port) { return server_->listen(QHostAddress::Any, port); }
bool PhoneServer::Listening() const { return server_->isListening(); }
uint16_t PhoneServer::Port() const { return server_->serverPort(); }

void PhoneServer::OnNewConnection() {
  while (QTcpSocket* s = server_->nextPendingConnection()) {
    ++connections_;
    QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { OnRead(s); });
    QObject::connect(s, &QTcpSocket::disconnected, s, [this, s] { OnDisconnected(s); });
    QObject::connect(s, &QTcpSocket::errorOccurred, s, [this, s](QAbstractSocket::SocketError e) {
      if (e != QAbstractSocket::RemoteHostClosedError && s->bytesToWrite() > 0)
        log_("Error al enviar al dispositivo iOS: " + s->errorString().toStdString());
    });
  }
}

void PhoneServer::OnRead(QTcpSocket* socket) {
  iosSocket_ = socket;
  // One read event is one message: the first bytes up to the buffer's room,
  // anything beyond them in the same read is dropped.
  const QByteArray all = socket->readAll();
  const std::string bytes(all.constData(), static_cast<std::size_t>(std::min<qsizetype>(all.size(), kMaxRead)));
  if (bytes.empty()) return;
  Apply(socket, dialogue_.OnRead(bytes, dataSet_()));
}

void PhoneServer::OnDisconnected(QTcpSocket* socket) {
  if (connections_ > 0) --connections_;
  if (socket == iosSocket_) iosSocket_ = nullptr;
  socket->deleteLater();
}

void PhoneServer::NotifyDataSetOpened() {
  if (iosSocket_ == nullptr || iosSocket_->state() != QAbstractSocket::ConnectedState) return;
  Apply(iosSocket_, dialogue_.InformaAliPhone(dataSet_()));
}

void PhoneServer::Apply(QTcpSocket* socket, const Outcome& out) {
  if (out.send) {
    // The socket buffers the whole message; a short write is a fault.
    const qint64 n = socket->write(out.send->data(), static_cast<qint64>(out.send->size()));
    if (n != static_cast<qint64>(out.send->size()))
      log_("Error al enviar al dispositivo iOS: " + socket->errorString().toStdString());
  }
  for (const std::string& line : out.log) log_(line);
}

}  // namespace phone
