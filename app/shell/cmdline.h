#pragma once
// The program's command line: the three launch parameters of the lobby contract
// (player name, host address, "true" to host) and the options beside them.
//
// Options follow the usual conventions: "--name", "--name VALUE" or "--name=VALUE";
// a few have a one-letter form ("-h"). "--" ends the options: everything after it is a
// launch parameter. Any other word that starts with "--" is an error, as is a bad or
// missing value; other words that start with a single dash are launch parameters (Qt's
// own options such as "-platform" pass through this way).
//
// The player's name and the host's address can also come as option values ("--player=NAME
// --address=HOST", or "--player=NAME --hosting"): the program restarts itself that way, so
// that no name or address is ever read as an option, ours or Qt's. Qt sees only the words
// before "--" that are no option of ours (toolkitArguments below).
//
// Adding an option: a member of CommandLine below and one entry in the option table of
// cmdline.cpp; the parser, "--help" and the error texts all read that table.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "language/language.h"
#include "rules/zubolevel.h"

namespace quorbit::language {
class LoadedLanguage;
}

namespace quorbit::shell {

struct CommandLine {
    bool help = false;     // --help: print the usage and options, then exit
    bool version = false;  // --version: print the program's name and version, then exit
    bool server = false;   // --server: the game server alone, without a window
    bool tileSets = false;  // --tile-sets: list the tile sets of the Tiles menu, then exit
    int port = 7772;       // --port N
    bool portGiven = false;
    rules::ZuboLevel zubo = rules::ZuboLevel::Classic;
    // --language CODE (ISO 639-1): the language the hosted or served game is played in;
    // only the codes built are taken.
    const language::Language* language = &language::english();
    bool languageGiven = false;
    // The chosen language loaded, for the server to play: set by loadChosenLanguage() once
    // the program's folders are known (with --server always; in a window when --language
    // is given, else the game-start dialog's choice applies). Null until then.
    std::shared_ptr<const language::LoadedLanguage> loadedLanguage;
    std::string recordDir;   // --record DIR: (with --server) keep every game in DIR
    // --database FILE or postgresql://...: (with --server) where accounts, ratings and
    // finished games are kept; empty: a SQLite file in the server's state folder.
    std::string database;
    // --tls-cert FILE --tls-key FILE: (with --server) the certificate and key in PEM;
    // neither: a self-signed one kept in the server's state folder. --no-tls: plain only.
    std::string tlsCert;
    std::string tlsKey;
    bool noTls = false;
    // --public-address HOST[:PORT]: (with --server) the address players reach this server
    // at, written to the table directory beside its tables; empty: the machine's host name.
    // Port 0: the port served.
    std::string publicHost;
    int publicPort = 0;
    std::string replayFile;  // --replay FILE: replay a kept game
    bool summary = false;    // --summary: (with --replay) print the game as text, no window
    bool announce = true;  // --no-announce clears it
    std::string name;      // --name TEXT: what a hosted game is announced as; empty: after the host
    std::string player;    // --player NAME: the launch parameters as options (with address or hosting)
    std::string address;   // --address HOST: join the game at HOST as `player`
    bool hosting = false;  // --hosting: host a game as `player`
    std::string table;     // --table NAME: the table to sit at on the table server joined
    bool watch = false;    // --watch: watch that table (seats 5 to 9) rather than play
    std::string invite;    // --invite CODE: sit at the private table of that invite code
    // The table server's admission limits (with --server), and --tables HOST[:PORT].
    std::size_t maxPerAddress = 16;    // --max-per-address N
    std::size_t maxTables = 1000;      // --max-tables N
    std::size_t maxConnections = 10000;  // --max-connections N
    std::string listTables;            // --tables HOST[:PORT]: print that server's tables, then exit
    std::vector<std::string> positional;  // launch parameters, in order
    std::size_t positionalBeforeEnd = 0;  // how many of them came before "--"
    std::string error;                    // empty when the line is good
};

// One option. `store` gets the value of an option that takes one (`valueName` not empty)
// and returns false when the value is bad; a switch gets an empty value.
struct Option {
    std::string_view shortName;    // "h", or empty
    std::string_view longName;     // "port"
    std::string_view valueName;    // "N"; empty for a switch
    std::string_view valueNeeds;   // what a good value is, for the error text
    std::string_view description;  // one line for --help
    bool (*store)(CommandLine& line, std::string_view value);
};

// Every option the program knows, in the order --help lists them.
const std::vector<Option>& options();

// `args` are the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);
CommandLine parseCommandLine(int argc, char** argv);

// The three launch parameters in effect: from --player with --address or --hosting when
// given (the positional ones are then ignored), else the positional ones as given.
std::vector<std::string> launchParameters(const CommandLine& line);

// The arguments that start the program again in join mode toward `host` (or, with an
// empty `host`, hosting) under the player name `player`, at `table` when one is named:
// every value is joined to its option, so that no name, address or table can be read as
// an option, ours or Qt's.
std::vector<std::string> restartArguments(const std::string& player, const std::string& host, int port,
                                          bool announce, const std::string& table = {});

// The words Qt may take as its own options ("-platform xcb", "-style fusion"): the ones
// before "--" that are no option of ours or value of one. Our options and their values,
// and everything after "--", never reach Qt.
std::vector<std::string> toolkitArguments(const CommandLine& line);
// `line` once Qt has taken its options out of toolkitArguments(line): `left` is what Qt
// left of them, in order.
CommandLine afterToolkit(CommandLine line, const std::vector<std::string>& left);

// A name or address typed by the user that begins with "-" could be read as an option
// where it is passed as a launch parameter; the windows that take them refuse it with
// this message.
inline bool looksLikeOption(std::string_view typed) { return !typed.empty() && typed.front() == '-'; }
inline constexpr std::string_view kDashNameRefused = "A name cannot begin with \"-\".";

// The texts the program prints.
std::string versionText();  // "quorbit 1.2.3"
std::string usageText();    // the usage lines
std::string helpText();     // usage, description, options and launch parameters

// Loads `line.language` into `line.loadedLanguage` (a QCoreApplication must exist, for
// the program's folder). -1 when it loaded; otherwise prints why to standard error and
// returns the exit code 1 (the language is built but its files are missing or damaged).
int loadChosenLanguage(CommandLine& line);

// Handles the parts of a line that end the program before it starts anything: prints the
// help or version to standard output (exit code 0), or the error and the usage to
// standard error (exit code 2). Returns -1 when the program should go on.
int finishEarly(const CommandLine& line);

// A port number as typed: decimal digits only, 1 to 65535.
bool readPort(std::string_view text, int& port);

}  // namespace quorbit::shell
