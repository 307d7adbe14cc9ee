#pragma once
// Watches every timer event the application delivers, to whichever object: a program
// that sits idle should receive none, because each one is a wake-up of the process.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTest>
#include <map>
#include <string>

namespace quorbit::testsupport {

class TimerEvents : public QObject {
public:
    TimerEvents() { QCoreApplication::instance()->installEventFilter(this); }
    ~TimerEvents() override { QCoreApplication::instance()->removeEventFilter(this); }
    TimerEvents(const TimerEvents&) = delete;
    TimerEvents& operator=(const TimerEvents&) = delete;

    struct Receiver {
        std::string name;  // class, object name and parent's class, for failure messages
        int events = 0;
    };
    using Counts = std::map<const QObject*, Receiver>;

    // Runs the event loop for `ms` and returns the timer events delivered meanwhile, per
    // receiving object (which may be gone by now: a single-shot timer deletes itself).
    Counts during(int ms) {
        reset();
        QTest::qWait(ms);
        return counts_;
    }
    // The events since construction or the last reset.
    void reset() { counts_.clear(); }
    const Counts& seen() const { return counts_; }
    static int total(const Counts& counts) {
        int n = 0;
        for (const auto& [receiver, r] : counts) n += r.events;
        return n;
    }
    static std::string describe(const Counts& counts) {
        std::string text;
        for (const auto& [receiver, r] : counts) text += r.name + ": " + std::to_string(r.events) + "\n";
        return text;
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() != QEvent::Timer) return false;
        Receiver& r = counts_[receiver];
        if (r.events++ == 0) {
            const QObject* parent = receiver->parent();
            r.name = std::string(receiver->metaObject()->className()) + " '" + receiver->objectName().toStdString() +
                     "' in " + (parent ? parent->metaObject()->className() : "nothing");
        }
        return false;
    }

private:
    Counts counts_;
};

}  // namespace quorbit::testsupport
