// A table played in French: the deal, the lookup and the scores are French; newcomers and
// every seat hear the language; English play sends nothing new.
#include "dictionary/wordgraph.h"
#include "harness.h"
#include "language/loaded.h"
#include "rules/scoring.h"
#include "solver/solver.h"

namespace quorbit::server::testing {
namespace {

namespace tc = proto::toclient;

class FrenchTable : public ServerTest {
protected:
    std::shared_ptr<const language::LoadedLanguage> french() {
        if (!language::find("fr")) return nullptr;
        auto loaded = cache_.get("fr");
        EXPECT_TRUE(loaded) << loaded.error;
        return loaded.language;
    }
    language::LanguageCache cache_{QUORBIT_LANGUAGE_DIR, dir_};
};

std::vector<std::pair<int, int>> squaresOf(const solver::Found& f) {
    std::vector<std::pair<int, int>> out;
    for (int i = 0; i < f.length; ++i) out.emplace_back(f.squares[static_cast<std::size_t>(i)].x,
                                                        f.squares[static_cast<std::size_t>(i)].y);
    return out;
}

TEST_F(FrenchTable, AFrenchWordScoresWithFrenchValuesAndAnEnglishOneIsRefused) {
    const auto fr = french();
    if (!fr) GTEST_SKIP() << "French was not built here";
    join(1, "Ann");
    server_.setLanguage(fr);
    EXPECT_EQ(server_.languageCode(), "en");  // only from the next game's start
    out_.clear();
    start();
    const auto lines = out_.take(1);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), tc::language("fr"));
    EXPECT_EQ(server_.languageCode(), "fr");
    ASSERT_EQ(server_.currentplayer(), 1);

    const rules::Grid board = server_.board();
    solver::Solver frenchSolver(fr->graph(), fr->values());
    solver::Solver englishSolver;
    const auto frenchWords = frenchSolver.all(board, solver::Vocabulary::Dictionary);
    const auto englishWords = englishSolver.all(board, solver::Vocabulary::Dictionary);
    const solver::Found* englishOnly = nullptr;
    for (const auto& f : englishWords)
        if (!fr->dictionary().IsWord(std::string(f.word()))) englishOnly = englishOnly ? englishOnly : &f;
    // A French word whose score differs from its English score shows the values used.
    const solver::Found* french = nullptr;
    for (const auto& f : frenchWords) {
        std::vector<rules::Square> path(f.squares.begin(), f.squares.begin() + f.length);
        if (!french && rules::scorePath(board, path) != f.score) french = &f;
    }
    ASSERT_NE(englishOnly, nullptr);
    ASSERT_NE(french, nullptr);

    say(1, path(1, squaresOf(*englishOnly)));
    EXPECT_EQ(only(out_.take(1), "CMD_notvalid+").size(), 1u) << englishOnly->word();
    EXPECT_EQ(server_.currentplayer(), 1);

    say(1, path(1, squaresOf(*french)));
    const auto made = only(out_.take(1), "CMD_madeword+");
    ASSERT_EQ(made.size(), 1u) << french->word();
    EXPECT_EQ(server_.score(1), french->score);
    EXPECT_NE(made[0].find("+" + std::string(french->word()) + "+" + std::to_string(french->score) + "+"),
              std::string::npos)
        << made[0];
}

TEST_F(FrenchTable, ANewcomerHearsTheLanguageAndEnglishSendsNothingNew) {
    join(1, "Ann");
    start();
    EXPECT_TRUE(only(out_.take(1), "CMD_language").empty());
    join(3, "Bob");
    EXPECT_TRUE(only(out_.take(3), "CMD_language").empty());

    const auto fr = french();
    if (!fr) GTEST_SKIP() << "French was not built here";
    server_.setLanguage(fr);
    start();
    EXPECT_EQ(only(out_.take(3), "CMD_language").size(), 1u);
    join(4, "Cy");
    const auto lines = out_.take(4);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), tc::language("fr"));  // after all that answers the login

    // Back to English: everybody hears "en" once, at the next start.
    server_.setLanguage(nullptr);
    start();
    EXPECT_EQ(only(out_.take(4), "CMD_language"), std::vector<std::string>{tc::language("en")});
    start();
    EXPECT_TRUE(only(out_.take(4), "CMD_language").empty());
}

}  // namespace
}  // namespace quorbit::server::testing
