#include <gtest/gtest.h>


#include "common/random.h"
#include "social/bot_chatter.h"
#include "social/chat_rules.h"
#include "common/unicode_text.h"
#include "social/links.h"

namespace quorbit::social {
namespace {

using Kind = TypedLine::Kind;

TEST(TypedLines, ChatActionOrNothing) {
    EXPECT_EQ(readTypedLine("hello").kind, Kind::chat);
    EXPECT_EQ(readTypedLine("hello /me").text, "hello /me");
    EXPECT_EQ(readTypedLine("/me dances").text, "dances");
    EXPECT_EQ(readTypedLine("/me dances").kind, Kind::action);
    const auto meow = readTypedLine("/meow");
    EXPECT_EQ(meow.kind, Kind::action);
    EXPECT_EQ(meow.text, "w");
    EXPECT_EQ(readTypedLine("/me").kind, Kind::action);
    EXPECT_EQ(readTypedLine("/me").text, "");
    EXPECT_EQ(readTypedLine("/ME dances").kind, Kind::nothing);
    EXPECT_EQ(readTypedLine("/help").kind, Kind::nothing);
    EXPECT_EQ(readTypedLine("/").kind, Kind::nothing);
    EXPECT_EQ(readTypedLine("").kind, Kind::nothing);
}

TEST(Phrases, ActionPhrasesLoseTheirCommandOthersAreSaid) {
    EXPECT_EQ(phraseActionText("Thanks!"), "says: Thanks!");
    EXPECT_EQ(phraseActionText("/me waves \"Good-Bye\""), "waves \"Good-Bye\"");
    EXPECT_EQ(phraseActionText("/meow"), "says: /meow");
    EXPECT_EQ(phraseActionText(""), "says: ");
}

TEST(ReceivedLines, CutAtTheFirstBar) {
    auto r = readReceivedLine("Bo chats: hi|clNavy");
    EXPECT_EQ(r.text, "Bo chats: hi");
    EXPECT_EQ(r.colour, Colour{0x800000});
    r = readReceivedLine("Bo chats: a|b|clNavy");
    EXPECT_EQ(r.text, "Bo chats: a");
    EXPECT_EQ(r.colour, kRed);
    r = readReceivedLine("no colour");
    EXPECT_EQ(r.text, "no colour");
    EXPECT_EQ(r.colour, kRed);
    r = readReceivedLine("|");
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.colour, kRed);
}

TEST(ChatHead, UpToAndIncludingTheFirstColon) {
    EXPECT_EQ(headLength("Bo chats: hi: there"), 9u);
    EXPECT_EQ(headLength("Bo waves"), 0u);
    EXPECT_EQ(headLength(":x"), 1u);
}

TEST(Links, PrefixesTrimmingAndBareStarts) {
    EXPECT_EQ(linkInToken("http://example.org/a."), "http://example.org/a");
    EXPECT_EQ(linkInToken("(see:www.Example.COM)!"), "www.Example.COM");
    EXPECT_EQ(linkInToken("HTTPS://example.org/x"), "HTTPS://example.org/x");
    EXPECT_EQ(linkInToken("(quorbit://h.org:7000/?invite=ABCD23EFGH)."), "quorbit://h.org:7000/?invite=ABCD23EFGH");
    // Only web addresses and invite links are links.
    for (const char* other : {"MAILTO:bo@x.org", "news:comp.lang", "file:///etc/passwd", "telnet://h.org",
                              "gopher://h.org", "ftp://x.org"})
        EXPECT_FALSE(linkInToken(other)) << other;
    // The first prefix in list order wins, wherever it stands in the token.
    EXPECT_EQ(linkInToken("www.a.org/http://b.org"), "http://b.org");
    EXPECT_FALSE(linkInToken("www."));
    EXPECT_FALSE(linkInToken("www.!!"));
    EXPECT_FALSE(linkInToken("http://"));
    EXPECT_FALSE(linkInToken("https://"));
    EXPECT_FALSE(linkInToken("hello"));
    EXPECT_FALSE(linkInToken(""));
}

TEST(Links, TheTokenUnderAPoint) {
    const std::string text = "Bo chats: go to www.quorbit.net now\r\nhttps://x.org";
    const std::size_t at = text.find("quorbit");
    EXPECT_EQ(linkAt(text, at), "www.quorbit.net");
    EXPECT_EQ(linkAt(text, text.find("www")), "www.quorbit.net");
    EXPECT_FALSE(linkAt(text, text.find("now")));
    EXPECT_FALSE(linkAt(text, text.find(" now")));
    EXPECT_EQ(linkAt(text, text.size() - 1), "https://x.org");
    EXPECT_FALSE(linkAt(text, text.size()));
    EXPECT_FALSE(linkAt("", 0));
}

TEST(Links, FormatCharactersShowInLinesWithLinks) {
    // The right-to-left override would show this link as "https://evil.example/https://www.bank.com".
    EXPECT_EQ(showFormatCharactersNearLinks("Eve chats: https://evil.example/\u202emoc.knab.www//:sptth"),
              "Eve chats: https://evil.example/<U+202E>moc.knab.www//:sptth");
    // Every bidirectional control, zero-width character and other Cf is shown.
    for (const char32_t c : {0x202A, 0x202E, 0x2066, 0x2069, 0x200B, 0x200F, 0x061C, 0x00AD, 0xFEFF, 0xE0041, 0x13438})
        EXPECT_TRUE(unicode::isFormat(c)) << std::hex << static_cast<unsigned>(c);
    for (const char32_t c : {U'a', U'\u05D0', U'\u00A0', U'\u2028', U'\U0001F600', U'\u034F'})
        EXPECT_FALSE(unicode::isFormat(c)) << std::hex << static_cast<unsigned>(c);
    EXPECT_EQ(showFormatCharactersNearLinks("x\u200by www.a.org/\u2066b\u00ad\u200d\U000E0041"),
              "x<U+200B>y www.a.org/<U+2066>b<U+00AD><U+200D><U+E0041>");
    // Without a link they shape text as usual; bytes that are no UTF-8 are kept.
    EXPECT_EQ(showFormatCharactersNearLinks("\u05E9\u200F 1 \u202eolleh"), "\u05E9\u200F 1 \u202eolleh");
    EXPECT_EQ(showFormatCharactersNearLinks("www.a.org \xE2\x80 \xff"), "www.a.org \xE2\x80 \xff");
}

class FixedRandom final : public Random {
public:
    explicit FixedRandom(int v) : v_(v) {}
    int below(int n) override {
        last = n;
        return v_;
    }
    int last = 0;

private:
    int v_;
};

TEST(Zubo, TalksOnlyInSeatTwoWithSeatsThreeAndFourEmpty) {
    FixedRandom one(1);
    EXPECT_EQ(zubotalk(true, true, one), "Zubo the bot says: My dad is cool.");
    EXPECT_EQ(one.last, 37);
    EXPECT_FALSE(zubotalk(false, true, one));
    EXPECT_FALSE(zubotalk(true, false, one));
    FixedRandom zero(0);
    EXPECT_FALSE(zubotalk(true, true, zero));
    FixedRandom last(36);
    EXPECT_EQ(zubotalk(true, true, last), "Zubo the bot says: The dog winkled on the bush.");
    FixedRandom wild(99);  // a generator out of its range says nothing
    EXPECT_FALSE(zubotalk(true, true, wild));
}

}  // namespace
}  // namespace quorbit::social
