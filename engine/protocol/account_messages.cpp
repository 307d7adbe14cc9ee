#include "protocol/account_messages.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "common/numbers.h"

namespace quorbit::protocol::accounts {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string passwordField(FieldReader& f) {
    const std::string hex = f.next();
    std::optional<std::string> password = passwordFromHex(hex);
    if (!password) throw ConversionError(hex);
    return std::move(*password);
}

RatingModel modelField(FieldReader& f) {
    const std::string text = f.next();
    const std::optional<RatingModel> model = modelNamed(text);
    if (!model) throw ConversionError(text);
    return *model;
}

std::int64_t int64Field(FieldReader& f) {
    const std::string text = f.next();
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) throw ConversionError(text);
    return value;
}

double ratingField(FieldReader& f) {
    const std::string text = f.next();
    const std::optional<double> rating = ratingFromText(text);
    if (!rating) throw ConversionError(text);
    return *rating;
}

std::string optionalRating(RatingModel model, const std::optional<double>& rating) {
    return rating ? ratingText(model, *rating) : std::string();
}

}  // namespace

std::string passwordToHex(std::string_view password) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(password.size() * 2);
    for (const char c : password) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0f];
    }
    return hex;
}

std::optional<std::string> passwordFromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string password;
    password.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]);
        const int low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        password += static_cast<char>(high * 16 + low);
    }
    return password;
}

bool passwordLengthOk(std::string_view password) {
    // A lead byte starts a character and says how many continuation bytes belong to it;
    // any other byte (a continuation byte beyond them, or a byte no UTF-8 has) is one
    // character of its own.
    std::size_t chars = 0;
    int owed = 0;
    for (const char c : password) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xc0) == 0x80 && owed > 0) {
            --owed;
            continue;
        }
        ++chars;
        owed = (byte & 0xe0) == 0xc0 ? 1 : (byte & 0xf0) == 0xe0 ? 2 : (byte & 0xf8) == 0xf0 ? 3 : 0;
    }
    return chars >= kMinPasswordChars && chars <= kMaxPasswordChars;
}

bool tokenShaped(std::string_view token) {
    return token.size() == kTokenChars && token.find_first_not_of(kTokenAlphabet) == std::string_view::npos;
}

std::string_view modelName(RatingModel model) { return model == RatingModel::Duel ? "duel" : "group"; }

std::optional<RatingModel> modelNamed(std::string_view text) {
    if (text == "duel") return RatingModel::Duel;
    if (text == "group") return RatingModel::Group;
    return std::nullopt;
}

std::string ratingText(RatingModel model, std::optional<double> rating) {
    if (!rating || !std::isfinite(*rating)) return {};
    if (model == RatingModel::Duel) return std::to_string(std::llround(*rating));
    // Tenths as a whole number, so that no locale can turn the "." into a ",".
    const long long tenths = std::llround(*rating * 10);
    const long long magnitude = std::llabs(tenths);
    return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10);
}

std::optional<double> ratingFromText(std::string_view text) {
    if (text.empty()) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        throw ConversionError(std::string(text));
    return value;
}

std::string Register::format() const { return joinedFields(kName, {name, passwordToHex(password)}); }
Register Register::parse(std::string_view payload) {
    FieldReader f(payload);
    Register m;
    m.name = f.next();
    m.password = passwordField(f);
    return m;
}

std::string Login::format() const { return joinedFields(kName, {name, passwordToHex(password)}); }
Login Login::parse(std::string_view payload) {
    FieldReader f(payload);
    Login m;
    m.name = f.next();
    m.password = passwordField(f);
    return m;
}

std::string Resume::format() const { return joinedFields(kName, {token}); }
Resume Resume::parse(std::string_view payload) { return Resume{FieldReader(payload).next()}; }

std::string Newpassword::format() const {
    return joinedFields(kName, {passwordToHex(oldPassword), passwordToHex(newPassword)});
}
Newpassword Newpassword::parse(std::string_view payload) {
    FieldReader f(payload);
    Newpassword m;
    m.oldPassword = passwordField(f);
    m.newPassword = passwordField(f);
    return m;
}

std::string Deleteaccount::format() const { return joinedFields(kName, {passwordToHex(password)}); }
Deleteaccount Deleteaccount::parse(std::string_view payload) {
    FieldReader f(payload);
    return Deleteaccount{passwordField(f)};
}

std::string Leaderboard::format() const { return joinedFields(kName, {std::string(modelName(model))}); }
Leaderboard Leaderboard::parse(std::string_view payload) {
    FieldReader f(payload);
    return Leaderboard{modelField(f)};
}

std::string History::format() const { return joinedFields(kName, {name}); }
History History::parse(std::string_view payload) { return History{FieldReader(payload).next()}; }

std::string Loggedin::format() const { return joinedFields(kName, {name, token}); }
Loggedin Loggedin::parse(std::string_view payload) {
    FieldReader f(payload);
    Loggedin m;
    m.name = f.next();
    m.token = f.next();
    return m;
}

std::string Accountrefused::format() const { return joinedFields(kName, {text}); }
Accountrefused Accountrefused::parse(std::string_view payload) { return Accountrefused{FieldReader(payload).next()}; }

std::string Accountdone::format() const { return joinedFields(kName, {text}); }
Accountdone Accountdone::parse(std::string_view payload) { return Accountdone{FieldReader(payload).next()}; }

std::string Personrating::format() const {
    return joinedFields(kName, {name, optionalRating(RatingModel::Duel, duel), optionalRating(RatingModel::Group, group),
                                std::to_string(games)});
}
Personrating Personrating::parse(std::string_view payload) {
    FieldReader f(payload);
    Personrating m;
    m.name = f.next();
    m.duel = ratingFromText(f.nextView());
    m.group = ratingFromText(f.nextView());
    m.games = f.nextInt();
    return m;
}

std::string Leader::format() const {
    return joinedFields(kName, {std::string(modelName(model)), std::to_string(rank), name, ratingText(model, rating),
                                std::to_string(games)});
}
Leader Leader::parse(std::string_view payload) {
    FieldReader f(payload);
    Leader m;
    m.model = modelField(f);
    m.rank = f.nextInt();
    m.name = f.next();
    m.rating = ratingField(f);
    m.games = f.nextInt();
    return m;
}

std::string Leaderend::format() const {
    return joinedFields(kName, {std::string(modelName(model)), std::to_string(count)});
}
Leaderend Leaderend::parse(std::string_view payload) {
    FieldReader f(payload);
    Leaderend m;
    m.model = modelField(f);
    m.count = f.nextInt();
    return m;
}

std::string Historygame::format() const {
    return joinedFields(kName, {name, std::to_string(game), std::to_string(finished), std::string(modelName(model)),
                                ratingText(model, before), ratingText(model, after)});
}
Historygame Historygame::parse(std::string_view payload) {
    FieldReader f(payload);
    Historygame m;
    m.name = f.next();
    m.game = int64Field(f);
    m.finished = int64Field(f);
    m.model = modelField(f);
    m.before = ratingField(f);
    m.after = ratingField(f);
    return m;
}

std::string Historyend::format() const { return joinedFields(kName, {name, std::to_string(count)}); }
Historyend Historyend::parse(std::string_view payload) {
    FieldReader f(payload);
    Historyend m;
    m.name = f.next();
    m.count = f.nextInt();
    return m;
}

}  // namespace quorbit::protocol::accounts
