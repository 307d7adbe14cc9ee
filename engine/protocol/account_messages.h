#pragma once
// The messages of accounts and ratings at a table server (names in protocol/names.h), as
// values with one format() and one parse() each, like those of messages.h. docs/protocol.md
// says who sends each and when.
//
// A password travels as its UTF-8 bytes in hexadecimal, two lower-case digits a byte, so
// that it may hold any character (a "+" or the terminator among them). The message values
// hold the password itself: format() writes the digits and parse() reads them back. A
// password field that is not hexadecimal (an odd count of digits, or anything but 0-9,
// a-f, A-F) voids the whole message: parse() throws ConversionError, as for a number
// field that is not a number, and the line is dropped.
//
// Ratings are written as the lobby shows them: the duel rating (Glicko-2) as a whole
// number, the group rating (Weng-Lin's cautious estimate) with one decimal after a ".",
// and an empty field for a model the person has not played.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/fields.h"
#include "protocol/names.h"

namespace quorbit::protocol::accounts {

// How long a password may be, in characters (UTF-8 code points).
inline constexpr std::size_t kMinPasswordChars = 8;
inline constexpr std::size_t kMaxPasswordChars = 256;
// A session token's length and the characters it is drawn from.
inline constexpr std::size_t kTokenChars = 32;
inline constexpr std::string_view kTokenAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// At most this many lines answer one ask for the leaderboard, and one for a history.
inline constexpr int kLeaderLines = 100;
inline constexpr int kHistoryLines = 50;

// The password's bytes as the wire carries them, and back (nothing for text that is not
// hexadecimal).
std::string passwordToHex(std::string_view password);
std::optional<std::string> passwordFromHex(std::string_view hex);
// Whether a password has kMinPasswordChars to kMaxPasswordChars characters. Bytes that are
// not valid UTF-8 count one character each.
bool passwordLengthOk(std::string_view password);
// Whether `token` has the shape of a session token (kTokenChars of kTokenAlphabet).
bool tokenShaped(std::string_view token);

// The two rating models as the lobby names them.
enum class RatingModel { Duel, Group };
std::string_view modelName(RatingModel model);  // "duel", "group"
std::optional<RatingModel> modelNamed(std::string_view text);
// A rating written as the lobby shows it for `model`; nothing writes an empty field.
std::string ratingText(RatingModel model, std::optional<double> rating);
// A rating field read back: empty is nothing; anything but a decimal number throws
// ConversionError.
std::optional<double> ratingFromText(std::string_view text);

// ---- client to server ----

// Register a name (cleaned as a player's name by the server) and log in to it.
struct Register {
    QUORBIT_WIRE_MESSAGE(Register, registeraccount);
    std::string name;
    std::string password;
};

struct Login {
    QUORBIT_WIRE_MESSAGE(Login, login);
    std::string name;
    std::string password;
};

// Log in with a session token the server gave.
struct Resume {
    QUORBIT_WIRE_MESSAGE(Resume, resume);
    std::string token;
};

// Change the logged-in account's password.
struct Newpassword {
    QUORBIT_WIRE_MESSAGE(Newpassword, newpassword);
    std::string oldPassword;
    std::string newPassword;
};

// Delete the logged-in account and log out.
struct Deleteaccount {
    QUORBIT_WIRE_MESSAGE(Deleteaccount, deleteaccount);
    std::string password;
};

// Ask for the best of a model. An unknown model voids the message (ConversionError).
struct Leaderboard {
    QUORBIT_WIRE_MESSAGE(Leaderboard, leaderboard);
    RatingModel model = RatingModel::Duel;
};

// Ask for a person's latest rated games.
struct History {
    QUORBIT_WIRE_MESSAGE(History, history);
    std::string name;
};

// ---- server to client ----

// Logged in to the account NAME (as registered), with a session token for the same
// person's other connections.
struct Loggedin {
    QUORBIT_WIRE_MESSAGE(Loggedin, loggedin);
    std::string name;
    std::string token;
};

// An account message was refused, and why, as a sentence to show.
struct Accountrefused {
    QUORBIT_WIRE_MESSAGE(Accountrefused, accountrefused);
    std::string text;
};

// A password change or a deletion was done, as a sentence to show.
struct Accountdone {
    QUORBIT_WIRE_MESSAGE(Accountdone, accountdone);
    std::string text;
};

// A registered person's ratings (nothing for a model not played) and rated games.
struct Personrating {
    QUORBIT_WIRE_MESSAGE(Personrating, personrating);
    std::string name;
    std::optional<double> duel;
    std::optional<double> group;
    int games = 0;
};

// One line of the leaderboard: rank from 1, the rating as the model shows it, and the
// person's games of that model. An unknown model voids the message.
struct Leader {
    QUORBIT_WIRE_MESSAGE(Leader, leader);
    RatingModel model = RatingModel::Duel;
    int rank = 0;
    std::string name;
    double rating = 0;
    int games = 0;
};

struct Leaderend {
    QUORBIT_WIRE_MESSAGE(Leaderend, leaderend);
    RatingModel model = RatingModel::Duel;
    int count = 0;
};

// One rated game of a person, the latest first: the game's number, when it finished
// (seconds since 1970 UTC), its model and the person's rating of that model before and
// after it.
struct Historygame {
    QUORBIT_WIRE_MESSAGE(Historygame, historygame);
    std::string name;
    std::int64_t game = 0;
    std::int64_t finished = 0;
    RatingModel model = RatingModel::Duel;
    double before = 0;
    double after = 0;
};

struct Historyend {
    QUORBIT_WIRE_MESSAGE(Historyend, historyend);
    std::string name;
    int count = 0;
};

}  // namespace quorbit::protocol::accounts
