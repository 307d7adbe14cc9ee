// Drives the table server with an arbitrary script of connections from a few addresses,
// bytes (table names, listings, logins, the lobby's lines, any bytes) and time, checking that everything it
// sends is one whole message, that it keeps its limits, and that every table it holds has
// somebody at it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>

#include "dictionary/builtin_words.h"
#include "dictionary/dictn.h"
#include "protocol/account_messages.h"
#include "protocol/framing.h"
#include "protocol/lobby_messages.h"
#include "protocol/messages.h"
#include "protocol/table_messages.h"
#include "server/tables.h"

using namespace quorbit;
using namespace quorbit::server;
namespace fs = std::filesystem;

namespace {

class CheckingOutput : public TablesOutput {
public:
    void send(ConnectionId id, std::string_view bytes) override {
        if (bytes.empty() || bytes.back() != protocol::kTerminator) std::abort();
        if (bytes.find(protocol::kTerminator) != bytes.size() - 1) std::abort();
        if (closed.count(id)) std::abort();  // nothing after a close
    }
    void close(ConnectionId id) override { closed.insert(id); }
    void log(std::string_view) override {}
    std::set<ConnectionId> closed;
};

// Keeps the requests it is asked; the script answers them later, in any order.
class ScriptBook : public AccountBook {
public:
    void ask(const AccountRequest& r) override { asked.push_back(r.serial); }
    bool registered(std::string_view name) override { return name == "a" || name == "Friday"; }
    std::optional<PersonRatings> ratings(std::string_view name) override {
        if (!registered(name)) return std::nullopt;
        return PersonRatings{1500.0, -2.5, 3};
    }
    std::vector<LeaderRow> top(protocol::accounts::RatingModel, int count) override {
        return std::vector<LeaderRow>(static_cast<std::size_t>(count) + 1, LeaderRow{"a", 1500.0, 2});
    }
    std::optional<PersonHistory> history(std::string_view name, int) override {
        if (!registered(name)) return std::nullopt;
        return PersonHistory{"a", {HistoryRow{}}};
    }
    std::vector<std::uint64_t> asked;
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("fuzz-tables-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    static const dictionary::TDictn spell(dir, dictionary::builtinWordFile());
    Script s(data, size);
    CheckingOutput out;
    TableServer::Options o;
    o.limits.tables = 4;
    o.limits.connections = 24;
    o.limits.perAddress = 6;
    o.limits.waitingPerAddress = 3;
    o.computerWords = "ab\nseat\neast\n";
    TableServer server(out, spell, o);
    ScriptBook book;
    server.setAccountBook(&book);
    // Another server's table, told in the lobby and listed when "all" is asked.
    RemoteTable moon{"b.example:7772", {}};
    moon.table.name = "Moon";
    moon.table.zubo = "classic";
    server.setRemoteTables({moon});
    server.watchChanges(true);
    std::int64_t now = 0;
    ConnectionId next = 1;
    static const char* const kNames[] = {"", "a", "A", " a ", "b+c", "\xE2\x80\x8B", "Friday"};
    static const char* const kLevels[] = {"classic", "Strong", "expert", "", "zubo"};
    static const char* const kLanguages[] = {"en", "", "fr", "xx", "EN"};
    namespace lobby = protocol::lobby;
    for (int step = 0; step < 2000 && !s.done(); ++step) {
        const ConnectionId id = 1 + s.byte() % 16;
        switch (s.byte() % 12) {
            case 0: {
                const ConnectionId fresh = next++;
                out.closed.erase(fresh);
                server.opened(fresh, "10.0.0." + std::to_string(s.byte() % 3), now);
                break;
            }
            case 1: server.closed(id, now); break;
            case 2: server.received(id, s.bytes(static_cast<size_t>(s.byte())), now); break;
            case 3:
                server.received(id, protocol::frame(protocol::tables::Table{kNames[s.byte() % 7]}.format()), now);
                break;
            case 4: server.received(id, protocol::frame(protocol::tables::Listtables{}.format()), now); break;
            case 5: {
                const Table* t = server.tableOf(id);
                const int seat = t ? t->seatOf(id) : s.byte() % 10;
                server.received(id, protocol::frame(protocol::toserver::logininfo(seat, protocol::kVersion, "p")), now);
                break;
            }
            case 6: server.pumpTick(now); break;
            case 7: {
                namespace acc = protocol::accounts;
                const std::string name = kNames[s.byte() % 7];
                const std::string password(s.bytes(static_cast<size_t>(s.byte() % 12)));
                std::string line;
                switch (s.byte() % 9) {
                    case 0: server.markEncrypted(id, now); break;
                    case 1: line = acc::Register{name, password}.format(); break;
                    case 2: line = acc::Login{name, password}.format(); break;
                    case 3: line = acc::Resume{std::string(32, 'a')}.format(); break;
                    case 4: line = acc::Newpassword{password, password + password}.format(); break;
                    case 5: line = acc::Deleteaccount{password}.format(); break;
                    case 6: line = s.byte() % 2 ? acc::Leaderboard{}.format() : acc::History{name}.format(); break;
                    default: {
                        if (book.asked.empty()) break;
                        const std::size_t at = static_cast<std::size_t>(s.byte()) % book.asked.size();
                        const auto kind = static_cast<AccountAnswer::Kind>(s.byte() % 3);
                        server.accountAnswered(book.asked[at], {kind, name, std::string(32, 'T'), "x"}, now);
                        book.asked.erase(book.asked.begin() + static_cast<std::ptrdiff_t>(at));
                    }
                }
                if (!line.empty()) server.received(id, protocol::frame(line), now);
                break;
            }
            case 8:
                server.received(id, protocol::frame(lobby::Lobby{kNames[s.byte() % 7]}.format()), now);
                break;
            case 9:
                server.received(id, protocol::frame(lobby::Lobbychat{std::string(s.bytes(static_cast<size_t>(s.byte())))}.format()), now);
                break;
            case 10: {
                lobby::Maketable m;
                m.name = kNames[s.byte() % 7];
                m.options = {s.byte() * 8 - 8, s.byte() * 16 - 16, s.byte() - 4, s.byte() % 2 == 0,
                             kLevels[s.byte() % 5], kLanguages[s.byte() % 5]};
                m.isPublic = s.byte() % 2 == 0;
                server.received(id, protocol::frame(m.format()), now);
                break;
            }
            case 11: {
                const std::string arg(s.bytes(static_cast<size_t>(s.byte() % 16)));
                const std::string line = s.byte() % 2 == 0 ? lobby::Invite{arg}.format() : lobby::Watchtable{arg}.format();
                server.received(id, protocol::frame(line), now);
                break;
            }
            default:
                now += s.byte() * 20;
                server.deadlines(now);
                break;
        }
        if (server.tableCount() > o.limits.tables || server.connectionCount() > o.limits.connections ||
            server.lobbyCount() > server.connectionCount())
            std::abort();
        for (const auto& info : server.listing())
            if (info.name.find('+') != std::string::npos) std::abort();
    }
    return 0;
}
