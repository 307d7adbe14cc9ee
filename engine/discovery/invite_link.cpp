#include "discovery/invite_link.h"

#include <algorithm>

#include "common/unicode_text.h"
#include "discovery/address.h"

namespace quorbit::discovery {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isUnreserved(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '.' || c == '_' ||
           c == '~';
}
int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    const char u = upper(c);
    return u >= 'A' && u <= 'F' ? u - 'A' + 10 : -1;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

InviteLinkRead failed(std::string why) {
    InviteLinkRead r;
    r.error = std::move(why);
    return r;
}

// "%XX" decoded; false for a "%" without two hexadecimal digits.
bool percentDecode(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int hi = hexValue(text[i + 1]);
        const int lo = hexValue(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

std::string percentEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        if (isUnreserved(c)) {
            out += c;
        } else {
            const auto b = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

// A table's name from a link: UTF-8 with nothing invisible that would steer how it reads,
// no "+" (the server takes it out of every name), at most kMaxInviteTableChars characters.
std::string tableNameProblem(std::string_view name) {
    std::size_t chars = 0;
    for (std::size_t at = 0; at < name.size(); ++chars) {
        const unicode::Decoded d = unicode::decodeAt(name, at);
        if (d.length == 0) return "The table's name in the link is not UTF-8 text.";
        if (unicode::isInvisibleControl(d.cp)) return "The table's name in the link holds a control character.";
        if (d.cp == U'+') return "A table's name never holds \"+\".";
        at += d.length;
    }
    if (chars > kMaxInviteTableChars) return "The table's name in the link is longer than a table's name may be.";
    return {};
}

std::string hostText(std::string_view host) {
    return host.find(':') != std::string_view::npos ? "[" + std::string(host) + "]" : std::string(host);
}

}  // namespace

bool isInviteCode(std::string_view code) {
    if (code.size() != kInviteCodeLength) return false;
    return std::all_of(code.begin(), code.end(), [](char c) {
        const char u = upper(c);
        return (u >= 'A' && u <= 'Z') || (c >= '2' && c <= '9');
    });
}

InviteLinkRead parseInviteLink(std::string_view text) {
    text = trim(text);
    if (text.size() > kMaxInviteLink) return failed("The link is too long.");
    if (text.size() < kInviteScheme.size() ||
        !std::equal(kInviteScheme.begin(), kInviteScheme.end(), text.begin(),
                    [](char a, char b) { return a == upper(b) || upper(a) == upper(b); }))
        return failed("A Quorbit link begins with \"quorbit://\".");
    text.remove_prefix(kInviteScheme.size());
    const std::size_t slash = std::min(text.find('/'), text.size());
    std::string authority;
    if (!percentDecode(text.substr(0, slash), authority) || authority.find('@') != std::string::npos)
        return failed("The link's server address does not read.");
    const JoinAddress address = parseJoinAddress(authority, kInvitePort);
    if (!address.ok() || authority != trim(authority)) return failed("The link's server address does not read.");
    if (address.kind == AddressKind::IPv6 && authority.front() != '[')
        return failed("An IPv6 address in a link stands in brackets.");

    InviteLinkRead r;
    r.link.host = address.host;
    r.link.port = address.port;
    std::string_view rest = text.substr(std::min(slash + 1, text.size()));
    if (rest.empty()) return r;  // the server alone
    if (rest.front() == '?') {
        constexpr std::string_view kInvite = "?invite=";
        if (rest.substr(0, kInvite.size()) != kInvite) return failed("The link asks for something other than an invite.");
        const std::string_view code = rest.substr(kInvite.size());
        if (!isInviteCode(code)) return failed("The link's invite code is not one.");
        for (const char c : code) r.link.code += upper(c);
        return r;
    }
    if (rest.find_first_of("/?#") != std::string_view::npos)
        return failed("The link has more after the table's name than a table's name.");
    if (!percentDecode(rest, r.link.table)) return failed("The table's name in the link does not read.");
    if (std::string why = tableNameProblem(r.link.table); !why.empty()) return failed(std::move(why));
    if (trim(r.link.table).empty()) return failed("The link's table has no name.");
    return r;
}

std::string formatInviteLink(const InviteLink& link) {
    std::string host = link.host;
    if (const std::size_t zone = host.find('%'); zone != std::string::npos) host.replace(zone, 1, "%25");
    std::string out = std::string(kInviteScheme) + hostText(host);
    if (link.port != kInvitePort) out += ":" + std::to_string(link.port);
    out += '/';
    if (link.isPrivate())
        out += "?invite=" + link.code;
    else
        out += percentEncode(link.table);
    return out;
}

std::string formatServerAddress(std::string_view host, int port) { return hostText(host) + ":" + std::to_string(port); }

std::string formatTableAddress(std::string_view host, int port, std::string_view table) {
    return formatServerAddress(host, port) + "/" + std::string(table);
}

}  // namespace quorbit::discovery
