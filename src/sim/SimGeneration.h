// The module a simulation runs: the one Generate writes with the chosen
// extensions, or the real-diagram module, with its state port and coverage
// hooks added, and what a driver needs to know of it.
#pragma once

#include <optional>
#include <string>

#include "base/Diagnostics.h"
#include "extensions/Extensions.h"
#include "model/FsmModel.h"
#include "sim/DriverSource.h"
#include "translation/HdlOptions.h"

namespace kestrom::sim {

struct SimRequest {
    std::string AsfPath;   // where the file is read
    std::string ShownName; // how errors name it
    Extensions Options;
    translation::HdlOptions Hdl; // Enabled: the real-diagram module
};

// Uses model.ProcessKind. Warnings (and the real-diagram mode's errors) go
// to `problems`; nothing is returned when an error was reported there.
// Throws as the generations do: AsfError, hdl::TranslationError, Error.
std::optional<SimDesign> GenerateSimulation(const SimRequest& request, FsmModel& model,
                                            Diagnostics& problems);

} // namespace kestrom::sim
