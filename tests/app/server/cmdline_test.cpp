// The command line of the program: launch parameters and the server's options.
#include <gtest/gtest.h>

#include "protocol/messages.h"
#include "app/server/tabledirectory.h"
#include "app/shell/cmdline.h"
#include "language/loaded.h"

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

TEST(CommandLine, AnnouncementOptions) {
    const CommandLine plain = parseCommandLine({"--server"});
    EXPECT_TRUE(plain.announce);
    EXPECT_EQ(plain.name, "");
    const CommandLine named = parseCommandLine({"--server", "--name", "Test game", "--no-announce"});
    EXPECT_EQ(named.name, "Test game");
    EXPECT_FALSE(named.announce);
    EXPECT_EQ(parseCommandLine({"--name=Ann's game"}).name, "Ann's game");
    // A name is needed after --name, and it is not taken from the launch parameters.
    EXPECT_FALSE(parseCommandLine({"--server", "--name"}).error.empty());
    EXPECT_FALSE(parseCommandLine({"--name="}).error.empty());
    const CommandLine host = parseCommandLine({"Ann", "--name", "Ann's", "10.0.0.5", "true"});
    EXPECT_EQ(host.positional, (std::vector<std::string>{"Ann", "10.0.0.5", "true"}));
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

TEST(CommandLine, ZuboLevelIsNamedAndAnythingElseIsAnError) {
    EXPECT_EQ(parseCommandLine({"--server"}).zubo, rules::ZuboLevel::Classic);
    EXPECT_EQ(parseCommandLine({"--server", "--zubo", "expert"}).zubo, rules::ZuboLevel::Expert);
    EXPECT_EQ(parseCommandLine({"--zubo=Strong", "--server"}).zubo, rules::ZuboLevel::Strong);
    EXPECT_EQ(parseCommandLine({"--zubo", "hard"}).error, "--zubo needs classic, strong or expert, not \"hard\"");
    EXPECT_FALSE(parseCommandLine({"--zubo"}).error.empty());
    EXPECT_FALSE(parseCommandLine({"--zubo="}).error.empty());
    EXPECT_FALSE(parseCommandLine({"--zubox", "expert"}).error.empty());
}

TEST(CommandLine, LanguageIsACodeBuiltAndAnUnknownOneIsRefusedAtStart) {
    EXPECT_EQ(parseCommandLine({"--server"}).language, &language::english());
    EXPECT_FALSE(parseCommandLine({"--server"}).languageGiven);
    for (const language::Language& l : language::all()) {
        const CommandLine line = parseCommandLine({"--server", "--language", std::string(l.code)});
        EXPECT_TRUE(line.error.empty()) << line.error;
        EXPECT_EQ(line.language, &l);
    }
    // The refusal names every code built, and the program ends as for any bad option.
    const CommandLine bad = parseCommandLine({"--server", "--language=xx"});
    EXPECT_EQ(bad.error, "--language needs one of the languages built (" + language::codesBuilt() + "), not \"xx\"");
    EXPECT_NE(bad.error.find("en"), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_EQ(finishEarly(bad), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "quorbit: " + bad.error + "\n" + usageText());
    EXPECT_FALSE(parseCommandLine({"--language", "FR"}).error.empty());  // codes are lower case
    EXPECT_FALSE(parseCommandLine({"--language"}).error.empty());
    // Hosting a game takes one; joining one does not.
    EXPECT_TRUE(parseCommandLine({"--player=Ann", "--hosting", "--language=en"}).error.empty());
    EXPECT_FALSE(parseCommandLine({"--player=Ann", "--address=h", "--language=en"}).error.empty());
    EXPECT_NE(helpText().find("--language <CODE>"), std::string::npos);
}

TEST(CommandLine, TheRawArgumentsChooseTheModeBeforeAnyWindowSystem) {
    char prog[] = "quorbit", server[] = "--server", port[] = "--port", n[] = "1", dd[] = "--";
    char platform[] = "-platform", offscreen[] = "offscreen";
    char* withServer[] = {prog, port, n, server, nullptr};
    EXPECT_TRUE(parseCommandLine(4, withServer).server);
    char* afterDashes[] = {prog, dd, server, nullptr};
    EXPECT_FALSE(parseCommandLine(3, afterDashes).server);
    // Qt's own one-dash options are no error here; the window system takes them later.
    char* qtOption[] = {prog, platform, offscreen, nullptr};
    const CommandLine line = parseCommandLine(3, qtOption);
    EXPECT_TRUE(line.error.empty());
    EXPECT_EQ(line.positional.size(), 2u);
}

TEST(CommandLine, HelpAndVersionInEitherSpelling) {
    for (const char* word : {"--help", "-h"}) {
        const CommandLine line = parseCommandLine({"Ann", word});
        EXPECT_TRUE(line.help) << word;
        EXPECT_TRUE(line.error.empty()) << word;
        EXPECT_EQ(line.positional, std::vector<std::string>{"Ann"}) << word;
    }
    EXPECT_TRUE(parseCommandLine({"-v"}).version);
    EXPECT_TRUE(parseCommandLine({"--server", "--version"}).version);
    // A switch given a value is a mistake, not a silent switch.
    EXPECT_EQ(parseCommandLine({"--help=yes"}).error, "--help takes no value");
    EXPECT_EQ(parseCommandLine({"--server=1"}).error, "--server takes no value");
    // After "--" they are launch parameters like any other word.
    const CommandLine dashed = parseCommandLine({"--", "-h", "--version", "true"});
    EXPECT_FALSE(dashed.help);
    EXPECT_FALSE(dashed.version);
    EXPECT_EQ(dashed.positional.size(), 3u);
}

TEST(CommandLine, HelpListsEveryOptionAndTheLaunchParameters) {
    const std::string help = helpText();
    EXPECT_EQ(help.rfind(usageText(), 0), 0u) << help;
    for (const Option& o : options()) {
        std::string spelled = "--" + std::string(o.longName);
        if (!o.valueName.empty()) spelled += " <" + std::string(o.valueName) + ">";
        EXPECT_NE(help.find(spelled + "  "), std::string::npos) << spelled;
        if (!o.shortName.empty()) {
            EXPECT_NE(help.find("-" + std::string(o.shortName) + ", " + spelled), std::string::npos) << spelled;
        }
        EXPECT_NE(help.find(o.description), std::string::npos) << spelled;
        // Every option's one-letter and long names are unique.
        int same = 0;
        for (const Option& other : options())
            same += other.longName == o.longName || (!o.shortName.empty() && other.shortName == o.shortName);
        EXPECT_EQ(same, 1) << spelled;
    }
    for (const char* param : {"name", "host", "hosting"}) EXPECT_NE(help.find("\n  " + std::string(param)), std::string::npos);
    EXPECT_EQ(versionText(), "quorbit " + std::string(protocol::kVersion) + "\n");
}

TEST(CommandLine, OnlyAGoodLineLetsTheProgramGoOn) {
    EXPECT_EQ(finishEarly(parseCommandLine({"Ann", "h", "true"})), -1);
    EXPECT_EQ(finishEarly(parseCommandLine({"--server", "--port", "9"})), -1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(finishEarly(parseCommandLine({"--version"})), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), versionText());
    testing::internal::CaptureStdout();
    EXPECT_EQ(finishEarly(parseCommandLine({"--help", "--version"})), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), helpText());
    // An error wins over help: the usage goes to standard error and the code is 2.
    testing::internal::CaptureStderr();
    EXPECT_EQ(finishEarly(parseCommandLine({"--help", "--bogus"})), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "quorbit: unknown option --bogus\n" + usageText());
}

}  // namespace
}  // namespace quorbit::shell

