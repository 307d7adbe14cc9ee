// Every message of the protocol as a value: it formats to the exact line that travels,
// the receiving side's dispatcher hands its handler the same value back, and malformed
// lines end as the field rules say.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "protocol/dispatch.h"
#include "protocol/messages.h"

using namespace quorbit::protocol;
namespace ts = quorbit::protocol::toserver;
namespace tc = quorbit::protocol::toclient;

namespace {

enum class Side { Server, Client };  // who hears the line

// What a typed handler was handed: the message's name and the value formatted again.
struct Heard {
    std::string_view name;
    std::string line;
};

template <typename... M>
void hearAll(Dispatcher& d, Heard& heard, std::tuple<M...>*) {
    (d.on<M>([&heard](const M& m) { heard = {M::kName, m.format()}; }), ...);
}

// A side's dispatcher with a typed handler for every message it hears.
struct TypedReceiver {
    Heard heard;
    Dispatcher d;
    explicit TypedReceiver(Side side) {
        if (side == Side::Server) hearAll(d, heard, static_cast<ts::Messages*>(nullptr));
        else hearAll(d, heard, static_cast<tc::Messages*>(nullptr));
    }
    DispatchResult take(std::string_view line) {
        heard = {};
        return d.dispatch(line);
    }
};

struct Row {
    Side side;
    std::string line;  // the exact bytes
    std::string_view name;
    std::function<std::string()> format;
    std::function<bool(std::string_view)> parsesTo;  // payload parses to the row's value
};

template <typename M>
Row row(Side side, M value, std::string line) {
    return {side, std::move(line), M::kName, [value] { return value.format(); },
            [value](std::string_view payload) { return M::parse(payload) == value; }};
}

std::vector<PathStep> eightSteps() {
    std::vector<PathStep> p;
    for (int k = 1; k <= 8; ++k) p.push_back({k, k % 7, 6 - k % 7});
    return p;
}

}  // namespace

