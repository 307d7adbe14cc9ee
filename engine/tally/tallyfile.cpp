#include "tally/tallyfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tally/lzrw1.h"
#include "tally/strgrid.h"

namespace quorbit::tally {
namespace fs = std::filesystem;

namespace {

StringGrid toStringGrid(const Grid& grid) {
    StringGrid g(kColumns, static_cast<int>(grid.size()));
    for (std::size_t r = 0; r < grid.size(); ++r)
        for (int c = 0; c < kColumns; ++c) g.Cells(c, static_cast<int>(r)) = grid[r][static_cast<std::size_t>(c)];
    return g;
}

// A grid of another shape keeps the cells that fit nine columns; a grid without rows
// becomes the fresh local player's row.
Grid fromStringGrid(const StringGrid& g) {
    Grid grid;
    for (int r = 0; r < g.RowCount(); ++r) {
        Row row;
        for (int c = 0; c < kColumns && c < g.ColCount(); ++c) row[static_cast<std::size_t>(c)] = g.Cells(c, r);
        grid.push_back(row);
    }
    if (grid.empty()) grid.push_back(Tally().grid()[0]);
    return grid;
}

std::string readWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw ELzrw1Exception("Cannot open " + file.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw ELzrw1Exception("Cannot read " + file.string());
    return std::move(bytes).str();
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t off = 0;
    while (off < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + off, bytes.size() - off);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        off += static_cast<std::size_t>(n);
    }
    return true;
}

// Moves a damaged file aside as "<file>.bad", or "<file>.bad2", "<file>.bad3"... when
// earlier ones are kept there: none of them is ever replaced.
void keepAsBad(const fs::path& file) {
    for (int n = 1; n <= 999; ++n) {
        fs::path bad = file;
        bad += n == 1 ? std::string(".bad") : ".bad" + std::to_string(n);
        if (::link(file.c_str(), bad.c_str()) == 0) {
            ::unlink(file.c_str());
            return;
        }
        if (errno != EEXIST) return;
    }
}

}  // namespace

TallyLoad loadTallyFile(const fs::path& file) {
    TallyLoad result;
    std::error_code ec;
    if (!fs::exists(file, ec)) return result;
    try {
        std::istringstream packed(readWhole(file));
        std::ostringstream text;
        Tlzrw1 doit;
        doit.UseStream = true;
        doit.InputStream = &packed;
        doit.OutputStream = &text;
        doit.Decompress();
        result.grid = fromStringGrid(gridFromText(text.str()));
        result.found = true;
    } catch (const std::exception& e) {
        // Keep the damaged file for the user instead of overwriting it at the next save.
        result.error = e.what();
        keepAsBad(file);
    }
    return result;
}

bool saveTallyFile(const fs::path& file, const Grid& grid, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    std::string bytes;
    try {
        std::istringstream text(gridToText(toStringGrid(grid)));
        std::ostringstream packed;
        Tlzrw1 doit;
        doit.UseStream = true;
        doit.CompressMode = TCompressMode::Fast;
        doit.InputStream = &text;
        doit.OutputStream = &packed;
        doit.Compress();
        bytes = std::move(packed).str();
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    // Write beside the old file, then move into place: the old file stays whole until
    // the new one is complete on disk.
    fs::path temp = file;
    temp += ".new";
    // A stale ".new" (or a link planted under its name) is removed, and the new one is
    // made afresh: nothing is ever written through a link.
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return fail("Cannot create " + temp.string() + ": " + std::strerror(errno));
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    if (::close(fd) != 0 || !written) {
        ::unlink(temp.c_str());
        return fail("Cannot write " + temp.string() + ": " + std::strerror(written ? errno : writeErrno));
    }
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int renameErrno = errno;
        ::unlink(temp.c_str());
        return fail("Cannot replace " + file.string() + ": " + std::strerror(renameErrno));
    }
    return true;
}

}  // namespace quorbit::tally
