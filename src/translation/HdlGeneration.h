// kestrom-gen --hdl: a real diagram read once, flattened, its texts
// translated and written as one SystemC module, with a test bench on demand.
#pragma once

#include <string>

#include "base/Diagnostics.h"
#include "extensions/TestBenchGeneration.h"
#include "translation/HdlModuleWriter.h"
#include "translation/HdlOptions.h"

namespace kestrom::translation {

struct HdlRequest {
    std::string AsfPath;   // where the file is read
    std::string ShownName; // the name errors and the module's comment give it
    bool Thread = true;
    bool StatePort = false;
    bool AnyVersion = true; // accepts VERSION=1.15 to 1.29
    HdlOptions Options;
    // ModuleFile empty: the module's name and ".cpp".
    std::optional<Extensions::LineNames> LineDirectives;
};

// The module in memory, and what a bench needs of it. Problems of the
// drawing that stop the generation are errors (Level Error) in `problems`,
// and the result is then empty; a text that cannot be translated throws
// hdl::TranslationError, a file that cannot be read AsfError.
struct HdlResult {
    bool Generated = false;
    std::string ModuleName;
    WrittenModule Module;
    std::vector<std::string> StatePaths; // by the code fsm_state carries
    std::vector<int> StateLines;         // the ASF line of each state's object
};
HdlResult GenerateHdl(const HdlRequest& request, bool coverageHooks, Diagnostics& problems);

// What a bench or a simulator driving the generated module needs of it; the
// module is included as moduleInclude.
BenchDesign DescribeHdlBench(const HdlResult& result, const std::string& moduleInclude,
                             const std::string& benchFile);

// The module into cppPath ("-" is left to the caller); nothing is written
// when it cannot be generated. Returns whether it was.
bool GenerateHdlFile(const HdlRequest& request, const std::string& cppPath, Diagnostics& problems);

// The module and its test bench; nothing is written when either cannot be.
bool GenerateHdlWithTestBench(HdlRequest request, const std::string& cppPath,
                              const TestBenchRequest& bench, Diagnostics& problems);

} // namespace kestrom::translation
