// What the main window's menu items and the player context menu do. The menus themselves
// are built by MainMenus; here each item is wired to its handler, and an option that the
// player changes is applied and then saved with the settings.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>

#include "app/client/chatbox.h"
#include "app/client/mainmenus.h"
#include "app/client/tchat.h"
#include "app/media/tilesmenu.h"
#include "app/record/recentgames.h"
#include "app/social/aboutform.h"
#include "app/social/helpform.h"
#include "app/social/phrasesform.h"
#include "app/social/spylistform.h"
#include "app/social/tallylistform.h"
#include "discovery/invite_link.h"

QAction* Tchat::action(const char* objectName) const { return findChild<QAction*>(objectName); }

void Tchat::copyInviteLink() {
    quorbit::discovery::InviteLink link;
    link.host = hostaddress_;
    link.port = plan_.port != 0 ? plan_.port : launch_.port;
    (plan_.seat == quorbit::client::TableSeat::Invite ? link.code : link.table) = plan_.table;
    const QString text = QString::fromStdString(quorbit::discovery::formatInviteLink(link));
    QApplication::clipboard()->setText(text);
    addNotice("The invite link to this table is on the clipboard: " + text);
}

void Tchat::wireMenus() {
    const quorbit::app::MainMenus& m = *menus_;
    connect(m.startGame, &QAction::triggered, this, &Tchat::button_startClick);
    connect(m.hint, &QAction::triggered, this, &Tchat::hintClick);
    connect(m.joinGame, &QAction::triggered, this, &Tchat::joinWindowRequested);
    connect(m.copyInvite, &QAction::triggered, this, &Tchat::copyInviteLink);
    connect(m.exit, &QAction::triggered, this, [this] {
        if (confirmLeave("A game is running. Exit Quorbit and leave it?")) close();
    });

    // Options: each change takes effect, then the settings are written.
    auto option = [this](QAction* a, bool quorbit::client::ClientOptions::*field) {
        connect(a, &QAction::triggered, this, [this, field](bool on) {
            engine_.options().*field = on;
            saveinifile();
        });
    };
    option(m.playSounds, &quorbit::client::ClientOptions::playSounds);
    option(m.postWords, &quorbit::client::ClientOptions::postWordsInChatBox);
    option(m.showBestWords, &quorbit::client::ClientOptions::showBestWords);
    for (int v = 0; v < 3; ++v) {
        connect(m.turnSound[static_cast<std::size_t>(v)], &QAction::triggered, this, [this, v] {
            engine_.options().turnSound = static_cast<quorbit::client::TurnSound>(v);
            applyTurnSoundChecks();
            saveinifile();
        });
    }
    connect(m.textColour, &QAction::triggered, this, [this] { changeColour(false); });
    connect(m.actionColour, &QAction::triggered, this, [this] { changeColour(true); });
    for (std::size_t i = 0; i < m.textSize.size(); ++i) {
        connect(m.textSize[i], &QAction::triggered, this, [this, s = quorbit::app::MainMenus::kTextSizes[i]] {
            setTextSize(s);
            saveinifile();
        });
    }
    connect(m.scrollChatOff, &QAction::triggered, this, [this] { mainchat->setScrollFrozen(!mainchat->scrollFrozen()); });
    connect(mainchat, &quorbit::app::ChatBox::scrollFrozenChanged, m.scrollChatOff, &QAction::setChecked);
    connect(m.clearMainChat, &QAction::triggered, mainchat, &quorbit::app::ChatBox::clearChat);
    connect(m.justWatch, &QAction::triggered, this, [this] {
        menus_->justWatch->setChecked(engine_.options().justWatch);  // only the server's answer moves the mark
        engine_.justWatchMenuClick();
        sync();
    });
    connect(m.askBeforeLeaving, &QAction::triggered, this, [this] { saveinifile(); });
    connect(m.resetScreenLocation, &QAction::triggered, this, [this] { setBounds(quorbit::social::WindowBounds{}); });

    tiles_ = new quorbit::media::TilesMenu(m.tiles, this);
    tiles_->grouptilesmenu();
    connect(tiles_, &quorbit::media::TilesMenu::picturesChanged, this, &Tchat::applyTilePictures);
    connect(tiles_, &quorbit::media::TilesMenu::saveRequested, this, [this] {
        tileSetName_ = tiles_->currentName();
        saveinifile();
    });

    connect(m.phraseList, &QAction::triggered, this, [this] {
        if (!windows_.phrases) return;
        QStringList phrases;
        for (const auto& p : engine_.options().phrases) phrases << QString::fromStdString(p);
        windows_.phrases->showWith(phrases, this);
    });
    connect(m.spyList, &QAction::triggered, this, [this] {
        if (windows_.spylist) windows_.spylist->showOver(this);
    });
    connect(m.viewTally, &QAction::triggered, this, [this] {
        quorbit::client::TallyCall call;
        call.kind = quorbit::client::TallyCall::Kind::loadchecklist;
        call.players = engine_.loadchecklist();
        emit tallyRequested(call);
        if (windows_.tallylist) windows_.tallylist->show();
    });
    connect(m.recentGames, &QAction::triggered, this, [this] {
        if (windows_.recentgames) windows_.recentgames->showOver(this);
    });
    connect(m.content, &QAction::triggered, this, [this] {
        if (windows_.help) windows_.help->show();
    });
    connect(m.about, &QAction::triggered, this, [this] {
        if (windows_.about) windows_.about->show();
    });

    connect(m.removeFromGame, &QAction::triggered, this, [this] {
        engine_.kicking(popupSeat_);
        sync();
    });
    connect(m.setJustWatch, &QAction::triggered, this, [this] {
        engine_.setJustWatch(popupSeat_, true);
        sync();
    });
    connect(m.unsetJustWatch, &QAction::triggered, this, [this] {
        engine_.setJustWatch(popupSeat_, false);
        sync();
    });
    for (std::size_t i = 0; i < 4; ++i) {
        connect(label_playername[i], &QWidget::customContextMenuRequested, this, [this, i](const QPoint& p) {
            openPlayerMenu(static_cast<int>(i) + 1, label_playername[i]->mapToGlobal(p));
        });
    }
    // Both team labels open the menu for seat 1.
    for (QLabel* team : {label_team1, label_team2})
        connect(team, &QWidget::customContextMenuRequested, this,
                [this, team](const QPoint& p) { openPlayerMenu(1, team->mapToGlobal(p)); });
}

