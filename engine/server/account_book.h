#pragma once
// AccountBook: what a table server asks of the keeper of its accounts and ratings (the
// host, over its database). Registering, logging in, resuming a session, changing a
// password and deleting an account take a password hash's time, so they are asked and
// answered later: the host calls TableServer::accountAnswered with the request's serial.
// Whether a name is registered, a person's ratings, the leaderboard and a history are
// indexed look-ups, asked and answered at once.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/account_messages.h"
#include "server/server_output.h"

namespace quorbit::server {

struct AccountRequest {
    enum class Kind { Register, Login, Resume, NewPassword, Delete };
    Kind kind = Kind::Login;
    std::uint64_t serial = 0;  // names the request in its answer
    ConnectionId id = 0;
    std::string address;       // the connection's remote address, for slowing failed logins
    std::string name;          // Register, Login: the name as sent, cleaned; NewPassword, Delete: the account's
    std::string password;      // Register, Login, Delete; NewPassword: the old one
    std::string newPassword;   // NewPassword
    std::string token;         // Resume; NewPassword: the session the connection holds, which stays
    std::int64_t nowMs = 0;
};

struct AccountAnswer {
    enum class Kind { LoggedIn, Done, Refused };
    Kind kind = Kind::Refused;
    std::string name;   // LoggedIn: the account's name as registered
    std::string token;  // LoggedIn: the session token
    std::string text;   // Done, Refused: the sentence to show
};

struct PersonRatings {
    std::optional<double> duel;   // nothing when no duel was played
    std::optional<double> group;  // the cautious estimate; nothing when no group game was played
    int games = 0;
};

struct LeaderRow {
    std::string name;
    double rating = 0;
    int games = 0;  // of that model
};

struct HistoryRow {
    std::int64_t game = 0;
    std::int64_t finished = 0;
    protocol::accounts::RatingModel model = protocol::accounts::RatingModel::Duel;
    double before = 0;
    double after = 0;
};

struct PersonHistory {
    std::string name;  // as registered
    std::vector<HistoryRow> games;  // the latest first
};

class AccountBook {
public:
    virtual ~AccountBook() = default;
    // Starts a request; its answer comes through TableServer::accountAnswered, never from
    // within this call.
    virtual void ask(const AccountRequest& request) = 0;
    virtual bool registered(std::string_view name) = 0;
    // Nothing for a name without an account.
    virtual std::optional<PersonRatings> ratings(std::string_view name) = 0;
    virtual std::vector<LeaderRow> top(protocol::accounts::RatingModel model, int count) = 0;
    virtual std::optional<PersonHistory> history(std::string_view name, int count) = 0;
};

// The sentences of the account messages, as the program shows them.
namespace accounttext {
inline constexpr std::string_view kWrongLogin = "Wrong name or password.";
inline constexpr std::string_view kNameRegistered = "That name is registered already.";
inline constexpr std::string_view kBadName = "That name cannot be registered.";
inline constexpr std::string_view kNameInUse = "Somebody else is using that name now.";
inline constexpr std::string_view kPasswordLength = "A password has 8 to 256 characters.";
inline constexpr std::string_view kPlain = "Passwords travel only over an encrypted connection.";
inline constexpr std::string_view kLoggedInAlready = "You are logged in already.";
inline constexpr std::string_view kNoAccounts = "Accounts are not kept on this server.";
inline constexpr std::string_view kNotStored = "The account could not be stored: try again later.";
inline constexpr std::string_view kPasswordChanged = "Your password is changed.";
inline constexpr std::string_view kDeleted = "Your account is deleted.";
inline constexpr std::string_view kWrongPassword = "Wrong password.";
inline constexpr std::string_view kNotLoggedIn = "You are not logged in.";
// "Too many failed logins: try again in N seconds."
std::string tooManyFailures(std::int64_t waitMs);
}  // namespace accounttext

}  // namespace quorbit::server
