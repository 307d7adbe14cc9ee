#pragma once
// "quorbit --tile-sets": prints the names of the tile sets that the Tiles menu would
// offer, one a line, from the user's folder and the shipped ones. No display needed.
namespace quorbit::shell {

// Returns the process exit code (0).
int printTileSets(int argc, char** argv);

}  // namespace quorbit::shell
