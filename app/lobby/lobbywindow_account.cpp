// The lobby window's account menu and rating views: logging in before entering the lobby,
// registering, changing the password, deleting the account, logging out, the leaderboard
// and a player's recent games.
#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolButton>

#include "app/client/chatbox.h"
#include "app/lobby/accountdialogs.h"
#include "app/lobby/gamelink.h"
#include "app/lobby/lobbyconnection.h"
#include "app/lobby/lobbylists.h"
#include "app/lobby/lobbywindow.h"
#include "app/lobby/ratingviews.h"

namespace quorbit::lobby {
namespace {

using Kind = client::LobbyChange::Kind;
using DialogKind = AccountDialog::Kind;

QString utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string bytes(const QString& s) { return s.toUtf8().toStdString(); }

constexpr const char* kNotEncrypted = "Passwords travel only over an encrypted connection.";

}  // namespace

void LobbyWindow::buildAccountMenu() {
    button_account = new QToolButton(this);
    button_account->setObjectName("button_account");
    button_account->setText("&Account");
    button_account->setAccessibleName("Account");
    button_account->setPopupMode(QToolButton::InstantPopup);
    button_account->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* menu = new QMenu(button_account);
    menu->setObjectName("menu_account");
    menu->setToolTipsVisible(true);
    auto add = [&](const QString& text, const char* name, int kind) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        if (kind >= 0) connect(a, &QAction::triggered, this, [this, kind] { openAccountDialog(kind); });
        return a;
    };
    action_login = add("Log In...", "action_login", static_cast<int>(DialogKind::LogIn));
    action_register = add("Register...", "action_register", static_cast<int>(DialogKind::Register));
    action_password = add("Change Password...", "action_password", static_cast<int>(DialogKind::ChangePassword));
    action_delete = add("Delete Account...", "action_delete", static_cast<int>(DialogKind::Delete));
    menu->addSeparator();
    action_logout = add("Log Out", "action_logout", -1);
    connect(action_logout, &QAction::triggered, this, [this] { logOut(); });
    button_account->setMenu(menu);

    button_leaderboard = new QPushButton("&Leaderboard", this);
    button_leaderboard->setObjectName("button_leaderboard");
    button_recent = new QPushButton("&Recent Games", this);
    button_recent->setObjectName("button_recent");
    button_recent->setToolTip("The rated games of the person picked in the list, else your own");
    connect(button_leaderboard, &QPushButton::clicked, this, [this] { showLeaderboard(); });
    connect(button_recent, &QPushButton::clicked, this, [this] { showRecentGames(pickedPerson()); });
    updateAccountActions();
}

// Accounts are offered only over an encrypted connection; each action says why when it
// is off.
void LobbyWindow::updateAccountActions() {
    if (!button_account) return;
    const bool inLobby = connection_->isOpen() && lists_->book().ready();
    const bool secure = inLobby && connection_->encrypted();
    const bool in = lists_->book().loggedIn();
    const QString why = !inLobby ? "Connect to a server first."
                                 : "This connection is not encrypted, and passwords travel only over an encrypted connection.";
    for (QAction* a : {action_login, action_register}) {
        a->setEnabled(secure);
        a->setToolTip(secure ? QString() : why);
    }
    for (QAction* a : {action_password, action_delete}) {
        a->setEnabled(secure && in);
        a->setToolTip(!secure ? why : in ? QString() : "Log in first.");
    }
    action_logout->setEnabled(in);
    button_account->setText(in ? "&Account: " + utf8(lists_->book().account().name) : "&Account");
    button_account->setToolTip(secure ? QString() : why);
    button_leaderboard->setEnabled(inLobby);
    button_recent->setEnabled(inLobby);
}

void LobbyWindow::openAccountDialog(int kind) {
    auto* dialog = new AccountDialog(static_cast<DialogKind>(kind), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QString remembered = settings_.rememberedAccount();
    dialog->setName(!remembered.isEmpty() ? remembered : edit_name->text().trimmed());
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        switch (dialog->kind()) {
            case DialogKind::LogIn: logIn(dialog->name(), dialog->password()); break;
            case DialogKind::Register: logIn(dialog->name(), dialog->password(), true); break;
            case DialogKind::ChangePassword: changePassword(dialog->password(), dialog->newPassword()); break;
            case DialogKind::Delete: deleteAccount(dialog->password()); break;
        }
    });
    dialog->open();
}

bool LobbyWindow::logIn(const QString& name, const QString& password, bool registering) {
    if (!connection_->isOpen() || !connection_->encrypted()) return refuse(kNotEncrypted);
    login_ = PendingLogin{name.trimmed(), password, registering, false};
    edit_name->setText(name.trimmed());
    return connectToServer();
}

