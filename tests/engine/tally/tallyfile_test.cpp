#include "tally/tallyfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "tally/lzrw1.h"
#include "tally/strgrid.h"

using namespace quorbit::tally;
namespace fs = std::filesystem;

namespace {

class TallyFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tallyfile-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = dir_ / "Quorbittally.tld";
    }
    void TearDown() override { fs::remove_all(dir_); }

    static Grid twoOpponents() {
        Tally t;
        t.loadchecklist({"Zubo", "Ann"});
        t.follow(0);
        t.follow(1);
        t.anotherword(3);
        t.addtomineset(4, 21, "QUIZ");
        t.addgame(kAddToMine, {"Zubo", "Ann"});
        return t.grid();
    }
    static std::string slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir_, file_;
};

}  // namespace

TEST_F(TallyFileTest, NoFileMeansAFreshTally) {
    const auto load = loadTallyFile(file_);
    EXPECT_FALSE(load.found);
    EXPECT_TRUE(load.error.empty());
}

TEST_F(TallyFileTest, SavedTallyComesBackAndHoldsTwentyNineLines) {
    const Grid grid = twoOpponents();
    std::string error;
    ASSERT_TRUE(saveTallyFile(file_, grid, &error)) << error;
    EXPECT_EQ(slurp(file_).substr(0, 4), "WRZL");
    const auto load = loadTallyFile(file_);
    ASSERT_TRUE(load.found) << load.error;
    EXPECT_EQ(load.grid, grid);

    Tlzrw1 doit;
    doit.InputFile = file_.string();
    doit.OutputFile = (dir_ / "text").string();
    doit.Decompress();
    const std::string text = slurp(dir_ / "text");
    std::size_t lines = 0;
    for (std::size_t i = 0; (i = text.find("\r\n", i)) != std::string::npos; i += 2) ++lines;
    EXPECT_EQ(lines, 29u);
    EXPECT_EQ(text.substr(0, 6), "9\r\n3\r\n");
    EXPECT_FALSE(fs::exists(dir_ / "temp.txt"));
}

TEST_F(TallyFileTest, FileIsTheFastContainerOfTheGridText) {
    const Grid grid = twoOpponents();
    ASSERT_TRUE(saveTallyFile(file_, grid));
    StringGrid g(kColumns, static_cast<int>(grid.size()));
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < kColumns; ++c) g.Cells(c, r) = grid[r][c];
    SaveGridToFile(g, dir_ / "grid.txt");
    Tlzrw1 doit;
    doit.CompressMode = TCompressMode::Fast;
    doit.InputFile = (dir_ / "grid.txt").string();
    doit.OutputFile = (dir_ / "expected.tld").string();
    doit.Compress();
    EXPECT_EQ(slurp(file_), slurp(dir_ / "expected.tld"));
}

TEST_F(TallyFileTest, DamagedFileIsKeptAsBadAndReported) {
    std::ofstream(file_, std::ios::binary) << "NOPE and some more bytes";
    const auto load = loadTallyFile(file_);
    EXPECT_FALSE(load.found);
    EXPECT_FALSE(load.error.empty());
    EXPECT_FALSE(fs::exists(file_));
    EXPECT_EQ(slurp(fs::path(file_.string() + ".bad")), "NOPE and some more bytes");
}

TEST_F(TallyFileTest, EarlierBadFilesAreKeptAndNumbered) {
    for (const char* bytes : {"first damage", "second damage", "third damage"}) {
        std::ofstream(file_, std::ios::binary) << bytes;
        EXPECT_FALSE(loadTallyFile(file_).found);
    }
    EXPECT_EQ(slurp(fs::path(file_.string() + ".bad")), "first damage");
    EXPECT_EQ(slurp(fs::path(file_.string() + ".bad2")), "second damage");
    EXPECT_EQ(slurp(fs::path(file_.string() + ".bad3")), "third damage");
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(TallyFileTest, SaveNeverWritesThroughALinkOrIntoAStaleNewFile) {
    const fs::path victim = dir_ / "victim";
    std::ofstream(victim, std::ios::binary) << "keep me";
    fs::create_symlink(victim, file_.string() + ".new");
    ASSERT_TRUE(saveTallyFile(file_, twoOpponents()));
    EXPECT_EQ(slurp(victim), "keep me");
    EXPECT_FALSE(fs::exists(file_.string() + ".new"));
    EXPECT_TRUE(loadTallyFile(file_).found);
    // A stale, longer ".new" left by a crash does not leave its tail in the next file.
    std::ofstream(file_.string() + ".new", std::ios::binary) << std::string(100000, 'z');
    ASSERT_TRUE(saveTallyFile(file_, twoOpponents()));
    EXPECT_TRUE(loadTallyFile(file_).found);
}

TEST_F(TallyFileTest, DamagedGridTextIsReported) {
    std::ofstream(dir_ / "bad.txt", std::ios::binary) << "9\r\nlots\r\n";
    Tlzrw1 doit;
    doit.CompressMode = TCompressMode::Fast;
    doit.InputFile = (dir_ / "bad.txt").string();
    doit.OutputFile = file_.string();
    doit.Compress();
    const auto load = loadTallyFile(file_);
    EXPECT_FALSE(load.found);
    EXPECT_FALSE(load.error.empty());
    EXPECT_TRUE(fs::exists(file_.string() + ".bad"));
}

TEST_F(TallyFileTest, FailedSaveLeavesTheOldFileAsItWas) {
    ASSERT_TRUE(saveTallyFile(file_, twoOpponents()));
    const std::string before = slurp(file_);
    fs::create_directory(file_.string() + ".new");  // the new file cannot be made
    std::string error;
    EXPECT_FALSE(saveTallyFile(file_, Tally().grid(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(slurp(file_), before);
    // A folder that does not exist fails the same way, creating nothing.
    EXPECT_FALSE(saveTallyFile(dir_ / "missing" / "t.tld", twoOpponents(), &error));
}

TEST_F(TallyFileTest, RestartKeepsTotalsAndZeroesSession) {
    ASSERT_TRUE(saveTallyFile(file_, twoOpponents()));
    Tally t;
    const auto load = loadTallyFile(file_);
    ASSERT_TRUE(load.found);
    t.setGrid(load.grid);
    t.loadtally();
    EXPECT_EQ(t.grid()[1][1], "1");
    EXPECT_EQ(t.grid()[1][5], "0");
    EXPECT_EQ(t.mylabel(4), "QUIZ (21)");
    EXPECT_EQ(t.listboxTally().size(), 2u);
}