TEST(Wire, EveryMessageFormatsToItsLineAndReadsBackEqual) {
    const auto S = Side::Server;
    const auto C = Side::Client;
    const std::vector<Row> rows = {
        row(S, ts::Logininfo{3, "1.0.10", "Ann+Bob"}, "CMD_logininfo+3+1.0.10+Ann+Bob"),
        row(S, ts::Kickhim{1, 5}, "CMD_kickhim+1+5+"),
        row(S, ts::Chat{2, "a+b|clRed"}, "CMD_chat+2+a+b|clRed"),
        row(S, ts::Action{2, "waves|$00FF0000"}, "CMD_action+2+waves|$00FF0000"),
        row(S, ts::Startgame{{"Ann", 1000, 30, true, 0}}, "CMD_startgame+Ann+1000+30+t+0+"),
        row(S, ts::Justwatch{4, 1}, "CMD_justwatch+4+1"),
        row(S, ts::Playerdone{1, {{1, 0, 0}, {2, 1, 1}, {3, 6, -1}}}, "CMD_playerdone+1+1+0+0+2+1+1+3+6+-1"),
        row(S, ts::Playerdone{2, eightSteps()},
            "CMD_playerdone+2+1+1+5+2+2+4+3+3+3+4+4+2+5+5+1+6+6+0+7+0+6+8+1+5"),
        row(S, ts::Direction{1, 3}, "CMD_direction+1+3+"),
        row(S, ts::Selectletter{1, 2, 3, 4}, "CMD_selectletter+1+2+3+4+"),
        row(S, ts::Selectclear{1}, "CMD_selectclear+1+"),
        row(S, ts::Clearletter{1, 3}, "CMD_clearletter+1+3+"),
        row(S, ts::Shuffle{2}, "CMD_shuffle+2+"),

        row(C, tc::Sendlogininfo{9}, "CMD_sendlogininfo+9"),
        row(C, tc::Chat{"Ann chats: hi+there|clRed"}, "CMD_chat+Ann chats: hi+there|clRed"),
        row(C, tc::Action{"Ann waves|clBlue"}, "CMD_action+Ann waves|clBlue"),
        row(C, tc::Newplayerinfo{2, "Zubo"}, "CMD_newplayerinfo+2+Zubo"),
        row(C, tc::Havewrongversion{"Bob"}, "CMD_havewrongversion+Bob"),
        row(C, tc::Wrongversion{}, "CMD_wrongversion+"),
        row(C, tc::Existingplayers{1, "A+B"}, "CMD_existingplayers+1+A+B"),
        row(C, tc::Playerdisconnected{3, "Cy"}, "CMD_playerdisconnected+3+Cy"),
        row(C, tc::Startgame{{"Ann", 500, 60, false, 1}}, "CMD_startgame+Ann+500+60+f+1+"),
        row(C, tc::Nextplayer{2, 1}, "CMD_nextplayer+2+1+"),
        row(C, tc::Winner{"Team A"}, "CMD_winner+Team A+"),
        row(C, tc::Winner{"A+"}, "CMD_winner+A++"),
        row(C, tc::Full{}, "CMD_full+"),
        row(C, tc::Justwatching{3, true}, "CMD_justwatching+3+1"),
        row(C, tc::Justwatching{3, false}, "CMD_justwatching+3+2"),
        row(C, tc::Theboard{{{0, 0, 5}, {6, 6, 26}}}, "CMD_theboard+0+0+5+6+6+26"),
        row(C, tc::Notvalid{1, "QXZ"}, "CMD_notvalid+1+QXZ+"),
        row(C, tc::Madeword{1, "STORM", 60, 60, 0, 0, {{0, 0}, {1, 0}}}, "CMD_madeword+1+STORM+60+60+0+0+0+0+1+0"),
        row(C, tc::Timeup{}, "CMD_timeup+"),
        row(C, tc::Gamestats{2, 500, 60, 41, true, {1, 2, 3, 4}, 4, 6}, "CMD_gamestats+2+500+60+41+t+1+2+3+4+4+6+"),
        row(C, tc::Selectletter{1, 2, 3, 4}, "CMD_selectletter+1+2+3+4+"),
        row(C, tc::Selectclear{1}, "CMD_selectclear+1+"),
        row(C, tc::Moving{4}, "CMD_moving+4+"),
        row(C, tc::Clearletter{1, 7}, "CMD_clearletter+1+7+"),
        row(C, tc::Useshuffle{1, 0, 42}, "CMD_useshuffle+1+0+42+"),
        row(C, tc::Shufflesl{{1, 0, 2, 5}}, "CMD_shufflesl+1+0+2+5+"),
        row(C, tc::Bonus{1, 20}, "CMD_bonus+1+20+"),
        row(C, tc::Language{"fr"}, "CMD_language+fr+"),
    };
    TypedReceiver server(Side::Server);
    TypedReceiver client(Side::Client);
    std::set<std::string_view> heardByServer, heardByClient;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        EXPECT_EQ(r.format(), r.line);
        EXPECT_TRUE(r.parsesTo(r.line.substr(r.line.find('+') + 1)));
        TypedReceiver& side = r.side == Side::Server ? server : client;
        EXPECT_EQ(side.take(r.line), DispatchResult::Handled);
        EXPECT_EQ(side.heard.name, r.name);
        EXPECT_EQ(side.heard.line, r.line);
        (r.side == Side::Server ? heardByServer : heardByClient).insert(r.name);
    }
    EXPECT_EQ(heardByServer, std::set<std::string_view>(names::kServerHears.begin(), names::kServerHears.end()));
    EXPECT_EQ(heardByClient, std::set<std::string_view>(names::kClientHears.begin(), names::kClientHears.end()));
    EXPECT_EQ(server.d.size(), names::kServerHears.size());
    EXPECT_EQ(client.d.size(), names::kClientHears.size());
    // The board as the server sends it: every square, x-major.
    EXPECT_EQ(tc::theboard(BoardCodes{}), tc::Theboard::of(BoardCodes{}).format());
    EXPECT_EQ(tc::Theboard::of(BoardCodes{}).squares.size(), 49u);
}

