// Each language's folding table, the files the build made for a language, and English's
// descriptor against the game's own deal and values.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "dictionary/wordgraph.h"
#include "language/folding.h"
#include "language/language.h"
#include "rules/deal.h"

using namespace quorbit;
using language::Encoding;

namespace {

std::string folded(std::string_view code, std::string_view entry, Encoding e = Encoding::Utf8) {
    const auto f = language::fold(code, entry, e);
    return f ? f->word : "<none>";
}

}  // namespace

TEST(Folding, EachLanguageSpellsItsLettersWithAToZ) {
    // Accents dropped everywhere; ligatures and special letters spelled out.
    EXPECT_EQ(folded("fr", "été"), "ete");
    EXPECT_EQ(folded("fr", "cœur"), "coeur");
    EXPECT_EQ(folded("fr", "naïve"), "naive");
    EXPECT_EQ(folded("es", "niño"), "nino");
    EXPECT_EQ(folded("es", "pingüino"), "pinguino");
    EXPECT_EQ(folded("it", "città"), "citta");
    EXPECT_EQ(folded("pt", "ação"), "acao");
    EXPECT_EQ(folded("nl", "ĳs"), "ijs");
    EXPECT_EQ(folded("pl", "łódź"), "lodz");
    EXPECT_EQ(folded("pl", "żółć"), "zolc");
    // German umlauts as AE, OE, UE and ß as SS, where Spanish ü is U.
    EXPECT_EQ(folded("de", "Mädchen"), "maedchen");
    EXPECT_EQ(folded("de", "größe"), "groesse");
    EXPECT_EQ(folded("de", "über"), "ueber");
    // Danish and Norwegian ø and å as OE and AA; Swedish å, ä, ö as AA, AE, OE.
    EXPECT_EQ(folded("da", "æblerød"), "aebleroed");
    EXPECT_EQ(folded("nb", "blå"), "blaa");
    EXPECT_EQ(folded("sv", "\xe5r", Encoding::Latin1), "aar");    // "år" in ISO-8859-1
    EXPECT_EQ(folded("sv", "k\xe4r", Encoding::Latin1), "kaer");  // "kär"
    EXPECT_EQ(folded("sv", "\xf6l", Encoding::Latin1), "oel");    // "öl"
    EXPECT_EQ(folded("sv", "öl"), "oel");
    // Catalan's middle dot is dropped; elsewhere it is no letter.
    EXPECT_EQ(folded("ca", "col·lecció"), "colleccio");
    EXPECT_EQ(folded("fr", "col·lecció"), "<none>");
    // Apostrophes, hyphens, digits, other scripts and broken bytes are no letters.
    EXPECT_EQ(folded("fr", "aujourd'hui"), "<none>");
    EXPECT_EQ(folded("nl", "e-mail"), "<none>");
    EXPECT_EQ(folded("nl", "a4"), "<none>");
    EXPECT_EQ(folded("pl", "мир"), "<none>");
    EXPECT_EQ(folded("fr", "\xc3"), "<none>");
    EXPECT_EQ(folded("fr", "\xc0\xa9"), "<none>");  // an overlong "©"
    // Capitals are told apart: the first letter (proper nouns, German nouns) and later ones.
    const auto paris = language::fold("fr", "Écosse", Encoding::Utf8);
    ASSERT_TRUE(paris);
    EXPECT_TRUE(paris->capitalised);
    EXPECT_FALSE(paris->capitalInside);
    EXPECT_EQ(paris->word, "ecosse");
    EXPECT_TRUE(language::fold("de", "EDV", Encoding::Utf8)->capitalInside);
    EXPECT_FALSE(language::fold("de", "haus", Encoding::Utf8)->capitalised);
}

TEST(Language, EnglishIsTheDefaultAndDealsAndScoresAsBefore) {
    const language::Language& en = language::english();
    EXPECT_EQ(en.code, "en");
    EXPECT_TRUE(en.builtIn());
    EXPECT_EQ(language::all().front().code, "en");
    EXPECT_EQ(language::find("en"), &en);
    EXPECT_EQ(language::find("xx"), nullptr);
    EXPECT_EQ(en.values, rules::kEnglishValues);
    for (int v = -1; v <= 100; ++v) EXPECT_EQ(en.draw(v), rules::drawcode(v)) << v;
    // The weights describe the same deal, letter by letter.
    for (int l = 0; l < 26; ++l) {
        int n = 0;
        for (int v = 1; v <= 98; ++v) n += rules::drawcode(v) == l + 1;
        EXPECT_EQ(en.deal[static_cast<std::size_t>(l)], n) << static_cast<char>('A' + l);
    }
}

