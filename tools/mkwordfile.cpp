// Builds the word file from a word list: one 15-byte record a word (the byte 0x1E,
// then the word upper-cased, cut to 14 letters and padded with spaces), sorted in
// byte order of the 14 word bytes. Used by the build to embed the list.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: quorbit_mkwordfile WORDS.txt OUT\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<std::string> records;
    std::string line;
    while (std::getline(in, line)) {
        std::string word;
        for (char c : line)
            if (std::isalpha(static_cast<unsigned char>(c))) word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (word.empty()) continue;
        word.resize(14, ' ');
        records.push_back(word);
    }
    std::sort(records.begin(), records.end());
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    for (const auto& r : records) {
        out.put('\x1e');
        out.write(r.data(), 14);
    }
    if (!out) {
        std::cerr << "cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
