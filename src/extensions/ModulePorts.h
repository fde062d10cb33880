// The ports of the generated module as the extensions declare them: name,
// direction and C++ value type, in the order of the drawing.
#pragma once

#include <string>
#include <vector>

#include "extensions/Extensions.h"
#include "machine/Design.h"
#include "model/FsmModel.h"

namespace kestrom {

enum class PortDirection { In, Out, InOut };

struct ModulePort {
    std::string Name;
    PortDirection Direction = PortDirection::In;
    std::string Type;     // "bool", "int", "sc_uint<4>", "sc_biguint<80>"
    int Width = 1;        // drawn width; 1 for a port without bus range
    bool IsClock = false; // an input marked as clock: written with "//clk"
    bool IsStatePort = false;
    int Line = 0; // the port's line in the ASF file; 0 for the state port
};

constexpr const char* kStatePortName = "fsm_state";

// The drawn ports first, then the state port when asked for. Without typed
// ports these are the plain generator's ports: the model's inputs and outputs
// as int, a clock input as bool. Throws AsfError when a drawn port is named
// like the state port.
std::vector<ModulePort> ModulePorts(const FsmModel& model, const machine::Design& design,
                                    const Extensions& extensions);

// "sc_in", "sc_out" or "sc_inout".
const char* PortClass(PortDirection direction);

// The C++ type of a port drawn with the given width.
std::string TypeForWidth(int width);

} // namespace kestrom
