#include "sim/CompilerOutput.h"

#include <sstream>

namespace kestrom::sim {
namespace {

// The whole number at `at`, which moves past it; -1 when there is none.
int NumberAt(const std::string& text, std::size_t& at) {
    int number = 0;
    const std::size_t start = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && number < 100000000)
        number = number * 10 + (text[at++] - '0');
    return at == start ? -1 : number;
}

} // namespace

Diagnostics ErrorsOfFile(const std::string& compilerOutput, const std::string& asfPath) {
    Diagnostics errors;
    std::istringstream lines(compilerOutput);
    const std::string head = asfPath + ":";
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, head.size(), head) != 0) continue;
        std::size_t at = head.size();
        const int number = NumberAt(line, at);
        if (number < 0 || at >= line.size() || line[at] != ':') continue;
        ++at;
        // The column is the module's, not the ASF line's: it is left out.
        if (at < line.size() && line[at] >= '0' && line[at] <= '9') {
            NumberAt(line, at);
            if (at >= line.size() || line[at++] != ':') continue;
        }
        const std::string said = " error: ";
        if (line.compare(at, said.size(), said) != 0) continue;
        Diagnostic error(number, line.substr(at + said.size()), code::kSimulationError);
        error.Level = Severity::Error;
        errors.push_back(error);
    }
    return errors;
}

} // namespace kestrom::sim
