#include "translation/DesignScope.h"

#include <cstdlib>

#include "hdl/TranslationError.h"

namespace kestrom::translation {
namespace {

hdl::SymbolKind KindOf(machine::PortDirection direction) {
    switch (direction) {
    case machine::PortDirection::In:
        return hdl::SymbolKind::Input;
    case machine::PortDirection::Out:
        return hdl::SymbolKind::Output;
    case machine::PortDirection::InOut:
        return hdl::SymbolKind::InOut;
    }
    return hdl::SymbolKind::Input;
}

hdl::Symbol SymbolOf(const std::string& name, hdl::SymbolKind kind, int width,
                     const std::string& range, int line) {
    hdl::Symbol symbol = hdl::MakeSymbol(name, kind, width, line);
    int left = 0;
    int right = 0;
    if (ParseBusRange(range, left, right)) {
        symbol.Left = left;
        symbol.Right = right;
    }
    return symbol;
}

// The drawing gives a label's value without its quotes; in VHDL they make
// "100" a bit string, not the number one hundred.
std::string ValueText(const machine::FlatConstant& constant, hdl::Language language) {
    if (language != hdl::Language::Vhdl || !constant.Drawn || !constant.Drawn->Label)
        return constant.Value;
    const std::string& label = constant.Drawn->Label->Text;
    const std::size_t equals = label.find('=');
    const bool quoted =
        equals != std::string::npos && equals + 1 < label.size() && label[equals + 1] == '"';
    return quoted ? "\"" + constant.Value + "\"" : constant.Value;
}

// A Constant object's value ("2'b01", "\"100\"") is an expression of the
// diagram's language made of literals only.
hdl::Symbol ConstantSymbol(const machine::FlatConstant& constant, hdl::Language language,
                           const std::string& asfFile) {
    const hdl::TextOrigin origin{asfFile, constant.AsfLine, 1};
    const hdl::Location where{constant.AsfLine, 0};
    if (constant.Value.empty())
        hdl::fault::Unsupported(asfFile, where, "constant '" + constant.Name + "' without a value");
    const hdl::Scope literalsOnly;
    const hdl::ExprPtr value =
        hdl::ParseCondition(language, ValueText(constant, language), origin, literalsOnly);
    const std::optional<std::uint64_t> number = hdl::ConstantValue(*value);
    if (!number)
        hdl::fault::Unsupported(asfFile, where,
                                "constant '" + constant.Name + "' whose value is no number");
    const int width = constant.Range.empty() ? value->Width : constant.Width;
    hdl::Symbol symbol =
        SymbolOf(constant.Name, hdl::SymbolKind::Constant, width, constant.Range, constant.AsfLine);
    if (width < 64 && (*number >> width) != 0)
        hdl::fault::OutOfRange(asfFile, where,
                               "the value of constant '" + constant.Name + "' has more than " +
                                   std::to_string(width) + " bits");
    symbol.Value = *number;
    return symbol;
}

// A state drawn in the "Delay" style waits by counting down a register the
// editor declares on its own, one per design; its sub-diagram reads and
// writes it by name. It is an integer that starts at 0.
void DeclareDelayCounter(const drawing::Drawing& drawing, hdl::Language language,
                         hdl::Scope& scope) {
    if (language == hdl::Language::Cpp) return;
    const drawing::DrawnObject* delay = nullptr;
    for (const drawing::DrawnObject& object : drawing.Objects)
        if (object.Kind == drawing::ObjectKind::State && object.Style == "Delay") {
            delay = &object;
            break;
        }
    if (!delay) return;
    hdl::Symbol counter = hdl::MakeSymbol("delay_counter_" + drawing.Entity,
                                          hdl::SymbolKind::Signal, 32, delay->Line);
    counter.Signed = language == hdl::Language::Vhdl;
    if (language == hdl::Language::Vhdl) {
        counter.IsInteger = true;
        counter.IntegerRange = hdl::kVhdlInteger;
    }
    scope.Symbols.Add(counter);
}

void ReadIncludes(const drawing::Drawing& drawing, hdl::Language language,
                  const HdlOptions& options, const std::string& asfFile, hdl::Scope& scope) {
    if (language == hdl::Language::Verilog && !drawing.Libraries.empty())
        hdl::ScanDirectives(drawing.Libraries, {asfFile, drawing.LibrariesLine, 1},
                            options.IncludeDirs, scope.Macros);
}

} // namespace

bool ParseBusRange(const std::string& range, int& left, int& right) {
    if (range.size() < 5 || range.front() != '[' || range.back() != ']') return false;
    const std::size_t colon = range.find(':');
    if (colon == std::string::npos) return false;
    char* end = nullptr;
    const long high = std::strtol(range.c_str() + 1, &end, 10);
    if (end != range.c_str() + colon) return false;
    const long low = std::strtol(range.c_str() + colon + 1, &end, 10);
    if (end != range.c_str() + range.size() - 1) return false;
    left = static_cast<int>(high);
    right = static_cast<int>(low);
    return true;
}

void FillScope(const drawing::Drawing& drawing, const machine::FlatMachine& machine,
               hdl::Language language, const HdlOptions& options, const std::string& asfFile,
               hdl::Scope& scope) {
    scope.IncludeDirs = options.IncludeDirs;
    ReadIncludes(drawing, language, options, asfFile, scope);
    for (const std::string& package : options.Packages)
        hdl::ReadVhdlPackage(package, scope.Symbols);
    for (const machine::FlatPort& port : machine.Ports)
        scope.Symbols.Add(
            SymbolOf(port.Name, KindOf(port.Direction), port.Width, port.Range, port.AsfLine));
    for (const machine::FlatSignal& signal : machine.Signals)
        scope.Symbols.Add(SymbolOf(signal.Name, hdl::SymbolKind::Signal, signal.Width, signal.Range,
                                   signal.AsfLine));
    for (const machine::FlatConstant& constant : machine.Constants) {
        scope.Symbols.Add(ConstantSymbol(constant, language, asfFile));
        // A Verilog diagram's texts use its Constant objects as macros too.
        if (language == hdl::Language::Verilog)
            scope.Macros.Define(constant.Name, constant.Value, asfFile, constant.AsfLine);
    }
    DeclareDelayCounter(drawing, language, scope);
    // The command line has the last word over the files and the drawing.
    for (const auto& [name, value] : options.Defines)
        scope.Macros.Define(name, value);
    // The declarations of a C++ diagram are the C++ compiler's to read: the
    // names they declare stay unknown here.
    if (language == hdl::Language::Cpp) return;
    for (const machine::TextAt& declaration : machine.Declarations)
        hdl::ParseDeclarations(language, declaration.Text,
                               {asfFile, declaration.AsfLine, declaration.Column}, scope);
}

} // namespace kestrom::translation
