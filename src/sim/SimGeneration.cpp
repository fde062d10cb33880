#include "sim/SimGeneration.h"

#include "extensions/ExtendedGeneration.h"
#include "extensions/TestBenchGeneration.h"
#include "translation/HdlGeneration.h"

namespace kestrom::sim {
namespace {

std::optional<SimDesign> GeneratePlain(const SimRequest& request, FsmModel& model,
                                       Diagnostics& problems) {
    Extensions extensions = request.Options;
    extensions.StatePort = true;
    extensions.CoverageHooks = true;
    const machine::Design design = ReadDesign(request.AsfPath, model);
    RequireAcceptedFirstLine(design, extensions);
    // The compiler's errors in the diagram's texts name the diagram's lines.
    extensions.LineDirectives = Extensions::LineNames{request.AsfPath, model.ModuleName + ".cpp"};
    SimDesign sim;
    sim.ModuleText = GenerateModule(design, model, extensions, problems);
    sim.Bench = DescribeModuleBench(design, model, extensions, "", "");
    return sim;
}

std::optional<SimDesign> GenerateTranslated(const SimRequest& request, FsmModel& model,
                                            Diagnostics& problems) {
    translation::HdlRequest hdl;
    hdl.AsfPath = request.AsfPath;
    hdl.ShownName = request.ShownName;
    hdl.Thread = model.ProcessKind != kMethodProcess;
    hdl.StatePort = true;
    hdl.Options = request.Hdl;
    // The module's file is named after the module, which the translation finds.
    hdl.LineDirectives = Extensions::LineNames{request.AsfPath, ""};
    const translation::HdlResult result = translation::GenerateHdl(hdl, true, problems);
    if (!result.Generated) return std::nullopt;
    SimDesign sim;
    sim.ModuleText = result.Module.Text;
    sim.Bench = translation::DescribeHdlBench(result, "", "");
    sim.Internals = result.Module.Internals;
    return sim;
}

} // namespace

std::optional<SimDesign> GenerateSimulation(const SimRequest& request, FsmModel& model,
                                            Diagnostics& problems) {
    return request.Hdl.Enabled ? GenerateTranslated(request, model, problems)
                               : GeneratePlain(request, model, problems);
}

} // namespace kestrom::sim
