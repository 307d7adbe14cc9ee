#pragma once
// A TableServer with a recording host and a small word list, driven by hand: connections,
// lines and the time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "protocol/framing.h"
#include "protocol/messages.h"
#include "protocol/table_messages.h"
#include "server/tables.h"
#include "harness.h"

namespace quorbit::server::testing {

namespace proto = quorbit::protocol;

class FakeTablesOutput : public TablesOutput {
public:
    void send(ConnectionId id, std::string_view bytes) override {
        sent[id].emplace_back(bytes.substr(0, bytes.size() - 1));
    }
    void close(ConnectionId id) override { closedIds.push_back(id); }
    void log(std::string_view line) override { logs.emplace_back(line); }
    std::vector<std::string> take(ConnectionId id) { return std::exchange(sent[id], {}); }
    std::map<ConnectionId, std::vector<std::string>> sent;
    std::vector<ConnectionId> closedIds;
    std::vector<std::string> logs;
};

class TableServerTest : public ::testing::Test {
protected:
    TableServerTest()
        : dir_(std::filesystem::temp_directory_path() /
               ("tables-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name())),
          dict_(makeDir(dir_), testWordFile()) {}
    ~TableServerTest() override { std::filesystem::remove_all(dir_); }
    static std::filesystem::path makeDir(const std::filesystem::path& p) {
        std::filesystem::create_directories(p);
        return p;
    }
    TableServer& server(TableLimits limits = {}, bool prompt = false, TableServer::Options o = {}) {
        o.limits = limits;
        o.promptLines = prompt;
        o.computerWords = "ab\nstorm\n";
        server_ = std::make_unique<TableServer>(out_, dict_, o);
        return *server_;
    }
    void pump() {
        for (int i = 0; i < 10000 && server_->hasUnservedLines(); ++i) server_->pumpTick(now_);
    }
    void say(ConnectionId id, const std::string& line) {
        server_->received(id, proto::frame(line), now_);
        pump();
    }
    // Opens `id` from `address`, names table `table` and logs in as `name`; the seat.
    int join(ConnectionId id, const std::string& table, const std::string& name,
             const std::string& address = "127.0.0.1") {
        return sit(id, proto::tables::Table{table}.format(), name, address);
    }
    // The same with `first` as the first line (a table, a watch or an invite).
    int sit(ConnectionId id, const std::string& first, const std::string& name,
            const std::string& address = "127.0.0.1") {
        server_->opened(id, address, now_);
        say(id, first);
        const Table* t = server_->tableOf(id);
        if (!t) return 0;
        const int seat = t->seatOf(id);
        say(id, proto::toserver::logininfo(seat, proto::kVersion, name));
        return seat;
    }
    static bool has(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    static bool anyStarts(const std::vector<std::string>& lines, std::string_view prefix) {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    }

    std::filesystem::path dir_;
    dictionary::TDictn dict_;
    FakeTablesOutput out_;
    std::unique_ptr<TableServer> server_;
    std::int64_t now_ = 1000;
};

}  // namespace quorbit::server::testing
