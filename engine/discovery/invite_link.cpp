#include "discovery/invite_link.h"

#include <algorithm>

#include "common/unicode_text.h"
#include "discovery/address.h"

namespace quorbit::discovery {
namespace {

bool isLinkDigit(char c) { return c >= '0' && c <= '9'; }
char linkUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isUnreserved(char c) {
    return isLinkDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '.' || c == '_' ||
           c == '~';
}
int hexDigitValue(char c) {
    if (isLinkDigit(c)) return c - '0';
    const char u = linkUpper(c);
    return u >= 'A' && u <= 'F' ? u - 'A' + 10 : -1;
}

std::string_view trimLink(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

InviteLinkRead notALink(std::string why) {
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
        const int hi = hexDigitValue(text[i + 1]);
        const int lo = hexDigitValue(text[i + 2]);
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

std::string bracketedHost(std::string_view host) {
    return host.find(':') != std::string_view::npos ? "[" + std::string(host) + "]" : std::string(host);
}

}  // namespace

bool isInviteCode(std::string_view code) {
    if (code.size() != kInviteCodeLength) return false;
    return std::all_of(code.begin(), code.end(), [](char c) {
        const char u = linkUpper(c);
        return (u >= 'A' && u <= 'Z') || (c >= '2' && c <= '9');
    });
}

InviteLinkRead parseInviteLink(std::string_view text) {
    text = trimLink(text);
    if (text.size() > kMaxInviteLink) return notALink("The link is too long.");
    if (text.size() < kInviteScheme.size() ||
        !std::equal(kInviteScheme.begin(), kInviteScheme.end(), text.begin(),
                    [](char a, char b) { return a == linkUpper(b) || linkUpper(a) == linkUpper(b); }))
        return notALink("A Quorbit link begins with \"quorbit://\".");
    text.remove_prefix(kInviteScheme.size());
    const std::size_t slash = std::min(text.find('/'), text.size());
    std::string authority;
    if (!percentDecode(text.substr(0, slash), authority) || authority.find('@') != std::string::npos)
        return notALink("The link's server address does not read.");
    const JoinAddress address = parseJoinAddress(authority, kInvitePort);
    if (!address.ok() || authority != trimLink(authority)) return notALink("The link's server address does not read.");
    if (address.kind == AddressKind::IPv6 && authority.front() != '[')
        return notALink("An IPv6 address in a link stands in brackets.");

    InviteLinkRead r;
    r.link.host = address.host;
    r.link.port = address.port;
    std::string_view rest = text.substr(std::min(slash + 1, text.size()));
    if (rest.empty()) return r;  // the server alone
    if (rest.front() == '?') {
        constexpr std::string_view kInvite = "?invite=";
        if (rest.substr(0, kInvite.size()) != kInvite) return notALink("The link asks for something other than an invite.");
        const std::string_view code = rest.substr(kInvite.size());
        if (!isInviteCode(code)) return notALink("The link's invite code is not one.");
        for (const char c : code) r.link.code += linkUpper(c);
        return r;
    }
    if (rest.find_first_of("/?#") != std::string_view::npos)
        return notALink("The link has more after the table's name than a table's name.");
    if (!percentDecode(rest, r.link.table)) return notALink("The table's name in the link does not read.");
    if (std::string why = tableNameProblem(r.link.table); !why.empty()) return notALink(std::move(why));
    if (trimLink(r.link.table).empty()) return notALink("The link's table has no name.");
    return r;
}

std::string formatInviteLink(const InviteLink& link) {
    std::string host = link.host;
    if (const std::size_t zone = host.find('%'); zone != std::string::npos) host.replace(zone, 1, "%25");
    std::string out = std::string(kInviteScheme) + bracketedHost(host);
    if (link.port != kInvitePort) out += ":" + std::to_string(link.port);
    out += '/';
    if (link.isPrivate())
        out += "?invite=" + link.code;
    else
        out += percentEncode(link.table);
    return out;
}

std::string formatServerAddress(std::string_view host, int port) { return bracketedHost(host) + ":" + std::to_string(port); }

std::string formatTableAddress(std::string_view host, int port, std::string_view table) {
    return formatServerAddress(host, port) + "/" + std::string(table);
}

}  // namespace quorbit::discovery
