#include "conversion/Generation.h"

#include "conversion/AsfReader.h"
#include "conversion/ModelCheck.h"
#include "conversion/SystemCWriter.h"
#include "io/OutputFile.h"

namespace kestrom {
namespace {

std::string CheckAndWrite(FsmModel& model, Diagnostics& warnings, bool keepState) {
    warnings = CheckModel(model, keepState);
    StringOutput out;
    WriteSystemC(model, warnings, out, keepState);
    std::string text = out.Text();
    SortAndLimit(warnings);
    return text;
}

// The text goes straight to the file as it is written; an error on the way
// leaves the earlier file as it was.
Diagnostics CheckAndWriteFile(const std::string& cppPath, FsmModel& model, bool keepState) {
    Diagnostics warnings = CheckModel(model, keepState);
    ReplaceFileContent(cppPath,
                       [&](TextOutput& out) { WriteSystemC(model, warnings, out, keepState); });
    SortAndLimit(warnings);
    return warnings;
}

} // namespace

std::string GenerateSystemCFromText(std::string_view asfText, FsmModel& model,
                                    Diagnostics& warnings, bool keepStateWithoutTrap) {
    ReadAsfText(asfText, model);
    return CheckAndWrite(model, warnings, keepStateWithoutTrap);
}

std::string GenerateSystemC(const std::string& asfPath, FsmModel& model, Diagnostics& warnings,
                            bool keepStateWithoutTrap) {
    ReadAsfFile(asfPath, model);
    return CheckAndWrite(model, warnings, keepStateWithoutTrap);
}

Diagnostics GenerateSystemCFile(const std::string& asfPath, const std::string& cppPath,
                                FsmModel& model, bool keepStateWithoutTrap) {
    RequireOutputIsNotInput(asfPath, cppPath);
    ReadAsfFile(asfPath, model);
    return CheckAndWriteFile(cppPath, model, keepStateWithoutTrap);
}

} // namespace kestrom
