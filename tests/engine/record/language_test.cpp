// Records of games not played in English: the header names the language (an English one
// is as it always was), and a replay plays in it, values, words and the chat's line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "language/loaded.h"
#include "record/recorder.h"
#include "record/replay.h"
#include "record/summary.h"
#include "scripted_game.h"

namespace quorbit::record::testing {
namespace {

std::vector<Record> recorded(const std::vector<std::vector<Timed>>& parts) {
    Recorder r("1.0.10", [] { return std::string("2026-12-09T19:22:28Z"); });
    for (const auto& lines : parts)
        for (const Timed& t : lines) r.received(protocol::frame(t.line), t.ms);
    r.closed(60000);
    return r.takeFinished();
}

TEST(RecordLanguage, AnEnglishGameWritesNoLanguageAndAFileWithoutOneIsEnglish) {
    const auto records = recorded({loginLines(), gameLines()});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].header.language, "en");
    const std::string text = writeRecord(records[0]);
    EXPECT_EQ(text.find("language"), std::string::npos);
    EXPECT_NE(text.find("\nteam no\ngame\n"), std::string::npos);
    const auto back = readRecord(text);
    ASSERT_TRUE(back.record) << back.error;
    EXPECT_EQ(back.record->header.language, "en");
}

TEST(RecordLanguage, AFrenchGameRoundTripsAndReplaysInFrench) {
    auto before = loginLines();
    before.push_back({900, tc::language("fr")});
    const auto records = recorded({before, gameLines()});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].header.language, "fr");
    EXPECT_EQ(records[0].entries.front().line, gameLines().front().line);  // the game's lines only
    const std::string text = writeRecord(records[0]);
    EXPECT_NE(text.find("\nteam no\nlanguage fr\ngame\n"), std::string::npos);
    auto back = readRecord(text);
    ASSERT_TRUE(back.record) << back.error;
    EXPECT_EQ(back.record->header.language, "fr");
    EXPECT_NE(summaryText(summarise(*back.record)).find("\nPlayed in French\n"), std::string::npos);

    const language::Language* fr = language::find("fr");
    if (!fr) GTEST_SKIP() << "French was not built here";
    language::LanguageCache cache{QUORBIT_LANGUAGE_DIR};
    int asked = 0;
    Replay replay(std::move(*back.record), [&](std::string_view code) {
        ++asked;
        return cache.get(code);
    });
    ASSERT_EQ(replay.opening().size(), 1u);
    EXPECT_EQ(replay.opening()[0].text, "This game is played in French");
    EXPECT_EQ(replay.state().language, "fr");
    EXPECT_EQ(replay.state().letterValues, fr->values);
    EXPECT_EQ(asked, 1);  // the words, for the best words a replay can show
    replay.advanceTo(replay.length());
    EXPECT_EQ(replay.state().letterValues, fr->values);
}

TEST(RecordLanguage, ALateJoinerTakesTheLanguageToldAfterItsCatchUpOnly) {
    tc::GameStats stats;
    stats.turnSeat = 1;
    stats.playTo = 20;
    stats.seconds = 60;
    stats.secondsLeft = 40;
    // Bob arrives during a French game: board, figures and shuffles, then the language.
    const std::vector<Timed> arrival = {
        {0, tc::sendlogininfo(3)},
        {1, tc::newplayerinfo(3, "Bob")},
        {2, tc::existingplayers(1, "Ann")},
        {3, tc::theboard(boardOf(0))},
        {4, tc::gamestats(stats)},
        {5, tc::shufflesl({1, 1, 1, 1})},
        {6, tc::language("fr")},
        {900, tc::nextplayer(2, 1)},
        // The host starts a German game before this one had a winner.
        {2000, tc::language("de")},
        {2001, tc::startgame({"Ann", 20, 60, false, 1})},
    };
    const auto records = recorded({arrival});
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].header.language, "fr");
    EXPECT_EQ(records[1].header.language, "de");
}

TEST(RecordLanguage, ALanguageThatIsNoCodeIsRefusedAndAnUnknownOneReplaysWithEnglishValues) {
    const std::string text = writeRecord(recorded({loginLines(), gameLines()})[0]);
    const auto withLanguage = [&](const std::string& code) {
        std::string t = text;
        t.insert(t.find("game\n"), "language " + code + "\n");
        return readRecord(t);
    };
    for (const char* bad : {"FR", "fra", "f", "", "f1"}) {
        const auto r = withLanguage(bad);
        EXPECT_FALSE(r.record) << bad;
        EXPECT_NE(r.error.find("a language that is not a code of two letters a to z"), std::string::npos) << r.error;
    }
    auto unknown = withLanguage("xx");
    ASSERT_TRUE(unknown.record) << unknown.error;
    Replay replay(std::move(*unknown.record));
    EXPECT_EQ(replay.state().language, "xx");
    EXPECT_EQ(replay.state().letterValues, rules::kEnglishValues);
}

}  // namespace
}  // namespace quorbit::record::testing
