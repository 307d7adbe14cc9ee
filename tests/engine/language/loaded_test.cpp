// A language loaded from the files the build made: its dictionary, graph and computer words
// are its own; a missing or damaged file is an error; the cache loads each language once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "dictionary/builtin_words.h"
#include "language/loaded.h"

using namespace quorbit;
namespace fs = std::filesystem;

namespace {

const fs::path kBuilt = QUORBIT_LANGUAGE_DIR;

struct TempFolder {
    fs::path path = fs::temp_directory_path() / ("quorbit-loaded-" + std::to_string(::getpid()) + "-" +
                                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TempFolder() { fs::create_directories(path); }
    ~TempFolder() { fs::remove_all(path); }
};

}  // namespace

TEST(LoadedLanguage, FrenchAcceptsItsOwnWordsAndRefusesEnglishOnes) {
    if (!language::find("fr")) GTEST_SKIP() << "French was not built here";
    TempFolder english;
    language::LanguageCache cache(kBuilt, english.path);
    const auto fr = cache.get("fr");
    ASSERT_TRUE(fr) << fr.error;
    EXPECT_TRUE(fr.language->dictionary().IsWord("maison"));
    EXPECT_TRUE(fr.language->dictionary().IsWord("CHATEAU"));
    EXPECT_FALSE(fr.language->dictionary().IsWord("house"));
    EXPECT_TRUE(fr.language->graph().contains("maison"));
    EXPECT_FALSE(fr.language->graph().contains("house"));
    // The computer's words are a part of the list, each one in the graph.
    const std::string_view computer = fr.language->computerWords();
    ASSERT_FALSE(computer.empty());
    EXPECT_EQ(computer.back(), '\n');
    std::size_t n = 0;
    for (std::size_t at = 0; at < computer.size(); at = computer.find('\n', at) + 1, ++n) {
        const std::string word(computer.substr(at, computer.find('\n', at) - at));
        ASSERT_TRUE(fr.language->dictionary().IsWord(word)) << word;
    }
    EXPECT_LT(n, fr.language->dictionary().recordCount());
    EXPECT_EQ(fr.language->values(), language::find("fr")->values);
    // Loaded once: the same object for every table.
    EXPECT_EQ(cache.get("fr").language, fr.language);

    const auto en = cache.get("en");
    ASSERT_TRUE(en) << en.error;
    EXPECT_TRUE(en.language->dictionary().IsWord("house"));
    EXPECT_EQ(en.language->computerWords(), dictionary::builtinComputerWords());
    EXPECT_TRUE(en.language->graph().contains("house"));
}

TEST(LoadedLanguage, MissingOrDamagedFilesAreErrorsNotCrashes) {
    if (!language::find("fr")) GTEST_SKIP() << "French was not built here";
    const language::Language& fr = *language::find("fr");
    TempFolder folder;
    const fs::path words = folder.path / fr.wordFile, graph = folder.path / fr.graphFile;

    auto result = language::load(fr, folder.path);
    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find("not installed"), std::string::npos) << result.error;

    fs::copy_file(kBuilt / fr.wordFile, words);
    fs::copy_file(kBuilt / fr.graphFile, graph);
    ASSERT_TRUE(language::load(fr, folder.path)) << language::load(fr, folder.path).error;

    // A record cut short, a record out of order, a graph cut short, an empty graph.
    const auto damage = [](const fs::path& file, auto change) {
        std::string bytes;
        {
            std::ifstream in(file, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        change(bytes);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    };
    const fs::path goodWords = folder.path / "good.words", goodGraph = folder.path / "good.graph";
    fs::copy_file(words, goodWords);
    fs::copy_file(graph, goodGraph);
    damage(words, [](std::string& b) { b.pop_back(); });
    EXPECT_NE(language::load(fr, folder.path).error.find("damaged"), std::string::npos);
    fs::copy_file(goodWords, words, fs::copy_options::overwrite_existing);
    damage(words, [](std::string& b) { std::swap_ranges(b.begin(), b.begin() + 15, b.begin() + 15); });
    EXPECT_NE(language::load(fr, folder.path).error.find("damaged"), std::string::npos);
    fs::copy_file(goodWords, words, fs::copy_options::overwrite_existing);
    damage(graph, [](std::string& b) { b.resize(b.size() / 2 + 4); });
    EXPECT_NE(language::load(fr, folder.path).error.find("graph"), std::string::npos);
    damage(graph, [](std::string& b) { b.clear(); });
    EXPECT_FALSE(language::load(fr, folder.path));

    language::LanguageCache cache(folder.path);
    const auto unknown = cache.get("xx");
    EXPECT_FALSE(unknown);
    EXPECT_NE(unknown.error.find("en"), std::string::npos) << unknown.error;
}
