#include "record/summary.h"

#include "protocol/fields.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/messages.h"

namespace quorbit::record {
namespace {

namespace names = protocol::names;

bool isPlayingSeat(int seat) { return seat >= 1 && seat <= kSeats; }

// Names and words of a record are kept no longer than the game itself keeps them.
std::string nameText(std::string_view name) { return protocol::cutChars(name, protocol::kMaxNameChars); }
std::string wordText(std::string_view word) { return protocol::cutChars(word, protocol::kMaxTextChars); }

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// Length of the UTF-8 character at `i`, or 0 when the bytes there are not one.
std::size_t utf8Length(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > text.size()) return 0;
    return protocol::isValidUtf8(text.substr(i, len)) ? len : 0;
}

char32_t codePoint(std::string_view ch) {
    const auto c = static_cast<unsigned char>(ch[0]);
    if (ch.size() == 1) return c;
    char32_t cp = c & (ch.size() == 2 ? 0x1F : ch.size() == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < ch.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(ch[k]) & 0x3F);
    return cp;
}

// Zero-width and bidirectional formatting characters.
bool isInvisibleFormat(char32_t cp) {
    return (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2060 && cp <= 0x206F) ||
           cp == 0x061C || cp == 0xFEFF;
}

class Summariser {
public:
    explicit Summariser(const Record& r) {
        const Header& h = r.header;
        s_.date = h.date;
        for (std::size_t i = 0; i < h.seats.size(); ++i) s_.players[i] = nameText(h.seats[i]);
        s_.team = h.team;
        s_.playTo = h.playTo;
    }

    void take(std::string_view raw) {
        const std::string line = protocol::decodeWireText(raw);
        const auto split = protocol::splitLine(line);
        if (!split) return;
        protocol::FieldReader f(split->payload);
        const std::string_view name = split->name;
        try {
            if (name == names::madeword) madeword(f);
            else if (name == names::newplayerinfo || name == names::existingplayers) arrived(f);
            else if (name == names::gamestats) gamestats(f);
            else if (name == names::winner) winner(f);
        } catch (const quorbit::ConversionError&) {
            // A line the client would abandon at that field tells the summary nothing either.
        }
    }

    GameSummary result() && { return std::move(s_); }

private:
    void madeword(protocol::FieldReader& f) {
        WordPlayed w;
        w.seat = f.nextInt();
        w.word = wordText(f.next());
        w.points = f.nextInt();
        const int total = f.nextInt();
        w.teamA = f.nextInt();
        w.teamB = f.nextInt();
        if (!isPlayingSeat(w.seat)) return;
        s_.scores[static_cast<std::size_t>(w.seat - 1)] = total;
        s_.teamA = w.teamA;
        s_.teamB = w.teamB;
        w.player = s_.players[static_cast<std::size_t>(w.seat - 1)];
        w.scores = s_.scores;
        s_.words.push_back(std::move(w));
    }

    void arrived(protocol::FieldReader& f) {
        const int seat = f.nextInt();
        if (isPlayingSeat(seat)) s_.players[static_cast<std::size_t>(seat - 1)] = nameText(f.rest());
    }

    void gamestats(protocol::FieldReader& f) {
        for (int skip = 0; skip < 5; ++skip) f.next();  // turn, play-to, seconds, seconds left, team
        std::array<int, kSeats> scores{};
        for (int& score : scores) score = f.nextInt();
        const int teamA = f.nextInt();
        const int teamB = f.nextInt();
        s_.scores = scores;
        s_.teamA = teamA;
        s_.teamB = teamB;
    }

    void winner(protocol::FieldReader& f) {
        std::string name = f.rest();
        if (!name.empty() && name.back() == '+') name.pop_back();
        s_.winner = nameText(name);
    }

    GameSummary s_;
};

std::string seatName(const GameSummary& s, int seat) {
    const std::string& name = s.players[static_cast<std::size_t>(seat - 1)];
    return name.empty() ? "Seat " + std::to_string(seat) : printableText(name);
}

}  // namespace

std::string printableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = utf8Length(text, i);
        if (len == 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD
            ++i;
            continue;
        }
        const char32_t cp = codePoint(text.substr(i, len));
        if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) {
            out += "\\x";
            out.push_back(kHexDigits[cp >> 4]);
            out.push_back(kHexDigits[cp & 0xF]);
        } else if (isInvisibleFormat(cp)) {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHexDigits[(cp >> shift) & 0xF]);
        } else {
            out.append(text.substr(i, len));
        }
        i += len;
    }
    return out;
}

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
        out += "Team A " + std::to_string(teamA) + ", Team B " + std::to_string(teamB);
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
