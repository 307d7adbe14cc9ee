// Command-line front end of the file compressor (filled in with the compressor).
#include <cstdio>
int main() { std::fputs("quorbit-lzrw1: not built yet\n", stderr); return 2; }
