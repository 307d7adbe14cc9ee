// The installed program's game server: started from an installed tree (the path in
// QUORBIT_INSTALLED_PROGRAM, set by tests/package/install_test.sh), it takes a login
// on loopback and ends cleanly on SIGTERM, leaving nothing behind in its folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "testkit/wire_client.h"
#include "protocol/messages.h"

namespace quorbit::e2e {
namespace {
using namespace std::chrono_literals;

TEST(InstalledProgram, TheServerAcceptsALoginOnLoopback) {
    const char* program = std::getenv("QUORBIT_INSTALLED_PROGRAM");
    if (!program || !*program) GTEST_SKIP() << "QUORBIT_INSTALLED_PROGRAM names no installed program";
    const int port = freePort();
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("quorbit-installed-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        Process server("/bin/sh", {"-c", "cd '" + dir.string() + "' && exec '" + program + "' --server --no-announce --port " +
                                             std::to_string(port)});
        WireClient client;
        ASSERT_TRUE(client.connect(port, 10s));
        EXPECT_EQ(client.next(5s), protocol::toclient::sendlogininfo(1));
        ASSERT_TRUE(client.send(protocol::toserver::logininfo(1, protocol::kVersion, "Installer")));
        const std::string joined = protocol::toclient::newplayerinfo(1, "Installer");
        EXPECT_EQ(client.waitFor(joined, 5s), joined);
        EXPECT_EQ(server.stop(SIGTERM), 0);
    }
    // The word file the server wrote is gone with it.
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace quorbit::e2e