namespace quorbit::shell {
namespace {

TEST(CommandLine, RecordsAndReplays) {
    const CommandLine rec = parseCommandLine({"--server", "--record", "/srv/games", "--port", "9000"});
    EXPECT_TRUE(rec.error.empty()) << rec.error;
    EXPECT_EQ(rec.recordDir, "/srv/games");
    EXPECT_EQ(parseCommandLine({"--server", "--record=g"}).recordDir, "g");

    const CommandLine sum = parseCommandLine({"--replay", "a game.qrec", "--summary"});
    EXPECT_TRUE(sum.error.empty()) << sum.error;
    EXPECT_EQ(sum.replayFile, "a game.qrec");
    EXPECT_TRUE(sum.summary);
    EXPECT_TRUE(sum.positional.empty());

    // A window keeps its games by itself; a summary needs a file; options need values.
    EXPECT_FALSE(parseCommandLine({"--record", "g"}).error.empty());
    EXPECT_EQ(parseCommandLine({"--summary"}).error, "--summary needs --replay FILE");
    EXPECT_EQ(parseCommandLine({"--replay"}).error, "--replay needs a file");
    EXPECT_EQ(parseCommandLine({"--server", "--record="}).error, "--record needs a folder, not \"\"");
    EXPECT_EQ(parseCommandLine({"--", "--summary"}).positional, std::vector<std::string>{"--summary"});
    EXPECT_NE(helpText().find("--replay <FILE>"), std::string::npos);
}

TEST(CommandLine, TheServersCertificateGoesWithItsKeyAndOnlyWithTheServer) {
    const CommandLine tls = parseCommandLine({"--server", "--tls-cert", "c.pem", "--tls-key=k.pem"});
    EXPECT_TRUE(tls.error.empty()) << tls.error;
    EXPECT_EQ(tls.tlsCert, "c.pem");
    EXPECT_EQ(tls.tlsKey, "k.pem");
    EXPECT_TRUE(parseCommandLine({"--server", "--no-tls"}).noTls);
    EXPECT_EQ(parseCommandLine({"--server", "--tls-cert", "c.pem"}).error, "--tls-cert and --tls-key go together");
    EXPECT_EQ(parseCommandLine({"--server", "--no-tls", "--tls-cert=c", "--tls-key=k"}).error,
              "--no-tls goes without --tls-cert and --tls-key");
    EXPECT_FALSE(parseCommandLine({"--no-tls"}).error.empty());
}

// The program restarts itself with the name and address as option values: whatever they
// say, they stay a name and an address, and Qt never sees them.
TEST(CommandLine, RestartArgumentsKeepNameAndAddressInert) {
    for (const std::string name : {"--server", "-platform", "-h", "--replay=/etc/hostname", "-style=windows", "--"}) {
        const CommandLine join = parseCommandLine(restartArguments(name, "-reverse", 7000, true));
        EXPECT_TRUE(join.error.empty()) << join.error;
        EXPECT_FALSE(join.server || join.help || join.summary || !join.replayFile.empty()) << name;
        EXPECT_EQ(launchParameters(join), (std::vector<std::string>{name, "-reverse", "false"}));
        EXPECT_EQ(join.port, 7000);
        EXPECT_TRUE(toolkitArguments(join).empty()) << name;
    }
    const CommandLine host = parseCommandLine(restartArguments("-h", "", 9000, false));
    EXPECT_EQ(launchParameters(host), (std::vector<std::string>{"-h", "127.0.0.1", "true"}));
    EXPECT_FALSE(host.announce);
    // The launch parameters as given still work; --player goes with one of the two others.
    EXPECT_EQ(launchParameters(parseCommandLine({"Ann", "h", "true"})), (std::vector<std::string>{"Ann", "h", "true"}));
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--player=Ann"}, {"--hosting"}, {"--address=h"}, {"--player=Ann", "--address=h", "--hosting"},
             {"--player="}})
        EXPECT_FALSE(parseCommandLine(bad).error.empty()) << bad.front();
}

