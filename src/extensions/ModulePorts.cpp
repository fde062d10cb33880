#include "extensions/ModulePorts.h"

#include <algorithm>

#include "drawing/DrawnMachine.h"

namespace kestrom {
namespace {

constexpr int kWidestUint = 64;

// Ports of every diagram by object number; the last one drawn wins.
std::vector<const drawing::DrawnPort*> DrawnPorts(const drawing::DrawnMachine& machine) {
    std::vector<const drawing::DrawnPort*> ports;
    for (const drawing::DrawnDiagram& diagram : machine.Diagrams)
        for (const drawing::DrawnPort& port : diagram.Ports)
            ports.push_back(&port);
    return ports;
}

const drawing::DrawnPort* FindPort(const std::vector<const drawing::DrawnPort*>& ports,
                                   Integer id) {
    const drawing::DrawnPort* found = nullptr;
    for (const drawing::DrawnPort* port : ports)
        if (port->Object && port->Object->Id == id) found = port;
    return found;
}

ModulePort FromModel(const PortRec& row, const drawing::DrawnPort* drawn, bool typed) {
    ModulePort port;
    port.Name = row.Name;
    port.Line = row.Line;
    port.Direction = row.IsInput ? PortDirection::In : PortDirection::Out;
    port.IsClock = row.IsInput && row.IsClock;
    port.Width = drawn ? drawn->Width : 1;
    if (port.IsClock)
        port.Type = "bool";
    else
        port.Type = typed ? TypeForWidth(port.Width) : "int";
    return port;
}

ModulePort BidirectionalPort(const drawing::DrawnPort& drawn) {
    ModulePort port;
    port.Name = drawn.Name;
    port.Line = drawn.Object->Line;
    port.Direction = PortDirection::InOut;
    port.Width = drawn.Width;
    port.Type = TypeForWidth(drawn.Width);
    return port;
}

int LabelLineOf(const drawing::Drawing& drawing, int portLine) {
    drawing::ObjectId portId = 0;
    for (const drawing::DrawnObject& object : drawing.Objects)
        if (object.Kind == drawing::ObjectKind::Builtin && object.Line == portLine)
            portId = object.Id;
    int line = 0;
    for (const drawing::DrawnObject& object : drawing.Objects)
        if (object.Kind == drawing::ObjectKind::Label && object.Parent == portId)
            line = object.Line;
    return line;
}

void RequireFreeStatePortName(const std::vector<ModulePort>& ports,
                              const drawing::Drawing& drawing) {
    for (const ModulePort& port : ports) {
        if (port.Name != kStatePortName) continue;
        throw AsfError(port.Line,
                       "the port drawn on line " + std::to_string(port.Line) +
                           " and named on line " + std::to_string(LabelLineOf(drawing, port.Line)) +
                           " is called " + kStatePortName + ", the name of the state port");
    }
}

ModulePort StatePort() {
    ModulePort port;
    port.Name = kStatePortName;
    port.Direction = PortDirection::Out;
    port.Type = "int";
    port.IsStatePort = true;
    return port;
}

} // namespace

const char* PortClass(PortDirection direction) {
    switch (direction) {
    case PortDirection::In:
        return "sc_in";
    case PortDirection::Out:
        return "sc_out";
    case PortDirection::InOut:
        return "sc_inout";
    }
    return "sc_in";
}

std::string TypeForWidth(int width) {
    if (width <= 1) return "bool";
    if (width <= kWidestUint) return "sc_uint<" + std::to_string(width) + ">";
    return "sc_biguint<" + std::to_string(width) + ">";
}

std::vector<ModulePort> ModulePorts(const FsmModel& model, const machine::Design& design,
                                    const Extensions& extensions) {
    const std::vector<const drawing::DrawnPort*> drawn = DrawnPorts(design.Machine());
    std::vector<ModulePort> ports;
    for (int p = 1; p <= model.PortCount; ++p) {
        const PortRec& row = model.PortTable[p];
        ports.push_back(FromModel(row, FindPort(drawn, row.Id), extensions.TypedPorts));
    }
    if (extensions.TypedPorts) {
        for (const drawing::DrawnPort* port : drawn)
            if (port->Object && port->Object->Builtin == drawing::BuiltinKind::BiDirPort)
                ports.push_back(BidirectionalPort(*port));
        std::stable_sort(ports.begin(), ports.end(),
                         [](const ModulePort& a, const ModulePort& b) { return a.Line < b.Line; });
    }
    if (extensions.StatePort) {
        RequireFreeStatePortName(ports, design.Drawing());
        ports.push_back(StatePort());
    }
    return ports;
}

} // namespace kestrom
