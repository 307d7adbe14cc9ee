// A table played in French as the client works it out: the tiles' values, the spoken tiles,
// the hint and the best words follow the table's language, whose words come from the
// languages the client is given; without them there is no hint, never an English one.
#include "client/spoken.h"
#include "common/random.h"
#include "harness.h"
#include "language/loaded.h"
#include "rules/scoring.h"
#include "solver/solver.h"

namespace quorbit::client::testing {
namespace {

class FrenchTable : public ClientTest {
protected:
    void SetUp() override {
        if (!language::find("fr")) GTEST_SKIP() << "French was not built here";
        const auto loaded = cache.get("fr");
        ASSERT_TRUE(loaded) << loaded.error;
        fr = loaded.language;
        engine.setLanguageSource([this](std::string_view code) {
            ++asked;
            return cache.get(code);
        });
    }

    // Ann alone against Zubo in the table's language `code`, her turn on `board`.
    void soloTurn(const std::string& code, const protocol::BoardCodes& board) {
        login(1);
        serve(tc::language(code));
        serve(tc::startgame({"Ann", 300, 60, false, 1}));
        serve(tc::theboard(board));
        serve(tc::nextplayer(1, 1));
        drain();
    }

    // A French deal whose best English word is no French word: a hint from the wrong
    // words could not pass for a French one.
    protocol::BoardCodes frenchBoard() const {
        for (std::uint64_t seed = 1; seed < 200; ++seed) {
            SeededRandom rng(seed);
            protocol::BoardCodes b{};
            for (auto& column : b)
                for (int& code : column) code = fr->language().draw(1 + rng.below(language::kDraws));
            const auto english = solver::Solver().best(b, solver::Vocabulary::Dictionary);
            if (english && !fr->graph().contains(english->word())) return b;
        }
        ADD_FAILURE() << "no French deal without the English best word";
        return {};
    }

    language::LanguageCache cache{QUORBIT_LANGUAGE_DIR};
    std::shared_ptr<const language::LoadedLanguage> fr;
    int asked = 0;
};

TEST_F(FrenchTable, TheHintAndTheBestWordsAreFrenchWordsWithFrenchScores) {
    const protocol::BoardCodes board = frenchBoard();
    soloTurn("fr", board);
    EXPECT_EQ(st().letterValues, fr->values());
    const auto best = solver::Solver(fr->graph(), fr->values()).best(board, solver::Vocabulary::Dictionary);
    ASSERT_TRUE(best);
    ASSERT_TRUE(fr->dictionary().IsWord(std::string(best->word())));

    engine.hintClick();
    const std::string text = std::string(best->word()) + " for " + std::to_string(best->score) + " points";
    EXPECT_EQ(st().label_status, "Hint: " + text);
    // The marks trace the word, and its score is the path's with French values.
    std::vector<rules::Square> path;
    for (int i = 0; i < best->length; ++i) {
        const rules::Square sq = best->squares[static_cast<std::size_t>(i)];
        EXPECT_EQ(st().hintmarks[static_cast<std::size_t>(sq.x)][static_cast<std::size_t>(sq.y)], i + 1);
        path.push_back(sq);
    }
    EXPECT_EQ(rules::scorePath(board, path, fr->values()), best->score);

    engine.options().showBestWords = true;
    serve(tc::timeup());
    serve(tc::nextplayer(2, 1));
    serve(tc::madeword(2, "ET", 2, 2, 0, 2, {{0, 0}, {0, 1}}));
    EXPECT_EQ(st().memo_words.back(), "best: " + std::string(best->word()) + " " + std::to_string(best->score));
    EXPECT_EQ(asked, 1);  // loaded once, however often searched
}

TEST_F(FrenchTable, SpokenTilesTellTheirFrenchWorth) {
    int code = 0;  // a letter that French values otherwise than English
    for (int c = 1; c <= 26 && code == 0; ++c)
        if (rules::letterworth(c, fr->values()) != rules::letterworth(c)) code = c;
    ASSERT_NE(code, 0);
    protocol::BoardCodes b{};
    for (auto& column : b) column.fill(code);
    soloTurn("fr", b);
    const int worth = rules::letterworth(code, fr->values());
    EXPECT_EQ(spoken::square(st(), {0, 1}),
              std::string(1, rules::letterOf(code)) + ", " + std::to_string(worth) + (worth == 1 ? " point" : " points") +
                  ", column 1, row 2");
}

TEST_F(FrenchTable, WithoutTheLanguagesWordsThereIsNoHintAndEnglishComesBackWhole) {
    const protocol::BoardCodes board = frenchBoard();
    engine.setLanguageSource({});
    soloTurn("fr", board);
    EXPECT_EQ(st().letterValues, fr->values());  // the values need no files
    engine.hintClick();
    EXPECT_EQ(st().label_status, "Hint: the words of this game's language are not on this computer");
    EXPECT_EQ(st().hintsTaken, 0);

    // A language this program does not have: English's values, and no hint either.
    serve(tc::language("xx"));
    EXPECT_EQ(st().letterValues, rules::kEnglishValues);
    engine.hintClick();
    EXPECT_EQ(st().label_status, "Hint: the words of this game's language are not on this computer");

    // Back to English: its own words, no source needed.
    serve(tc::language("en"));
    engine.hintClick();
    const auto english = solver::Solver().best(board, solver::Vocabulary::Dictionary);
    ASSERT_TRUE(english);
    EXPECT_EQ(st().label_status, "Hint: " + std::string(english->word()) + " for " + std::to_string(english->score) + " points");
}

}  // namespace
}  // namespace quorbit::client::testing
