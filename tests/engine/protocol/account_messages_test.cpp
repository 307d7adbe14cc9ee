#include "protocol/account_messages.h"

#include <gtest/gtest.h>

#include "common/numbers.h"

using namespace quorbit;
using namespace quorbit::protocol::accounts;

namespace {

template <typename M>
M roundTrip(const M& m) {
    const std::string line = m.format();
    EXPECT_TRUE(line.starts_with(M::kName) && line.size() > M::kName.size() && line[M::kName.size()] == '+') << line;
    return M::parse(std::string_view(line).substr(M::kName.size() + 1));
}

}  // namespace

TEST(AccountMessages, PasswordsTravelAsLowerCaseHexOfTheirBytes) {
    EXPECT_EQ((Login{"Ann", "a+b\xc3\xa9"}.format()), "CMD_login+Ann+612b62c3a9+");
    EXPECT_EQ((Newpassword{"old", "new"}.format()), "CMD_newpassword+6f6c64+6e6577+");
    EXPECT_EQ(Login::parse("Ann+612B62c3a9+").password, "a+b\xc3\xa9");  // either case is read
    EXPECT_EQ(Register::parse("Ann++").password, "");
    // Not hexadecimal: the whole message is void.
    EXPECT_THROW(Login::parse("Ann+612+"), ConversionError);
    EXPECT_THROW(Register::parse("Ann+6g+"), ConversionError);
    EXPECT_THROW(Deleteaccount::parse("zz+"), ConversionError);
    EXPECT_THROW(Newpassword::parse("6162+x+"), ConversionError);
}

TEST(AccountMessages, PasswordLengthCountsCharacters) {
    EXPECT_FALSE(passwordLengthOk("1234567"));
    EXPECT_TRUE(passwordLengthOk("12345678"));
    EXPECT_FALSE(passwordLengthOk("\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"));  // 8 bytes, 4 characters
    EXPECT_TRUE(passwordLengthOk(std::string(256, 'x')));
    EXPECT_FALSE(passwordLengthOk(std::string(257, 'x')));
    EXPECT_TRUE(passwordLengthOk(std::string(8, '\x80')));  // bytes that are not UTF-8 count one each
    EXPECT_FALSE(passwordLengthOk(std::string(257, '\xff')));
    EXPECT_TRUE(tokenShaped("abcdefghijABCDEFGHIJ0123456789zZ"));
    EXPECT_FALSE(tokenShaped("abcdefghijABCDEFGHIJ0123456789z+"));
    EXPECT_FALSE(tokenShaped("short"));
}

TEST(AccountMessages, RatingsAreWrittenAsTheLobbyShowsThem) {
    EXPECT_EQ((Personrating{"Ann", 1612.6, -1.25, 7}.format()), "CMD_personrating+Ann+1613+-1.3+7+");
    EXPECT_EQ((Personrating{"Bo", std::nullopt, 0.0, 1}.format()), "CMD_personrating+Bo++0.0+1+");
    EXPECT_EQ((Leader{RatingModel::Group, 1, "Ann", 12.34, 3}.format()), "CMD_leader+group+1+Ann+12.3+3+");
    EXPECT_EQ((Historygame{"Ann", 42, 1700000000, RatingModel::Duel, 1500, 1523.5}.format()),
              "CMD_historygame+Ann+42+1700000000+duel+1500+1524+");
    EXPECT_EQ(Personrating::parse("Ann++12.5+2+").group, 12.5);
    EXPECT_THROW(Personrating::parse("Ann+12,5++2+"), ConversionError);
    EXPECT_THROW(Personrating::parse("Ann+nan++2+"), ConversionError);
    EXPECT_THROW(Leaderboard::parse("elo+"), ConversionError);
    EXPECT_THROW(Leader::parse("duel+1+Ann++3+"), ConversionError);
}

TEST(AccountMessages, EveryMessageReadsBackWhatItWrote) {
    EXPECT_EQ(roundTrip(Register{"Ann", "pass word+"}), (Register{"Ann", "pass word+"}));
    EXPECT_EQ(roundTrip(Login{"Ann", std::string("\x00\xff", 2)}), (Login{"Ann", std::string("\x00\xff", 2)}));
    EXPECT_EQ(roundTrip(Resume{"tok"}), Resume{"tok"});
    EXPECT_EQ(roundTrip(Newpassword{"a", "b"}), (Newpassword{"a", "b"}));
    EXPECT_EQ(roundTrip(Deleteaccount{"pw"}), Deleteaccount{"pw"});
    EXPECT_EQ(roundTrip(Leaderboard{RatingModel::Group}), Leaderboard{RatingModel::Group});
    EXPECT_EQ(roundTrip(History{"Ann"}), History{"Ann"});
    EXPECT_EQ(roundTrip(Loggedin{"Ann", "t"}), (Loggedin{"Ann", "t"}));
    EXPECT_EQ(roundTrip(Accountrefused{"Wrong name or password."}), Accountrefused{"Wrong name or password."});
    EXPECT_EQ(roundTrip(Accountdone{"Your password is changed."}), Accountdone{"Your password is changed."});
    EXPECT_EQ(roundTrip(Personrating{"Ann", 1500, 2.5, 3}), (Personrating{"Ann", 1500, 2.5, 3}));
    EXPECT_EQ(roundTrip(Leader{RatingModel::Duel, 2, "Bo", 1700, 9}), (Leader{RatingModel::Duel, 2, "Bo", 1700, 9}));
    EXPECT_EQ(roundTrip(Leaderend{RatingModel::Duel, 2}), (Leaderend{RatingModel::Duel, 2}));
    const Historygame g{"Ann", 5000000000, 1700000000, RatingModel::Group, -1.5, 2.5};
    EXPECT_EQ(roundTrip(g), g);
    EXPECT_EQ(roundTrip(Historyend{"Ann", 0}), (Historyend{"Ann", 0}));
}
