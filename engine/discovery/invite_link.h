#pragma once
// Invite links: quorbit://HOST[:PORT]/TABLE names a public table of a table server,
// quorbit://HOST[:PORT]/?invite=CODE a private table, and quorbit://HOST[:PORT] (or with
// a lone "/") the server alone. TABLE is percent-encoded as a URL's path is; an IPv6
// HOST stands in brackets; PORT is 7772 when left out. Links arrive from browsers, chat
// lines and the command line, so every text has an answer: a link, or the reason it is
// none.
#include <string>
#include <string_view>

namespace quorbit::discovery {

inline constexpr std::string_view kInviteScheme = "quorbit://";
inline constexpr int kInvitePort = 7772;
// No link is longer than this, in bytes; a table's name at most this many characters.
inline constexpr std::size_t kMaxInviteLink = 2048;
inline constexpr std::size_t kMaxInviteTableChars = 24;
// An invite code: this many of A-Z and 2-9.
inline constexpr std::size_t kInviteCodeLength = 10;

struct InviteLink {
    std::string host;   // without brackets (an IPv6 zone as "%zone")
    int port = kInvitePort;
    std::string table;  // a public table's name, decoded; empty for the others
    std::string code;   // a private table's invite code, in capitals; empty for the others
    bool namesTable() const { return !table.empty(); }
    bool isPrivate() const { return !code.empty(); }
    friend bool operator==(const InviteLink&, const InviteLink&) = default;
};

struct InviteLinkRead {
    InviteLink link;
    std::string error;  // empty when the text is a link
    bool ok() const { return error.empty(); }
};

// Reads a link (the scheme in any letter case; blanks around it ignored).
InviteLinkRead parseInviteLink(std::string_view text);
// The link's text; parseInviteLink reads it back as the same link.
std::string formatInviteLink(const InviteLink& link);

// Whether `code` is an invite code (any letter case).
bool isInviteCode(std::string_view code);

// The second parameter of the game for a public table: HOST:PORT/TABLE, the port always
// written and an IPv6 host in brackets; the table's name as it is (not encoded), so that
// everything after the first "/" that follows the port is the name.
std::string formatTableAddress(std::string_view host, int port, std::string_view table);
// HOST:PORT alone, as above.
std::string formatServerAddress(std::string_view host, int port);

}  // namespace quorbit::discovery
