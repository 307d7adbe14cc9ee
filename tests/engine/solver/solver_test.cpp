// The solver against a slow, plain search on many random boards, its order of answers,
// and the word graph it walks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/random.h"
#include "dictionary/wordgraph.h"
#include "language/language.h"
#include "rules/board.h"
#include "rules/deal.h"
#include "solver/solver.h"

using namespace quorbit;
using BoardCodes = rules::Grid;
using rules::Square;
using solver::Found;
using solver::Solver;
using solver::Vocabulary;

namespace {

constexpr int kEmpty = rules::kServerEmpty;

std::vector<std::string> readWordFile(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::string> out;
    std::string w;
    while (std::getline(in, w))
        if (w.size() >= 2 && w.size() <= 7) {
            for (char& c : w) c = static_cast<char>(c - 'a' + 'A');
            out.push_back(w);
        }
    return out;
}

BoardCodes emptyBoard() {
    BoardCodes b;
    for (auto& col : b) col.fill(kEmpty);
    return b;
}

std::vector<std::string> readWords(const std::string& name) {
    return readWordFile(std::filesystem::path(QUORBIT_SOURCE_DIR) / "data" / name);
}

BoardCodes randomBoard(Random& random, const language::Language& lang = language::english()) {
    BoardCodes b;
    for (auto& col : b)
        for (int& c : col) c = random.below(10) == 0 ? kEmpty : lang.draw(random.below(98) + 1);
    return b;
}

void put(BoardCodes& b, int x, int y, char letter) { b[x][y] = letter - 'A' + 1; }

// An independent reckoning of a path's points: letters with their square bonuses, then
// every double word, then every triple word, then 20 for seven letters.
int reckon(const BoardCodes& b, const std::vector<Square>& path, const rules::LetterValues* values = nullptr) {
    static const std::map<std::pair<int, int>, std::string> kinds = {
        {{3, 3}, "bonus"}, {{0, 0}, "dl"}, {{0, 6}, "dl"}, {{6, 0}, "dl"}, {{6, 6}, "dl"},
        {{2, 2}, "tl"}, {{2, 4}, "tl"}, {{4, 2}, "tl"}, {{4, 4}, "tl"},
        {{1, 1}, "dw"}, {{1, 5}, "dw"}, {{5, 1}, "dw"}, {{5, 5}, "dw"},
        {{0, 3}, "tw"}, {{3, 0}, "tw"}, {{3, 6}, "tw"}, {{6, 3}, "tw"}};
    static const int worth[26] = {1, 3, 3, 1, 1, 5, 3, 3, 1, 5, 5, 1, 3, 1, 1, 3, 10, 1, 1, 1, 1, 7, 5, 10, 3, 10};
    int sum = 0, factor = 1;
    for (const Square& s : path) {
        const int v = values ? (*values)[b[s.x][s.y] - 1] : worth[b[s.x][s.y] - 1];
        const auto k = kinds.find({s.x, s.y});
        const std::string kind = k == kinds.end() ? "" : k->second;
        sum += v + (kind == "bonus" ? 20 : kind == "dl" ? v : kind == "tl" ? 2 * v : 0);
        if (kind == "dw") factor *= 2;
        if (kind == "tw") factor *= 3;
    }
    return sum * factor + (path.size() == 7 ? 20 : 0);
}

// Every path of the word from every square, by plain backtracking; the best score, or -1.
int bestByHand(const BoardCodes& b, const std::string& w, const rules::LetterValues* values) {
    int best = -1;
    std::vector<Square> path;
    auto go = [&](auto& self, int x, int y) -> void {
        if (x < 0 || x > 6 || y < 0 || y > 6) return;
        if (b[x][y] != w[path.size()] - 'A' + 1) return;
        for (const Square& s : path)
            if (s.x == x && s.y == y) return;
        path.push_back({x, y});
        if (path.size() == w.size())
            best = std::max(best, reckon(b, path, values));
        else
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    if (dx || dy) self(self, x + dx, y + dy);
        path.pop_back();
    };
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) go(go, x, y);
    return best;
}

