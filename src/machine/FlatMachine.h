// One machine of leaf states, flattened from the drawing: hierarchical
// states, junctions, links and exits are resolved into choices that go from a
// leaf state straight to a leaf state. The flat machine holds the drawn texts
// (conditions, actions, declarations) with their places in the ASF file; the
// writers, the condition analysis and the simulator parse them.
//
// Names: a leaf state is named by its path, the names of the hierarchical
// states around it and its own, joined by dots ("PKT_SENT.WAIT_RDY"). Its
// Identifier is a valid C++ identifier made from the path (dots become
// underscores), unique among the states and no C++ keyword; a top-level state
// whose name is already such an identifier keeps it.
//
// Choices: a leaf's choices come in the order they are tried; the first whose
// conditions all hold is taken. The order follows the drawn transitions at
// each step of a path: explicit priorities first (1 highest), then the
// transitions without one in file order, then @ELSE. A path through a
// junction, an Exit (on to the hierarchical state's own transitions), an
// Entry (into a hierarchical state) or a Link (on at the named state) is one
// choice: its conditions are those along the path, joined with `and`; its
// actions those along the path, in order. An @ELSE after the first step adds
// no condition: the choices beside it, with the same start, come before it.
// IsElse tells that the first step is an @ELSE, so the choice is taken only
// when no other choice of the state holds.
//
// Actions of states: a leaf's Entry and Exit are its own entry and exit
// actions; its StateActions are the state actions of the hierarchical states
// around it, outermost first, then its own (being in the leaf is being in each
// of them, and the innermost write wins). The entry actions of a hierarchical
// state belong to the paths that enter it through its Entry object and the
// exit actions to the paths that leave it through an Exit object: they are in
// those choices' Actions, in path order. So a taken choice runs the source's
// Exit, the choice's Actions, then the target's Entry.
//
// Reset: the transition out of the Reset object gives the reset condition and
// the state it leads to (entered as any other target). A Reset object whose
// flags have bit 0 set is asynchronous; in the files seen the flags are 0 and
// the reset is synchronous.
//
// Problems of the drawing (K311-K316) are added to the diagnostics with the
// ASF line of the object concerned; a path with a problem is left out, never
// followed for ever.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Diagnostics.h"
#include "drawing/DrawnMachine.h"

namespace kestrom::machine {

// A drawn text and where it starts in the ASF file: the line of its object
// and the 1-based column of its first character there (0 when unknown). A text
// of several lines (\n decoded) counts its lines from AsfLine.
struct TextAt {
    std::string Text;
    int AsfLine = 0;
    int Column = 0;
};
using ConditionText = TextAt;
using ActionText = TextAt;

struct Choice {
    std::size_t Target = 0;                       // index into FlatMachine::States
    std::vector<ConditionText> Conditions;        // joined with `and`, in path order; none: always
    std::vector<ActionText> Actions;              // in path order
    int Priority = 0;                             // of the first transition; 0: none drawn
    bool IsElse = false;                          // the first transition is @ELSE
    std::vector<int> TransitionLines;             // the ASF line of each transition along the path
    std::vector<drawing::ObjectId> TransitionIds; // their object ids, in the same order
    const drawing::DrawnTransition* First = nullptr; // the transition leaving the state
};

struct FlatState {
    std::string Path;       // "PKT_SENT.WAIT_RDY"
    std::string Identifier; // "PKT_SENT_WAIT_RDY"
    std::string Code;       // the label's "/n/" line without slashes; may be empty
    const drawing::DrawnState* Drawn = nullptr;
    std::vector<ActionText> Entry, StateActions, Exit;
    std::vector<Choice> Choices; // in the order they are tried
    bool IsDefault = false;      // drawn as default, or entered first by a default state
    bool IsTrap = false;         // the same for the trap mark
};

struct Reset {
    ConditionText Condition; // empty text: the transition has no condition
    std::size_t Target = 0;
    bool Asynchronous = false;
    std::vector<ActionText> Actions; // along the path to the target
    std::vector<int> TransitionLines;
    int AsfLine = 0; // the Reset object's transition
};

enum class PortDirection { In, Out, InOut };

struct FlatPort {
    std::string Name;
    PortDirection Direction = PortDirection::In;
    int Width = 1;
    std::string Range; // "[3:0]" as drawn; empty without a range
    bool IsClock = false;
    int AsfLine = 0;
    const drawing::DrawnPort* Drawn = nullptr;
};

// A Signal object: an internal register or wire.
struct FlatSignal {
    std::string Name;
    int Width = 1;
    std::string Range;
    int AsfLine = 0;
    const drawing::DrawnPort* Drawn = nullptr;
};

// A Constant object: "WR[2:0]=\"100\"" gives the value text "100".
struct FlatConstant {
    std::string Name;
    int Width = 1;
    std::string Range;
    std::string Value;
    int AsfLine = 0;
    const drawing::DrawnPort* Drawn = nullptr;
};

struct FlatMachine {
    std::vector<FlatState> States; // in the order of the drawing, diagram by diagram
    std::optional<machine::Reset> Reset;
    std::vector<FlatPort> Ports;      // in file order
    std::optional<std::size_t> Clock; // index into Ports: the frame's clock or a port marked so
    std::vector<FlatSignal> Signals;
    std::vector<FlatConstant> Constants;
    std::vector<TextAt> Declarations;   // D objects, in file order
    std::vector<TextAt> DiagramActions; // actions of kind 1, in file order

    // The index of the state with that path, or nullopt.
    std::optional<std::size_t> FindPath(std::string_view path) const;
    // The number of choices of all states.
    std::size_t ChoiceCount() const;
};

// The drawing behind `machine` must outlive the result. Never throws on
// content: what cannot be flattened is reported in `diagnostics`.
FlatMachine Flatten(const drawing::DrawnMachine& machine, Diagnostics& diagnostics);

// Whether any diagnostic of Flatten is an error (a choice was left out).
bool HasFlatteningErrors(const Diagnostics& diagnostics);

} // namespace kestrom::machine
