#pragma once
// The server's deal: which letter each draw of 1..98 brings.
namespace quorbit::server {

// The letter code dealt for a draw v of 1..98; each letter covers as many values as its
// weight (E twelve, A and I nine, ..., J, K, Q, X and Z one). Values outside 1..98 give A.
int drawcode(int v);

}  // namespace quorbit::server