std::map<std::string, int> byHand(const BoardCodes& b, const std::vector<std::string>& words,
                                  const rules::LetterValues* values) {
    std::uint32_t present = 0;
    for (const auto& col : b)
        for (int c : col)
            if (c >= 1 && c <= 26) present |= 1u << (c - 1);
    std::map<std::string, int> out;
    for (const auto& w : words) {
        std::uint32_t need = 0;
        for (char c : w) need |= 1u << (c - 'A');
        if ((need & ~present) != 0) continue;
        const int s = bestByHand(b, w, values);
        if (s >= 0) out[w] = s;
    }
    return out;
}

// The answer checks itself: its squares touch, repeat none, spell the word, and score it.
void expectSound(const BoardCodes& b, const Found& f, const rules::LetterValues* values) {
    std::vector<Square> path(f.squares.begin(), f.squares.begin() + f.length);
    std::string spelled;
    for (std::size_t i = 0; i < path.size(); ++i) {
        spelled += static_cast<char>('A' + b[path[i].x][path[i].y] - 1);
        for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(path[i].x == path[j].x && path[i].y == path[j].y);
        if (i > 0) {
            EXPECT_LE(std::abs(path[i].x - path[i - 1].x), 1);
            EXPECT_LE(std::abs(path[i].y - path[i - 1].y), 1);
        }
    }
    EXPECT_EQ(spelled, f.word());
    EXPECT_EQ(reckon(b, path, values), f.score) << f.word();
}

// Another language's graph and values against the plain search on its own deals; English
// by default.
void compareOnRandomBoards(Vocabulary vocabulary, const std::vector<std::string>& words, int boards, int seed,
                           const dictionary::WordGraph& graph = dictionary::WordGraph::builtin(),
                           const language::Language& lang = language::english()) {
    ASSERT_FALSE(words.empty());
    SeededRandom random(static_cast<std::uint64_t>(seed));
    Solver solver(graph, lang.values);
    const rules::LetterValues* values = lang.builtIn() ? nullptr : &lang.values;
    for (int n = 0; n < boards; ++n) {
        const BoardCodes b = randomBoard(random, lang);
        const std::vector<Found> all = solver.all(b, vocabulary);
        std::map<std::string, int> got;
        for (const Found& f : all) {
            EXPECT_TRUE(got.emplace(std::string(f.word()), f.score).second) << "twice: " << f.word();
            expectSound(b, f, values);
        }
        ASSERT_EQ(got, byHand(b, words, values)) << "board " << n;
        for (std::size_t i = 1; i < all.size(); ++i) EXPECT_TRUE(solver::better(all[i - 1], all[i]));
        const auto best = solver.best(b, vocabulary);
        ASSERT_EQ(best.has_value(), !all.empty());
        if (best) {
            EXPECT_EQ(best->word(), all.front().word());
            EXPECT_EQ(best->score, all.front().score);
            EXPECT_EQ(best->path().front().x, all.front().path().front().x);
        }
    }
}

}  // namespace

TEST(Solver, FindsTheSameWordsAndScoresAsAPlainSearchOnRandomBoards) {
    compareOnRandomBoards(Vocabulary::Dictionary, readWords("words.txt"), 100, 14);
}

TEST(Solver, ComputerVocabularyIsTheCommonWordsThatTheDictionaryAccepts) {
    std::set<std::string> dictionary;
    for (auto& w : readWords("words.txt")) dictionary.insert(w);
    std::vector<std::string> common;
    for (auto& w : readWords("computerwords.txt"))
        if (dictionary.count(w)) common.push_back(w);
    compareOnRandomBoards(Vocabulary::Computer, common, 60, 41);
}

TEST(Solver, FindsTheSameFrenchWordsAndScoresAsAPlainSearch) {
    const language::Language* french = language::find("fr");
    if (!french) GTEST_SKIP() << "French was not built (no wfrench on the build machine)";
    const auto records = language::readGraph(std::filesystem::path(QUORBIT_LANGUAGE_DIR) / french->graphFile);
    ASSERT_TRUE(records);
    const dictionary::WordGraph graph(*records);
    compareOnRandomBoards(Vocabulary::Dictionary, readWordFile(std::filesystem::path(QUORBIT_LANGUAGE_DIR) / "fr.txt"), 40, 29,
                          graph, *french);
}