TEST(Language, EachBuiltLanguageHasItsFilesDealAndValues) {
    std::vector<int> scale(rules::kEnglishValues.begin(), rules::kEnglishValues.end());
    std::sort(scale.begin(), scale.end());
    for (const language::Language& lang : language::all()) {
        if (lang.builtIn()) continue;
        SCOPED_TRACE(std::string(lang.code));
        int sum = 0;
        for (int w : lang.deal) sum += w;
        EXPECT_EQ(sum, language::kDraws);
        std::vector<int> values(lang.values.begin(), lang.values.end());
        std::sort(values.begin(), values.end());
        EXPECT_EQ(values, scale);  // English's scale
        for (int v = 1; v <= 98; ++v) EXPECT_GT(lang.deal[static_cast<std::size_t>(lang.draw(v) - 1)], 0);
        const auto records = language::readGraph(std::filesystem::path(QUORBIT_LANGUAGE_DIR) / lang.graphFile);
        ASSERT_TRUE(records);
        EXPECT_LT(records->size() * 8, 1u << 20);
        const auto size = std::filesystem::file_size(std::filesystem::path(QUORBIT_LANGUAGE_DIR) / lang.wordFile);
        EXPECT_GT(size, 0u);
        EXPECT_EQ(size % 15, 0u);
    }
}

TEST(Language, ProperNounsAreLeftOutButGermanNounsKept) {
    const std::filesystem::path dir(QUORBIT_LANGUAGE_DIR);
    for (const auto& [code, kept, dropped] : {std::tuple{"nl", "fiets", "breda"}, std::tuple{"de", "haus", "edv"}}) {
        const language::Language* lang = language::find(code);
        if (!lang) continue;
        const auto records = language::readGraph(dir / lang->graphFile);
        ASSERT_TRUE(records);
        const dictionary::WordGraph graph(*records);
        EXPECT_TRUE(graph.contains(kept)) << code;      // German: "Haus"
        EXPECT_FALSE(graph.contains(dropped)) << code;  // "Breda", "EDV"
    }
}

TEST(Language, TheFrenchFilesHoldFrenchWordsFolded) {
    const language::Language* fr = language::find("fr");
    if (!fr) GTEST_SKIP() << "French was not built (no wfrench on the build machine)";
    const std::filesystem::path dir(QUORBIT_LANGUAGE_DIR);
    const auto records = language::readGraph(dir / fr->graphFile);
    ASSERT_TRUE(records);
    const dictionary::WordGraph graph(*records);
    EXPECT_TRUE(graph.contains("ete"));      // été
    EXPECT_TRUE(graph.contains("maison"));
    EXPECT_TRUE(graph.contains("FENETRE"));  // fenêtre
    EXPECT_FALSE(graph.contains("maisonx"));
    EXPECT_FALSE(graph.contains("house"));   // English only
    EXPECT_FALSE(graph.contains("a"));       // one letter
    EXPECT_FALSE(graph.contains("abaissee" "s"));  // more than seven
    // The word file: sorted 15-byte records, found by their padded upper-case word.
    std::ifstream in(dir / fr->wordFile, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(all.size() % 15, 0u);
    EXPECT_EQ(all[0], '\x1e');
    EXPECT_NE(all.find("\x1e" "MAISON        "), std::string::npos);
    EXPECT_EQ(all.find("\x1e" "HOUSE         "), std::string::npos);
    // A file that does not hold together as a graph is refused.
    const auto bad = std::filesystem::temp_directory_path() / "quorbit-language-test.graph";
    {
        std::ofstream out(bad, std::ios::binary | std::ios::trunc);
        const std::uint64_t records[1] = {1u | (std::uint64_t{1000} << 28)};  // a child past the end
        out.write(reinterpret_cast<const char*>(records), sizeof records);
    }
    EXPECT_FALSE(language::readGraph(bad));
    std::filesystem::remove(bad);
    EXPECT_FALSE(language::readGraph(dir / "no-such.graph"));
}
