// What the client does not take on trust from the wire: seats and slots of echoes,
// names, repeated logins and an endless stream of lines.
#include "harness.h"
#include "protocol/limits.h"

namespace quorbit::client::testing {
namespace {

using Guards = ClientTest;

TEST_F(Guards, EchoesOfOtherSeatsAreIgnoredDuringMyTurn) {
    myTurn(1);
    clickSquare(0, 0);
    clickSquare(1, 1);
    clickSquare(2, 2);
    ASSERT_EQ(st().selectedcount, 3);
    // A forged echo claiming seat 2 would empty my third slot; a click on it would then
    // write outside the board.
    serve(tc::clearletter(2, 3));
    serve(tc::selectletter(3, 2, 6, 6));
    serve(tc::selectclear(4));
    EXPECT_EQ(st().selected[2], (Square{2, 2}));
    EXPECT_EQ(st().selected[1], (Square{1, 1}));
    EXPECT_EQ(mark(2, 2), kPicFrame);
    EXPECT_EQ(mark(6, 6), kMarkNone);
    engine.rackClick(3);
    EXPECT_EQ(st().selectedcount, 2);
    EXPECT_EQ(mark(1, 1), kPicFrame);
    EXPECT_EQ(mark(2, 2), kMarkNone);
}

TEST_F(Guards, TheNameTheServerAnnouncesIsTheOwnName) {
    engine.setLaunch(true, "Ann");
    serve(tc::sendlogininfo(1));
    serve(tc::newplayerinfo(1, "Ann (2)"));
    EXPECT_EQ(engine.ownName(), "Ann (2)");
    drain();
    engine.startGame({"Ann", 100, 60, false, 1});
    EXPECT_EQ(sent(), std::vector<std::string>{ts::startgame({"Ann (2)", 100, 60, false, 1})});
}

TEST_F(Guards, RepeatedLoginsOfASpectatorKeepOneLine) {
    login(1);
    for (int i = 0; i < 50; ++i) serve(tc::newplayerinfo(6, "Eve"));
    serve(tc::newplayerinfo(6, "Eve (2)"));
    EXPECT_EQ(st().spectators, (std::vector<Spectator>{{6, "Eve (2)"}}));
}

TEST_F(Guards, EndlessLinesCloseTheConnectionWithANotice) {
    login(2);
    std::string burst;
    for (std::size_t i = 0; i + 1 < protocol::kMaxClientQueuedLines; ++i) burst += protocol::frame(tc::timeup());
    engine.received(burst);
    EXPECT_TRUE(engine.takeMessageBoxes().empty());
    engine.received(protocol::frame(tc::timeup()));
    const auto boxes = engine.takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kFloodNotice);
    EXPECT_TRUE(boxes[0].closeAfter);
    EXPECT_EQ(engine.pendingLines(), 0u);
    engine.received(protocol::frame(tc::wrongversion()));
    EXPECT_EQ(engine.pendingLines(), 0u);
}

TEST_F(Guards, ALongBoardOfManyFieldsIsReadWhole) {
    login(1);
    std::string board = "CMD_theboard";
    while (board.size() + 12 < protocol::kMaxTail) board += "+9+9+1";
    board += "+3+4+5";
    serve(board);
    EXPECT_EQ(letter(3, 4), 5);
}

// A host that names a seat with 60 KB and then sends words for it without end: the
// client keeps the name as the server would have cut it, every text within its limit,
// and only the newest lines of the words list.
TEST_F(Guards, AHostileHostCannotMakeTheClientHoldMore) {
    login(1);
    const std::string huge(60 * 1024, 'M');
    serve(tc::existingplayers(2, huge));
    serve(tc::newplayerinfo(6, "\x1B]0;" + huge));
    serve(tc::startgame({huge, 100, 60, false, 1}));
    EXPECT_EQ(st().seats[1].label_playername, std::string(protocol::kMaxNameChars, 'M'));
    EXPECT_EQ(st().spectators, (std::vector<Spectator>{{6, "]0;" + std::string(protocol::kMaxNameChars - 3, 'M')}}));
    for (std::size_t i = 0; i < kMaxWordsLines + 40; ++i) serve(tc::madeword(2, huge, 5, 5, 0, 0, {{1, 1}}));
    std::string longChat(5000, 'c');
    longChat += "|clRed";
    serve(tc::chat("Eve", longChat));
    serve(tc::winner(huge));
    ASSERT_EQ(st().memo_words.size(), kMaxWordsLines);
    EXPECT_EQ(st().memo_wordsDropped, 40u);
    for (const auto& line : st().memo_words) EXPECT_LE(line.size(), protocol::kMaxNameChars + protocol::kMaxTextChars + 20);
    EXPECT_LE(st().label_winner.size(), protocol::kMaxNameChars + 20);
    for (const auto& line : chat()) EXPECT_LE(line.size(), kMaxHeardLineChars);
    // A new game starts the list afresh.
    serve(tc::startgame({"Ann", 100, 60, false, 1}));
    EXPECT_TRUE(st().memo_words.empty());
    EXPECT_EQ(st().memo_wordsDropped, 0u);
}

}  // namespace
}  // namespace quorbit::client::testing