// Letter values so far apart that the scores of one board spread wider than the answers
// can be sorted by counting: the same words, best paths and order as a plain search.
TEST(Solver, ScoresSpreadFarApartKeepTheSameWordsPathsAndOrder) {
    rules::LetterValues values = rules::kEnglishValues;
    values['E' - 'A'] = 4000;
    const std::vector<std::string> words = readWords("words.txt");
    Solver solver(dictionary::WordGraph::builtin(), values);
    SeededRandom random(77);
    for (int n = 0; n < 6; ++n) {
        const BoardCodes b = randomBoard(random);
        const std::vector<Found> all = solver.all(b, Vocabulary::Dictionary);
        std::map<std::string, int> got;
        for (const Found& f : all) {
            EXPECT_TRUE(got.emplace(std::string(f.word()), f.score).second) << "twice: " << f.word();
            expectSound(b, f, &values);
        }
        ASSERT_EQ(got, byHand(b, words, &values)) << "board " << n;
        for (std::size_t i = 1; i < all.size(); ++i) EXPECT_TRUE(solver::better(all[i - 1], all[i]));
        const auto best = solver.best(b, Vocabulary::Dictionary);
        ASSERT_TRUE(best.has_value());
        EXPECT_EQ(best->word(), all.front().word());
        EXPECT_EQ(best->path().front().x, all.front().path().front().x);
    }
}

// French deals rich in words at every depth (one of these thousand once overran the
// solver's buffer of found paths): each answer agrees with itself and its best.
TEST(Solver, ThousandFrenchDealsStayWithinTheFoundPathsBuffer) {
    const language::Language* french = language::find("fr");
    if (!french) GTEST_SKIP() << "French was not built (no wfrench on the build machine)";
    const auto records = language::readGraph(std::filesystem::path(QUORBIT_LANGUAGE_DIR) / french->graphFile);
    ASSERT_TRUE(records);
    const dictionary::WordGraph graph(*records);
    Solver solver(graph, french->values);
    SeededRandom random(29);
    for (int n = 0; n < 1000; ++n) {
        BoardCodes b{};
        for (auto& column : b)
            for (int& code : column) code = french->draw(random.below(language::kDraws) + 1);
        const auto all = solver.all(b, Vocabulary::Dictionary);
        std::set<std::string> words;
        for (const Found& f : all) ASSERT_TRUE(words.insert(std::string(f.word())).second) << "board " << n;
        const auto best = solver.best(b, Vocabulary::Dictionary);
        ASSERT_EQ(best.has_value(), !all.empty()) << "board " << n;
        if (best) {
            EXPECT_EQ(best->score, all.front().score) << "board " << n;
        }
    }
}

TEST(Solver, ScoresLetterAndWordBonusesLikeThePlayedWord) {
    BoardCodes b = emptyBoard();
    // S on a triple word, T, O, R on a double word, M on a double letter.
    put(b, 0, 3, 'S');
    put(b, 0, 4, 'T');
    put(b, 0, 5, 'O');
    put(b, 1, 5, 'R');
    put(b, 0, 6, 'M');
    Solver solver;
    const auto all = solver.all(b, Vocabulary::Dictionary);
    const auto storm = std::find_if(all.begin(), all.end(), [](const Found& f) { return f.word() == "STORM"; });
    ASSERT_NE(storm, all.end());
    EXPECT_EQ(storm->score, 60);
    const auto path = storm->path();
    ASSERT_EQ(path.size(), 5u);
    EXPECT_EQ(path[3].position, 4);
    EXPECT_EQ(path[3].x, 1);
    EXPECT_EQ(path[3].y, 5);
    // MORTS runs the same squares backwards for the same 60 and comes first alphabetically.
    const auto best = solver.best(b, Vocabulary::Dictionary);
    ASSERT_TRUE(best);
    EXPECT_EQ(best->word(), "MORTS");
    EXPECT_EQ(best->score, 60);
}

