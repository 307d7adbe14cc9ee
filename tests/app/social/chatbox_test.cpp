#include <QPushButton>
#include <QTimer>
#include <QMessageBox>
// The chat box and the entry field on their own.
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>

#include "app/client/chatbox.h"

namespace quorbit::app {
namespace {

// The bold and regular runs of one line of the box.
std::vector<std::pair<QString, bool>> runs(const ChatBox& box, int line) {
    std::vector<std::pair<QString, bool>> out;
    const QTextBlock block = box.document()->findBlockByNumber(line);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        out.emplace_back(f.text(), f.charFormat().fontWeight() == QFont::Bold);
    }
    return out;
}

TEST(ChatBox, HeadUpToTheFirstColonIsBoldAndEachLineHasOneColour) {
    ChatBox box;
    box.addlinetochat("Ann chats: see you: later", Qt::red);
    box.addlinetochat("no colon here", Qt::blue);
    box.addlinetochat(":", Qt::black);
    EXPECT_EQ(box.toPlainText(), "Ann chats: see you: later\nno colon here\n:");
    using R = std::vector<std::pair<QString, bool>>;
    EXPECT_EQ(runs(box, 0), (R{{"Ann chats:", true}, {" see you: later", false}}));
    EXPECT_EQ(runs(box, 1), (R{{"no colon here", false}}));
    EXPECT_EQ(runs(box, 2), (R{{":", true}}));
    const QTextBlock first = box.document()->firstBlock();
    for (auto it = first.begin(); !it.atEnd(); ++it) EXPECT_EQ(it.fragment().charFormat().foreground().color(), Qt::red);
    EXPECT_EQ(box.palette().color(QPalette::Base), QColor(0xF2, 0xF9, 0xFF));
    EXPECT_EQ(box.objectName(), "mainchat");
    EXPECT_TRUE(box.isReadOnly());
}

TEST(ChatBox, ScrollFreezeKeepsTheViewAndTheCaret) {
    ChatBox box;
    box.resize(300, 120);
    box.show();
    for (int i = 0; i < 60; ++i) box.addlinetochat(QString("line %1").arg(i), Qt::black);
    QScrollBar* bar = box.verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());  // unfrozen: the newest line shows
    ASSERT_GT(bar->maximum(), 0);

    QSignalSpy changed(&box, &ChatBox::scrollFrozenChanged);
    box.scrollChatOffAction()->trigger();
    EXPECT_TRUE(box.scrollFrozen());
    EXPECT_EQ(changed.count(), 1);
    bar->setValue(10);
    QTextCursor caret(box.document());
    caret.setPosition(15);
    box.setTextCursor(caret);
    for (int i = 0; i < 20; ++i) box.addlinetochat("more", Qt::black);
    EXPECT_EQ(bar->value(), 10);
    EXPECT_EQ(box.textCursor().position(), 15);

    box.setScrollFrozen(false);
    box.addlinetochat("last", Qt::black);
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST(ChatBox, LinksUnderThePointerOpenWithALeftClick) {
    ChatBox box;
    box.resize(400, 200);
    box.show();
    QStringList opened, asked;
    bool yes = false;
    box.confirmLink = [&](const QString& l) {
        asked << l;
        return yes;
    };
    box.openLink = [&](const QString& l) { opened << l; };
    box.addlinetochat("Ann chats: look at www.example.org/page, then", Qt::black);
    box.addlinetochat("plain words", Qt::black);
    const QTextBlock first = box.document()->firstBlock();
    QTextCursor at(first);
    at.setPosition(first.position() + static_cast<int>(QString("Ann chats: look at www.ex").size()));
    const QPoint onLink = box.cursorRect(at).center();
    EXPECT_EQ(box.linkAt(onLink), "www.example.org/page");
    QTextCursor plain(box.document()->findBlockByNumber(1));
    plain.setPosition(plain.position() + 3);
    EXPECT_TRUE(box.linkAt(box.cursorRect(plain).center()).isEmpty());
    EXPECT_TRUE(box.linkAt(QPoint(5, 190)).isEmpty());  // below the text
    // Declined: nothing opens. Confirmed: the link opens.
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, onLink);
    EXPECT_EQ(asked, QStringList{"www.example.org/page"});
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(box.textCursor().selectedText(), "www.example.org/page");
    yes = true;
    QTest::qWait(QApplication::doubleClickInterval() + 20);  // a new click, not a double one
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, onLink);
    EXPECT_EQ(opened, QStringList{"www.example.org/page"});
}