void LobbyWindow::logOut() {
    login_.reset();
    settings_.rememberAccount({});
    connectToServer();
}

bool LobbyWindow::changePassword(const QString& oldPassword, const QString& newPassword) {
    if (!connection_->encrypted()) return refuse(kNotEncrypted);
    if (!lists_->book().loggedIn()) return refuse("Log in first.");
    connection_->send(client::LobbyModel::newPasswordLine(bytes(oldPassword), bytes(newPassword)));
    return true;
}

bool LobbyWindow::deleteAccount(const QString& password) {
    if (!connection_->encrypted()) return refuse(kNotEncrypted);
    if (!lists_->book().loggedIn()) return refuse("Log in first.");
    connection_->send(client::LobbyModel::deleteAccountLine(bytes(password)));
    return true;
}

// On connecting: a login waiting goes first (over an encrypted connection only), and the
// lobby is entered under the account's name once it is answered; else at once.
void LobbyWindow::enterLobby() {
    link_->setSession({});
    if (login_ && connection_->encrypted()) {
        login_->sent = true;
        connection_->send(client::LobbyModel::loginLine(bytes(login_->name), bytes(login_->password), login_->registering));
        login_->password.fill(QChar(0));
        login_->password.clear();
        setStatus((login_->registering ? "Registering " : "Logging in as ") + login_->name + "...");
        return;
    }
    if (login_) {
        login_.reset();
        say(kNotEncrypted);
    }
    connection_->send(client::LobbyModel::enterLine(playerName().toStdString()));
    setStatus("Entering the lobby of " + connection_->host() + "...");
}

void LobbyWindow::handleAccount(const client::LobbyChange& c) {
    switch (c.kind) {
        case Kind::LoggedIn: {
            const QString account = utf8(c.name);
            link_->setSession(utf8(lists_->book().account().token));
            settings_.rememberAccount(account);
            edit_name->setText(account);
            say("You are logged in as " + account + ".");
            if (login_ && login_->sent) {
                login_.reset();
                connection_->send(client::LobbyModel::enterLine(bytes(account)));
            }
            emit loggedIn(account);
            break;
        }
        case Kind::AccountRefused:
            say(utf8(c.text));
            refuse(utf8(c.text));
            emit accountAnswered(utf8(c.text));
            // A refused login still enters the lobby, as a guest.
            if (login_ && login_->sent) {
                login_.reset();
                connection_->send(client::LobbyModel::enterLine(playerName().toStdString()));
            }
            break;
        case Kind::AccountDone:
            say(utf8(c.text));
            setStatus(utf8(c.text));
            if (c.text == client::kAccountDeleted) {
                settings_.rememberAccount({});
                link_->setSession({});
            }
            emit accountAnswered(utf8(c.text));
            break;
        case Kind::Leaderboard:
            if (leaderboard_) leaderboard_->show(c.text, lists_->book().leaders(c.text));
            emit leaderboardShown(utf8(c.text));
            break;
        case Kind::History:
            if (recent_) recent_->show(lists_->book().history());
            emit historyShown(utf8(c.name));
            break;
        default: return;
    }
    updateAccountActions();
}

QString LobbyWindow::pickedPerson() const {
    const QModelIndexList rows = list_people->selectionModel()->selectedRows();
    if (!rows.isEmpty()) {
        const int row = static_cast<QSortFilterProxyModel*>(list_people->model())->mapToSource(rows.first()).row();
        const auto& people = lists_->book().people();
        if (row >= 0 && static_cast<std::size_t>(row) < people.size()) return utf8(people[static_cast<std::size_t>(row)].name);
    }
    return playerName();
}

LeaderboardDialog& LobbyWindow::showLeaderboard() {
    if (!leaderboard_) leaderboard_ = new LeaderboardDialog(this);
    for (const char* model : {"duel", "group"}) {
        leaderboard_->show(model, lists_->book().leaders(model));
        connection_->send(client::LobbyModel::leaderboardLine(model));
    }
    leaderboard_->show();
    leaderboard_->raise();
    return *leaderboard_;
}

RecentGamesDialog& LobbyWindow::showRecentGames(const QString& name) {
    if (!recent_) recent_ = new RecentGamesDialog(this);
    recent_->asked(name);
    connection_->send(client::LobbyModel::historyLine(bytes(name)));
    recent_->show();
    recent_->raise();
    return *recent_;
}

}  // namespace quorbit::lobby
