// Plays a short solo game against Zubo in a real window and photographs it: before the
// game, the game-start dialog, a chain being built, a hint, the winner banner, and the
// game replayed from "Recent Games". Run it under
// a virtual display (tools/screenshots.sh); it calls ImageMagick's "import" for each
// picture, so what is saved is what the X server shows.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QScreen>
#include <QTcpSocket>
#include <QTreeWidget>
#include <QTest>
#include <cstdio>
#include <functional>
#include <unistd.h>

#include "testkit/board_words.h"
#include "app/client/boardview.h"
#include "app/client/tchat.h"
#include "app/record/recentgames.h"
#include "app/discovery/browser.h"
#include "app/shell/program.h"
#include "app/social/downloadform.h"
#include "app/social/gamestartform.h"
#include "app/social/helpform.h"
#include "app/social/joinform.h"
#include "app/social/tallylistform.h"
#include "app/social/phrasesform.h"

namespace {

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QTest::qWait(20);
    }
    return true;
}

void shot(const QWidget& w, const QString& path) {
    QTest::qWait(300);  // let the X server catch up
    // The X server counts device pixels; Qt's geometry is in pixels of the scale factor.
    const qreal ratio = w.devicePixelRatioF();
    const QRect g = w.frameGeometry();
    const QRect r(QPoint(qRound(g.x() * ratio), qRound(g.y() * ratio)), QSize(qRound(g.width() * ratio), qRound(g.height() * ratio)));
    const QString crop = QString("%1x%2+%3+%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
    const int rc = QProcess::execute("import", {"-window", "root", "-crop", crop, "+repage", path});
    std::fprintf(stderr, "%s %s\n", rc == 0 ? "saved" : "FAILED", qPrintable(path));
}

// Builds the first three letters of a word on the board with the keyboard only and
// photographs the window with the focus square on the next letter.
bool keyboardShot(Tchat& chat, const quorbit::testsupport::BoardWords& words, const QString& path) {
    auto* board = chat.findChild<quorbit::app::BoardView*>("paintbox_board");
    const auto& s = chat.state();
    if (!waitFor([&] { return s.whoseturn == s.myseat && s.button_done && s.boardletters[0][0] != 0; }, 30000))
        return false;
    const auto found = words.find(s.boardletters);
    if (!found || found->second.size() < 4) return false;
    // With no window manager on the virtual display, the window is made active by hand so
    // that the board can hold the keyboard focus and draw its focus square.
    chat.activateWindow();
    QApplication::setActiveWindow(&chat);
    if (!QTest::qWaitForWindowActive(&chat, 2000)) std::fprintf(stderr, "the window did not become active\n");
    board->setFocus(Qt::TabFocusReason);
    auto press = [board](Qt::Key k) {
        QTest::keyClick(board, k);
        QTest::qWait(30);
    };
    for (std::size_t i = 0; i < 4; ++i) {
        const auto [x, y] = found->second[i];
        while (board->focusSquare().x < x) press(Qt::Key_Right);
        while (board->focusSquare().x > x) press(Qt::Key_Left);
        while (board->focusSquare().y < y) press(Qt::Key_Down);
        while (board->focusSquare().y > y) press(Qt::Key_Up);
        if (i < 3) press(Qt::Key_Space);
    }
    shot(chat, path);
    return true;
}

// A player seated at `table` of the table server on `port` (logged in as `name`); the
// socket stays open while the picture is taken.
QTcpSocket* seatAt(int port, const QString& table, const QString& name) {
    auto* s = new QTcpSocket;
    s->connectToHost("127.0.0.1", static_cast<quint16>(port));
    if (!s->waitForConnected(5000)) return s;
    s->write("CMD_table+" + table.toUtf8() + '\xff');
    QByteArray got;
    while (!got.contains('\xff') && s->waitForReadyRead(5000)) got += s->readAll();
    const QByteArray seat = got.split('\xff').front().split('+').value(1);  // CMD_sendlogininfo+SEAT
    s->write("CMD_logininfo+" + seat + "+1.0.10+" + name.toUtf8() + '\xff');
    s->flush();
    return s;
}

// The Join a Game window with a table server's tables listed and one of them picked.
int tablesShot(const QString& out) {
    const int port = 21000 + getpid() % 20000;
    QProcess server;
    server.start(QCoreApplication::applicationDirPath() + "/quorbit",
                 {"--server", "--no-announce", "--port", QString::number(port)});
    if (!waitFor([&] {
            QTcpSocket probe;
            probe.connectToHost("127.0.0.1", static_cast<quint16>(port));
            return probe.waitForConnected(200);
        }, 10000)) {
        std::fprintf(stderr, "no server\n");
        return 1;
    }
    QTest::qWait(700);  // the probe's connection is gone from the default table
    const std::vector<std::pair<QString, QString>> seated = {
        {"Friday", "Ann"}, {"Friday", "Bob"}, {"Friday", "Cleo"}, {"Beginners", "Dee"}, {"", "Eve"}, {"Night owls", "Finn"}};
    std::vector<QTcpSocket*> players;
    for (const auto& [table, name] : seated) players.push_back(seatAt(port, table, name));
    QTest::qWait(300);
    Tjoin join;
    join.setPlayerName("Gus");
    join.show();
    join.move(0, 0);
    join.findChild<QLineEdit*>("edit_address")->setText(QString("127.0.0.1:%1").arg(port));
    join.listTablesClick();
    auto* list = join.findChild<QTreeWidget*>("list_tables");
    if (!waitFor([&] { return list->topLevelItemCount() == 4; }, 10000)) {
        std::fprintf(stderr, "the tables were not listed\n");
        return 1;
    }
    list->setCurrentItem(list->topLevelItem(2));
    shot(join, out + "/join-tables.png");
    for (QTcpSocket* p : players) delete p;
    server.terminate();
    server.waitForFinished(5000);
    return 0;
}

// The Join a Game window listing a game that a server announces, with Ann seated. Needs
// an Avahi daemon: tools/join_screenshot.sh runs it in a network namespace of its own.
int joinShot(const QString& out) {
    QProcess server;
    server.start(QCoreApplication::applicationDirPath() + "/quorbit",
                 {"--server", "--name", "Ann's game", "--port", "17772"});
    QTcpSocket ann;
    if (!waitFor([&] {
            ann.abort();
            ann.connectToHost("127.0.0.1", 17772);
            return ann.waitForConnected(200);
        }, 10000)) {
        std::fprintf(stderr, "no server\n");
        return 1;
    }
    ann.write(QByteArray("CMD_logininfo+1+1.0.10+Ann") + '\xff');
    ann.flush();
    quorbit::discovery::GameBrowser browser;
    Tjoin join;
    join.attachBrowser(&browser);
    join.setPlayerName("Cleo");
    join.show();
    join.move(0, 0);
    auto* list = join.findChild<QTreeWidget*>("list_games");
    if (!waitFor([&] { return list->topLevelItemCount() > 0 && list->topLevelItem(0)->text(1) == "1 of 4"; }, 15000)) {
        std::fprintf(stderr, "the game was not found\n");
        return 1;
    }
    list->setCurrentItem(list->topLevelItem(0));
    shot(join, out + "/join-window.png");
    server.terminate();
    server.waitForFinished(5000);
    return 0;
}

}  // namespace

