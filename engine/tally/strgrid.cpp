#include "tally/strgrid.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/numbers.h"

namespace quorbit::tally {

void StringGrid::resize(int colCount, int rowCount) {
    if (colCount < 0 || rowCount < 0) throw std::invalid_argument("StringGrid: negative size");
    std::vector<std::string> cells(static_cast<std::size_t>(colCount) * static_cast<std::size_t>(rowCount));
    for (int r = 0; r < std::min(rows_, rowCount); ++r)
        for (int c = 0; c < std::min(cols_, colCount); ++c)
            cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(colCount) + static_cast<std::size_t>(c)] =
                std::move(cells_[index(c, r)]);
    cells_ = std::move(cells);
    cols_ = colCount;
    rows_ = rowCount;
}

std::size_t StringGrid::index(int col, int row) const {
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_) throw std::out_of_range("StringGrid: no such cell");
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col);
}

std::string gridToText(const StringGrid& grid) {
    std::string text = std::to_string(grid.ColCount()) + "\r\n" + std::to_string(grid.RowCount()) + "\r\n";
    for (int c = 0; c < grid.ColCount(); ++c) {
        for (int r = 0; r < grid.RowCount(); ++r) {
            std::string cell = grid.Cells(c, r);
            std::replace_if(cell.begin(), cell.end(), [](char ch) { return ch == '\r' || ch == '\n'; }, ' ');
            text += cell;
            text += "\r\n";
        }
    }
    return text;
}

namespace {

// Hands out the lines of a text one by one.
class Lines {
public:
    explicit Lines(std::string_view text) : rest_(text) {}
    bool next(std::string_view& line) {
        if (rest_.empty()) return false;
        const auto end = rest_.find('\n');
        line = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    }

private:
    std::string_view rest_;
};

int readCount(Lines& lines, const char* what) {
    std::string_view line;
    if (!lines.next(line)) throw GridFileError(std::string("Grid file: the ") + what + " is missing");
    const auto value = toInt(line);
    if (!value) throw GridFileError(std::string("Grid file: the ") + what + " is not a number: '" + std::string(line) + "'");
    if (*value < 0 || *value > kMaxGridCount)
        throw GridFileError(std::string("Grid file: the ") + what + " is out of range: " + std::to_string(*value));
    return *value;
}

}  // namespace

StringGrid gridFromText(std::string_view text) {
    Lines lines(text);
    const int cols = readCount(lines, "column count");
    const int rows = readCount(lines, "row count");
    // A cell costs at least its line end, so a text too short for its counts is refused
    // before anything is allocated.
    if (static_cast<std::uint64_t>(cols) * static_cast<std::uint64_t>(rows) > text.size())
        throw GridFileError("Grid file: too short for " + std::to_string(cols) + " columns and " +
                            std::to_string(rows) + " rows");
    StringGrid grid(cols, rows);
    for (int c = 0; c < cols; ++c) {
        for (int r = 0; r < rows; ++r) {
            std::string_view line;
            if (!lines.next(line))
                throw GridFileError("Grid file: too short for " + std::to_string(cols) + " columns and " +
                                    std::to_string(rows) + " rows");
            grid.Cells(c, r) = std::string(line);
        }
    }
    return grid;
}

void SaveGridToFile(const StringGrid& grid, const std::filesystem::path& file) {
    const std::string text = gridToText(grid);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw GridFileError("Grid file: cannot create " + file.string());
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw GridFileError("Grid file: cannot write " + file.string());
}

StringGrid LoadGridFromFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw GridFileError("Grid file: cannot open " + file.string());
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw GridFileError("Grid file: cannot read " + file.string());
    return gridFromText(text.str());
}

}  // namespace quorbit::tally
