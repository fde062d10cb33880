#include "translation/ModuleNames.h"

#include <algorithm>
#include <cstdio>

namespace kestrom::translation {

std::string ValueType(int width) {
    return width > 64 ? "sc_biguint<" + std::to_string(width) + ">" : "std::uint64_t";
}

std::string HexValue(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llXULL", static_cast<unsigned long long>(value));
    return text;
}

SymbolRole ModuleNames::RoleOf(const hdl::Symbol& symbol) const {
    switch (symbol.Kind) {
    case hdl::SymbolKind::Input:
        return SymbolRole::Input;
    case hdl::SymbolKind::InOut:
        return std::find(design_.Registers.begin(), design_.Registers.end(), &symbol) !=
                       design_.Registers.end()
                   ? SymbolRole::Register
                   : SymbolRole::Input;
    case hdl::SymbolKind::Constant:
    case hdl::SymbolKind::Macro:
    case hdl::SymbolKind::EnumValue:
        return SymbolRole::Constant;
    case hdl::SymbolKind::Output:
    case hdl::SymbolKind::Signal:
        break;
    }
    return IsWire(symbol) ? SymbolRole::Wire : SymbolRole::Register;
}

bool ModuleNames::IsWire(const hdl::Symbol& symbol) const {
    return std::find(design_.Wires.begin(), design_.Wires.end(), &symbol) != design_.Wires.end();
}

std::string ModuleNames::ConstantName(const hdl::Symbol& symbol, const std::string& prefix) {
    constants_.insert(&symbol);
    return prefix + "Constants::" + symbol.Name;
}

std::string ModuleNames::ReadInModule(const hdl::Symbol& symbol) {
    switch (RoleOf(symbol)) {
    case SymbolRole::Input:
        inputsRead_.insert(&symbol);
        return "i_" + symbol.Name;
    case SymbolRole::Register:
        return "r_" + symbol.Name;
    case SymbolRole::Wire:
        return "w_" + symbol.Name;
    case SymbolRole::Constant:
        break;
    }
    return ConstantName(symbol, "");
}

hdl::Naming ModuleNames::Base() {
    hdl::Naming naming;
    naming.File = design_.File;
    naming.Read = [this](const hdl::Symbol& symbol) { return ReadInModule(symbol); };
    naming.CheckRange = [this](const hdl::Symbol& symbol, const std::string& value, int line) {
        if (!symbol.IntegerRange) return value;
        rangeChecked_ = true;
        return "InRange ( " + value + " , " + std::to_string(symbol.Width) + " , " +
               std::to_string(symbol.IntegerRange->Low) + "LL , " +
               std::to_string(symbol.IntegerRange->High) + "LL , \"" + symbol.Name + "\" , " +
               std::to_string(line) + " )";
    };
    return naming;
}

hdl::Naming ModuleNames::InEdge() {
    hdl::Naming naming = Base();
    naming.Write = [this](const hdl::Symbol& symbol) {
        return (IsWire(symbol) ? "w_" : "n_") + symbol.Name;
    };
    return naming;
}

hdl::Naming ModuleNames::InLogic() {
    hdl::Naming naming = Base();
    // Next ( false ) has worked them out from the inputs as they stand.
    naming.ReadComing = [](const hdl::Symbol& symbol) { return "n_" + symbol.Name; };
    naming.Write = [](const hdl::Symbol& symbol) { return "w_" + symbol.Name; };
    return naming;
}

hdl::Naming ModuleNames::InBench(const std::string& moduleName) {
    hdl::Naming naming;
    naming.File = design_.File;
    naming.Read = [this, moduleName](const hdl::Symbol& symbol) -> std::string {
        switch (symbol.Kind) {
        case hdl::SymbolKind::Input:
        case hdl::SymbolKind::Output:
        case hdl::SymbolKind::InOut:
            if (symbol.Width > 64) return symbol.Name + ".read ( )";
            return "static_cast < std::uint64_t > ( " + symbol.Name + ".read ( ) )";
        case hdl::SymbolKind::Signal:
            return "kestrom_module." + std::string(IsWire(symbol) ? "w_" : "r_") + symbol.Name;
        default:
            return ConstantName(symbol, moduleName + "::");
        }
    };
    naming.Write = [](const hdl::Symbol& symbol) { return "kestrom_unwritable_" + symbol.Name; };
    return naming;
}

} // namespace kestrom::translation
