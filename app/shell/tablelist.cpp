#include "app/shell/tablelist.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <cstdio>
#include <vector>

#include "common/escape.h"
#include "app/shell/cmdline.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "protocol/table_messages.h"

namespace quorbit::shell {
namespace {

constexpr int kAnswerMs = 5000;


std::string_view yesNo(bool on) { return on ? "yes" : "no"; }

}  // namespace

std::optional<HostAndPort> splitHostPort(std::string_view text, int defaultPort) {
    HostAndPort out{std::string(text), defaultPort};
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        out.host = std::string(text.substr(1, close - 1));
        const std::string_view after = text.substr(close + 1);
        if (after.empty()) return out;
        if (after.front() != ':' || !readPort(after.substr(1), out.port)) return std::nullopt;
        return out;
    }
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos && text.find(':', colon + 1) == std::string_view::npos) {
        out.host = std::string(text.substr(0, colon));
        if (!readPort(text.substr(colon + 1), out.port)) return std::nullopt;
    }
    if (out.host.empty()) return std::nullopt;
    return out;
}

int printTables(int argc, char** argv, const std::string& hostPort) {
    QCoreApplication app(argc, argv);
    const auto target = splitHostPort(hostPort, protocol::kPort);
    if (!target) {
        std::fprintf(stderr, "quorbit: --tables needs HOST or HOST:PORT, not \"%s\"\n",
                     quorbit::printableText(hostPort).c_str());
        return 1;
    }
    QTcpSocket socket;
    socket.connectToHost(QString::fromStdString(target->host), static_cast<quint16>(target->port));
    QDeadlineTimer deadline(kAnswerMs);
    const std::string where = quorbit::printableText(hostPort);
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
        std::fprintf(stderr, "quorbit: cannot reach %s: %s\n", where.c_str(),
                     socket.errorString().toLocal8Bit().constData());
        return 1;
    }
    const std::string ask = protocol::frame(protocol::tables::Listtables{}.format());
    socket.write(ask.data(), static_cast<qint64>(ask.size()));

    protocol::LineCutter cutter;
    std::string text;
    for (;;) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            std::fprintf(stderr, "quorbit: %s did not list its tables in time\n", where.c_str());
            return 1;
        }
        const QByteArray bytes = socket.readAll();
        std::vector<std::string> lines;
        cutter.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), lines);
        for (const std::string& line : lines) {
            if (const auto info = protocol::read<protocol::tables::Tableinfo>(line)) {
                text += quorbit::printableText(info->name) + "\tplayers=" + std::to_string(info->players) +
                        " watchers=" + std::to_string(info->watchers) + " running=" + std::string(yesNo(info->running)) +
                        " playto=" + std::to_string(info->playTo) + " seconds=" + std::to_string(info->seconds) +
                        " teams=" + std::string(yesNo(info->teams)) + " zubo=" + quorbit::printableText(info->zubo) +
                        "\n";
            } else if (protocol::read<protocol::tables::Tablesend>(line)) {
                std::fwrite(text.data(), 1, text.size(), stdout);
                return std::fflush(stdout) == 0 ? 0 : 1;
            } else if (protocol::read<protocol::toclient::Sendlogininfo>(line)) {
                // A server that predates tables seats every connection at once.
                std::fprintf(stderr, "quorbit: %s holds one table only\n", where.c_str());
                return 1;
            }
        }
    }
}

}  // namespace quorbit::shell
