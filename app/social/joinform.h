#pragma once
// Tjoin: the "Join a Game" window. It lists the games announced on the local network
// (name, players, running, address; at most kMaxListedGames rows, changed in place), takes an address typed by hand (a host name, IPv4,
// IPv6 with or without brackets, each with an optional ":port") and the player's name,
// and asks for join mode toward the chosen game, or for host mode.
#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "app/discovery/browser.h"

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

signals:
    void joinRequested(const QString& name, const QString& host, int port);
    void hostRequested(const QString& name);

private:
    bool readName(QString& name);
    void showError(const QString& text);
    void gameChosen();

    quorbit::discovery::GameBrowser* browser_ = nullptr;
    int defaultPort_ = 7772;
    QString searchProblem_;
    bool noGames_ = true;
    QTreeWidget* list_games = nullptr;
    QLabel* label_found = nullptr;
    QLineEdit* edit_address = nullptr;
    QLineEdit* edit_name = nullptr;
    QLabel* label_error = nullptr;
    QPushButton* button_join = nullptr;
    QPushButton* button_host = nullptr;
};
