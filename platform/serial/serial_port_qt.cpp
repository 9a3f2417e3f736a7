// The serial port through Qt SerialPort. Without a running event loop the
// port is read by a poll of no time (waitForReadyRead(0)); with one, Qt has
// read what arrived already.
#include <poll.h>

#include <QSerialPort>

#include "platform/serial/serial_port.h"

namespace serial {

namespace {

class QtSerialPort final : public SerialPort {
 public:
  ~QtSerialPort() override { Close(); }

 protected:
  bool OpenDevice(const std::string& name, std::string* error) override {
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromLocal8Bit(name.c_str()));
    port_->setReadBufferSize(static_cast<qint64>(kInputBufferBytes));
    if (!port_->open(QIODevice::ReadWrite) || !port_->setBaudRate(kBaudRate) ||
        !port_->setDataBits(QSerialPort::Data8) || !port_->setParity(QSerialPort::NoParity) ||
        !port_->setStopBits(QSerialPort::OneStop) || !port_->setFlowControl(QSerialPort::NoFlowControl)) {
      *error = port_->errorString().toStdString();
      port_.reset();
      return false;
    }
    // DTR off; a port without modem lines (a pseudo-terminal) refuses it,
    // which changes nothing.
    port_->setDataTerminalReady(false);
    port_->clearError();
    return true;
  }

  void CloseDevice() override {
    if (port_) port_->close();
    port_.reset();
  }

  long WriteDevice(const uint8_t* data, size_t n) override {
    const qint64 taken = port_->write(reinterpret_cast<const char*>(data), static_cast<qint64>(n));
    port_->flush();  // hands what it can to the system now, without waiting
    if (taken < 0 || DeviceGone()) return -1;
    return static_cast<long>(taken);
  }

  long ReadDevice(uint8_t* out, size_t capacity) override {
    if (port_->bytesAvailable() == 0) port_->waitForReadyRead(0);
    const qint64 got = port_->read(reinterpret_cast<char*>(out), static_cast<qint64>(capacity));
    if (got <= 0 && DeviceGone()) return -1;
    return got < 0 ? 0 : static_cast<long>(got);
  }

  bool InputWaiting() override { return port_->bytesAvailable() > 0 || port_->waitForReadyRead(0); }

  void ClearDeviceErrors() override { port_->clearError(); }

  bool DeviceLost() override { return DeviceGone(); }

 private:
  // The system refused the port's reads or writes, or the line hung up:
  // Qt's own error, or the descriptor polled for no time.
  bool DeviceGone() const {
    if (!port_ || !port_->isOpen()) return true;
    switch (port_->error()) {
      case QSerialPort::ResourceError:
      case QSerialPort::WriteError:
      case QSerialPort::ReadError:
        return true;
      default:
        break;
    }
    const int fd = static_cast<int>(port_->handle());
    if (fd < 0) return true;
    pollfd p{fd, 0, 0};
    if (::poll(&p, 1, 0) < 0) return false;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
  }

  std::unique_ptr<QSerialPort> port_;
};

}  // namespace

std::unique_ptr<SerialPort> CreateQtSerialPort() { return std::make_unique<QtSerialPort>(); }

}  // namespace serial
