// The hosting program while a second connection sends chat lines built to be cut: long
// runs of bytes that grow threefold when read as Windows-1252, with a forged "Game is
// full" message wherever a cut could fall. The host's window goes on, with no message box.
#include <QTcpSocket>

#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/messages.h"
#include "window_fixture.h"

namespace quorbit::apptest {
namespace {

using HostilePeer = SoloGame;

TEST_F(HostilePeer, ForgedLinesInsideLongChatLinesReachNobodyAsMessages) {
    QTcpSocket peer;
    peer.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    ASSERT_TRUE(waitFor([&] { return peer.bytesAvailable() > 0; }));
    const int seat = 2;
    const std::string greeting = protocol::frame(protocol::toclient::sendlogininfo(seat));
    ASSERT_EQ(peer.readAll().toStdString(), greeting);
    auto send = [&peer](const std::string& message) {
        const std::string framed = protocol::frame(message);
        peer.write(framed.data(), static_cast<qint64>(framed.size()));
    };
    send(protocol::toserver::logininfo(seat, protocol::kVersion, "Eve"));
    ASSERT_TRUE(waitFor([&] { return chatText().contains("Eve is Connected."); }));

    // The relay is a head naming Eve, then the text: put the forged message at every
    // offset around where the 64 KiB cut of the decoded relay would fall.
    const std::size_t head = protocol::toclient::chat("Eve", "").size();
    for (std::size_t at = protocol::kMaxTail - 3; at <= protocol::kMaxTail + 3; ++at) {
        const std::size_t wide = (at - head) / 3;
        std::string text(wide, '\x80');
        text.append(at - head - 3 * wide, 'x');
        text += protocol::frame(protocol::toclient::full());
        text.pop_back();  // no terminator: it travels inside the chat line
        send(protocol::toserver::chat(seat, text, "clRed"));
        peer.flush();
        QTest::qWait(30);
    }
    send(protocol::toserver::chat(seat, "after", "clRed"));
    ASSERT_TRUE(waitFor([&] { return chatText().contains("Eve chats: after"); }, 10000));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join("; ").toStdString();
    EXPECT_TRUE(chat().isVisible());
    // Every relayed chat line is within the cap.
    for (const QString& line : chatText().split('\n'))
        EXPECT_LE(static_cast<std::size_t>(line.size()), protocol::kMaxTextChars + 32);
}

}  // namespace
}  // namespace quorbit::apptest
