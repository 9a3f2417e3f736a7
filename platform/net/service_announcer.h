// Announcing a TCP service on the local network (DNS Service Discovery).
// The real backend publishes through Avahi's client library, driven by the
// Qt event loop of the thread that creates it; the test backend records the
// call and answers as it is told.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class ServiceAnnouncer {
 public:
  // What happens to a registration after it was made.
  enum class Event {
    kLost,       // the daemon has gone: the service is no longer announced
    kAnnounced,  // announced again (the daemon came back)
  };
  using Listener = std::function<void(Event)>;

  virtual ~ServiceAnnouncer() = default;
  // Registers name/type on every interface, this host, default domain, no
  // TXT record. False when no DNS-SD daemon answers. The registration then
  // follows the daemon: it goes when the daemon goes and comes back with it.
  virtual bool Register(const std::string& name, const std::string& type, uint16_t port) = 0;
  // Told of every later loss and return of the announcement.
  void SetListener(Listener l) { listener_ = std::move(l); }

 protected:
  void Tell(Event e) {
    if (listener_) listener_(e);
  }

 private:
  Listener listener_;
};

// The real one, on the avahi-daemon: the registration stays in force while
// the object lives. Needs a QCoreApplication (its event loop runs the
// client); without one, Register fails.
std::unique_ptr<ServiceAnnouncer> MakeAvahiAnnouncer();

class TestAnnouncer : public ServiceAnnouncer {
 public:
  struct Call {
    std::string name, type;
    uint16_t port;
  };
  explicit TestAnnouncer(bool present) : present_(present) {}
  bool Register(const std::string& name, const std::string& type, uint16_t port) override {
    calls.push_back({name, type, port});
    return present_;
  }
  // As the daemon would: the service lost, or announced again.
  void Emit(Event e) { Tell(e); }
  std::vector<Call> calls;

 private:
  bool present_;
};
