#include "app/record/recordkeeper.h"

#include <QDateTime>
#include <cstdio>

#include "protocol/messages.h"

namespace quorbit::app {

RecordKeeper::RecordKeeper(QString folder)
    : store_(std::move(folder)),
      recorder_(std::string(protocol::kVersion),
                [] { return QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString(); }) {
    clock_.start();
}

RecordKeeper::~RecordKeeper() { closed(); }

void RecordKeeper::received(std::string_view bytes) {
    recorder_.received(bytes, clock_.elapsed());
    saveFinished();
}

void RecordKeeper::line(std::string_view message) {
    recorder_.line(message, clock_.elapsed());
    saveFinished();
}

void RecordKeeper::closed() {
    recorder_.closed(clock_.elapsed());
    saveFinished();
}

void RecordKeeper::saveFinished() {
    for (const record::Record& r : recorder_.takeFinished()) {
        QString error;
        const QString path = store_.save(r, &error);
        if (path.isEmpty()) {
            // A game that cannot be kept must not stop the one being played.
            lastError_ = error;
            std::fprintf(stderr, "quorbit: the game record could not be saved: %s\n", error.toLocal8Bit().constData());
        } else {
            lastSaved_ = path;
        }
    }
}

}  // namespace quorbit::app
