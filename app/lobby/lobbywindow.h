#pragma once
// The lobby window of orvanelobby: a table server's address (servers announced on the
// local network offered first) and the player's name, both remembered; the public tables,
// updated live; who is online and where; the lobby's chat; "Make a Table", "Join",
// "Watch" and "Copy Invite Link". Joining starts the game at that table with its three
// parameters; the lobby hides while the game's silent link is open and shows again when
// it closes, and its own connection to the server stays open meanwhile.
#include <QWidget>
#include <memory>
#include <optional>

#include "app/client/settingsfile.h"
#include "app/lobby/options.h"
#include "client/lobby_model.h"
#include "discovery/invite_link.h"
#include "protocol/address.h"

class QAction;
class QComboBox;
class QToolButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class Tjoin;

namespace quorbit::app {
class ChatBox;
}
namespace quorbit::discovery {
class GameBrowser;
}

namespace quorbit::lobby {

class GameLink;
class LeaderboardDialog;
class RecentGamesDialog;
class LobbyConnection;
class LobbyLists;

class LobbyWindow : public QWidget {
    Q_OBJECT
public:
    explicit LobbyWindow(const Options& options, QWidget* parent = nullptr);
    ~LobbyWindow() override;

    // Connects to the server in the address field under the name in the name field;
    // false (with the reason shown) when either does not read.
    bool connectToServer();
    // Takes the player to the table of an invite link: connects to its server when it is
    // another, then joins. False (with the reason shown) for a text that is no link.
    bool openInviteLink(const QString& link);
    // The selected table: Join, Watch; false with the reason shown.
    bool joinSelected(bool watch);
    // Asks the server for a table; its answer comes as tableMade or refused.
    bool makeTable(const client::TableRequest& request);
    bool sendChat(const QString& text);
    // The selected table's invite link, else the last private table's made here; put on
    // the clipboard. Empty when there is neither.
    QString copyInviteLink();
    // Starts the game at once without a server (--start).
    bool startGame();
    // "Games on this network": the window that joins games announced nearby.
    Tjoin& showNetworkGames();

    // Accounts (lobbywindow_account.cpp). Logging in or registering connects anew and
    // logs in before entering the lobby, under the account's name; only over an encrypted
    // connection. Logging out is connecting anew as a guest.
    bool logIn(const QString& name, const QString& password, bool registering = false);
    void logOut();
    bool changePassword(const QString& oldPassword, const QString& newPassword);
    bool deleteAccount(const QString& password);
    // The leaderboard, and a player's recent games with the rating chart.
    LeaderboardDialog& showLeaderboard();
    RecentGamesDialog& showRecentGames(const QString& name);
    // The person picked in the online list, else the player.
    QString pickedPerson() const;
    LobbyConnection& connection() { return *connection_; }

    // Takes lines from the server, as a read of the connection brings them.
    void receive(const std::vector<std::string>& lines);

    const LobbyLists& lists() const { return *lists_; }
    GameLink& link() { return *link_; }
    QString statusText() const;
    // Selects the table of that name (of another server: its HOST:PORT) in the list;
    // false when it is not listed.
    bool selectTable(const QString& name, const QString& server = {});

signals:
    void lobbyReady();
    void tablesChanged();
    void chatArrived(const QString& name, const QString& text);
    void tableMade(const QString& name, const QString& code);
    void refused(const QString& why);
    void gameStarted(const QStringList& params);
    void connectionEnded(const QString& why);
    void loggedIn(const QString& account);
    void accountAnswered(const QString& text);  // a refusal or a change done, as the server said it
    void leaderboardShown(const QString& model);
    void historyShown(const QString& name);

private:
    void buildLayout();
    void buildAccountMenu();
    void updateAccountActions();
    void enterLobby();
    void handleAccount(const client::LobbyChange& c);
    void openAccountDialog(int kind);
    void wire();
    void handle(const client::LobbyChange& c);
    void reachPending();
    // At the lobby's own server, or at another one (its HOST:PORT).
    bool joinTable(const std::string& table, bool watch, const std::string& server = {});
    std::optional<protocol::HostAndPort> tableServer(const std::string& server) const;
    bool joinPrivate(const std::string& code);
    bool launch(const QStringList& params, const QString& password = {});
    bool refuse(const QString& why);
    void say(const QString& text);  // a notice of the lobby's own in the chat box
    void setStatus(const QString& text, bool problem = false);
    void offerServers();
    QString playerName() const;
    const client::LobbyTable* selectedTable() const;

    Options options_;
    app::SettingsFile settings_;
    LobbyConnection* connection_;
    LobbyLists* lists_;
    GameLink* link_;
    std::unique_ptr<discovery::GameBrowser> browser_;
    std::unique_ptr<Tjoin> join_;
    std::optional<discovery::InviteLink> pending_;  // where to go once in the lobby
    std::optional<discovery::InviteLink> lastPrivate_;
    bool joinMade_ = false;  // go to the next table made here
    // A login or registration waiting for the connection, to go before entering the lobby.
    struct PendingLogin {
        QString name;
        QString password;
        bool registering = false;
        bool sent = false;
    };
    std::optional<PendingLogin> login_;
    bool offerLogin_ = false;  // an account is remembered: offer to log in to it

    QComboBox* combo_server = nullptr;
    QLineEdit* edit_name = nullptr;
    QPushButton* button_connect = nullptr;
    QLabel* label_status = nullptr;
    QTableView* list_tables = nullptr;
    QSortFilterProxyModel* sortedTables_ = nullptr;
    QTableView* list_people = nullptr;
    app::ChatBox* lobbychat = nullptr;
    QLineEdit* edit_chat = nullptr;
    QPushButton* button_make = nullptr;
    QPushButton* button_join = nullptr;
    QPushButton* button_watch = nullptr;
    QPushButton* button_invite = nullptr;
    QToolButton* button_account = nullptr;
    QAction* action_login = nullptr;
    QAction* action_register = nullptr;
    QAction* action_password = nullptr;
    QAction* action_delete = nullptr;
    QAction* action_logout = nullptr;
    QPushButton* button_leaderboard = nullptr;
    QPushButton* button_recent = nullptr;
    LeaderboardDialog* leaderboard_ = nullptr;
    RecentGamesDialog* recent_ = nullptr;
};

}  // namespace quorbit::lobby