// The Join a Game window with an address, a name and a password typed (shown masked).
int passwordShot(const QString& out) {
    Tjoin join;
    join.setGames({});
    join.setPlayerName("Ann");
    join.show();
    join.move(0, 0);
    join.findChild<QLineEdit*>("edit_address")->setText("127.0.0.1:7772");
    join.findChild<QLineEdit*>("edit_table")->setText("Friday");
    auto* password = join.findChild<QLineEdit*>("edit_password");
    password->setFocus();
    QTest::keyClicks(password, "correct horse");
    shot(join, out + "/join-password.png");
    return 0;
}

int main(int argc, char** argv) {
    const QString tmp = QDir::tempPath() + QString("/quorbit-screens-%1").arg(getpid());
    QDir().mkpath(tmp);
    if (qEnvironmentVariableIsEmpty("QUORBIT_DATA_DIR")) qputenv("QUORBIT_DATA_DIR", tmp.toUtf8());
    QDir::setCurrent(tmp);  // the word file goes here
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString(argv[1]) : QString("docs");
    QDir().mkpath(out);
    if (argc > 2 && QString(argv[2]) == "join") return joinShot(out);
    if (argc > 2 && QString(argv[2]) == "tables") return tablesShot(out);
    if (argc > 2 && QString(argv[2]) == "password") return passwordShot(out);

    quorbit::shell::CommandLine line;
    line.announce = false;  // photographs stay off the network
    line.port = 20000 + getpid() % 20000;
    quorbit::shell::Program program(line);
    Tchat& chat = program.chat();
    chat.show();
    chat.move(0, 0);
    if (!waitFor([&] { return chat.state().loggedin && chat.state().seats[0].label_playername == "You"; }, 5000)) {
        std::fprintf(stderr, "not logged in\n");
        return 1;
    }
    program.download().hide();
    chat.engine().options().playSounds = false;
    // "keyboard" photographs only the focus square, at the scale the environment sets.
    if (argc > 2 && QString(argv[2]) == "keyboard") {
        quorbit::testsupport::BoardWords words;
        program.gamestart().setPlaytoscore(1000);
        chat.startGameFromDialog();
        const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1");
        return keyboardShot(chat, words, out + "/quorbit-keyboard-" + scale + "x.png") ? 0 : 1;
    }
    // "menus" photographs the File and Options menus during the own turn, the Join window
    // (no games to list here) and the Help's Documentation page.
    if (argc > 2 && QString(argv[2]) == "menus") {
        program.gamestart().setPlaytoscore(1000);
        chat.startGameFromDialog();
        const auto& s = chat.state();
        if (!waitFor([&] { return s.whoseturn == s.myseat && s.boardletters[0][0] != 0; }, 30000)) return 1;
        QMenu* file = chat.findChild<QMenu*>("File1");
        file->popup(chat.mapToGlobal(QPoint(0, 20)));
        shot(chat, out + "/menu-file.png");
        file->hide();
        QMenu* options = chat.findChild<QMenu*>("Options1");
        options->popup(chat.mapToGlobal(QPoint(40, 20)));
        QTest::qWait(300);
        const QRect both = chat.frameGeometry().united(options->geometry());
        QProcess::execute("import", {"-window", "root", "-crop", QString("%1x%2+%3+%4").arg(both.width()).arg(both.height()).arg(both.x()).arg(both.y()), "+repage", out + "/menu-options.png"});
        options->hide();
        program.showJoin();
        shot(program.join(), out + "/join-window-none.png");
        program.join().hide();
        chat.action("Content1")->trigger();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* help = qobject_cast<Thelp*>(w)) {
                help->showTopic(5);
                shot(*help, out + "/help-documentation.png");
            }
        return 0;
    }
    // "sizes" photographs a game at the size the window opens with (and the scale factor
    // the environment sets), then with the window filling the whole screen.
    if (argc > 2 && QString(argv[2]) == "sizes") {
        program.gamestart().setPlaytoscore(1000);
        chat.startGameFromDialog();
        const auto& s = chat.state();
        if (!waitFor([&] { return s.whoseturn == s.myseat && s.boardletters[0][0] != 0; }, 30000)) return 1;
        chat.engine().sendit("Good luck!");
        chat.sync();
        const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1");
        shot(chat, out + "/quorbit-size-" + scale + "x.png");
        if (scale == "1") {
            // No window manager runs under Xvfb to maximise it: the window takes the screen.
            chat.setGeometry(chat.screen()->availableGeometry());
            shot(chat, out + "/quorbit-size-maximised.png");
        }
        return 0;
    }
    // A few friendly lines for the chat box.
    chat.engine().sendit("Hi Zubo, ready for a game?");
    chat.sync();
    QTest::qWait(400);
    shot(chat, out + "/quorbit-lobby.png");

    chat.action("PhraseList1")->trigger();
    QTest::qWait(300);
    shot(program.phrases(), out + "/quorbit-phrases.png");
    program.phrases().hide();

    Tgamestart& dialog = program.gamestart();
    dialog.setPlaytoscore(100);
    dialog.setTimeperturn(60);
    dialog.setQuorbitshuffle(2);
    chat.button_startClick();
    QTest::qWait(300);
    shot(dialog, out + "/quorbit-gamestart.png");
    chat.startGameFromDialog();

    quorbit::testsupport::BoardWords words;

    // Follow Zubo in the tally, so the tally window has a record to show at the end.
    Ttallylist& tally = program.tallylist();
    chat.action("ViewTally1")->trigger();
    QTest::qWait(300);
    if (auto* current = tally.findChild<QListWidget*>("checklist"); current && current->count() > 0)
        current->item(0)->setCheckState(Qt::Checked);
    tally.hide();

    auto* board = chat.findChild<quorbit::app::BoardView*>("paintbox_board");
    bool chainShot = false;
    bool hintShot = false;
    int turns = 0;
    QElapsedTimer t;
    t.start();
    while (!chat.state().panel_winner && t.elapsed() < 300000) {
        const auto& s = chat.state();
        for (int d = 1; d <= 4; ++d) {
            const auto& arrow = s.image_direction[static_cast<std::size_t>(d - 1)];
            if (arrow.visible && arrow.owner == s.myseat) {
                auto* image = chat.findChild<QWidget*>(QString("image_direction%1").arg(1 + turns % 4));
                QTest::mouseClick(image, Qt::LeftButton);
                break;
            }
        }
        if (s.whoseturn == s.myseat && s.button_done && s.selectedcount == 0) {
            QTest::qWait(600);
            // In the turn after the chain's picture, the hint shows the best word.
            if (chainShot && !hintShot && chat.engine().hintAvailable()) {
                chat.hintClick();
                shot(chat, out + "/quorbit-hint.png");
                hintShot = true;
            }
            if (auto found = words.find(s.boardletters)) {
                for (const auto& [x, y] : found->second) {
                    QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(x * 56 + 28, y * 56 + 28));
                    QTest::qWait(120);
                }
                if (!chainShot && found->second.size() >= 4) {
                    shot(chat, out + "/quorbit-chain.png");
                    chainShot = true;
                }
                QTest::mouseClick(board, Qt::RightButton, {}, QPoint(28, 28));
                ++turns;
            }
        }
        QTest::qWait(50);
    }
    QTest::qWait(500);
    shot(chat, out + "/quorbit-winner.png");

    chat.action("ViewTally1")->trigger();
    if (auto* followed = tally.findChild<QListWidget*>("listbox_tally"); followed && followed->count() > 0)
        followed->setCurrentRow(0);
    tally.move(120, 80);
    QTest::qWait(300);
    shot(tally, out + "/quorbit-tally.png");

    // The game just played, kept and listed under View, "Recent Games", then replayed in
    // the main window to its third word.
    tally.hide();
    TrecentGames& recent = program.recentgames();
    QSignalSpy listed(&recent, &TrecentGames::refreshed);
    chat.action("RecentGames1")->trigger();
    if (recent.refreshing()) listed.wait(10000);  // the rows fill in as their files are read
    recent.move(60, 60);
    QTest::qWait(300);
    shot(recent, out + "/quorbit-recent-games.png");
    recent.hide();
    if (chat.startReplay(recent.selectedPath())) {
        chat.replayPlay(false);
        for (int i = 0; i < 3; ++i) chat.replayNextWord();
        QTest::qWait(300);
        shot(chat, out + "/quorbit-replay.png");
        chat.leaveReplay();
    }
    std::fprintf(stderr, "%d turns, winner banner %s\n", turns, chat.state().panel_winner ? "shown" : "missing");
    return chat.state().panel_winner ? 0 : 1;
}
