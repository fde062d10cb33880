// What the open file's views show of the generation: the bytes Generate
// would write now and the file's diagnostics, from a model of the views' own
// (the program-wide model stays Generate's alone).
#pragma once

#include <optional>
#include <string>

#include "base/Diagnostics.h"
#include "extensions/Extensions.h"
#include "model/FsmModel.h"
#include "translation/HdlOptions.h"

namespace kestrom::ui {

class Platform;

struct ViewGeneration {
    std::string Code; // empty when the file cannot be generated
    Diagnostics Warnings;
    Diagnostics Errors;     // what stops the generation
    std::string ModuleName; // the module's name; empty when unknown
};

// What Generate would use now.
struct GenerationChoices {
    Integer ProcessKind = kThreadProcess;
    Extensions Chosen;
    translation::HdlOptions Hdl; // on: the real-diagram translation instead
};

// The one generation behind the code window and the problems panel, as the
// batch tool runs it.
ViewGeneration GenerateForViews(const std::string& asfPath, const GenerationChoices& choices);

// Generate in the real-diagram mode: the translated module into
// model.CppPath, with its test bench when `bench` asks for one. A problem that
// stops it is thrown as an AsfError; returns the warnings.
struct BenchChoice;
Diagnostics GenerateTranslated(const FsmModel& model, const translation::HdlOptions& hdl,
                               const Extensions& chosen, const BenchChoice& bench);

// The process kind Generate would use now: the one stored in option.dat, or
// `current` when the file holds none. Reads only; a missing file stays missing.
Integer ProcessKindForViews(const Platform& platform, Integer current);

} // namespace kestrom::ui