TEST(CommandLine, QtSeesOnlyTheWordsBeforeDashesThatAreNoOptionsOfOurs) {
    const CommandLine line = parseCommandLine(
        {"-platform", "offscreen", "--player", "-reverse", "--address=-style", "--port", "9", "--", "-qwindowtitle", "x"});
    EXPECT_TRUE(line.error.empty()) << line.error;
    EXPECT_EQ(toolkitArguments(line), (std::vector<std::string>{"-platform", "offscreen"}));
    // Qt took both of its words: the launch parameters are those after "--".
    const CommandLine left = afterToolkit(line, {});
    EXPECT_EQ(left.positional, (std::vector<std::string>{"-qwindowtitle", "x"}));
    EXPECT_EQ(left.player, "-reverse");
    EXPECT_EQ(afterToolkit(parseCommandLine({"Ann", "h", "-x", "true"}), {"Ann", "h", "true"}).positional,
              (std::vector<std::string>{"Ann", "h", "true"}));
}

}  // namespace
}  // namespace quorbit::shell

namespace quorbit::shell {
namespace {

// The address players reach a server at: HOST[:PORT] with the server alone, an IPv6 host
// in brackets when written with a port, nothing that cannot travel as one field.
TEST(CommandLine, PublicAddressIsAHostAndMaybeAPortForTheServer) {
    CommandLine l = parseCommandLine({"--server", "--public-address", "play.example:7000"});
    EXPECT_TRUE(l.error.empty()) << l.error;
    EXPECT_EQ(l.publicHost, "play.example");
    EXPECT_EQ(l.publicPort, 7000);
    l = parseCommandLine({"--server", "--public-address=[2001:db8::5]:7001"});
    EXPECT_EQ(serverhost::publicAddress(l.publicHost, l.publicPort), "[2001:db8::5]:7001");
    l = parseCommandLine({"--server", "--public-address", "play.example"});
    EXPECT_EQ(l.publicPort, 0);  // the port served
    EXPECT_EQ(serverhost::publicAddress("2001:db8::5", 7772), "[2001:db8::5]:7772");
    for (const char* bad : {"a+b:1", "a b", "host:99999", "[::1", ":7000"})
        EXPECT_FALSE(parseCommandLine({"--server", "--public-address", bad}).error.empty()) << bad;
    EXPECT_FALSE(parseCommandLine({"--public-address", "h:1"}).error.empty());  // without --server
}

}  // namespace
}  // namespace quorbit::shell
