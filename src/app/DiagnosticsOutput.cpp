#include "app/DiagnosticsOutput.h"

#include "io/OptionFile.h"
#include "io/OutputFile.h"
#include "model/ProductInfo.h"

namespace kestrom {
namespace {

void Print(const FileDiagnostics& diagnostics, const std::string& format, std::FILE* err) {
    if (format == "json") {
        std::fputs(DiagnosticsJson(diagnostics).c_str(), err);
        return;
    }
    for (const FileDiagnostic& diagnostic : diagnostics)
        std::fprintf(err, "%s\n", FileDiagnosticText(diagnostic).c_str());
}

} // namespace

Integer StoredProcessKind(const std::string& programDir, FileDiagnostics& diagnostics) {
    const std::string path = OptionFileLocation(programDir);
    try {
        return ReadStoredProcessKind(path);
    } catch (const OptionFileError& error) {
        diagnostics.push_back({path,
                               0,
                               "warning",
                               std::string(error.what()) + "; a thread process is generated",
                               code::kOptionFileUnreadable,
                               0,
                               {}});
        return kThreadProcess;
    }
}

bool WriteDiagnostics(FileDiagnostics diagnostics, const Arguments& args, std::FILE* err) {
    bool written = true;
    if (args.sarifPath) {
        const std::string version(
            kProductVersion.substr(kProductVersion.find_first_of("0123456789")));
        try {
            ReplaceFileContent(*args.sarifPath,
                               DiagnosticsSarif(diagnostics, "kestrom-gen", version));
        } catch (const OutputError& error) {
            diagnostics.push_back(
                {*args.sarifPath, 0, "error", error.Message(), code::kOutputError, 0, {}});
            written = false;
        }
    }
    Print(diagnostics, args.diagnosticsFormat, err);
    return written;
}

} // namespace kestrom
