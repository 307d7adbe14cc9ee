// The file form of a game record: writing it, and reading it back with a clear refusal
// of anything that is not a whole record of a known version.
#include "record/record.h"

#include <charconv>

#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/messages.h"

namespace quorbit::record {
namespace {

constexpr std::string_view kHex = "0123456789ABCDEF";

void appendEscape(std::string& out, unsigned char c) {
    out += "\\x";
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 0xF]);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::int64_t> readNumber(std::string_view text) {
    std::int64_t value = 0;
    if (text.empty() || text.size() > 18) return std::nullopt;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

// Splits "key rest" at the first space; a line without one is all key.
std::pair<std::string_view, std::string_view> cut(std::string_view line) {
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return {line, {}};
    return {line.substr(0, space), line.substr(space + 1)};
}

std::string optionText(int value) { return value < 0 ? std::string("?") : std::to_string(value); }

// The lines of a text, each without its "\n". A text ending in "\n" has no empty last line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const std::size_t nl = text_.find('\n', pos_);
        const std::size_t end = nl == std::string_view::npos ? text_.size() : nl;
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        ++number_;
        return true;
    }
    int number() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

struct Refusal {
    std::string text;
};

class Parser {
public:
    explicit Parser(std::string_view text) : lines_(text) {}

    ReadResult run() {
        try {
            Record r;
            readMagic();
            readHeader(r.header);
            readEntries(r);
            return {std::move(r), {}};
        } catch (const Refusal& refusal) {
            return {std::nullopt, refusal.text};
        }
    }

private:
    [[noreturn]] void damaged(const std::string& what) const {
        throw Refusal{"damaged game record: line " + std::to_string(lines_.number()) + ": " + what};
    }

    std::string_view need(const char* what) {
        std::string_view line;
        if (!lines_.next(line)) throw Refusal{std::string("damaged game record: it ends before ") + what};
        return line;
    }

    void readMagic() {
        std::string_view line;
        if (!lines_.next(line)) throw Refusal{"not a Quorbit game record (the file is empty)"};
        const auto [key, rest] = cut(line);
        if (key != kMagic) throw Refusal{"not a Quorbit game record"};
        const auto version = readNumber(rest);
        if (!version) throw Refusal{"not a Quorbit game record (no version)"};
        if (*version != kFormatVersion)
            throw Refusal{"a game record of version " + std::string(rest) + ", which this program cannot read (it reads version " +
                          std::to_string(kFormatVersion) + ")"};
    }

    int option(std::string_view value) const {
        if (value == "?") return -1;
        const auto n = readNumber(value);
        if (!n || *n > 1000000) damaged("a game option that is not a number");
        return static_cast<int>(*n);
    }

    void readHeader(Header& h) {
        bool sawDate = false;
        for (;;) {
            const std::string_view line = need("its game lines");
            if (line == "game") break;
            const auto [key, value] = cut(line);
            if (key == "date") {
                h.date = protocol::cutChars(text(value), kMaxHeaderTextChars);
                sawDate = true;
            } else if (key == "program") {
                h.program = protocol::cutChars(text(value), kMaxHeaderTextChars);
            } else if (key == "own-seat") {
                const auto n = readNumber(value);
                if (!n || *n > 9) damaged("an own seat that is not 0 to 9");
                h.ownSeat = static_cast<int>(*n);
            } else if (key == "seat") {
                const auto [number, name] = cut(value);
                const auto n = readNumber(number);
                if (!n || *n < 1 || *n > kSeats) damaged("a seat that is not 1 to 4");
                h.seats[static_cast<std::size_t>(*n - 1)] = protocol::cutChars(text(name), protocol::kMaxNameChars);
            } else if (key == "play-to") {
                h.playTo = option(value);
            } else if (key == "seconds") {
                h.seconds = option(value);
            } else if (key == "shuffles") {
                h.shuffles = option(value);
            } else if (key == "team") {
                if (value != "yes" && value != "no") damaged("a team flag that is neither yes nor no");
                h.team = value == "yes";
            } else if (key == "language") {
                if (!protocol::toclient::isLanguageCode(value)) damaged("a language that is not a code of two letters a to z");
                h.language = std::string(value);
            } else if (key.empty() || key.find_first_not_of("abcdefghijklmnopqrstuvwxyz-") != std::string_view::npos) {
                damaged("not a header line");
            }
            // Other header keys are later additions of the same version: skipped.
        }
        if (!sawDate) damaged("the header has no date");
    }

