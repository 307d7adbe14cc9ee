#include "app/store/passwords.h"

#include <sodium.h>

namespace quorbit::store {
namespace {

bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

}  // namespace

bool acceptablePassword(std::string_view password) {
    return !password.empty() && password.size() <= kMaxPasswordBytes;
}

std::optional<std::string> hashPassword(std::string_view password, PasswordCost cost) {
    if (!sodiumReady() || !acceptablePassword(password)) return std::nullopt;
    char out[crypto_pwhash_STRBYTES];
    const bool least = cost == PasswordCost::Least;
    if (crypto_pwhash_str(out, password.data(), password.size(),
                          least ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          least ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return std::nullopt;
    return std::string(out);
}

const std::string& noAccountsHash() {
    static const std::string hash = hashPassword("a password of no account").value_or(std::string());
    return hash;
}

bool passwordMatches(const std::string& hash, std::string_view password) {
    if (!sodiumReady() || !acceptablePassword(password) || hash.size() >= crypto_pwhash_STRBYTES) return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace quorbit::store
