#pragma once
// The tally file: a FAST container of the tally grid's text.
//
// Loading a damaged file keeps it as "<file>.bad" (numbered "<file>.bad2"... beside
// earlier ones) and reports the compressor's message;
// saving writes a new file beside the old one and renames it into place only when the
// whole write succeeded, so a failed save leaves the previous file as it was. The grid
// text never touches a file of the user's: it is made and read in memory.
#include <filesystem>
#include <string>

#include "tally/tally.h"

namespace quorbit::tally {

struct TallyLoad {
    bool found = false;  // a usable tally file was read into `grid`
    Grid grid;
    std::string error;   // the compressor's or the grid reader's message, for the error box
};

TallyLoad loadTallyFile(const std::filesystem::path& file);
bool saveTallyFile(const std::filesystem::path& file, const Grid& grid, std::string* error = nullptr);

}  // namespace quorbit::tally
