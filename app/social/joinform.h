#pragma once
// Tjoin: the "Join a Game" window. It lists the games announced on the local network
// (name, players, running, address; at most kMaxListedGames rows, changed in place), takes an address typed by hand (a host name, IPv4,
// IPv6 with or without brackets, each with an optional ":port"), a table and the player's
// name, and asks for join mode toward the chosen game, or for host mode.
//
// A table server's tables are listed (net::TableLister) when a game that announces tables
// is chosen, or on "List Tables" for the address typed; choosing a listed table fills the
// table field.
//
// An optional password logs in to the account of the name typed, at a server that speaks
// TLS: it travels with the join request, in memory, and the field is emptied once it is
// handed on; it is never kept in the settings.
#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "app/discovery/browser.h"
#include "app/net/tablelister.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class Tjoin : public QDialog {
    Q_OBJECT
public:
    explicit Tjoin(QWidget* parent = nullptr);

    // Follows a browser's list (nullptr: none; the list stays as set by setGames).
    void attachBrowser(quorbit::discovery::GameBrowser* browser);
    void setGames(const std::vector<quorbit::discovery::FoundGame>& games);
    // Why games on the network cannot be looked for (empty: they can), said in place of
    // "none found yet".
    void setSearchProblem(const QString& why);
    // The game port, used when the address names none and left out when it is this one.
    void setDefaultPort(int port) { defaultPort_ = port; }
    void setPlayerName(const QString& name);
    QString playerName() const;
    QString errorText() const;
    void showOver(QWidget* over);

    // The buttons' handlers: false (with the reason shown) when a field does not read.
    bool joinClick();
    bool hostClick();
    // Lists the tables of the server at the address typed; false (with the reason shown)
    // when the address does not read.
    bool listTablesClick();
    // Shows a server's tables (what a listing brought); `more` were left out.
    void setTables(const quorbit::net::TableLister::Tables& tables, std::size_t more = 0);
    QString table() const;
    static constexpr std::size_t kMaxListedTables = 500;

signals:
    // `table` is empty when none is named, `password` when none is given.
    void joinRequested(const QString& name, const QString& host, int port, const QString& table,
                       const QString& password);
    void hostRequested(const QString& name);

private:
    bool readName(QString& name);
    bool readPassword(QString& password);
    void showError(const QString& text);
    void gameChosen();
    void tableChosen();
    void listTablesAt(const std::string& host, int port, const QString& shown);
    void showTablesNote(const QString& text);

    quorbit::discovery::GameBrowser* browser_ = nullptr;
    int defaultPort_ = 7772;
    QString searchProblem_;
    bool noGames_ = true;
    QTreeWidget* list_games = nullptr;
    QLabel* label_found = nullptr;
    QLineEdit* edit_address = nullptr;
    QLineEdit* edit_name = nullptr;
    QLineEdit* edit_password = nullptr;
    QLabel* label_password = nullptr;
    QLineEdit* edit_table = nullptr;
    QPushButton* button_tables = nullptr;
    QLabel* label_tables = nullptr;
    QTreeWidget* list_tables = nullptr;
    quorbit::net::TableLister* lister_ = nullptr;
    QString listedAt_;  // the address whose tables are listed or asked for
    QLabel* label_error = nullptr;
    QPushButton* button_join = nullptr;
    QPushButton* button_host = nullptr;
};
