#include "dictionary/builtin_words.h"

#include <cstdint>

// The lists are linked in as read-only data straight from the files the build made.
__asm__(".section .rodata\n"
        ".balign 16\n"
        "quorbit_wordfile_begin:\n"
        ".incbin \"" QUORBIT_WORDFILE "\"\n"
        "quorbit_wordfile_end:\n"
        ".balign 16\n"
        "quorbit_computerwords_begin:\n"
        ".incbin \"" QUORBIT_COMPUTERWORDS "\"\n"
        "quorbit_computerwords_end:\n"
        ".balign 16\n"
        "quorbit_wordgraph_begin:\n"
        ".incbin \"" QUORBIT_WORDGRAPH "\"\n"
        "quorbit_wordgraph_end:\n"
        ".previous\n");

extern "C" const char quorbit_wordfile_begin[];
extern "C" const char quorbit_wordfile_end[];
extern "C" const char quorbit_computerwords_begin[];
extern "C" const char quorbit_computerwords_end[];
extern "C" const std::uint64_t quorbit_wordgraph_begin[];
extern "C" const std::uint64_t quorbit_wordgraph_end[];

namespace quorbit::dictionary {

std::string_view builtinWordFile() {
    return {quorbit_wordfile_begin, static_cast<std::size_t>(quorbit_wordfile_end - quorbit_wordfile_begin)};
}

std::string_view builtinComputerWords() {
    return {quorbit_computerwords_begin,
            static_cast<std::size_t>(quorbit_computerwords_end - quorbit_computerwords_begin)};
}

std::vector<std::string> wordLines(std::string_view list) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find('\n', start);
        if (end == std::string_view::npos) end = list.size();
        std::string_view word = list.substr(start, end - start);
        if (!word.empty() && word.back() == '\r') word.remove_suffix(1);
        if (!word.empty()) words.emplace_back(word);
        start = end + 1;
    }
    return words;
}

std::span<const std::uint64_t> builtinWordGraph() {
    return {quorbit_wordgraph_begin, static_cast<std::size_t>(quorbit_wordgraph_end - quorbit_wordgraph_begin)};
}

}  // namespace quorbit::dictionary
