#include "record/recorder.h"

#include <algorithm>

#include "protocol/messages.h"

namespace quorbit::record {
namespace {

constexpr std::string_view kStartGame = protocol::names::startgame;
constexpr std::string_view kTheBoard = protocol::names::theboard;
constexpr std::string_view kGameStats = protocol::names::gamestats;
constexpr std::string_view kWinner = protocol::names::winner;
constexpr std::string_view kLanguage = protocol::names::language;
constexpr std::string_view kNextPlayer = protocol::names::nextplayer;

std::string_view nameOf(std::string_view raw) {
    const auto split = protocol::splitLine(raw);
    return split ? split->name : std::string_view{};
}

// A number of the game's options; what is not one is unknown (-1).
int optionOrUnknown(int v) { return v >= 0 ? v : -1; }

// The game's options as the first line of a record states them; a line that cannot be
// read leaves them unknown.
void readOptions(std::string_view raw, Header& h) {
    if (const auto start = protocol::read<protocol::toclient::Startgame>(raw)) {
        h.playTo = optionOrUnknown(start->settings.playTo);
        h.seconds = optionOrUnknown(start->settings.seconds);
        h.team = start->settings.team;
        h.shuffles = optionOrUnknown(start->settings.shuffles);
    } else if (const auto stats = protocol::read<protocol::toclient::Gamestats>(raw)) {
        h.playTo = optionOrUnknown(stats->playTo);
        h.seconds = optionOrUnknown(stats->seconds);
        h.team = stats->team;
    }
}

}  // namespace

Recorder::Recorder(std::string program, std::function<std::string()> utcNow)
    : program_(std::move(program)),
      utcNow_(std::move(utcNow)) {}

Recorder::~Recorder() = default;

void Recorder::received(std::string_view bytes, std::int64_t nowMs) {
    std::vector<std::string> lines;
    cutter_.feedRaw(bytes, lines);
    for (const std::string& l : lines) line(l, nowMs);
}

void Recorder::line(std::string_view raw, std::int64_t nowMs) {
    // The client drops such lines unread; so does the record.
    if (raw.size() > protocol::kMaxTail) return;
    const std::string_view name = nameOf(raw);
    if (!current_) {
        if (name == kTheBoard) {
            pendingBoard_.assign(raw);
            follow(raw);
            return;
        }
        if (name == kStartGame || name == kGameStats) {
            if (name == kStartGame) pendingBoard_.clear();
            follow(raw);
            start(nowMs, raw);
            return;
        }
        pendingBoard_.clear();
        follow(raw);
        return;
    }
    if (name == kStartGame) {
        // A new game began before the last one had a winner.
        finish(Ending::Closed, nowMs);
        follow(raw);
        start(nowMs, raw);
        return;
    }
    follow(raw);
    if (name == kNextPlayer) languageOpen_ = false;
    if (name == kLanguage && languageOpen_) current_->header.language = seats_.language;
    append(raw, nowMs);
    if (current_ && name == kWinner) finish(Ending::Winner, nowMs);
}

void Recorder::closed(std::int64_t nowMs) {
    if (current_) finish(Ending::Closed, nowMs);
    cutter_.reset();
    pendingBoard_.clear();
}

void Recorder::follow(std::string_view raw) { seats_.hear(protocol::decodeWireText(raw)); }

void Recorder::start(std::int64_t nowMs, std::string_view firstLine) {
    Record r;
    Header& h = r.header;
    h.date = utcNow_ ? utcNow_() : std::string();
    h.program = program_;
    h.ownSeat = seats_.myseat;
    for (std::size_t i = 0; i < h.seats.size(); ++i) {
        const client::SeatValues& seat = seats_.seating[i];
        h.seats[i] = seat.holder == client::SeatHolder::Nobody ? std::string() : seat.name;
    }
    readOptions(firstLine, h);
    // A new game hears its language before its start; a newcomer hears it after the catch-up.
    h.language = seats_.language;
    languageOpen_ = nameOf(firstLine) == kGameStats;
    current_ = std::move(r);
    startMs_ = nowMs;
    bytes_ = 0;
    if (!pendingBoard_.empty() && nameOf(firstLine) == kGameStats) append(pendingBoard_, nowMs);
    pendingBoard_.clear();
    append(firstLine, nowMs);
}

void Recorder::append(std::string_view raw, std::int64_t nowMs) {
    bytes_ += raw.size() + 16;
    if (bytes_ > kMaxRecordedBytes || current_->entries.size() >= kMaxRecordEntries) {
        finish(Ending::Closed, nowMs);
        return;
    }
    // A clock that went back counts as no time passing.
    const std::int64_t last = current_->entries.empty() ? 0 : current_->entries.back().ms;
    current_->entries.push_back({std::max(last, nowMs - startMs_), std::string(raw)});
}

void Recorder::finish(Ending ending, std::int64_t nowMs) {
    Record r = std::move(*current_);
    current_.reset();
    r.ending = ending;
    const std::int64_t last = r.entries.empty() ? 0 : r.entries.back().ms;
    r.endMs = std::max(last, nowMs - startMs_);
    finished_.push_back(std::move(r));
}

}  // namespace quorbit::record
