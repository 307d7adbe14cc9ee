#pragma once
// Cutting a byte stream into messages, and splitting a message into name and payload.
//
// A message is text ended by the byte 0xFF. Bytes after the last 0xFF of a read are
// kept per connection and joined to the next read, so a message split across two
// reads arrives whole.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorbit::protocol {

inline constexpr char kTerminator = '\xFF';
// No line of the game comes near this size: a longer one is an overflow.
inline constexpr std::size_t kMaxTail = 64 * 1024;

// Appends the terminator to a built message.
std::string frame(std::string_view message);

// Per-connection cutter: feeds received bytes, hands out complete lines in order.
//
// A line longer than kMaxTail is an overflow: it is dropped whole, however the reads
// split it. Everything up to and including its terminator is skipped, so no part of it
// is ever handed out as a line of its own.
class LineCutter {
public:
    // Appends every complete line of `bytes` (joined to the kept tail) to `out`, each
    // decoded as wire text. Returns false when this read overflowed a line; the lines
    // before and after the overflowing one are still handed out.
    bool feed(std::string_view bytes, std::vector<std::string>& out);
    // The same, with each line's bytes exactly as they came (not decoded).
    bool feedRaw(std::string_view bytes, std::vector<std::string>& out);
    std::size_t tailSize() const { return tail_.size(); }
    bool skipping() const { return skipping_; }  // inside an overflowing line
    void reset() {
        tail_.clear();
        skipping_ = false;
    }

private:
    template <typename Take>
    bool cut(std::string_view bytes, Take&& take);

    std::string tail_;
    bool skipping_ = false;
};

// Wire text is UTF-8. A line that is not valid UTF-8 is read as Windows-1252 and
// converted to UTF-8, so every string inside the program is UTF-8.
bool isValidUtf8(std::string_view text);
std::string decodeWireText(std::string_view raw);

struct SplitLine {
    std::string_view name;     // everything before the first "+"
    std::string_view payload;  // everything after it
};
// Splits a line at its first "+". No "+" or an empty name gives nothing: the line is dropped.
std::optional<SplitLine> splitLine(std::string_view line);

}  // namespace quorbit::protocol
