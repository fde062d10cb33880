// What a run in the diagram's own hardware language is told beside the file:
// where included files are, macro values from the command line, and the VHDL
// packages whose constants the design uses.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kestrom::translation {

struct HdlOptions {
    bool Enabled = false;                                     // --hdl
    std::vector<std::string> IncludeDirs;                     // -I DIR, in the order given
    std::vector<std::pair<std::string, std::string>> Defines; // --define NAME=VALUE
    std::vector<std::string> Packages;                        // --package FILE.vhd
};

} // namespace kestrom::translation
