// The machine as the drawing shows it: states with their names, codes and
// marks, transitions with their conditions, priorities and actions, ports with
// their widths; per diagram (the top level and each hierarchical state).
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "drawing/Drawing.h"

namespace kestrom::drawing {

struct DrawnState {
    const DrawnObject* Object = nullptr;
    const DrawnObject* Label = nullptr; // the L line that names it, or null
    std::string Name;                   // first line of its label
    std::string Code;                   // "/0/" line of the label, without slashes; may be empty
    bool IsDefault = false;             // flags % 4 == 1
    bool IsTrap = false;                // flags % 4 == 2
    bool IsInitial = false;             // target of the reset transition
    bool IsJunction = false;            // style "Junction"
    bool IsHierarchical = false;        // an H object names it
    ObjectId SubDiagram = 0;            // id of that H object
    std::vector<const DrawnObject*> Actions; // A lines it owns (entry/state/exit)
};

struct DrawnTransition {
    const DrawnObject* Object = nullptr;
    const DrawnObject* Condition = nullptr; // C line, or null
    int Priority = 0;                       // flags % 4096 (0: none drawn)
    bool IsElse = false;
    bool FromReset = false;                  // source is the Reset builtin
    std::vector<const DrawnObject*> Actions; // kind 16 actions it owns
};

struct DrawnPort {
    const DrawnObject* Object = nullptr;
    const DrawnObject* Label = nullptr; // the L line that names it, or null
    std::string Name;                   // label without bus range
    int Width = 1;                      // from "NAME[hi:lo]"; 1 without a range
    bool IsClock = false;               // flags bit 0
    std::string Value;                  // constant value of '"NAME[2:0]="100"', if any
};

struct DrawnDiagram {
    ObjectId Id = 1;    // 1 for the top level, else the H object's id
    ObjectId Owner = 0; // the hierarchical state, 0 for the top level
    const Sheet* Page = nullptr;
    std::vector<DrawnState> States;
    std::vector<DrawnTransition> Transitions;
    std::vector<DrawnPort> Ports;
    std::vector<const DrawnObject*> Others; // texts, comments, builtins, frames
};

struct DrawnMachine {
    std::vector<DrawnDiagram> Diagrams; // [0] is the top level
    // Objects that point at objects the drawing lacks (a transition to an
    // unknown state, a label of nothing): placed as well as possible.
    Diagnostics Problems;
    const DrawnDiagram* Find(ObjectId diagramId) const;
    void Index(); // rebuilds the lookup of Find after Diagrams changed

private:
    std::unordered_map<ObjectId, std::size_t> byId_;
};

// The drawing must outlive the result (it points into drawing.Objects).
DrawnMachine DescribeMachine(const Drawing& drawing);

} // namespace kestrom::drawing
