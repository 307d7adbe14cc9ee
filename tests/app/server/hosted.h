#pragma once
// A ServerHost listening on a free loopback port with its own empty word folder and a
// recorded log, and raw peers that connect and log in to it.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/net/loopback.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "app/server/serverhost.h"

namespace quorbit::serverhost::testing {

using net::testing::RawPeer;
using net::testing::waitUntil;

struct Hosted {
    QTemporaryDir folder;
    std::vector<std::string> logLines;
    std::unique_ptr<ServerHost> host;
    int port = 0;

    Hosted() {
        ServerHost::Options o;
        o.dictionaryFolder = folder.path().toStdString();
        o.seed = 7;
        o.log = [this](std::string_view line) { logLines.emplace_back(line); };
        host = std::make_unique<ServerHost>(o);
        port = net::testing::deadPort();
        EXPECT_TRUE(host->listen(port)) << host->errorText();
    }
    // Connects and reads the login request.
    RawPeer join(int expectSeat) {
        RawPeer p;
        EXPECT_TRUE(p.connect(port));
        const std::string want = protocol::frame(protocol::toclient::sendlogininfo(expectSeat));
        EXPECT_EQ(p.receive(want.size()), want);
        return p;
    }
    RawPeer login(int seat, const std::string& name) {
        RawPeer p = join(seat);
        EXPECT_TRUE(p.send(protocol::frame(protocol::toserver::logininfo(seat, protocol::kVersion, name))));
        EXPECT_TRUE(waitUntil([&] { return host->server().seat(seat).name == name; }));
        return p;
    }
};

}  // namespace quorbit::serverhost::testing
