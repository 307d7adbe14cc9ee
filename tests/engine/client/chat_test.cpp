// Typed lines, phrase buttons, received lines and Zubo's answers, as the client does them.
#include "harness.h"

namespace quorbit::client::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(ClientTest, TypedLinesNeedTheLoginAndFollowTheSlashRules) {
    EXPECT_FALSE(engine.sendit("hello"));  // the text stays in the field
    EXPECT_THAT(sent(), IsEmpty());
    login(2);
    engine.options().textColour = social::kRed;
    engine.options().actionColour = social::Colour{0x4080FF};
    EXPECT_TRUE(engine.sendit("hi + there"));
    EXPECT_TRUE(engine.sendit("/meow"));
    EXPECT_TRUE(engine.sendit("/me"));
    EXPECT_TRUE(engine.sendit("/help"));
    EXPECT_TRUE(engine.sendit("/ME waves"));
    EXPECT_TRUE(engine.sendit(""));
    EXPECT_THAT(sent(), ElementsAre(ts::chat(2, "hi + there", "clRed"), ts::action(2, "w", "$004080FF"),
                                    ts::action(2, "", "$004080FF")));
}

TEST_F(ClientTest, TerminatorBytesNeverReachTheWire) {
    login(1);
    engine.sendit(std::string("a") + protocol::kTerminator + "b");
    EXPECT_THAT(sent(), ElementsAre(ts::chat(1, "ab", "clBlack")));
}

TEST_F(ClientTest, PhraseButtonsSendActionsAndCoolDownForTwoSeconds) {
    login(1);
    engine.phraseClick(1, 10'000);
    engine.phraseClick(2, 10'500);  // too soon
    EXPECT_FALSE(engine.phrasesReady(11'999));
    EXPECT_TRUE(engine.phrasesReady(12'000));
    engine.phraseClick(10, 12'000);
    engine.phraseClick(11, 20'000);  // no such button
    engine.phraseClick(0, 20'000);
    EXPECT_THAT(sent(), ElementsAre(ts::action(1, "says: Way To Go!", "clBlack"),
                                    ts::action(1, "waves \"Good-Bye\"", "clBlack")));
    EXPECT_TRUE(engine.phrasesReady(20'000));
    // A clock that jumped back does not lock the buttons.
    engine.phraseClick(3, 30'000);
    EXPECT_TRUE(engine.phrasesReady(1'000));
}

TEST_F(ClientTest, PhrasesWorkBeforeLogin) {
    engine.options().phrases[4] = "";
    engine.phraseClick(5, 0);
    EXPECT_THAT(sent(), ElementsAre(ts::action(0, "says: ", "clBlack")));
}

TEST_F(ClientTest, ReceivedLinesTakeTheirColourOrRed) {
    login(1);
    seat(3, "Cy");  // keeps Zubo quiet
    serve(tc::chat("Bo", "hi|clGreen"));
    serve(tc::chat("Bo", "a|b|clGreen"));  // a "|" inside the text
    serve(tc::action("Bo", "waves"));
    serve(tc::action("Bo", "jumps|$00FF8040"));
    const auto lines = engine.takeChatLines();
    ASSERT_EQ(lines.size(), 5u);  // Cy's arrival first
    EXPECT_EQ(lines[1].text, "Bo chats: hi");
    EXPECT_EQ(lines[1].colour, (social::Colour{0x008000}));
    EXPECT_EQ(lines[2].text, "Bo chats: a");
    EXPECT_EQ(lines[2].colour, social::kRed);
    EXPECT_EQ(lines[3].text, "Bo waves");
    EXPECT_EQ(lines[3].colour, social::kRed);
    EXPECT_EQ(lines[4].colour, (social::Colour{0xFF8040}));
}

TEST_F(ClientTest, ZuboAnswersChatOnlyWhileSeatsThreeAndFourWait) {
    login(1);
    serve(tc::startgame({"Ann", 200, 60, false, 1}));
    drain();
    rng.values = {5, 0, 36};
    serve(tc::chat("Ann", "hello|clBlack"));
    serve(tc::chat("Ann", "again|clBlack"));  // draw 0: silent
    serve(tc::action("Ann", "says: Good One!|clBlack"));  // actions never
    serve(tc::chat("Ann", "more|clBlack"));
    EXPECT_THAT(chat(), ElementsAre("Ann chats: hello", "Zubo the bot says: I wish you could see this!",
                                    "Ann chats: again", "Ann says: Good One!", "Ann chats: more",
                                    "Zubo the bot says: The dog winkled on the bush."));
    EXPECT_THAT(rng.asked, ElementsAre(37, 37, 37));
    EXPECT_THAT(sent(), IsEmpty());  // remarks stay on this client

    seat(4, "Dee");
    drain();
    serve(tc::chat("Ann", "anyone?|clBlack"));
    EXPECT_THAT(chat(), ElementsAre("Ann chats: anyone?"));
    EXPECT_EQ(rng.asked.size(), 3u);
}

TEST_F(ClientTest, ZuboSilentWhileSeatThreeHoldsAPlayer) {
    login(1);
    seat(3, "Cy");
    serve(tc::startgame({"Ann", 200, 60, false, 1}));
    drain();
    rng.values = {1};
    serve(tc::chat("Cy", "hi|clBlack"));
    EXPECT_THAT(chat(), ElementsAre("Cy chats: hi"));
    EXPECT_TRUE(rng.asked.empty());
}

}  // namespace
}  // namespace quorbit::client::testing
