// The announcement on Avahi's client library. The client talks to
// avahi-daemon over the system bus; its watches and timeouts run on the Qt
// event loop of the creating thread (a small AvahiPoll of our own), so every
// callback comes on that thread, between the window's other events.
#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/timeval.h>
#include <avahi-common/watch.h>

#include <QCoreApplication>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

#include "platform/net/service_announcer.h"

// The poll's objects (opaque to the library).
struct AvahiWatch {
  int fd = -1;
  AvahiWatchEvent wanted{};
  int happened = 0;  // the events of the callback running now
  AvahiWatchCallback callback = nullptr;
  void* userdata = nullptr;
  std::unique_ptr<QSocketNotifier> read, write, error;
};

struct AvahiTimeout {
  AvahiTimeoutCallback callback = nullptr;
  void* userdata = nullptr;
  std::unique_ptr<QTimer> timer;
};

namespace {

// Notifiers and timers are handed to deleteLater while one of their signals
// may be running; deleted at once otherwise (the client's own free, say at
// the program's end, needs no event loop after it).
int dispatching = 0;

void Quiet(QSocketNotifier& n) { n.setEnabled(false); }  // its fd may be closed already
void Quiet(QTimer& t) { t.stop(); }

template <class T>
void Retire(std::unique_ptr<T>& object) {
  if (!object) return;
  Quiet(*object);
  object->blockSignals(true);
  if (dispatching > 0)
    object.release()->deleteLater();
  else
    object.reset();
}

void Dispatch(AvahiWatch* w, int event) {
  ++dispatching;
  w->happened = event;
  // The callback may free the watch: nothing of it is touched after.
  w->callback(w, w->fd, static_cast<AvahiWatchEvent>(event), w->userdata);
  --dispatching;
}

void UpdateWatch(AvahiWatch* w, AvahiWatchEvent event) {
  w->wanted = event;
  w->read->setEnabled((event & AVAHI_WATCH_IN) != 0);
  w->write->setEnabled((event & AVAHI_WATCH_OUT) != 0);
}

AvahiWatch* NewWatch(const AvahiPoll*, int fd, AvahiWatchEvent event, AvahiWatchCallback callback, void* userdata) {
  auto* w = new AvahiWatch;
  w->fd = fd;
  w->callback = callback;
  w->userdata = userdata;
  w->read = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  w->write = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
  w->error = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Exception);
  QObject::connect(w->read.get(), &QSocketNotifier::activated, w->read.get(), [w] { Dispatch(w, AVAHI_WATCH_IN); });
  QObject::connect(w->write.get(), &QSocketNotifier::activated, w->write.get(), [w] { Dispatch(w, AVAHI_WATCH_OUT); });
  QObject::connect(w->error.get(), &QSocketNotifier::activated, w->error.get(), [w] { Dispatch(w, AVAHI_WATCH_ERR); });
  UpdateWatch(w, event);
  return w;
}

AvahiWatchEvent WatchEvents(AvahiWatch* w) { return static_cast<AvahiWatchEvent>(w->happened); }

void FreeWatch(AvahiWatch* w) {
  Retire(w->read);
  Retire(w->write);
  Retire(w->error);
  delete w;
}

// Arms the timer for the absolute time tv; null disarms it.
void UpdateTimeout(AvahiTimeout* t, const struct timeval* tv) {
  t->timer->stop();
  if (!tv) return;
  struct timeval now;
  gettimeofday(&now, nullptr);
  const AvahiUsec wait = avahi_timeval_diff(tv, &now);
  t->timer->start(wait <= 0 ? 0 : static_cast<int>((wait + 999) / 1000));
}

AvahiTimeout* NewTimeout(const AvahiPoll*, const struct timeval* tv, AvahiTimeoutCallback callback, void* userdata) {
  auto* t = new AvahiTimeout;
  t->callback = callback;
  t->userdata = userdata;
  t->timer = std::make_unique<QTimer>();
  t->timer->setSingleShot(true);
  QObject::connect(t->timer.get(), &QTimer::timeout, t->timer.get(), [t] {
    ++dispatching;
    t->callback(t, t->userdata);  // may free or re-arm the timeout
    --dispatching;
  });
  UpdateTimeout(t, tv);
  return t;
}

void FreeTimeout(AvahiTimeout* t) {
  Retire(t->timer);
  delete t;
}

const AvahiPoll kQtPoll = {nullptr, NewWatch, UpdateWatch, WatchEvents, FreeWatch,
                           NewTimeout, UpdateTimeout, FreeTimeout};

class AvahiAnnouncer : public ServiceAnnouncer {
 public:
  ~AvahiAnnouncer() override { Close(); }

