// The lobby window: its controls and how they are wired. What the buttons do is in
// lobbywindow_actions.cpp.
#include "app/lobby/lobbywindow.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/client/chatbox.h"
#include "app/discovery/browser.h"
#include "app/lobby/gamelink.h"
#include "app/lobby/lobbyconnection.h"
#include "app/lobby/lobbylists.h"
#include "app/lobby/maketabledialog.h"
#include "app/social/joinform.h"
#include "app/support/paths.h"
#include "discovery/address.h"
#include "social/settings.h"

namespace quorbit::lobby {
namespace {

QPushButton* lobbyButton(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QTableView* lobbyListView(const char* name, QWidget* parent) {
    auto* v = new QTableView(parent);
    v->setObjectName(name);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setAlternatingRowColors(true);
    v->setSortingEnabled(true);
    v->setWordWrap(false);
    v->verticalHeader()->hide();
    // Rows of one height: the view need not measure each row's text.
    v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->verticalHeader()->setDefaultSectionSize(v->fontMetrics().height() + 6);
    v->horizontalHeader()->setHighlightSections(false);
    return v;
}

}  // namespace

LobbyWindow::LobbyWindow(const Options& options, QWidget* parent)
    : QWidget(parent),
      options_(options),
      connection_(new LobbyConnection(this)),
      lists_(new LobbyLists(this)),
      link_(new GameLink(options.game, options.linkPort, this)) {
    setObjectName("orvanelobby");
    setWindowTitle("The Orvane Lobby");
    settings_.setPath(!options.settingsPath.isEmpty()
                          ? options.settingsPath
                          : app::besideProgramFolder() + "/" + QString::fromUtf8(social::kSettingsFileName.data()));
    // The game and the lobby keep the servers' certificate fingerprints in this one file.
    connection_->setSettingsPath(settings_.path());
    buildLayout();
    wire();
    resize(940, 640);

    edit_name->setText(!options.name.isEmpty() ? options.name : settings_.rememberedName());
    const QString server = !options.server.isEmpty() ? options.server : settings_.rememberedServer();
    offerLogin_ = !settings_.rememberedAccount().isEmpty();
    combo_server->setEditText(server);
    if (!link_->listening())
        say(QString("Port %1 is in use: the lobby does not see when a game ends.").arg(options.linkPort));
    browser_ = std::make_unique<discovery::GameBrowser>();
    connect(browser_.get(), &discovery::GameBrowser::changed, this, [this] { offerServers(); });
    offerServers();

    if (options.startNow) return;  // a game without a server
    if (!options.link.isEmpty())
        openInviteLink(options.link);
    else if (!server.isEmpty() && !edit_name->text().trimmed().isEmpty())
        connectToServer();
    else
        setStatus("Type a server's address and your name, then Connect.");
}

LobbyWindow::~LobbyWindow() = default;

void LobbyWindow::buildLayout() {
    setStyleSheet("QWidget#orvanelobby { background: #e9eff8; } QGroupBox { font-weight: bold; color: #1d3f73; }");
    combo_server = new QComboBox(this);
    combo_server->setObjectName("combo_server");
    combo_server->setEditable(true);
    combo_server->setInsertPolicy(QComboBox::NoInsert);
    combo_server->lineEdit()->setPlaceholderText("a table server, e.g. games.example.org:7772");
    edit_name = new QLineEdit(this);
    edit_name->setObjectName("edit_name");
    edit_name->setPlaceholderText("the name others will see");
    edit_name->setMaxLength(24);
    button_connect = lobbyButton("Connect", "button_connect", this);
    label_status = new QLabel(this);
    label_status->setObjectName("label_status");
    label_status->setWordWrap(true);
    label_status->setTextFormat(Qt::PlainText);  // it shows names and refusals from the server
    label_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Server:", this));
    top->addWidget(combo_server, 3);
    top->addWidget(new QLabel("Your name:", this));
    top->addWidget(edit_name, 2);
    top->addWidget(button_connect);
    buildAccountMenu();
    top->addWidget(button_account);

    auto* tablesBox = new QGroupBox("Tables", this);
    list_tables = lobbyListView("list_tables", tablesBox);
    sortedTables_ = new SortedRows([this](int a, int b, int column) { return lists_->tableBefore(a, b, column); }, this);
    sortedTables_->setSourceModel(lists_->tables());
    sortedTables_->setDynamicSortFilter(true);
    list_tables->setModel(sortedTables_);
    list_tables->sortByColumn(static_cast<int>(TableColumn::Name), Qt::AscendingOrder);
    // The name takes the room there is; every other column is as wide as its heading or
    // its widest usual value, whichever is wider, so that no row is measured.
    QHeaderView* head = list_tables->horizontalHeader();
    head->setMinimumSectionSize(40);
    const QStringList widest{"", "4 of 4", "", "running", "10000", "", "classic", "Portuguese", "host.example:7772"};
    for (int c = 0; c < static_cast<int>(TableColumn::Count); ++c) {
        const QString heading = lists_->tables()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const int width = std::max(head->fontMetrics().horizontalAdvance(heading) + 16,
                                   list_tables->fontMetrics().horizontalAdvance(widest[c]) + 12);
        head->setSectionResizeMode(c, c == static_cast<int>(TableColumn::Name) ? QHeaderView::Stretch : QHeaderView::Interactive);
        head->resizeSection(c, width);
    }
    button_make = lobbyButton("Make a Table", "button_make", tablesBox);
    button_join = lobbyButton("Join", "button_join", tablesBox);
    button_watch = lobbyButton("Watch", "button_watch", tablesBox);
    button_invite = lobbyButton("Copy Invite Link", "button_invite", tablesBox);
    auto* nearby = lobbyButton("Games on this Network", "button_network", tablesBox);
    connect(nearby, &QPushButton::clicked, this, [this] { showNetworkGames(); });
    auto* actions = new QHBoxLayout;
    for (QPushButton* b : {button_make, button_join, button_watch, button_invite}) actions->addWidget(b);
    actions->addStretch(1);
    actions->addWidget(nearby);
    auto* tablesLayout = new QVBoxLayout(tablesBox);
    tablesLayout->addWidget(list_tables);
    tablesLayout->addLayout(actions);

    auto* peopleBox = new QGroupBox("Online", this);
    list_people = lobbyListView("list_people", peopleBox);
    auto* sortedPeople = new SortedRows([this](int a, int b, int column) { return lists_->personBefore(a, b, column); }, this);
    sortedPeople->setSourceModel(lists_->people());
    sortedPeople->setDynamicSortFilter(true);
    list_people->setModel(sortedPeople);
    list_people->sortByColumn(0, Qt::AscendingOrder);
    // Where takes the room there is; the rating is as wide as its heading.
    list_people->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    list_people->horizontalHeader()->resizeSection(0, 80);
    list_people->horizontalHeader()->resizeSection(2, list_people->fontMetrics().horizontalAdvance("Rating") + 16);
    auto* peopleLayout = new QVBoxLayout(peopleBox);
    peopleLayout->addWidget(list_people);
    auto* ratingButtons = new QHBoxLayout;
    ratingButtons->addWidget(button_leaderboard);
    ratingButtons->addWidget(button_recent);
    peopleLayout->addLayout(ratingButtons);

    auto* chatBox = new QGroupBox("Lobby chat", this);
    lobbychat = new app::ChatBox(chatBox);
    lobbychat->setObjectName("lobbychat");
    lobbychat->setChatFont(9);
    edit_chat = new QLineEdit(chatBox);
    edit_chat->setObjectName("edit_chat");
    edit_chat->setPlaceholderText("Say something to everybody in the lobby, then Enter");
    edit_chat->setMaxLength(1000);
    auto* chatLayout = new QVBoxLayout(chatBox);
    chatLayout->addWidget(lobbychat);
    chatLayout->addWidget(edit_chat);

    auto* upper = new QSplitter(Qt::Horizontal, this);
    upper->addWidget(tablesBox);
    upper->addWidget(peopleBox);
    upper->setStretchFactor(0, 3);
    upper->setStretchFactor(1, 1);
    upper->setSizes({640, 280});
    auto* whole = new QSplitter(Qt::Vertical, this);
    whole->addWidget(upper);
    whole->addWidget(chatBox);
    whole->setStretchFactor(0, 3);
    whole->setStretchFactor(1, 2);
    whole->setSizes({380, 200});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addLayout(top);
    layout->addWidget(label_status);
    layout->addWidget(whole, 1);
}

void LobbyWindow::wire() {
    connect(button_connect, &QPushButton::clicked, this, [this] { connectToServer(); });
    connect(combo_server->lineEdit(), &QLineEdit::returnPressed, this, [this] { connectToServer(); });
    connect(edit_name, &QLineEdit::returnPressed, this, [this] { connectToServer(); });
    connect(button_join, &QPushButton::clicked, this, [this] { joinSelected(false); });
    connect(button_watch, &QPushButton::clicked, this, [this] { joinSelected(true); });
    connect(list_tables, &QTableView::doubleClicked, this, [this] { joinSelected(false); });
    connect(button_invite, &QPushButton::clicked, this, [this] { copyInviteLink(); });
    connect(button_make, &QPushButton::clicked, this, [this] {
        if (!lists_->book().ready()) {
            refuse("Connect to a server first.");
            return;
        }
        MakeTableDialog dialog(this);
        dialog.setTableName(edit_name->text().trimmed().isEmpty() ? QString() : edit_name->text().trimmed() + "'s table");
        if (dialog.exec() == QDialog::Accepted) makeTable(dialog.request());
    });
    connect(edit_chat, &QLineEdit::returnPressed, this, [this] {
        if (sendChat(edit_chat->text())) edit_chat->clear();
    });
    // A Quorbit link in the lobby's chat leads to its table, here; web links open as in the game.
    const auto openWeb = lobbychat->openLink;
    lobbychat->openLink = [this, openWeb](const QString& link) {
        if (link.startsWith(QString::fromUtf8(discovery::kInviteScheme.data()), Qt::CaseInsensitive))
            openInviteLink(link);
        else if (openWeb)
            openWeb(link);
    };

    connect(connection_, &LobbyConnection::connected, this, [this] { enterLobby(); });
    connect(list_people, &QTableView::doubleClicked, this, [this] { showRecentGames(pickedPerson()); });
    connect(connection_, &LobbyConnection::linesReceived, this, &LobbyWindow::receive);
    connect(connection_, &LobbyConnection::ended, this, [this](const QString& why) {
        lists_->clear();
        setStatus(why, true);
        say(why);
        updateAccountActions();
        emit connectionEnded(why);
    });
    connect(lists_, &LobbyLists::tablesChanged, this, &LobbyWindow::tablesChanged);
    // The Server column shows only while other servers' tables are listed; the names then
    // keep a width of their own (the list scrolls sideways) rather than what is left over.
    const auto showServers = [this] {
        const bool shown = lists_->book().remoteTableCount() != 0;
        QHeaderView* head = list_tables->horizontalHeader();
        const int name = static_cast<int>(TableColumn::Name);
        if (shown == !list_tables->isColumnHidden(static_cast<int>(TableColumn::Server))) return;
        list_tables->setColumnHidden(static_cast<int>(TableColumn::Server), !shown);
        head->setSectionResizeMode(name, shown ? QHeaderView::Interactive : QHeaderView::Stretch);
        if (shown) head->resizeSection(name, list_tables->fontMetrics().horizontalAdvance("A table's name") + 12);
    };
    connect(lists_, &LobbyLists::tablesChanged, this, showServers);
    connect(connection_, &LobbyConnection::ended, this, showServers);
    showServers();
    // The lobby steps aside while a game runs and comes back when it ends.
    connect(link_, &GameLink::gameOpened, this, [this] { hide(); });
    connect(link_, &GameLink::gameClosed, this, [this] {
        show();
        raise();
        activateWindow();
    });
}

// The servers to offer: those announced on the local network first, then the one typed or
// remembered.
void LobbyWindow::offerServers() {
    const QString typed = combo_server->currentText();
    const QSignalBlocker quiet(combo_server);
    combo_server->clear();
    for (const discovery::FoundGame& g : browser_->games()) {
        if (!g.txt.tables) continue;  // a game hosted in a window has no lobby
        const QString address = QString::fromStdString(discovery::formatJoinAddress(g.address, g.port, discovery::kInvitePort));
        combo_server->addItem(QString::fromStdString(g.name) + "  (" + address + ")", address);
    }
    const QString remembered = settings_.rememberedServer();
    if (!remembered.isEmpty() && combo_server->findData(remembered) < 0) combo_server->addItem(remembered, remembered);
    combo_server->setEditText(typed.isEmpty() && combo_server->count() > 0 ? combo_server->itemData(0).toString() : typed);
}

QString LobbyWindow::statusText() const { return label_status->text(); }

void LobbyWindow::setStatus(const QString& text, bool problem) {
    label_status->setStyleSheet(problem ? "color: #b00020;" : "color: #1d3f73;");
    label_status->setText(text);
}

void LobbyWindow::say(const QString& text) { lobbychat->addlinetochat(text, QColor(0, 0, 255)); }

Tjoin& LobbyWindow::showNetworkGames() {
    if (!join_) {
        join_ = std::make_unique<Tjoin>();
        join_->attachBrowser(browser_.get());
        connect(join_.get(), &Tjoin::joinRequested, this,
                [this](const QString& name, const QString& host, int port, const QString&, const QString& password) {
            QStringList params{name, host, "false"};
            if (port != discovery::kInvitePort) params << "--port" << QString::number(port);
            if (launch(params, password)) join_->hide();
        });
        connect(join_.get(), &Tjoin::hostRequested, this, [this](const QString& name) {
            if (launch({name, "127.0.0.1", "true"})) join_->hide();
        });
    }
    join_->setPlayerName(playerName());
    join_->showOver(this);
    return *join_;
}

}  // namespace quorbit::lobby
