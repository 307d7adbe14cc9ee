#pragma once
// The grid text file: a grid of text cells saved as lines ending with CR LF:
//   the column count; the row count; then every cell, column by column
//   (rows 0..R-1 of column 0, then of column 1, and so on).
// A cell is one line, so a line break inside a cell is saved as a space.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorbit::tally {

// A load or save that failed: the file is missing, short, or its counts are not sane.
class GridFileError : public std::runtime_error {
public:
    explicit GridFileError(const std::string& text) : std::runtime_error(text) {}
};

// Counts above this are refused when loading.
inline constexpr int kMaxGridCount = 10000;

class StringGrid {
public:
    StringGrid() = default;
    StringGrid(int colCount, int rowCount) { resize(colCount, rowCount); }

    int ColCount() const { return cols_; }
    int RowCount() const { return rows_; }
    // Keeps the cells that stay inside; new cells are empty.
    void resize(int colCount, int rowCount);

    std::string& Cells(int col, int row) { return cells_.at(index(col, row)); }
    const std::string& Cells(int col, int row) const { return cells_.at(index(col, row)); }

    bool operator==(const StringGrid&) const = default;

private:
    std::size_t index(int col, int row) const;

    int cols_ = 0;
    int rows_ = 0;
    std::vector<std::string> cells_;  // row-major
};

// The file's text for `grid`.
std::string gridToText(const StringGrid& grid);
// The grid of a file's text; throws GridFileError when the text is short, a count is not
// a number, or a count is negative or above kMaxGridCount. Lines may end with CR LF or LF.
StringGrid gridFromText(std::string_view text);

// Writes `grid` to `file`, replacing it; throws GridFileError on failure.
void SaveGridToFile(const StringGrid& grid, const std::filesystem::path& file);
// Reads a grid from `file`; throws GridFileError on failure.
StringGrid LoadGridFromFile(const std::filesystem::path& file);

}  // namespace quorbit::tally
