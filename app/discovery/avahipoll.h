#pragma once
// The Avahi client library driven from Qt's event loop: its descriptor watches become
// QSocketNotifiers and its timeouts single-shot QTimers, all on the thread that owns
// the poll. One poll serves any number of clients made on that thread.
#include <avahi-common/watch.h>

namespace quorbit::discovery {

class QtAvahiPoll {
public:
    QtAvahiPoll();
    QtAvahiPoll(const QtAvahiPoll&) = delete;
    QtAvahiPoll& operator=(const QtAvahiPoll&) = delete;
    // Every client made with it must be freed first.
    ~QtAvahiPoll() = default;

    const AvahiPoll* poll() const { return &api_; }

private:
    AvahiPoll api_{};
};

}  // namespace quorbit::discovery