QMenu* Tchat::playerMenu() const { return menus_->player; }

void Tchat::preparePlayerMenu(int seat) {
    const bool host = engine_.state().ishost;
    menus_->removeFromGame->setEnabled(host);
    menus_->setJustWatch->setEnabled(host);
    menus_->unsetJustWatch->setEnabled(host);
    if (engine_.state().seat(seat).holder == quorbit::client::SeatHolder::Nobody)
        menus_->removeFromGame->setEnabled(false);
    popupSeat_ = seat;
}

void Tchat::openPlayerMenu(int seat, const QPoint& globalPos) {
    if (!quorbit::rules::isPlayingSeat(seat)) return;
    preparePlayerMenu(seat);
    menus_->player->popup(globalPos);
}

void Tchat::applyTurnSoundChecks() {
    const int chosen = static_cast<int>(engine_.options().turnSound);
    for (int v = 0; v < 3; ++v) menus_->turnSound[static_cast<std::size_t>(v)]->setChecked(v == chosen);
}

void Tchat::setTextSize(int size) {
    mainchat->setChatFont(size);
    for (std::size_t i = 0; i < menus_->textSize.size(); ++i)
        menus_->textSize[i]->setChecked(quorbit::app::MainMenus::kTextSizes[i] == size);
}

int Tchat::textSize() const { return mainchat->chatFontSize(); }

void Tchat::changeColour(bool action) {
    auto& opts = engine_.options();
    const quorbit::social::Colour current = action ? opts.actionColour : opts.textColour;
    QColor colour(current.red(), current.green(), current.blue());
    const bool ok = chooseColour(colour, action ? "Action Color" : "Text Color");
    if (ok && colour.isValid()) {
        const auto chosen = quorbit::social::Colour::fromRgb(colour.red(), colour.green(), colour.blue());
        if (action) {
            opts.actionColour = chosen;
        } else {
            opts.textColour = chosen;
            QPalette pal = mychat->palette();
            pal.setColor(QPalette::Text, colour);
            mychat->setPalette(pal);
        }
    }
    // A cancelled text colour saves nothing; the action colour saves either way.
    if (ok || action) saveinifile();
}
