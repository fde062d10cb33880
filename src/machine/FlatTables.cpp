#include "machine/FlatTables.h"

#include <algorithm>

namespace kestrom::machine {
namespace {

using drawing::BuiltinKind;
using drawing::DrawnObject;
using drawing::DrawnPort;

template <typename Item> void SortByLine(std::vector<Item>& items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.AsfLine < b.AsfLine; });
}

// token 4 of the top-level frame; 0 without a frame.
drawing::ObjectId FrameClock(const drawing::DrawnMachine& machine) {
    if (machine.Diagrams.empty()) return 0;
    for (const DrawnObject* object : machine.Diagrams.front().Others)
        if (object->Kind == drawing::ObjectKind::Frame) return object->Clock;
    return 0;
}

std::string LabelLine(const DrawnPort& port) {
    if (!port.Label) return {};
    return port.Label->Text.substr(0, port.Label->Text.find('\n'));
}

void AddPort(const DrawnPort& drawn, drawing::ObjectId frameClock, bool frameNamesPort,
             FlatMachine& flat) {
    const std::string range = RangeOfLabel(LabelLine(drawn));
    const int line = drawn.Object->Line;
    switch (drawn.Object->Builtin) {
    case BuiltinKind::InPort:
    case BuiltinKind::OutPort:
    case BuiltinKind::BiDirPort: {
        FlatPort port;
        port.Name = drawn.Name;
        port.Direction = drawn.Object->Builtin == BuiltinKind::InPort    ? PortDirection::In
                         : drawn.Object->Builtin == BuiltinKind::OutPort ? PortDirection::Out
                                                                         : PortDirection::InOut;
        port.Width = drawn.Width;
        port.Range = range;
        port.IsClock = port.Direction == PortDirection::In &&
                       (frameNamesPort ? drawn.Object->Id == frameClock : drawn.IsClock);
        port.AsfLine = line;
        port.Drawn = &drawn;
        flat.Ports.push_back(std::move(port));
        return;
    }
    case BuiltinKind::Signal:
        flat.Signals.push_back({drawn.Name, drawn.Width, range, line, &drawn});
        return;
    case BuiltinKind::Constant:
        flat.Constants.push_back({drawn.Name, drawn.Width, range, drawn.Value, line, &drawn});
        return;
    default:
        return;
    }
}

} // namespace

std::string RangeOfLabel(const std::string& label) {
    const std::string name = label.substr(0, label.find('='));
    const std::size_t open = name.rfind('[');
    const std::size_t close = name.find(']', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || close == std::string::npos) return {};
    return name.substr(open, close - open + 1);
}

void CollectTables(const drawing::DrawnMachine& machine, FlatMachine& flat) {
    const drawing::ObjectId frameClock = FrameClock(machine);
    bool frameNamesPort = false;
    for (const drawing::DrawnDiagram& diagram : machine.Diagrams)
        for (const DrawnPort& port : diagram.Ports)
            frameNamesPort |= port.Object && port.Object->Id == frameClock &&
                              port.Object->Builtin == BuiltinKind::InPort;
    for (const drawing::DrawnDiagram& diagram : machine.Diagrams) {
        for (const DrawnPort& port : diagram.Ports)
            if (port.Object) AddPort(port, frameClock, frameNamesPort, flat);
        for (const DrawnObject* object : diagram.Others) {
            const TextAt text{object->Text, object->Line, object->TextColumn};
            if (object->Kind == drawing::ObjectKind::Declaration) flat.Declarations.push_back(text);
            if (object->Kind == drawing::ObjectKind::Action &&
                object->Flags == drawing::kDiagramAction)
                flat.DiagramActions.push_back(text);
        }
    }
    SortByLine(flat.Ports);
    SortByLine(flat.Signals);
    SortByLine(flat.Constants);
    SortByLine(flat.Declarations);
    SortByLine(flat.DiagramActions);
    for (std::size_t p = 0; p < flat.Ports.size() && !flat.Clock; ++p)
        if (flat.Ports[p].IsClock) flat.Clock = p;
}

} // namespace kestrom::machine
