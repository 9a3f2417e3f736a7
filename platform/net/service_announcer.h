// Announcing a TCP service on the local network (DNS Service Discovery).
// The real backend registers through the DNS-SD compatibility library of
// Avahi; the test backend records the call and answers as it is told.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ServiceAnnouncer {
 public:
  virtual ~ServiceAnnouncer() = default;
  // Registers name/type on every interface, this host, default domain, no
  // TXT record. False when no DNS-SD server answers.
  virtual bool Register(const std::string& name, const std::string& type, uint16_t port) = 0;
};

// The real one: the registration stays in force while the object lives.
std::unique_ptr<ServiceAnnouncer> MakeDnsSdAnnouncer();

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
  std::vector<Call> calls;

 private:
  bool present_;
};
