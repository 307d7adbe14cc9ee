// Builds one language's lists from Debian word lists, at build time:
//   OUT/CODE.txt           the kept words, lower-case a..z, 2 to 7 letters, sorted, one a line
//   OUT/CODE.computer.txt  the computer player's common words among them
//   OUT/CODE.inc           the language's entry for engine/language/language.cpp: its code,
//                          name, files, deal weights and letter values
// A list entry is kept when, folded to a..z by the language's table, it has 2 to 7 letters
// and nothing else; entries that begin with a capital (proper nouns) are dropped except in
// German, which capitalises every noun; entries with a capital further on (abbreviations)
// are dropped in every language.
//
// Deal weights: each letter's share of all the letters of the kept words, on the 98 draws
// of the deal, rounded by largest remainder; a letter too rare for one draw is not dealt.
// Letter values: the letters ranked by that share, most frequent first, take English's
// values in ascending order (eleven 1s, seven 3s, four 5s, one 7, three 10s), so each
// language scores on English's scale and its rarest letters are worth the most.
// Common words: the lists carry no frequencies, so a word counts as common when many
// entries of the whole list begin with it (its inflections and derivations: a stem with
// many forms is a basic word); the best ranked, up to an eighth of the kept words and at
// most 8,000, as English's list has about a ninth.
//
// usage: quorbit_mklanguage CODE NAME utf8|latin1 OUTDIR LIST...
#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "language/folding.h"

using namespace quorbit;

namespace {

constexpr int kDraws = 98;
// English's letter values, ascending: the scale that every language's values follow.
constexpr std::array<int, 26> kScale = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3, 3, 3, 3, 3, 3, 3, 5, 5, 5, 5, 7, 10, 10, 10};

std::string joined(const std::array<int, 26>& v) {
    std::string s;
    for (std::size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + std::to_string(v[i]);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::cerr << "usage: quorbit_mklanguage CODE NAME utf8|latin1 OUTDIR LIST...\n";
        return 2;
    }
    const std::string code = argv[1];
    const std::string name = argv[2];
    const std::string enc = argv[3];
    const std::string out = argv[4];
    if (enc != "utf8" && enc != "latin1") {
        std::cerr << "unknown encoding " << enc << "\n";
        return 2;
    }
    const auto encoding = enc == "utf8" ? language::Encoding::Utf8 : language::Encoding::Latin1;
    const bool nounsCapitalised = code == "de";

    std::set<std::string> kept;
    std::vector<std::string> every;  // every folded entry of any length, for the stems
    std::size_t entries = 0, unreadable = 0;
    for (int a = 5; a < argc; ++a) {
        std::ifstream in(argv[a], std::ios::binary);
        if (!in) {
            std::cerr << "cannot read " << argv[a] << "\n";
            return 1;
        }
        std::string line;
        while (std::getline(in, line)) {
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
            if (line.empty()) continue;
            ++entries;
            const auto f = language::fold(code, line, encoding);
            if (!f) {
                ++unreadable;
                continue;
            }
            if (f->capitalInside || (f->capitalised && !nounsCapitalised)) continue;
            every.push_back(f->word);
            if (f->word.size() >= 2 && f->word.size() <= 7) kept.insert(f->word);
        }
    }
    if (kept.empty()) {
        std::cerr << "no words of 2 to 7 letters in the lists of " << name << "\n";
        return 1;
    }

    // Letter shares and the deal.
    std::array<double, 26> count{};
    double letters = 0;
    for (const auto& w : kept)
        for (char c : w) count[static_cast<std::size_t>(c - 'a')] += 1, letters += 1;
    std::array<int, 26> deal{};
    std::array<double, 26> rest{};
    int dealt = 0;
    for (std::size_t l = 0; l < 26; ++l) {
        const double exact = kDraws * count[l] / letters;
        deal[l] = static_cast<int>(std::floor(exact));
        rest[l] = exact - deal[l];
        dealt += deal[l];
    }
    while (dealt < kDraws) {
        std::size_t top = 0;
        for (std::size_t l = 1; l < 26; ++l)
            if (rest[l] > rest[top]) top = l;
        ++deal[top];
        rest[top] = -1;
        ++dealt;
    }
    // Values by rank of share; ties go to the alphabetically first letter.
    std::array<int, 26> rank{};
    for (std::size_t l = 0; l < 26; ++l) rank[l] = static_cast<int>(l);
    std::stable_sort(rank.begin(), rank.end(), [&](int a, int b) { return count[static_cast<std::size_t>(a)] > count[static_cast<std::size_t>(b)]; });
    std::array<int, 26> values{};
    for (std::size_t r = 0; r < 26; ++r) values[static_cast<std::size_t>(rank[r])] = kScale[r];

    // Common words: kept words ranked by the number of entries that extend them.
    std::sort(every.begin(), every.end());
    every.erase(std::unique(every.begin(), every.end()), every.end());
    std::vector<std::pair<long, std::string>> stems;
    for (const auto& w : kept) {
        const auto from = std::upper_bound(every.begin(), every.end(), w);
        auto to = from;
        while (to != every.end() && to->compare(0, w.size(), w) == 0) ++to;
        stems.emplace_back(-static_cast<long>(to - from), w);
    }
    std::sort(stems.begin(), stems.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        if (a.second.size() != b.second.size()) return a.second.size() < b.second.size();
        return a.second < b.second;
    });
    const std::size_t commonCount = std::min<std::size_t>(8000, kept.size() / 8);
    std::set<std::string> common;
    for (std::size_t i = 0; i < commonCount && i < stems.size() && stems[i].first < 0; ++i) common.insert(stems[i].second);

    std::ofstream words(out + "/" + code + ".txt", std::ios::trunc);
    for (const auto& w : kept) words << w << '\n';
    std::ofstream computer(out + "/" + code + ".computer.txt", std::ios::trunc);
    for (const auto& w : common) computer << w << '\n';
    std::ofstream entry(out + "/" + code + ".inc", std::ios::trunc);
    entry << "{\"" << code << "\", \"" << name << "\", \"" << code << ".words\", \"" << code << ".graph\",\n  {"
          << joined(deal) << "},\n  {" << joined(values) << "}},\n";
    if (!words || !computer || !entry) {
        std::cerr << "cannot write into " << out << "\n";
        return 1;
    }
    std::cout << name << ": " << kept.size() << " words of " << entries << " entries (" << unreadable
              << " not written with letters), " << common.size() << " common\n";
    return 0;
}