TEST(Wire, MalformedLinesEndAsTheFieldRulesSay) {
    struct Case {
        Side side;
        std::string line;
        DispatchResult result;
        std::string heard;  // the handed value formatted again; empty when no handler ran
    };
    using R = DispatchResult;
    const auto S = Side::Server;
    const auto C = Side::Client;
    std::string nineSteps = "CMD_playerdone+2";
    for (const PathStep& s : eightSteps()) nineSteps += "+" + std::to_string(s.position) + "+" +
                                                       std::to_string(s.x) + "+" + std::to_string(s.y);
    const std::string eight = nineSteps;
    nineSteps += "+9+x+x";
    const std::vector<Case> cases = {
        // A number field that is not a number abandons the line before any handler runs,
        // wherever it stands.
        {S, "CMD_logininfo+x+1.0.10+Ann", R::Abandoned, ""},
        {S, "CMD_selectletter+1+2+x+4+", R::Abandoned, ""},
        {S, "CMD_startgame+Ann+500+60+f+x+", R::Abandoned, ""},
        {S, "CMD_justwatch+4+1+", R::Abandoned, ""},  // the mode is the whole rest
        {C, "CMD_madeword+1+W+5+5+0+0+3+x", R::Abandoned, ""},
        {C, "CMD_shufflesl+1+x+3+4+", R::Abandoned, ""},
        // A last number with no "+" after it reads as an empty field.
        {S, "CMD_kickhim+1+5", R::Abandoned, ""},
        {S, "CMD_playerdone+1", R::Abandoned, ""},
        {C, "CMD_madeword+1+W+5+5+0+0", R::Abandoned, ""},
        {C, "CMD_gamestats+2+500+60+41+t+1+2+3+4+4+6", R::Abandoned, ""},
        {C, "CMD_theboard+", R::Abandoned, ""},
        // Paths: nothing after the seat is an empty path; a group cut short abandons; the
        // eighth group is the last one read.
        {S, "CMD_playerdone+1+", R::Handled, "CMD_playerdone+1"},
        {S, "CMD_playerdone+1+1+0+0+2+1", R::Abandoned, ""},
        {S, nineSteps, R::Handled, eight},
        // Fields the client reads leniently.
        {C, "CMD_startgame+Ann+500+60+x+x+", R::Handled, "CMD_startgame+Ann+500+60+f+0+"},
        {C, "CMD_nextplayer+2+x+", R::Handled, "CMD_nextplayer+2+0+"},
        {C, "CMD_useshuffle+1+0+x+", R::Handled, "CMD_useshuffle+1+0++"},
        {C, "CMD_bonus+", R::Handled, "CMD_bonus+0+0+"},
        {C, "CMD_justwatching+3+1+junk", R::Handled, "CMD_justwatching+3+1"},
        {C, "CMD_justwatching+3+01", R::Handled, "CMD_justwatching+3+2"},
        {C, "CMD_sendlogininfo+9+more", R::Handled, "CMD_sendlogininfo+9"},
        {C, "CMD_winner+Ann", R::Handled, "CMD_winner+Ann+"},
        // Lines that reach no handler.
        {S, "CMD_chat", R::NoName, ""},
        {S, "+1+x", R::NoName, ""},
        {S, "CMD_madeword+1+W+5+5+0+0+0+0", R::Unknown, ""},
        {C, "CMD_logininfo+1+v+n", R::Unknown, ""},
    };
    TypedReceiver server(Side::Server);
    TypedReceiver client(Side::Client);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TypedReceiver& side = c.side == Side::Server ? server : client;
        EXPECT_EQ(side.take(c.line), c.result);
        EXPECT_EQ(side.heard.line, c.heard);
    }
}

TEST(Wire, AMemberTakesTheValueBesideAFieldReaderOverload) {
    struct Table {
        std::vector<ts::Chat> chats;
        void chat(const ts::Chat& m) { chats.push_back(m); }
        void chat(FieldReader&) { ADD_FAILURE(); }
    } table;
    Dispatcher d;
    d.on<ts::Chat>(table, &Table::chat);
    EXPECT_EQ(d.dispatch(ts::chat(2, "c++", "clRed")), DispatchResult::Handled);
    EXPECT_EQ(d.dispatch("CMD_chat+two+hi"), DispatchResult::Abandoned);
    EXPECT_EQ(table.chats, (std::vector<ts::Chat>{{2, "c++|clRed"}}));
    // Whole lines read as one message outside a dispatcher, as a record reads them.
    EXPECT_EQ(read<tc::Bonus>("CMD_bonus+1+20+"), (tc::Bonus{1, 20}));
    EXPECT_EQ(read<tc::Bonus>("CMD_timeup+"), std::nullopt);
    // A code that is not two letters a..z reads as no code at all.
    EXPECT_EQ(read<tc::Language>("CMD_language+FR+"), (tc::Language{""}));
    EXPECT_EQ(read<tc::Language>("CMD_language+fra+"), (tc::Language{""}));
    EXPECT_EQ(read<tc::Language>("CMD_language+"), (tc::Language{""}));
    EXPECT_EQ(read<tc::Moving>("CMD_moving+x+"), std::nullopt);
}
