#pragma once
// Replay: a recorded game played again through a client engine of its own.
//
// The engine is told who sits where and the game's language from the record's header (as
// the server tells a client), then receives the recorded lines at their times; the turn
// clock ticks once a second while it runs, as the window's clock does. Whatever the engine asks for (lines to send, sounds, tally
// entries, message boxes) is dropped: a replay changes nothing outside itself.
#include <cstdint>
#include <memory>
#include <vector>

#include "client/client_engine.h"
#include "common/random.h"
#include "record/record.h"

namespace quorbit::record {

class Replay {
public:
    // `languages` gives the words of the game's language (for the hint's and best words'
    // search); without it the replay still shows and scores in the game's language.
    explicit Replay(Record record, client::LanguageSource languages = {});
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    const Record& record() const { return record_; }
    const client::ClientState& state() const { return engine_.state(); }
    // What the chat box says as the replay begins: the game's language when it is not English.
    const std::vector<client::ChatLine>& opening() const { return opening_; }
    std::uint64_t revision() const { return engine_.revision(); }

    std::int64_t position() const { return position_; }  // replay time in ms
    std::int64_t length() const { return record_.endMs; }
    bool atEnd() const { return next_ >= record_.entries.size() && position_ >= length(); }
    std::size_t linesPlayed() const { return next_; }

    // Plays every line up to `ms` of the game's time, with the clock's ticks between.
    void advanceTo(std::int64_t ms);
    // Plays on to the next word made, that line included. False when no word is left:
    // the replay then runs to its end.
    bool stepWord();

private:
    void feed(const Entry& e);
    void drain();

    Record record_;
    std::vector<client::ChatLine> opening_;
    SeededRandom random_{1};
    client::ClientEngine engine_{random_};
    std::size_t next_ = 0;
    std::int64_t position_ = 0;
    std::int64_t nextTick_ = 0;
    bool ticking_ = false;
    int ticks_ = 0;
};

}  // namespace quorbit::record
