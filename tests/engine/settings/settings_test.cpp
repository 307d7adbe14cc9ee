#include "social/settings.h"
#include "language/language.h"

#include <gtest/gtest.h>

namespace quorbit::social {
namespace {

SettingsRead readText(std::string_view text) { return readSettings(IniFile::parse(text)); }

TEST(IniFile, SectionAndKeyNamesIgnoreCaseAndBlanks) {
    const IniFile ini = IniFile::parse("[other]\nTextsize=99\n[ QUORBIT ]\r\n  textSIZE = 12 \r\nTextsize=14\n");
    EXPECT_EQ(ini.value("Quorbit", "Textsize"), "12");  // first entry wins
    EXPECT_EQ(ini.value("quorbit", "TEXTSIZE"), "12");
    EXPECT_EQ(ini.value("other", "textsize"), "99");
    EXPECT_FALSE(ini.value("Quorbit", "Missing"));
    EXPECT_FALSE(ini.value("Nowhere", "Textsize"));
    EXPECT_EQ(ini.get("Quorbit", "Missing", "dflt"), "dflt");
}

TEST(IniFile, SetKeepsOtherLinesAndReplacesInPlace) {
    IniFile ini = IniFile::parse("; a comment\n[Other]\nx=1\n\n[quorbit]\nTEXTSIZE=8\ngarbage line\n\n");
    ini.set("Quorbit", "Textsize", "10");
    ini.set("Quorbit", "Tiles", "classic");
    ini.set("Fresh", "k", "v");
    EXPECT_EQ(ini.text(),
              "; a comment\n[Other]\nx=1\n\n[quorbit]\nTEXTSIZE=10\ngarbage line\nTiles=classic\n\n[Fresh]\nk=v\n");
}

TEST(IniFile, ValuesCannotBreakIntoSeveralLines) {
    IniFile ini;
    ini.set("Quorbit", "Phrase1", "hi\nTextsize=72\r\n");
    const IniFile again = IniFile::parse(ini.text());
    EXPECT_EQ(again.value("Quorbit", "Phrase1"), "hi Textsize=72");
    EXPECT_FALSE(again.value("Quorbit", "Textsize"));
}

TEST(IniFile, AnyBytesParseWithoutLoss) {
    const std::string junk("\xFF\x00[\n=\n[]\n[unclosed\n==x\n", 24);
    const IniFile ini = IniFile::parse(junk);
    EXPECT_EQ(ini.value("", "x"), std::nullopt);
    EXPECT_FALSE(ini.text().empty());
}

TEST(Settings, MissingFileReadsAsDefaults) {
    const SettingsRead r = readText("");
    EXPECT_EQ(r.textsize, 8);
    EXPECT_EQ(r.textcolor, kBlack);
    EXPECT_EQ(r.actioncolor, kBlack);
    EXPECT_TRUE(r.playsounds);
    EXPECT_FALSE(r.postwords);
    EXPECT_EQ(r.playtoscore, 110);
    EXPECT_EQ(r.creationtime, 70);
    EXPECT_EQ(r.shuffles, 1);
    EXPECT_EQ(r.tiles, "blue");
    EXPECT_FALSE(r.tilesClassic);
    EXPECT_EQ(r.bounds, (WindowBounds{3, 3, 790, 580}));
    EXPECT_EQ(r.turnsound, 0);
    EXPECT_EQ(r.zubolevel, quorbit::rules::ZuboLevel::Classic);
    EXPECT_FALSE(r.bestwords);
    for (const auto& p : r.phrases) EXPECT_FALSE(p);
}

TEST(Settings, DialogFieldsAreClampedOrLeftAlone) {
    SettingsRead r = readText("[Quorbit]\nPlaytoscore=50\nCreationtime=soon\nShuffles=9\n");
    EXPECT_EQ(r.playtoscore, 100);
    EXPECT_FALSE(r.creationtime);  // not a number: the dialog keeps its value
    EXPECT_EQ(r.shuffles, 5);
    r = readText("[Quorbit]\nPlaytoscore=99999999999\nCreationtime=\nShuffles=-3\n");
    EXPECT_FALSE(r.playtoscore);  // beyond any integer: no number
    EXPECT_FALSE(r.creationtime);
    EXPECT_EQ(r.shuffles, 0);
    r = readText("[Quorbit]\nPlaytoscore=10001\nCreationtime=121\n");
    EXPECT_EQ(r.playtoscore, 10000);
    EXPECT_EQ(r.creationtime, 120);
}

TEST(Settings, TextSizeColoursAndSwitches) {
    SettingsRead r = readText(
        "[Quorbit]\nTextsize=9\nTextcolor=clRed\nActioncolor=$00FF8040\nPlaysounds=False\n"
        "Postwordsinchatbox=TRUE\n");
    EXPECT_EQ(r.textsize, 9);  // no menu item matches; the font still takes it
    EXPECT_EQ(r.textcolor, kRed);
    EXPECT_EQ(r.actioncolor, Colour{0x00FF8040});
    EXPECT_TRUE(r.playsounds);   // only exactly "false" turns them off
    EXPECT_FALSE(r.postwords);   // only exactly "true" turns it on
    r = readText("[Quorbit]\nTextsize=0\nTextcolor=sky\nActioncolor=\nPlaysounds=false\nPostwordsinchatbox=true\n");
    EXPECT_EQ(r.textsize, 8);
    EXPECT_EQ(r.textcolor, kBlack);
    EXPECT_EQ(r.actioncolor, kBlack);
    EXPECT_FALSE(r.playsounds);
    EXPECT_TRUE(r.postwords);
    EXPECT_EQ(readText("[Quorbit]\nTextsize=500\n").textsize, 8);
    EXPECT_EQ(readText("[Quorbit]\nTextsize=big\n").textsize, 8);
}

TEST(Settings, TilesTurnSoundAndBounds) {
    SettingsRead r = readText("[Quorbit]\nTiles=ClAsSiC\nTurnsound=7\nTop=x\nLeft=-20\nWidth=0\nHeight=900\n");
    EXPECT_TRUE(r.tilesClassic);
    EXPECT_EQ(r.turnsound, 0);
    EXPECT_EQ(r.bounds, (WindowBounds{-20, 3, 790, 900}));
    r = readText("[Quorbit]\nTiles=\nTurnsound=1\n");
    EXPECT_EQ(r.tiles, "blue");
    EXPECT_FALSE(r.tilesClassic);
    EXPECT_EQ(r.turnsound, 1);
    EXPECT_EQ(readText("[Quorbit]\nTurnsound=2\n").turnsound, 2);
    EXPECT_EQ(readText("[Quorbit]\nTurnsound= 1x\n").turnsound, 0);
    EXPECT_EQ(readText("[Quorbit]\nTiles=wood\n").tiles, "wood");
}

TEST(Settings, EmptyPhrasesKeepTheBuiltInOnes) {
    const SettingsRead r = readText("[Quorbit]\nPhrase1=\nPhrase3=Hi all\nPhrase10=/me bows\nPhrase11=x\n");
    EXPECT_FALSE(r.phrases[0]);
    EXPECT_EQ(r.phrases[2], "Hi all");
    EXPECT_EQ(r.phrases[9], "/me bows");
}

TEST(Settings, SaveWritesEveryKeyInOrderAndReadsBack) {
    IniFile ini;
    SettingsSave s;
    s.textsize = 12;
    s.textcolor = kBlue;
    s.actioncolor = Colour{0x00123456};
    s.playtoscore = 750;
    s.creationtime = 45;
    s.shuffles = 3;
    s.tiles = "classic";
    s.bounds = {10, 20, 800, 600};
    s.turnsound = 2;
    s.playsounds = false;
    s.postwords = true;
    s.zubolevel = quorbit::rules::ZuboLevel::Expert;
    s.bestwords = true;
    s.askbeforeleaving = false;
    s.language = "en";
    writeSettings(ini, s);
    EXPECT_EQ(ini.text(),
              "[Quorbit]\nTextsize=12\nTextcolor=clBlue\nActioncolor=$00123456\nPlaytoscore=750\n"
              "Creationtime=45\nShuffles=3\nTiles=classic\nTop=20\nLeft=10\nWidth=800\nHeight=600\n"
              "Turnsound=2\nPlaysounds=false\nPostwordsinchatbox=true\nZubolevel=expert\nBestwords=true\n"
              "Askbeforeleaving=false\nLanguage=en\n");
    const SettingsRead r = readSettings(IniFile::parse(ini.text()));
    EXPECT_FALSE(r.askbeforeleaving);
    EXPECT_TRUE(readSettings(IniFile{}).askbeforeleaving);  // asking is the default
    EXPECT_EQ(r.textsize, 12);
    EXPECT_EQ(r.textcolor, kBlue);
    EXPECT_EQ(r.actioncolor, Colour{0x00123456});
    EXPECT_EQ(r.playtoscore, 750);
    EXPECT_EQ(r.creationtime, 45);
    EXPECT_EQ(r.shuffles, 3);
    EXPECT_TRUE(r.tilesClassic);  // written back as "classic", not as an empty value
    EXPECT_EQ(r.bounds, s.bounds);
    EXPECT_EQ(r.turnsound, 2);
    EXPECT_FALSE(r.playsounds);
    EXPECT_TRUE(r.postwords);
    EXPECT_EQ(r.zubolevel, quorbit::rules::ZuboLevel::Expert);
    EXPECT_TRUE(r.bestwords);
    // Any case reads; anything else is the classic level.
    EXPECT_EQ(readText("[Quorbit]\nZubolevel=Strong\n").zubolevel, quorbit::rules::ZuboLevel::Strong);
    EXPECT_EQ(readText("[Quorbit]\nZubolevel=2\n").zubolevel, quorbit::rules::ZuboLevel::Classic);
    EXPECT_EQ(readText("[Quorbit]\nZubolevel=\n").zubolevel, quorbit::rules::ZuboLevel::Classic);
}

TEST(Settings, PhrasesAreWrittenApartAndCutAtFiftyCharacters) {
    IniFile ini = IniFile::parse("[Quorbit]\nphrase2=old\n");
    writePhrase(ini, 2, "new");
    writePhrase(ini, 4, std::string(60, 'a'));
    writePhrase(ini, 5, std::string(49, 'a') + "\xC3\xA9\xC3\xA9");  // 51 characters, two of them two bytes
    writePhrase(ini, 0, "ignored");
    writePhrase(ini, 11, "ignored");
    const SettingsRead r = readSettings(IniFile::parse(ini.text()));
    EXPECT_EQ(r.phrases[1], "new");
    EXPECT_EQ(r.phrases[3], std::string(50, 'a'));
    EXPECT_EQ(r.phrases[4], std::string(49, 'a') + "\xC3\xA9");
    EXPECT_EQ(ini.text().find("ignored"), std::string::npos);
}

TEST(Settings, ClosingGeometryRule) {
    const WindowBounds saved{3, 3, 790, 580};
    EXPECT_FALSE(boundsToSave(saved, saved, 1024, 768));
    EXPECT_EQ(boundsToSave({50, 3, 790, 580}, saved, 1024, 768), (WindowBounds{50, 3, 790, 580}));
    // Wider and taller than the work area: 15 pixels off each, once.
    EXPECT_EQ(boundsToSave({0, 0, 1280, 1000}, saved, 1024, 740), (WindowBounds{0, 0, 1265, 985}));
    // Exactly as wide as the work area is not wider.
    EXPECT_EQ(boundsToSave({0, 0, 1024, 600}, saved, 1024, 740), (WindowBounds{0, 0, 1024, 600}));
}

}  // namespace
TEST(Settings, LanguageRoundTripsAndOldFilesReadAsEnglish) {
    EXPECT_EQ(readText("[Quorbit]\nZubolevel=strong\n").language, "en");  // a file from before the key
    EXPECT_EQ(readText("[Quorbit]\nLanguage=klingon\n").language, "en");
    EXPECT_EQ(readText("[Quorbit]\nLanguage=\n").language, "en");
    for (const auto& l : quorbit::language::all()) {
        IniFile ini;
        SettingsSave s;
        s.language = std::string(l.code);
        writeSettings(ini, s);
        EXPECT_EQ(readSettings(IniFile::parse(ini.text())).language, l.code);
    }
    IniFile ini;
    SettingsSave s;
    s.language = "xx";  // never written as is: a later reader would fall back anyway
    writeSettings(ini, s);
    EXPECT_EQ(ini.value("Quorbit", "Language"), "en");
}

}  // namespace quorbit::social
