// The command line of the program: launch parameters and the server's options.
#include <gtest/gtest.h>

#include "shell/cmdline.h"

namespace quorbit::shell {
namespace {

TEST(CommandLine, LaunchParametersAndOptionsSideBySide) {
    const CommandLine none = parseCommandLine({});
    EXPECT_FALSE(none.server);
    EXPECT_EQ(none.port, 7772);
    EXPECT_FALSE(none.portGiven);
    EXPECT_TRUE(none.positional.empty());
    EXPECT_TRUE(none.error.empty());

    const CommandLine host = parseCommandLine({"Ann", "--port", "9000", "10.0.0.5", "true"});
    EXPECT_EQ(host.positional, (std::vector<std::string>{"Ann", "10.0.0.5", "true"}));
    EXPECT_EQ(host.port, 9000);
    EXPECT_TRUE(host.portGiven);

    const CommandLine server = parseCommandLine({"--server", "--port=65535"});
    EXPECT_TRUE(server.server);
    EXPECT_EQ(server.port, 65535);

    // After "--" everything is a launch parameter, even a name that looks like an option.
    const CommandLine dashed = parseCommandLine({"--", "--server", "h", "true"});
    EXPECT_FALSE(dashed.server);
    EXPECT_EQ(dashed.positional.front(), "--server");
    // A single "-" or a one-dash word is no option of ours.
    EXPECT_EQ(parseCommandLine({"-", "-x"}).positional.size(), 2u);
}

TEST(CommandLine, BadPortsAndUnknownOptionsAreErrors) {
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--port"}, {"--port", "0"}, {"--port", "65536"}, {"--port", "-1"},
                                               {"--port", "77x"}, {"--port", ""}, {"--port=", "1"},
                                               {"--port", "+80"}, {"--port", "123456"}, {"--verbose"},
                                               {"--portx", "1"}}) {
        const CommandLine line = parseCommandLine(bad);
        EXPECT_FALSE(line.error.empty()) << bad.front() << " " << (bad.size() > 1 ? bad[1] : "");
    }
    EXPECT_EQ(parseCommandLine({"--port", "80x"}).error,
              "--port needs a port number from 1 to 65535, not \"80x\"");
    EXPECT_EQ(parseCommandLine({"--fast"}).error, "unknown option --fast");
}

TEST(CommandLine, TheServerIsChosenFromTheRawArguments) {
    char prog[] = "quorbit", server[] = "--server", port[] = "--port", n[] = "1", dd[] = "--";
    char* withServer[] = {prog, port, n, server, nullptr};
    EXPECT_TRUE(wantsServer(4, withServer));
    char* without[] = {prog, port, n, nullptr};
    EXPECT_FALSE(wantsServer(3, without));
    char* afterDashes[] = {prog, dd, server, nullptr};
    EXPECT_FALSE(wantsServer(3, afterDashes));
}

}  // namespace
}  // namespace quorbit::shell
