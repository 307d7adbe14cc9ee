#pragma once
// Small range checks shared by the client's message handlers.
#include <climits>

#include "rules/scoring.h"

namespace quorbit::client {

inline bool isSlot(int slot) { return slot >= 1 && slot <= rules::kMaxWord; }
// Shuffles pictures show 0 to 5 boxes.
inline int shufflesPicture(int left) { return left < 0 ? 0 : (left > 5 ? 5 : left); }

// a - b without leaving the range of int.
inline int saturatingMinus(int a, int b) {
    const long long v = static_cast<long long>(a) - b;
    return v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : static_cast<int>(v));
}

}  // namespace quorbit::client
