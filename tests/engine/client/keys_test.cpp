// Keyboard play: each key must do exactly what the matching mouse action does (same lines
// sent, same sounds, same refusals), and only what the mouse could reach at that moment.
#include "client/board_keys.h"
#include "harness.h"

namespace quorbit::client::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The keyboard player's engine (the fixture's) and a mouse player's twin that has
// received the same server messages.
class KeysTest : public ClientTest {
protected:
    BoardKeys keys{engine};
    ScriptedRandom mouseRng;
    ClientEngine mouse{mouseRng};

    // Serves a message to both players.
    void serveBoth(const std::string& message) {
        serve(message);
        syncTwin();
    }
    void syncTwin() {
        for (; replayed_ < served.size(); ++replayed_) {
            mouse.received(protocol::frame(served[replayed_]));
            while (mouse.pump()) {}
        }
        drain();
        mouse.takeOutgoing();
        mouse.takeSounds();
        mouse.takeMessageBoxes();
    }
    void startTurn(int me = 1) {
        mouse.setLaunch(me == 1, "Ann");
        myTurn(me);
        syncTwin();
    }
    // Moves the focus square to (x, y) with the arrow keys only.
    void focusOn(int x, int y) {
        while (keys.focus().x < x) keys.press(BoardKey::Right);
        while (keys.focus().x > x) keys.press(BoardKey::Left);
        while (keys.focus().y < y) keys.press(BoardKey::Down);
        while (keys.focus().y > y) keys.press(BoardKey::Up);
    }
    struct Effect {
        std::vector<std::string> lines;
        std::vector<std::string> sounds;
        std::vector<std::string> boxes;
        std::string status;
        int count = 0;
        friend bool operator==(const Effect&, const Effect&) = default;
    };
    static Effect effect(ClientEngine& e) {
        Effect out;
        out.lines = e.takeOutgoing();
        out.sounds = e.takeSounds();
        for (const auto& b : e.takeMessageBoxes()) out.boxes.push_back(b.text);
        out.status = e.state().label_status;
        out.count = e.state().selectedcount;
        return out;
    }
    // One step: the keys on the keyboard side, the mouse action on the twin; both must
    // have the same effect, which is returned.
    template <typename Mouse>
    Effect same(std::initializer_list<BoardKey> pressed, Mouse&& act) {
        for (BoardKey k : pressed) keys.press(k);
        act(mouse);
        Effect byKeys = effect(engine);
        Effect byMouse = effect(mouse);
        EXPECT_EQ(byKeys, byMouse);
        EXPECT_EQ(engine.state().boardmarks, mouse.state().boardmarks);
        EXPECT_EQ(engine.state().image_letter, mouse.state().image_letter);
        return byKeys;
    }
    static auto click(int x, int y) {
        return [x, y](ClientEngine& e) { e.boardClick({x, y}, MouseButton::Left); };
    }
    Effect space(int x, int y) {
        focusOn(x, y);
        return same({BoardKey::Choose}, click(x, y));
    }

private:
    std::size_t replayed_ = 0;
};

TEST_F(KeysTest, AWholeChainByKeysSendsTheMouseMessages) {
    startTurn();
    EXPECT_EQ(keys.focus(), (Square{3, 3}));
    EXPECT_THAT(space(1, 1).lines, ElementsAre(protocol::frame(ts::selectletter(1, 1, 1, 1))));
    space(2, 2);
    space(3, 1);
    // Backspace is a click on the last rack letter; Space on the chain's end as well.
    EXPECT_THAT(same({BoardKey::TakeBack}, [](ClientEngine& e) { e.rackClick(3); }).lines,
                ElementsAre(protocol::frame(ts::clearletter(1, 3))));
    space(3, 2);
    EXPECT_THAT(same({BoardKey::Choose}, [](ClientEngine& e) { e.rackClick(3); }).lines,
                ElementsAre(protocol::frame(ts::clearletter(1, 3))));
    space(3, 3);
    EXPECT_EQ(st().selectedcount, 3);
    // Enter is Done: the chain, then the clear.
    const Effect done = same({BoardKey::Done}, [](ClientEngine& e) { e.buttonDoneClick(); });
    EXPECT_THAT(done.lines, ElementsAre(protocol::frame(ts::playerdone(1, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}})),
                                        protocol::frame(ts::selectclear(1))));
    // Escape is Clear, with its sound.
    space(4, 4);
    const Effect cleared = same({BoardKey::Clear}, [](ClientEngine& e) { e.buttonClearClick(); });
    EXPECT_THAT(cleared.lines, ElementsAre(protocol::frame(ts::selectclear(1))));
    EXPECT_THAT(cleared.sounds, ElementsAre("clear"));
}

TEST_F(KeysTest, EveryRefusalIsTheClicksInvalidSelection) {
    startTurn();
    space(1, 1);
    const Effect far = space(3, 1);  // two columns away
    EXPECT_THAT(far.lines, IsEmpty());
    EXPECT_EQ(far.status, "Invalid Selection");
    EXPECT_THAT(far.sounds, ElementsAre("badword"));
    space(2, 2);
    EXPECT_EQ(space(1, 1).status, "Invalid Selection");  // already in the chain, not its end
    for (const auto& [x, y] : {std::pair{3, 3}, {4, 4}, {5, 5}, {6, 6}, {6, 5}}) space(x, y);
    EXPECT_EQ(st().selectedcount, 7);
    const Effect eighth = space(5, 4);
    EXPECT_EQ(eighth.status, "Invalid Selection");
    EXPECT_THAT(eighth.lines, IsEmpty());

    // A square without a letter.
    same({BoardKey::Clear}, [](ClientEngine& e) { e.buttonClearClick(); });
    serveBoth("CMD_theboard+0+0+1+");
    focusOn(3, 3);
    const Effect empty = same({BoardKey::Choose}, click(3, 3));
    EXPECT_EQ(empty.status, "Invalid Selection");
}

