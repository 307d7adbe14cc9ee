#pragma once
// What screen readers see of the game panel's own widgets, through Qt's accessibility
// (AT-SPI on Linux): the board as a table of 49 named squares that follows the focus
// square, and the clickable pictures (rack slots, direction arrows) as buttons that can be
// pressed.
namespace quorbit::app {

// Registers the interfaces with Qt once; later calls do nothing.
void installAccessibleFactories();

}  // namespace quorbit::app
