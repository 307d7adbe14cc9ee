#pragma once
// RecordKeeper: records the games seen on one connection (or by a server) and saves
// each finished one in a records folder. Time comes from a monotonic clock.
#include <QElapsedTimer>
#include <QString>
#include <string_view>

#include "record/recorder.h"
#include "app/record/recordstore.h"

namespace quorbit::app {

class RecordKeeper {
public:
    explicit RecordKeeper(QString folder);
    ~RecordKeeper();  // a game still being recorded is saved as ended

    void received(std::string_view bytes);  // bytes read from the server
    void line(std::string_view message);    // one whole line (a server's onlooker lines)
    void closed();                          // the connection ended

    const RecordStore& store() const { return store_; }
    const QString& lastSaved() const { return lastSaved_; }
    const QString& lastError() const { return lastError_; }

private:
    void saveFinished();

    RecordStore store_;
    QElapsedTimer clock_;
    record::Recorder recorder_;
    QString lastSaved_;
    QString lastError_;
};

}  // namespace quorbit::app
