#pragma once
// The single-instance guard and the running marker.
//
// The guard is a local socket named after the guard name, the user and the desktop
// session. The first instance listens on it; a later one that reaches it asks the first
// to bring its window forward and is told to end. The running marker is a second local
// socket, "quorbit", that other local programs may look for; the game never tests it.
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace quorbit::shell {

// The per-user, per-session name for `guard`: user, display and, when set, the data
// folder (two players on one account with their own data folders are two instances).
QString instanceKey(const QString& guard);

class InstanceGuard : public QObject {
    Q_OBJECT
public:
    explicit InstanceGuard(QString key, QObject* parent = nullptr);
    ~InstanceGuard() override;

    // True when another instance runs; it has then been asked to come forward. When
    // the guard cannot be set up at all, the answer is false: this one runs.
    bool anotherInstanceRuns(int waitMs = 500);
    // Lets a later instance run (this one is about to end and hand over to it).
    void release();

signals:
    void activateRequested();  // a later instance asked this one to come forward

private:
    QString key_;
    std::unique_ptr<QLocalServer> server_;
};

class RunningMarker {
public:
    explicit RunningMarker(const QString& name);
    ~RunningMarker();
    bool held() const;

private:
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace quorbit::shell
