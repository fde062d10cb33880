#include "support/AsfObjects.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "conversion/AsfReader.h"
#include "conversion/SystemCWriter.h"

namespace kestrom {
void PrintTo(const Diagnostic& diagnostic, std::ostream* out) {
    *out << "{" << diagnostic.Line << ", \"" << diagnostic.Message << "\", " << diagnostic.Code
         << "}";
}
} // namespace kestrom

namespace kestrom::test {

std::string AsfWithObjects(const std::vector<std::string>& objects, const std::string& entity) {
    std::string text = "VERSION=1.19\r\n" + entity + "\r\nOBJECTS\r\n";
    for (const std::string& line : objects)
        text += line + "\r\n";
    return text + "END\r\n";
}

FsmModel ReadObjects(const std::vector<std::string>& objects) {
    FsmModel model;
    ReadAsfText(AsfWithObjects(objects), model);
    return model;
}

std::string ReadError(const std::string& asfText) {
    FsmModel model;
    try {
        ReadAsfText(asfText, model);
    } catch (const AsfError& error) {
        return error.what();
    }
    return "no error";
}

std::string Generate(const std::vector<std::string>& objects, Integer processKind,
                     Diagnostics* warnings) {
    FsmModel model = ReadObjects(objects);
    model.ProcessKind = processKind;
    Diagnostics ignored;
    return WriteSystemC(model, warnings ? *warnings : ignored);
}

std::vector<std::string> SplitCrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> NextStateLines(const std::string& output, const std::string& state) {
    const std::vector<std::string> lines = SplitCrLfLines(output);
    auto it = std::find(lines.begin(), lines.end(), std::string(16, ' ') + "case " + state + ":");
    it = std::find(it, lines.end(), std::string(24, ' ') + "//Next State");
    if (it == lines.end()) throw std::runtime_error("no case " + state + " in the output");
    std::vector<std::string> found;
    for (++it; it != lines.end() && *it != std::string(24, ' ') + "break ;"; ++it)
        found.push_back(it->substr(std::min<std::size_t>(24, it->size())));
    return found;
}

std::string DumpModel(const FsmModel& m) {
    std::ostringstream out;
    out << "module " << m.ModuleName << ", init " << m.InitStateIndex << ", trap "
        << m.TrapStateIndex << ", default " << m.DefaultStateIndex << ", clock " << m.ClockName
        << "\n";
    for (int i = 1; i <= m.PortCount; ++i) {
        const PortRec& p = m.PortTable[i];
        out << "I" << i << " " << p.Id << (p.IsInput ? " in" : "") << (p.IsOutput ? " out" : "")
            << (p.IsClock ? " clock" : "") << " " << p.Name << "\n";
    }
    for (int i = 1; i <= m.StateCount; ++i) {
        const StateRec& s = m.StateTable[i];
        out << "S" << i << " " << s.Id << (s.IsDefault ? " default" : "")
            << (s.IsTrap ? " trap" : "") << " " << s.Name << "\n";
    }
    const auto texts = [&out](char kind, const auto& table, int count) {
        for (int i = 1; i <= count; ++i)
            out << kind << i << " " << table[i].Id << " of " << table[i].OwnerId << " "
                << table[i].Text << "\n";
    };
    texts('L', m.LabelTable, m.LabelCount);
    texts('A', m.ActionTable, m.ActionCount);
    for (int i = 1; i <= m.TransitionCount; ++i) {
        const TransitionRec& t = m.TransitionTable[i];
        out << "W" << i << " " << t.Id << " " << t.SourceId << "->" << t.TargetId << " priority "
            << t.Priority << "\n";
    }
    texts('C', m.ConditionTable, m.ConditionCount);
    return out.str();
}

} // namespace kestrom::test
