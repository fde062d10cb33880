// What the conditions of each state of a flat machine allow: transitions of
// equal priority that can hold at once (K201), transitions that higher
// priorities cover (K202), conditions that never hold (K203), always-true
// transitions above others (K204) and, when asked, inputs that leave a state
// with no transition (K205). Each diagnostic is decided by the solver, with a
// witness where one helps; what cannot be modelled or decided in time is a
// note (K206), never a diagnostic.
#pragma once

#include <atomic>
#include <string>

#include "analysis/Limits.h"
#include "base/Diagnostics.h"
#include "drawing/DrawnMachine.h"
#include "hdl/Language.h"
#include "hdl/Parse.h"
#include "machine/FlatMachine.h"
#include "translation/HdlOptions.h"

namespace kestrom::analysis {

struct AnalysisOptions {
    bool UncoveredInputs = false;
    Limits Limit;
    const std::atomic<bool>* Cancel = nullptr; // set: no further queries are asked
};

struct AnalysisResult {
    Diagnostics Reported; // by line; their file is the ASF file analysed
    SolverFigures Figures;
};

// `drawn` is the drawing `machine` was flattened from; conditions are parsed
// in `language` against `scope`. `asfFile` places parse errors.
AnalysisResult AnalyseConditions(const machine::FlatMachine& machine,
                                 const drawing::DrawnMachine& drawn, hdl::Language language,
                                 const hdl::Scope& scope, const std::string& asfFile,
                                 const AnalysisOptions& options = {});

// The same for the ASF file at `asfPath`: read, flattened, its names
// gathered (with the include directories, macros and packages of `names`),
// its conditions read in the header's language (C++ when it names none).
// Problems of the flattening are the flattening's to report and are not
// repeated here. Throws what reading the file throws.
AnalysisResult AnalyseConditionsOfFile(const std::string& asfPath,
                                       const translation::HdlOptions& names,
                                       const AnalysisOptions& options = {});
// The same for a drawing already read from `asfPath`.
AnalysisResult AnalyseConditionsOfDrawing(const drawing::Drawing& drawing,
                                          const std::string& asfPath,
                                          const translation::HdlOptions& names,
                                          const AnalysisOptions& options = {});

} // namespace kestrom::analysis
