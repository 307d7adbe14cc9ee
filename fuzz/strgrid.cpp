// Loads arbitrary text as a grid text file; a grid that loads saves to text that
// loads to the same grid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tally/strgrid.h"

using namespace quorbit::tally;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const StringGrid grid = gridFromText(std::string_view(reinterpret_cast<const char*>(data), size));
        StringGrid clean = grid;
        for (int c = 0; c < clean.ColCount(); ++c)
            for (int r = 0; r < clean.RowCount(); ++r)
                for (char& ch : clean.Cells(c, r))
                    if (ch == '\r') ch = ' ';
        if (!(gridFromText(gridToText(grid)) == clean)) std::abort();
    } catch (const GridFileError&) {
    }
    return 0;
}
