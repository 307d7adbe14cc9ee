#include "app/lobby/lobby.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVBoxLayout>
#include <cstdio>

#include "app/discovery/browser.h"
#include "app/media/pictures.h"
#include "app/shell/cmdline.h"
#include "app/social/joinform.h"

namespace quorbit::lobby {
namespace {
constexpr int kGamePort = 7772;  // the game's own port, which it needs no option for
}  // namespace

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
            if (!ok || port < 1 || port > 65535) {
                error = "--link-port needs a port number, 1 to 65535";
                return false;
            }
            out.linkPort = static_cast<quint16>(port);
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    return true;
}

LobbyWindow::LobbyWindow(const Options& options, QWidget* parent)
    : QWidget(parent), options_(options), server_(new QTcpServer(this)) {
    setObjectName("orvanelobby");
    setWindowTitle("The Orvane Lobby");
    setStyleSheet("QWidget#orvanelobby { background: #e9eff8; } QLabel { color: #1d3f73; }");

    auto* picture = new QLabel(this);
    picture->setPixmap(media::pictures::lobbyPicture());
    picture->setAlignment(Qt::AlignCenter);
    name_ = new QLineEdit(options.name, this);
    name_->setObjectName("edit_name");
    name_->setPlaceholderText("the name others will see");
    host_ = new QLineEdit(options.host, this);
    host_->setObjectName("edit_host");
    hosting_ = new QRadioButton("Host a game on this computer", this);
    hosting_->setObjectName("radio_host");
    joining_ = new QRadioButton("Join the game at the host address", this);
    joining_->setObjectName("radio_join");
    (options.hosting ? hosting_ : joining_)->setChecked(true);
    auto* others = new QPushButton("Play with Others", this);
    others->setObjectName("button_others");
    auto* start = new QPushButton("Start Quorbit", this);
    start->setObjectName("button_start");
    start->setMinimumHeight(32);
    start->setStyleSheet("QPushButton { background: #2f6fc4; color: white; border-radius: 5px; font-weight: bold; }"
                         "QPushButton:hover { background: #4a8be0; }");
    status_ = new QLabel(this);
    status_->setObjectName("label_status");
    status_->setWordWrap(true);
    link_ = new QLabel(this);
    link_->setObjectName("label_link");
    link_->setStyleSheet("font-weight: bold;");

    auto* form = new QFormLayout;
    form->addRow("Your name:", name_);
    form->addRow("Host address:", host_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(picture);
    layout->addLayout(form);
    layout->addWidget(hosting_);
    layout->addWidget(joining_);
    layout->addWidget(start);
    layout->addWidget(others);
    layout->addWidget(status_);
    layout->addWidget(link_);
    connect(start, &QPushButton::clicked, this, [this] { startGame(); });
    connect(others, &QPushButton::clicked, this, [this] { showJoin(); });

    // The link: the game connects and never sends anything; its connection closing
    // means that game has ended. Anything it might send is read and dropped.
    connect(server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* s = server_->nextPendingConnection()) {
            ++links_;
            report(QString("link: connected %1").arg(links_));
            showLinks();
            connect(s, &QTcpSocket::readyRead, s, [s] { s->readAll(); });
            connect(s, &QTcpSocket::disconnected, this, [this, s] {
                --links_;
                report(QString("link: closed %1").arg(links_));
                showLinks();
                s->deleteLater();
            });
        }
    });
    if (server_->listen(QHostAddress::LocalHost, options.linkPort)) {
        report(QString("link: listening on 127.0.0.1 port %1").arg(options.linkPort));
        showLinks();
    } else {
        report(QString("link: port %1 is in use").arg(options.linkPort));
        link_->setText(QString("Port %1 is in use: started games are not seen.").arg(options.linkPort));
    }
}

LobbyWindow::~LobbyWindow() = default;

Tjoin& LobbyWindow::showJoin() {
    if (!join_) {
        join_ = std::make_unique<Tjoin>();
        browser_ = std::make_unique<discovery::GameBrowser>();
        join_->attachBrowser(browser_.get());
        join_->setPlayerName(name_->text());
        connect(join_.get(), &Tjoin::joinRequested, this, [this](const QString& name, const QString& host, int port) {
            if (launch(name, host, false, port)) join_->hide();
        });
        connect(join_.get(), &Tjoin::hostRequested, this, [this](const QString& name) {
            if (launch(name, "127.0.0.1", true, kGamePort)) join_->hide();
        });
    }
    join_->showOver(this);
    return *join_;
}

void LobbyWindow::report(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void LobbyWindow::showLinks() {
    link_->setText(links_ == 0 ? QString("No game connected.")
                               : links_ == 1 ? QString("Game connected.") : QString("%1 games connected.").arg(links_));
}

bool LobbyWindow::refuse(const QString& why) {
    status_->setText(why);
    report("refused: " + why);
    return false;
}

bool LobbyWindow::startGame() {
    const QString name = name_->text().trimmed();
    const QString host = host_->text().trimmed();
    const bool hosting = hosting_->isChecked();
    if (name.isEmpty()) return refuse("Please enter your name.");
    if (!hosting && host.isEmpty()) return refuse("Please enter the host address.");
    // The game takes them as its first words: one that begins with "-" would read as an option.
    if (shell::looksLikeOption(name.toStdString()))
        return refuse(QString::fromUtf8(shell::kDashNameRefused.data(), static_cast<qsizetype>(shell::kDashNameRefused.size())));
    if (!hosting && shell::looksLikeOption(host.toStdString())) return refuse("An address cannot begin with \"-\".");
    return launch(name, host, hosting, kGamePort);
}

bool LobbyWindow::launch(const QString& name, const QString& host, bool hosting, int port) {
    // When hosting, the game connects to itself whatever the address says.
    QStringList params{name, host.isEmpty() ? QString("127.0.0.1") : host, hosting ? "true" : "false"};
    if (port != kGamePort) params << "--port" << QString::number(port);
    if (!QFileInfo(options_.game).isExecutable()) return refuse("The game is not at " + options_.game + ".");
    qint64 pid = 0;
    if (!QProcess::startDetached(options_.game, params, QString(), &pid)) return refuse("The game would not start.");
    status_->setText(hosting ? "Hosting a game as " + name + "." : "Joining " + host + " as " + name + ".");
    report("started: " + params.join(" | "));
    report(QString("game process: %1").arg(pid));
    return true;
}

}  // namespace quorbit::lobby
