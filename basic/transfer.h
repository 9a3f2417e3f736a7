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
};

constexpr size_t kTransferBlock = 1024;
constexpr size_t kTransferPiece = 63;
constexpr size_t kReceivePacket = 64;
constexpr size_t kTransferCapacity = 131072;
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
// attempts. 0 sent; 1 failed; 3 a record file missing or unreadable.
int SendDataSetToDevice(DeviceLink& L, const SendSetRequest& r, const TransferIo& io);

// Receives one item after its request went out: its bytes, empty after a
// time-out or a refused length (*ok false).
std::vector<uint8_t> ReceiveBlocksFromDevice(DeviceLink& L, bool english, const TransferIo& io, bool* ok);

// "VL%02d%02d%4d%02d%02d"
std::string ReceivedSetName(int day, int month, int year, int hour, int minute);
// A received slot's name as a file name: up to a NUL, path characters and
// controls replaced; empty when it names nothing (NUL first or all blanks).
std::string SlotFileName(const uint8_t* slot8);
// The WAV files of a received sonidos.van: (name, file bytes), 22050 Hz
// 16-bit mono headers.
std::vector<std::pair<std::string, std::vector<uint8_t>>> SplitBancoSonidos(const std::vector<uint8_t>& van);

// Receives sounds, formulas and themes as the new set datos/<name>; files go
// to a temporary folder and are renamed into place only when all three
// arrived. True on success.
bool ReceiveDataSetFromDevice(DeviceLink& L, const std::string& name, bool english, const TransferIo& io);

// True while a transfer runs (a second one is refused).
bool TransferRunning();
