#include "machine/MachineTestSupport.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace kestrom::machine::test {
namespace {

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out + "\"";
}

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

} // namespace

std::string StateLine(int id, int parent, const std::string& name, int flags) {
    return "S " + std::to_string(id) + " " + std::to_string(parent) + " " + std::to_string(flags) +
           " ELLIPSE \"States\" | 10000,10000 6500 6500\nL " + std::to_string(id + 100000) + " " +
           std::to_string(id) + " 0 TEXT \"State Labels\" | 10000,10000 1 0 0 " + Quoted(name);
}

std::string JunctionLine(int id, int parent, const std::string& name) {
    return "S " + std::to_string(id) + " " + std::to_string(parent) +
           " 0 ELLIPSE \"Junction\" | 10000,10000 3500 3500\nL " + std::to_string(id + 100000) +
           " " + std::to_string(id) + " 0 TEXT \"State Labels\" | 10000,10000 1 0 0 " +
           Quoted(name);
}

std::string SubDiagramLine(int id, int state) {
    return "H " + std::to_string(id) + " " + std::to_string(state) +
           " 0 RECT 0,0,0 0 0 1 255,255,255 0 | 28400,3000 212900,251000";
}

std::string BuiltinLine(int id, int parent, const std::string& kind, int flags) {
    return "I " + std::to_string(id) + " " + std::to_string(parent) + " " + std::to_string(flags) +
           " Builtin " + kind + " | 20000,20000";
}

std::string LabelLine(int id, int owner, const std::string& text) {
    return "L " + std::to_string(id) + " " + std::to_string(owner) +
           " 0 TEXT \"Labels\" | 20000,20000 1 0 0 " + Quoted(text);
}

std::string TransitionLine(int id, int parent, int from, int to, int flags) {
    return "W " + std::to_string(id) + " " + std::to_string(parent) + " " + std::to_string(flags) +
           " " + std::to_string(from) + " " + std::to_string(to) +
           " BEZIER \"Transitions\" | 1000,1000 2000,2000 3000,3000 4000,4000";
}

std::string ConditionLine(int id, int transition, const std::string& text) {
    return "C " + std::to_string(id) + " " + std::to_string(transition) +
           " 0 TEXT \"Conditions\" | 2000,2000 1 0 0 " + Quoted(text);
}

std::string ActionLine(int id, int owner, int kind, const std::string& text) {
    return "A " + std::to_string(id) + " " + std::to_string(owner) + " " + std::to_string(kind) +
           " TEXT \"Actions\" | 2000,2000 1 0 0 " + Quoted(text);
}

Flattened::Flattened(const std::string& asfText)
    : Drawing(drawing::ReadDrawingText(asfText)), Drawn(drawing::DescribeMachine(Drawing)),
      Flat(Flatten(Drawn, Problems)) {}

Flattened FlattenObjects(const std::vector<std::string>& objects) {
    return Flattened(kestrom::test::AsfWithObjects(objects));
}

std::vector<std::string> ChoicesOf(const FlatMachine& machine, const std::string& path, Via via) {
    const auto state = machine.FindPath(path);
    if (!state) {
        ADD_FAILURE() << "no state " << path;
        return {};
    }
    std::vector<std::string> lines;
    for (const Choice& choice : machine.States[*state].Choices) {
        std::string line =
            (choice.IsElse ? "else -> " : "-> ") + machine.States[choice.Target].Path;
        for (std::size_t c = 0; c < choice.Conditions.size(); ++c)
            line += (c == 0 ? " [" : " & [") + OneLine(choice.Conditions[c].Text) + "]";
        line += via == Via::Lines ? " lines" : " via";
        for (std::size_t l = 0; l < choice.TransitionLines.size(); ++l)
            line +=
                (l == 0 ? " " : ",") + std::to_string(via == Via::Lines ? choice.TransitionLines[l]
                                                                        : choice.TransitionIds[l]);
        for (const ActionText& action : choice.Actions)
            line += " {" + OneLine(action.Text) + "}";
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Codes(const Diagnostics& problems) {
    std::vector<std::string> codes;
    for (const Diagnostic& problem : problems)
        codes.push_back(std::to_string(problem.Line) + " " + std::string(problem.Code));
    return codes;
}

} // namespace kestrom::machine::test