// A Quorbit invite link is a link too, confirmed the same way, and handed to whoever opens
// the lobby rather than to the desktop's web browser.
TEST(ChatBox, InviteLinksAreConfirmedAndHandedOn) {
    ChatBox box;
    box.resize(600, 200);
    box.show();
    box.addlinetochat("Ann: join me at quorbit://games.example.org/Ann%27s%20table now", Qt::black);
    QTextCursor at(box.document()->firstBlock());
    at.setPosition(static_cast<int>(QString("Ann: join me at quorbit://ga").size()));
    const QPoint onLink = box.cursorRect(at).center();
    EXPECT_EQ(box.linkAt(onLink), "quorbit://games.example.org/Ann%27s%20table");
    QStringList asked, handed;
    box.confirmLink = [&](const QString& l) {
        asked << l;
        return true;
    };
    QObject::connect(&box, &ChatBox::inviteLinkOpened, [&](const QString& l) { handed << l; });
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, onLink);
    EXPECT_EQ(asked, QStringList{"quorbit://games.example.org/Ann%27s%20table"});
    EXPECT_EQ(handed, asked);
}

TEST(ChatBox, TheConfirmationShowsTheWholeAddressAndOtherSchemesAreNoLinks) {
    ChatBox box;
    box.resize(600, 200);
    box.show();
    const QString address = "https://example.org/a/very/long/path?with=query";
    box.addlinetochat("Ann chats: " + address + " file:///etc/passwd", Qt::black);
    QTextCursor at(box.document()->firstBlock());
    at.setPosition(static_cast<int>(QString("Ann chats: https://exa").size()));
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!question) return;
        shown = question->text();
        question->button(QMessageBox::No)->click();
    });
    QStringList opened;
    box.openLink = [&](const QString& l) { opened << l; };
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, box.cursorRect(at).center());
    EXPECT_TRUE(shown.startsWith("Open this link?")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(address));
    EXPECT_TRUE(opened.isEmpty());
    at.setPosition(static_cast<int>(QString("Ann chats: " + address + " file:///e").size()));
    EXPECT_TRUE(box.linkAt(box.cursorRect(at).center()).isEmpty());
}

TEST(ChatBox, ALinkWithABidiOverrideShowsItInTheBoxAndTheConfirmation) {
    ChatBox box;
    box.resize(600, 200);
    box.show();
    box.addlinetochat(QString::fromUtf8("Eve chats: https://evil.example/\u202emoc.knab.www//:sptth"), Qt::black);
    const QString shownLine = "Eve chats: https://evil.example/<U+202E>moc.knab.www//:sptth";
    EXPECT_EQ(box.toPlainText(), shownLine);
    QTextCursor at(box.document()->firstBlock());
    at.setPosition(static_cast<int>(QString("Eve chats: https://ev").size()));
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!question) return;
        shown = question->text();
        question->button(QMessageBox::No)->click();
    });
    box.openLink = [](const QString&) { ADD_FAILURE() << "declined, yet opened"; };
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, box.cursorRect(at).center());
    EXPECT_EQ(shown, "Open this link?\n\nhttps://evil.example/<U+202E>moc.knab.www//:sptth");
}

TEST(ChatBox, KeepsTheLastTwoThousandLines) {
    ChatBox box;
    for (int i = 1; i <= kMaxChatLines + 500; ++i) box.addlinetochat(QString("line %1").arg(i), Qt::black);
    EXPECT_EQ(box.document()->blockCount(), kMaxChatLines);
    EXPECT_EQ(box.document()->firstBlock().text(), "line 501");
    EXPECT_EQ(box.document()->lastBlock().text(), QString("line %1").arg(kMaxChatLines + 500));
}

TEST(ChatBox, ClearEmptiesTheBoxAndHandsTheFocusOn) {
    ChatBox box;
    QSignalSpy focus(&box, &ChatBox::focusEntry);
    box.addlinetochat("x", Qt::black);
    box.clearChat();
    EXPECT_TRUE(box.toPlainText().isEmpty());
    EXPECT_EQ(focus.count(), 1);
}

TEST(ChatEntry, PlaceholderEnterAndPaste) {
    ChatEntry entry;
    QSignalSpy sent(&entry, &ChatEntry::sendRequested);
    EXPECT_EQ(entry.text(), "<Enter Chat Here>");
    QTest::keyClick(&entry, Qt::Key_H);
    EXPECT_EQ(entry.text(), "h");
    QTest::keyClick(&entry, Qt::Key_Return);
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toString(), "h");
    EXPECT_EQ(entry.text(), "h");  // the window clears it when the line was taken

    QApplication::clipboard()->setText("pasted text");
    entry.paste();
    EXPECT_EQ(entry.text(), "pasted text");  // replaces the whole field
    QApplication::clipboard()->clear();
    entry.paste();
    EXPECT_EQ(entry.text(), "pasted text");  // no text on the clipboard: nothing happens
}

}  // namespace
}  // namespace quorbit::app
