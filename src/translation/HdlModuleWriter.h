// The SystemC module of a real diagram: one clocked process that, at each
// rising edge, runs the translated texts with the registered semantics of
// the hardware the diagram describes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/Diagnostics.h"
#include "extensions/Extensions.h"
#include "extensions/ModulePorts.h"
#include "extensions/TestBench.h"
#include "machine/FlatMachine.h"
#include "translation/ParsedDesign.h"

namespace kestrom::translation {

struct ModuleRequest {
    std::string ModuleName; // the header's ENTITY
    std::string SourceName; // the ASF file's name, for the opening comment
    bool Thread = true;     // SC_THREAD, else SC_METHOD
    bool StatePort = false; // sc_out <int> fsm_state: the code of the current state
    bool CoverageHooks = false;
    // Each translated text's C++ after a #line directive naming its ASF line.
    std::optional<Extensions::LineNames> LineDirectives;
};

// A value of the module that is no port: a register (member r_NAME) or a wire
// of the diagram actions (w_NAME), as a simulator shows it.
struct InternalSignal {
    std::string Name;
    std::string Member;
    int Width = 1;
    bool Signed = false; // held in the two's complement of Width bits
};

struct WrittenModule {
    std::string Text;
    std::vector<ModulePort> Ports; // as a test bench binds them, the state port last
    // The reset condition as C++ over the module's ports (PORT.read ()) and
    // `kestrom_module`, for a test bench; empty without a reset.
    std::string ResetExpression;
    std::vector<std::string> ResetReads; // the input ports it reads
    int ResetLine = 0;
    std::vector<BenchTransition> Transitions; // what each KESTROM_COVERAGE number names
    std::vector<InternalSignal> Internals;    // in the order of the declarations
};

// Throws hdl::TranslationError for what cannot be written (no clock, a value
// wider than 64 bits); warns about choices that can never be taken.
WrittenModule WriteHdlModule(const machine::FlatMachine& machine, const ParsedDesign& design,
                             const ModuleRequest& request, Diagnostics& warnings);

} // namespace kestrom::translation
