// What a window needs of the companion app's server (links/phone_server.h):
// the server is made by the program that has a phone link (DRAV_PROF), so
// that a window built without one (make_factory's, for the manual's
// pictures) links nothing of the link.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "links/phone.h"

namespace phone {

class PhoneLinkServer {
 public:
  virtual ~PhoneLinkServer() = default;
  // The language of the server's own lines; Spanish until set.
  virtual void SetEnglish(std::function<bool()> english) = 0;
  // Listens (port 0: a free port); false on failure.
  virtual bool Listen(uint16_t port) = 0;
  virtual bool Listening() const = 0;
  virtual uint16_t Port() const = 0;
  // The last Listen failed because another program holds the port.
  virtual bool PortHeld() const = 0;
  // After a data set was opened: the app that last spoke is told.
  virtual void NotifyDataSetOpened() = 0;
  virtual int Connections() const = 0;
  // A companion app has spoken and is still connected.
  virtual bool HasIosSocket() const = 0;
};

// Makes the server: its lines (Latin-1) go to the log, the open set's files
// come from the data-set source.
using PhoneServerMaker = std::function<std::unique_ptr<PhoneLinkServer>(
    std::function<void(const std::string&)> log, std::function<DataSetFiles()> dataSet)>;

}  // namespace phone
