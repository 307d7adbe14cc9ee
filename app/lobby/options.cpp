#include "app/lobby/options.h"

#include <QCoreApplication>
#include <QDir>

namespace quorbit::lobby {

bool parseOptions(const QStringList& args, Options& out, QString& error) {
    out.game = QDir(QCoreApplication::applicationDirPath()).filePath("quorbit");
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        QString v;
        if (a == "--start") {
            out.startNow = true;
        } else if (a == "--game") {
            if (!value(out.game)) return false;
        } else if (a == "--player") {
            if (!value(out.name)) return false;
        } else if (a == "--host") {
            if (!value(out.host)) return false;
        } else if (a == "--server") {
            if (!value(out.server)) return false;
        } else if (a == "--mode") {
            if (!value(v)) return false;
            if (v != "host" && v != "join") {
                error = "--mode is host or join";
                return false;
            }
            out.hosting = v == "host";
        } else if (a == "--link-port") {
            if (!value(v)) return false;
            bool ok = false;
            const int port = v.toInt(&ok);
            if (!ok || port < 0 || port > 65535) {
                error = "--link-port needs a port number, 0 (any free one) to 65535";
                return false;
            }
            out.linkPort = static_cast<quint16>(port);
        } else if (a.startsWith("quorbit:", Qt::CaseInsensitive) && out.link.isEmpty()) {
            // Whether it reads as a link the window says; the desktop hands it over as it was clicked.
            out.link = a;
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    return true;
}

}  // namespace quorbit::lobby
