// quorbit-lzrw1: the file compressor from the command line.
//   quorbit-lzrw1 compress IN [OUT] [--mode fast|good|auto]   (OUT defaults to IN.lzr)
//   quorbit-lzrw1 decompress IN [OUT]                          (OUT defaults to IN less .lzr, or IN.out)
//   quorbit-lzrw1 advise IN [--threshold PERCENT]
// A default OUT never replaces an existing file. Prints the final caption on success;
// prints the compressor's message and exits with 1 on failure, and with 2 on a wrong
// command line.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/numbers.h"
#include "tally/lzrw1.h"

using quorbit::tally::TCompressMode;
using quorbit::tally::Tlzrw1;

namespace {

constexpr const char* kUsage =
    "usage: quorbit-lzrw1 compress|decompress|advise IN [OUT] [--mode fast|good|auto] [--threshold PERCENT]\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

std::optional<TCompressMode> modeOf(std::string_view text) {
    if (text == "fast") return TCompressMode::Fast;
    if (text == "good") return TCompressMode::Good;
    if (text == "auto") return TCompressMode::Auto;
    return std::nullopt;
}

std::string defaultOutput(std::string_view command, const std::string& in) {
    if (command == "compress") return in + ".lzr";
    const std::string_view suffix = ".lzr";
    if (in.size() > suffix.size() && in.ends_with(suffix)) return in.substr(0, in.size() - suffix.size());
    return in + ".out";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> positional;
    Tlzrw1 lzrw1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--mode" || arg == "--threshold") {
            if (i + 1 >= argc) return usage();
            const std::string_view value = argv[++i];
            if (arg == "--mode") {
                const auto mode = modeOf(value);
                if (!mode) return usage();
                lzrw1.CompressMode = *mode;
            } else {
                const auto threshold = quorbit::toInt(value);
                if (!threshold) return usage();
                lzrw1.Threshold = *threshold;
            }
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg.starts_with("--")) {
            return usage();
        } else {
            positional.emplace_back(arg);
        }
    }
    if (positional.size() < 2 || positional.size() > 3) return usage();
    const std::string& command = positional[0];
    if (command != "compress" && command != "decompress" && command != "advise") return usage();
    if (command == "advise" && positional.size() != 2) return usage();

    lzrw1.InputFile = positional[1];
    lzrw1.OutputFile = positional.size() == 3 ? positional[2] : defaultOutput(command, positional[1]);
    // A file is replaced only when it was named: a default name never overwrites one.
    std::error_code ec;
    if (command != "advise" && positional.size() == 2 && std::filesystem::exists(lzrw1.OutputFile, ec)) {
        std::fprintf(stderr, "quorbit-lzrw1: %s exists; name it as OUT to replace it\n", lzrw1.OutputFile.c_str());
        return 1;
    }
    try {
        if (command == "compress") {
            lzrw1.Compress();
        } else if (command == "decompress") {
            lzrw1.Decompress();
        } else {
            const TCompressMode mode = lzrw1.Advise();
            std::printf("%s\n", mode == TCompressMode::Fast ? "fast" : "good");
        }
        std::printf("%s\n", lzrw1.Caption().c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
