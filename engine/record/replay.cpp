#include "record/replay.h"

#include <algorithm>
#include <limits>

#include "protocol/framing.h"
#include "protocol/messages.h"

namespace quorbit::record {
namespace {
constexpr std::int64_t kTickMs = 1000;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
// The clock ticks at most a week's worth in one replay: a record that claims endless
// turns and years of play cannot hold the replay in a loop of billions of ticks.
constexpr int kMaxTicks = 7 * 24 * 3600;
}  // namespace

Replay::Replay(Record record, client::LanguageSource languages) : record_(std::move(record)) {
    engine_.options().playSounds = false;
    engine_.setLanguageSource(std::move(languages));
    // Who sits where, as the recording client saw it when the game began.
    const Header& h = record_.header;
    if (h.ownSeat >= 1 && h.ownSeat <= 9)
        engine_.received(protocol::frame(protocol::toclient::sendlogininfo(h.ownSeat)));
    for (int seat = 1; seat <= kSeats; ++seat) {
        const std::string& name = h.seats[static_cast<std::size_t>(seat - 1)];
        if (!name.empty()) engine_.received(protocol::frame(protocol::toclient::existingplayers(seat, name)));
    }
    drain();
    if (h.language != kRecordDefaultLanguage) {
        engine_.received(protocol::frame(protocol::toclient::language(h.language)));
        while (engine_.pump()) {
        }
        opening_ = engine_.takeChatLines();
        drain();
    }
}

void Replay::drain() {
    while (engine_.pump()) {
    }
    engine_.takeOutgoing();
    engine_.takeChatLines();
    engine_.takeSounds();
    engine_.takeMessageBoxes();
    engine_.takeTallyCalls();
    engine_.takeJoined();
}

void Replay::feed(const Entry& e) {
    engine_.received(protocol::frame(e.line));
    drain();
    const bool running = engine_.state().timer2;
    if (running && !ticking_) nextTick_ = e.ms + kTickMs;
    ticking_ = running && ticks_ < kMaxTicks;
}

void Replay::advanceTo(std::int64_t ms) {
    ms = std::clamp<std::int64_t>(ms, 0, length());
    for (;;) {
        const std::int64_t lineAt = next_ < record_.entries.size() ? record_.entries[next_].ms : kNever;
        const std::int64_t tickAt = ticking_ ? nextTick_ : kNever;
        if (std::min(lineAt, tickAt) > ms) break;
        if (lineAt <= tickAt) {
            feed(record_.entries[next_++]);
        } else {
            engine_.timer2Tick();
            drain();
            nextTick_ += kTickMs;
            ticking_ = engine_.state().timer2 && ++ticks_ < kMaxTicks;
        }
    }
    position_ = std::max(position_, ms);
}

bool Replay::stepWord() {
    for (std::size_t i = next_; i < record_.entries.size(); ++i) {
        const auto split = protocol::splitLine(record_.entries[i].line);
        if (split && split->name == protocol::names::madeword) {
            advanceTo(record_.entries[i].ms);  // the word and whatever came in the same moment
            return true;
        }
    }
    advanceTo(length());
    return false;
}

}  // namespace quorbit::record
