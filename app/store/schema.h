#pragma once
// The schema's steps: step N (1-based) takes a database from version N-1 to N. A step is
// a list of statements; "%ID%" stands for the column type of a generated key, which the
// two databases spell differently.
#include <QStringList>
#include <vector>

namespace quorbit::store {

const std::vector<QStringList>& schemaSteps();

}  // namespace quorbit::store
