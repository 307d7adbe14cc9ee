// The windowed program ends the orderly way on SIGTERM and SIGINT: its exit code is 0
// and the word file its server wrote is gone again.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "testkit/wire_client.h"

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

void stopsCleanly(int sig) {
    const fs::path dir = fs::temp_directory_path() / ("window-stop-" + std::to_string(::getpid()) + "-" + std::to_string(sig));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    const int port = quorbit::e2e::freePort();
    quorbit::e2e::Process game(QUORBIT_BINARY, {"--port", std::to_string(port)},
                               {"QT_QPA_PLATFORM=offscreen", "QUORBIT_DATA_DIR=" + dir.string()});
    fs::current_path(before);

    // The solo game's server is up once its port answers.
    quorbit::e2e::WireClient probe;
    ASSERT_TRUE(probe.connect(port, seconds(20)));
    probe.close();
    const auto end = steady_clock::now() + seconds(10);
    while (!fs::exists(dir / "English") && steady_clock::now() < end) std::this_thread::sleep_for(milliseconds(20));
    ASSERT_TRUE(fs::exists(dir / "English"));

    EXPECT_EQ(game.stop(sig, seconds(10)), 0);
    EXPECT_FALSE(fs::exists(dir / "English"));
    fs::remove_all(dir);
}

}  // namespace

TEST(WindowStop, SigtermClosesTheWindowAndCleansUp) { stopsCleanly(SIGTERM); }
TEST(WindowStop, SigintClosesTheWindowAndCleansUp) { stopsCleanly(SIGINT); }
