#pragma once
// Passwords are kept only as argon2id hashes (libsodium's crypto_pwhash_str, which puts
// the salt and the cost in the hash's text), at libsodium's interactive cost.
#include <optional>
#include <string>
#include <string_view>

namespace quorbit::store {

// The longest password taken, in bytes: a longer one is refused rather than hashed.
inline constexpr std::size_t kMaxPasswordBytes = 1024;

// Whether a password may be set: not empty, not longer than kMaxPasswordBytes.
bool acceptablePassword(std::string_view password);
// How dear a hash is to make and to check. Accounts always get Interactive (libsodium's
// interactive limits); Least exists for measuring everything of a login but the hash.
enum class PasswordCost { Interactive, Least };
// The hash of `password`, or nothing when libsodium cannot start or the memory the hash
// needs cannot be had.
std::optional<std::string> hashPassword(std::string_view password, PasswordCost cost = PasswordCost::Interactive);
// A hash no account's password is: a name without an account is checked against it, so
// that a refusal takes as long whether the name has an account or not, and its timing does
// not tell which names do. Made once, at the accounts' cost.
const std::string& noAccountsHash();
// Whether `password` matches `hash` (false for a hash that is not one of ours).
bool passwordMatches(const std::string& hash, std::string_view password);

}  // namespace quorbit::store
