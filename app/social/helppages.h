#pragma once
// The help window's six pages, as rich text.
#include <QString>

namespace quorbit::help {

inline constexpr int kPages = 6;
// The topic caption of page n (1..6): "Overview" ... "License".
QString topic(int n);
// The rich text of page n (1..6).
QString page(int n);

}  // namespace quorbit::help
