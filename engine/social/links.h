#pragma once
// Finding a link under a point of the chat box's text, and showing the characters that
// could make a link read as another one.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorbit::social {

// The link prefixes, in the order they are looked for. Only web addresses and Quorbit's
// invite links are links: other schemes (file:, telnet:, mailto: ...) stay plain text.
inline constexpr std::string_view kInviteLinkPrefix = "quorbit://";
inline constexpr std::string_view kLinkPrefixes[] = {"http://", "https://", "www.", kInviteLinkPrefix};

// The link in one blank-separated token: from the first prefix found (in list order,
// any letter case) to the token's end, without trailing characters other than lower-case
// letters, digits and "/" (compared lower-cased). Nothing when it is no longer than the
// prefix itself.
std::optional<std::string> linkInToken(std::string_view token);

// The link at character `index` of the chat box's plain text, whose token runs to the
// nearest blank, CR or LF on either side. Nothing at or beyond the end of the text.
std::optional<std::string> linkAt(std::string_view text, std::size_t index);

// A line that holds a link, with each format character (unicode::isFormat: the
// bidirectional controls, the zero-width characters and every other Cf) written as a
// visible "<U+202E>", so that a link reads as the address it opens: without it,
// "https://evil.example/\u202emoc.knab.www//:sptth" would read as
// "https://evil.example/https://www.bank.com". A line without a link comes back as it
// is: there such characters only shape the text, as in Arabic or Hebrew. `line` is UTF-8;
// bytes that do not read as UTF-8 are kept as they are.
std::string showFormatCharactersNearLinks(std::string_view line);

}  // namespace quorbit::social