  bool Register(const std::string& name, const std::string& type, uint16_t port) override {
    if (registered_) return true;
    if (!QCoreApplication::instance()) return false;
    name_ = name;
    type_ = type;
    port_ = port;
    if (!Connect() || avahi_client_get_state(client_) == AVAHI_CLIENT_CONNECTING || failed_) {
      Close();  // no daemon now: no registration
      return false;
    }
    registered_ = true;
    return true;
  }

 private:
  // A client that waits for the daemon when it goes (and comes back with it).
  bool Connect() {
    int error = 0;
    failed_ = false;
    AvahiClient* c = avahi_client_new(&kQtPoll, AVAHI_CLIENT_NO_FAIL, &AvahiAnnouncer::OnClient, this, &error);
    if (c) client_ = c;
    return c != nullptr;
  }

  void Close() {
    group_ = nullptr;  // the client frees its groups
    if (client_) avahi_client_free(client_);
    client_ = nullptr;
  }

  static void OnClient(AvahiClient* c, AvahiClientState state, void* self) {
    static_cast<AvahiAnnouncer*>(self)->ClientState(c, state);
  }

  void ClientState(AvahiClient* c, AvahiClientState state) {
    client_ = c;  // the first call comes from inside avahi_client_new
    switch (state) {
      case AVAHI_CLIENT_S_RUNNING:
        Publish();
        break;
      case AVAHI_CLIENT_S_COLLISION:
      case AVAHI_CLIENT_S_REGISTERING:
        // The host's own name is being settled: withdraw, publish again once running.
        if (group_) avahi_entry_group_reset(group_);
        break;
      case AVAHI_CLIENT_CONNECTING:
        // The daemon has gone; this client waits for it to come back.
        Withdrawn();
        break;
      case AVAHI_CLIENT_FAILURE:
        failed_ = true;
        Withdrawn();
        // The connection itself is lost (the bus went): a new client, soon,
        // outside this callback.
        if (registered_) QTimer::singleShot(2000, &context_, [this] { Reconnect(); });
        break;
    }
  }

  void Reconnect() {
    Close();
    if (!Connect()) QTimer::singleShot(2000, &context_, [this] { Reconnect(); });
  }

  void Withdrawn() {
    if (group_) avahi_entry_group_free(group_);
    group_ = nullptr;
    if (registered_ && !lost_) {
      lost_ = true;
      Tell(Event::kLost);
    }
  }

  void Publish() {
    if (!group_) group_ = avahi_entry_group_new(client_, &AvahiAnnouncer::OnGroup, this);
    if (!group_) return;
    if (!avahi_entry_group_is_empty(group_)) return;
    if (avahi_entry_group_add_service(group_, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, static_cast<AvahiPublishFlags>(0),
                                      name_.c_str(), type_.c_str(), nullptr, nullptr, port_, nullptr) < 0 ||
        avahi_entry_group_commit(group_) < 0)
      avahi_entry_group_reset(group_);
  }

  static void OnGroup(AvahiEntryGroup* g, AvahiEntryGroupState state, void* self) {
    static_cast<AvahiAnnouncer*>(self)->GroupState(g, state);
  }

  void GroupState(AvahiEntryGroup* g, AvahiEntryGroupState state) {
    if (g != group_ && group_) return;
    group_ = g;  // the first call may come from inside avahi_entry_group_new
    switch (state) {
      case AVAHI_ENTRY_GROUP_ESTABLISHED:
        if (lost_) {
          lost_ = false;
          Tell(Event::kAnnounced);
        }
        break;
      case AVAHI_ENTRY_GROUP_COLLISION: {
        // Another host announces the same name: "PELN_PROF #2", and so on.
        char* other = avahi_alternative_service_name(name_.c_str());
        if (other) {
          name_ = other;
          avahi_free(other);
        }
        avahi_entry_group_reset(g);
        Publish();
        break;
      }
      case AVAHI_ENTRY_GROUP_UNCOMMITED:
      case AVAHI_ENTRY_GROUP_REGISTERING:
      case AVAHI_ENTRY_GROUP_FAILURE:
        break;
    }
  }

  QObject context_;  // the retries' timers die with the announcer
  AvahiClient* client_ = nullptr;
  AvahiEntryGroup* group_ = nullptr;
  std::string name_, type_;
  uint16_t port_ = 0;
  bool registered_ = false;  // Register succeeded: losses and returns are told
  bool lost_ = false;
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<ServiceAnnouncer> MakeAvahiAnnouncer() { return std::make_unique<AvahiAnnouncer>(); }
