#pragma once
// A real solo game in this process: the program's windows, its server listening on a
// free loopback port, and the own client logged in over it. Message boxes and colour
// dialogs are recorded instead of shown.
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "app/client/tchat.h"
#include "app/shell/program.h"
#include "app/social/gamestartform.h"

namespace quorbit::apptest {

inline bool waitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QTest::qWait(5);
    }
    return true;
}

inline int freeLoopbackPort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

// What the window's chat box shows.
inline QString chatOf(Tchat& chat) { return chat.findChild<QWidget*>("mainchat")->property("plainText").toString(); }

// Sets the data folder and the working folder (the word file) to a fresh temporary one.
class TempHome {
public:
    TempHome() : old_(QDir::currentPath()) {
        qputenv("QUORBIT_DATA_DIR", dir_.path().toUtf8());
        QDir::setCurrent(dir_.path());
    }
    ~TempHome() {
        QDir::setCurrent(old_);
        qunsetenv("QUORBIT_DATA_DIR");
    }
    QString path() const { return dir_.path(); }
    QString settings() const { return dir_.path() + "/orvanelobby.ini"; }

private:
    QTemporaryDir dir_;
    QString old_;
};

class SoloGame : public ::testing::Test {
protected:
    void SetUp() override {
        shell::CommandLine line;
        line.port = freeLoopbackPort();
        port = line.port;
        program = std::make_unique<shell::Program>(line);
        chat().showMessage = [this](const QString& text) { boxes << text; };
        chat().chooseColour = [this](QColor& c, const QString&) {
            if (!nextColour.isValid()) return false;
            c = nextColour;
            return true;
        };
        chat().show();
        ASSERT_TRUE(waitFor([this] { return chat().state().loggedin && chatText().contains("You are Connected."); }));
    }
    void TearDown() override {
        program.reset();
        QTest::qWait(1);
    }

    // Starts a game from the dialog and waits for the own turn with a dealt board.
    void startAndWaitForTurn(bool team = false) {
        auto& dialog = program->gamestart();
        dialog.setPlaytoscore(10000);
        dialog.setTimeperturn(120);
        dialog.setQuorbitshuffle(1);
        dialog.setTeam(team);
        QTest::mouseClick(widget<QPushButton>("button_start"), Qt::LeftButton);
        ASSERT_TRUE(dialog.isVisible());
        QTest::mouseClick(dialog.findChild<QWidget*>("Image1"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        ASSERT_TRUE(waitFor([this] { return chat().state().seats[1].label_playername == "Zubo"; }));
        // Zubo may open the game; then the turn comes round after his word and the pause.
        ASSERT_TRUE(waitFor([this] { return s().whoseturn == s().myseat && s().boardletters[0][0] != 0; }, 25000));
    }
    const client::ClientState& s() { return chat().state(); }

    Tchat& chat() { return program->chat(); }
    template <typename W>
    W* widget(const QString& name) {
        return chat().findChild<W*>(name);
    }
    QString chatText() { return chatOf(chat()); }

    TempHome home;
    int port = 0;
    std::unique_ptr<shell::Program> program;
    QStringList boxes;
    QColor nextColour;
};

}  // namespace quorbit::apptest
