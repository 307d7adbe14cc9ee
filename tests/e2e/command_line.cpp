// The program's informational options and a bad option, run as a process without any
// display: they must answer before the window system is touched.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "protocol/messages.h"

namespace {

struct Outcome {
    int code = -1;
    std::string out;  // standard output, then standard error
};

// Runs the program with `args` (already quoted for the shell), no display and no Qt
// platform named; stderr goes to a file so the two streams can be told apart.
Outcome runProgram(const std::string& args, std::string* err = nullptr) {
    // One file per test process: ctest runs the tests of this program side by side.
    const std::string errFile = testing::TempDir() + "quorbit-cmdline-stderr-" + std::to_string(::getpid());
    const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                            std::string(QUORBIT_BINARY) + "' " + args + " 2>'" + errFile + "'";
    Outcome run;
    FILE* pipe = ::popen(cmd.c_str(), "r");
    if (!pipe) return run;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) run.out.append(buf, n);
    const int status = ::pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (err) {
        err->clear();
        if (FILE* f = std::fopen(errFile.c_str(), "r")) {
            for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) err->append(buf, n);
            std::fclose(f);
        }
    }
    std::remove(errFile.c_str());
    return run;
}

TEST(CommandLineProcess, HelpAndVersionNeedNoDisplay) {
    std::string err;
    const Outcome version = runProgram("--version", &err);
    EXPECT_EQ(version.code, 0) << err;
    EXPECT_EQ(version.out, "quorbit " + std::string(quorbit::protocol::kVersion) + "\n");

    const Outcome help = runProgram("-h", &err);
    EXPECT_EQ(help.code, 0) << err;
    EXPECT_EQ(help.out.rfind("Usage: quorbit", 0), 0u) << help.out;
    for (const char* option : {"--help", "--version", "--server", "--port <N>"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    EXPECT_TRUE(err.empty()) << err;
}

TEST(CommandLineProcess, ABadOptionPrintsTheUsageAndEndsWithTwo) {
    std::string err;
    for (const char* bad : {"--bogus", "--port 0", "--server --port", "Ann --help=1 h true"}) {
        const Outcome run = runProgram(bad, &err);
        EXPECT_EQ(run.code, 2) << bad;
        EXPECT_TRUE(run.out.empty()) << bad << ": " << run.out;
        EXPECT_EQ(err.rfind("quorbit: ", 0), 0u) << bad << ": " << err;
        EXPECT_NE(err.find("Usage: quorbit"), std::string::npos) << bad << ": " << err;
    }
}

}  // namespace
