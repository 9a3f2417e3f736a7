// The transfer of a basic data set to the hardware metronome and back, over
// the device link (HID or serial). Every wait calls io.pump, which the window
// sets to process its events (and so tick Timer2 -> DeviceTimer2Tick).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct DeviceLink;

struct TransferIo {
  std::function<void()> pump;                      // one round of the window's events
  std::function<void(const std::string&)> log;     // one line of the log
  std::function<void()> dot;                       // a "." at the caret
  // True once the transfer must end at once (the window is closing): every
  // wait then ends as failed, without a further try or a port reopen.
  std::function<bool()> cancelled;
};

constexpr size_t kTransferBlock = 1024;
constexpr size_t kTransferPiece = 63;
constexpr size_t kReceivePacket = 64;
// The transfer buffer, sent or received: the most an item can be. A full
// sound memory's sonidos.van is its 192-byte header and the samples, so the
// buffer holds that header and the 131072 bytes of the sample buffer.
constexpr size_t kTransferCapacity = 192 + 131072;
constexpr int kSendAttempts = 3;
constexpr int kBlockResends = 10;
constexpr int kAckWaitTicks = 6;
constexpr int kPacketWaitTicks = 10;

// The 256-byte configuration: language byte, 0x85, the date (10 chars),
// 0xFF fills, the set's name (cut to 31) and a NUL.
std::array<uint8_t, 256> DeviceConfigBlock(bool english, int day, int month, int year, char separator,
                                           const std::string& name);
// The same with a date text already formatted as "DD/MM/YYYY" (10 chars).
std::array<uint8_t, 256> DeviceConfigBlock(bool english, const std::string& date, const std::string& name);
// The date separator of a short date format such as "dd.MM.yy" or "M/d/yy":
// its first character that is no field letter, quote or space; '/' when
// there is none.
char DateSeparatorOf(const std::string& shortDateFormat);

// 0x01 'w' item u32-le length.
std::array<uint8_t, 7> TransferHeader(char item, uint32_t length);

// Sends header + payload in acknowledged 1024-byte blocks. 0 done, 1 time-out
// (the serial port reopened), 2 a wrong acknowledgement or too many resends.
int SendBlocksToDevice(DeviceLink& L, char item, const std::vector<uint8_t>& payload, bool english,
                       const TransferIo& io);

struct SendSetRequest {
  std::string setName;
  bool english = false;
  std::string date;  // "DD/MM/YYYY"
};
// The four items (configuration, sounds, formulas, themes), up to 3
// attempts. 0 sent; 1 failed; 3 a record file missing, unreadable or longer
// than the transfer buffer (then nothing is sent).
int SendDataSetToDevice(DeviceLink& L, const SendSetRequest& r, const TransferIo& io);

// Receives one item after its request went out: its bytes, empty after a
// time-out or a refused length (*ok false).
std::vector<uint8_t> ReceiveBlocksFromDevice(DeviceLink& L, bool english, const TransferIo& io, bool* ok);

// "VL%02d%02d%4d%02d%02d"
std::string ReceivedSetName(int day, int month, int year, int hour, int minute);
// A received slot's name as a file name: up to a NUL, path characters and
// controls replaced; empty when it names nothing (NUL first or all blanks).
std::string SlotFileName(const uint8_t* slot8);
// The WAV files of a received sonidos.van: (Latin-1 name, file bytes),
// 22050 Hz 16-bit mono headers. Slots whose name begins with a NUL are
// skipped and take no samples; blank names are skipped with their samples; a
// name met again gets "_2", "_3"... so that every slot keeps a file of its
// own and the list keeps the slots' order.
std::vector<std::pair<std::string, std::vector<uint8_t>>> SplitBancoSonidos(const std::vector<uint8_t>& van);

// Receives sounds, formulas and themes as the new set datos/<name>; files go
// to a temporary folder and are moved into place only when all three
// arrived (a set of that name already there is replaced whole). True on
// success; a failure leaves no file of the set behind.
bool ReceiveDataSetFromDevice(DeviceLink& L, const std::string& name, bool english, const TransferIo& io);

// True while a transfer runs (a second one is refused).
bool TransferRunning();
