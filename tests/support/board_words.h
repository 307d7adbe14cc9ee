#pragma once
// Finds a word on a 7 x 7 board of letter codes the way a player builds one: a chain of
// touching squares (diagonals included), no square twice, at most seven letters. Used by
// the window tests and the screenshot tool to play real turns.
#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dictionary/builtin_words.h"

namespace quorbit::testsupport {

using BoardLetters = std::array<std::array<int, 7>, 7>;  // [x][y], 1..26 or 0
using Chain = std::vector<std::pair<int, int>>;           // squares (x, y) in order

class BoardWords {
public:
    BoardWords() {
        for (std::string w : dictionary::wordLines(dictionary::builtinComputerWords())) {
            if (w.size() < 3 || w.size() > 7) continue;
            for (char& c : w) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
            for (std::size_t n = 1; n <= w.size(); ++n) prefixes_.insert(w.substr(0, n));
            words_.insert(std::move(w));
        }
    }

    // The longest word found (up to `maxLength` letters), with its chain.
    std::optional<std::pair<std::string, Chain>> find(const BoardLetters& b, std::size_t maxLength = 7) const {
        std::optional<std::pair<std::string, Chain>> best;
        Chain chain;
        std::string word;
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) walk(b, x, y, chain, word, best, maxLength);
        return best;
    }

private:
    void walk(const BoardLetters& b, int x, int y, Chain& chain, std::string& word,
              std::optional<std::pair<std::string, Chain>>& best, std::size_t maxLength) const {
        const int code = b[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
        if (code < 1 || code > 26 || chain.size() >= maxLength) return;
        for (const auto& s : chain)
            if (s.first == x && s.second == y) return;
        word.push_back(static_cast<char>('A' + code - 1));
        chain.emplace_back(x, y);
        if (prefixes_.count(word)) {
            if (words_.count(word) && (!best || word.size() > best->first.size())) best = {{word, chain}};
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy) {
                    const int nx = x + dx, ny = y + dy;
                    if ((dx || dy) && nx >= 0 && nx < 7 && ny >= 0 && ny < 7) walk(b, nx, ny, chain, word, best, maxLength);
                }
        }
        chain.pop_back();
        word.pop_back();
    }

    std::set<std::string> words_;
    std::set<std::string> prefixes_;
};

}  // namespace quorbit::testsupport
