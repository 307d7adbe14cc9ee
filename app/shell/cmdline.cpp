#include "shell/cmdline.h"

#include <string_view>

namespace quorbit::shell {
namespace {

constexpr std::string_view kServer = "--server";
constexpr std::string_view kPort = "--port";

// Decimal digits only, 1 to 65535.
bool readPort(std::string_view text, int& port) {
    if (text.empty() || text.size() > 5) return false;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) return false;
    port = value;
    return true;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            line.positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
        } else if (a == kServer) {
            line.server = true;
        } else if (a == kPort || a.compare(0, kPort.size() + 1, "--port=") == 0) {
            const bool joined = a.size() > kPort.size();
            if (!joined && i + 1 >= args.size()) {
                line.error = "--port needs a port number from 1 to 65535";
                return line;
            }
            const std::string value = joined ? a.substr(kPort.size() + 1) : args[++i];
            if (!readPort(value, line.port)) {
                line.error = "--port needs a port number from 1 to 65535, not \"" + value + "\"";
                return line;
            }
            line.portGiven = true;
        } else {
            line.error = "unknown option " + a;
            return line;
        }
    }
    return line;
}

bool wantsServer(int argc, char** argv) {
    for (int i = 1; i < argc && argv[i]; ++i) {
        const std::string_view a = argv[i];
        if (a == "--") return false;
        if (a == kServer) return true;
    }
    return false;
}

}  // namespace quorbit::shell
