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
// The hash of `password`, or nothing when libsodium cannot start or the memory the hash
// needs cannot be had.
std::optional<std::string> hashPassword(std::string_view password);
// Whether `password` matches `hash` (false for a hash that is not one of ours).
bool passwordMatches(const std::string& hash, std::string_view password);

}  // namespace quorbit::store
