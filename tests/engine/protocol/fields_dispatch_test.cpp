#include <gtest/gtest.h>

#include "protocol/dispatch.h"
#include "protocol/fields.h"

using namespace quorbit::protocol;

TEST(FieldReader, ReadsFieldsUpToPlusAndKeepsFreeText) {
    FieldReader r("3+hello + world+more");
    EXPECT_EQ(r.nextInt(), 3);
    EXPECT_EQ(r.rest(), "hello + world+more");
}

TEST(FieldReader, MissingTrailingPlusGivesAnEmptyLastField) {
    FieldReader r("1+2");
    EXPECT_EQ(r.next(), "1");
    EXPECT_EQ(r.next(), "");
    EXPECT_EQ(r.rest(), "2");
    EXPECT_THROW(r.nextInt(), quorbit::ConversionError);
}

TEST(FieldReader, ListsEndWhenTheRestIsExactlyTheMarker) {
    FieldReader r("1+1+0+0+2+1+0");
    r.beginList();
    EXPECT_EQ(r.nextInt(), 1);
    std::vector<int> seen;
    while (!r.atListEnd()) {
        seen.push_back(r.nextInt());
        seen.push_back(r.nextInt());
        seen.push_back(r.nextInt());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 0, 0, 2, 1, 0}));
}

TEST(FieldReader, BoardPayloadStartsWithTheFirstSquare) {
    // "CMD_theboard" has no "+" of its own: the payload begins with x and y of (0, 0).
    Dispatcher d;
    std::vector<int> first;
    d.add("CMD_theboard", [&](FieldReader& r) {
        first = {r.nextInt(), r.nextInt(), r.nextInt()};
    });
    EXPECT_EQ(d.dispatch("CMD_theboard+0+0+5+0+1+7"), DispatchResult::Handled);
    EXPECT_EQ(first, (std::vector<int>{0, 0, 5}));
}

TEST(Dispatcher, ExactCaseSensitiveNamesOnly) {
    Dispatcher d;
    int calls = 0;
    d.add("CMD_chat", [&](FieldReader&) { ++calls; });
    EXPECT_EQ(d.dispatch("CMD_chat+1+x"), DispatchResult::Handled);
    EXPECT_EQ(d.dispatch("cmd_chat+1+x"), DispatchResult::Unknown);
    EXPECT_EQ(d.dispatch("CMD_chatter+1+x"), DispatchResult::Unknown);
    EXPECT_EQ(d.dispatch("CMD_chat"), DispatchResult::NoName);
    EXPECT_EQ(d.dispatch(""), DispatchResult::NoName);
    EXPECT_EQ(calls, 1);
}

TEST(Dispatcher, ChatWithPlusSignsKeepsTheWholeLine) {
    Dispatcher d;
    int seat = 0;
    std::string text;
    d.add("CMD_chat", [&](FieldReader& r) {
        seat = r.nextInt();
        text = r.rest();
    });
    d.dispatch("CMD_chat+2+1+1=2, c++ rocks|clBlack");
    EXPECT_EQ(seat, 2);
    EXPECT_EQ(text, "1+1=2, c++ rocks|clBlack");
}

TEST(Dispatcher, NonNumberAbandonsHandlerKeepingWhatItChanged) {
    Dispatcher d;
    std::vector<int> got;
    d.add("CMD_shufflesl", [&](FieldReader& r) {
        for (int i = 0; i < 4; ++i) got.push_back(r.nextInt());
    });
    EXPECT_EQ(d.dispatch("CMD_shufflesl+1+x+3+4+"), DispatchResult::Abandoned);
    EXPECT_EQ(got, std::vector<int>{1});
    EXPECT_EQ(d.dispatch("CMD_shufflesl+1+2+3+4+"), DispatchResult::Handled);
    EXPECT_EQ(got.size(), 5u);
}

TEST(Dispatcher, ListsHaveTheCatalogueOrderAndSize) {
    EXPECT_EQ(names::kServerHears.size() + names::kClientHears.size(), 38u);
    EXPECT_EQ(names::kServerHears.front(), "CMD_logininfo");
    EXPECT_EQ(names::kServerHears.back(), "CMD_shuffle");
    EXPECT_EQ(names::kClientHears.front(), "CMD_sendlogininfo");
    EXPECT_EQ(names::kClientHears.back(), "CMD_language");
}

namespace {
struct Receiver {
    std::vector<std::string> heard;
    void board(FieldReader& f) { heard.push_back("board " + f.rest()); }
    void chat(FieldReader& f) { heard.push_back("chat " + f.rest()); }
};
}  // namespace

TEST(Dispatcher, ATableBindsEachNameToItsOwnHandlerInAnyOrder) {
    Receiver r;
    Dispatcher d;
    const std::array<HandlerEntry<Receiver>, 2> table = {{{names::chat, &Receiver::chat}, {names::theboard, &Receiver::board}}};
    d.add(table, r);
    EXPECT_EQ(d.dispatch("CMD_theboard+1"), DispatchResult::Handled);
    EXPECT_EQ(d.dispatch("CMD_chat+hi"), DispatchResult::Handled);
    EXPECT_EQ(d.dispatch("CMD_bonus+1+20+"), DispatchResult::Unknown);
    EXPECT_EQ(r.heard, (std::vector<std::string>{"board 1", "chat hi"}));
}
