#include "app/social/joinform.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "discovery/address.h"
#include "protocol/account_messages.h"
#include "language/language.h"
#include "app/shell/cmdline.h"

namespace discovery = quorbit::discovery;

namespace {

constexpr int kMaxNameLength = 24;  // names longer than this are not taken at login
enum Column { ColGame, ColPlayers, ColRunning, ColAddress };
enum TableColumn { ColTable, ColTablePlayers, ColWatchers, ColTableRunning, ColPlayTo };
constexpr int kHasTables = Qt::UserRole + 1;  // a found game that announces tables
constexpr const char* kPasswordNote =
    "The password is sent only over an encrypted connection; without one you play as a guest.";

QString yesNo(const std::optional<bool>& b) { return b ? (*b ? "yes" : "no") : "?"; }

}  // namespace

Tjoin::Tjoin(QWidget* parent) : QDialog(parent) {
    setObjectName("Tjoin");
    setWindowTitle("Join a Game");
    resize(560, 560);

    label_found = new QLabel("Games on this network:", this);
    label_found->setObjectName("label_found");
    list_games = new QTreeWidget(this);
    list_games->setObjectName("list_games");
    list_games->setHeaderLabels({"Game", "Players", "Running", "Address"});
    list_games->setRootIsDecorated(false);
    list_games->setAllColumnsShowFocus(true);
    list_games->header()->setSectionResizeMode(ColGame, QHeaderView::Stretch);
    for (int c : {ColPlayers, ColRunning, ColAddress})
        list_games->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);

    edit_address = new QLineEdit(this);
    edit_address->setObjectName("edit_address");
    edit_address->setPlaceholderText("host name, 10.0.0.5, [2001:db8::5]:7772 ...");
    edit_table = new QLineEdit(this);
    edit_table->setObjectName("edit_table");
    edit_table->setMaxLength(kMaxNameLength);
    edit_table->setPlaceholderText("none: the server's default table");
    button_tables = new QPushButton("List Tables", this);
    button_tables->setObjectName("button_tables");
    label_tables = new QLabel(this);
    label_tables->setObjectName("label_tables");
    label_tables->setWordWrap(true);
    list_tables = new QTreeWidget(this);
    list_tables->setObjectName("list_tables");
    list_tables->setHeaderLabels({"Table", "Players", "Watchers", "Running", "Play to"});
    list_tables->setRootIsDecorated(false);
    list_tables->setAllColumnsShowFocus(true);
    list_tables->header()->setSectionResizeMode(ColTable, QHeaderView::Stretch);
    for (int c : {ColTablePlayers, ColWatchers, ColTableRunning, ColPlayTo})
        list_tables->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    label_tables->hide();
    list_tables->hide();
    lister_ = new quorbit::net::TableLister(this);
    edit_name = new QLineEdit(this);
    edit_name->setObjectName("edit_name");
    edit_name->setMaxLength(kMaxNameLength);
    edit_password = new QLineEdit(this);
    edit_password->setObjectName("edit_password");
    edit_password->setEchoMode(QLineEdit::Password);
    // The field counts UTF-16 units, two for some characters; readPassword counts characters.
    edit_password->setMaxLength(static_cast<int>(2 * quorbit::protocol::accounts::kMaxPasswordChars));
    edit_password->setPlaceholderText("optional: log in to your account");
    edit_password->setAccessibleName("Password");
    edit_password->setAccessibleDescription(kPasswordNote);
    label_password = new QLabel(kPasswordNote, this);
    label_password->setObjectName("label_password");
    label_password->setWordWrap(true);
    label_error = new QLabel(this);
    label_error->setObjectName("label_error");
    label_error->setStyleSheet("color: #b00020;");
    label_error->setWordWrap(true);

    button_join = new QPushButton("Join", this);
    button_join->setObjectName("button_join");
    button_join->setDefault(true);
    button_host = new QPushButton("Host a Game", this);
    button_host->setObjectName("button_host");
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("button_cancel");

    auto* form = new QFormLayout;
    form->addRow("Address:", edit_address);
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(edit_table, 1);
    tableRow->addWidget(button_tables);
    form->addRow("Table:", tableRow);
    form->addRow("Your name:", edit_name);
    form->addRow("Password:", edit_password);
    form->addRow(QString(), label_password);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button_host);
    buttons->addStretch(1);
    buttons->addWidget(button_join);
    buttons->addWidget(cancel);
    auto* all = new QVBoxLayout(this);
    all->addWidget(label_found);
    all->addWidget(list_games, 1);
    all->addLayout(form);
    all->addWidget(label_tables);
    all->addWidget(list_tables, 1);
    all->addWidget(label_error);
    all->addLayout(buttons);

    connect(list_games, &QTreeWidget::itemSelectionChanged, this, &Tjoin::gameChosen);
    connect(list_games, &QTreeWidget::itemDoubleClicked, this, [this] { joinClick(); });
    connect(button_join, &QPushButton::clicked, this, [this] { joinClick(); });
    connect(button_host, &QPushButton::clicked, this, [this] { hostClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
    connect(button_tables, &QPushButton::clicked, this, [this] { listTablesClick(); });
    connect(list_tables, &QTreeWidget::itemSelectionChanged, this, &Tjoin::tableChosen);
    connect(list_tables, &QTreeWidget::itemDoubleClicked, this, [this] { joinClick(); });
    connect(lister_, &quorbit::net::TableLister::listed, this,
            [this](const quorbit::net::TableLister::Tables& tables, std::size_t more) { setTables(tables, more); });
    connect(lister_, &quorbit::net::TableLister::oneTable, this,
            [this] { showTablesNote(listedAt_ + " has one table only: join it without naming a table."); });
    connect(lister_, &quorbit::net::TableLister::unreachable, this,
            [this](const QString& why) { showTablesNote("Cannot reach " + listedAt_ + ": " + why); });
    connect(lister_, &quorbit::net::TableLister::noAnswer, this,
            [this] { showTablesNote(listedAt_ + " did not list its tables in time."); });
}

void Tjoin::attachBrowser(discovery::GameBrowser* browser) {
    if (browser_) browser_->disconnect(this);
    browser_ = browser;
    if (!browser_) return;
    auto follow = [this] {
        setSearchProblem(QString::fromStdString(browser_->unavailable()));
        setGames(browser_->games());
    };
    connect(browser_, &discovery::GameBrowser::changed, this, follow);
    follow();
}

void Tjoin::setGames(const std::vector<discovery::FoundGame>& games) {
    // Rows are kept, changed and inserted in place (both lists are sorted by name), so the
    // list does not jump while it fills and the chosen game stays chosen while listed.
    const QSignalBlocker quiet(list_games);
    const auto nameOf = [this](int row) { return list_games->topLevelItem(row)->data(ColGame, Qt::UserRole).toByteArray(); };
    int row = 0;
    for (const discovery::FoundGame& g : games) {
        if (row == static_cast<int>(discovery::kMaxListedGames)) break;
        const QByteArray name = QByteArray::fromStdString(g.name);
        while (row < list_games->topLevelItemCount() && nameOf(row) < name) delete list_games->takeTopLevelItem(row);
        QTreeWidgetItem* item = row < list_games->topLevelItemCount() ? list_games->topLevelItem(row) : nullptr;
        if (!item || nameOf(row) != name) {
            item = new QTreeWidgetItem;
            item->setData(ColGame, Qt::UserRole, name);
            list_games->insertTopLevelItem(row, item);
        }
        // A game played in another language than English says so after its name.
        QString shown = QString::fromStdString(g.name);
        if (!g.txt.language.empty() && g.txt.language != "en") {
            const quorbit::language::Language* l = quorbit::language::find(g.txt.language);
            shown += " (" + (l ? QString::fromUtf8(l->name.data(), static_cast<qsizetype>(l->name.size()))
                               : QString::fromStdString(g.txt.language)) + ")";
        }
        item->setText(ColGame, shown);
        // setText leaves a cell that already says the same untouched.
        item->setText(ColPlayers, g.txt.players ? QString("%1 of 4").arg(*g.txt.players) : "?");
        item->setText(ColRunning, yesNo(g.txt.running));
        const QString address =
            QString::fromStdString(discovery::formatJoinAddress(g.address, g.port, defaultPort_));
        item->setText(ColAddress, address);
        item->setData(ColAddress, Qt::UserRole, address);
        item->setData(ColAddress, kHasTables, g.txt.tables.has_value());
        ++row;
    }
    while (list_games->topLevelItemCount() > row) delete list_games->takeTopLevelItem(row);
    noGames_ = games.empty();
    setSearchProblem(searchProblem_);
}

void Tjoin::setSearchProblem(const QString& why) {
    searchProblem_ = why;
    label_found->setText(!noGames_            ? "Games on this network:"
                         : why.isEmpty()      ? "Games on this network: none found yet."
                                              : "Games on this network cannot be found: " + why + ".");
}

void Tjoin::gameChosen() {
    const QTreeWidgetItem* item = list_games->currentItem();
    if (!item) return;
    edit_address->setText(item->data(ColAddress, Qt::UserRole).toString());
    // Only a server that announces tables is asked for them unbidden: a game without
    // tables would seat the asking connection for a moment.
    if (item->data(ColAddress, kHasTables).toBool()) {
        listTablesClick();
    } else {
        lister_->cancel();
        listedAt_.clear();
        label_tables->hide();
        list_tables->hide();
        list_tables->clear();
    }
}

bool Tjoin::listTablesClick() {
    const discovery::JoinAddress a = discovery::parseJoinAddress(edit_address->text().toStdString(), defaultPort_);
    if (!a.ok()) {
        showError(QString::fromStdString(a.error));
        edit_address->setFocus();
        return false;
    }
    showError({});
    listTablesAt(a.host, a.port, QString::fromStdString(discovery::formatJoinAddress(a.host, a.port, defaultPort_)));
    return true;
}

void Tjoin::listTablesAt(const std::string& host, int port, const QString& shown) {
    listedAt_ = shown;
    list_tables->clear();
    list_tables->hide();
    showTablesNote("Asking " + shown + " for its tables...");
    lister_->list(QString::fromStdString(host), port, kMaxListedTables);
}

void Tjoin::showTablesNote(const QString& text) {
    label_tables->setText(text);
    label_tables->show();
}

void Tjoin::setTables(const quorbit::net::TableLister::Tables& tables, std::size_t more) {
    const QSignalBlocker quiet(list_tables);
    list_tables->clear();
    for (const auto& t : tables) {
        auto* item = new QTreeWidgetItem(list_tables);
        // The default table has no name: it is the one a client that names none sits at.
        item->setText(ColTable, t.name.empty() ? QString("(default table)") : QString::fromStdString(t.name));
        item->setData(ColTable, Qt::UserRole, QString::fromStdString(t.name));
        item->setText(ColTablePlayers, QString("%1 of 4").arg(t.players));
        item->setText(ColWatchers, QString::number(t.watchers));
        item->setText(ColTableRunning, t.running ? "yes" : "no");
        item->setText(ColPlayTo, t.playTo > 0 ? QString::number(t.playTo) : QString("-"));
    }
    QString note = tables.empty() ? "No tables at " + listedAt_ + " yet: name one to make it."
                                  : "Tables at " + listedAt_ + " (choose one, or name a new one):";
    if (more > 0) note += QString(" %1 more not shown.").arg(more);
    showTablesNote(note);
    list_tables->setVisible(!tables.empty());
}

void Tjoin::tableChosen() {
    const QTreeWidgetItem* item = list_tables->currentItem();
    if (item) edit_table->setText(item->data(ColTable, Qt::UserRole).toString());
}

QString Tjoin::table() const { return edit_table->text().trimmed(); }

void Tjoin::setPlayerName(const QString& name) { edit_name->setText(name.left(kMaxNameLength)); }

QString Tjoin::playerName() const { return edit_name->text().trimmed(); }

QString Tjoin::errorText() const { return label_error->text(); }

void Tjoin::showError(const QString& text) { label_error->setText(text); }

void Tjoin::showOver(QWidget* over) {
    if (over) move(over->geometry().center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
    activateWindow();
}

bool Tjoin::readName(QString& name) {
    name = playerName();
    if (name.isEmpty()) {
        showError("Type the name the other players will see.");
        edit_name->setFocus();
        return false;
    }
    if (quorbit::shell::looksLikeOption(name.toStdString())) {
        showError(QString::fromUtf8(quorbit::shell::kDashNameRefused.data(),
                                    static_cast<qsizetype>(quorbit::shell::kDashNameRefused.size())));
        edit_name->setFocus();
        return false;
    }
    return true;
}

// A password is checked for its length here, as the server would, so that a typing slip
// is told before the game starts rather than as a refused login.
bool Tjoin::readPassword(QString& password) {
    password = edit_password->text();
    if (password.isEmpty() || quorbit::protocol::accounts::passwordLengthOk(password.toStdString())) return true;
    showError("A password has 8 to 256 characters.");
    edit_password->setFocus();
    return false;
}

bool Tjoin::joinClick() {
    QString name;
    QString password;
    if (!readName(name) || !readPassword(password)) return false;
    const discovery::JoinAddress a =
        discovery::parseJoinAddress(edit_address->text().toStdString(), defaultPort_);
    if (!a.ok()) {
        showError(QString::fromStdString(a.error));
        edit_address->setFocus();
        return false;
    }
    showError({});
    // The field lets the password go: the join request carries the only copy on.
    edit_password->clear();
    emit joinRequested(name, QString::fromStdString(a.host), a.port, table(), password);
    return true;
}

bool Tjoin::hostClick() {
    QString name;
    if (!readName(name)) return false;
    showError({});
    emit hostRequested(name);
    return true;
}
