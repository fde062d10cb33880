// The largest model a generation handles: 150 objects of every kind, long
// actions, written the way the state-diagram editor writes its files.
#pragma once

#include <string>

namespace kestrom::bench {

constexpr int kObjectsPerKind = 150;
constexpr int kLinesPerAction = 120; // below the 125 lines an action may keep

// The ASF text, every line ended by CR LF.
std::string LargestAsfText();

} // namespace kestrom::bench