    void readEntries(Record& r) {
        std::int64_t last = 0;
        for (;;) {
            const std::string_view line = need("its end line");
            const auto [key, rest] = cut(line);
            if (key == "end") {
                const auto [when, how] = cut(rest);
                const auto ms = readNumber(when);
                if (!ms || *ms < last) damaged("an end time before the last line");
                if (how == "winner") r.ending = Ending::Winner;
                else if (how == "closed") r.ending = Ending::Closed;
                else damaged("an ending that is neither winner nor closed");
                r.endMs = *ms;
                std::string_view after;
                if (lines_.next(after)) damaged("text after the end line");
                return;
            }
            const auto ms = readNumber(key);
            if (!ms) damaged("a game line without its time");
            if (r.entries.size() >= kMaxRecordEntries) damaged("more game lines than any game has");
            if (*ms < last) damaged("a game line earlier than the one before it");
            last = *ms;
            std::string raw = text(rest);
            if (raw.size() > protocol::kMaxTail) damaged("a game line longer than any the game sends");
            r.entries.push_back({*ms, std::move(raw)});
        }
    }

    std::string text(std::string_view field) const {
        auto value = unescapeField(field);
        if (!value) damaged("a broken escape or a control character");
        return std::move(*value);
    }

    LineReader lines_;
};

}  // namespace

std::string escapeField(std::string_view raw) {
    const bool utf8 = protocol::isValidUtf8(raw);
    std::string out;
    out.reserve(raw.size() + 8);
    for (const char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') out += "\\\\";
        else if (c < 0x20 || c == 0x7F || (!utf8 && c >= 0x80)) appendEscape(out, c);
        else out.push_back(ch);
    }
    return out;
}

std::optional<std::string> unescapeField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F || c == 0xFF) return std::nullopt;
        if (c != '\\') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            out.push_back('\\');
            ++i;
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x') return std::nullopt;
        const int hi = hexValue(text[i + 2]);
        const int lo = hexValue(text[i + 3]);
        if (hi < 0 || lo < 0) return std::nullopt;
        const int byte = hi * 16 + lo;
        if (byte == 0xFF) return std::nullopt;  // the terminator is never part of a line
        out.push_back(static_cast<char>(byte));
        i += 3;
    }
    return out;
}

std::string writeRecord(const Record& record) {
    const Header& h = record.header;
    std::string out;
    std::size_t size = 256;
    for (const Entry& e : record.entries) size += e.line.size() + 12;
    out.reserve(size);
    out += std::string(kMagic) + " " + std::to_string(kFormatVersion) + "\n";
    out += "date " + escapeField(h.date) + "\n";
    out += "program " + escapeField(h.program) + "\n";
    out += "own-seat " + std::to_string(h.ownSeat) + "\n";
    for (int s = 1; s <= kSeats; ++s) {
        const std::string& name = h.seats[static_cast<std::size_t>(s - 1)];
        out += "seat " + std::to_string(s);
        if (!name.empty()) out += " " + escapeField(name);
        out += "\n";
    }
    out += "play-to " + optionText(h.playTo) + "\n";
    out += "seconds " + optionText(h.seconds) + "\n";
    out += "shuffles " + optionText(h.shuffles) + "\n";
    out += std::string("team ") + (h.team ? "yes" : "no") + "\n";
    if (h.language != kRecordDefaultLanguage) out += "language " + escapeField(h.language) + "\n";
    out += "game\n";
    for (const Entry& e : record.entries) {
        out += std::to_string(e.ms);
        out.push_back(' ');
        out += escapeField(e.line);
        out.push_back('\n');
    }
    out += "end " + std::to_string(record.endMs) + (record.ending == Ending::Winner ? " winner" : " closed") + "\n";
    return out;
}

ReadResult readRecord(std::string_view text) {
    if (text.size() > kMaxRecordBytes) return {std::nullopt, "the file is too large to be a game record"};
    return Parser(text).run();
}

}  // namespace quorbit::record
