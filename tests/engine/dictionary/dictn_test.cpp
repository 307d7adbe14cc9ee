#include "dictionary/dictn.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "dictionary/builtin_words.h"

using namespace quorbit::dictionary;
namespace fs = std::filesystem;

namespace {

std::string record(std::string word) {
    word.resize(14, ' ');
    return "\x1e" + word;
}

class DictnTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("dictn-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        ::chmod(dir_.c_str(), 0755);
        fs::remove_all(dir_);
    }
    std::string small() {
        return record("AARDVARK") + record("CAT") + record("CATS") + record("EXTRAORDINARIL") +
               record("EXTRAORDINARIL") + record("EXTRAORDINARIL") + record("ZYZZYVA");
    }
    fs::path dir_;
};

}  // namespace

TEST_F(DictnTest, CaseAndSurroundingSpacesDoNotMatter) {
    TDictn d(dir_, small());
    for (const char* w : {"cat", " CAT ", "Cat", "CAT"}) EXPECT_TRUE(d.IsWord(w)) << w;
    EXPECT_TRUE(d.IsWord(std::string("\0cat\0", 5)));
    EXPECT_FALSE(d.IsWord("ca"));
    EXPECT_FALSE(d.IsWord("c at"));
    EXPECT_FALSE(d.IsWord(""));
    EXPECT_FALSE(d.IsWord("     "));
}

TEST_F(DictnTest, FirstLastAndRepeatedRecordsAreFound) {
    TDictn d(dir_, small());
    EXPECT_TRUE(d.IsWord("aardvark"));
    EXPECT_TRUE(d.IsWord("zyzzyva"));
    EXPECT_TRUE(d.IsWord("extraordinaril"));
    EXPECT_TRUE(d.IsWord("cats"));
    EXPECT_FALSE(d.IsWord("zzz"));
    EXPECT_FALSE(d.IsWord("a"));
}

TEST_F(DictnTest, FifteenLetterWordsAreNeverFound) {
    TDictn d(dir_, small());
    EXPECT_FALSE(d.IsWord("extraordinarily"));
    EXPECT_FALSE(d.IsWord(std::string(300, 'A')));
}

TEST_F(DictnTest, WritesTheFileWhenMissingAndRemovesOnlyItsOwn) {
    const fs::path file = dir_ / "English";
    {
        TDictn d(dir_, small());
        EXPECT_TRUE(d.ownsFile());
        EXPECT_EQ(fs::file_size(file), small().size());
    }
    EXPECT_FALSE(fs::exists(file));

    std::ofstream(file, std::ios::binary) << record("DOG");
    {
        TDictn d(dir_, small());
        EXPECT_FALSE(d.ownsFile());
        EXPECT_TRUE(d.IsWord("dog"));
        EXPECT_FALSE(d.IsWord("cat"));  // the user's file is used as found
    }
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(DictnTest, MissingFileAndNoListReportsOnceAndRejectsEverything) {
    std::vector<std::string> notices;
    TDictn d(dir_, "", [&](const std::string& m) { notices.push_back(m); });
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], "English.dic dictionary not found!");
    EXPECT_FALSE(d.isOpen());
    EXPECT_FALSE(d.IsWord("cat"));
}

TEST_F(DictnTest, ReadOnlyFolderFallsBackToPrivateTempFile) {
    if (::geteuid() == 0) {
        // root writes anywhere; simulate an unwritable folder by a path that is a file.
        std::ofstream(dir_ / "notadir") << "x";
        TDictn d(dir_ / "notadir", small());
        EXPECT_TRUE(d.IsWord("cat"));
        EXPECT_NE(d.path().parent_path(), dir_ / "notadir");
        const fs::path used = d.path();
        EXPECT_TRUE(fs::exists(used));
        return;
    }
    ::chmod(dir_.c_str(), 0555);
    TDictn d(dir_, small());
    EXPECT_TRUE(d.IsWord("cat"));
    EXPECT_NE(d.path().parent_path(), dir_);
}

TEST_F(DictnTest, LowerCaseRecordsAreReadUpperCased) {
    std::ofstream(dir_ / "English", std::ios::binary) << record("ant") << record("Bee") << record("COW");
    TDictn d(dir_, small());
    EXPECT_TRUE(d.IsWord("ANT"));
    EXPECT_TRUE(d.IsWord("bee"));
    EXPECT_TRUE(d.IsWord("cow"));
    EXPECT_FALSE(d.IsWord("cat"));
}

TEST_F(DictnTest, OddSizedAndEmptyFilesAreSafe) {
    std::ofstream(dir_ / "English", std::ios::binary) << record("CAT") << "\x1e" "DO";
    {
        TDictn d(dir_, small());
        EXPECT_EQ(d.recordCount(), 1u);
        EXPECT_TRUE(d.IsWord("cat"));
        EXPECT_FALSE(d.IsWord("do"));
    }
    std::ofstream(dir_ / "English", std::ios::binary | std::ios::trunc);
    TDictn e(dir_, small());
    EXPECT_TRUE(e.isOpen());
    EXPECT_FALSE(e.IsWord("cat"));
}

TEST_F(DictnTest, BuiltInListLooksUpWithinEighteenProbes) {
    TDictn d(dir_, builtinWordFile());
    EXPECT_GT(d.recordCount(), 200000u);
    int worst = 0;
    for (const char* w : {"cat", "quorbit", "zymurgy", "aa", "storm", "xyzzyq", "hmm", "cwm"}) {
        d.IsWord(w);
        worst = std::max(worst, d.lastProbes());
    }
    EXPECT_LE(worst, 18);
    EXPECT_TRUE(d.IsWord("storm"));
    EXPECT_TRUE(d.IsWord("hmm"));
    EXPECT_FALSE(d.IsWord("cs"));
    EXPECT_FALSE(d.IsWord("xyzzyq"));
}

TEST(BuiltinLists, ComputerWordsAreSortedAndShort) {
    const std::string_view words = builtinComputerWords();
    std::string prev;
    std::size_t count = 0, start = 0;
    while (start < words.size()) {
        auto end = words.find('\n', start);
        if (end == std::string_view::npos) end = words.size();
        std::string w(words.substr(start, end - start));
        EXPECT_LE(w.size(), 7u);
        EXPECT_LT(prev, w);
        prev = w;
        ++count;
        start = end + 1;
    }
    EXPECT_GT(count, 5000u);
}
