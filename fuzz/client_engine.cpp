// Drives the client's engine with random server lines, clicks, keys and ticks, and
// checks that its state stays inside its tables.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "client/client_engine.h"
#include "common/random.h"
#include "protocol/dispatch.h"
#include "protocol/framing.h"
#include "protocol/messages.h"

using namespace quorbit;
using namespace quorbit::client;

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

void checkState(const ClientState& s) {
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) {
            const int l = s.boardletters[x][y];
            const int m = s.boardmarks[x][y];
            check(l >= 0 && l <= 26);
            check(m == kMarkNone || m == kMarkTaken || m == kPicCross || m == kPicFrame);
        }
    check(s.selectedcount >= 0 && s.selectedcount <= 7);
    for (int code : s.image_letter) check(code >= 0 && code <= 26);
    for (const auto& seat : s.seats) check(seat.image_shuffles >= 0 && seat.image_shuffles <= 5);
    check(s.whoseturn >= 0 && s.whoseturn <= 9);
    check(s.image_Turn >= 0 && s.image_Turn <= 4);
}

// A line with a real command name and fields that are mostly small numbers.
std::string plausibleLine(FuzzedDataProvider& in) {
    const auto& names = protocol::names::kClientHears;
    // Now and then the table server's word on the table's host.
    std::string line(in.ConsumeIntegralInRange(0, 15) == 0
                         ? protocol::names::host
                         : names[in.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)]);
    const int fields = in.ConsumeIntegralInRange(0, 160);
    for (int i = 0; i < fields && in.remaining_bytes() > 0; ++i) {
        line += '+';
        switch (in.ConsumeIntegralInRange(0, 4)) {
            case 0: line += in.ConsumeRandomLengthString(12); break;
            case 4: line += std::string(in.ConsumeIntegralInRange<std::size_t>(0, 70000), 'x'); break;
            case 1: line += std::to_string(in.ConsumeIntegral<int32_t>()); break;
            default: line += std::to_string(in.ConsumeIntegralInRange(-2, 30)); break;
        }
    }
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    SeededRandom rng(in.ConsumeIntegral<uint32_t>());
    ClientEngine engine(rng);
    engine.setLaunch(in.ConsumeBool(), in.ConsumeRandomLengthString(16));
    if (in.ConsumeBool()) {
        engine.setTable(in.ConsumeRandomLengthString(16));
        engine.connected();
    }
    if (in.ConsumeBool()) {
        // Start from a running game so deep states are reachable.
        const int seat = in.ConsumeIntegralInRange(1, 6);
        std::string bytes = protocol::frame(protocol::toclient::sendlogininfo(seat));
        bytes += protocol::frame(protocol::toclient::newplayerinfo(seat, "Me"));
        bytes += protocol::frame(protocol::toclient::startgame({"Me", 100, 60, in.ConsumeBool(), 2}));
        protocol::BoardCodes codes{};
        for (auto& column : codes)
            for (int& c : column) c = in.ConsumeIntegralInRange(1, 26);
        bytes += protocol::frame(protocol::toclient::theboard(codes));
        bytes += protocol::frame(protocol::toclient::nextplayer(in.ConsumeIntegralInRange(1, 4), 1));
        engine.received(bytes);
        while (engine.pump()) {}
    }
    std::int64_t now = 0;
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 15)) {
            case 0: engine.received(in.ConsumeRandomLengthString(64)); break;
            case 1: {
                // One line, split into reads of random sizes.
                const std::string framed = protocol::frame(plausibleLine(in));
                for (std::size_t at = 0; at < framed.size();) {
                    const std::size_t read =
                        in.remaining_bytes() > 0 ? in.ConsumeIntegralInRange<std::size_t>(1, 4096) : framed.size();
                    engine.received(std::string_view(framed).substr(at, read));
                    at += read;
                }
                break;
            }
            case 2:
                for (int i = in.ConsumeIntegralInRange(1, 8); i > 0; --i) engine.pump();
                break;
            case 3: {
                const int x = in.ConsumeIntegralInRange(-2, 9);
                const int y = in.ConsumeIntegralInRange(-2, 9);
                const auto button = static_cast<MouseButton>(in.ConsumeIntegralInRange(0, 2));
                engine.boardClick({x, y}, button);
                break;
            }
            case 4: engine.rackClick(in.ConsumeIntegralInRange(-2, 9)); break;
            case 5: engine.buttonClearClick(); break;
            case 6: engine.buttonDoneClick(); break;
            case 7: engine.buttonShuffleClick(); break;
            case 8: engine.arrowClick(in.ConsumeIntegralInRange(-1, 6)); break;
            case 9: engine.timer2Tick(); break;
            case 10: engine.sendit(in.ConsumeRandomLengthString(32)); break;
            case 11:
                now += in.ConsumeIntegralInRange(0, 3000);
                engine.phraseClick(in.ConsumeIntegralInRange(-1, 12), now);
                break;
            case 12: engine.kicking(in.ConsumeIntegralInRange(-1, 11)); break;
            case 13: engine.setJustWatch(in.ConsumeIntegralInRange(-1, 11), in.ConsumeBool()); break;
            case 14: engine.justWatchMenuClick(); break;
            default:
                if (in.ConsumeBool()) engine.socketClosed();
                break;
        }
        checkState(engine.state());
        for (const auto& m : engine.takeOutgoing()) {
            // Exactly one terminator per message, at its end.
            check(!m.empty() && m.find(protocol::kTerminator) == m.size() - 1);
        }
        engine.takeChatLines();
        engine.takeSounds();
        engine.takeMessageBoxes();
        engine.takeTallyCalls();
        (void)engine.takeJoined();
        (void)engine.loadchecklist();
    }
    while (engine.pump()) checkState(engine.state());
    return 0;
}
