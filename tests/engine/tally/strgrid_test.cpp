#include "tally/strgrid.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace quorbit::tally;
namespace fs = std::filesystem;

namespace {

// The tally of a local player and two followed opponents.
StringGrid twoOpponents() {
    StringGrid g(9, 3);
    const char* rows[3][9] = {{"0", "12", "5", "40", "QUARTZ", "31", "0", "0", "0"},
                              {"Zubo", "10", "4", "5", "1", "2", "1", "1", "0"},
                              {"Ann Lee", "3", "0", "2", "1", "0", "", "", ""}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 9; ++c) g.Cells(c, r) = rows[r][c];
    return g;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto end = text.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

std::string refusal(const std::string& text) {
    try {
        gridFromText(text);
    } catch (const GridFileError& e) {
        return e.what();
    }
    return "accepted";
}

}  // namespace

TEST(StringGridFile, TwoFollowedOpponentsGive29LinesColumnByColumn) {
    const std::string text = gridToText(twoOpponents());
    const auto lines = linesOf(text);
    ASSERT_EQ(lines.size(), 29u);
    EXPECT_EQ(lines[0], "9");
    EXPECT_EQ(lines[1], "3");
    // Column 0 first (rows 0..2), then column 1, ...
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 8),
              (std::vector<std::string>{"0", "Zubo", "Ann Lee", "12", "10", "3"}));
    EXPECT_EQ(lines[28], "");  // an empty cell is an empty line
    EXPECT_EQ(gridFromText(text), twoOpponents());
}

TEST(StringGridFile, LoadsLfOnlyLinesAndAMissingLastLineEnd) {
    EXPECT_EQ(gridFromText("2\n1\nA\nB\n"), gridFromText("2\r\n1\r\nA\r\nB\r\n"));
    const StringGrid g = gridFromText("2\r\n1\r\nA\r\nB");
    EXPECT_EQ(g.Cells(1, 0), "B");
    const StringGrid empty = gridFromText("0\r\n0\r\n");
    EXPECT_EQ(empty.ColCount(), 0);
    EXPECT_EQ(empty.RowCount(), 0);
}

TEST(StringGridFile, LineBreaksInACellBecomeSpacesSoTheCellsStayInPlace) {
    StringGrid g(2, 1);
    g.Cells(0, 0) = "two\r\nlines";
    g.Cells(1, 0) = "x\ny";
    const StringGrid back = gridFromText(gridToText(g));
    EXPECT_EQ(back.Cells(0, 0), "two  lines");
    EXPECT_EQ(back.Cells(1, 0), "x y");
}

TEST(StringGridFile, ShortOrInsaneFilesAreRefused) {
    EXPECT_EQ(refusal(""), "Grid file: the column count is missing");
    EXPECT_EQ(refusal("9\r\n"), "Grid file: the row count is missing");
    EXPECT_EQ(refusal("nine\r\n1\r\n"), "Grid file: the column count is not a number: 'nine'");
    EXPECT_EQ(refusal("9\r\n 1\r\n"), "Grid file: the row count is not a number: ' 1'");
    EXPECT_EQ(refusal("-1\r\n1\r\n"), "Grid file: the column count is out of range: -1");
    EXPECT_EQ(refusal("9\r\n10001\r\n"), "Grid file: the row count is out of range: 10001");
    EXPECT_EQ(refusal("99999999999\r\n1\r\n"), "Grid file: the column count is not a number: '99999999999'");
    // Sane counts, but far more cells than the text could hold: refused before allocating.
    EXPECT_EQ(refusal("10000\r\n10000\r\n"), "Grid file: too short for 10000 columns and 10000 rows");
    // One cell missing.
    EXPECT_EQ(refusal("2\r\n2\r\na\r\nb\r\nc\r\n"), "Grid file: too short for 2 columns and 2 rows");
}

TEST(StringGridFile, FilesOnDisk) {
    const fs::path dir = fs::temp_directory_path() / ("strgrid-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "temp.txt";
    {
        std::ofstream(file) << "old content that is replaced";
    }
    SaveGridToFile(twoOpponents(), file);
    EXPECT_EQ(LoadGridFromFile(file), twoOpponents());
    EXPECT_THROW(LoadGridFromFile(dir / "missing.txt"), GridFileError);
    EXPECT_THROW(SaveGridToFile(twoOpponents(), dir / "no-such-dir" / "temp.txt"), GridFileError);
    fs::remove_all(dir);
}

TEST(StringGridFile, ResizeKeepsTheCellsInside) {
    StringGrid g(2, 2);
    g.Cells(1, 1) = "kept";
    g.Cells(0, 0) = "also";
    g.resize(3, 2);
    EXPECT_EQ(g.Cells(1, 1), "kept");
    EXPECT_EQ(g.Cells(0, 0), "also");
    EXPECT_EQ(g.Cells(2, 1), "");
    g.resize(2, 1);
    EXPECT_EQ(g.Cells(0, 0), "also");
    EXPECT_THROW(g.Cells(1, 1), std::out_of_range);
    EXPECT_THROW(g.resize(-1, 1), std::invalid_argument);
}