TEST_F(KeysTest, OutsideTheOwnTurnKeysDoWhatTheMouseCanDo) {
    startTurn(2);
    serveBoth(tc::timeup());
    serveBoth(tc::nextplayer(3, 1));
    // Space is a click that is ignored; the buttons are hidden, so their keys are not used.
    const Effect ignored = space(2, 2);
    EXPECT_EQ(ignored, (Effect{{}, {}, {}, "P3's Turn", 0}));
    EXPECT_FALSE(keys.press(BoardKey::Done));
    EXPECT_FALSE(keys.press(BoardKey::Clear));
    EXPECT_FALSE(keys.press(BoardKey::Shuffle));
    EXPECT_FALSE(keys.press(BoardKey::TakeBack));
    EXPECT_THAT(sent(), IsEmpty());
    EXPECT_THAT(sounds(), IsEmpty());

    // Just watching on the own turn: the click's message box.
    serveBoth(tc::justwatching(2, 1));
    serveBoth(tc::nextplayer(2, 1));
    EXPECT_THAT(space(2, 2).boxes, ElementsAre("You are just watching right now."));
}

TEST_F(KeysTest, TheFocusSquareStopsAtTheEdges) {
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(keys.press(BoardKey::Left));
    for (int i = 0; i < 10; ++i) keys.press(BoardKey::Up);
    EXPECT_EQ(keys.focus(), (Square{0, 0}));
    for (int i = 0; i < 10; ++i) keys.press(BoardKey::Right);
    for (int i = 0; i < 10; ++i) keys.press(BoardKey::Down);
    EXPECT_EQ(keys.focus(), (Square{6, 6}));
    keys.setFocus({7, 2});
    EXPECT_EQ(keys.focus(), (Square{6, 6}));
}

TEST_F(KeysTest, DirectionKeysOnlyAfterTheOwnWord) {
    startTurn();
    const BoardKey slides[] = {BoardKey::SlideDown, BoardKey::SlideLeft, BoardKey::SlideUp, BoardKey::SlideRight};
    for (BoardKey k : slides) EXPECT_FALSE(keys.press(k));
    EXPECT_THAT(sent(), IsEmpty());

    // Another player's word gives this client no arrows to use.
    serve(tc::madeword(2, "BC", 6, 6, 0, 6, {{0, 1}, {0, 2}}));
    for (BoardKey k : slides) EXPECT_FALSE(keys.press(k));
    EXPECT_THAT(sent(), IsEmpty());

    // After the own word the four keys send directions 1 to 4; one direction only.
    for (int d = 1; d <= 4; ++d) {
        serve(tc::madeword(1, "BC", 6, 6, 6, 0, {{0, 1}, {0, 2}}));
        drain();
        EXPECT_TRUE(keys.press(slides[d - 1]));
        EXPECT_THAT(sent(), ElementsAre(ts::direction(1, d)));
        EXPECT_FALSE(keys.press(slides[d - 1]));
        EXPECT_THAT(sent(), IsEmpty());
    }

    // The arrow that only shows the direction taken is left alone.
    serve(tc::moving(2));
    EXPECT_FALSE(keys.press(BoardKey::SlideLeft));
    EXPECT_TRUE(st().image_direction[1].visible);
    EXPECT_THAT(sent(), IsEmpty());
}

TEST_F(KeysTest, ShuffleKeyWhileTheButtonShows) {
    startTurn();
    EXPECT_TRUE(keys.press(BoardKey::Shuffle));
    EXPECT_THAT(sent(), ElementsAre(ts::shuffle(1)));
    EXPECT_FALSE(keys.press(BoardKey::Shuffle));  // the button hid itself
    EXPECT_THAT(sent(), IsEmpty());

    // The hint is offered only against the computer: not with other people seated.
    EXPECT_FALSE(keys.press(BoardKey::Hint));
    EXPECT_EQ(st().label_status, "Your Turn");
}

TEST_F(KeysTest, HintKeyIsTheHintButton) {
    login(1);
    serve(tc::startgame({"Ann", 200, 60, false, 1}));  // seat 2 becomes Zubo, 3 and 4 stay empty
    dealBoard();
    serve(tc::nextplayer(1, 1));
    ASSERT_TRUE(engine.hintAvailable());
    EXPECT_TRUE(keys.press(BoardKey::Hint));
    EXPECT_EQ(st().hintsTaken, 1);
    int marked = 0;
    for (const auto& column : st().hintmarks)
        for (int place : column) marked += place > 0;
    EXPECT_GE(marked, 2);
    serve(tc::nextplayer(2, 1));
    EXPECT_FALSE(keys.press(BoardKey::Hint));
}

}  // namespace
}  // namespace quorbit::client::testing
