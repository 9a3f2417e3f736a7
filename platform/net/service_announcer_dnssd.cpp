#include <dns_sd.h>

#include <arpa/inet.h>

#include "platform/net/service_announcer.h"

namespace {

class DnsSdAnnouncer : public ServiceAnnouncer {
 public:
  ~DnsSdAnnouncer() override {
    if (ref_) DNSServiceRefDeallocate(ref_);
  }
  bool Register(const std::string& name, const std::string& type, uint16_t port) override {
    if (ref_) return true;
    const DNSServiceErrorType err =
        DNSServiceRegister(&ref_, 0, 0, name.c_str(), type.c_str(), nullptr, nullptr, htons(port), 0, nullptr,
                           nullptr, nullptr);
    if (err != kDNSServiceErr_NoError) {
      ref_ = nullptr;
      return false;
    }
    return true;
  }

 private:
  DNSServiceRef ref_ = nullptr;
};

}  // namespace

std::unique_ptr<ServiceAnnouncer> MakeDnsSdAnnouncer() { return std::make_unique<DnsSdAnnouncer>(); }
