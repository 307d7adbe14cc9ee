// Drives the game server with an arbitrary script of connections, bytes and timer ticks,
// checking that everything it sends is one whole message and that its board and seats
// stay within their ranges.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "common/random.h"
#include "dictionary/builtin_words.h"
#include "dictionary/dictn.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/messages.h"
#include "server/server.h"

using namespace quorbit;
using namespace quorbit::server;
namespace fs = std::filesystem;

namespace {

class CheckingOutput : public ServerOutput {
public:
    void send(ConnectionId, std::string_view bytes) override {
        if (bytes.empty() || bytes.back() != protocol::kTerminator) std::abort();
        if (bytes.find(protocol::kTerminator) != bytes.size() - 1) std::abort();
        if (bytes.size() > protocol::kMaxRelayedLine) std::abort();
    }
    void close(ConnectionId) override {}
    void timerChanged(ServerTimer, bool) override {}
    void log(std::string_view) override {}
};

class Script {
public:
    Script(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool done() const { return pos_ >= size_; }
    int byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::string_view bytes(size_t n) {
        n = std::min(n, size_ - pos_);
        std::string_view s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// A short text, or a long one of bytes that grow when read as Windows-1252.
std::string longText(Script& s, const char* shortText) {
    if (s.byte() % 4 != 0) return shortText;
    return std::string(static_cast<std::size_t>(s.byte()) * 300, static_cast<char>(0x80 + s.byte() % 32));
}

// A well-formed message of one of the server's kinds, with fields from the script, so
// that the search reaches games in progress quickly.
std::string message(Script& s) {
    namespace ts = protocol::toserver;
    const int seat = s.byte() % 11;
    switch (s.byte() % 12) {
        case 0: return ts::logininfo(seat, protocol::kVersion, longText(s, "p"));
        case 1: return ts::kickhim(seat, s.byte() % 11);
        case 2: return ts::chat(seat, longText(s, "hi+"), "Red");
        case 3: {
            protocol::GameSettings g;
            g.playTo = s.byte();
            g.seconds = s.byte() % 8 - 2;
            g.team = s.byte() & 1;
            g.shuffles = s.byte() % 4;
            return ts::startgame(g);
        }
        case 4: return ts::justwatch(seat, s.byte() % 3);
        case 5: {
            std::vector<protocol::PathStep> path;
            const int n = s.byte() % 9;
            for (int i = 0; i < n; ++i) path.push_back({s.byte() % 10 - 1, s.byte() % 9 - 1, s.byte() % 9 - 1});
            return ts::playerdone(seat, path);
        }
        case 6: return ts::direction(seat, s.byte() % 7 - 1);
        case 7: return ts::selectletter(seat, s.byte(), s.byte(), s.byte());
        case 8: return ts::selectclear(seat);
        case 9: return ts::clearletter(seat, s.byte());
        case 10: return ts::shuffle(seat);
        default: return ts::action(seat, longText(s, "waves"), "Red");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("fuzz-server-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    static const dictionary::TDictn spell(dir, dictionary::builtinWordFile());
    static const std::string words = "ab\nseat\neast\ntoes\nstorm\nrate\ntear\n";
    Script s(data, size);
    SeededRandom random(static_cast<std::uint64_t>(s.byte()));
    CheckingOutput out;
    TServer server(out, spell, random, words);
    for (int step = 0; step < 2000 && !s.done(); ++step) {
        const int op = s.byte() % 9;
        const ConnectionId id = s.byte() % 12;
        switch (op) {
            case 0: server.opened(id, step * 1000); break;
            case 1: server.closed(id); break;
            case 2: server.received(id, s.bytes(static_cast<size_t>(s.byte()))); break;
            case 3: {
                // One message, split into reads of random sizes.
                const std::string framed = protocol::frame(message(s));
                for (std::size_t at = 0; at < framed.size();) {
                    const std::size_t read = 1 + static_cast<std::size_t>(s.byte()) * 97;
                    server.received(id, std::string_view(framed).substr(at, read));
                    at += read;
                }
                break;
            }
            case 4: for (int i = s.byte() % 16; i >= 0; --i) server.socktimerTimer(); break;
            case 5: for (int i = s.byte() % 80; i >= 0; --i) server.Timer1Timer(); break;
            case 6: for (int i = s.byte() % 8; i >= 0; --i) server.computertimerTimer(); break;
            case 7: server.loginTimer(step * 1000); break;
            default: server.computerplay(); break;
        }
        for (const auto& column : server.board())
            for (int code : column)
                if (code < 0 || code > 27) std::abort();
        if (server.playercount() > kSeats) std::abort();
    }
    return 0;
}
