#pragma once
// Text from outside made safe for a log or a terminal.
#include <string>
#include <string_view>

namespace quorbit {

// `text` with every byte that could act instead of showing written as "\xNN": control
// bytes, the bytes of C1 controls, of format characters (such as the bidirectional
// controls) and of line separators, and every byte that starts no well-formed UTF-8
// sequence. A backslash becomes "\\", so an escape can't be forged. The result is
// printable, valid UTF-8 on one line.
std::string escapeForLog(std::string_view text);

// `text` as a person reads it on a terminal or in a list: valid UTF-8 only (a byte that
// starts no well-formed sequence becomes U+FFFD), control characters as "\xNN", and the
// invisible characters that would reorder or hide text (format characters such as the
// bidirectional controls and the zero-width characters, line and paragraph separators)
// as "\uNNNN", so a name cannot move a terminal's cursor, set its title or disguise itself.
std::string printableText(std::string_view text);

}  // namespace quorbit