TEST(Solver, BoardsWithoutAWordGiveNothing) {
    Solver solver;
    BoardCodes b = emptyBoard();
    EXPECT_TRUE(solver.all(b, Vocabulary::Dictionary).empty());
    EXPECT_FALSE(solver.best(b, Vocabulary::Dictionary));
    for (auto& col : b) col.fill('Q' - 'A' + 1);
    EXPECT_TRUE(solver.all(b, Vocabulary::Dictionary).empty());
    EXPECT_FALSE(solver.best(b, Vocabulary::Computer));
    // Letters that would spell words but never touch.
    b = emptyBoard();
    put(b, 0, 1, 'O');
    put(b, 2, 1, 'X');
    put(b, 4, 1, 'A');
    EXPECT_FALSE(solver.best(b, Vocabulary::Dictionary));
}

TEST(Solver, TiesGoToTheLongerWordThenTheAlphabeticallyFirstThenTheFirstPath) {
    Found a, b;
    a.score = b.score = 10;
    a.length = 3;
    b.length = 2;
    EXPECT_TRUE(solver::better(a, b));
    EXPECT_FALSE(solver::better(b, a));
    b.length = 3;
    a.letters = {'T', 'O', 'E', 0};
    b.letters = {'T', 'O', 'O', 0};
    EXPECT_TRUE(solver::better(a, b));
    b.letters = a.letters;
    a.squares[0] = {2, 6};
    b.squares[0] = {3, 0};
    EXPECT_TRUE(solver::better(a, b));
    b.squares[0] = {2, 5};
    EXPECT_TRUE(solver::better(b, a));
    EXPECT_FALSE(solver::better(a, a));
    b.score = 11;
    EXPECT_TRUE(solver::better(b, a));
}

TEST(Solver, AWordOnTwoPathsOfEqualScoreKeepsTheFirstInXMajorOrder) {
    BoardCodes b = emptyBoard();
    put(b, 1, 2, 'I');
    put(b, 1, 3, 'X');
    put(b, 1, 4, 'I');
    Solver solver;
    const auto all = solver.all(b, Vocabulary::Dictionary);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all.front().word(), "XI");  // 11 either way; the I above comes first
    EXPECT_EQ(all.front().squares[1].y, 2);
    const auto best = solver.best(b, Vocabulary::Dictionary);
    ASSERT_TRUE(best);
    EXPECT_EQ(best->squares[1].y, 2);
    // A better square wins over the first path: an I on a triple letter.
    put(b, 2, 4, 'I');
    const auto moved = solver.best(b, Vocabulary::Dictionary);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->word(), "XI");
    EXPECT_EQ(moved->score, 13);
    EXPECT_EQ(moved->squares[1].x, 2);
}

TEST(WordGraph, HoldsTheWordsOfTwoToSevenLettersAndMarksTheComputersOwn) {
    const auto& g = dictionary::WordGraph::builtin();
    EXPECT_TRUE(g.contains("ox"));
    EXPECT_TRUE(g.contains("STORM"));
    EXPECT_TRUE(g.contains("storm", dictionary::WordGraph::kComputer));
    EXPECT_FALSE(g.contains("aah", dictionary::WordGraph::kComputer));
    EXPECT_TRUE(g.contains("aah"));
    EXPECT_FALSE(g.contains("sto"));
    EXPECT_FALSE(g.contains(""));
    EXPECT_FALSE(g.contains("o x"));
    EXPECT_FALSE(g.contains("abandoned"));  // eight letters
    EXPECT_FALSE(g.contains("a", dictionary::WordGraph::kComputer));
    EXPECT_LT(g.bytes(), 4u << 20);
}

// The solver tells words apart and breaks ties between them by the graph's numbers: each
// word's number must be its place in the alphabetical list, in every language built.
namespace {
void expectNumberedAlphabetically(const dictionary::WordGraph& graph, const std::vector<std::string>& sorted) {
    ASSERT_EQ(graph.wordCount(), sorted.size());
    const std::uint64_t* records = graph.data();
    for (std::size_t i = 0; i < sorted.size(); i += 7) {  // every seventh word keeps it quick
        std::uint32_t record = graph.root();
        std::uint32_t count = 0;
        for (char c : sorted[i]) {
            record = graph.child(record, c - 'A');
            ASSERT_NE(record, dictionary::WordGraph::kNone) << sorted[i];
            count += dictionary::WordGraph::lead(records[record]);
        }
        ASSERT_EQ(count - 1, i) << sorted[i];
    }
}
}  // namespace

