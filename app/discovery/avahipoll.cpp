#include "app/discovery/avahipoll.h"

#include <sys/time.h>

#include <QSocketNotifier>
#include <QTimer>
#include <climits>
#include <memory>

// The library names these two types and leaves their insides to the poll.
struct AvahiWatch {
    int fd = -1;
    AvahiWatchEvent wanted = static_cast<AvahiWatchEvent>(0);
    AvahiWatchEvent happened = static_cast<AvahiWatchEvent>(0);  // inside the callback only
    AvahiWatchCallback callback = nullptr;
    void* userdata = nullptr;
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;
    // Cleared when the library frees the watch, possibly from inside its own callback.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

struct AvahiTimeout {
    QTimer* timer = nullptr;
    AvahiTimeoutCallback callback = nullptr;
    void* userdata = nullptr;
};

namespace quorbit::discovery {
namespace {

// How deep the library's callbacks run on this thread: inside one, the notifier or
// timer that called may be the one being freed, so it is deleted once control returns.
thread_local int callbackDepth = 0;

struct InCallback {
    InCallback() { ++callbackDepth; }
    ~InCallback() { --callbackDepth; }
};

void dispose(QObject* o) {
    if (callbackDepth > 0)
        o->deleteLater();
    else
        delete o;
}

void fireWatch(AvahiWatch* w, AvahiWatchEvent event) {
    const std::shared_ptr<bool> alive = w->alive;
    InCallback in;
    w->happened = event;
    w->callback(w, w->fd, event, w->userdata);
    if (*alive) w->happened = static_cast<AvahiWatchEvent>(0);
}

void arm(AvahiWatch* w) {
    if (w->read) w->read->setEnabled((w->wanted & AVAHI_WATCH_IN) != 0);
    if (w->write) w->write->setEnabled((w->wanted & AVAHI_WATCH_OUT) != 0);
}

AvahiWatch* watchNew(const AvahiPoll*, int fd, AvahiWatchEvent event, AvahiWatchCallback callback, void* userdata) {
    auto* w = new AvahiWatch;
    w->fd = fd;
    w->wanted = event;
    w->callback = callback;
    w->userdata = userdata;
    w->read = new QSocketNotifier(fd, QSocketNotifier::Read);
    w->write = new QSocketNotifier(fd, QSocketNotifier::Write);
    QObject::connect(w->read, &QSocketNotifier::activated, [w] { fireWatch(w, AVAHI_WATCH_IN); });
    QObject::connect(w->write, &QSocketNotifier::activated, [w] { fireWatch(w, AVAHI_WATCH_OUT); });
    arm(w);
    return w;
}

void watchUpdate(AvahiWatch* w, AvahiWatchEvent event) {
    w->wanted = event;
    arm(w);
}

AvahiWatchEvent watchGetEvents(AvahiWatch* w) { return w->happened; }

void watchFree(AvahiWatch* w) {
    *w->alive = false;
    for (QSocketNotifier* n : {w->read, w->write}) {
        n->setEnabled(false);
        n->disconnect();
        dispose(n);
    }
    delete w;
}

// Milliseconds from now until the absolute time `tv` (0 when it has passed).
int msUntil(const struct timeval* tv) {
    timeval now{};
    ::gettimeofday(&now, nullptr);
    const long long ms = (static_cast<long long>(tv->tv_sec) - now.tv_sec) * 1000 +
                         (static_cast<long long>(tv->tv_usec) - now.tv_usec) / 1000;
    return ms <= 0 ? 0 : ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

void timeoutUpdate(AvahiTimeout* t, const struct timeval* tv) {
    if (!tv) {
        t->timer->stop();
        return;
    }
    t->timer->start(msUntil(tv));
}

AvahiTimeout* timeoutNew(const AvahiPoll*, const struct timeval* tv, AvahiTimeoutCallback callback,
                         void* userdata) {
    auto* t = new AvahiTimeout;
    t->callback = callback;
    t->userdata = userdata;
    t->timer = new QTimer;
    t->timer->setSingleShot(true);
    QObject::connect(t->timer, &QTimer::timeout, [t] {
        InCallback in;
        t->callback(t, t->userdata);
    });
    timeoutUpdate(t, tv);
    return t;
}

void timeoutFree(AvahiTimeout* t) {
    t->timer->stop();
    t->timer->disconnect();
    dispose(t->timer);
    delete t;
}

}  // namespace

QtAvahiPoll::QtAvahiPoll() {
    api_.userdata = this;
    api_.watch_new = watchNew;
    api_.watch_update = watchUpdate;
    api_.watch_get_events = watchGetEvents;
    api_.watch_free = watchFree;
    api_.timeout_new = timeoutNew;
    api_.timeout_update = timeoutUpdate;
    api_.timeout_free = timeoutFree;
}

}  // namespace quorbit::discovery
