// orvanelobby: the lobby of a table server, from which Quorbit games are joined.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/lobby/lobbywindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("orvanelobby");
    quorbit::lobby::Options options;
    QString error;
    if (!quorbit::lobby::parseOptions(QApplication::arguments(), options, error)) {
        std::fprintf(stderr, "orvanelobby: %s\n"
                             "usage: orvanelobby [quorbit://HOST[:PORT]/TABLE] [--server HOST[:PORT]]\n"
                             "                   [--player NAME] [--host ADDRESS] [--mode host|join] [--start]\n"
                             "                   [--game PATH] [--link-port N]\n",
                     error.toUtf8().constData());
        return 2;
    }
    quorbit::lobby::LobbyWindow window(options);
    window.move(0, 0);
    window.show();
    if (options.startNow) QTimer::singleShot(0, &window, [&window] { window.startGame(); });
    return app.exec();
}
