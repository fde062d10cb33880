// A large drawing written the way the state-diagram editor writes its files:
// states on a grid, each with a label, an action and a transition to its
// right-hand neighbour (curved, over continuation lines), plus ports.
#pragma once

#include <string>

namespace kestrom::bench {

constexpr int kLargeDrawingStates = 2000;

// The ASF text, every line ended by CR LF.
std::string LargeDrawingAsfText(int states = kLargeDrawingStates);

} // namespace kestrom::bench
