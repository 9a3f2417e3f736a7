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
#include <QTabWidget>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

#include "basic/transfer.h"
#include "basic/window/basic_form.h"
#include "links/device.h"
#include "platform/files/text.h"

namespace bornace {

namespace {
// Marks the window busy with a transfer for the life of one handler: the
// transfer commands and the tuner's page and menu item are off meanwhile
// (the transport refuses to start while TransferRunning is set).
class TransferScope {
 public:
  explicit TransferScope(TMainForm& w) : w_(w) {
    w_.TransferRunning = true;
    Enable(false);
  }
  ~TransferScope() {
    w_.TransferRunning = false;
    Enable(true);
  }
  TransferScope(const TransferScope&) = delete;
  TransferScope& operator=(const TransferScope&) = delete;

 private:
  void Enable(bool on) {
    if (w_.BEnvia) w_.BEnvia->setEnabled(on);
    if (w_.Recibir1) w_.Recibir1->setEnabled(on);
    if (w_.Afinar2) w_.Afinar2->setEnabled(on);
    if (w_.PageControl1 && w_.TabSheet2) w_.PageControl1->setTabEnabled(w_.PageControl1->indexOf(w_.TabSheet2), on);
  }
  TMainForm& w_;
};
}  // namespace

TransferIo TMainForm::MakeTransferIo() {
  TransferIo io;
  io.pump = [this] {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    // A wait sleeps between its rounds: the device answers within
    // milliseconds, and a device that never answers costs no processor.
    QThread::msleep(1);
    // Nothing may have started the tuner in the meantime.
    if (TunerRunning()) StopTunerInput();
  };
  io.log = [this](const std::string& line) { LogPlain(QString::fromUtf8(line)); };
  io.dot = [this] {
    QTextCursor c = Visor->textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(".");
    Visor->setTextCursor(c);
    Visor->repaint();
  };
  // A window that closes ends the transfer: its device and timers are gone.
  io.cancelled = [this] { return FormClosed; };
  return io;
}

// Playback and the tuner would share the device's link and the window's
// messages with the transfer: both stop first, and the log's page shows.
void TMainForm::StopForTransfer() {
  if (Deck->IsPlaying() || Engine->PlayState != 0) botonstopClick();
  if (PageControl1 && TabSheet1 && PageControl1->currentWidget() != TabSheet1) PageControl1->setCurrentWidget(TabSheet1);
  StopTunerInput();
}

void TMainForm::BEnviaClick() {
  if (TransferRunning || FormClosed) return;
  TransferScope scope(*this);
  Visor->clear();
  Visor->setFocus();
  StopForTransfer();
  const TransferIo io = MakeTransferIo();
  // Half a second or so for the device to settle.
  Device->DeviceWaitCounter = 2;
  while (Device->DeviceWaitCounter > 0 && !FormClosed) io.pump();
  if (FormClosed) return;
  if (Modified()) botonrecClick();
  SendSetRequest req;
  req.setName = DataSet.DataSetName;
  req.english = English;
  const QDate today = QDate::currentDate();
  const char separator = DateSeparatorOf(QLocale::system().dateFormat(QLocale::ShortFormat).toStdString());
  const auto block = DeviceConfigBlock(English, today.day(), today.month(), today.year(), separator, req.setName);
  req.date.assign(block.begin() + 2, block.begin() + 12);
  SendDataSetToDevice(*Device, req, io);
}

void TMainForm::BRecibeClick() {
  if (TransferRunning || FormClosed) return;
  std::string name;
  bool ok = false;
  {
    TransferScope scope(*this);
    StopForTransfer();
    // Unsaved changes are offered for saving first (changes that could not
    // be written keep the set open and receive nothing); the set that is
    // open stays as it is until the received one is complete.
    if (Modified()) {
      botonrecClick();
      if (SaveWriteFailed) return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    name = ReceivedSetName(now.date().day(), now.date().month(), now.date().year(), now.time().hour(),
                           now.time().minute());
    const TransferIo io = MakeTransferIo();
    ok = ReceiveDataSetFromDevice(*Device, name, English, io);
  }
  if (FormClosed) return;
  if (ok) {
    // Changes the user chose not to save go with the set they belong to:
    // the open that follows must not save them under the new set's name.
    ClearModified();
    DataSet.DataSetName = name;
    DataSet.DataSetListPath = OlePathOf(name);
  }
  // A finished receive opens the new set; a failed one the open set again
  // (which offers once more to save changes that were not saved).
  DataSet.SilentOpen = true;
  OpenDataSet();
}

void TMainForm::BuildTransferControls() {
  connect(Recibir1, &QAction::triggered, this, [this] { BRecibeClick(); });
  connect(BEnvia, &QPushButton::clicked, this, [this] { BEnviaClick(); });
}

}  // namespace bornace
