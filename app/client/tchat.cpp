// The main window: creation, its parts, the launch modes and what the engine asks for.
#include "app/client/tchat.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "app/client/board_accessible.h"
#include "app/client/boardview.h"
#include "app/client/chatbox.h"
#include "app/client/mainmenus.h"
#include "app/client/gameconnection.h"
#include "app/client/panellayout.h"
#include "app/client/settingsfile.h"
#include "app/net/tsock.h"
#include "protocol/messages.h"
#include "app/record/recentgames.h"
#include "app/record/recordkeeper.h"
#include "app/support/languages.h"
#include "record/replay.h"
#include "app/social/downloadform.h"
#include "app/social/gamestartform.h"
#include "app/social/phrasesform.h"
#include "app/social/spylistform.h"
#include "app/widgets/artwork.h"
#include "app/widgets/clickimage.h"

namespace client = quorbit::client;
namespace social = quorbit::social;
using quorbit::net::TSock;
using quorbit::net::TSocketInfo;

namespace {

QColor toQColor(social::Colour c) { return QColor(c.red(), c.green(), c.blue()); }

}  // namespace

Tchat::Tchat(QWidget* parent)
    : QMainWindow(parent),
      rng_(static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch())),  // seeded from the clock
      engine_(rng_),
      pictures_(quorbit::app::TilePictures::classic()),
      settings_(std::make_unique<quorbit::app::SettingsFile>()) {
    setObjectName("Tchat");
    setWindowTitle("Quorbit");
    clock_.start();
    quorbit::app::installAccessibleFactories();  // before any widget is asked for its interface
    buildLayout();
    menus_ = std::make_unique<quorbit::app::MainMenus>(this);
    wireMenus();
    connectReplay();
    connectWidgets();
    connectKeyboard();
    // Every control exists: the layout places them, and again whenever the window's size
    // changes, and the state is drawn anew where a place depends on it.
    connect(layout_, &quorbit::app::PanelLayout::placed, this, [this] {
        renderedRevision_ = ~std::uint64_t{0};
        render();
    });
    layout_->start();

    showMessage = [this](const QString& text) { QMessageBox::information(this, "Quorbit", text); };
    settings_->failed = [this](const QString& text) { showMessage(text); };
    askLeave = [this](const QString& question, bool& dontAskAgain) {
        QMessageBox box(QMessageBox::Question, "Quorbit", question, QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        auto* dontAsk = new QCheckBox("Don't ask again", &box);
        box.setCheckBox(dontAsk);
        const bool yes = box.exec() == QMessageBox::Yes;
        dontAskAgain = dontAsk->isChecked();
        return yes;
    };
    chooseColour = [this](QColor& colour, const QString& title) {
        const QColor chosen = QColorDialog::getColor(colour, this, title);
        if (!chosen.isValid()) return false;
        colour = chosen;
        return true;
    };
    workArea = [this] {
        const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        return s ? s->availableGeometry() : QRect(0, 0, 1 << 15, 1 << 15);
    };

    // The words of a table's language (for the hint) come from the process's languages.
    engine_.setLanguageSource([](std::string_view code) { return quorbit::app::loadLanguage(code); });
    connection_ = new quorbit::app::GameConnection(engine_, this);
    connect(connection_, &quorbit::app::GameConnection::changed, this, &Tchat::sync);
    connect(connection_, &quorbit::app::GameConnection::notice, this, &Tchat::addNotice);
    Timer2.setInterval(1000);
    connect(&Timer2, &QTimer::timeout, this, [this] {
        engine_.timer2Tick();
        sync();
    });
    bonusTimer_.setInterval(250);
    connect(&bonusTimer_, &QTimer::timeout, this, [this] {
        if (++bonusFrame_ >= quorbit::app::artwork::kBonusFrames - 1) bonusTimer_.stop();
        render();
    });

    // The design position and size, until the settings say otherwise.
    setBounds(social::WindowBounds{});
    saved_ = currentBounds();
    render();
}

Tchat::~Tchat() = default;

void Tchat::attach(const Windows& windows) {
    windows_ = windows;
    if (windows_.gamestart)
        connect(windows_.gamestart, &Tgamestart::startClicked, this, &Tchat::startGameFromDialog);
    if (windows_.spylist)
        connect(windows_.spylist, &Tspylist::kickRequested, this, [this](int seat) {
            engine_.kicking(seat);
            sync();
        });
    if (windows_.phrases)
        connect(windows_.phrases, &Tphrases::done, this, &Tchat::savePhrases);
    if (windows_.recentgames)
        connect(windows_.recentgames, &TrecentGames::replayRequested, this, [this](const QString& path) {
            if (startReplay(path)) windows_.recentgames->hide();
        });
}

void Tchat::setLaunch(Launch launch) {
    launch_ = std::move(launch);
    plan_ = quorbit::client::launchPlan(launch_.params, launch_.table, launch_.seat);
}

void Tchat::keepRecords(const QString& folder) {
    records_ = std::make_unique<quorbit::app::RecordKeeper>(folder);
    connection_->keepRecords(records_.get());
}

bool Tchat::lobbyLinkOpened() const { return connection_->lobbyLinkOpened(); }

const quorbit::net::TSock* Tchat::connection() const { return connection_->socket(); }
bool Tchat::encrypted() const { return connection_->encrypted(); }

void Tchat::connectWidgets() {
    connect(paintbox_board, &quorbit::app::BoardView::clicked, this, [this](int x, int y, Qt::MouseButton b) {
        if (!acceptsMoves()) return;
        const auto button = b == Qt::RightButton ? client::MouseButton::Right
                            : b == Qt::LeftButton ? client::MouseButton::Left
                                                  : client::MouseButton::Middle;
        engine_.boardClick({x, y}, button);
        sync();
    });
    for (int n = 1; n <= 7; ++n)
        connect(image_letter[static_cast<std::size_t>(n - 1)], &quorbit::app::ClickImage::clicked, this,
                [this, n](Qt::MouseButton) {
                    if (!acceptsMoves()) return;
                    engine_.rackClick(n);
                    sync();
                });
    for (int d = 1; d <= 4; ++d)
        connect(image_direction[static_cast<std::size_t>(d - 1)], &quorbit::app::ClickImage::clicked, this,
                [this, d](Qt::MouseButton) {
                    if (!acceptsMoves()) return;
                    engine_.arrowClick(d);
                    sync();
                });
    connect(button_clear, &QPushButton::clicked, this, [this] {
        engine_.buttonClearClick();
        sync();
    });
    connect(button_hint, &QPushButton::clicked, this, &Tchat::hintClick);
    connect(button_done, &QPushButton::clicked, this, [this] {
        engine_.buttonDoneClick();
        sync();
    });
    connect(button_shuffle, &QPushButton::clicked, this, [this] {
        engine_.buttonShuffleClick();
        sync();
    });
    connect(button_start, &QPushButton::clicked, this, &Tchat::button_startClick);
    for (int n = 1; n <= 10; ++n)
        connect(b_phrase[static_cast<std::size_t>(n - 1)], &QPushButton::clicked, this, [this, n] { phraseClick(n); });
    connect(mychat, &quorbit::app::ChatEntry::sendRequested, this, [this](const QString& text) {
        if (engine_.sendit(text.toStdString())) mychat->clear();
        sync();
    });
    connect(mainchat, &quorbit::app::ChatBox::focusEntry, mychat, [this] { mychat->setFocus(); });
    memo_words->viewport()->installEventFilter(this);
    connect(mainchat, &quorbit::app::ChatBox::clearRequested, mainchat, &quorbit::app::ChatBox::clearChat);
    connect(mainchat, &quorbit::app::ChatBox::inviteLinkOpened, this, &Tchat::inviteLinkRequested);
}

// ---- Launch modes --------------------------------------------------------------------

void Tchat::processparams() {
    menus_->startGame->setEnabled(false);
    engine_.setLaunch(false, {});
    // The Join window's password, handed over in the environment of the program started to
    // join: taken once and removed at once, so that nothing this program starts inherits it.
    std::string password = qEnvironmentVariable(client::kPasswordVariable).toStdString();
    qunsetenv(client::kPasswordVariable);
    playername_ = plan_.playername;
    hostaddress_ = plan_.hostaddress;
    switch (plan_.mode) {
        case client::LaunchMode::Solo:
            addNotice("Loading Solo Game..Please wait.");
            if (windows_.download) windows_.download->show();
            hostpress();
            break;
        case client::LaunchMode::Host:
        case client::LaunchMode::Join:
        case client::LaunchMode::None:
            addNotice("Loading Multi-player Game.. Please Wait.");
            if (plan_.mode == client::LaunchMode::Host) hostpress();
            if (plan_.mode == client::LaunchMode::Join) joinpress(std::move(password));
            break;
    }
    if (!plan_.notice.empty()) addNotice(QString::fromStdString(plan_.notice));
    // The silent lobby link: opened, never read or written, closed with the process.
    if (plan_.lobbyLink()) connection_->openLobbyLink(launch_.lobbyPort);
    sync();
}

void Tchat::hostpress() {
    std::string why;
    const bool listening = launch_.startServer ? launch_.startServer(launch_.port, why) : false;
    if (!listening && launch_.startServer)
        addNotice(QString("Unable to start the game server on port %1: %2")
                      .arg(launch_.port)
                      .arg(QString::fromStdString(why)));
    engine_.setLaunch(true, playername_);
    // Always the loopback address, whatever the host address says; this program's own
    // host speaks plain text only.
    connection_->open("127.0.0.1", launch_.port, false);
    menus_->startGame->setEnabled(true);
    if (windows_.spylist) windows_.spylist->setKickEnabled(true);
}

void Tchat::joinpress(std::string password) {
    engine_.setLaunch(false, playername_);
    menus_->startGame->setEnabled(false);
    if (hostaddress_.empty()) return;  // the address did not read: the notice says why
    engine_.setTable(plan_.table, plan_.seat);
    // The lobby that started this game hands over its session token in the environment.
    engine_.setSession(qEnvironmentVariable(client::kSessionVariable).toStdString());
    engine_.setPassword(std::move(password));
    menus_->copyInvite->setEnabled(!plan_.table.empty());
    connection_->open(hostaddress_, plan_.port != 0 ? plan_.port : launch_.port);
}

void Tchat::button_startClick() {
    if (engine_.state().loggedin) {
        if (windows_.gamestart) windows_.gamestart->showOver(this);
    } else {
        showMessage("You are not connected");
    }
}

void Tchat::startGameFromDialog() {
    if (!windows_.gamestart) return;
    engine_.startGame(windows_.gamestart->settings(playername_));
    saveinifile();
    windows_.gamestart->hide();
    sync();
}

void Tchat::hintClick() {
    engine_.hintClick();
    sync();
}

void Tchat::phraseClick(int n) {
    engine_.phraseClick(n, clock_.elapsed());
    sync();
}

void Tchat::addNotice(const QString& text) { addline(text, toQColor(social::kSystemColour)); }

void Tchat::addline(const QString& text, const QColor& colour) {
    mainchat->addlinetochat(text, colour);
}

// ---- Carrying out what the engine asks --------------------------------------------------

void Tchat::sync() {
    drainEngine();
    if (shownRevision() != renderedRevision_) render();
}

void Tchat::drainEngine() {
    for (const std::string& line : engine_.takeOutgoing())
        connection_->send(line);
    for (const client::ChatLine& line : engine_.takeChatLines())
        addline(QString::fromStdString(line.text), toQColor(line.colour));
    followLanguage();
    for (const std::string& sound : engine_.takeSounds()) emit soundRequested(QString::fromStdString(sound));
    for (const client::TallyCall& call : engine_.takeTallyCalls()) emit tallyRequested(call);
    if (engine_.takeJoined()) {
        loadinifile();
        emit joined();
        if (engine_.awaitingTableAnswer())
            QTimer::singleShot(kTableAnswerMs, this, [this] {
                engine_.tableAnswerOverdue();
                sync();
            });
    }
    if (engine_.state().ishost != hostingShown_) {
        hostingShown_ = engine_.state().ishost;
        emit hostingChanged(hostingShown_);
    }
    for (const client::MessageBox& box : engine_.takeMessageBoxes()) {
        showMessage(QString::fromStdString(box.text));
        if (box.closeAfter) close();
    }
    if (engine_.closeRequested() && isVisible()) close();
}

// ---- Window events -------------------------------------------------------------------------

bool Tchat::eventFilter(QObject* watched, QEvent* e) {
    // A press in the words list hands the focus to the chat entry.
    if (watched == memo_words->viewport() && e->type() == QEvent::MouseButtonPress) mychat->setFocus();
    return QMainWindow::eventFilter(watched, e);
}

void Tchat::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (shownOnce_) return;
    shownOnce_ = true;
    processparams();
}

bool Tchat::confirmLeave(const QString& question) {
    if (!engine_.state().gamerunning || !menus_->askBeforeLeaving->isChecked()) return true;
    bool dontAskAgain = false;
    const bool go = askLeave(question, dontAskAgain);
    // "Don't ask again" is kept only with a yes: a no leaves everything as it was.
    if (go && dontAskAgain) {
        menus_->askBeforeLeaving->setChecked(false);
        saveinifile();
    }
    return go;
}

void Tchat::closeEvent(QCloseEvent* e) {
    // The window's close box asks like File, "Exit"; closing for the program's own reasons
    // (the connection ended, the game was full) does not.
    if (e->spontaneous() && !confirmLeave("A game is running. Exit Quorbit and leave it?")) {
        e->ignore();
        return;
    }
    const QRect work = workArea();
    if (auto bounds = social::boundsToSave(currentBounds(), saved_, work.width(), work.height())) {
        saved_ = *bounds;
        setBounds(*bounds);
        saveinifile();
    }
    if (records_) records_->closed();  // a game still running is kept as far as it went
    e->accept();
    emit closed();
}
