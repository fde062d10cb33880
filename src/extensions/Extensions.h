// Opt-in additions to the generated module. With every member at its default
// the output is exactly the plain generator's.
#pragma once

#include <optional>
#include <string>

namespace kestrom {

enum class ResetStyle { None, Sync, Async };

struct Extensions {
    ResetStyle Reset = ResetStyle::None; // --reset sync|async
    bool ActionKinds = false;            // --action-kinds
    bool TypedPorts = false;             // --typed-ports
    bool StatePort = false;              // --state-port
    bool AnyVersion = false;             // --any-version: VERSION=1.15 … 1.29
    // Set by --testbench: each drawn transition, when taken, names itself to
    // KESTROM_COVERAGE, which only the test bench defines.
    bool CoverageHooks = false;
    // Set by the simulator's build: each action and condition is preceded by
    // a #line directive naming its line in AsfFile, so the compiler's errors
    // point at the diagram; the module's own lines name ModuleFile.
    struct LineNames {
        std::string AsfFile;
        std::string ModuleFile;
    };
    std::optional<LineNames> LineDirectives;
};

// "#line N "FILE"", with the file name's quotes and backslashes escaped.
inline std::string LineDirective(int line, const std::string& file) {
    std::string quoted = "#line " + std::to_string(line) + " \"";
    for (char c : file) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c == '\n' ? ' ' : c;
    }
    return quoted + "\"";
}

} // namespace kestrom
