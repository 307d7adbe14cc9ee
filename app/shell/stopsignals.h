#pragma once
// SIGINT and SIGTERM end the program the orderly way: the signal only writes a byte to
// a pipe, and the event loop then runs `onStop`, so every destructor runs (the word file
// the server wrote is removed again, the tally and settings are saved).
#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace quorbit::shell {

class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(std::function<void()> onStop, QObject* parent = nullptr);
    ~StopSignals() override;
    // False when the pipe could not be made (the signals then keep their default action).
    bool installed() const { return notifier_ != nullptr; }

private:
    std::function<void()> onStop_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quorbit::shell