TEST(WordGraph, NumbersItsWordsAlphabetically) {
    std::vector<std::string> english = readWords("words.txt");
    std::sort(english.begin(), english.end());
    english.erase(std::unique(english.begin(), english.end()), english.end());
    expectNumberedAlphabetically(dictionary::WordGraph::builtin(), english);
    for (const language::Language& lang : language::all()) {
        if (lang.builtIn()) continue;
        SCOPED_TRACE(std::string(lang.code));
        const auto records = language::readGraph(std::filesystem::path(QUORBIT_LANGUAGE_DIR) / lang.graphFile);
        ASSERT_TRUE(records);
        std::vector<std::string> words =
            readWordFile(std::filesystem::path(QUORBIT_LANGUAGE_DIR) / (std::string(lang.code) + ".txt"));
        std::sort(words.begin(), words.end());
        words.erase(std::unique(words.begin(), words.end()), words.end());
        expectNumberedAlphabetically(dictionary::WordGraph(*records), words);
    }
}

TEST(WordGraph, AGraphCutShortReadsAsMissingWords) {
    const auto& full = dictionary::WordGraph::builtin();
    constexpr auto firstChild = [](std::uint64_t first) { return first << dictionary::WordGraph::kFirstShift; };
    // Root with one child 'a' placed past the end of the records.
    const std::vector<std::uint64_t> records = {1u | firstChild(1000), 0u};
    const dictionary::WordGraph cut(records);
    EXPECT_FALSE(cut.contains("ad"));
    EXPECT_FALSE(cut.contains("a"));
    // No records, or a child index on a record without letters, do not hold together either.
    EXPECT_FALSE(dictionary::WordGraph::holdsTogether(std::vector<std::uint64_t>{1u | firstChild(1), 1u << 28}));
    EXPECT_FALSE(dictionary::WordGraph::holdsTogether(std::vector<std::uint64_t>{1u | firstChild(1), (1u << 26) | firstChild(1)}));
    EXPECT_FALSE(dictionary::WordGraph::holdsTogether(std::vector<std::uint64_t>{}));
    EXPECT_TRUE(dictionary::WordGraph::holdsTogether(std::vector<std::uint64_t>{1u | firstChild(1), 1u << 26}));
    EXPECT_FALSE(dictionary::WordGraph({}).contains("ad"));
    EXPECT_TRUE(full.contains("ad"));
    BoardCodes b = emptyBoard();
    put(b, 0, 1, 'A');
    put(b, 0, 2, 'D');
    EXPECT_FALSE(Solver(cut).best(b, Vocabulary::Dictionary));
}

TEST(Solver, ASolverUsedAgainAnswersLikeAFreshOneWhenABoardHoldsOverAThousandWords) {
    // The seventeenth of these deals holds 1,095 words: the solver's list of words grows
    // during that search, after sixteen searches have used and cleared its tables.
    SeededRandom random(3);
    Solver reused;
    std::size_t most = 0;
    for (int n = 0; n < 17; ++n) {
        BoardCodes b;
        for (auto& col : b)
            for (int& c : col) c = rules::drawcode(random.below(98) + 1);
        const auto again = reused.all(b, Vocabulary::Dictionary);
        const auto fresh = Solver().all(b, Vocabulary::Dictionary);
        most = std::max(most, fresh.size());
        ASSERT_EQ(again.size(), fresh.size()) << "board " << n;
        for (std::size_t i = 0; i < fresh.size(); ++i) {
            EXPECT_EQ(again[i].word(), fresh[i].word());
            EXPECT_EQ(again[i].score, fresh[i].score);
            EXPECT_EQ(again[i].path().front().x, fresh[i].path().front().x);
        }
    }
    EXPECT_GT(most, 1024u);
}
