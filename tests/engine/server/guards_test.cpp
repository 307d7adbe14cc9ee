// What no peer can do: send oversized texts, queue without bound, act before logging
// in, hold a seat without logging in, or take another player's name.
#include "harness.h"

namespace quorbit::server::testing {
namespace {

using proto::frame;
namespace tc = proto::toclient;
namespace ts = proto::toserver;

using Guards = ServerTest;

TEST_F(Guards, RelayedTextsAreCutAfterDecoding) {
    join(1, "Ann");
    join(2, "Bob");
    out_.clear();
    // 60,000 bytes of 0x80 read as Windows-1252: three bytes each once decoded.
    say(2, "CMD_chat+2+" + std::string(60000, '\x80') + "|clRed");
    say(2, ts::action(2, std::string(5000, 'a'), "clGreen"));
    const auto lines = out_.take(1);
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& l : lines) EXPECT_LE(l.size() + 1, proto::kMaxRelayedLine);
    std::string euros;
    for (std::size_t i = 0; i < proto::kMaxTextChars; ++i) euros += "\xE2\x82\xAC";
    EXPECT_EQ(lines[0], tc::chat("Bob", euros + "|clRed"));
    EXPECT_EQ(lines[1], tc::action("Bob", std::string(proto::kMaxTextChars, 'a') + "|clGreen"));
}

TEST_F(Guards, NamesAreCleanedCutAndMadeUnique) {
    EXPECT_EQ(server_.seat(join(1, std::string(" \tAnn\x01") + std::string(40, 'n') + " ")).name,
              "Ann" + std::string(21, 'n'));
    out_.clear();
    EXPECT_EQ(server_.seat(join(2, "bob")).name, "bob");
    EXPECT_EQ(server_.seat(join(3, "BOB")).name, "BOB (2)");
    EXPECT_EQ(server_.seat(join(4, "Bob")).name, "Bob (3)");
    // Everybody hears the name the server kept, the newcomer too.
    EXPECT_EQ(only(out_.take(4), "CMD_newplayerinfo"), std::vector<std::string>{tc::newplayerinfo(4, "Bob (3)")});
    EXPECT_EQ(only(out_.take(2), "CMD_newplayerinfo"),
              (std::vector<std::string>{tc::newplayerinfo(2, "bob"), tc::newplayerinfo(3, "BOB (2)"),
                                        tc::newplayerinfo(4, "Bob (3)")}));
    EXPECT_EQ(server_.seat(join(5, "zUBO")).name, "zUBO (2)");
    // Logging in again under one's own name keeps it; a departed player's name is free.
    say(2, ts::logininfo(2, proto::kVersion, "Bob"));
    EXPECT_EQ(server_.seat(2).name, "Bob");
    server_.closed(3);
    EXPECT_EQ(server_.seat(join(6, "bob (2)")).name, "bob (2)");
}

TEST_F(Guards, NamesThatLookAlikeAreOneNameAndNamesWithNothingVisibleAreRefused) {
    join(1, "Ann");
    EXPECT_EQ(server_.seat(join(2, "Zubo\u200B")).name, "Zubo (2)");
    EXPECT_EQ(server_.seat(join(3, "\uFF3A\uFF55\uFF42\uFF4F")).name, "\uFF3A\uFF55\uFF42\uFF4F (3)");
    EXPECT_EQ(server_.seat(join(4, "Zubo\u00A0")).name, "Zubo (4)");
    EXPECT_EQ(server_.seat(join(5, "Zub\u043E")).name, "Zub\u043E (5)");  // Cyrillic o
    EXPECT_EQ(server_.seat(join(6, "\u202Eevil\u202C Ann")).name, "evil Ann");
    // With its number a name stays within the cap.
    join(7, std::string(24, 'x'));
    EXPECT_EQ(server_.seat(join(8, std::string(24, 'X'))).name, std::string(20, 'X') + " (2)");
    out_.clear();
    EXPECT_EQ(join(9, " \u3000\u00A0\u200B"), 9);
    EXPECT_FALSE(server_.seat(9).connected);
    EXPECT_EQ(out_.closedIds, std::vector<ConnectionId>{9});
    EXPECT_TRUE(only(out_.take(1), "CMD_newplayerinfo").empty());
}

TEST_F(Guards, NoPlayerWritesInTheSystemColour) {
    join(1, "Ann");
    join(2, "Bob");
    out_.clear();
    for (const char* colour : {"clBlue", "CLBLUE", "$00FF0000", "16711680", "$00F01010"})
        say(2, ts::action(2, "disconnected.", colour));
    say(2, ts::chat(2, "hi", "clNavy"));
    const auto lines = out_.take(1);
    ASSERT_EQ(lines.size(), 6u);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(lines[i], tc::action("Bob", "disconnected.|clBlack"));
    EXPECT_EQ(lines[5], tc::chat("Bob", "hi|clNavy"));
}

TEST_F(Guards, LogLinesAreTiedToTheConnectionThatCausedThem) {
    struct Tagged : FakeOutput {
        void logAbout(ConnectionId id, std::string_view line) override { about.emplace_back(id, line); }
        std::vector<std::pair<ConnectionId, std::string>> about;
    } out;
    TServer server(out, dict_, random_);
    server.opened(4);
    server.received(4, proto::frame("CMD_logininfo+x\n\x1B[2J+1.0.10+Ann"));
    server.socktimerTimer();
    ASSERT_EQ(out.about.size(), 1u);
    EXPECT_EQ(out.about[0].first, 4);
    EXPECT_TRUE(out.logs.empty());
}

TEST_F(Guards, QueuedBytesAreBoundedBesideLines) {
    join(1, "Ann");
    join(2, "Bob");
    out_.clear();
    const std::string line = frame(ts::chat(2, std::string(1000, 'x'), "clRed"));
    std::string burst;
    while (burst.size() < proto::kMaxQueuedBytes - 2 * line.size()) burst += line;
    server_.received(2, burst);
    EXPECT_TRUE(out_.closedIds.empty());
    // Served lines no longer count.
    for (int i = 0; i < 20; ++i) server_.socktimerTimer();
    server_.received(2, line + line + line + line);
    EXPECT_TRUE(out_.closedIds.empty());
    server_.received(2, burst);
    EXPECT_EQ(out_.closedIds, std::vector<ConnectionId>{2});
    EXPECT_FALSE(server_.seat(2).connected);
    EXPECT_EQ(server_.queuedLines(2), 0u);
}

TEST_F(Guards, BeforeLoginOnlyTheLoginIsHeard) {
    join(1, "Ann");
    server_.closed(1);
    server_.opened(7);  // seat 1 again, not logged in
    ASSERT_EQ(server_.seatOf(7), 1);
    join(2, "Bob");
    out_.clear();
    start(100, 60, false, 1, 7);
    say(7, ts::kickhim(1, 2));
    say(7, ts::chat(1, "hi", "clRed"));
    EXPECT_FALSE(server_.gamerunning());
    EXPECT_TRUE(out_.closedIds.empty());
    EXPECT_TRUE(out_.take(2).empty());
    // Lines after a login in the same read are heard.
    server_.received(7, frame(ts::logininfo(1, proto::kVersion, "Host")) + frame(ts::chat(1, "hi", "clRed")));
    pump();
    EXPECT_EQ(only(out_.take(2), "CMD_chat"), std::vector<std::string>{tc::chat("Host", "hi|clRed")});
}

TEST_F(Guards, ConnectionsThatDoNotLogInAreClosedInTimeAndTheirSeatsReused) {
    join(1, "Ann");
    server_.opened(2, 1000);
    server_.opened(3, 6000);
    EXPECT_EQ(server_.nextLoginDeadline(), 1000 + kLoginMs);
    server_.loginTimer(1000 + kLoginMs - 1);
    EXPECT_TRUE(out_.closedIds.empty());
    say(3, ts::logininfo(3, proto::kVersion, "Cy"));
    server_.loginTimer(1000 + kLoginMs);
    EXPECT_EQ(out_.closedIds, std::vector<ConnectionId>{2});
    EXPECT_FALSE(server_.seat(2).connected);
    EXPECT_EQ(server_.nextLoginDeadline(), std::nullopt);  // nothing left to wait for
    server_.loginTimer(1000000);
    EXPECT_EQ(out_.closedIds.size(), 1u);
    server_.opened(4, 20000);
    EXPECT_EQ(server_.seatOf(4), 2);
}

}  // namespace
}  // namespace quorbit::server::testing
