// The records a hosted game announces, and reading them back from the network.
#include <gtest/gtest.h>

#include "discovery/announcement.h"

using namespace quorbit::discovery;

TEST(GameAnnouncement, ATableServerAddsItsNumberOfTables) {
    GameAnnouncement a{"1.0.10", 0, false, 0, false, "en", 12};
    const auto records = toTxtRecords(a);
    EXPECT_EQ(records.back(), "tables=12");
    EXPECT_EQ(readTxtRecords(records).tables, 12);
    EXPECT_EQ(readTxtRecords({"tables=lots"}).tables, std::nullopt);
}

TEST(GameAnnouncement, RecordsReadBackAsWritten) {
    const GameAnnouncement a{"1.0.10", 3, true, 750, true, "en", std::nullopt};
    const std::vector<std::string> records = toTxtRecords(a);
    EXPECT_EQ(records, (std::vector<std::string>{"version=1.0.10", "players=3", "running=yes", "playto=750",
                                                 "teams=yes"}));
    const FoundAnnouncement f = readTxtRecords(records);
    EXPECT_EQ(f.version, "1.0.10");
    EXPECT_EQ(f.players, 3);
    EXPECT_EQ(f.running, true);
    EXPECT_EQ(f.playTo, 750);
    EXPECT_EQ(f.teamGame, true);
}

TEST(GameAnnouncement, BadOrForeignRecordsLeaveFieldsUnknown) {
    const FoundAnnouncement f = readTxtRecords({"players=9", "running=maybe", "playto=-5", "teams", "colour=red",
                                                "=yes", "playto=99999999999999", "version=" + std::string(200, 'v')});
    EXPECT_FALSE(f.players.has_value());
    EXPECT_FALSE(f.running.has_value());
    EXPECT_FALSE(f.playTo.has_value());
    EXPECT_FALSE(f.teamGame.has_value());
    EXPECT_EQ(f.version.size(), kMaxVersionText);
    EXPECT_FALSE(readTxtRecords({}).players.has_value());
    // A later record of the same key wins, as a reader of the whole list would expect.
    EXPECT_EQ(readTxtRecords({"players=1", "players=2"}).players, 2);
}

TEST(GameAnnouncement, ServiceNameFitsOneLabelWithoutSplittingACharacter) {
    EXPECT_EQ(gameServiceName("Ann"), "Ann's game");
    std::string longName(55, 'a');
    longName += "\xC3\xA9\xC3\xA9";  // two 2-byte letters
    const std::string name = gameServiceName(longName);
    EXPECT_LE(name.size(), kMaxServiceName);
    EXPECT_EQ(name, longName.substr(0, 55) + "'s game");  // the cut fell inside the first é
    EXPECT_EQ(cutUtf8("ab\xE2\x82\xAC", 4), "ab");
    EXPECT_EQ(cutUtf8("ab\xE2\x82\xAC", 5), "ab\xE2\x82\xAC");
}

TEST(GameAnnouncement, LanguageIsAnnouncedOnlyWhenNotEnglish) {
    GameAnnouncement a{"1.0.10", 1, false, 500, false};
    EXPECT_EQ(toTxtRecords(a).size(), 5u);  // an English game's records stay as they were
    a.language = "fr";
    const auto records = toTxtRecords(a);
    EXPECT_EQ(records.back(), "lang=fr");
    EXPECT_EQ(readTxtRecords(records).language, "fr");
    EXPECT_EQ(readTxtRecords({"version=1"}).language, "");
    // Only the shape of a code is read from the network; anything else says nothing.
    for (const char* bad : {"lang=FR", "lang=fra", "lang=", "lang=f\xC3\xA9", "lang=e"})
        EXPECT_EQ(readTxtRecords({bad}).language, "") << bad;
    a.language = "x\n";
    EXPECT_EQ(toTxtRecords(a).size(), 5u);
}
