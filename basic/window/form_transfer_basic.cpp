// The basic window's transfer of the open set to the hardware metronome
// (`BEnvia`) and of the device's set into a new one ("Recibir datos del
// Metrónomo" in the "Archivo" menu). The exchange itself is the transfer
// logic's; the window gives it the wait (window messages run, so the
// window stays alive) and shows its log in `Visor`. A transfer does not
// nest; playback and the tuner are stopped while it runs.
#include <QAction>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include "basic/transfer.h"
#include "basic/window/basic_form.h"
#include "links/device.h"
#include "platform/files/text.h"

namespace bornace {

namespace {
// Marks the window busy with a transfer for the life of one handler.
class TransferScope {
 public:
  TransferScope(bool& flag, QPushButton* button, QAction* item) : flag_(flag), button_(button), item_(item) {
    flag_ = true;
    if (button_) button_->setEnabled(false);
    if (item_) item_->setEnabled(false);
  }
  ~TransferScope() {
    flag_ = false;
    if (button_) button_->setEnabled(true);
    if (item_) item_->setEnabled(true);
  }
  TransferScope(const TransferScope&) = delete;
  TransferScope& operator=(const TransferScope&) = delete;

 private:
  bool& flag_;
  QPushButton* button_;
  QAction* item_;
};
}  // namespace

TransferIo TMainForm::MakeTransferIo() {
  TransferIo io;
  io.pump = [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); };
  io.log = [this](const std::string& line) { LogPlain(L1(line)); };
  io.dot = [this] {
    QTextCursor c = Visor->textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(".");
    Visor->setTextCursor(c);
    Visor->repaint();
  };
  return io;
}

// Playback and the tuner would share the device's link and the window's
// messages with the transfer: both stop first.
void TMainForm::StopForTransfer() {
  if (Timer1->isActive() || Engine->PlayState != 0) botonstopClick();
  StopTunerInput();
}

void TMainForm::BEnviaClick() {
  if (TransferRunning) return;
  TransferScope scope(TransferRunning, BEnvia, Recibir1);
  Visor->clear();
  Visor->setFocus();
  StopForTransfer();
  // Half a second or so for the device to settle.
  Device->DeviceWaitCounter = 2;
  while (Device->DeviceWaitCounter > 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  if (Modified()) botonrecClick();
  SendSetRequest req;
  req.setName = DataSet.DataSetName;
  req.english = English;
  req.date = QLocale::system().toString(QDate::currentDate(), "dd/MM/yyyy").toStdString();
  const TransferIo io = MakeTransferIo();
  SendDataSetToDevice(*Device, req, io);
}

void TMainForm::BRecibeClick() {
  if (TransferRunning) return;
  StopForTransfer();
  std::string name;
  bool ok = false;
  {
    TransferScope scope(TransferRunning, BEnvia, Recibir1);
    botonrecClick();
    const QDateTime now = QDateTime::currentDateTime();
    char buf[32];
    std::snprintf(buf, sizeof buf, "VL%02d%02d%4d%02d%02d", now.date().day(), now.date().month(), now.date().year(),
                  now.time().hour(), now.time().minute());
    name = buf;
    const TransferIo io = MakeTransferIo();
    ok = ReceiveDataSetFromDevice(*Device, name, English, io);
  }
  if (ok) {
    DataSet.DataSetName = name;
    DataSet.DataSetListPath = OlePathOf(name);
  }
  // A finished receive opens the new set; a failed one the open set again.
  DataSet.SilentOpen = true;
  ClearModified();
  OpenDataSet();
}

void TMainForm::BuildTransferControls() {
  connect(Recibir1, &QAction::triggered, this, [this] { BRecibeClick(); });
  connect(BEnvia, &QPushButton::clicked, this, [this] { BEnviaClick(); });
}

}  // namespace bornace
