#pragma once
// Recorder: turns what a client receives into game records.
//
// It is fed the same bytes (or, for a recording server, the same whole lines an
// onlooker would get) as the client, with the time. A record starts at the game's start
// message, or for a client that arrives during a game at its catch-up (the board
// followed by the game's figures), and ends after the winner's announcement or when the
// connection closes. Who sits
// where, and the game's language, come from a client mirror of the recorder's own that
// follows the same lines, so the header names the seats exactly as the client has them.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "client/mirror.h"
#include "protocol/framing.h"
#include "record/record.h"

namespace quorbit::record {

// A record longer than this (or of kMaxRecordEntries lines) is finished as "closed" and
// the rest of that game is not kept: no game comes near it, and a peer cannot make the
// program hold without limit.
inline constexpr std::size_t kMaxRecordedBytes = kMaxRecordBytes / 2;

class Recorder {
public:
    // `utcNow` gives the date text of a new record ("YYYY-MM-DDTHH:MM:SSZ").
    Recorder(std::string program, std::function<std::string()> utcNow);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Bytes as read from the connection. `nowMs` is any clock that does not go back.
    void received(std::string_view bytes, std::int64_t nowMs);
    // One whole line without its terminator.
    void line(std::string_view raw, std::int64_t nowMs);
    // The connection ended: a game being recorded is finished as closed.
    void closed(std::int64_t nowMs);

    bool recording() const { return current_.has_value(); }
    // Records finished since the last call, oldest first.
    std::vector<Record> takeFinished() { return std::exchange(finished_, {}); }

private:
    void start(std::int64_t nowMs, std::string_view firstLine);
    void append(std::string_view raw, std::int64_t nowMs);
    void finish(Ending ending, std::int64_t nowMs);
    void follow(std::string_view raw);

    std::string program_;
    std::function<std::string()> utcNow_;
    client::Mirror seats_;  // follows the lines, for the header
    protocol::LineCutter cutter_;
    std::optional<Record> current_;
    std::int64_t startMs_ = 0;
    std::size_t bytes_ = 0;
    std::string pendingBoard_;  // a board received outside a game: maybe a catch-up
    // A record begun at a catch-up hears the game's language after the game's figures:
    // until the game's next turn, a language heard is the recorded game's own.
    bool languageOpen_ = false;
    std::vector<Record> finished_;
};

}  // namespace quorbit::record
