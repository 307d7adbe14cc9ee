// Compiled as a file of engine/rules (with that module's include root), this must fail:
// the rules use only common, so the server's header is not there to be found. The test
// layering.rules_cannot_include_server expects exactly that error.
#include "rules/board.h"
#include "server/server.h"
