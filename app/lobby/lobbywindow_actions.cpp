// What the lobby window's buttons do: connecting, joining and watching, making a table,
// chat, invite links, and starting the game.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>

#include "app/client/chatbox.h"
#include "app/lobby/accountdialogs.h"
#include "app/lobby/gamelink.h"
#include "app/lobby/lobbyconnection.h"
#include "app/lobby/lobbylists.h"
#include "app/lobby/lobbywindow.h"
#include "app/shell/cmdline.h"
#include "discovery/address.h"
#include "protocol/address.h"
#include "protocol/limits.h"

namespace quorbit::lobby {
namespace {

using Kind = client::LobbyChange::Kind;

QString utf8Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

QString LobbyWindow::playerName() const {
    const std::string& kept = lists_->book().ownName();
    return !kept.empty() ? utf8Text(kept) : edit_name->text().trimmed();
}

bool LobbyWindow::refuse(const QString& why) {
    setStatus(why, true);
    GameLink::report("refused: " + why);
    emit refused(why);
    return false;
}

bool LobbyWindow::connectToServer() {
    const QString name = edit_name->text().trimmed();
    const std::string kept = protocol::cleanName(name.toStdString());
    if (!protocol::usableName(kept)) {
        edit_name->setFocus();
        return refuse("Please enter your name.");
    }
    // The game takes the name as its first word: one that begins with "-" would read as an option.
    if (shell::looksLikeOption(kept)) return refuse(utf8Text(std::string(shell::kDashNameRefused)));
    const QString typed = combo_server->currentText().trimmed();
    const QString text = combo_server->currentIndex() >= 0 && combo_server->currentText() == combo_server->itemText(combo_server->currentIndex())
                             ? combo_server->currentData().toString()
                             : typed;
    const discovery::JoinAddress address = discovery::parseJoinAddress(text.toStdString(), discovery::kInvitePort);
    if (!address.ok()) return refuse(utf8Text(address.error));
    settings_.rememberName(name);
    settings_.rememberServer(utf8Text(discovery::formatJoinAddress(address.host, address.port, discovery::kInvitePort)));
    lists_->clear();
    lists_->setOwnServer(utf8Text(discovery::formatServerAddress(address.host, address.port)));
    lobbychat->clear();
    setStatus("Connecting to " + utf8Text(discovery::formatServerAddress(address.host, address.port)) + "...");
    connection_->open(utf8Text(address.host), address.port);
    return true;
}

bool LobbyWindow::openInviteLink(const QString& text) {
    const discovery::InviteLinkRead read = discovery::parseInviteLink(text.toStdString());
    if (!read.ok()) return refuse(utf8Text(read.error));
    const discovery::InviteLink& link = read.link;
    const QString server = utf8Text(discovery::formatJoinAddress(link.host, link.port, discovery::kInvitePort));
    pending_ = link;
    const bool here = connection_->isOpen() && lists_->book().ready() && connection_->host() == utf8Text(link.host) &&
                      connection_->port() == link.port;
    if (here) {
        reachPending();
        return true;
    }
    combo_server->setEditText(server);
    if (edit_name->text().trimmed().isEmpty()) {
        setStatus("Type your name, then Connect, to go to " + (link.namesTable() ? "the table " + utf8Text(link.table)
                                                               : link.isPrivate() ? QString("the private table")
                                                                                  : "the server " + server) + ".");
        edit_name->setFocus();
        return true;
    }
    return connectToServer();
}

// After entering the lobby: the table an invite link named.
void LobbyWindow::reachPending() {
    if (!pending_) return;
    const discovery::InviteLink link = *pending_;
    pending_.reset();
    if (link.isPrivate())
        joinPrivate(link.code);
    else if (link.namesTable())
        joinTable(link.table, false);
}

void LobbyWindow::receive(const std::vector<std::string>& lines) {
    for (const client::LobbyChange& c : lists_->apply(lines)) handle(c);
}

void LobbyWindow::handle(const client::LobbyChange& c) {
    switch (c.kind) {
        case Kind::Named:
            setStatus("In the lobby of " + connection_->host() + " as " + utf8Text(c.name) + ".");
            break;
        case Kind::Ready:
            setStatus(QString("In the lobby of %1 as %2: %3 tables, %4 online.")
                          .arg(connection_->host(), playerName())
                          .arg(lists_->book().tables().size())
                          .arg(lists_->book().people().size()));
            updateAccountActions();
            emit lobbyReady();
            reachPending();
            // An account logged in to last time: offer to log in to it again.
            if (offerLogin_ && connection_->encrypted() && !lists_->book().loggedIn()) {
                offerLogin_ = false;
                openAccountDialog(static_cast<int>(AccountDialog::Kind::LogIn));
            }
            break;
        case Kind::Said:
            lobbychat->addlinetochat(utf8Text(c.name) + ": " + utf8Text(c.text), Qt::black);
            emit chatArrived(utf8Text(c.name), utf8Text(c.text));
            break;
        case Kind::TableMade: {
            emit tableMade(utf8Text(c.name), utf8Text(c.text));
            if (!joinMade_) break;
            joinMade_ = false;
            if (!c.text.empty()) {
                lastPrivate_ = discovery::InviteLink{connection_->host().toStdString(), connection_->port(), {}, c.text};
                const QString invite = copyInviteLink();
                say("Your private table " + utf8Text(c.name) + " is made. Its invite link is copied: " + invite);
                joinPrivate(c.text);
            } else {
                say("Your table " + utf8Text(c.name) + " is made.");
                joinTable(c.name, false);
            }
            break;
        }
        case Kind::TableRefused:
            joinMade_ = false;
            refuse(utf8Text(c.text));
            break;
        default: handleAccount(c); break;
    }
}

const client::LobbyTable* LobbyWindow::selectedTable() const {
    const QModelIndexList rows = list_tables->selectionModel()->selectedRows();
    if (rows.isEmpty()) return nullptr;
    const int row = sortedTables_->mapToSource(rows.first()).row();
    const auto& tables = lists_->book().tables();
    return row >= 0 && static_cast<std::size_t>(row) < tables.size() ? &tables[static_cast<std::size_t>(row)] : nullptr;
}

bool LobbyWindow::selectTable(const QString& name, const QString& server) {
    const long row = lists_->book().tableRow(name.toStdString(), server.toStdString());
    if (row < 0) return false;
    const QModelIndex at = sortedTables_->mapFromSource(lists_->tables()->index(static_cast<int>(row), 0));
    list_tables->selectionModel()->select(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_tables->scrollTo(at);
    return true;
}

bool LobbyWindow::joinSelected(bool watch) {
    const client::LobbyTable* table = selectedTable();
    if (!table) return refuse("Choose a table in the list first.");
    return joinTable(table->name, watch, table->server);
}

// The host and port of a table's server: the lobby's own, or another server's HOST:PORT.
std::optional<protocol::HostAndPort> LobbyWindow::tableServer(const std::string& server) const {
    if (server.empty()) return protocol::HostAndPort{connection_->host().toStdString(), connection_->port()};
    return protocol::splitHostPort(server, discovery::kInvitePort);
}

bool LobbyWindow::joinTable(const std::string& table, bool watch, const std::string& server) {
    if (!connection_->isOpen()) return refuse("Connect to a server first.");
    const auto at = tableServer(server);
    if (!at) return refuse("The table's server has an address that does not read: " + utf8Text(server));
    QStringList params{playerName(), utf8Text(table.empty() ? discovery::formatServerAddress(at->host, at->port)
                                                      : discovery::formatTableAddress(at->host, at->port, table)),
                       "false"};
    if (watch) params << "--watch";
    return launch(params);
}

bool LobbyWindow::joinPrivate(const std::string& code) {
    if (!connection_->isOpen()) return refuse("Connect to a server first.");
    return launch({playerName(),
                   utf8Text(discovery::formatServerAddress(connection_->host().toStdString(), connection_->port())), "false",
                   "--invite", utf8Text(code)});
}

bool LobbyWindow::launch(const QStringList& params, const QString& password) {
    QString why;
    if (!link_->start(params, why, password)) return refuse(why);
    setStatus("Starting the game: " + params.mid(1).join(" "));
    emit gameStarted(params);
    return true;
}

bool LobbyWindow::makeTable(const client::TableRequest& request) {
    if (!connection_->isOpen() || !lists_->book().ready()) return refuse("Connect to a server first.");
    joinMade_ = true;
    connection_->send(client::LobbyModel::makeTableLine(request));
    setStatus("Making the table " + utf8Text(request.name) + "...");
    return true;
}

bool LobbyWindow::sendChat(const QString& text) {
    const std::string line = client::LobbyModel::chatLine(text.toStdString());
    if (line.empty()) return false;
    if (!connection_->send(line)) return refuse("Connect to a server first.");
    return true;
}

QString LobbyWindow::copyInviteLink() {
    std::optional<discovery::InviteLink> link;
    const client::LobbyTable* table = selectedTable();
    const auto at = table && connection_->isOpen() ? tableServer(table->server) : std::nullopt;
    if (at)
        link = discovery::InviteLink{at->host, at->port, table->name, {}};
    else if (lastPrivate_)
        link = lastPrivate_;
    if (!link) {
        refuse("Choose a table in the list first.");
        return {};
    }
    const QString text = utf8Text(discovery::formatInviteLink(*link));
    QApplication::clipboard()->setText(text);
    setStatus("Copied the invite link " + text);
    return text;
}

// Starting the game at once, without a server: from the command line's --player, --host
// and --mode.
bool LobbyWindow::startGame() {
    const QString name = options_.name.trimmed();
    const QString host = options_.host.trimmed();
    if (name.isEmpty()) return refuse("Please enter your name.");
    if (!options_.hosting && host.isEmpty()) return refuse("Please enter the host address.");
    if (shell::looksLikeOption(name.toStdString())) return refuse(utf8Text(std::string(shell::kDashNameRefused)));
    if (!options_.hosting && shell::looksLikeOption(host.toStdString()))
        return refuse("An address cannot begin with \"-\".");
    return launch({name, host.isEmpty() ? QString("127.0.0.1") : host, options_.hosting ? "true" : "false"});
}

}  // namespace quorbit::lobby
