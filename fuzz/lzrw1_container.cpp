// Restores arbitrary bytes as a container in stream mode: it either fails with the
// compressor's exception or produces exactly the size its header gives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <istream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "tally/lzrw1.h"

using namespace quorbit::tally;

namespace {

// Counts what is written and keeps nothing.
class CountingBuffer : public std::streambuf {
public:
    std::uint64_t count = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        count += static_cast<std::uint64_t>(n);
        return n;
    }
    int_type overflow(int_type c) override {
        ++count;
        return traits_type::not_eof(c);
    }
    pos_type seekoff(off_type, std::ios::seekdir, std::ios::openmode) override {
        return pos_type(static_cast<off_type>(count));
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    CountingBuffer sink;
    std::ostream out(&sink);
    Tlzrw1 c;
    c.UseStream = true;
    c.InputStream = &in;
    c.OutputStream = &out;
    try {
        const std::uint64_t n = c.Decompress();
        const std::uint64_t header = size >= 8 ? (data[4] | (std::uint64_t{data[5]} << 8) |
                                                  (std::uint64_t{data[6]} << 16) | (std::uint64_t{data[7]} << 24))
                                               : 0;
        if (n != header || n != sink.count) std::abort();
    } catch (const ELzrw1Exception&) {
    }
    return 0;
}
