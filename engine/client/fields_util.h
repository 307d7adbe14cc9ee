#pragma once
// Small readers and range checks shared by the client's message handlers.
#include <climits>
#include <string>

#include "protocol/fields.h"
#include "rules/scoring.h"

namespace quorbit::client {

// The last field of a message that has no "+" after it: up to the next "+" if there is
// one, else the whole remaining payload.
inline std::string lastField(protocol::FieldReader& f) {
    const std::string rest = f.rest();
    return rest.find('+') == std::string::npos ? rest : f.next();
}
inline int lastInt(protocol::FieldReader& f) { return quorbit::strToInt(lastField(f)); }

// A number field that counts as 0 when it is not a number.
inline int intOrZero(protocol::FieldReader& f) {
    const auto v = quorbit::toInt(f.next());
    return v ? *v : 0;
}

inline bool isSlot(int slot) { return slot >= 1 && slot <= rules::kMaxWord; }
// Shuffles pictures show 0 to 5 boxes.
inline int shufflesPicture(int left) { return left < 0 ? 0 : (left > 5 ? 5 : left); }

// a - b without leaving the range of int.
inline int saturatingMinus(int a, int b) {
    const long long v = static_cast<long long>(a) - b;
    return v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : static_cast<int>(v));
}

}  // namespace quorbit::client
