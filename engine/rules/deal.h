#pragma once
// The deal: which letter each draw of 1..98 brings.
#include <array>

namespace quorbit::rules {

// The letter code dealt for a draw v of 1..98; each letter covers as many values as its
// weight (E twelve, A and I nine, ..., J, K, Q, X and Z one). Values outside 1..98 give A.
int drawcode(int v);

// The letter code dealt for a draw v of 1..98 with a language's weights for A..Z (98 in
// all): the letters cover the values in alphabetical order, each as many as its weight.
// Values outside 1..98, or past weights that do not reach 98, give the first letter dealt.
int drawcode(int v, const std::array<int, 26>& weights);

}  // namespace quorbit::rules
