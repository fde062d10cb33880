// How the module's C++ names the diagram's symbols. A port keeps its drawn
// name; the values the process works on carry a prefix that tells their role:
//   i_X  an input as read once in this activation
//   r_X  a register's value before the edge (a member)
//   n_X  a register's value after the edge, built up during the edge
//   w_X  a wire driven by the diagram actions
//   Constants::X  a constant, macro or enumeration value
#pragma once

#include <set>
#include <string>

#include "hdl/CppEmitter.h"
#include "translation/ParsedDesign.h"

namespace kestrom::translation {

enum class SymbolRole { Input, Register, Wire, Constant };

class ModuleNames {
public:
    explicit ModuleNames(const ParsedDesign& design) : design_(design) {}

    SymbolRole RoleOf(const hdl::Symbol& symbol) const;
    bool IsWire(const hdl::Symbol& symbol) const;

    // Inside the module: in the edge (writes go to n_X), or in the
    // combinational logic of the diagram actions (writes go to w_X).
    hdl::Naming InEdge();
    hdl::Naming InLogic();
    // In a test bench's function that has the module as `kestrom_module` and
    // each port as a reference of its name.
    hdl::Naming InBench(const std::string& moduleName);

    // The constants read so far, for the module's Constants table.
    const std::set<const hdl::Symbol*>& ConstantsUsed() const { return constants_; }
    bool RangeChecked() const { return rangeChecked_; }
    // The inputs read so far: only those are read at each activation.
    bool IsRead(const hdl::Symbol& symbol) const { return inputsRead_.count(&symbol) != 0; }

private:
    std::string ReadInModule(const hdl::Symbol& symbol);
    std::string ConstantName(const hdl::Symbol& symbol, const std::string& prefix);
    hdl::Naming Base();

    const ParsedDesign& design_;
    std::set<const hdl::Symbol*> constants_;
    std::set<const hdl::Symbol*> inputsRead_;
    bool rangeChecked_ = false;
};

std::string HexValue(std::uint64_t value);

// The C++ type a value of `width` bits is held in: std::uint64_t up to 64
// bits, sc_biguint over.
std::string ValueType(int width);

} // namespace kestrom::translation
