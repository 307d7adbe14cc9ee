#!/usr/bin/env bash
# Derives the game's two word lists from Debian's SCOWL package (apt-get install scowl).
#   data/words.txt          the dictionary: SCOWL english/american/british up to size 80,
#                           lower-case a-z words of 2 to 14 letters, letter strings
#                           without a vowel or "y" dropped unless they are real words
#   data/computerwords.txt  the computer player's list: common words of up to seven
#                           letters (sizes up to 20 for 5-7 letters, up to 35 for 2-4),
#                           plus "a" and "i"
# Both are sorted in byte order, one word a line.
set -euo pipefail
export LC_ALL=C
dir=/usr/share/dict/scowl
out=$(cd "$(dirname "$0")/.." && pwd)/data
mkdir -p "$out"

lists() { # lists SIZE...: the english, american and british lists of the given sizes
  for s in "$@"; do for k in english american british; do cat "$dir/$k-words.$s"; done; done
}
# Strings without a vowel or "y" that are real words and stay in.
keep='^(hmm|hmmm|nth|psst|crwth|cwm|cwms|crwths|brr|brrr|pst|sh|shh|tsk|tsks|tsktsk|pfft|phpht|grr|zzz)$'

lists 10 20 35 40 50 55 60 70 80 \
  | iconv -f ISO-8859-1 -t UTF-8 \
  | grep -E '^[a-z]{2,14}$' \
  | grep -E "[aeiouy]|$keep" \
  | sort -u > "$out/words.txt"

{ lists 10 20 | iconv -f ISO-8859-1 -t UTF-8 | grep -E '^[a-z]{5,7}$'
  lists 10 20 35 | iconv -f ISO-8859-1 -t UTF-8 | grep -E '^[a-z]{2,4}$'
  printf 'a\ni\n'; } \
  | grep -E "[aeiouy]|$keep|^[ai]$" \
  | sort -u > "$out/computerwords.txt"

# Every computer word of two letters or more must be a dictionary word.
missing=$(comm -23 <(grep -E '^..' "$out/computerwords.txt") "$out/words.txt" | wc -l)
[ "$missing" -eq 0 ] || { echo "computer words missing from the dictionary: $missing" >&2; exit 1; }
wc -l "$out/words.txt" "$out/computerwords.txt"
