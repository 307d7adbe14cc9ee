#!/bin/sh
# Formats a manual page as man does and fails on any warning of the formatter.
#   man_warnings.sh PAGE
command -v man >/dev/null || { echo "man is missing: tools/setup.sh installs it (man-db)"; exit 1; }
[ -f "$1" ] || { echo "no manual page $1"; exit 1; }
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$1" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "$1: $warnings"; exit 1; }
