#pragma once
// What orvanelobby is told on its command line.
#include <QString>
#include <QStringList>

namespace quorbit::lobby {

struct Options {
    QString game;          // the game program
    quint16 linkPort = 9001;
    QString settingsPath;  // orvanelobby.ini in the program's data folder unless set
    QString server;        // --server HOST[:PORT]: connect to this table server at once
    QString link;          // an invite link given as the argument
    // Starting a game at once without a server (--start): the name, the host address
    // and whether to host.
    QString name;
    QString host = "127.0.0.1";
    bool hosting = true;
    bool startNow = false;
};

// Reads --game PATH, --link-port N, --server HOST[:PORT], --player NAME, --host TEXT,
// --mode host|join, --start (not --name: Qt takes that one for itself) and one invite link
// (quorbit://...) as an argument of its own; the game defaults to "quorbit" beside this
// program. False (with the reason) for an option it does not know or a value that does
// not read.
bool parseOptions(const QStringList& args, Options& out, QString& error);

}  // namespace quorbit::lobby
