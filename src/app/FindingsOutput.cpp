#include "app/FindingsOutput.h"

#include "io/OptionFile.h"
#include "io/OutputFile.h"
#include "model/ProductInfo.h"

namespace kestrom {
namespace {

void Print(const Findings& findings, const std::string& format, std::FILE* err) {
    if (format == "json") {
        std::fputs(FindingsJson(findings).c_str(), err);
        return;
    }
    for (const Finding& finding : findings)
        std::fprintf(err, "%s\n", FindingText(finding).c_str());
}

} // namespace

Integer StoredProcessKind(const std::string& programDir, Findings& findings) {
    const std::string path = OptionFileLocation(programDir);
    try {
        return ReadStoredProcessKind(path);
    } catch (const OptionFileError& error) {
        findings.push_back({path, 0, "warning",
                            std::string(error.what()) + "; a thread process is generated",
                            code::kOptionFileUnreadable});
        return kThreadProcess;
    }
}

bool WriteFindings(Findings findings, const Arguments& args, std::FILE* err) {
    bool written = true;
    if (args.sarifPath) {
        const std::string version(
            kProductVersion.substr(kProductVersion.find_first_of("0123456789")));
        try {
            ReplaceFileContent(*args.sarifPath, FindingsSarif(findings, "kestrom-gen", version));
        } catch (const OutputError& error) {
            findings.push_back({*args.sarifPath, 0, "error", error.Message(), code::kOutputError});
            written = false;
        }
    }
    Print(findings, args.diagnosticsFormat, err);
    return written;
}

} // namespace kestrom
