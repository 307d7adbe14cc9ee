// Feeds a stream of lines, some longer than the cutter takes, through the line cutter in
// reads of random sizes, and checks that exactly the lines sent whole and within the
// limit come out, in order: no piece of an overlong line is ever handed out as a line.
// Every line that comes out is then read as the server and as the client read it, each
// message by its own parse: every parse ends (a field that is not a number only abandons
// the line), and a value that was read formats to a line that reads back as the same value.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "protocol/account_messages.h"
#include "protocol/dispatch.h"
#include "protocol/framing.h"
#include "protocol/messages.h"

using namespace quorbit::protocol;

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

template <typename M>
void roundTrip(const M& m) {
    const auto again = read<M>(m.format());
    // An empty path formats as the seat alone, which is not followed by "+".
    if constexpr (std::is_same_v<M, toserver::Playerdone>) {
        if (m.path.empty()) {
            check(!again);
            return;
        }
        check(m.path.size() <= 8);
    }
    check(again && *again == m);
}

// The account messages: what a value formats to reads back as a value that formats to the
// same line again (ratings are rounded as they are written, so the first reading may
// differ from the value).
template <typename M>
void settles(const M& m) {
    const std::string line = m.format();
    const M again = M::parse(std::string_view(line).substr(M::kName.size() + 1));
    check(again.format() == line || M::parse(std::string_view(again.format()).substr(M::kName.size() + 1)) == again);
}

const Dispatcher& accountLines() {
    namespace acc = quorbit::protocol::accounts;
    static const Dispatcher d = [] {
        Dispatcher a;
        const auto each = [&a]<typename... M>(std::tuple<M...>*) { (a.on<M>([](const M& m) { settles(m); }), ...); };
        each(static_cast<std::tuple<acc::Register, acc::Login, acc::Resume, acc::Newpassword, acc::Deleteaccount,
                                    acc::Leaderboard, acc::History, acc::Loggedin, acc::Accountrefused,
                                    acc::Accountdone, acc::Personrating, acc::Leader, acc::Leaderend,
                                    acc::Historygame, acc::Historyend>*>(nullptr));
        return a;
    }();
    return d;
}

template <typename... M>
Dispatcher hearing(std::tuple<M...>*) {
    Dispatcher d;
    (d.on<M>([](const M& m) { roundTrip(m); }), ...);
    return d;
}

const Dispatcher& server() {
    static const Dispatcher d = hearing(static_cast<toserver::Messages*>(nullptr));
    return d;
}
const Dispatcher& client() {
    static const Dispatcher d = hearing(static_cast<toclient::Messages*>(nullptr));
    return d;
}

// A line without terminators: short text from the input, or a long run that may reach
// past the limit with a message of the game placed after it.
std::string line(FuzzedDataProvider& in) {
    std::string l;
    if (in.ConsumeBool()) {
        l = in.ConsumeRandomLengthString(200);
    } else {
        const std::size_t size = kMaxTail - 64 + in.ConsumeIntegralInRange<std::size_t>(0, 128);
        l.assign(size, static_cast<char>(in.ConsumeIntegralInRange<int>(0x20, 0x9F)));
        l += toclient::full();
    }
    std::erase(l, kTerminator);
    return l;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::string stream;
    std::vector<std::string> expected;
    const int count = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < count; ++i) {
        const std::string l = line(in);
        stream += l;
        stream += kTerminator;
        if (l.size() <= kMaxTail) expected.push_back(decodeWireText(l));
    }
    LineCutter cutter;
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t read =
            in.remaining_bytes() > 0 ? in.ConsumeIntegralInRange<std::size_t>(1, 70000) : stream.size();
        cutter.feed(std::string_view(stream).substr(at, read), lines);
        at += read;
    }
    check(lines == expected);
    check(cutter.tailSize() == 0 && !cutter.skipping());
    // Whatever is left of the input, as raw bytes in two reads.
    const std::string rest = in.ConsumeRemainingBytesAsString();
    cutter.feed(std::string_view(rest).substr(0, rest.size() / 2), lines);
    cutter.feed(std::string_view(rest).substr(rest.size() / 2), lines);
    for (const auto& l : lines) {
        server().dispatch(l);
        client().dispatch(l);
        accountLines().dispatch(l);
    }
    return 0;
}
