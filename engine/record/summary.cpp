#include "record/summary.h"

#include "client/mirror.h"
#include "common/escape.h"
#include "language/language.h"
#include "protocol/fields.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/messages.h"

namespace quorbit::record {
namespace {

namespace tc = protocol::toclient;

using rules::isPlayingSeat;

// Names of a record are kept no longer than the game itself keeps them (the mirror cuts
// the words).
std::string nameText(std::string_view name) { return protocol::cutChars(name, protocol::kMaxNameChars); }

// The words and the scores come from a client mirror that reads the record's lines.
class Summariser {
public:
    explicit Summariser(const Record& r) {
        const Header& h = r.header;
        s_.date = h.date;
        for (std::size_t i = 0; i < h.seats.size(); ++i) s_.players[i] = nameText(h.seats[i]);
        s_.team = h.team;
        s_.playTo = h.playTo;
        s_.language = h.language;
    }

    void take(std::string_view raw) {
        const std::string line = protocol::decodeWireText(raw);
        const auto split = protocol::splitLine(line);
        if (!split) return;
        const std::string_view name = split->name;
        const std::string_view payload = split->payload;
        try {
            if (name == tc::Madeword::kName) madeword(tc::Madeword::parse(payload));
            else if (name == tc::Newplayerinfo::kName) arrived(tc::Newplayerinfo::parse(payload));
            else if (name == tc::Existingplayers::kName) arrived(tc::Existingplayers::parse(payload));
            else if (name == tc::Gamestats::kName) gamestats(tc::Gamestats::parse(payload));
            else if (name == tc::Winner::kName) s_.winner = nameText(tc::Winner::parse(payload).name);
        } catch (const quorbit::ConversionError&) {
            // A line the client would abandon tells the summary nothing either.
        }
    }

    GameSummary result() && { return std::move(s_); }

private:
    void takeScores() {
        for (std::size_t i = 0; i < s_.scores.size(); ++i) s_.scores[i] = mirror_.seating[i].score;
        s_.teamA = mirror_.teamA;
        s_.teamB = mirror_.teamB;
    }

    void madeword(const tc::Madeword& m) {
        const auto made = mirror_.hear(m);
        if (!made) return;
        takeScores();
        WordPlayed w;
        w.seat = made->seat;
        w.word = made->word;
        w.points = made->points;
        w.teamA = s_.teamA;
        w.teamB = s_.teamB;
        w.player = s_.players[static_cast<std::size_t>(w.seat - 1)];
        w.scores = s_.scores;
        s_.words.push_back(std::move(w));
    }

    // Names are kept as the record has them (printable when written out), and a seat
    // keeps the name it last had, even after its player left: the summary takes them
    // itself rather than as the client cleans them.
    template <typename Arrival>
    void arrived(const Arrival& m) {
        if (isPlayingSeat(m.seat)) s_.players[static_cast<std::size_t>(m.seat - 1)] = nameText(m.name);
    }

    void gamestats(const tc::Gamestats& m) {
        if (mirror_.hear(m)) takeScores();
    }

    client::Mirror mirror_;
    GameSummary s_;
};

std::string seatName(const GameSummary& s, int seat) {
    const std::string& name = s.players[static_cast<std::size_t>(seat - 1)];
    return name.empty() ? "Seat " + std::to_string(seat) : printableText(name);
}

}  // namespace

GameSummary summarise(const Record& record) {
    Summariser s(record);
    for (const Entry& e : record.entries) s.take(e.line);
    return std::move(s).result();
}

std::string scoresText(const GameSummary& summary, const std::array<int, kSeats>& scores, int teamA, int teamB) {
    std::string out;
    for (int seat = 1; seat <= kSeats; ++seat) {
        if (summary.players[static_cast<std::size_t>(seat - 1)].empty()) continue;
        if (!out.empty()) out += ", ";
        out += seatName(summary, seat) + " " + std::to_string(scores[static_cast<std::size_t>(seat - 1)]);
    }
    if (summary.team) {
        if (!out.empty()) out += "; ";
        out += std::string(rules::teamName(rules::kTeamA)) + " " + std::to_string(teamA) + ", " +
               std::string(rules::teamName(rules::kTeamB)) + " " + std::to_string(teamB);
    }
    return out;
}

std::string summaryText(const GameSummary& s) {
    std::string out = "Quorbit game";
    if (!s.date.empty()) out += " of " + printableText(s.date);
    out += "\nPlayers:";
    bool any = false;
    for (int seat = 1; seat <= kSeats; ++seat) {
        if (s.players[static_cast<std::size_t>(seat - 1)].empty()) continue;
        out += std::string(any ? ", " : " ") + seatName(s, seat) + " (seat " + std::to_string(seat) + ")";
        any = true;
    }
    if (!any) out += " none";
    out += "\n";
    if (s.playTo >= 0) out += "Play to " + std::to_string(s.playTo) + (s.team ? " points, teams" : " points") + "\n";
    if (s.language != kRecordDefaultLanguage) {
        const language::Language* known = language::find(s.language);
        out += "Played in " + (known ? std::string(known->name) : printableText(s.language)) + "\n";
    }
    out += "Words:\n";
    if (s.words.empty()) out += "  none\n";
    int n = 0;
    for (const WordPlayed& w : s.words) {
        out += "  " + std::to_string(++n) + ". " + (w.player.empty() ? seatName(s, w.seat) : printableText(w.player)) + ": " +
               printableText(w.word) +
               " for " + std::to_string(w.points) + " points (" + scoresText(s, w.scores, w.teamA, w.teamB) + ")\n";
    }
    out += "Final scores: " + scoresText(s, s.scores, s.teamA, s.teamB) + "\n";
    if (s.winner.empty()) out += "No winner: the game ended before anyone won.\n";
    else out += "Winner: " + printableText(s.winner) + "\n";
    return out;
}

}  // namespace quorbit::record
